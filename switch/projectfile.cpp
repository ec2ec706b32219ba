#include "switch/projectfile.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <unordered_set>

#include "platform/atomicfile.h"
#include "platform/dynlib.h"
#include "platform/fields.h"
#include "platform/format.h"
#include "platform/inifile.h"
#include "platform/language.h"
#include "platform/message.h"
#include "platform/resourcebundle.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"

namespace fw {

namespace {

constexpr std::string_view kCfgIndex = "Switch Cfgs";
constexpr std::string_view kCfgPrefix = "Switch Cfg: ";
constexpr std::string_view kEntryIndex = "Switch Entries";
constexpr std::string_view kEntryPrefix = "Switch Entry: ";

// Values were read into a buffer of 1024 characters; longer ones were cut.
constexpr std::size_t kMaxValueChars = 1023;

constexpr unsigned kDefaultTagMapping[CSwitchConfig::kTagValues] = {0, 0, 0, 1, 1, 1, 1, 3};

std::string CutChars(std::string_view s, std::size_t chars) {
  std::size_t i = 0, n = 0;
  while (i < s.size() && n < chars) {
    i += std::min(Utf8SequenceLength(static_cast<unsigned char>(s[i])), s.size() - i);
    ++n;
  }
  return std::string(s.substr(0, i));
}

std::size_t CharCount(std::string_view s) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < s.size(); ++n)
    i += std::min(Utf8SequenceLength(static_cast<unsigned char>(s[i])), s.size() - i);
  return n;
}

std::string LastChars(std::string_view s, std::size_t chars) {
  const std::size_t total = CharCount(s);
  std::size_t i = 0;
  for (std::size_t n = 0; n + chars < total; ++n)
    i += std::min(Utf8SequenceLength(static_cast<unsigned char>(s[i])), s.size() - i);
  return std::string(s.substr(i));
}

int ToInt(long long v) {
  return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}
int AtoInt(std::string_view s) {
  return ToInt(AtoI(s));
}

// One section being read: values as the profile reader would give them, and a
// record of the repairs made.
class SectionReader {
 public:
  SectionReader(const CIniFile& file, std::string section)
      : m_file(file), m_section(std::move(section)) {}

  std::optional<std::string> Get(std::string_view key) const {
    auto v = m_file.Get(m_section, key);
    if (v && v->size() > kMaxValueChars) *v = CutChars(*v, kMaxValueChars);
    return v;
  }
  std::string Get(std::string_view key, std::string_view def) const {
    auto v = Get(key);
    return v ? *v : std::string(def);
  }
  // Only a value that is present and not empty counts.
  std::optional<std::string> NonEmpty(std::string_view key) const {
    auto v = Get(key);
    if (!v || v->empty()) return std::nullopt;
    return v;
  }
  CSwitchConfig::RawSection Raw() const {
    CSwitchConfig::RawSection raw;
    for (const auto& k : m_file.KeyNames(m_section))
      raw.emplace_back(k, m_file.GetString(m_section, k));
    return raw;
  }
  void Repaired() { m_repaired = true; }
  bool repaired() const { return m_repaired; }
  const std::string& section() const { return m_section; }

 private:
  const CIniFile& m_file;
  std::string m_section;
  bool m_repaired = false;
};

// Index values in the order of their keys "0", "1", ... Keys are taken as
// they come rather than up to the first gap or empty value, so one bad line
// cannot hide every later configuration or switch.
std::vector<std::string> IndexNames(const CIniFile& file, std::string_view section) {
  std::vector<std::pair<long, std::string>> keyed;
  for (const auto& key : file.KeyNames(section)) {
    if (key.empty() || key.size() > 9 || (key.size() > 1 && key[0] == '0')) continue;
    if (!std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; })) continue;
    std::string v = file.GetString(section, key);
    if (v.size() > kMaxValueChars) v = CutChars(v, kMaxValueChars);
    keyed.emplace_back(std::stol(key), std::move(v));
  }
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> names;
  for (auto& [k, v] : keyed)
    if (!v.empty()) names.push_back(std::move(v));
  return names;
}

