#include "switch/switchconfig.h"

#include <algorithm>
#include <cstdlib>

#include "platform/format.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"

namespace {

constexpr int kBaseTypes = IDS_BASE_TYPE_10 - IDS_BASE_TYPE_0 + 1;
constexpr unsigned kDefaultTagMapping[CSwitchConfig::kTagValues] = {0, 0, 0, 1, 1, 1, 1, 3};

// The stored speed mode that fixes a port's speed. Always the English word:
// the negotiation text is a stored setting, not a displayed one.
constexpr std::string_view kFixed = "Fixed";

// Ring port from a string resource; nullopt when the text is missing or names
// no port of the configuration, so the caller keeps its own default.
std::optional<int> RingPortFromString(unsigned id, int portCount) {
  const std::string text = LoadResString(id);
  if (fw::TrimView(text).empty()) return std::nullopt;
  const long long v = fw::AtoI(text);
  if (v < -1 || v >= portCount) return std::nullopt;
  return static_cast<int>(v);
}

}  // namespace

namespace fw {

std::string CleanItemName(std::string_view name) {
  // Names from a switch's EEROM may be any bytes: take what is not UTF-8 as cp1252.
  const std::string text = IsValidUtf8(name) ? std::string(name) : Cp1252ToUtf8(name);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const std::size_t n = std::min(Utf8SequenceLength(c), text.size() - i);
    const std::string_view ch(text.data() + i, n);
    i += n;
    if (c < 0x20 || c == 0x7F || c == ']') continue;
    // C1 controls and the replacement character carry nothing a user typed.
    if (n == 2 && c == 0xC2 && static_cast<unsigned char>(ch[1]) < 0xA0) continue;
    if (ch == "\xEF\xBF\xBD") continue;
    out.append(ch);
  }
  std::string_view v = TrimView(out);
  while (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = TrimView(v.substr(1, v.size() - 2));
  return std::string(v);
}

}  // namespace fw

// ---------------------------------------------------------------- ports

bool CPortSettings::AllSpeedsOff(bool withGigabit) const {
  if (half10 || full10 || half100 || full100) return false;
  return !withGigabit || (!half1000 && !full1000);
}

// ---------------------------------------------------------------- mirror pairs

std::string CMirrorPairMap::MakeKey(int source, int monitor) {
  return std::to_string(source) + "*" + std::to_string(monitor);
}

unsigned CMirrorPairMap::Bucket(std::string_view key) {
  std::uint32_t h = 0;
  for (char c : key)
    h = h * 33u +
        static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(c)));
  return h % kBuckets;
}

std::optional<int> CMirrorPairMap::Lookup(int source, int monitor) const {
  const std::string key = MakeKey(source, monitor);
  for (const Entry& e : m_buckets[Bucket(key)])
    if (e.key == key) return e.value;
  return std::nullopt;
}

void CMirrorPairMap::Set(int source, int monitor, int value) {
  std::string key = MakeKey(source, monitor);
  auto& b = m_buckets[Bucket(key)];
  for (Entry& e : b)
    if (e.key == key) {
      e.value = value;
      return;
    }
  b.insert(b.begin(), Entry{std::move(key), source, monitor, value});
  ++m_count;
}

bool CMirrorPairMap::Remove(int source, int monitor) {
  const std::string key = MakeKey(source, monitor);
  auto& b = m_buckets[Bucket(key)];
  for (auto it = b.begin(); it != b.end(); ++it)
    if (it->key == key) {
      b.erase(it);
      --m_count;
      return true;
    }
  return false;
}

void CMirrorPairMap::Clear() {
  for (auto& b : m_buckets) b.clear();
  m_count = 0;
}

std::vector<CMirrorPairMap::Entry> CMirrorPairMap::Entries() const {
  std::vector<Entry> out;
  out.reserve(m_count);
  for (const auto& b : m_buckets) out.insert(out.end(), b.begin(), b.end());
  return out;
}

