// Moves of the current cell and of the view, with their notification order,
// and joined blocks along the way.
#include <algorithm>
#include <iterator>
#include <vector>

#include "grid/gridcore.h"
#include "grid/gridcore_p.h"

using namespace gridcore;

// ---------------------------------------------------------------------------
// Moves

int CGridCore::FirstToShow(GridAxis a, int target) const {
  const auto ax = m_sheet->Axis(a);
  int first = ax.First();
  if (target < ax.Locked() || target < 0) return first;
  if (target < first) return target;
  int space = ax.Extent() - ax.LockedSize();
  if (ax.Uniform()) {
    int h = std::max(1, ax.DefaultSize());
    int t = target - space / h + 1;
    if (t > first) first = t;
  } else {
    int i = target;
    space -= ax.Size(i);
    while (i - 1 >= first && space - ax.Size(i - 1) >= 0) {
      space -= ax.Size(i - 1);
      --i;
    }
    if (i > first) first = i;
  }
  return std::clamp(first, ax.Locked(), std::max(ax.Locked(), ax.MaxFirst()));
}

int CGridCore::RowMoveTarget(int row, int& outRow, bool& stop) {
  CGridSheetState& s = *m_sheet;
  stop = false;
  if (row >= s.m_rowCount) {
    int count = s.m_rowCount;
    int shortfall = row - count + 1;
    int found = 0;
    CGridDataSource* ds = s.m_dataSource;
    if (ds) ds->OnPastLastRow(count, shortfall, found);
    OnRowsNeeded(count, shortfall, found);
    if (s.m_curRow == s.m_rowCount - 1 && row >= s.m_rowCount) {
      stop = true;
      return kGridOutOfRange;
    }
    if (row >= s.m_rowCount) row = s.m_rowCount - 1;
  }
  if (row < 0) row = 0;
  outRow = row;
  return kGridOk;
}

bool CGridCore::GetJoinBlock(int col, int row, int& c1, int& r1, int& c2, int& r2) {
  CGridSheetState& s = *m_sheet;
  if (!s.m_opt.joinCells) return false;
  if (col >= s.m_colCount || row >= s.m_rowCount) return false;
  CGridCellValue cell;
  GetCell(col, row, cell);
  return JoinBlockOf(col, row, cell, c1, r1, c2, r2);
}

bool CGridCore::JoinBlockOf(int col, int row, const CGridCellValue& cell, int& c1, int& r1, int& c2,
                            int& r2) {
  if (!m_sheet->m_opt.joinCells || !cell.GridCellHasFlag(GridProp::Join)) return false;
  int origin = 0, dc = 0, dr = 0;
  cell.GridCellGetMergeInfo(origin, dc, dr);
  if (origin) {
    c1 = col;
    r1 = row;
    c2 = col + dc;
    r2 = row + dr;
    return true;
  }
  c1 = col + dc;
  r1 = row + dr;
  CGridCellValue head;
  GetCell(c1, r1, head);
  int headOrigin = 0, ec = 0, er = 0;
  // A cell whose origin is not an origin is treated as a cell of its own.
  if (!head.GridCellHasFlag(GridProp::Join)) return false;
  head.GridCellGetMergeInfo(headOrigin, ec, er);
  if (!headOrigin) return false;
  c2 = c1 + ec;
  r2 = r1 + er;
  return col >= c1 && col <= c2 && row >= r1 && row <= r2;
}

int CGridCore::MoveToRow(int row) {
  return MoveAlong(GridAxis::kRows, row);
}

int CGridCore::MoveToColumn(int col) {
  return MoveAlong(GridAxis::kCols, col);
}

