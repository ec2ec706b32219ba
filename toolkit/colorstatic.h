// A static text control that paints its own text: colour and font, solid
// or gradient background, 3-D text, rotation, flashing, and a link mode.
#pragma once

#include <string>

#include "platform/gui/controls.h"

class CColorStatic : public CStatic {
 public:
  // WM_NOTIFY code sent to the parent when a link is clicked with notify-parent on.
  static constexpr UINT kLinkClicked = 33280;
  static constexpr UINT_PTR kFlashTimer = 1;
  static constexpr UINT kFlashMs = 500;

  CColorStatic();
  ~CColorStatic() override;

  virtual CColorStatic& SetBackground(COLORREF colour, COLORREF endColour = 0,
                                      bool gradient = false);
  virtual CColorStatic& SetTextColor(COLORREF colour);
  virtual CColorStatic& SetText(const std::string& text);
  virtual CColorStatic& SetBold(bool bold);
  virtual CColorStatic& SetFontName(const std::string& face, std::uint8_t charSet = ANSI_CHARSET);
  virtual CColorStatic& SetUnderline(bool underline);
  virtual CColorStatic& SetItalic(bool italic);
  virtual CColorStatic& SetFontSize(int points);
  virtual CColorStatic& SetSunken(bool sunken);
  virtual CColorStatic& SetBorder(bool border);
  virtual CColorStatic& SetTransparent(bool transparent);
  virtual CColorStatic& FlashText(bool on);
  virtual CColorStatic& FlashBackground(bool on);
  // Links are off until a caller turns them on. A click then notifies the
  // parent (notifyParent) or opens the text, when it is a web or mail address.
  virtual CColorStatic& SetLink(bool link, bool notifyParent);
  virtual CColorStatic& SetLinkCursor(HCURSOR cursor);
  virtual CColorStatic& Set3DText(bool on, int kind = 0);
  virtual CColorStatic& SetRotation(int degrees, bool rotate = true);
  virtual CColorStatic& SetHighlightColor(COLORREF colour);
  virtual CColorStatic& SetTextOffset(bool offset);

  // State, for callers and tests.
  COLORREF textColour() const { return m_textColour; }
  bool flashPhase() const { return m_flashPhase; }
  int flashKind() const { return m_flashKind; }
  bool flashTimerRunning() const { return m_flashTimer; }
  bool link() const { return m_link; }
  bool notifyParent() const { return m_notifyParent; }
  const LOGFONT& logFont() const { return m_lf; }
  CFont* font() { return &m_font; }

  // Paints the control into dc over rect (what WM_PAINT does); public so
  // that drawing can be probed on an image.
  void Paint(CDC& dc, const CRect& client);

  // The horizontal gradient as the control draws it.
  static void FillGradient(CDC& dc, const CRect& r, COLORREF start, COLORREF end);

 protected:
  void PreSubclassWindow() override;
  bool PreCreateWindow(CREATESTRUCT& cs) override;
  void OnPaint() override;
  bool OnEraseBkgnd(CDC* dc) override;
  void OnTimer(UINT_PTR id) override;
  bool OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnSysColorChange() override;

 private:
  void RebuildFont();
  void Redraw();
  void StopFlashTimer();

  COLORREF m_textColour;
  COLORREF m_highlight = RGB(255, 255, 255);
  CBrush m_defaultBrush;
  CBrush m_backBrush;  // valid only when a background colour is set
  LOGFONT m_lf{};
  CFont m_font;
  bool m_flashPhase = false;
  bool m_flashTimer = false;
  bool m_link = false;
  bool m_transparent = false;
  bool m_text3d = false;
  bool m_notifyParent = false;
  bool m_rotate = false;
  int m_flashKind = 0;
  int m_kind3d = 0;
  HCURSOR m_linkCursor = nullptr;
  bool m_gradient = false;
  COLORREF m_gradientStart = 0;
  COLORREF m_gradientEnd = 0;
  bool m_textOffset = false;
};
