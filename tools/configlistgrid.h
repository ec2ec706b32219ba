// The configuration list: one row per named base configuration of the
// project (the row's key is the configuration's index) and an empty row at
// the end; typing a name there creates a configuration. The document's
// selected configuration is always the one the current row shows: it follows
// moves, sorts and deletes.
#pragma once

#include <string>
#include <vector>

#include "tools/projectlistgrid.h"

class CSwitchConfig;

class CConfigListGrid : public CProjectListGrid {
 public:
  explicit CConfigListGrid(CWnd* owner = nullptr);
  ~CConfigListGrid() override;

  void OnProjectHint(int kind, int index);

  // The live configuration a row holds (its index), or none / -1.
  const CSwitchConfig* ConfigAtRow(int row) const;
  int ConfigIndexAtRow(int row) const;

 protected:
  std::vector<GridRecordKey> ProjectRowKeys() const override;
  void OnGridCreated() override;
  void OnCellFetched(int col, int row, CGridCellValue* cell) override;
  void OnRowsChanged() override;
  void OnCurrentRowChanged(int oldRow, int newRow) override;
  void OnCurrentCellChanged(int oldCol, int newCol, int oldRow, int newRow) override;
  void OnCellLeftClick(int col, int row, int pressed, CRect* rect, CPoint* point,
                       int processed) override;
  void OnCellRightClick(int col, int row, int pressed, CRect* rect, CPoint* point,
                        int processed) override;
  long long OnCellTypeEvent(int typeIndex, int col, int row, int event,
                            std::intptr_t value) override;
  void OnCellDoubleClick(int col, int row, CRect* rect, CPoint* point, int processed) override;
  void OnGridChar(int* ch, int processed) override;
  int OnEditDone(int col, int row, CWnd* editor, const std::string& text, int cancelled) override;

 private:
  void SelectRow(int row);
};
