// The small window shown while switches are searched: a status line and an
// animated busy control. Modeless; whoever creates it destroys it.
#pragma once

#include <string>

#include "platform/gui/dialog.h"
#include "toolkit/busyprogressctrl.h"

class CSearchingDlg : public CDialog {
 public:
  static constexpr unsigned IDD = 142;
  static constexpr int kStatusId = 1027;
  static constexpr int kBusyId = 1031;

  explicit CSearchingDlg(CWnd* parent = nullptr);
  ~CSearchingDlg() override;

  bool Create();
  void SetStatusText(const std::string& text);
  void StopBusy();
  CBusyProgressCtrl& Busy() { return m_busy; }

 protected:
  bool OnInitDialog() override;
  void OnDestroy() override;

 private:
  CBusyProgressCtrl m_busy{10, 0};
};
