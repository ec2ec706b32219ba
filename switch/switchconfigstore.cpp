#include "switch/switchconfigstore.h"

#include <algorithm>
#include <filesystem>
#include <mutex>

#include "platform/dynlib.h"
#include "platform/fields.h"
#include "platform/format.h"
#include "platform/inifile.h"
#include "platform/message.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"

namespace {

struct CatalogueRow {
  unsigned stringId;
  const char* partNumber;
  int portCount;
};

constexpr CatalogueRow kCatalogue[] = {
    {IDS_PART_0, "QV-5KP-1", 5},         {IDS_PART_1, "QV-5KP-2", 5},
    {IDS_PART_2, "QV-5KP-3", 5},         {IDS_PART_3, "QV-5KP-4", 5},
    {IDS_PART_4, "QV-5KP-5", 5},         {IDS_PART_5, "QV-9KP-1", 9},
    {IDS_PART_6, "QV-9KP-2", 9},         {IDS_PART_7, "QV-9KP-3", 9},
    {IDS_PART_8, "QV-9KP-4", 9},         {IDS_PART_9, "QV-9KP-5", 9},
    {IDS_PART_10, "QV-9KX-1", 9},        {IDS_PART_11, "QV-9KX-xx", 9},
    {IDS_PART_NA, "QV-5KP-4W", 5},       {IDS_PART_13, "QV-5KP-IP67-1", 5},
    {IDS_PART_NA_2, "QV-5KP-IP67-A", 5}, {IDS_PART_15, "Stellarix2", 2},
    {IDS_PART_16, "MW-6KP-1", 6},        {IDS_PART_17, "MW-6KP-2", 6},
    {IDS_PART_18, "MW-6KP-3", 6},        {IDS_PART_19, "MW-6KP-4", 6},
    {IDS_PART_20, "MW-6KP-5", 6},        {IDS_PART_21, "Managed", 2},
};

bool RowName(const CatalogueRow& row, std::string& name) {
  name = LoadResString(row.stringId);
  return !name.empty() && name != "n/a";
}

// The models offered to the user, shared by every store of the process. It is
// built once (normally at start-up, before any worker thread) and only read
// afterwards; the mutex covers the build and a reset in tests.
struct OfferedList {
  std::mutex mutex;
  bool built = false;
  bool customizeFileExists = false;
  std::string customizePath;  // empty: the program's folder plus the customisation file name
  std::vector<std::unique_ptr<CPartRecord>> records;
};

OfferedList& Offered() {
  static OfferedList offered;
  return offered;
}

std::string CustomizeFilePath(const OfferedList& o) {
  if (!o.customizePath.empty()) return o.customizePath;
  return fw::ProgramFolder() + "/" + LoadResString(IDS_CUSTOMIZE_FILE_NAME);
}

// Builds the list from a catalogue when it is not built yet. Returns the
// message to show (empty for none); it is shown by the caller after the lock
// is released, as a message box may run a nested event loop.
std::string BuildOffered(OfferedList& o,
                         const std::map<std::string, std::unique_ptr<CPartRecord>>& catalogue,
                         std::map<std::string, std::unique_ptr<CPartRecord>>* firstCatalogue) {
  if (o.built) return {};
  o.built = true;
  o.records.clear();
  std::string message;
  const std::string path = CustomizeFilePath(o);
  std::error_code ec;
  o.customizeFileExists = std::filesystem::is_regular_file(path, ec);
  if (o.customizeFileExists) {
    fw::CIniFile file;
    // A file that cannot be read names no models, as an empty one.
    (void)file.Load(path);
    for (int i = 0;; ++i) {
      const std::string value = file.GetString("part numbers", std::to_string(i));
      if (value.empty()) break;
      const std::string part = GetDelimitedField(value, ',', 1, 80);
      const std::string display = GetDelimitedField(value, ',', 2, 80);
      if (part.empty() || display.empty()) continue;
      auto it = catalogue.find(part);
      if (it == catalogue.end()) {
        message = FormatRes(IDS_CUSTOMIZE_UNKNOWN_PART, part);
        break;
      }
      // The first store's own record takes the new name too.
      if (firstCatalogue)
        if (auto f = firstCatalogue->find(part); f != firstCatalogue->end())
          f->second->displayName = display;
      // A part named twice is offered once, under its last name.
      auto same = std::find_if(o.records.begin(), o.records.end(),
                               [&](const auto& r) { return r->partNumber == part; });
      if (same != o.records.end()) {
        (*same)->displayName = display;
        continue;
      }
      auto rec = std::make_unique<CPartRecord>(*it->second);
      rec->displayName = display;
      o.records.push_back(std::move(rec));
    }
  }
  if (o.records.empty())
    for (const auto& [part, rec] : catalogue)
      o.records.push_back(std::make_unique<CPartRecord>(*rec));
  std::stable_sort(o.records.begin(), o.records.end(), [](const auto& a, const auto& b) {
    return fw::CompareNoCase(a->displayName, b->displayName) < 0;
  });
  return message;
}

void BuildCatalogue(std::map<std::string, std::unique_ptr<CPartRecord>>& catalogue) {
  std::string name;
  for (const auto& row : kCatalogue) {
    if (!RowName(row, name)) continue;
    catalogue[row.partNumber] =
        std::make_unique<CPartRecord>(CPartRecord{row.partNumber, name, row.portCount});
  }
}

// Readers of the list before any store exists get it built, silently.
void EnsureBuilt(OfferedList& o) {
  if (o.built) return;
  std::map<std::string, std::unique_ptr<CPartRecord>> catalogue;
  BuildCatalogue(catalogue);
  BuildOffered(o, catalogue, nullptr);
}

}  // namespace

