#include "grid/gridcore.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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
  if (s.m_leftCol < s.m_lockedCols) s.m_leftCol = s.m_lockedCols;
  if (s.m_curCol >= count) s.m_curCol = s.m_prevCurCol = count - 1;
  if (s.m_targetCol >= count) s.m_targetCol = count - 1;
  RecalcLockedSizes();
  int oldLeft = s.m_leftCol;
  RecalcMaxLeftCol();
  if (s.m_leftCol != oldLeft) {
    OnLeftColChanged(oldLeft, s.m_leftCol);
    s.m_prevLeftCol = s.m_leftCol;
  }
  if (s.m_curCol < 0 && count > 0) MoveToColumn(0);
  RecalcViewEnds();
  if (m_paint && redraw && IsCreated()) ViewRepaintAll();
  return kGridOk;
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
  if (s.m_topRow < s.m_lockedRows) s.m_topRow = s.m_lockedRows;
  if (s.m_curRow >= count) s.m_curRow = s.m_prevCurRow = count - 1;
  if (s.m_targetRow >= count) s.m_targetRow = count - 1;
  RecalcLockedSizes();
  int oldTop = s.m_topRow;
  RecalcMaxTopRow();
  if (s.m_topRow != oldTop) {
    OnTopRowChanged(oldTop, s.m_topRow);
    s.m_prevTopRow = s.m_topRow;
    UpdateScrollBars();
  }
  if (s.m_curRow < 0 && count > 0) MoveToRow(0);
  RecalcViewEnds();
  if (m_paint && redraw && IsCreated()) ViewRepaintAll();
  return kGridOk;
}

int CGridCore::SetColumnWidth(int col, int width) {
  if (col < 0) return SetSideHeadingColWidth(col, width);
  CGridSheetState& s = *m_sheet;
  if (col >= s.m_colCount) return kGridOutOfRange;
  width = std::max(0, width);
  if (IsCreated() && ViewIsVisible()) {
    CellTypeAdjustWidth(col, width);
    OnColWidthSet(col, &width);
    width = std::max(0, width);
  }
  s.m_cols[static_cast<std::size_t>(col)].width = width;
  if (col < s.m_lockedCols) RecalcLockedSizes();
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
  if (col < 0 && -col <= s.m_sideHeadCols) {
    width = s.m_sideHeadWidths[static_cast<std::size_t>(-col - 1)];
    return kGridOk;
  }
  return kGridOutOfRange;
}

int CGridCore::SetDefaultColumnWidth(int width) {
  if (width < 0) return kGridOutOfRange;
  m_sheet->m_defColWidth = width;
  return kGridOk;
}

int CGridCore::SetRowHeight(int row, int height) {
  CGridSheetState& s = *m_sheet;
  if (row < 0 || row >= s.m_rowCount) return kGridOutOfRange;
  height = std::max(0, height);
  if (IsCreated() && ViewIsVisible()) {
    CellTypeAdjustHeight(row, height);
    OnRowHeightSet(row, &height);
    height = std::max(0, height);
  }
  if (s.m_uniform) {
    // A shared height of 0 would hide every row and break the divisions by it.
    s.m_defRowHeight = std::clamp(height, 1, kMaxSize);
  } else {
    s.m_rowHeights[static_cast<std::size_t>(row)] = height;
  }
  RecalcLockedSizes();
  RecalcMaxTopRow();
  RecalcViewEnds();
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
  if (height < 0 || height > kMaxSize) return kGridOutOfRange;
  m_sheet->m_topHeadHeight = height;
  RescaleParts(m_sheet->m_topHeadHeights, height);
  FixLastHeadingRow();
  LayoutParts();
  return kGridOk;
}

int CGridCore::SetSideHeadingWidth(int width) {
  if (width < 0 || width > kMaxSize) return kGridOutOfRange;
  m_sheet->m_sideHeadWidth = width;
  RescaleParts(m_sheet->m_sideHeadWidths, width);
  FixLastHeadingCol();
  LayoutParts();
  return kGridOk;
}

void CGridCore::FixLastHeadingRow() {
  // The bottom heading row (-1) takes what the others leave of the total.
  CGridSheetState& s = *m_sheet;
  int others = 0;
  for (std::size_t i = 1; i < s.m_topHeadHeights.size(); ++i) others += s.m_topHeadHeights[i];
  s.m_topHeadHeights[0] = std::max(0, s.m_topHeadHeight - others);
}

