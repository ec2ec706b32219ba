#include "switch/switchentry.h"

#include <algorithm>

#include "platform/text.h"

void CSwitchEntry::SetName(std::string_view name) {
  name_ = fw::CleanItemName(name);
  foldedName_ = fw::FoldCase(name_);
}

void CSwitchEntry::SetMac(std::string_view text) {
  macSuffix_ = std::string(text.size() > 9 ? text.substr(9) : text);
}

std::string CSwitchEntry::GetMacText(bool withPrefix) const {
  return withPrefix ? std::string(kMacPrefix) + macSuffix_ : macSuffix_;
}

bool CSwitchEntry::SetPartFromText(std::string_view partText, std::string_view displayText) {
  const std::string_view text = partText.empty() ? displayText : partText;
  if (text.empty()) return true;
  const CPartRecord* rec = CSwitchConfigStore::LookupModel(text);
  if (!rec) return false;
  part_ = *rec;
  return true;
}

void CSwitchEntry::CopyFrom(const CSwitchEntry& other) {
  if (&other == this) return;
  config_.CopyFrom(other.config_);
  part_ = other.part_;
  macSuffix_ = other.macSuffix_;
  name_ = other.name_;
  foldedName_ = other.foldedName_;
  modbusAddress_ = other.modbusAddress_;
  subnet_ = other.subnet_;
  ip_ = other.ip_;
  gateway_ = other.gateway_;
  firmwareRevision_ = other.firmwareRevision_;
  modbusEnable_ = other.modbusEnable_;
  interface_ = other.interface_;
  if (other.preserved_)
    preserved_ = std::make_unique<CSwitchConfig::RawSection>(*other.preserved_);
  else
    preserved_.reset();
}

int CSwitchList::Add(const CSwitchEntry& entry) {
  if (entry.GetName().empty()) return -1;
  if (FindIndexByNameNoCase(entry.GetName()) >= 0) return -3;
  return Append(entry);
}

int CSwitchList::Append(const CSwitchEntry& entry) {
  auto copy = std::make_unique<CSwitchEntry>();
  copy->CopyFrom(entry);
  entries_.push_back(std::move(copy));
  return GetCount() - 1;
}

CSwitchEntry* CSwitchList::GetAt(int index) {
  return index >= 0 && index < GetCount() ? entries_[static_cast<std::size_t>(index)].get()
                                          : nullptr;
}

const CSwitchEntry* CSwitchList::GetAt(int index) const {
  return index >= 0 && index < GetCount() ? entries_[static_cast<std::size_t>(index)].get()
                                          : nullptr;
}

int CSwitchList::Next(int index) const {
  for (int i = std::max(index + 1, 0); i < GetCount(); ++i)
    if (!entries_[static_cast<std::size_t>(i)]->IsDeleted()) return i;
  return -1;
}

void CSwitchList::MarkDeleted(int index) {
  if (CSwitchEntry* e = GetAt(index)) e->SetDeleted(true);
}

int CSwitchList::FindIndexByNameNoCase(std::string_view name, int skip) const {
  const std::string folded = fw::FoldCase(name);
  for (int i = First(); i >= 0; i = Next(i))
    if (i != skip && entries_[static_cast<std::size_t>(i)]->GetFoldedName() == folded) return i;
  return -1;
}
