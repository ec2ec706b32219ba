#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "fake_data_host.h"
#include "grid/griddatastore.h"

namespace {

// A provider over a map of key -> (text, number).
class MapProvider : public CGridColumnProvider {
 public:
  MapProvider(int id, int kind, std::string title = {})
      : m_id(id), m_kind(kind), m_title(std::move(title)) {}
  std::map<GridRecordKey, std::pair<std::string, int>> data;
  int GetId() const override { return m_id; }
  int GetKind() const override { return m_kind; }
  bool HasTitle() const override { return !m_title.empty(); }
  std::string GetTitle() const override { return m_title; }
  bool GetText(GridRecordKey k, std::string& out) const override {
    auto it = data.find(k);
    if (it == data.end()) return false;
    out = it->second.first;
    return true;
  }
  bool GetNumber(GridRecordKey k, int& out) const override {
    auto it = data.find(k);
    if (it == data.end()) return false;
    out = it->second.second;
    return true;
  }
  int Compare(GridRecordKey a, GridRecordKey b) const override {
    int x = data.at(a).second, y = data.at(b).second;
    return x < y ? -1 : (x > y ? 1 : 0);
  }

 private:
  int m_id, m_kind;
  std::string m_title;
};

struct StoreFixture : ::testing::Test {
  FakeDataHost host;
  CGridDataStore store;
  MapProvider* name = nullptr;
  MapProvider* rank = nullptr;
  void SetUp() override {
    store.SetGrid(&host);
    host.source = &store;
    auto n = std::make_unique<MapProvider>(10, CGridColumnProvider::kText, "Name");
    auto r = std::make_unique<MapProvider>(20, CGridColumnProvider::kTextNumber);
    name = n.get();
    rank = r.get();
    EXPECT_TRUE(store.AddColumn(std::move(n)));
    EXPECT_TRUE(store.AddColumn(std::move(r)));
  }
  void Add(GridRecordKey k, const std::string& text, int num) {
    name->data[k] = {text, num};
    rank->data[k] = {std::to_string(num), num};
  }
  void CheckMap() {
    for (int row = 0; row < store.GetRowCount(); ++row) {
      GridRecordKey k = 0;
      ASSERT_TRUE(store.GetRowKey(row, k));
      int found = -1;
      ASSERT_TRUE(store.FindRowIndex(k, found));
      EXPECT_EQ(found, row);
    }
  }
};

TEST_F(StoreFixture, RowsKeepOrderSkipDuplicatesAndRemove) {
  store.AddRows({5, 6, 7}, true);
  store.AddRows({6, 1, 1}, false);  // 6 is known; 1 only once, at the front
  GridRecordKey k = 0;
  ASSERT_EQ(store.GetRowCount(), 4);
  EXPECT_TRUE(store.GetRowKey(0, k));
  EXPECT_EQ(k, 1u);
  EXPECT_EQ(store.RemoveRow(99), -1);
  EXPECT_EQ(store.GetRowCount(), 4);
  EXPECT_EQ(store.RemoveRow(6), 2);
  store.RemoveRows({1, 7, 42});
  ASSERT_EQ(store.GetRowCount(), 1);
  EXPECT_TRUE(store.GetRowKey(0, k));
  EXPECT_EQ(k, 5u);
  EXPECT_FALSE(store.GetRowKey(1, k));
  EXPECT_FALSE(store.GetRowKey(-1, k));
  CheckMap();
  store.ClearRows();
  int row = 0;
  EXPECT_FALSE(store.FindRowIndex(5, row));
}

TEST_F(StoreFixture, CellsFromProviders) {
  Add(1, "alpha", 3);
  store.AddRows({1}, true);
  CGridCellValue head;
  head.GridCellSetFlags(0);
  store.GetCell(0, -1, head);
  EXPECT_EQ(*head.GridCellGetText(), "Name");
  EXPECT_EQ(head.GridCellGetAlignment() & 0xFFFF, unsigned(kAlignCenter));
  CGridCellValue untitled;
  untitled.GridCellSetFlags(0);
  store.GetCell(1, -1, untitled);
  EXPECT_EQ(untitled.GridCellGetText(), nullptr);
  EXPECT_EQ(untitled.GridCellGetAlignment() & 0xFFFF, unsigned(kAlignCenter));

  CGridCellValue cell;
  cell.GridCellSetFlags(0);
  store.GetCell(0, 0, cell);
  EXPECT_EQ(*cell.GridCellGetText(), "alpha");
  EXPECT_EQ(cell.GridCellGetBackColorOrDefault(), 0xFFFFFFu);
  EXPECT_EQ(cell.GridCellGetTextColor(), 0u);
  // A check-box column shows the text as the caption and the state as value.
  CGridCellValue box;
  box.GridCellSetFlags(0);
  box.GridCellSetCellType(2);
  store.GetCell(1, 0, box);
  EXPECT_EQ(*box.GridCellGetLabel(), "3");
  EXPECT_EQ(box.GridCellGetNumber(), 3.0);
  // Out of range rows and columns are empty, never a crash.
  CGridCellValue none;
  none.GridCellSetFlags(0);
  EXPECT_EQ(store.GetCell(7, 0, none), kSourceOk);
  EXPECT_EQ(store.GetCell(0, 9, none), kSourceOk);
  EXPECT_EQ(none.GridCellGetText(), nullptr);
}

TEST_F(StoreFixture, SortDescendingBreaksTiesAscendingBySecondary) {
  // Equal names (the primary) ordered by rank ascending even when descending.
  Add(1, "same", 3);
  Add(2, "same", 1);
  Add(3, "same", 2);
  name->data[4] = {"zzz", 0};
  rank->data[4] = {"9", 9};
  // Primary compares names through the number slot: give all "same" equal numbers.
  for (GridRecordKey k : {1u, 2u, 3u}) name->data[k].second = 5;
  name->data[4].second = 7;
  store.AddRows({1, 2, 3, 4}, true);
  const int ids[] = {20};
  store.SetSecondarySort(ids, 1);
  const int cols[] = {0};
  ASSERT_EQ(store.SortRows(cols, 1, 0), kSourceOk);
  std::vector<GridRecordKey> order;
  for (int r = 0; r < 4; ++r) {
    GridRecordKey k = 0;
    EXPECT_TRUE(store.GetRowKey(r, k));
    order.push_back(k);
  }
  EXPECT_EQ(order, (std::vector<GridRecordKey>{4, 2, 3, 1}));
  EXPECT_EQ(store.GetSortColumn(), 0);
  CheckMap();
  // A sort column that names no provider is refused.
  const int bad[] = {5};
  EXPECT_EQ(store.SortRows(bad, 1, 1), kSourceNone);
  EXPECT_EQ(store.SortRows(nullptr, 0, 1), kSourceNone);
  const int negative[] = {-1};
  EXPECT_EQ(store.SortRows(negative, 1, 1), kSourceNone);
}

TEST_F(StoreFixture, SearchWalksRowsAndWraps) {
  Add(1, "one", 1);
  Add(2, "two", 2);
  Add(3, "three", 3);
  store.AddRows({1, 2, 3}, true);
  int col = 0, row = 0;
  ASSERT_EQ(store.SearchFirst("one", col, row, 0), 0);  // the start cell counts
  EXPECT_EQ(row, 0);
  ASSERT_EQ(store.SearchNext("T", col, row, kSearchPartial | kSearchNoCase), kSourceOk);
  EXPECT_EQ(col, 0);
  EXPECT_EQ(row, 1);
  ASSERT_EQ(store.SearchNext("1", col, row, 0), 0);  // wraps to row 0, column 1
  EXPECT_EQ(col, 1);
  EXPECT_EQ(row, 0);
  ASSERT_EQ(store.SearchNext("three", col, row, kSearchBackward), kSourceOk);
  EXPECT_EQ(row, 2);
  EXPECT_EQ(store.SearchNext("absent", col, row, 0), kSourceNone);
  store.ClearRows();
  col = row = 0;
  EXPECT_EQ(store.SearchFirst("one", col, row, 0), kSourceNone);
  EXPECT_EQ(store.SearchNext("one", col, row, kSearchBackward), kSourceNone);
}

// The row map against a reference list under random adds and removals.
TEST_F(StoreFixture, MapMatchesRowsUnderRandomOperations) {
  std::mt19937 rng(99);
  std::vector<GridRecordKey> ref;
  for (GridRecordKey k = 0; k < 64; ++k) Add(k, "k" + std::to_string(k), int(rng() % 10));
  for (int step = 0; step < 500; ++step) {
    const int op = int(rng() % 5);
    std::vector<GridRecordKey> keys;
    for (int i = int(rng() % 4); i >= 0; --i) keys.push_back(GridRecordKey(rng() % 64));
    if (op == 0 || op == 1) {
      const bool atEnd = op == 0;
      std::vector<GridRecordKey> fresh;
      for (GridRecordKey k : keys)
        if (std::find(ref.begin(), ref.end(), k) == ref.end() &&
            std::find(fresh.begin(), fresh.end(), k) == fresh.end())
          fresh.push_back(k);
      ref.insert(atEnd ? ref.end() : ref.begin(), fresh.begin(), fresh.end());
      store.AddRows(keys, atEnd);
    } else if (op == 2) {
      GridRecordKey k = keys[0];
      auto it = std::find(ref.begin(), ref.end(), k);
      int expected = it == ref.end() ? -1 : int(it - ref.begin());
      if (it != ref.end()) ref.erase(it);
      ASSERT_EQ(store.RemoveRow(k), expected);
    } else if (op == 3) {
      for (GridRecordKey k : keys) ref.erase(std::remove(ref.begin(), ref.end(), k), ref.end());
      store.RemoveRows(keys);
    } else {
      const int cols[] = {1};
      store.SortRows(cols, 1, 1);
      std::stable_sort(ref.begin(), ref.end(), [&](GridRecordKey a, GridRecordKey b) {
        return rank->data[a].second < rank->data[b].second;
      });
      // A heap sort may reorder equal keys: compare the sort values only.
      ASSERT_EQ(store.GetRowCount(), int(ref.size()));
      for (int r = 0; r < store.GetRowCount(); ++r) {
        GridRecordKey k = 0;
        EXPECT_TRUE(store.GetRowKey(r, k));
        ASSERT_EQ(rank->data[k].second, rank->data[ref[r]].second);
      }
      ref.clear();
      for (int r = 0; r < store.GetRowCount(); ++r) {
        GridRecordKey k = 0;
        EXPECT_TRUE(store.GetRowKey(r, k));
        ref.push_back(k);
      }
    }
    ASSERT_EQ(store.GetRowCount(), int(ref.size())) << step;
    for (int r = 0; r < store.GetRowCount(); ++r) {
      GridRecordKey k = 0;
      EXPECT_TRUE(store.GetRowKey(r, k));
      ASSERT_EQ(k, ref[r]) << step;
    }
    CheckMap();
  }
}

}  // namespace