// The move of the current cell along one axis: the target is limited (rows
// past the end are asked for first), joined blocks are stepped onto or over,
// then the checks, keeping the target in view and the move itself.
int CGridCore::MoveAlong(GridAxis a, int index) {
  CGridSheetState& s = *m_sheet;
  const auto ax = s.Axis(a);
  const auto across = s.Axis(OtherAxis(a));
  if (index == ax.Current()) return kGridOk;
  const bool forward = index > ax.Current();
  int t = index;
  if (a == GridAxis::kRows) {
    bool stop = false;
    if (int res = RowMoveTarget(index, t, stop); stop) return res;
  } else {
    if (t >= ax.Count()) {
      if (ax.Current() == ax.Count() - 1) return kGridOutOfRange;
      t = ax.Count() - 1;
    }
    if (t < 0) t = 0;
    if (ax.Count() == 0) return kGridOutOfRange;
  }
  int col = 0, row = 0, c1, r1, c2, r2;
  CellAt(a, t, across.Current(), col, row);
  if (across.Current() >= 0 && GetJoinBlock(col, row, c1, r1, c2, r2)) {
    const int lo = a == GridAxis::kCols ? c1 : r1;
    const int hi = a == GridAxis::kCols ? c2 : r2;
    if (forward && ax.Current() < lo) {
      return MoveToCell(c1, r1);
    } else if (forward) {
      if (hi + 1 < ax.Count()) t = hi + 1;
    } else if (ax.Current() <= hi) {
      if (lo > 0) t = lo - 1;
    } else {
      return MoveToCell(c1, r1);
    }
  }
  if (t == ax.Current()) return kGridOk;
  CellAt(a, t, across.Current(), col, row);
  // The data source checks column moves only, as it always has.
  CGridDataSource* ds = s.m_dataSource;
  if (a == GridAxis::kCols && ds &&
      ds->CanMoveCurrent(s.m_curCol, s.m_curRow, col, row) != kSourceAllows)
    return kGridRefused;
  if (!OnBeforeCellMove(s.m_curCol, s.m_curRow, col, row)) return kGridRefused;
  const int newFirst = FirstToShow(a, t);
  int viewCol = 0, viewRow = 0;
  CellAt(a, t, across.First(), viewCol, viewRow);
  if (newFirst != ax.First() && !OnBeforeViewMove(s.m_leftCol, s.m_topRow, viewCol, viewRow))
    return kGridRefused;
  ax.Target() = t;
  across.Target() = across.Current();
  ax.First() = newFirst;
  ApplyMove(col, row);
  return kGridOk;
}

int CGridCore::MoveToCell(int col, int row) {
  CGridSheetState& s = *m_sheet;
  if (col == s.m_curCol && row == s.m_curRow) return kGridOk;
  int c1, r1, c2, r2;
  if (col >= 0 && row >= 0 && col < s.m_colCount && row < s.m_rowCount &&
      GetJoinBlock(col, row, c1, r1, c2, r2)) {
    col = c1;
    row = r1;
    if (col == s.m_curCol && row == s.m_curRow) return kGridOk;
  }
  bool stop = false;
  int r = row;
  if (row != s.m_curRow) {
    if (int res = RowMoveTarget(row, r, stop); stop) {
      // Past the end with the current row already last: still move the column.
      if (col == s.m_curCol) return res;
      r = s.m_curRow;
    }
  }
  if (col >= s.m_colCount) col = s.m_colCount - 1;
  if (col < 0) col = s.m_colCount > 0 ? 0 : -1;
  if (col == s.m_curCol && r == s.m_curRow) return kGridOk;
  CGridDataSource* ds = s.m_dataSource;
  if (ds && ds->CanMoveCurrent(s.m_curCol, s.m_curRow, col, r) != kSourceAllows)
    return kGridRefused;
  if (!OnBeforeCellMove(s.m_curCol, s.m_curRow, col, r)) return kGridRefused;
  const int newTop = FirstToShow(GridAxis::kRows, r);
  const int newLeft = FirstToShow(GridAxis::kCols, col);
  if ((newTop != s.m_topRow || newLeft != s.m_leftCol) &&
      !OnBeforeViewMove(s.m_leftCol, s.m_topRow, col, r))
    return kGridRefused;
  s.m_targetCol = col;
  s.m_targetRow = r;
  s.m_topRow = newTop;
  s.m_leftCol = newLeft;
  ApplyMove(col, r);
  return kGridOk;
}

