#include "toolkit/imagebutton.h"

#include <QFontMetrics>
#include <QToolTip>
#include <QWidget>
#include <algorithm>
#include <cstring>
#include <random>

#include "platform/gui/dialog.h"
#include "platform/gui/qtstring.h"

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
  m_block.reset(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(total)]());
  if (!m_block) return nullptr;
  m_header = BITMAPINFOHEADER{};
  m_header.biWidth = width;
  m_header.biHeight = height;
  m_header.biPlanes = 1;
  m_header.biBitCount = static_cast<std::uint16_t>(b);
  m_header.biSizeImage = static_cast<std::uint32_t>(image);
  m_header.biClrUsed = static_cast<std::uint32_t>(entries);
  m_entries = entries;
  m_stride = static_cast<int>(stride);
  std::memcpy(m_block.get(), &m_header, sizeof m_header);
  return m_block.get();
}

void CDibImage::Free() {
  m_block.reset();
  m_header = BITMAPINFOHEADER{};
  m_entries = 0;
  m_stride = 0;
}

void CDibImage::SetPaletteEntry(int index, int red, int green, int blue) {
  if (!m_block || index < 0 || index >= m_entries) return;
  std::uint8_t* e = Palette() + index * 4;
  e[0] = static_cast<std::uint8_t>(blue);
  e[1] = static_cast<std::uint8_t>(green);
  e[2] = static_cast<std::uint8_t>(red);
  e[3] = 0;
}

COLORREF CDibImage::PaletteEntry(int index) const {
  if (!m_block || index < 0 || index >= m_entries) return CLR_INVALID;
  const std::uint8_t* e = Palette() + index * 4;
  return RGB(e[2], e[1], e[0]);
}

void CDibImage::SetPixel(int x, int y, std::uint8_t index) {
  if (!m_block || m_header.biBitCount != 8 || x < 0 || y < 0 || x >= width() || y >= height())
    return;
  // Rows are stored bottom-up.
  Pixels()[static_cast<std::size_t>(height() - 1 - y) * m_stride + x] = index;
}

std::uint8_t CDibImage::GetPixel(int x, int y) const {
  if (!m_block || m_header.biBitCount != 8 || x < 0 || y < 0 || x >= width() || y >= height())
    return 0;
  return Pixels()[static_cast<std::size_t>(height() - 1 - y) * m_stride + x];
}

void CDibImage::BlendPalette(COLORREF colour, int percent) {
  if (!m_block) return;
  percent = std::clamp(percent, 0, 100);
  const int c[3] = {GetBValue(colour), GetGValue(colour), GetRValue(colour)};
  for (int i = 0; i < m_entries; ++i) {
    std::uint8_t* e = Palette() + i * 4;
    for (int k = 0; k < 3; ++k)
      e[k] = static_cast<std::uint8_t>((c[k] * percent + e[k] * (100 - percent)) / 100);
  }
}

void CDibImage::Fill(std::uint8_t value) {
  if (m_block) std::memset(Pixels(), value, m_header.biSizeImage);
}

bool CDibImage::CopyFrom(const CDibImage& other) {
  if (!m_block || !other.m_block || other.width() != width() || other.height() != height() ||
      other.bits() != bits())
    return false;
  std::memcpy(
      m_block.get(), other.m_block.get(),
      sizeof(BITMAPINFOHEADER) + static_cast<std::size_t>(m_entries) * 4 + m_header.biSizeImage);
  return true;
}

