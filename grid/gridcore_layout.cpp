// The grid core's geometry: counts and sizes of columns, rows and heading
// parts, the layout of the parts, cell rectangles and hit tests, fitting.
#include <algorithm>
#include <cmath>
#include <limits>

#include "grid/gridcore.h"
#include "grid/gridcore_p.h"

using namespace gridlimits;
using namespace gridscroll;
using namespace gridcore;

// ---------------------------------------------------------------------------
// Dimensions

int CGridCore::SetColumnTotal(int count, int redraw) {
  if (count < 0 || count > kMaxColumns) return kGridOutOfRange;
  CGridSheetState& s = *m_sheet;
  if (count == 0) {
    s.m_lockedCols = 0;
  } else if (s.m_lockedCols >= count) {
    s.m_lockedCols = count - 1;
  }
  std::size_t old = s.m_cols.size();
  s.m_cols.resize(static_cast<std::size_t>(count));
  for (std::size_t i = old; i < s.m_cols.size(); ++i) {
    GridColumnInfo& c = s.m_cols[i];
    c.width = s.m_defColWidth;
    c.source = s.m_dataSource;
    c.defaultCell = std::make_unique<CGridCellValue>(s.m_gridDefault);
    c.dataCol = static_cast<int>(i);
  }
  s.m_colCount = count;
  return CountChanged(GridAxis::kCols, redraw);
}

int CGridCore::SetRowTotal(int count, int redraw) {
  if (count < 0) return kGridOutOfRange;
  CGridSheetState& s = *m_sheet;
  if (count == 0) {
    s.m_lockedRows = 0;
  } else if (s.m_lockedRows >= count) {
    s.m_lockedRows = count - 1;
  }
  if (count > kUniformRowsAbove) {
    s.m_uniform = 1;
    s.m_rowHeights.clear();
    s.m_rowHeights.shrink_to_fit();
  } else if (!s.m_uniform) {
    s.m_rowHeights.resize(static_cast<std::size_t>(count), s.m_defRowHeight);
  }
  s.m_rowCount = count;
  return CountChanged(GridAxis::kRows, redraw);
}

// What follows a new column (row) count: positions past the end come back,
// the bars come or go as the parts outgrow the view or fit it again, the
// view is limited with its notification and a grid without a current part
// gets one.
int CGridCore::CountChanged(GridAxis a, int redraw) {
  const auto ax = m_sheet->Axis(a);
  const int count = ax.Count();
  if (ax.First() < ax.Locked()) ax.First() = ax.Locked();
  if (ax.Current() >= count) ax.Current() = ax.PrevCurrent() = count - 1;
  if (ax.Target() >= count) ax.Target() = count - 1;
  RecalcLockedSizes();
  const int oldFirst = ax.First();
  RelayoutIfBarsChanged();
  RecalcMaxFirst(a);
  if (ax.First() != oldFirst) {
    NotifyFirstChanged(a, oldFirst, ax.First());
    ax.PrevFirst() = ax.First();
  }
  UpdateScrollBars();
  if (ax.Current() < 0 && count > 0) (void)MoveAlong(a, 0);
  RecalcViewEnds();
  if (m_paint && redraw && IsCreated()) ViewRepaintAll();
  return kGridOk;
}

int CGridCore::SetColumnWidth(int col, int width) {
  if (col < 0) return SetSideHeadingColWidth(col, width);
  return SetPartSize(GridAxis::kCols, col, width);
}

int CGridCore::SetRowHeight(int row, int height) {
  return SetPartSize(GridAxis::kRows, row, height);
}

int CGridCore::SetPartSize(GridAxis a, int index, int size) {
  const auto ax = m_sheet->Axis(a);
  if (index < 0 || index >= ax.Count()) return kGridOutOfRange;
  size = std::max(0, size);
  if (IsCreated() && ViewIsVisible()) {
    CellTypeAdjustSize(a, index, size);
    NotifySizeSet(a, index, &size);
    size = std::max(0, size);
  }
  ax.StoreSize(index, size);
  RecalcLockedSizes();
  RelayoutIfBarsChanged();
  RecalcMaxFirst(a);
  RecalcViewEnds();
  return kGridOk;
}

int CGridCore::GetColumnWidth(int col) {
  return m_sheet->ColWidth(col);
}

