#include "grid/gridcore.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "grid/gridsort.h"
#include "grid/selection.h"
#include "platform/text.h"

using namespace gridlimits;
using namespace gridscroll;

namespace {
// Virtual keys of the navigation.
enum {
  kKeyPrior = 0x21,
  kKeyNext = 0x22,
  kKeyEnd = 0x23,
  kKeyHome = 0x24,
  kKeyLeft = 0x25,
  kKeyUp = 0x26,
  kKeyRight = 0x27,
  kKeyDown = 0x28
};
// Find dialog flags.
enum : unsigned {
  FR_DOWN = 0x1,
  FR_WHOLEWORD = 0x2,
  FR_MATCHCASE = 0x4,
  FR_REPLACE = 0x10,
  FR_REPLACEALL = 0x20,
  FR_DIALOGTERM = 0x40
};
constexpr int kWheelDelta = 120;
}  // namespace

// ---------------------------------------------------------------------------
// Sheet state

CGridSheetState::CGridSheetState(int vbarWidth, int hbarHeight)
    : m_vbarWidth(vbarWidth),
      m_hbarHeight(hbarHeight),
      m_memSource(std::make_unique<CGridMemDataSource>()) {
  m_gridDefault.GridCellSetFlags(0);
  m_headingDefault.GridCellSetFlags(0);
  m_headingDefault.GridCellSetBackColor(GetSysColor(COLOR_BTNFACE));
  m_headingDefault.GridCellSetBorder(0x2000);
  m_headingDefault.GridCellSetAlignment(kAlignCenter | kAlignVCenter);
  m_dataSource = m_memSource.get();
  m_selection = std::make_unique<CGridSelectionSet>();
}

CGridSheetState::~CGridSheetState() = default;

int CGridSheetState::RowHeight(int row) const {
  if (row < 0 || row >= m_rowCount) return 0;
  if (m_uniform) return m_defRowHeight;
  return m_rowHeights[static_cast<std::size_t>(row)];
}

int CGridSheetState::ColWidth(int col) const {
  if (col < 0 || col >= m_colCount) return 0;
  return m_cols[static_cast<std::size_t>(col)].width;
}

// ---------------------------------------------------------------------------
// Construction

CGridCore::CGridCore() {
  SetSheetTotal(1);
  RecreatePens();
  RegisterCellType(&m_normalType);
  RegisterCellType(&m_dropListType);
  RegisterCellType(&m_checkBoxType);
  RegisterCellType(&m_sideArrowsType);
}

void CGridCore::RecreatePens() {
  m_defaultPen.CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
  m_gridLinePen.CreatePen(PS_SOLID, 1, m_sheet->m_gridLineColor);
  m_highlightPen.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
  m_shadowPen.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
}

const CGridDrawOptions& CGridCore::GetDrawOptions() {
  const GridSheetOptions& o = m_sheet->m_opt;
  m_drawOptions.textOverflow = o.overflowEdit;
  m_drawOptions.gridLines = o.gridLines;
  m_drawOptions.threeDWidth = o.frame3dWidth;
  m_drawOptions.highlightCurrent = o.currentHighlight;
  m_drawOptions.cellMargin = o.cellMargin;
  m_drawOptions.multipleSelection = o.multiSelect;
  return m_drawOptions;
}

bool CGridCore::IsEditing(int* col, int* row) {
  if (m_editing) {
    if (col) *col = m_editCol;
    if (row) *row = m_editRow;
  }
  return m_editing != 0;
}

void CGridCore::RepaintCell(int col, int row) {
  if (m_paint && IsCreated()) ViewRepaintCell(col, row);
}

void CGridCore::RepaintRow(int row) {
  if (m_paint && IsCreated()) ViewRepaintRow(row);
}

void CGridCore::RepaintRange(int col1, int row1, int col2, int row2) {
  if (!m_paint || !IsCreated()) return;
  for (int r = row1; r <= row2; ++r)
    for (int c = col1; c <= col2; ++c) ViewRepaintCell(c, r);
}

void CGridCore::RepaintAll() {
  if (m_paint && IsCreated()) ViewRepaintAll();
}

int CGridCore::FindPrevNonEmptyCell(int& col, int row) {
  CGridDataSource* ds = ColumnSource(col);
  if (!ds) return 1;
  int dataCol = GetColumnMapping(col);
  if (ds->FindPrevNonEmptyCell(dataCol, row) != 0) return 1;
  for (int c = 0; c < m_sheet->m_colCount; ++c) {
    if (m_sheet->m_cols[static_cast<std::size_t>(c)].dataCol == dataCol) {
      col = c;
      return 0;
    }
  }
  col = dataCol;
  return 0;
}

int CGridCore::RegisterCellType(CNormalCellType* type) {
  if (!type) return -1;
  m_cellTypes.push_back(type);
  int index = static_cast<int>(m_cellTypes.size()) - 1;
  type->SetGrid(this);
  type->SetTypeIndex(index);
  return index;
}

