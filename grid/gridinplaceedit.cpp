#include "grid/gridinplaceedit.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <algorithm>

#include "grid/gridcellwnd.h"
#include "platform/gui/qtstring.h"

namespace {
constexpr UINT kFinishMsg = WM_USER + 2;

bool ControlHeld() {
  return QGuiApplication::keyboardModifiers() & Qt::ControlModifier;
}
bool ShiftHeld() {
  return QGuiApplication::keyboardModifiers() & Qt::ShiftModifier;
}

// The default editor's peer is a QPlainTextEdit, the masked editor's a
// QLineEdit; the text operations are the same on either.
QString PeerText(QPlainTextEdit* e) {
  return e->toPlainText();
}
QString PeerText(QLineEdit* e) {
  return e->text();
}
void SetPeerText(QPlainTextEdit* e, const QString& text) {
  e->setPlainText(text);
}
void SetPeerText(QLineEdit* e, const QString& text) {
  e->setText(text);
}
void InsertPeerText(QPlainTextEdit* e, const QString& text) {
  e->insertPlainText(text);
}
void InsertPeerText(QLineEdit* e, const QString& text) {
  e->insert(text);
}

template <class Op>
void ForPeer(QWidget* peer, Op op) {
  if (auto* e = qobject_cast<QPlainTextEdit*>(peer))
    op(e);
  else if (auto* e = qobject_cast<QLineEdit*>(peer))
    op(e);
}
}  // namespace

// ---------------------------------------------------------------------------
// The default editor

QWidget* CGridInPlaceEdit::CreatePeer(QWidget* parent, const CREATESTRUCT&) {
  auto* edit = new QPlainTextEdit(parent);
  edit->setFrameStyle(QFrame::NoFrame);
  edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  edit->setTabChangesFocus(false);
  edit->document()->setDocumentMargin(1);
  QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [this] { AutoSize(); });
  return edit;
}

std::string CGridInPlaceEdit::Text() const {
  std::string text;
  ForPeer(widget(), [&](auto* e) { text = PeerText(e).toStdString(); });
  return text;
}

void CGridInPlaceEdit::SetText(const std::string& text) {
  ForPeer(widget(), [&](auto* e) { SetPeerText(e, fw::ToQ(text)); });
}

void CGridInPlaceEdit::SelectAll() {
  ForPeer(widget(), [](auto* e) { e->selectAll(); });
}

void CGridInPlaceEdit::SetReadOnly(bool on) {
  ForPeer(widget(), [on](auto* e) { e->setReadOnly(on); });
}

void CGridInPlaceEdit::InsertChar(int ch) {
  ForPeer(widget(), [ch](auto* e) { InsertPeerText(e, QString(QChar(ch))); });
}

LRESULT CGridInPlaceEdit::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTALLKEYS;
    case kFinishMsg:
      // Nothing when the edit was ended early.
      FinishPending();
      return 0;
    default: return CWnd::WindowProc(msg, wParam, lParam);
  }
}

bool CGridInPlaceEdit::PreTranslateMessage(MSG* msg) {
  // Escape never reaches a dialog around the grid: it cancels the edit.
  if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE && msg->hwnd == widget()) {
    Cancel();
    return true;
  }
  return CWnd::PreTranslateMessage(msg);
}

void CGridInPlaceEdit::ContinueTo(int col, int row) {
  m_nextCol = col;
  m_nextRow = row;
  m_continue = 1;
  m_cancelled = 0;
  if (CGridCellWnd* cells = m_grid->CellArea()) cells->SetFocus();
}

void CGridInPlaceEdit::Cancel() {
  m_cancelled = 1;
  m_continue = 0;
  if (CGridCellWnd* cells = m_grid->CellArea()) cells->SetFocus();
}

void CGridInPlaceEdit::OnKeyDown(UINT vk, UINT, UINT) {
  m_lastKey = vk;
  const int col = m_grid->GetEditColumn(), row = m_grid->GetEditRow();
  switch (vk) {
    case VK_TAB: ContinueTo(ShiftHeld() ? col - 1 : col + 1, row); return;
    case VK_RETURN: {
      if (ControlHeld()) {
        CGridCellValue cell;
        m_grid->GetCell(col, row, cell);
        // Cells that allow line breaks take Ctrl+Enter as one, offered like
        // a typed character (the character the key also gives is dropped).
        if (cell.GridCellHasFlag(GridProp::TypeStyle) && (cell.GridCellGetTypeStyle() & 2)) {
          int c = '\n';
          if (AcceptChar(c) && c > 0) InsertChar(c);
          return;
        }
      }
      ContinueTo(col, row + 1);
      return;
    }
    case VK_DOWN: ContinueTo(col, row + 1); return;
    case VK_UP: ContinueTo(col, row - 1); return;
    case VK_ESCAPE: Cancel(); return;
    case VK_F1: m_grid->HelpFromKey(); return;
    default: Default();
  }
}