void AddOnce(std::vector<std::string>& list, const std::string& s) {
  if (std::find(list.begin(), list.end(), s) == list.end()) list.push_back(s);
}

bool MatchesInAnyLanguage(std::string_view text, unsigned id) {
  if (text.empty()) return false;
  for (const CResourceBundle* b : ProjectLanguageBundles())
    if (const std::string* s = b->FindString(id); s && !s->empty() && EqualsNoCase(text, *s))
      return true;
  return false;
}

// ---------------------------------------------------------------- configuration section

struct ConfigReadResult {
  bool conflict = false;
  bool newer = false;
};

ConfigReadResult ReadConfigSection(const CIniFile& file, const std::string& section,
                                   CSwitchConfig& cfg, CProjectNotes* notes) {
  ConfigReadResult result;
  SectionReader in(file, section);
  if (AtoI(in.Get("Vers", "0")) > 1) {
    // Settings we do not know: keep them word for word for the next save.
    cfg.SetPreservedSection(in.Raw());
    result.newer = true;
    if (notes) AddOnce(notes->newerSections, cfg.GetName());
    return result;
  }
  const std::string type = CanonicalBaseType(in.Get("Type", ""));
  cfg.SetPartNumber(type);
  cfg.SetSendHigh(AtoInt(in.Get("SendHigh", "")));

  int ports = 5;
  if (auto v = in.NonEmpty("NumPorts"); v && AtoI(*v) != -1) {
    const long long n = AtoI(*v);
    if (n >= 1 && n <= CSwitchConfig::kMaxPorts) {
      ports = static_cast<int>(n);
    } else {
      ports = CSwitchConfig::BaseTypePortCount(type);
      in.Repaired();
    }
  }
  cfg.SetPortCount(ports);

  const long long rings = AtoI(in.Get("NumRings", ""));
  if (rings < 0 || rings > CSwitchConfig::kMaxRings) in.Repaired();
  cfg.SetNumRings(ToInt(rings));

  if (auto v = in.NonEmpty("OKOutputMode")) cfg.SetOKOutputMode(AtoInt(*v));
  if (auto v = in.NonEmpty("OKOutputTriggers")) {
    const long long t = AtoI(*v);
    if (t >= 0 && t <= 15) {
      cfg.SetOKOutputTriggers(static_cast<unsigned long>(t));
    } else {
      cfg.SetOKOutputTriggers(7);
      in.Repaired();
    }
  }
  if (auto v = in.NonEmpty("MasterMode")) cfg.SetMasterMode(AtoInt(*v));
  if (auto v = in.NonEmpty("DefBackupSel")) cfg.SetDefaultBackupSelect(AtoInt(*v));

  for (int i = 0; i < ports; ++i)
    cfg.SetMirrorSourceMode(
        i, static_cast<unsigned>(AtoInt(in.Get(FormatText("MirrorSourceMode%d", i), "0"))));

  // Every pair names the same monitor port: the first pair read decides it.
  int monitorPort = -1;  // none yet
  for (int k = 0;; ++k) {
    auto v = in.NonEmpty(FormatText("Mirror%d", k));
    if (!v) break;
    const long long src = AtoI(GetDelimitedField(*v, ',', 1, 25));
    const long long mon = AtoI(GetDelimitedField(*v, ',', 2, 25));
    const int mode = AtoInt(GetDelimitedField(*v, ',', 3, 25));
    const bool valid = src >= 0 && src < ports && mon >= 0 && mon < ports && src != mon;
    if (mode == 0) {
      // An unchecked pair turns off what an earlier line set, and decides no
      // monitor port; older versions left such lines behind for any ports.
      if (valid) cfg.SetMirrorPair(static_cast<int>(src), static_cast<int>(mon), 0);
      if (cfg.MirrorPairs().Empty()) monitorPort = -1;
      continue;
    }
    if (!valid) {
      in.Repaired();
      continue;
    }
    if (monitorPort < 0) {
      monitorPort = static_cast<int>(mon);
    } else if (monitorPort != mon) {
      result.conflict = true;
      continue;
    }
    cfg.SetMirrorPair(static_cast<int>(src), static_cast<int>(mon), mode);
  }

  for (int t = 0; t < CSwitchConfig::kTagValues; ++t) {
    const long long q = AtoI(in.Get(FormatText("TagMapping%d", t), ""));
    if (q >= 0 && q <= 3) {
      cfg.SetTagMapping(t, static_cast<unsigned>(q));
    } else {
      cfg.SetTagMapping(t, kDefaultTagMapping[t]);
      in.Repaired();
    }
  }

  auto ringPort = [&](std::string_view field) {
    const long long p = AtoI(field);
    if (p >= -1 && p < ports) return static_cast<int>(p);
    in.Repaired();
    return -1;
  };
  for (int r = 0; r < cfg.GetNumRings(); ++r) {
    auto v = in.NonEmpty(FormatText("Ring%d", r));
    if (!v) continue;
    CRingSettings* ring = cfg.GetRing(r);
    ring->enabled = AtoInt(GetDelimitedField(*v, ',', 1, 10));
    ring->primaryPort = ringPort(GetDelimitedField(*v, ',', 2, 10));
    ring->backupPort = ringPort(GetDelimitedField(*v, ',', 3, 10));
    ring->testInterval = AtoInt(GetDelimitedField(*v, ',', 4, 20));
  }

  for (int i = 0; i < ports; ++i) {
    auto v = in.NonEmpty(FormatText("Port%d", i));
    if (!v) continue;
    CPortSettings* p = cfg.GetPort(i);
    auto num = [&](int field) { return AtoInt(GetDelimitedField(*v, ',', field, 20)); };
    auto text = [&](int field) { return GetDelimitedField(*v, ',', field, 50); };
    p->full100 = num(1);
    p->half100 = num(2);
    p->full10 = num(3);
    p->half10 = num(4);
    p->broadcastLimit = num(5);
    p->flowControl = num(6);
    p->useIP = num(7);
    p->useTag = num(8);
    p->admin = text(9);
    p->name = text(10);
    p->negotiation = text(11);
    p->outputTag = text(12);
    p->precedence = text(13);
    p->priority = text(14);
    p->full1000 = num(15);
    p->half1000 = num(16);
  }
  // The gigabit flag is not stored: the type decides it, whatever the port
  // rebuild above did. The speeds just read stay as they are.
  cfg.DeriveGigabitFlags();
  if (in.repaired() && notes) AddOnce(notes->repairedSections, cfg.GetName());
  return result;
}

