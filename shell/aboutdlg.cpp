#include "shell/aboutdlg.h"

#include "shell/startup.h"

CAboutDlg::CAboutDlg(CWnd* parent) : CDialog(IDD, parent) {}

bool CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  for (int id : {kProductNameId, kProductVersionId, kCopyrightId}) {
    // The template's text is the key of the value that replaces it.
    const std::string value = fw::ProgramVersionValue(GetDlgItemText(id));
    SetDlgItemText(id, value);
    if (id == kProductNameId) SetWindowText(value);
  }
  SetDlgItemText(kBuildDateId, __DATE__);
  return true;
}
