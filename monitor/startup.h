#pragma once

#include <string>

namespace fw {

// The status monitor keeps its language in "zvinfo.ini" (section "fenwardle",
// key "language"), which lives beside the per-user settings. Empty means
// "english", written back. On failure shows the "Installation Error" message
// and returns false.
[[nodiscard]] bool SelectMonitorLanguage(const std::string& iniPath,
                                         const std::string& programFolder);

}  // namespace fw
