// The Rings page's grid: the two rings of the working configuration, each
// with its enable flag and its primary and backup port. Ports that two
// roles share are marked and shown in yellow.
#pragma once

#include <set>

#include "grid/sheetgridctrl.h"

class CSwitchConfig;

class CRingSettingsGrid : public CSheetGridCtrl {
 public:
  enum Column { kColRing = 0, kColEnable = 1, kColPrimary = 2, kColBackup = 3, kColumns = 4 };

  CRingSettingsGrid();
  ~CRingSettingsGrid() override;

  void SetConfig(CSwitchConfig* config) { m_config = config; }
  CSwitchConfig* GetConfig() const { return m_config; }

  enum DuplicateCheck : int { kNoDuplicates = 0, kDuplicatesMarked = 1 };
  // Marks the ports that the two rings use twice (enabled or not).
  [[nodiscard]] int CheckDuplicates();
  // How many ports are marked.
  int DuplicateCount() const { return static_cast<int>(m_duplicates.size()); }
  // Whether a port index is marked; indexes outside the nine ports count as one.
  bool IsMarked(int port) const;

  void OnGridCreated() override;
  void OnCellFetched(int col, int row, CGridCellValue* cell) override;
  long long OnCellTypeEvent(int typeIndex, int col, int row, int event,
                            std::intptr_t value) override;
  COLORREF OnGetBackColor(int section) override;

 private:
  void Mark(int port);
  int PortChoices() const;

  std::set<int> m_duplicates;  // port indexes; -1 for one outside the nine ports
  CSwitchConfig* m_config = nullptr;
};
