// The OK LED dialog against a software switch on virtual time: the flash
// requests while it is open, and the request that puts the LED back on every
// way out.
#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>
#include <functional>

#include "gui_helpers.h"
#include "platform/message.h"
#include "switch/frames.h"
#include "switch/switchentry.h"
#include "tests/unit/switch/ops_fixture.h"
#include "tools/flashleddlg.h"

namespace fw::ops_test {
namespace {

class FlashLed : public ::testing::Test {
 protected:
  FlashLed() : capture(clock), core(Mac(0x07), 5) {
    capture.fake.AddDevice("veth0", "Segment A", Mac(0xA0, 0xEE));
    capture.fake.Attach("veth0", &core);
    entry.SetMac("10:00:07");
    entry.SetName("Ring-7");
  }
  void TearDown() override { fwtest::Drain(); }

  // Runs the dialog; `act` runs once it is up.
  int Run(CFlashLedDlg& dlg, const std::function<void()>& act) {
    // A timer of this scope: it never fires after the dialog is gone.
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
      act();
      if (!dlg.ended()) dlg.EndDialog(-5);
    });
    timer.start(0);
    return static_cast<int>(dlg.DoModal());
  }
  // The control values the switch was sent, in order.
  std::vector<std::uint32_t> Controls() {
    std::vector<std::uint32_t> out;
    for (const auto& f : capture.fake.sent["veth0"])
      if ((f[19] << 8 | f[20]) == frames::kCmdControl) out.push_back(frames::ReadBE32(&f[31]));
    return out;
  }
  void Tick(CFlashLedDlg& dlg) { dlg.SendMessage(WM_TIMER, CFlashLedDlg::kTimerId); }
  // Flashes, then the one request for normal at the end.
  void ExpectFlashesThenNormal(int atLeast) {
    const auto c = Controls();
    ASSERT_GE(c.size(), static_cast<std::size_t>(atLeast + 1));
    for (std::size_t i = 0; i + 1 < c.size(); ++i) EXPECT_EQ(c[i], CFlashLedDlg::kFlashOkLed);
    EXPECT_EQ(c.back(), CFlashLedDlg::kOkLedNormal);
    EXPECT_EQ(core.last_control(), CFlashLedDlg::kOkLedNormal);
  }

  ScopedProfile profile;
  ScopedMessageSink messages;
  CLockedClock clock;
  CLockedCapture capture;
  emu::CSwitchCore core;
  CSwitchEntry entry;
};

TEST_F(FlashLed, CloseReturnsTheLedToNormal) {
  CFlashLedDlg dlg(nullptr, &entry, &capture, &clock);
  const int r = Run(dlg, [&] {
    EXPECT_EQ(dlg.m_bOpened, 1);
    Tick(dlg);
    Tick(dlg);
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  EXPECT_EQ(r, IDOK);
  ExpectFlashesThenNormal(2);
  EXPECT_EQ(messages->count(), 0u);
}

TEST_F(FlashLed, EscapeAndClosingTheWindowDoTooAsDoesTheDialogGoingAway) {
  {
    CFlashLedDlg dlg(nullptr, &entry, &capture, &clock);
    EXPECT_EQ(Run(dlg,
                  [&] {
                    Tick(dlg);
                    QTest::keyClick(dlg.widget(), Qt::Key_Escape);
                  }),
              IDCANCEL);
    ExpectFlashesThenNormal(1);
  }
  capture.fake.sent.clear();
  {
    CFlashLedDlg dlg(nullptr, &entry, &capture, &clock);
    Run(dlg, [&] {
      Tick(dlg);
      dlg.SendMessage(WM_CLOSE);
    });
    ExpectFlashesThenNormal(1);
  }
  capture.fake.sent.clear();
  {
    // Ended from outside without Close (the program shutting down).
    CFlashLedDlg dlg(nullptr, &entry, &capture, &clock);
    Run(dlg, [&] {
      Tick(dlg);
      dlg.EndDialog(99);
    });
  }
  ExpectFlashesThenNormal(1);
  EXPECT_EQ(messages->count(), 0u);
}

TEST_F(FlashLed, ASwitchThatStopsAnsweringEndsTheDialogOneTickLater) {
  CFlashLedDlg dlg(nullptr, &entry, &capture, &clock);
  const int r = Run(dlg, [&] {
    Tick(dlg);
    core.knobs().drop_all = true;
    Tick(dlg);
    EXPECT_EQ(dlg.m_nLastResult, -1);
    EXPECT_FALSE(dlg.ended());
    Tick(dlg);
  });
  EXPECT_EQ(r, 0);
  std::vector<std::string> texts;
  for (const auto& m : messages->messages()) texts.push_back(m.text);
  EXPECT_EQ(texts, std::vector<std::string>{"Failed to obtain switch ID."});
  // The switch may hear the stop even when it does not answer.
  const auto c = Controls();
  ASSERT_FALSE(c.empty());
  EXPECT_EQ(c.back(), CFlashLedDlg::kOkLedNormal);
}

TEST_F(FlashLed, ASwitchThatIsNotThereIsReported) {
  entry.SetMac("10:00:99");
  CFlashLedDlg dlg(nullptr, &entry, &capture, &clock);
  EXPECT_EQ(Run(dlg, [] {}), 0);
  std::vector<std::string> texts;
  for (const auto& m : messages->messages()) texts.push_back(m.text);
  EXPECT_EQ(texts, std::vector<std::string>{
                       "Unable to find a switch with MAC address <02:4B:33:10:00:99>.\n"});
  EXPECT_TRUE(Controls().empty());
}

}  // namespace
}  // namespace fw::ops_test
