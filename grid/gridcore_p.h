// What the parts of CGridCore share and nothing else uses.
#pragma once

#include "grid/gridcore.h"

namespace gridcore {

// Virtual keys of the navigation.
enum : int {
  kKeyPrior = 0x21,
  kKeyNext = 0x22,
  kKeyEnd = 0x23,
  kKeyHome = 0x24,
  kKeyLeft = 0x25,
  kKeyUp = 0x26,
  kKeyRight = 0x27,
  kKeyDown = 0x28
};
constexpr int kWheelDelta = 120;

// The cell at `index` along `a` and `across` along the other axis.
inline void CellAt(GridAxis a, int index, int across, int& col, int& row) {
  col = a == GridAxis::kCols ? index : across;
  row = a == GridAxis::kCols ? across : index;
}

inline int TypeIndexOf(const CGridCellValue& cell) {
  return cell.GridCellHasFlag(GridProp::CellType) ? cell.GridCellGetCellType() : 0;
}

}  // namespace gridcore
