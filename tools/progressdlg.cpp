#include "tools/progressdlg.h"

#include "platform/resstring.h"
#include "switch/operationui.h"

CProgressDlg::CProgressDlg(CWnd* parent) : CDialog(IDD, parent) {
  for (unsigned id : optext::kProgressTexts) FitText(kStatusId, LoadResString(id));
}

bool CProgressDlg::Create() {
  return CDialog::Create(IDD, m_parentWnd);
}

void CProgressDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, kProgressId, m_progress);
}

void CProgressDlg::SetStatusText(const std::string& text) {
  SetDlgItemText(kStatusId, text);
}
