#include "tools/projectdocument.h"

#include <algorithm>
#include <cctype>

#include "platform/dynlib.h"
#include "platform/text.h"
#include "switch/switchconfig.h"
#include "switch/switchconfigstore.h"
#include "switch/switchentry.h"

namespace fw {

bool IsValidMacSuffix(std::string_view text) {
  if (text.size() != 8 || text[2] != ':' || text[5] != ':') return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i == 2 || i == 5) continue;
    if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
  }
  return true;
}

std::string ProjectsFolder() {
  return ProgramFolder() + "/Projects";
}

std::string ProjectStartFolder(const std::string& projectPath) {
  const std::size_t slash = projectPath.find_last_of('/');
  if (slash == std::string::npos) return ProjectsFolder();
  return slash == 0 ? std::string("/") : projectPath.substr(0, slash);
}

std::string NormalizeItemName(std::string_view name, bool* cut, bool* hadCommas) {
  std::string clean = CleanItemName(name);
  // Cut by characters, never inside one.
  std::size_t i = 0;
  int chars = 0;
  while (i < clean.size() && chars < kMaxItemNameChars) {
    i += std::min(Utf8SequenceLength(static_cast<unsigned char>(clean[i])), clean.size() - i);
    ++chars;
  }
  const bool wasCut = i < clean.size();
  clean.resize(i);
  std::string out;
  bool commas = false;
  for (char c : clean) {
    if (c == ',')
      commas = true;
    else
      out += c;
  }
  if (cut) *cut = wasCut;
  if (hadCommas) *hadCommas = commas;
  // Removing the commas may leave blanks or quotes at the ends.
  return CleanItemName(out);
}

}  // namespace fw

ConfigProblem ConfigProblemOf(const CSwitchConfigStore& store, const CSwitchEntry& entry) {
  const std::string& name = entry.GetConfig().GetName();
  if (name.empty()) return kConfigNotAssigned;
  const CSwitchConfig* config = store.GetAt(store.FindIndexByName(name));
  if (!config) return kConfigNotInProject;
  return entry.IsCompatible(*config) ? kConfigFine : kConfigIncompatible;
}
