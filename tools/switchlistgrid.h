// The switch list: one row per switch of the project (the row's key is the
// switch's index) and an empty row at the end; typing or choosing a value in
// that row creates a switch. Every change goes through the project document.
// The grid is a control: it lives in the main window's pane or in a dialog.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tools/macprefixcelltype.h"
#include "tools/projectlistgrid.h"

class CSwitchEntry;

// The private messages a right click on a list sends to the main window
// (wParam: the address of the point in screen coordinates).
inline constexpr UINT WM_SWITCHLIST_CONTEXT = 0x55D;
inline constexpr UINT WM_CONFIGLIST_CONTEXT = 0x55E;

// The commands the configuration list's ellipsis button posts to the main window.
inline constexpr unsigned ID_ADD_BASE_CONFIGURATION = 32771;
inline constexpr unsigned ID_EDIT_BASE_CONFIGURATION = 32775;

class CSwitchListGrid : public CProjectListGrid {
 public:
  static constexpr int kColumns = 5;

  explicit CSwitchListGrid(CWnd* owner = nullptr);
  ~CSwitchListGrid() override;

  // A hint of the project document: the rows follow the project.
  void OnProjectHint(int kind, int index);

  // The live switch a row holds; none on the new-entry row.
  const CSwitchEntry* SwitchAtRow(int row) const;
  int SwitchIndexAtRow(int row) const;
  int GetCurrentSwitchIndex() const { return SwitchIndexAtRow(GetCurrentRow()); }

 protected:
  std::vector<GridRecordKey> ProjectRowKeys() const override;
  void OnGridCreated() override;
  void OnCellFetched(int col, int row, CGridCellValue* cell) override;
  long long OnCellTypeEvent(int typeIndex, int col, int row, int event,
                            std::intptr_t value) override;
  int OnBeforeEdit(int col, int row, CWnd** editor) override;
  void OnCellDoubleClick(int col, int row, CRect* rect, CPoint* point, int processed) override;
  void OnGridChar(int* ch, int processed) override;
  int OnEditDone(int col, int row, CWnd* editor, const std::string& text, int cancelled) override;
  void OnCellRightClick(int col, int row, int pressed, CRect* rect, CPoint* point,
                        int processed) override;
  // Runs the Modbus options for a switch; overridable so tests need no modal loop.
  virtual void EditModbusOptions(int switchIndex);

 private:
  CMacPrefixCellType m_macType;
  int m_macTypeIndex = -1;
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