int CGridCore::GetColumnWidth(int col, int& width) const {
  const CGridSheetState& s = *m_sheet;
  if (col >= 0 && col < s.m_colCount) {
    width = s.ColWidth(col);
    return kGridOk;
  }
  if (s.Axis(GridAxis::kCols).IsHeadingIndex(col)) {
    width = GetHeadingPart(GridAxis::kCols, col);
    return kGridOk;
  }
  return kGridOutOfRange;
}

int CGridCore::SetDefaultColumnWidth(int width) {
  if (width < 0) return kGridOutOfRange;
  m_sheet->m_defColWidth = width;
  return kGridOk;
}

int CGridCore::GetRowHeight(int row) {
  return m_sheet->RowHeight(row);
}

int CGridCore::SetDefaultRowHeight(int height) {
  if (height < 1 || height > kMaxSize) return kGridOutOfRange;
  m_sheet->m_defRowHeight = height;
  if (m_sheet->m_uniform) {
    RecalcLockedSizes();
    RecalcMaxTopRow();
    RecalcViewEnds();
  }
  return kGridOk;
}

int CGridCore::SetSharedRowHeight(int on) {
  CGridSheetState& s = *m_sheet;
  if (on) {
    s.m_uniform = 1;
    s.m_rowHeights.clear();
  } else {
    if (s.m_rowCount > kUniformRowsAbove) return kGridOutOfRange;
    s.m_uniform = 0;
    s.m_rowHeights.assign(static_cast<std::size_t>(s.m_rowCount), s.m_defRowHeight);
  }
  RecalcLockedSizes();
  RecalcMaxTopRow();
  RecalcViewEnds();
  return kGridOk;
}

namespace {
// Scales parts to a new total, rounding half up; parts that sum to 0 give
// the whole total to the last part.
void RescaleParts(std::vector<int>& parts, int total) {
  long long sum = 0;
  for (int p : parts) sum += p;
  if (sum <= 0) {
    std::fill(parts.begin(), parts.end(), 0);
    parts.front() = total;  // [0] is the part next to the cells
    return;
  }
  for (int& p : parts) p = static_cast<int>(std::floor(static_cast<double>(total) / sum * p + 0.5));
}
}  // namespace

int CGridCore::SetTopHeadingHeight(int height) {
  return SetHeadingTotal(GridAxis::kRows, height);
}

int CGridCore::SetSideHeadingWidth(int width) {
  return SetHeadingTotal(GridAxis::kCols, width);
}

int CGridCore::SetHeadingTotal(GridAxis a, int total) {
  if (total < 0 || total > kMaxSize) return kGridOutOfRange;
  const auto ax = m_sheet->Axis(a);
  ax.HeadingTotal() = total;
  RescaleParts(ax.HeadingSizes(), total);
  FixLastHeadingPart(a);
  LayoutParts();
  return kGridOk;
}

void CGridCore::FixLastHeadingRow() {
  FixLastHeadingPart(GridAxis::kRows);
}

void CGridCore::FixLastHeadingCol() {
  FixLastHeadingPart(GridAxis::kCols);
}

void CGridCore::FixLastHeadingPart(GridAxis a) {
  const auto ax = m_sheet->Axis(a);
  std::vector<int>& sizes = ax.HeadingSizes();
  int others = 0;
  for (std::size_t i = 1; i < sizes.size(); ++i) others += sizes[i];
  sizes[0] = std::max(0, ax.HeadingTotal() - others);
}

int CGridCore::SetTopHeadingRows(int count) {
  if (count < 1 || count > kMaxHeadingRows) return kGridOutOfRange;
  CGridSheetState& s = *m_sheet;
  s.m_topHeadHeights.resize(static_cast<std::size_t>(count), s.m_defRowHeight);
  s.m_topHeadRows = count;
  LayoutParts();
  return kGridOk;
}

int CGridCore::GetTopHeadingRowHeight(int row) const {
  return GetHeadingPart(GridAxis::kRows, row);
}

int CGridCore::GetHeadingPart(GridAxis a, int index) const {
  const auto ax = m_sheet->Axis(a);
  return ax.IsHeadingIndex(index) ? ax.PartSize(index) : 0;
}