// A text field of a comma-separated line. One that holds a comma is written
// between backquotes, which the reader takes as one field; a backquote cannot
// be carried (the reader drops them all), so none is written inside the quotes.
std::string TextField(std::string_view text) {
  if (text.find(',') == std::string_view::npos) return std::string(text);
  std::string out = "`";
  for (char c : text)
    if (c != '`') out += c;
  return out + "`";
}

void WriteConfigSection(CIniFile& file, const std::string& section, const CSwitchConfig& cfg) {
  if (const auto* raw = cfg.PreservedSection()) {
    for (const auto& [k, v] : *raw) file.SetString(section, k, v);
    return;
  }
  file.SetString(section, "Vers", "1");
  file.SetString(section, "Type", cfg.GetType());
  file.SetString(section, "SendHigh", FormatText("%d", cfg.GetSendHigh()));
  file.SetString(section, "NumPorts", FormatText("%d", cfg.GetPortCount()));
  file.SetString(section, "NumRings", FormatText("%d", cfg.GetNumRings()));
  for (int i = 0; i < cfg.GetPortCount(); ++i)
    file.SetString(section, FormatText("MirrorSourceMode%d", i),
                   FormatText("%d", static_cast<int>(cfg.GetMirrorSourceMode(i))));
  file.SetString(section, "OKOutputMode", FormatText("%d", cfg.GetOKOutputMode()));
  file.SetString(section, "OKOutputTriggers", FormatText("%lu", cfg.GetOKOutputTriggers()));
  file.SetString(section, "MasterMode", FormatText("%d", cfg.GetMasterMode()));
  file.SetString(section, "DefBackupSel", FormatText("%d", cfg.GetDefaultBackupSelect()));
  int k = 0;
  for (const auto& e : cfg.MirrorPairs().Entries()) {
    const std::size_t star = e.key.find('*');
    const std::string src = CutChars(e.key.substr(0, star), 20);
    const std::string mon =
        star == std::string::npos ? std::string() : CutChars(e.key.substr(star + 1), 20);
    file.SetString(section, FormatText("Mirror%d", k++), FormatText("%s,%s,%d", src, mon, e.value));
  }
  for (int t = 0; t < CSwitchConfig::kTagValues; ++t)
    file.SetString(section, FormatText("TagMapping%d", t),
                   FormatText("%d", static_cast<int>(cfg.GetTagMapping(t))));
  for (int r = 0; r < cfg.GetNumRings(); ++r) {
    const CRingSettings* ring = cfg.GetRing(r);
    file.SetString(section, FormatText("Ring%d", r),
                   FormatText("%d,%d,%d,%d", ring->enabled, ring->primaryPort, ring->backupPort,
                              ring->testInterval));
  }
  for (int i = 0; i < cfg.GetPortCount(); ++i) {
    const CPortSettings* p = cfg.GetPort(i);
    file.SetString(
        section, FormatText("Port%d", i),
        FormatText("%d,%d,%d,%d,%d,%d,%d,%d,%s,%s,%s,%s,%s,%s,%d,%d", p->full100, p->half100,
                   p->full10, p->half10, p->broadcastLimit, p->flowControl, p->useIP, p->useTag,
                   TextField(p->admin), TextField(p->name), TextField(p->negotiation),
                   TextField(p->outputTag), TextField(p->precedence), TextField(p->priority),
                   p->full1000, p->half1000));
  }
}

