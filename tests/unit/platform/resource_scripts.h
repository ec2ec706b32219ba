// The resource scripts the source tree ships in one folder of res/, each
// parsed on its own, in the order of their names.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/resourcebundle.h"

namespace fwtest {

struct ParsedScript {
  std::string name;                             // "res/<folder>/<file>"
  std::unique_ptr<fw::CResourceBundle> bundle;  // null when the script does not parse
  std::string error;
};

inline std::vector<ParsedScript> ParseScripts(const std::string& folder) {
  std::vector<std::filesystem::path> paths;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::string(FW_RES_DIR) + "/" + folder))
    if (entry.path().extension() == ".rc") paths.push_back(entry.path());
  std::sort(paths.begin(), paths.end());
  std::vector<ParsedScript> scripts;
  for (const auto& path : paths) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    ParsedScript& s = scripts.emplace_back();
    s.name = "res/" + folder + "/" + path.filename().string();
    s.bundle = fw::CResourceBundle::Parse(text.str(), &s.error);
  }
  return scripts;
}

}  // namespace fwtest
