#include "tools/cyclepowerdlg.h"

#include "platform/gui/pump.h"
#include "platform/resstring.h"
#include "switch/operationui.h"

CCyclePowerDlg::CCyclePowerDlg(CWnd* parent) : CDialog(IDD, parent) {
  // The prompt, and what the connection attempt after it says.
  for (unsigned id : optext::kCyclePowerTexts) FitText(kStatusId, LoadResString(id));
}

bool CCyclePowerDlg::Create() {
  return CDialog::Create(IDD, m_parentWnd);
}

bool CCyclePowerDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetDlgItemText(kStatusId, LoadResString(optext::kCyclePowerTexts[optext::kCyclePowerPrompt]));
  return true;
}

void CCyclePowerDlg::SetStatusText(const std::string& text) {
  SetDlgItemText(kStatusId, text);
}

void CCyclePowerDlg::OnCancel() {
  m_bCancelled = true;
  CDialog::OnCancel();
}

int CCyclePowerDlg::PumpMessagesFor(int ms) {
  return fw::PumpMessagesFor(ms, this);
}
