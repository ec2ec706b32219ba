// The ".zcf" project file: an INI file with an index section and one section
// per configuration ("Switch Cfgs", "Switch Cfg: <name>") and per switch
// ("Switch Entries", "Switch Entry: <name>"). Sections the program does not
// know survive a save.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "switch/switchconfigstore.h"
#include "switch/switchentry.h"

namespace fw {

class CResourceBundle;

// What a load or save found worth telling the user. Filled by the file
// parts; shown once per file by Show.
struct CProjectNotes {
  bool mirrorConflict = false;                  // a mirror pair named a second monitor port
  std::vector<std::string> newerSections;       // kept unread and written back unchanged
  std::vector<std::string> unreadableSections;  // a version that is no number above 0: kept too
  std::vector<std::string> repairedSections;    // values out of range were replaced
  std::vector<std::string> droppedNames;        // index names repeated (letter case aside)
  std::vector<std::string> unsavedNames;        // names that cannot stand in a section header

  bool Empty() const;
  // One message box per kind of problem, the mirror warning first.
  void Show() const;
  // The texts Show would display, in order.
  std::vector<std::string> Messages() const;
};

// Whether the file can be read as a project, looked at without parsing it:
// kProjectFailed (with the reason, naming the file) when it cannot be read,
// is no regular file (refused at once), is larger than any project, holds a
// NUL byte (no text file does) or holds text but no section at all. A missing
// file, or one with nothing but blanks, is an empty project, and so is one
// with sections of others only: kProjectOk.
[[nodiscard]] int CheckProjectFile(const std::string& path, std::string* error = nullptr);

// Reads a whole project into store and switches (both emptied first).
// Returns the configuration part's result: kProjectOk, kProjectConflict (a
// mirror pair was dropped in any section) or kProjectNewerSection;
// kProjectFailed when the file cannot be read or is no project
// (CheckProjectFile), and then store and switches are left as they were.
[[nodiscard]] int LoadProjectFile(const std::string& path, CSwitchConfigStore& store,
                                  CSwitchList& switches, CProjectNotes* notes = nullptr,
                                  std::string* error = nullptr);

// Writes store and switches into the project file, keeping every section the
// program does not own; a file that CheckProjectFile refuses as no project is
// replaced whole. What is written always opens again: a file that would be
// larger than the open accepts is not written. The file is replaced in one
// step: on any failure the old file stays as it was and the result is
// kProjectFailed (the file cannot or may not be written) or kProjectConflict
// (a name cannot be written).
[[nodiscard]] int SaveProjectFile(const std::string& path, CSwitchConfigStore& store,
                                  CSwitchList& switches, CProjectNotes* notes = nullptr,
                                  std::string* error = nullptr);

// The string bundles of every shipped language: a project saved in another
// language names its base types in that language. By default the current
// bundle, the built-in English one and the language libraries found in the
// program's folder; tests set their own (an empty list restores the default).
std::vector<const CResourceBundle*> ProjectLanguageBundles();
void SetProjectLanguageBundles(std::vector<const CResourceBundle*> bundles);

// The type text as this program names it: a base type or old type name given
// in any language becomes the text of the language in use.
std::string CanonicalBaseType(std::string_view type);

}  // namespace fw
