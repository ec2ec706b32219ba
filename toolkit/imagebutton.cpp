#include "toolkit/imagebutton.h"

#include <QToolTip>
#include <QWidget>
#include <algorithm>
#include <cstring>
#include <random>

#include "platform/gui/dialog.h"

// ---- CDibImage ------------------------------------------------------------------

namespace {
constexpr std::int64_t kMaxImageBytes = 64LL << 20;  // a button face, not a poster
}

std::uint8_t* CDibImage::Create(int width, int height, int bits) {
  Free();
  if (width <= 0 || height <= 0) return nullptr;
  int b = bits <= 1 ? 1 : bits <= 4 ? 4 : bits < 9 ? 8 : 24;
  int entries = b == 1 ? 2 : b == 4 ? 16 : b == 8 ? 256 : 0;
  std::int64_t stride = ((static_cast<std::int64_t>(width) * b + 31) / 32) * 4;
  std::int64_t image = stride * height;
  std::int64_t total = static_cast<std::int64_t>(sizeof(BITMAPINFOHEADER)) + entries * 4 + image;
  if (image > kMaxImageBytes) return nullptr;
  block_.reset(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(total)]());
  if (!block_) return nullptr;
  header_ = BITMAPINFOHEADER{};
  header_.biWidth = width;
  header_.biHeight = height;
  header_.biPlanes = 1;
  header_.biBitCount = static_cast<std::uint16_t>(b);
  header_.biSizeImage = static_cast<std::uint32_t>(image);
  header_.biClrUsed = static_cast<std::uint32_t>(entries);
  entries_ = entries;
  stride_ = static_cast<int>(stride);
  std::memcpy(block_.get(), &header_, sizeof header_);
  return block_.get();
}

void CDibImage::Free() {
  block_.reset();
  header_ = BITMAPINFOHEADER{};
  entries_ = 0;
  stride_ = 0;
}

void CDibImage::SetPaletteEntry(int index, int red, int green, int blue) {
  if (!block_ || index < 0 || index >= entries_) return;
  std::uint8_t* e = Palette() + index * 4;
  e[0] = static_cast<std::uint8_t>(blue);
  e[1] = static_cast<std::uint8_t>(green);
  e[2] = static_cast<std::uint8_t>(red);
  e[3] = 0;
}

COLORREF CDibImage::PaletteEntry(int index) const {
  if (!block_ || index < 0 || index >= entries_) return CLR_INVALID;
  const std::uint8_t* e = Palette() + index * 4;
  return RGB(e[2], e[1], e[0]);
}

void CDibImage::SetPixel(int x, int y, std::uint8_t index) {
  if (!block_ || header_.biBitCount != 8 || x < 0 || y < 0 || x >= width() || y >= height()) return;
  // Rows are stored bottom-up.
  Pixels()[static_cast<std::size_t>(height() - 1 - y) * stride_ + x] = index;
}

std::uint8_t CDibImage::GetPixel(int x, int y) const {
  if (!block_ || header_.biBitCount != 8 || x < 0 || y < 0 || x >= width() || y >= height())
    return 0;
  return Pixels()[static_cast<std::size_t>(height() - 1 - y) * stride_ + x];
}

void CDibImage::BlendPalette(COLORREF colour, int percent) {
  if (!block_) return;
  percent = std::clamp(percent, 0, 100);
  const int c[3] = {GetBValue(colour), GetGValue(colour), GetRValue(colour)};
  for (int i = 0; i < entries_; ++i) {
    std::uint8_t* e = Palette() + i * 4;
    for (int k = 0; k < 3; ++k)
      e[k] = static_cast<std::uint8_t>((c[k] * percent + e[k] * (100 - percent)) / 100);
  }
}

void CDibImage::Fill(std::uint8_t value) {
  if (block_) std::memset(Pixels(), value, header_.biSizeImage);
}

