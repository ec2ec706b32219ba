#include "monitor/calvenorview.h"

#include <QApplication>
#include <QPointer>

#include "monitor/calvenorapp.h"
#include "monitor/calvenordoc.h"
#include "platform/gui/framewnd.h"
#include "shell/commandids.h"
#include "tools/flashleddlg.h"
#include "tools/toolcomm.h"

CCalvenorView::CCalvenorView() {
  // A command on a switch waits for the search: its row may be about to go.
  auto needRow = [this](CCmdUI* ui) {
    const CCalvenorApp* app = CalvenorApp();
    ui->Enable(CurrentEntry() != nullptr && !(app && app->m_bSearching));
  };
  SetUpdateHandler(ID_SHOW_STATUS, needRow);
  SetUpdateHandler(ID_SWITCH_WINK, needRow);
  SetCommandHandler(ID_SHOW_STATUS, [this] {
    const CCalvenorApp* app = CalvenorApp();
    if (app && app->m_bSearching) return;
    if (CCalvenorDoc* doc = GetDocument()) doc->OnShowStatus();
  });
  SetCommandHandler(ID_SWITCH_WINK, [this] { OnWink(); });
}

CCalvenorView::~CCalvenorView() = default;

CCalvenorDoc* CCalvenorView::GetDocument() const {
  return dynamic_cast<CCalvenorDoc*>(CView::GetDocument());
}

const CSwitchEntry* CCalvenorView::CurrentEntry() const {
  return m_grid.IsWindow() ? m_grid.CurrentEntry() : nullptr;
}

int CCalvenorView::OnCreate(CREATESTRUCT* cs) {
  if (CView::OnCreate(cs) == -1) return -1;
  CRect client;
  GetClientRect(&client);
  if (!m_grid.CreateGrid(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, client, this,
                         kGridId))
    return -1;
  return 0;
}

void CCalvenorView::OnSize(UINT type, int cx, int cy) {
  CView::OnSize(type, cx, cy);
  if (m_grid.IsWindow()) m_grid.MoveWindow(0, 0, cx, cy, false);
}

void CCalvenorView::OnInitialUpdate() {
  CView::OnInitialUpdate();
  CCalvenorDoc* doc = GetDocument();
  m_grid.SetSwitchList(doc ? &doc->GetSwitches() : nullptr);
  if (m_grid.IsWindow()) m_grid.Refill();
}

void CCalvenorView::OnUpdate(CView*, LPARAM hint, CObject*) {
  if (!m_grid.IsWindow()) return;
  if (hint == CCalvenorDoc::kHintTargetWaiting) {
    SelectTarget();
    return;
  }
  m_grid.Refill();
}

void CCalvenorView::SelectTarget() {
  const CCalvenorApp* app = CalvenorApp();
  if (!app) return;
  const int row = m_grid.FindRowByMac(app->m_strTargetMac);
  if (row < 0) return;
  (void)m_grid.MoveToCell(std::max(m_grid.GetCurrentColumn(), 0), row);
  if (CWnd* main = app->m_pMainWnd)
    (void)main->PostMessage(WM_COMMAND, ID_SHOW_STATUS);  // gone with the window: nothing to show
}

void CCalvenorView::OnWink() {
  const CCalvenorApp* app = CalvenorApp();
  if (app && app->m_bSearching) return;
  const CSwitchEntry* entry = CurrentEntry();
  if (!entry) return;
  QPointer<QWidget> focus = QApplication::focusWidget();
  const CToolCommEnv env = ToolCommEnv();
  CFlashLedDlg dlg(app ? app->m_pMainWnd : nullptr, entry, env.backend,
                   env.clock ? env.clock : &GuiClock());
  dlg.UseMonitorTexts();
  (void)dlg.DoModal();
  if (focus) focus->setFocus();
}
