// Columns and rows are laid out, scrolled and moved by the same rules: each
// scenario runs once along the columns of a grid one row high and once along
// the rows of a grid one column wide, through the operations of that axis.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ctrl_recording_grid.h"
#include "grid/gridcore.h"

namespace {

using Log = std::vector<std::string>;

class Axes : public ::testing::TestWithParam<bool> {
 protected:
  bool Cols() const { return GetParam(); }

  // A grid whose parts along the axis have these sizes, in a cell area
  // `extent` pixels long along the axis.
  void Make(const std::vector<int>& sizes, int extent) {
    const int n = static_cast<int>(sizes.size());
    if (Cols())
      m_g = std::make_unique<RecordingGrid>(n, 1, 40 + extent, 300);
    else
      m_g = std::make_unique<RecordingGrid>(1, n, 400, 20 + extent);
    for (int i = 0; i < n; ++i) SetSize(i, sizes[static_cast<std::size_t>(i)]);
    g().LayoutParts();
    g().log.clear();
  }
  RecordingGrid& g() { return *m_g; }

  void SetSize(int i, int size) {
    EXPECT_EQ(Cols() ? g().SetColumnWidth(i, size) : g().SetRowHeight(i, size), kGridOk);
  }
  int Size(int i) { return Cols() ? g().GetColumnWidth(i) : g().GetRowHeight(i); }
  int Extent() { return Cols() ? g().Sheet().m_cellAreaWidth : g().Sheet().m_cellAreaHeight; }
  int Max() { return Cols() ? g().Sheet().m_maxLeftCol : g().Sheet().m_maxTopRow; }
  int First() { return Cols() ? g().GetViewLeftCol() : g().GetViewTopRow(); }
  int End() { return Cols() ? g().GetViewRightCol() : g().GetViewBottomRow(); }
  int Current() { return Cols() ? g().GetCurrentColumn() : g().GetCurrentRow(); }
  int LockedSize() { return Cols() ? g().Sheet().m_lockedWidth : g().Sheet().m_lockedHeight; }
  int Freeze(int n) {
    int r = Cols() ? g().SetFrozenColumns(n) : g().SetFrozenRows(n);
    g().LayoutParts();
    return r;
  }
  int ScrollTo(int i) { return Cols() ? g().ScrollToColumn(i) : g().ScrollToRow(i); }
  int StepView(int how) { return Cols() ? g().StepLeftColumn(how) : g().StepTopRow(how); }
  int MoveTo(int i) { return Cols() ? g().MoveToColumn(i) : g().MoveToRow(i); }
  int StepCurrent(int how) { return Cols() ? g().StepCurrentColumn(how) : g().StepCurrentRow(how); }
  int Page(int from, int dir) {
    return Cols() ? g().PageColTarget(from, dir) : g().PageRowTarget(from, dir);
  }
  int Offset(int i) { return Cols() ? g().ColLeft(i) : g().RowTop(i); }
  std::vector<std::pair<int, int>> Visible() {
    return Cols() ? g().VisibleColumns() : g().VisibleRows();
  }
  void StoreWhileDragging(int i, int size) {
    if (Cols())
      g().StoreColumnWidthWhileDragging(i, size);
    else
      g().StoreRowHeightWhileDragging(i, size);
  }
  // The part under a point `pos` pixels along the axis, -1 for none.
  int Hit(int pos) {
    int col = -1, row = -1;
    if ((Cols() ? g().HitTestCell(pos, 1, col, row) : g().HitTestCell(1, pos, col, row)) != 0)
      return -1;
    return Cols() ? col : row;
  }
  // A cell position written as the log writes it: the index on this axis,
  // 0 on the other.
  std::string At(int i) { return Cols() ? std::to_string(i) + ",0" : "0," + std::to_string(i); }