bool CDibImage::CopyFrom(const CDibImage& other) {
  if (!block_ || !other.block_ || other.width() != width() || other.height() != height() ||
      other.bits() != bits())
    return false;
  std::memcpy(
      block_.get(), other.block_.get(),
      sizeof(BITMAPINFOHEADER) + static_cast<std::size_t>(entries_) * 4 + header_.biSizeImage);
  return true;
}

QImage CDibImage::ToImage() const {
  if (!block_) return QImage();
  QImage img;
  switch (bits()) {
    case 1: img = QImage(width(), height(), QImage::Format_Mono); break;
    case 4:
    case 8: img = QImage(width(), height(), QImage::Format_Indexed8); break;
    default: img = QImage(width(), height(), QImage::Format_RGB888); break;
  }
  if (entries_ > 0) {
    QList<QRgb> table;
    for (int i = 0; i < entries_; ++i) {
      COLORREF c = PaletteEntry(i);
      table.push_back(qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
    }
    img.setColorTable(table);
  }
  for (int y = 0; y < height(); ++y) {
    const std::uint8_t* src = Pixels() + static_cast<std::size_t>(height() - 1 - y) * stride_;
    std::uint8_t* dst = img.scanLine(y);
    if (bits() == 8 || bits() == 1) {
      std::memcpy(dst, src, static_cast<std::size_t>(bits() == 8 ? width() : (width() + 7) / 8));
    } else if (bits() == 4) {
      for (int x = 0; x < width(); ++x) dst[x] = (x & 1) ? (src[x / 2] & 0x0F) : (src[x / 2] >> 4);
    } else {
      for (int x = 0; x < width(); ++x) {  // BGR to RGB
        dst[x * 3] = src[x * 3 + 2];
        dst[x * 3 + 1] = src[x * 3 + 1];
        dst[x * 3 + 2] = src[x * 3];
      }
    }
  }
  return img;
}

int CDibImage::Draw(CDC& dc, int x, int y) const {
  if (!block_) return 0;
  dc.SetStretchBltMode(COLORONCOLOR);
  dc.DrawImage(x, y, ToImage());
  return height();
}

// ---- CImageButton ---------------------------------------------------------------

CImageButton::CImageButton() : captionColour_(GetSysColor(COLOR_BTNTEXT)) {}

CImageButton::~CImageButton() = default;

void CImageButton::PreSubclassWindow() {
  CButton::PreSubclassWindow();
  const std::uint32_t style = GetStyle();
  const unsigned align = (style & BS_CENTER) == BS_LEFT    ? DT_LEFT
                         : (style & BS_CENTER) == BS_RIGHT ? DT_RIGHT
                                                           : DT_CENTER;
  captionFormat_ = DT_SINGLELINE | DT_VCENTER | align;
  pushLike_ = style & BS_PUSHLIKE;
  flat_ = style & BS_FLAT;
  const std::uint32_t type = style & BS_TYPEMASK;
  if (type == BS_AUTOCHECKBOX) {
    kind_ = kCheckBox;
  } else if (type == BS_AUTORADIOBUTTON) {
    kind_ = kRadio;
  } else if (type != BS_OWNERDRAW) {
    kind_ = kPush;
    pushLike_ = true;
  }
  if (!pushLike_) edges3d_ = false;
  // The check state the control had before it became ours.
  bool wasChecked = kind_ != kPush && CButton::DefWindowProc(BM_GETCHECK, 0, 0) == BST_CHECKED;
  const std::uint32_t mask = BS_TYPEMASK;
  const std::uint32_t ownerDraw = BS_OWNERDRAW;
  ModifyStyle(mask, ownerDraw);
  if (!dynamic_cast<fw::CPeerWidget*>(widget())) {
    // The platform's button would paint and toggle itself; this one does both.
    auto* peer = new fw::CPeerWidget(widget()->parentWidget());
    peer->setFocusPolicy((style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
    ReplacePeer(peer);
  }
  checked_ = wasChecked;
  LOGFONT lf = fw::DefaultGuiLogFont();
  if (CFont* f = GetFont(); f && f->IsValid()) f->GetLogFont(&lf);
  SetCaptionFont(lf);
}

void CImageButton::SetCaptionFont(const LOGFONT& lf) {
  captionLf_ = lf;
  captionFont_.CreateFontIndirect(&captionLf_);
  Invalidate();
}

void CImageButton::SetToolTipText(const std::string& text, const std::string& checkedText) {
  toolTip_ = text;
  checkedToolTip_ = checkedText;
  if (QWidget* w = widget()) w->setToolTip(QString::fromStdString(currentToolTip()));
}

std::string CImageButton::currentToolTip() const {
  return checked_ && !checkedToolTip_.empty() ? checkedToolTip_ : toolTip_;
}

bool CImageButton::SetButtonIcon(int iconId, int position, int pressedIconId) {
  HICON icon = fw::LoadIconResource(iconId);
  if (!icon) return false;
  icon_ = icon;
  iconPosition_ = position;
  CRect client;
  GetClientRect(&client);
  const int iw = icon->hotSpot.x * 2, ih = icon->hotSpot.y * 2;
  int x = (client.Width() - iw) / 2;
  if (position == kIconLeft) x = focusInset_;
  if (position == kIconRight) x = client.Width() - 2 * iw - focusInset_;
  int y = client.Height() / 2 - ih / 2;
  if (position == kIconAbove) y -= ih;
  iconRect_ = CRect(std::max(x, 0), std::max(y, 0), std::max(x, 0) + iw, std::max(y, 0) + ih);
  // A pressed icon that cannot be loaded falls back to the normal one.
  pressedIcon_ = pressedIconId ? fw::LoadIconResource(pressedIconId) : nullptr;
  if (!pressedIcon_) pressedIcon_ = icon_;
  Invalidate();
  return true;
}

void CImageButton::SetBkTexture(int pattern, int grain, int hoverPercent, int tintPercent,
                                COLORREF tint) {
  CRect client;
  GetClientRect(&client);
  const int w = client.Width(), h = client.Height();
  grain = std::clamp(grain, 0, 255);
  // Too small for the focus insets: empty faces, never negative sizes.
  normal_.Create(w, h, 8);
  focusH_.Create(std::max(0, w - 2 * focusInset_ - 1), 1, 8);
  focusV_.Create(1, std::max(0, h - 2 * focusInset_), 8);

  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), face = GetSysColor(COLOR_BTNFACE),
                 light = GetSysColor(COLOR_BTNHIGHLIGHT);
  auto lerp = [](COLORREF a, COLORREF b, int num, int den) {
    return RGB(GetRValue(a) + (GetRValue(b) - GetRValue(a)) * num / den,
               GetGValue(a) + (GetGValue(b) - GetGValue(a)) * num / den,
               GetBValue(a) + (GetBValue(b) - GetBValue(a)) * num / den);
  };
  for (CDibImage* img : {&normal_, &focusH_, &focusV_}) {
    for (int i = 0; i <= 128; ++i) {
      COLORREF c = lerp(shadow, face, i, 128);
      img->SetPaletteEntry(i, GetRValue(c), GetGValue(c), GetBValue(c));
    }
    for (int i = 129; i <= 255; ++i) {
      COLORREF c = lerp(face, light, i - 128, 127);
      img->SetPaletteEntry(i, GetRValue(c), GetGValue(c), GetBValue(c));
    }
  }
  normal_.BlendPalette(tint, tintPercent);
  for (int x = 0; x < focusH_.width(); ++x) focusH_.SetPixel(x, 0, (x & 1) ? 255 : 0);
  for (int y = 0; y < focusV_.height(); ++y) focusV_.SetPixel(0, y, (y & 1) ? 255 : 0);

  // Gradients around the middle of the palette, each pixel disturbed by grain.
  std::minstd_rand rng(static_cast<unsigned>(pattern * 7919 + w * 31 + h));
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      int fx = w > 1 ? x * 256 / (w - 1) : 0;  // 0..256 across
      int fy = h > 1 ? y * 256 / (h - 1) : 0;  // 0..256 down
      int base;
      switch (pattern) {
        case 1: base = 128 + 64 - fy / 2; break;                  // light at the top
        case 2: base = 128 - 64 + fy / 2; break;                  // light at the bottom
        case 3: base = 128 + 64 - fx / 2; break;                  // light at the left
        case 4: base = 128 - 64 + fx / 2; break;                  // light at the right
        case 5: base = 128 + 64 - (fx + fy) / 4; break;           // diagonal
        case 6: base = 128 + 64 - std::abs(fy - 128); break;      // a ridge along the middle
        case 7: base = 128 - 32 + std::abs(fy - 128) / 2; break;  // a groove along the middle
        case 8: base = 128 + 64 - (std::abs(fx - 128) + std::abs(fy - 128)) / 3; break;  // a dome
        default: base = 128; break;
      }
      int noise =
          grain ? static_cast<int>(rng() % static_cast<unsigned>(grain + 1)) - grain / 2 : 0;
      normal_.SetPixel(x, y, static_cast<std::uint8_t>(std::clamp(base + noise, 0, 255)));
    }
  }
  if (normal_.IsValid()) {
    disabled_.Create(w, h, 8);
    disabled_.CopyFrom(normal_);
    hoverFace_.Create(w, h, 8);
    hoverFace_.CopyFrom(normal_);
    hoverFace_.BlendPalette(light, hoverPercent);
    pressed_.Create(w, h, 8);
    pressed_.CopyFrom(hoverFace_);
  } else {
    disabled_.Free();
    hoverFace_.Free();
    pressed_.Free();
  }
  Invalidate();
}

