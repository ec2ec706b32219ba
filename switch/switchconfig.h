// One switch configuration: the settings of a ring switch model that a
// project keeps under a name and that are written into a switch's EEROM.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Settings of one port. The texts are the fixed English words that the project
// file stores; grids translate them for display.
struct CPortSettings {
  std::string name;  // 1-based port number as text
  std::string admin = "Enabled";
  std::string negotiation = "Auto";
  int flowControl = 0;
  int half10 = 1;
  int full10 = 1;
  int half100 = 1;
  int full100 = 1;
  int half1000 = 0;
  int full1000 = 0;
  std::string priority = "Normal";
  std::string outputTag = "Unchanged";
  int broadcastLimit = 1;
  std::string precedence = "Use Tag";
  int useTag = 1;
  int useIP = 1;
  int gigabitCapable = 0;

  // True when every speed flag is off; the 1000 flags count only when asked.
  bool AllSpeedsOff(bool withGigabit) const;
};

struct CRingSettings {
  int primaryPort = -1;  // port index, -1 = none
  int backupPort = -1;
  int testInterval = 3;
  int enabled = 0;
};

// Mirror pairs keyed "%d*%d" (source and monitor port index). The order of
// iteration is part of the project file: entries sit in 17 hash buckets,
// visited from 0 up, and within a bucket the latest insertion comes first.
class CMirrorPairMap {
 public:
  static constexpr unsigned kBuckets = 17;
  struct Entry {
    std::string key;
    int source = 0;
    int monitor = 0;
    int value = 0;
  };

  static std::string MakeKey(int source, int monitor);
  static unsigned Bucket(std::string_view key);

  std::optional<int> Lookup(int source, int monitor) const;
  void Set(int source, int monitor, int value);
  bool Remove(int source, int monitor);
  void Clear();
  bool Empty() const { return m_count == 0; }
  std::size_t Count() const { return m_count; }
  // Removes every pair for which drop(entry) is true.
  template <typename Pred>
  void RemoveIf(Pred drop) {
    for (auto& b : m_buckets)
      for (auto it = b.begin(); it != b.end();) {
        if (drop(*it)) {
          it = b.erase(it);
          --m_count;
        } else {
          ++it;
        }
      }
  }
  // Every pair in map order.
  std::vector<Entry> Entries() const;

 private:
  std::array<std::vector<Entry>, kBuckets> m_buckets;  // front = head of the bucket
  std::size_t m_count = 0;
};

class CSwitchConfig {
 public:
  static constexpr int kMaxRings = 4;
  static constexpr int kTagValues = 8;
  // The switch's EEROM holds port records for at most nine ports.
  static constexpr int kMaxPorts = 9;

  CSwitchConfig();
  CSwitchConfig(const CSwitchConfig&) = delete;
  CSwitchConfig& operator=(const CSwitchConfig&) = delete;

  // Ports
  int GetPortCount() const { return m_portCount; }
  void SetPortCount(int n);
  CPortSettings* GetPort(int i);
  const CPortSettings* GetPort(int i) const;
  void SetSpeedMode(int port, std::string_view mode);
  void SetGigabitCapable(int port, int flag);
  // Sets every port's gigabit flag from the type alone, leaving the speeds as they are.
  void DeriveGigabitFlags();
  std::string GetPortTypeText(int i) const;

  // Type
  const std::string& GetType() const { return m_type; }
  void SetPartNumber(std::string_view type);
  bool IsGigabitType() const;
  static int BaseTypePortCount(std::string_view type);
  // 0..10 for the base types (strings 6000-6010 of the language in use), else -1.
  static int BaseTypeIndex(std::string_view type);

  // Name and state
  const std::string& GetName() const { return m_name; }
  // Control characters and ']' cannot be part of a section name; they are dropped.
  void SetName(std::string_view name);
  // The name in folded letter case, for comparisons that ignore it.
  const std::string& GetFoldedName() const { return m_foldedName; }
  bool IsDeleted() const { return m_deleted != 0; }
  void SetDeleted(bool deleted) { m_deleted = deleted ? 1 : 0; }

