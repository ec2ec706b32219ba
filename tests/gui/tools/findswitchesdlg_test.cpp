#include "tools/findswitchesdlg.h"

#include <QTest>
#include <map>
#include <set>

#include "platform/format.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "tools/searchingdlg.h"
#include "tools_fixture.h"

namespace {

using fwtest::WaitFor;

class FindSwitches : public fwtest::ToolsTest {
 protected:
  FindSwitches() {
    AddDevice("veth0", "Segment A", 0xA0);
    AddDevice("veth1", "Segment B", 0xA1);
  }
  // Runs the dialog modelessly until its first search has filled the list.
  void Open(CFindSwitchesDlg& dlg) {
    ASSERT_TRUE(dlg.Create(CFindSwitchesDlg::IDD));
    dlg.ShowWindow(SW_SHOW);
    ASSERT_TRUE(WaitFor([&] { return m_searched(dlg); }, 5000));
  }
  std::function<bool(CFindSwitchesDlg&)> m_searched = [this](CFindSwitchesDlg& dlg) {
    return sawSearch && !dlg.Searching();
  };
  void Click(CFindSwitchesDlg& dlg, int id) {
    QTest::mouseClick(dlg.GetDlgItem(id)->widget(), Qt::LeftButton);
  }
  bool sawSearch = false;
};

TEST_F(FindSwitches, ListsEverySwitchAndAddsTheSelectedOnes) {
  AddSwitch(0x01, "Alpha", {"veth0"});
  AddSwitch(0x02, "Bravo", {"veth1"});
  auto& managed = AddSwitch(0x03, "Backbone", {"veth1"});
  managed.eerom()[281] = 3;  // a managed unit: found, never configurable here
  capture.onFind = [this] { sawSearch = true; };

  fwtest::CFakeToolsDocument doc;
  CSwitchEntry existing;
  existing.SetMac("02:4B:33:99:00:01");
  existing.SetName("BRAVO");
  ASSERT_GE(doc.switches.Add(existing), 0);

  CFindSwitchesDlg dlg(nullptr, &doc);
  Open(dlg);
  EXPECT_EQ(dlg.GetWindowText(), "Find All Switches");
  CListCtrl& list = dlg.List();
  ASSERT_EQ(list.GetItemCount(), 3);
  std::map<std::string, std::vector<std::string>> rows;
  for (int r = 0; r < 3; ++r)
    rows[list.GetItemText(r, 0)] = {list.GetItemText(r, 1), list.GetItemText(r, 2),
                                    list.GetItemText(r, 3)};
  EXPECT_EQ(rows[MacText(1)], (std::vector<std::string>{"Alpha", "QV-9KP-1", "0104 build 7"}));
  EXPECT_EQ(rows[MacText(2)][0], "Bravo");
  EXPECT_EQ(rows[MacText(3)][1], "Managed");
  EXPECT_TRUE(messages->messages().empty());

  // Nothing selected: the user is told to select.
  Click(dlg, CFindSwitchesDlg::kAddSelectedId);
  ASSERT_EQ(messages->count(), 1u);
  EXPECT_EQ(messages->messages()[0].text,
            "Please select one or more switches to be added to the project.");
  messages->clear();

  for (int r = 0; r < 3; ++r) list.SetItemState(r, LVIS_SELECTED, LVIS_SELECTED);
  Click(dlg, CFindSwitchesDlg::kAddSelectedId);
  EXPECT_TRUE(dlg.IsWindowVisible());  // stays open
  // Alpha as found; Bravo under the project's name rule; the managed unit refused, by name.
  ASSERT_EQ(doc.switches.GetCount(), 3);
  std::set<std::string> names;
  for (int i = doc.switches.First(); i >= 0; i = doc.switches.Next(i))
    names.insert(doc.switches.GetAt(i)->GetName());
  EXPECT_TRUE(names.count("Alpha"));
  EXPECT_TRUE(names.count("Bravo-10:00:02"));
  const auto texts = MessageTexts();
  ASSERT_EQ(texts.size(), 2u);
  bool refusalNamed = false;
  for (const auto& t : texts)
    refusalNamed |= t.find("Backbone") != std::string::npos &&
                    t.find(MacText(3)) != std::string::npos &&
                    t.find("not configurable") != std::string::npos;
  EXPECT_TRUE(refusalNamed);

  // Adding again: the project refuses the MAC addresses it already has.
  messages->clear();
  Click(dlg, CFindSwitchesDlg::kAddSelectedId);
  EXPECT_EQ(doc.switches.GetCount(), 3);
  EXPECT_EQ(messages->count(), 3u);
}

TEST_F(FindSwitches, CannotBeClosedWhileSearchingAndReportsErrorsOnce) {
  AddSwitch(0x01, "Alpha", {"veth0"});
  const std::string reason = FormatRes(IDS_CAPTURE_NOT_PERMITTED, "veth1");
  capture.locked.FailOpen("veth1", reason);
  CFindSwitchesDlg* seen = nullptr;
  bool closedDuring = true;
  bool buttonsDisabled = false;
  bool searchingShown = false;
  capture.onFind = [&] {
    sawSearch = true;
    if (!seen) return;
    searchingShown = seen->SearchingWindow() && seen->SearchingWindow()->IsWindowVisible();
    buttonsDisabled = !seen->GetDlgItem(IDCANCEL)->IsWindowEnabled() &&
                      !seen->GetDlgItem(CFindSwitchesDlg::kSearchAgainId)->IsWindowEnabled() &&
                      !seen->GetDlgItem(CFindSwitchesDlg::kAddSelectedId)->IsWindowEnabled();
    // The close box, Esc and a second search all come to nothing now.
    seen->SendMessage(WM_CLOSE);
    QTest::keyClick(seen->widget(), Qt::Key_Escape);
    seen->SendMessage(WM_COMMAND, MAKEWPARAM(CFindSwitchesDlg::kSearchAgainId, BN_CLICKED));
    closedDuring = seen->ended();
  };
  CFindSwitchesDlg dlg(nullptr, nullptr);
  seen = &dlg;
  Open(dlg);
  EXPECT_TRUE(searchingShown);
  EXPECT_TRUE(buttonsDisabled);
  EXPECT_FALSE(closedDuring);
  EXPECT_EQ(dlg.SearchingWindow(), nullptr);
  EXPECT_EQ(dlg.List().GetItemCount(), 1);
  // The device that failed is reported once, after the list was filled.
  ASSERT_EQ(messages->count(), 1u);
  EXPECT_NE(messages->messages()[0].text.find("Failed to open Segment B\n" + reason),
            std::string::npos)
      << messages->messages()[0].text;

  // Without a document nothing is added and nothing is said.
  messages->clear();
  dlg.List().SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
  Click(dlg, CFindSwitchesDlg::kAddSelectedId);
  EXPECT_EQ(messages->count(), 0u);

  Click(dlg, CFindSwitchesDlg::kHelpId);
  EXPECT_EQ(HelpContexts(), (std::vector<unsigned>{0x2008D}));

  // After the search the close box works.
  seen = nullptr;
  dlg.SendMessage(WM_CLOSE);
  EXPECT_TRUE(dlg.ended());
  EXPECT_EQ(dlg.result(), IDCANCEL);
}

TEST_F(FindSwitches, SearchAgainFindsWhatChangedAndNothingIsQuiet) {
  capture.onFind = [this] { sawSearch = true; };
  CFindSwitchesDlg dlg(nullptr, nullptr);
  Open(dlg);
  EXPECT_EQ(dlg.List().GetItemCount(), 0);
  EXPECT_EQ(messages->count(), 0u);  // nothing found, nothing wrong: no message
  AddSwitch(0x05, "Echo", {"veth1"});
  sawSearch = false;
  Click(dlg, CFindSwitchesDlg::kSearchAgainId);
  ASSERT_TRUE(WaitFor([&] { return sawSearch && !dlg.Searching(); }));
  ASSERT_EQ(dlg.List().GetItemCount(), 1);
  EXPECT_EQ(dlg.List().GetItemText(0, 1), "Echo");
}

}  // namespace
