#include "app/fenwardleview.h"

#include "shell/commandids.h"
#include "app/leftview.h"
#include "platform/gui/framewnd.h"
#include "platform/message.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "switch/switchconfigstore.h"
#include "tools/indexpair.h"

CFenwardleView::CFenwardleView() : m_grid(this) {
  auto needConfig = [this](CCmdUI* ui) { ui->Enable(CurrentSwitchConfigIndex() >= 0); };
  auto needSwitch = [this](CCmdUI* ui) { ui->Enable(CurrentSwitch() != nullptr); };
  auto needMac = [this](CCmdUI* ui) {
    const CSwitchEntry* entry = CurrentSwitch();
    ui->Enable(entry && !entry->GetMacSuffix().empty());
  };
  for (unsigned id : {ID_CONFIG_EDIT, ID_CONFIG_DELETE, ID_CONFIG_COPY})
    SetUpdateHandler(id, needConfig);
  for (unsigned id : {ID_EXPLAIN_WARNING, ID_SWITCH_DELETE}) SetUpdateHandler(id, needSwitch);
  for (unsigned id : {ID_LOAD_SELECTED_CONFIG, ID_SWITCH_WINK, ID_SWITCH_RECOVER, ID_SWITCH_STATUS,
                      ID_UPDATE_RING_FIRMWARE})
    SetUpdateHandler(id, needMac);

  SetCommandHandler(ID_CONFIG_COPY, [this] {
    const int config = CurrentSwitchConfigIndex();
    if (config >= 0) GetDocument()->OpenCopyConfiguration(config);
  });
  SetCommandHandler(ID_SWITCH_DELETE, [this] {
    const int index = CurrentSwitchIndex();
    if (index >= 0) GetDocument()->DeleteSwitch(index);
  });
  SetCommandHandler(ID_LOAD_SELECTED_CONFIG, [this] {
    const int index = CurrentSwitchIndex();
    if (index < 0) return;
    // Enabled for every switch that can be reached; without a configuration
    // of the project there is nothing to load, and the user is told so.
    if (CurrentSwitchConfigIndex() < 0) {
      const CSwitchEntry* entry = CurrentSwitch();
      AfxMessageBox(FormatRes(IDS_LOAD_NO_CONFIG, entry ? entry->GetName() : std::string()),
                    MB_OK | MB_ICONINFORMATION);
      return;
    }
    // A failure was shown by the load itself.
    (void)GetDocument()->LoadSelectedConfig(index);
  });
  SetCommandHandler(ID_SWITCH_WINK,
                    [this] { GetDocument()->OpenWinkDialog(CurrentSwitchIndex()); });
  SetCommandHandler(ID_SWITCH_RECOVER, [this] { GetDocument()->OpenRecoverSwitch(); });
  SetCommandHandler(ID_SWITCH_STATUS, [this] { GetDocument()->OpenSwitchStatus(); });
  SetCommandHandler(ID_EDIT_PASTE, [this] { (void)m_grid.PasteIntoEditor(); });
  SetCommandHandler(ID_EDIT_COPY, [this] { (void)m_grid.Copy(); });
}

CFenwardleView::~CFenwardleView() {
  if (CFenwardleDoc* doc = GetDocument(); doc && doc->GetPanes() == this) doc->SetPanes(nullptr);
}

CFenwardleDoc* CFenwardleView::GetDocument() const {
  return dynamic_cast<CFenwardleDoc*>(CView::GetDocument());
}

int CFenwardleView::ActivePane() const {
  CFrameWnd* frame = GetParentFrame();
  CWnd* active = frame ? frame->GetActiveView() : nullptr;
  if (active == this) return kSwitchListPane;
  if (dynamic_cast<CLeftView*>(active)) return kConfigListPane;
  return kNoPane;
}

int CFenwardleView::CurrentSwitchIndex() const {
  if (!m_grid.IsWindow()) return -1;
  return m_grid.GetCurrentSwitchIndex();
}

int CFenwardleView::CurrentSwitchColumn() const {
  if (!m_grid.IsWindow() || CurrentSwitchIndex() < 0) return -1;
  return m_grid.GetCurrentColumn();
}

const CSwitchEntry* CFenwardleView::CurrentSwitch() const {
  return m_grid.IsWindow() ? m_grid.SwitchAtRow(m_grid.GetCurrentRow()) : nullptr;
}

int CFenwardleView::CurrentSwitchConfigIndex() const {
  const CSwitchEntry* entry = CurrentSwitch();
  const CFenwardleDoc* doc = GetDocument();
  if (!entry || !doc || entry->GetConfig().GetName().empty()) return -1;
  return doc->GetStore().FindIndexByName(entry->GetConfig().GetName());
}

int CFenwardleView::OnCreate(CREATESTRUCT* cs) {
  if (CView::OnCreate(cs) == -1) return -1;
  CRect client;
  GetClientRect(&client);
  if (!m_grid.CreateGrid(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, client, this,
                         kGridId))
    return -1;
  return 0;
}

void CFenwardleView::OnDestroy() {
  (void)m_grid.SetProject(nullptr);
  CView::OnDestroy();
}

void CFenwardleView::OnSize(UINT type, int cx, int cy) {
  CView::OnSize(type, cx, cy);
  if (m_grid.IsWindow()) m_grid.MoveWindow(0, 0, cx, cy, false);
}

void CFenwardleView::OnInitialUpdate() {
  CView::OnInitialUpdate();
  if (CFenwardleDoc* doc = GetDocument()) doc->SetPanes(this);
  (void)m_grid.SetProject(GetDocument());
  m_grid.LoadProjectRows();
}

void CFenwardleView::OnUpdate(CView*, LPARAM, CObject* hintObject) {
  if (!m_grid.IsWindow()) return;
  if (auto* pair = dynamic_cast<CIndexPair*>(hintObject))
    m_grid.OnProjectHint(pair->first, pair->second);
  else
    m_grid.LoadProjectRows();
}
