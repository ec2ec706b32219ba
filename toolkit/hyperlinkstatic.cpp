#include "toolkit/hyperlinkstatic.h"

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
