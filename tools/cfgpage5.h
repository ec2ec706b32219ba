// The Mirroring page: the mirroring grid over the template's frame.
#pragma once

#include "platform/gui/propertysheet.h"
#include "tools/mirroringgrid.h"

class CCfgPage5 : public CPropertyPage {
 public:
  static constexpr unsigned IDD = 108;
  enum Control : int { kGridFrame = 1001 };
  static constexpr int kPortColumnWidth = 68;

  CCfgPage5();
  bool OnSetActive() override;
  CMirroringGrid& Grid() { return m_grid; }

 protected:
  bool OnInitDialog() override;

 private:
  CMirroringGrid m_grid;
};
