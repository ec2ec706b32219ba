#include "grid/normalcelltype.h"

#include <algorithm>
#include <cmath>

namespace {
// Thin, medium and thick border bits per side: left, top, right, bottom.
constexpr std::uint32_t kThin[4] = {0x1, 0x2, 0x4, 0x8};
constexpr std::uint32_t kMedium[4] = {0x10, 0x20, 0x40, 0x80};
constexpr std::uint32_t kThick[4] = {0x100, 0x200, 0x400, 0x800};
constexpr std::uint32_t kRecessedFrame = 0x1000;
constexpr std::uint32_t kRaisedFrame = 0x2000;
}  // namespace

std::vector<std::string> SplitGridOptions(const std::string& label) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (std::size_t nl; (nl = label.find('\n', start)) != std::string::npos; start = nl + 1) {
    std::string line = label.substr(start, nl - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(std::move(line));
  }
  return out;
}

int GridCellNumberAsInt(const CGridCellValue& cell) {
  const double v = cell.GridCellGetNumber();
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(v);
}

GridTypeId CNormalCellType::GetTypeId() const {
  return {0x3c, 0x51, 0x0e, 0x91, 0x7a, 0x20, 0x4b, 0x11,
          0x9d, 0x02, 0x61, 0x4e, 0x8a, 0x10, 0x00, 0x01};
}

long long CNormalCellType::NotifyOwner(int typeIndex, int col, int row, int msg,
                                       std::intptr_t param) {
  return m_grid ? m_grid->OnCellTypeEvent(typeIndex, col, row, msg, param) : 1;
}

double CNormalCellType::PrintScale(CDC& dc) const {
  const CGridPrintInfo* info = m_grid ? m_grid->GetPrintInfo(dc) : nullptr;
  return info ? info->m_printScale : 1.0;
}

bool CNormalCellType::IsHighlighted(bool selected, bool current) const {
  return selected || (current && (Options().highlightCurrent & 2));
}

CFont* CNormalCellType::CellFont(CGridCellValue& cell) const {
  if (CFont* f = cell.GridCellGetFont()) return f;
  return m_grid ? m_grid->GetDefaultFont() : nullptr;
}

std::string CNormalCellType::DrawnText(CGridCellValue& cell) const {
  if (m_drawLabel || (cell.GridCellGetTypeStyle() & 8)) {
    const std::string* l = cell.GridCellGetLabel();
    return l ? *l : std::string();
  }
  return cell.GridCellTextOrEmpty();
}

int CNormalCellType::NormalCellTypeCanOverlap(CGridCellValue& cell) const {
  if (cell.GridCellGetTypeStyle() != 0) return 0;
  int o = 0, c = 0, r = 0;
  if (cell.GridCellGetMergeInfo(o, c, r) == 0 && (o != 0 || c != -1 || r != -1) &&
      (c != 0 || r != 0))
    return 0;
  if (!cell.GridCellHasFlag(GridProp::Alignment)) return 0;
  const std::uint32_t a = cell.GridCellGetAlignment() & 0xFFFF;
  if (a & (kAlignRight | kAlignCenter)) return 0;
  return m_overflow;
}

void CNormalCellType::FillCellBackground(CDC& dc, const CRect& rect, COLORREF colour) {
  dc.FillSolidRect(rect, colour);
  dc.SetBkMode(TRANSPARENT);
}