CNormalCellType* CGridCore::GetCellTypeObject(int index) {
  if (index > 0 && index < static_cast<int>(m_cellTypes.size()) &&
      m_cellTypes[static_cast<std::size_t>(index)])
    return m_cellTypes[static_cast<std::size_t>(index)];
  return &m_normalType;
}

CGridCore::~CGridCore() = default;

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
// the view is limited with its notification and a grid without a current
// part gets one.
int CGridCore::CountChanged(GridAxis a, int redraw) {
  const auto ax = m_sheet->Axis(a);
  const int count = ax.Count();
  if (ax.First() < ax.Locked()) ax.First() = ax.Locked();
  if (ax.Current() >= count) ax.Current() = ax.PrevCurrent() = count - 1;
  if (ax.Target() >= count) ax.Target() = count - 1;
  RecalcLockedSizes();
  const int oldFirst = ax.First();
  RecalcMaxFirst(a);
  if (ax.First() != oldFirst) {
    NotifyFirstChanged(a, oldFirst, ax.First());
    ax.PrevFirst() = ax.First();
    UpdateScrollBars();
  }
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

void CGridCore::LayoutParts() {
  CGridSheetState& s = *m_sheet;
  const int keepV = s.m_vbarWidth, keepH = s.m_hbarHeight, keepTab = s.m_tabWidth;
  int W = 0, H = 0;
  ViewClientSize(W, H);

  auto rowsFit = [&](int avail) { return PartsFit(GridAxis::kRows, avail); };
  auto colsFit = [&](int avail) { return PartsFit(GridAxis::kCols, avail); };

  bool colsOk = colsFit(W - s.m_sideHeadWidth);
  bool rowsOk = rowsFit(H - s.m_topHeadHeight);
  bool needH = s.m_tabWidth > 0 || !colsOk;
  bool needV = !rowsOk;
  // One bar takes room from the other direction.
  if (needV && !needH) {
    colsOk = colsFit(W - s.m_sideHeadWidth - s.m_vbarWidth);
    needH = !colsOk;
  }
  if (needH && !needV) {
    rowsOk = rowsFit(H - s.m_topHeadHeight - s.m_hbarHeight);
    needV = !rowsOk;
    if (needV) colsOk = colsFit(W - s.m_sideHeadWidth - s.m_vbarWidth);
  }
  if (!needV) s.m_vbarWidth = 0;
  if (!needH && s.m_tabWidth <= 0) s.m_hbarHeight = 0;
  if (s.m_tabWidth > 0) {
    if (colsOk)
      s.m_tabWidth = W + 6;
    else
      s.m_tabWidth = std::min(s.m_tabWidth, std::max(0, W - s.m_vbarWidth));
  }

  const int vb = s.m_vbarWidth, hb = s.m_hbarHeight, tw = s.m_tabWidth;
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
  s.m_vbarWidth = keepV;
  s.m_hbarHeight = keepH;
  s.m_tabWidth = keepTab;
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
  s.m_mouseMode = kMouseScroll;
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
  s.m_mouseMode = kMouseIdle;
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
    // Heading blocks: measure within the heading.
    CRect first;
    if (GetCellRectangle(col1 < 0 ? col1 : c, row1 < 0 ? row1 : r, first) != kGridOk)
      return kGridOutOfRange;
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
  if (x < 0 || y < 0 || x >= s.m_cellAreaWidth || y >= s.m_cellAreaHeight) return 1;
  const int hitCol = PartAt(GridAxis::kCols, x);
  const int hitRow = PartAt(GridAxis::kRows, y);
  if (hitCol < 0 || hitRow < 0) return 1;
  col = hitCol;
  row = hitRow;
  int c1, r1, c2, r2;
  if (GetJoinBlock(col, row, c1, r1, c2, r2)) {
    col = c1;
    row = r1;
    GetBlockRect(c1, r1, c2, r2, rect);
  } else {
    rect = CellAreaRectOfCell(col, row);
  }
  return 0;
}

// ---------------------------------------------------------------------------
// Moves

namespace {
// The cell at `index` along `a` and `across` along the other axis.
void CellAt(GridAxis a, int index, int across, int& col, int& row) {
  col = a == GridAxis::kCols ? index : across;
  row = a == GridAxis::kCols ? across : index;
}
}  // namespace

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
  if (a == GridAxis::kCols && ds && ds->CanMoveCurrent(s.m_curCol, s.m_curRow, col, row) != 1)
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
  if (ds && ds->CanMoveCurrent(s.m_curCol, s.m_curRow, col, r) != 1) return kGridRefused;
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
  // Cells that came into view at the right or bottom edge, and the current cell.
  if (s.m_rightCol != oldRight && s.m_rightCol > 0 && s.m_rightCol - 1 < s.m_colCount)
    CellTypeScrolled(s.m_rightCol - 1, row);
  if (s.m_bottomRow != oldBottom && s.m_bottomRow > 0 && s.m_bottomRow - 1 < s.m_rowCount)
    CellTypeScrolled(col, s.m_bottomRow - 1);
  if (col >= 0 && row >= 0) CellTypeScrolled(col, row);
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
  s.m_mouseMode = kMouseScroll;
  (void)ScrollToRow(s.m_topRow - notches * 3);
  s.m_mouseMode = kMouseIdle;
  return notches;
}

