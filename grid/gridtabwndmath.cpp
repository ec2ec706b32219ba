#include "grid/gridtabwndmath.h"

#include <algorithm>

namespace gridtabs {

std::vector<int> TabLefts(const std::vector<int>& widths, int smallBar, int offset) {
  std::vector<int> lefts;
  lefts.reserve(widths.size());
  int x = smallBar - offset;
  for (int w : widths) {
    lefts.push_back(x);
    x += w + kTabGap;
  }
  return lefts;
}

int HitTest(const std::vector<int>& widths, int smallBar, int offset, int x) {
  int left = smallBar - offset;
  for (std::size_t i = 0; i < widths.size(); ++i) {
    if (x >= left && x <= left + widths[i] + kTabGap) return static_cast<int>(i);
    left += widths[i] + kTabGap;
  }
  return -1;
}

int MaxOffset(const std::vector<int>& widths, int smallBar, int clientWidth) {
  int total = smallBar - clientWidth;
  for (int w : widths) total += w;
  return total > 0 ? total + 20 : 0;
}

int OffsetToShow(const std::vector<int>& widths, int smallBar, int clientWidth, int offset,
                 int index) {
  if (index < 0 || index >= static_cast<int>(widths.size())) return offset;
  int before = 0;  // unscrolled distance of the tab from the small bar
  for (int i = 0; i < index; ++i) before += widths[i] + kTabGap;
  int left = smallBar + before - offset;
  int right = left + widths[index] + kTabGap;
  if (left < smallBar + 5) {
    offset = before - 5;
  } else if (right + 19 > clientWidth) {
    offset += right + 19 - clientWidth;
  }
  return std::clamp(offset, 0, MaxOffset(widths, smallBar, clientWidth));
}

}  // namespace gridtabs
