#include "tools/progressdlg.h"

CProgressDlg::CProgressDlg(CWnd* parent) : CDialog(IDD, parent) {}

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
