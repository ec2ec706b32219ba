#include "tools/prioritysettingsgrid.h"

#include "platform/message.h"
#include "switch/switchconfig.h"
#include "tools/settinggrid_p.h"

using namespace settinggrid;

namespace {

// Stored words of the configuration and the strings that show them.
struct Word {
  std::string_view stored;
  unsigned text;
};
constexpr Word kPriorities[] = {{"Background", IDS_BACKGROUND},
                                {"Normal", IDS_NORMAL},
                                {"Expedited", IDS_EXPEDITED},
                                {"Urgent", IDS_URGENT}};
constexpr Word kOutputTags[] = {
    {"Unchanged", IDS_UNCHANGED}, {"Remove Tag", IDS_REMOVE_TAG}, {"Add Tag", IDS_ADD_TAG}};
constexpr Word kPrecedences[] = {{"Use IP", IDS_USE_IP}, {"Use Tag", IDS_USE_TAG}};

template <std::size_t N>
std::string Shown(const Word (&words)[N], const std::string& stored) {
  for (const Word& w : words)
    if (w.stored == stored) return LoadResString(w.text);
  return stored;  // a word this program does not know is shown as it is
}

template <std::size_t N>
const Word* Chosen(const Word (&words)[N], const std::string& text) {
  for (const Word& w : words)
    if (CompareWithResString(text, w.text)) return &w;
  return nullptr;
}

constexpr unsigned kTrafficTypes[CSwitchConfig::kTagValues] = {
    IDS_BEST_EFFORT,     IDS_BACKGROUND, IDS_SPARE, IDS_EXCELLENT_EFFORT,
    IDS_CONTROLLED_LOAD, IDS_VIDEO,      IDS_VOICE, IDS_NETWORK_CONTROL};

// Columns of the tag-mapping sheet that hold the four output queues.
constexpr int kFirstQueueCol = 2;
constexpr int kQueues = 4;

}  // namespace

CPrioritySettingsGrid::CPrioritySettingsGrid() = default;
CPrioritySettingsGrid::~CPrioritySettingsGrid() = default;

COLORREF CPrioritySettingsGrid::OnGetBackColor(int) {
  return RGB(255, 255, 255);
}

void CPrioritySettingsGrid::OnGridCreated() {
  (void)SetSheetTotal(kSheets);
  (void)AddSheetTab(LoadResString(IDS_PORT_PRIORITIES), kSheetPorts);
  (void)AddSheetTab(LoadResString(IDS_ADVANCED), kSheetAdvanced);
  (void)AddSheetTab(LoadResString(IDS_TAG_MAPPING), kSheetTagMapping);
  SetTabAreaWidth(200);

  LOGFONT lf = fw::DefaultGuiLogFont();
  lf.lfHeight = 14;
  lf.lfWeight = 900;
  fw::SetFaceName(lf, "Arial");
  (void)m_captionFont.CreateFontIndirect(&lf);  // without it the caption keeps the grid font
  m_radioIndex = RegisterCellType(&m_radioType);

  SetUpPortsSheet();
  SetUpAdvancedSheet();
  SetUpTagMappingSheet();
  (void)SelectSheet(kSheetPorts);
}

void CPrioritySettingsGrid::SetUpPortsSheet() {
  (void)SelectSheet(kSheetPorts);
  UseToolGridFonts(*this);
  (void)SetDefaultRowHeight(GridPx(18));
  (void)SetDefaultColumnWidth(GridPx(70));
  (void)SetTopHeadingHeight(0);
  (void)SetSideHeadingWidth(0);
  (void)SetRowTotal(8);
  (void)SetColumnTotal(4);
  const int widths[] = {70, 130, 110, 130};
  for (int c = 0; c < 4; ++c) (void)SetColumnWidth(c, GridPx(widths[c]));
  FitDropColumn(*this, 1, Options({IDS_BACKGROUND, IDS_NORMAL, IDS_EXPEDITED, IDS_URGENT}));
  FitDropColumn(*this, 2, Options({IDS_UNCHANGED, IDS_REMOVE_TAG, IDS_ADD_TAG}));
  SetMergeEnabled(1);
  CGridCellValue choice;
  GetCellRaw(0, 0, choice);
  choice.GridCellSetCellType(m_radioIndex);
  choice.GridCellSetLabel(Options({IDS_PRIORITY_SEND_HIGH_FIRST, IDS_PRIORITY_FEW_LOWER}));
  (void)SetCell(0, 0, choice);
  (void)MergeCells(0, 0, 3, 1);
  const unsigned captions[] = {IDS_PORT, IDS_ASSIGNED_PRIORITY, IDS_OUTPUT_TAG,
                               IDS_BROADCAST_LIMIT};
  for (int c = 0; c < 4; ++c) {
    CGridCellValue cell;
    GetCellRaw(c, 2, cell);
    cell.GridCellSetText(LoadResString(captions[c]));
    cell.GridCellSetAlignment(kAlignCenter | kAlignVCenter);
    cell.GridCellSetFont(&m_captionFont);
    cell.GridCellSetBackColor(GetSysColor(COLOR_BTNFACE));
    (void)SetCell(c, 2, cell);
  }
}

