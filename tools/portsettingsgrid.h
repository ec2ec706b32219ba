// The Ports page's grid: one row per port of the sheet's working
// configuration (admin state, negotiation, advertised speeds, flow control,
// port type). Cells are rendered from the configuration on every fetch and
// every change is written straight into it.
#pragma once

#include "grid/sheetgridctrl.h"

class CSwitchConfig;

class CPortSettingsGrid : public CSheetGridCtrl {
 public:
  enum Column {
    kColPort = 0,
    kColAdmin = 1,
    kColNegotiation = 2,
    kCol10Half = 3,
    kCol10Full = 4,
    kCol100Half = 5,
    kCol100Full = 6,
    kCol1000Half = 7,
    kCol1000Full = 8,
    kColFlowControl = 9,
    kColPortType = 10,
    kColumns = 11
  };

  CPortSettingsGrid();
  ~CPortSettingsGrid() override;

  void SetConfig(CSwitchConfig* config) { m_config = config; }
  CSwitchConfig* GetConfig() const { return m_config; }

  void OnGridCreated() override;
  void OnCellFetched(int col, int row, CGridCellValue* cell) override;
  long long OnCellTypeEvent(int typeIndex, int col, int row, int event,
                            std::intptr_t value) override;
  COLORREF OnGetBackColor(int section) override;

 private:
  void FetchPortCell(int col, int row, CGridCellValue& cell);
  void SpeedClicked(int col, int row);

  CSwitchConfig* m_config = nullptr;
  // Registered with the grid as the other setting grids do; no cell uses it.
  CRadioCellType m_radioType;
  int m_radioIndex = -1;
};
