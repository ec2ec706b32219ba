#include "monitor/startup.h"

#include <cstdio>
#include <filesystem>

#include "platform/inifile.h"
#include "platform/language.h"
#include "platform/message.h"
#include "platform/resourcebundle.h"

namespace fw {

bool SelectMonitorLanguage(const std::string& iniPath, const std::string& programFolder) {
  CIniFile ini;
  std::string error;
  if (!ini.Load(iniPath, &error)) std::fprintf(stderr, "%s\n", error.c_str());
  std::string language = ini.GetString("fenwardle", "language");
  if (language.empty()) {
    language = "english";
    ini.SetString("fenwardle", "language", language);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(iniPath).parent_path(), ec);
    if (!ini.Save(&error)) std::fprintf(stderr, "%s\n", error.c_str());
  }
  return UseLanguageLibrary(language, ProgramLanguageLibraryNames(), programFolder);
}

}  // namespace fw
