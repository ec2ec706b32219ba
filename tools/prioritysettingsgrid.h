// The Priorities page's grid, three sheets behind tabs: the scheduling
// choice and each port's priority, output tag and broadcast limit; each
// port's use of tags and IP and their precedence; and the queue that each
// IEEE 802.1p priority is mapped to. Rendered from the working configuration.
#pragma once

#include "grid/sheetgridctrl.h"

class CSwitchConfig;

class CPrioritySettingsGrid : public CSheetGridCtrl {
 public:
  enum Sheet { kSheetPorts = 0, kSheetAdvanced = 1, kSheetTagMapping = 2, kSheets = 3 };
  // Rows of the first sheet above the port rows: the scheduling choice (two
  // rows joined) and the column captions.
  static constexpr int kPortRowOffset = 3;

  CPrioritySettingsGrid();
  ~CPrioritySettingsGrid() override;

  void SetConfig(CSwitchConfig* config) { m_config = config; }
  CSwitchConfig* GetConfig() const { return m_config; }
  int RadioTypeIndex() const { return m_radioIndex; }

  void OnGridCreated() override;
  void OnCellFetched(int col, int row, CGridCellValue* cell) override;
  long long OnCellTypeEvent(int typeIndex, int col, int row, int event,
                            std::intptr_t value) override;
  void OnTabClicked(int tabId) override;
  COLORREF OnGetBackColor(int section) override;

 private:
  void SetUpPortsSheet();
  void SetUpAdvancedSheet();
  void SetUpTagMappingSheet();
  void FetchPorts(int col, int row, CGridCellValue& cell);
  void FetchAdvanced(int col, int row, CGridCellValue& cell);
  void FetchTagMapping(int col, int row, CGridCellValue& cell);
  void QueueClicked(int col, int row);
  void PriorityChosen(int row, const std::string& text);

  CSwitchConfig* m_config = nullptr;
  CRadioCellType m_radioType;
  int m_radioIndex = -1;
  // The first sheet's column captions: heavier than the headings.
  CFont m_captionFont;
};
