#include "grid/griddatasource.h"

#include <algorithm>

#include "grid/gridsort.h"
#include "platform/text.h"

CGridMemDataSource::Row* CGridMemDataSource::FindRow(int row) {
  if (row < m_firstRow || row >= EndRowIndex()) return nullptr;
  return m_rows[static_cast<std::size_t>(row - m_firstRow)].get();
}

CGridCellValue* CGridMemDataSource::FindCell(int col, int row) {
  Row* r = FindRow(row);
  if (!r || !r->HasColumn(col)) return nullptr;
  return r->cells[static_cast<std::size_t>(col - r->firstCol)].get();
}

int CGridMemDataSource::GetLastRowIndex() {
  return m_rows.empty() ? 0 : EndRowIndex() - 1;
}

int CGridMemDataSource::InsertRow(int row) {
  if (row < m_firstRow || row >= EndRowIndex()) return kSourceNone;
  m_rows.insert(m_rows.begin() + (row - m_firstRow), nullptr);
  return kSourceOk;
}

int CGridMemDataSource::InsertColumn(int col) {
  for (auto& r : m_rows) {
    if (!r || r->cells.empty()) continue;
    if (col < r->firstCol)
      ++r->firstCol;  // the whole row lies right of the new column
    else if (r->HasColumn(col))
      r->cells.insert(r->cells.begin() + (col - r->firstCol), nullptr);
  }
  // Only the grid columns this source serves move with its data.
  if (m_grid) m_grid->ShiftColumnMapping(this, col, +1);
  return kSourceOk;
}

int CGridMemDataSource::DeleteRow(int row) {
  if (row < m_firstRow || row >= EndRowIndex()) return kSourceOk;
  m_rows.erase(m_rows.begin() + (row - m_firstRow));
  if (m_rows.empty()) m_firstRow = 0;
  return kSourceOk;
}

int CGridMemDataSource::DeleteColumn(int col) {
  for (auto& r : m_rows) {
    if (!r || r->cells.empty()) continue;
    if (col < r->firstCol) {
      --r->firstCol;
    } else if (r->HasColumn(col)) {
      if (r->cells.size() == 1)
        r->cells.front().reset();
      else
        r->cells.erase(r->cells.begin() + (col - r->firstCol));
    }
  }
  // The grid columns right of the deleted one now find their data one lower.
  if (m_grid) m_grid->ShiftColumnMapping(this, col + 1, -1);
  return kSourceOk;
}

int CGridMemDataSource::DeleteCell(int col, int row) {
  Row* r = FindRow(row);
  if (!r || !r->HasColumn(col)) return kSourceNone;
  r->cells[static_cast<std::size_t>(col - r->firstCol)].reset();
  return kSourceOk;
}

int CGridMemDataSource::Empty() {
  m_rows.clear();
  m_firstRow = 0;
  m_findCol = m_findRow = -1;
  return kSourceOk;
}

int CGridMemDataSource::GetCell(int col, int row, CGridCellValue& cell) {
  CGridCellValue* stored = FindCell(col, row);
  if (!stored) return kSourceNone;
  cell.GridCellMergeFrom(*stored);
  return kSourceOk;
}

int CGridMemDataSource::SetCell(int col, int row, const CGridCellValue& cell) {
  if (m_rows.empty()) {
    m_firstRow = 0;
    m_rows.push_back(nullptr);
  }
  while (row < m_firstRow) {
    m_rows.push_front(nullptr);
    --m_firstRow;
  }
  while (row >= EndRowIndex()) m_rows.push_back(nullptr);
  auto& slot = m_rows[static_cast<std::size_t>(row - m_firstRow)];
  if (!slot) slot = std::make_unique<Row>();
  Row& r = *slot;
  if (r.cells.empty()) {
    r.firstCol = 0;
    r.cells.emplace_back();
  }
  while (col < r.firstCol) {
    r.cells.insert(r.cells.begin(), nullptr);
    --r.firstCol;
  }
  while (!r.HasColumn(col)) r.cells.emplace_back();
  auto& c = r.cells[static_cast<std::size_t>(col - r.firstCol)];
  if (!c) c = std::make_unique<CGridCellValue>();
  cell.GridCellCopyTo(*c);
  return kSourceOk;
}

int CGridMemDataSource::LastDataColumn() const {
  int last = -1;
  for (const auto& r : m_rows)
    if (r && !r->cells.empty())
      last = std::max(last, r->firstCol + static_cast<int>(r->cells.size()) - 1);
  return last;
}

bool CGridMemDataSource::Matches(CGridCellValue* cell, std::string_view text, int flags) const {
  if (!cell) return false;
  const std::string* t = cell->GridCellGetText();
  if (!t || t->empty()) return false;
  std::string hay = *t;
  std::string needle(text);
  if (flags & kSearchNoCase) {
    hay = fw::FoldCase(hay);
    needle = fw::FoldCase(needle);
  }
  if (flags & kSearchPartial) return hay.find(needle) != std::string::npos;
  return hay == needle;
}

