#include "platform/language.h"

#include <cstdio>
#include <map>
#include <memory>
#include <mutex>

#include "platform/dynlib.h"
#include "platform/format.h"
#include "platform/message.h"
#include "platform/modules.h"
#include "platform/text.h"
#include "res/string_ids.h"

namespace fw {

int LanguageIndex(std::string_view language) {
  static constexpr std::string_view kNames[] = {"english", "german", "french"};
  for (int i = 0; i < 3; ++i)
    if (EqualsNoCase(language, kNames[i])) return i;
  return -1;
}

LanguageLibraryNames ProgramLanguageLibraryNames() {
  const CResourceBundle& own = EmbeddedEnglish();
  auto text = [&](unsigned id) {
    const std::string* s = own.FindString(id);
    return s ? *s : std::string();
  };
  return {text(IDS_LANGLIB_ENGLISH), text(IDS_LANGLIB_GERMAN), text(IDS_LANGLIB_FRENCH)};
}

LanguageLoad LoadLanguageLibrary(std::string_view language, const LanguageLibraryNames& names,
                                 const std::string& folder) {
  LanguageLoad r;
  const int index = LanguageIndex(language);
  if (index < 0) {
    r.caption = "Installation Error";
    r.message = "Invalid language selection found. Please re-install.";
    return r;
  }
  const std::string& file = names[static_cast<std::size_t>(index)];
  auto fail = [&](std::string detail) {
    r.caption = "Installation Error";
    r.message = FormatText("Unable to locate language/resource dll <%s>. Please re-install.", file);
    r.detail = std::move(detail);
    return r;
  };
  // Only a plain file name is accepted: the library comes from the program's own folder.
  if (file.empty() || file.find('/') != std::string::npos) return fail("bad library name");
  // Each library is loaded once per process and its bundle kept until the end.
  static std::mutex mutex;
  static std::map<std::string, std::unique_ptr<CResourceBundle>> loaded;
  const std::string path = folder + "/" + file;
  std::lock_guard lock(mutex);
  if (auto it = loaded.find(path); it != loaded.end()) {
    r.bundle = it->second.get();
    return r;
  }
  CDynLib lib;
  if (!lib.Open(path, &r.detail)) return fail(r.detail);
  using ScriptFn = const char* (*)(std::size_t*);
  auto fn = lib.Function<ScriptFn>(kResourceScriptSymbol);
  if (!fn) return fail("the library holds no resources");
  std::size_t size = 0;
  const char* data = fn(&size);
  std::string error;
  auto bundle = CResourceBundle::Parse(std::string_view(data, size), &error);
  if (!bundle) return fail(error);
  lib.Leak();
  r.bundle = bundle.get();
  // The library is now one of the program's modules, with its version block.
  RegisterModule(file, r.bundle);
  loaded.emplace(path, std::move(bundle));
  return r;
}

bool UseLanguageLibrary(std::string_view language, const LanguageLibraryNames& names,
                        const std::string& folder) {
  LanguageLoad load = LoadLanguageLibrary(language, names, folder);
  if (!load.bundle) {
    if (!load.detail.empty()) std::fprintf(stderr, "%s\n", load.detail.c_str());
    MessageBoxCaption(load.message, load.caption, MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  SetCurrentResources(load.bundle);
  return true;
}

}  // namespace fw
