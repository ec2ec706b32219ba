#include <algorithm>

#include "grid/normalcelltype.h"

CCheckBoxCellType::CCheckBoxCellType() {
  m_textEdit = 0;
  m_overflow = 0;
  // Solid pens of one pixel: nothing to fail.
  (void)m_shadowPen.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  (void)m_lightPen.CreatePen(PS_SOLID, 1, RGB(225, 225, 225));
  (void)m_facePen.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE));
  // A checkerboard of face and highlight, rows padded to 16 bits.
  const unsigned char bits[16] = {0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0,
                                  0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0};
  if (m_ditherBitmap.CreateBitmap(8, 8, 1, 1, bits)) {
    m_ditherBitmap.SetMonoColours(GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNHIGHLIGHT));
    m_ditherBrush.CreatePatternBrush(&m_ditherBitmap);
  }
}

GridTypeId CCheckBoxCellType::GetTypeId() const {
  return {0x3c, 0x51, 0x0e, 0x91, 0x7a, 0x20, 0x4b, 0x11,
          0x9d, 0x02, 0x61, 0x4e, 0x8a, 0x10, 0x00, 0x02};
}

CRect CCheckBoxCellType::BoxRect(const CRect& rect, CGridCellValue& cell) {
  const int side = std::min(rect.Height() - 6, 12);
  const std::int32_t style = cell.GridCellGetTypeStyle();
  int x = rect.left + 3;
  int y = rect.top + (rect.Height() - side) / 2;
  if (style & kBoxOnly) {
    const std::uint32_t align = cell.GridCellGetAlignment() & 0xFFFF;
    if (align & kAlignCenter)
      x = rect.left + (rect.Width() - side) / 2;
    else if (align & kAlignRight)
      x = rect.right - side - 6;
    if (align & kAlignTop)
      y = rect.top + 3;
    else if (align & kAlignBottom)
      y = rect.bottom - side - 6;
  }
  const int width = side + ((style & kRound) ? 1 : 0);
  return CRect(x, y, x + width, y + side);
}

void CCheckBoxCellType::DrawCell(CDC& dc, const CRect& rect, int col, int row, CGridCellValue& cell,
                                 bool selected, bool current) {
  CRect inner;
  DrawCellBorder(dc, rect, inner, cell);
  const bool hi = IsHighlighted(selected, current);
  FillCellBackground(
      dc, inner, hi ? cell.GridCellGetHighlightBackColor() : cell.GridCellGetBackColorOrDefault());
  const std::int32_t style = cell.GridCellGetTypeStyle();
  const CRect box = BoxRect(rect, cell);
  const int side = box.Height();
  const int value = GridCellNumberAsInt(cell);
  const bool readOnly = cell.GridCellGetReadOnly() != 0;
  auto line = [&dc](int x0, int y0, int x1, int y1) {
    dc.MoveTo(x0, y0);
    dc.LineTo(x1, y1);
  };
  if (side > 5) {
    CGdiObject* stockPen = GetStockObject(hi ? WHITE_PEN : BLACK_PEN);
    CPen* oldPen = dc.SelectObject(static_cast<CPen*>(stockPen));
    CRect inside = box;
    if (style & (kRecessed | kRaised)) {
      CPen* outerTL = (style & kRecessed) ? &m_shadowPen : &m_lightPen;
      CPen* outerBR = (style & kRecessed) ? &m_lightPen : &m_shadowPen;
      dc.SelectObject(outerTL);
      line(box.left, box.bottom - 1, box.left, box.top);
      line(box.left, box.top, box.right, box.top);
      dc.SelectObject(outerBR);
      line(box.right - 1, box.top, box.right - 1, box.bottom);
      line(box.left, box.bottom - 1, box.right, box.bottom - 1);
      dc.SelectObject(static_cast<CPen*>(GetStockObject(BLACK_PEN)));
      line(box.left + 1, box.bottom - 2, box.left + 1, box.top + 1);
      line(box.left + 1, box.top + 1, box.right - 1, box.top + 1);
      dc.SelectObject(&m_facePen);
      line(box.right - 2, box.top + 1, box.right - 2, box.bottom - 1);
      line(box.left + 1, box.bottom - 2, box.right - 1, box.bottom - 2);
      inside.DeflateRect(2, 2);
    } else if (style & kRound) {
      dc.Arc(box, CPoint(box.right, box.top + side / 2), CPoint(box.right, box.top + side / 2));
      inside.DeflateRect(1, 1);
    } else {
      line(box.left, box.top, box.right - 1, box.top);
      line(box.right - 1, box.top, box.right - 1, box.bottom - 1);
      line(box.right - 1, box.bottom - 1, box.left, box.bottom - 1);
      line(box.left, box.bottom - 1, box.left, box.top);
      inside.DeflateRect(1, 1);
    }
    if (value > 1 || readOnly) {
      if (m_ditherBrush.IsValid())
        dc.FillRect(inside, &m_ditherBrush);
      else
        dc.FillRect(inside, GetSysColorBrush(COLOR_WINDOW));
    }
    if (value > 0) {
      CPen* markPen = value == 2 ? &m_shadowPen
                                 : static_cast<CPen*>(GetStockObject(hi ? WHITE_PEN : BLACK_PEN));
      dc.SelectObject(markPen);
      const int strokes = side >= 10 ? 3 : 1;
      if (style & kTick) {
        // A short stroke down to the bottom third, then a long one up.
        const int x0 = inside.left + 1, x1 = inside.left + inside.Width() / 3,
                  x2 = inside.right - 1;
        const int yMid = inside.top + inside.Height() / 2, yLow = inside.bottom - 2,
                  yTop = inside.top + 1;
        for (int i = 0; i < strokes; ++i) {
          line(x0, yMid + i - 1, x1, yLow + i - 1);
          line(x1, yLow + i - 1, x2, yTop + i - 1);
        }
      } else if (style & kRound) {
        CRect dot = box;
        dot.DeflateRect(2, 2);
        CBrush shadowBrush(GetSysColor(COLOR_BTNSHADOW));
        CBrush* brush = value == 2
                            ? &shadowBrush
                            : static_cast<CBrush*>(GetStockObject(hi ? WHITE_BRUSH : BLACK_BRUSH));
        CBrush* oldBrush = dc.SelectObject(brush);
        dc.Ellipse(dot);
        dc.SelectObject(oldBrush);
      } else {
        CRect x = inside;
        x.DeflateRect(1, 1);
        for (int i = 0; i < strokes; ++i) {
          const int d = strokes == 3 ? i - 1 : 0;
          line(x.left + std::max(d, 0), x.top + std::max(-d, 0), x.right - std::max(-d, 0),
               x.bottom - std::max(d, 0));
          line(x.left + std::max(d, 0), x.bottom - 1 - std::max(-d, 0), x.right - std::max(-d, 0),
               x.top - 1 + std::max(d, 0));
        }
      }
    }
    if (oldPen) dc.SelectObject(oldPen);
  }
  if (!(style & kBoxOnly)) {
    CRect textRect = inner;
    textRect.left = std::min(textRect.right, rect.left + side + 6);
    m_drawLabel = 1;
    DrawCellText(dc, textRect, 0, col, row, cell, selected, current);
    m_drawLabel = 0;
  }
}

