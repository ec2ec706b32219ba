#include "tools/eeromgrid.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <algorithm>
#include <cctype>

#include "grid/gridcellwnd.h"
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
  // Left of the cell with a gap, the text fitted into the room there. It
  // stays clear of the row's own address and function: above the row,
  // under the first line of a row tall enough to hold it, else below.
  const int room = std::max(kNoteWidth, cell.left - 5);
  note->setGeometry(0, 0, room, kNoteHeight);
  note->SetNoteText(textCallback());
  const int height = note->height();
  int top = cell.bottom;
  if (cell.top >= height)
    top = cell.top - height;
  else if (cell.Height() - m_lineRowHeight >= height)
    top = cell.top + m_lineRowHeight;
  note->move(cell.left - 5 - note->width(), top);
  note->raise();
  note->show();
}

void CEeromNoteCellType::DrawCellText(CDC& dc, const CRect& rect, int offset, int col, int row,
                                      CGridCellValue& cell, bool selected, bool current) {
  const std::string text = cell.GridCellTextOrEmpty();
  const std::size_t perLine = static_cast<std::size_t>(std::max(0, m_charsPerLine));
  if (perLine == 0 || text.size() <= perLine) {
    CNoteCellType::DrawCellText(dc, rect, offset, col, row, cell, selected, current);
    return;
  }
  // One line of whole bytes after another, drawn as a text with line breaks.
  std::string lines;
  for (std::size_t at = 0; at < text.size(); at += perLine) {
    if (at > 0) lines += '\n';
    lines += text.substr(at, perLine);
  }
  CGridCellValue wrapped = cell;
  wrapped.GridCellSetText(lines);
  wrapped.GridCellSetTypeStyle(cell.GridCellGetTypeStyle() | 2);
  CNoteCellType::DrawCellText(dc, rect, offset, col, row, wrapped, selected, current);
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

// ---- hexadecimal entry ------------------------------------------------------------------

void CEeromHexEdit::OnKeyDown(UINT vk, UINT repeat, UINT flags) {
  if (vk == VK_UP || vk == VK_DOWN) {
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget())) {
      QTextCursor cursor = edit->textCursor();
      const int at = cursor.position();
      const bool shift = QGuiApplication::keyboardModifiers() & Qt::ShiftModifier;
      (void)cursor.movePosition(vk == VK_UP ? QTextCursor::Up : QTextCursor::Down,
                                shift ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
      if (cursor.position() != at) {
        edit->setTextCursor(cursor);
        return;
      }
    }
  }
  CGridInPlaceEdit::OnKeyDown(vk, repeat, flags);
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

void CEeromGrid::FitDataColumn(int col, int width) {
  if (m_fitting) return;
  m_fitting = true;
  CFont* font = GetDefaultFont();
  const QFontMetrics fm(font ? font->font() : QFont());
  int digit = 1;
  for (char c : std::string("0123456789ABCDEFabcdef?"))
    digit = std::max(digit, fm.horizontalAdvance(QLatin1Char(c)));
  const int byteWidth = 2 * digit;
  const int margin = GetDrawOptions().cellMargin + 2;
  // The vertical bar's room is kept whether it shows or not: the rows'
  // heights decide whether it does.
  CRect client;
  if (IsWindow()) GetClientRect(&client);
  const int view = client.Width() - GetSideHeadingWidth() - GetVertBarWidth();
  auto widthOf = [&](int c) { return c == col ? width : GetColumnWidth(c); };
  const int data =
      std::max(view - widthOf(kAddrCol) - widthOf(kFunctionCol), margin + 2 * byteWidth);
  m_bytesPerLine = std::max(1, (data - margin) / byteWidth);
  (void)SetColumnWidth(kDataCol, data);
  const int lineRow = GridPx(18);
  for (int row = 0; row < static_cast<int>(m_ranges.size()); ++row) {
    const int bytes = m_ranges[static_cast<std::size_t>(row)].ByteCount();
    const int lines = std::max(1, (bytes + m_bytesPerLine - 1) / m_bytesPerLine);
    (void)SetRowHeight(row, lineRow + (lines - 1) * fm.height());
  }
  m_noteType.SetLineLayout(2 * m_bytesPerLine, lineRow);
  m_fitting = false;
}

void CEeromGrid::OnSize(UINT type, int cx, int cy) {
  CSheetGridCtrl::OnSize(type, cx, cy);
  if (IsCreated()) FitDataColumn();
}

int CEeromGrid::OnBeforeColResize(int col) {
  // The Data column takes what the others leave.
  return col == kDataCol ? 0 : CSheetGridCtrl::OnBeforeColResize(col);
}

void CEeromGrid::OnColWidthSet(int col, int* width) {
  CSheetGridCtrl::OnColWidthSet(col, width);
  if (col != kDataCol && width) FitDataColumn(col, *width);
}

int CEeromGrid::OnBeforeRowResize(int) {
  return 0;  // a row is as tall as its bytes' lines
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
  if (!m_hexEdit.IsWindow()) {
    if (!m_hexEdit.Create("EDIT", "", WS_CHILD | ES_MULTILINE, CRect(), CellArea(), kHexEditId))
      return 0;
    // The note follows the text as it is typed.
    if (auto* edit = qobject_cast<QPlainTextEdit*>(m_hexEdit.widget()))
      QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [this] {
        if (IsEditing()) SendMessage(WM_COMMAND, kRefreshNoteCommand);
      });
  }
  *editor = &m_hexEdit;
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
