#include "tools/ringsettingsgrid.h"

#include "platform/format.h"
#include "switch/switchconfig.h"
#include "tools/settinggrid_p.h"

using namespace settinggrid;

namespace {

constexpr int kWidths[CRingSettingsGrid::kColumns] = {40, 140, 80, 80};
constexpr unsigned kHeadings[CRingSettingsGrid::kColumns] = {IDS_RING, IDS_ENABLE_RING,
                                                             IDS_PRIMARY_PORT, IDS_BACKUP_PORT};
// Texts "Port 1" to "Port 9" in the language in use.
constexpr unsigned kFirstPortText = IDS_PORT_1;
constexpr int kMaxPortTexts = 9;

std::string PortOptions(int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += LoadResString(kFirstPortText + i) + "\n";
  return out;
}

}  // namespace

CRingSettingsGrid::CRingSettingsGrid() = default;
CRingSettingsGrid::~CRingSettingsGrid() = default;

void CRingSettingsGrid::OnGridCreated() {
  (void)SetDefaultRowHeight(GridPx(18));
  (void)SetDefaultColumnWidth(GridPx(50));
  (void)SetTopHeadingHeight(GridPx(15));
  (void)SetSideHeadingWidth(0);
  UseToolGridFonts(*this);
  (void)SetRowTotal(2);
  (void)SetColumnTotal(kColumns);
  for (int c = 0; c < kColumns; ++c) (void)SetColumnWidth(c, GridPx(kWidths[c]));
  for (int c : {kColPrimary, kColBackup})
    FitDropColumn(*this, c, PortOptions(kMaxPortTexts) + LoadResString(IDS_NONE) + "\n");
  FitHeadingToLines(*this);
}

COLORREF CRingSettingsGrid::OnGetBackColor(int) {
  return RGB(255, 255, 255);
}

int CRingSettingsGrid::PortChoices() const {
  const int n = m_config ? m_config->GetPortCount() : 0;
  return n == 5 || n == 6 || n == 9 ? n : 0;
}

void CRingSettingsGrid::OnCellFetched(int col, int row, CGridCellValue* cell) {
  if (!cell || col < 0 || col >= kColumns) return;
  if (row < 0) {
    cell->GridCellSetText(LoadResString(kHeadings[col]));
    return;
  }
  const CRingSettings* ring = m_config ? m_config->GetRing(row) : nullptr;
  if (!ring) {
    TextCell(*cell, "");
    return;
  }
  switch (col) {
    case kColRing:
      TextCell(*cell, fw::FormatText("%s %d", LoadResString(IDS_RING), row + 1), true);
      break;
    case kColEnable: EnabledCheckCell(*cell, ring->enabled); break;
    default: {
      const int port = col == kColPrimary ? ring->primaryPort : ring->backupPort;
      // A port the configuration does not have (read from a file) shows as none.
      const bool known = port >= 0 && port < m_config->GetPortCount() && port < kMaxPortTexts;
      DropListCell(*cell, PortOptions(PortChoices()),
                   LoadResString(known ? kFirstPortText + port : IDS_NONE));
      cell->GridCellSetBackColor(IsMarked(port) ? kYellow : GetSysColor(COLOR_WINDOW));
      break;
    }
  }
}

long long CRingSettingsGrid::OnCellTypeEvent(int typeIndex, int col, int row, int event,
                                             std::intptr_t value) {
  CRingSettings* ring = m_config ? m_config->GetRing(row) : nullptr;
  if (!ring || row > 1) return 1;
  if (typeIndex == kDropListTypeIndex && event == kDropTextChosen &&
      (col == kColPrimary || col == kColBackup)) {
    // The chosen entry's place in the list is the port index: the texts are
    // the language's own and are never compared with fixed words.
    const std::string& text = ChosenText(value);
    int port = 0;
    for (int i = 0; i < PortChoices(); ++i)
      if (CompareWithResString(text, kFirstPortText + i)) {
        port = i;
        break;
      }
    (col == kColPrimary ? ring->primaryPort : ring->backupPort) = port;
    (void)CheckDuplicates();  // the marks show in yellow
    RepaintAll();
  } else if (typeIndex == kCheckBoxTypeIndex && event == kCellEventCheckToggled &&
             col == kColEnable) {
    ring->enabled = ring->enabled ? 0 : 1;
    CGridCellValue cell;
    GetCellRaw(col, row, cell);
    cell.GridCellSetNumber(ring->enabled);
    (void)SetCell(col, row, cell);
  }
  return 1;
}

bool CRingSettingsGrid::IsMarked(int port) const {
  return m_duplicates.count(port >= 0 && port < kMaxPortTexts ? port : -1) != 0;
}

void CRingSettingsGrid::Mark(int port) {
  m_duplicates.insert(port >= 0 && port < kMaxPortTexts ? port : -1);
}

int CRingSettingsGrid::CheckDuplicates() {
  m_duplicates.clear();
  if (!m_config) return kNoDuplicates;
  const CRingSettings& r1 = *m_config->GetRing(0);
  const CRingSettings& r2 = *m_config->GetRing(1);
  const int p1 = r1.primaryPort, b1 = r1.backupPort, p2 = r2.primaryPort, b2 = r2.backupPort;
  if (p1 == b1) {
    Mark(p1);
  } else {
    const bool shared = p1 == p2;
    if (shared) Mark(p1);
    if (p2 == b2) {
      Mark(p2);
    } else if (!shared) {
      if (b2 == p1)
        Mark(p1);
      else if (p2 == b1)
        Mark(b1);
      else if (b1 == b2)
        Mark(b2);
    }
  }
  return m_duplicates.empty() ? kNoDuplicates : kDuplicatesMarked;
}
