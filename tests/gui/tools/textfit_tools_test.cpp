// Texts the tool dialogs set when they run (image buttons with icons, a
// failure in bold) fit in every language, as the template's texts do.
#include <gtest/gtest.h>

#include "sheet_test_util.h"
#include "textfit_check.h"
#include "tools/copycfgdlg.h"
#include "tools/findswitchesdlg.h"
#include "tools/switchstatusdlg.h"
#include "tools_fixture.h"

namespace {

using fwtest::WaitFor;

class ToolTextFit : public fwtest::ToolsTest {
 protected:
  ToolTextFit() { AddDevice("veth0", "Segment A", 0xA0); }
};

TEST_F(ToolTextFit, FindAllSwitchesShowsItsButtonsWhole) {
  fwtest::InEachLanguage([&](const char* language) {
    fwtest::CFakeToolsDocument doc;
    CFindSwitchesDlg dlg(nullptr, &doc);
    ASSERT_TRUE(dlg.Create(CFindSwitchesDlg::IDD));
    dlg.ShowWindow(SW_SHOW);
    ASSERT_TRUE(WaitFor([&] { return !dlg.Searching(); }, 5000));
    const auto cut = fwtest::TextsThatDoNotFit(dlg.widget());
    EXPECT_TRUE(cut.empty()) << language << ":" << fwtest::Listed(cut);
    (void)dlg.DestroyWindow();
  });
}

TEST_F(ToolTextFit, SwitchStatusShowsAFailureInBoldOnOneLine) {
  AddSwitch(0x07, "Line 4", {"veth0"});
  fwtest::InEachLanguage([&](const char* language) {
    CSwitchStatusDlg dlg;
    dlg.m_strName = "Line 4";
    dlg.m_strModel = "QV-9KP-1";
    dlg.m_strMac = MacText(0x07);
    ASSERT_TRUE(dlg.Create(CSwitchStatusDlg::IDD));
    dlg.ShowWindow(SW_SHOW);
    // What the dialog shows when the switch stops answering.
    dlg.CommStatic().SetText(LoadResString(IDS_COMMUNICATIONS_FAILED));
    dlg.CommStatic().SetBold(true);
    const auto cut = fwtest::TextsThatDoNotFit(dlg.widget());
    EXPECT_TRUE(cut.empty()) << language << ":" << fwtest::Listed(cut);
    (void)dlg.DestroyWindow();
  });
}

TEST_F(ToolTextFit, CopyConfigurationShowsItsLabelsAndButtonsWhole) {
  fwtest::InEachLanguage([&](const char* language) {
    CCopyCfgDlg dlg(nullptr, nullptr);
    ASSERT_TRUE(dlg.Create(CCopyCfgDlg::IDD));
    dlg.ShowWindow(SW_SHOW);
    const auto cut = fwtest::TextsThatDoNotFit(dlg.widget());
    EXPECT_TRUE(cut.empty()) << language << ":" << fwtest::Listed(cut);
    (void)dlg.DestroyWindow();
  });
}

}  // namespace