bool CImageButton::IsDefaultButton() const {
  auto* dlg = dynamic_cast<CDialog*>(GetParent());
  return dlg && kind_ == kPush && dlg->GetDefID() == GetDlgCtrlID();
}

void CImageButton::SetPushed(bool pushed) {
  if (pushed_ == pushed) return;
  pushed_ = pushed;
  Invalidate(false);
}

bool CImageButton::CursorOver(CPoint point) const {
  CRect client;
  GetClientRect(&client);
  return client.PtInRect(point);
}

void CImageButton::ToggleFromClick() {
  if (kind_ == kCheckBox)
    SendMessage(BM_SETCHECK, checked_ ? BST_UNCHECKED : BST_CHECKED);
  else if (kind_ == kRadio)
    SendMessage(BM_SETCHECK, BST_CHECKED);
}

LRESULT CImageButton::WindowProc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      if (!acceptClicks_) return 0;  // swallowed without any effect
      break;
    case BM_GETCHECK: return checked_ ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK: {
      checked_ = kind_ != kPush && w != 0;
      if (kind_ == kRadio && checked_) {
        // Only the other image buttons of the group hear about it.
        if (CWnd* parent = GetParent()) {
          for (CWnd* o = parent->GetNextDlgGroupItem(this); o && o != this;
               o = parent->GetNextDlgGroupItem(o))
            if (dynamic_cast<CImageButton*>(o)) o->PostMessage(kUncheckMessage);
        }
      }
      QToolTip::hideText();
      if (QWidget* widgetPeer = widget())
        widgetPeer->setToolTip(QString::fromStdString(currentToolTip()));
      Invalidate(false);
      return 0;
    }
    case BM_GETSTATE: return (checked_ ? BST_CHECKED : 0) | (pushed_ ? BST_PUSHED : 0);
    case BM_SETSTATE: SetPushed(w != 0); return 0;
    case kUncheckMessage:
      if (checked_) {
        checked_ = false;
        if (QWidget* widgetPeer = widget())
          widgetPeer->setToolTip(QString::fromStdString(toolTip_));
        Invalidate(false);
      }
      return 0;
    default: break;
  }
  return CButton::WindowProc(msg, w, l);
}

