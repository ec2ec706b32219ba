// A toolbar's saved settings live in a per-user file anyone with the user's
// rights may edit or break: what comes back must fit the bar, and a save
// that did not reach the file must say so.
#include <gtest/gtest.h>

#include <fstream>

#include "gui_helpers.h"
#include "platform/gui/framewnd.h"
#include "platform/profile.h"
#include "tests/common/test_util.h"
#include "toolkit/cooltoolbar.h"

namespace {

const char* const kScript = R"(
STRINGTABLE
BEGIN
    101, "New\nNew project"
    102, "Open\nOpen a project"
    103, "Save"
    104, "Load\nLoad the configuration"
END
)";

class DamagedBarState : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_bundle.ok()) << m_bundle.error();
    ASSERT_TRUE(m_owner.Create("", "", WS_VISIBLE, CRect(0, 0, 600, 200), nullptr, 0));
    ASSERT_TRUE(m_profile.OpenFile(m_dir.file("profile.ini")));
    fw::SetAppProfile(&m_profile);
    CCoolToolBar::ResetCustomButtonTypes();
  }
  void TearDown() override {
    fw::SetAppProfile(nullptr);
    fwtest::Drain();
  }
  void Make(CCoolToolBar& bar) {
    ASSERT_TRUE(bar.CreateEx(&m_owner, TBSTYLE_FLAT,
                             WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_TOOLTIPS));
    const UINT ids[] = {101, 0, 102, 103};
    ASSERT_TRUE(bar.SetButtons(ids, 4));
    bar.SetSizes(CSize(24, 22), CSize(16, 16));
    bar.SetCustomizeCommands({101, 102, 103, 104});
    fwtest::Drain();
  }
  static std::vector<int> Ids(CCoolToolBar& bar) {
    std::vector<int> out;
    for (int i = 0; i < bar.GetCount(); ++i) out.push_back(static_cast<int>(bar.GetItemID(i)));
    return out;
  }

  fwtest::ScopedBundle m_bundle{kScript};
  fw::test::TempDir m_dir;
  fw::CProfile m_profile;
  CWnd m_owner;
};

TEST_F(DamagedBarState, SizesAreHeldToWhatTheBarCanShow) {
  CCoolToolBar bar;
  Make(bar);
  ASSERT_TRUE(bar.SaveBarState("Bars", "Main", true));
  const CSize normal = bar.CalcFixedLayout(false, true);
  CRect button;
  bar.GetItemRect(0, &button);

  m_profile.WriteProfileInt("Bars_Main", "MinButtonsWidth", -2);
  m_profile.WriteProfileInt("Bars_Main", "MaxButtonsWidth", 70000);
  m_profile.WriteProfileInt("Bars_Main", "Indent", 1000000);
  m_profile.WriteProfileInt("Bars_Main", "TextRows", 400);
  m_profile.WriteProfileInt("Bars_Main", "TextType", 9);
  m_profile.WriteProfileInt("Bars_Main", "HotTextColor", -5);
  const COLORREF hot = bar.m_crHotText;
  ASSERT_TRUE(bar.LoadBarState("Bars", "Main", true));
  fwtest::Drain();

  EXPECT_EQ(bar.m_nMinButtonsWidth, 0);
  EXPECT_EQ(bar.m_nMaxButtonsWidth, kToolBarMaxButtonWidth);
  EXPECT_EQ(bar.m_nIndent, kToolBarMaxIndent);
  EXPECT_EQ(bar.GetTextRows(), kToolBarMaxTextRows);
  EXPECT_EQ(bar.GetTextType(), 3);
  EXPECT_EQ(bar.m_crHotText, hot);
  // Nothing grows past the control's own bounds.
  CRect after;
  bar.GetItemRect(0, &after);
  EXPECT_LE(after.Width(), kToolBarMaxButtonWidth);
  EXPECT_LE(bar.CalcFixedLayout(false, true).cx, normal.cx + kToolBarMaxIndent);

  // What is saved back is the bounded value, not the damaged one.
  ASSERT_TRUE(bar.SaveBarState("Bars", "Main", true));
  EXPECT_EQ(m_profile.GetProfileInt("Bars_Main", "Indent", -1), kToolBarMaxIndent);
  EXPECT_EQ(m_profile.GetProfileInt("Bars_Main", "MinButtonsWidth", -1), 0);

  // A button width the control is sent directly is held the same way.
  bar.SendMessage(TB_SETBUTTONWIDTH, 0, MAKELPARAM(0xFFFE, 0xFFFF));
  bar.GetItemRect(0, &after);
  EXPECT_LE(after.Width(), kToolBarMaxButtonWidth);
}

TEST_F(DamagedBarState, ASavedOrderMayOnlyRearrangeTheBarsOwnCommands) {
  CCoolToolBar bar;
  Make(bar);
  bar.SetCustomizable(true, true);
  ASSERT_TRUE(bar.SaveBarState("Bars", "Main", false));

  // A command customisation offers may come in; one the bar never had may not.
  auto order = [](std::initializer_list<int> ids) {
    std::vector<TBBUTTON> buttons;
    for (int id : ids) {
      TBBUTTON b;
      b.idCommand = id;
      b.iBitmap = id == 0 ? 8 : 0;
      b.fsStyle = id == 0 ? TBSTYLE_SEP : TBSTYLE_BUTTON;
      b.fsState = TBSTATE_ENABLED;
      buttons.push_back(b);
    }
    return fw::SaveToolBarButtons(buttons);
  };
  m_profile.WriteProfileBinary("Bars", "Main", order({103, 0, 104, 101}));
  std::string error;
  ASSERT_TRUE(bar.LoadBarState("Bars", "Main", false, &error)) << error;
  EXPECT_EQ(Ids(bar), (std::vector<int>{103, 0, 104, 101}));

  for (auto spoilt : {order({101, 57600, 102}), order({101, 0, 102, 40001})}) {
    m_profile.WriteProfileBinary("Bars", "Main", spoilt);
    error.clear();
    EXPECT_FALSE(bar.LoadBarState("Bars", "Main", false, &error));
    EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
    EXPECT_EQ(Ids(bar), (std::vector<int>{103, 0, 104, 101}));
  }
}

TEST_F(DamagedBarState, ASaveThatWroteNothingIsNoSuccess) {
  // The profile's folder is taken by a file: no write can reach the disk.
  { std::ofstream(m_dir.file("blocked")) << "x"; }
  fw::CProfile blocked;
  (void)blocked.OpenFile(m_dir.file("blocked/profile.ini"));
  fw::SetAppProfile(&blocked);
  CCoolToolBar bar;
  Make(bar);
  EXPECT_FALSE(bar.SaveBarState("Bars", "Main", true));  // not customizable
  bar.SetCustomizable(true, true);
  EXPECT_FALSE(bar.SaveBarState("Bars", "Main", false));
  // The same bar saves once the profile can be written.
  fw::SetAppProfile(&m_profile);
  EXPECT_TRUE(bar.SaveBarState("Bars", "Main", true));
}

}  // namespace
