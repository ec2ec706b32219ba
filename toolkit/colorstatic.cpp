#include "toolkit/colorstatic.h"

#include <QWidget>
#include <algorithm>

#include "platform/gui/services.h"

CColorStatic::CColorStatic() : textColour_(GetSysColor(COLOR_WINDOWTEXT)) {
  defaultBrush_.CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
}

CColorStatic::~CColorStatic() = default;

bool CColorStatic::PreCreateWindow(CREATESTRUCT& cs) {
  return CStatic::PreCreateWindow(cs);
}

void CColorStatic::PreSubclassWindow() {
  CStatic::PreSubclassWindow();
  // Start from the control's own font.
  LOGFONT lf = fw::DefaultGuiLogFont();
  if (CFont* f = GetFont(); f && f->IsValid()) f->GetLogFont(&lf);
  lf_ = lf;
  RebuildFont();
  // The peer paints nothing of its own; our paint covers it.
  if (QWidget* w = widget()) w->setAttribute(Qt::WA_OpaquePaintEvent, !transparent_);
}

void CColorStatic::RebuildFont() {
  font_.DeleteObject();
  font_.CreateFontIndirect(&lf_);
}

void CColorStatic::Redraw() {
  if (!IsWindow()) return;
  RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  // The parent shows through a transparent control: refresh what lies under it.
  if (CWnd* parent = GetParent(); parent && parent->widget()) {
    CRect r;
    GetWindowRect(&r);
    parent->ScreenToClient(&r);
    parent->InvalidateRect(&r, true);
    parent->UpdateWindow();
  }
}

