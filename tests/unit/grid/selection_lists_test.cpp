#include <gtest/gtest.h>

#include <sstream>

#include "fake_data_host.h"
#include "grid/gridpointerlist.h"
#include "grid/gridprintinfo.h"
#include "grid/gridredrawlist.h"
#include "grid/gridselectionset.h"

namespace {

TEST(RedrawList, RangesCellsAndBoundingBox) {
  CGridRedrawList list;
  EXPECT_EQ(list.IsInHint(0, 0), 0);
  list.ExtendFirstRange(2, 2, 3, 3);  // empty list: adds
  list.ExtendFirstRange(5, 1, 6, 2);  // widens the first range
  EXPECT_EQ(list.Ranges().size(), 1u);
  EXPECT_EQ(list.IsInHint(4, 2), 1);
  EXPECT_EQ(list.IsInHint(7, 2), 0);
  list.AddCell(10, 10);
  EXPECT_EQ(list.IsInHint(10, 10), 1);
  EXPECT_EQ(list.IsInHint(9, 9), 0);  // inside the box, in no range
  list.AddHintCell(-1, 4);
  EXPECT_EQ(list.IsHintCell(-1, 4), 1);
  EXPECT_EQ(list.IsHintCell(4, -1), 0);
  list.ClearHint();
  EXPECT_EQ(list.IsInHint(10, 10), 0);
  EXPECT_EQ(list.IsHintCell(-1, 4), 0);
  list.AddCell(0, 0);  // the first range after clearing resets the box
  EXPECT_EQ(list.IsInHint(5, 1), 0);
}

TEST(PointerList, GrowsByTenAndReusesFreedEntries) {
  CGridPointerList list;
  int dummy[12];
  for (int i = 0; i < 10; ++i) EXPECT_EQ(list.AddPointer(&dummy[i], i), i);
  EXPECT_EQ(list.GetMaxCount(), 10);
  CGridPointerList::Extra extra{1, 2, 3, 4};
  EXPECT_EQ(list.AddPointer(&dummy[10], 10, &extra), 10);
  EXPECT_EQ(list.GetMaxCount(), 20);
  EXPECT_EQ(list.GetCount(), 11);
  EXPECT_EQ(list.GetPointer(15), nullptr);
  EXPECT_EQ(list.GetPointer(-1), nullptr);
  EXPECT_EQ(list.GetPointer(99), nullptr);
  EXPECT_EQ(list.UpdateParam(99, 1), kListOutOfRange);
  EXPECT_EQ(list.UpdateParam(15, 1), kListFreeEntry);
  EXPECT_EQ(list.UpdateParam(3, 33), kListOk);
  EXPECT_EQ(list.GetParam(3), 33);
  EXPECT_EQ(list.GetParam(99), 0);
  EXPECT_EQ(list.RemovePointer(3), kListOk);
  EXPECT_EQ(list.GetPointer(3), nullptr);
  EXPECT_EQ(list.AddPointer(&dummy[11], 0), 3);
  list.Empty();
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.GetMaxCount(), 0);
}

TEST(PrintInfo, ColumnArchiveRoundTripsAndRejectsDamage) {
  CGridPrintInfo info;
  EXPECT_EQ(info.m_margins[0], 25);
  info.m_columns = {{0, 50, 50, 0}, {50, 70, 120, 1}};
  std::stringstream buf;
  info.WriteColumns(buf);
  CGridPrintInfo back;
  ASSERT_TRUE(back.ReadColumns(buf));
  ASSERT_EQ(back.m_columns.size(), 2u);
  EXPECT_EQ(back.m_columns[1].right, 120);
  std::string bytes;
  std::stringstream again;
  info.WriteColumns(again);
  bytes = again.str();
  std::stringstream truncated(bytes.substr(0, bytes.size() - 3));
  EXPECT_FALSE(back.ReadColumns(truncated));
  EXPECT_EQ(back.m_columns.size(), 2u);  // unchanged
  std::stringstream huge(std::string("\xff\xff\xff\x7f", 4));
  EXPECT_FALSE(back.ReadColumns(huge));
}

struct SelectionFixture : ::testing::Test {
  FakeDataHost host;
  CGridSelectionSet sel{&host};
  void SetUp() override {
    host.columns = 5;
    host.rows = 20;
    host.currentCol = 2;
    host.currentRow = 7;
  }
  std::vector<std::pair<int, int>> Cells() {
    std::vector<std::pair<int, int>> out;
    int c = 0, r = 0;
    for (int rc = sel.FirstSelectedCell(c, r); rc == 0; rc = sel.NextSelectedCell(c, r))
      out.push_back({c, r});
    return out;
  }
};

TEST_F(SelectionFixture, EmptySelectionEnumeratesTheCurrentCell) {
  EXPECT_EQ(Cells(), (std::vector<std::pair<int, int>>{{2, 7}}));
  int l, t, r, b;
  EXPECT_EQ(sel.GetTotalRange(l, t, r, b), kSelectionEnd);
}

