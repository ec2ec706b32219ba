#include "tools/cfgpsheet.h"

#include "platform/message.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"
#include "toolkit/imagebutton.h"

CCfgPSheet::CCfgPSheet(CWnd* parent) : CPropertySheet(IDS_SWITCH_CONFIGURATION, parent) {
  m_psh.dwFlags |= PSH_NOAPPLYNOW | PSH_HASHELP;
  AddPage(&m_page1);
  AddPage(&m_page2);
  AddPage(&m_page3);
  AddPage(&m_page4);
  AddPage(&m_page5);
  AddPage(&m_page6);
}

CCfgPSheet::~CCfgPSheet() {
  // The pages are members: their windows go before they do.
  (void)DestroyWindow();
}

void CCfgPSheet::SetMode(int editExisting) {
  m_editExisting = editExisting;
  if (editExisting == 0) {
    m_bWizard = true;
    SetWizardMode();
  }
}

void CCfgPSheet::SetOtherConfigNames(const std::vector<std::string>& names) {
  m_otherNames.clear();
  for (const std::string& n : names) m_otherNames.push_back(fw::FoldCase(n));
}

bool CCfgPSheet::IsNameTaken(std::string_view name) const {
  const std::string folded = fw::FoldCase(name);
  for (const std::string& n : m_otherNames)
    if (n == folded) return true;
  return false;
}

bool CCfgPSheet::IsAccepted(std::intptr_t result) {
  return result == kResultOk || result == kResultConfigureLater || result == kResultFinish;
}

bool CCfgPSheet::OnInitDialog() {
  const bool result = CPropertySheet::OnInitDialog();
  if (m_bWizard) ShowConfigureLater(true);
  return result;
}

void CCfgPSheet::ShowConfigureLater(bool show) {
  if (!IsWindow()) return;
  if (m_pConfigureLater && m_pConfigureLater->IsWindow()) {
    m_pConfigureLater->ShowWindow(show ? SW_SHOW : SW_HIDE);
    return;
  }
  if (!show) return;
  CWnd* back = GetDlgItem(ID_WIZBACK);
  if (!back) return;
  // Beside Back, in the same row: its right edge 10 pixels left of Back,
  // its left edge 125 pixels left of it.
  CRect r;
  back->GetWindowRect(&r);
  ScreenToClient(&r);
  const CRect place(r.left - 125, r.top, r.left - 10, r.bottom);
  if (!m_pConfigureLater) m_pConfigureLater = std::make_unique<CImageButton>();
  if (m_pConfigureLater->Create("Button", LoadResString(IDS_CONFIGURE_LATER), kConfigureLaterStyle,
                                place, this, kConfigureLaterId))
    m_pConfigureLater->SetFont(dialogFont(), false);
}

bool CCfgPSheet::SpeedsAcceptable() {
  std::vector<std::string> problems;
  if (m_config.CheckSpeeds(problems) == CSwitchConfig::kSpeedsOk) return true;
  std::string text;
  for (const std::string& p : problems) text += p + "\n";
  AfxMessageBox(text);
  return false;
}

void CCfgPSheet::OnConfigureLater() {
  if (CPropertyPage* page = GetActivePage(); page && !page->OnKillActive()) return;
  if (!SpeedsAcceptable()) return;
  // The wizard ends as with Finish; pages not visited keep the defaults.
  PressButton(PSBTN_FINISH);
}

bool CCfgPSheet::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) == BN_CLICKED) {
    const int id = static_cast<int>(LOWORD(wParam));
    if (id == kConfigureLaterId) {
      OnConfigureLater();
      return true;
    }
    // OK and Finish both hand the configuration over: both check it first.
    if ((id == IDOK || id == ID_WIZFINISH) && !SpeedsAcceptable()) return true;
  }
  return CPropertySheet::OnCommand(wParam, lParam);
}

// ---- for the pages ----------------------------------------------------------------------

CSwitchConfig& SheetConfig(CPropertyPage& page) {
  // Pages of this sheet only ever run inside it.
  return static_cast<CCfgPSheet*>(page.GetSheet())->GetConfig();
}

bool SheetIsEditing(CPropertyPage& page) {
  return static_cast<CCfgPSheet*>(page.GetSheet())->IsEditExisting();
}

bool SheetNameTaken(CPropertyPage& page, std::string_view name) {
  return static_cast<CCfgPSheet*>(page.GetSheet())->IsNameTaken(name);
}

void ActivateCfgPage(CPropertyPage& page, std::uint32_t wizardButtons) {
  if (CPropertySheet* sheet = page.GetSheet())
    (void)sheet->PostMessage(PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(wizardButtons));
  page.SetWindowText(page.GetCaption());
}
