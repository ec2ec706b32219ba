#include "grid/gridprint.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "grid/gridcore.h"
#include "grid/normalcelltype.h"

namespace {

constexpr double kScreenDpi = 96.0;

int Scaled(int v, double scale) {
  return static_cast<int>(std::lround(v * scale));
}

// Heading rows from the outermost in: index (-n .. -1) and height.
std::vector<std::pair<int, int>> HeadingRows(CGridCore& grid) {
  std::vector<std::pair<int, int>> rows;
  const auto ax = grid.Sheet().Axis(GridAxis::kRows);
  for (int i = -ax.HeadingCount(); i <= -1; ++i)
    if (ax.PartSize(i) > 0) rows.emplace_back(i, ax.PartSize(i));
  return rows;
}

// Draws one cell by its type with its font grown to the print scale, as the
// screen's cells are drawn at 96 pixels per inch.
void DrawCell(CGridCore& grid, CDC& dc, const CRect& rect, int col, int row, double scale) {
  CGridCellValue cell;
  grid.GetCell(col, row, cell);
  CNormalCellType* type = grid.GetCellTypeObject(cell.GridCellGetCellType());
  if (!type) type = grid.GetCellTypeObject(0);
  if (!type) return;
  CFont scaled;
  CFont* base = cell.GridCellGetFont() ? cell.GridCellGetFont() : grid.GetDefaultFont();
  if (base) {
    LOGFONT lf = base->logFont();
    lf.lfHeight = Scaled(lf.lfHeight, scale);
    if (lf.lfHeight == 0) lf.lfHeight = 1;
    if (scaled.CreateFontIndirect(&lf)) cell.GridCellSetFont(&scaled);
  }
  CFont* old = cell.GridCellGetFont() ? dc.SelectObject(cell.GridCellGetFont()) : nullptr;
  type->DrawCell(dc, rect, col, row, cell, false, false);
  if (old) dc.SelectObject(old);
}

}  // namespace

void CGridPrinter::Paginate(const CSize& page, int dpi) {
  const double scale = dpi / kScreenDpi * std::max(1, m_info.m_percent) / 100.0;
  m_info.m_printScale = static_cast<float>(scale);
  m_info.m_pages.clear();
  m_info.m_columns.clear();

  // Columns across: a new page when the next one would pass the right edge.
  struct Span {
    int first, last;
  };
  std::vector<Span> colPages;
  int left = 0;
  for (int c = 0; c < m_grid.GetColumnTotal(); ++c) {
    const int w = Scaled(m_grid.GetColumnWidth(c), scale);
    if (w > 0 && left > 0 && left + w > page.cx) {
      left = 0;
      colPages.push_back({c, c});
    } else if (colPages.empty()) {
      colPages.push_back({c, c});
    }
    colPages.back().last = c;
    m_info.m_columns.push_back({left, w, left + w, static_cast<std::int32_t>(colPages.size()) - 1});
    left += w;
  }
  if (colPages.empty()) colPages.push_back({0, -1});

  // Rows down, below the headings that every page repeats.
  int headings = 0;
  for (auto [index, height] : HeadingRows(m_grid)) headings += Scaled(height, scale);
  std::vector<Span> rowPages;
  int top = headings;
  for (int r = 0; r < m_grid.GetRowTotal(); ++r) {
    const int h = Scaled(m_grid.GetRowHeight(r), scale);
    if (h > 0 && top > headings && top + h > page.cy) {
      top = headings;
      rowPages.push_back({r, r});
    } else if (rowPages.empty()) {
      rowPages.push_back({r, r});
    }
    rowPages.back().last = r;
    top += h;
  }
  if (rowPages.empty()) rowPages.push_back({0, -1});

  for (std::size_t rp = 0; rp < rowPages.size(); ++rp)
    for (std::size_t cp = 0; cp < colPages.size(); ++cp)
      m_info.m_pages.push_back(CGridPrintInfo::PageRecord{
          {rowPages[rp].first, rowPages[rp].last, colPages[cp].first, colPages[cp].last,
           static_cast<std::int32_t>(rp), static_cast<std::int32_t>(cp)}});
}

void CGridPrinter::PrintPage(CDC& dc, int page) {
  if (page < 0 || page >= PageCount()) return;
  const CGridPrintInfo::PageRecord& rec = m_info.m_pages[static_cast<std::size_t>(page)];
  const double scale = m_info.m_printScale;
  m_info.m_lastPrintedColumn = rec.v[kLastCol];
  m_grid.SetPrintTarget(&dc, &m_info);
  const int saved = dc.SaveDC();
  if (CFont* font = m_grid.GetDefaultFont()) dc.SelectObject(font);

  auto columns = [&](int top, int height, int row) {
    for (int c = rec.v[kFirstCol]; c <= rec.v[kLastCol]; ++c) {
      const CGridPrintInfo::ColumnRecord& col = m_info.m_columns[static_cast<std::size_t>(c)];
      if (col.width <= 0) continue;
      DrawCell(m_grid, dc, CRect(col.left, top, col.right, top + height), c, row, scale);
    }
  };
  int top = 0;
  for (auto [index, height] : HeadingRows(m_grid)) {
    const int h = Scaled(height, scale);
    columns(top, h, index);
    top += h;
  }
  for (int r = rec.v[kFirstRow]; r <= rec.v[kLastRow]; ++r) {
    const int h = Scaled(m_grid.GetRowHeight(r), scale);
    if (h <= 0) continue;
    columns(top, h, r);
    top += h;
  }
  (void)dc.RestoreDC(saved);
  m_grid.SetPrintTarget(nullptr, nullptr);
}