namespace fw {

bool LookupCatalogueRow(std::string_view partNumber, CPartRecord& out) {
  std::string name;
  for (const auto& row : kCatalogue) {
    if (partNumber != row.partNumber) continue;
    if (!RowName(row, name)) return false;
    out = CPartRecord{row.partNumber, name, row.portCount};
    return true;
  }
  return false;
}

}  // namespace fw

CSwitchConfigStore::CSwitchConfigStore(int showMessages) : m_showMessages(showMessages) {
  BuildCatalogue(m_catalogue);
  std::string message;
  std::vector<std::string> offeredParts;
  bool customized = false;
  {
    OfferedList& o = Offered();
    std::lock_guard lock(o.mutex);
    message = BuildOffered(o, m_catalogue, &m_catalogue);
    customized = o.customizeFileExists;
    for (const auto& r : o.records) offeredParts.push_back(r->partNumber);
  }
  if (!message.empty() && m_showMessages) AfxMessageBox(message);

  if (!customized) {
    for (unsigned id = IDS_BASE_TYPE_0; id <= IDS_BASE_TYPE_10; ++id)
      m_baseTypes.push_back(LoadResString(id));
    return;
  }
  // The groups of base types that the offered models call for.
  bool group5 = false, group6 = false, group9 = false, gigabit = false;
  for (const auto& p : offeredParts) {
    if (p.find("-5KP") != std::string::npos)
      group5 = true;
    else if (p.find("-9KP") != std::string::npos)
      group9 = true;
    else if (p.find("-9KX") != std::string::npos)
      gigabit = true;
    else if (p.find("-6KP") != std::string::npos)
      group6 = true;
  }
  auto add = [&](unsigned from, unsigned to) {
    for (unsigned id = from; id <= to; ++id) m_baseTypes.push_back(LoadResString(id));
  };
  if (group5) add(IDS_BASE_TYPE_0, IDS_BASE_TYPE_2);
  if (group6) add(IDS_BASE_TYPE_3, IDS_BASE_TYPE_5);
  if (group9) add(IDS_BASE_TYPE_6, IDS_BASE_TYPE_8);
  if (gigabit) add(IDS_BASE_TYPE_9, IDS_BASE_TYPE_10);
}

CSwitchConfigStore::~CSwitchConfigStore() = default;

void CSwitchConfigStore::EnsureOfferedModels(int showMessages) {
  CSwitchConfigStore store(showMessages);
}

void CSwitchConfigStore::ResetOfferedModels() {
  OfferedList& o = Offered();
  std::lock_guard lock(o.mutex);
  o.built = false;
  o.customizeFileExists = false;
  o.records.clear();
}

void CSwitchConfigStore::SetCustomizeFilePath(std::string path) {
  OfferedList& o = Offered();
  std::lock_guard lock(o.mutex);
  o.customizePath = std::move(path);
}

const CPartRecord* CSwitchConfigStore::LookupModel(std::string_view text) {
  OfferedList& o = Offered();
  std::lock_guard lock(o.mutex);
  EnsureBuilt(o);
  for (const auto& r : o.records)
    if (r->partNumber == text) return r.get();
  for (const auto& r : o.records)
    if (r->displayName == text) return r.get();
  return nullptr;
}

void CSwitchConfigStore::FillModelLists(std::vector<std::string>& displayNames,
                                        std::vector<std::string>* partNumbers) {
  OfferedList& o = Offered();
  std::lock_guard lock(o.mutex);
  EnsureBuilt(o);
  for (const auto& r : o.records) {
    displayNames.push_back(r->displayName);
    if (partNumbers) partNumbers->push_back(r->partNumber);
  }
}

