#include "tools/macprefixcelltype.h"

#include <QFontMetrics>
#include <algorithm>

#include "platform/gui/qtstring.h"
#include "switch/switchentry.h"

CMacPrefixCellType::CMacPrefixCellType() : m_lastLabel(CSwitchEntry::kMacPrefix) {
  LOGFONT lf{};
  lf.lfHeight = kLabelHeight;
  lf.lfWeight = 300;
  fw::SetFaceName(lf, "Arial");
  (void)m_prefixFont.CreateFontIndirect(&lf);  // fails only without a LOGFONT
}

int CMacPrefixCellType::LabelWidth(const std::string& label) const {
  return QFontMetrics(m_prefixFont.font()).horizontalAdvance(fw::ToQ(label));
}

void CMacPrefixCellType::DrawCell(CDC& dc, const CRect& rect, int col, int row,
                                  CGridCellValue& cell, bool selected, bool current) {
  CRect inner;
  DrawCellBorder(dc, rect, inner, cell);
  const bool hi = IsHighlighted(selected, current);
  FillCellBackground(
      dc, inner, hi ? cell.GridCellGetHighlightBackColor() : cell.GridCellGetBackColorOrDefault());
  int labelWidth = 0;
  if (const std::string* label = cell.GridCellGetLabel(); label && !label->empty()) {
    m_lastLabel = *label;
    CFont* old = dc.SelectObject(&m_prefixFont);
    dc.SetTextColor(kLabelColour);
    const CRect strip(inner.left, inner.top, inner.right,
                      std::min(inner.bottom, inner.top + kLabelHeight));
    dc.ExtTextOut(strip.left, strip.top, ETO_CLIPPED, &strip, *label);
    labelWidth = dc.GetTextExtent(*label).cx;
    dc.SelectObject(old);
  }
  CRect textRect = inner;
  textRect.left = std::min(inner.right, inner.left + labelWidth);
  DrawCellText(dc, textRect, 0, col, row, cell, selected, current);
}

void CMacPrefixCellType::MeasureBestSize(CDC& dc, CSize& size, CGridCellValue& cell) {
  CNormalCellType::MeasureBestSize(dc, size, cell);
  if (const std::string* label = cell.GridCellGetLabel()) {
    CFont* old = dc.SelectObject(&m_prefixFont);
    size.cx += dc.GetTextExtent(*label).cx;
    dc.SelectObject(old);
  }
}

int CMacPrefixCellType::GetEditRect(CRect& rect) {
  rect.left = std::min(rect.right, rect.left + LabelWidth(m_lastLabel));
  int col = -1, row = -1;
  if (m_grid && m_grid->IsEditing(&col, &row)) m_grid->RepaintCell(col, row);
  return 0;
}