int CGridCore::SetTopHeadingRowHeight(int row, int height) {
  return SetHeadingPart(GridAxis::kRows, row, height);
}

int CGridCore::SetSideHeadingColWidth(int col, int width) {
  return SetHeadingPart(GridAxis::kCols, col, width);
}

int CGridCore::SetHeadingPart(GridAxis a, int index, int size) {
  const auto ax = m_sheet->Axis(a);
  if (!ax.IsHeadingIndex(index)) return kGridOutOfRange;
  if (size < 0 || size > kMaxSize) return kGridRefused;
  ax.HeadingSizes()[static_cast<std::size_t>(-index - 1)] = size;
  if (ax.HeadingCount() == 1) ax.HeadingTotal() = size;
  LayoutParts();
  return kGridOk;
}

int CGridCore::SetFrozenColumns(int count) {
  return SetFrozen(GridAxis::kCols, count);
}

int CGridCore::SetFrozenRows(int count) {
  return SetFrozen(GridAxis::kRows, count);
}

int CGridCore::SetFrozen(GridAxis a, int count) {
  const auto ax = m_sheet->Axis(a);
  if (count < 0 || count > ax.Count()) return kGridOutOfRange;
  ax.Locked() = count;
  RecalcLockedSizes();
  ax.First() = ax.PrevFirst() = count;
  RecalcMaxFirst(a);
  LayoutParts();
  return kGridOk;
}

int CGridCore::MoveColumn(int from, int to, int before) {
  CGridSheetState& s = *m_sheet;
  if (from < 0 || from >= s.m_colCount) return kGridOutOfRange;
  int boundary = before ? to : to + 1;
  if (boundary < 0 || boundary > s.m_colCount) return kGridOutOfRange;
  if (boundary == from || boundary == from + 1) return kGridOk;
  GridColumnInfo moved = std::move(s.m_cols[static_cast<std::size_t>(from)]);
  s.m_cols.erase(s.m_cols.begin() + from);
  if (boundary > from) --boundary;
  s.m_cols.insert(s.m_cols.begin() + boundary, std::move(moved));
  RecalcLockedSizes();
  if (m_paint && IsCreated()) ViewRepaintAll();
  return kGridOk;
}

void CGridCore::StoreColumnWidthWhileDragging(int col, int width) {
  StorePartWhileDragging(GridAxis::kCols, col, width);
}

void CGridCore::StoreRowHeightWhileDragging(int row, int height) {
  StorePartWhileDragging(GridAxis::kRows, row, height);
}

void CGridCore::StorePartWhileDragging(GridAxis a, int index, int size) {
  const auto ax = m_sheet->Axis(a);
  if (index < 0 || index >= ax.Count()) return;
  ax.StoreSize(index, std::max(0, size));
  if (index < ax.Locked() || ax.Uniform()) RecalcLockedSizes();
}

void CGridCore::StoreTopHeadingWhileDragging(int row, int rowHeight, int total) {
  StoreHeadingWhileDragging(GridAxis::kRows, row, rowHeight, total);
}

void CGridCore::StoreSideHeadingWhileDragging(int col, int colWidth, int total) {
  StoreHeadingWhileDragging(GridAxis::kCols, col, colWidth, total);
}

void CGridCore::StoreHeadingWhileDragging(GridAxis a, int index, int size, int total) {
  const auto ax = m_sheet->Axis(a);
  if (!ax.IsHeadingIndex(index)) return;
  ax.HeadingSizes()[static_cast<std::size_t>(-index - 1)] = std::clamp(size, 0, kMaxSize);
  ax.HeadingTotal() = std::clamp(total, 0, kMaxSize);
  LayoutParts();
}

void CGridCore::RequestRows(int shortfall) {
  CGridSheetState& s = *m_sheet;
  int count = s.m_rowCount;
  int found = 0;
  if (CGridDataSource* ds = s.m_dataSource) ds->OnPastLastRow(count, shortfall, found);
  OnRowsNeeded(count, shortfall, found);
}

void CGridCore::RecalcLockedSizes() {
  for (GridAxis a : {GridAxis::kCols, GridAxis::kRows}) {
    const auto ax = m_sheet->Axis(a);
    ax.LockedSize() = 0;
    for (int i = 0; i < ax.Locked(); ++i) ax.LockedSize() += ax.Size(i);
  }
}