std::vector<CPartRecord> CSwitchConfigStore::OfferedModels() {
  auto& o = Offered();
  std::lock_guard lock(o.mutex);
  EnsureBuilt(o);
  std::vector<CPartRecord> out;
  for (const auto& r : o.records) out.push_back(*r);
  return out;
}

std::string CSwitchConfigStore::PartNumberFromIdentity(std::span<const std::uint8_t> id) {
  if (id.size() < 6) return {};
  const unsigned b0 = id[0], b1 = id[1], b2 = id[2], b3 = id[3], b5 = id[5];
  enum class Suffix { None, Kp, Kx } suffix = Suffix::None;
  std::string text;
  if (b1 == 3) {
    text = "Managed";
  } else if (b0 == 0x50) {
    text = "Stellarix2";
  } else if (b0 == 0 && b1 == 1) {
    if (b2 == 0 && b3 == 5) {
      text = "QV-5KP-", suffix = Suffix::Kp;
    } else if (b2 == 0 && b3 == 9) {
      text = "QV-9KP-", suffix = Suffix::Kp;
    } else if (b2 == 5 && b3 == 6) {
      text = "MW-6KP-", suffix = Suffix::Kp;
    } else if (b2 == 1 && b3 == 5) {
      text = "QV-5KP-IP67-A";
    } else if (b2 == 4 && b3 == 5) {
      text = "QV-5KP-IP67-1";
    }
  } else if (b0 == 0 && b1 == 2) {
    if (b3 == 5)
      text = "QV-5KX-", suffix = Suffix::Kx;
    else if (b3 == 9)
      text = "QV-9KX-", suffix = Suffix::Kx;
  }
  if (suffix == Suffix::Kp) {
    if (b5 >= 1 && b5 <= 5)
      text += static_cast<char>('0' + b5);
    else if (b5 == 6)
      text += "4W";
  } else if (suffix == Suffix::Kx) {
    if (b5 == 16)
      text += "1";
    else if (b5 == 17)
      text += "xx";
  }
  return text;
}

// ---------------------------------------------------------------- configurations

int CSwitchConfigStore::Next(int index) const {
  for (int i = std::max(index + 1, 0); i < GetCount(); ++i)
    if (!m_configs[static_cast<std::size_t>(i)]->IsDeleted()) return i;
  return -1;
}

CSwitchConfig* CSwitchConfigStore::GetAt(int index) {
  return index >= 0 && index < GetCount() ? m_configs[static_cast<std::size_t>(index)].get()
                                          : nullptr;
}

const CSwitchConfig* CSwitchConfigStore::GetAt(int index) const {
  return index >= 0 && index < GetCount() ? m_configs[static_cast<std::size_t>(index)].get()
                                          : nullptr;
}

int CSwitchConfigStore::Add(const CSwitchConfig& config) {
  if (config.GetName().empty()) return kModelRefused;
  if (FindIndexByNameNoCase(config.GetName()) >= 0) return kModelDuplicate;
  return Append(config);
}

int CSwitchConfigStore::Append(const CSwitchConfig& config) {
  auto copy = std::make_unique<CSwitchConfig>();
  copy->CopyFrom(config);
  m_configs.push_back(std::move(copy));
  return GetCount() - 1;
}

CSwitchConfig* CSwitchConfigStore::FindByName(std::string_view name) {
  return GetAt(FindIndexByName(name));
}

int CSwitchConfigStore::FindIndexByName(std::string_view name) const {
  for (int i = First(); i >= 0; i = Next(i))
    if (m_configs[static_cast<std::size_t>(i)]->GetName() == name) return i;
  return -1;
}

int CSwitchConfigStore::FindIndexByNameNoCase(std::string_view name, int skip) const {
  const std::string folded = fw::FoldCase(name);
  for (int i = First(); i >= 0; i = Next(i))
    if (i != skip && m_configs[static_cast<std::size_t>(i)]->GetFoldedName() == folded) return i;
  return -1;
}

void CSwitchConfigStore::AppendNames(std::vector<std::string>& names) const {
  for (int i = First(); i >= 0; i = Next(i))
    names.push_back(m_configs[static_cast<std::size_t>(i)]->GetName());
}

void CSwitchConfigStore::Clear() {
  m_configs.clear();
}

const CPartRecord* CSwitchConfigStore::FindCatalogueRecord(std::string_view partNumber) const {
  auto it = m_catalogue.find(std::string(partNumber));
  return it == m_catalogue.end() ? nullptr : it->second.get();
}
