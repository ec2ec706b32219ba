// The project's own modules, as the version reader finds them: the running
// program (registered at start-up with its own resource script) and every
// language library it loaded. Other libraries carry no resources of ours.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/resourcebundle.h"

namespace fw {

// The exported function through which a language library hands out its script.
inline constexpr const char* kResourceScriptSymbol = "fenwardle_resource_script";

struct CModule {
  std::string name;                         // "fenwardle", "libfenwardle_de.so"
  const CResourceBundle* bundle = nullptr;  // lives until the process ends
};
using HMODULE = const CModule*;

// Registers the running program under its name with its own resource script.
// Registering a name again replaces the earlier entry (tests build programs
// more than once). False with a message naming the line when the script is bad.
[[nodiscard]] bool RegisterProgramModule(std::string_view name, std::string_view script,
                                         std::string* error = nullptr);
// The name the program registered itself under; empty before that.
std::string ProgramModuleName();
// Adds a loaded module whose bundle lives until the process ends.
void RegisterModule(std::string_view name, const CResourceBundle* bundle);
// The loaded module of that name (the file name of a path counts), else nullptr.
HMODULE GetModuleHandle(std::string_view name);

enum class ModuleData { kNotLoadable, kNoResources, kRead };
// Reads the resources of a module file without keeping it loaded: a plain
// name is looked for in the program's folder first, then where the system
// looks. kNoResources for a library that is not one of ours.
[[nodiscard]] ModuleData ReadModuleResources(const std::string& file,
                                             std::unique_ptr<CResourceBundle>* bundle);

}  // namespace fw
