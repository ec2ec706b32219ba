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
  bool Empty() const { return count_ == 0; }
  std::size_t Count() const { return count_; }
  // Removes every pair for which drop(entry) is true.
  template <typename Pred>
  void RemoveIf(Pred drop) {
    for (auto& b : buckets_)
      for (auto it = b.begin(); it != b.end();) {
        if (drop(*it)) {
          it = b.erase(it);
          --count_;
        } else {
          ++it;
        }
      }
  }
  // Every pair in map order.
  std::vector<Entry> Entries() const;

 private:
  std::array<std::vector<Entry>, kBuckets> buckets_;  // front = head of the bucket
  std::size_t count_ = 0;
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
  int GetPortCount() const { return portCount_; }
  void SetPortCount(int n);
  CPortSettings* GetPort(int i);
  const CPortSettings* GetPort(int i) const;
  void SetSpeedMode(int port, std::string_view mode);
  void SetGigabitCapable(int port, int flag);
  // Sets every port's gigabit flag from the type alone, leaving the speeds as they are.
  void DeriveGigabitFlags();
  std::string GetPortTypeText(int i) const;

  // Type
  const std::string& GetType() const { return type_; }
  void SetPartNumber(std::string_view type);
  bool IsGigabitType() const;
  static int BaseTypePortCount(std::string_view type);
  // 0..10 for the base types (strings 6000-6010 of the language in use), else -1.
  static int BaseTypeIndex(std::string_view type);

  // Name and state
  const std::string& GetName() const { return name_; }
  // Control characters and ']' cannot be part of a section name; they are dropped.
  void SetName(std::string_view name);
  // The name in folded letter case, for comparisons that ignore it.
  const std::string& GetFoldedName() const { return foldedName_; }
  bool IsDeleted() const { return deleted_ != 0; }
  void SetDeleted(bool deleted) { deleted_ = deleted ? 1 : 0; }

  // Rings
  int GetNumRings() const { return numRings_; }
  void SetNumRings(int n);  // kept within 0..kMaxRings
  CRingSettings* GetRing(int i);
  const CRingSettings* GetRing(int i) const;

  // Priorities and outputs
  int GetSendHigh() const { return sendHigh_; }
  void SetSendHigh(int v) { sendHigh_ = v; }
  int GetOKOutputMode() const { return okOutputMode_; }
  void SetOKOutputMode(int v) { okOutputMode_ = v; }
  unsigned long GetOKOutputTriggers() const { return okOutputTriggers_; }
  void SetOKOutputTriggers(unsigned long v) { okOutputTriggers_ = v; }
  int GetMasterMode() const { return masterMode_; }
  void SetMasterMode(int v) { masterMode_ = v; }
  int GetDefaultBackupSelect() const { return defaultBackupSelect_; }
  void SetDefaultBackupSelect(int v) { defaultBackupSelect_ = v; }
  unsigned GetTagMapping(int tag) const;
  void SetTagMapping(int tag, unsigned queue);  // tags outside 0..7 are ignored

  // Mirroring
  unsigned GetMirrorSourceMode(int i) const;
  void SetMirrorSourceMode(int i, unsigned mode);
  std::optional<int> LookupMirrorPair(int source, int monitor) const;
  // A value of 0 removes the pair: an unchecked pair is no pair.
  void SetMirrorPair(int source, int monitor, int value);
  void ClearMirrorPairs() { mirrorPairs_.Clear(); }
  const CMirrorPairMap& MirrorPairs() const { return mirrorPairs_; }
  std::optional<int> IsMonitorPort(int m) const;
  bool OnlyMonitorIs(int m) const;

  void CopyFrom(const CSwitchConfig& other);
  // Clears messages; 1 with "All port speeds are disabled." when no port has a speed on.
  int CheckSpeeds(std::vector<std::string>& messages) const;

  // A section written by a newer program version, kept as it was read so that
  // saving the project does not replace it with defaults.
  using RawSection = std::vector<std::pair<std::string, std::string>>;
  bool IsNewerVersion() const { return preserved_ != nullptr; }
  const RawSection* PreservedSection() const { return preserved_.get(); }
  void SetPreservedSection(RawSection keys) {
    preserved_ = std::make_unique<RawSection>(std::move(keys));
  }
  void DropPreservedSection() { preserved_.reset(); }

 private:
  void SetDefaultRings();

  std::vector<std::unique_ptr<CPortSettings>> ports_;
  std::array<CRingSettings, kMaxRings> rings_;
  std::vector<unsigned> tagMapping_;
  std::vector<unsigned> mirrorSourceModes_;
  CMirrorPairMap mirrorPairs_;
  int masterMode_ = 0;
  int portCount_ = -1;
  int numRings_ = 2;
  int deleted_ = 0;
  std::string name_;
  std::string foldedName_;
  std::string type_ = "Any 5 port Ring switch";
  int sendHigh_ = 1;
  int okOutputMode_ = 0;
  unsigned long okOutputTriggers_ = 7;
  int defaultBackupSelect_ = 0;
  std::unique_ptr<RawSection> preserved_;
};

namespace fw {
// A configuration or switch name as it may stand in a section header: without
// control characters or ']', trimmed, and without a pair of enclosing quotes
// (the profile reader would strip those and no longer find the section).
std::string CleanItemName(std::string_view name);
}  // namespace fw