void CGridCore::FixLastHeadingCol() {
  CGridSheetState& s = *m_sheet;
  int others = 0;
  for (std::size_t i = 1; i < s.m_sideHeadWidths.size(); ++i) others += s.m_sideHeadWidths[i];
  s.m_sideHeadWidths[0] = std::max(0, s.m_sideHeadWidth - others);
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
  const CGridSheetState& s = *m_sheet;
  if (row >= 0 || -row > s.m_topHeadRows) return 0;
  return s.m_topHeadHeights[static_cast<std::size_t>(-row - 1)];
}

int CGridCore::SetTopHeadingRowHeight(int row, int height) {
  CGridSheetState& s = *m_sheet;
  if (row >= 0 || -row > s.m_topHeadRows) return kGridOutOfRange;
  if (height < 0 || height > kMaxSize) return kGridRefused;
  s.m_topHeadHeights[static_cast<std::size_t>(-row - 1)] = height;
  if (s.m_topHeadRows == 1) s.m_topHeadHeight = height;
  LayoutParts();
  return kGridOk;
}

int CGridCore::SetSideHeadingColWidth(int col, int width) {
  CGridSheetState& s = *m_sheet;
  if (col >= 0 || -col > s.m_sideHeadCols) return kGridOutOfRange;
  if (width < 0 || width > kMaxSize) return kGridRefused;
  s.m_sideHeadWidths[static_cast<std::size_t>(-col - 1)] = width;
  if (s.m_sideHeadCols == 1) s.m_sideHeadWidth = width;
  LayoutParts();
  return kGridOk;
}

int CGridCore::SetFrozenColumns(int count) {
  CGridSheetState& s = *m_sheet;
  if (count < 0 || count > s.m_colCount) return kGridOutOfRange;
  s.m_lockedCols = count;
  RecalcLockedSizes();
  s.m_leftCol = s.m_prevLeftCol = count;
  RecalcMaxLeftCol();
  LayoutParts();
  return kGridOk;
}

int CGridCore::SetFrozenRows(int count) {
  CGridSheetState& s = *m_sheet;
  if (count < 0 || count > s.m_rowCount) return kGridOutOfRange;
  s.m_lockedRows = count;
  RecalcLockedSizes();
  s.m_topRow = s.m_prevTopRow = count;
  RecalcMaxTopRow();
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
  CGridSheetState& s = *m_sheet;
  if (col < 0 || col >= s.m_colCount) return;
  s.m_cols[static_cast<std::size_t>(col)].width = std::max(0, width);
  if (col < s.m_lockedCols) RecalcLockedSizes();
}

void CGridCore::StoreRowHeightWhileDragging(int row, int height) {
  CGridSheetState& s = *m_sheet;
  if (row < 0 || row >= s.m_rowCount) return;
  height = std::max(0, height);
  if (s.m_uniform)
    s.m_defRowHeight = std::clamp(height, 1, kMaxSize);
  else
    s.m_rowHeights[static_cast<std::size_t>(row)] = height;
  RecalcLockedSizes();
}

void CGridCore::StoreTopHeadingWhileDragging(int row, int rowHeight, int total) {
  CGridSheetState& s = *m_sheet;
  if (row >= 0 || -row > s.m_topHeadRows) return;
  s.m_topHeadHeights[static_cast<std::size_t>(-row - 1)] = std::clamp(rowHeight, 0, kMaxSize);
  s.m_topHeadHeight = std::clamp(total, 0, kMaxSize);
  LayoutParts();
}

