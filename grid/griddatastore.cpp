#include "grid/griddatastore.h"

#include <algorithm>
#include <unordered_set>

#include "platform/text.h"

namespace {
constexpr int kCheckBoxTypeIndex = 2;
}

bool CGridDataStore::AddColumn(std::unique_ptr<CGridColumnProvider> provider) {
  if (!provider) return false;
  m_columns.push_back(std::move(provider));
  return true;
}

bool CGridDataStore::FindColumn(int id, int& index) const {
  for (std::size_t i = 0; i < m_columns.size(); ++i) {
    if (m_columns[i]->GetId() == id) {
      index = static_cast<int>(i);
      return true;
    }
  }
  return false;
}

CGridColumnProvider* CGridDataStore::GetProvider(int index) const {
  if (index < 0 || index >= GetColumnCount()) return nullptr;
  return m_columns[static_cast<std::size_t>(index)].get();
}

void CGridDataStore::RebuildMap() {
  m_map.clear();
  m_map.reserve(m_rows.size());
  for (std::size_t i = 0; i < m_rows.size(); ++i) m_map[m_rows[i]] = static_cast<int>(i);
}

bool CGridDataStore::AddRows(const std::vector<GridRecordKey>& keys, bool atEnd) {
  std::vector<GridRecordKey> fresh;
  std::unordered_set<GridRecordKey> seen;
  for (GridRecordKey k : keys)
    if (!m_map.count(k) && seen.insert(k).second) fresh.push_back(k);
  m_rows.insert(atEnd ? m_rows.end() : m_rows.begin(), fresh.begin(), fresh.end());
  RebuildMap();
  return true;
}

int CGridDataStore::RemoveRow(GridRecordKey key) {
  auto it = m_map.find(key);
  if (it == m_map.end()) return -1;
  int row = it->second;
  m_rows.erase(m_rows.begin() + row);
  RebuildMap();
  return row;
}

bool CGridDataStore::RemoveRows(const std::vector<GridRecordKey>& keys) {
  std::vector<int> rows;
  for (GridRecordKey k : keys)
    if (auto it = m_map.find(k); it != m_map.end()) rows.push_back(it->second);
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) m_rows.erase(m_rows.begin() + *it);
  RebuildMap();
  return true;
}

bool CGridDataStore::GetRowKey(int row, GridRecordKey& key) const {
  if (row < 0 || row >= GetRowCount()) return false;
  key = m_rows[static_cast<std::size_t>(row)];
  return true;
}

void CGridDataStore::ClearRows() {
  m_rows.clear();
  m_map.clear();
}

bool CGridDataStore::FindRowIndex(GridRecordKey key, int& row) const {
  auto it = std::find(m_rows.begin(), m_rows.end(), key);
  if (it == m_rows.end()) return false;
  row = static_cast<int>(it - m_rows.begin());
  return true;
}

void CGridDataStore::SetSecondarySort(const int* ids, int count) {
  m_secondary.assign(static_cast<std::size_t>(std::max(count, 0)), nullptr);
  for (int i = 0; i < count && ids; ++i) {
    int index = 0;
    if (FindColumn(ids[i], index)) m_secondary[static_cast<std::size_t>(i)] = GetProvider(index);
  }
}

int CGridDataStore::GetSortColumn() const {
  for (std::size_t i = 0; i < m_columns.size(); ++i)
    if (m_columns[i].get() == m_sortColumn) return static_cast<int>(i);
  return -1;
}