// ---------------------------------------------------------------------------
// Layout

void CGridCore::ViewClientSize(int& width, int& height) {
  width = m_clientW;
  height = m_clientH;
}

void CGridCore::SetClientSizeForLayout(int width, int height) {
  m_headless = true;
  m_clientW = width;
  m_clientH = height;
  m_sheet->m_created = 1;
  LayoutParts();
}

// Whether the data parts fit into `avail`, adding them until the sum exceeds it.
bool CGridCore::PartsFit(GridAxis a, int avail) const {
  const auto ax = m_sheet->Axis(a);
  if (ax.Uniform()) return static_cast<long long>(ax.Count()) * ax.DefaultSize() <= avail;
  long long sum = 0;
  for (int i = 0; i < ax.Count(); ++i) {
    sum += ax.Size(i);
    if (sum > avail) return false;
  }
  return true;
}

// The sizes of the two bars and of the tab strip for a client area of W x H:
// a bar only where the parts do not fit, each bar taking room from the other
// direction.
void CGridCore::BarSizesFor(int W, int H, int& vb, int& hb, int& tw) const {
  const CGridSheetState& s = *m_sheet;
  auto rowsFit = [&](int avail) { return PartsFit(GridAxis::kRows, avail); };
  auto colsFit = [&](int avail) { return PartsFit(GridAxis::kCols, avail); };

  bool colsOk = colsFit(W - s.m_sideHeadWidth);
  bool rowsOk = rowsFit(H - s.m_topHeadHeight);
  bool needH = s.m_tabWidth > 0 || !colsOk;
  bool needV = !rowsOk;
  if (needV && !needH) {
    colsOk = colsFit(W - s.m_sideHeadWidth - s.m_vbarWidth);
    needH = !colsOk;
  }
  if (needH && !needV) {
    rowsOk = rowsFit(H - s.m_topHeadHeight - s.m_hbarHeight);
    needV = !rowsOk;
    if (needV) colsOk = colsFit(W - s.m_sideHeadWidth - s.m_vbarWidth);
  }
  vb = needV ? s.m_vbarWidth : 0;
  hb = needH || s.m_tabWidth > 0 ? s.m_hbarHeight : 0;
  tw = s.m_tabWidth;
  if (tw > 0) tw = colsOk ? W + 6 : std::min(tw, std::max(0, W - vb));
}

// Lays the parts out again when the bars laid out no longer match what the
// parts need: a grid filled or emptied after it was shown, a part sized.
// Repainting stays the caller's choice.
void CGridCore::RelayoutIfBarsChanged() {
  const CGridSheetState& s = *m_sheet;
  if (!s.m_created) return;
  int W = 0, H = 0, vb = 0, hb = 0, tw = 0;
  ViewClientSize(W, H);
  BarSizesFor(W, H, vb, hb, tw);
  if (vb == std::max(0, s.m_rcVBar.Width()) && hb == std::max(0, s.m_rcHBar.Height()) &&
      tw == std::max(0, s.m_rcTabs.Width()))
    return;
  const int paint = m_paint;
  m_paint = 0;
  LayoutParts();
  m_paint = paint;
}

void CGridCore::LayoutParts() {
  CGridSheetState& s = *m_sheet;
  int W = 0, H = 0;
  ViewClientSize(W, H);
  int vb = 0, hb = 0, tw = 0;
  BarSizesFor(W, H, vb, hb, tw);

  const int sw = s.m_sideHeadWidth, th = s.m_topHeadHeight;
  CRect cells(sw, th, W - vb, H - hb);
  CRect top(sw, 0, W - vb, th);
  CRect side(0, th, sw, H - hb);
  CRect corner(0, 0, sw, th);
  CRect vbar(W - vb, 0, W, H - hb);
  CRect hbar(tw, H - hb, W - vb, H);
  CRect tabs(0, H - hb, tw, H);
  OnLayoutParts(&cells, &top, &side, &corner, &vbar, &hbar, &tabs);
  s.m_rcCells = cells;
  s.m_rcTop = top;
  s.m_rcSide = side;
  s.m_rcCorner = corner;
  s.m_rcVBar = vbar;
  s.m_rcHBar = hbar;
  s.m_rcTabs = tabs;
  s.m_cellAreaWidth = std::max(0, cells.Width());
  s.m_cellAreaHeight = std::max(0, cells.Height());

  bool relayout = false;
  if (s.m_created) {
    ViewMoveChildren();
    int oldMax = s.m_maxTopRow;
    RecalcMaxTopRow();
    RecalcMaxLeftCol();
    RecalcViewEnds();
    relayout = (oldMax == 0) != (s.m_maxTopRow == 0);
    UpdateScrollBars();
    if (m_paint) ViewRepaintAll();
  }
  s.m_prevTopRow = s.m_topRow;
  s.m_prevLeftCol = s.m_leftCol;
  if (relayout && m_layoutDepth < 2) {
    ++m_layoutDepth;
    LayoutParts();
    --m_layoutDepth;
  }
}

