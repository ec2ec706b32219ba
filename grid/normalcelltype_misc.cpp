#include <algorithm>
#include <cmath>

#include "grid/normalcelltype.h"

namespace {
void Line(CDC& dc, int x0, int y0, int x1, int y1) {
  dc.MoveTo(x0, y0);
  dc.LineTo(x1, y1);
}
}  // namespace

// ---- side arrows -------------------------------------------------------------

GridTypeId CSideArrowsCellType::GetTypeId() const {
  return {0x3c, 0x51, 0x0e, 0x91, 0x7a, 0x20, 0x4b, 0x11,
          0x9d, 0x02, 0x61, 0x4e, 0x8a, 0x10, 0x00, 0x03};
}

int CSideArrowsCellType::ArrowKind(std::int32_t style) {
  if (style == 0 || (style & 0x10)) return 1;
  if (style & 0x20) return 2;
  if (style & 0x40) return 3;
  if (style & 0x80) return 4;
  return 0;
}

void CSideArrowsCellType::DrawCell(CDC& dc, const CRect& rect, int /*col*/, int /*row*/,
                                   CGridCellValue& cell, bool selected, bool current) {
  CRect inner;
  DrawCellBorder(dc, rect, inner, cell);
  const bool hi = IsHighlighted(selected, current);
  const COLORREF fore = hi ? cell.GridCellGetHighlightTextColor() : cell.GridCellGetTextColor();
  FillCellBackground(
      dc, inner, hi ? cell.GridCellGetHighlightBackColor() : cell.GridCellGetBackColorOrDefault());
  if (rect.Width() <= 3) return;
  const int kind = ArrowKind(cell.GridCellGetTypeStyle());
  if (kind == 0) return;
  const bool right = kind == 1 || kind == 3;
  const int midY = inner.top + inner.Height() / 2;
  const int midX = inner.left + inner.Width() / 2;
  const double scale = IsPrinting(dc) ? PrintScale(dc) : 1.0;
  auto arrow = [&](int left) {
    if (IsPrinting(dc)) {
      const int w = static_cast<int>(4 * scale), h = static_cast<int>(3 * scale);
      CPoint pts[3];
      if (right) {
        pts[0] = CPoint(left, midY - h);
        pts[1] = CPoint(left + w, midY);
        pts[2] = CPoint(left, midY + h);
      } else {
        pts[0] = CPoint(left + w, midY - h);
        pts[1] = CPoint(left, midY);
        pts[2] = CPoint(left + w, midY + h);
      }
      CBrush* oldBrush = dc.SelectObject(static_cast<CBrush*>(GetStockObject(BLACK_BRUSH)));
      CPen* oldPen = dc.SelectObject(static_cast<CPen*>(GetStockObject(BLACK_PEN)));
      dc.Polygon(pts, 3);
      dc.SelectObject(oldBrush);
      dc.SelectObject(oldPen);
      return;
    }
    // Four strokes of 7, 5, 3 and 1 pixels, the longest on the side the
    // arrow points away from.
    for (int i = 0; i < 4; ++i) {
      const int half = 3 - i;
      const int x = right ? left + i : left + 3 - i;
      dc.FillSolidRect(CRect(x, midY - half, x + 1, midY + half + 1), fore);
    }
  };
  if (kind <= 2) {
    arrow(midX - 2);
  } else {
    arrow(midX - 5);
    arrow(midX + 1);
  }
}

void CSideArrowsCellType::MeasureBestSize(CDC& /*dc*/, CSize& size, CGridCellValue& cell) {
  const std::int32_t style = cell.GridCellGetTypeStyle();
  size.cx = (style == 0x40 || style == 0x80) ? 14 : 10;
}

// ---- ellipsis ----------------------------------------------------------------

CEllipsisCellType::CEllipsisCellType() : m_buttonWidth(GetSystemMetrics(SM_CXVSCROLL)) {
  m_overflow = 0;
  (void)m_facePen.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE));  // nothing to fail
  m_faceBrush.CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
}

GridTypeId CEllipsisCellType::GetTypeId() const {
  return {0x3c, 0x51, 0x0e, 0x91, 0x7a, 0x20, 0x4b, 0x11,
          0x9d, 0x02, 0x61, 0x4e, 0x8a, 0x10, 0x00, 0x06};
}

int CEllipsisCellType::GetEditRect(CRect& rect) {
  rect.right -= m_buttonWidth + 1;
  return 0;
}

