// The main window's lists hold their headings and texts in every language:
// a heading that wraps gets the height of its lines.
#include <gtest/gtest.h>

#include "shell_fixture.h"
#include "textfit_check.h"

namespace fwtest {
namespace {

using AppTextFit = ShellTest;

TEST_F(AppTextFit, BothListsHoldTheirHeadingsInEveryLanguage) {
  for (const char* language : {"english", "german", "french"}) {
    Saved()->WriteProfileString("settings", "language", language);
    ASSERT_TRUE(Start()) << language;
    std::vector<std::string> cut;
    fwtest::CheckGrid(Switches(), &cut);
    fwtest::CheckGrid(Configs(), &cut);
    EXPECT_TRUE(cut.empty()) << language << ":" << fwtest::Listed(cut);
    Stop();
  }
}

}  // namespace
}  // namespace fwtest
