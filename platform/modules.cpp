#include "platform/modules.h"

#include <map>
#include <mutex>
#include <vector>

#include "platform/dynlib.h"

namespace fw {
namespace {

struct Registry {
  std::mutex mutex;
  std::map<std::string, CModule, std::less<>> modules;
  // Program scripts parsed here; kept for the process, since module handles
  // handed out earlier may still point at them.
  std::vector<std::unique_ptr<CResourceBundle>> owned;
  std::string program;
};

Registry& Modules() {
  static Registry r;
  return r;
}

std::string_view FileName(std::string_view path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool RegisterProgramModule(std::string_view name, std::string_view script, std::string* error) {
  std::string parseError;
  auto bundle = CResourceBundle::Parse(script, &parseError);
  if (!bundle) {
    if (error) *error += std::string(name) + ": " + parseError + "\n";
    return false;
  }
  Registry& r = Modules();
  std::lock_guard lock(r.mutex);
  r.modules[std::string(name)] = CModule{std::string(name), bundle.get()};
  r.owned.push_back(std::move(bundle));
  r.program = std::string(name);
  return true;
}

std::string ProgramModuleName() {
  Registry& r = Modules();
  std::lock_guard lock(r.mutex);
  return r.program;
}

void RegisterModule(std::string_view name, const CResourceBundle* bundle) {
  Registry& r = Modules();
  std::lock_guard lock(r.mutex);
  const std::string key(FileName(name));
  r.modules[key] = CModule{key, bundle};
}

HMODULE GetModuleHandle(std::string_view name) {
  Registry& r = Modules();
  std::lock_guard lock(r.mutex);
  auto it = r.modules.find(FileName(name));
  return it == r.modules.end() ? nullptr : &it->second;
}

ModuleData ReadModuleResources(const std::string& file, std::unique_ptr<CResourceBundle>* bundle) {
  if (file.empty()) return ModuleData::kNotLoadable;
  std::vector<std::string> candidates;
  if (file.find('/') == std::string::npos) candidates.push_back(ProgramFolder() + "/" + file);
  candidates.push_back(file);
  CDynLib lib;
  if (!lib.Open(candidates)) return ModuleData::kNotLoadable;
  using ScriptFn = const char* (*)(std::size_t*);
  auto fn = lib.Function<ScriptFn>(kResourceScriptSymbol);
  if (!fn) return ModuleData::kNoResources;
  std::size_t size = 0;
  const char* data = fn(&size);
  std::string error;
  auto parsed = CResourceBundle::Parse(std::string_view(data, size), &error);
  if (!parsed) return ModuleData::kNoResources;
  *bundle = std::move(parsed);
  return ModuleData::kRead;
}

}  // namespace fw
