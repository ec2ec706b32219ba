// A program folder of a test's own for the whole-program tests: the real
// language libraries linked in, the program folder pointed at it, and the
// settings and instance locks kept in folders below it ("config", and "run"
// with the owner-only mode a runtime folder needs).
#pragma once

#include <filesystem>
#include <string>

#include "platform/dynlib.h"
#include "tests/common/test_util.h"

namespace fwtest {

inline void UseTestProgramFolder(const fw::test::TempDir& dir, fw::test::ScopedEnv& env) {
  namespace fs = std::filesystem;
  const std::string real = fw::ProgramFolder();
  for (const char* lib : {"libfenwardle_eng.so", "libfenwardle_de.so", "libfenwardle_fra.so"}) {
    std::error_code ec;
    fs::create_symlink(real + "/" + lib, dir.file(lib), ec);
  }
  fs::create_directories(dir.file("run"));
  fs::permissions(dir.file("run"), fs::perms::owner_all);
  fw::OverrideProgramFolder(dir.path());
  env.Set("XDG_CONFIG_HOME", dir.file("config"));
  env.Set("XDG_RUNTIME_DIR", dir.file("run"));
}

}  // namespace fwtest
