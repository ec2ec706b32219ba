// The fonts of the tools' tables and both programs' lists: "Arial" 14 at
// weight 2 for the cells, at weight 700 for the headings; and their sizes,
// given in pixels of the reference font.
#pragma once

#include <QFontMetrics>
#include <algorithm>
#include <string>

#include "grid/sheetgridctrl.h"
#include "platform/gui/textfit.h"

// A column width, row or heading height of the reference font in ours.
inline int GridPx(int pixels) {
  return fw::ScaleForFont(pixels);
}

// Makes a one-row top heading of the current sheet as high as its tallest
// heading: lines broken at '\n', and wrapped at the column's width where the
// heading cell wraps.
inline void FitHeadingToLines(CSheetGridCtrl& grid) {
  if (grid.GetTopHeadingRows() != 1 || grid.GetTopHeadingHeight() <= 0) return;
  int need = 0;
  for (int col = 0; col < grid.GetColumnTotal(); ++col) {
    CGridCellValue cell;
    grid.GetCell(col, -1, cell);
    const std::string* text = cell.GridCellGetText();
    int width = 0;
    if (!text || text->empty() || grid.GetColumnWidth(col, width) != kGridOk) continue;
    CFont* font = cell.GridCellGetFont() ? cell.GridCellGetFont() : grid.GetDefaultFont();
    const QFontMetrics fm(font ? font->font() : QFont());
    const int flags = (cell.GridCellGetTypeStyle() & 2) ? Qt::TextWordWrap : 0;
    const QRect r = fm.boundingRect(QRect(0, 0, std::max(width - 4, 1), 100000), flags,
                                    QString::fromStdString(*text));
    need = std::max(need, r.height() + 2);
  }
  if (need > grid.GetTopHeadingHeight()) (void)grid.SetTopHeadingHeight(need);
}

// Registers both fonts and makes them the current sheet's fonts.
inline void UseToolGridFonts(CSheetGridCtrl& grid) {
  const int normal = grid.RegisterFont("Arial", 14, 2);
  const int bold = grid.RegisterFont("Arial", 14, 700);
  (void)grid.SetDefaultFont(normal);
  CGridCellValue heading;
  grid.GetDefaultHeadingCell(heading);
  heading.GridCellSetFont(grid.GetFont(bold));
  grid.SetDefaultHeadingCell(heading);
}

inline int BoldFontIndex(CSheetGridCtrl& grid) {
  return grid.RegisterFont("Arial", 14, 700);
}
