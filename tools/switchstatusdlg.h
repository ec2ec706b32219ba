// "Switch Status": finds one switch by its MAC address, then reads its live
// status every 2.5 seconds until the dialog is closed, and shows the ports
// and five status lines.
#pragma once

#include <memory>
#include <string>

#include "platform/gui/dialog.h"
#include "switch/switchdiscovery.h"
#include "toolkit/colorstatic.h"

class CSwitchStatusDlg : public CDialog {
 public:
  static constexpr unsigned IDD = 130;
  enum : int {
    kListId = 1000,
    kOkLedId = 1001,
    kOkOutputId = 1002,
    kPower1Id = 1003,
    kPower2Id = 1004,
    kRingLedId = 1005,
    kNameId = 1014,
    kMacId = 1015,
    kInterfaceId = 1016,
    kHelpId = 1018,
    kPollingId = 1019,
    kCommId = 1020,
  };
  static constexpr UINT_PTR kTimerId = 1;
  static constexpr UINT kTickMs = 500;
  // A poll on every fifth tick.
  static constexpr int kTicksPerPoll = 5;

  // Results of PollStatus.
  enum : int { kPollOk = 1, kPollFailed = -1 };

  explicit CSwitchStatusDlg(CWnd* parent = nullptr);
  ~CSwitchStatusDlg() override;

  // Filled by the caller before the dialog runs.
  std::string m_strModel;
  std::string m_strName;
  std::string m_strInterface;  // filled by the dialog
  std::string m_strMac;        // with the maker prefix

  int PollStatus();

  int polls() const { return m_polls; }
  CListCtrl& List() { return m_list; }
  CColorStatic& PollingStatic() { return m_staticPolling; }
  CColorStatic& CommStatic() { return m_staticComm; }

 protected:
  bool OnInitDialog() override;
  void OnTimer(UINT_PTR id) override;
  void OnOK() override;
  void OnCancel() override;

 private:
  void ShowStatus();

  int m_nShownPorts = 0;
  std::unique_ptr<CSwitchDiscovery> m_comm;
  CSwitchStatus m_status;
  CColorStatic m_staticPolling;
  CColorStatic m_staticComm;
  CListCtrl m_list;
  int m_bOpened = 0;
  int m_bStarted = 0;
  int m_nTicks = 0;
  // A tick that arrives while the search or a poll is still running (their
  // waits let messages through) is dropped: the two must never overlap.
  bool m_bBusy = false;
  int m_polls = 0;
};