// ---------------------------------------------------------------------------
// Hooks by axis

int CGridCore::NotifyBeforeResize(GridAxis a, int index) {
  return a == GridAxis::kCols ? OnBeforeColResize(index) : OnBeforeRowResize(index);
}

void CGridCore::NotifySizeDragging(GridAxis a, int index, int* size) {
  if (a == GridAxis::kCols)
    OnColWidthDragging(index, size);
  else
    OnRowHeightDragging(index, size);
}

void CGridCore::NotifySizeSet(GridAxis a, int index, int* size) {
  if (a == GridAxis::kCols)
    OnColWidthSet(index, size);
  else
    OnRowHeightSet(index, size);
}

int CGridCore::NotifyBeforeHeadingResize(GridAxis a) {
  return a == GridAxis::kCols ? OnBeforeSideHeadingResize() : OnBeforeTopHeadingResize();
}

bool CGridCore::NotifyHeadingDragging(GridAxis a, int* total) {
  if (a == GridAxis::kRows) return OnTopHeadingDragging(total) == 1;
  (void)OnSideHeadingDragging(total);
  return true;
}

void CGridCore::NotifyHeadingSizeSet(GridAxis a, int* total) {
  if (a == GridAxis::kCols)
    (void)OnSideHeadingWidthSet(total);
  else
    (void)OnTopHeadingHeightSet(total);
}

// ---------------------------------------------------------------------------
// Cells

CGridDataSource* CGridCore::ColumnSource(int col) {
  CGridSheetState& s = *m_sheet;
  if (col >= 0 && col < s.m_colCount && s.m_cols[static_cast<std::size_t>(col)].source)
    return s.m_cols[static_cast<std::size_t>(col)].source;
  return s.m_dataSource;
}

int CGridCore::GetColumnMapping(int col) const {
  const CGridSheetState& s = *m_sheet;
  if (col < 0 || col >= s.m_colCount) return col;
  return s.m_cols[static_cast<std::size_t>(col)].dataCol;
}

int CGridCore::GetCell(int col, int row, CGridCellValue& cell) {
  CGridSheetState& s = *m_sheet;
  cell.GridCellSetFlags(0);
  if (col < 0 || row < 0 || col >= s.m_colCount)
    cell.GridCellMergeFrom(s.m_headingDefault);
  else
    cell.GridCellMergeFrom(*s.m_cols[static_cast<std::size_t>(col)].defaultCell);
  if (row >= s.m_rowCount) return kGridOk;
  if (CGridDataSource* ds = ColumnSource(col)) ds->GetCell(GetColumnMapping(col), row, cell);
  OnCellFetched(col, row, &cell);
  if (cell.GridCellHasFlag(GridProp::Hook) && cell.GridCellGetHook())
    cell.GridCellGetHook()->AdjustCell(cell);
  if (cell.GridCellHasFlag(GridProp::StyleCell) && cell.GridCellGetStyleCell())
    cell.GridCellMergeFrom(*cell.GridCellGetStyleCell());
  return kGridOk;
}

int CGridCore::GetCellRaw(int col, int row, CGridCellValue& cell) {
  cell.GridCellSetFlags(0);
  CGridDataSource* ds = ColumnSource(col);
  if (!ds) return kGridOutOfRange;
  return ds->GetCell(GetColumnMapping(col), row, cell) == 0 ? kGridOk : kGridOutOfRange;
}

int CGridCore::SetCell(int col, int row, const CGridCellValue& cell) {
  CGridSheetState& s = *m_sheet;
  if (col < -s.m_sideHeadCols || col >= s.m_colCount || row < -s.m_topHeadRows ||
      row >= s.m_rowCount)
    return kGridOutOfRange;
  CGridCellValue copy(cell);
  OnCellStoring(col, row, &copy);
  CGridDataSource* ds = ColumnSource(col);
  if (!ds) return kGridRefused;
  return ds->SetCell(GetColumnMapping(col), row, copy) == 0 ? kGridOk : kGridRefused;
}

std::optional<std::string> CGridCore::GetCellText(int col, int row) {
  CGridCellValue cell;
  GetCell(col, row, cell);
  const std::string* t = cell.GridCellGetText();
  if (!t) return std::nullopt;
  return *t;
}

int CGridCore::SetCellText(int col, int row, std::string_view text) {
  CGridCellValue cell;
  GetCellRaw(col, row, cell);
  cell.GridCellSetText(text);
  return SetCell(col, row, cell);
}

