// A device-independent bitmap with a palette, and the owner-drawn button
// that paints textured faces from it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/gui/controls.h"

#pragma pack(push, 1)
struct BITMAPINFOHEADER {
  std::uint32_t biSize = 40;
  std::int32_t biWidth = 0;
  std::int32_t biHeight = 0;
  std::uint16_t biPlanes = 1;
  std::uint16_t biBitCount = 0;
  std::uint32_t biCompression = 0;
  std::uint32_t biSizeImage = 0;
  std::int32_t biXPelsPerMeter = 0;
  std::int32_t biYPelsPerMeter = 0;
  std::uint32_t biClrUsed = 0;
  std::uint32_t biClrImportant = 0;
};
#pragma pack(pop)
static_assert(sizeof(BITMAPINFOHEADER) == 40);

class CDibImage {
 public:
  CDibImage() = default;
  ~CDibImage() { Free(); }
  CDibImage(const CDibImage&) = delete;
  CDibImage& operator=(const CDibImage&) = delete;

  // Frees the old image; bits round up to 1, 4, 8 or 24. Null when the size
  // is empty, negative or too large.
  std::uint8_t* Create(int width, int height, int bits);
  void SetPaletteEntry(int index, int red, int green, int blue);
  // 8-bit images; y counts from the top; ignored outside the image.
  void SetPixel(int x, int y, std::uint8_t index);
  std::uint8_t GetPixel(int x, int y) const;
  // Every entry moves percent (limited to 0..100) of the way to colour.
  void BlendPalette(COLORREF colour, int percent);
  void Fill(std::uint8_t value);
  // Same size and depth only; false otherwise.
  bool CopyFrom(const CDibImage& other);
  // Draws the whole image at (x, y); the number of rows drawn, 0 when empty.
  int Draw(CDC& dc, int x, int y) const;
  bool IsValid() const { return m_block != nullptr; }
  void Free();

  int width() const { return m_header.biWidth; }
  int height() const { return m_header.biHeight; }
  int bits() const { return m_header.biBitCount; }
  int paletteEntries() const { return m_entries; }
  int stride() const { return m_stride; }
  COLORREF PaletteEntry(int index) const;
  const BITMAPINFOHEADER& header() const { return m_header; }
  QImage ToImage() const;

 private:
  std::uint8_t* Palette() const { return m_block.get() + sizeof(BITMAPINFOHEADER); }
  std::uint8_t* Pixels() const { return Palette() + static_cast<std::size_t>(m_entries) * 4; }

  std::unique_ptr<std::uint8_t[]> m_block;
  BITMAPINFOHEADER m_header;
  int m_entries = 0;
  int m_stride = 0;
};

class CImageButton : public CButton {
 public:
  enum Kind { kPush = 0, kCheckBox = 2, kRadio = 4 };
  enum IconPosition { kIconLeft = 256, kIconRight = 512, kIconAbove = 768 };
  // Sent (posted) to the other image buttons of a radio group when one is checked.
  static constexpr UINT kUncheckMessage = WM_USER + 0x100;

  CImageButton();
  ~CImageButton() override;

  bool SetButtonIcon(int iconId, int position = kIconAbove, int pressedIconId = 0);
  // Builds the faces: pattern 1..8 (else noise), grain 0..255, hover and tint
  // percentages (0..100), tint colour.
  void SetBkTexture(int pattern, int grain, int hoverPercent, int tintPercent, COLORREF tint);
  void SetToolTipText(const std::string& text, const std::string& checkedText = {});
  void SetCaptionColour(COLORREF c) { m_captionColour = c; }
  void SetCaptionFont(const LOGFONT& lf);
  void EnableClicks(bool accept) { m_acceptClicks = accept; }
  void SetDrawFocus(bool draw) { m_drawFocus = draw; }

  int kind() const { return m_kind; }
  bool checked() const { return m_checked; }
  bool pushLike() const { return m_pushLike; }
  bool flat() const { return m_flat; }
  bool edges3d() const { return m_edges3d; }
  bool hover() const { return m_hover; }
  bool pressing() const { return m_pressing; }
  bool pushed() const { return m_pushed; }
  unsigned captionFormat() const { return m_captionFormat; }
  const CDibImage& normalFace() const { return m_normal; }
  const CDibImage& hoverFace() const { return m_hoverFace; }
  const CDibImage& pressedFace() const { return m_pressed; }
  const CDibImage& disabledFace() const { return m_disabled; }
  const CDibImage& focusLineH() const { return m_focusH; }
  const CDibImage& focusLineV() const { return m_focusV; }
  const CRect& iconRect() const { return m_iconRect; }
  // Width a 16-pixel icon beside the caption takes from it, for dialogs that
  // fit their texts (CDialog::FitText).
  static constexpr int kIconBesideWidth = 16 + 6;
  // Where the caption is drawn: inside the focus frame, beside or under the icon.
  CRect CaptionRect() const;
  // The font the caption is drawn in.
  CFont* CaptionFont();
  HICON icon() const { return m_icon; }
  HICON pressedIcon() const { return m_pressedIcon; }
  std::string currentToolTip() const;

  // Draws the button as it looks now into dc (what WM_PAINT does).
  void DrawButton(CDC& dc);

 protected:
  void PreSubclassWindow() override;
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;
  LRESULT DefWindowProc(UINT msg, WPARAM w, LPARAM l) override;
  void OnPaint() override;
  bool OnEraseBkgnd(CDC* dc) override;
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnMouseLeave() override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnLButtonDblClk(UINT flags, CPoint point) override;
  void OnKeyDown(UINT vk, UINT repeat, UINT flags) override;
  void OnKillFocus(CWnd* newWnd) override;

 private:
  void SetPushed(bool pushed);
  bool CursorOver(CPoint point) const;
  void ToggleFromClick();
  bool IsDefaultButton() const;

  LOGFONT m_captionLf{};
  CFont m_captionFont;
  std::string m_toolTip, m_checkedToolTip;
  bool m_checked = false;
  bool m_pushLike = false;
  int m_kind = kPush;
  CDibImage m_normal, m_pressed, m_disabled, m_hoverFace, m_focusH, m_focusV;
  bool m_hover = false;
  bool m_pressing = false;
  bool m_pushed = false;  // the button's pushed look (BM_SETSTATE)
  bool m_acceptClicks = true;
  bool m_drawFocus = true;
  std::uint16_t m_focusInset = 4;
  COLORREF m_captionColour;
  bool m_edges3d = true;
  HICON m_icon = nullptr;
  HICON m_pressedIcon = nullptr;
  CRect m_iconRect;
  unsigned m_captionFormat = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
  int m_iconPosition = kIconAbove;
  bool m_flat = false;
};
