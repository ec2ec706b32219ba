#include <gtest/gtest.h>

#include <set>

#include "ctrl_recording_grid.h"
#include "grid/gridcore.h"
#include "tests/common/gui_testapp.h"

namespace {

using Log = std::vector<std::string>;

TEST(GridCoreLimits, CountsAndSizesOutOfRangeAreRefusedAndChangeNothing) {
  RecordingGrid g(3, 5);
  EXPECT_EQ(g.SetColumnTotal(32001), kGridOutOfRange);
  EXPECT_EQ(g.GetColumnTotal(), 3);
  EXPECT_EQ(g.SetColumnTotal(-1), kGridOutOfRange);
  EXPECT_EQ(g.SetRowTotal(-1), kGridOutOfRange);
  EXPECT_EQ(g.GetRowTotal(), 5);
  EXPECT_EQ(g.SetSheetTotal(0), kGridOutOfRange);
  EXPECT_EQ(g.SetSheetTotal(1025), kGridOutOfRange);
  EXPECT_EQ(g.GetSheetTotal(), 1);
  EXPECT_EQ(g.SetTopHeadingRows(65), kGridOutOfRange);
  EXPECT_EQ(g.SetTopHeadingRows(0), kGridOutOfRange);
  EXPECT_EQ(g.SetDefaultRowHeight(0), kGridOutOfRange);
  EXPECT_EQ(g.SetDefaultRowHeight(1025), kGridOutOfRange);
  EXPECT_EQ(g.SetTopHeadingHeight(1025), kGridOutOfRange);
  EXPECT_EQ(g.SetSideHeadingWidth(-1), kGridOutOfRange);
  EXPECT_EQ(g.SetTopHeadingRowHeight(0, 10), 1);   // not a heading row
  EXPECT_EQ(g.SetTopHeadingRowHeight(-2, 10), 1);  // only one heading row
  EXPECT_EQ(g.SetTopHeadingRowHeight(-1, 1025), kGridRefused);
  EXPECT_EQ(g.SetSideHeadingColWidth(-1, -5), kGridRefused);
  EXPECT_EQ(g.SetFrozenColumns(4), kGridOutOfRange);
  EXPECT_EQ(g.SetFrozenRows(6), kGridOutOfRange);
  EXPECT_EQ(g.SetColumnWidth(3, 10), kGridOutOfRange);
  EXPECT_EQ(g.SetRowHeight(5, 10), kGridOutOfRange);
  EXPECT_EQ(g.SetDefaultColumnWidth(-1), kGridOutOfRange);
}

TEST(GridCoreLimits, ZeroColumnsLeaveNoCurrentColumn) {
  RecordingGrid g(0, 0);
  EXPECT_EQ(g.SetColumnTotal(0), kGridOk);
  EXPECT_EQ(g.GetCurrentColumn(), -1);
  EXPECT_EQ(g.GetCurrentRow(), -1);
}

TEST(GridCoreLimits, ManyRowsSwitchToUniformHeightsAndStayThere) {
  RecordingGrid g(2, 10);
  EXPECT_EQ(g.SetRowHeight(3, 50), kGridOk);
  EXPECT_EQ(g.SetRowTotal(64001), kGridOk);
  EXPECT_EQ(g.Sheet().m_uniform, 1);
  EXPECT_EQ(g.GetRowHeight(3), 20);
  EXPECT_EQ(g.GetRowHeight(64000), 20);
  EXPECT_EQ(g.GetRowHeight(64001), 0);
  EXPECT_EQ(g.SetRowTotal(10), kGridOk);
  EXPECT_EQ(g.Sheet().m_uniform, 1);
  EXPECT_EQ(g.SetSharedRowHeight(0), kGridOk);
  EXPECT_EQ(g.GetRowHeight(3), 20);
}

TEST(GridCoreLimits, TotalOfZeroReleasesLockedRowsAndColumns) {
  RecordingGrid g(4, 4);
  ASSERT_EQ(g.SetFrozenRows(2), kGridOk);
  ASSERT_EQ(g.SetFrozenColumns(2), kGridOk);
  EXPECT_EQ(g.SetRowTotal(1), kGridOk);
  EXPECT_EQ(g.Sheet().m_lockedRows, 0);  // n - 1
  EXPECT_EQ(g.SetRowTotal(4), kGridOk);
  EXPECT_EQ(g.SetFrozenRows(2), kGridOk);
  EXPECT_EQ(g.SetRowTotal(0), kGridOk);
  EXPECT_EQ(g.SetColumnTotal(0), kGridOk);
  EXPECT_EQ(g.Sheet().m_lockedRows, 0);
  EXPECT_EQ(g.Sheet().m_lockedCols, 0);
  EXPECT_EQ(g.Sheet().m_lockedHeight, 0);
  EXPECT_EQ(g.Sheet().m_lockedWidth, 0);
  // Growing again starts without locked rows rather than stale ones.
  EXPECT_EQ(g.SetRowTotal(3), kGridOk);
  EXPECT_EQ(g.GetViewTopRow(), 0);
}

TEST(GridCoreLimits, NegativeSizesClampAtZero) {
  RecordingGrid g(3, 3);
  EXPECT_EQ(g.SetRowHeight(1, -7), kGridOk);
  EXPECT_EQ(g.GetRowHeight(1), 0);
  EXPECT_EQ(g.SetColumnWidth(1, -7), kGridOk);
  EXPECT_EQ(g.GetColumnWidth(1), 0);
  // The shared height of uniform mode never reaches 0.
  EXPECT_EQ(g.SetSharedRowHeight(1), kGridOk);
  EXPECT_EQ(g.SetRowHeight(0, -3), kGridOk);
  EXPECT_GE(g.GetRowHeight(0), 1);
}

TEST(GridCoreLimits, RegistriesCountAndReuse) {
  fwtest::EnsureGuiApp();  // fonts need the application
  RecordingGrid g(1, 1);
  int a = g.RegisterFont("Arial", 14, 500);
  int b = g.RegisterFont("Arial", 14, 500);
  EXPECT_EQ(a, b);
  EXPECT_NE(g.RegisterFont("Arial", 14, 700), a);
  EXPECT_EQ(g.SetDefaultFont(99), kGridOutOfRange);
  EXPECT_EQ(g.SetDefaultFont(a), kGridOk);
  // Face names of 32 characters or more are dropped, not truncated.
  int c = g.RegisterFont(std::string(40, 'x').c_str(), 14, 500);
  int d = g.RegisterFont("", 14, 500);
  EXPECT_EQ(c, d);

  std::vector<std::unique_ptr<CGridMemDataSource>> sources;
  for (int i = 1; i <= 63; ++i) {
    sources.push_back(std::make_unique<CGridMemDataSource>());
    EXPECT_EQ(g.RegisterDataSource(sources.back().get()), i);
  }
  CGridMemDataSource extra;
  EXPECT_EQ(g.RegisterDataSource(&extra), -1);
  EXPECT_EQ(g.RegisterDataSource(nullptr), -1);
  EXPECT_EQ(g.SetDefaultDataSource(64), kGridOutOfRange);
  EXPECT_EQ(g.SetDefaultDataSource(5), kGridOk);
  EXPECT_EQ(g.ColumnSource(0), sources[4].get());
  EXPECT_EQ(g.SetDefaultDataSource(0), kGridOk);
  EXPECT_EQ(g.ColumnSource(0), g.Sheet().m_memSource.get());
}

TEST(GridCoreCells, SetCellChecksTheRangeIncludingHeadings) {
  RecordingGrid g(2, 3);
  CGridCellValue cell;
  cell.GridCellSetText("x");
  EXPECT_EQ(g.SetCell(0, 3, cell), kGridOutOfRange);
  EXPECT_EQ(g.SetCell(2, 0, cell), kGridOutOfRange);
  EXPECT_EQ(g.SetCell(-2, 0, cell), kGridOutOfRange);
  EXPECT_EQ(g.SetCell(0, -2, cell), kGridOutOfRange);
  EXPECT_EQ(g.SetCell(-1, 0, cell), kGridOk);
  EXPECT_EQ(g.SetCell(0, -1, cell), kGridOk);
  EXPECT_FALSE(g.GetCellText(0, 2).has_value());
}

class LayeringGrid : public RecordingGrid {
 public:
  LayeringGrid() : RecordingGrid(0, 0) {}
  void OnCellFetched(int col, int row, CGridCellValue* cell) override {
    if (col == 1 && row == 1) cell->GridCellSetText("hooked");
  }
};

TEST(GridCoreCells, GetCellLayersDefaultsSourceHookAndStyle) {
  LayeringGrid g;
  CGridCellValue def;
  def.GridCellSetFlags(0);
  def.GridCellSetBackColor(0x112233);
  def.GridCellSetText("column default");
  g.SetDefaultCell(def);
  EXPECT_EQ(g.SetColumnTotal(3), kGridOk);
  EXPECT_EQ(g.SetRowTotal(3), kGridOk);

  CGridCellValue stored;
  stored.GridCellSetFlags(0);
  stored.GridCellSetTextColor(0x0000FF);
  EXPECT_EQ(g.SetCell(0, 0, stored), kGridOk);  // a colour only: the default text shows through

  CGridCellValue c;
  g.GetCell(0, 0, c);
  EXPECT_EQ(c.GridCellTextOrEmpty(), "column default");
  EXPECT_EQ(c.GridCellGetTextColor(), 0x0000FFu);
  EXPECT_EQ(c.GridCellGetBackColorOrDefault(), 0x112233u);

  g.GetCell(1, 1, c);
  EXPECT_EQ(c.GridCellTextOrEmpty(), "hooked");

  // Headings start from the heading default, not a column's.
  g.GetCell(-1, 0, c);
  EXPECT_EQ(c.GridCellGetBorder(), 0x2000u);
  EXPECT_EQ(c.GridCellGetAlignment(), static_cast<std::uint32_t>(kAlignCenter | kAlignVCenter));
  EXPECT_EQ(c.GridCellGetText(), nullptr);

  // Rows beyond the end carry only the defaults.
  g.GetCell(0, 5, c);
  EXPECT_EQ(c.GridCellTextOrEmpty(), "column default");

  // A style cell is merged over what the source gave.
  CGridCellValue style;
  style.GridCellSetFlags(0);
  style.GridCellSetBackColor(0x445566);
  CGridCellValue styled;
  styled.GridCellSetFlags(0);
  styled.GridCellSetStyleCell(&style);
  EXPECT_EQ(g.SetCell(2, 2, styled), kGridOk);
  g.GetCell(2, 2, c);
  EXPECT_EQ(c.GridCellGetBackColorOrDefault(), 0x445566u);

  // The raw fetch skips defaults and hooks.
  CGridCellValue raw;
  g.GetCellRaw(1, 1, raw);
  EXPECT_EQ(raw.GridCellGetText(), nullptr);
}

TEST(GridCoreCells, MovedColumnsKeepTheirDataColumn) {
  RecordingGrid g(3, 1);
  EXPECT_EQ(g.SetCellText(0, 0, "a"), kGridOk);
  EXPECT_EQ(g.SetCellText(1, 0, "b"), kGridOk);
  EXPECT_EQ(g.SetCellText(2, 0, "c"), kGridOk);
  EXPECT_EQ(g.MoveColumn(0, 2, 0), 0);  // after the last
  EXPECT_EQ(*g.GetCellText(0, 0), "b");
  EXPECT_EQ(*g.GetCellText(2, 0), "a");
  EXPECT_EQ(g.GetColumnMapping(2), 0);
  EXPECT_EQ(g.GetColumnMapping(-1), -1);
  EXPECT_EQ(g.MoveColumn(1, 1, 1), 0);  // onto itself: nothing
  EXPECT_EQ(*g.GetCellText(1, 0), "c");
  EXPECT_EQ(g.MoveColumn(3, 0, 1), kGridOutOfRange);
}

// ---- layout arithmetic ----

TEST(GridCoreLayout, PartsAreArrangedAroundTheCellArea) {
  RecordingGrid g(2, 2, 400, 300);  // everything fits: no bars
  const auto& s = g.Sheet();
  EXPECT_EQ(s.m_rcCells, CRect(40, 20, 400, 300));
  EXPECT_EQ(s.m_rcCorner, CRect(0, 0, 40, 20));
  EXPECT_EQ(s.m_rcTop, CRect(40, 0, 400, 20));
  EXPECT_EQ(s.m_rcSide, CRect(0, 20, 40, 300));
  EXPECT_EQ(s.m_cellAreaHeight, 280);
  // The kept bar sizes survive a layout that did not need the bars.
  EXPECT_GT(s.m_vbarWidth, 0);

  RecordingGrid big(20, 100, 400, 300);
  const auto& b = big.Sheet();
  EXPECT_EQ(b.m_rcVBar.left, 400 - b.m_vbarWidth);
  EXPECT_EQ(b.m_rcHBar.top, 300 - b.m_hbarHeight);
  EXPECT_EQ(b.m_rcCells.right, 400 - b.m_vbarWidth);
}

TEST(GridCoreLayout, MaximumTopRowWithMixedAndZeroHeights) {
  // Cell area 40 + 100 high: heights 10, 30, 0, 50, 20, 40 (rows 0..5).
  RecordingGrid g(1, 6, 140, 120);
  const int heights[] = {10, 30, 0, 50, 20, 40};
  for (int r = 0; r < 6; ++r) EXPECT_EQ(g.SetRowHeight(r, heights[r]), kGridOk);
  g.LayoutParts();
  ASSERT_EQ(g.Sheet().m_cellAreaHeight, 100);
  // 40 + 20 + 50 = 110 > 100: rows 4..5 (60) plus the hidden row 2 do not
  // reach row 3, so the top can go no further than row 4.
  EXPECT_EQ(g.Sheet().m_maxTopRow, 4);
  EXPECT_EQ(g.ScrollToRow(5), kGridOk);
  EXPECT_EQ(g.GetViewTopRow(), 4);

  // Locked rows are never scrolled away.
  EXPECT_EQ(g.SetFrozenRows(1), kGridOk);
  g.LayoutParts();
  EXPECT_GE(g.Sheet().m_maxTopRow, 1);
  EXPECT_EQ(g.ScrollToRow(0), kGridOk);
  EXPECT_EQ(g.GetViewTopRow(), 1);
}

TEST(GridCoreLayout, PagingWithMixedAndZeroHeights) {
  RecordingGrid g(1, 20, 140, 120);  // cell area 100 high, rows of 20
  ASSERT_EQ(g.Sheet().m_cellAreaHeight, 100);
  // Uniform 20: a page from row 0 goes to the last row that still leaves a
  // full row below it within the page.
  EXPECT_EQ(g.PageRowTarget(0, +1), 4);
  EXPECT_EQ(g.PageRowTarget(10, -1), 6);
  // Hidden rows do not use up the page.
  EXPECT_EQ(g.SetRowHeight(1, 0), kGridOk);
  EXPECT_EQ(g.SetRowHeight(2, 0), kGridOk);
  EXPECT_EQ(g.PageRowTarget(0, +1), 6);
  // A tall row ends the page early.
  EXPECT_EQ(g.SetRowHeight(4, 90), kGridOk);
  EXPECT_EQ(g.PageRowTarget(0, +1), 3);
  // Rows outside the grid count with the default height; the move clamps.
  EXPECT_EQ(g.MoveToRow(19), kGridOk);
  g.log.clear();
  EXPECT_EQ(g.StepCurrentRow(kStepPageForward), 1);  // already the last row
  EXPECT_EQ(g.Only("RowsNeeded").size(), 1u);
  EXPECT_EQ(g.GetCurrentRow(), 19);
}

TEST(GridCoreLayout, ViewEndsCountOnlyCellsThatShow) {
  // Both bars show: the cell area is 300 less the vertical bar wide (four
  // columns of 75 reach past it) and 100 high (five rows of 20 fill it exactly).
  RecordingGrid g(10, 20, 340, 120 + GetSystemMetrics(SM_CYHSCROLL));
  ASSERT_EQ(g.Sheet().m_cellAreaHeight, 100);
  EXPECT_EQ(g.GetViewRightCol(), 4);
  EXPECT_EQ(g.GetViewBottomRow(), 5);
  EXPECT_EQ(g.SetColumnWidth(3, 80), kGridOk);
  EXPECT_EQ(g.SetRowHeight(4, 21), kGridOk);  // the fifth row now passes the bottom
  g.RecalcViewEnds();
  EXPECT_EQ(g.GetViewRightCol(), 4);
  EXPECT_EQ(g.GetViewBottomRow(), 5);
  EXPECT_EQ(g.ScrollToRow(15), kGridOk);
  EXPECT_EQ(g.GetViewBottomRow(), 20);
}

TEST(GridCoreLayout, ZeroDefaultColumnWidthDoesNotBreakTheBar) {
  RecordingGrid g(0, 0, 200, 100);
  EXPECT_EQ(g.SetDefaultColumnWidth(0), kGridOk);
  EXPECT_EQ(g.SetColumnTotal(50), kGridOk);
  EXPECT_EQ(g.SetColumnWidth(0, 30), kGridOk);
  g.LayoutParts();
  EXPECT_GE(g.HorzBarSetup().page, 0);
}

TEST(GridCoreLayout, VerticalBarScalesAboveAThousandRows) {
  // Cell area 100 high with rows of 20: 5 rows per view.
  RecordingGrid g(1, 1985, 140, 120 + 17);
  g.LayoutParts();
  ASSERT_EQ(g.Sheet().m_maxTopRow, 1980);
  EXPECT_TRUE(g.VertBarSetup().scaled);
  EXPECT_EQ(g.VertBarSetup().maxPos, 1000);
  g.HandleVScroll(4 /*SB_THUMBPOSITION*/, 500);
  EXPECT_EQ(g.GetViewTopRow(), 990);
  EXPECT_EQ(g.VertBarPos(), 500);
  g.HandleVScroll(4, 1000);
  EXPECT_EQ(g.GetViewTopRow(), 1980);

  RecordingGrid small(1, 100, 140, 120 + 17);
  EXPECT_FALSE(small.VertBarSetup().scaled);
  small.HandleVScroll(4, 40);
  EXPECT_EQ(small.GetViewTopRow(), 40);
}

TEST(GridCoreLayout, HeadingResizeKeepsRowsSummingToTheTotal) {
  RecordingGrid g(1, 1);
  EXPECT_EQ(g.SetTopHeadingRows(3), kGridOk);  // heights 20, 20, 20 with a total of 20
  EXPECT_EQ(g.SetTopHeadingHeight(61), kGridOk);
  int sum = 0;
  for (int r = -1; r >= -3; --r) sum += g.GetTopHeadingRowHeight(r);
  EXPECT_EQ(sum, 61);
  // Rows that sum to 0 still take the new total.
  for (int r = -1; r >= -3; --r) EXPECT_EQ(g.SetTopHeadingRowHeight(r, 0), kGridOk);
  EXPECT_EQ(g.SetTopHeadingHeight(30), kGridOk);
  EXPECT_EQ(g.GetTopHeadingRowHeight(-1), 30);
}

// ---- moves and their notifications ----

TEST(GridCoreMoves, MoveRaisesHooksInOrder) {
  RecordingGrid g(10, 100, 200, 137);  // a few columns and rows visible
  ASSERT_EQ(g.GetCurrentRow(), 0);
  g.log.clear();
  EXPECT_EQ(g.MoveToCell(8, 50), kGridOk);
  const Log expected = {"BeforeCellMove 0,0->8,50",
                        "BeforeViewMove 0,0->8,50",
                        "ColChanged 0->8",
                        "RowChanged 0->50",
                        "CellChanged",
                        "LeftColChanged 0->" + std::to_string(g.GetViewLeftCol()),
                        "TopRowChanged 0->" + std::to_string(g.GetViewTopRow()),
                        "ViewScrolled 6 0->" + std::to_string(g.GetViewTopRow()),
                        "ViewScrolled 5 0->" + std::to_string(g.GetViewLeftCol())};
  EXPECT_EQ(g.log, expected);
  // A visible target asks no view move and moves no view.
  g.log.clear();
  EXPECT_EQ(g.MoveToCell(g.GetViewLeftCol(), 50), kGridOk);
  EXPECT_TRUE(g.Only("BeforeViewMove").empty());
  EXPECT_TRUE(g.Only("TopRowChanged").empty());
  // Moving to the current cell does nothing at all.
  g.log.clear();
  EXPECT_EQ(g.MoveToCell(g.GetCurrentColumn(), 50), kGridOk);
  EXPECT_TRUE(g.log.empty());
}

TEST(GridCoreMoves, RefusedMovesChangeNothing) {
  RecordingGrid g(10, 100, 200, 137);
  g.refuseCellMove = 1;
  EXPECT_EQ(g.MoveToCell(3, 3), kGridRefused);
  EXPECT_EQ(g.MoveToRow(3), kGridRefused);
  EXPECT_EQ(g.MoveToColumn(3), kGridRefused);
  EXPECT_EQ(g.GetCurrentColumn(), 0);
  EXPECT_EQ(g.GetCurrentRow(), 0);
  EXPECT_TRUE(g.Only("RowChanged").empty());
  EXPECT_TRUE(g.Only("CellChanged").empty());

  g.refuseCellMove = 0;
  g.refuseViewMove = 1;
  EXPECT_EQ(g.MoveToRow(90), kGridRefused);
  EXPECT_EQ(g.GetCurrentRow(), 0);
  EXPECT_EQ(g.GetViewTopRow(), 0);
  EXPECT_EQ(g.ScrollToRow(10), kGridRefused);
  EXPECT_EQ(g.MoveToRow(1), 0);  // visible: no view move asked
}

TEST(GridCoreMoves, PastTheLastRowAsksForRowsBeforeClamping) {
  RecordingGrid g(2, 5);
  EXPECT_EQ(g.MoveToRow(2), kGridOk);
  g.log.clear();
  EXPECT_EQ(g.MoveToRow(8), kGridOk);
  EXPECT_EQ(g.log.front(), "RowsNeeded 5,4");
  EXPECT_EQ(g.GetCurrentRow(), 4);
  g.log.clear();
  EXPECT_EQ(g.MoveToRow(5), 1);  // already last
  EXPECT_EQ(g.log, (Log{"RowsNeeded 5,1"}));
  // An owner that supplies rows lets the move go on.
  g.rowsToAdd = 3;
  EXPECT_EQ(g.MoveToRow(6), kGridOk);
  EXPECT_EQ(g.GetRowTotal(), 8);
  EXPECT_EQ(g.GetCurrentRow(), 6);
  // Negative targets become row 0; stepping tells apart "how" values.
  EXPECT_EQ(g.MoveToRow(-4), kGridOk);
  EXPECT_EQ(g.GetCurrentRow(), 0);
  EXPECT_EQ(g.StepCurrentRow(9), kGridOk);
  EXPECT_EQ(g.GetCurrentRow(), 0);
}

// A grid whose data cells are all of a type that writes down the cells it
// is told scrolled into or out of view.
class ScrollNoticeGrid : public RecordingGrid {
 public:
  struct Recorder : CNormalCellType {
    std::set<std::pair<int, int>> cells;
    void HandleScrolled(int col, int row, CGridCellValue*) override { cells.insert({col, row}); }
  } type;
  int index;
  ScrollNoticeGrid() : RecordingGrid(12, 60), index(RegisterCellType(&type)) {}
  void OnCellFetched(int, int row, CGridCellValue* cell) override {
    if (row >= 0) cell->GridCellSetCellType(index);
  }
  bool Heard(int col, int row) const { return type.cells.count({col, row}) != 0; }
};

TEST(GridCoreMoves, EveryCellOfARowOrColumnEnteringOrLeavingTheViewHearsOfIt) {
  ScrollNoticeGrid g;
  ASSERT_EQ(g.GetCurrentRow(), 0);
  const int lastRow = g.GetViewBottomRow() - 1;
  std::vector<int> cols;
  for (auto [col, x] : g.VisibleColumns()) cols.push_back(col);
  ASSERT_GE(cols.size(), 3u);
  ASSERT_LT(cols.size(), 12u);
  EXPECT_EQ(g.ScrollToRow(1), kGridOk);
  ASSERT_EQ(g.GetViewBottomRow(), lastRow + 2);
  for (int col : cols) {
    EXPECT_TRUE(g.Heard(col, 0)) << col;            // left at the top
    EXPECT_TRUE(g.Heard(col, lastRow + 1)) << col;  // came in at the bottom
    EXPECT_FALSE(g.Heard(col, 5)) << col;           // stayed in view
  }
  // Columns likewise, over every row in view.
  g.type.cells.clear();
  std::vector<int> rows;
  for (auto [row, y] : g.VisibleRows()) rows.push_back(row);
  const int lastCol = g.GetViewRightCol() - 1;
  EXPECT_EQ(g.ScrollToColumn(2), kGridOk);
  for (int row : rows) {
    EXPECT_TRUE(g.Heard(0, row)) << row;
    EXPECT_TRUE(g.Heard(1, row)) << row;
    EXPECT_FALSE(g.Heard(lastCol, row)) << row;
  }
  for (int col = lastCol + 1; col < g.GetViewRightCol(); ++col)
    EXPECT_TRUE(g.Heard(col, rows[1])) << col;
}

TEST(GridCoreMoves, ControlHomeKeepsTheColumn) {
  RecordingGrid g(5, 20);
  EXPECT_EQ(g.MoveToCell(3, 12), kGridOk);
  EXPECT_TRUE(g.HandleNavigationKey(0x24, true));
  EXPECT_EQ(g.GetCurrentRow(), 0);
  EXPECT_EQ(g.GetCurrentColumn(), 3);
  EXPECT_TRUE(g.HandleNavigationKey(0x23, false));  // End: last column
  EXPECT_EQ(g.GetCurrentColumn(), 4);
}

TEST(GridCoreMoves, ScrollingNeverPassesTheLockedRows) {
  RecordingGrid g(2, 100, 200, 137);
  EXPECT_EQ(g.SetFrozenRows(2), kGridOk);
  EXPECT_EQ(g.ScrollToRow(10), kGridOk);
  EXPECT_EQ(g.HandleWheelDelta(240), 2);
  EXPECT_EQ(g.GetViewTopRow(), 4);
  g.HandleWheelDelta(1200);
  EXPECT_EQ(g.GetViewTopRow(), 2);
}

TEST(GridCoreMoves, WheelPartsAddUpToNotches) {
  RecordingGrid g(2, 100, 200, 137);
  EXPECT_EQ(g.ScrollToRow(20), kGridOk);
  EXPECT_EQ(g.HandleWheelDelta(-40), 0);
  EXPECT_EQ(g.HandleWheelDelta(-40), 0);
  EXPECT_EQ(g.GetViewTopRow(), 20);
  EXPECT_EQ(g.HandleWheelDelta(-40), -1);
  EXPECT_EQ(g.GetViewTopRow(), 23);
  // A change of direction drops the part collected the other way.
  g.HandleWheelDelta(-100);
  EXPECT_EQ(g.HandleWheelDelta(100), 0);
  EXPECT_EQ(g.GetViewTopRow(), 23);
}

// ---- joined cells ----

TEST(GridCoreJoins, AJoinTheSourceCannotStoreIsReportedRefused) {
  // A source that keeps cells until it is full.
  struct SmallSource : CGridMemDataSource {
    int room = 0;
    int SetCell(int col, int row, const CGridCellValue& cell) override {
      if (room <= 0) return kSourceUnsupported;
      --room;
      return CGridMemDataSource::SetCell(col, row, cell);
    }
  } source;
  RecordingGrid g(6, 6);
  ASSERT_EQ(g.SetDefaultDataSource(g.RegisterDataSource(&source)), kGridOk);
  source.room = 2;
  EXPECT_EQ(g.MergeCells(1, 1, 3, 1), kGridRefused);
  int c1, r1, c2, r2;
  EXPECT_FALSE(g.GetJoinBlock(2, 1, c1, r1, c2, r2));
  source.room = 100;
  EXPECT_EQ(g.MergeCells(1, 1, 3, 1), kGridOk);
  EXPECT_TRUE(g.GetJoinBlock(2, 1, c1, r1, c2, r2));
  EXPECT_EQ(c2, 3);
}

TEST(GridCoreJoins, KeysStepOverBlocksAndLandOnOrigins) {
  RecordingGrid g(8, 8);
  ASSERT_EQ(g.MergeCells(2, 1, 4, 1), 0);  // three columns in row 1
  ASSERT_EQ(g.MergeCells(1, 3, 1, 5), 0);  // three rows in column 1
  EXPECT_EQ(g.MergeCells(3, 3, 2, 3), kGridOutOfRange);
  EXPECT_EQ(g.MergeCells(0, 0, 8, 0), kGridOutOfRange);

  EXPECT_EQ(g.MoveToCell(2, 1), kGridOk);
  EXPECT_TRUE(g.HandleNavigationKey(0x27, false));  // Right
  EXPECT_EQ(g.GetCurrentColumn(), 5);
  EXPECT_TRUE(g.HandleNavigationKey(0x25, false));  // Left into the block: its origin
  EXPECT_EQ(g.GetCurrentColumn(), 2);
  EXPECT_TRUE(g.HandleNavigationKey(0x25, false));
  EXPECT_EQ(g.GetCurrentColumn(), 1);

  // A cell inside a block resolves to the origin.
  EXPECT_EQ(g.MoveToCell(4, 1), kGridOk);
  EXPECT_EQ(g.GetCurrentColumn(), 2);

  EXPECT_EQ(g.MoveToCell(1, 2), kGridOk);
  EXPECT_TRUE(g.HandleNavigationKey(0x28, false));  // Down onto the block
  EXPECT_EQ(g.GetCurrentRow(), 3);
  EXPECT_TRUE(g.HandleNavigationKey(0x28, false));  // and over it
  EXPECT_EQ(g.GetCurrentRow(), 6);
  EXPECT_TRUE(g.HandleNavigationKey(0x26, false));  // Up: back to the origin
  EXPECT_EQ(g.GetCurrentRow(), 3);

  // Hit-testing and rectangles use the whole block.
  EXPECT_EQ(g.ScrollToColumn(0), kGridOk);
  CRect rect;
  int col = -1, row = -1;
  ASSERT_EQ(g.HitTestCell(75 * 3 + 10, 25, col, row, rect), kGridOk);
  EXPECT_EQ(col, 2);
  EXPECT_EQ(row, 1);
  EXPECT_EQ(rect, CRect(150, 20, 375, 40));
  CRect none;
  EXPECT_EQ(g.HitTestCellNoMerge(75 * 3 + 10, 25, col, row, none), kGridOk);
  EXPECT_EQ(col, 3);
}

TEST(GridCoreJoins, HeadingBlocksHaveTheRectangleOfAllTheirCells) {
  RecordingGrid g(8, 8);
  ASSERT_EQ(g.SetTopHeadingRows(2), kGridOk);
  ASSERT_EQ(g.MergeCells(0, -2, 0, -1), kGridOk);  // a column over both heading rows
  ASSERT_EQ(g.MergeCells(1, -2, 3, -2), kGridOk);  // a heading row over three columns
  CRect rect;
  ASSERT_EQ(g.GetCellRectangle(0, -1, rect), kGridOk);
  EXPECT_EQ(rect, CRect(0, 0, 75, 40));
  ASSERT_EQ(g.GetCellRectangle(2, -2, rect), kGridOk);
  EXPECT_EQ(rect, CRect(75, 0, 300, 20));
  ASSERT_EQ(g.GetCellRectangle(2, -1, rect), kGridOk);
  EXPECT_EQ(rect, CRect(150, 20, 225, 40));
}

TEST(GridCoreJoins, RowMovesWithoutColumnsIgnoreJoinedHeadingCells) {
  // No data columns: the current column is -1, and the side heading's cells
  // are no part of the current cell's row moves.
  RecordingGrid g(0, 8);
  ASSERT_EQ(g.GetCurrentColumn(), -1);
  ASSERT_EQ(g.MergeCells(-1, 2, -1, 4), kGridOk);
  EXPECT_EQ(g.MoveToRow(3), kGridOk);
  EXPECT_EQ(g.GetCurrentRow(), 3);
}

// ---- editing ----

TEST(GridCoreEditing, RefusedStartsLeaveEditingPossible) {
  RecordingGrid g(3, 3);
  g.refuseEdit = 1;
  EXPECT_EQ(g.BeginCellEdit(), kGridOutOfRange);
  EXPECT_FALSE(g.IsEditing());
  g.refuseEdit = 0;
  EXPECT_EQ(g.BeginCellEdit(), kGridOk);
  EXPECT_TRUE(g.IsEditing());
  EXPECT_EQ(g.BeginCellEdit(), 1);  // one edit at a time
  g.HideEditWindow();

  // A refused move to the edited cell, and a read-only cell, end the attempt too.
  g.refuseCellMove = 1;
  EXPECT_EQ(g.BeginCellEditAt(2, 2, 0), kGridRefused);
  EXPECT_FALSE(g.IsEditing());
  g.refuseCellMove = 0;
  CGridCellValue ro;
  ro.GridCellSetReadOnly(true);
  EXPECT_EQ(g.SetCell(1, 1, ro), kGridOk);
  EXPECT_EQ(g.BeginCellEditAt(1, 1, 0), kGridOutOfRange);
  EXPECT_FALSE(g.IsEditing());
  EXPECT_EQ(g.BeginCellEditAt(2, 2, 0), kGridOk);
}

TEST(GridCoreEditing, FinishStoresContinuesAndWraps) {
  RecordingGrid g(3, 2);
  EXPECT_EQ(g.MoveToCell(2, 0), kGridOk);
  ASSERT_EQ(g.BeginCellEdit(), kGridOk);
  g.log.clear();
  // Tab in the last column goes on in column 0 of the same row.
  EXPECT_EQ(g.FinishCellEdit("hello", 0, 1, 3, 0), kGridEditEnded);
  EXPECT_EQ(*g.GetCellText(2, 0), "hello");
  EXPECT_EQ(g.log, (Log{"EditDone 2,0 hello", "EditMoveOn 2,0->0,0", "BeforeCellMove 2,0->0,0",
                        "ColChanged 2->0", "CellChanged", "BeforeEdit 0,0"}));
  EXPECT_TRUE(g.IsEditing());
  EXPECT_EQ(g.GetEditColumn(), 0);

  // A refused text keeps the edit open; Escape keeps the old value.
  EXPECT_EQ(g.SetCellText(0, 0, "old"), kGridOk);
  g.refuseEditDone = 1;
  EXPECT_EQ(g.FinishCellEdit("bad", 0, 0, 0, 0), kGridEditGoesOn);
  EXPECT_TRUE(g.IsEditing());
  g.refuseEditDone = 0;
  EXPECT_EQ(g.FinishCellEdit("typed", 1, 0, 0, 0), kGridEditEnded);
  EXPECT_FALSE(g.IsEditing());
  EXPECT_EQ(*g.GetCellText(0, 0), "old");

  // Up from row 0 wraps to the last row; a refused move-on ends the edit.
  ASSERT_EQ(g.BeginCellEdit(), kGridOk);
  g.refuseMoveOn = 1;
  EXPECT_EQ(g.FinishCellEdit("x", 0, 1, 0, -1), kGridEditEnded);
  EXPECT_FALSE(g.IsEditing());
}

TEST(GridCoreEditing, NumberCellsKeepTheirType) {
  RecordingGrid g(1, 1);
  CGridCellValue n;
  n.GridCellSetNumber(5);
  n.GridCellSetDataType(kGridNumber);
  EXPECT_EQ(g.SetCell(0, 0, n), kGridOk);
  ASSERT_EQ(g.BeginCellEdit(), kGridOk);
  EXPECT_EQ(g.FinishCellEdit("12.5", 0, 0, 0, 0), kGridEditEnded);
  CGridCellValue c;
  g.GetCell(0, 0, c);
  EXPECT_EQ(c.GridCellGetDataType(), kGridNumber);
  EXPECT_DOUBLE_EQ(c.GridCellGetNumber(), 12.5);
}

// ---- sheets ----

TEST(GridCoreSheets, RemovingTheCurrentSheetSwitchesFirst) {
  RecordingGrid g(2, 2);
  EXPECT_EQ(g.SetSheetTotal(3), kGridOk);
  EXPECT_EQ(g.Only("SheetCreated"), (Log{"SheetCreated 1", "SheetCreated 2"}));
  EXPECT_EQ(g.GetSelectedSheet(), 0);  // the current sheet stays
  EXPECT_EQ(g.GetColumnTotal(), 2);
  ASSERT_EQ(g.SelectSheet(2), kGridOk);
  EXPECT_EQ(g.SetColumnTotal(7), kGridOk);
  EXPECT_EQ(g.SelectSheet(3), kGridOutOfRange);
  EXPECT_EQ(g.SetSheetTotal(1), kGridOk);
  EXPECT_EQ(g.GetSelectedSheet(), 0);
  EXPECT_EQ(&g.Sheet(), &g.Sheet());
  EXPECT_EQ(g.GetColumnTotal(), 2);
  // The surviving sheet is fully usable.
  EXPECT_EQ(g.MoveToCell(1, 1), kGridOk);
}

TEST(GridCoreSheets, SheetsKeepTheirOwnState) {
  RecordingGrid g(2, 2);
  EXPECT_EQ(g.SetSheetTotal(2), kGridOk);
  g.SetTabAreaWidth(120);
  EXPECT_EQ(g.SelectSheet(1), kGridOk);
  EXPECT_EQ(g.Sheet().m_tabWidth, 120);  // taken over from the old sheet
  EXPECT_EQ(g.SetColumnTotal(4), kGridOk);
  EXPECT_EQ(g.SetCellText(3, 0, "second"), 1);  // a new sheet has no rows yet
  EXPECT_EQ(g.SetRowTotal(1), kGridOk);
  EXPECT_EQ(g.SetCellText(3, 0, "second"), kGridOk);
  EXPECT_EQ(g.SelectSheet(0), kGridOk);
  EXPECT_EQ(g.GetColumnTotal(), 2);
  EXPECT_FALSE(g.GetCellText(1, 0).has_value());
  EXPECT_EQ(g.SelectSheet(1), kGridOk);
  EXPECT_EQ(g.GetCellText(3, 0).value_or(""), "second");
}

// ---- fitting ----

TEST(GridCoreFitting, ContentFitTakesTheWidestRowsAndHeadings) {
  RecordingGrid g(2, 30);
  EXPECT_EQ(g.SetCellText(0, 0, "1234567890"), kGridOk);  // 10 characters: 76 by the estimate
  EXPECT_EQ(g.SetCellText(0, 25, std::string(40, 'x')), kGridOk);  // below the first 20 rows
  EXPECT_EQ(g.SetCellText(0, -1, "abc"), kGridOk);
  EXPECT_EQ(g.FitColumnsToContent(-2, 1, 20, 1), kGridFitBadFirst);
  EXPECT_EQ(g.FitColumnsToContent(0, 2, 20, 1), kGridFitBadLast);
  EXPECT_EQ(g.FitColumnsToContent(1, 0, 20, 1), kGridFitReversed);
  g.log.clear();
  EXPECT_EQ(g.FitColumnsToContent(0, 0, 20, 1), kGridOk);
  EXPECT_EQ(g.GetColumnWidth(0), 10 * 7 + 6 + 2);
  EXPECT_EQ(g.log, (Log{"ColWidthSet 0 78"}));
  // An empty column starts at 3.
  EXPECT_EQ(g.FitColumnsToContent(1, 1, 0, 0), kGridOk);
  EXPECT_EQ(g.GetColumnWidth(1), 5);
}

TEST(GridCoreFitting, WindowFitSharesTheAreaInProportion) {
  RecordingGrid g(3, 1, 340, 100);  // cell area 300 wide
  EXPECT_EQ(g.SetColumnWidth(0, 10), kGridOk);
  EXPECT_EQ(g.SetColumnWidth(1, 20), kGridOk);
  EXPECT_EQ(g.SetColumnWidth(2, 30), kGridOk);
  EXPECT_EQ(g.FitColumnsToWindow(0, 2), kGridOk);
  EXPECT_EQ(g.GetColumnWidth(0), 50);
  EXPECT_EQ(g.GetColumnWidth(1), 100);
  EXPECT_EQ(g.GetColumnWidth(2), 150);
  for (int c = 0; c < 3; ++c) EXPECT_EQ(g.SetColumnWidth(c, 0), kGridOk);
  EXPECT_EQ(g.FitColumnsToWindow(0, 2), kGridOk);
  EXPECT_EQ(g.GetColumnWidth(0) + g.GetColumnWidth(1) + g.GetColumnWidth(2), 300);
  EXPECT_EQ(g.FitColumnsToWindow(2, 1), kGridOutOfRange);
}

}  // namespace

