#include "platform/gui/view.h"

#include "platform/gui/framewnd.h"

CView::~CView() {
  if (m_pDocument) m_pDocument->ForgetView(this);
}

void CView::OnInitialUpdate() {
  OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView*, LPARAM, CObject*) {
  if (IsWindow()) Invalidate(true);
}

bool CView::OnCmdMsg(unsigned id, int code, CCmdUI* ui) {
  if (CWnd::OnCmdMsg(id, code, ui)) return true;
  return m_pDocument && m_pDocument->OnCmdMsg(id, code, ui);
}

void CView::OnPaint() {
  CPaintDC dc(this);
  OnDraw(&dc);
}

CFrameWnd* CView::GetParentFrame() const {
  for (QWidget* w = widget() ? widget()->parentWidget() : nullptr; w; w = w->parentWidget())
    if (auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(w))) return frame;
  return nullptr;
}
