#include "switch/firmware_checks.h"

namespace fw {

std::string FirmwareFileBaseName(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  if (slash != std::string_view::npos) path.remove_prefix(slash + 1);
  return std::string(path);
}

std::string FirmwarePortWord(std::string_view lower_name) {
  for (const char* word : {"5_port", "6_port", "gig", "9_port"})
    if (lower_name.find(word) != std::string_view::npos) return word;
  return {};
}

std::string SwitchModelCode(std::string_view part_number) {
  for (const char* code : {"5KP", "6KP", "9KP", "9KX"})
    if (part_number.find(code) != std::string_view::npos) return code;
  return {};
}

bool FirmwareFitsModel(std::string_view word, std::string_view code) {
  return (word == "5_port" && code == "5KP") || (word == "6_port" && code == "6KP") ||
         (word == "9_port" && code == "9KP") || (word == "gig" && code == "9KX");
}

bool FirmwareFitsRevision(std::string_view revision, std::string_view lower_name) {
  const bool rev02 = revision.substr(0, 2) == "02";
  return lower_name.find(rev02 ? "_v01" : "_v02") == std::string_view::npos;
}

}  // namespace fw
