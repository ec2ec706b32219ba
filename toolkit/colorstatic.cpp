#include "toolkit/colorstatic.h"

#include <QWidget>
#include <algorithm>

#include "platform/gui/services.h"

CColorStatic::CColorStatic() : m_textColour(GetSysColor(COLOR_WINDOWTEXT)) {
  m_defaultBrush.CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
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
  m_lf = lf;
  RebuildFont();
  // The peer paints nothing of its own; our paint covers it.
  if (QWidget* w = widget()) w->setAttribute(Qt::WA_OpaquePaintEvent, !m_transparent);
}

void CColorStatic::RebuildFont() {
  m_font.DeleteObject();
  (void)m_font.CreateFontIndirect(&m_lf);  // fails only without a LOGFONT
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
  m_gradientStart = colour;
  m_gradientEnd = endColour;
  m_gradient = gradient;
  if (!gradient) m_backBrush.CreateSolidBrush(colour);
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::SetTextColor(COLORREF colour) {
  m_textColour = colour;
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::SetText(const std::string& text) {
  SetWindowText(text);
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::SetBold(bool bold) {
  m_lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  RebuildFont();
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::SetFontName(const std::string& face, std::uint8_t charSet) {
  fw::SetFaceName(m_lf, face);
  m_lf.lfCharSet = charSet;
  RebuildFont();
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::SetUnderline(bool underline) {
  m_lf.lfUnderline = underline;
  RebuildFont();
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::SetItalic(bool italic) {
  m_lf.lfItalic = italic;
  RebuildFont();
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::SetFontSize(int points) {
  CFont sized;
  sized.CreatePointFont(points * 10, m_lf.lfFaceName);
  LOGFONT lf;
  sized.GetLogFont(&lf);
  m_lf.lfHeight = lf.lfHeight;
  m_lf.lfWidth = lf.lfWidth;
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
  m_transparent = transparent;
  if (transparent) ModifyStyleEx(0, WS_EX_TRANSPARENT);
  if (QWidget* w = widget()) w->setAttribute(Qt::WA_OpaquePaintEvent, !transparent);
  Redraw();
  return *this;
}

void CColorStatic::StopFlashTimer() {
  if (m_flashTimer) KillTimer(kFlashTimer);
  m_flashTimer = false;
}

CColorStatic& CColorStatic::FlashText(bool on) {
  if (on) {
    StopFlashTimer();
    m_flashPhase = false;
    m_flashTimer = SetTimer(kFlashTimer, kFlashMs) != 0;
    m_flashKind = 1;
  } else {
    StopFlashTimer();
    m_flashKind = 0;
  }
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::FlashBackground(bool on) {
  if (on) {
    StopFlashTimer();
    m_flashPhase = false;
    m_flashTimer = SetTimer(kFlashTimer, kFlashMs) != 0;
    m_flashKind = 2;
  } else {
    StopFlashTimer();
  }
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::SetLink(bool link, bool notifyParent) {
  m_link = link;
  m_notifyParent = notifyParent;
  const std::uint32_t notify = SS_NOTIFY;
  ModifyStyle(link ? 0u : notify, link ? notify : 0u);
  return *this;
}

CColorStatic& CColorStatic::SetLinkCursor(HCURSOR cursor) {
  m_linkCursor = cursor;
  return *this;
}

CColorStatic& CColorStatic::Set3DText(bool on, int kind) {
  m_text3d = on;
  m_kind3d = kind;
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::SetRotation(int degrees, bool rotate) {
  m_lf.lfEscapement = degrees * 10;
  m_lf.lfOrientation = degrees * 10;
  m_rotate = rotate;
  RebuildFont();
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::SetHighlightColor(COLORREF colour) {
  m_highlight = colour;
  Redraw();
  return *this;
}

CColorStatic& CColorStatic::SetTextOffset(bool offset) {
  m_textOffset = offset;
  Redraw();
  return *this;
}

// ---- messages -------------------------------------------------------------------

void CColorStatic::OnTimer(UINT_PTR id) {
  if (id == kFlashTimer) {
    m_flashPhase = !m_flashPhase;
    Redraw();
  }
  CStatic::OnTimer(id);
}

bool CColorStatic::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  if (m_linkCursor) {
    ::SetCursor(m_linkCursor);
    return true;
  }
  return CStatic::OnSetCursor(wnd, hitTest, message);
}

void CColorStatic::OnLButtonDown(UINT flags, CPoint point) {
  // Only a link takes clicks; any other static lets them fall through.
  if (m_link) {
    if (m_notifyParent) {
      if (CWnd* parent = GetParent()) {
        NMHDR hdr{widget(), static_cast<UINT_PTR>(GetDlgCtrlID()), kLinkClicked};
        parent->SendMessage(WM_NOTIFY, static_cast<WPARAM>(GetDlgCtrlID()),
                            reinterpret_cast<LPARAM>(&hdr));
      }
    } else {
      // Opens web and mail addresses only; a status text naming a file or
      // program is never started.
      (void)fw::ShellOpen(GetWindowText());
    }
  }
  CStatic::OnLButtonDown(flags, point);
}

void CColorStatic::OnSysColorChange() {
  m_defaultBrush.CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
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
  if (!m_transparent && bitmap.CreateCompatibleBitmap(client.Width(), client.Height())) {
    memory.CreateCompatibleDC(&target);
    memory.SelectObject(&bitmap);
    memory.SetViewportOrg(-client.left, -client.top);
    dc = &memory;
  }

  dc->SetBkMode(TRANSPARENT);
  COLORREF colour = m_textColour;
  CFont* oldFont = dc->SelectObject(&m_font);

  const bool hiddenPhase = !m_flashPhase;
  if (!m_transparent) {
    // Flashing the background: the hidden phase shows the plain face colour.
    const bool plainFlash = m_flashKind == 2 && m_flashTimer && hiddenPhase;
    if (m_gradient && !plainFlash)
      FillGradient(*dc, client, m_gradientStart, m_gradientEnd);
    else
      dc->FillRect(client, (m_backBrush.IsValid() && !plainFlash) ? &m_backBrush : &m_defaultBrush);
  }

  bool drawText = true;
  if (hiddenPhase && m_flashKind == 1) {
    // The text takes the background's colour; without a background brush
    // there is no such colour, and the text is left out.
    if (m_backBrush.IsValid())
      colour = m_backBrush.colour();
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
    if (m_rotate) {
      unsigned oldAlign = dc->SetTextAlign(TA_BASELINE | TA_CENTER);
      CPoint oldOrigin = dc->GetViewportOrg();
      dc->SetViewportOrg(oldOrigin.x + client.CenterPoint().x,
                         oldOrigin.y + client.CenterPoint().y);
      dc->TextOut(0, 0, text);
      dc->SetViewportOrg(oldOrigin);
      dc->SetTextAlign(oldAlign);
    } else {
      CRect r = client;
      if (m_textOffset) r.OffsetRect(0, 1);
      dc->DrawText(text, &r, format);
      if (m_text3d) {
        dc->SetTextColor(m_highlight);
        if (m_kind3d)
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
