// A grid stand-in for data sources and the selection: a fixed size, a
// current cell, column translations and a record of the notifications.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "grid/griddatahost.h"
#include "grid/griddatasource.h"
#include "grid/gridredrawlist.h"

class FakeDataHost : public CGridDataHost {
 public:
  int columns = 0, rows = 0, currentCol = -1, currentRow = -1;
  CGridDataSource* source = nullptr;  // GetCellText reads from it
  CGridRedrawList hint;
  struct Mapping {
    const CGridDataSource* source;
    int dataCol;
  };
  std::vector<Mapping> mapping;  // per grid column
  struct Range {
    int a, b, c, d, n;
  };
  std::vector<Range> rangeEvents;

  int GetColumnTotal() const override { return columns; }
  int GetRowTotal() const override { return rows; }
  int GetCurrentColumn() const override { return currentCol; }
  int GetCurrentRow() const override { return currentRow; }
  std::optional<std::string> GetCellText(int col, int row) override {
    if (!source) return std::nullopt;
    CGridCellValue cell;
    cell.GridCellSetFlags(0);
    source->GetCell(col, row, cell);
    const std::string* t = cell.GridCellGetText();
    if (!t) return std::nullopt;
    return *t;
  }
  void OnSelectionRangeChanged(int a, int b, int c, int d, int n) override {
    rangeEvents.push_back({a, b, c, d, n});
  }
  CGridRedrawList& GetRedrawHint() override { return hint; }
  void ShiftColumnMapping(const CGridDataSource* src, int from, int delta) override {
    for (Mapping& m : mapping)
      if (m.source == src && m.dataCol >= from) m.dataCol += delta;
  }
};
