// Shared set-up for the switch model and project file tests.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "platform/resourcebundle.h"
#include "switch/projectfile.h"
#include "switch/switchconfigstore.h"
#include "tests/common/test_util.h"

namespace fwtest {

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline void WriteText(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ResDir() {
  return std::string(FW_TEST_DATA) + "/../../../../res";
}

// The bundle of one shipped language, parsed from the source tree; kept for the process.
inline const fw::CResourceBundle* LanguageBundle(const std::string& lang) {
  static std::map<std::string, std::unique_ptr<fw::CResourceBundle>> cache;
  auto& b = cache[lang];
  if (!b) {
    std::string error;
    std::string script;
    for (const char* f : {"model.rc", "projectfile.rc", "sheet.rc", "strings.rc"})
      script += ReadText(ResDir() + "/" + lang + "/" + f) + "\n";
    b = fw::CResourceBundle::Parse(script, &error);
    EXPECT_TRUE(b) << error;
  }
  return b.get();
}

using fw::test::TempDir;

// Every test starts with English texts, no customisation file and a fresh
// offered-models list; the three shipped languages answer for project files.
class ModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fw::SetCurrentResources(nullptr);
    CSwitchConfigStore::SetCustomizeFilePath(m_dir.file("none.customize"));
    CSwitchConfigStore::ResetOfferedModels();
    fw::SetProjectLanguageBundles(
        {LanguageBundle("eng"), LanguageBundle("de"), LanguageBundle("fra")});
  }
  void TearDown() override {
    fw::SetCurrentResources(nullptr);
    fw::SetProjectLanguageBundles({});
    CSwitchConfigStore::SetCustomizeFilePath({});
    CSwitchConfigStore::ResetOfferedModels();
  }
  TempDir m_dir;
};

}  // namespace fwtest
