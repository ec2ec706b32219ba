// The About box: the program's name, version and copyright from its own
// version block, and the date it was built.
#pragma once

#include "platform/gui/dialog.h"

class CAboutDlg : public CDialog {
 public:
  static constexpr unsigned IDD = 100;
  // Statics whose template text names the version value they show.
  static constexpr int kProductNameId = 388;
  static constexpr int kProductVersionId = 389;
  static constexpr int kCopyrightId = 390;
  static constexpr int kBuildDateId = 354;

  explicit CAboutDlg(CWnd* parent = nullptr);

 protected:
  bool OnInitDialog() override;
};
