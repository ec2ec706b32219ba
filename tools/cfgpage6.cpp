#include "tools/cfgpage6.h"

#include <utility>

#include "platform/resstring.h"
#include "res/string_ids.h"
#include "tools/cfgpsheet.h"

namespace {
// The texts the page sets as it opens; it is sized for each.
constexpr std::pair<int, unsigned> kShown[] = {
    {CCfgPage6::kHeading, IDS_OK_OUTPUT_OFF_IF},
    {CCfgPage6::kPower1, IDS_POWER_1_FAILURE},
    {CCfgPage6::kPower2, IDS_POWER_2_FAILURE},
    {CCfgPage6::kRingAnywhere, IDS_RING_FAILURE_ANYWHERE},
    {CCfgPage6::kRingAdjacent, IDS_RING_FAILURE_ADJACENT}};
}  // namespace

CCfgPage6::CCfgPage6() : CPropertyPage(IDD, IDS_OK_OUTPUT_PAGE) {
  for (const auto& [id, text] : kShown) FitText(id, LoadResString(text));
}

void CCfgPage6::DoDataExchange(CDataExchange* dx) {
  DDX_Check(dx, kPower1, m_power1);
  DDX_Check(dx, kPower2, m_power2);
  DDX_Check(dx, kRingAdjacent, m_ringAdjacent);
  DDX_Check(dx, kRingAnywhere, m_ringAnywhere);
}

bool CCfgPage6::OnInitDialog() {
  const unsigned long mask = SheetConfig(*this).GetOKOutputTriggers();
  m_power1 = (mask & kTriggerPower1) ? 1 : 0;
  m_power2 = (mask & kTriggerPower2) ? 1 : 0;
  m_ringAnywhere = (mask & kTriggerRingAnywhere) ? 1 : 0;
  m_ringAdjacent = (mask & kTriggerRingAdjacent) ? 1 : 0;
  for (const auto& [id, text] : kShown) SetDlgItemText(id, LoadResString(text));
  (void)UpdateData(false);  // filling the controls validates nothing
  return true;
}

bool CCfgPage6::OnSetActive() {
  CPropertyPage::OnSetActive();
  ActivateCfgPage(*this, PSWIZB_BACK | PSWIZB_FINISH);
  return true;
}

bool CCfgPage6::OnKillActive() {
  if (!UpdateData(true)) return false;
  unsigned long mask = 0;
  if (m_power1) mask |= kTriggerPower1;
  if (m_power2) mask |= kTriggerPower2;
  if (m_ringAnywhere) mask |= kTriggerRingAnywhere;
  if (m_ringAdjacent) mask |= kTriggerRingAdjacent;
  SheetConfig(*this).SetOKOutputTriggers(mask);
  return true;
}

bool CCfgPage6::OnWizardFinish() {
  // Finish does not leave the page: store what it shows first.
  if (!OnKillActive()) return false;
  return CPropertyPage::OnWizardFinish();
}
