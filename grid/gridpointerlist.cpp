#include "grid/gridpointerlist.h"

#include <new>

int CGridPointerList::AddPointer(void* pointer, std::int32_t param, const Extra* extra) {
  if (m_used >= static_cast<int>(m_entries.size())) {
    try {
      m_entries.resize(m_entries.size() + 10);
    } catch (const std::bad_alloc&) {
      return -1;
    }
  }
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    Entry& e = m_entries[i];
    if (e.inUse) continue;
    e.inUse = true;
    e.pointer = pointer;
    e.param = param;
    e.extra = extra ? *extra : Extra{};
    ++m_used;
    return static_cast<int>(i);
  }
  return -1;
}

int CGridPointerList::UpdateParam(int index, std::int32_t value) {
  if (index < 0 || index >= static_cast<int>(m_entries.size())) return kListOutOfRange;
  if (!m_entries[index].inUse) return kListFreeEntry;
  m_entries[index].param = value;
  return kListOk;
}

std::int32_t CGridPointerList::GetParam(int index) const {
  if (index < 0 || index >= static_cast<int>(m_entries.size())) return 0;
  return m_entries[index].param;
}

void* CGridPointerList::GetPointer(int index) const {
  if (index < 0 || index >= static_cast<int>(m_entries.size())) return nullptr;
  return m_entries[index].inUse ? m_entries[index].pointer : nullptr;
}

int CGridPointerList::RemovePointer(int index) {
  if (index < 0 || index >= static_cast<int>(m_entries.size())) return kListOutOfRange;
  if (!m_entries[index].inUse) return kListFreeEntry;
  m_entries[index] = Entry{};
  --m_used;
  return kListOk;
}

void CGridPointerList::Empty() {
  m_entries.clear();
  m_entries.shrink_to_fit();
  m_used = 0;
}
