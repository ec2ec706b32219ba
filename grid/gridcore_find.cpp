// The selection's text, sorting through the data source and find/replace.
#include <algorithm>

#include "grid/gridcore.h"
#include "grid/gridselectionset.h"
#include "platform/text.h"

// ---------------------------------------------------------------------------
// Selection, copy, sort and find

void CGridCore::ClearSelection() {
  CGridSheetState& s = *m_sheet;
  if (s.m_selection) s.m_selection->ClearAll();
  // A refused move keeps the current cell where it is.
  if (s.m_targetCol >= 0 && s.m_targetRow >= 0 &&
      (s.m_targetCol != s.m_curCol || s.m_targetRow != s.m_curRow))
    (void)MoveToCell(s.m_targetCol, s.m_targetRow);
}

std::vector<std::pair<int, int>> CGridCore::SelectedCells() {
  std::vector<std::pair<int, int>> cells;
  CGridSheetState& s = *m_sheet;
  int col = -1, row = -1;
  if (!s.m_selection || s.m_selection->GetBlockCount() == 0) {
    if (s.m_curCol >= 0 && s.m_curRow >= 0) cells.emplace_back(s.m_curCol, s.m_curRow);
    return cells;
  }
  for (int r = s.m_selection->FirstSelectedCell(col, row); r == kSelectionFound;
       r = s.m_selection->NextSelectedCell(col, row))
    cells.emplace_back(col, row);
  return cells;
}

int CGridCore::GetSelectionText(std::string& text, int cut) {
  text.clear();
  auto cells = SelectedCells();
  CGridCellValue cell;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    auto [col, row] = cells[i];
    GetCell(col, row, cell);
    const std::string* t = cell.GridCellGetText();
    if (t) text += *t;
    if (cut && !cell.GridCellGetReadOnly()) {
      CGridCellValue empty;
      empty.GridCellClear();
      (void)SetCell(col, row, empty);  // a cell the source keeps stays, as a read-only one
    }
    if (i + 1 < cells.size()) text += cells[i + 1].second == row ? "\t" : "\n";
  }
  return kGridOk;
}

int CGridCore::SortRows(int col, int flags) {
  return SortRowsMulti(&col, 1, flags);
}

int CGridCore::SortRowsMulti(int* cols, int count, int flags) {
  if (!cols || count <= 0) return kGridOutOfRange;
  for (int i = 0; i < count; ++i)
    if (cols[i] >= 0) cols[i] = GetColumnMapping(cols[i]);
  CGridDataSource* ds = m_sheet->m_dataSource;
  if (!ds) return kGridRefused;
  int r = ds->SortRows(cols, count, flags);
  if (m_paint && IsCreated()) ViewRepaintAll();
  return r;
}

int CGridCore::HandleFindReplace(std::string_view findText, std::string_view replaceText,
                                 unsigned frFlags) {
  CGridSheetState& s = *m_sheet;
  if (frFlags & FR_DIALOGTERM) {
    if (m_paint && IsCreated()) ViewRepaintAll();
    return kGridNotFound;
  }
  int flags = 0;
  if (!(frFlags & FR_WHOLEWORD)) flags |= kSearchPartial;
  if (!(frFlags & FR_MATCHCASE)) flags |= kSearchNoCase;
  if (!(frFlags & FR_DOWN)) flags |= kSearchBackward;
  const bool noCase = flags & kSearchNoCase;
  auto same = [&](std::string_view a, std::string_view b) {
    return noCase ? fw::EqualsNoCase(a, b) : a == b;
  };
  auto contains = [&](std::string_view hay, std::string_view needle) {
    if (!noCase) return hay.find(needle) != std::string_view::npos;
    return fw::FoldCase(hay).find(fw::FoldCase(needle)) != std::string::npos;
  };
  auto matches = [&](int col, int row) {
    auto t = GetCellText(col, row);
    if (!t || t->empty()) return false;
    return (flags & kSearchPartial) ? contains(*t, findText) : same(*t, findText);
  };
  // Replaces the find text in a matching cell; a cell that does not match is left alone.
  auto replaceAt = [&](int col, int row) {
    if (col < 0 || row < 0 || !matches(col, row)) return false;
    auto t = GetCellText(col, row);
    std::string out;
    if (flags & kSearchPartial) {
      std::string hay = *t;
      std::string foldHay = noCase ? fw::FoldCase(hay) : hay;
      std::string foldNeedle = noCase ? fw::FoldCase(findText) : std::string(findText);
      std::size_t pos = 0;
      while (true) {
        std::size_t at = foldNeedle.empty() ? std::string::npos : foldHay.find(foldNeedle, pos);
        if (at == std::string::npos) break;
        out.append(hay, pos, at - pos);
        out.append(replaceText);
        pos = at + foldNeedle.size();
      }
      out.append(hay, pos, std::string::npos);
    } else {
      out.assign(replaceText);
    }
    (void)SetCellText(col, row, out);  // a cell the source keeps is left as it is
    ViewRepaintCell(col, row);
    return true;
  };

  const bool replace = frFlags & FR_REPLACE;
  const bool replaceAll = frFlags & FR_REPLACEALL;
  if (replace) replaceAt(s.m_curCol, s.m_curRow);
  // Replacing all with a text that holds the find text would find its own
  // replacements; a plain find or replace is never held back by this.
  if (replaceAll &&
      (findText == replaceText ||
       ((flags & kSearchPartial) && replaceText.find(findText) != std::string_view::npos)))
    return kGridFound;
  CGridDataSource* ds = ColumnSource(s.m_curCol);
  if (!ds) return kGridNotFound;
  int col = GetColumnMapping(s.m_curCol), row = s.m_curRow;
  auto toGridCol = [&](int dataCol) {
    for (int c = 0; c < s.m_colCount; ++c)
      if (s.m_cols[static_cast<std::size_t>(c)].dataCol == dataCol) return c;
    return dataCol;
  };
  if (ds->SearchNext(findText, col, row, flags) != kSourceOk) {
    ViewNotFound();
    return kGridNotFound;
  }
  // A match the current cell may not go to is no match to go on from.
  if (!replaceAll)
    return MoveToCell(toGridCol(col), row) == kGridOk ? kGridFound : kGridFindRefused;
  // Replacing all goes on from each match whether or not the cell may become current.
  (void)MoveToCell(toGridCol(col), row);
  const int firstCol = col, firstRow = row;
  replaceAt(toGridCol(col), row);
  // Bounded by the cell count: a search that keeps finding stops when it
  // comes back to the first replaced cell.
  const long long limit = static_cast<long long>(s.m_colCount) * std::max(1, s.m_rowCount) + 1;
  for (long long n = 0; n < limit; ++n) {
    if (ds->SearchNext(findText, col, row, flags) != kSourceOk) break;
    if (col == firstCol && row == firstRow) break;
    (void)MoveToCell(toGridCol(col), row);
    replaceAt(toGridCol(col), row);
  }
  return kGridFound;
}
