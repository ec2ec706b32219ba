// What the grid's parts (data sources, the selection, cell types) need of the
// grid control. The control implements it; tests use a fake.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "grid/gridsort.h"

class CGridCellValue;
class CGridDataSource;
class CGridRedrawList;

class CGridDataHost {
 public:
  virtual ~CGridDataHost() = default;
  virtual int GetColumnTotal() const = 0;
  virtual int GetRowTotal() const = 0;
  virtual int GetCurrentColumn() const = 0;
  virtual int GetCurrentRow() const = 0;
  // The text the grid shows for a cell (after defaults and hooks); none when empty.
  virtual std::optional<std::string> GetCellText(int col, int row) = 0;
  virtual int OnCompareCells(CGridCellValue* cell1, CGridCellValue* cell2, int flags) {
    return SheetGridCompareCells(cell1, cell2, flags);
  }
  virtual void OnSelectionRangeChanged(int /*col1*/, int /*row1*/, int /*col2*/, int /*row2*/,
                                       int /*block*/) {}
  virtual CGridRedrawList& GetRedrawHint() = 0;
  // Adds delta to the data-column translation of every grid column served by
  // `source` whose translation is at least `fromDataCol`.
  virtual void ShiftColumnMapping(const CGridDataSource* source, int fromDataCol, int delta) = 0;
};
