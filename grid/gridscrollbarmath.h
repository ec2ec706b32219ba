// Range, page and thumb arithmetic of the grid's two scroll bars. A vertical
// bar over more than 1,000 scrollable rows works on a fixed 0..1000 scale so
// that huge row counts never overflow the bar's range.
#pragma once

// Scroll-bar action codes, passed from the bars to the grid's scrolling.
namespace gridscroll {
enum {
  SB_LINEUP = 0,
  SB_LINEDOWN = 1,
  SB_PAGEUP = 2,
  SB_PAGEDOWN = 3,
  SB_THUMBPOSITION = 4,
  SB_THUMBTRACK = 5,
  SB_TOP = 6,
  SB_BOTTOM = 7
};
}  // namespace gridscroll

struct GridVertBarSetup {
  int minPos = 0;
  int maxPos = 0;
  int page = 1;
  bool scaled = false;
  int maxTopRow = 0;  // kept for the scaled conversions
};

struct GridHorzBarSetup {
  int minPos = 0;
  int maxPos = 0;
  int page = 1;
};

// The scaled range starts above this many rows.
constexpr int kGridVertBarScaleLimit = 1000;

// `defaultRowHeight` below 1 counts as 1.
GridVertBarSetup GridComputeVertBar(int maxTopRow, int lockedRows, int cellAreaHeight,
                                    int defaultRowHeight);
// Thumb position of a top row, and the top row of a released thumb. Integer
// arithmetic: the last thumb position reaches exactly the maximum top row.
int GridVertBarPosForRow(const GridVertBarSetup& s, int topRow);
int GridVertBarRowForPos(const GridVertBarSetup& s, int pos);

// `defaultColWidth` of 0 counts as 1 so that a zero default never divides by 0.
GridHorzBarSetup GridComputeHorzBar(int maxLeftCol, int lockedCols, int cellAreaWidth,
                                    int lockedWidth, int defaultColWidth);
