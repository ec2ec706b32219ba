#include "platform/gui/splitterwnd.h"

#include <QSplitter>

CSplitterWnd::CSplitterWnd() = default;

CSplitterWnd::~CSplitterWnd() {
  if (IsWindow()) (void)DestroyWindow();  // nothing is left to refuse
}

QWidget* CSplitterWnd::CreatePeer(QWidget* parent, const CREATESTRUCT&) {
  // One row: the panes side by side. More rows: a splitter of rows, each a
  // splitter of its columns.
  auto* outer = new QSplitter(m_rows > 1 ? Qt::Vertical : Qt::Horizontal, parent);
  outer->setChildrenCollapsible(false);
  if (m_rows > 1) {
    for (int r = 0; r < m_rows; ++r) {
      auto* row = new QSplitter(Qt::Horizontal, outer);
      row->setChildrenCollapsible(false);
      outer->addWidget(row);
    }
  }
  return outer;
}

bool CSplitterWnd::CreateStatic(CWnd* parent, int rows, int cols, std::uint32_t style, int id) {
  if (rows < 1 || cols < 1 || rows > 16 || cols > 16 || !parent) return false;
  m_rows = rows;
  m_cols = cols;
  m_panes.clear();
  m_panes.resize(static_cast<std::size_t>(rows * cols));
  m_colWidths.assign(static_cast<std::size_t>(cols), 0);
  m_rowHeights.assign(static_cast<std::size_t>(rows), 0);
  return Create("SplitterWnd", "", style | WS_CHILD, CRect(0, 0, 0, 0), parent, id);
}

QSplitter* CSplitterWnd::RowSplitter(int row) const {
  auto* outer = qobject_cast<QSplitter*>(widget());
  if (!outer) return nullptr;
  if (m_rows == 1) return outer;
  return qobject_cast<QSplitter*>(outer->widget(row));
}

bool CSplitterWnd::CreateView(int row, int col,
                              const std::function<std::unique_ptr<CView>()>& factory, CSize size,
                              CCreateContext* context) {
  if (row < 0 || col < 0 || row >= m_rows || col >= m_cols || !factory || !IsWindow()) return false;
  auto& slot = m_panes[static_cast<std::size_t>(row * m_cols + col)];
  if (slot) return false;
  std::unique_ptr<CView> view = factory();
  if (!view || !view->Create("", "", WS_CHILD | WS_VISIBLE, CRect(0, 0, size.cx, size.cy), this,
                             IdFromRowCol(row, col)))
    return false;
  QSplitter* line = RowSplitter(row);
  if (!line) return false;
  // Panes stand in column order whatever order they were made in.
  int at = 0;
  for (int c = 0; c < col; ++c)
    if (m_panes[static_cast<std::size_t>(row * m_cols + c)]) ++at;
  line->insertWidget(at, view->widget());
  if (context && context->m_pCurrentDoc) context->m_pCurrentDoc->AddView(view.get());
  m_colWidths[static_cast<std::size_t>(col)] =
      std::max(m_colWidths[static_cast<std::size_t>(col)], static_cast<int>(size.cx));
  m_rowHeights[static_cast<std::size_t>(row)] =
      std::max(m_rowHeights[static_cast<std::size_t>(row)], static_cast<int>(size.cy));
  slot = std::move(view);
  // The starting sizes are shares of the room: the splitter stretches them.
  QList<int> widths;
  for (int c = 0; c < m_cols; ++c)
    if (m_panes[static_cast<std::size_t>(row * m_cols + c)])
      widths.push_back(std::max(1, m_colWidths[static_cast<std::size_t>(c)]));
  line->setSizes(widths);
  // As the window grows, the last column takes the room; the others keep theirs.
  for (int c = 0; c < line->count(); ++c) line->setStretchFactor(c, c == line->count() - 1 ? 1 : 0);
  if (m_rows > 1) {
    QList<int> heights;
    for (int r = 0; r < m_rows; ++r)
      heights.push_back(std::max(1, m_rowHeights[static_cast<std::size_t>(r)]));
    qobject_cast<QSplitter*>(widget())->setSizes(heights);
  }
  return true;
}

CWnd* CSplitterWnd::GetPane(int row, int col) const {
  if (row < 0 || col < 0 || row >= m_rows || col >= m_cols) return nullptr;
  return m_panes[static_cast<std::size_t>(row * m_cols + col)].get();
}

CFrameWnd* CSplitterWnd::ParentFrame() const {
  for (QWidget* w = widget() ? widget()->parentWidget() : nullptr; w; w = w->parentWidget())
    if (auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(w))) return frame;
  return nullptr;
}

bool CSplitterWnd::GetActivePane(int* row, int* col) const {
  CFrameWnd* frame = ParentFrame();
  CWnd* active = frame ? frame->GetActiveView() : nullptr;
  for (int r = 0; r < m_rows; ++r)
    for (int c = 0; c < m_cols; ++c)
      if (active && GetPane(r, c) == active) {
        if (row) *row = r;
        if (col) *col = c;
        return true;
      }
  return false;
}

void CSplitterWnd::SetActivePane(int row, int col) {
  CWnd* pane = GetPane(row, col);
  if (!pane) return;
  if (CFrameWnd* frame = ParentFrame()) frame->SetActiveView(pane);
  pane->SetFocus();
}

void CSplitterWnd::GetColumnInfo(int col, int* current) const {
  if (!current) return;
  *current = 0;
  QSplitter* line = RowSplitter(0);
  CWnd* pane = GetPane(0, col);
  if (line && pane) *current = pane->widget()->width();
}

void CSplitterWnd::GetRowInfo(int row, int* current) const {
  if (!current) return;
  *current = 0;
  CWnd* pane = GetPane(row, 0);
  if (pane) *current = pane->widget()->height();
}