int CGridCore::SetCellLabel(int col, int row, std::string_view text) {
  CGridCellValue cell;
  GetCellRaw(col, row, cell);
  cell.GridCellSetLabel(text);
  return SetCell(col, row, cell);
}

int CGridCore::SetCellTypeIndex(int col, int row, int index) {
  CGridCellValue cell;
  GetCellRaw(col, row, cell);
  cell.GridCellSetCellType(index);
  return SetCell(col, row, cell);
}

void CGridCore::SetDefaultCell(const CGridCellValue& cell) {
  m_sheet->m_gridDefault = cell;
}
void CGridCore::GetDefaultCell(CGridCellValue& cell) const {
  cell = m_sheet->m_gridDefault;
}
void CGridCore::SetDefaultHeadingCell(const CGridCellValue& cell) {
  m_sheet->m_headingDefault = cell;
}
void CGridCore::GetDefaultHeadingCell(CGridCellValue& cell) const {
  cell = m_sheet->m_headingDefault;
}

int CGridCore::MergeCells(int col1, int row1, int col2, int row2) {
  CGridSheetState& s = *m_sheet;
  if (col2 < col1 || row2 < row1) return kGridOutOfRange;
  if (col1 < -s.m_sideHeadCols || row1 < -s.m_topHeadRows || col2 >= s.m_colCount ||
      row2 >= s.m_rowCount)
    return kGridOutOfRange;
  CGridCellValue cell;
  for (int r = row1; r <= row2; ++r) {
    for (int c = col1; c <= col2; ++c) {
      GetCellRaw(c, r, cell);
      cell.GridCellSetMergeInfo(0, -(c - col1), -(r - row1));
      SetCell(c, r, cell);
    }
  }
  GetCellRaw(col1, row1, cell);
  cell.GridCellSetMergeInfo(1, col2 - col1, row2 - row1);
  SetCell(col1, row1, cell);
  return kGridOk;
}

void CGridCore::ShiftColumnMapping(const CGridDataSource* source, int fromDataCol, int delta) {
  for (GridColumnInfo& c : m_sheet->m_cols) {
    CGridDataSource* src = c.source ? c.source : m_sheet->m_dataSource;
    if (src == source && c.dataCol >= fromDataCol) c.dataCol += delta;
  }
}

// ---------------------------------------------------------------------------
// Registries

int CGridCore::RegisterFont(const char* face, int height, int weight) {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWeight = weight;
  // Longer names than a face name holds are dropped rather than cut short.
  std::string name = face ? face : "";
  if (name.size() >= static_cast<std::size_t>(kMaxFaceName)) name.clear();
  fw::SetFaceName(lf, name);
  return RegisterFont(lf);
}

int CGridCore::RegisterFont(const LOGFONT& in) {
  LOGFONT lf = in;
  if (strnlen(lf.lfFaceName, LF_FACESIZE) >= static_cast<std::size_t>(kMaxFaceName))
    std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
  for (std::size_t i = 0; i < m_fonts.size(); ++i) {
    FontEntry& e = m_fonts[i];
    if (!e.font) continue;
    if (std::memcmp(&e.lf, &lf, offsetof(LOGFONT, lfFaceName)) == 0 &&
        std::strncmp(e.lf.lfFaceName, lf.lfFaceName, LF_FACESIZE) == 0) {
      ++e.uses;
      return static_cast<int>(i);
    }
  }
  auto font = std::make_unique<CFont>();
  font->CreateFontIndirect(&lf);
  for (std::size_t i = 0; i < m_fonts.size(); ++i) {
    if (!m_fonts[i].font) {
      m_fonts[i] = FontEntry{std::move(font), lf, 1};
      return static_cast<int>(i);
    }
  }
  m_fonts.push_back(FontEntry{std::move(font), lf, 1});
  return static_cast<int>(m_fonts.size() - 1);
}

CFont* CGridCore::GetFont(int index) {
  if (index < 0 || index >= static_cast<int>(m_fonts.size())) return nullptr;
  return m_fonts[static_cast<std::size_t>(index)].font.get();
}

int CGridCore::SetDefaultFont(int index) {
  CFont* f = GetFont(index);
  if (!f) return kGridOutOfRange;
  m_sheet->m_defaultFont = f;
  return kGridOk;
}

int CGridCore::RegisterDataSource(CGridDataSource* source) {
  if (!source) return -1;
  int count = static_cast<int>(m_sources.size()) - 1;
  if (count >= kMaxDataSources) return -1;
  m_sources.push_back(source);
  int index = static_cast<int>(m_sources.size()) - 1;
  source->SetGrid(this);
  source->SetID(index);
  return index;
}

int CGridCore::SetDefaultDataSource(int index) {
  int count = static_cast<int>(m_sources.size()) - 1;
  if (index < 0 || index > count) return kGridOutOfRange;
  CGridSheetState& s = *m_sheet;
  CGridDataSource* src =
      index == 0 ? s.m_memSource.get() : m_sources[static_cast<std::size_t>(index)];
  s.m_defaultSourceIndex = index;
  s.m_dataSource = src;
  for (GridColumnInfo& c : s.m_cols) c.source = src;
  return kGridOk;
}