  // Rings
  int GetNumRings() const { return m_numRings; }
  void SetNumRings(int n);  // kept within 0..kMaxRings
  CRingSettings* GetRing(int i);
  const CRingSettings* GetRing(int i) const;

  // Priorities and outputs
  int GetSendHigh() const { return m_sendHigh; }
  void SetSendHigh(int v) { m_sendHigh = v; }
  int GetOKOutputMode() const { return m_okOutputMode; }
  void SetOKOutputMode(int v) { m_okOutputMode = v; }
  unsigned long GetOKOutputTriggers() const { return m_okOutputTriggers; }
  void SetOKOutputTriggers(unsigned long v) { m_okOutputTriggers = v; }
  int GetMasterMode() const { return m_masterMode; }
  void SetMasterMode(int v) { m_masterMode = v; }
  int GetDefaultBackupSelect() const { return m_defaultBackupSelect; }
  void SetDefaultBackupSelect(int v) { m_defaultBackupSelect = v; }
  unsigned GetTagMapping(int tag) const;
  void SetTagMapping(int tag, unsigned queue);  // tags outside 0..7 are ignored

  // Mirroring
  unsigned GetMirrorSourceMode(int i) const;
  void SetMirrorSourceMode(int i, unsigned mode);
  std::optional<int> LookupMirrorPair(int source, int monitor) const;
  // A value of 0 removes the pair: an unchecked pair is no pair.
  void SetMirrorPair(int source, int monitor, int value);
  void ClearMirrorPairs() { m_mirrorPairs.Clear(); }
  const CMirrorPairMap& MirrorPairs() const { return m_mirrorPairs; }
  std::optional<int> IsMonitorPort(int m) const;
  bool OnlyMonitorIs(int m) const;

  void CopyFrom(const CSwitchConfig& other);
  enum SpeedCheck : int { kSpeedsOk = 0, kAllSpeedsOff = 1 };
  // Clears messages; kAllSpeedsOff with the text that all port speeds are
  // disabled when no port has a speed on.
  [[nodiscard]] int CheckSpeeds(std::vector<std::string>& messages) const;

  // A section written by a newer program version, kept as it was read so that
  // saving the project does not replace it with defaults.
  using RawSection = std::vector<std::pair<std::string, std::string>>;
  bool IsNewerVersion() const { return m_preserved != nullptr; }
  const RawSection* PreservedSection() const { return m_preserved.get(); }
  void SetPreservedSection(RawSection keys) {
    m_preserved = std::make_unique<RawSection>(std::move(keys));
  }
  void DropPreservedSection() { m_preserved.reset(); }

 private:
  void SetDefaultRings();

  std::vector<std::unique_ptr<CPortSettings>> m_ports;
  std::array<CRingSettings, kMaxRings> m_rings;
  std::vector<unsigned> m_tagMapping;
  std::vector<unsigned> m_mirrorSourceModes;
  CMirrorPairMap m_mirrorPairs;
  int m_masterMode = 0;
  int m_portCount = -1;
  int m_numRings = 2;
  int m_deleted = 0;
  std::string m_name;
  std::string m_foldedName;
  std::string m_type = "Any 5 port Ring switch";
  int m_sendHigh = 1;
  int m_okOutputMode = 0;
  unsigned long m_okOutputTriggers = 7;
  int m_defaultBackupSelect = 0;
  std::unique_ptr<RawSection> m_preserved;
};

namespace fw {
// A configuration or switch name as it may stand in a section header: without
// control characters or ']', trimmed, and without a pair of enclosing quotes
// (the profile reader would strip those and no longer find the section).
std::string CleanItemName(std::string_view name);
}  // namespace fw
