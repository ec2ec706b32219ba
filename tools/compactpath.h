// Shows a long file path in a narrow control: the head of the path and the
// file name stay, the folders between them give way to "...".
#pragma once

#include <functional>
#include <string>

class CWnd;

namespace fw {

// Flag bit 0: every backslash of the result becomes a forward slash.
inline constexpr unsigned kCompactForwardSlashes = 0x1;

// The compaction itself: `available` is the width there is, `measure` gives a
// text's width and `averageChar` the font's average character width. Paths
// may use either separator; the result keeps the path's own.
std::string CompactPathText(const std::string& path, int available,
                            const std::function<int(const std::string&)>& measure, int averageChar,
                            unsigned flags = 0);

// Compacts to the control's width in its font, sets the control's text to the
// result and returns it; without a control the path comes back unchanged.
std::string CompactPath(const std::string& path, CWnd* control, unsigned flags = 0);

}  // namespace fw
