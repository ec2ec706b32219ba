// What the four setting grids of the configuration sheet share: their fonts
// and sizes, and the few kinds of cell they render from a configuration.
// Every fetched cell is rebuilt here from scratch, so nothing a cell type
// stored in the grid's own data store outlives the next fetch.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "grid/sheetgridctrl.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "tools/gridfonts.h"

namespace settinggrid {

// Cell-type styles the grids use.
enum : std::int32_t {
  kCheckAlone = 0x900,     // recessed 3-D box alone, placed by the alignment
  kRoundAlone = 0xC00,     // round box alone, placed by the alignment
  kCheckLabelled = 0x100,  // recessed 3-D box with its label as caption
  kDropOnCurrent = 0x200,  // the drop button shows on the current cell only
  kMultiLine = 2,          // text broken into lines at words
};

// Events the drop list reports: the chosen text (the parameter points to it).
inline constexpr int kDropTextChosen = 101;
inline constexpr int kCheckBoxTypeIndex = 2;
inline constexpr int kDropListTypeIndex = 1;
inline constexpr fw::GridColor kYellow = 0x0000FFFF;  // RGB(255, 255, 0)

// Drop-list and radio options: each text followed by "\n".
inline std::string Options(std::initializer_list<unsigned> ids) {
  return JoinResStrings(ids);
}

// Forgets what the data store gave the cell, keeping its font and join.
inline void Reset(CGridCellValue& cell) {
  using namespace GridProp;
  cell.GridCellSetFlags(
      cell.GridCellGetFlags() &
      ~(Value | Label | DataType | CellType | TypeStyle | BackColor | Alignment | ReadOnly | Mask));
  cell.GridCellSetCellType(0);
  cell.GridCellSetTypeStyle(0);
  cell.GridCellSetReadOnly(false);
}

inline void TextCell(CGridCellValue& cell, std::string_view text, bool centred = false) {
  Reset(cell);
  cell.GridCellSetText(text);
  if (centred) cell.GridCellSetAlignment(kAlignCenter);
}

// A cell that does not apply: "N/A", centred, read-only.
inline void NotApplicableCell(CGridCellValue& cell) {
  TextCell(cell, LoadResString(IDS_NOT_APPLICABLE), true);
  cell.GridCellSetReadOnly(true);
}

inline void CheckCell(CGridCellValue& cell, std::int32_t style, int value, bool centred) {
  Reset(cell);
  cell.GridCellSetCellType(kCheckBoxTypeIndex);
  cell.GridCellSetTypeStyle(style);
  cell.GridCellSetNumber(value);
  if (centred) cell.GridCellSetAlignment(kAlignCenter);
}

// A labelled box whose label says "Enabled" or "Disabled".
inline void EnabledCheckCell(CGridCellValue& cell, int value) {
  CheckCell(cell, kCheckLabelled, value, false);
  cell.GridCellSetLabel(LoadResString(value ? IDS_ENABLED : IDS_DISABLED));
}

inline void DropListCell(CGridCellValue& cell, const std::string& options, std::string_view text) {
  Reset(cell);
  cell.GridCellSetCellType(kDropListTypeIndex);
  cell.GridCellSetTypeStyle(kDropOnCurrent);
  cell.GridCellSetLabel(options);
  cell.GridCellSetText(text);
}

// Widens a drop-list column so that each of its choices shows whole beside
// the drop button, in the grid's cell font of the language in use.
inline void FitDropColumn(CSheetGridCtrl& grid, int col, const std::string& options) {
  auto* drop = dynamic_cast<CDropListCellType*>(grid.GetCellTypeObject(kDropListTypeIndex));
  if (!drop) return;
  const int need = drop->WidthForChoices(grid.GetDefaultFont(), SplitGridOptions(options));
  if (need > grid.GetColumnWidth(col)) (void)grid.SetColumnWidth(col, need);  // col is ours
}

inline void RadioCell(CGridCellValue& cell, int typeIndex, const std::string& options, int value) {
  Reset(cell);
  cell.GridCellSetCellType(typeIndex);
  cell.GridCellSetLabel(options);
  cell.GridCellSetNumber(value);
}

// The chosen text of a drop-list event.
inline const std::string& ChosenText(std::intptr_t value) {
  static const std::string none;
  const auto* text = reinterpret_cast<const std::string*>(value);
  return text ? *text : none;
}

}  // namespace settinggrid
