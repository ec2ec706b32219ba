// Start-up steps of both programs that need no window: the program's own
// version values, its folders, the first-run settings, the help file, the
// required-file check and the status monitor's command line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/profile.h"

namespace fw {

// A value of the program's own version block (string table "040904b0");
// empty when the program registered no block or the block lacks the value.
std::string ProgramVersionValue(std::string_view key);
// "CompanyName" of the program's own version block: it names the folder of
// the per-user settings (empty when absent).
std::string ProgramCompanyName();

// The folder of the running program, with a trailing '/'.
std::string GetProgramFolder();
// The customisation file beside the program: its presence switches the
// program to its customised appearance.
std::string GetCustomizeFilePath();
// The main windows' title from the customisation file (at most 1023
// characters); empty without one.
std::string CustomizedWindowTitle();
// "Projects/" beside the program, with a trailing '/'.
std::string GetProjectsFolder();
// The status monitor's "zvinfo.ini": beside the per-user settings of the company.
std::string MonitorInfoPath(std::string_view company);

// Reads the language from section "settings", key "language" of the profile
// (empty: "english", written back) and loads its library from the program's
// folder. On failure shows the "Installation Error" message and returns false.
[[nodiscard]] bool SelectLanguage(CProfile& profile, const std::string& programFolder);

// First-run settings of the configuration program ("Settings"/"init") and the
// lower-case setting of the EEROM debugger, which must exist afterwards.
void ApplyFirstRunDefaults(CProfile& profile);
// First-run settings of the status monitor ("settings"/"first").
void ApplyMonitorFirstRunDefaults(CProfile& profile);

// The help document of the configuration program in folder (with its '/'):
// the language's own when it exists there, else the English one, or the
// customised one when the customisation file is present.
std::string ChooseHelpFile(const std::string& folder, std::string_view language, bool customized);
// The status monitor's: no language of its own.
std::string ChooseMonitorHelpFile(const std::string& folder, bool customized);

// A language library may demand a file beside the program (its strings
// 15007 and 15008). False, after telling the user, when it is demanded and
// missing.
[[nodiscard]] bool CheckRequiredFile(const std::string& programFolder);

// The switch the status monitor is to open by itself: the last argument
// holding "-mac=", with every "-mac=" removed; empty when none. args[0] is
// the program's path and never counts.
std::string TargetMacFromArguments(const std::vector<std::string>& args);

}  // namespace fw
