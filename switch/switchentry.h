// One switch of a project and the project's list of switches.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "switch/switchconfig.h"
#include "switch/switchconfigstore.h"

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

  const std::string& GetName() const { return m_name; }
  // Control characters and ']' are dropped (names may come from a switch's EEROM).
  void SetName(std::string_view name);
  const std::string& GetFoldedName() const { return m_foldedName; }

  // A text longer than 9 characters keeps what follows its ninth character
  // (a whole address leaves the last three bytes).
  void SetMac(std::string_view text);
  const std::string& GetMacSuffix() const { return m_macSuffix; }
  std::string GetMacText(bool withPrefix) const;

  const CPartRecord& GetPart() const { return m_part; }
  void SetPart(const CPartRecord& part) { m_part = part; }
  // Looks the part text up among the offered models (part number, then display
  // name), or the display text when the part text is empty.
  bool SetPartFromText(std::string_view partText, std::string_view displayText);

  CSwitchConfig& GetConfig() { return m_config; }
  const CSwitchConfig& GetConfig() const { return m_config; }
  bool IsCompatible(const CSwitchConfig& config) const {
    return config.GetPortCount() == m_part.portCount;
  }

  const std::string& GetFirmwareRevision() const { return m_firmwareRevision; }
  void SetFirmwareRevision(std::string v) { m_firmwareRevision = std::move(v); }
  const std::string& GetIP() const { return m_ip; }
  void SetIP(std::string v) { m_ip = std::move(v); }
  const std::string& GetSubnet() const { return m_subnet; }
  void SetSubnet(std::string v) { m_subnet = std::move(v); }
  const std::string& GetGateway() const { return m_gateway; }
  void SetGateway(std::string v) { m_gateway = std::move(v); }
  int GetModbusEnable() const { return m_modbusEnable; }
  void SetModbusEnable(int v) { m_modbusEnable = v; }
  int GetModbusAddress() const { return m_modbusAddress; }
  void SetModbusAddress(int v) { m_modbusAddress = v; }
  const std::string& GetInterface() const { return m_interface; }
  void SetInterface(std::string v) { m_interface = std::move(v); }
  int GetMonitorStatus() const { return m_monitorStatus; }
  void SetMonitorStatus(int v) { m_monitorStatus = v; }
  bool IsDeleted() const { return m_deleted != 0; }
  void SetDeleted(bool deleted) { m_deleted = deleted ? 1 : 0; }

  void CopyFrom(const CSwitchEntry& other);

  // A section of a newer program version, kept as read and written back as is.
  bool IsNewerVersion() const { return m_preserved != nullptr; }
  const CSwitchConfig::RawSection* PreservedSection() const { return m_preserved.get(); }
  void SetPreservedSection(CSwitchConfig::RawSection keys) {
    m_preserved = std::make_unique<CSwitchConfig::RawSection>(std::move(keys));
  }

 private:
  std::string m_firmwareRevision;
  CPartRecord m_part{"", "", 5};
  CSwitchConfig m_config;
  std::string m_ip;
  std::string m_subnet = "255.255.255.255";
  std::string m_gateway;
  int m_modbusEnable = 0;
  int m_modbusAddress = 1;
  std::string m_interface;
  int m_monitorStatus = -1;
  int m_deleted = 0;
  std::string m_macSuffix;
  std::string m_name;
  std::string m_foldedName;
  std::unique_ptr<CSwitchConfig::RawSection> m_preserved;
};

class CSwitchList {
 public:
  CSwitchList() = default;
  CSwitchList(const CSwitchList&) = delete;
  CSwitchList& operator=(const CSwitchList&) = delete;

  // Appends a copy and returns its index. An entry without a name, or with
  // the name of one that is not deleted (letter case aside), is refused:
  // kModelRefused and kModelDuplicate.
  [[nodiscard]] int Add(const CSwitchEntry& entry);
  // Appends a copy without the name rules and returns its index: a list of
  // what answered a search, where one switch heard on two interfaces, or two
  // switches that carry one name (or none), are each an entry of their own.
  int AddFound(const CSwitchEntry& entry) { return Append(entry); }
  CSwitchEntry* GetAt(int index);
  const CSwitchEntry* GetAt(int index) const;
  int GetCount() const { return static_cast<int>(m_entries.size()); }
  int First() const { return Next(-1); }
  int Next(int index) const;
  void MarkDeleted(int index);
  void Clear() { m_entries.clear(); }
  // Not deleted, letter case aside; skip excludes one index (an entry being renamed).
  int FindIndexByNameNoCase(std::string_view name, int skip = -1) const;

  // The switch-entry part of a project file. Reading returns kProjectOk;
  // writing returns kProjectOk, or kProjectConflict when an entry could not be
  // written under its name.
  [[nodiscard]] int LoadSave(fw::CIniFile& file, bool saving, fw::CProjectNotes* notes = nullptr);

 private:
  int Append(const CSwitchEntry& entry);

  std::vector<std::unique_ptr<CSwitchEntry>> m_entries;
};
