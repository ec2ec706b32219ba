#include "toolkit/hyperlinkstatic.h"

#include <QWidget>

CHyperLinkStatic::CHyperLinkStatic() {
  m_bToolTip = true;
  m_bFitToText = true;
}

CHyperLinkStatic::~CHyperLinkStatic() = default;

void CHyperLinkStatic::SetAction(int type, const std::string& file, const std::string& parameters,
                                 const std::string& directory, int showCommand, UINT message,
                                 HWND target) {
  m_action.Set(type, file, parameters, directory, showCommand, message, target);
  m_action.m_pOwner = this;
  UpdateToolTipText();
}

void CHyperLinkStatic::SetVisited(bool visited) {
  m_bVisited = visited;
  Redraw();
}

void CHyperLinkStatic::LoadLinkCursor() {
  m_hLinkCursor = ::LoadCursor(nullptr, kLinkCursorId);
}

void CHyperLinkStatic::Initialise() {
  LoadLinkCursor();
  ModifyStyle(0, WS_TABSTOP);
  // Tab gives it the focus; a click follows the link and leaves the focus.
  if (QWidget* w = widget()) w->setFocusPolicy(Qt::TabFocus);
  CTextStatic::Initialise();
}

void CHyperLinkStatic::RebuildFont() {
  if (!IsTextStyle()) return;
  LOGFONT lf = fw::DefaultGuiLogFont();
  if (CFont* f = GetFont(); f && f->IsValid()) f->GetLogFont(&lf);
  lf.lfUnderline = 1;
  m_font.DeleteObject();
  (void)m_font.CreateFontIndirect(&lf);  // without it the control keeps its font
  if (m_bFitToText) FitToText();
}

void CHyperLinkStatic::UpdateToolTipText() {
  if (m_bToolTip && !m_bCustomToolTip) {
    m_strToolTip = m_action.file();
    if (m_strToolTip.empty() && m_bUseWindowText) m_strToolTip = GetWindowText();
  }
  ApplyToolTip();
}

void CHyperLinkStatic::CtlColor(CDC* dc) {
  CTextStatic::CtlColor(dc);
  if (IsTextStyle()) dc->SetTextColor(m_bVisited ? m_crVisited : m_crUnvisited);
}

bool CHyperLinkStatic::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  if (m_hLinkCursor) {
    ::SetCursor(m_hLinkCursor);
    return true;
  }
  return CTextStatic::OnSetCursor(wnd, hitTest, message);
}

bool CHyperLinkStatic::FollowLink() {
  // An empty target opens the link's own text, for this click only.
  CHyperLinkTarget action = m_action;
  if (action.file().empty() && m_bUseWindowText) action.setFile(GetWindowText());
  if (!action.Execute(m_bReportErrors)) return false;
  m_bVisited = true;
  Redraw();
  return true;
}

void CHyperLinkStatic::OnLButtonUp(UINT flags, CPoint point) {
  CTextStatic::OnLButtonUp(flags, point);
  CRect client;
  GetClientRect(&client);
  if (client.PtInRect(point)) FollowLink();
}

void CHyperLinkStatic::Paint(CDC& dc) {
  CTextStatic::Paint(dc);
  if (QWidget* w = widget(); w && w->hasFocus()) {
    CRect client;
    GetClientRect(&client);
    dc.DrawFocusRect(client);
  }
}

void CHyperLinkStatic::OnSetFocus(CWnd* oldWnd) {
  CTextStatic::OnSetFocus(oldWnd);
  Redraw();
}

void CHyperLinkStatic::OnKillFocus(CWnd* newWnd) {
  CTextStatic::OnKillFocus(newWnd);
  Redraw();
}

void CHyperLinkStatic::OnKeyDown(UINT vk, UINT repeat, UINT flags) {
  // A held key follows the link once.
  if ((vk == VK_SPACE || vk == VK_RETURN) && !(flags & 0x4000)) {
    FollowLink();
    return;
  }
  CTextStatic::OnKeyDown(vk, repeat, flags);
}

LRESULT CHyperLinkStatic::WindowProc(UINT msg, WPARAM w, LPARAM l) {
  // Enter is the link's, not the dialog's default button's.
  if (msg == WM_GETDLGCODE && w == VK_RETURN)
    return CTextStatic::WindowProc(msg, w, l) | DLGC_WANTMESSAGE;
  return CTextStatic::WindowProc(msg, w, l);
}