void CGridCore::RecalcMaxTopRow() {
  RecalcMaxFirst(GridAxis::kRows);
}

void CGridCore::RecalcMaxLeftCol() {
  RecalcMaxFirst(GridAxis::kCols);
}

// The largest first part that still fills the view: going back from the
// last part until the parts no longer fit below the locked ones.
void CGridCore::RecalcMaxFirst(GridAxis a) {
  const auto ax = m_sheet->Axis(a);
  int rem = ax.Extent() - ax.LockedSize();
  int i = ax.Count() - 1;
  if (ax.Uniform()) {
    int h = std::max(1, ax.DefaultSize());
    int fit = std::max(0, rem) / h;  // whole parts that fit beside the locked ones
    i = ax.Count() - 1 - fit;
  } else {
    while (i >= ax.Locked()) {
      rem -= ax.Size(i);
      if (rem < 0) break;
      --i;
    }
  }
  const int maxFirst = std::max(std::min(i + 1, ax.Count() - 1), ax.Locked());
  ax.MaxFirst() = maxFirst;
  if (ax.First() > maxFirst) ax.First() = maxFirst;
  if (ax.First() < ax.Locked()) ax.First() = ax.Locked();
}

void CGridCore::RecalcViewEnds() {
  RecalcViewEnd(GridAxis::kCols);
  RecalcViewEnd(GridAxis::kRows);
}

void CGridCore::RecalcViewEnd(GridAxis a) {
  const auto ax = m_sheet->Axis(a);
  int pos = ax.LockedSize();
  int i = ax.First();
  if (ax.Uniform()) {
    int h = std::max(1, ax.DefaultSize());
    i = std::min(ax.Count(), ax.First() + (std::max(0, ax.Extent() - pos) + h - 1) / h);
  } else {
    while (i < ax.Count() && pos < ax.Extent()) pos += ax.Size(i++);
  }
  ax.End() = i;
}

void CGridCore::UpdateScrollBars() {
  CGridSheetState& s = *m_sheet;
  // Vertical bar.
  if (s.m_maxTopRow != m_vbarLastMax || s.m_lockedRows != m_vbarLastLocked) {
    m_vbar =
        GridComputeVertBar(s.m_maxTopRow, s.m_lockedRows, s.m_cellAreaHeight, s.m_defRowHeight);
    m_vbarLastMax = s.m_maxTopRow;
    m_vbarLastLocked = s.m_lockedRows;
  }
  if (s.m_topRow != m_vbarLastTop) {
    int old = m_vbarLastTop;
    m_vbarLastTop = s.m_topRow;
    m_vbarPos = GridVertBarPosForRow(m_vbar, s.m_topRow);
    OnViewScrolled(kSectionVertBar, old, s.m_topRow);
  }
  // Horizontal bar.
  if (s.m_maxLeftCol != m_hbarLastMax || s.m_lockedCols != m_hbarLastLocked) {
    m_hbar = GridComputeHorzBar(s.m_maxLeftCol, s.m_lockedCols, s.m_cellAreaWidth, s.m_lockedWidth,
                                s.m_defColWidth);
    m_hbarLastMax = s.m_maxLeftCol;
    m_hbarLastLocked = s.m_lockedCols;
  }
  if (s.m_leftCol != m_hbarLastLeft) {
    int old = m_hbarLastLeft;
    m_hbarLastLeft = s.m_leftCol;
    m_hbarPos = s.m_leftCol - s.m_lockedCols;
    OnViewScrolled(kSectionHorzBar, old, s.m_leftCol);
  }
  ViewApplyScrollBars();
}

