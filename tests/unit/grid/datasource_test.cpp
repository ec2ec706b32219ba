#include <gtest/gtest.h>

#include <map>
#include <random>

#include "fake_data_host.h"
#include "grid/griddatasource.h"

namespace {

CGridCellValue TextCell(const std::string& t) {
  CGridCellValue c;
  c.GridCellSetText(t);
  return c;
}

std::string Get(CGridMemDataSource& src, int col, int row) {
  CGridCellValue c;
  c.GridCellSetFlags(0);
  if (src.GetCell(col, row, c) != 0) return "<none>";
  const std::string* t = c.GridCellGetText();
  return t ? *t : "<empty>";
}

TEST(MemDataSource, SparseSetAndGetInEveryDirection) {
  CGridMemDataSource src;
  ASSERT_EQ(src.SetCell(5, 3, TextCell("a")), kSourceOk);
  EXPECT_EQ(src.GetLastRowIndex(), 3);
  CGridCellValue caller;
  caller.GridCellSetText("mine");
  EXPECT_EQ(src.GetCell(2, 1, caller), 1);  // node may exist, no cell
  EXPECT_EQ(*caller.GridCellGetText(), "mine");
  EXPECT_EQ(Get(src, 5, 3), "a");
  // Headings live in the same table at negative indexes.
  EXPECT_EQ(src.SetCell(-1, -1, TextCell("corner")), kSourceOk);
  EXPECT_EQ(src.SetCell(2, -2, TextCell("top2")), kSourceOk);
  EXPECT_EQ(src.SetCell(-3, 0, TextCell("side3")), kSourceOk);
  EXPECT_EQ(Get(src, -1, -1), "corner");
  EXPECT_EQ(Get(src, 2, -2), "top2");
  EXPECT_EQ(Get(src, -3, 0), "side3");
  EXPECT_EQ(Get(src, 5, 3), "a");
  EXPECT_EQ(Get(src, 0, 0), "<none>");
  EXPECT_EQ(Get(src, 100, 100), "<none>");
  EXPECT_EQ(src.DeleteCell(5, 3), kSourceOk);
  EXPECT_EQ(Get(src, 5, 3), "<none>");
  EXPECT_EQ(src.Empty(), kSourceOk);
  EXPECT_EQ(Get(src, -1, -1), "<none>");
  EXPECT_EQ(src.GetLastRowIndex(), 0);
}

TEST(MemDataSource, GetMergesOverCallerAndSetCopiesExactly) {
  CGridMemDataSource src;
  CGridCellValue stored;
  stored.GridCellSetFlags(0);
  stored.GridCellSetBackColor(0x123456);
  EXPECT_EQ(src.SetCell(0, 0, stored), kSourceOk);
  CGridCellValue caller;
  caller.GridCellSetText("default");
  src.GetCell(0, 0, caller);
  EXPECT_EQ(*caller.GridCellGetText(), "default");
  EXPECT_EQ(caller.GridCellGetBackColorOrDefault(), 0x123456u);
  // A second store replaces the property word, not merges into it.
  CGridCellValue textOnly;
  textOnly.GridCellSetFlags(0);
  textOnly.GridCellSetText("x");
  EXPECT_EQ(src.SetCell(0, 0, textOnly), kSourceOk);
  CGridCellValue back;
  back.GridCellSetFlags(0);
  src.GetCell(0, 0, back);
  EXPECT_FALSE(back.GridCellHasFlag(GridProp::BackColor));
}

TEST(MemDataSource, InsertAndDeleteRowsWithHeadings) {
  CGridMemDataSource src;
  EXPECT_EQ(src.SetCell(0, -1, TextCell("head")), kSourceOk);
  for (int r = 0; r < 3; ++r)
    EXPECT_EQ(src.SetCell(0, r, TextCell("r" + std::to_string(r))), kSourceOk);
  EXPECT_EQ(src.InsertRow(1), kSourceOk);
  EXPECT_EQ(Get(src, 0, 1), "<none>");
  EXPECT_EQ(Get(src, 0, 2), "r1");
  EXPECT_EQ(Get(src, 0, -1), "head");
  EXPECT_EQ(src.InsertRow(99), kSourceNone);
  EXPECT_EQ(src.DeleteRow(99), 0);  // ignored
  EXPECT_EQ(src.DeleteRow(0), kSourceOk);
  EXPECT_EQ(Get(src, 0, 0), "<none>");
  EXPECT_EQ(Get(src, 0, 1), "r1");
  EXPECT_EQ(Get(src, 0, -1), "head");
}

TEST(MemDataSource, ColumnInsertAndDeleteMoveOnlyThisSourcesColumns) {
  FakeDataHost host;
  CGridMemDataSource a, b;
  a.SetGrid(&host);
  b.SetGrid(&host);
  host.mapping = {{&a, 0}, {&a, 1}, {&a, 2}, {&b, 0}, {&b, 1}};
  for (int c = 0; c < 3; ++c)
    EXPECT_EQ(a.SetCell(c, 0, TextCell("a" + std::to_string(c))), kSourceOk);
  EXPECT_EQ(a.SetCell(-1, 0, TextCell("side")), kSourceOk);
  EXPECT_EQ(a.SetCell(0, 1, TextCell("short")), kSourceOk);  // a row that does not reach column 1
  EXPECT_EQ(a.InsertColumn(1), kSourceOk);
  EXPECT_EQ(Get(a, 0, 0), "a0");
  EXPECT_EQ(Get(a, 1, 0), "<none>");
  EXPECT_EQ(Get(a, 2, 0), "a1");
  EXPECT_EQ(Get(a, -1, 0), "side");
  EXPECT_EQ(Get(a, 0, 1), "short");
  EXPECT_EQ(host.mapping[1].dataCol, 2);
  EXPECT_EQ(host.mapping[4].dataCol, 1);  // the other source's column stays
  EXPECT_EQ(a.DeleteColumn(1), kSourceOk);
  EXPECT_EQ(Get(a, 1, 0), "a1");
  EXPECT_EQ(Get(a, 2, 0), "a2");
  EXPECT_EQ(host.mapping[1].dataCol, 1);
  EXPECT_EQ(host.mapping[2].dataCol, 2);
  EXPECT_EQ(host.mapping[3].dataCol, 0);
  EXPECT_EQ(host.mapping[4].dataCol, 1);
}

TEST(MemDataSource, SortIsStableAndLeavesHeadings) {
  FakeDataHost host;
  CGridMemDataSource src;
  src.SetGrid(&host);
  EXPECT_EQ(src.SetCell(0, -1, TextCell("title")), kSourceOk);
  const char* keys[] = {"b", "a", "b", "a", "c"};
  for (int r = 0; r < 5; ++r) {
    EXPECT_EQ(src.SetCell(0, r, TextCell(keys[r])), kSourceOk);
    EXPECT_EQ(src.SetCell(1, r, TextCell(std::to_string(r))), kSourceOk);
  }
  // Row 5 has no key: a neutral cell sorts last.
  EXPECT_EQ(src.SetCell(1, 5, TextCell("5")), kSourceOk);
  ASSERT_EQ(src.SortRows(0, 0), kSourceOk);
  std::string order;
  for (int r = 0; r < 6; ++r) order += Get(src, 1, r);
  EXPECT_EQ(order, "130245");
  EXPECT_EQ(Get(src, 0, -1), "title");
  // Descending keeps ties in input order; the cell without text now leads.
  ASSERT_EQ(src.SortRows(0, 2), kSourceOk);
  order.clear();
  for (int r = 0; r < 6; ++r) order += Get(src, 1, r);
  EXPECT_EQ(order, "540213");
  CGridMemDataSource empty;
  EXPECT_EQ(empty.SortRows(0, 0), kSourceNone);
}

TEST(MemDataSource, SortSurvivesAnInconsistentComparison) {
  struct Chaos : FakeDataHost {
    std::mt19937 rng{7};
    int OnCompareCells(CGridCellValue*, CGridCellValue*, int) override {
      return int(rng() % 3) - 1;
    }
  } host;
  CGridMemDataSource src;
  src.SetGrid(&host);
  for (int r = 0; r < 200; ++r)
    EXPECT_EQ(src.SetCell(0, r, TextCell(std::to_string(r))), kSourceOk);
  EXPECT_EQ(src.SortRows(0, 0), kSourceOk);
  std::multiset<std::string> seen;
  for (int r = 0; r < 200; ++r) seen.insert(Get(src, 0, r));
  EXPECT_EQ(seen.size(), 200u);
  EXPECT_EQ(seen.count("<none>"), 0u);
}

TEST(MemDataSource, SearchBothDirectionsWithWrap) {
  CGridMemDataSource src;
  EXPECT_EQ(src.SetCell(0, 0, TextCell("Alpha")), kSourceOk);
  EXPECT_EQ(src.SetCell(1, 0, TextCell("beta")), kSourceOk);
  EXPECT_EQ(src.SetCell(0, 1, TextCell("gamma")), kSourceOk);
  EXPECT_EQ(src.SetCell(1, 2, TextCell("alphabet")), kSourceOk);
  int col = 0, row = 0;
  ASSERT_EQ(src.SearchFirst("alpha", col, row, kSearchByRow | kSearchNoCase), kSourceOk);
  EXPECT_EQ(col, 0);
  EXPECT_EQ(row, 0);
  ASSERT_EQ(src.SearchNext("alpha", col, row, kSearchByRow | kSearchNoCase | kSearchPartial),
            kSourceOk);
  EXPECT_EQ(col, 1);
  EXPECT_EQ(row, 2);
  // From the last cell forwards wraps to the first.
  ASSERT_EQ(src.SearchNext("Alpha", col, row, kSearchByRow), kSourceOk);
  EXPECT_EQ(row, 0);
  // Backwards from the first wraps to the last.
  col = 0;
  row = 0;
  ASSERT_EQ(src.SearchNext("alphabet", col, row, kSearchByRow | kSearchBackward), kSourceOk);
  EXPECT_EQ(col, 1);
  EXPECT_EQ(row, 2);
  // Down one column.
  col = 0;
  ASSERT_EQ(src.SearchFirst("gamma", col, row, 0), kSourceOk);
  EXPECT_EQ(row, 1);
  EXPECT_EQ(src.SearchNext("nothing", col, row, kSearchByRow), kSourceNone);
  EXPECT_EQ(src.SearchNext("ALPHA", col, row, kSearchByRow), 1);  // case counts without flag 2
  CGridMemDataSource empty;
  col = row = 0;
  EXPECT_EQ(empty.SearchFirst("x", col, row, kSearchByRow), kSourceNone);
  EXPECT_EQ(empty.SearchNext("x", col, row, kSearchBackward), kSourceNone);
}

TEST(MemDataSource, PrevNonEmptyCellSkipsEmptyText) {
  CGridMemDataSource src;
  EXPECT_EQ(src.SetCell(0, 0, TextCell("long text")), kSourceOk);
  EXPECT_EQ(src.SetCell(1, 0, TextCell("")), kSourceOk);
  CGridCellValue number;
  number.GridCellSetNumber(5);
  EXPECT_EQ(src.SetCell(3, 1, number), kSourceOk);
  int col = 4;
  ASSERT_EQ(src.FindPrevNonEmptyCell(col, 0), kSourceOk);
  EXPECT_EQ(col, 0);
  col = 0;
  EXPECT_EQ(src.FindPrevNonEmptyCell(col, 0), kSourceNone);
  col = 10;
  ASSERT_EQ(src.FindPrevNonEmptyCell(col, 1), kSourceOk);
  EXPECT_EQ(col, 3);
}

// The store against a plain map under random operations.
TEST(MemDataSource, MatchesReferenceUnderRandomOperations) {
  std::mt19937 rng(1234);
  CGridMemDataSource src;
  std::map<std::pair<int, int>, std::string> ref;  // (row, col) -> text
  auto rowsOf = [&] {
    int lo = 0, hi = -1;
    for (auto& [k, v] : ref) lo = std::min(lo, k.first), hi = std::max(hi, k.first);
    return std::make_pair(lo, hi);
  };
  for (int step = 0; step < 3000; ++step) {
    const int op = int(rng() % 10);
    const int col = int(rng() % 9) - 2, row = int(rng() % 12) - 2;
    if (op < 5) {
      std::string t = "v" + std::to_string(step);
      EXPECT_EQ(src.SetCell(col, row, TextCell(t)), kSourceOk);
      ref[{row, col}] = t;
    } else if (op == 5) {
      (void)src.DeleteCell(col, row);  // a cell that is not there is fine too
      ref.erase({row, col});
    } else if (op == 6 && !ref.empty()) {
      // Deleting a row shifts the rows below it up.
      auto [lo, hi] = rowsOf();
      if (row < src.FirstRowIndex() || row >= src.EndRowIndex()) continue;
      EXPECT_EQ(src.DeleteRow(row), kSourceOk);
      std::map<std::pair<int, int>, std::string> next;
      for (auto& [k, v] : ref)
        if (k.first != row) next[{k.first > row ? k.first - 1 : k.first, k.second}] = v;
      ref.swap(next);
      (void)lo;
      (void)hi;
    } else if (op == 7) {
      if (src.InsertRow(row) != kSourceOk) continue;
      std::map<std::pair<int, int>, std::string> next;
      for (auto& [k, v] : ref) next[{k.first >= row ? k.first + 1 : k.first, k.second}] = v;
      ref.swap(next);
    } else {
      const int r = int(rng() % 16) - 3, c = int(rng() % 12) - 3;
      auto it = ref.find({r, c});
      ASSERT_EQ(Get(src, c, r), it == ref.end() ? "<none>" : it->second) << "step " << step;
    }
  }
  for (auto& [k, v] : ref) EXPECT_EQ(Get(src, k.second, k.first), v);
}

}  // namespace