void CPrioritySettingsGrid::SetUpAdvancedSheet() {
  (void)SelectSheet(kSheetAdvanced);
  UseToolGridFonts(*this);
  (void)SetDefaultRowHeight(GridPx(18));
  (void)SetDefaultColumnWidth(GridPx(70));
  (void)SetTopHeadingHeight(GridPx(30));
  (void)SetSideHeadingWidth(0);
  (void)SetRowTotal(5);
  (void)SetColumnTotal(4);
  const int widths[] = {80, 90, 100, 100};
  for (int c = 0; c < 4; ++c) (void)SetColumnWidth(c, GridPx(widths[c]));
  FitDropColumn(*this, 3, Options({IDS_USE_IP, IDS_USE_TAG}));
  SetMergeEnabled(1);
  CGridCellValue heading;
  GetDefaultHeadingCell(heading);
  heading.GridCellSetTypeStyle(kMultiLine);
  SetDefaultHeadingCell(heading);
  FitHeadingToLines(*this);
}

void CPrioritySettingsGrid::SetUpTagMappingSheet() {
  (void)SelectSheet(kSheetTagMapping);
  UseToolGridFonts(*this);
  (void)SetTopHeadingRows(2);
  (void)SetDefaultRowHeight(GridPx(18));
  (void)SetDefaultColumnWidth(GridPx(67));
  (void)SetTopHeadingHeight(GridPx(30));
  (void)SetSideHeadingWidth(0);
  (void)SetRowTotal(CSwitchConfig::kTagValues);
  (void)SetColumnTotal(kFirstQueueCol + kQueues);
  (void)SetColumnWidth(0, GridPx(55));
  (void)SetColumnWidth(1, GridPx(125));
  (void)SetColumnWidth(2, GridPx(85));
  (void)SetColumnWidth(4, GridPx(80));
  SetMergeEnabled(1);
  (void)MergeCells(0, -2, 0, -1);
  (void)MergeCells(1, -2, 1, -1);
  (void)MergeCells(2, -2, 5, -2);
}

void CPrioritySettingsGrid::OnTabClicked(int tabId) {
  (void)SelectSheet(tabId);
}

void CPrioritySettingsGrid::OnCellFetched(int col, int row, CGridCellValue* cell) {
  if (!cell || col < 0) return;
  switch (GetSelectedSheet()) {
    case kSheetPorts: FetchPorts(col, row, *cell); break;
    case kSheetAdvanced: FetchAdvanced(col, row, *cell); break;
    case kSheetTagMapping: FetchTagMapping(col, row, *cell); break;
    default: break;
  }
}

void CPrioritySettingsGrid::FetchPorts(int col, int row, CGridCellValue& cell) {
  if (!m_config) return;
  if (row == 0 || row == 1) {
    if (col == 0)
      RadioCell(cell, m_radioIndex, Options({IDS_PRIORITY_SEND_HIGH_FIRST, IDS_PRIORITY_FEW_LOWER}),
                m_config->GetSendHigh() == 0 ? 1 : 0);
    return;
  }
  const CPortSettings* port =
      row >= kPortRowOffset ? m_config->GetPort(row - kPortRowOffset) : nullptr;
  if (!port) return;
  switch (col) {
    case 0: TextCell(cell, std::to_string(row - kPortRowOffset + 1), true); break;
    case 1:
      DropListCell(cell, Options({IDS_BACKGROUND, IDS_NORMAL, IDS_EXPEDITED, IDS_URGENT}),
                   Shown(kPriorities, port->priority));
      break;
    case 2:
      DropListCell(cell, Options({IDS_UNCHANGED, IDS_REMOVE_TAG, IDS_ADD_TAG}),
                   Shown(kOutputTags, port->outputTag));
      break;
    case 3: EnabledCheckCell(cell, port->broadcastLimit); break;
    default: break;
  }
}

void CPrioritySettingsGrid::FetchAdvanced(int col, int row, CGridCellValue& cell) {
  if (row < 0) {
    const unsigned headings[] = {IDS_PORT, IDS_USE_TAG_8021P, IDS_USE_IP_TOS,
                                 IDS_TAG_IP_PRECEDENCE};
    if (col < 4) cell.GridCellSetText(LoadResString(headings[col]));
    return;
  }
  const CPortSettings* port = m_config ? m_config->GetPort(row) : nullptr;
  if (!port) return;
  switch (col) {
    case 0: TextCell(cell, std::to_string(row + 1), true); break;
    case 1: EnabledCheckCell(cell, port->useTag); break;
    case 2: EnabledCheckCell(cell, port->useIP); break;
    case 3:
      DropListCell(cell, Options({IDS_USE_IP, IDS_USE_TAG}), Shown(kPrecedences, port->precedence));
      break;
    default: break;
  }
}

