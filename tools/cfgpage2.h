// The Ports page: the port settings grid over the template's frame.
#pragma once

#include "platform/gui/propertysheet.h"
#include "tools/portsettingsgrid.h"

class CCfgPage2 : public CPropertyPage {
 public:
  static constexpr unsigned IDD = 105;
  enum Control : int { kGridFrame = 1001, kFiberNote = 1073 };

  CCfgPage2();
  bool OnSetActive() override;
  CPortSettingsGrid& Grid() { return m_grid; }

 protected:
  bool OnInitDialog() override;

 private:
  CPortSettingsGrid m_grid;
};
