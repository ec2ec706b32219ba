// The fonts of the tools' tables and both programs' lists: "Arial" 14 at
// weight 2 for the cells, at weight 700 for the headings.
#pragma once

#include "grid/sheetgridctrl.h"

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
