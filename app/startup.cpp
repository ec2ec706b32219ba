#include "app/startup.h"

#include <cstdio>

#include "platform/language.h"
#include "platform/message.h"
#include "platform/resourcebundle.h"

namespace fw {

bool SelectLanguage(CProfile& profile, const std::string& programFolder) {
  std::string language = profile.GetProfileString("settings", "language");
  if (language.empty()) {
    language = "english";
    profile.WriteProfileString("settings", "language", language);
  }
  return UseLanguageLibrary(language, ProgramLanguageLibraryNames(), programFolder);
}

}  // namespace fw
