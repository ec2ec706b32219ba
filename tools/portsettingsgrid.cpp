#include "tools/portsettingsgrid.h"

#include "platform/text.h"
#include "switch/switchconfig.h"
#include "tools/settinggrid_p.h"

using namespace settinggrid;

namespace {

constexpr int kWidths[CPortSettingsGrid::kColumns] = {40, 60, 75, 45, 45, 45, 45, 45, 45, 45, 100};
constexpr unsigned kHeadings[CPortSettingsGrid::kColumns] = {
    IDS_PORT, IDS_ADMIN, IDS_NEGOTIATION, IDS_10H, IDS_10F,      IDS_100H,
    IDS_100F, IDS_1000H, IDS_1000F,       IDS_FC,  IDS_PORT_TYPE};

// The stored words of the configuration; the grid shows the string table's texts.
constexpr std::string_view kEnabled = "Enabled";
constexpr std::string_view kDisabled = "Disabled";
constexpr std::string_view kAuto = "Auto";
constexpr std::string_view kFixed = "Fixed";
constexpr std::string_view kGigabitCopper = "10/100/1000 RJ45";

// The capability flag a speed column shows (null for other columns).
template <typename Port>
auto SpeedFlag(Port& p, int col) -> decltype(&p.half10) {
  switch (col) {
    case CPortSettingsGrid::kCol10Half: return &p.half10;
    case CPortSettingsGrid::kCol10Full: return &p.full10;
    case CPortSettingsGrid::kCol100Half: return &p.half100;
    case CPortSettingsGrid::kCol100Full: return &p.full100;
    case CPortSettingsGrid::kCol1000Half: return &p.half1000;
    case CPortSettingsGrid::kCol1000Full: return &p.full1000;
    default: return nullptr;
  }
}

}  // namespace

CPortSettingsGrid::CPortSettingsGrid() = default;
CPortSettingsGrid::~CPortSettingsGrid() = default;

void CPortSettingsGrid::OnGridCreated() {
  m_radioIndex = RegisterCellType(&m_radioType);
  (void)SetDefaultRowHeight(GridPx(18));
  (void)SetDefaultColumnWidth(GridPx(50));
  (void)SetTopHeadingHeight(GridPx(15));
  (void)SetSideHeadingWidth(0);
  UseToolGridFonts(*this);
  (void)SetRowTotal(5);
  (void)SetColumnTotal(kColumns);
  for (int c = 0; c < kColumns; ++c) (void)SetColumnWidth(c, GridPx(kWidths[c]));
  FitDropColumn(*this, kColAdmin, Options({IDS_ENABLED, IDS_DISABLED}));
  FitDropColumn(*this, kColNegotiation, Options({IDS_AUTO, IDS_FIXED}));
  FitHeadingToLines(*this);
}

COLORREF CPortSettingsGrid::OnGetBackColor(int) {
  return RGB(255, 255, 255);
}

void CPortSettingsGrid::OnCellFetched(int col, int row, CGridCellValue* cell) {
  if (!cell || col < 0 || col >= kColumns) return;
  if (row < 0) {
    cell->GridCellSetText(LoadResString(kHeadings[col]));
    return;
  }
  FetchPortCell(col, row, *cell);
}