// ---------------------------------------------------------------------------
// Sheets

int CGridCore::SetSheetTotal(int count) {
  if (count < 1 || count > kMaxSheets) return kGridOutOfRange;
  const int old = static_cast<int>(m_sheets.size());
  // Leave a sheet that is about to go before destroying it, so nothing keeps
  // pointing at it.
  if (old > 0 && m_sheetIndex >= count) SelectSheet(count - 1, 1);
  if (count < old) m_sheets.resize(static_cast<std::size_t>(count));
  const int keepIndex = m_sheetIndex;
  for (int i = old; i < count; ++i) {
    int vb = GetSystemMetrics(SM_CXVSCROLL), hb = GetSystemMetrics(SM_CYHSCROLL);
    auto sheet = std::make_unique<CGridSheetState>(vb, hb);
    sheet->m_memSource->SetGrid(this);
    sheet->m_selection->SetGrid(this);
    m_sheets.push_back(std::move(sheet));
    if (old == 0 && i == 0) {
      // The first sheet: the grid is not created yet; OnSheetCreated(0)
      // follows the window's creation.
      m_sheet = m_sheets[0].get();
      m_sheetIndex = 0;
      continue;
    }
    m_sheet = m_sheets.back().get();
    m_sheetIndex = i;
    ViewSheetChanged();
    OnSheetCreated(i);
    m_sheet->m_created = 1;
    if (m_headless) LayoutParts();
  }
  m_sheetIndex = keepIndex;
  m_sheet = m_sheets[static_cast<std::size_t>(keepIndex)].get();
  ViewSheetChanged();
  return kGridOk;
}

int CGridCore::SelectSheet(int index, int keepPainting) {
  if (index < 0 || index >= static_cast<int>(m_sheets.size())) return kGridOutOfRange;
  int paint = m_paint;
  if (!keepPainting) m_paint = 0;
  ViewFocusCellArea();
  int tabWidth = m_sheet ? m_sheet->m_tabWidth : 0;
  m_sheetIndex = index;
  m_sheet = m_sheets[static_cast<std::size_t>(index)].get();
  m_sheet->m_tabWidth = tabWidth;
  ViewSheetChanged();
  m_sheet->m_prevTopRow = -1;
  m_sheet->m_prevLeftCol = -1;
  LayoutParts();
  m_paint = paint;
  if (m_paint && IsCreated()) ViewRepaintAll();
  return kGridOk;
}

int CGridCore::SetTabAreaWidth(int width) {
  m_sheet->m_tabWidth = std::max(0, width);
  return kGridOk;
}

// ---------------------------------------------------------------------------
// Editing

namespace {
int TypeIndexOf(CGridCellValue& cell) {
  return cell.GridCellHasFlag(GridProp::CellType) ? cell.GridCellGetCellType() : 0;
}
}  // namespace

int CGridCore::CellTypeCanEdit(CGridCellValue& cell) {
  return GetCellTypeObject(TypeIndexOf(cell))->CanEditText();
}

void CGridCore::CellTypeEditRect(CGridCellValue& cell, CRect& rect) {
  GetCellTypeObject(TypeIndexOf(cell))->GetEditRect(rect);
}

void CGridCore::CellTypeFocus(int col, int row, bool gained) {
  CGridCellValue cell;
  GetCell(col, row, cell);
  CNormalCellType* type = GetCellTypeObject(TypeIndexOf(cell));
  if (gained)
    type->HandleFocusGained(col, row, &cell);
  else
    type->HandleFocusLost(col, row, &cell);
}

void CGridCore::CellTypeScrolled(int col, int row) {
  CGridCellValue cell;
  GetCell(col, row, cell);
  GetCellTypeObject(TypeIndexOf(cell))->HandleScrolled(col, row, &cell);
}

void CGridCore::CellTypeAdjustSize(GridAxis a, int index, int& size) {
  // The visible cells of the column (row): locked rows (columns), then the
  // scrolled ones on screen.
  const auto across = m_sheet->Axis(OtherAxis(a));
  CGridCellValue cell;
  auto visit = [&](int other) {
    int col = 0, row = 0;
    CellAt(a, index, other, col, row);
    GetCell(col, row, cell);
    CNormalCellType* type = GetCellTypeObject(TypeIndexOf(cell));
    if (a == GridAxis::kCols)
      type->AdjustCellWidth(col, row, size);
    else
      type->AdjustCellHeight(col, row, size);
  };
  for (int i = 0; i < across.Locked(); ++i) visit(i);
  for (int i = across.First(); i < std::min(across.End(), across.Count()); ++i) visit(i);
}

int CGridCore::MeasureCellWidth(int, int, CGridCellValue& cell) {
  const std::string* t = cell.GridCellGetText();
  return t ? static_cast<int>(t->size()) * 7 + 6 : 0;
}