void CPrioritySettingsGrid::FetchTagMapping(int col, int row, CGridCellValue& cell) {
  if (row < 0) {
    unsigned id = 0;
    if (col == 0)
      id = IDS_PRIORITY;
    else if (col == 1)
      id = IDS_TRAFFIC_TYPE;
    else if (row == -2)
      id = IDS_OUTPUT_QUEUE;
    else if (col < kFirstQueueCol + kQueues)
      id = kPriorities[col - kFirstQueueCol].text;
    if (id) cell.GridCellSetText(LoadResString(id));
    return;
  }
  if (!m_config || row >= CSwitchConfig::kTagValues) return;
  if (col == 0)
    TextCell(cell, std::to_string(row), true);
  else if (col == 1)
    TextCell(cell, LoadResString(kTrafficTypes[row]));
  else if (col < kFirstQueueCol + kQueues)
    CheckCell(cell, kRoundAlone,
              m_config->GetTagMapping(row) == static_cast<unsigned>(col - kFirstQueueCol) ? 1 : 0,
              true);
}

long long CPrioritySettingsGrid::OnCellTypeEvent(int typeIndex, int col, int row, int event,
                                                 std::intptr_t value) {
  if (!m_config) return 1;
  const int sheet = GetSelectedSheet();
  if (typeIndex == kCheckBoxTypeIndex && event == kCellEventCheckToggled) {
    if (sheet == kSheetTagMapping) {
      QueueClicked(col, row);
      return 1;
    }
    CPortSettings* port = m_config->GetPort(sheet == kSheetPorts ? row - kPortRowOffset : row);
    if (!port) return 1;
    if (sheet == kSheetAdvanced && col == 1)
      port->useTag = port->useTag ? 0 : 1;
    else if (sheet == kSheetAdvanced && col == 2)
      port->useIP = port->useIP ? 0 : 1;
    else if (sheet == kSheetPorts && col == 3)
      port->broadcastLimit = port->broadcastLimit ? 0 : 1;
    RepaintRow(row);
  } else if (typeIndex == kDropListTypeIndex && event == kDropTextChosen) {
    const std::string& text = ChosenText(value);
    if (sheet == kSheetPorts && col == 1) {
      PriorityChosen(row, text);
    } else if (sheet == kSheetPorts && col == 2) {
      CPortSettings* port = m_config->GetPort(row - kPortRowOffset);
      if (const Word* w = Chosen(kOutputTags, text); port && w) port->outputTag = w->stored;
    } else if (sheet == kSheetAdvanced) {
      CPortSettings* port = m_config->GetPort(row);
      if (const Word* w = Chosen(kPrecedences, text); port && w) port->precedence = w->stored;
    }
  } else if (typeIndex == m_radioIndex && m_radioIndex > 0 && event == kCellEventButton &&
             sheet == kSheetPorts && row == 0) {
    // Set from the option chosen: choosing the selected option again changes nothing.
    if (value == 0 || value == 1) m_config->SetSendHigh(value == 0 ? 1 : 0);
    RepaintRow(0);
  }
  return 1;
}

void CPrioritySettingsGrid::PriorityChosen(int row, const std::string& text) {
  CPortSettings* port = m_config->GetPort(row - kPortRowOffset);
  if (!port) return;
  // The warning comes first; the choice stands.
  if (CompareWithResString(text, IDS_URGENT)) AfxMessageBox(IDS_URGENT_PRIORITY_WARNING);
  if (const Word* w = Chosen(kPriorities, text)) port->priority = w->stored;
}

void CPrioritySettingsGrid::QueueClicked(int col, int row) {
  if (row < 0 || row >= CSwitchConfig::kTagValues || col < kFirstQueueCol ||
      col >= kFirstQueueCol + kQueues)
    return;
  CGridCellValue cell;
  GetCellRaw(col, row, cell);
  if (GridCellNumberAsInt(cell) != 0) {
    CGridCellValue other;
    for (int c = kFirstQueueCol; c < kFirstQueueCol + kQueues; ++c) {
      if (c == col) continue;
      GetCellRaw(c, row, other);
      other.GridCellSetNumber(0);
      (void)SetCell(c, row, other);
    }
    m_config->SetTagMapping(row, static_cast<unsigned>(col - kFirstQueueCol));
  } else {
    // The checked queue was clicked: one queue stays selected.
    cell.GridCellSetNumber(1);
    (void)SetCell(col, row, cell);
  }
  RepaintRow(row);
}