int CEllipsisCellType::HandleLeftClick(int col, int row, int down, const CRect& rect,
                                       CPoint point) {
  if (down) {
    if (point.x > rect.right - m_buttonWidth) {
      m_buttonRect = CRect(rect.right - m_buttonWidth, rect.top, rect.right, rect.bottom);
      m_pressedCol = col;
      m_pressedRow = row;
      m_pressed = true;
      if (m_grid) m_grid->RepaintCell(col, row);
      return 1;
    }
    m_pressedCol = m_pressedRow = -1;
    return 0;
  }
  if (!m_pressed && m_pressedCol < 0) return 0;
  // A press that was dragged off the button and released elsewhere is a
  // change of mind: only a release on the button reports.
  const bool onButton = m_pressedCol >= 0 && m_buttonRect.PtInRect(point);
  const int pc = m_pressedCol, pr = m_pressedRow;
  m_pressed = false;
  m_pressedCol = m_pressedRow = -1;
  if (onButton) NotifyOwner(m_typeIndex, pc, pr, kCellEventButton, 0);
  if (m_grid && pc >= 0) m_grid->RepaintCell(pc, pr);
  return 1;
}

int CEllipsisCellType::HandleDoubleClick(int, int, const CRect&, CPoint) {
  return 1;
}

int CEllipsisCellType::HandleKeyDown(int col, int row, int& key) {
  if (!m_grid) return 0;
  const bool ctrl = (m_grid->GetModifierKeys() & MK_CONTROL) != 0;
  if (key != VK_RETURN && !(key == VK_DOWN && ctrl)) return 0;
  key = 0;
  NotifyOwner(m_typeIndex, col, row, kCellEventButton, 0);
  return 1;
}

int CEllipsisCellType::HandleChar(int, int, int& ch) {
  // Enter pressed the button on key down; it starts no edit.
  return ch == '\r' ? 1 : 0;
}

int CEllipsisCellType::HandleMouseMove(int /*col*/, int /*row*/, CPoint point, int keyFlags) {
  if (!(keyFlags & MK_LBUTTON) || m_pressedCol < 0) return 0;
  const bool inside = m_buttonRect.PtInRect(point);
  if (inside != m_pressed) {
    m_pressed = inside;
    if (m_grid) m_grid->RepaintCell(m_pressedCol, m_pressedRow);
  }
  return 0;
}

void CEllipsisCellType::DrawCell(CDC& dc, const CRect& rect, int col, int row, CGridCellValue& cell,
                                 bool selected, bool current) {
  if ((cell.GridCellGetTypeStyle() & 0x200) && !current) {
    CNormalCellType::DrawCell(dc, rect, col, row, cell, selected, current);
    return;
  }
  CRect inner;
  DrawCellBorder(dc, rect, inner, cell);
  const int bw = IsPrinting(dc) ? static_cast<int>(m_buttonWidth * PrintScale(dc)) : m_buttonWidth;
  CRect button(std::max(inner.left, inner.right - bw), inner.top, inner.right, inner.bottom);
  const bool pressed = m_pressed && current && col == m_pressedCol && row == m_pressedRow;
  DrawGridButton(*this, dc, button, pressed, m_faceBrush);
  CPen* oldPen = dc.SelectObject(&m_facePen);
  Line(dc, button.left - 1, inner.top, button.left - 1, inner.bottom);
  // Three dots, 2 pixels high and 3 apart, at three quarters of the height.
  const int y = button.top + button.Height() * 3 / 4 - 1;
  const int cx = button.left + button.Width() / 2;
  for (int i = -1; i <= 1; ++i)
    dc.FillSolidRect(CRect(cx + 3 * i, y, cx + 3 * i + 1, y + 2), RGB(0, 0, 0));
  if (oldPen) dc.SelectObject(oldPen);
  CRect textRect = inner;
  textRect.right = button.left - 1;
  DrawCellText(dc, textRect, 0, col, row, cell, selected, current);
}

void CEllipsisCellType::MeasureBestSize(CDC& dc, CSize& size, CGridCellValue& cell) {
  CNormalCellType::MeasureBestSize(dc, size, cell);
  if (!(cell.GridCellGetTypeStyle() & 0x200)) size.cx += m_buttonWidth;
}

// ---- labeled -----------------------------------------------------------------

CLabeledCellType::CLabeledCellType() {
  m_overflow = 0;
  LOGFONT lf{};
  lf.lfHeight = 12;
  lf.lfWeight = 300;
  fw::SetFaceName(lf, "Arial");
  (void)m_labelFont.CreateFontIndirect(&lf);  // fails only without a LOGFONT
}

GridTypeId CLabeledCellType::GetTypeId() const {
  return {0x3c, 0x51, 0x0e, 0x91, 0x7a, 0x20, 0x4b, 0x11,
          0x9d, 0x02, 0x61, 0x4e, 0x8a, 0x10, 0x00, 0x07};
}

