#include "tools/cfgpage5.h"

#include "res/string_ids.h"
#include "tools/cfgpsheet.h"
#include "tools/gridfonts.h"

CCfgPage5::CCfgPage5() : CPropertyPage(IDD, IDS_MIRRORING) {}

bool CCfgPage5::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  m_grid.SetConfig(&SheetConfig(*this));
  // A template without the frame leaves the page without its grid.
  (void)fw::PlaceOverControl(this, kGridFrame, [this](CWnd* parent, const CRect& rect, int id) {
    return m_grid.CreateGrid(WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect, parent, id);
  });
  return true;
}

bool CCfgPage5::OnSetActive() {
  CPropertyPage::OnSetActive();
  ActivateCfgPage(*this, PSWIZB_BACK | PSWIZB_NEXT);
  const int ports = SheetConfig(*this).GetPortCount();
  (void)m_grid.SetRowTotal(ports + 1);
  (void)m_grid.SetColumnTotal(ports + 1);
  (void)m_grid.MergeCells(0, -2, 0, -1);
  (void)m_grid.MergeCells(1, -2, ports, -2);
  for (int c = 1; c <= ports; ++c) (void)m_grid.SetColumnWidth(c, GridPx(kPortColumnWidth));
  m_grid.RepaintAll();
  return true;
}
