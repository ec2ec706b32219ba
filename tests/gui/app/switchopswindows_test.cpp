// What the programs set up at start-up for the switch operations, seen from
// the windows: waits that paint, and the operations' own windows.
#include "shell/switchopswindows.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <thread>

#include "gui_helpers.h"
#include "platform/message.h"
#include "switch/configload.h"
#include "switch/switchconfig.h"
#include "switch/switchconfigstore.h"
#include "switch/switchdiscovery.h"
#include "switch/switchentry.h"
#include "tests/common/languages.h"
#include "tests/common/test_util.h"
#include "tests/unit/switch/ops_fixture.h"
#include "textfit_check.h"
#include "tools/cyclepowerdlg.h"
#include "tools/searchingdlg.h"
#include "tools/toolcomm.h"

namespace {

using fw::ops_test::CLockedCapture;
using fw::ops_test::CLockedClock;
using fw::ops_test::Mac;

class PaintCounter : public QWidget {
 public:
  int paints = 0;

 protected:
  void paintEvent(QPaintEvent*) override { ++paints; }
};

// Virtual time whose waits on the window thread can be watched.
class CWatchedClock : public fw::IClock {
 public:
  std::uint64_t Now() override { return m_clock.Now(); }
  void Wait(std::uint32_t ms) override {
    if (onWait && QThread::currentThread() == qApp->thread()) onWait(ms);
    m_clock.Wait(ms);
  }
  std::function<void(std::uint32_t)> onWait;

 private:
  CLockedClock m_clock;
};

// The locked capture, watched where the searches list the devices.
class CWatchedCapture : public CLockedCapture {
 public:
  using CLockedCapture::CLockedCapture;
  int FindDevices(std::vector<fw::CaptureDevice>* out, std::string* error) override {
    if (onFind && QThread::currentThread() == qApp->thread()) onFind();
    return CLockedCapture::FindDevices(out, error);
  }
  std::function<void()> onFind;
};

class SwitchOperations : public ::testing::Test {
 protected:
  ~SwitchOperations() override { fwtest::Drain(); }
  fw::ops_test::ScopedProfile profile;
  fw::ScopedMessageSink messages;
};

// Pauses of an EEROM transaction started from a window let that window's
// neighbours paint: the default clock of the programs pumps.
TEST_F(SwitchOperations, AnEeromTransactionFromAWindowLetsWindowsPaint) {
  auto ops = StartSwitchOperations(nullptr, 0);
  fw::CSteadyClock steady;  // the segment sleeps; only the pump may paint
  fw::emu::CFakeCapture capture(steady);
  fw::emu::CSwitchCore core(Mac(0x01));
  capture.AddDevice("veth0", "Segment A", Mac(0xA0, 0xEE));
  capture.Attach("veth0", &core);

  PaintCounter other;
  other.resize(100, 100);
  other.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
  fwtest::Drain();
  QPushButton read("Read");
  read.show();
  int painted_during = -1;
  std::string error;
  int result = 1;
  QObject::connect(&read, &QPushButton::clicked, [&] {
    cswitchcomm comm(&capture);  // as the programs build one: no clock of its own
    std::uint8_t local[6];
    ASSERT_EQ(comm.CommOpenDevice("veth0", local, &error), kCommOk) << error;
    comm.SetTarget(core.mac().data());
    other.update();
    const int before = other.paints;
    CCfgBlock block;
    block.AddRequest(kEeromRead, 280, 6);
    result = comm.Run(block, &error);
    painted_during = other.paints - before;
  });
  QTest::mouseClick(&read, Qt::LeftButton);
  EXPECT_EQ(result, kEeromOk) << error;
  EXPECT_GT(painted_during, 0);
}

TEST_F(SwitchOperations, StartUpBuildsTheOfferedModelsAndInstallsTheWindows) {
  fw::test::TempDir dir;
  const std::string path = dir.file("fenwardle.customize");
  std::ofstream(path) << "[part numbers]\n0=QV-7XX-1,Seven\n";
  struct Restore {
    ~Restore() {
      CSwitchConfigStore::SetCustomizeFilePath({});
      CSwitchConfigStore::ResetOfferedModels();
    }
  } restore;
  CSwitchConfigStore::SetCustomizeFilePath(path);
  CSwitchConfigStore::ResetOfferedModels();
  {
    auto ops = StartSwitchOperations(nullptr, 1);
    // The list was built now, on the window thread, and the user told of the bad part.
    ASSERT_EQ(messages->count(), 1u);
    EXPECT_NE(messages->messages()[0].text.find("QV-7XX-1"), std::string::npos);
    EXPECT_EQ(&OperationUi(), &ops->ui());
    EXPECT_EQ(&cswitchcomm::DefaultClock(), &GuiClock());
  }
  // Taken back at the end.
  EXPECT_NE(&cswitchcomm::DefaultClock(), &GuiClock());
}

// Entering the boot monitor of a switch that does not answer shows the cycle
// power prompt, whose Cancel ends the wait.
TEST_F(SwitchOperations, BootMonitorEntryShowsAPromptThatCanBeCancelled) {
  auto ops = StartSwitchOperations(nullptr, 0);
  CLockedClock clock;
  CLockedCapture capture(clock);
  capture.fake.AddDevice("veth0", "Segment A", Mac(0xA0, 0xEE));
  cswitchcomm comm(&capture, &clock);
  std::uint8_t local[6];
  std::string error;
  ASSERT_EQ(comm.CommOpenDevice("veth0", local, &error), kCommOk) << error;
  comm.CommSetTargetMac("02:4B:33:10:00:01");
  bool prompted = false;
  QTimer::singleShot(300, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* dlg = dynamic_cast<CCyclePowerDlg*>(CWnd::FromHandle(w));
      if (!dlg || !w->isVisible()) continue;
      prompted = true;
      QTest::mouseClick(dlg->GetDlgItem(IDCANCEL)->widget(), Qt::LeftButton);
    }
  });
  EXPECT_EQ(comm.CommEnterBootMonitor(&error), kCommRefused);
  EXPECT_TRUE(prompted);
  EXPECT_NE(error.find("Unable to command the unit into boot monitor mode."), std::string::npos);
}

