#include "tools/eeromgrid.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <algorithm>
#include <cctype>

#include "grid/gridinplaceedit.h"
#include "platform/format.h"
#include "platform/profile.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"
#include "tools/autosizenotewnd.h"
#include "tools/gridfonts.h"

// ---- note ---------------------------------------------------------------------------

long long CEeromNoteCellType::HandleTypeMessage(std::intptr_t value) {
  switch ((value >> 24) & 0xFF) {
    case 1:
    case 3: Show(); break;
    case 2: HideNote(); break;
    default: break;
  }
  return 0;
}

void CEeromNoteCellType::Show() {
  if (!m_grid || !textCallback) return;
  CRect cell;
  if (m_grid->GetCellRectangle(m_grid->GetCurrentColumn(), m_grid->GetCurrentRow(), cell) !=
      kGridOk)
    return;
  CNoteWnd* note = EnsureNoteWindow();
  if (!note) return;
  // Left of the cell with a gap, raised a little when there is room above;
  // the text is fitted into the room left of the cell.
  const int top = cell.top > 15 ? cell.top - 15 : cell.top;
  const int room = std::max(kNoteWidth, cell.left - 5);
  note->setGeometry(0, top, room, kNoteHeight);
  note->SetNoteText(textCallback());
  note->move(cell.left - 5 - note->width(), top);
  note->raise();
  note->show();
}

CNoteWnd* CEeromNoteCellType::MakeNoteWindow(QWidget* parent) {
  return new CAutoSizeNoteWnd(parent);
}

void CEeromNoteCellType::HandleFocusLost(int, int, CGridCellValue*) {
  // The note belongs to the edit; it goes when the edit ends, not on focus changes.
}

int CEeromNoteCellType::HandleMouseMove(int, int, CPoint, int) {
  return 0;  // no hover notes: this note follows the edit
}

bool CEeromNoteCellType::NoteShowing() const {
  return GetNoteWindow() && GetNoteWindow()->isVisible();
}

std::string CEeromNoteCellType::NoteText() const {
  return GetNoteWindow() ? GetNoteWindow()->GetNoteText() : std::string();
}

// ---- grid -----------------------------------------------------------------------------

CEeromGrid::CEeromGrid(IEeromValues& values)
    : m_values(values),
      m_lowerCase(fw::AppProfile().GetProfileInt("EEROM Debugger", "lower case", 0) != 0) {
  m_noteType.textCallback = [this] { return NoteText(); };
}

CEeromGrid::~CEeromGrid() {
  (void)DestroyWindow();  // nothing to do without a window
}

int CEeromGrid::LoadRanges(std::string* error) {
  m_ranges.clear();
  m_loadResult = LoadEeromRanges(m_descriptionFile, &m_ranges, error);
  // The row count follows what was read in every case, also after a bad line.
  (void)SetRowTotal(static_cast<int>(m_ranges.size()));
  FitDataColumn();
  return m_loadResult;
}

// The Data column holds the longest range's bytes whatever their digits;
// where the dialog is narrower, the grid scrolls across to them.
void CEeromGrid::FitDataColumn() {
  int bytes = 0;
  for (const CEeromRange& r : m_ranges) bytes = std::max(bytes, r.ByteCount());
  CFont* font = GetDefaultFont();
  const QFontMetrics fm(font ? font->font() : QFont());
  int digit = 0;
  for (char c : std::string("0123456789ABCDEFabcdef?"))
    digit = std::max(digit, fm.horizontalAdvance(QLatin1Char(c)));
  const int need = 2 * bytes * digit + GridPx(12);
  (void)SetColumnWidth(kDataCol, std::max(GridPx(300), need));
}

void CEeromGrid::OnGridCreated() {
  CSheetGridCtrl::OnGridCreated();
  (void)SetTopHeadingRows(1);
  (void)SetDefaultRowHeight(GridPx(18));
  (void)SetDefaultColumnWidth(GridPx(70));
  (void)SetTopHeadingHeight(GridPx(18));
  (void)SetSideHeadingWidth(0);
  UseToolGridFonts(*this);
  m_noteTypeIndex = RegisterCellType(&m_noteType);
  (void)SetColumnTotal(3);
  (void)SetColumnWidth(kAddrCol, GridPx(100));
  (void)SetColumnWidth(kFunctionCol, GridPx(180));
  (void)SetColumnWidth(kDataCol, GridPx(300));
  FitHeadingToLines(*this);
  (void)SetCellText(kAddrCol, -1, LoadResString(IDS_EEROM_ADDR));
  (void)SetCellText(kFunctionCol, -1, LoadResString(IDS_EEROM_FUNCTION));
  (void)SetCellText(kDataCol, -1, LoadResString(IDS_EEROM_DATA));
  m_loadErrors.clear();
  LoadRanges(&m_loadErrors);
}

std::string CEeromGrid::AddrText(int row) const {
  if (row < 0 || row >= static_cast<int>(m_ranges.size())) return {};
  const CEeromRange& r = m_ranges[static_cast<std::size_t>(row)];
  return r.start == r.end ? fw::FormatText("0x%02X", r.start)
                          : fw::FormatText("0x%02X - 0x%02X", r.start, r.end);
}

std::string CEeromGrid::DataText(int row) const {
  if (row < 0 || row >= static_cast<int>(m_ranges.size())) return {};
  const CEeromRange& r = m_ranges[static_cast<std::size_t>(row)];
  std::string text;
  for (unsigned a = r.start; a <= r.end; ++a) {
    std::uint8_t v = 0;
    text += m_values.LookupValue(static_cast<std::uint16_t>(a), &v) ? fw::FormatText("%02X", v)
                                                                    : std::string("??");
  }
  return m_lowerCase ? fw::ToLowerAscii(text) : text;
}

