// The Mirroring page's grid: a matrix of monitor ports (rows) by source
// ports (columns) with, above it, whether each source mirrors what it sends
// or all its traffic. Rendered from the working configuration; only one port
// may be a monitor port.
#pragma once

#include "grid/sheetgridctrl.h"

class CSwitchConfig;

class CMirroringGrid : public CSheetGridCtrl {
 public:
  CMirroringGrid();
  ~CMirroringGrid() override;

  void SetConfig(CSwitchConfig* config) { m_config = config; }
  CSwitchConfig* GetConfig() const { return m_config; }
  int RadioTypeIndex() const { return m_radioIndex; }

  void OnGridCreated() override;
  void OnCellFetched(int col, int row, CGridCellValue* cell) override;
  long long OnCellTypeEvent(int typeIndex, int col, int row, int event,
                            std::intptr_t value) override;
  COLORREF OnGetBackColor(int section) override;

 private:
  void PairClicked(int col, int row);

  CSwitchConfig* m_config = nullptr;
  CRadioCellType m_radioType;
  int m_radioIndex = -1;
};