void CGridCore::HandleVScroll(int code, int pos) {
  HandleScroll(GridAxis::kRows, code, pos);
}

void CGridCore::HandleHScroll(int code, int pos) {
  HandleScroll(GridAxis::kCols, code, pos);
}

void CGridCore::HandleScroll(GridAxis a, int code, int pos) {
  CGridSheetState& s = *m_sheet;
  ViewFocusCellArea();
  s.m_mouseMode = GridMouseMode::kScroll;
  switch (code) {
    case SB_LINEUP: (void)StepViewAlong(a, kStepBack); break;
    case SB_LINEDOWN: (void)StepViewAlong(a, kStepForward); break;
    case SB_PAGEUP: (void)StepViewAlong(a, kStepPageBack); break;
    case SB_PAGEDOWN: (void)StepViewAlong(a, kStepPageForward); break;
    case SB_THUMBPOSITION:
      // The vertical bar may work on a scale of its own; the horizontal one
      // counts the scrolled columns.
      (void)ScrollAlong(
          a, a == GridAxis::kRows ? GridVertBarRowForPos(m_vbar, pos) : s.m_lockedCols + pos);
      break;
    case SB_THUMBTRACK: break;  // thumb tracking is off: only the release scrolls
    case SB_TOP: (void)StepViewAlong(a, kStepFirst); break;
    case SB_BOTTOM: (void)StepViewAlong(a, kStepLast); break;
    default: break;
  }
  s.m_mouseMode = GridMouseMode::kIdle;
}

// ---------------------------------------------------------------------------
// Geometry of cells

int CGridCore::ColLeft(int col) const {
  return PartOffset(GridAxis::kCols, col);
}

int CGridCore::RowTop(int row) const {
  return PartOffset(GridAxis::kRows, row);
}

int CGridCore::PartOffset(GridAxis a, int index) const {
  const auto ax = m_sheet->Axis(a);
  if (index < 0 || index >= ax.Count()) return -1;
  // Far beyond the cell area the exact distance no longer matters; the
  // bound keeps the sum in range.
  constexpr long long kFar = 1 << 30;
  long long pos = 0;
  if (index < ax.Locked()) {
    for (int i = 0; i < index; ++i) pos += ax.Size(i);
    return static_cast<int>(pos);
  }
  if (index < ax.First()) return -1;
  pos = ax.LockedSize();
  if (ax.Uniform()) {
    pos += static_cast<long long>(index - ax.First()) * ax.DefaultSize();
    return static_cast<int>(std::min(pos, kFar));
  }
  for (int i = ax.First(); i < index && pos < kFar; ++i) pos += ax.Size(i);
  return static_cast<int>(std::min<long long>(pos, std::numeric_limits<int>::max()));
}

std::vector<std::pair<int, int>> CGridCore::VisibleColumns() const {
  return VisibleParts(GridAxis::kCols);
}

std::vector<std::pair<int, int>> CGridCore::VisibleRows() const {
  return VisibleParts(GridAxis::kRows);
}

std::vector<std::pair<int, int>> CGridCore::VisibleParts(GridAxis a) const {
  const auto ax = m_sheet->Axis(a);
  std::vector<std::pair<int, int>> out;
  int pos = 0;
  auto add = [&](int i) {
    if (ax.Size(i) > 0) out.emplace_back(i, pos);
    pos += ax.Size(i);
  };
  for (int i = 0; i < ax.Locked() && pos < ax.Extent(); ++i) add(i);
  for (int i = ax.First(); i < ax.Count() && pos < ax.Extent(); ++i) add(i);
  return out;
}

int CGridCore::DistanceBetween(GridAxis a, int from, int to, int limit) const {
  const auto ax = m_sheet->Axis(a);
  long long d = 0;
  for (int i = std::min(from, to); i < std::max(from, to) && d <= limit; ++i) d += ax.Size(i);
  d = std::min<long long>(d, std::numeric_limits<int>::max());
  return static_cast<int>(from < to ? d : -d);
}

