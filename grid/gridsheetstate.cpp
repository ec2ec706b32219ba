#include "grid/gridsheetstate.h"

#include "grid/gridselectionset.h"

// ---------------------------------------------------------------------------
// Sheet state

CGridSheetState::CGridSheetState(int vbarWidth, int hbarHeight)
    : m_vbarWidth(vbarWidth),
      m_hbarHeight(hbarHeight),
      m_memSource(std::make_unique<CGridMemDataSource>()) {
  // A fresh cell's alignment, so cells are left-aligned and their text may
  // run on into an empty neighbour; the colours stay unset so that they
  // follow the system colours.
  m_gridDefault.GridCellSetFlags(0);
  m_gridDefault.GridCellSetAlignment(kAlignLeft);
  m_headingDefault.GridCellSetFlags(0);
  m_headingDefault.GridCellSetBackColor(GetSysColor(COLOR_BTNFACE));
  m_headingDefault.GridCellSetBorder(0x2000);
  m_headingDefault.GridCellSetAlignment(kAlignCenter | kAlignVCenter);
  m_dataSource = m_memSource.get();
  m_selection = std::make_unique<CGridSelectionSet>();
}

CGridSheetState::~CGridSheetState() = default;

int CGridSheetState::RowHeight(int row) const {
  if (row < 0 || row >= m_rowCount) return 0;
  if (m_uniform) return m_defRowHeight;
  return m_rowHeights[static_cast<std::size_t>(row)];
}

int CGridSheetState::ColWidth(int col) const {
  if (col < 0 || col >= m_colCount) return 0;
  return m_cols[static_cast<std::size_t>(col)].width;
}
