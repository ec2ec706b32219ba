#include "tools/netmonitordlg.h"

#include <QTest>
#include <thread>

#include "tools_fixture.h"

namespace {

using fwtest::WaitFor;

// Records the status dialog instead of running it, and what the worker did meanwhile.
class CRecordingMonitor : public CNetMonitorDlg {
 public:
  std::vector<std::string> opened;
  bool idleWhileOpen = false;
  int searchesWhileOpen = -1;

 protected:
  void RunStatusDialog(const std::string& mac, const std::string&, const std::string&) override {
    opened.push_back(mac);
    idleWhileOpen = Worker().Idle();
    const int before = Worker().searches();
    fwtest::WaitFor([] { return false; }, 100);
    searchesWhileOpen = Worker().searches() - before;
  }
};

class NetMonitor : public fwtest::ToolsTest {
 protected:
  NetMonitor() {
    AddDevice("veth0", "Segment A", 0xA0);
    AddDevice("veth1", "Segment B", 0xA1);
    a = &AddSwitch(0x21, "Alpha", {"veth0"});
    b = &AddSwitch(0x22, "Bravo", {"veth1"});
    for (auto* s : {a, b}) s->SetRingFlags(0x07 | 0x08 | 0x10 | 0x20);
  }
  void Open(CNetMonitorDlg& dlg) {
    ASSERT_TRUE(dlg.Create(CNetMonitorDlg::IDD));
    dlg.ShowWindow(SW_SHOW);
    dlg.StartMonitor();
  }
  // Changes to the segment wait until the worker has let go of it.
  template <typename Fn>
  void WhilePaused(CNetMonitorDlg& dlg, Fn change) {
    dlg.Worker().SetPaused(true);
    ASSERT_TRUE(WaitFor([&] { return dlg.Worker().Idle(); }));
    change();
    dlg.DrainInbox();
    (void)dlg.Worker().TakeEvents();  // nothing from before the change counts
    dlg.Worker().SetPaused(false);
  }
  static std::vector<std::string> Names(CNetMonitorDlg& dlg) {
    std::vector<std::string> names;
    for (const auto& e : dlg.Switches()) names.push_back(e->GetName());
    std::sort(names.begin(), names.end());
    return names;
  }
  static std::string OkOutputOf(CNetMonitorDlg& dlg, const std::string& name) {
    for (int r = 0; r < dlg.Grid().GetRowTotal(); ++r)
      if (dlg.Grid().CellText(CNetMonitorGrid::kNameCol, r) == name)
        return dlg.Grid().CellText(CNetMonitorGrid::kOkOutputCol, r);
    return "?";
  }
  fw::emu::CSwitchCore* a;
  fw::emu::CSwitchCore* b;
};

TEST_F(NetMonitor, ReportsSwitchesLostNewAndFaulty) {
  CRecordingMonitor dlg;
  Open(dlg);
  EXPECT_EQ(dlg.GetDlgItemText(CNetMonitorDlg::kStatusId), "Number of faults detected: 0");
  ASSERT_TRUE(WaitFor([&] { return dlg.Switches().size() == 2; }));
  EXPECT_EQ(Names(dlg), (std::vector<std::string>{"Alpha", "Bravo"}));
  EXPECT_EQ(dlg.Grid().GetRowTotal(), 2);
  EXPECT_EQ(dlg.Grid().CellText(CNetMonitorGrid::kMacCol, 0).size(), 8u);  // without the prefix
  ASSERT_TRUE(WaitFor([&] { return OkOutputOf(dlg, "Alpha") == "ON" && dlg.Faults() == 0; }));

  // Bravo's OK output drops: the status pass counts it and its row says OFF in red.
  WhilePaused(dlg, [&] { b->SetRingFlags(0x00 | 0x10); });
  ASSERT_TRUE(WaitFor([&] { return dlg.Faults() == 1; }));
  EXPECT_EQ(OkOutputOf(dlg, "Bravo"), "OFF");
  EXPECT_EQ(dlg.GetDlgItemText(CNetMonitorDlg::kStatusId), "Number of faults detected: 1");

  // A new switch appears, Bravo stops answering: it stays listed, as a fault.
  fw::emu::CSwitchCore* c = nullptr;
  WhilePaused(dlg, [&] {
    c = &AddSwitch(0x23, "Charlie", {"veth0"});
    c->SetRingFlags(0x0F);
    b->knobs().drop_all = true;
  });
  ASSERT_TRUE(WaitFor([&] { return Names(dlg).size() == 3; }));
  EXPECT_EQ(Names(dlg), (std::vector<std::string>{"Alpha", "Bravo", "Charlie"}));
  ASSERT_TRUE(WaitFor([&] { return OkOutputOf(dlg, "Charlie") == "ON"; }));
  EXPECT_EQ(OkOutputOf(dlg, "Bravo"), "NOT ANSWERING");
  EXPECT_EQ(dlg.Faults(), 1);

  // Bravo answers again, its output on.
  WhilePaused(dlg, [&] {
    b->knobs().drop_all = false;
    b->SetRingFlags(0x0F);
  });
  ASSERT_TRUE(WaitFor([&] { return dlg.Faults() == 0; }));
  EXPECT_EQ(OkOutputOf(dlg, "Bravo"), "ON");

  // A new firmware revision is a change too, not only a new name.
  WhilePaused(dlg, [&] { a->SetRevision("0200 new"); });
  ASSERT_TRUE(WaitFor([&] {
    for (const auto& e : dlg.Switches())
      if (e->GetName() == "Alpha") return e->GetFirmwareRevision() == "0200 new";
    return false;
  }));

  // A double click opens the status dialog with the worker at rest.
  dlg.OpenSwitch(0);
  ASSERT_EQ(dlg.opened.size(), 1u);
  EXPECT_TRUE(dlg.idleWhileOpen);
  EXPECT_EQ(dlg.searchesWhileOpen, 0);
  const int searches = dlg.Worker().searches();
  EXPECT_TRUE(WaitFor([&] { return dlg.Worker().searches() > searches; }));  // and it goes on

  const auto closeStart = std::chrono::steady_clock::now();
  QTest::mouseClick(dlg.GetDlgItem(IDCANCEL)->widget(), Qt::LeftButton);
  EXPECT_TRUE(dlg.ended());
  EXPECT_FALSE(dlg.Worker().Running());
  EXPECT_TRUE(dlg.Switches().empty());
  (void)closeStart;
  EXPECT_TRUE(messages->messages().empty());  // the worker never shows a message box
}

TEST_F(NetMonitor, LosingEverySwitchIsNeverNoFaults) {
  CNetMonitorDlg dlg;
  Open(dlg);
  ASSERT_TRUE(
      WaitFor([&] { return dlg.Switches().size() == 2 && OkOutputOf(dlg, "Bravo") == "ON"; }));
  EXPECT_EQ(dlg.Faults(), 0);

  WhilePaused(dlg, [&] {
    a->knobs().drop_all = true;
    b->knobs().drop_all = true;
  });
  ASSERT_TRUE(WaitFor([&] { return dlg.Faults() == 2; }));
  EXPECT_EQ(dlg.GetDlgItemText(CNetMonitorDlg::kStatusId), "Number of faults detected: 2");
  // Searches that hear nobody leave both listed and marked.
  const int searches = dlg.Worker().searches();
  ASSERT_TRUE(WaitFor([&] { return dlg.Worker().searches() > searches + 1; }));
  dlg.DrainInbox();
  EXPECT_EQ(dlg.Grid().GetRowTotal(), 2);
  EXPECT_EQ(OkOutputOf(dlg, "Alpha"), "NOT ANSWERING");
  EXPECT_EQ(OkOutputOf(dlg, "Bravo"), "NOT ANSWERING");
  EXPECT_TRUE(dlg.NotAnswering(MacText(0x21)));
  EXPECT_EQ(dlg.Faults(), 2);
  // The row of a switch that does not answer is drawn in red.
  for (int r = 0; r < 2; ++r) {
    CGridCellValue cell;
    (void)dlg.Grid().GetCell(CNetMonitorGrid::kOkOutputCol, r, cell);
    EXPECT_EQ(cell.GridCellGetTextColor(), CNetMonitorGrid::kOffColour);
  }

  // Alpha comes back.
  WhilePaused(dlg, [&] { a->knobs().drop_all = false; });
  ASSERT_TRUE(WaitFor([&] { return dlg.Faults() == 1; }));
  EXPECT_EQ(OkOutputOf(dlg, "Alpha"), "ON");
  EXPECT_FALSE(dlg.NotAnswering(MacText(0x21)));
  EXPECT_EQ(dlg.GetDlgItemText(CNetMonitorDlg::kStatusId), "Number of faults detected: 1");
}

TEST_F(NetMonitor, ASwitchOnTwoInterfacesIsNotListedAfreshAtEverySearch) {
  auto& d = AddSwitch(0x24, "Delta", {"veth0", "veth1"});
  d.SetRingFlags(0x10);  // its OK output is off
  CNetMonitorDlg dlg;
  Open(dlg);
  ASSERT_TRUE(WaitFor([&] { return OkOutputOf(dlg, "Delta") == "OFF"; }));
  std::vector<const CSwitchEntry*> listed;
  for (const auto& e : dlg.Switches()) listed.push_back(e.get());

  // Later searches hear the same switches: the list stays as it is, and the
  // faulty switch's OFF does not flip back to ON.
  const int searches = dlg.Worker().searches();
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(WaitFor([&] { return dlg.Worker().searches() > searches + i; }));
    dlg.DrainInbox();
    EXPECT_EQ(OkOutputOf(dlg, "Delta"), "OFF");
  }
  std::vector<const CSwitchEntry*> now;
  for (const auto& e : dlg.Switches()) now.push_back(e.get());
  EXPECT_EQ(now, listed);
  EXPECT_EQ(dlg.Faults(), 1);