void CPortSettingsGrid::FetchPortCell(int col, int row, CGridCellValue& cell) {
  const CPortSettings* port = m_config ? m_config->GetPort(row) : nullptr;
  if (!port) {
    TextCell(cell, "");
    return;
  }
  const bool gigabitType = m_config->IsGigabitType();
  const bool gigabitPort = gigabitType && row > 5;
  // Ports 8 and 9 of the fibre gigabit model: SFP cages, 1000 only.
  const bool fiberGigabit =
      gigabitType && row > 6 && !fw::EqualsNoCase(m_config->GetType(), LoadResString(6009));
  const std::string typeText = m_config->GetPortTypeText(row);
  const bool fiber100 = typeText.rfind("100M fiber", 0) == 0;
  const bool isAuto = port->negotiation == kAuto;
  const bool copperGigabit = fw::EqualsNoCase(typeText, kGigabitCopper);

  switch (col) {
    case kColPort: TextCell(cell, port->name, true); return;
    case kColAdmin:
      DropListCell(cell, Options({IDS_ENABLED, IDS_DISABLED}),
                   LoadResString(port->admin == kEnabled ? IDS_ENABLED : IDS_DISABLED));
      return;
    case kColNegotiation: {
      const bool fiber = fw::ToLowerAscii(typeText).find("fiber") != std::string::npos;
      DropListCell(cell, fiber ? Options({IDS_FIXED}) : Options({IDS_AUTO, IDS_FIXED}),
                   LoadResString(isAuto ? IDS_AUTO : IDS_FIXED));
      return;
    }
    case kColFlowControl: CheckCell(cell, kCheckAlone, port->flowControl, true); return;
    case kColPortType: TextCell(cell, typeText); return;
    default: break;
  }

  const int value = *SpeedFlag(*port, col);
  if (col == kCol10Half || col == kCol10Full) {
    if (isAuto && !fiberGigabit && !fiber100)
      CheckCell(cell, kCheckAlone, value, true);
    else if ((gigabitPort && !copperGigabit) || fiberGigabit || fiber100)
      NotApplicableCell(cell);
    else
      CheckCell(cell, kRoundAlone, value, true);
  } else if (col == kCol100Half || col == kCol100Full) {
    if (isAuto && !fiberGigabit)
      CheckCell(cell, kCheckAlone, value, true);
    else if (gigabitPort && !copperGigabit)
      NotApplicableCell(cell);
    else
      CheckCell(cell, kRoundAlone, value, true);
  } else if (gigabitPort) {
    CheckCell(cell, isAuto ? kCheckAlone : kRoundAlone, value, true);
  } else {
    NotApplicableCell(cell);
  }
}

long long CPortSettingsGrid::OnCellTypeEvent(int typeIndex, int col, int row, int event,
                                             std::intptr_t value) {
  CPortSettings* port = m_config ? m_config->GetPort(row) : nullptr;
  if (!port) return 1;
  if (typeIndex == kCheckBoxTypeIndex && event == kCellEventCheckToggled) {
    if (col == kColFlowControl)
      port->flowControl = port->flowControl ? 0 : 1;
    else if (SpeedFlag(*port, col))
      SpeedClicked(col, row);
    RepaintRow(row);
    return 1;
  }
  if (typeIndex == kDropListTypeIndex && event == kDropTextChosen) {
    const std::string& text = ChosenText(value);
    if (col == kColAdmin) {
      port->admin = std::string(CompareWithResString(text, IDS_ENABLED) ? kEnabled : kDisabled);
      RepaintRow(row);
    } else if (col == kColNegotiation) {
      m_config->SetSpeedMode(row, CompareWithResString(text, IDS_AUTO) ? kAuto : kFixed);
      RepaintAll();
    }
  }
  return 1;
}

void CPortSettingsGrid::SpeedClicked(int col, int row) {
  CPortSettings& port = *m_config->GetPort(row);
  int& flag = *SpeedFlag(port, col);
  if (port.negotiation == kAuto) {
    // Several speeds may be advertised at once.
    flag = flag ? 0 : 1;
    return;
  }
  // A fixed port runs at exactly one speed: a click moves the single check
  // there, and the checked speed cannot be switched off.
  CGridCellValue cell;
  GetCell(col, row, cell);
  if (GridCellNumberAsInt(cell) == 0) {
    cell.GridCellSetNumber(1);
    (void)SetCell(col, row, cell);
    for (int c = kCol10Half; c <= kCol1000Full; ++c) *SpeedFlag(port, c) = 0;
    flag = 1;
  } else {
    CGridCellValue other;
    for (int c = kCol10Half; c <= kCol1000Full; ++c) {
      if (c == col) continue;
      GetCellRaw(c, row, other);
      other.GridCellSetNumber(0);
      (void)SetCell(c, row, other);
    }
  }
}