bool CGridCore::PartSpan(GridAxis a, int index, int& pos, int& size) const {
  const auto ax = m_sheet->Axis(a);
  if (index < 0) {
    // Heading parts from the outermost (-count) in to -1 next to the cells.
    if (!ax.IsHeadingIndex(index)) return false;
    pos = 0;
    for (int i = -ax.HeadingCount(); i < index; ++i) pos += ax.PartSize(i);
    size = ax.PartSize(index);
    return true;
  }
  pos = PartOffset(a, index);
  size = ax.Size(index);
  return pos >= 0;
}

CRect CGridCore::CellAreaRectOfCell(int col, int row) const {
  int x = ColLeft(col), y = RowTop(row);
  if (x < 0 || y < 0) return CRect();
  return CRect(x, y, x + m_sheet->ColWidth(col), y + m_sheet->RowHeight(row));
}

int CGridCore::GetCellRectangle(int col, int row, CRect& rect) {
  int c1 = col, r1 = row, c2 = col, r2 = row;
  if (GetJoinBlock(col, row, c1, r1, c2, r2)) return GetBlockRect(c1, r1, c2, r2, rect);
  // Data cells in the cell area, heading cells in their heading; the corner
  // has no cells.
  int x = 0, w = 0, y = 0, h = 0;
  if ((col < 0 && row < 0) || !PartSpan(GridAxis::kCols, col, x, w) ||
      !PartSpan(GridAxis::kRows, row, y, h)) {
    rect = CRect();
    return kGridOutOfRange;
  }
  rect = CRect(x, y, x + w, y + h);
  return kGridOk;
}

int CGridCore::GetBlockRect(int col1, int row1, int col2, int row2, CRect& rect) {
  const CGridSheetState& s = *m_sheet;
  // The block's left and top come from its first visible cell.
  auto firstShown = [&](GridAxis a, int from, int to) {
    int i = from;
    while (i <= to && PartOffset(a, i) < 0 && i >= 0) ++i;
    return i;
  };
  const int c = firstShown(GridAxis::kCols, col1, col2);
  const int r = firstShown(GridAxis::kRows, row1, row2);
  if (c > col2 || r > row2) return kGridOutOfRange;
  int x1 = col1 < 0 ? 0 : ColLeft(c);
  int y1 = row1 < 0 ? 0 : RowTop(r);
  if (col1 < 0 || row1 < 0) {
    // Heading blocks: measure within the heading. The first cell is measured
    // on its own; through its block it would lead straight back here.
    CRect first;
    const int joins = m_sheet->m_opt.joinCells;
    m_sheet->m_opt.joinCells = 0;
    const int found = GetCellRectangle(col1 < 0 ? col1 : c, row1 < 0 ? row1 : r, first);
    m_sheet->m_opt.joinCells = joins;
    if (found != kGridOk) return kGridOutOfRange;
    x1 = first.left;
    y1 = first.top;
  }
  auto extent = [&](GridAxis a, int from, int to) {
    const auto ax = s.Axis(a);
    int sum = 0;
    for (int i = from; i <= to; ++i) sum += ax.PartSize(i);
    return sum;
  };
  rect = CRect(x1, y1, x1 + extent(GridAxis::kCols, std::max(c, col1), col2),
               y1 + extent(GridAxis::kRows, std::max(r, row1), row2));
  return kGridOk;
}

int CGridCore::HitTestCellNoMerge(int x, int y, int& col, int& row, CRect& rect) {
  int keep = m_sheet->m_opt.joinCells;
  m_sheet->m_opt.joinCells = 0;
  int r = HitTestCell(x, y, col, row, rect);
  m_sheet->m_opt.joinCells = keep;
  return r;
}

int CGridCore::HitTestCell(int x, int y, int& col, int& row) {
  CRect rect;
  return HitTestCell(x, y, col, row, rect);
}

int CGridCore::PartAt(GridAxis a, int pos) const {
  const auto ax = m_sheet->Axis(a);
  int start = 0;
  for (int i = 0; i < ax.Locked(); ++i) {
    const int size = ax.Size(i);
    if (pos >= start && pos < start + size) return i;
    start += size;
  }
  if (ax.Uniform()) {
    const int h = std::max(1, ax.DefaultSize());
    const long long i = ax.First() + (pos - start) / h;
    return pos >= start && i < ax.Count() ? static_cast<int>(i) : -1;
  }
  for (int i = ax.First(); i < ax.Count() && start <= pos; ++i) {
    const int size = ax.Size(i);
    if (pos >= start && pos < start + size) return i;
    start += size;
  }
  return -1;
}

