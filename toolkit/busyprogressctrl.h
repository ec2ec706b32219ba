// A row of segments drawn in a static control: an animated "busy" indicator
// or a segmented progress bar. The animation runs from a timer of the
// control's own window, on the user-interface thread, so it stops with the
// window and never touches a window from another thread.
#pragma once

#include <string>

#include "platform/gui/controls.h"

class CBusyProgressCtrl : public CStatic {
 public:
  // The configuration messages; every handler returns 0.
  enum : UINT {
    BPM_SETNUMSEGMENTS = WM_USER + 1,
    BPM_SETPOS = WM_USER + 2,
    BPM_SETGAP = WM_USER + 3,
    BPM_SETINTERVAL = WM_USER + 4,
    BPM_SETRANGE = WM_USER + 5,
    BPM_SETMODE = WM_USER + 6,
    BPM_START = WM_USER + 7,
    BPM_END = WM_USER + 8,
    BPM_STEP = WM_USER + 9,
    BPM_SETBUSYTYPE = WM_USER + 10,
    BPM_SETBUSYFILL = WM_USER + 11,
    BPM_SETGRANULARITY = WM_USER + 12,
    BPM_SETCOLBKG = WM_USER + 13,
    BPM_SETCOLBLOCKS = WM_USER + 14,
    BPM_SETCOLBLOCKSEDGE = WM_USER + 15,
    BPM_SETCOLBLOCKSHI = WM_USER + 16,
    BPM_SETCOLBLOCKSEDGEHI = WM_USER + 17,
    BPM_RECALC = WM_USER + 18,
    BPM_RESET = WM_USER + 19,
    BPM_USESYSCOL = WM_USER + 20,
  };
  enum Mode { kModeBusy = 1, kModeProgress = 2 };
  enum BusyType { kBounce = 1, kWrapForward = 2, kWrapBackward = 4 };
  enum BusyFill { kFillBlock = 1, kFillSmooth = 2 };
  static constexpr UINT_PTR kAnimationTimer = 1;
  static constexpr char kWindowText[] = "BusyProgressCtrl";

  explicit CBusyProgressCtrl(int segments = 10, int pos = 0);
  ~CBusyProgressCtrl() override;

  // A child "STATIC" window with the text "BusyProgressCtrl".
  [[nodiscard]] bool Create(const CRect& rect, CWnd* parent, int id);
  using CWnd::Create;

  void SetNumSegments(int count);
  int GetNumSegments() const { return m_nSegments; }
  void SetPos(int pos);
  int GetPos() const { return m_nPos; }
  void SetGap(int gap);
  void SetInterval(int ms) { m_nInterval = ms; }
  int GetInterval() const { return m_nInterval; }
  void SetRange(int lower, int upper);
  void SetMode(int mode);
  int GetMode() const { return m_nMode; }
  void Start();
  void End();
  bool IsRunning() const { return m_bRunning; }
  // One animation step.
  void Step();
  void SetBusyType(int type);
  void SetBusyFill(int fill);
  void SetGranularity(int divisions);
  void SetColBkg(COLORREF c);
  void SetColBlocks(COLORREF c);
  void SetColBlocksEdge(COLORREF c);
  void SetColBlocksHi(COLORREF c);
  void SetColBlocksEdgeHi(COLORREF c);
  void UseSysCol(bool on);
  void Recalc();
  void Reset();

  // How far the row is filled, in segments: segments below floor() are
  // active, the next one partly. Busy block mode gives -1 (see ActiveSegment).
  double FilledSegments() const;
  // The active segment of busy block mode, -1 in the other modes.
  int ActiveSegment() const;
  CRect SegmentRect(int index) const;
  double SegmentWidth() const { return m_dSegWidth; }

  // Draws the control as it looks now (what WM_PAINT does).
  void Paint(CDC& dc);

 protected:
  virtual void DrawBackground(CDC& dc, const CRect& rect);
  virtual void DrawSegment(CDC& dc, const CRect& rect);
  virtual void DrawActiveSegment(CDC& dc, const CRect& rect);
  virtual void DrawPartialSegment(CDC& dc, const CRect& rect, int width);

  QWidget* CreatePeer(QWidget* parent, const CREATESTRUCT& cs) override;
  void PreSubclassWindow() override;
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;
  void OnPaint() override;
  bool OnEraseBkgnd(CDC* dc) override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnTimer(UINT_PTR id) override;
  void OnSysColorChange() override;

 private:
  void Repaint();
  int Limit() const;

  int m_nSegments;
  int m_nStep = 1;
  int m_nPos;
  CRect m_rcClient;
  int m_nGap = 1;
  double m_dSegHeight = 0;
  double m_dSegWidth = 0;
  bool m_bRunning = false;
  int m_nInterval = 100;
  int m_nMode = kModeBusy;
  int m_nLower = 0;
  int m_nUpper = 100;
  bool m_bSystemColours = true;
  int m_nAnimationStyle = kBounce;
  int m_nFillMode = kFillBlock;
  int m_nStepDivisions = 5;
  int m_nDivisionTotal;
  COLORREF m_colBkg;
  COLORREF m_colBlocks = RGB(160, 190, 220);
  COLORREF m_colBlocksEdge = RGB(50, 90, 135);
  COLORREF m_colBlocksHi = RGB(190, 220, 255);
  COLORREF m_colBlocksEdgeHi = RGB(50, 90, 135);
};
