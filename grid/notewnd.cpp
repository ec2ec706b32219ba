#include "grid/notewnd.h"

#include <QCursor>
#include <QPainter>

CRect CNoteCellType::s_noteRect;

CNoteWnd::CNoteWnd(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  m_brush.CreateSolidBrush(kBackColour);
  LOGFONT lf{};
  lf.lfHeight = 14;
  lf.lfWeight = 400;
  fw::SetFaceName(lf, "Arial");
  (void)m_font.CreateFontIndirect(&lf);  // fails only without a LOGFONT
  hide();
}

CNoteWnd::~CNoteWnd() = default;

void CNoteWnd::SetNoteText(const std::string& text) {
  m_text = text;
  FitToText();
  update();
}

void CNoteWnd::FitToText() {
  CImageDC dc(1, 1);
  dc.SelectObject(&m_font);
  CRect r(0, 0, std::max(1, width()), std::max(1, height()));
  dc.DrawText(m_text + " ", &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  resize(r.Width() + 12, r.Height() + 12);
}

void CNoteWnd::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  CDC dc(&painter);
  const CRect client(0, 0, width(), height());
  dc.SelectObject(static_cast<CPen*>(GetStockObject(BLACK_PEN)));
  dc.SelectObject(static_cast<CBrush*>(GetStockObject(NULL_BRUSH)));
  dc.Rectangle(client);
  CRect inside = client;
  inside.DeflateRect(1, 1);
  dc.FillRect(inside, &m_brush);
  dc.SelectObject(&m_font);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(RGB(0, 0, 0));
  CRect textRect = client;
  textRect.OffsetRect(4, 6);
  dc.DrawText(m_text, &textRect, DT_WORDBREAK | DT_NOPREFIX);
}

void CNoteWnd::showEvent(QShowEvent* event) {
  FitToText();
  QWidget::showEvent(event);
}

CNoteCellType::CNoteCellType() {
  m_overflow = 0;
  m_timer.setInterval(kTimerMs);
  m_timer.callOnTimeout([this] { OnHideTimer(); });
  m_cursor = [] { return CPoint(QCursor::pos()); };
}

CNoteCellType::~CNoteCellType() {
  m_timer.stop();
  delete m_note.data();  // only while the cell area still holds it
}

GridTypeId CNoteCellType::GetTypeId() const {
  return {0x3c, 0x51, 0x0e, 0x91, 0x7a, 0x20, 0x4b, 0x11,
          0x9d, 0x02, 0x61, 0x4e, 0x8a, 0x10, 0x00, 0x09};
}

CNoteWnd* CNoteCellType::MakeNoteWindow(QWidget* parent) {
  return new CNoteWnd(parent);
}

CNoteWnd* CNoteCellType::EnsureNoteWindow() {
  QWidget* area = m_grid ? m_grid->GetCellAreaWindow() : nullptr;
  if (!m_note && area) {
    m_note = MakeNoteWindow(area);
    m_note->setObjectName(QStringLiteral("note300"));
  }
  return m_note.data();
}

void CNoteCellType::DrawCell(CDC& dc, const CRect& rect, int col, int row, CGridCellValue& cell,
                             bool selected, bool current) {
  CRect inner;
  DrawCellBorder(dc, rect, inner, cell);
  DrawCellText(dc, inner, 0, col, row, cell, selected, current);
  const std::string* label = cell.GridCellGetLabel();
  if (label && !label->empty()) {
    CBrush red(RGB(255, 0, 0));
    CPen redPen(PS_SOLID, 1, RGB(255, 0, 0));
    CBrush* oldBrush = dc.SelectObject(&red);
    CPen* oldPen = dc.SelectObject(&redPen);
    CPoint corner[3] = {CPoint(rect.right, rect.top), CPoint(rect.right, rect.top + 6),
                        CPoint(rect.right - 6, rect.top)};
    dc.Polygon(corner, 3);
    dc.SelectObject(oldBrush);
    dc.SelectObject(oldPen);
  }
}

void CNoteCellType::HideNote() {
  if (m_note && !m_note->isHidden()) m_note->hide();
}

int CNoteCellType::HandleMouseMove(int col, int row, CPoint point, int /*keyFlags*/) {
  if (!m_grid) return 0;
  CRect rect;
  (void)m_grid->GetCellRectangle(col, row, rect);  // none: an empty rectangle
  const bool inside =
      point.x > rect.left && point.x < rect.right && point.y > rect.top && point.y < rect.bottom;
  if (!inside) {
    HideNote();
    m_timer.stop();
    return 0;
  }
  CGridCellValue cell;
  m_grid->GetCell(col, row, cell);
  const std::string* label = cell.GridCellGetLabel();
  // A cell without a note shows nothing: an empty box on every hover would
  // only be in the way.
  if (!label || label->empty()) {
    HideNote();
    m_timer.stop();
    return 0;
  }
  CNoteWnd* note = EnsureNoteWindow();
  if (!note) return 0;
  if (note->isHidden() || col != m_lastCol || row != m_lastRow) {
    const int top = rect.top > 15 ? rect.top - 15 : rect.top;
    note->raise();
    note->setGeometry(rect.right + 5, top, kNoteWidth, kNoteHeight);
    note->SetNoteText(*label);
    note->show();
    QWidget* area = m_grid->GetCellAreaWindow();
    const QPoint origin = area ? area->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0);
    s_noteRect = rect;
    s_noteRect.OffsetRect(origin.x(), origin.y());
    m_lastCol = col;
    m_lastRow = row;
    m_timer.start();
  } else if (!m_timer.isActive()) {
    HideNote();
  }
  return 0;
}

void CNoteCellType::OnHideTimer() {
  const CPoint p = m_cursor();
  const bool inside = p.x >= s_noteRect.left && p.x <= s_noteRect.right && p.y >= s_noteRect.top &&
                      p.y <= s_noteRect.bottom;
  if (!inside) {
    HideNote();
    m_timer.stop();
  }
}

void CNoteCellType::HandleFocusLost(int col, int row, CGridCellValue*) {
  if (!m_timer.isActive()) return;
  m_timer.stop();
  HideNote();
  if (m_grid) m_grid->RepaintCell(col, row);
}

void CNoteCellType::HandleScrolled(int, int, CGridCellValue*) {
  if (m_note && !m_note->isHidden()) {
    m_note->hide();
    if (m_grid)
      if (QWidget* area = m_grid->GetCellAreaWindow()) area->update();
  }
}
