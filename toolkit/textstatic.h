// A static text control with its own background (solid, or a gradient
// fading to black towards the left, the centre or the right), text colour
// and font, an optional tool tip and an option to size itself to its text.
#pragma once

#include <string>

#include "platform/gui/controls.h"

class CTextStatic : public CStatic {
 public:
  // Background styles.
  enum : int { kSolid = 0, kFadeLeft = 1, kFadeCentre = 2, kFadeRight = 3 };
  // A background colour that paints nothing: the parent shows through.
  static constexpr COLORREF kNoBackground = 0xFFFFFFFF;

  CTextStatic();
  ~CTextStatic() override;

  void SetBackgroundColor(COLORREF colour);
  void SetBackgroundStyle(int style);
  void SetTextColor(COLORREF colour);
  // A fixed tool-tip text (instead of the one taken from the control).
  void SetToolTipText(const std::string& text);
  void EnableToolTip(bool on);
  void SetFitToText(bool on);

  COLORREF backgroundColour() const { return m_crBackground; }
  int backgroundStyle() const { return m_nBackgroundStyle; }
  COLORREF textColour() const { return m_crText; }
  const std::string& toolTipText() const { return m_strToolTip; }
  bool toolTipEnabled() const { return m_bToolTip; }
  bool fitToText() const { return m_bFitToText; }
  CFont* font() { return &m_font; }

  // Paints background and text into dc (what WM_PAINT does), for probes.
  virtual void Paint(CDC& dc);
  // The background strips, as the paint draws them over a client rectangle.
  static void FillBackground(CDC& dc, const CRect& client, COLORREF colour, int style);

 protected:
  // Rebuilds the own font from the window's, then fits when on.
  virtual void RebuildFont();
  // Once, when the control gets its window.
  virtual void Initialise();
  virtual void UpdateToolTipText();
  // Font, text colour and background mode for painting the text.
  virtual void CtlColor(CDC* dc);

  void PreSubclassWindow() override;
  void OnPaint() override;
  bool OnEraseBkgnd(CDC* dc) override;
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;

  bool IsTextStyle() const;
  // Shows m_strToolTip while tool tips are on.
  void ApplyToolTip();
  void FitToText();
  void Redraw();

  COLORREF m_crBackground;
  int m_nBackgroundStyle = kSolid;
  COLORREF m_crText;
  CFont m_font;
  bool m_bToolTip = false;
  std::string m_strToolTip;
  bool m_bFitToText = false;
  CRect m_rcInitial;
  bool m_bCustomToolTip = false;
  bool m_bSubclassed = false;
  bool m_bInitialised = false;

 private:
  bool m_fitting = false;
};
