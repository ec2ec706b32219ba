// The state of one sheet of a grid: counts, sizes and positions of its
// columns and rows, its heading parts, the layout's rectangles, options and
// its own memory data source and selection; with the grid's limits and
// numbering of sections, steps and mouse modes.
#pragma once

#include <algorithm>
#include <memory>
#include <type_traits>
#include <vector>

#include "grid/gridcellvalue.h"
#include "grid/griddatasource.h"
#include "grid/gridresult.h"
#include "platform/gui/gdi.h"

class CGridSelectionSet;

// Sections of a grid, as the hooks number them.
enum GridSection {
  kSectionCells = 1,
  kSectionTopHeading = 2,
  kSectionSideHeading = 3,
  kSectionCorner = 4,
  kSectionHorzBar = 5,
  kSectionVertBar = 6,
  kSectionTabs = 7,
};

// How StepCurrentRow and friends step.
enum GridStep {
  kStepBack = 0,
  kStepForward = 1,
  kStepPageBack = 2,
  kStepPageForward = 3,
  kStepFirst = 4,
  kStepLast = 5
};

// What the cell area's mouse is doing, kept in the sheet for the moves.
enum class GridMouseMode { kIdle = 0, kLeft = 1, kRight = 2, kMove = 3, kScroll = 4 };

// Columns run across, rows down. Most of what the grid does along one it
// does the same way along the other, so that is written once over an axis.
enum class GridAxis { kCols, kRows };
constexpr GridAxis OtherAxis(GridAxis a) {
  return a == GridAxis::kCols ? GridAxis::kRows : GridAxis::kCols;
}

namespace gridlimits {
constexpr int kMaxColumns = 32000;
constexpr int kUniformRowsAbove = 64000;
constexpr int kMaxSheets = 1024;
constexpr int kMaxHeadingRows = 64;
constexpr int kMaxSize = 1024;
constexpr int kMaxDataSources = 63;
constexpr int kMaxFaceName = 32;
}  // namespace gridlimits

struct GridColumnInfo {
  int width = 0;  // 0 = hidden
  CGridDataSource* source = nullptr;
  std::unique_ptr<CGridCellValue> defaultCell;
  int dataCol = 0;
};

// The option settings of a sheet. The values are the ones this system uses;
// only the behaviour at these values is built.
struct GridSheetOptions {
  int multiSelect = 0;
  int rowHighlight = 0;
  int popupMenus = 0;
  int cellToolTips = 0;
  int userSizing = 1;  // sizing by dragging heading edges, with a tracking line
  int fitOnDblClick = 1;
  int joinCells = 1;
  int overflowEdit = 1;
  int gridLines = 1;
  int frame3dWidth = 1;
  int currentHighlight = 1;
  int cellMargin = 4;
  int dragScrollPause = 200;  // ms between drag-scroll steps
};

class CGridSheetState {
 public:
  explicit CGridSheetState(int vbarWidth, int hbarHeight);
  ~CGridSheetState();
  CGridSheetState(const CGridSheetState&) = delete;
  CGridSheetState& operator=(const CGridSheetState&) = delete;

  int RowHeight(int row) const;  // 0 outside the rows
  int ColWidth(int col) const;   // 0 outside the columns

  int m_colCount = 0;
  int m_curCol = -1;
  int m_prevCurCol = -1;
  int m_leftCol = 0;
  int m_prevLeftCol = 0;
  int m_maxLeftCol = 0;
  int m_defColWidth = 75;
  int m_rightCol = 0;
  int m_targetCol = -1;
  std::vector<GridColumnInfo> m_cols;

  int m_rowCount = 0;
  int m_curRow = -1;
  int m_prevCurRow = -1;
  int m_topRow = 0;
  int m_prevTopRow = 0;
  int m_maxTopRow = 0;
  std::vector<int> m_rowHeights;
  int m_defRowHeight = 20;
  int m_uniform = 0;
  int m_bottomRow = 0;
  int m_targetRow = -1;

  int m_topHeadRows = 1;
  std::vector<int> m_topHeadHeights{20};  // [0] is row -1
  int m_sideHeadCols = 1;
  std::vector<int> m_sideHeadWidths{25};  // [0] is column -1

  CGridCellValue m_gridDefault;
  CGridCellValue m_headingDefault;

  int m_topHeadHeight = 20;
  int m_sideHeadWidth = 40;
  int m_vbarWidth;
  int m_hbarHeight;
  int m_tabWidth = 0;
  int m_cellAreaWidth = 0;
  int m_cellAreaHeight = 0;
  CRect m_rcCells, m_rcTop, m_rcSide, m_rcCorner, m_rcTabs, m_rcVBar, m_rcHBar;
  int m_created = 0;
  GridSheetOptions m_opt;

  int m_lockedCols = 0;
  int m_lockedRows = 0;
  int m_lockedWidth = 0;
  int m_lockedHeight = 0;

  CFont* m_defaultFont = nullptr;
  int m_defaultSourceIndex = 0;
  CGridDataSource* m_dataSource = nullptr;
  std::unique_ptr<CGridMemDataSource> m_memSource;

