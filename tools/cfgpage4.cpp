#include "tools/cfgpage4.h"

#include "res/string_ids.h"
#include "tools/cfgpsheet.h"

CCfgPage4::CCfgPage4() : CPropertyPage(IDD, IDS_PRIORITIES) {}

bool CCfgPage4::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  m_grid.SetConfig(&SheetConfig(*this));
  // A template without the frame leaves the page without its grid.
  (void)fw::PlaceOverControl(this, kGridFrame, [this](CWnd* parent, const CRect& rect, int id) {
    return m_grid.CreateGrid(WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect, parent, id);
  });
  return true;
}

bool CCfgPage4::OnSetActive() {
  CPropertyPage::OnSetActive();
  ActivateCfgPage(*this, PSWIZB_BACK | PSWIZB_NEXT);
  const int ports = SheetConfig(*this).GetPortCount();
  m_grid.SetRepaintEnabled(0);
  const int current = m_grid.GetSelectedSheet();
  (void)m_grid.SelectSheet(CPrioritySettingsGrid::kSheetPorts);
  (void)m_grid.SetRowTotal(ports + CPrioritySettingsGrid::kPortRowOffset);
  (void)m_grid.SelectSheet(CPrioritySettingsGrid::kSheetAdvanced);
  (void)m_grid.SetRowTotal(ports);
  (void)m_grid.SelectSheet(current);
  m_grid.SetRepaintEnabled(1);
  m_grid.RepaintAll();
  return true;
}
