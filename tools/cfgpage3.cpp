#include "tools/cfgpage3.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "platform/message.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"
#include "tools/cfgpsheet.h"

namespace {
// Counts that keep n x 5 + 30 within an int; a longer digit string holds at the limit.
constexpr long long kMaxCount = (INT_MAX - 30) / 5;
constexpr long long kMinCount = (static_cast<long long>(INT_MIN) - 30) / 5 + 1;
}  // namespace

CCfgPage3::CCfgPage3() : CPropertyPage(IDD, IDS_RINGS) {
  BindControl(kMasterCombo, m_masterCombo);
  BindControl(kRecoveryTime, m_recoveryTime);
  SetCommandHandler(
      kSwitchCount, [this] { OnSwitchCountChanged(); }, EN_CHANGE);
  const std::pair<int, unsigned> labels[] = {{kCalculatorLabel, IDS_LINK_LOSS_CALCULATOR},
                                             {kSwitchCountLabel, IDS_NUMBER_OF_SWITCHES},
                                             {kRecoveryTimeLabel, IDS_RECOVERY_TIME},
                                             {kMasterLabel, IDS_MASTER_SWITCH_SELECTION}};
  for (const auto& [id, text] : labels) FitText(id, LoadResString(text));
  for (unsigned text : {IDS_AUTOMATIC, IDS_MASTER_THIS_SWITCH})
    FitText(kMasterCombo, LoadResString(text));
  // The longest time a count can give, in bold.
  FitText(kRecoveryTime, FormatRes(IDS_RECOVERY_TIME_MS, kMinCount * 5 + 30), 0, true);
}

int CCfgPage3::RecoveryTimeMs(std::string_view switchCount) {
  const long long n = std::clamp(fw::AtoI(switchCount), kMinCount, kMaxCount);
  return static_cast<int>(n * 5 + 30);
}

bool CCfgPage3::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  CSwitchConfig& cfg = SheetConfig(*this);
  m_recoveryTime.SetBold(true);
  m_recoveryTime.SetText("");
  m_grid.SetConfig(&cfg);
  const bool placed =
      fw::PlaceOverControl(this, kGridFrame, [this](CWnd* parent, const CRect& rect, int id) {
        return m_grid.CreateGrid(WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect, parent, id);
      });
  if (placed) (void)m_grid.FitColumnsToWindow(0, CRingSettingsGrid::kColumns - 1);
  m_masterCombo.ResetContent();
  m_masterCombo.AddString(LoadResString(IDS_AUTOMATIC));
  m_masterCombo.AddString(LoadResString(IDS_MASTER_THIS_SWITCH));
  // A value from a file that is neither choice shows as the nearer one.
  m_masterCombo.SetCurSel(std::clamp(cfg.GetMasterMode(), 0, 1));
  SetDlgItemText(kCalculatorLabel, LoadResString(IDS_LINK_LOSS_CALCULATOR));
  SetDlgItemText(kSwitchCountLabel, LoadResString(IDS_NUMBER_OF_SWITCHES));
  SetDlgItemText(kRecoveryTimeLabel, LoadResString(IDS_RECOVERY_TIME));
  SetDlgItemText(kMasterLabel, LoadResString(IDS_MASTER_SWITCH_SELECTION));
  return true;
}

void CCfgPage3::OnSwitchCountChanged() {
  const std::string text = GetDlgItemText(kSwitchCount);
  if (text.empty()) return;  // the last result stays
  m_recoveryTime.SetText(FormatRes(IDS_RECOVERY_TIME_MS, RecoveryTimeMs(text)));
}

bool CCfgPage3::OnSetActive() {
  CPropertyPage::OnSetActive();
  ActivateCfgPage(*this, PSWIZB_BACK | PSWIZB_NEXT);
  // A new port count on the General page puts the rings on new ports.
  m_grid.RepaintAll();
  return true;
}

bool CCfgPage3::OnKillActive() {
  if (m_grid.CheckDuplicates() == CRingSettingsGrid::kDuplicatesMarked) {
    m_grid.RepaintAll();
    AfxMessageBox(IDS_DUPLICATE_PORTS_SELECTED);
    return false;
  }
  if (const int sel = m_masterCombo.GetCurSel(); sel >= 0) SheetConfig(*this).SetMasterMode(sel);
  return true;
}
