// Shared set-up of the configuration sheet tests: each test runs in the
// three languages the programs ship, with the language library as the
// running program would have it.
#pragma once

#include <gtest/gtest.h>

#include <QTimer>
#include <functional>
#include <string>

#include "gui_helpers.h"
#include "platform/dynlib.h"
#include "platform/language.h"
#include "platform/message.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "switch/projectfile.h"
#include "switch/switchconfig.h"
#include "switch/switchconfigstore.h"
#include "tests/common/languages.h"
#include "tests/common/test_util.h"

namespace fwtest {

// A test in the language of its parameter, with a recording message sink,
// no customisation file and a fresh list of offered models.
class InLanguage : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    fw::SetCurrentResources(LibraryBundle(GetParam()));
    CSwitchConfigStore::SetCustomizeFilePath(m_dir.file("none.customize"));
    CSwitchConfigStore::ResetOfferedModels();
    fw::SetProjectLanguageBundles(
        {LibraryBundle("english"), LibraryBundle("german"), LibraryBundle("french")});
  }
  void TearDown() override {
    Drain();
    fw::SetCurrentResources(nullptr);
    fw::SetProjectLanguageBundles({});
    CSwitchConfigStore::SetCustomizeFilePath({});
    CSwitchConfigStore::ResetOfferedModels();
  }

  // A configuration of base type 6000 + index, with its port count.
  static void MakeType(CSwitchConfig& cfg, unsigned typeId) {
    const std::string type = LoadResString(typeId);
    cfg.SetPortCount(CSwitchConfig::BaseTypePortCount(type));
    cfg.SetPartNumber(type);
  }

  fw::ScopedMessageSink m_sink;
  fw::test::TempDir m_dir;
};

inline std::string LanguageName(const ::testing::TestParamInfo<const char*>& info) {
  return info.param;
}

#define FW_IN_ALL_LANGUAGES(suite)                                                             \
  INSTANTIATE_TEST_SUITE_P(Languages, suite, ::testing::Values("english", "german", "french"), \
                           fwtest::LanguageName)

}  // namespace fwtest