  // The MAC column shows the maker's part as a label in front of the rest.
  CGridCellValue cell;
  (void)dlg.Grid().GetCell(CNetMonitorGrid::kMacCol, 0, cell);
  ASSERT_NE(cell.GridCellGetLabel(), nullptr);
  EXPECT_EQ(*cell.GridCellGetLabel(), "02:4B:33:");
  CNormalCellType* type = dlg.Grid().GetCellTypeObject(cell.GridCellGetCellType());
  ASSERT_NE(type, nullptr);
  EXPECT_EQ(type->GetName(), "MAC Prefix");
  EXPECT_EQ(cell.GridCellTextOrEmpty().size(), 8u);
}

TEST_F(NetMonitor, ErrorListKeepsEveryLine) {
  profile->WriteProfileInt("netmonitor", "max errs", 0);  // 0 or less: 200
  AddDevice("veth2", "Segment C", 0xA2);
  capture.locked.FailOpen("veth2");
  CNetMonitorDlg dlg;
  Open(dlg);
  EXPECT_EQ(dlg.MaxErrors(), 200);
  EXPECT_EQ(dlg.Tabs().GetItemText(1), "Errors");
  // The worker's search errors become lines of the list, not message boxes.
  ASSERT_TRUE(WaitFor([&] { return dlg.Errors().GetItemCount() > 0; }));
  EXPECT_NE(dlg.Errors().GetItemText(0, 0).find("Failed to open Segment C"), std::string::npos);
  EXPECT_TRUE(messages->messages().empty());
  dlg.Worker().SetPaused(true);
  ASSERT_TRUE(WaitFor([&] { return dlg.Worker().Idle(); }));
  dlg.DrainInbox();
  const int before = dlg.Errors().GetItemCount();

  // Every line counts: after an empty one too, and quotes are plain characters.
  dlg.AddError("first\n\nsecond `with, quote\nthird`\r\n");
  ASSERT_EQ(dlg.Errors().GetItemCount(), before + 3);
  const std::string second = dlg.Errors().GetItemText(before + 1, 0);
  EXPECT_NE(second.find(" : second `with, quote"), std::string::npos) << second;
  EXPECT_EQ(second.size(), std::string("hh:mm:ss : second `with, quote").size());
  EXPECT_NE(dlg.Errors().GetItemText(before + 2, 0).find(" : third`"), std::string::npos);
  EXPECT_EQ(dlg.Tabs().GetItemText(1), fw::FormatText("Errors (%d)", before + 3));

  // Texts from other threads are queued and kept in order.
  std::thread poster([&] {
    for (int i = 0; i < 5; ++i) dlg.PostError("posted " + std::to_string(i));
  });
  poster.join();
  dlg.DrainInbox();
  ASSERT_EQ(dlg.Errors().GetItemCount(), before + 8);
  EXPECT_NE(dlg.Errors().GetItemText(before + 7, 0).find("posted 4"), std::string::npos);

  // The tabs show the grid or the list.
  dlg.Tabs().SetCurSel(1);
  NMHDR hdr;
  hdr.idFrom = CNetMonitorDlg::kTabsId;
  hdr.code = TCN_SELCHANGE;
  dlg.SendMessage(WM_NOTIFY, CNetMonitorDlg::kTabsId, reinterpret_cast<LPARAM>(&hdr));
  EXPECT_TRUE(dlg.Errors().IsWindowVisible());
  EXPECT_FALSE(dlg.Grid().IsWindowVisible());
  dlg.Worker().SetPaused(false);
}

