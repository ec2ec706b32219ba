#include "app/leftview.h"

#include "shell/commandids.h"
#include "app/fenwardledoc.h"
#include "tools/indexpair.h"

CLeftView::CLeftView() : m_grid(this) {
  // Configuration commands need a configuration in the current row.
  auto needConfig = [this](CCmdUI* ui) { ui->Enable(CurrentConfigIndex() >= 0); };
  for (unsigned id : {ID_CONFIG_EDIT, ID_CONFIG_DELETE, ID_CONFIG_COPY})
    SetUpdateHandler(id, needConfig);
  // Switch commands have nothing to work on here.
  for (unsigned id : {ID_LOAD_SELECTED_CONFIG, ID_UPDATE_RING_FIRMWARE, ID_EXPLAIN_WARNING})
    SetUpdateHandler(id, [](CCmdUI* ui) { ui->Enable(false); });
  SetCommandHandler(ID_CONFIG_COPY, [this] {
    if (CFenwardleDoc* doc = GetDocument()) doc->OpenCopyConfiguration(CurrentConfigIndex());
  });
  SetCommandHandler(ID_EDIT_COPY,
                    [this] { (void)m_grid.Copy(); });  // nothing selected, nothing copied
  SetCommandHandler(ID_EDIT_PASTE, [this] { (void)m_grid.PasteIntoEditor(); });
}

CLeftView::~CLeftView() = default;

CFenwardleDoc* CLeftView::GetDocument() const {
  return dynamic_cast<CFenwardleDoc*>(CView::GetDocument());
}

int CLeftView::CurrentConfigIndex() const {
  if (!m_grid.IsWindow()) return -1;
  return m_grid.ConfigIndexAtRow(m_grid.GetCurrentRow());
}

int CLeftView::OnCreate(CREATESTRUCT* cs) {
  if (CView::OnCreate(cs) == -1) return -1;
  CRect client;
  GetClientRect(&client);
  if (!m_grid.CreateGrid(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, client, this,
                         kGridId))
    return -1;
  return 0;
}

void CLeftView::OnDestroy() {
  // The grid lets the project go before its window does.
  (void)m_grid.SetProject(nullptr);
  CView::OnDestroy();
}

void CLeftView::OnSize(UINT type, int cx, int cy) {
  CView::OnSize(type, cx, cy);
  if (!m_grid.IsWindow()) return;
  m_grid.MoveWindow(0, 0, cx, cy, false);
  (void)m_grid.FitColumnsToWindow(0, 0);  // a grid without columns yet has nothing to fit
}

void CLeftView::OnInitialUpdate() {
  CView::OnInitialUpdate();
  (void)m_grid.SetProject(GetDocument());
  m_grid.LoadProjectRows();
  // The column exists now: it fills the pane.
  (void)m_grid.FitColumnsToWindow(0, 0);
}

void CLeftView::OnUpdate(CView*, LPARAM, CObject* hintObject) {
  if (!m_grid.IsWindow()) return;
  if (auto* pair = dynamic_cast<CIndexPair*>(hintObject))
    m_grid.OnProjectHint(pair->first, pair->second);
  else
    m_grid.LoadProjectRows();
}