// What the platform's owner-drawn button does on its own: capture and the
// pushed look while the mouse is down, a click when released over it.
LRESULT CImageButton::DefWindowProc(UINT msg, WPARAM w, LPARAM l) {
  const CPoint point(GET_X_LPARAM(l), GET_Y_LPARAM(l));
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetCapture();
      SetPushed(true);
      if (widget() && widget()->focusPolicy() != Qt::NoFocus) SetFocus();
      return 0;
    case WM_MOUSEMOVE:
      if (::GetCapture() == this) SetPushed(CursorOver(point));
      return 0;
    case WM_LBUTTONUP: {
      bool click = pushed_;
      if (::GetCapture() == this) ReleaseCapture();
      SetPushed(false);
      if (click) NotifyParent(BN_CLICKED);
      return 0;
    }
    case WM_KEYDOWN:
      if (w == VK_SPACE && !(HIWORD(static_cast<std::uintptr_t>(l)) & 0x4000)) SetPushed(true);
      return 0;
    case WM_KEYUP:
      if (w == VK_SPACE && pushed_) {
        SetPushed(false);
        NotifyParent(BN_CLICKED);
      }
      return 0;
    case WM_GETDLGCODE:
      return DLGC_BUTTON | (kind_ == kRadio ? DLGC_RADIOBUTTON : 0) |
             (IsDefaultButton() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    default: return CButton::DefWindowProc(msg, w, l);
  }
}