QImage CDibImage::ToImage() const {
  if (!m_block) return QImage();
  QImage img;
  switch (bits()) {
    case 1: img = QImage(width(), height(), QImage::Format_Mono); break;
    case 4:
    case 8: img = QImage(width(), height(), QImage::Format_Indexed8); break;
    default: img = QImage(width(), height(), QImage::Format_RGB888); break;
  }
  if (m_entries > 0) {
    QList<QRgb> table;
    for (int i = 0; i < m_entries; ++i) {
      COLORREF c = PaletteEntry(i);
      table.push_back(qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
    }
    img.setColorTable(table);
  }
  for (int y = 0; y < height(); ++y) {
    const std::uint8_t* src = Pixels() + static_cast<std::size_t>(height() - 1 - y) * m_stride;
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
  if (!m_block) return 0;
  dc.SetStretchBltMode(COLORONCOLOR);
  dc.DrawImage(x, y, ToImage());
  return height();
}

// ---- CImageButton ---------------------------------------------------------------

CImageButton::CImageButton() : m_captionColour(GetSysColor(COLOR_BTNTEXT)) {}

CImageButton::~CImageButton() = default;

void CImageButton::PreSubclassWindow() {
  CButton::PreSubclassWindow();
  const std::uint32_t style = GetStyle();
  const unsigned align = (style & BS_CENTER) == BS_LEFT    ? DT_LEFT
                         : (style & BS_CENTER) == BS_RIGHT ? DT_RIGHT
                                                           : DT_CENTER;
  m_captionFormat = DT_SINGLELINE | DT_VCENTER | align;
  m_pushLike = style & BS_PUSHLIKE;
  m_flat = style & BS_FLAT;
  const std::uint32_t type = style & BS_TYPEMASK;
  if (type == BS_AUTOCHECKBOX) {
    m_kind = kCheckBox;
  } else if (type == BS_AUTORADIOBUTTON) {
    m_kind = kRadio;
  } else {
    // Every other button, an owner-drawn one too, is a push button.
    m_kind = kPush;
    m_pushLike = true;
  }
  if (!m_pushLike) m_edges3d = false;
  // The check state the control had before it became ours.
  bool wasChecked = m_kind != kPush && CButton::DefWindowProc(BM_GETCHECK, 0, 0) == BST_CHECKED;
  const std::uint32_t mask = BS_TYPEMASK;
  const std::uint32_t ownerDraw = BS_OWNERDRAW;
  ModifyStyle(mask, ownerDraw);
  if (!dynamic_cast<fw::CPeerWidget*>(widget())) {
    // The platform's button would paint and toggle itself; this one does both.
    auto* peer = new fw::CPeerWidget(widget()->parentWidget());
    peer->setFocusPolicy((style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
    ReplacePeer(peer);
  }
  m_checked = wasChecked;
  LOGFONT lf = fw::DefaultGuiLogFont();
  if (CFont* f = GetFont(); f && f->IsValid()) f->GetLogFont(&lf);
  SetCaptionFont(lf);
}

void CImageButton::SetCaptionFont(const LOGFONT& lf) {
  m_captionLf = lf;
  (void)m_captionFont.CreateFontIndirect(&m_captionLf);  // fails only without a LOGFONT
  Invalidate();
}

void CImageButton::SetToolTipText(const std::string& text, const std::string& checkedText) {
  m_toolTip = text;
  m_checkedToolTip = checkedText;
  if (QWidget* w = widget()) w->setToolTip(fw::ToQ(currentToolTip()));
}

std::string CImageButton::currentToolTip() const {
  return m_checked && !m_checkedToolTip.empty() ? m_checkedToolTip : m_toolTip;
}

bool CImageButton::SetButtonIcon(int iconId, int position, int pressedIconId) {
  HICON icon = fw::LoadIconResource(iconId);
  if (!icon) return false;
  m_icon = icon;
  m_iconPosition = position;
  CRect client;
  GetClientRect(&client);
  const int iw = icon->hotSpot.x * 2, ih = icon->hotSpot.y * 2;
  int x = (client.Width() - iw) / 2;
  if (position == kIconLeft) x = m_focusInset;
  if (position == kIconRight) x = client.Width() - 2 * iw - m_focusInset;
  int y = client.Height() / 2 - ih / 2;
  if (position == kIconAbove) y -= ih;
  m_iconRect = CRect(std::max(x, 0), std::max(y, 0), std::max(x, 0) + iw, std::max(y, 0) + ih);
  // A pressed icon that cannot be loaded falls back to the normal one.
  m_pressedIcon = pressedIconId ? fw::LoadIconResource(pressedIconId) : nullptr;
  if (!m_pressedIcon) m_pressedIcon = m_icon;
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
  m_normal.Create(w, h, 8);
  m_focusH.Create(std::max(0, w - 2 * m_focusInset - 1), 1, 8);
  m_focusV.Create(1, std::max(0, h - 2 * m_focusInset), 8);

  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), face = GetSysColor(COLOR_BTNFACE),
                 light = GetSysColor(COLOR_BTNHIGHLIGHT);
  auto lerp = [](COLORREF a, COLORREF b, int num, int den) {
    return RGB(GetRValue(a) + (GetRValue(b) - GetRValue(a)) * num / den,
               GetGValue(a) + (GetGValue(b) - GetGValue(a)) * num / den,
               GetBValue(a) + (GetBValue(b) - GetBValue(a)) * num / den);
  };
  for (CDibImage* img : {&m_normal, &m_focusH, &m_focusV}) {
    for (int i = 0; i <= 128; ++i) {
      COLORREF c = lerp(shadow, face, i, 128);
      img->SetPaletteEntry(i, GetRValue(c), GetGValue(c), GetBValue(c));
    }
    for (int i = 129; i <= 255; ++i) {
      COLORREF c = lerp(face, light, i - 128, 127);
      img->SetPaletteEntry(i, GetRValue(c), GetGValue(c), GetBValue(c));
    }
  }
  m_normal.BlendPalette(tint, tintPercent);
  for (int x = 0; x < m_focusH.width(); ++x) m_focusH.SetPixel(x, 0, (x & 1) ? 255 : 0);
  for (int y = 0; y < m_focusV.height(); ++y) m_focusV.SetPixel(0, y, (y & 1) ? 255 : 0);

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
      m_normal.SetPixel(x, y, static_cast<std::uint8_t>(std::clamp(base + noise, 0, 255)));
    }
  }
  if (m_normal.IsValid()) {
    m_disabled.Create(w, h, 8);
    m_disabled.CopyFrom(m_normal);
    m_hoverFace.Create(w, h, 8);
    m_hoverFace.CopyFrom(m_normal);
    m_hoverFace.BlendPalette(light, hoverPercent);
    m_pressed.Create(w, h, 8);
    m_pressed.CopyFrom(m_hoverFace);
  } else {
    m_disabled.Free();
    m_hoverFace.Free();
    m_pressed.Free();
  }
  Invalidate();
}

bool CImageButton::IsDefaultButton() const {
  auto* dlg = dynamic_cast<CDialog*>(GetParent());
  return dlg && m_kind == kPush && dlg->GetDefID() == GetDlgCtrlID();
}

void CImageButton::SetPushed(bool pushed) {
  if (m_pushed == pushed) return;
  m_pushed = pushed;
  Invalidate(false);
}

bool CImageButton::CursorOver(CPoint point) const {
  CRect client;
  GetClientRect(&client);
  return client.PtInRect(point);
}

void CImageButton::ToggleFromClick() {
  if (m_kind == kCheckBox)
    SendMessage(BM_SETCHECK, m_checked ? BST_UNCHECKED : BST_CHECKED);
  else if (m_kind == kRadio)
    SendMessage(BM_SETCHECK, BST_CHECKED);
}

LRESULT CImageButton::WindowProc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      if (!m_acceptClicks) return 0;  // swallowed without any effect
      break;
    case BM_GETCHECK: return m_checked ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK: {
      m_checked = m_kind != kPush && w != 0;
      if (m_kind == kRadio && m_checked) {
        // Only the other image buttons of the group hear about it.
        if (CWnd* parent = GetParent()) {
          for (CWnd* o = parent->GetNextDlgGroupItem(this); o && o != this;
               o = parent->GetNextDlgGroupItem(o))
            if (dynamic_cast<CImageButton*>(o))
              (void)o->PostMessage(kUncheckMessage);  // a group item has its window
        }
      }
      QToolTip::hideText();
      if (QWidget* widgetPeer = widget()) widgetPeer->setToolTip(fw::ToQ(currentToolTip()));
      Invalidate(false);
      return 0;
    }
    case BM_GETSTATE: return (m_checked ? BST_CHECKED : 0) | (m_pushed ? BST_PUSHED : 0);
    case BM_SETSTATE: SetPushed(w != 0); return 0;
    case kUncheckMessage:
      if (m_checked) {
        m_checked = false;
        if (QWidget* widgetPeer = widget()) widgetPeer->setToolTip(fw::ToQ(m_toolTip));
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
      bool click = m_pushed;
      if (::GetCapture() == this) (void)ReleaseCapture();  // nothing refuses a release
      SetPushed(false);
      if (click) NotifyParent(BN_CLICKED);
      return 0;
    }
    case WM_KEYDOWN:
      if (w == VK_SPACE && !(HIWORD(static_cast<std::uintptr_t>(l)) & 0x4000)) SetPushed(true);
      return 0;
    case WM_KEYUP:
      if (w == VK_SPACE && m_pushed) {
        SetPushed(false);
        NotifyParent(BN_CLICKED);
      }
      return 0;
    case WM_GETDLGCODE:
      return DLGC_BUTTON | (m_kind == kRadio ? DLGC_RADIOBUTTON : 0) |
             (IsDefaultButton() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    default: return CButton::DefWindowProc(msg, w, l);
  }
}

