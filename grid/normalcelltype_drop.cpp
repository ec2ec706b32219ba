#include <QFontMetrics>
#include <algorithm>

#include "grid/normalcelltype.h"

CDropListCellType::CDropListCellType() : m_buttonWidth(GetSystemMetrics(SM_CXVSCROLL)) {
  m_overflow = 0;
  (void)m_facePen.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE));  // nothing to fail
  m_faceBrush.CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
}

GridTypeId CDropListCellType::GetTypeId() const {
  return {0x3c, 0x51, 0x0e, 0x91, 0x7a, 0x20, 0x4b, 0x11,
          0x9d, 0x02, 0x61, 0x4e, 0x8a, 0x10, 0x00, 0x04};
}

void CDropListCellType::DrawCell(CDC& dc, const CRect& rect, int col, int row, CGridCellValue& cell,
                                 bool selected, bool current) {
  if ((cell.GridCellGetTypeStyle() & kButtonOnCurrentOnly) && !current) {
    CNormalCellType::DrawCell(dc, rect, col, row, cell, selected, current);
    return;
  }
  CRect inner;
  DrawCellBorder(dc, rect, inner, cell);
  const bool printing = IsPrinting(dc);
  const double scale = printing ? PrintScale(dc) : 1.0;
  const int bw = static_cast<int>(m_buttonWidth * scale);
  CRect button(std::max(inner.left, inner.right - bw), inner.top, inner.right, inner.bottom);
  if (printing) {
    const int px = std::max(1, static_cast<int>(scale));
    button.DeflateRect(px, px);
  }
  const bool pressed = m_pressed && current && col == m_dropCol && row == m_dropRow;
  DrawGridButton(*this, dc, button, pressed, m_faceBrush);
  const bool readOnly = cell.GridCellGetReadOnly() != 0;
  if (printing) {
    const int w = button.Width(), h = button.Height();
    CPoint pts[3] = {CPoint(button.left + w * 30 / 100, button.top + h * 5 / 12),
                     CPoint(button.left + w * 70 / 100, button.top + h * 5 / 12),
                     CPoint(button.left + w / 2, button.top + h * 7 / 12)};
    CBrush* oldBrush = dc.SelectObject(static_cast<CBrush*>(GetStockObject(BLACK_BRUSH)));
    CPen* oldPen = dc.SelectObject(static_cast<CPen*>(GetStockObject(BLACK_PEN)));
    dc.Polygon(pts, 3);
    dc.SelectObject(oldBrush);
    dc.SelectObject(oldPen);
  } else {
    // Three rows of 5, 3 and 1 pixels, centred in the button.
    const int cx = button.left + button.Width() / 2;
    const int top = button.top + button.Height() / 2 - 1;
    const COLORREF arrow = readOnly ? RGB(128, 128, 128) : RGB(0, 0, 0);
    for (int i = 0; i < 3; ++i)
      dc.FillSolidRect(CRect(cx - 2 + i, top + i, cx + 3 - i, top + i + 1), arrow);
    if (readOnly) {
      // An etched look: white along the lower right edge.
      dc.SetPixel(cx + 2, top + 1, RGB(255, 255, 255));
      dc.SetPixel(cx + 1, top + 2, RGB(255, 255, 255));
      dc.SetPixel(cx + 3, top + 1, RGB(255, 255, 255));
      dc.SetPixel(cx + 2, top + 2, RGB(255, 255, 255));
    }
  }
  CRect textRect = inner;
  textRect.right = std::max(inner.left, button.left - 1);
  DrawCellText(dc, textRect, 0, col, row, cell, selected, current);
}

int CDropListCellType::HandleLeftClick(int col, int row, int down, const CRect& rect,
                                       CPoint point) {
  if (!m_grid) return 0;
  if (m_grid->GetDrawOptions().multipleSelection &&
      (m_grid->GetModifierKeys() & (MK_SHIFT | MK_CONTROL)))
    return 1;
  if (down && point.x > rect.right - m_buttonWidth) {
    if (col == m_dropCol && row == m_dropRow && m_grid->IsDropListShowing()) {
      // The button of the open list closes it.
      ForgetDropCell();
      m_grid->HideDropList();
      return 1;
    }
    m_buttonRect = CRect(rect.right - m_buttonWidth, rect.top, rect.right, rect.bottom);
    m_pressed = true;
    m_dropCol = col;
    m_dropRow = row;
    m_grid->RepaintCell(col, row);
    StartDropList();
    return 1;
  }
  if (down) {
    if (m_dropCol == -2) ForgetDropCell();
    return 0;
  }
  if (m_pressed) {
    m_pressed = false;
    m_grid->RepaintCell(col, row);
    return 1;
  }
  return 0;
}

