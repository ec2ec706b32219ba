// What the two lists of the project share: rows keyed by the index of a
// configuration or a switch in the project, with an empty row at the end for
// a new entry; sorting by a heading click; columns that render from the
// project document; copy and paste through an in-place edit.
#pragma once

#include <vector>

#include "grid/griddatastore.h"
#include "grid/normalcelltype.h"
#include "grid/sheetgridctrl.h"

class CItemTypeBase;
class IProjectDocument;

class CProjectListGrid : public CSheetGridCtrl {
 public:
  ~CProjectListGrid() override;

  // Gives the grid and every column the project; the number of columns.
  int SetProject(IProjectDocument* doc);
  IProjectDocument* GetProject() const { return m_doc; }
  CWnd* GetOwnerView() const { return m_owner; }
  // Where the right-click message and the list's commands go; by default the
  // grid's top-level window.
  void SetNotifyWindow(CWnd* wnd) { m_notify = wnd; }

  // Row count: the store's rows and the new-entry row.
  void UpdateRowCount();
  // Adds the keys as rows at the end, or removes their rows; then the row count.
  void AddRemoveRows(const std::vector<GridRecordKey>& keys, bool remove);
  // Fills the rows with every live item of the project, then sorts.
  void LoadProjectRows();
  bool IsNewEntryRow(int row) const { return row >= 0 && row == m_store.GetRowCount(); }

  int GetSortColumn() const { return m_sortCol; }
  bool IsSortAscending() const { return m_ascending != 0; }
  CGridDataStore& DataStore() { return m_store; }

  // An in-place edit of the current cell filled with the clipboard's text.
  int PasteIntoEditor();
  // The selected cells to the clipboard as text.
  int Copy() { return CopySelection(); }

  virtual void ReSort();
  virtual void Reload();
  virtual void OnReloadRows() {}
  // Rows were added, removed or put in another order: the current row may
  // show another item now, without the grid moving.
  virtual void OnRowsChanged() {}

 protected:
  explicit CProjectListGrid(CWnd* owner);

  // The indices of the project's live items, in the project's order.
  virtual std::vector<GridRecordKey> ProjectRowKeys() const = 0;
  // The heading cells: several lines, the sort column with its arrow.
  void FetchHeadingCell(int col, CGridCellValue* cell) const;
  CWnd* NotifyTarget();

  void OnTopHeadingLeftClick(int col, int row, int pressed, CRect* rect, CPoint* point,
                             int processed) override;
  void OnDrawCurrentCellFocus(CDC* dc, CRect* rect) override;
  int OnCompareCells(CGridCellValue* cell1, CGridCellValue* cell2, int flags) override;
  // An edit the project refused (a name in use, a bad address) ends on its
  // own row: Enter or Tab does not carry it on into the next one.
  int OnEditMoveOn(int col, int row, int* nextCol, int* nextRow) override;

  CGridDataStore m_store;
  int m_storeIndex = -1;
  std::vector<CItemTypeBase*> m_providers;  // owned by the store
  CSortArrowCellType m_sortArrowType;
  int m_sortArrowIndex = -1;
  CEllipsisCellType m_ellipsisType;
  int m_ellipsisIndex = -1;
  CWnd* m_owner;
  IProjectDocument* m_doc = nullptr;
  CWnd* m_notify = nullptr;
  int m_sortCol = 0;
  int m_ascending = 1;
  bool m_editRefused = false;  // set by OnEditDone for the move-on that follows
};
