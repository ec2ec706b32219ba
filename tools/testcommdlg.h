// "Test Comm": a bench tool that commands whatever switch answers on the
// chosen interface into its boot monitor and straight out again, and shows
// what went wrong. Its Send and Load Firmware buttons have no action.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "switch/cswitchcomm.h"

class CTestCommDlg : public CDialog {
 public:
  static constexpr unsigned IDD = 134;
  enum : int {
    kDeviceListId = 1015,
    kSendId = 1040,
    kLoadFirmwareId = 1041,
    kEnterBootMonitorId = 1042,
    kErrorsId = 1043,
  };
  // The device selection is read up to this many characters.
  static constexpr std::size_t kMaxDeviceText = 512;

  explicit CTestCommDlg(CWnd* parent = nullptr);
  ~CTestCommDlg() override;

  // The menu command: runs the dialog modally.
  static std::intptr_t Run(CWnd* parent);

  // Enter Boot Monitor: nothing without a selected device.
  void OnEnterBootMonitor();

 protected:
  bool OnInitDialog() override;

 private:
  std::unique_ptr<cswitchcomm> m_comm;
  CListBox m_devices;
};