bool CEeromGrid::IsRowModified(int row) const {
  if (row < 0 || row >= static_cast<int>(m_ranges.size())) return false;
  const CEeromRange& r = m_ranges[static_cast<std::size_t>(row)];
  for (unsigned a = r.start; a <= r.end; ++a) {
    std::uint8_t value = 0, received = 0;
    m_values.LookupValue(static_cast<std::uint16_t>(a), &value);
    m_values.LookupReceived(static_cast<std::uint16_t>(a), &received);
    if (value != received) return true;
  }
  return false;
}

void CEeromGrid::OnCellFetched(int col, int row, CGridCellValue* cell) {
  if (row < 0 || row >= static_cast<int>(m_ranges.size())) return;
  switch (col) {
    case kAddrCol: cell->GridCellSetText(AddrText(row)); break;
    case kFunctionCol: cell->GridCellSetText(m_ranges[static_cast<std::size_t>(row)].name); break;
    case kDataCol:
      cell->GridCellSetCellType(m_noteTypeIndex);
      cell->GridCellSetText(DataText(row));
      cell->GridCellSetTextColor(IsRowModified(row) ? kModifiedColour : RGB(0, 0, 0));
      break;
    default: break;
  }
  if (row % 2 == 1) cell->GridCellSetBackColor(kOddRowColour);
}

void CEeromGrid::OnCellDoubleClick(int col, int row, CRect* rect, CPoint* point, int processed) {
  CSheetGridCtrl::OnCellDoubleClick(col, row, rect, point, processed);
  if (col == kDataCol) (void)BeginCellEdit();
}

void CEeromGrid::OnGridChar(int* ch, int processed) {
  CSheetGridCtrl::OnGridChar(ch, processed);
  if (ch && *ch > 0x20 && GetCurrentColumn() == kDataCol) (void)BeginCellEditWithKey(*ch);
}

int CEeromGrid::OnBeforeEdit(int col, int, CWnd** editor) {
  if (col != kDataCol) return 0;
  *editor = MaskedEditor();
  // The note follows the text as it is typed.
  if (!m_editorHooked) {
    if (auto* edit = qobject_cast<QLineEdit*>((*editor)->widget())) {
      QObject::connect(edit, &QLineEdit::textChanged, edit, [this](const QString&) {
        if (IsEditing()) SendMessage(WM_COMMAND, kRefreshNoteCommand);
      });
      m_editorHooked = true;
    }
  }
  SendMessage(WM_GRID_CELLTYPE_MSG, static_cast<WPARAM>(m_noteTypeIndex),
              CEeromNoteCellType::kShow);
  return 1;
}

int CEeromGrid::OnEditChar(int, int, CWnd*, int* ch) {
  const int c = ch ? *ch : 0;
  const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  if (!(hex || c == 8 || c == 127 || c == 2000 || c == 2001)) return 0;
  SendMessage(WM_GRID_CELLTYPE_MSG, static_cast<WPARAM>(m_noteTypeIndex),
              CEeromNoteCellType::kRefresh | c);
  return 1;
}

int CEeromGrid::OnEditDone(int, int row, CWnd*, const std::string& text, int cancelled) {
  if (cancelled) {
    m_noteType.Hide();
    return 1;
  }
  if (row < 0 || row >= static_cast<int>(m_ranges.size())) return 1;
  const std::string entry = fw::Trim(text);
  // Whole bytes for the whole row, or the edit stays open.
  if (entry.size() !=
      2 * static_cast<std::size_t>(m_ranges[static_cast<std::size_t>(row)].ByteCount()))
    return 0;
  for (char c : entry)
    if (!std::isxdigit(static_cast<unsigned char>(c))) return 0;
  m_noteType.Hide();
  m_values.StoreHexText(entry, row);
  RepaintRow(row);
  return 1;
}

int CEeromGrid::OnEditMoveOn(int, int, int*, int*) {
  return 0;
}

COLORREF CEeromGrid::OnGetBackColor(int) {
  return RGB(255, 255, 255);
}

void CEeromGrid::OnDrawCurrentCellFocus(CDC* dc, CRect* rect) {
  if (!dc || !rect) return;
  CRect r = *rect;
  r.right -= 1;
  r.bottom -= 1;
  dc->DrawFocusRect(r);
}

int CEeromGrid::OnContextHelp(int, int, int) {
  return 0;
}

std::string CEeromGrid::EditorText() const {
  auto* editor = dynamic_cast<CGridInPlaceEdit*>(GetActiveEditor());
  return editor ? editor->Text() : std::string();
}

std::string CEeromGrid::NoteText() const {
  const int row = GetEditRow();
  const int bytes = row >= 0 && row < static_cast<int>(m_ranges.size())
                        ? m_ranges[static_cast<std::size_t>(row)].ByteCount()
                        : 0;
  const double typed = static_cast<double>(EditorText().size()) / 2.0;
  return FormatRes(IDS_EEROM_BYTES_ENTERED, typed, bytes);
}

bool CEeromGrid::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == kRefreshNoteCommand && IsEditing())
    SendMessage(WM_GRID_CELLTYPE_MSG, static_cast<WPARAM>(m_noteTypeIndex),
                CEeromNoteCellType::kRefresh);
  return CSheetGridCtrl::OnCommand(wParam, lParam);
}
