#include "tools/findswitchesdlg.h"

#include "platform/gui/help.h"
#include "platform/message.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "tools/searchingdlg.h"
#include "tools/toolcomm.h"
#include "tools/toolsdocument.h"
#include "tools/waitcursor.h"

namespace {

// Parts this program cannot configure: found, listed, never added.
constexpr char kUnconfigurablePart[] = "Stellarix2";
constexpr char kUnconfigurableManaged[] = "Managed";

}  // namespace

CFindSwitchesDlg::CFindSwitchesDlg(CWnd* parent, IToolsDocument* document)
    : CDialog(IDD, parent), m_document(document) {
  BindControl(IDCANCEL, m_close);
  BindControl(kHelpId, m_help);
  BindControl(kAddSelectedId, m_addSelected);
  BindControl(kSearchAgainId, m_searchAgain);
  BindControl(kListId, m_list);
  SetCommandHandler(kSearchAgainId, [this] { Search(); });
  SetCommandHandler(kHelpId, [] { (void)fw::ShowHelp(kHelpDialogBase + IDD); });
  SetCommandHandler(kAddSelectedId, [this] { AddSelected(); });
  const int icon = CImageButton::kIconBesideWidth;
  FitText(kSearchAgainId, LoadResString(IDS_SEARCH_AGAIN), icon);
  FitText(kAddSelectedId, LoadResString(IDS_ADD_SELECTED_TO_PROJECT), icon);
  FitText(IDCANCEL, LoadResString(IDS_CLOSE), icon);
  FitText(kHelpId, {}, icon);  // the template's own text
}

CFindSwitchesDlg::~CFindSwitchesDlg() {
  (void)DestroyWindow();  // nothing to do without a window
}

bool CFindSwitchesDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
  m_searchAgain.SetWindowText(LoadResString(IDS_SEARCH_AGAIN));
  m_addSelected.SetWindowText(LoadResString(IDS_ADD_SELECTED_TO_PROJECT));
  m_close.SetWindowText(LoadResString(IDS_CLOSE));
  const struct {
    CImageButton* button;
    int icon;
  } faces[] = {{&m_searchAgain, 143}, {&m_addSelected, 144}, {&m_help, 145}, {&m_close, 146}};
  for (const auto& f : faces) {
    f.button->SetBkTexture(5, 8, 10, 0, 0);
    f.button->SetButtonIcon(f.icon, CImageButton::kIconLeft, 0);
  }
  m_list.InsertColumn(0, LoadResString(IDS_MAC_ADDRESS), LVCFMT_LEFT, 100);
  m_list.InsertColumn(1, LoadResString(IDS_SWITCH_NAME_HEADING), LVCFMT_LEFT, 150);
  m_list.InsertColumn(2, LoadResString(IDS_TYPE), LVCFMT_LEFT, 120);
  m_list.InsertColumn(3, LoadResString(IDS_FW_REVISION), LVCFMT_LEFT, 150);
  SetWindowText(LoadResString(IDS_FIND_ALL_SWITCHES));
  SetTimer(kSearchTimer, kSearchDelay);
  return true;
}

void CFindSwitchesDlg::OnTimer(UINT_PTR id) {
  KillTimer(id);
  if (id == kSearchTimer) Search();
}

void CFindSwitchesDlg::EnableButtons(bool enable) {
  m_close.EnableWindow(enable);
  m_searchAgain.EnableWindow(enable);
  m_addSelected.EnableWindow(enable);
}

void CFindSwitchesDlg::Search() {
  if (m_bSearching) return;  // a second search would share the first one's lists
  m_bSearching = 1;
  CWaitCursor wait;
  m_searchingDlg = std::make_unique<CSearchingDlg>(this);
  if (m_searchingDlg->Create()) {
    m_searchingDlg->ShowWindow(SW_SHOW);
    m_searchingDlg->CenterWindow();
  }
  EnableButtons(false);

  std::unique_ptr<CSwitchDiscovery> discovery = MakeToolDiscovery();
  m_found.clear();
  std::string error;
  (void)discovery->FindAllSwitches(&m_found, &error);

  m_searchingDlg->StopBusy();
  (void)m_searchingDlg->DestroyWindow();  // nothing to do without a window
  m_searchingDlg.reset();
  if (!IsWindow()) return;

  m_list.DeleteAllItems();
  for (std::size_t i = 0; i < m_found.size(); ++i) {
    const CSwitchEntry& e = *m_found[i];
    const int row = m_list.InsertItem(static_cast<int>(i), e.GetMacText(true));
    m_list.SetItemText(row, 1, e.GetName());
    m_list.SetItemText(row, 2, e.GetPart().displayName);
    m_list.SetItemText(row, 3, e.GetFirmwareRevision());
    m_list.SetItemData(row, i);
  }
  if (!error.empty()) AfxMessageBox(error, MB_OK | MB_ICONEXCLAMATION);
  EnableButtons(true);
  m_bSearching = 0;
}

void CFindSwitchesDlg::OnClose() {
  if (m_bSearching) return;  // the search must end first
  CDialog::OnClose();
}

void CFindSwitchesDlg::OnCancel() {
  if (m_bSearching) return;
  CDialog::OnCancel();
}

void CFindSwitchesDlg::AddSelected() {
  if (m_list.GetSelectedCount() == 0) {
    AfxMessageBox(LoadResString(IDS_SELECT_SWITCHES_TO_ADD), MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (!m_document) return;
  for (int row = m_list.GetNextItem(-1, LVNI_SELECTED); row >= 0;
       row = m_list.GetNextItem(row, LVNI_SELECTED)) {
    const std::size_t index = m_list.GetItemData(row);
    if (index >= m_found.size()) continue;
    const CSwitchEntry& e = *m_found[index];
    const std::string& part = e.GetPart().partNumber;
    const unsigned refusal = part == kUnconfigurablePart      ? IDS_TYPE_NOT_CONFIGURABLE
                             : part == kUnconfigurableManaged ? IDS_TYPE_NOT_CONFIGURABLE_2
                                                              : 0;
    if (refusal) {
      // Name the switch: with several rows selected the user must see which one.
      AfxMessageBox(FormatRes(IDS_FOUND_SWITCH_NOT_ADDED, e.GetName(), e.GetMacText(true),
                              e.GetPart().displayName) +
                        "\n" + LoadResString(refusal),
                    MB_OK | MB_ICONEXCLAMATION);
      continue;
    }
    (void)m_document->AddFoundSwitch(e);
  }
}