bool CGridInPlaceEdit::AcceptChar(int& ch) {
  const int col = m_grid->GetEditColumn(), row = m_grid->GetEditRow();
  if (CGridDataSource* ds = m_grid->ColumnSource(col);
      ds && ds->VerifyEditKey(col, row, this, ch) != kSourceAllows)
    return false;
  return m_grid->OnEditChar(col, row, this, &ch) != 0;
}

void CGridInPlaceEdit::OnChar(UINT ch, UINT, UINT) {
  // Tab, Enter (Control+Enter gives 10) and Escape were handled as keys.
  if (ch == 9 || ch == 10 || ch == 13 || ch == 27) return;
  // Backspace and the other control characters too: an owner that counts
  // or limits what is typed must see them.
  TypeAccepted(ch);
}

void CGridInPlaceEdit::TypeAccepted(UINT ch) {
  int c = static_cast<int>(ch);
  if (!AcceptChar(c)) return;
  if (c == static_cast<int>(ch))
    Default();
  else if (c > 0)
    InsertChar(c);
}

void CGridInPlaceEdit::OnSetFocus(CWnd*) {
  m_lastKey = 0;
  m_cancelled = 0;
  m_continue = 0;
  CGridCellValue cell;
  if (m_grid->IsEditing()) m_grid->GetCell(m_grid->GetEditColumn(), m_grid->GetEditRow(), cell);
  int index = cell.GridCellHasFlag(GridProp::CellType) ? cell.GridCellGetCellType() : 0;
  m_autoSizeActive = m_autoSize && m_grid->GetCellTypeObject(index)->CanOverflow();
  m_startHeight = m_curHeight = widget() ? widget()->height() + 4 : 0;
  SelectAll();
  if (cell.GridCellGetReadOnly()) SetReadOnly(true);
  Default();
}

void CGridInPlaceEdit::TypeInitialChar(int ch) {
  int c = ch;
  if (AcceptChar(c) && c > 0) InsertChar(c);
}

void CGridInPlaceEdit::HideQuietly() {
  m_hiding = true;
  if (GetFocus() == this && m_grid->CellArea()) m_grid->CellArea()->SetFocus();
  ShowWindow(SW_HIDE);
  m_hiding = false;
}

void CGridInPlaceEdit::OnKillFocus(CWnd* newWnd) {
  SetReadOnly(false);
  if (m_hiding) {
    Default();
    return;
  }
  if (newWnd != m_grid && m_grid->IsEditing()) m_grid->OnFocusLost(kSectionCells, newWnd);
  // The edit ends after the focus change is complete: ending it may open
  // the next edit or show a message.
  if (!m_finishPosted && m_grid->IsEditing() && m_grid->GetActiveEditor() == this) {
    // A request that cannot go out must not hold back the next one.
    m_finishPosted = PostMessage(kFinishMsg);
  }
  Default();
}

void CGridInPlaceEdit::FinishPending() {
  if (!m_finishPosted) return;
  m_finishPosted = false;
  Finish();
}

void CGridInPlaceEdit::Finish() {
  if (!m_grid->IsEditing() || m_grid->GetActiveEditor() != this) return;
  const int col = m_grid->GetEditColumn(), row = m_grid->GetEditRow();
  int r = m_grid->FinishCellEdit(Text(), m_cancelled, m_continue, m_nextCol, m_nextRow);
  if (r == kGridEditGoesOn) {
    // Refused: back to the edited cell with the editor open.
    (void)m_grid->MoveToCell(col, row);
    if (GetCapture()) (void)ReleaseCapture();  // nothing refuses a release
    m_cancelled = 0;
    m_continue = 0;
    SetFocus();
  }
}

bool CGridInPlaceEdit::OnSetCursor(CWnd*, UINT, UINT) {
  SetCursor(LoadCursor(nullptr, IDC_IBEAM));
  return true;
}

void CGridInPlaceEdit::AutoSize() {
  if (!m_autoSizeActive || !m_grid->Sheet().m_opt.overflowEdit || !widget() ||
      !widget()->isVisible())
    return;
  CWnd* parent = GetParent();
  if (!parent || parent != static_cast<CWnd*>(m_grid->CellArea())) return;
  CRect pc;
  parent->GetClientRect(&pc);
  CRect r = CRect::FromQt(widget()->geometry());
  QFontMetrics fm(widget()->font());
  QString text = fw::ToQ(Text()) + QStringLiteral(" X X");
  int limit = std::max(1, pc.right - r.left + 2);
  QRect need = fm.boundingRect(QRect(0, 0, limit, 100000), Qt::TextWordWrap, text);
  CRect next = r;
  if (need.width() > r.Width()) {
    int x = std::min(r.left - 2 + need.width(), pc.right - 1);
    int col = -1, row = -1;
    CRect cell;
    if (m_grid->HitTestCell(x + 1, r.top, col, row, cell) == kGridOk)
      next.right = std::min(cell.right, pc.right) - 1;
    else
      next.right = pc.right - 1;
  }
  if (need.height() + 4 > r.Height()) {
    int y = std::min(r.top + need.height() + 4, pc.bottom - 1);
    int col = -1, row = -1;
    CRect cell;
    if (m_grid->HitTestCell(r.left, y, col, row, cell) == kGridOk)
      next.bottom = std::min(cell.bottom - 1, pc.bottom - 1);
    else
      next.bottom = pc.bottom - 1;
  }
  next.right = std::max(next.right, r.right);
  next.bottom = std::max(next.bottom, r.bottom);
  if (next == r) return;
  MoveWindow(next);
  m_curHeight = next.Height();
}

