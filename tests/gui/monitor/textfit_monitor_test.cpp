// The status monitor's list holds its headings and every MAC address whole
// in each language.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <filesystem>
#include <fstream>

#include "monitor_fixture.h"
#include "textfit_check.h"

namespace fwtest {
namespace {

using MonitorTextFit = MonitorTest;

TEST_F(MonitorTextFit, TheListHoldsItsHeadingsAndAddressesInEveryLanguage) {
  AddSwitch(0x01, "North");
  AddSwitch(0xBC, "South", {"veth1"});
  for (const char* language : {"english", "german", "french"}) {
    std::filesystem::create_directories(m_dir.file("config/ZOLVEX"));
    std::ofstream(m_dir.file("config/ZOLVEX/zvinfo.ini"))
        << "[fenwardle]\nlanguage=" << language << "\n";
    ASSERT_TRUE(Start()) << language;
    ASSERT_EQ(Grid().RowCount(), 2) << language;
    std::vector<std::string> cut;
    CheckGrid(Grid(), &cut);
    // The window opens wide enough for the last column, as far as the screen allows.
    CRect last;
    ASSERT_EQ(Grid().GetCellRectangle(CMonitorSwitchGrid::kColumns - 1, -1, last), kGridOk);
    EXPECT_LE(last.right, Grid().GetCellAreaWindow()->width()) << language;
    EXPECT_LE(Frame()->widget()->width(),
              QGuiApplication::primaryScreen()->availableSize().width());
    EXPECT_TRUE(cut.empty()) << language << ":" << fwtest::Listed(cut);
    Stop();
  }
}

}  // namespace
}  // namespace fwtest