// ---------------------------------------------------------------- configuration

CSwitchConfig::CSwitchConfig()
    : m_tagMapping(std::begin(kDefaultTagMapping), std::end(kDefaultTagMapping)) {
  SetPortCount(5);
  SetDefaultRings();
  m_sendHigh = 1;
  m_okOutputTriggers = 7;
  m_okOutputMode = 0;
  m_masterMode = 0;
  m_defaultBackupSelect = 0;
  SetPartNumber("Any 5 port Ring switch");
}

void CSwitchConfig::SetDefaultRings() {
  // The translations may move the default ring ports; a missing or unusable
  // text keeps the ports that the port count chose.
  if (auto p = RingPortFromString(IDS_PORTCOUNT_RULE_0, m_portCount)) m_rings[0].primaryPort = *p;
  if (auto p = RingPortFromString(IDS_PORTCOUNT_RULE_1, m_portCount)) m_rings[0].backupPort = *p;
  if (auto p = RingPortFromString(IDS_PORTCOUNT_RULE_2, m_portCount)) m_rings[1].primaryPort = *p;
  if (auto p = RingPortFromString(IDS_PORTCOUNT_RULE_3, m_portCount)) m_rings[1].backupPort = *p;
}

void CSwitchConfig::SetPortCount(int n) {
  if (n < 0) n = 0;
  if (n == m_portCount && !m_ports.empty()) return;
  m_ports.clear();
  m_mirrorSourceModes.clear();
  m_ports.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    auto p = std::make_unique<CPortSettings>();
    p->name = std::to_string(i + 1);
    m_ports.push_back(std::move(p));
  }
  m_mirrorSourceModes.assign(static_cast<std::size_t>(n), 0);
  m_portCount = n;

  const std::pair<int, int> ring0 = n == 5   ? std::pair{3, 4}
                                    : n == 6 ? std::pair{4, 5}
                                             : std::pair{7, 8};
  auto inRange = [n](int p) { return p < n ? p : -1; };
  m_rings[0].primaryPort = inRange(ring0.first);
  m_rings[0].backupPort = inRange(ring0.second);
  m_rings[1].primaryPort = inRange(0);
  m_rings[1].backupPort = inRange(1);

  // Pairs naming ports that are gone would become bits past the port table.
  m_mirrorPairs.RemoveIf(
      [n](const CMirrorPairMap::Entry& e) { return e.source >= n || e.monitor >= n; });
  // Fresh records start without the gigabit flag; the type still decides it.
  DeriveGigabitFlags();
}

CPortSettings* CSwitchConfig::GetPort(int i) {
  return i >= 0 && i < static_cast<int>(m_ports.size()) ? m_ports[static_cast<std::size_t>(i)].get()
                                                        : nullptr;
}

const CPortSettings* CSwitchConfig::GetPort(int i) const {
  return const_cast<CSwitchConfig*>(this)->GetPort(i);
}

void CSwitchConfig::SetSpeedMode(int port, std::string_view mode) {
  CPortSettings* p = GetPort(port);
  if (!p || p->negotiation == mode) return;
  p->negotiation = std::string(mode);
  if (mode == kFixed) {
    p->half10 = p->full10 = p->half100 = p->half1000 = 0;
    p->full100 = p->gigabitCapable ? 0 : 1;
    p->full1000 = p->gigabitCapable ? 1 : 0;
  } else {
    p->half10 = p->full10 = p->half100 = p->full100 = p->half1000 = p->full1000 = 1;
  }
}

void CSwitchConfig::SetGigabitCapable(int port, int flag) {
  CPortSettings* p = GetPort(port);
  if (!p) return;
  const bool changed = p->gigabitCapable != flag;
  p->gigabitCapable = flag;
  if (changed) p->half1000 = p->full1000 = flag;
}