int CGridCore::BeginCellEditAt(int col, int row, int key) {
  CGridSheetState& s = *m_sheet;
  if (m_editing) return kGridOutOfRange;
  // Every early exit below clears the flag again: a refused start must not
  // block the edits after it.
  m_editing = 1;
  auto fail = [&](int code) {
    m_editing = 0;
    return code;
  };
  m_editCol = col;
  m_editRow = row;
  ClearSelection();
  if (col >= 0 && row >= 0 && (col != s.m_curCol || row != s.m_curRow)) {
    if (MoveToCell(col, row) != kGridOk) return fail(kGridRefused);
    col = m_editCol = s.m_curCol;
    row = m_editRow = s.m_curRow;
  }
  if (col < -s.m_sideHeadCols || col >= s.m_colCount || row < -s.m_topHeadRows ||
      row >= s.m_rowCount)
    return fail(kGridOutOfRange);
  CGridCellValue cell;
  GetCell(col, row, cell);
  if (!CellTypeCanEdit(cell)) return fail(kGridOutOfRange);
  int section = col < 0 ? kSectionSideHeading : (row < 0 ? kSectionTopHeading : kSectionCells);
  CRect rect;
  if (GetCellRectangle(col, row, rect) != kGridOk) return fail(kGridOutOfRange);
  rect.right -= 1;
  rect.bottom -= 1;
  CellTypeEditRect(cell, rect);
  if (cell.GridCellGetReadOnly()) return fail(kGridOutOfRange);
  CWnd* editor = nullptr;
  if (m_replacedEditor)
    editor = m_replacedEditor;
  else
    editor = ViewDefaultEditor(cell.GridCellHasFlag(GridProp::Mask) != 0);
  void* dsEditor = editor;
  CGridDataSource* ds = ColumnSource(col);
  if (ds && ds->CanStartEdit(col, row, &dsEditor) != 1) {
    ViewRepaintCell(col, row);
    return fail(kGridOutOfRange);
  }
  editor = static_cast<CWnd*>(dsEditor);
  if (!OnBeforeEdit(col, row, &editor)) {
    ViewRepaintCell(col, row);
    return fail(kGridOutOfRange);
  }
  if (cell.GridCellGetDataType() == kGridNumber)
    cell.GridCellSetFlags(cell.GridCellGetFlags() | GridProp::NoLocale);
  const std::string* t = cell.GridCellGetText();
  std::string text = t ? *t : std::string();
  m_editWindow = editor;
  m_editSection = section;
  ViewShowEditor(editor, section, rect, cell, text, key);
  return kGridOk;
}

int CGridCore::FinishCellEdit(std::string_view text, int cancelled, int cont, int nextCol,
                              int nextRow) {
  CGridSheetState& s = *m_sheet;
  if (!m_editing) return kGridOutOfRange;
  const int col = m_editCol, row = m_editRow;
  const std::string value(text);
  CGridDataSource* ds = ColumnSource(col);
  if ((ds && ds->CanFinishEdit(col, row, m_editWindow, value, cancelled) != 1) ||
      !OnEditDone(col, row, m_editWindow, value, cancelled))
    return kGridOk;  // the edit goes on
  ViewHideEditor(m_editWindow);
  if (!cancelled) {
    CGridCellValue full;
    GetCell(col, row, full);
    CGridCellValue raw;
    GetCellRaw(col, row, raw);
    raw.GridCellSetText(value);
    int type = full.GridCellGetDataType();
    if (type >= 2 && type <= 5) raw.GridCellSetDataType(type);
    SetCell(col, row, raw);
    // Text that spills into an empty right neighbour must be shown there too.
    if (s.m_opt.overflowEdit && col >= 0 && col + 1 < s.m_colCount && row >= 0) {
      auto right = GetCellText(col + 1, row);
      if ((!right || right->empty()) && !value.empty()) {
        CGridCellValue probe(full);
        probe.GridCellSetText(value);
        if (MeasureCellWidth(col, row, probe) > s.ColWidth(col) && m_paint && IsCreated())
          ViewRepaintAll();
      }
    }
  }
  if (cont && m_editSection == kSectionCells && s.m_colCount > 0 && s.m_rowCount > 0) {
    int nc = nextCol, nr = nextRow;
    // Step over the block being left, and land on the origin of another.
    int c1, r1, c2, r2;
    if (GetJoinBlock(col, row, c1, r1, c2, r2)) {
      if (nc > col) nc = c2 + 1;
      if (nr > row) nr = r2 + 1;
      if (nc < col) nc = c1 - 1;
      if (nr < row) nr = r1 - 1;
    }
    if (nc < 0) nc = s.m_colCount - 1;
    if (nc >= s.m_colCount) nc = 0;
    if (nr < 0) nr = s.m_rowCount - 1;
    if (nr >= s.m_rowCount) nr = 0;
    if (GetJoinBlock(nc, nr, c1, r1, c2, r2)) {
      nc = c1;
      nr = r1;
    }
    if ((!ds || ds->ChooseNextEditCell(col, row, nc, nr) == 1) &&
        OnEditMoveOn(col, row, &nc, &nr)) {
      m_editing = 0;
      ViewRepaintCell(col, row);
      BeginCellEditAt(nc, nr, 0);
      return 1;
    }
  }
  m_editing = 0;
  ViewRepaintCell(col, row);
  return 1;
}

