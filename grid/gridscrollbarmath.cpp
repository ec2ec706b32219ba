#include "grid/gridscrollbarmath.h"

#include <algorithm>
#include <cstdint>

GridVertBarSetup GridComputeVertBar(int maxTopRow, int lockedRows, int cellAreaHeight,
                                    int defaultRowHeight) {
  GridVertBarSetup s;
  s.maxTopRow = maxTopRow;
  if (maxTopRow > kGridVertBarScaleLimit) {
    s.scaled = true;
    s.minPos = 0;
    s.maxPos = kGridVertBarScaleLimit;
    s.page = 1;
    return s;
  }
  int h = std::max(1, defaultRowHeight);
  s.page = std::max(0, cellAreaHeight) / h;
  s.minPos = lockedRows;
  s.maxPos = maxTopRow + s.page - 1;
  return s;
}

int GridVertBarPosForRow(const GridVertBarSetup& s, int topRow) {
  if (!s.scaled || s.maxTopRow <= 0) return topRow;
  return static_cast<int>(static_cast<std::int64_t>(topRow) * kGridVertBarScaleLimit / s.maxTopRow);
}

int GridVertBarRowForPos(const GridVertBarSetup& s, int pos) {
  if (!s.scaled) return pos;
  return static_cast<int>(static_cast<std::int64_t>(pos) * s.maxTopRow / kGridVertBarScaleLimit);
}

GridHorzBarSetup GridComputeHorzBar(int maxLeftCol, int lockedCols, int cellAreaWidth,
                                    int lockedWidth, int defaultColWidth) {
  GridHorzBarSetup s;
  s.page = std::max(0, cellAreaWidth - lockedWidth) / std::max(1, defaultColWidth);
  s.minPos = 0;
  s.maxPos = maxLeftCol + s.page - lockedCols - 1;
  return s;
}
