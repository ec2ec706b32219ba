// The switch list: one row per switch of the project (the row's key is the
// switch's index) and an empty row at the end; typing or choosing a value in
// that row creates a switch. Every change goes through the project document.
// The grid is a control: it lives in the main window's pane or in a dialog.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "grid/normalcelltype.h"
#include "grid/griddatastore.h"
#include "grid/sheetgridctrl.h"
#include "tools/macprefixcelltype.h"

class CItemTypeBase;
class CSwitchEntry;
class IProjectDocument;

// The private messages a right click on a list sends to the main window
// (wParam: the address of the point in screen coordinates).
inline constexpr UINT WM_SWITCHLIST_CONTEXT = 0x55D;
inline constexpr UINT WM_CONFIGLIST_CONTEXT = 0x55E;

// The commands the configuration list's ellipsis button posts to the main window.
inline constexpr unsigned ID_ADD_BASE_CONFIGURATION = 32771;
inline constexpr unsigned ID_EDIT_BASE_CONFIGURATION = 32775;

class CSwitchListGrid : public CSheetGridCtrl {
 public:
  static constexpr int kColumns = 5;

  explicit CSwitchListGrid(CWnd* owner = nullptr);
  ~CSwitchListGrid() override;

  // Gives the grid and every column the project; the number of columns.
  int SetProject(IProjectDocument* doc);
  IProjectDocument* GetProject() const { return m_doc; }
  CWnd* GetOwnerView() const { return m_owner; }
  // Where the right-click message goes; by default the grid's top-level window.
  void SetNotifyWindow(CWnd* wnd) { m_notify = wnd; }

  // Row count: the store's rows and the new-entry row.
  void UpdateRowCount();
  // Adds the keys as rows at the end, or removes their rows; then the row count.
  void AddRemoveRows(const std::vector<GridRecordKey>& keys, bool remove);
  // Fills the rows with every live switch of the project, then sorts.
  void LoadProjectRows();
  // A hint of the project document: the rows follow the project.
  void OnProjectHint(int kind, int index);

  // The live switch a row holds; none on the new-entry row.
  const CSwitchEntry* SwitchAtRow(int row) const;
  int SwitchIndexAtRow(int row) const;
  int GetCurrentSwitchIndex() const { return SwitchIndexAtRow(GetCurrentRow()); }
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

 protected:
  void OnGridCreated() override;
  void OnCellFetched(int col, int row, CGridCellValue* cell) override;
  long long OnCellTypeEvent(int typeIndex, int col, int row, int event,
                            std::intptr_t value) override;
  int OnBeforeEdit(int col, int row, CWnd** editor) override;
  void OnCellDoubleClick(int col, int row, CRect* rect, CPoint* point, int processed) override;
  int OnEditDone(int col, int row, CWnd* editor, const std::string& text, int cancelled) override;
  void OnCellRightClick(int col, int row, int pressed, CRect* rect, CPoint* point,
                        int processed) override;
  void OnTopHeadingLeftClick(int col, int row, int pressed, CRect* rect, CPoint* point,
                             int processed) override;
  void OnDrawCurrentCellFocus(CDC* dc, CRect* rect) override;
  int OnCompareCells(CGridCellValue* cell1, CGridCellValue* cell2, int flags) override;

  // Runs the Modbus options for a switch; overridable so tests need no modal loop.
  virtual void EditModbusOptions(int switchIndex);

 private:
  CWnd* NotifyTarget();

  CMacPrefixCellType m_macType;
  int m_macTypeIndex = -1;
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
  std::vector<std::string> m_modelChoices;
};

namespace fw {
// The in-place edit of a list grid's current cell, filled with text, the caret at its end.
int PasteIntoGridEditor(CSheetGridCtrl& grid, const std::string& text);
// Sends a list's right-click message with the point in screen coordinates.
void SendListContextMessage(CSheetGridCtrl& grid, CWnd* target, UINT message, CPoint point);
// The one-pixel focus rectangle of the list grids.
void DrawListFocusRect(CDC* dc, const CRect* rect);
}  // namespace fw