// ---------------------------------------------------------------------------
// The masked editor

bool CGridMaskedEdit::PreCreateWindow(CREATESTRUCT& cs) {
  cs.style |= ES_AUTOHSCROLL;
  return CWnd::PreCreateWindow(cs);
}

QWidget* CGridMaskedEdit::CreatePeer(QWidget* parent, const CREATESTRUCT&) {
  auto* edit = new QLineEdit(parent);
  edit->setFrame(false);
  QObject::connect(edit, &QLineEdit::textChanged, edit, [this](const QString&) {
    // Text set from outside is fitted to the mask.
    if (m_internalTyping || m_reformatting || !m_engine.Enabled()) return;
    auto* e = qobject_cast<QLineEdit*>(widget());
    m_reformatting = true;
    int pos = e->cursorPosition();
    e->setText(fw::ToQ(m_engine.Reformat(fw::FromQ(e->text()))));
    e->setCursorPosition(std::min(pos, static_cast<int>(e->text().size())));
    m_reformatting = false;
  });
  return edit;
}

void CGridMaskedEdit::SetMask(const std::string& mask) {
  m_engine.SetMask(mask);
  auto* e = qobject_cast<QLineEdit*>(widget());
  if (!e) return;
  e->setMaxLength(m_engine.Enabled() ? std::max(1, m_engine.Positions()) : 32767);
  if (m_engine.Enabled()) {
    m_reformatting = true;
    int start = e->selectionStart(), len = e->selectedText().size();
    e->setText(fw::ToQ(m_engine.Reformat(fw::FromQ(e->text()))));
    if (start >= 0) e->setSelection(start, static_cast<int>(len));
    m_reformatting = false;
  }
}

void CGridMaskedEdit::OnSetFocus(CWnd* oldWnd) {
  CGridCellValue cell;
  if (m_grid->IsEditing()) m_grid->GetCell(m_grid->GetEditColumn(), m_grid->GetEditRow(), cell);
  const std::string* mask = cell.GridCellHasFlag(GridProp::Mask) ? cell.GridCellGetMask() : nullptr;
  SetMask(mask ? *mask : std::string());
  CGridInPlaceEdit::OnSetFocus(oldWnd);
}

void CGridMaskedEdit::OnKillFocus(CWnd* newWnd) {
  CGridInPlaceEdit::OnKillFocus(newWnd);
  if (auto* e = qobject_cast<QLineEdit*>(widget())) e->setMaxLength(32767);
}

void CGridMaskedEdit::OnChar(UINT ch, UINT, UINT) {
  if (ch == 9 || ch == 10 || ch == 13 || ch == 27) return;
  auto* e = qobject_cast<QLineEdit*>(widget());
  if (m_internalTyping || !e) {
    Default();
    return;
  }
  // Control characters (backspace) are no mask position: they are only offered.
  if (ch < 0x20 || !m_engine.Enabled()) {
    TypeAccepted(ch);
    return;
  }
  TypeInitialChar(static_cast<int>(ch));
}

void CGridMaskedEdit::TypeInitialChar(int ch) {
  auto* e = qobject_cast<QLineEdit*>(widget());
  if (!e) return;
  if (!m_engine.Enabled()) {
    CGridInPlaceEdit::TypeInitialChar(ch);
    return;
  }
  // Mask positions hold single characters of the code page's ASCII part.
  if (ch < 0x20 || ch > 0x7E) return;
  std::string text = fw::FromQ(e->text());
  int selStart = e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
  int selEnd =
      e->hasSelectedText() ? selStart + static_cast<int>(e->selectedText().size()) : selStart;
  int caret = selStart;
  auto accept = [this](unsigned char& c) {
    int v = c;
    if (!AcceptChar(v) || v <= 0 || v > 0xFF) return false;
    c = static_cast<unsigned char>(v);
    return true;
  };
  m_engine.TypeChar(text, selStart, selEnd, static_cast<unsigned char>(ch), caret, accept);
  m_internalTyping = true;
  e->setText(fw::ToQ(text));
  e->setCursorPosition(caret);
  m_internalTyping = false;
}