 private:
  std::unique_ptr<RecordingGrid> m_g;
};

std::vector<int> Same(int n, int size) {
  return std::vector<int>(static_cast<std::size_t>(n), size);
}

TEST_P(Axes, LastFirstPartFillsTheViewWithMixedAndHiddenParts) {
  Make({10, 30, 0, 50, 20, 40}, 100);
  ASSERT_EQ(Extent(), 100);
  // 40 + 20 + 50 passes 100: parts 4 and 5 end the view, part 4 comes first.
  EXPECT_EQ(Max(), 4);
  EXPECT_EQ(ScrollTo(5), kGridOk);
  EXPECT_EQ(First(), 4);
  EXPECT_EQ(End(), 6);
  // Frozen parts never scroll away and count into the view.
  EXPECT_EQ(Freeze(1), kGridOk);
  EXPECT_EQ(LockedSize(), 10);
  EXPECT_EQ(First(), 1);
  EXPECT_EQ(Max(), 4);
  EXPECT_EQ(ScrollTo(0), kGridOk);
  EXPECT_EQ(First(), 1);
  EXPECT_EQ(Freeze(7), kGridOutOfRange);
}

TEST_P(Axes, PagesSkipHiddenPartsAndStopBeforeALargeOne) {
  Make(Same(20, 20), 100);
  EXPECT_EQ(Page(0, +1), 4);
  EXPECT_EQ(Page(10, -1), 6);
  SetSize(1, 0);
  SetSize(2, 0);
  EXPECT_EQ(Page(0, +1), 6);
  SetSize(4, 90);
  EXPECT_EQ(Page(0, +1), 3);
}

TEST_P(Axes, ViewStepsPassHiddenPartsAndStayInRange) {
  Make(Same(20, 20), 100);
  SetSize(2, 0);
  SetSize(3, 0);
  g().LayoutParts();
  ASSERT_EQ(Max(), 15);
  EXPECT_EQ(StepView(kStepForward), kGridOk);
  EXPECT_EQ(First(), 1);
  EXPECT_EQ(StepView(kStepForward), kGridOk);
  EXPECT_EQ(First(), 4);
  EXPECT_EQ(StepView(kStepBack), kGridOk);
  EXPECT_EQ(First(), 1);
  EXPECT_EQ(StepView(kStepLast), kGridOk);
  EXPECT_EQ(First(), 15);
  EXPECT_EQ(StepView(kStepForward), kGridOk);
  EXPECT_EQ(First(), 15);
  EXPECT_EQ(StepView(kStepFirst), kGridOk);
  EXPECT_EQ(StepView(kStepPageForward), kGridOk);
  EXPECT_EQ(First(), 6);
  EXPECT_EQ(StepView(9), kGridOk);  // no such step
  EXPECT_EQ(First(), 6);
  // The view move is asked with the target on this axis only.
  g().log.clear();
  g().refuseViewMove = 1;
  EXPECT_EQ(ScrollTo(8), kGridRefused);
  EXPECT_EQ(First(), 6);
  EXPECT_EQ(g().log, (Log{Cols() ? "BeforeViewMove 6,0->8,0" : "BeforeViewMove 0,6->0,8"}));
}

TEST_P(Axes, OffsetsVisiblePartsAndHitsAgree) {
  Make({30, 0, 40, 50, 20}, 100);
  ASSERT_EQ(Freeze(1), kGridOk);
  ASSERT_EQ(ScrollTo(2), kGridOk);
  ASSERT_EQ(First(), 2);
  EXPECT_EQ(Offset(0), 0);
  EXPECT_EQ(Offset(1), -1);  // scrolled out
  EXPECT_EQ(Offset(2), 30);
  EXPECT_EQ(Offset(3), 70);
  EXPECT_EQ(Offset(4), 120);
  EXPECT_EQ(Offset(5), -1);
  EXPECT_EQ(Visible(), (std::vector<std::pair<int, int>>{{0, 0}, {2, 30}, {3, 70}}));
  EXPECT_EQ(End(), 4);
  EXPECT_EQ(Hit(10), 0);
  EXPECT_EQ(Hit(30), 2);
  EXPECT_EQ(Hit(69), 2);
  EXPECT_EQ(Hit(70), 3);
  EXPECT_EQ(Hit(99), 3);
  EXPECT_EQ(Hit(100), -1);
  CRect rect;
  ASSERT_EQ(Cols() ? g().GetCellRectangle(3, 0, rect) : g().GetCellRectangle(0, 3, rect), kGridOk);
  EXPECT_EQ(Cols() ? rect : CRect(rect.top, rect.left, rect.bottom, rect.right),
            CRect(70, 0, 120, Cols() ? g().GetRowHeight(0) : g().GetColumnWidth(0)));
}

TEST_P(Axes, MovesKeepTheCurrentPartInView) {
  Make(Same(20, 20), 100);
  g().log.clear();
  EXPECT_EQ(MoveTo(7), kGridOk);
  EXPECT_EQ(Current(), 7);
  EXPECT_EQ(First(), 3);
  EXPECT_EQ(g().Only("BeforeViewMove"), (Log{"BeforeViewMove 0,0->" + At(7)}));
  EXPECT_EQ(g().Only(Cols() ? "LeftColChanged" : "TopRowChanged").size(), 1u);
  EXPECT_EQ(MoveTo(2), kGridOk);
  EXPECT_EQ(First(), 2);
  EXPECT_EQ(StepCurrent(kStepLast), kGridOk);
  EXPECT_EQ(Current(), 19);
  EXPECT_EQ(First(), 15);
  EXPECT_EQ(StepCurrent(kStepPageBack), kGridOk);
  EXPECT_EQ(Current(), 15);
  EXPECT_EQ(StepCurrent(kStepFirst), kGridOk);
  EXPECT_EQ(Current(), 0);
  EXPECT_EQ(First(), 0);
  // A refused move changes nothing and raises no change.
  g().refuseCellMove = 1;
  g().log.clear();
  EXPECT_EQ(MoveTo(5), kGridRefused);
  EXPECT_EQ(Current(), 0);
  EXPECT_EQ(g().log, (Log{"BeforeCellMove 0,0->" + At(5)}));
}

TEST_P(Axes, MovesThroughAJoinedBlockLandOnItsEdges) {
  Make(Same(8, 20), 300);
  EXPECT_EQ(MoveTo(3), kGridOk);
  // Parts 2..4 joined in the other axis' part 0, around the current cell.
  ASSERT_EQ(Cols() ? g().MergeCells(2, 0, 4, 0) : g().MergeCells(0, 2, 0, 4), kGridOk);
  EXPECT_EQ(MoveTo(2), kGridOk);  // back from inside: the part before the block
  EXPECT_EQ(Current(), 1);
  EXPECT_EQ(MoveTo(3), kGridOk);  // forward from before the block: its origin
  EXPECT_EQ(Current(), 2);
  EXPECT_EQ(MoveTo(3), kGridOk);  // forward from the origin: the part after it
  EXPECT_EQ(Current(), 5);
  EXPECT_EQ(MoveTo(3), kGridOk);  // back from beyond the block: its origin
  EXPECT_EQ(Current(), 2);
  EXPECT_EQ(MoveTo(6), kGridOk);
  EXPECT_EQ(MoveTo(4), kGridOk);
  EXPECT_EQ(Current(), 2);
}

TEST_P(Axes, DraggedSizesKeepTheFrozenSizeRight) {
  Make({30, 20, 40, 50}, 100);
  ASSERT_EQ(Freeze(2), kGridOk);
  EXPECT_EQ(LockedSize(), 50);
  StoreWhileDragging(0, 45);
  EXPECT_EQ(Size(0), 45);
  EXPECT_EQ(LockedSize(), 65);
  StoreWhileDragging(1, -5);
  EXPECT_EQ(Size(1), 0);
  EXPECT_EQ(LockedSize(), 45);
  StoreWhileDragging(3, 10);
  EXPECT_EQ(Size(3), 10);
  EXPECT_EQ(LockedSize(), 45);
  StoreWhileDragging(4, 10);  // no such part: nothing
  EXPECT_EQ(LockedSize(), 45);
}

TEST_P(Axes, HeadingPartsRescaleAndTheLastTakesTheRest) {
  RecordingGrid g(2, 2);
  CGridSheetState& s = g.Sheet();
  // Three heading parts across this axis: heading rows for the columns'
  // heading, heading columns for the rows' heading.
  if (Cols()) {
    ASSERT_EQ(g.SetTopHeadingRows(3), kGridOk);
  } else {
    s.m_sideHeadCols = 3;
    s.m_sideHeadWidths.assign(3, 20);
  }
  auto total = [&] { return Cols() ? g.GetTopHeadingHeight() : g.GetSideHeadingWidth(); };
  auto part = [&](int i) {
    return Cols() ? g.GetTopHeadingRowHeight(i)
                  : s.m_sideHeadWidths[static_cast<std::size_t>(-i - 1)];
  };
  auto setTotal = [&](int v) {
    return Cols() ? g.SetTopHeadingHeight(v) : g.SetSideHeadingWidth(v);
  };
  auto setPart = [&](int i, int v) {
    return Cols() ? g.SetTopHeadingRowHeight(i, v) : g.SetSideHeadingColWidth(i, v);
  };
  EXPECT_EQ(setTotal(61), kGridOk);
  EXPECT_EQ(total(), 61);
  EXPECT_EQ(part(-1) + part(-2) + part(-3), 61);
  EXPECT_EQ(setTotal(1025), kGridOutOfRange);
  EXPECT_EQ(setPart(-4, 10), kGridOutOfRange);
  EXPECT_EQ(setPart(0, 10), kGridOutOfRange);
  EXPECT_EQ(setPart(-2, 1025), kGridRefused);
  EXPECT_EQ(setPart(-2, 5), kGridOk);
  EXPECT_EQ(part(-2), 5);
  // The part next to the cells takes what the others leave of the total.
  if (Cols())
    g.FixLastHeadingRow();
  else
    g.FixLastHeadingCol();
  EXPECT_EQ(part(-1), 61 - 5 - part(-3));
  // A drag sets one part and the total without rescaling the others.
  if (Cols())
    g.StoreTopHeadingWhileDragging(-3, 7, 70);
  else
    g.StoreSideHeadingWhileDragging(-3, 7, 70);
  EXPECT_EQ(part(-3), 7);
  EXPECT_EQ(part(-2), 5);
  EXPECT_EQ(total(), 70);
  EXPECT_EQ(Cols() ? s.m_rcTop.Height() : s.m_rcSide.Width(), 70);
}

TEST_P(Axes, NewSizesAndCountsBringTheViewAndItsBarAlongAtOnce) {
  Make(Same(20, 20), 100);
  ASSERT_EQ(Max(), 15);
  SetSize(19, 100);  // the last part alone fills the view
  EXPECT_EQ(Max(), 19);
  SetSize(19, 20);
  EXPECT_EQ(Max(), 15);
  ASSERT_EQ(StepView(kStepLast), kGridOk);
  ASSERT_EQ(First(), 15);
  g().log.clear();
  EXPECT_EQ(Cols() ? g().SetColumnTotal(10) : g().SetRowTotal(10), kGridOk);
  EXPECT_EQ(First(), 5);
  EXPECT_EQ(g().Only("ViewScrolled"),
            (Log{Cols() ? "ViewScrolled 5 15->5" : "ViewScrolled 6 15->5"}));
  EXPECT_EQ(Cols() ? g().HorzBarPos() : g().VertBarPos(), 5);
}

INSTANTIATE_TEST_SUITE_P(GridCore, Axes, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Columns" : "Rows"; });

}  // namespace
