#pragma once

#include <string>

#include "platform/profile.h"

namespace fw {

// The maker's name from the program's version block; it names the settings folder.
inline constexpr const char* kCompanyName = "ZOLVEX";

// Reads the language from section "settings", key "language" of the profile
// (empty: "english", written back) and loads its library from the program's
// folder. On failure shows the "Installation Error" message and returns false.
[[nodiscard]] bool SelectLanguage(CProfile& profile, const std::string& programFolder);

}  // namespace fw
