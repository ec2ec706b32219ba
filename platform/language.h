// Choosing and loading the language library at start-up.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/resourcebundle.h"

namespace fw {

struct LanguageLoad {
  const CResourceBundle* bundle = nullptr;  // set on success; lives for the process
  std::string message;                      // the failure text for the user
  std::string caption;                      // "Installation Error" on failure
  std::string detail;                       // what the loader said, for stderr
};

// Library file names, indexed english, german, french.
using LanguageLibraryNames = std::array<std::string, 3>;

// The library file names the programs' own strings give, read from the
// built-in English strings: no library is loaded yet when they are needed.
LanguageLibraryNames ProgramLanguageLibraryNames();

// Picks the library for a language setting ("english", "german", "french",
// without regard to case) and loads it from folder. The library is never
// unloaded: its bundle is used until the program ends.
[[nodiscard]] LanguageLoad LoadLanguageLibrary(std::string_view language,
                                               const LanguageLibraryNames& names,
                                               const std::string& folder);

// Loads the language's library and makes it the source of every resource.
// On failure shows the "Installation Error" message and returns false.
[[nodiscard]] bool UseLanguageLibrary(std::string_view language, const LanguageLibraryNames& names,
                                      const std::string& folder);

// The index (0 english, 1 german, 2 french) of a language setting, -1 for any other.
int LanguageIndex(std::string_view language);

}  // namespace fw
