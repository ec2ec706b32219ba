#include "shell/aboutdlg.h"

#include "platform/resourcebundle.h"
#include "shell/startup.h"

CAboutDlg::CAboutDlg(CWnd* parent) : CDialog(IDD, parent) {
  if (const fw::CDialogTemplate* t = fw::FindDialogTemplate(IDD))
    for (const fw::CDialogItem& item : t->items)
      if (item.id == kProductNameId || item.id == kProductVersionId || item.id == kCopyrightId)
        FitText(item.id, fw::ProgramVersionValue(item.text));
  FitText(kBuildDateId, __DATE__);
}

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
