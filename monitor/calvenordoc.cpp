#include "monitor/calvenordoc.h"

#include <QApplication>
#include <QPointer>

#include "monitor/calvenorapp.h"
#include "monitor/calvenorview.h"
#include "platform/format.h"
#include "platform/message.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"
#include "shell/commandids.h"
#include "tools/searchingdlg.h"
#include "tools/switchstatusdlg.h"
#include "tools/toolcomm.h"
#include "tools/waitcursor.h"

CCalvenorDoc::CCalvenorDoc() : m_catalogue(0), m_discovery(MakeToolDiscovery()) {
  SetCommandHandler(ID_FIND_SWITCHES_ON_NETWORK, [this] { OnFindSwitches(); });
  // One search at a time: the next would share the first one's lists.
  SetUpdateHandler(ID_FIND_SWITCHES_ON_NETWORK, [](CCmdUI* ui) {
    const CCalvenorApp* app = CalvenorApp();
    ui->Enable(!app || !app->m_bSearching);
  });
}

CCalvenorDoc::~CCalvenorDoc() = default;

void CCalvenorDoc::DeleteContents() {
  m_switches.Clear();
  CDocument::DeleteContents();
  SetTitle(LoadResString(IDS_RING_STATUS_MONITOR));
}

CCalvenorView* CCalvenorDoc::GetSwitchView() const {
  for (CView* v : GetViews())
    if (auto* view = dynamic_cast<CCalvenorView*>(v)) return view;
  return nullptr;
}

void CCalvenorDoc::OnFindSwitches() {
  CCalvenorApp* app = CalvenorApp();
  if (!app || app->m_bSearching) return;
  app->m_bSearching = 1;
  {
    CWaitCursor wait;
    CWnd* main = app->m_pMainWnd;
    CSearchingDlg searching(main);
    if (searching.Create()) {
      searching.ShowWindow(SW_SHOW);
      searching.CenterWindow();
    }
    // The rows go with the list, so none points at an entry that is gone.
    m_switches.Clear();
    UpdateAllViews(nullptr, kHintListRefilled);

    std::vector<std::unique_ptr<CSwitchEntry>> found;
    std::string error;
    (void)m_discovery->FindAllSwitches(&found, &error);  // failures are in the text

    searching.StopBusy();
    if (searching.IsWindow()) (void)searching.DestroyWindow();  // it goes either way
    // Every switch that answered is a row, also one heard on two interfaces.
    for (const auto& entry : found) (void)m_switches.AddFound(*entry);
    found.clear();
    UpdateAllViews(nullptr, kHintListRefilled);
    if (main && main->IsWindow()) main->Invalidate(true);
    if (!error.empty()) AfxMessageBox(error, MB_OK | MB_ICONEXCLAMATION);
  }
  app->m_bSearching = 0;

  // The switch named on the command line is looked for after the first
  // search only, found or not.
  if (app->m_strTargetMac.empty()) return;
  const std::string target = std::exchange(app->m_strTargetMac, std::string());
  bool known = false;
  for (int i = m_switches.First(); i >= 0 && !known; i = m_switches.Next(i))
    known = fw::EqualsNoCase(m_switches.GetAt(i)->GetMacText(true), target);
  if (!known) {
    AfxMessageBox(FormatRes(IDS_TARGET_MAC_NOT_FOUND, target), MB_OK | MB_ICONINFORMATION);
    return;
  }
  app->m_strTargetMac = target;  // the view selects its row and asks for the status
  UpdateAllViews(nullptr, kHintTargetWaiting);
  app->m_strTargetMac.clear();
}

void CCalvenorDoc::OnShowStatus() {
  CCalvenorView* view = GetSwitchView();
  const CSwitchEntry* entry = view ? view->CurrentEntry() : nullptr;
  if (!entry) return;
  const std::string mac = entry->GetMacText(true);
  if (mac.empty()) return;
  if (CCalvenorApp* app = CalvenorApp()) app->m_strTargetMac.clear();
  QPointer<QWidget> focus = QApplication::focusWidget();
  CSwitchStatusDlg dlg(nullptr);
  dlg.m_strModel = entry->GetPart().displayName;
  dlg.m_strName = entry->GetName();
  dlg.m_strMac = mac;
  (void)dlg.DoModal();
  if (focus) focus->setFocus();
}