// ---------------------------------------------------------------- switch entry section

void ReadEntrySection(const CIniFile& file, const std::string& section, CSwitchEntry& entry,
                      CProjectNotes* notes) {
  SectionReader in(file, section);
  const std::string vers = in.Get("Vers", "1");
  if (AtoI(vers) != 1) {
    // Kept word for word, whether a newer version wrote it or the number is
    // unreadable ("0", empty, not a number): either way its keys are not ours.
    entry.SetPreservedSection(in.Raw());
    if (notes)
      AddOnce(AtoI(vers) > 1 ? notes->newerSections : notes->unreadableSections, entry.GetName());
    return;
  }
  entry.SetMac(in.Get("MAC", ""));
  if (const std::string& mac = entry.GetMacSuffix(); CharCount(mac) > 9) {
    // No address and no suffix: its last eight characters, as of a whole
    // address, so that saving and reading again keeps what was read.
    entry.SetMac(LastChars(mac, 8));
    in.Repaired();
  }
  entry.GetConfig().SetName(in.Get("Cfg Name", ""));
  const std::string part = in.Get("Part Type", "");
  if (!part.empty() && !entry.SetPartFromText(part, "")) {
    // A model that is not offered (a customisation file may hide it) stays
    // the switch's model, so that saving writes it back.
    CPartRecord rec;
    if (!LookupCatalogueRow(part, rec)) rec = CPartRecord{part, part, 5};
    entry.SetPart(rec);
  }
  entry.SetIP(in.Get("IP", ""));
  entry.SetSubnet(in.Get("Subnet", ""));
  entry.SetGateway(in.Get("Gateway", ""));
  entry.SetModbusEnable(AtoInt(in.Get("Modbus Enable", "")));
  const long long addr = AtoI(in.Get("Modbus Addr", "1"));
  if (addr >= 1 && addr <= 247) {
    entry.SetModbusAddress(static_cast<int>(addr));
  } else {
    entry.SetModbusAddress(1);
    in.Repaired();
  }
  if (in.repaired() && notes) AddOnce(notes->repairedSections, entry.GetName());
}