void CImageButton::OnMouseMove(UINT flags, CPoint point) {
  if (m_pressing && ::GetCapture() == this) {
    bool over = CursorOver(point);
    if (over != m_pushed) SetPushed(over);
  } else if (!m_hover) {
    TrackMouseEvent(this);
    m_hover = true;
    Invalidate(false);
  }
  CButton::OnMouseMove(flags, point);
}

void CImageButton::OnMouseLeave() {
  m_hover = false;
  Invalidate(false);
  CButton::OnMouseLeave();
}

void CImageButton::OnLButtonDown(UINT, CPoint point) {
  if (m_hover) m_hover = false;
  DefWindowProc(WM_LBUTTONDOWN, 0, MAKELPARAM(point.x, point.y));
  m_pressing = true;
}

void CImageButton::OnLButtonUp(UINT, CPoint point) {
  // Released away from the button (dragged off) nothing toggles.
  if ((m_kind == kCheckBox || m_kind == kRadio) && CursorOver(point) && m_pressing)
    ToggleFromClick();
  m_pressing = false;
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
  if (::GetCapture() == this) (void)ReleaseCapture();  // nothing refuses a release
  m_pressing = false;
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

CFont* CImageButton::CaptionFont() {
  return m_captionFont.IsValid() ? &m_captionFont
                                 : static_cast<CFont*>(GetStockObject(DEFAULT_GUI_FONT));
}

CRect CImageButton::CaptionRect() const {
  CRect client;
  GetClientRect(&client);
  // A single line keeps its whole height even where the focus frame is close.
  const int line = QFontMetrics(const_cast<CImageButton*>(this)->CaptionFont()->font()).height();
  const int dy = std::clamp((client.Height() - line) / 2, 0, m_focusInset + 2);
  CRect caption = client;
  caption.DeflateRect(m_focusInset + 2, (m_captionFormat & DT_SINGLELINE) ? dy : m_focusInset + 2);
  if (m_icon) {
    if (m_iconPosition == kIconLeft)
      caption.left = std::max(caption.left, m_iconRect.right);
    else if (m_iconPosition == kIconRight)
      caption.right = std::min(caption.right, m_iconRect.left);
    else
      caption.top = std::max(caption.top, m_iconRect.bottom);
  }
  return caption;
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
  const bool selected = m_pushed;
  CFont* oldFont = dc.SelectObject(CaptionFont());
  dc.SetBkMode(TRANSPARENT);

  const CRect caption = CaptionRect();
  const std::string text = GetWindowText();
  auto fillFace = [&](const CDibImage& face, int dx, int dy) {
    if (face.IsValid())
      face.Draw(dc, dx, dy);
    else
      dc.FillSolidRect(client, GetSysColor(COLOR_BTNFACE));
  };
  auto drawFocusAndCaption = [&](int shift) {
    if (focus && m_drawFocus) {
      m_focusH.Draw(dc, m_focusInset, m_focusInset);
      m_focusH.Draw(dc, m_focusInset, h - m_focusInset - 1);
      m_focusV.Draw(dc, m_focusInset, m_focusInset);
      m_focusV.Draw(dc, w - m_focusInset - 1, m_focusInset);
    }
    CRect r = caption;
    r.OffsetRect(shift, shift);
    dc.SetTextColor(m_captionColour);
    dc.DrawText(text, &r, m_captionFormat);
  };

  if (disabled) {
    fillFace(m_disabled, 0, 0);
    if (m_icon) dc.DrawIconDisabled(m_iconRect.left, m_iconRect.top, m_icon);
    if (m_edges3d && !m_flat) {
      CRect r = client;
      dc.DrawEdge(&r, EDGE_RAISED, BF_RECT);
    }
    CRect r = caption;
    dc.SetTextColor(GetSysColor(COLOR_BTNHIGHLIGHT));
    dc.DrawText(text, &r, m_captionFormat);
    r.OffsetRect(-1, -1);
    dc.SetTextColor(GetSysColor(COLOR_GRAYTEXT));
    dc.DrawText(text, &r, m_captionFormat);
  } else if (selected || m_checked) {
    if (m_pressed.IsValid()) {
      if (m_edges3d) dc.FillSolidRect(client, GetSysColor(COLOR_BTNFACE));
      m_pressed.Draw(dc, m_edges3d ? 1 : 0, m_edges3d ? 1 : 0);
    } else {
      dc.FillSolidRect(client, GetSysColor(COLOR_BTNFACE));
    }
    const int shift = m_pushLike ? 1 : 0;
    if (m_pressedIcon) dc.DrawIcon(m_iconRect.left + shift, m_iconRect.top + shift, m_pressedIcon);
    if (m_flat) {
      dc.Draw3dRect(client, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    } else {
      CRect r = client;
      dc.DrawEdge(&r, EDGE_SUNKEN, BF_RECT);
    }
    drawFocusAndCaption(shift);
  } else {
    fillFace(m_hover && m_hoverFace.IsValid() ? m_hoverFace : m_normal, 0, 0);
    if (m_icon) dc.DrawIcon(m_iconRect.left, m_iconRect.top, m_icon);
    if (m_edges3d && (m_hover || !m_flat)) {
      CRect r = client;
      if (IsDefaultButton())
        dc.DrawEdge(&r, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
      else if (m_flat)
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