int CNormalCellType::DrawCellBitmap(CDC& dc, CBitmap* bitmap, const CRect& rect, COLORREF back) {
  if (!bitmap) return 0;
  const CSize bs = bitmap->GetSize();
  const int h = rect.Height(), w = rect.Width();
  // An empty bitmap, a hidden row or a cell too small for the margins has
  // nothing to show (and would divide by zero when scaling).
  if (bs.cx <= 0 || bs.cy <= 0 || h <= 4 || w <= 4) return 0;
  int drawW = bs.cx, drawH = bs.cy, y = rect.top + (h - bs.cy) / 2;
  if (bs.cy > h - 4) {
    const int percent = (h - 4) * 100 / bs.cy;
    drawH = h - 4;
    drawW = std::max(1, bs.cx * percent / 100);
    y = rect.top + 2;
  }
  const int shownW = std::min(drawW, w - 4);
  dc.FillSolidRect(CRect(rect.left, rect.top, rect.left + shownW + 4, rect.bottom), back);
  QImage img = bitmap->image();
  if (drawW != bs.cx || drawH != bs.cy)
    img = img.scaled(drawW, drawH, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  if (shownW < img.width()) img = img.copy(0, 0, shownW, img.height());
  const double scale = PrintScale(dc);
  if (IsPrinting(dc) && scale != 1.0)
    dc.DrawImage(rect.left + 2, y, img, static_cast<int>(img.width() * scale),
                 static_cast<int>(img.height() * scale));
  else
    dc.DrawImage(rect.left + 2, y, img);
  return shownW + 4;
}

void CNormalCellType::DrawCellBorder(CDC& dc, const CRect& rect, CRect& inner,
                                     CGridCellValue& cell) {
  const std::uint32_t border = cell.GridCellGetBorder() & 0xFFFF;
  const CGridDrawOptions opt = Options();
  bool gridLines = opt.gridLines != 0;
  inner = rect;
  if (border == 0 && !gridLines) return;
  if (border & (kRecessedFrame | kRaisedFrame)) gridLines = false;
  CPen* pen = cell.GridCellGetBorderPen();
  if (!pen && m_grid) pen = m_grid->GetDefaultPen();
  CPen* gridPen = m_grid ? m_grid->GetGridLinePen() : nullptr;
  CPen* oldPen = pen ? dc.SelectObject(pen) : nullptr;

  int width[4] = {0, 0, 0, 0};
  for (int s = 0; s < 4; ++s) {
    if (border & kThick[s])
      width[s] = 3;
    else if (border & kMedium[s])
      width[s] = 2;
    else if (border & kThin[s])
      width[s] = 1;
  }
  // With grid lines the right and bottom edges always get a line.
  bool gridOnly[4] = {false, false, false, false};
  for (int s : {2, 3}) {
    if (gridLines && width[s] == 0) {
      width[s] = 1;
      gridOnly[s] = true;
    }
  }
  auto line = [&dc](int x0, int y0, int x1, int y1) {
    dc.MoveTo(x0, y0);
    dc.LineTo(x1, y1);
  };
  for (int s = 0; s < 4; ++s) {
    if (width[s] == 0) continue;
    if (gridOnly[s] && gridPen) dc.SelectObject(gridPen);
    for (int i = 0; i < width[s]; ++i) {
      switch (s) {
        case 0: line(rect.left + i, rect.top, rect.left + i, rect.bottom); break;
        case 1: line(rect.left, rect.top + i, rect.right, rect.top + i); break;
        case 2: line(rect.right - 1 - i, rect.top, rect.right - 1 - i, rect.bottom); break;
        case 3: line(rect.left, rect.bottom - 1 - i, rect.right, rect.bottom - 1 - i); break;
      }
    }
    if (gridOnly[s] && gridPen && pen) dc.SelectObject(pen);
  }
  inner.DeflateRect(width[0], width[1], width[2], width[3]);

  if ((border & (kRecessedFrame | kRaisedFrame)) && m_grid) {
    CPen* hi = m_grid->GetHighlightPen();
    CPen* sh = m_grid->GetShadowPen();
    const bool recessed = (border & kRecessedFrame) != 0;
    CPen* topLeft = recessed ? sh : hi;
    CPen* bottomRight = recessed ? hi : sh;
    const int frames = std::max(1, opt.threeDWidth);
    for (int i = 0; i < frames && inner.Width() > 1 && inner.Height() > 1; ++i) {
      if (topLeft) dc.SelectObject(topLeft);
      line(inner.left, inner.bottom - 1, inner.left, inner.top);
      line(inner.left, inner.top, inner.right, inner.top);
      if (bottomRight) dc.SelectObject(bottomRight);
      line(inner.right - 1, inner.top, inner.right - 1, inner.bottom);
      line(inner.left, inner.bottom - 1, inner.right, inner.bottom - 1);
      inner.DeflateRect(1, 1);
    }
  }
  if (oldPen) dc.SelectObject(oldPen);
}

void CNormalCellType::DrawCellText(CDC& dc, const CRect& rect, int offset, int /*col*/, int /*row*/,
                                   CGridCellValue& cell, bool selected, bool current) {
  const std::string text = DrawnText(cell);
  CFont* font = cell.GridCellGetFont();
  CFont* oldFont = font ? dc.SelectObject(font) : nullptr;
  const bool hi = IsHighlighted(selected, current);
  dc.SetTextColor(hi ? cell.GridCellGetHighlightTextColor() : cell.GridCellGetTextColor());
  FillCellBackground(
      dc, rect, hi ? cell.GridCellGetHighlightBackColor() : cell.GridCellGetBackColorOrDefault());

  CRect area = rect;
  if (CBitmap* bmp = cell.GridCellGetBitmap()) {
    CRect bmRect = rect;
    if (offset > 0) bmRect.left += offset;
    area.left = bmRect.left + DrawCellBitmap(dc, bmp, bmRect,
                                             hi ? cell.GridCellGetHighlightBackColor()
                                                : cell.GridCellGetBackColorOrDefault());
  }
  if (!text.empty()) {
    const int margin = static_cast<int>(Options().cellMargin * m_scale);
    const std::uint32_t align = cell.GridCellGetAlignment() & 0xFFFF;
    // Only centred or right-aligned text needs its width before it is drawn.
    const CSize ext = (align & (kAlignCenter | kAlignRight)) ? dc.GetTextExtent(text)
                                                             : CSize(0, dc.GetTextHeight());
    int x = area.left + margin + offset;
    if (align & kAlignCenter)
      x = area.left + (area.Width() - ext.cx) / 2;
    else if (align & kAlignRight)
      x = area.right - margin - ext.cx;
    int y = area.top + 1;
    if (align & kAlignVCenter)
      y = area.top + (area.Height() - ext.cy) / 2;
    else if (align & kAlignBottom)
      y = area.bottom - ext.cy - 1;
    const std::int32_t style = cell.GridCellGetTypeStyle();
    if (style & 2) {
      CRect r = area;
      unsigned fmt = DT_WORDBREAK | DT_NOPREFIX;
      if (align & kAlignCenter) {
        fmt |= DT_CENTER;
      } else if (align & kAlignRight) {
        fmt |= DT_RIGHT;
        r.right -= margin + offset;
      } else {
        r.left += margin + offset;
      }
      dc.DrawText(text, &r, fmt);
    } else if (style & 4) {
      CRect r(area.left + 3, y, area.right, area.bottom);
      dc.DrawText(text, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    } else {
      dc.ExtTextOut(x, y, ETO_CLIPPED, &rect, text);
    }
  }
  if (oldFont) dc.SelectObject(oldFont);
}

int CNormalCellType::GetOverflowSource(CDC& dc, int col, int row, int& sourceCol,
                                       CGridCellValue& cell) {
  if (!m_grid || !Options().textOverflow) return 0;
  int src = col;
  if (m_grid->FindPrevNonEmptyCell(src, row) != kGridOk || src >= col) return 0;
  cell.GridCellSetFlags(0);
  m_grid->GetCell(src, row, cell);
  CNormalCellType* type = m_grid->GetCellTypeObject(cell.GridCellGetCellType());
  if (!type) type = this;
  CSize size(m_grid->GetColumnWidth(src), m_grid->GetRowHeight(row));
  type->MeasureBestSize(dc, size, cell);
  if (size.cx <= m_grid->GetColumnWidth(src) || !type->NormalCellTypeCanOverlap(cell)) return 0;
  int sum = 0;
  for (int c = src; c < col; ++c) {
    sum += m_grid->GetColumnWidth(c);
    if (sum >= size.cx) return 0;  // the text ends before this cell
  }
  sourceCol = src;
  if (IsPrinting(dc)) return -static_cast<int>(sum * m_scale);
  m_scale = 1.0;
  return -sum;
}

void CNormalCellType::DrawCell(CDC& dc, const CRect& rect, int col, int row, CGridCellValue& cell,
                               bool selected, bool current) {
  if (IsPrinting(dc)) {
    DrawForPrint(dc, rect, col, row, cell, selected, current);
    return;
  }
  CRect inner;
  if (m_grid && Options().textOverflow && NormalCellTypeCanOverlap(cell)) {
    const bool hasText =
        cell.GridCellHasFlag(GridProp::Value) && !cell.GridCellTextOrEmpty().empty();
    if (hasText) {
      // Text may run on into the next cell, which must be drawn after this one.
      m_grid->GetRedrawHint().AddCell(col + 1, row);
    } else {
      CGridCellValue source;
      int srcCol = -1;
      const int offset = GetOverflowSource(dc, col, row, srcCol, source);
      if (offset != 0) {
        DrawCellBorder(dc, rect, inner, cell);
        // The spilled text sits on this cell's own background.
        source.GridCellSetBackColor(cell.GridCellGetBackColorOrDefault());
        source.GridCellSetBitmap(nullptr);
        DrawCellText(dc, inner, offset, srcCol, row, source, selected, current);
        m_grid->GetRedrawHint().AddCell(col + 1, row);
        return;
      }
    }
  }
  DrawCellBorder(dc, rect, inner, cell);
  DrawCellText(dc, inner, 0, col, row, cell, selected, current);
}

void CNormalCellType::DrawForPrint(CDC& dc, const CRect& rect, int col, int row,
                                   CGridCellValue& cell, bool selected, bool current) {
  CRect inner;
  DrawCellBorder(dc, rect, inner, cell);
  const CGridPrintInfo* info = m_grid ? m_grid->GetPrintInfo(dc) : nullptr;
  CRect textRect = inner;
  if (info && m_grid && NormalCellTypeCanOverlap(cell) && Options().textOverflow) {
    // Long text spills into following empty columns of the printed range.
    const std::string text = DrawnText(cell);
    const double scale = info->m_printScale;
    CFont* font = cell.GridCellGetFont();
    CFont* oldFont = font ? dc.SelectObject(font) : nullptr;
    const int textW = dc.GetTextExtent(text).cx + Options().cellMargin;
    if (oldFont) dc.SelectObject(oldFont);
    const int lastCol =
        info->m_lastPrintedColumn >= 0 ? info->m_lastPrintedColumn : m_grid->GetColumnTotal() - 1;
    for (int c = col + 1; c <= lastCol && textW > textRect.Width(); ++c) {
      CGridCellValue next;
      next.GridCellSetFlags(0);
      m_grid->GetCell(c, row, next);
      if (next.GridCellTextOrEmpty().size() > 0) break;
      textRect.right += static_cast<int>(m_grid->GetColumnWidth(c) * scale);
    }
  }
  DrawCellText(dc, textRect, 0, col, row, cell, selected, current);
}

void CNormalCellType::DrawScaled(CDC& dc, const CRect& rect, int col, int row,
                                 CGridCellValue& cell) {
  if (!m_grid) return;
  int rows = 1;
  int o = 0, jc = 0, jr = 0;
  if (col < 0 && row < 0)
    rows = std::max(1, m_grid->GetTopHeadingRows());
  else if (cell.GridCellGetMergeInfo(o, jc, jr) == 0 && o == 1 && jr > 0)
    rows = jr + 1;
  const int rowHeight = m_grid->GetRowHeight(row) * rows;
  // A hidden row or an empty target has no scale to draw at.
  if (rowHeight <= 0 || rect.Height() <= 0) return;
  m_scale = static_cast<double>(rect.Height()) / rowHeight;
  CFont* base = CellFont(cell);
  CFont scaled;
  const bool hadFont = cell.GridCellHasFlag(GridProp::Font);
  CFont* oldCellFont = cell.GridCellGetFont();
  if (base) {
    LOGFONT lf = base->logFont();
    lf.lfHeight = static_cast<std::int32_t>(std::lround(lf.lfHeight * m_scale));
    if (lf.lfHeight == 0) lf.lfHeight = base->logFont().lfHeight < 0 ? -1 : 1;
    if (scaled.CreateFontIndirect(&lf)) cell.GridCellSetFont(&scaled);
  }
  DrawCell(dc, rect, col, row, cell, false, false);
  CRect inner;
  DrawCellBorder(dc, rect, inner, cell);
  // The scaled font dies here: the caller's cell gets its own font back.
  if (hadFont) {
    cell.GridCellSetFont(oldCellFont);
  } else {
    cell.GridCellSetFont(nullptr);
    cell.GridCellSetFlags(cell.GridCellGetFlags() & ~GridProp::Font);
  }
  m_scale = 1.0;
}

void CNormalCellType::MeasureBestSize(CDC& dc, CSize& size, CGridCellValue& cell) {
  CFont* font = CellFont(cell);
  CFont* oldFont = font ? dc.SelectObject(font) : nullptr;
  int bitmapW = 0;
  if (CBitmap* bmp = cell.GridCellGetBitmap()) {
    const CSize bs = bmp->GetSize();
    bitmapW = (bs.cy > 0 && size.cy > 0) ? bs.cx * size.cy / bs.cy : bs.cx;
  }
  if (cell.GridCellHasFlag(GridProp::Value)) {
    const std::int32_t style = cell.GridCellGetTypeStyle();
    unsigned fmt = DT_CALCRECT | DT_NOPREFIX;
    if (style == 0 || (style & 1)) fmt |= DT_SINGLELINE;
    if (style & 4) fmt |= DT_END_ELLIPSIS;
    CRect r(0, 0, 0, 0);
    dc.DrawText(DrawnText(cell), &r, fmt);
    size.cx = r.Width() + bitmapW + 6;
    size.cy = r.Height() + 2;
  }
  if (oldFont) dc.SelectObject(oldFont);
}

int CNormalCellType::HandleLeftClick(int, int, int, const CRect&, CPoint) {
  return 0;
}
int CNormalCellType::HandleRightClick(int, int, int, const CRect&, CPoint) {
  return 0;
}
int CNormalCellType::HandleDoubleClick(int, int, const CRect&, CPoint) {
  return 0;
}
int CNormalCellType::HandleKeyDown(int, int, int&) {
  return 0;
}
int CNormalCellType::HandleKeyUp(int, int, int) {
  return 0;
}
int CNormalCellType::HandleChar(int, int, int&) {
  return 0;
}
int CNormalCellType::HandleMouseMove(int, int, CPoint, int) {
  return 0;
}

void DrawGridButton(CNormalCellType& type, CDC& dc, const CRect& rect, bool pressed, CBrush& face) {
  CGridCellValue frame;
  frame.GridCellSetFlags(0);
  frame.GridCellSetBorder(pressed ? kRecessedFrame : kRaisedFrame);
  CRect inner;
  type.DrawCellBorder(dc, rect, inner, frame);
  dc.FillRect(inner, &face);
}