int CLabeledCellType::GetEditRect(CRect& rect) {
  rect.top += kLabelHeight;
  int col = -1, row = -1;
  if (m_grid && m_grid->IsEditing(&col, &row)) m_grid->RepaintCell(col, row);
  return 0;
}

void CLabeledCellType::DrawCell(CDC& dc, const CRect& rect, int col, int row, CGridCellValue& cell,
                                bool selected, bool current) {
  CRect inner;
  DrawCellBorder(dc, rect, inner, cell);
  const bool hi = IsHighlighted(selected, current);
  FillCellBackground(
      dc, inner, hi ? cell.GridCellGetHighlightBackColor() : cell.GridCellGetBackColorOrDefault());
  if (const std::string* label = cell.GridCellGetLabel()) {
    CFont* old = dc.SelectObject(&m_labelFont);
    dc.SetTextColor(m_labelColour);
    CRect strip(inner.left, inner.top, inner.right,
                std::min(inner.bottom, inner.top + kLabelHeight));
    dc.ExtTextOut(strip.left, strip.top, ETO_CLIPPED, &strip, *label);
    dc.SelectObject(old);
  }
  CRect textRect = inner;
  textRect.top = std::min(inner.bottom, inner.top + kLabelHeight);
  DrawCellText(dc, textRect, 0, col, row, cell, selected, current);
}

void CLabeledCellType::MeasureBestSize(CDC& dc, CSize& size, CGridCellValue& cell) {
  CNormalCellType::MeasureBestSize(dc, size, cell);
  if (const std::string* label = cell.GridCellGetLabel()) {
    CFont* old = dc.SelectObject(&m_labelFont);
    size.cx = std::max(size.cx, dc.GetTextExtent(*label).cx);
    dc.SelectObject(old);
  }
}

// ---- sort arrow --------------------------------------------------------------

CSortArrowCellType::CSortArrowCellType() : m_arrowWidth(GetSystemMetrics(SM_CXVSCROLL)) {}

GridTypeId CSortArrowCellType::GetTypeId() const {
  return {0x3c, 0x51, 0x0e, 0x91, 0x7a, 0x20, 0x4b, 0x11,
          0x9d, 0x02, 0x61, 0x4e, 0x8a, 0x10, 0x00, 0x08};
}

void CSortArrowCellType::DrawCell(CDC& dc, const CRect& rect, int col, int row,
                                  CGridCellValue& cell, bool /*selected*/, bool /*current*/) {
  CRect inner;
  DrawCellBorder(dc, rect, inner, cell);
  FillCellBackground(dc, inner, cell.GridCellGetBackColorOrDefault());
  const bool printing = IsPrinting(dc);
  const int aw = printing ? static_cast<int>(m_arrowWidth * PrintScale(dc)) : m_arrowWidth;
  CRect area(std::max(inner.left, inner.right - aw), inner.top, inner.right, inner.bottom);
  const int q = std::max(0, std::min(area.Width() / 4, inner.Height() - 1));
  const int midY = inner.top + inner.Height() / 2;
  const int cx = area.left + area.Width() / 2;
  const bool up = (cell.GridCellGetTypeStyle() & kPointsUp) != 0;
  CPen* black = static_cast<CPen*>(GetStockObject(BLACK_PEN));
  CPen* white = static_cast<CPen*>(GetStockObject(WHITE_PEN));
  CPen* oldPen = dc.SelectObject(black);
  if (q > 0) {
    if (!up) {
      Line(dc, area.left + q, midY - q, area.right - q, midY - q);  // flat top
      Line(dc, area.left + q, midY - q, cx, midY + q);
      dc.SelectObject(white);
      Line(dc, area.right - q, midY - q, cx, midY + q);
    } else {
      Line(dc, cx, midY - q, area.left + q, midY + q);
      dc.SelectObject(white);
      Line(dc, area.left + q, midY + q, area.right - q, midY + q);  // flat bottom
      Line(dc, area.right - q, midY + q, cx, midY - q);
    }
  }
  dc.SelectObject(oldPen);
  CRect textRect = inner;
  textRect.right = area.left;
  // The heading keeps its colours even when the column is selected.
  DrawCellText(dc, textRect, 0, col, row, cell, false, false);
}

void CSortArrowCellType::MeasureBestSize(CDC& dc, CSize& size, CGridCellValue& cell) {
  CNormalCellType::MeasureBestSize(dc, size, cell);
  size.cx += m_arrowWidth;
}
