#include "shell/startup.h"

#include <filesystem>

#include "platform/dynlib.h"
#include "platform/inifile.h"
#include "platform/language.h"
#include "platform/message.h"
#include "platform/modules.h"
#include "platform/resourcebundle.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"
#include "tools/projectdocument.h"

namespace fw {

namespace {

// The program's own block answers in this table, as the About box and the
// settings key expect.
constexpr std::string_view kProgramStringTable = "040904b0";

bool FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

// Help documents are HTML pages: a name from the string table keeps its
// stem and gets the ".html" extension.
std::string HelpDocument(std::string_view name) {
  const auto dot = name.find_last_of('.');
  return std::string(name.substr(0, dot)) + ".html";
}

}  // namespace

std::string ProgramVersionValue(std::string_view key) {
  HMODULE module = GetModuleHandle(ProgramModuleName());
  if (!module || !module->bundle) return {};
  const CVersionInfo* info = module->bundle->FindVersionInfo(1);
  if (!info) return {};
  const std::string* value = info->FindValue(kProgramStringTable, key);
  return value ? *value : std::string();
}

std::string ProgramCompanyName() {
  return ProgramVersionValue("CompanyName");
}

std::string GetProgramFolder() {
  return ProgramFolder() + "/";
}

std::string GetCustomizeFilePath() {
  return GetProgramFolder() + "fenwardle.customize";
}

std::string CustomizedWindowTitle() {
  CIniFile customize;
  if (!customize.Load(GetCustomizeFilePath())) return {};
  std::string title = customize.GetString("main window", "title");
  if (title.size() > 1023) title.resize(1023);
  return title;
}

std::string GetProjectsFolder() {
  return ProjectsFolder() + "/";
}

std::string MonitorInfoPath(std::string_view company) {
  return CProfile::FolderFor(company) + "/zvinfo.ini";
}

bool SelectLanguage(CProfile& profile, const std::string& programFolder) {
  std::string language = profile.GetProfileString("settings", "language");
  if (language.empty()) {
    language = "english";
    profile.WriteProfileString("settings", "language", language);
  }
  return UseLanguageLibrary(language, ProgramLanguageLibraryNames(), programFolder);
}

void ApplyFirstRunDefaults(CProfile& profile) {
  if (profile.GetProfileInt("Settings", "init", 0) == 0) {
    profile.WriteProfileInt("Settings", "find all wait limit", 3000);
    profile.WriteProfileInt("Settings", "init", 1);
  }
  const int lowerCase = profile.GetProfileInt("EEROM Debugger", "lower case", 0);
  profile.WriteProfileInt("EEROM Debugger", "lower case", lowerCase);
}

void ApplyMonitorFirstRunDefaults(CProfile& profile) {
  if (profile.GetProfileInt("settings", "first", 0) == 0) {
    profile.WriteProfileInt("settings", "find all wait limit", 3000);
    profile.WriteProfileInt("settings", "first", 1);
  }
}

std::string ChooseHelpFile(const std::string& folder, std::string_view language, bool customized) {
  const char* own = EqualsNoCase(language, "german")   ? "fenwardl_de.html"
                    : EqualsNoCase(language, "french") ? "fenwardl_fra.html"
                                                       : nullptr;
  if (own && FileExists(folder + own)) return folder + own;
  return ChooseMonitorHelpFile(folder, customized);
}

std::string ChooseMonitorHelpFile(const std::string& folder, bool customized) {
  if (customized) return folder + HelpDocument(LoadResString(IDS_HELP_FILE_NAME));
  return folder + "fenwardl.html";
}

bool CheckRequiredFile(const std::string& programFolder) {
  if (!EqualsNoCase(LoadResString(IDS_NOT_REQUIRED), "required")) return true;
  std::string folder = programFolder;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  const std::string path = folder + LoadResString(IDS_CUSTOMIZE_FILE_NAME);
  if (FileExists(path)) return true;
  AfxMessageBox(FormatRes(IDS_REQUIRED_FILE_MISSING, path));
  return false;
}

std::string TargetMacFromArguments(const std::vector<std::string>& args) {
  static constexpr std::string_view kTag = "-mac=";
  std::string target;
  // The program's own path may lie in a folder whose name holds the tag.
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.find(kTag) == std::string::npos) continue;
    std::string rest;
    for (std::size_t pos = 0; pos < arg.size();) {
      if (arg.compare(pos, kTag.size(), kTag) == 0) {
        pos += kTag.size();
      } else {
        rest += arg[pos++];
      }
    }
    target = std::move(rest);
  }
  return target;
}

}  // namespace fw
