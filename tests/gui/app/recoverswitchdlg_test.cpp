#include "app/recoverswitchdlg.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <functional>
#include <memory>

#include "gui_helpers.h"
#include "platform/gui/help.h"
#include "platform/message.h"
#include "switch/switchdiscovery.h"
#include "tests/common/languages.h"
#include "tests/unit/switch/ops_fixture.h"
#include "textfit_check.h"
#include "tools/toolcomm.h"

namespace {

using fw::ops_test::Mac;

constexpr const char* kMacText = "02:4B:33:10:00:07";
const std::vector<std::uint8_t> kCopper{0x00, 0x7E}, kGigabit{0x01, 0xFE};

class RecoverSwitch : public ::testing::Test {
 protected:
  RecoverSwitch() : capture(clock), core(Mac(0x07), 9) {
    capture.fake.AddDevice("veth0", "Segment A", Mac(0xA0, 0xEE));
    capture.fake.AddDevice("veth1", "", Mac(0xA1, 0xEE));
    capture.fake.Attach("veth1", &core);
    core.knobs().boot_monitor_writes = true;
    before = core.eerom();
    dlg.m_strMac = kMacText;
    SetToolCommEnv(CToolCommEnv{&capture, &clock, &clock, nullptr});
  }
  ~RecoverSwitch() override {
    SetToolCommEnv(CToolCommEnv{});
    if (dlg.IsWindow()) {
      EXPECT_TRUE(dlg.DestroyWindow());
    }
    fwtest::Drain();
  }

  void Open(int device) {
    ASSERT_TRUE(dlg.Create(CRecoverSwitchDlg::IDD));
    dlg.m_devices.SetCurSel(device);
  }
  void RecoverNow() { QTest::mouseClick(dlg.GetDlgItem(IDOK)->widget(), Qt::LeftButton); }
  std::vector<std::uint8_t> Eerom(std::size_t at, std::size_t n) const {
    return {core.eerom().begin() + at, core.eerom().begin() + at + n};
  }
  std::vector<std::string> Texts() {
    std::vector<std::string> out;
    for (const auto& m : messages->messages()) out.push_back(m.text);
    return out;
  }
  void ExpectFactoryAreas() {
    for (int i = 0; i < 9; ++i)
      EXPECT_EQ(Eerom(1024 + 2 * i, 2), (std::vector<std::uint8_t>{0, 0}));
    for (std::size_t i = 0; i < 256; i += 8)
      EXPECT_EQ(Eerom(1280 + i, 8),
                (std::vector<std::uint8_t>{0x07, 0x01, 0xB8, 0x74, 0, 0, 0, 0}));
    EXPECT_EQ(Eerom(1536, 4), (std::vector<std::uint8_t>{0xD5, 0x40, 0, 0}));
    // Nothing outside the image.
    EXPECT_EQ(Eerom(0, 512), std::vector<std::uint8_t>(before.begin(), before.begin() + 512));
    EXPECT_EQ(Eerom(1540, 100),
              std::vector<std::uint8_t>(before.begin() + 1540, before.begin() + 1640));
  }