// A source sorting on its own and one behind a grid order cells the same
// way: a cell marked as holding a value whose text is empty sorts with the
// cells that have no text, after every text.
TEST(DefaultComparison, AnEmptyTextSortsWithTheCellsWithoutText) {
  CGridCellValue present;
  present.GridCellSetFlags(present.GridCellGetFlags() | GridProp::Value);
  ASSERT_NE(present.GridCellGetText(), nullptr);
  const CGridCellValue keys[] = {present, TextCell("b"), CGridCellValue(), TextCell("a")};
  FakeDataHost host;
  CGridMemDataSource src;
  src.SetGrid(&host);
  for (int r = 0; r < 4; ++r) {
    EXPECT_EQ(src.SetCell(0, r, keys[r]), kSourceOk);
    EXPECT_EQ(src.SetCell(1, r, TextCell(std::to_string(r))), kSourceOk);
  }
  ASSERT_EQ(src.SortRows(0, 1), kSourceOk);
  std::string order;
  for (int r = 0; r < 4; ++r) order += Get(src, 1, r);
  EXPECT_EQ(order, "3102");
  ASSERT_EQ(src.SortRows(0, 2), kSourceOk);
  order.clear();
  for (int r = 0; r < 4; ++r) order += Get(src, 1, r);
  EXPECT_EQ(order, "0213");
}
