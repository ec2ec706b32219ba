#include "switch/switchentry.h"

#include <algorithm>

#include "platform/text.h"

void CSwitchEntry::SetName(std::string_view name) {
  m_name = fw::CleanItemName(name);
  m_foldedName = fw::FoldCase(m_name);
}

void CSwitchEntry::SetMac(std::string_view text) {
  // Counted in characters: a cut through a UTF-8 sequence would leave bytes
  // that are no text at all.
  std::size_t at = 0;
  for (int n = 0; n < 9 && at < text.size(); ++n)
    at += std::min(fw::Utf8SequenceLength(static_cast<unsigned char>(text[at])), text.size() - at);
  m_macSuffix = std::string(at < text.size() ? text.substr(at) : text);
}

std::string CSwitchEntry::GetMacText(bool withPrefix) const {
  return withPrefix ? std::string(kMacPrefix) + m_macSuffix : m_macSuffix;
}

bool CSwitchEntry::SetPartFromText(std::string_view partText, std::string_view displayText) {
  const std::string_view text = partText.empty() ? displayText : partText;
  if (text.empty()) return true;
  const CPartRecord* rec = CSwitchConfigStore::LookupModel(text);
  if (!rec) return false;
  m_part = *rec;
  return true;
}

void CSwitchEntry::CopyFrom(const CSwitchEntry& other) {
  if (&other == this) return;
  m_config.CopyFrom(other.m_config);
  m_part = other.m_part;
  m_macSuffix = other.m_macSuffix;
  m_name = other.m_name;
  m_foldedName = other.m_foldedName;
  m_modbusAddress = other.m_modbusAddress;
  m_subnet = other.m_subnet;
  m_ip = other.m_ip;
  m_gateway = other.m_gateway;
  m_firmwareRevision = other.m_firmwareRevision;
  m_modbusEnable = other.m_modbusEnable;
  m_interface = other.m_interface;
  if (other.m_preserved)
    m_preserved = std::make_unique<CSwitchConfig::RawSection>(*other.m_preserved);
  else
    m_preserved.reset();
}

int CSwitchList::Add(const CSwitchEntry& entry) {
  if (entry.GetName().empty()) return kModelRefused;
  if (FindIndexByNameNoCase(entry.GetName()) >= 0) return kModelDuplicate;
  return Append(entry);
}

int CSwitchList::Append(const CSwitchEntry& entry) {
  auto copy = std::make_unique<CSwitchEntry>();
  copy->CopyFrom(entry);
  m_entries.push_back(std::move(copy));
  return GetCount() - 1;
}

CSwitchEntry* CSwitchList::GetAt(int index) {
  return index >= 0 && index < GetCount() ? m_entries[static_cast<std::size_t>(index)].get()
                                          : nullptr;
}

const CSwitchEntry* CSwitchList::GetAt(int index) const {
  return index >= 0 && index < GetCount() ? m_entries[static_cast<std::size_t>(index)].get()
                                          : nullptr;
}

int CSwitchList::Next(int index) const {
  for (int i = std::max(index + 1, 0); i < GetCount(); ++i)
    if (!m_entries[static_cast<std::size_t>(i)]->IsDeleted()) return i;
  return -1;
}

void CSwitchList::MarkDeleted(int index) {
  if (CSwitchEntry* e = GetAt(index)) e->SetDeleted(true);
}

int CSwitchList::FindIndexByNameNoCase(std::string_view name, int skip) const {
  const std::string folded = fw::FoldCase(name);
  for (int i = First(); i >= 0; i = Next(i))
    if (i != skip && m_entries[static_cast<std::size_t>(i)]->GetFoldedName() == folded) return i;
  return -1;
}