  fw::ops_test::ScopedProfile profile;
  fw::ScopedMessageSink messages;
  fw::ops_test::CLockedClock clock;
  fw::ops_test::CLockedCapture capture;
  fw::emu::CSwitchCore core;
  std::vector<std::uint8_t> before;
  CRecoverSwitchDlg dlg;
};

TEST_F(RecoverSwitch, ListsTheDevicesAndRecoversTheSwitch) {
  Open(1);
  ASSERT_EQ(dlg.m_devices.GetCount(), 2);
  EXPECT_EQ(dlg.m_devices.GetLBText(0), "Segment A");
  EXPECT_EQ(dlg.m_devices.GetLBText(1), "veth1");  // no description: its name
  RecoverNow();
  EXPECT_EQ(Texts(), std::vector<std::string>{"Operation completed successfully."});
  EXPECT_EQ(messages->messages()[0].caption, "Operation completed successfully.");
  EXPECT_TRUE(dlg.ended());
  EXPECT_EQ(dlg.result(), IDOK);
  // The emulated unit is a gigabit one (identity byte 281 is 2).
  for (int p = 0; p < 32; ++p)
    EXPECT_EQ(Eerom(512 + 2 * p, 2), p >= 6 && p <= 8 ? kGigabit : kCopper) << p;
  ExpectFactoryAreas();
  EXPECT_EQ(core.last_control(), 1u);  // restarted out of the boot monitor
  EXPECT_FALSE(core.InBootMonitor(clock.Now()));
}

TEST_F(RecoverSwitch, WithoutItsIdentityEveryPortIsCopperAndTheDialogSaysSo) {
  core.knobs().failed_entries = {280};
  Open(1);
  RecoverNow();
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Failed to obtain switch ID.",
                                               "Operation completed successfully."}));
  for (int p = 0; p < 32; ++p) EXPECT_EQ(Eerom(512 + 2 * p, 2), kCopper) << p;
  ExpectFactoryAreas();
  EXPECT_FALSE(dlg.ended());
  EXPECT_EQ(dlg.GetDlgItemText(CRecoverSwitchDlg::kStatusId), "Failed to obtain switch ID.");
  EXPECT_TRUE(dlg.IsWindowEnabled());
}

TEST_F(RecoverSwitch, ASwitchThatNeverEntersItsBootMonitorIsAFailure) {
  core.knobs().drop_all = true;
  Open(1);
  RecoverNow();
  const std::string told =
      "Unable to initiate communications with a switch using MAC address <02:4B:33:10:00:07>";
  EXPECT_EQ(Texts(), std::vector<std::string>{told});
  EXPECT_FALSE(dlg.ended());
  EXPECT_EQ(dlg.GetDlgItemText(CRecoverSwitchDlg::kStatusId), told);
  EXPECT_TRUE(dlg.IsWindowEnabled());
  EXPECT_EQ(core.eerom(), before);
}

// The dialog's clock; the long wait after the restart is where the switch is lost.
class CWatchedClock : public fw::IClock {
 public:
  CWatchedClock(fw::IClock& inner, std::function<void(std::uint32_t)> onWait)
      : m_inner(inner), m_onWait(std::move(onWait)) {}
  std::uint64_t Now() override { return m_inner.Now(); }
  void Wait(std::uint32_t ms) override {
    m_onWait(ms);
    m_inner.Wait(ms);
  }

 private:
  fw::IClock& m_inner;
  std::function<void(std::uint32_t)> m_onWait;
};

TEST_F(RecoverSwitch, ASwitchThatDoesNotComeBackLeavesTheDialogOpen) {
  CWatchedClock watched(clock, [&](std::uint32_t ms) {
    if (ms == CRecoverSwitchDlg::kRestartWaitMs) core.knobs().drop_all = true;
  });
  SetToolCommEnv(CToolCommEnv{&capture, &watched, &clock, nullptr});
  Open(1);
  RecoverNow();
  const std::string told =
      "The settings have been written to the switch but the switch has not responded since "
      "reboot.";
  EXPECT_EQ(Texts(), std::vector<std::string>{told});
  ExpectFactoryAreas();
  EXPECT_FALSE(dlg.ended());
  EXPECT_EQ(dlg.GetDlgItemText(CRecoverSwitchDlg::kStatusId), told);
}

TEST_F(RecoverSwitch, RefusedWritesAreShownWithTheSwitchesWords) {
  core.knobs().boot_monitor_writes = false;
  Open(1);
  RecoverNow();
  ASSERT_EQ(messages->count(), 1u);
  EXPECT_EQ(Texts()[0].rfind("02:4b:33:10:00:07 ", 0), 0u) << Texts()[0];
  EXPECT_FALSE(dlg.ended());
  EXPECT_EQ(core.last_control(), 1u);  // only the restart into the boot monitor
}