TEST_F(SelectionFixture, ClickShiftAndCtrlBuildBlocks) {
  sel.HandleSelectionClick(1, 1, 0);
  sel.HandleSelectionClick(2, 2, CGridSelectionSet::kShift);
  EXPECT_EQ(sel.GetBlockCount(), 1);
  ASSERT_FALSE(host.rangeEvents.empty());
  auto e = host.rangeEvents.back();
  EXPECT_EQ(e.a, 2);  // right, top, left, bottom, count
  EXPECT_EQ(e.b, 1);
  EXPECT_EQ(e.c, 1);
  EXPECT_EQ(e.d, 2);
  EXPECT_EQ(e.n, 1);
  // The strips that joined the block are hinted for repainting.
  EXPECT_EQ(host.hint.IsInHint(2, 2), 1);
  EXPECT_EQ(host.hint.IsInHint(1, 2), 1);
  sel.HandleSelectionClick(4, 4, CGridSelectionSet::kControl);
  EXPECT_EQ(sel.GetBlockCount(), 2);
  EXPECT_EQ(Cells(), (std::vector<std::pair<int, int>>{{1, 1}, {2, 1}, {1, 2}, {2, 2}, {4, 4}}));
  int l, t, r, b;
  ASSERT_EQ(sel.GetTotalRange(l, t, r, b), kSelectionFound);
  EXPECT_EQ(l, 1);
  EXPECT_EQ(b, 4);
  // A plain click starts over and hints the old blocks.
  host.hint.ClearHint();
  sel.HandleSelectionClick(0, 0, 0);
  EXPECT_EQ(sel.GetBlockCount(), 1);
  EXPECT_EQ(host.hint.IsInHint(4, 4), 1);
  EXPECT_EQ(sel.IsSelected(1, 1), 0);
}

TEST_F(SelectionFixture, CtrlClickInsideBlockDeselectsOneCell) {
  sel.HandleSelectionClick(0, 0, 0);
  sel.HandleDrag(3, 3);
  sel.HandleSelectionClick(1, 1, CGridSelectionSet::kControl);
  EXPECT_EQ(sel.IsSelected(1, 1), 0);
  EXPECT_EQ(sel.IsSelected(2, 2), 1);
  EXPECT_EQ(Cells().size(), 15u);
  // Ctrl-clicking it again selects it again (the one-cell block flips).
  sel.HandleSelectionClick(1, 1, CGridSelectionSet::kControl);
  EXPECT_EQ(sel.IsSelected(1, 1), 1);
  // With "first block decides", the big block wins.
  sel.SetMode(CGridSelectionSet::kFirstBlockDecides);
  EXPECT_EQ(sel.GetBlockCount(), 0);
  sel.StartBlock(0, 0);
  sel.EndBlock(2, 2);
  sel.ToggleCell(1, 1);
  int block = -1;
  EXPECT_EQ(sel.IsSelected(1, 1, &block), 1);
  EXPECT_EQ(block, 0);
}

TEST_F(SelectionFixture, WholeRowModeSelectsRows) {
  sel.SetMode(CGridSelectionSet::kWholeRows);
  sel.HandleSelectionClick(3, 4, 0);
  EXPECT_EQ(sel.IsSelected(0, 4), 1);
  EXPECT_EQ(sel.IsSelected(4, 4), 1);
  EXPECT_EQ(sel.IsRowInSelection(4), 1);
  EXPECT_EQ(sel.IsRowInSelection(5), 0);
  EXPECT_EQ(sel.IsColumnInSelection(3), 1);
  sel.HandleKeyMove(3, 6, CGridSelectionSet::kShift);
  EXPECT_EQ(Cells(), (std::vector<std::pair<int, int>>{{0, 4}, {0, 5}, {0, 6}}));
  int l, t, r, b;
  EXPECT_EQ(sel.GetTotalRange(l, t, r, b), kSelectionFound);
  EXPECT_EQ(r, 4);
}

TEST_F(SelectionFixture, RightClickKeepsSelectionAndKeyMovesRestart) {
  sel.HandleSelectionClick(0, 0, 0);
  sel.HandleDrag(1, 1);
  sel.HandleRightClick(1, 0, 0);
  EXPECT_EQ(sel.GetBlockCount(), 1);
  EXPECT_EQ(sel.IsSelected(1, 1), 1);
  sel.HandleRightClick(4, 4, 0);
  EXPECT_EQ(sel.IsSelected(1, 1), 0);
  EXPECT_EQ(sel.IsSelected(4, 4), 1);
  sel.HandleKeyMove(4, 4, 0);  // the last cell handled: nothing
  EXPECT_EQ(sel.GetBlockCount(), 1);
  sel.HandleKeyMove(4, 5, CGridSelectionSet::kControl);
  EXPECT_EQ(sel.GetBlockCount(), 2);
  sel.HandleKeyMove(4, 6, 0);
  EXPECT_EQ(sel.GetBlockCount(), 1);
  int l, t, r, b;
  ASSERT_EQ(sel.FirstSelectedBlock(l, t, r, b), kSelectionFound);
  EXPECT_EQ(t, 6);
  EXPECT_EQ(sel.NextSelectedBlock(l, t, r, b), kSelectionEnd);
}

}  // namespace