  GridMouseMode m_mouseMode = GridMouseMode::kIdle;
  int m_keyFlags = 0;
  std::unique_ptr<CGridSelectionSet> m_selection;
  COLORREF m_gridLineColor = 0xDCDCDC;

  // The members of one axis under one set of names (below).
  template <typename Sheet>
  friend class CGridAxisView;
  auto Axis(GridAxis a);
  auto Axis(GridAxis a) const;
};

// The sheet's state along one axis: the column members for GridAxis::kCols,
// the row members for GridAxis::kRows. Indexes along an axis run from minus
// the heading part count (heading columns or rows) to the count less one.
template <typename Sheet>
class CGridAxisView {
 public:
  CGridAxisView(Sheet& s, GridAxis axis) : m_s(s), m_axis(axis) {}

  GridAxis Axis() const { return m_axis; }
  auto& Count() const { return Pick(&CGridSheetState::m_colCount, &CGridSheetState::m_rowCount); }
  auto& Current() const { return Pick(&CGridSheetState::m_curCol, &CGridSheetState::m_curRow); }
  auto& PrevCurrent() const {
    return Pick(&CGridSheetState::m_prevCurCol, &CGridSheetState::m_prevCurRow);
  }
  // The first scrolled part shown: the left column or the top row.
  auto& First() const { return Pick(&CGridSheetState::m_leftCol, &CGridSheetState::m_topRow); }
  auto& PrevFirst() const {
    return Pick(&CGridSheetState::m_prevLeftCol, &CGridSheetState::m_prevTopRow);
  }
  auto& MaxFirst() const {
    return Pick(&CGridSheetState::m_maxLeftCol, &CGridSheetState::m_maxTopRow);
  }
  // One past the last part shown: the right column or the bottom row.
  auto& End() const { return Pick(&CGridSheetState::m_rightCol, &CGridSheetState::m_bottomRow); }
  auto& Target() const {
    return Pick(&CGridSheetState::m_targetCol, &CGridSheetState::m_targetRow);
  }
  auto& DefaultSize() const {
    return Pick(&CGridSheetState::m_defColWidth, &CGridSheetState::m_defRowHeight);
  }
  auto& Locked() const {
    return Pick(&CGridSheetState::m_lockedCols, &CGridSheetState::m_lockedRows);
  }
  auto& LockedSize() const {
    return Pick(&CGridSheetState::m_lockedWidth, &CGridSheetState::m_lockedHeight);
  }
  // The cell area's width or height.
  auto& Extent() const {
    return Pick(&CGridSheetState::m_cellAreaWidth, &CGridSheetState::m_cellAreaHeight);
  }
  // The heading parts with negative indexes: the side heading's columns or
  // the top heading's rows, their sizes ([0] is -1) and their total.
  auto& HeadingCount() const {
    return Pick(&CGridSheetState::m_sideHeadCols, &CGridSheetState::m_topHeadRows);
  }
  auto& HeadingSizes() const {
    return Pick(&CGridSheetState::m_sideHeadWidths, &CGridSheetState::m_topHeadHeights);
  }
  auto& HeadingTotal() const {
    return Pick(&CGridSheetState::m_sideHeadWidth, &CGridSheetState::m_topHeadHeight);
  }
  // Only rows share one height.
  bool Uniform() const { return m_axis == GridAxis::kRows && m_s.m_uniform; }
  // Size of a data part; 0 outside the parts.
  int Size(int i) const { return m_axis == GridAxis::kCols ? m_s.ColWidth(i) : m_s.RowHeight(i); }
  // Size of a data part or, for a negative index, a heading part.
  int PartSize(int i) const {
    return i < 0 ? HeadingSizes()[static_cast<std::size_t>(-i - 1)] : Size(i);
  }
  bool IsHeadingIndex(int i) const { return i < 0 && -i <= HeadingCount(); }
  // Stores a data part's size; with shared row heights the shared height,
  // which is never 0 so the divisions by it stay sound.
  void StoreSize(int i, int size) const requires(!std::is_const_v<Sheet>) {
    if (Uniform())
      m_s.m_defRowHeight = std::clamp(size, 1, gridlimits::kMaxSize);
    else if (m_axis == GridAxis::kCols)
      m_s.m_cols[static_cast<std::size_t>(i)].width = size;
    else
      m_s.m_rowHeights[static_cast<std::size_t>(i)] = size;
  }

 private:
  template <typename T>
  auto& Pick(T CGridSheetState::*col, T CGridSheetState::*row) const {
    return m_s.*(m_axis == GridAxis::kCols ? col : row);
  }

  Sheet& m_s;
  GridAxis m_axis;
};

inline auto CGridSheetState::Axis(GridAxis a) {
  return CGridAxisView<CGridSheetState>(*this, a);
}
inline auto CGridSheetState::Axis(GridAxis a) const {
  return CGridAxisView<const CGridSheetState>(*this, a);
}
