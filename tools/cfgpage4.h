// The Priorities page: the priority grid over the template's frame.
#pragma once

#include "platform/gui/propertysheet.h"
#include "tools/prioritysettingsgrid.h"

class CCfgPage4 : public CPropertyPage {
 public:
  static constexpr unsigned IDD = 107;
  enum Control : int { kGridFrame = 1001 };

  CCfgPage4();
  bool OnSetActive() override;
  CPrioritySettingsGrid& Grid() { return m_grid; }

 protected:
  bool OnInitDialog() override;

 private:
  CPrioritySettingsGrid m_grid;
};
