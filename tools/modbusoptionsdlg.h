// Edits the Modbus and IP settings of one switch entry: whether Modbus is
// on, its address, and the IP address, subnet mask and default gateway.
// Everything is checked before anything is stored, so a refused OK followed
// by Cancel leaves the entry as it was.
#pragma once

#include <string>

#include "platform/gui/dialog.h"
#include "platform/gui/ipaddressctrl.h"

class CSwitchEntry;

class CModbusOptionsDlg : public CDialog {
 public:
  static constexpr unsigned IDD = 150;
  static constexpr int kMinAddress = 1;
  static constexpr int kMaxAddress = 247;

  explicit CModbusOptionsDlg(CWnd* parent = nullptr);

  // The entry to edit; the caller sets it before DoModal (none: nothing is changed).
  CSwitchEntry* m_pEntry = nullptr;
  int m_bEnable = 0;
  std::string m_strAddress;

  // An address text in dotted form into the control; blank when it is not an address.
  static void ShowAddress(CIPAddressCtrl& control, const std::string& text);
  // The control's address in dotted form; "" when it is blank.
  static std::string ReadAddress(const CIPAddressCtrl& control);

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;

 private:
  void ApplyEnableState();

  CIPAddressCtrl m_ip;
  CIPAddressCtrl m_subnet;
  CIPAddressCtrl m_gateway;
};