void CGridCore::HideEditWindow() {
  if (!m_editing) return;
  m_editing = 0;
  ViewHideEditor(m_editWindow);
  ViewFocusCellArea();
}

// ---------------------------------------------------------------------------
// Fitting

int CGridCore::FitColumnsToContent(int col1, int col2, int rows, int flags) {
  CGridSheetState& s = *m_sheet;
  if (col1 < -s.m_sideHeadCols) return 1;
  if (col2 >= s.m_colCount) return 2;
  if (col2 < col1) return 3;
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

// ---------------------------------------------------------------------------
// Selection, copy, sort and find

void CGridCore::ClearSelection() {
  CGridSheetState& s = *m_sheet;
  if (s.m_selection) s.m_selection->ClearAll();
  if (s.m_targetCol >= 0 && s.m_targetRow >= 0 &&
      (s.m_targetCol != s.m_curCol || s.m_targetRow != s.m_curRow))
    MoveToCell(s.m_targetCol, s.m_targetRow);
}

std::vector<std::pair<int, int>> CGridCore::SelectedCells() {
  std::vector<std::pair<int, int>> cells;
  CGridSheetState& s = *m_sheet;
  int col = -1, row = -1;
  if (!s.m_selection || s.m_selection->GetBlockCount() == 0) {
    if (s.m_curCol >= 0 && s.m_curRow >= 0) cells.emplace_back(s.m_curCol, s.m_curRow);
    return cells;
  }
  for (int r = s.m_selection->FirstSelectedCell(col, row); r == 0;
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
      SetCell(col, row, empty);
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
    return 1;
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
    SetCellText(col, row, out);
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
    return 0;
  CGridDataSource* ds = ColumnSource(s.m_curCol);
  if (!ds) return 1;
  int col = GetColumnMapping(s.m_curCol), row = s.m_curRow;
  auto toGridCol = [&](int dataCol) {
    for (int c = 0; c < s.m_colCount; ++c)
      if (s.m_cols[static_cast<std::size_t>(c)].dataCol == dataCol) return c;
    return dataCol;
  };
  if (ds->SearchNext(findText, col, row, flags) != 0) {
    ViewNotFound();
    return 1;
  }
  MoveToCell(toGridCol(col), row);
  if (!replaceAll) return 0;
  const int firstCol = col, firstRow = row;
  replaceAt(toGridCol(col), row);
  // Bounded by the cell count: a search that keeps finding stops when it
  // comes back to the first replaced cell.
  const long long limit = static_cast<long long>(s.m_colCount) * std::max(1, s.m_rowCount) + 1;
  for (long long n = 0; n < limit; ++n) {
    if (ds->SearchNext(findText, col, row, flags) != 0) break;
    if (col == firstCol && row == firstRow) break;
    MoveToCell(toGridCol(col), row);
    replaceAt(toGridCol(col), row);
  }
  return 0;
}

// ---------------------------------------------------------------------------
// Default notifications

void CGridCore::OnFocusGained(int) {}
void CGridCore::OnGridCreated() {}
void CGridCore::OnSheetCreated(int) {}
int CGridCore::OnBeforeCellMove(int, int, int, int) {
  return 1;
}
int CGridCore::OnBeforeViewMove(int, int, int, int) {
  return 1;
}
void CGridCore::OnRowsNeeded(int, int, int) {}
void CGridCore::OnReserved1(int, int) {}
int CGridCore::OnBeforeColResize(int) {
  return 1;
}
void CGridCore::OnColWidthDragging(int, int*) {}
void CGridCore::OnColWidthSet(int, int*) {}
int CGridCore::OnBeforeRowResize(int) {
  return 1;
}
void CGridCore::OnRowHeightDragging(int, int*) {}
void CGridCore::OnRowHeightSet(int, int*) {}
int CGridCore::OnBeforeTopHeadingResize() {
  return 1;
}
int CGridCore::OnBeforeSideHeadingResize() {
  return 1;
}
int CGridCore::OnTopHeadingDragging(int*) {
  return 1;
}
int CGridCore::OnSideHeadingDragging(int*) {
  return 1;
}
int CGridCore::OnTopHeadingHeightSet(int*) {
  return 1;
}
int CGridCore::OnSideHeadingWidthSet(int*) {
  return 1;
}
void CGridCore::OnCurrentColChanged(int, int) {}
void CGridCore::OnCurrentRowChanged(int, int) {}
void CGridCore::OnCurrentCellChanged(int, int, int, int) {}
void CGridCore::OnLeftColChanged(int, int) {}
void CGridCore::OnTopRowChanged(int, int) {}
void CGridCore::OnViewScrolled(int, int, int) {}
void CGridCore::OnSelectionRangeChanged(int, int, int, int, int) {}
void CGridCore::OnCellLeftClick(int, int, int, CRect*, CPoint*, int) {}
void CGridCore::OnCellRightClick(int, int, int, CRect*, CPoint*, int) {}
void CGridCore::OnCellDoubleClick(int, int, CRect*, CPoint*, int) {}
void CGridCore::OnCellMouseMove(int, int, CPoint*, unsigned, int) {}
void CGridCore::OnTopHeadingLeftClick(int, int, int, CRect*, CPoint*, int) {}
void CGridCore::OnTopHeadingRightClick(int, int, int, CRect*, CPoint*, int) {}
void CGridCore::OnTopHeadingDoubleClick(int, int, CRect*, CPoint*, int) {}
void CGridCore::OnSideHeadingLeftClick(int, int, int, CRect*, CPoint*, int) {}
void CGridCore::OnSideHeadingRightClick(int, int, int, CRect*, CPoint*, int) {}
void CGridCore::OnSideHeadingDoubleClick(int, int, CRect*, CPoint*, int) {}
void CGridCore::OnCornerLeftClick(int, CRect*, CPoint*, int) {}
void CGridCore::OnCornerRightClick(int, CRect*, CPoint*, int) {}
void CGridCore::OnCornerDoubleClick(CRect*, CPoint*, int) {}
void CGridCore::OnGridKeyDown(int*, int) {}
void CGridCore::OnGridKeyUp(int*, int) {}
void CGridCore::OnGridChar(int*, int) {}
void CGridCore::OnCellFetched(int, int, CGridCellValue*) {}
void CGridCore::OnCellStoring(int, int, CGridCellValue*) {}
void CGridCore::OnReserved2(int, int, int) {}
long long CGridCore::OnCellTypeEvent(int, int, int, int, std::intptr_t) {
  return 1;
}
int CGridCore::OnBeforeEdit(int, int, CWnd**) {
  return 1;
}
int CGridCore::OnEditChar(int, int, CWnd*, int*) {
  return 1;
}
int CGridCore::OnEditDone(int, int, CWnd*, const std::string&, int) {
  return 1;
}
int CGridCore::OnEditMoveOn(int, int, int*, int*) {
  return 1;
}
int CGridCore::OnReserved3(int, int, int, int) {
  return 1;
}
int CGridCore::OnReserved4(int, int, int, int) {
  return 1;
}
void CGridCore::OnGridMenuCommand(int, int, int, int) {}
int CGridCore::OnBeforeMenu(int, int, int) {
  return 1;
}
int CGridCore::OnContextHelp(int, int, int) {
  return 0;
}
int CGridCore::OnToolTipText(int col, int row, int, std::string* text) {
  if (text) *text = "Col:" + std::to_string(col) + " Row:" + std::to_string(row);
  return 1;
}
int CGridCore::OnRowScrollHint(int, std::string*) {
  return 1;
}
int CGridCore::OnColScrollHint(int, std::string*) {
  return 1;
}
int CGridCore::OnCompareCells(CGridCellValue* cell1, CGridCellValue* cell2, int flags) {
  return SheetGridCompareCells(cell1, cell2, flags);
}
void CGridCore::OnPrepareDC(CDC*, CDC*, int) {}
void CGridCore::OnLayoutParts(CRect*, CRect*, CRect*, CRect*, CRect*, CRect*, CRect*) {}
void CGridCore::OnTabClicked(int) {}
COLORREF CGridCore::OnGetBackColor(int section) {
  return GetSysColor(section == kSectionCells ? COLOR_WINDOW : COLOR_BTNFACE);
}
void CGridCore::OnDrawCurrentCellFocus(CDC* dc, CRect* rect) {
  CGridSheetState& s = *m_sheet;
  if (!dc || !rect || s.m_curCol < 0 || s.m_curRow < 0) return;
  CGridCellValue cell;
  GetCell(s.m_curCol, s.m_curRow, cell);
  int index = cell.GridCellHasFlag(GridProp::CellType) ? cell.GridCellGetCellType() : 0;
  if (GetCellTypeObject(index)->DrawFocusRect(*dc, *rect, s.m_curCol, s.m_curRow)) return;
  CRect r = *rect;
  r.right -= 1;
  r.bottom -= 1;
  dc->DrawFocusRect(r);
}
void CGridCore::OnFocusLost(int section, CWnd*) {
  OnFocusLostSection(section);
}
void CGridCore::OnFocusLostSection(int) {}
int CGridCore::OnBeforeColDrag(int) {
  return 1;
}
int CGridCore::OnBeforeColDrop(int, int) {
  return 1;
}
void CGridCore::OnColDropped(int, int) {}
void CGridCore::OnTrackerMoving(CRect*, CRect*) {}