void WriteEntrySection(CIniFile& file, const std::string& section, const CSwitchEntry& entry) {
  if (const auto* raw = entry.PreservedSection()) {
    for (const auto& [k, v] : *raw) file.SetString(section, k, v);
    return;
  }
  file.SetString(section, "Vers", "1");
  file.SetString(section, "MAC", entry.GetMacSuffix());
  file.SetString(section, "Cfg Name", entry.GetConfig().GetName());
  file.SetString(section, "Part Type", entry.GetPart().partNumber);
  file.SetString(section, "IP", entry.GetIP());
  file.SetString(section, "Subnet", entry.GetSubnet());
  file.SetString(section, "Gateway", entry.GetGateway());
  file.SetString(section, "Modbus Enable", FormatText("%d", entry.GetModbusEnable()));
  file.SetString(section, "Modbus Addr", FormatText("%d", entry.GetModbusAddress()));
}

// Names that cannot be written: empty ones and repeats (letter case aside).
// Both would make two items share one section, or lose one.
std::vector<std::string> UnwritableNames(const std::vector<std::string>& names) {
  std::vector<std::string> bad;
  std::unordered_set<std::string> seen;
  for (const auto& n : names) {
    if (n.empty() || CleanItemName(n) != n) {
      AddOnce(bad, n);
    } else if (!seen.insert(FoldCase(n)).second) {
      AddOnce(bad, n);
    }
  }
  return bad;
}

// The section an item named by an index value is read from. The writer names
// it after the cleaned name; a file that another program wrote may have it
// under the value as it stands, which then wins.
std::string ReadSectionName(const CIniFile& file, std::string_view prefix, std::string_view raw,
                            std::string_view clean) {
  std::string section = std::string(prefix) + std::string(raw);
  if (raw != clean && !file.HasSection(section)) section = std::string(prefix) + std::string(clean);
  return section;
}

// Everything the old index names goes, under the value as it stands and under
// its cleaned name, so that no key of a section the reader passed over can
// mix into the one written next.
void DeleteIndexedSections(CIniFile& file, std::string_view index, std::string_view prefix) {
  for (const auto& name : IndexNames(file, index)) {
    file.DeleteSection(std::string(prefix) + name);
    if (const std::string clean = CleanItemName(name); !clean.empty() && clean != name)
      file.DeleteSection(std::string(prefix) + clean);
  }
  file.DeleteSection(index);
}

std::string NameList(const std::vector<std::string>& names) {
  // A message box holds a screenful; a long list is cut.
  constexpr std::size_t kMaxShown = 20;
  std::string out;
  for (std::size_t i = 0; i < names.size() && i < kMaxShown; ++i) {
    if (i) out += "\n";
    out += names[i].empty() ? std::string("\"\"") : names[i];
  }
  if (names.size() > kMaxShown) out += "\n...";
  return out;
}

}  // namespace

// ---------------------------------------------------------------- languages

namespace {
struct LanguageBundles {
  std::mutex mutex;
  std::vector<const CResourceBundle*> custom;
  std::once_flag loaded;
  std::vector<const CResourceBundle*> libraries;  // loaded once, kept for the process
};
LanguageBundles& Languages() {
  static LanguageBundles l;
  return l;
}
}  // namespace

void SetProjectLanguageBundles(std::vector<const CResourceBundle*> bundles) {
  LanguageBundles& l = Languages();
  std::lock_guard lock(l.mutex);
  l.custom = std::move(bundles);
}

std::vector<const CResourceBundle*> ProjectLanguageBundles() {
  LanguageBundles& l = Languages();
  {
    std::lock_guard lock(l.mutex);
    if (!l.custom.empty()) return l.custom;
  }
  std::call_once(l.loaded, [&l] {
    const LanguageLibraryNames names = ProgramLanguageLibraryNames();
    const std::string folder = ProgramFolder();
    for (const char* language : {"german", "french"}) {
      LanguageLoad load = LoadLanguageLibrary(language, names, folder);
      if (load.bundle) l.libraries.push_back(load.bundle);
    }
  });
  std::vector<const CResourceBundle*> out;
  if (const CResourceBundle* current = CurrentResources()) out.push_back(current);
  out.push_back(&EmbeddedEnglish());
  out.insert(out.end(), l.libraries.begin(), l.libraries.end());
  return out;
}