int CGridMemDataSource::SearchFirst(std::string_view text, int& col, int& row, int flags) {
  if (flags & kSearchByRow) {
    col = -1;
    row = 0;
  } else {
    row = -1;
  }
  return SearchNext(text, col, row, flags);
}

int CGridMemDataSource::SearchNext(std::string_view text, int& col, int& row, int flags) {
  const int rows = EndRowIndex();  // data rows 0..rows-1
  const int cols = LastDataColumn() + 1;
  // Nothing to walk: an empty table (or a search for nothing) ends at once.
  if (rows <= 0 || cols <= 0 || text.empty()) return kSourceNone;
  const int step = (flags & kSearchBackward) ? -1 : 1;
  auto wrap = [](long long v, long long n) { return ((v % n) + n) % n; };
  if (flags & kSearchByRow) {
    const long long total = static_cast<long long>(rows) * cols;
    long long idx = static_cast<long long>(row) * cols + col;
    for (long long tested = 0; tested < total + cols; ++tested) {
      idx = wrap(idx + step, total);
      int c = static_cast<int>(idx % cols), r = static_cast<int>(idx / cols);
      if (Matches(FindCell(c, r), text, flags)) {
        col = m_findCol = c;
        row = m_findRow = r;
        return kSourceOk;
      }
    }
    return kSourceNone;
  }
  if (col < 0 || col >= cols) return kSourceNone;
  long long r = row;
  for (int tested = 0; tested <= rows; ++tested) {
    r = wrap(r + step, rows);
    if (Matches(FindCell(col, static_cast<int>(r)), text, flags)) {
      m_findCol = col;
      row = m_findRow = static_cast<int>(r);
      return kSourceOk;
    }
  }
  return kSourceNone;
}

int CGridMemDataSource::SortRows(const int* cols, int count, int flags) {
  const int rows = EndRowIndex();
  if (rows <= 0 || !cols || count <= 0) return kSourceNone;
  const std::size_t n = static_cast<std::size_t>(rows);
  const std::size_t base = static_cast<std::size_t>(-m_firstRow);  // position of row 0
  // Each row's sort cells, with a neutral cell standing in for a missing one.
  std::vector<std::vector<CGridCellValue>> keys(n);
  for (std::size_t i = 0; i < n; ++i) {
    keys[i].resize(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
      CGridCellValue& key = keys[i][static_cast<std::size_t>(k)];
      key.GridCellInitDefaults();
      if (CGridCellValue* c = FindCell(cols[k], static_cast<int>(i))) key.GridCellCopyFrom(*c);
    }
  }
  auto compare = [&](std::size_t a, std::size_t b) {
    for (int k = 0; k < count; ++k) {
      CGridCellValue* x = &keys[a][static_cast<std::size_t>(k)];
      CGridCellValue* y = &keys[b][static_cast<std::size_t>(k)];
      int r = m_grid ? m_grid->OnCompareCells(x, y, flags) : SheetGridCompareCells(x, y, flags);
      if (r) return r;
    }
    return 0;
  };
  // A plain bottom-up merge sort: stable, and safe whatever the owner's
  // comparison answers (a hook need not be a consistent order).
  std::vector<std::size_t> order(n), tmp(n);
  for (std::size_t i = 0; i < n; ++i) order[i] = i;
  for (std::size_t width = 1; width < n; width *= 2) {
    for (std::size_t lo = 0; lo < n; lo += 2 * width) {
      std::size_t mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
      std::size_t i = lo, j = mid, o = lo;
      while (i < mid && j < hi)
        tmp[o++] = compare(order[j], order[i]) < 0 ? order[j++] : order[i++];
      while (i < mid) tmp[o++] = order[i++];
      while (j < hi) tmp[o++] = order[j++];
    }
    order.swap(tmp);
  }
  std::vector<std::unique_ptr<Row>> sorted(n);
  for (std::size_t i = 0; i < n; ++i) sorted[i] = std::move(m_rows[base + order[i]]);
  for (std::size_t i = 0; i < n; ++i) m_rows[base + i] = std::move(sorted[i]);
  return kSourceOk;
}

int CGridMemDataSource::FindPrevNonEmptyCell(int& col, int row) {
  Row* r = FindRow(row);
  if (!r) return kSourceNone;
  int c = std::min(col - 1, r->firstCol + static_cast<int>(r->cells.size()) - 1);
  for (; c >= r->firstCol; --c) {
    const CGridCellValue* cell = r->cells[static_cast<std::size_t>(c - r->firstCol)].get();
    if (!cell || !cell->GridCellHasFlag(GridProp::Value)) continue;
    if (cell->GridCellGetDataType() == kGridNumber || cell->GridCellGetTextLength() > 0) {
      col = c;
      return kSourceOk;
    }
  }
  return kSourceNone;
}
