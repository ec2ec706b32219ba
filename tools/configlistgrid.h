// The configuration list: one row per named base configuration of the
// project (the row's key is the configuration's index) and an empty row at
// the end; typing a name there creates a configuration. The current row
// is the document's selected configuration.
#pragma once

#include <string>
#include <vector>

#include "grid/normalcelltype.h"
#include "grid/griddatastore.h"
#include "grid/sheetgridctrl.h"

class CItemTypeBase;
class CSwitchConfig;
class IProjectDocument;

class CConfigListGrid : public CSheetGridCtrl {
 public:
  explicit CConfigListGrid(CWnd* owner = nullptr);
  ~CConfigListGrid() override;

  int SetProject(IProjectDocument* doc);
  IProjectDocument* GetProject() const { return m_doc; }
  CWnd* GetOwnerView() const { return m_owner; }
  // Where the right-click message and the ellipsis commands go; by default
  // the grid's top-level window.
  void SetNotifyWindow(CWnd* wnd) { m_notify = wnd; }

  void UpdateRowCount();
  void AddRemoveRows(const std::vector<GridRecordKey>& keys, bool remove);
  // Fills the rows with every live configuration of the project, then sorts.
  void LoadProjectRows();
  void OnProjectHint(int kind, int index);

  // The live configuration a row holds (its index), or none / -1.
  const CSwitchConfig* ConfigAtRow(int row) const;
  int ConfigIndexAtRow(int row) const;
  bool IsNewEntryRow(int row) const { return row >= 0 && row == m_store.GetRowCount(); }

  int GetSortColumn() const { return m_sortCol; }
  bool IsSortAscending() const { return m_ascending != 0; }
  CGridDataStore& DataStore() { return m_store; }

  int PasteIntoEditor();
  int Copy() { return CopySelection(); }

  virtual void ReSort();
  virtual void Reload();
  virtual void OnReloadRows() {}

 protected:
  void OnGridCreated() override;
  void OnCellFetched(int col, int row, CGridCellValue* cell) override;
  void OnCurrentRowChanged(int oldRow, int newRow) override;
  void OnCurrentCellChanged(int oldCol, int newCol, int oldRow, int newRow) override;
  void OnCellLeftClick(int col, int row, int pressed, CRect* rect, CPoint* point,
                       int processed) override;
  void OnCellRightClick(int col, int row, int pressed, CRect* rect, CPoint* point,
                        int processed) override;
  void OnTopHeadingLeftClick(int col, int row, int pressed, CRect* rect, CPoint* point,
                             int processed) override;
  long long OnCellTypeEvent(int typeIndex, int col, int row, int event,
                            std::intptr_t value) override;
  void OnCellDoubleClick(int col, int row, CRect* rect, CPoint* point, int processed) override;
  void OnGridChar(int* ch, int processed) override;
  int OnEditDone(int col, int row, CWnd* editor, const std::string& text, int cancelled) override;
  void OnDrawCurrentCellFocus(CDC* dc, CRect* rect) override;
  int OnCompareCells(CGridCellValue* cell1, CGridCellValue* cell2, int flags) override;

 private:
  CWnd* NotifyTarget();
  void SelectRow(int row);

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
};
