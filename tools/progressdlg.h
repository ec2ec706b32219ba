// The small window the firmware load shows while it sends blocks: a status
// line, a progress bar and Cancel. The operation that creates it drives it.
#pragma once

#include <string>

#include "platform/gui/dialog.h"

class CProgressDlg : public CDialog {
 public:
  static constexpr unsigned IDD = 140;
  static constexpr int kStatusId = 1027;
  static constexpr int kProgressId = 1026;

  explicit CProgressDlg(CWnd* parent = nullptr);
  [[nodiscard]] bool Create();
  void SetStatusText(const std::string& text);

  CProgressCtrl m_progress;  // used directly by the caller

 protected:
  void DoDataExchange(CDataExchange* dx) override;
};