std::string CanonicalBaseType(std::string_view type) {
  if (type.empty()) return {};
  for (unsigned id = IDS_BASE_TYPE_0; id <= IDS_BASE_TYPE_10; ++id) {
    const std::string current = LoadResString(id);
    if (current.empty()) continue;
    if (current == type) return current;
    if (MatchesInAnyLanguage(type, id)) return current;
  }
  return std::string(type);
}

// ---------------------------------------------------------------- notes

bool CProjectNotes::Empty() const {
  return !mirrorConflict && newerSections.empty() && unreadableSections.empty() &&
         repairedSections.empty() && droppedNames.empty() && unsavedNames.empty();
}

std::vector<std::string> CProjectNotes::Messages() const {
  std::vector<std::string> out;
  if (mirrorConflict) out.push_back(LoadResString(IDS_MULTIPLE_MONITOR_PORTS_WARNING));
  if (!newerSections.empty())
    out.push_back(FormatRes(IDS_PROJECT_NEWER_VERSION, NameList(newerSections)));
  if (!unreadableSections.empty())
    out.push_back(FormatRes(IDS_PROJECT_UNREADABLE_VERSION, NameList(unreadableSections)));
  if (!repairedSections.empty())
    out.push_back(FormatRes(IDS_PROJECT_VALUES_REPLACED, NameList(repairedSections)));
  if (!droppedNames.empty())
    out.push_back(FormatRes(IDS_PROJECT_DUPLICATE_NAMES, NameList(droppedNames)));
  if (!unsavedNames.empty())
    out.push_back(FormatRes(IDS_PROJECT_NOT_SAVED_NAMES, NameList(unsavedNames)));
  return out;
}

