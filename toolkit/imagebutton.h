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
  bool IsValid() const { return block_ != nullptr; }
  void Free();

  int width() const { return header_.biWidth; }
  int height() const { return header_.biHeight; }
  int bits() const { return header_.biBitCount; }
  int paletteEntries() const { return entries_; }
  int stride() const { return stride_; }
  COLORREF PaletteEntry(int index) const;
  const BITMAPINFOHEADER& header() const { return header_; }
  QImage ToImage() const;

 private:
  std::uint8_t* Palette() const { return block_.get() + sizeof(BITMAPINFOHEADER); }
  std::uint8_t* Pixels() const { return Palette() + static_cast<std::size_t>(entries_) * 4; }

  std::unique_ptr<std::uint8_t[]> block_;
  BITMAPINFOHEADER header_;
  int entries_ = 0;
  int stride_ = 0;
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
  void SetCaptionColour(COLORREF c) { captionColour_ = c; }
  void SetCaptionFont(const LOGFONT& lf);
  void EnableClicks(bool accept) { acceptClicks_ = accept; }
  void SetDrawFocus(bool draw) { drawFocus_ = draw; }

  int kind() const { return kind_; }
  bool checked() const { return checked_; }
  bool pushLike() const { return pushLike_; }
  bool flat() const { return flat_; }
  bool edges3d() const { return edges3d_; }
  bool hover() const { return hover_; }
  bool pressing() const { return pressing_; }
  bool pushed() const { return pushed_; }
  unsigned captionFormat() const { return captionFormat_; }
  const CDibImage& normalFace() const { return normal_; }
  const CDibImage& hoverFace() const { return hoverFace_; }
  const CDibImage& pressedFace() const { return pressed_; }
  const CDibImage& disabledFace() const { return disabled_; }
  const CDibImage& focusLineH() const { return focusH_; }
  const CDibImage& focusLineV() const { return focusV_; }
  const CRect& iconRect() const { return iconRect_; }
  HICON icon() const { return icon_; }
  HICON pressedIcon() const { return pressedIcon_; }
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

  LOGFONT captionLf_{};
  CFont captionFont_;
  std::string toolTip_, checkedToolTip_;
  bool checked_ = false;
  bool pushLike_ = false;
  int kind_ = kPush;
  CDibImage normal_, pressed_, disabled_, hoverFace_, focusH_, focusV_;
  bool hover_ = false;
  bool pressing_ = false;
  bool pushed_ = false;  // the button's pushed look (BM_SETSTATE)
  bool acceptClicks_ = true;
  bool drawFocus_ = true;
  std::uint16_t focusInset_ = 4;
  COLORREF captionColour_;
  bool edges3d_ = true;
  HICON icon_ = nullptr;
  HICON pressedIcon_ = nullptr;
  CRect iconRect_;
  unsigned captionFormat_ = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
  int iconPosition_ = kIconAbove;
  bool flat_ = false;
};
