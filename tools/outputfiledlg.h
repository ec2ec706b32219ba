// "Output to File": writes the list of the project's switches to a file in
// one of three layouts (CSV, tab-delimited, fixed-width text).
#pragma once

#include <string>

#include "platform/gui/dialog.h"

class IProjectDocument;

class COutputFileDlg : public CDialog {
 public:
  static constexpr unsigned IDD = 147;

  COutputFileDlg(CWnd* parent, const IProjectDocument* doc);

  // The chosen file without its extension; the layout's extension is added on OK.
  std::string m_strDestination;
  // 0 CSV, 1 tab-delimited, 2 text (the combo box's order).
  int m_nFileType = 0;
  // The date of the title line; today unless set.
  std::string m_strDate;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;

 private:
  void OnBrowse();

  const IProjectDocument* m_doc;
};