void CGridCore::NotifyCurrentChanged(GridAxis a, int oldIndex, int newIndex) {
  CGridDataSource* ds = m_sheet->m_dataSource;
  if (a == GridAxis::kCols) {
    if (ds) ds->OnCurrentColumnMoved(oldIndex, newIndex);
    OnCurrentColChanged(oldIndex, newIndex);
  } else {
    if (ds) ds->OnCurrentRowMoved(oldIndex, newIndex);
    OnCurrentRowChanged(oldIndex, newIndex);
  }
}

void CGridCore::NotifyFirstChanged(GridAxis a, int oldFirst, int newFirst) {
  if (a == GridAxis::kCols)
    OnLeftColChanged(oldFirst, newFirst);
  else
    OnTopRowChanged(oldFirst, newFirst);
}

void CGridCore::ApplyMove(int col, int row) {
  CGridSheetState& s = *m_sheet;
  const int oldCol = s.m_curCol, oldRow = s.m_curRow;
  const int oldLeft = s.m_prevLeftCol, oldTop = s.m_prevTopRow;
  const int oldRight = s.m_rightCol, oldBottom = s.m_bottomRow;
  s.m_curCol = col;
  s.m_curRow = row;
  if (col != oldCol) NotifyCurrentChanged(GridAxis::kCols, oldCol, col);
  if (row != oldRow) NotifyCurrentChanged(GridAxis::kRows, oldRow, row);
  if (col != oldCol || row != oldRow) OnCurrentCellChanged(oldCol, col, oldRow, row);
  if (s.m_leftCol != oldLeft) NotifyFirstChanged(GridAxis::kCols, oldLeft, s.m_leftCol);
  if (s.m_topRow != oldTop) NotifyFirstChanged(GridAxis::kRows, oldTop, s.m_topRow);
  if (oldCol >= 0 && oldRow >= 0) CellTypeFocus(oldCol, oldRow, false);
  if (col >= 0 && row >= 0) CellTypeFocus(col, row, true);
  RecalcViewEnds();
  ViewUpdateAfterMove();
  UpdateScrollBars();
  s.m_prevCurCol = col;
  s.m_prevCurRow = row;
  s.m_prevLeftCol = s.m_leftCol;
  s.m_prevTopRow = s.m_topRow;
  NotifyViewMoved(oldLeft, oldRight, oldTop, oldBottom);
}

// The cells of every column and row that came into view or went out of it
// hear that the view moved (a note shown for one of them must go), and so
// does the current cell.
void CGridCore::NotifyViewMoved(int oldLeft, int oldRight, int oldTop, int oldBottom) {
  CGridSheetState& s = *m_sheet;
  const int col = s.m_curCol, row = s.m_curRow;
  // The built-in types do nothing when their cell scrolls: unless an owner
  // registered a type of its own, the cells need not even be fetched.
  const bool ownTypes = std::any_of(m_cellTypes.begin(), m_cellTypes.end(), [&](auto* t) {
    return t && t != &m_normalType && t != &m_dropListType && t != &m_checkBoxType &&
           t != &m_sideArrowsType;
  });
  if (!ownTypes) {
    if (col >= 0 && row >= 0) CellTypeScrolled(col, row);
    return;
  }
  // Parts on screen: the locked ones, then those from `first` up to `end`.
  auto shown = [&](GridAxis a, int first, int end) {
    const auto ax = s.Axis(a);
    std::vector<int> parts;
    for (int i = 0; i < std::min(ax.Locked(), ax.Count()); ++i)
      if (ax.Size(i) > 0) parts.push_back(i);
    for (int i = std::max(first, ax.Locked()); i < std::min(end, ax.Count()); ++i)
      if (ax.Size(i) > 0) parts.push_back(i);
    return parts;
  };
  std::vector<int> changed[2], all[2];
  const int oldFirst[2] = {oldLeft, oldTop}, oldEnd[2] = {oldRight, oldBottom};
  for (GridAxis a : {GridAxis::kCols, GridAxis::kRows}) {
    const int k = a == GridAxis::kCols ? 0 : 1;
    const auto ax = s.Axis(a);
    const std::vector<int> before = shown(a, oldFirst[k], oldEnd[k]);
    const std::vector<int> after = shown(a, ax.First(), ax.End());
    std::set_symmetric_difference(before.begin(), before.end(), after.begin(), after.end(),
                                  std::back_inserter(changed[k]));
    std::set_union(before.begin(), before.end(), after.begin(), after.end(),
                   std::back_inserter(all[k]));
  }
  auto in = [](const std::vector<int>& v, int i) {
    return std::binary_search(v.begin(), v.end(), i);
  };
  for (int r : changed[1])
    for (int c : all[0]) CellTypeScrolled(c, r);
  for (int c : changed[0])
    for (int r : all[1])
      if (!in(changed[1], r)) CellTypeScrolled(c, r);
  const bool told =
      (in(changed[1], row) && in(all[0], col)) || (in(changed[0], col) && in(all[1], row));
  if (col >= 0 && row >= 0 && !told) CellTypeScrolled(col, row);
}

