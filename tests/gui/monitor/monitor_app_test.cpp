// The whole status monitor, started as it starts: the search at start-up and
// the list it fills, the commands on the current row, the switch named on
// the command line, what a running search holds back, and the two programs
// refusing each other.
#include <QMenuBar>
#include <QProcess>
#include <QTest>

#include "monitor_fixture.h"
#include "platform/format.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "shell/commandids.h"
#include "tools/flashleddlg.h"
#include "tools/switchstatusdlg.h"

namespace fwtest {
namespace {

using Monitor = MonitorTest;

const char* const kMac1 = "02:4B:33:10:00:01";
const char* const kMac2 = "02:4B:33:10:00:02";
const char* const kMac3 = "02:4B:33:10:00:03";

TEST_F(Monitor, TheFirstSearchListsEverySwitchThatAnsweredAndASecondOneRefillsTheList) {
  AddSwitch(0x01, "North");
  // One switch heard on two interfaces, and one that carries the same name:
  // each answer is a row of its own.
  AddSwitch(0x02, "South", {"veth0", "veth1"});
  AddSwitch(0x03, "north", {"veth1"});
  ASSERT_TRUE(Start());
  EXPECT_EQ(m_messages->count(), 0u);
  ASSERT_EQ(Grid().RowCount(), 4);
  std::vector<std::string> macs;
  for (int row = 0; row < 4; ++row) {
    const std::vector<std::string> r = Row(row);
    EXPECT_FALSE(r[1].empty()) << row;
    EXPECT_EQ(r[3], "0104") << row;
    macs.push_back(r[2]);
  }
  // Interface by interface, in the order the switches answered there.
  EXPECT_EQ(macs, (std::vector<std::string>{kMac1, kMac2, kMac2, kMac3}));
  EXPECT_EQ(Cell(0, 0), "North");
  EXPECT_EQ(Cell(0, 3), "north");
  // Nothing in the list is edited.
  ASSERT_EQ(Grid().MoveToCell(0, 0), kGridOk);
  EXPECT_NE(Grid().BeginCellEdit(), kGridOk);

  m_cores[1]->SetName("South Gate");
  AddSwitch(0x04, "East", {"veth1"});
  Command(ID_FIND_SWITCHES_ON_NETWORK);
  ASSERT_EQ(Grid().RowCount(), 5);
  EXPECT_EQ(Cell(0, 1), "South Gate");
  EXPECT_EQ(Cell(2, 4), "02:4B:33:10:00:04");
  EXPECT_EQ(Doc()->GetSwitches().GetCount(), 5);
}

TEST_F(Monitor, StatusAndWinkOpenForTheCurrentRowAndWaitForOne) {
  ASSERT_TRUE(Start());  // an empty network
  EXPECT_EQ(Grid().RowCount(), 0);
  EXPECT_TRUE(Enabled(ID_FIND_SWITCHES_ON_NETWORK));
  EXPECT_FALSE(Enabled(ID_SHOW_STATUS));
  EXPECT_FALSE(Enabled(ID_SWITCH_WINK));
  Command(ID_SHOW_STATUS);  // disabled, and nothing to show either way
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

  AddSwitch(0x01, "North");
  AddSwitch(0x02, "South");
  Command(ID_FIND_SWITCHES_ON_NETWORK);
  ASSERT_EQ(Grid().RowCount(), 2);
  ASSERT_EQ(Grid().MoveToCell(0, 1), kGridOk);
  EXPECT_TRUE(Enabled(ID_SHOW_STATUS));
  EXPECT_TRUE(Enabled(ID_SWITCH_WINK));

  std::string mac, name, model;
  const int statuses = WatchModals([&] { Command(ID_SHOW_STATUS); },
                                   [&](CDialog& dlg) {
                                     auto* status = dynamic_cast<CSwitchStatusDlg*>(&dlg);
                                     ASSERT_NE(status, nullptr);
                                     mac = status->m_strMac;
                                     name = status->m_strName;
                                     model = status->m_strModel;
                                   });
  EXPECT_EQ(statuses, 1);
  EXPECT_EQ(mac, kMac2);
  EXPECT_EQ(name, "South");
  EXPECT_EQ(model, Cell(1, 1));

  bool wink = false, owned = false;
  EXPECT_EQ(WatchModals([&] { Command(ID_SWITCH_WINK); },
                        [&](CDialog& dlg) {
                          wink = dynamic_cast<CFlashLedDlg*>(&dlg) != nullptr;
                          owned = dlg.widget()->parentWidget() == Frame()->widget();
                        }),
            1);
  EXPECT_TRUE(wink);
  EXPECT_TRUE(owned);
  // The switch asked to flash is the one of the row.
  EXPECT_NE(m_cores[1]->last_control(), 0u);
  EXPECT_EQ(m_cores[0]->last_control(), 0u);

  // A switch that was switched off since: wink says so in the monitor's own words.
  m_cores[1]->knobs().drop_all = true;
  m_messages->clear();
  Command(ID_SWITCH_WINK);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  ASSERT_EQ(m_messages->count(), 1u);
  EXPECT_EQ(m_messages->messages()[0].text, LoadResString(IDS_WINK_SWITCH_NOT_FOUND));
}

TEST_F(Monitor, ASwitchNamedOnTheCommandLineOpensItsStatusOnceAfterTheFirstSearch) {
  AddSwitch(0x01, "North");
  AddSwitch(0x02, "South");
  std::vector<std::string> opened;
  // Given in lower case, it still names the switch.
  const int statuses = WatchModals(
      [&] {
        ASSERT_TRUE(Start({"calvenor", "-mac=02:4b:33:10:00:02"}));
      },
      [&](CDialog& dlg) {
        if (auto* status = dynamic_cast<CSwitchStatusDlg*>(&dlg))
          opened.push_back(status->m_strMac);
      });
  EXPECT_EQ(statuses, 1);
  EXPECT_EQ(opened, std::vector<std::string>{kMac2});
  EXPECT_EQ(Grid().GetCurrentRow(), 1);
  EXPECT_TRUE(m_app->m_strTargetMac.empty());
  // The next search opens nothing by itself.
  EXPECT_EQ(WatchModals([&] { Command(ID_FIND_SWITCHES_ON_NETWORK); }, [](CDialog&) {}), 0);
  EXPECT_EQ(m_messages->count(), 0u);
}

TEST_F(Monitor, ATargetThatDidNotAnswerIsToldOnceAndForgotten) {
  AddSwitch(0x01, "North");
  const int dialogs = WatchModals(
      [&] {
        ASSERT_TRUE(Start({"calvenor", "-mac=02:4B:33:0A:0B:0C"}));
      },
      [](CDialog&) {});
  EXPECT_EQ(dialogs, 0);
  ASSERT_EQ(m_messages->count(), 1u);
  EXPECT_EQ(m_messages->messages()[0].text,
            FormatRes(IDS_TARGET_MAC_NOT_FOUND, "02:4B:33:0A:0B:0C"));
  EXPECT_TRUE(m_app->m_strTargetMac.empty());
  // The switch comes up later: a search lists it and opens nothing.
  AddSwitch(0x0C, "Late", {"veth1"});
  m_messages->clear();
  EXPECT_EQ(WatchModals([&] { Command(ID_FIND_SWITCHES_ON_NETWORK); }, [](CDialog&) {}), 0);
  EXPECT_EQ(Grid().RowCount(), 2);
  EXPECT_EQ(m_messages->count(), 0u);
}

TEST_F(Monitor, TheProgramsOwnPathNeverNamesATarget) {
  AddSwitch(0x01, "North");
  const std::string program = m_dir.file("tools-mac=02:4B:33:10:00:01") + "/calvenor";
  EXPECT_EQ(WatchModals([&] { ASSERT_TRUE(Start({program})); }, [](CDialog&) {}), 0);
  EXPECT_TRUE(m_app->m_strTargetMac.empty());
  EXPECT_EQ(Grid().RowCount(), 1);
  EXPECT_EQ(m_messages->count(), 0u);
}

TEST_F(Monitor, ARunningSearchHoldsBackEveryOtherSearchTheRowCommandsAndClosing) {
  AddSwitch(0x01, "North");
  ASSERT_TRUE(Start());
  ASSERT_EQ(Grid().RowCount(), 1);
  ASSERT_EQ(Grid().MoveToCell(0, 0), kGridOk);
  ASSERT_TRUE(Enabled(ID_SHOW_STATUS));

  struct During {
    bool search = true, status = true, wink = true, closed = false;
    int finds = 0;
  } during;
  bool once = false;
  m_ui.onPump = [&] {
    if (once || !m_app->m_bSearching) return;
    once = true;
    during.search = Enabled(ID_FIND_SWITCHES_ON_NETWORK);
    during.status = Enabled(ID_SHOW_STATUS);
    during.wink = Enabled(ID_SWITCH_WINK);
    // What a key or a button would send while the search pumps.
    const int before = m_capture.finds;
    Command(ID_FIND_SWITCHES_ON_NETWORK);
    Command(ID_SHOW_STATUS);
    Command(ID_SWITCH_WINK);
    during.finds = m_capture.finds - before;
    Frame()->SendMessage(WM_CLOSE);
    during.closed = !Frame() || !Frame()->IsWindow();
  };
  EXPECT_EQ(WatchModals([&] { Command(ID_FIND_SWITCHES_ON_NETWORK); }, [](CDialog&) {}), 0);
  m_ui.onPump = nullptr;
  ASSERT_TRUE(once);
  EXPECT_FALSE(during.search);
  EXPECT_FALSE(during.status);
  EXPECT_FALSE(during.wink);
  EXPECT_EQ(during.finds, 0);
  EXPECT_FALSE(during.closed);
  EXPECT_EQ(Grid().RowCount(), 1);
  // Afterwards all is as before, and the window closes.
  EXPECT_TRUE(Enabled(ID_FIND_SWITCHES_ON_NETWORK));
  ASSERT_EQ(Grid().MoveToCell(0, 0), kGridOk);
  EXPECT_TRUE(Enabled(ID_SHOW_STATUS));
  Frame()->SendMessage(WM_CLOSE);
  EXPECT_TRUE(m_app->m_pMainWnd == nullptr || !m_app->m_pMainWnd->IsWindow());
}

TEST_F(Monitor, TheMenuHoldsTheSwitchAndPrintCommands) {
  ASSERT_TRUE(Start());
  std::vector<unsigned> ids;
  CMenu* menu = Frame()->GetMenu();
  ASSERT_NE(menu, nullptr);
  for (int i = 0; i < menu->GetMenuItemCount(); ++i)
    if (CMenu* popup = menu->GetSubMenu(i))
      for (int j = 0; j < popup->GetMenuItemCount(); ++j) ids.push_back(popup->GetMenuItemID(j));
  for (unsigned id : {ID_FIND_SWITCHES_ON_NETWORK, ID_SHOW_STATUS, ID_SWITCH_WINK, ID_FILE_PRINT,
                      ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP})
    EXPECT_EQ(std::count(ids.begin(), ids.end(), id), 1) << id;
  EXPECT_TRUE(Enabled(ID_FILE_PRINT));
}

// ---------------------------------------------------------------- never beside the other program

class MonitorInstances : public MonitorTest {
 protected:
  static QProcessEnvironment Env() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ASAN_OPTIONS", "detect_leaks=0");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    return env;
  }
  static int Probe(const QString& className) {
    QProcess p;
    p.setProcessEnvironment(Env());
    p.start(FW_PROGRAM_PROBE, {className});
    if (!p.waitForFinished(30000)) {
      p.kill();
      p.waitForFinished(5000);
      return -1;
    }
    return p.exitCode();
  }
};

TEST_F(MonitorInstances, TheMonitorDoesNotStartBesideTheConfigurationProgram) {
  QProcess other;
  other.setProcessEnvironment(Env());
  other.start(FW_INSTANCE_HELPER, {"fenwardle"});
  ASSERT_TRUE(WaitFor([&] { return other.canReadLine(); }, 15000));
  EXPECT_FALSE(Start());
  ASSERT_EQ(m_messages->count(), 1u);
  EXPECT_EQ(m_messages->messages()[0].text, LoadResString(IDS_CONFIG_PROGRAM_RUNNING));
  EXPECT_EQ(m_messages->messages()[0].caption, LoadResString(IDS_CANNOT_RUN));
  EXPECT_EQ(m_capture.finds, 0);
  Stop();
  // The refused start gave its own class up again.
  EXPECT_EQ(Probe("calvenor"), 0);
  other.closeWriteChannel();
  other.waitForFinished(10000);
}

TEST_F(MonitorInstances, TheConfigurationProgramSeesTheRunningMonitor) {
  ASSERT_TRUE(Start());
  // What the configuration program asks before it starts.
  EXPECT_EQ(Probe("calvenor"), 4);
  Stop();
  EXPECT_EQ(Probe("calvenor"), 0);
}

}  // namespace
}  // namespace fwtest
