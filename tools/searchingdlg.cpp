#include "tools/searchingdlg.h"

#include "platform/resstring.h"
#include "switch/operationui.h"

CSearchingDlg::CSearchingDlg(CWnd* parent) : CDialog(IDD, parent) {
  BindControl(kBusyId, m_busy);
  for (unsigned id : optext::kSearchingTexts) FitText(kStatusId, LoadResString(id));
}

CSearchingDlg::~CSearchingDlg() {
  (void)DestroyWindow();  // nothing to do without a window
}

bool CSearchingDlg::Create() {
  return CDialog::Create(IDD, m_parentWnd);
}

bool CSearchingDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_busy.SetNumSegments(20);
  m_busy.Recalc();
  m_busy.SetInterval(25);
  m_busy.SetRange(-100, 100);
  m_busy.SetColBlocks(RGB(113, 17, 17));
  m_busy.SetColBlocksHi(RGB(255, 0, 0));
  m_busy.SetColBlocksEdge(RGB(0, 0, 0));
  m_busy.Start();
  SetDlgItemText(kStatusId, LoadResString(optext::kSearchingTexts[optext::kSearchingForSwitches]));
  return true;
}

void CSearchingDlg::SetStatusText(const std::string& text) {
  SetDlgItemText(kStatusId, text);
}

void CSearchingDlg::StopBusy() {
  m_busy.End();
}

void CSearchingDlg::OnDestroy() {
  m_busy.End();
  CDialog::OnDestroy();
}