TEST_F(NetMonitor, OldestErrorsGoFirst) {
  profile->WriteProfileInt("netmonitor", "max errs", 4);
  CNetMonitorDlg dlg;
  ASSERT_TRUE(dlg.Create(CNetMonitorDlg::IDD));  // not started: only these lines
  dlg.AddError("one\ntwo\nthree");
  dlg.AddError("four\nfive\nsix");
  ASSERT_EQ(dlg.Errors().GetItemCount(), 4);
  EXPECT_NE(dlg.Errors().GetItemText(0, 0).find("three"), std::string::npos);
  EXPECT_NE(dlg.Errors().GetItemText(3, 0).find("six"), std::string::npos);
  QTest::mouseClick(dlg.GetDlgItem(CNetMonitorDlg::kHelpId)->widget(), Qt::LeftButton);
  EXPECT_EQ(HelpContexts(), (std::vector<unsigned>{0x2009F}));
}

// The keyboard alone: Tab reads the window as the screen shows it (tab bar,
// the list under it, the buttons left to right); Ctrl+Tab, Ctrl+Shift+Tab
// and Ctrl+Page Down/Up turn the tabs and take the focus along.
TEST_F(NetMonitor, TabReadsTheWindowInOrderAndCtrlKeysTurnTheTabs) {
  CNetMonitorDlg dlg;
  ASSERT_TRUE(dlg.Create(CNetMonitorDlg::IDD));
  fwtest::Activate(dlg.widget());
  auto walk = [&](Qt::Key key, Qt::KeyboardModifiers mods, int count) {
    return fwtest::FocusWalk(dlg.widget(), key, mods, count, dlg.widget());
  };
  using Ids = std::vector<int>;
  const int grid = CNetMonitorDlg::kGridId, tabs = CNetMonitorDlg::kTabsId,
            help = CNetMonitorDlg::kHelpId, errors = CNetMonitorDlg::kErrorsId;
  const auto ctrl = Qt::ControlModifier;
  EXPECT_EQ(walk(Qt::Key_Tab, {}, 4), (Ids{grid, help, IDCANCEL, tabs}));
  dlg.Grid().SetFocus();
  EXPECT_EQ(walk(Qt::Key_Tab, ctrl, 2), (Ids{errors, grid}));
  EXPECT_EQ(walk(Qt::Key_Backtab, ctrl | Qt::ShiftModifier, 1), (Ids{errors}));
  EXPECT_EQ(walk(Qt::Key_PageDown, ctrl, 1), (Ids{grid}));
  EXPECT_EQ(walk(Qt::Key_PageUp, ctrl, 1), (Ids{errors}));
  EXPECT_FALSE(dlg.Grid().IsWindowVisible());
  EXPECT_EQ(walk(Qt::Key_Backtab, Qt::ShiftModifier, 1), (Ids{tabs}));
}

}  // namespace
