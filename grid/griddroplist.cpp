#include "grid/griddroplist.h"

#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>

#include "grid/gridcellwnd.h"

namespace {
// Events a drop list reports to the grid: the item index, then the text
// (the owner may refuse it), then the text once stored.
constexpr int kDropItemIndex = 102;
constexpr int kDropItemText = 101;
constexpr int kDropItemStored = 103;
}  // namespace

QWidget* CGridDropList::CreatePeer(QWidget* parent, const CREATESTRUCT&) {
  auto* list = new QListWidget(parent);
  // A pop-up of its own, as a combo box's list: not cut by the grid or the dialog.
  list->setWindowFlags(Qt::Popup);
  list->setFrameShape(QFrame::Box);
  list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list->setUniformItemSizes(true);
  QObject::connect(list, &QListWidget::itemClicked, list, [this](QListWidgetItem* item) {
    if (QListWidget* l = List()) Choose(l->row(item));
  });
  return list;
}

QListWidget* CGridDropList::List() const {
  return qobject_cast<QListWidget*>(widget());
}

int CGridDropList::Count() const {
  return List() ? List()->count() : 0;
}

void CGridDropList::Open(CDropListCellType* type, int col, int row, const CRect& rect, CFont* font,
                         const std::vector<std::string>& choices) {
  CGridCellWnd* cells = m_grid->CellArea();
  if (!cells) return;
  // Without its window the list stays closed.
  if (!IsWindow() &&
      !Create("LISTBOX", "", WS_CHILD | WS_BORDER | WS_VSCROLL, rect, cells, kGridDropListId))
    return;
  QListWidget* list = List();
  if (!list) return;
  m_type = type;
  m_col = col;
  m_row = row;
  if (font && font->IsValid()) list->setFont(font->font());
  list->clear();
  for (const std::string& c : choices) list->addItem(QString::fromStdString(c));
  m_visibleRows = std::min(static_cast<int>(choices.size()), CDropListCellType::kMaxRows);
  int itemHeight = std::max(1, (rect.Height() - 6) / std::max(1, m_visibleRows));
  for (int i = 0; i < list->count(); ++i) list->item(i)->setSizeHint(QSize(0, itemHeight));
  // Under the cell, or above it when the screen ends first; as wide as the
  // widest choice needs.
  QRect at(cells->widget()->mapToGlobal(QPoint(rect.left, rect.top)),
           QSize(rect.Width(), rect.Height()));
  const int widest =
      list->sizeHintForColumn(0) + 2 * list->frameWidth() +
      (m_visibleRows < list->count() ? list->verticalScrollBar()->sizeHint().width() : 0);
  at.setWidth(std::max(at.width(), widest));
  if (QScreen* screen = cells->widget()->screen()) {
    const QRect room = screen->availableGeometry();
    CRect cell;
    const int cellTop = m_grid->GetCellRectangle(col, row, cell) == kGridOk
                            ? cells->widget()->mapToGlobal(QPoint(cell.left, cell.top)).y()
                            : at.top();
    if (at.bottom() > room.bottom() && cellTop - at.height() >= room.top())
      at.moveBottom(cellTop - 1);
    if (at.right() > room.right()) at.moveRight(room.right());
    if (at.left() < room.left()) at.moveLeft(room.left());
  }
  MoveWindow(at.x(), at.y(), at.width(), at.height());
  // The list opens on the cell's value, else on its first entry, current and
  // selected: Enter then keeps what the cell shows and the arrows move from it.
  CGridCellValue cell;
  m_grid->GetCell(col, row, cell);
  const auto onValue = list->findItems(QString::fromStdString(cell.GridCellTextOrEmpty()),
                                       Qt::MatchExactly | Qt::MatchCaseSensitive);
  const int start = onValue.isEmpty() ? 0 : list->row(onValue.front());
  if (start < list->count()) {
    list->setCurrentRow(start, QItemSelectionModel::ClearAndSelect);
    list->scrollToItem(list->item(start));
  }
  m_chosen = false;
  m_open = true;
  ShowWindow(SW_SHOW);
  list->raise();
  SetFocus();
}

void CGridDropList::Close() {
  if (!m_open && (!widget() || !widget()->isVisible())) return;
  m_open = false;
  m_closing = true;
  if (GetCapture() == this) (void)ReleaseCapture();  // nothing refuses a release
  bool hadFocus = GetFocus() == this;
  ShowWindow(SW_HIDE);
  m_closing = false;
  if (!m_chosen && m_type) m_type->ForgetDropCell();
  if (CGridCellWnd* cells = m_grid->CellArea()) {
    cells->Invalidate(false);
    if (hadFocus) cells->SetFocus();
  }
}

void CGridDropList::OnSetFocus(CWnd*) {
  m_open = true;
  m_chosen = false;
  Default();
}

void CGridDropList::OnKillFocus(CWnd*) {
  Default();
  if (m_closing || !m_open) return;
  // Closing hides the window that is losing the focus: do it after the
  // change, or now when that cannot be asked for.
  if (!PostMessage(WM_CLOSE)) Close();
}

LRESULT CGridDropList::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTALLKEYS;
    case WM_CLOSE:
      if (m_open && GetFocus() != this) Close();
      return 0;
    default: return CWnd::WindowProc(msg, wParam, lParam);
  }
}

void CGridDropList::OnKeyDown(UINT vk, UINT, UINT) {
  if (vk == VK_ESCAPE) {
    Close();
    return;
  }
  if (vk == VK_RETURN) {
    ChooseSelected();
    return;
  }
  if (vk == VK_F1) {
    m_grid->HelpFromKey();
    return;
  }
  Default();
}

void CGridDropList::OnSysKeyDown(UINT vk, UINT repeat, UINT flags) {
  // Alt+Up closes the list as Enter does, keeping the current entry.
  if (vk == VK_UP) {
    ChooseSelected();
    return;
  }
  CWnd::OnSysKeyDown(vk, repeat, flags);
}

void CGridDropList::ChooseSelected() {
  QListWidget* list = List();
  const int index = list ? list->currentRow() : -1;
  if (index < 0) {
    Close();
    return;
  }
  Choose(index);
}

void CGridDropList::Choose(int index) {
  QListWidget* list = List();
  if (!list || index < 0 || index >= list->count()) return;
  m_chosen = true;
  const int col = m_col, row = m_row;
  CDropListCellType* type = m_type;
  const int typeIndex = type ? type->GetTypeIndex() : 1;
  std::string text = list->item(index)->text().toStdString();
  // The list closes before the owner hears of the choice: a box it shows
  // then has the keys, and the cell area has the focus back behind it.
  Close();
  CGridCellValue cell;
  m_grid->GetCell(col, row, cell);
  if (!cell.GridCellGetReadOnly()) {
    m_grid->OnCellTypeEvent(typeIndex, col, row, kDropItemIndex, index);
    if (m_grid->OnCellTypeEvent(typeIndex, col, row, kDropItemText,
                                reinterpret_cast<std::intptr_t>(&text))) {
      (void)m_grid->SetCellText(col, row, text);  // a refused store leaves the cell
      m_grid->OnCellTypeEvent(typeIndex, col, row, kDropItemStored,
                              reinterpret_cast<std::intptr_t>(&text));
      m_grid->RepaintCell(col, row);
    }
  }
  if (type) type->ForgetDropCell();
}
