// A read-only data source that shows a list of records through column
// providers: each row is a record key, each column a provider that yields the
// record's text, number, state, bitmap and colours for that column.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "grid/griddatasource.h"

using GridRecordKey = std::uint32_t;

class CGridColumnProvider {
 public:
  enum Kind {
    kText = 0,
    kState = 1,
    kSecondState = 2,
    kStateBitmap = 3,
    kNumberBitmap = 4,
    kTextNumber = 6
  };
  enum ColorFlags { kBackGiven = 2, kTextGiven = 4 };
  virtual ~CGridColumnProvider() = default;
  virtual int GetId() const = 0;
  virtual int GetKind() const = 0;
  virtual bool HasTitle() const { return false; }
  virtual std::string GetTitle() const { return {}; }
  virtual CBitmap* GetHeadingBitmap() const { return nullptr; }
  virtual bool GetText(GridRecordKey key, std::string& out) const = 0;
  virtual bool GetNumber(GridRecordKey /*key*/, int& /*out*/) const { return false; }
  virtual bool GetSecondInt(GridRecordKey /*key*/, int& /*out*/) const { return false; }
  virtual CBitmap* GetStateBitmap(int /*state*/) const { return nullptr; }
  // Returns the flags of the colours given (kBackGiven, kTextGiven); 0 for none.
  virtual int GetColors(GridRecordKey /*key*/, fw::GridColor& /*back*/,
                        fw::GridColor& /*text*/) const {
    return 0;
  }
  virtual int Compare(GridRecordKey a, GridRecordKey b) const = 0;
};

class CGridDataStore : public CGridDataSource {
 public:
  [[nodiscard]] bool AddColumn(std::unique_ptr<CGridColumnProvider> provider);
  [[nodiscard]] bool FindColumn(int id, int& index) const;
  int GetColumnCount() const { return static_cast<int>(m_columns.size()); }
  CGridColumnProvider* GetProvider(int index) const;

  // Always true.
  bool AddRows(const std::vector<GridRecordKey>& keys, bool atEnd);
  // Always true.
  bool RemoveRows(const std::vector<GridRecordKey>& keys);
  [[nodiscard]] int RemoveRow(GridRecordKey key);
  [[nodiscard]] bool GetRowKey(int row, GridRecordKey& key) const;
  void ClearRows();
  [[nodiscard]] bool FindRowIndex(GridRecordKey key, int& row) const;
  int GetRowCount() const { return static_cast<int>(m_rows.size()); }
  void SetSecondarySort(const int* ids, int count);
  int GetSortColumn() const;
  int GetSortDirection() const { return m_sortDirection; }

  int AppendRow() override { return kSourceOk; }
  int InsertRow(int) override { return kSourceOk; }
  int DeleteRow(int) override { return kSourceOk; }
  int SetCell(int, int, const CGridCellValue&) override { return kSourceOk; }
  int GetCell(int col, int row, CGridCellValue& cell) override;
  int SearchFirst(std::string_view text, int& col, int& row, int flags) override;
  int SearchNext(std::string_view text, int& col, int& row, int flags) override;
  int SortRows(const int* cols, int count, int direction) override;
  using CGridDataSource::SortRows;

 private:
  void RebuildMap();
  bool CellMatches(int col, int row, std::string_view text, int flags);
  int Walk(std::string_view text, int& col, int& row, int flags, bool testStart);

  std::vector<std::unique_ptr<CGridColumnProvider>> m_columns;
  std::vector<CGridColumnProvider*> m_secondary;
  CGridColumnProvider* m_sortColumn = nullptr;
  int m_sortDirection = 1;
  std::vector<GridRecordKey> m_rows;
  std::unordered_map<GridRecordKey, int> m_map;
  fw::GridColor m_defaultBack = 0xFFFFFF;
};
