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

class CGridDataSource {
 public:
  virtual ~CGridDataSource() = default;

  void SetGrid(CGridDataHost* grid) { m_grid = grid; }
  CGridDataHost* GetGrid() const { return m_grid; }
  void SetID(int id) { m_id = id; }
  int GetID() const { return m_id; }

  virtual int GetLastRowIndex() { return -1; }
  virtual int AppendRow() { return -1; }
  virtual int InsertRow(int /*row*/) { return -1; }
  virtual int AppendColumn() { return -1; }
  virtual int InsertColumn(int /*col*/) { return -1; }
  virtual int DeleteRow(int /*row*/) { return -1; }
  virtual int DeleteColumn(int /*col*/) { return -1; }
  virtual int DeleteCell(int /*col*/, int /*row*/) { return -1; }
  virtual int Empty() { return -1; }
  virtual int GetCell(int /*col*/, int /*row*/, CGridCellValue& /*cell*/) { return -1; }
  virtual int SetCell(int /*col*/, int /*row*/, const CGridCellValue& /*cell*/) { return -1; }
  virtual int SearchFirst(std::string_view /*text*/, int& /*col*/, int& /*row*/, int /*flags*/) {
    return -1;
  }
  virtual int SearchNext(std::string_view /*text*/, int& /*col*/, int& /*row*/, int /*flags*/) {
    return -1;
  }
  virtual int SortRows(const int* /*cols*/, int /*count*/, int /*flags*/) { return -1; }
  virtual int SortRows(int col, int flags) { return SortRows(&col, 1, flags); }
  virtual int OnPastLastRow(int /*rowCount*/, int /*rowsPast*/, int& /*rowsFound*/) { return -1; }
  virtual void OnCurrentRowMoved(int /*oldRow*/, int /*newRow*/) {}
  virtual void OnCurrentColumnMoved(int /*oldCol*/, int /*newCol*/) {}
  virtual int CanMoveCurrent(int /*oldCol*/, int /*oldRow*/, int /*newCol*/, int /*newRow*/) {
    return 1;
  }
  virtual int CanStartEdit(int /*col*/, int /*row*/, void** /*editor*/) { return 1; }
  virtual int VerifyEditKey(int /*col*/, int /*row*/, void* /*editor*/, int /*key*/) { return 1; }
  virtual int CanFinishEdit(int /*col*/, int /*row*/, void* /*editor*/, std::string_view /*text*/,
                            int /*cancelled*/) {
    return 1;
  }
  virtual int ChooseNextEditCell(int /*oldCol*/, int /*oldRow*/, int& /*newCol*/, int& /*newRow*/) {
    return 1;
  }
  virtual int FindPrevNonEmptyCell(int& /*col*/, int /*row*/) { return -1; }

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
  int AppendRow() override { return 0; }
  int InsertRow(int row) override;
  int AppendColumn() override { return 0; }
  int InsertColumn(int col) override;
  int DeleteRow(int row) override;
  int DeleteColumn(int col) override;
  int DeleteCell(int col, int row) override;
  int Empty() override;
  int GetCell(int col, int row, CGridCellValue& cell) override;
  int SetCell(int col, int row, const CGridCellValue& cell) override;
  int SearchFirst(std::string_view text, int& col, int& row, int flags) override;
  int SearchNext(std::string_view text, int& col, int& row, int flags) override;
  int SortRows(const int* cols, int count, int flags) override;
  using CGridDataSource::SortRows;
  int FindPrevNonEmptyCell(int& col, int row) override;

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
