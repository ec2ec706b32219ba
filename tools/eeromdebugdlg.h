// "EEROM Debugger": reads, shows, edits and writes address ranges of a
// switch's EEROM, named by the description file "ringeerom.txt".
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "switch/cfgblock.h"
#include "switch/cswitchcomm.h"
#include "toolkit/anchorlayoutdialog.h"
#include "tools/eeromgrid.h"

class CEeromDebugDlg : public CAnchorLayoutDialog, public IEeromValues {
 public:
  static constexpr unsigned IDD = 137;
  enum : int {
    kGridId = 1001,
    kReadAllId = 1013,
    kWriteSelectedId = 1014,
    kInterfaceId = 1015,
    kReadSelectedId = 1016,
    kWriteAllId = 1017,
    kMacId = 1018,
    kSetId = 1019,
    kMacLabelId = 1020,
    kSaveId = 1021,
  };
  static constexpr char kBroadcastMac[] = "FF:FF:FF:FF:FF:FF";
  // Transfer results.
  enum : int { kTransferOk = 0, kTransferFailed = -1 };

  explicit CEeromDebugDlg(CWnd* parent = nullptr);
  ~CEeromDebugDlg() override;

  // The destination given by the caller: the selected switch's full MAC, or
  // the broadcast address when none is selected.
  std::string m_strDestMac = kBroadcastMac;
  // The description file; by default "ringeerom.txt" beside the program.
  std::string m_strDescriptionFile;

  int ReadAll();
  int ReadSelected();
  int WriteSelected();
  int WriteAll();
  // False (and told) when the text is not a MAC address.
  bool SetDestination(const std::string& text);
  bool SaveToFile(const std::string& path);

  CEeromGrid& Grid() { return m_grid; }
  // The bytes read or entered, by address.
  const std::unordered_map<std::uint16_t, std::uint8_t>& Values() const { return m_values; }

  bool LookupValue(std::uint16_t address, std::uint8_t* value) const override;
  bool LookupReceived(std::uint16_t address, std::uint8_t* value) const override;
  void StoreHexText(const std::string& text, int row) override;

 protected:
  bool OnInitDialog() override;
  bool PreTranslateMessage(MSG* msg) override;

 private:
  // Opens the interface of the combo box: its name, or empty with the
  // message told when there is none or it cannot be opened.
  bool OpenInterface(bool tellEmpty);
  bool RefuseBroadcastWrite();
  bool RowComplete(const CEeromRange& range) const;
  void ShowError(const std::string& error);
  void Save();

  CEeromGrid m_grid{*this};
  std::unique_ptr<cswitchcomm> m_comm;
  CCfgBlock m_request;
  std::unordered_map<std::uint16_t, std::uint8_t> m_values;
  CComboBox m_combo;
};