int CCheckBoxCellType::Toggle(int col, int row) {
  const std::int32_t style = m_scratch.GridCellGetTypeStyle();
  const int states = (style & kThreeState) ? 3 : 2;
  int value = GridCellNumberAsInt(m_scratch);
  value = ((value % states) + states + 1) % states;
  m_scratch.GridCellSetNumber(value);
  (void)m_grid->SetCell(col, row, m_scratch);  // a refused store keeps the old state
  return value;
}

int CCheckBoxCellType::HandleLeftClick(int col, int row, int down, const CRect& rect,
                                       CPoint point) {
  if (!down || !m_grid) return 0;
  m_scratch.GridCellClear();
  m_grid->GetCell(col, row, m_scratch);
  if (m_scratch.GridCellGetReadOnly() || !BoxRect(rect, m_scratch).PtInRect(point)) return 0;
  const int value = Toggle(col, row);
  NotifyOwner(m_typeIndex, col, row, kCellEventCheckToggled, value);
  m_grid->RepaintCell(col, row);
  return 1;
}

int CCheckBoxCellType::HandleDoubleClick(int col, int row, const CRect& rect, CPoint point) {
  return HandleLeftClick(col, row, 1, rect, point);
}

int CCheckBoxCellType::HandleChar(int col, int row, int& ch) {
  if (ch != ' ' || !m_grid) return 0;
  m_scratch.GridCellClear();
  m_grid->GetCell(col, row, m_scratch);
  if (m_scratch.GridCellGetReadOnly()) return 0;
  const int value = Toggle(col, row);
  m_grid->RepaintCell(col, row);
  NotifyOwner(m_typeIndex, col, row, kCellEventCheckToggled, value);
  return 1;
}

