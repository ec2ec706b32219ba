#include "app/startup.h"

#include <cstdio>

#include "platform/language.h"
#include "platform/message.h"
#include "platform/resources.h"

namespace fw {

bool SelectLanguage(CProfile& profile, const std::string& programFolder) {
  std::string language = profile.GetProfileString("settings", "language");
  if (language.empty()) {
    language = "english";
    profile.WriteProfileString("settings", "language", language);
  }
  // The file names are the program's own strings, read before any library is loaded.
  const CResourceBundle& own = EmbeddedEnglish();
  auto text = [&](unsigned id) {
    const std::string* s = own.FindString(id);
    return s ? *s : std::string();
  };
  const LanguageLibraryNames names = {text(15010), text(15012), text(15011)};
  return UseLanguageLibrary(language, names, programFolder);
}

}  // namespace fw