void CImageButton::OnMouseMove(UINT flags, CPoint point) {
  if (pressing_ && ::GetCapture() == this) {
    bool over = CursorOver(point);
    if (over != pushed_) SetPushed(over);
  } else if (!hover_) {
    TrackMouseEvent(this);
    hover_ = true;
    Invalidate(false);
  }
  CButton::OnMouseMove(flags, point);
}

void CImageButton::OnMouseLeave() {
  hover_ = false;
  Invalidate(false);
  CButton::OnMouseLeave();
}

void CImageButton::OnLButtonDown(UINT, CPoint point) {
  if (hover_) hover_ = false;
  DefWindowProc(WM_LBUTTONDOWN, 0, MAKELPARAM(point.x, point.y));
  pressing_ = true;
}

void CImageButton::OnLButtonUp(UINT, CPoint point) {
  // Released away from the button (dragged off) nothing toggles.
  if ((kind_ == kCheckBox || kind_ == kRadio) && CursorOver(point) && pressing_) ToggleFromClick();
  pressing_ = false;
  DefWindowProc(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
}

void CImageButton::OnLButtonDblClk(UINT flags, CPoint point) {
  OnLButtonDown(flags, point);
}

void CImageButton::OnKeyDown(UINT vk, UINT repeat, UINT flags) {
  // A held space key repeats; only its first press toggles.
  if (vk == VK_SPACE && !(flags & 0x4000)) ToggleFromClick();
  DefWindowProc(WM_KEYDOWN, vk, MAKELPARAM(static_cast<int>(repeat), static_cast<int>(flags)));
}

void CImageButton::OnKillFocus(CWnd* newWnd) {
  if (::GetCapture() == this) ReleaseCapture();
  pressing_ = false;
  SetPushed(false);
  CButton::OnKillFocus(newWnd);
}

bool CImageButton::OnEraseBkgnd(CDC*) {
  return true;
}

void CImageButton::OnPaint() {
  CPaintDC dc(this);
  DrawButton(dc);
}

void CImageButton::DrawButton(CDC& target) {
  CRect client;
  GetClientRect(&client);
  if (client.IsRectEmpty()) return;
  const int w = client.Width(), h = client.Height();
  CBitmap bitmap;
  if (!bitmap.CreateCompatibleBitmap(w, h)) return;
  CDC dc;
  dc.CreateCompatibleDC(&target);
  dc.SelectObject(&bitmap);

  const bool disabled = !IsWindowEnabled();
  const bool focus = widget() && widget()->hasFocus();
  const bool selected = pushed_;
  CFont* oldFont = captionFont_.IsValid()
                       ? dc.SelectObject(&captionFont_)
                       : static_cast<CFont*>(dc.SelectStockObject(DEFAULT_GUI_FONT));
  dc.SetBkMode(TRANSPARENT);

  CRect caption = client;
  caption.DeflateRect(focusInset_ + 2, focusInset_ + 2);
  if (icon_) {
    if (iconPosition_ == kIconLeft)
      caption.left = std::max(caption.left, iconRect_.right);
    else if (iconPosition_ == kIconRight)
      caption.right = std::min(caption.right, iconRect_.left);
    else
      caption.top = std::max(caption.top, iconRect_.bottom);
  }
  const std::string text = GetWindowText();
  auto fillFace = [&](const CDibImage& face, int dx, int dy) {
    if (face.IsValid())
      face.Draw(dc, dx, dy);
    else
      dc.FillSolidRect(client, GetSysColor(COLOR_BTNFACE));
  };
  auto drawFocusAndCaption = [&](int shift) {
    if (focus && drawFocus_) {
      focusH_.Draw(dc, focusInset_, focusInset_);
      focusH_.Draw(dc, focusInset_, h - focusInset_ - 1);
      focusV_.Draw(dc, focusInset_, focusInset_);
      focusV_.Draw(dc, w - focusInset_ - 1, focusInset_);
    }
    CRect r = caption;
    r.OffsetRect(shift, shift);
    dc.SetTextColor(captionColour_);
    dc.DrawText(text, &r, captionFormat_);
  };

  if (disabled) {
    fillFace(disabled_, 0, 0);
    if (icon_) dc.DrawIconDisabled(iconRect_.left, iconRect_.top, icon_);
    if (edges3d_ && !flat_) {
      CRect r = client;
      dc.DrawEdge(&r, EDGE_RAISED, BF_RECT);
    }
    CRect r = caption;
    dc.SetTextColor(GetSysColor(COLOR_BTNHIGHLIGHT));
    dc.DrawText(text, &r, captionFormat_);
    r.OffsetRect(-1, -1);
    dc.SetTextColor(GetSysColor(COLOR_GRAYTEXT));
    dc.DrawText(text, &r, captionFormat_);
  } else if (selected || checked_) {
    if (pressed_.IsValid()) {
      if (edges3d_) dc.FillSolidRect(client, GetSysColor(COLOR_BTNFACE));
      pressed_.Draw(dc, edges3d_ ? 1 : 0, edges3d_ ? 1 : 0);
    } else {
      dc.FillSolidRect(client, GetSysColor(COLOR_BTNFACE));
    }
    const int shift = pushLike_ ? 1 : 0;
    if (pressedIcon_) dc.DrawIcon(iconRect_.left + shift, iconRect_.top + shift, pressedIcon_);
    if (flat_) {
      dc.Draw3dRect(client, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    } else {
      CRect r = client;
      dc.DrawEdge(&r, EDGE_SUNKEN, BF_RECT);
    }
    drawFocusAndCaption(shift);
  } else {
    fillFace(hover_ && hoverFace_.IsValid() ? hoverFace_ : normal_, 0, 0);
    if (icon_) dc.DrawIcon(iconRect_.left, iconRect_.top, icon_);
    if (edges3d_ && (hover_ || !flat_)) {
      CRect r = client;
      if (IsDefaultButton())
        dc.DrawEdge(&r, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
      else if (flat_)
        dc.Draw3dRect(client, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
      else
        dc.DrawEdge(&r, EDGE_RAISED, BF_RECT);
    }
    drawFocusAndCaption(0);
  }
  dc.SelectObject(oldFont);
  target.BitBlt(0, 0, w, h, &dc, 0, 0, SRCCOPY);
  dc.DeleteDC();
}
