// The network monitor's grid: one row per switch the monitor found, sorted
// by a column the user picks; every cell read-only.
#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "grid/sheetgridctrl.h"
#include "switch/switchentry.h"
#include "tools/macprefixcelltype.h"

class CNetMonitorGrid : public CSheetGridCtrl {
 public:
  enum : int { kNameCol = 0, kTypeCol, kMacCol, kFirmwareCol, kOkOutputCol, kColumns };
  static constexpr COLORREF kOffColour = RGB(255, 0, 0);
  enum SortFlags { kSortAscending = 1, kSortDescending = 2 };

  using SwitchVector = std::vector<std::unique_ptr<CSwitchEntry>>;
  // silent: the full MACs of listed switches that do not answer.
  CNetMonitorGrid(const SwitchVector& switches, const std::set<std::string>& silent);
  ~CNetMonitorGrid() override;

  // Rebuilds the rows from the switch list and sorts them again.
  void ReloadRows();
  void SortAgain();
  // The switch list index of a grid row, -1 outside.
  int EntryOfRow(int row) const;
  int sortColumn() const { return m_sortCol; }
  bool sortDescending() const { return m_descending; }
  std::string CellText(int col, int row) const;

  // Called with the switch list index of a double-clicked row.
  std::function<void(int entry)> onOpenSwitch;

 protected:
  void OnGridCreated() override;
  void OnCellFetched(int col, int row, CGridCellValue* cell) override;
  void OnCellDoubleClick(int col, int row, CRect* rect, CPoint* point, int processed) override;
  void OnTopHeadingLeftClick(int col, int row, int pressed, CRect* rect, CPoint* point,
                             int processed) override;
  int OnBeforeEdit(int col, int row, CWnd** editor) override;
  COLORREF OnGetBackColor(int section) override;
  void OnDrawCurrentCellFocus(CDC* dc, CRect* rect) override;
  int OnContextHelp(int col, int row, int section) override;

 private:
  void Sort();

  bool Silent(const CSwitchEntry& e) const { return m_silent.count(e.GetMacText(true)) != 0; }

  const SwitchVector& m_switches;
  const std::set<std::string>& m_silent;
  const CSwitchEntry* Entry(int index) const;
  std::vector<int> m_rows;  // switch list indexes in display order
  int m_sortCol = 0;
  bool m_descending = false;  // the first click on a heading sorts descending
  CSortArrowCellType m_sortArrow;
  int m_sortArrowIndex = -1;
  CMacPrefixCellType m_macPrefix;
  int m_macPrefixIndex = -1;
};