void CProjectNotes::Show() const {
  for (const auto& m : Messages()) AfxMessageBox(m, MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace fw

// ---------------------------------------------------------------- store and list parts

int CSwitchConfigStore::LoadSave(fw::CIniFile& file, bool saving, fw::CProjectNotes* notes) {
  using namespace fw;
  if (saving) {
    std::vector<std::string> names;
    AppendNames(names);
    if (auto bad = UnwritableNames(names); !bad.empty()) {
      if (notes)
        for (const auto& n : bad) AddOnce(notes->unsavedNames, n);
      return kProjectConflict;
    }
    DeleteIndexedSections(file, kCfgIndex, kCfgPrefix);
    // The whole index goes first: the file comes out the same as when each
    // key is written before its section, without re-indexing the index
    // section on every key.
    int k = 0;
    for (int i = First(); i >= 0; i = Next(i))
      file.SetString(kCfgIndex, FormatText("%d", k++), GetAt(i)->GetName());
    for (int i = First(); i >= 0; i = Next(i)) {
      // A section of that name that no index named (left over from an
      // earlier one) must not lend the new one its keys.
      const std::string section = std::string(kCfgPrefix) + GetAt(i)->GetName();
      file.DeleteSection(section);
      WriteConfigSection(file, section, *GetAt(i));
    }
    return kProjectOk;
  }

  Clear();
  bool conflict = false, newer = false;
  std::unordered_set<std::string> seen;
  for (const auto& raw : IndexNames(file, kCfgIndex)) {
    CSwitchConfig cfg;
    cfg.SetName(raw);
    if (cfg.GetName().empty()) continue;
    // Names equal but for letter case share one section: the first one has it.
    if (!seen.insert(FoldCase(cfg.GetName())).second) {
      if (notes) AddOnce(notes->droppedNames, cfg.GetName());
      continue;
    }
    const auto r =
        ReadConfigSection(file, ReadSectionName(file, kCfgPrefix, raw, cfg.GetName()), cfg, notes);
    conflict |= r.conflict;
    newer |= r.newer;
    if (!r.newer) {
      // Old type names of earlier versions map onto today's base types.
      const std::string& type = cfg.GetType();
      const bool known = std::any_of(m_baseTypes.begin(), m_baseTypes.end(),
                                     [&](const std::string& t) { return EqualsNoCase(t, type); });
      if (!known) {
        static constexpr std::pair<unsigned, unsigned> kOldNames[] = {
            {IDS_5_PORT_MODEL, IDS_BASE_TYPE_0},
            {IDS_9_PORT_MODEL, IDS_BASE_TYPE_6},
            {IDS_9_PORT_MODEL_GIGABIT, IDS_BASE_TYPE_9}};
        for (auto [oldId, newId] : kOldNames)
          if (MatchesInAnyLanguage(type, oldId)) {
            cfg.SetPartNumber(LoadResString(newId));
            break;
          }
      }
    }
    Append(cfg);  // the name was checked against the others above
  }
  if (notes && conflict) notes->mirrorConflict = true;
  return conflict ? kProjectConflict : newer ? kProjectNewerSection : kProjectOk;
}

int CSwitchList::LoadSave(fw::CIniFile& file, bool saving, fw::CProjectNotes* notes) {
  using namespace fw;
  if (saving) {
    std::vector<std::string> names;
    for (int i = First(); i >= 0; i = Next(i)) names.push_back(GetAt(i)->GetName());
    if (auto bad = UnwritableNames(names); !bad.empty()) {
      if (notes)
        for (const auto& n : bad) AddOnce(notes->unsavedNames, n);
      return kProjectConflict;
    }
    DeleteIndexedSections(file, kEntryIndex, kEntryPrefix);
    int k = 0;
    for (int i = First(); i >= 0; i = Next(i))
      file.SetString(kEntryIndex, FormatText("%d", k++), GetAt(i)->GetName());
    for (int i = First(); i >= 0; i = Next(i)) {
      const std::string section = std::string(kEntryPrefix) + GetAt(i)->GetName();
      file.DeleteSection(section);
      WriteEntrySection(file, section, *GetAt(i));
    }
    return kProjectOk;
  }

  Clear();
  std::unordered_set<std::string> seen;
  for (const auto& raw : IndexNames(file, kEntryIndex)) {
    CSwitchEntry entry;
    entry.SetName(raw);
    if (entry.GetName().empty()) continue;
    if (!seen.insert(FoldCase(entry.GetName())).second) {
      if (notes) AddOnce(notes->droppedNames, entry.GetName());
      continue;
    }
    ReadEntrySection(file, ReadSectionName(file, kEntryPrefix, raw, entry.GetName()), entry, notes);
    Append(entry);  // the name was checked against the others above
  }
  return kProjectOk;
}

// ---------------------------------------------------------------- whole files

namespace fw {

namespace {

// A larger file is something else: it is refused unread, and a save that
// would write one is refused too, or the next open would refuse the project.
constexpr std::size_t kMaxProjectFileBytes = kMaxFileBytes;

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// Whether a line, as the INI reader trims it, heads a section.
bool IsSectionHeader(std::string_view line) {
  line = TrimView(line);
  return !line.empty() && line.front() == '[';
}

enum class FileLook { kProject, kUnreadable, kNoProject };

// What the file is, without parsing it; error says why it is no project or
// cannot be read.
FileLook LookAtFile(const std::string& path, std::string* error) {
  std::string bytes;
  std::string why;
  if (!ReadFileBytes(path, bytes, &why, kMaxProjectFileBytes)) {
    switch (errno) {
      case ENOENT: return FileLook::kProject;  // read as empty
      case EFBIG:
        AppendError(error, FormatRes(IDS_PROJECT_FILE_TOO_LARGE, path));
        return FileLook::kNoProject;
      default: AppendError(error, why); return FileLook::kUnreadable;
    }
  }
  if (std::memchr(bytes.data(), '\0', bytes.size())) {
    AppendError(error, FormatRes(IDS_PROJECT_FILE_NOT_TEXT, path));
    return FileLook::kNoProject;
  }
  std::string_view text(bytes);
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  if (std::all_of(text.begin(), text.end(), IsBlank)) return FileLook::kProject;
  // Any section will do: a project whose configurations and switches were all
  // deleted keeps only the sections of others, and must open again.
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = std::min(text.find_first_of("\r\n", at), text.size());
    if (IsSectionHeader(text.substr(at, end - at))) return FileLook::kProject;
    at = end + 1;
  }
  AppendError(error, FormatRes(IDS_PROJECT_FILE_NO_SECTIONS, path));
  return FileLook::kNoProject;
}

}  // namespace

int CheckProjectFile(const std::string& path, std::string* error) {
  return LookAtFile(path, error) == FileLook::kProject ? kProjectOk : kProjectFailed;
}

int LoadProjectFile(const std::string& path, CSwitchConfigStore& store, CSwitchList& switches,
                    CProjectNotes* notes, std::string* error) {
  if (CheckProjectFile(path, error) != kProjectOk) return kProjectFailed;
  CIniFile file;
  if (!file.Load(path, error)) return kProjectFailed;
  const int r = store.LoadSave(file, false, notes);
  // Reading the switch part has no result of its own to report.
  (void)switches.LoadSave(file, false, notes);
  return r;
}

int SaveProjectFile(const std::string& path, CSwitchConfigStore& store, CSwitchList& switches,
                    CProjectNotes* notes, std::string* error) {
  // The names that cannot be written go into the error text too.
  CProjectNotes ownNotes;
  if (!notes) notes = &ownNotes;
  CIniFile file;
  // The sections we do not own are kept, so an existing project must be read in
  // full first. A file that is no project is replaced, not added to: kept, its
  // content would make the next open refuse the file.
  std::string notProject;
  switch (LookAtFile(path, &notProject)) {
    case FileLook::kUnreadable: AppendError(error, notProject); return kProjectFailed;
    case FileLook::kProject:
      if (!file.Load(path, error)) return kProjectFailed;
      break;
    case FileLook::kNoProject: break;
  }
  // A file that nobody may write is read-only, for root too: the new file is
  // renamed over the old one, which the file's own permissions would not stop.
  std::error_code ec;
  const auto st = std::filesystem::status(path, ec);
  if (!ec && std::filesystem::exists(st)) {
    using std::filesystem::perms;
    if ((st.permissions() & (perms::owner_write | perms::group_write | perms::others_write)) ==
            perms::none ||
        (geteuid() != 0 && access(path.c_str(), W_OK) != 0)) {
      AppendError(error, FormatRes(IDS_PROJECT_FILE_READ_ONLY, path));
      return kProjectFailed;
    }
  }
  const int cfgResult = store.LoadSave(file, true, notes);
  const int entryResult = switches.LoadSave(file, true, notes);
  if (cfgResult < kProjectOk || entryResult < kProjectOk) {
    AppendError(error, FormatRes(IDS_PROJECT_NOT_SAVED_NAMES, NameList(notes->unsavedNames)));
    return cfgResult < kProjectOk ? cfgResult : entryResult;
  }
  // Without any section the file would read as text (lines above the first
  // section stay) or, empty, lose what says it is a project.
  if (file.SectionNames().empty()) file.AddSection(kCfgIndex);
  // Kept sections of others can make the file outgrow what the open accepts;
  // written, it would cost the user the project at the next open.
  const std::string bytes = file.Encode();
  if (bytes.size() > kMaxProjectFileBytes) {
    AppendError(error, FormatRes(IDS_PROJECT_FILE_WOULD_BE_TOO_LARGE, path,
                                 static_cast<int>(kMaxProjectFileBytes >> 20)));
    return kProjectFailed;
  }
  if (!WriteFileAtomic(path, bytes, error)) return kProjectFailed;
  return kProjectOk;
}

}  // namespace fw