void CSwitchConfig::DeriveGigabitFlags() {
  const bool gigabit = IsGigabitType();
  for (int i = 0; i < static_cast<int>(m_ports.size()); ++i)
    m_ports[static_cast<std::size_t>(i)]->gigabitCapable = gigabit && i > 5 ? 1 : 0;
}

int CSwitchConfig::BaseTypeIndex(std::string_view type) {
  for (int k = 0; k < kBaseTypes; ++k)
    if (CompareWithResString(type, IDS_BASE_TYPE_0 + static_cast<unsigned>(k))) return k;
  return -1;
}

std::string CSwitchConfig::GetPortTypeText(int i) const {
  const int t = BaseTypeIndex(m_type);
  if (t < 0) return "";
  static constexpr const char* kCopper = "10/100 RJ45";
  static constexpr const char* kFiber = "100M fiber";
  switch (t) {
    case 1: return i == 4 ? kFiber : kCopper;
    case 2: return i > 2 ? kFiber : kCopper;
    case 4: return i == 5 ? kFiber : kCopper;
    case 5: return i > 3 ? kFiber : kCopper;
    case 7: return i == 8 ? kFiber : kCopper;
    case 8: return i > 6 ? kFiber : kCopper;
    case 9: return i > 5 ? "10/100/1000 RJ45" : kCopper;
    case 10: return i == 6 ? "10/100/1000 RJ45" : i > 6 ? "1000 SFP" : kCopper;
    default: return kCopper;
  }
}

bool CSwitchConfig::IsGigabitType() const {
  for (unsigned id : {IDS_BASE_TYPE_9, IDS_BASE_TYPE_10}) {
    const std::string s = LoadResString(id);
    if (!s.empty() && fw::EqualsNoCase(m_type, s)) return true;
  }
  return false;
}

int CSwitchConfig::BaseTypePortCount(std::string_view type) {
  const int t = BaseTypeIndex(type);
  if (t >= 6) return 9;
  if (t >= 3) return 6;
  return 5;
}

void CSwitchConfig::SetPartNumber(std::string_view type) {
  const bool wasGigabit = IsGigabitType();
  m_type = std::string(type);
  m_numRings = 2;
  const bool gigabit = IsGigabitType();
  const int n = static_cast<int>(m_ports.size());
  // The type text is looked up once; GetPortTypeText would do it per port.
  std::vector<std::string> typeText(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) typeText[static_cast<std::size_t>(i)] = GetPortTypeText(i);
  for (int i = 0; i < n; ++i) {
    SetGigabitCapable(i, gigabit && i > 5 ? 1 : 0);
    if (typeText[static_cast<std::size_t>(i)] == "100M fiber") SetSpeedMode(i, kFixed);
  }
  if (!wasGigabit && gigabit) {
    for (int i = 7; i < n; ++i) {
      CPortSettings* p = GetPort(i);
      if (!p->gigabitCapable || typeText[static_cast<std::size_t>(i)] != "1000 SFP") continue;
      SetSpeedMode(i, kFixed);
      p->full1000 = 1;
      p->half1000 = p->half10 = p->full10 = p->half100 = p->full100 = 0;
    }
  }
  for (int i = 0; i < n; ++i)
    if (fw::ToLowerAscii(typeText[static_cast<std::size_t>(i)]).find("fiber") != std::string::npos)
      SetSpeedMode(i, kFixed);
}

void CSwitchConfig::SetName(std::string_view name) {
  m_name = fw::CleanItemName(name);
  m_foldedName = fw::FoldCase(m_name);
}

void CSwitchConfig::SetNumRings(int n) {
  m_numRings = std::clamp(n, 0, kMaxRings);
}

CRingSettings* CSwitchConfig::GetRing(int i) {
  return i >= 0 && i < kMaxRings ? &m_rings[static_cast<std::size_t>(i)] : nullptr;
}

const CRingSettings* CSwitchConfig::GetRing(int i) const {
  return i >= 0 && i < kMaxRings ? &m_rings[static_cast<std::size_t>(i)] : nullptr;
}

