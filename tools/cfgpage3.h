// The Rings page: the ring grid, the master switch choice and a calculator
// of the ring's recovery time after a link loss.
#pragma once

#include "platform/gui/propertysheet.h"
#include "toolkit/colorstatic.h"
#include "tools/ringsettingsgrid.h"

class CCfgPage3 : public CPropertyPage {
 public:
  static constexpr unsigned IDD = 106;
  enum Control : int {
    kGridFrame = 1001,
    kSwitchCount = 1005,
    kRecoveryTime = 1006,
    kMasterCombo = 1065,
    kCalculatorLabel = 1074,
    kSwitchCountLabel = 1075,
    kRecoveryTimeLabel = 1076,
    kMasterLabel = 1077,
  };

  CCfgPage3();
  bool OnSetActive() override;
  bool OnKillActive() override;

  CRingSettingsGrid& Grid() { return m_grid; }
  CComboBox& MasterCombo() { return m_masterCombo; }
  CColorStatic& RecoveryTime() { return m_recoveryTime; }
  // The calculator's result for the text of the switch count: n x 5 + 30 ms.
  static int RecoveryTimeMs(std::string_view switchCount);

 protected:
  bool OnInitDialog() override;

 private:
  void OnSwitchCountChanged();

  CRingSettingsGrid m_grid;
  CComboBox m_masterCombo;
  CColorStatic m_recoveryTime;
};