int CGridDataStore::GetCell(int col, int row, CGridCellValue& cell) {
  CGridColumnProvider* p = GetProvider(col);
  if (row == -1 && p) {
    cell.GridCellSetAlignment(kAlignCenter);
    if (CBitmap* bm = p->GetHeadingBitmap(); bm && !cell.GridCellGetBitmap())
      cell.GridCellSetBitmap(bm);
    cell.GridCellSetText(p->HasTitle() ? p->GetTitle() : std::string());
    return kSourceOk;
  }
  if (row < 0 || col < 0 || !p || row >= GetRowCount()) {
    cell.GridCellSetText("");
    return kSourceOk;
  }
  const GridRecordKey key = m_rows[static_cast<std::size_t>(row)];
  std::string text;
  int number = 0;
  bool haveNumber = false;
  const int kind = p->GetKind();
  switch (kind) {
    case CGridColumnProvider::kText:
      if (!p->GetText(key, text)) text.clear();
      break;
    case CGridColumnProvider::kState:
    case CGridColumnProvider::kSecondState:
      haveNumber = kind == CGridColumnProvider::kState ? p->GetNumber(key, number)
                                                       : p->GetSecondInt(key, number);
      if (haveNumber) {
        cell.GridCellSetFlags(GridProp::Param);
        cell.GridCellSetParam(number);
      }
      break;
    case CGridColumnProvider::kStateBitmap:
    case CGridColumnProvider::kNumberBitmap:
      if (p->GetNumber(key, number)) {
        if (CBitmap* bm = p->GetStateBitmap(number)) cell.GridCellSetBitmap(bm);
        if (kind == CGridColumnProvider::kNumberBitmap) cell.GridCellSetNumber(number);
      }
      break;
    case CGridColumnProvider::kTextNumber:
      if (!p->GetText(key, text)) text.clear();
      haveNumber = p->GetNumber(key, number);
      break;
    default: break;
  }
  fw::GridColor back = m_defaultBack, fore = 0;
  int given = p->GetColors(key, back, fore);
  if (given == 0) {
    cell.GridCellSetBackColor(m_defaultBack);
    cell.GridCellSetTextColor(0);
  } else {
    if (given & CGridColumnProvider::kBackGiven) cell.GridCellSetBackColor(back);
    if (given & CGridColumnProvider::kTextGiven) cell.GridCellSetTextColor(fore);
  }
  if (kind == CGridColumnProvider::kStateBitmap || kind == CGridColumnProvider::kNumberBitmap)
    return kSourceOk;
  if (cell.GridCellHasFlag(GridProp::CellType) &&
      cell.GridCellGetCellType() == kCheckBoxTypeIndex) {
    cell.GridCellSetNumber(haveNumber ? number : 0);
    cell.GridCellSetLabel(text);
  } else {
    if (haveNumber && kind == CGridColumnProvider::kTextNumber) cell.GridCellSetNumber(number);
    cell.GridCellSetText(text);
  }
  return kSourceOk;
}

int CGridDataStore::SortRows(const int* cols, int count, int direction) {
  // The sort column must name an existing provider.
  if (!cols || count <= 0 || cols[0] < 0 || cols[0] >= GetColumnCount()) return kSourceNone;
  m_sortColumn = m_columns[static_cast<std::size_t>(cols[0])].get();
  m_sortDirection = direction;
  CGridColumnProvider* primary = m_sortColumn;
  const bool ascending = direction == 1;
  auto compare = [&](GridRecordKey a, GridRecordKey b) {
    int r = primary->Compare(a, b);
    if (!ascending) r = -r;
    if (r) return r;
    for (CGridColumnProvider* s : m_secondary) {
      if (!s || s == primary) continue;
      if (int q = s->Compare(a, b)) return q;
    }
    return 0;
  };
  // Heap sort: in place and bounded whatever the providers answer.
  auto less = [&](GridRecordKey a, GridRecordKey b) { return compare(a, b) < 0; };
  std::make_heap(m_rows.begin(), m_rows.end(), less);
  std::sort_heap(m_rows.begin(), m_rows.end(), less);
  RebuildMap();
  return kSourceOk;
}

bool CGridDataStore::CellMatches(int col, int row, std::string_view text, int flags) {
  if (!m_grid) return false;
  std::optional<std::string> shown = m_grid->GetCellText(col, row);
  if (!shown) return false;
  std::string hay = *shown, needle(text);
  if (flags & kSearchNoCase) {
    hay = fw::FoldCase(hay);
    needle = fw::FoldCase(needle);
  }
  if (flags & kSearchPartial) return hay.find(needle) != std::string::npos;
  return hay == needle;
}

int CGridDataStore::Walk(std::string_view text, int& col, int& row, int flags, bool testStart) {
  const int cols = GetColumnCount(), rows = GetRowCount();
  // An empty table, or a start outside it, has nothing to walk round.
  if (cols <= 0 || rows <= 0) return kSourceNone;
  if (col < 0 || col >= cols || row < 0 || row >= rows) return kSourceNone;
  const bool back = !testStart && (flags & kSearchBackward);
  const int startCol = col, startRow = row;
  int c = col, r = row;
  if (testStart && CellMatches(c, r, text, flags)) return kSourceOk;
  for (;;) {
    if (back) {
      if (--c < 0) {
        c = cols - 1;
        if (--r < 0) r = rows - 1;
      }
    } else if (++c >= cols) {
      c = 0;
      if (++r >= rows) r = 0;
    }
    if (c == startCol && r == startRow) return kSourceNone;
    if (CellMatches(c, r, text, flags)) break;
  }
  col = c;
  row = r;
  return kSourceOk;
}

int CGridDataStore::SearchFirst(std::string_view text, int& col, int& row, int flags) {
  return Walk(text, col, row, flags, true);
}

int CGridDataStore::SearchNext(std::string_view text, int& col, int& row, int flags) {
  return Walk(text, col, row, flags, false);
}