int CDropListCellType::HandleDoubleClick(int col, int row, const CRect& rect, CPoint point) {
  if (point.x > rect.right - m_buttonWidth) return HandleLeftClick(col, row, 1, rect, point);
  return 0;
}

int CDropListCellType::HandleKeyDown(int col, int row, int& key) {
  if (!m_grid) return 0;
  const bool ctrl = (m_grid->GetModifierKeys() & MK_CONTROL) != 0;
  if (key == VK_RETURN || (key == VK_DOWN && ctrl)) {
    m_dropCol = col;
    m_dropRow = row;
    StartDropList();
    key = 0;
    return 1;
  }
  return 0;
}

int CDropListCellType::HandleChar(int /*col*/, int /*row*/, int& ch) {
  // Enter opened the list on key down; as a character it must not reach the
  // editor. 0x28 is "(" as a character and goes through.
  return ch == '\r' ? 1 : 0;
}

int CDropListCellType::HandleMouseMove(int /*col*/, int /*row*/, CPoint point, int keyFlags) {
  if (!(keyFlags & MK_LBUTTON) || m_dropCol < 0 || !m_grid) return 0;
  const bool inside = m_buttonRect.PtInRect(point);
  if (inside != m_pressed) {
    m_pressed = inside;
    m_grid->RepaintCell(m_dropCol, m_dropRow);
  }
  return 0;
}

void CDropListCellType::HandleFocusLost(int, int, CGridCellValue*) {
  ForgetDropCell();
  if (m_grid && m_grid->IsDropListShowing()) m_grid->HideDropList();
}

int CDropListCellType::GetEditRect(CRect& rect) {
  rect.right -= m_buttonWidth + 1;
  return 0;
}

void CDropListCellType::MeasureBestSize(CDC& dc, CSize& size, CGridCellValue& cell) {
  CNormalCellType::MeasureBestSize(dc, size, cell);
  if (!(cell.GridCellGetTypeStyle() & kButtonOnCurrentOnly)) size.cx += m_buttonWidth;
}

int CDropListCellType::ItemHeight(const CFont* font) {
  if (!font || !font->IsValid()) {
    const auto* system = dynamic_cast<const CFont*>(GetStockObject(SYSTEM_FONT));
    if (!system || !system->IsValid()) return 12;
    font = system;
  }
  return std::max(1, QFontMetrics(font->font()).height());
}

int CDropListCellType::WidthForChoices(const CFont* font, const std::vector<std::string>& choices) {
  const QFont qfont = font && font->IsValid() ? font->font() : QFont();
  const QFontMetrics fm(qfont);
  int widest = 0;
  for (const std::string& c : choices)
    widest = std::max(widest, fm.horizontalAdvance(QString::fromStdString(c)));
  // The margin, the text and a pixel of air, the line left of the button,
  // the button, the grid line.
  return Options().cellMargin + widest + 1 + 1 + m_buttonWidth + 1;
}

CRect CDropListCellType::ListRect(const CRect& cell, int choices, int itemHeight) {
  // Under the cell from its left edge, at least as wide as the cell; where it
  // goes on the screen is the list's business.
  CRect r = cell;
  r.top = cell.bottom;
  r.bottom = r.top + std::min(std::max(choices, 0), kMaxRows) * itemHeight + 6;
  return r;
}

int CDropListCellType::StartDropList() {
  if (!m_grid || m_grid->IsDropListShowing()) return 1;
  const int col = m_dropCol, row = m_dropRow;
  auto giveUp = [&] {
    ForgetDropCell();
    if (m_pressed) {
      m_pressed = false;
      m_grid->RepaintCell(col, row);
    }
    return 1;
  };
  m_scratch.GridCellClear();
  m_grid->GetCell(col, row, m_scratch);
  if (m_scratch.GridCellGetReadOnly()) return giveUp();
  // A list opens only on the current cell: when the owner refuses the move,
  // it stays closed.
  if (m_grid->MoveToCell(col, row) != kGridOk &&
      (m_grid->GetCurrentColumn() != col || m_grid->GetCurrentRow() != row))
    return giveUp();
  const std::string* label = m_scratch.GridCellGetLabel();
  std::vector<std::string> choices = SplitGridOptions(label ? *label : std::string());
  if (NotifyOwner(m_typeIndex, col, row, kCellEventButton,
                  reinterpret_cast<std::intptr_t>(&choices)) == 0)
    return giveUp();
  CFont* font = CellFont(m_scratch);
  CRect cellRect;
  (void)m_grid->GetCellRectangle(col, row, cellRect);  // the current cell, in view
  const CRect listRect = ListRect(cellRect, static_cast<int>(choices.size()), ItemHeight(font));
  m_grid->ShowDropList(this, col, row, listRect, font, choices);
  m_pressed = false;
  m_grid->RepaintCell(col, row);
  return 0;
}
