// The OK Output page: which events switch the OK output off.
#pragma once

#include "platform/gui/propertysheet.h"

class CCfgPage6 : public CPropertyPage {
 public:
  static constexpr unsigned IDD = 109;
  enum Control : int {
    kPower1 = 1059,
    kPower2 = 1060,
    kRingAnywhere = 1061,
    kRingAdjacent = 1062,
    kHeading = 1078,
  };
  // Bits of the configuration's trigger mask.
  enum Trigger : unsigned long {
    kTriggerPower1 = 1,
    kTriggerPower2 = 2,
    kTriggerRingAnywhere = 4,
    kTriggerRingAdjacent = 8,
  };

  CCfgPage6();
  bool OnSetActive() override;
  bool OnKillActive() override;
  bool OnWizardFinish() override;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;

 private:
  int m_power1 = 1;
  int m_power2 = 1;
  int m_ringAnywhere = 1;
  int m_ringAdjacent = 0;
};
