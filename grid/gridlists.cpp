#include "grid/gridlists.h"

#include <algorithm>
#include <istream>
#include <new>
#include <ostream>

void CGridRedrawList::Widen(int left, int top, int right, int bottom) {
  if (m_ranges.empty()) {
    m_box = {left, top, right, bottom};
    return;
  }
  m_box.left = std::min(m_box.left, left);
  m_box.top = std::min(m_box.top, top);
  m_box.right = std::max(m_box.right, right);
  m_box.bottom = std::max(m_box.bottom, bottom);
}

void CGridRedrawList::AddRange(int left, int top, int right, int bottom) {
  Widen(left, top, right, bottom);
  m_ranges.push_back({left, top, right, bottom});
}

void CGridRedrawList::ExtendFirstRange(int left, int top, int right, int bottom) {
  if (m_ranges.empty()) {
    AddRange(left, top, right, bottom);
    return;
  }
  Range& f = m_ranges.front();
  f.left = std::min(f.left, left);
  f.top = std::min(f.top, top);
  f.right = std::max(f.right, right);
  f.bottom = std::max(f.bottom, bottom);
  Widen(left, top, right, bottom);
}

int CGridRedrawList::IsInHint(int col, int row) const {
  if (m_ranges.empty()) return 0;
  if (col < m_box.left || col > m_box.right || row < m_box.top || row > m_box.bottom) return 0;
  for (const Range& r : m_ranges)
    if (col >= r.left && col <= r.right && row >= r.top && row <= r.bottom) return 1;
  return 0;
}

void CGridRedrawList::AddHintCell(int col, int row) {
  m_cells.push_back({col, row});
}

int CGridRedrawList::IsHintCell(int col, int row) const {
  for (const Cell& c : m_cells)
    if (c.col == col && c.row == row) return 1;
  return 0;
}

void CGridRedrawList::ClearHint() {
  m_ranges.clear();
  m_cells.clear();
  m_box = {0, 0, -1, -1};
}

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
  if (index < 0 || index >= static_cast<int>(m_entries.size())) return 1;
  if (!m_entries[index].inUse) return 2;
  m_entries[index].param = value;
  return 0;
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
  if (index < 0 || index >= static_cast<int>(m_entries.size())) return 1;
  if (!m_entries[index].inUse) return 2;
  m_entries[index] = Entry{};
  --m_used;
  return 0;
}

void CGridPointerList::Empty() {
  m_entries.clear();
  m_entries.shrink_to_fit();
  m_used = 0;
}

namespace {
void Put32(std::ostream& out, std::int32_t v) {
  auto u = static_cast<std::uint32_t>(v);
  char b[4] = {char(u & 0xFF), char((u >> 8) & 0xFF), char((u >> 16) & 0xFF),
               char((u >> 24) & 0xFF)};
  out.write(b, 4);
}
bool Get32(std::istream& in, std::int32_t& v) {
  unsigned char b[4];
  if (!in.read(reinterpret_cast<char*>(b), 4)) return false;
  v = static_cast<std::int32_t>(b[0] | (b[1] << 8) | (b[2] << 16) | (std::uint32_t(b[3]) << 24));
  return true;
}
}  // namespace

void CGridPrintInfo::WriteColumns(std::ostream& out) const {
  Put32(out, static_cast<std::int32_t>(m_columns.size()));
  for (const ColumnRecord& c : m_columns) {
    Put32(out, c.left);
    Put32(out, c.width);
    Put32(out, c.right);
    Put32(out, c.page);
  }
}

bool CGridPrintInfo::ReadColumns(std::istream& in) {
  std::int32_t count = 0;
  // A grid has at most 32000 columns; anything larger is a damaged archive.
  if (!Get32(in, count) || count < 0 || count > 32000) return false;
  std::vector<ColumnRecord> cols(static_cast<std::size_t>(count));
  for (ColumnRecord& c : cols)
    if (!Get32(in, c.left) || !Get32(in, c.width) || !Get32(in, c.right) || !Get32(in, c.page))
      return false;
  m_columns.swap(cols);
  return true;
}