unsigned CSwitchConfig::GetTagMapping(int tag) const {
  return tag >= 0 && tag < static_cast<int>(m_tagMapping.size())
             ? m_tagMapping[static_cast<std::size_t>(tag)]
             : 0;
}

void CSwitchConfig::SetTagMapping(int tag, unsigned queue) {
  if (tag >= 0 && tag < static_cast<int>(m_tagMapping.size()))
    m_tagMapping[static_cast<std::size_t>(tag)] = queue;
}

unsigned CSwitchConfig::GetMirrorSourceMode(int i) const {
  return i >= 0 && i < static_cast<int>(m_mirrorSourceModes.size())
             ? m_mirrorSourceModes[static_cast<std::size_t>(i)]
             : 0;
}

void CSwitchConfig::SetMirrorSourceMode(int i, unsigned mode) {
  // Growing is bounded by the port table: an index past it is a caller's slip.
  if (i < 0 || i >= kMaxPorts) return;
  if (i >= static_cast<int>(m_mirrorSourceModes.size()))
    m_mirrorSourceModes.resize(static_cast<std::size_t>(i) + 1, 0);
  m_mirrorSourceModes[static_cast<std::size_t>(i)] = mode;
}

std::optional<int> CSwitchConfig::LookupMirrorPair(int source, int monitor) const {
  return m_mirrorPairs.Lookup(source, monitor);
}

void CSwitchConfig::SetMirrorPair(int source, int monitor, int value) {
  if (value == 0)
    m_mirrorPairs.Remove(source, monitor);
  else
    m_mirrorPairs.Set(source, monitor, value);
}

std::optional<int> CSwitchConfig::IsMonitorPort(int m) const {
  for (int i = 0; i < m_portCount; ++i)
    if (auto v = m_mirrorPairs.Lookup(i, m); v && *v != 0) return v;
  return std::nullopt;
}

bool CSwitchConfig::OnlyMonitorIs(int m) const {
  for (int k = 0; k < m_portCount; ++k)
    if (k != m && IsMonitorPort(k)) return false;
  return true;
}

void CSwitchConfig::CopyFrom(const CSwitchConfig& other) {
  if (&other == this) return;
  m_name = other.m_name;
  m_foldedName = other.m_foldedName;
  m_type = other.m_type;
  SetPortCount(other.m_portCount);
  for (int i = 0; i < m_portCount; ++i)
    *m_ports[static_cast<std::size_t>(i)] = *other.m_ports[static_cast<std::size_t>(i)];
  m_rings = other.m_rings;
  m_tagMapping = other.m_tagMapping;
  m_mirrorSourceModes = other.m_mirrorSourceModes;
  // Rebuilt pair by pair, in the other's order, as the file order depends on it.
  m_mirrorPairs.Clear();
  for (const auto& e : other.m_mirrorPairs.Entries())
    m_mirrorPairs.Set(e.source, e.monitor, e.value);
  m_masterMode = other.m_masterMode;
  m_numRings = other.m_numRings;
  m_sendHigh = other.m_sendHigh;
  m_okOutputMode = other.m_okOutputMode;
  m_okOutputTriggers = other.m_okOutputTriggers;
  m_defaultBackupSelect = other.m_defaultBackupSelect;
  if (other.m_preserved)
    m_preserved = std::make_unique<RawSection>(*other.m_preserved);
  else
    m_preserved.reset();
}

int CSwitchConfig::CheckSpeeds(std::vector<std::string>& messages) const {
  messages.clear();
  const bool gigabit = IsGigabitType();
  for (const auto& p : m_ports)
    if (!p->AllSpeedsOff(gigabit)) return kSpeedsOk;
  messages.push_back(LoadResString(IDS_ALL_PORT_SPEEDS_DISABLED));
  return kAllSpeedsOff;
}
