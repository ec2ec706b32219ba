#include "tools/cfgpage2.h"

#include "platform/resstring.h"
#include "res/string_ids.h"
#include "tools/cfgpsheet.h"

CCfgPage2::CCfgPage2() : CPropertyPage(IDD, IDS_PORTS_PAGE) {
  FitText(kFiberNote, LoadResString(IDS_FIBER_FIXED_SPEED_NOTE));
}

bool CCfgPage2::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  CSwitchConfig& cfg = SheetConfig(*this);
  m_grid.SetConfig(&cfg);
  const bool placed =
      fw::PlaceOverControl(this, kGridFrame, [this](CWnd* parent, const CRect& rect, int id) {
        return m_grid.CreateGrid(WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect, parent, id);
      });
  if (placed) (void)m_grid.SetRowTotal(cfg.GetPortCount());
  SetDlgItemText(kFiberNote, LoadResString(IDS_FIBER_FIXED_SPEED_NOTE));
  return true;
}

bool CCfgPage2::OnSetActive() {
  CPropertyPage::OnSetActive();
  ActivateCfgPage(*this, PSWIZB_BACK | PSWIZB_NEXT);
  if (CWnd* note = GetDlgItem(kFiberNote)) note->ShowWindow(SW_HIDE);
  // The type may have changed on the General page.
  (void)m_grid.SetRowTotal(SheetConfig(*this).GetPortCount());
  m_grid.RepaintAll();
  return true;
}
