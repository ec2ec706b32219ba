// A dialog whose controls follow its size by anchors, with a size grip in the
// lower-right corner and its designed size as the smallest it can be made.
// Built from three parts: the anchored layout, the size grip and the
// minimum/maximum tracking sizes.
#pragma once

#include <memory>
#include <vector>

#include "platform/gui/dialog.h"

// A point of the layout rectangle in percent of its width and height.
struct CAnchor {
  int x = 0;
  int y = 0;
  constexpr bool operator==(const CAnchor&) const = default;
};

inline constexpr CAnchor TOP_LEFT{0, 0};
inline constexpr CAnchor TOP_CENTER{50, 0};
inline constexpr CAnchor TOP_RIGHT{100, 0};
inline constexpr CAnchor MIDDLE_LEFT{0, 50};
inline constexpr CAnchor MIDDLE_CENTER{50, 50};
inline constexpr CAnchor MIDDLE_RIGHT{100, 50};
inline constexpr CAnchor BOTTOM_LEFT{0, 100};
inline constexpr CAnchor BOTTOM_CENTER{50, 100};
inline constexpr CAnchor BOTTOM_RIGHT{100, 100};
inline constexpr CAnchor NOANCHOR{-1, -1};

// One anchored control.
struct CLayoutRecord {
  HWND hwnd = nullptr;
  int callbackId = 0;
  bool adjustHScroll = false;  // list boxes
  bool refresh = true;
  CAnchor tlAnchor;
  CSize tlMargin;
  CAnchor brAnchor;
  CSize brMargin;
};

// The layout part: the records and their arrangement.
class CAnchorLayout {
 public:
  virtual ~CAnchorLayout() = default;

  // Whether a control's area may be left out of the background erase.
  virtual bool LikesClipping(CWnd* control) const;
  virtual bool NeedsRefresh(const CLayoutRecord& record) const { return record.refresh; }
  virtual CRect GetLayoutRect() const;
  virtual bool ArrangeLayoutCallback(CLayoutRecord&) const { return false; }
  virtual CWnd* GetLayoutWindow() const = 0;

  // A bottom-right anchor of NOANCHOR stands for the top-left one: the control
  // moves but keeps its size.
  void AnchorControl(HWND control, CAnchor topLeft, CAnchor bottomRight = NOANCHOR);
  void RepositionControls();
  // The rectangle a record asks for in a layout rectangle of this size.
  static CRect ArrangedRect(const CLayoutRecord& record, int width, int height);
  const std::vector<CLayoutRecord>& records() const { return m_records; }
  void ClearRecords() { m_records.clear(); }

 protected:
  CRect m_layoutRect;  // empty: the window's client rectangle

 private:
  std::vector<CLayoutRecord> m_records;
};

// The size grip part.
class CSizeGripPart {
 public:
  virtual ~CSizeGripPart();
  bool CreateSizeGrip(CWnd* parent);
  // At the client's lower-right corner; enabled unless the window is maximized.
  void PlaceSizeGrip(CWnd* parent);
  CWnd* SizeGrip() const { return m_grip.get(); }
  CSize GripSize() const { return m_gripSize; }

 protected:
  CSize m_gripSize;
  std::unique_ptr<CWnd> m_grip;
};

// The minimum/maximum tracking part.
class CMinMaxPart {
 public:
  virtual ~CMinMaxPart() = default;
  void SetMinTrackSize(CSize size);
  void SetMaxTrackSize(CSize size);
  void ResetMinTrackSize() { m_bUseMinTrack = false; }
  void ResetMaxTrackSize() { m_bUseMaxTrack = false; }
  CSize MinTrackSize() const { return m_minTrackSize; }
  // Applies the limits to a window.
  void ApplyTrackSizes(CWnd* wnd) const;

 protected:
  bool m_bUseMaxTrack = false;
  bool m_bUseMinTrack = false;
  bool m_bUseMaxRect = false;
  CSize m_minTrackSize;
  CSize m_maxTrackSize;
  CPoint m_maxPos;
  CSize m_maxSize;
};

class CAnchorLayoutDialog : public CDialog,
                            public CAnchorLayout,
                            public CSizeGripPart,
                            public CMinMaxPart {
 public:
  CAnchorLayoutDialog(unsigned templateId, CWnd* parent = nullptr, bool showGrip = true);
  ~CAnchorLayoutDialog() override;

  using CAnchorLayout::AnchorControl;
  void AnchorControl(int id, CAnchor topLeft, CAnchor bottomRight = NOANCHOR);
  CWnd* GetLayoutWindow() const override { return const_cast<CAnchorLayoutDialog*>(this); }

  bool OnInitDialog() override;

 protected:
  int OnCreate(CREATESTRUCT* cs) override;
  void OnSize(UINT type, int cx, int cy) override;
  bool OnEraseBkgnd(CDC* dc) override;
  void OnDestroy() override;

  bool m_bGripVisible;
  bool m_bLayoutReady = false;
};