void CCheckBoxCellType::MeasureBestSize(CDC& dc, CSize& size, CGridCellValue& cell) {
  if (!(cell.GridCellGetTypeStyle() & kBoxOnly) && cell.GridCellHasFlag(GridProp::Value)) {
    CFont* font = CellFont(cell);
    CFont* oldFont = font ? dc.SelectObject(font) : nullptr;
    const std::string* label = cell.GridCellGetLabel();
    CRect r(0, 0, 0, 0);
    dc.DrawText(label ? *label : std::string(), &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    size.cx = r.Width() + 6 + 18;
    size.cy = r.Height() + 2;
    if (oldFont) dc.SelectObject(oldFont);
  } else {
    size.cx = 18;
    size.cy = 2;
  }
}

CRadioCellType::CRadioCellType() {
  m_textEdit = 0;
  m_overflow = 0;
}

GridTypeId CRadioCellType::GetTypeId() const {
  return {0x3c, 0x51, 0x0e, 0x91, 0x7a, 0x20, 0x4b, 0x11,
          0x9d, 0x02, 0x61, 0x4e, 0x8a, 0x10, 0x00, 0x05};
}

int CRadioCellType::LineHeight(CGridCellValue& cell) {
  CImageDC measure(1, 1);
  if (CFont* font = CellFont(cell)) measure.SelectObject(font);
  return std::max(1, measure.GetTextExtent("X").cy);
}

void CRadioCellType::DrawCell(CDC& dc, const CRect& rect, int /*col*/, int /*row*/,
                              CGridCellValue& cell, bool selected, bool current) {
  CRect inner;
  DrawCellBorder(dc, rect, inner, cell);
  const int saved = dc.SaveDC();
  dc.IntersectClipRect(rect);
  CFont* font = CellFont(cell);
  if (font) dc.SelectObject(font);
  const bool hi = IsHighlighted(selected, current);
  dc.SetTextColor(hi ? cell.GridCellGetHighlightTextColor() : cell.GridCellGetTextColor());
  FillCellBackground(
      dc, inner, hi ? cell.GridCellGetHighlightBackColor() : cell.GridCellGetBackColorOrDefault());
  const int lineH = std::max(1, dc.GetTextExtent("X").cy);
  const std::string* label = cell.GridCellGetLabel();
  const std::vector<std::string> options = SplitGridOptions(label ? *label : std::string());
  const int value = GridCellNumberAsInt(cell);
  const std::uint32_t align = cell.GridCellGetAlignment() & 0xFFFF;
  dc.SelectObject(static_cast<CPen*>(GetStockObject(BLACK_PEN)));
  for (int i = 0; i < static_cast<int>(options.size()); ++i) {
    const int top = rect.top + 1 + i * lineH;
    if (top >= rect.bottom) break;
    CRect circle(rect.left + 3, top + 2, rect.left + lineH, top + lineH - 2);
    dc.SelectObject(static_cast<CBrush*>(GetStockObject(WHITE_BRUSH)));
    dc.Ellipse(circle);
    if (i == value) {
      CRect dot = circle;
      dot.DeflateRect(2, 2);
      dc.SelectObject(static_cast<CBrush*>(GetStockObject(BLACK_BRUSH)));
      dc.Ellipse(dot);
    }
    const int start = rect.left + 3 + lineH;
    const CSize ext = dc.GetTextExtent(options[i]);
    int x = start + 3;
    if (align & kAlignCenter)
      x = start + (rect.right - start - ext.cx) / 2;
    else if (align & kAlignRight)
      x = rect.right - ext.cx - 3;
    CRect lineRect(start, top, rect.right, top + lineH);
    dc.ExtTextOut(x, top, ETO_CLIPPED, &lineRect, options[i]);
  }
  (void)dc.RestoreDC(saved);  // the level SaveDC gave
}

int CRadioCellType::HandleLeftClick(int col, int row, int down, const CRect& rect, CPoint point) {
  if (!down || !m_grid) return 0;
  m_scratch.GridCellClear();
  m_grid->GetCell(col, row, m_scratch);
  if (m_scratch.GridCellGetReadOnly()) return 0;
  const std::string* label = m_scratch.GridCellGetLabel();
  const int options = static_cast<int>(SplitGridOptions(label ? *label : std::string()).size());
  if (point.y < rect.top) return 0;
  const int line = (point.y - rect.top) / LineHeight(m_scratch);
  if (line >= options) return 0;
  if (line != GridCellNumberAsInt(m_scratch)) {
    m_scratch.GridCellSetNumber(line);
    (void)m_grid->SetCell(col, row, m_scratch);  // a refused store keeps the old choice
    m_grid->RepaintCell(col, row);
  }
  NotifyOwner(m_typeIndex, col, row, kCellEventButton, line);
  return 1;
}

int CRadioCellType::HandleKeyDown(int col, int row, int& key) {
  if (key != VK_SPACE || !m_grid) return 0;
  m_scratch.GridCellClear();
  m_grid->GetCell(col, row, m_scratch);
  const std::string* label = m_scratch.GridCellGetLabel();
  const int options = static_cast<int>(SplitGridOptions(label ? *label : std::string()).size());
  // A read-only cell, or one with nothing to choose, stays as it is.
  if (m_scratch.GridCellGetReadOnly() || options == 0) return 0;
  const int old = GridCellNumberAsInt(m_scratch);
  const int value = (old < 0 || old >= options - 1) ? 0 : old + 1;
  m_scratch.GridCellSetNumber(value);
  (void)m_grid->SetCell(col, row, m_scratch);  // a refused store keeps the old choice
  m_grid->RepaintCell(col, row);
  NotifyOwner(m_typeIndex, col, row, kCellEventButton, value);
  return 1;
}

void CRadioCellType::MeasureBestSize(CDC& dc, CSize& size, CGridCellValue& cell) {
  CFont* font = CellFont(cell);
  CFont* oldFont = font ? dc.SelectObject(font) : nullptr;
  const std::string* label = cell.GridCellGetLabel();
  CRect r(0, 0, 0, 0);
  dc.DrawText(label ? *label : std::string(), &r, DT_CALCRECT | DT_NOPREFIX);
  size.cx = dc.GetTextExtent("X").cx + r.Width() + 8;
  if (oldFont) dc.SelectObject(oldFont);
}
