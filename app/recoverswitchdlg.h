// Recover Switch: rewrites a ring switch's settings area with factory values
// through its boot monitor, for a switch whose settings keep it from working.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gui/dialog.h"

class CSwitchDiscovery;

// One write of the factory settings image.
struct CEeromWrite {
  std::uint16_t address = 0;
  std::vector<std::uint8_t> bytes;
};
// The switch's identity: EEROM bytes 280 to 285.
using SwitchIdentity = std::array<std::uint8_t, 6>;

// The factory settings image in the order it is written. Without the
// identity every port gets the copper word.
std::vector<CEeromWrite> FactoryImageWrites(const SwitchIdentity* identity);

class CRecoverSwitchDlg : public CDialog {
 public:
  static constexpr unsigned IDD = 156;
  static constexpr int kDeviceListId = 1015;
  static constexpr int kStatusId = 1027;
  static constexpr int kHelpId = 3;
  // How long a restarted switch is given before it is looked for.
  static constexpr std::uint32_t kRestartWaitMs = 18000;

  explicit CRecoverSwitchDlg(CWnd* parent = nullptr);
  ~CRecoverSwitchDlg() override;

  // The switch to recover: its full MAC address text, set by the caller.
  std::string m_strMac;
  CComboBox m_devices;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  bool OnInitDialog() override;
  void OnOK() override;

 private:
  // Runs the recovery; false, with the text the status line keeps, when
  // anything failed (each failure was shown as it happened).
  bool Recover(CSwitchDiscovery& comm, std::string* outcome);
  void Fail(const std::string& text, std::string* outcome);
};
