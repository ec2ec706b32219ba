// The interface every data source of a grid answers, with do-nothing
// defaults, and the sparse in-memory source every grid uses unless told otherwise.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "grid/gridcellvalue.h"
#include "grid/griddatahost.h"

// Results of a data source's operations: done, nothing there (no such row,
// cell or match), or an operation the source does not offer.
enum GridSourceResult { kSourceUnsupported = -1, kSourceOk = 0, kSourceNone = 1 };
// The checks (CanMoveCurrent, CanStartEdit, ...) allow with this answer;
// anything else refuses.
enum : int { kSourceAllows = 1 };

class CGridDataSource {
 public:
  virtual ~CGridDataSource() = default;

  void SetGrid(CGridDataHost* grid) { m_grid = grid; }
  CGridDataHost* GetGrid() const { return m_grid; }
  void SetID(int id) { m_id = id; }
  int GetID() const { return m_id; }

  virtual int GetLastRowIndex() { return kSourceUnsupported; }
  [[nodiscard]] virtual int AppendRow() { return kSourceUnsupported; }
  [[nodiscard]] virtual int InsertRow(int /*row*/) { return kSourceUnsupported; }
  [[nodiscard]] virtual int AppendColumn() { return kSourceUnsupported; }
  [[nodiscard]] virtual int InsertColumn(int /*col*/) { return kSourceUnsupported; }
  [[nodiscard]] virtual int DeleteRow(int /*row*/) { return kSourceUnsupported; }
  [[nodiscard]] virtual int DeleteColumn(int /*col*/) { return kSourceUnsupported; }
  [[nodiscard]] virtual int DeleteCell(int /*col*/, int /*row*/) { return kSourceUnsupported; }
  [[nodiscard]] virtual int Empty() { return kSourceUnsupported; }
  virtual int GetCell(int /*col*/, int /*row*/, CGridCellValue& /*cell*/) {
    return kSourceUnsupported;
  }
  [[nodiscard]] virtual int SetCell(int /*col*/, int /*row*/, const CGridCellValue& /*cell*/) {
    return kSourceUnsupported;
  }
  [[nodiscard]] virtual int SearchFirst(std::string_view /*text*/, int& /*col*/, int& /*row*/,
                                        int /*flags*/) {
    return kSourceUnsupported;
  }
  [[nodiscard]] virtual int SearchNext(std::string_view /*text*/, int& /*col*/, int& /*row*/,
                                       int /*flags*/) {
    return kSourceUnsupported;
  }
  [[nodiscard]] virtual int SortRows(const int* /*cols*/, int /*count*/, int /*flags*/) {
    return kSourceUnsupported;
  }
  [[nodiscard]] virtual int SortRows(int col, int flags) { return SortRows(&col, 1, flags); }
  virtual int OnPastLastRow(int /*rowCount*/, int /*rowsPast*/, int& /*rowsFound*/) {
    return kSourceUnsupported;
  }
  virtual void OnCurrentRowMoved(int /*oldRow*/, int /*newRow*/) {}
  virtual void OnCurrentColumnMoved(int /*oldCol*/, int /*newCol*/) {}
  virtual int CanMoveCurrent(int /*oldCol*/, int /*oldRow*/, int /*newCol*/, int /*newRow*/) {
    return kSourceAllows;
  }
  virtual int CanStartEdit(int /*col*/, int /*row*/, void** /*editor*/) { return kSourceAllows; }
  virtual int VerifyEditKey(int /*col*/, int /*row*/, void* /*editor*/, int /*key*/) {
    return kSourceAllows;
  }
  virtual int CanFinishEdit(int /*col*/, int /*row*/, void* /*editor*/, std::string_view /*text*/,
                            int /*cancelled*/) {
    return kSourceAllows;
  }
  virtual int ChooseNextEditCell(int /*oldCol*/, int /*oldRow*/, int& /*newCol*/, int& /*newRow*/) {
    return kSourceAllows;
  }
  [[nodiscard]] virtual int FindPrevNonEmptyCell(int& /*col*/, int /*row*/) {
    return kSourceUnsupported;
  }

 protected:
  CGridDataHost* m_grid = nullptr;
  int m_id = -1;
};

// Flags of the searches.
enum GridSearchFlags {
  kSearchPartial = 1,
  kSearchNoCase = 2,
  kSearchBackward = 4,
  kSearchByRow = 8
};

// Sparse table of owned cells. Rows and columns come into being as cells are
// stored, in both directions, so heading rows and columns (negative indexes)
// live in the same table. Rows may be of different lengths.
class CGridMemDataSource : public CGridDataSource {
 public:
  int GetLastRowIndex() override;
  [[nodiscard]] int AppendRow() override { return 0; }
  [[nodiscard]] int InsertRow(int row) override;
  [[nodiscard]] int AppendColumn() override { return 0; }
  [[nodiscard]] int InsertColumn(int col) override;
  [[nodiscard]] int DeleteRow(int row) override;
  [[nodiscard]] int DeleteColumn(int col) override;
  [[nodiscard]] int DeleteCell(int col, int row) override;
  [[nodiscard]] int Empty() override;
  int GetCell(int col, int row, CGridCellValue& cell) override;
  [[nodiscard]] int SetCell(int col, int row, const CGridCellValue& cell) override;
  [[nodiscard]] int SearchFirst(std::string_view text, int& col, int& row, int flags) override;
  [[nodiscard]] int SearchNext(std::string_view text, int& col, int& row, int flags) override;
  [[nodiscard]] int SortRows(const int* cols, int count, int flags) override;
  using CGridDataSource::SortRows;
  [[nodiscard]] int FindPrevNonEmptyCell(int& col, int row) override;

  // Index of the first and one past the last stored row (both 0 when empty).
  int FirstRowIndex() const { return m_firstRow; }
  int EndRowIndex() const { return m_firstRow + static_cast<int>(m_rows.size()); }

 private:
  struct Row {
    int firstCol = 0;
    std::vector<std::unique_ptr<CGridCellValue>> cells;  // null: an empty column node
    bool HasColumn(int c) const {
      return c >= firstCol && c < firstCol + static_cast<int>(cells.size());
    }
  };
  Row* FindRow(int row);
  CGridCellValue* FindCell(int col, int row);
  int LastDataColumn() const;
  bool Matches(CGridCellValue* cell, std::string_view text, int flags) const;

  int m_firstRow = 0;
  std::deque<std::unique_ptr<Row>> m_rows;  // null: an empty row node
  int m_findCol = -1;
  int m_findRow = -1;
};
