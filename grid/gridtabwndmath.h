// Geometry of the sheet-tab strip: where each tab lies for a scroll offset,
// which tab a click hits, how far the strip may scroll, and the offset that
// brings a clicked tab fully into view.
#pragma once

#include <vector>

namespace gridtabs {

constexpr int kMaxTabs = 64;
constexpr int kLabelPadding = 10;  // tab width = label width + this
constexpr int kTabGap = 2;         // next tab starts at x + width + 2
constexpr int kSizingEdge = 7;     // right-most pixels that resize the strip
constexpr int kMinAreaWidth = 40;
constexpr int kScrollStep = 5;

// Left edge of every tab for the given small-bar width and scroll offset.
std::vector<int> TabLefts(const std::vector<int>& widths, int smallBar, int offset);
// Index of the first tab whose span [x, x + width + 2] holds `x`, or -1.
int HitTest(const std::vector<int>& widths, int smallBar, int offset, int x);
// Largest scroll offset: total = widths + small bar - client; total + 20 when positive.
int MaxOffset(const std::vector<int>& widths, int smallBar, int clientWidth);
// Offset after tab `index` was clicked: its left edge at least 5 pixels right
// of the small bar and its right edge plus 19 inside the strip, within 0..max.
int OffsetToShow(const std::vector<int>& widths, int smallBar, int clientWidth, int offset,
                 int index);

}  // namespace gridtabs
