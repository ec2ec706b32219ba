#include "toolkit/textstatic.h"

#include <QWidget>
#include <algorithm>
#include <cstdint>

#include "platform/gui/qtstring.h"

namespace {

// Channel value at distance d from the bright edge over a span: c - d²·c/span².
// In 64 bits: d² · c outgrows 32 bits on wide controls.
int Fade(int channel, std::int64_t d, std::int64_t span) {
  if (span <= 0) return channel;
  const std::int64_t c = channel;
  const std::int64_t v = c - (d * d * c) / (span * span);
  return static_cast<int>(std::clamp<std::int64_t>(v, 0, 255));
}

COLORREF FadeColour(COLORREF colour, std::int64_t d, std::int64_t span) {
  return RGB(Fade(GetRValue(colour), d, span), Fade(GetGValue(colour), d, span),
             Fade(GetBValue(colour), d, span));
}

}  // namespace

CTextStatic::CTextStatic()
    : m_crBackground(GetSysColor(COLOR_BTNFACE)), m_crText(GetSysColor(COLOR_WINDOWTEXT)) {}

CTextStatic::~CTextStatic() = default;

bool CTextStatic::IsTextStyle() const {
  switch (GetStyle() & 0xFF) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP: return true;
    default: return false;
  }
}

void CTextStatic::Redraw() {
  if (IsWindow()) Invalidate(true);
}

void CTextStatic::SetBackgroundColor(COLORREF colour) {
  m_crBackground = colour;
  if (QWidget* w = widget())
    w->setAttribute(Qt::WA_OpaquePaintEvent, colour != kNoBackground && IsTextStyle());
  Redraw();
}

void CTextStatic::SetBackgroundStyle(int style) {
  m_nBackgroundStyle = style;
  Redraw();
}

void CTextStatic::SetTextColor(COLORREF colour) {
  m_crText = colour;
  Redraw();
}

void CTextStatic::SetToolTipText(const std::string& text) {
  m_strToolTip = text;
  m_bCustomToolTip = true;
  UpdateToolTipText();
  Redraw();
}

void CTextStatic::EnableToolTip(bool on) {
  m_bToolTip = on;
  UpdateToolTipText();
  Redraw();
}

void CTextStatic::SetFitToText(bool on) {
  m_bFitToText = on;
  FitToText();
  Redraw();
}

void CTextStatic::PreSubclassWindow() {
  CStatic::PreSubclassWindow();
  m_bSubclassed = true;
  if (!m_bInitialised) Initialise();
}

void CTextStatic::Initialise() {
  CRect r;
  GetWindowRect(&r);
  if (CWnd* parent = GetParent()) parent->ScreenToClient(&r);
  m_rcInitial = r;
  if (!(GetStyle() & SS_NOTIFY)) ModifyStyle(0, SS_NOTIFY);
  // The cursor is asked for on every move, as over any window.
  if (QWidget* w = widget()) w->setMouseTracking(true);
  UpdateToolTipText();
  RebuildFont();
  if (QWidget* w = widget())
    w->setAttribute(Qt::WA_OpaquePaintEvent, m_crBackground != kNoBackground && IsTextStyle());
  m_bInitialised = true;
}

void CTextStatic::RebuildFont() {
  if (!IsTextStyle()) return;
  LOGFONT lf = fw::DefaultGuiLogFont();
  if (CFont* f = GetFont(); f && f->IsValid()) f->GetLogFont(&lf);
  m_font.DeleteObject();
  (void)m_font.CreateFontIndirect(&lf);  // without it the control keeps its font
  if (m_bFitToText) FitToText();
}

void CTextStatic::UpdateToolTipText() {
  if (m_bToolTip && !m_bCustomToolTip)
    m_strToolTip = IsTextStyle() ? GetWindowText() : std::string();
  ApplyToolTip();
}

void CTextStatic::ApplyToolTip() {
  // The tool tip is active only while enabled.
  if (QWidget* w = widget()) w->setToolTip(m_bToolTip ? fw::ToQ(m_strToolTip) : QString());
}

void CTextStatic::CtlColor(CDC* dc) {
  if (!(GetStyle() & SS_NOTIFY)) ModifyStyle(0, SS_NOTIFY);
  if (!IsTextStyle()) return;
  dc->SelectObject(&m_font);
  dc->SetTextColor(m_crText);
  dc->SetBkMode(TRANSPARENT);
}

