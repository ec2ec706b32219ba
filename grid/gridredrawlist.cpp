#include "grid/gridredrawlist.h"

#include <algorithm>

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
