// The status monitor's switch list: one read-only row per switch of the last
// search (name, model, MAC address, firmware revision), in the order found.
// It has no side heading, no new-entry row and nothing to edit.
#pragma once

#include <string>

#include "grid/griddatastore.h"
#include "grid/sheetgridctrl.h"

class CSwitchEntry;
class CSwitchList;

class CMonitorSwitchGrid : public CSheetGridCtrl {
 public:
  static constexpr int kColumns = 4;
  // Column identifiers: name, model, MAC address, firmware revision.
  enum : int { kColName = 100, kColModel = 101, kColMac = 103, kColRevision = 200 };

  CMonitorSwitchGrid();
  ~CMonitorSwitchGrid() override;

  // The list the rows show; it belongs to the document and outlives the rows.
  void SetSwitchList(const CSwitchList* list);
  // One row for every entry of the list that is not deleted, in list order.
  // The switch last made current stays current wherever its row is now (a
  // search empties the list first: it is remembered until rows come back).
  void Refill();
  // The entry a row shows, or null.
  const CSwitchEntry* EntryAtRow(int row) const;
  const CSwitchEntry* CurrentEntry() const { return EntryAtRow(GetCurrentRow()); }
  // The first row whose entry's full MAC text equals mac (letter case
  // aside), or -1.
  int FindRowByMac(const std::string& mac) const;
  int RowCount() const { return m_store.GetRowCount(); }

 protected:
  void OnGridCreated() override;
  int OnBeforeEdit(int col, int row, CWnd** editor) override;
  void OnDrawCurrentCellFocus(CDC* dc, CRect* rect) override;
  void OnCurrentCellChanged(int oldCol, int newCol, int oldRow, int newRow) override;

 private:
  // The switch to keep current: its full MAC text and the interface it answered on.
  struct Kept {
    std::string mac;
    std::string where;
  };
  int RowOf(const Kept& kept) const;
  // The current row's switch becomes the one to keep; no entry keeps the last.
  void KeepCurrent();

  const CSwitchList* m_list = nullptr;
  Kept m_kept;
  bool m_refilling = false;
  CGridDataStore m_store;
  int m_storeIndex = -1;
};