// A configuration load shows the searching window while it looks for the
// switch and the one-line status window while it reads and writes.
TEST_F(SwitchOperations, ConfigurationLoadShowsItsWindows) {
  CSwitchConfigStore::EnsureOfferedModels(0);
  auto ops = StartSwitchOperations(nullptr, 0);
  CWatchedClock clock;
  CWatchedCapture capture(clock);
  fw::emu::CSwitchCore core(Mac(0x07), 5);
  capture.fake.AddDevice("veth0", "Segment A", Mac(0xA0, 0xEE));
  capture.fake.Attach("veth0", &core);
  fw::ops_test::SetIdentity(core, 5, false, 1);
  core.SetRevision("0104");
  core.eerom()[772] = core.eerom()[780] = 0;
  CSwitchEntry entry;
  entry.SetMac("02:4B:33:10:00:07");
  entry.SetName("Ring-7");
  entry.SetPartFromText("QV-5KP-1", "");
  CSwitchConfig config;
  config.SetName("Plant floor");

  std::vector<std::string> searching, status;
  capture.onFind = [&] {
    CSearchingDlg* s = ops->ui().searching();
    searching.push_back(s && s->IsWindowVisible() ? s->GetDlgItemText(1027) : "");
  };
  clock.onWait = [&](std::uint32_t ms) {
    if (ms < 1000) return;  // the pauses of a transaction
    CStatusMsgDlg* s = ops->ui().status();
    status.push_back(s && s->IsWindowVisible() ? s->GetDlgItemText(CStatusMsgDlg::kMessageId) : "");
  };
  CSwitchDiscovery d(&capture, &clock, &clock);
  std::string error;
  ASSERT_EQ(d.SwitchLoadConfigOp(entry, config, &error), kCommOk) << error;
  ASSERT_FALSE(searching.empty());
  EXPECT_EQ(searching.front(), "Selecting interface...");
  EXPECT_EQ(status, std::vector<std::string>{"Reading configuration..."});
  EXPECT_EQ(ops->ui().searching(), nullptr);
  EXPECT_EQ(ops->ui().status(), nullptr);
}

// A configuration load that writes and restarts the switch, in every
// language: the searching and status windows fit every text they show on
// the way.
TEST_F(SwitchOperations, ConfigurationLoadWindowsFitInEveryLanguage) {
  CSwitchConfigStore::EnsureOfferedModels(0);
  auto ops = StartSwitchOperations(nullptr, 0);
  CWatchedClock clock;
  CWatchedCapture capture(clock);
  fw::emu::CSwitchCore core(Mac(0x07), 5);
  capture.fake.AddDevice("veth0", "Segment A", Mac(0xA0, 0xEE));
  capture.fake.Attach("veth0", &core);
  fw::ops_test::SetIdentity(core, 5, false, 1);
  core.SetRevision("0104");
  core.knobs().boot_on_restart = false;
  CSwitchEntry entry;
  entry.SetMac("02:4B:33:10:00:07");
  entry.SetName("Ring-7");
  entry.SetPartFromText("QV-5KP-1", "");
  CSwitchConfig config;
  config.SetName("Plant floor");
  config.GetRing(0)->enabled = 1;

  std::vector<std::string> cut, shown;
  auto look = [&] {
    for (CDialog* w : {static_cast<CDialog*>(ops->ui().searching()),
                       static_cast<CDialog*>(ops->ui().status())}) {
      if (!w || !w->IsWindowVisible()) continue;
      shown.push_back(
          w->GetDlgItemText(w == ops->ui().status() ? CStatusMsgDlg::kMessageId : 1027));
      for (const std::string& c : fwtest::TextsThatDoNotFit(w->widget()))
        if (std::find(cut.begin(), cut.end(), c) == cut.end()) cut.push_back(c);
    }
  };
  capture.onFind = look;
  clock.onWait = [&](std::uint32_t) { look(); };
  fwtest::InEachLanguage([&](const char* language) {
    // Each load changes the master selection, which restarts the switch.
    config.SetMasterMode(config.GetMasterMode() ? 0 : 1);
    CSwitchDiscovery d(&capture, &clock, &clock);
    std::string error;
    ASSERT_EQ(d.SwitchLoadConfigOp(entry, config, &error), kCommOk) << error;
    EXPECT_TRUE(cut.empty()) << language << ": " << cut.size() << " cut:" << fwtest::Listed(cut);
    cut.clear();
  });
  // Every step was seen on the way.
  for (const char* step : {"Selecting interface...", "Reading configuration...",
                           "Writing configuration...", "Resetting switch..."})
    EXPECT_NE(std::find(shown.begin(), shown.end(), step), shown.end())
        << step << " " << ::testing::PrintToString(shown);
}

}  // namespace