TEST_F(RecoverSwitch, NothingIsSentWithoutADeviceOrAnAddress) {
  fw::ops_test::CLockedCapture empty(clock);
  SetToolCommEnv(CToolCommEnv{&empty, &clock, &clock, nullptr});
  Open(0);
  EXPECT_EQ(dlg.m_devices.GetCount(), 0);
  RecoverNow();
  EXPECT_EQ(Texts(), std::vector<std::string>{"Please select an interface."});
  EXPECT_FALSE(dlg.ended());
  EXPECT_TRUE(dlg.DestroyWindow());

  // A text that is no full address would have sent the image to every switch.
  messages->clear();
  SetToolCommEnv(CToolCommEnv{&capture, &clock, &clock, nullptr});
  dlg.m_strMac = "10:00:07";
  Open(1);
  RecoverNow();
  EXPECT_EQ(Texts(), std::vector<std::string>{
                         "Unable to initiate communications with a switch using MAC address "
                         "<10:00:07>"});
  EXPECT_TRUE(capture.fake.sent.empty());
  EXPECT_EQ(core.requests_seen(), 0);
}

// The recovery runs to each outcome a switch can give, in every language:
// the status line fits at every step and at the end.
TEST_F(RecoverSwitch, EveryStepAndOutcomeFitsInEveryLanguage) {
  std::unique_ptr<CRecoverSwitchDlg> shown;
  std::vector<std::string> cut, steps;
  auto look = [&] {
    if (!shown || !shown->IsWindow()) return;
    steps.push_back(shown->GetDlgItemText(CRecoverSwitchDlg::kStatusId));
    for (const std::string& c : fwtest::TextsThatDoNotFit(shown->widget()))
      if (std::find(cut.begin(), cut.end(), c) == cut.end()) cut.push_back(c);
  };
  bool lostAfterRestart = false;
  // Each wait of the dialog's own thread shows the step it is at.
  CWatchedClock watched(clock, [&](std::uint32_t ms) {
    if (QThread::currentThread() != QCoreApplication::instance()->thread()) return;
    look();
    if (ms == CRecoverSwitchDlg::kRestartWaitMs && lostAfterRestart) core.knobs().drop_all = true;
  });
  fw::ops_test::CLockedCapture noDevices(clock);
  const std::function<void()> outcomes[] = {
      [] {},                                         // recovered
      [&] { core.knobs().failed_entries = {280}; },  // no identity
      [&] { core.knobs().drop_all = true; },         // no boot monitor
      [&] { lostAfterRestart = true; },              // gone after the restart
      [&] {                                          // nothing to send through
        SetToolCommEnv(CToolCommEnv{&noDevices, &watched, &clock, nullptr});
      }};
  fwtest::InEachLanguage([&](const char* language) {
    for (const auto& outcome : outcomes) {
      core.knobs().drop_all = false;
      core.knobs().failed_entries.clear();
      lostAfterRestart = false;
      SetToolCommEnv(CToolCommEnv{&capture, &watched, &clock, nullptr});
      outcome();
      shown = std::make_unique<CRecoverSwitchDlg>();
      shown->m_strMac = kMacText;
      ASSERT_TRUE(shown->Create(CRecoverSwitchDlg::IDD));
      shown->ShowWindow(SW_SHOW);
      if (shown->m_devices.GetCount() > 1) shown->m_devices.SetCurSel(1);
      QTest::mouseClick(shown->GetDlgItem(IDOK)->widget(), Qt::LeftButton);
      look();
      if (shown->IsWindow()) {
        EXPECT_TRUE(shown->DestroyWindow());
      }
      shown.reset();
    }
    EXPECT_TRUE(cut.empty()) << language << ": " << cut.size() << " cut:" << fwtest::Listed(cut);
    cut.clear();
    messages->clear();
  });
  // The steps were seen on the way, not only the outcomes.
  EXPECT_NE(std::find(steps.begin(), steps.end(), "Resetting switch..."), steps.end())
      << ::testing::PrintToString(steps);
}

TEST_F(RecoverSwitch, HelpAsksForTheDialogsTopic) {
  fw::ScopedHelpService help;
  Open(0);
  QTest::mouseClick(dlg.GetDlgItem(CRecoverSwitchDlg::kHelpId)->widget(), Qt::LeftButton);
  EXPECT_EQ(help->requests(), std::vector<unsigned>{0x2009C});
}

}  // namespace