namespace {

class FocusGrid : public RecordingGrid {
 public:
  FocusGrid() : RecordingGrid(1, 1) {}
  void OnFocusLostSection(int section) override { Log("FocusLostSection " + N(section)); }
};

TEST(GridCoreHooks, DefaultsAnswerAsDocumented) {
  FocusGrid g;
  std::string tip;
  EXPECT_EQ(g.OnToolTipText(3, 7, 1, &tip), 1);
  EXPECT_EQ(tip, "Col:3 Row:7");
  EXPECT_EQ(g.OnGetBackColor(2), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(g.OnGetBackColor(1), GetSysColor(COLOR_WINDOW));
  g.OnFocusLost(1, nullptr);
  EXPECT_EQ(g.log, (std::vector<std::string>{"FocusLostSection 1"}));
  EXPECT_EQ(g.OnContextHelp(0, 0, 1), 0);
  EXPECT_EQ(g.OnCellTypeEvent(1, 0, 0, 100, 0), 1);
  // Unregistered type indexes draw with the normal type.
  EXPECT_EQ(g.GetCellTypeObject(7), g.GetCellTypeObject(0));
  EXPECT_NE(g.GetCellTypeObject(1), g.GetCellTypeObject(0));
  EXPECT_EQ(g.GetCellTypeObject(1)->GetName(), "DropList");
  EXPECT_EQ(g.GetCellTypeObject(2)->GetName(), "CheckBox");
  EXPECT_EQ(g.GetCellTypeObject(3)->GetName(), "Side Arrows");
  EXPECT_EQ(g.RegisterCellType(nullptr), -1);
}

}  // namespace
