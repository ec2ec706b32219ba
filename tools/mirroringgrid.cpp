#include "tools/mirroringgrid.h"

#include "platform/message.h"
#include "switch/switchconfig.h"
#include "tools/settinggrid_p.h"

using namespace settinggrid;

CMirroringGrid::CMirroringGrid() = default;
CMirroringGrid::~CMirroringGrid() = default;

void CMirroringGrid::OnGridCreated() {
  m_radioIndex = RegisterCellType(&m_radioType);
  (void)SetTopHeadingRows(2);
  (void)SetDefaultRowHeight(GridPx(18));
  (void)SetDefaultColumnWidth(GridPx(50));
  (void)SetTopHeadingHeight(GridPx(30));
  (void)SetSideHeadingWidth(0);
  UseToolGridFonts(*this);
  (void)SetRowTotal(6);
  (void)SetColumnTotal(6);
  CGridCellValue corner;
  GetCellRaw(0, 0, corner);
  corner.GridCellSetFont(GetFont(BoldFontIndex(*this)));
  (void)SetCell(0, 0, corner);
  (void)SetRowHeight(0, GridPx(30));
  SetMergeEnabled(1);
  (void)MergeCells(0, -2, 0, -1);
  (void)MergeCells(1, -2, 5, -2);
  (void)SetColumnWidth(0, GridPx(75));
  for (int c = 1; c <= 5; ++c) (void)SetColumnWidth(c, GridPx(70));
}

COLORREF CMirroringGrid::OnGetBackColor(int) {
  return RGB(255, 255, 255);
}

void CMirroringGrid::OnCellFetched(int col, int row, CGridCellValue* cell) {
  if (!cell || col < 0) return;
  if (row < 0) {
    if (col == 0)
      cell->GridCellSetText(LoadResString(IDS_MONITOR));
    else if (row == -2)
      cell->GridCellSetText(LoadResString(IDS_SOURCES));
    else
      cell->GridCellSetText(std::to_string(col));
    return;
  }
  const int ports = m_config ? m_config->GetPortCount() : 0;
  if (row > ports || col > ports) {
    TextCell(*cell, "");
    return;
  }
  if (row == 0 && col == 0) {
    TextCell(*cell, LoadResString(IDS_PORT), true);
    cell->GridCellSetBackColor(GetSysColor(COLOR_BTNFACE));
  } else if (row == 0) {
    RadioCell(*cell, m_radioIndex, Options({IDS_SENT, IDS_ALL}),
              static_cast<int>(m_config->GetMirrorSourceMode(col - 1)));
  } else if (col == 0) {
    TextCell(*cell, std::to_string(row), true);
  } else if (row == col) {
    NotApplicableCell(*cell);
    cell->GridCellSetBackColor(GetSysColor(COLOR_BTNFACE));
  } else {
    CheckCell(*cell, kCheckAlone, m_config->LookupMirrorPair(col - 1, row - 1).value_or(0), true);
  }
}

long long CMirroringGrid::OnCellTypeEvent(int typeIndex, int col, int row, int event,
                                          std::intptr_t value) {
  if (!m_config || col < 1 || col > m_config->GetPortCount()) return 1;
  if (typeIndex == kCheckBoxTypeIndex && event == kCellEventCheckToggled && row >= 1 &&
      row != col && row <= m_config->GetPortCount()) {
    PairClicked(col, row);
  } else if (typeIndex == m_radioIndex && m_radioIndex > 0 && event == kCellEventButton &&
             row == 0) {
    // The option chosen, not a toggle of what is stored: choosing the option
    // that is already set leaves it set.
    if (value == 0 || value == 1) {
      m_config->SetMirrorSourceMode(col - 1, static_cast<unsigned>(value));
      RepaintRow(row);
    }
  }
  return 1;
}

void CMirroringGrid::PairClicked(int col, int row) {
  const int source = col - 1, monitor = row - 1;
  // Unchecking removes the pair: a pair stored as 0 would still name a monitor port.
  const bool wasSet = m_config->LookupMirrorPair(source, monitor).value_or(0) != 0;
  if (m_config->OnlyMonitorIs(monitor)) {
    m_config->SetMirrorPair(source, monitor, wasSet ? 0 : 1);
    RepaintRow(row);
    return;
  }
  const int answer = MessageBoxCaption(LoadResString(IDS_MULTIPLE_MONITOR_PORTS_QUESTION),
                                       LoadResString(IDS_MONITOR_PORT_WARNING), MB_YESNO);
  if (answer == IDYES) {
    m_config->ClearMirrorPairs();
    if (!wasSet) m_config->SetMirrorPair(source, monitor, 1);
    RepaintAll();
  } else {
    // The box was toggled in the grid's store; the configuration says otherwise.
    RepaintCell(col, row);
  }
}
