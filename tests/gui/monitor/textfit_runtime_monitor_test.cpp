// The status monitor's own dialogs hold the texts they fill in while they
// open (its version values, the support addresses) in each language.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "monitor_fixture.h"
#include "shell/aboutdlg.h"
#include "shell/productsupportdlg.h"
#include "shell/startup.h"
#include "textfit_check.h"

namespace fwtest {
namespace {

using MonitorRunTimeTextFit = MonitorTest;

TEST_F(MonitorRunTimeTextFit, AboutAndSupportHoldTheirValuesInEveryLanguage) {
  for (const char* language : {"english", "german", "french"}) {
    std::filesystem::create_directories(m_dir.file("config/ZOLVEX"));
    std::ofstream(m_dir.file("config/ZOLVEX/zvinfo.ini"))
        << "[fenwardle]\nlanguage=" << language << "\n";
    ASSERT_TRUE(Start()) << language;
    std::vector<std::string> cut;
    auto check = [&](CDialog& dlg, unsigned idd) {
      ASSERT_TRUE(dlg.Create(idd)) << idd;
      dlg.ShowWindow(SW_SHOW);
      for (const std::string& c : TextsThatDoNotFit(dlg.widget()))
        cut.push_back("dialog " + std::to_string(idd) + ": " + c);
      (void)dlg.DestroyWindow();
    };
    CAboutDlg about;
    check(about, CAboutDlg::IDD);
    CProductSupportDlg maker({}, true);
    check(maker, CProductSupportDlg::IDD);
    COemSupportDlg reseller(m_dir.path() + "/", m_dir.file("none.customize"),
                            fw::ProgramCompanyName());
    check(reseller, COemSupportDlg::IDD);
    EXPECT_TRUE(cut.empty()) << language << ":" << fwtest::Listed(cut);
    Stop();
  }
}

}  // namespace
}  // namespace fwtest