void CTextStatic::FillBackground(CDC& dc, const CRect& client, COLORREF colour, int style) {
  if (colour == kNoBackground || client.IsRectEmpty()) return;
  const int w = client.Width();
  const int top = client.top, bottom = client.bottom;
  auto strip = [&](int left, int right, COLORREF c) {
    if (right > left) dc.FillSolidRect(CRect(left, top, right, bottom), c);
  };
  switch (style) {
    case kFadeLeft:
    case kFadeRight: {
      // Strips of w/128 pixels (1 under 256), bright at the right edge for
      // style 1, at the left for 3; what is left over at the dark end is black.
      const int s = w < 256 ? 1 : w / 128;
      const int strips = w / s;
      for (int i = 0; i < strips; ++i) {
        const std::int64_t d = static_cast<std::int64_t>(i) * s;
        const COLORREF c = FadeColour(colour, d, w);
        if (style == kFadeRight)
          strip(client.left + static_cast<int>(d), client.left + static_cast<int>(d) + s, c);
        else
          strip(client.right - static_cast<int>(d) - s, client.right - static_cast<int>(d), c);
      }
      const int rest = w - strips * s;
      if (style == kFadeRight)
        strip(client.right - rest, client.right, RGB(0, 0, 0));
      else
        strip(client.left, client.left + rest, RGB(0, 0, 0));
      break;
    }
    case kFadeCentre: {
      const int h = w / 2;
      const int s = std::max(1, h / 256);
      const int strips = h > 0 ? h / s : 0;
      for (int i = 0; i < strips; ++i) {
        const std::int64_t d = static_cast<std::int64_t>(i) * s;
        const COLORREF c = FadeColour(colour, d, h);
        strip(client.left + static_cast<int>(d), client.left + static_cast<int>(d) + s, c);
        strip(client.right - static_cast<int>(d) - s, client.right - static_cast<int>(d), c);
      }
      strip(client.left + strips * s, client.right - strips * s, RGB(0, 0, 0));
      break;
    }
    default: dc.FillSolidRect(client, colour); break;
  }
}

void CTextStatic::Paint(CDC& dc) {
  CRect client;
  GetClientRect(&client);
  FillBackground(dc, client, m_crBackground, m_nBackgroundStyle);
  if (!IsTextStyle()) return;
  const int saved = dc.SaveDC();
  CtlColor(&dc);
  const std::uint32_t style = GetStyle();
  unsigned format = 0;
  switch (style & SS_TYPEMASK) {
    case SS_CENTER: format = DT_CENTER | DT_WORDBREAK; break;
    case SS_RIGHT: format = DT_RIGHT | DT_WORDBREAK; break;
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP: format = DT_LEFT | DT_SINGLELINE; break;
    default: format = DT_LEFT | DT_WORDBREAK; break;
  }
  if (style & SS_CENTERIMAGE) format = (format & ~DT_WORDBREAK) | DT_VCENTER | DT_SINGLELINE;
  if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
  std::string text = GetWindowText();
  dc.DrawText(text, &client, format);
  (void)dc.RestoreDC(saved);
}

void CTextStatic::OnPaint() {
  if (!IsTextStyle()) {
    CStatic::OnPaint();
    return;
  }
  CPaintDC dc(this);
  Paint(dc);
}

bool CTextStatic::OnEraseBkgnd(CDC*) {
  return true;  // the paint fills the background
}

void CTextStatic::FitToText() {
  if (!IsWindow() || m_fitting) return;
  m_fitting = true;
  CRect target = m_rcInitial;
  if (m_bFitToText && IsTextStyle()) {
    CRect now;
    GetWindowRect(&now);
    CWnd* parent = GetParent();
    if (parent) parent->ScreenToClient(&now);
    CClientDC measure(this);
    measure.SelectObject(&m_font);
    CRect extent(0, 0, 0, 0);
    measure.DrawText(GetWindowText(), &extent, DT_CALCRECT | DT_NOPREFIX);
    CSize size = extent.Size();
    if (parent) {
      CRect limit;
      parent->GetClientRect(&limit);
      size.cx = std::min(size.cx, limit.Width());
      size.cy = std::min(size.cy, limit.Height());
    }
    const std::uint32_t style = GetStyle();
    int top = (style & SS_CENTERIMAGE) ? now.top + (now.Height() - size.cy) / 2 : now.top;
    int left = now.left;
    if ((style & SS_TYPEMASK) == SS_CENTER)
      left = now.left + (now.Width() - size.cx) / 2;
    else if ((style & SS_TYPEMASK) == SS_RIGHT)
      left = now.right - size.cx;
    target = CRect(CPoint(left, top), size);
  }
  if (!target.IsRectNull())
    SetWindowPos(nullptr, target.left, target.top, target.Width(), target.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  m_fitting = false;
}

LRESULT CTextStatic::WindowProc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_SETTEXT: {
      LRESULT r = CStatic::WindowProc(msg, w, l);
      UpdateToolTipText();
      if (m_bFitToText) FitToText();
      Redraw();
      return r;
    }
    case WM_SIZE: {
      LRESULT r = CStatic::WindowProc(msg, w, l);
      if (m_bFitToText) FitToText();
      if (!m_fitting && m_bInitialised) {
        CRect now;
        GetWindowRect(&now);
        if (CWnd* parent = GetParent()) parent->ScreenToClient(&now);
        m_rcInitial = now;
      }
      Redraw();
      return r;
    }
    case WM_SETFONT: {
      LRESULT r = CStatic::WindowProc(msg, w, l);
      if (m_bInitialised) RebuildFont();
      return r;
    }
    default: return CStatic::WindowProc(msg, w, l);
  }
}