int CGridCore::HitTestCell(int x, int y, int& col, int& row, CRect& rect) {
  const CGridSheetState& s = *m_sheet;
  col = row = -1;
  if (x < 0 || y < 0 || x >= s.m_cellAreaWidth || y >= s.m_cellAreaHeight) return kGridOutOfRange;
  const int hitCol = PartAt(GridAxis::kCols, x);
  const int hitRow = PartAt(GridAxis::kRows, y);
  if (hitCol < 0 || hitRow < 0) return kGridOutOfRange;
  col = hitCol;
  row = hitRow;
  int c1, r1, c2, r2;
  if (GetJoinBlock(col, row, c1, r1, c2, r2)) {
    col = c1;
    row = r1;
    (void)GetBlockRect(c1, r1, c2, r2, rect);  // the block is on screen: its cell was hit
  } else {
    rect = CellAreaRectOfCell(col, row);
  }
  return kGridOk;
}

// ---------------------------------------------------------------------------
// Fitting

int CGridCore::FitColumnsToContent(int col1, int col2, int rows, int flags) {
  CGridSheetState& s = *m_sheet;
  if (col1 < -s.m_sideHeadCols) return kGridFitBadFirst;
  if (col2 >= s.m_colCount) return kGridFitBadLast;
  if (col2 < col1) return kGridFitReversed;
  int available = s.m_cellAreaWidth > 0 ? s.m_cellAreaWidth - s.m_vbarWidth : 300;
  // The rows examined: heading rows, the locked rows, then from the top row.
  std::vector<int> examined;
  auto want = [&]() { return rows <= 0 || static_cast<int>(examined.size()) < rows; };
  if (flags & 1)
    for (int r = -s.m_topHeadRows; r <= -1 && want(); ++r) examined.push_back(r);
  for (int r = 0; r < s.m_lockedRows && want(); ++r) examined.push_back(r);
  for (int r = s.m_topRow; r < s.m_rowCount && want(); ++r) examined.push_back(r);
  int sideSum = 0;
  bool side = false;
  CGridCellValue cell;
  for (int c = col1; c <= col2; ++c) {
    int best = 3;
    for (int r : examined) {
      if (c < 0 && r < 0) continue;  // the corner has no cells
      GetCell(c, r, cell);
      if (cell.GridCellHasFlag(GridProp::Join)) continue;
      best = std::max(best, MeasureCellWidth(c, r, cell));
    }
    int width = best <= available ? best + 2 : available;
    if (c < 0) {
      s.m_sideHeadWidths[static_cast<std::size_t>(-c - 1)] = width;
      side = true;
      continue;
    }
    CellTypeAdjustSize(GridAxis::kCols, c, width);
    OnColWidthSet(c, &width);
    s.m_cols[static_cast<std::size_t>(c)].width = std::max(0, width);
  }
  if (side) {
    for (int w : s.m_sideHeadWidths) sideSum += w;
    s.m_sideHeadWidth = std::min(sideSum, kMaxSize);
  }
  RecalcLockedSizes();
  LayoutParts();
  return kGridOk;
}

int CGridCore::FitColumnsToWindow(int col1, int col2) {
  CGridSheetState& s = *m_sheet;
  if (col1 < 0 || col2 >= s.m_colCount || col2 < col1) return kGridOutOfRange;
  long long total = 0;
  for (int c = col1; c <= col2; ++c) total += s.ColWidth(c);
  const int area = s.m_cellAreaWidth;
  int used = 0;
  const int n = col2 - col1 + 1;
  for (int c = col1; c < col2; ++c) {
    // Columns of no width share the area equally.
    float share = total > 0 ? static_cast<float>(area) / static_cast<float>(total) *
                                  static_cast<float>(s.ColWidth(c))
                            : static_cast<float>(area) / static_cast<float>(n);
    int w = static_cast<int>(share);
    s.m_cols[static_cast<std::size_t>(c)].width = w;
    used += w;
  }
  s.m_cols[static_cast<std::size_t>(col2)].width = std::max(0, area - used);
  RecalcLockedSizes();
  LayoutParts();
  return kGridOk;
}