int CGridCore::ScrollToRow(int row) {
  return ScrollAlong(GridAxis::kRows, row);
}

int CGridCore::ScrollToColumn(int col) {
  return ScrollAlong(GridAxis::kCols, col);
}

int CGridCore::ScrollAlong(GridAxis a, int first) {
  CGridSheetState& s = *m_sheet;
  const auto ax = s.Axis(a);
  first = std::clamp(first, ax.Locked(), std::max(ax.Locked(), ax.MaxFirst()));
  if (first == ax.First()) return kGridOk;
  int col = 0, row = 0;
  CellAt(a, first, s.Axis(OtherAxis(a)).First(), col, row);
  if (!OnBeforeViewMove(s.m_leftCol, s.m_topRow, col, row)) return kGridRefused;
  ax.First() = first;
  ApplyMove(s.m_curCol, s.m_curRow);
  return kGridOk;
}

int CGridCore::PageRowTarget(int from, int dir) const {
  return PageTarget(GridAxis::kRows, from, dir);
}

int CGridCore::PageColTarget(int from, int dir) const {
  return PageTarget(GridAxis::kCols, from, dir);
}

// Walks from `from` while the parts passed still leave room for the next
// one; parts outside the grid count with the default size.
int CGridCore::PageTarget(GridAxis a, int from, int dir) const {
  const auto ax = m_sheet->Axis(a);
  auto size = [&](int i) { return (i >= 0 && i < ax.Count()) ? ax.Size(i) : ax.DefaultSize(); };
  int rem = ax.Extent() - ax.LockedSize();
  int i = from;
  // Bounded: a long run of hidden parts cannot loop for ever.
  for (int guard = 0; guard <= ax.Count() + 2; ++guard) {
    rem -= size(i);
    const int next = i + dir;
    const int nextSize = size(next);
    if (rem < 0 || rem < nextSize) break;
    // A default size of 0 (columns may have one) must not walk off the grid.
    if (nextSize <= 0 && (next < 0 || next >= ax.Count())) break;
    i = next;
  }
  return i;
}

int CGridCore::StepCurrentRow(int how) {
  return StepCurrentAlong(GridAxis::kRows, how);
}

int CGridCore::StepCurrentColumn(int how) {
  return StepCurrentAlong(GridAxis::kCols, how);
}

int CGridCore::StepCurrentAlong(GridAxis a, int how) {
  const auto ax = m_sheet->Axis(a);
  const int cur = ax.Current();
  switch (how) {
    case kStepBack: return MoveAlong(a, cur - 1);
    case kStepForward: return MoveAlong(a, cur + 1);
    case kStepPageBack: return MoveAlong(a, PageTarget(a, cur, -1));
    case kStepPageForward: return MoveAlong(a, PageTarget(a, cur, +1));
    case kStepFirst: return MoveAlong(a, 0);
    case kStepLast: return MoveAlong(a, ax.Count() - 1);
    default: return kGridOk;
  }
}