void CGridCore::StoreSideHeadingWhileDragging(int col, int colWidth, int total) {
  CGridSheetState& s = *m_sheet;
  if (col >= 0 || -col > s.m_sideHeadCols) return;
  s.m_sideHeadWidths[static_cast<std::size_t>(-col - 1)] = std::clamp(colWidth, 0, kMaxSize);
  s.m_sideHeadWidth = std::clamp(total, 0, kMaxSize);
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
  CGridSheetState& s = *m_sheet;
  s.m_lockedWidth = 0;
  for (int c = 0; c < s.m_lockedCols; ++c) s.m_lockedWidth += s.ColWidth(c);
  s.m_lockedHeight = 0;
  for (int r = 0; r < s.m_lockedRows; ++r) s.m_lockedHeight += s.RowHeight(r);
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

namespace {
// Whether the parts fit into `avail`, adding them until the sum exceeds it.
template <typename F>
bool PartsFit(int count, int avail, F size) {
  long long sum = 0;
  for (int i = 0; i < count; ++i) {
    sum += size(i);
    if (sum > avail) return false;
  }
  return true;
}
}  // namespace

void CGridCore::LayoutParts() {
  CGridSheetState& s = *m_sheet;
  const int keepV = s.m_vbarWidth, keepH = s.m_hbarHeight, keepTab = s.m_tabWidth;
  int W = 0, H = 0;
  ViewClientSize(W, H);

  auto rowsFit = [&](int avail) {
    if (s.m_uniform) return static_cast<long long>(s.m_rowCount) * s.m_defRowHeight <= avail;
    return PartsFit(s.m_rowCount, avail, [&](int r) { return s.RowHeight(r); });
  };
  auto colsFit = [&](int avail) {
    return PartsFit(s.m_colCount, avail, [&](int c) { return s.ColWidth(c); });
  };

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
  CGridSheetState& s = *m_sheet;
  int rem = s.m_cellAreaHeight - s.m_lockedHeight;
  int r = s.m_rowCount - 1;
  if (s.m_uniform) {
    int h = std::max(1, s.m_defRowHeight);
    int fit = std::max(0, rem) / h;  // whole rows that fit below the locked ones
    r = s.m_rowCount - 1 - fit;
  } else {
    while (r >= s.m_lockedRows) {
      rem -= s.RowHeight(r);
      if (rem < 0) break;
      --r;
    }
  }
  int maxTop = r + 1;
  maxTop = std::min(maxTop, s.m_rowCount - 1);
  maxTop = std::max(maxTop, s.m_lockedRows);
  s.m_maxTopRow = maxTop;
  if (s.m_topRow > maxTop) s.m_topRow = maxTop;
  if (s.m_topRow < s.m_lockedRows) s.m_topRow = s.m_lockedRows;
}

void CGridCore::RecalcMaxLeftCol() {
  CGridSheetState& s = *m_sheet;
  int rem = s.m_cellAreaWidth - s.m_lockedWidth;
  int c = s.m_colCount - 1;
  while (c >= s.m_lockedCols) {
    rem -= s.ColWidth(c);
    if (rem < 0) break;
    --c;
  }
  int maxLeft = std::max(std::min(c + 1, s.m_colCount - 1), s.m_lockedCols);
  s.m_maxLeftCol = maxLeft;
  if (s.m_leftCol > maxLeft) s.m_leftCol = maxLeft;
  if (s.m_leftCol < s.m_lockedCols) s.m_leftCol = s.m_lockedCols;
}

void CGridCore::RecalcViewEnds() {
  CGridSheetState& s = *m_sheet;
  int x = s.m_lockedWidth;
  int c = s.m_leftCol;
  while (c < s.m_colCount && x < s.m_cellAreaWidth) x += s.ColWidth(c++);
  s.m_rightCol = c;
  int y = s.m_lockedHeight;
  int r = s.m_topRow;
  if (s.m_uniform) {
    int h = std::max(1, s.m_defRowHeight);
    r = std::min(s.m_rowCount, s.m_topRow + (std::max(0, s.m_cellAreaHeight - y) + h - 1) / h);
  } else {
    while (r < s.m_rowCount && y < s.m_cellAreaHeight) y += s.RowHeight(r++);
  }
  s.m_bottomRow = r;
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
  CGridSheetState& s = *m_sheet;
  ViewFocusCellArea();
  s.m_mouseMode = kMouseScroll;
  switch (code) {
    case SB_LINEUP: StepTopRow(kStepBack); break;
    case SB_LINEDOWN: StepTopRow(kStepForward); break;
    case SB_PAGEUP: StepTopRow(kStepPageBack); break;
    case SB_PAGEDOWN: StepTopRow(kStepPageForward); break;
    case SB_THUMBPOSITION: ScrollToRow(GridVertBarRowForPos(m_vbar, pos)); break;
    case SB_THUMBTRACK: break;  // thumb tracking is off: only the release scrolls
    case SB_TOP: StepTopRow(kStepFirst); break;
    case SB_BOTTOM: StepTopRow(kStepLast); break;
    default: break;
  }
  s.m_mouseMode = kMouseIdle;
}

void CGridCore::HandleHScroll(int code, int pos) {
  CGridSheetState& s = *m_sheet;
  ViewFocusCellArea();
  s.m_mouseMode = kMouseScroll;
  switch (code) {
    case SB_LINEUP: StepLeftColumn(kStepBack); break;
    case SB_LINEDOWN: StepLeftColumn(kStepForward); break;
    case SB_PAGEUP: StepLeftColumn(kStepPageBack); break;
    case SB_PAGEDOWN: StepLeftColumn(kStepPageForward); break;
    case SB_THUMBPOSITION: ScrollToColumn(s.m_lockedCols + pos); break;
    case SB_THUMBTRACK: break;
    case SB_TOP: StepLeftColumn(kStepFirst); break;
    case SB_BOTTOM: StepLeftColumn(kStepLast); break;
    default: break;
  }
  s.m_mouseMode = kMouseIdle;
}

// ---------------------------------------------------------------------------
// Geometry of cells

int CGridCore::ColLeft(int col) const {
  const CGridSheetState& s = *m_sheet;
  if (col < 0 || col >= s.m_colCount) return -1;
  int x = 0;
  if (col < s.m_lockedCols) {
    for (int c = 0; c < col; ++c) x += s.ColWidth(c);
    return x;
  }
  if (col < s.m_leftCol) return -1;
  x = s.m_lockedWidth;
  for (int c = s.m_leftCol; c < col; ++c) {
    x += s.ColWidth(c);
    if (x > s.m_cellAreaWidth + 1000000) break;
  }
  return x;
}

int CGridCore::RowTop(int row) const {
  const CGridSheetState& s = *m_sheet;
  if (row < 0 || row >= s.m_rowCount) return -1;
  if (row < s.m_lockedRows) {
    int y = 0;
    for (int r = 0; r < row; ++r) y += s.RowHeight(r);
    return y;
  }
  if (row < s.m_topRow) return -1;
  if (s.m_uniform) {
    long long y = s.m_lockedHeight + static_cast<long long>(row - s.m_topRow) * s.m_defRowHeight;
    return static_cast<int>(std::min<long long>(y, 1 << 30));
  }
  int y = s.m_lockedHeight;
  for (int r = s.m_topRow; r < row && y < (1 << 30); ++r) y += s.RowHeight(r);
  return y;
}

std::vector<std::pair<int, int>> CGridCore::VisibleColumns() const {
  const CGridSheetState& s = *m_sheet;
  std::vector<std::pair<int, int>> out;
  int x = 0;
  for (int c = 0; c < s.m_lockedCols && x < s.m_cellAreaWidth; ++c) {
    if (s.ColWidth(c) > 0) out.emplace_back(c, x);
    x += s.ColWidth(c);
  }
  for (int c = s.m_leftCol; c < s.m_colCount && x < s.m_cellAreaWidth; ++c) {
    if (s.ColWidth(c) > 0) out.emplace_back(c, x);
    x += s.ColWidth(c);
  }
  return out;
}

std::vector<std::pair<int, int>> CGridCore::VisibleRows() const {
  const CGridSheetState& s = *m_sheet;
  std::vector<std::pair<int, int>> out;
  int y = 0;
  for (int r = 0; r < s.m_lockedRows && y < s.m_cellAreaHeight; ++r) {
    if (s.RowHeight(r) > 0) out.emplace_back(r, y);
    y += s.RowHeight(r);
  }
  for (int r = s.m_topRow; r < s.m_rowCount && y < s.m_cellAreaHeight; ++r) {
    if (s.RowHeight(r) > 0) out.emplace_back(r, y);
    y += s.RowHeight(r);
  }
  return out;
}

CRect CGridCore::CellAreaRectOfCell(int col, int row) const {
  int x = ColLeft(col), y = RowTop(row);
  if (x < 0 || y < 0) return CRect();
  return CRect(x, y, x + m_sheet->ColWidth(col), y + m_sheet->RowHeight(row));
}

int CGridCore::GetCellRectangle(int col, int row, CRect& rect) {
  const CGridSheetState& s = *m_sheet;
  int c1 = col, r1 = row, c2 = col, r2 = row;
  if (GetJoinBlock(col, row, c1, r1, c2, r2)) return GetBlockRect(c1, r1, c2, r2, rect);
  if (col < 0 && -col <= s.m_sideHeadCols && row >= 0) {
    // Side heading: columns -count (left) .. -1 (next to the cells).
    int x = 0;
    for (int c = -s.m_sideHeadCols; c < col; ++c)
      x += s.m_sideHeadWidths[static_cast<std::size_t>(-c - 1)];
    int y = RowTop(row);
    if (y < 0) return kGridOutOfRange;
    rect = CRect(x, y, x + s.m_sideHeadWidths[static_cast<std::size_t>(-col - 1)],
                 y + s.RowHeight(row));
    return kGridOk;
  }
  if (row < 0 && -row <= s.m_topHeadRows && col >= 0) {
    int y = 0;
    for (int r = -s.m_topHeadRows; r < row; ++r)
      y += s.m_topHeadHeights[static_cast<std::size_t>(-r - 1)];
    int x = ColLeft(col);
    if (x < 0) return kGridOutOfRange;
    rect = CRect(x, y, x + s.ColWidth(col),
                 y + s.m_topHeadHeights[static_cast<std::size_t>(-row - 1)]);
    return kGridOk;
  }
  rect = CellAreaRectOfCell(col, row);
  return rect.IsRectNull() && !(col >= 0 && row >= 0 && ColLeft(col) >= 0 && RowTop(row) >= 0)
             ? kGridOutOfRange
             : kGridOk;
}

int CGridCore::GetBlockRect(int col1, int row1, int col2, int row2, CRect& rect) {
  CRect a, b;
  const CGridSheetState& s = *m_sheet;
  // The block's left and top come from its first visible cell.
  int c = col1, r = row1;
  while (c <= col2 && ColLeft(c) < 0 && c >= 0) ++c;
  while (r <= row2 && RowTop(r) < 0 && r >= 0) ++r;
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
  int x2 = x1, y2 = y1;
  for (int i = std::max(c, col1); i <= col2; ++i)
    x2 += i < 0 ? s.m_sideHeadWidths[static_cast<std::size_t>(-i - 1)] : s.ColWidth(i);
  for (int i = std::max(r, row1); i <= row2; ++i)
    y2 += i < 0 ? s.m_topHeadHeights[static_cast<std::size_t>(-i - 1)] : s.RowHeight(i);
  rect = CRect(x1, y1, x2, y2);
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

int CGridCore::HitTestCell(int x, int y, int& col, int& row, CRect& rect) {
  const CGridSheetState& s = *m_sheet;
  col = row = -1;
  if (x < 0 || y < 0 || x >= s.m_cellAreaWidth || y >= s.m_cellAreaHeight) return 1;
  int cx = 0, hitCol = -1;
  for (int c = 0; c < s.m_lockedCols && hitCol < 0; ++c) {
    int w = s.ColWidth(c);
    if (x >= cx && x < cx + w) hitCol = c;
    cx += w;
  }
  for (int c = s.m_leftCol; c < s.m_colCount && hitCol < 0 && cx <= x; ++c) {
    int w = s.ColWidth(c);
    if (x >= cx && x < cx + w) hitCol = c;
    cx += w;
  }
  int cy = 0, hitRow = -1;
  for (int r = 0; r < s.m_lockedRows && hitRow < 0; ++r) {
    int h = s.RowHeight(r);
    if (y >= cy && y < cy + h) hitRow = r;
    cy += h;
  }
  if (hitRow < 0) {
    if (s.m_uniform) {
      int h = std::max(1, s.m_defRowHeight);
      long long r = s.m_topRow + (y - cy) / h;
      if (y >= cy && r < s.m_rowCount) hitRow = static_cast<int>(r);
    } else {
      for (int r = s.m_topRow; r < s.m_rowCount && hitRow < 0 && cy <= y; ++r) {
        int h = s.RowHeight(r);
        if (y >= cy && y < cy + h) hitRow = r;
        cy += h;
      }
    }
  }
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

int CGridCore::TopRowFor(int target) const {
  const CGridSheetState& s = *m_sheet;
  int top = s.m_topRow;
  if (target < s.m_lockedRows || target < 0) return top;
  if (target < top) return target;
  int space = s.m_cellAreaHeight - s.m_lockedHeight;
  if (s.m_uniform) {
    int h = std::max(1, s.m_defRowHeight);
    int t = target - space / h + 1;
    if (t > top) top = t;
  } else {
    int r = target;
    space -= s.RowHeight(r);
    while (r - 1 >= top && space - s.RowHeight(r - 1) >= 0) {
      space -= s.RowHeight(r - 1);
      --r;
    }
    if (r > top) top = r;
  }
  return std::clamp(top, s.m_lockedRows, std::max(s.m_lockedRows, s.m_maxTopRow));
}

int CGridCore::LeftColFor(int target) const {
  const CGridSheetState& s = *m_sheet;
  int left = s.m_leftCol;
  if (target < s.m_lockedCols || target < 0) return left;
  if (target < left) return target;
  int space = s.m_cellAreaWidth - s.m_lockedWidth;
  int c = target;
  space -= s.ColWidth(c);
  while (c - 1 >= left && space - s.ColWidth(c - 1) >= 0) {
    space -= s.ColWidth(c - 1);
    --c;
  }
  if (c > left) left = c;
  return std::clamp(left, s.m_lockedCols, std::max(s.m_lockedCols, s.m_maxLeftCol));
}

// The move sequence shared by every goto: checks, keeping the target visible,
// the notifications and the views' updates.
namespace {
enum MoveKind { kMoveCell, kMoveRow, kMoveCol };
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
  CGridSheetState& s = *m_sheet;
  if (row == s.m_curRow) return kGridOk;
  const bool forward = row > s.m_curRow;
  bool stop = false;
  int r = row;
  if (int res = RowMoveTarget(row, r, stop); stop) return res;
  int col = s.m_curCol;
  int c1, r1, c2, r2;
  if (GetJoinBlock(col, r, c1, r1, c2, r2)) {
    if (forward && s.m_curRow < r1) {
      return MoveToCell(c1, r1);
    } else if (forward) {
      if (r2 + 1 < s.m_rowCount) r = r2 + 1;
    } else if (s.m_curRow <= r2) {
      if (r1 > 0) r = r1 - 1;
    } else {
      return MoveToCell(c1, r1);
    }
  }
  if (r == s.m_curRow) return kGridOk;
  if (!OnBeforeCellMove(s.m_curCol, s.m_curRow, s.m_curCol, r)) return kGridRefused;
  int newTop = TopRowFor(r);
  if (newTop != s.m_topRow && !OnBeforeViewMove(s.m_leftCol, s.m_topRow, s.m_leftCol, r))
    return kGridRefused;
  s.m_targetRow = r;
  s.m_targetCol = s.m_curCol;
  s.m_topRow = newTop;
  ApplyMove(s.m_curCol, r);
  return kGridOk;
}

int CGridCore::MoveToColumn(int col) {
  CGridSheetState& s = *m_sheet;
  if (col == s.m_curCol) return kGridOk;
  const bool forward = col > s.m_curCol;
  if (col >= s.m_colCount) {
    if (s.m_curCol == s.m_colCount - 1) return kGridOutOfRange;
    col = s.m_colCount - 1;
  }
  if (col < 0) col = 0;
  if (s.m_colCount == 0) return kGridOutOfRange;
  int row = s.m_curRow;
  int c1, r1, c2, r2;
  if (row >= 0 && GetJoinBlock(col, row, c1, r1, c2, r2)) {
    if (forward && s.m_curCol < c1) {
      return MoveToCell(c1, r1);
    } else if (forward) {
      if (c2 + 1 < s.m_colCount) col = c2 + 1;
    } else if (s.m_curCol <= c2) {
      if (c1 > 0) col = c1 - 1;
    } else {
      return MoveToCell(c1, r1);
    }
  }
  if (col == s.m_curCol) return kGridOk;
  CGridDataSource* ds = s.m_dataSource;
  if (ds && ds->CanMoveCurrent(s.m_curCol, s.m_curRow, col, s.m_curRow) != 1) return kGridRefused;
  if (!OnBeforeCellMove(s.m_curCol, s.m_curRow, col, s.m_curRow)) return kGridRefused;
  int newLeft = LeftColFor(col);
  if (newLeft != s.m_leftCol && !OnBeforeViewMove(s.m_leftCol, s.m_topRow, col, s.m_topRow))
    return kGridRefused;
  s.m_targetCol = col;
  s.m_targetRow = s.m_curRow;
  s.m_leftCol = newLeft;
  ApplyMove(col, s.m_curRow);
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
  int newTop = TopRowFor(r), newLeft = LeftColFor(col);
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

void CGridCore::ApplyMove(int col, int row) {
  CGridSheetState& s = *m_sheet;
  const int oldCol = s.m_curCol, oldRow = s.m_curRow;
  const int oldLeft = s.m_prevLeftCol, oldTop = s.m_prevTopRow;
  const int oldRight = s.m_rightCol, oldBottom = s.m_bottomRow;
  s.m_curCol = col;
  s.m_curRow = row;
  CGridDataSource* ds = s.m_dataSource;
  if (col != oldCol) {
    if (ds) ds->OnCurrentColumnMoved(oldCol, col);
    OnCurrentColChanged(oldCol, col);
  }
  if (row != oldRow) {
    if (ds) ds->OnCurrentRowMoved(oldRow, row);
    OnCurrentRowChanged(oldRow, row);
  }
  if (col != oldCol || row != oldRow) OnCurrentCellChanged(oldCol, col, oldRow, row);
  if (s.m_leftCol != oldLeft) OnLeftColChanged(oldLeft, s.m_leftCol);
  if (s.m_topRow != oldTop) OnTopRowChanged(oldTop, s.m_topRow);
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
  CGridSheetState& s = *m_sheet;
  row = std::clamp(row, s.m_lockedRows, std::max(s.m_lockedRows, s.m_maxTopRow));
  if (row == s.m_topRow) return kGridOk;
  if (!OnBeforeViewMove(s.m_leftCol, s.m_topRow, s.m_leftCol, row)) return kGridRefused;
  s.m_topRow = row;
  ApplyMove(s.m_curCol, s.m_curRow);
  return kGridOk;
}

int CGridCore::ScrollToColumn(int col) {
  CGridSheetState& s = *m_sheet;
  col = std::clamp(col, s.m_lockedCols, std::max(s.m_lockedCols, s.m_maxLeftCol));
  if (col == s.m_leftCol) return kGridOk;
  if (!OnBeforeViewMove(s.m_leftCol, s.m_topRow, col, s.m_topRow)) return kGridRefused;
  s.m_leftCol = col;
  ApplyMove(s.m_curCol, s.m_curRow);
  return kGridOk;
}

int CGridCore::PageRowTarget(int from, int dir) const {
  const CGridSheetState& s = *m_sheet;
  auto h = [&](int r) { return (r >= 0 && r < s.m_rowCount) ? s.RowHeight(r) : s.m_defRowHeight; };
  int rem = s.m_cellAreaHeight - s.m_lockedHeight;
  int r = from;
  // Bounded: a long run of hidden rows cannot loop for ever.
  for (int guard = 0; guard <= s.m_rowCount + 2; ++guard) {
    rem -= h(r);
    int next = r + dir;
    if (rem < 0 || rem < h(next)) break;
    r = next;
  }
  return r;
}

int CGridCore::PageColTarget(int from, int dir) const {
  const CGridSheetState& s = *m_sheet;
  auto w = [&](int c) { return (c >= 0 && c < s.m_colCount) ? s.ColWidth(c) : s.m_defColWidth; };
  int rem = s.m_cellAreaWidth - s.m_lockedWidth;
  int c = from;
  for (int guard = 0; guard <= s.m_colCount + 2; ++guard) {
    rem -= w(c);
    int next = c + dir;
    if (rem < 0 || rem < w(next) || w(next) <= 0) {
      if (rem >= 0 && w(next) <= 0 && next >= 0 && next < s.m_colCount) {
        c = next;
        continue;
      }
      break;
    }
    c = next;
  }
  return c;
}

int CGridCore::StepCurrentRow(int how) {
  CGridSheetState& s = *m_sheet;
  int cur = s.m_curRow;
  switch (how) {
    case kStepBack: return MoveToRow(cur - 1);
    case kStepForward: return MoveToRow(cur + 1);
    case kStepPageBack: return MoveToRow(PageRowTarget(cur, -1));
    case kStepPageForward: return MoveToRow(PageRowTarget(cur, +1));
    case kStepFirst: return MoveToRow(0);
    case kStepLast: return MoveToRow(s.m_rowCount - 1);
    default: return kGridOk;
  }
}

int CGridCore::StepCurrentColumn(int how) {
  CGridSheetState& s = *m_sheet;
  int cur = s.m_curCol;
  switch (how) {
    case kStepBack: return MoveToColumn(cur - 1);
    case kStepForward: return MoveToColumn(cur + 1);
    case kStepPageBack: return MoveToColumn(PageColTarget(cur, -1));
    case kStepPageForward: return MoveToColumn(PageColTarget(cur, +1));
    case kStepFirst: return MoveToColumn(0);
    case kStepLast: return MoveToColumn(s.m_colCount - 1);
    default: return kGridOk;
  }
}

int CGridCore::StepTopRow(int how) {
  CGridSheetState& s = *m_sheet;
  if (s.m_rowCount <= 0) return kGridOutOfRange;
  int top = s.m_topRow;
  switch (how) {
    case kStepBack: {
      int r = top - 1;
      while (r > s.m_lockedRows && s.RowHeight(r) == 0) --r;
      return ScrollToRow(r);
    }
    case kStepForward: {
      int r = top + 1;
      while (r < s.m_maxTopRow && s.RowHeight(r) == 0) ++r;
      return ScrollToRow(r);
    }
    case kStepPageBack: return ScrollToRow(PageRowTarget(top, -1));
    case kStepPageForward: return ScrollToRow(PageRowTarget(top, +1));
    case kStepFirst: return ScrollToRow(s.m_lockedRows);
    case kStepLast: return ScrollToRow(s.m_maxTopRow);
    default: return kGridOk;
  }
}

int CGridCore::StepLeftColumn(int how) {
  CGridSheetState& s = *m_sheet;
  if (s.m_colCount <= 0) return kGridOutOfRange;
  int left = s.m_leftCol;
  switch (how) {
    case kStepBack: {
      int c = left - 1;
      while (c > s.m_lockedCols && s.ColWidth(c) == 0) --c;
      return ScrollToColumn(c);
    }
    case kStepForward: {
      int c = left + 1;
      while (c < s.m_maxLeftCol && s.ColWidth(c) == 0) ++c;
      return ScrollToColumn(c);
    }
    case kStepPageBack: return ScrollToColumn(PageColTarget(left, -1));
    case kStepPageForward: return ScrollToColumn(PageColTarget(left, +1));
    case kStepFirst: return ScrollToColumn(s.m_lockedCols);
    case kStepLast: return ScrollToColumn(s.m_maxLeftCol);
    default: return kGridOk;
  }
}

int CGridCore::HandleNavigationKey(int vk, bool control) {
  CGridSheetState& s = *m_sheet;
  int c1, r1, c2, r2;
  switch (vk) {
    case kKeyPrior: return StepCurrentRow(kStepPageBack) == kGridOk;
    case kKeyNext: return StepCurrentRow(kStepPageForward) == kGridOk;
    case kKeyEnd:
      return (control ? StepCurrentRow(kStepLast) : StepCurrentColumn(kStepLast)) == kGridOk;
    case kKeyHome:
      return (control ? StepCurrentRow(kStepFirst) : StepCurrentColumn(kStepFirst)) == kGridOk;
    case kKeyLeft: {
      int t = s.m_curCol - 1;
      if (t < 0 || s.m_curRow < 0 || !GetJoinBlock(t, s.m_curRow, c1, r1, c2, r2))
        return MoveToColumn(t) == kGridOk;
      return MoveToCell(c1, r1) == kGridOk;
    }
    case kKeyUp: {
      int t = s.m_curRow - 1;
      if (t < 0 || s.m_curCol < 0 || !GetJoinBlock(s.m_curCol, t, c1, r1, c2, r2))
        return MoveToRow(t) == kGridOk;
      return MoveToCell(c1, r1) == kGridOk;
    }
    case kKeyRight: {
      int step = 1;
      if (s.m_curCol >= 0 && s.m_curRow >= 0 &&
          GetJoinBlock(s.m_curCol, s.m_curRow, c1, r1, c2, r2))
        step = c2 - s.m_curCol + 1;
      int t = s.m_curCol + step;
      if (t >= s.m_colCount || s.m_curRow < 0 || !GetJoinBlock(t, s.m_curRow, c1, r1, c2, r2))
        return MoveToColumn(t) == kGridOk;
      return MoveToCell(c1, r1) == kGridOk;
    }
    case kKeyDown: {
      int step = 1;
      if (s.m_curCol >= 0 && s.m_curRow >= 0 &&
          GetJoinBlock(s.m_curCol, s.m_curRow, c1, r1, c2, r2))
        step = r2 - s.m_curRow + 1;
      int t = s.m_curRow + step;
      if (t >= s.m_rowCount || s.m_curCol < 0 || !GetJoinBlock(s.m_curCol, t, c1, r1, c2, r2))
        return MoveToRow(t) == kGridOk;
      return MoveToCell(c1, r1) == kGridOk;
    }
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
  ScrollToRow(s.m_topRow - notches * 3);
  s.m_mouseMode = kMouseIdle;
  return notches;
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

void CGridCore::CellTypeAdjustWidth(int col, int& width) {
  CGridSheetState& s = *m_sheet;
  CGridCellValue cell;
  auto visit = [&](int row) {
    GetCell(col, row, cell);
    GetCellTypeObject(TypeIndexOf(cell))->AdjustCellWidth(col, row, width);
  };
  for (int r = 0; r < s.m_lockedRows; ++r) visit(r);
  for (int r = s.m_topRow; r < std::min(s.m_bottomRow, s.m_rowCount); ++r) visit(r);
}

void CGridCore::CellTypeAdjustHeight(int row, int& height) {
  CGridSheetState& s = *m_sheet;
  CGridCellValue cell;
  auto visit = [&](int col) {
    GetCell(col, row, cell);
    GetCellTypeObject(TypeIndexOf(cell))->AdjustCellHeight(col, row, height);
  };
  for (int c = 0; c < s.m_lockedCols; ++c) visit(c);
  for (int c = s.m_leftCol; c < std::min(s.m_rightCol, s.m_colCount); ++c) visit(c);
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
    CellTypeAdjustWidth(c, width);
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
