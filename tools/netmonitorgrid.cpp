#include "tools/netmonitorgrid.h"

#include <algorithm>

#include "platform/format.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "tools/gridfonts.h"
#include "tools/waitcursor.h"

namespace {

constexpr int kWidths[CNetMonitorGrid::kColumns] = {120, 100, 100, 140, 180};

}  // namespace

CNetMonitorGrid::CNetMonitorGrid(const SwitchVector& switches, const std::set<std::string>& silent)
    : m_switches(switches), m_silent(silent) {}

const CSwitchEntry* CNetMonitorGrid::Entry(int index) const {
  return index >= 0 && index < static_cast<int>(m_switches.size())
             ? m_switches[static_cast<std::size_t>(index)].get()
             : nullptr;
}

CNetMonitorGrid::~CNetMonitorGrid() {
  (void)DestroyWindow();  // nothing to do without a window
}

void CNetMonitorGrid::OnGridCreated() {
  CSheetGridCtrl::OnGridCreated();
  (void)SetTopHeadingRows(1);
  (void)SetDefaultRowHeight(GridPx(18));
  (void)SetDefaultColumnWidth(GridPx(50));
  (void)SetTopHeadingHeight(GridPx(18));
  (void)SetSideHeadingWidth(0);
  UseToolGridFonts(*this);
  m_sortArrowIndex = RegisterCellType(&m_sortArrow);
  m_macPrefixIndex = RegisterCellType(&m_macPrefix);
  (void)SetColumnTotal(kColumns);
  const unsigned headings[kColumns] = {IDS_NAME, IDS_TYPE, IDS_MAC_ADDRESS, IDS_FIRMWARE_VERS,
                                       IDS_OK_OUTPUT_PAGE};
  for (int c = 0; c < kColumns; ++c) {
    (void)SetColumnWidth(c, GridPx(kWidths[c]));
    (void)SetCellText(c, -1, LoadResString(headings[c]));
  }
  FitHeadingToLines(*this);
  (void)SetRowTotal(0);
}

int CNetMonitorGrid::EntryOfRow(int row) const {
  return row >= 0 && row < static_cast<int>(m_rows.size()) ? m_rows[static_cast<std::size_t>(row)]
                                                           : -1;
}

std::string CNetMonitorGrid::CellText(int col, int row) const {
  const CSwitchEntry* e = Entry(EntryOfRow(row));
  if (!e) return {};
  switch (col) {
    case kNameCol: return e->GetName();
    case kTypeCol: return e->GetPart().displayName;
    case kMacCol: return e->GetMacText(false);
    case kFirmwareCol: return e->GetFirmwareRevision();
    case kOkOutputCol:
      if (Silent(*e)) return LoadResString(IDS_NOT_ANSWERING);
      return fw::FormatText(
          "%s", LoadResString(e->GetMonitorStatus() == 0 ? IDS_OUTPUT_OFF : IDS_OUTPUT_ON));
    default: return {};
  }
}

void CNetMonitorGrid::OnCellFetched(int col, int row, CGridCellValue* cell) {
  if (row == -1 && col >= 0) {
    // The heading of the sort column carries the arrow of the direction.
    cell->GridCellSetTypeStyle(2);
    if (col == m_sortCol) {
      cell->GridCellSetCellType(m_sortArrowIndex);
      cell->GridCellSetTypeStyle(m_descending ? 34 : 18);
    }
    return;
  }
  if (row < 0) return;
  cell->GridCellSetText(CellText(col, row));
  cell->GridCellSetReadOnly(true);
  const CSwitchEntry* e = Entry(EntryOfRow(row));
  if (col == kMacCol) {
    // The maker's part of the address is the same for every switch: a label.
    cell->GridCellSetCellType(m_macPrefixIndex);
    cell->GridCellSetLabel(std::string(CSwitchEntry::kMacPrefix));
  }
  if (col == kOkOutputCol && e && (e->GetMonitorStatus() == 0 || Silent(*e)))
    cell->GridCellSetTextColor(kOffColour);
}

void CNetMonitorGrid::ReloadRows() {
  m_rows.clear();
  for (int i = 0; i < static_cast<int>(m_switches.size()); ++i) m_rows.push_back(i);
  (void)SetRowTotal(static_cast<int>(m_rows.size()));
  Sort();
}

void CNetMonitorGrid::Sort() {
  const int col = m_sortCol;
  const bool descending = m_descending;
  std::stable_sort(m_rows.begin(), m_rows.end(), [&](int a, int b) {
    const CSwitchEntry* x = Entry(a);
    const CSwitchEntry* y = Entry(b);
    auto key = [this, col](const CSwitchEntry* e) -> std::string {
      switch (col) {
        case kNameCol: return e->GetName();
        case kTypeCol: return e->GetPart().displayName;
        case kMacCol: return e->GetMacText(false);
        case kFirmwareCol: return e->GetFirmwareRevision();
        default: return Silent(*e) ? std::string() : std::to_string(e->GetMonitorStatus());
      }
    };
    return descending ? key(y) < key(x) : key(x) < key(y);
  });
  RepaintAll();
}

void CNetMonitorGrid::SortAgain() {
  CWaitCursor wait;
  Sort();
}

void CNetMonitorGrid::OnCellDoubleClick(int col, int row, CRect* rect, CPoint* point,
                                        int processed) {
  CSheetGridCtrl::OnCellDoubleClick(col, row, rect, point, processed);
  const int entry = EntryOfRow(row);
  if (entry >= 0 && onOpenSwitch) onOpenSwitch(entry);
}

void CNetMonitorGrid::OnTopHeadingLeftClick(int col, int row, int pressed, CRect* rect,
                                            CPoint* point, int processed) {
  CSheetGridCtrl::OnTopHeadingLeftClick(col, row, pressed, rect, point, processed);
  if (pressed || col < 0 || col >= kColumns) return;  // on the release
  m_sortCol = col;
  m_descending = !m_descending;
  SortAgain();
}

int CNetMonitorGrid::OnBeforeEdit(int, int, CWnd**) {
  return 0;  // a monitor: nothing here is edited
}

COLORREF CNetMonitorGrid::OnGetBackColor(int) {
  return RGB(255, 255, 255);
}

void CNetMonitorGrid::OnDrawCurrentCellFocus(CDC* dc, CRect* rect) {
  if (!dc || !rect) return;
  CRect r = *rect;
  r.right -= 1;
  r.bottom -= 1;
  CPen pen(PS_SOLID, 1, GetSysColor(COLOR_HIGHLIGHT));
  CPen* old = dc->SelectObject(&pen);
  dc->MoveTo(r.left, r.top);
  dc->LineTo(r.right, r.top);
  dc->LineTo(r.right, r.bottom);
  dc->LineTo(r.left, r.bottom);
  dc->LineTo(r.left, r.top);
  dc->SelectObject(old);
}

int CNetMonitorGrid::OnContextHelp(int, int, int) {
  return 0;
}