CColorStatic& CColorStatic::SetBackground(COLORREF colour, COLORREF endColour, bool gradient) {
  gradientStart_ = colour;
  gradientEnd_ = endColour;
  gradient_ = gradient;
  if (!gradient) backBrush_.CreateSolidBrush(colour);
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::SetTextColor(COLORREF colour) {
  textColour_ = colour;
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::SetText(const std::string& text) {
  SetWindowText(text);
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::SetBold(bool bold) {
  lf_.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  RebuildFont();
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::SetFontName(const std::string& face, std::uint8_t charSet) {
  fw::SetFaceName(lf_, face);
  lf_.lfCharSet = charSet;
  RebuildFont();
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::SetUnderline(bool underline) {
  lf_.lfUnderline = underline;
  RebuildFont();
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::SetItalic(bool italic) {
  lf_.lfItalic = italic;
  RebuildFont();
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::SetFontSize(int points) {
  CFont sized;
  sized.CreatePointFont(points * 10, lf_.lfFaceName);
  LOGFONT lf;
  sized.GetLogFont(&lf);
  lf_.lfHeight = lf.lfHeight;
  lf_.lfWidth = lf.lfWidth;
  RebuildFont();
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::SetSunken(bool sunken) {
  ModifyStyleEx(sunken ? 0 : WS_EX_STATICEDGE, sunken ? WS_EX_STATICEDGE : 0, SWP_FRAMECHANGED);
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::SetBorder(bool border) {
  ModifyStyle(border ? 0 : WS_BORDER, border ? WS_BORDER : 0, SWP_FRAMECHANGED);
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::SetTransparent(bool transparent) {
  transparent_ = transparent;
  if (transparent) ModifyStyleEx(0, WS_EX_TRANSPARENT);
  if (QWidget* w = widget()) w->setAttribute(Qt::WA_OpaquePaintEvent, !transparent);
  Redraw();
  return *this;
}

void CColorStatic::StopFlashTimer() {
  if (flashTimer_) KillTimer(kFlashTimer);
  flashTimer_ = false;
}

CColorStatic& CColorStatic::FlashText(bool on) {
  if (on) {
    StopFlashTimer();
    flashPhase_ = false;
    flashTimer_ = SetTimer(kFlashTimer, kFlashMs) != 0;
    flashKind_ = 1;
  } else {
    StopFlashTimer();
    flashKind_ = 0;
  }
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::FlashBackground(bool on) {
  if (on) {
    StopFlashTimer();
    flashPhase_ = false;
    flashTimer_ = SetTimer(kFlashTimer, kFlashMs) != 0;
    flashKind_ = 2;
  } else {
    StopFlashTimer();
  }
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::SetLink(bool link, bool notifyParent) {
  link_ = link;
  notifyParent_ = notifyParent;
  const std::uint32_t notify = SS_NOTIFY;
  ModifyStyle(link ? 0u : notify, link ? notify : 0u);
  return *this;
}

CColorStatic& CColorStatic::SetLinkCursor(HCURSOR cursor) {
  linkCursor_ = cursor;
  return *this;
}

CColorStatic& CColorStatic::Set3DText(bool on, int kind) {
  text3d_ = on;
  kind3d_ = kind;
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::SetRotation(int degrees, bool rotate) {
  lf_.lfEscapement = degrees * 10;
  lf_.lfOrientation = degrees * 10;
  rotate_ = rotate;
  RebuildFont();
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::SetHighlightColor(COLORREF colour) {
  highlight_ = colour;
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::SetTextOffset(bool offset) {
  textOffset_ = offset;
  Redraw();
  return *this;
}

// ---- messages -------------------------------------------------------------------

void CColorStatic::OnTimer(UINT_PTR id) {
  if (id == kFlashTimer) {
    flashPhase_ = !flashPhase_;
    Redraw();
  }
  CStatic::OnTimer(id);
}

bool CColorStatic::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  if (linkCursor_) {
    ::SetCursor(linkCursor_);
    return true;
  }
  return CStatic::OnSetCursor(wnd, hitTest, message);
}

void CColorStatic::OnLButtonDown(UINT flags, CPoint point) {
  // Only a link takes clicks; any other static lets them fall through.
  if (link_) {
    if (notifyParent_) {
      if (CWnd* parent = GetParent()) {
        NMHDR hdr{widget(), static_cast<UINT_PTR>(GetDlgCtrlID()), kLinkClicked};
        parent->SendMessage(WM_NOTIFY, static_cast<WPARAM>(GetDlgCtrlID()),
                            reinterpret_cast<LPARAM>(&hdr));
      }
    } else {
      // Opens web and mail addresses only; a status text naming a file or
      // program is never started.
      fw::ShellOpen(GetWindowText());
    }
  }
  CStatic::OnLButtonDown(flags, point);
}

void CColorStatic::OnSysColorChange() {
  defaultBrush_.CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
  Redraw();
}

bool CColorStatic::OnEraseBkgnd(CDC*) {
  return true;
}  // the paint covers everything

void CColorStatic::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  Paint(dc, client);
}

// ---- painting ---------------------------------------------------------------------

void CColorStatic::FillGradient(CDC& dc, const CRect& r, COLORREF start, COLORREF end) {
  const int width = r.Width();
  if (width <= 0 || r.Height() <= 0) return;  // nothing to fill, and no strips to divide by
  const int strips = std::min(300, width);
  const int stripWidth = width / strips;
  // 8.8 fixed point per channel.
  int red = GetRValue(start) << 8, green = GetGValue(start) << 8, blue = GetBValue(start) << 8;
  const int dr = ((GetRValue(end) - GetRValue(start)) << 8) / strips;
  const int dg = ((GetGValue(end) - GetGValue(start)) << 8) / strips;
  const int db = ((GetBValue(end) - GetBValue(start)) << 8) / strips;
  CGdiObject* oldPen = dc.SelectStockObject(NULL_PEN);
  for (int i = 0; i < strips; ++i) {
    CBrush brush(RGB(red >> 8, green >> 8, blue >> 8));
    CBrush* old = dc.SelectObject(&brush);
    int left = r.left + i * stripWidth;
    int right = i == strips - 1 ? r.right : left + stripWidth;
    // A pen-less rectangle one pixel larger fills exactly its area.
    dc.Rectangle(left, r.top, right + 1, r.bottom + 1);
    dc.SelectObject(old);
    red += dr, green += dg, blue += db;
  }
  dc.SelectObject(oldPen);
}

void CColorStatic::Paint(CDC& target, const CRect& clientIn) {
  CRect client = clientIn;
  // Border and sunken edge stand in for the non-client frame.
  if (GetStyle() & WS_BORDER) {
    CBrush black(GetSysColor(COLOR_WINDOWFRAME));
    target.FrameRect(client, &black);
    client.DeflateRect(1, 1);
  }
  if (GetExStyle() & WS_EX_STATICEDGE) {
    target.DrawEdge(&client, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  }
  if (client.IsRectEmpty()) return;
  const std::string text = GetWindowText();

  CBitmap bitmap;
  CDC memory;
  CDC* dc = &target;
  if (!transparent_ && bitmap.CreateCompatibleBitmap(client.Width(), client.Height())) {
    memory.CreateCompatibleDC(&target);
    memory.SelectObject(&bitmap);
    memory.SetViewportOrg(-client.left, -client.top);
    dc = &memory;
  }

  dc->SetBkMode(TRANSPARENT);
  COLORREF colour = textColour_;
  CFont* oldFont = dc->SelectObject(&font_);

  const bool hiddenPhase = !flashPhase_;
  if (!transparent_) {
    // Flashing the background: the hidden phase shows the plain face colour.
    const bool plainFlash = flashKind_ == 2 && flashTimer_ && hiddenPhase;
    if (gradient_ && !plainFlash)
      FillGradient(*dc, client, gradientStart_, gradientEnd_);
    else
      dc->FillRect(client, (backBrush_.IsValid() && !plainFlash) ? &backBrush_ : &defaultBrush_);
  }

  bool drawText = true;
  if (hiddenPhase && flashKind_ == 1) {
    // The text takes the background's colour; without a background brush
    // there is no such colour, and the text is left out.
    if (backBrush_.IsValid())
      colour = backBrush_.colour();
    else
      drawText = false;
  }
  dc->SetTextColor(colour);

  const std::uint32_t style = GetStyle();
  unsigned format;
  switch (style & SS_TYPEMASK) {
    case SS_CENTER: format = DT_CENTER | DT_WORDBREAK; break;
    case SS_RIGHT: format = DT_RIGHT | DT_WORDBREAK; break;
    case SS_LEFTNOWORDWRAP: format = DT_LEFT; break;
    default: format = DT_WORDBREAK; break;
  }
  if ((style & SS_CENTERIMAGE) && text.find("\r\n") == std::string::npos)
    format |= DT_VCENTER | DT_SINGLELINE;

  if (drawText && !text.empty()) {
    if (rotate_) {
      unsigned oldAlign = dc->SetTextAlign(TA_BASELINE | TA_CENTER);
      CPoint oldOrigin = dc->GetViewportOrg();
      dc->SetViewportOrg(oldOrigin.x + client.CenterPoint().x,
                         oldOrigin.y + client.CenterPoint().y);
      dc->TextOut(0, 0, text);
      dc->SetViewportOrg(oldOrigin);
      dc->SetTextAlign(oldAlign);
    } else {
      CRect r = client;
      if (textOffset_) r.OffsetRect(0, 1);
      dc->DrawText(text, &r, format);
      if (text3d_) {
        dc->SetTextColor(highlight_);
        if (kind3d_)
          r.OffsetRect(1, 1);
        else
          r.OffsetRect(-1, -1);
        dc->DrawText(text, &r, format);
      }
    }
  }
  dc->SelectObject(oldFont);

  if (dc == &memory) {
    memory.SetViewportOrg(0, 0);
    target.BitBlt(client.left, client.top, client.Width(), client.Height(), &memory, 0, 0, SRCCOPY);
    memory.DeleteDC();
  }
}
