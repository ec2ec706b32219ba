// One switch of a project and the project's list of switches.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "switch/configstore.h"
#include "switch/switchconfig.h"

namespace fw {
class CIniFile;
struct CProjectNotes;
}  // namespace fw

class CSwitchEntry {
 public:
  // Every switch of the family shares this MAC prefix; an entry keeps the rest.
  static constexpr std::string_view kMacPrefix = "02:4B:33:";

  CSwitchEntry() = default;
  CSwitchEntry(const CSwitchEntry&) = delete;
  CSwitchEntry& operator=(const CSwitchEntry&) = delete;

  const std::string& GetName() const { return name_; }
  // Control characters and ']' are dropped (names may come from a switch's EEROM).
  void SetName(std::string_view name);
  const std::string& GetFoldedName() const { return foldedName_; }

  // A text longer than 9 characters keeps what follows its ninth character.
  void SetMac(std::string_view text);
  const std::string& GetMacSuffix() const { return macSuffix_; }
  std::string GetMacText(bool withPrefix) const;

  const CPartRecord& GetPart() const { return part_; }
  void SetPart(const CPartRecord& part) { part_ = part; }
  // Looks the part text up among the offered models (part number, then display
  // name), or the display text when the part text is empty.
  bool SetPartFromText(std::string_view partText, std::string_view displayText);

  CSwitchConfig& GetConfig() { return config_; }
  const CSwitchConfig& GetConfig() const { return config_; }
  bool IsCompatible(const CSwitchConfig& config) const {
    return config.GetPortCount() == part_.portCount;
  }

  const std::string& GetFirmwareRevision() const { return firmwareRevision_; }
  void SetFirmwareRevision(std::string v) { firmwareRevision_ = std::move(v); }
  const std::string& GetIP() const { return ip_; }
  void SetIP(std::string v) { ip_ = std::move(v); }
  const std::string& GetSubnet() const { return subnet_; }
  void SetSubnet(std::string v) { subnet_ = std::move(v); }
  const std::string& GetGateway() const { return gateway_; }
  void SetGateway(std::string v) { gateway_ = std::move(v); }
  int GetModbusEnable() const { return modbusEnable_; }
  void SetModbusEnable(int v) { modbusEnable_ = v; }
  int GetModbusAddress() const { return modbusAddress_; }
  void SetModbusAddress(int v) { modbusAddress_ = v; }
  const std::string& GetInterface() const { return interface_; }
  void SetInterface(std::string v) { interface_ = std::move(v); }
  int GetMonitorStatus() const { return monitorStatus_; }
  void SetMonitorStatus(int v) { monitorStatus_ = v; }
  bool IsDeleted() const { return deleted_ != 0; }
  void SetDeleted(bool deleted) { deleted_ = deleted ? 1 : 0; }

  void CopyFrom(const CSwitchEntry& other);

  // A section of a newer program version, kept as read and written back as is.
  bool IsNewerVersion() const { return preserved_ != nullptr; }
  const CSwitchConfig::RawSection* PreservedSection() const { return preserved_.get(); }
  void SetPreservedSection(CSwitchConfig::RawSection keys) {
    preserved_ = std::make_unique<CSwitchConfig::RawSection>(std::move(keys));
  }

 private:
  std::string firmwareRevision_;
  CPartRecord part_{"", "", 5};
  CSwitchConfig config_;
  std::string ip_;
  std::string subnet_ = "255.255.255.255";
  std::string gateway_;
  int modbusEnable_ = 0;
  int modbusAddress_ = 1;
  std::string interface_;
  int monitorStatus_ = -1;
  int deleted_ = 0;
  std::string macSuffix_;
  std::string name_;
  std::string foldedName_;
  std::unique_ptr<CSwitchConfig::RawSection> preserved_;
};

class CSwitchList {
 public:
  CSwitchList() = default;
  CSwitchList(const CSwitchList&) = delete;
  CSwitchList& operator=(const CSwitchList&) = delete;

  // Appends a copy. An entry without a name, or with the name of one that is
  // not deleted (letter case aside), is refused: -1 and -3.
  int Add(const CSwitchEntry& entry);
  CSwitchEntry* GetAt(int index);
  const CSwitchEntry* GetAt(int index) const;
  int GetCount() const { return static_cast<int>(entries_.size()); }
  int First() const { return Next(-1); }
  int Next(int index) const;
  void MarkDeleted(int index);
  void Clear() { entries_.clear(); }
  // Not deleted, letter case aside; skip excludes one index (an entry being renamed).
  int FindIndexByNameNoCase(std::string_view name, int skip = -1) const;

  // The switch-entry part of a project file. Reading returns 0; writing
  // returns 0, or -3 when an entry could not be written under its name.
  int LoadSave(fw::CIniFile& file, bool saving, fw::CProjectNotes* notes = nullptr);

 private:
  int Append(const CSwitchEntry& entry);

  std::vector<std::unique_ptr<CSwitchEntry>> entries_;
};