int CGridCore::StepTopRow(int how) {
  return StepViewAlong(GridAxis::kRows, how);
}

int CGridCore::StepLeftColumn(int how) {
  return StepViewAlong(GridAxis::kCols, how);
}

int CGridCore::StepViewAlong(GridAxis a, int how) {
  const auto ax = m_sheet->Axis(a);
  if (ax.Count() <= 0) return kGridOutOfRange;
  const int first = ax.First();
  switch (how) {
    case kStepBack: {
      // Hidden parts are stepped over.
      int i = first - 1;
      while (i > ax.Locked() && ax.Size(i) == 0) --i;
      return ScrollAlong(a, i);
    }
    case kStepForward: {
      int i = first + 1;
      while (i < ax.MaxFirst() && ax.Size(i) == 0) ++i;
      return ScrollAlong(a, i);
    }
    case kStepPageBack: return ScrollAlong(a, PageTarget(a, first, -1));
    case kStepPageForward: return ScrollAlong(a, PageTarget(a, first, +1));
    case kStepFirst: return ScrollAlong(a, ax.Locked());
    case kStepLast: return ScrollAlong(a, ax.MaxFirst());
    default: return kGridOk;
  }
}

// An arrow key: one step back, or forward over the current joined block;
// a target inside another block lands on that block's origin.
int CGridCore::KeyStep(GridAxis a, int dir) {
  CGridSheetState& s = *m_sheet;
  const auto ax = s.Axis(a);
  const auto across = s.Axis(OtherAxis(a));
  int c1, r1, c2, r2;
  int step = 1;
  if (dir > 0 && s.m_curCol >= 0 && s.m_curRow >= 0 &&
      GetJoinBlock(s.m_curCol, s.m_curRow, c1, r1, c2, r2))
    step = (a == GridAxis::kCols ? c2 : r2) - ax.Current() + 1;
  const int t = ax.Current() + dir * step;
  const bool outside = dir < 0 ? t < 0 : t >= ax.Count();
  int col = 0, row = 0;
  CellAt(a, t, across.Current(), col, row);
  if (outside || across.Current() < 0 || !GetJoinBlock(col, row, c1, r1, c2, r2))
    return MoveAlong(a, t) == kGridOk;
  return MoveToCell(c1, r1) == kGridOk;
}

int CGridCore::HandleNavigationKey(int vk, bool control) {
  switch (vk) {
    case kKeyPrior: return StepCurrentRow(kStepPageBack) == kGridOk;
    case kKeyNext: return StepCurrentRow(kStepPageForward) == kGridOk;
    case kKeyEnd:
      return (control ? StepCurrentRow(kStepLast) : StepCurrentColumn(kStepLast)) == kGridOk;
    case kKeyHome:
      return (control ? StepCurrentRow(kStepFirst) : StepCurrentColumn(kStepFirst)) == kGridOk;
    case kKeyLeft: return KeyStep(GridAxis::kCols, -1);
    case kKeyUp: return KeyStep(GridAxis::kRows, -1);
    case kKeyRight: return KeyStep(GridAxis::kCols, +1);
    case kKeyDown: return KeyStep(GridAxis::kRows, +1);
    default: return 0;
  }
}

int CGridCore::HandleWheelDelta(int delta) {
  CGridSheetState& s = *m_sheet;
  // Fine wheels and touchpads send parts of a notch: add them up until a
  // whole notch is reached instead of dropping them.
  if ((m_wheelRest > 0 && delta < 0) || (m_wheelRest < 0 && delta > 0)) m_wheelRest = 0;
  m_wheelRest += delta;
  int notches = m_wheelRest / kWheelDelta;
  if (notches == 0) return 0;
  m_wheelRest -= notches * kWheelDelta;
  s.m_mouseMode = GridMouseMode::kScroll;
  (void)ScrollToRow(s.m_topRow - notches * 3);
  s.m_mouseMode = GridMouseMode::kIdle;
  return notches;
}
