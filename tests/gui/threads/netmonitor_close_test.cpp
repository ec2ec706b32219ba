// Closing the network monitor while its worker is in the middle of a search,
// again and again, on real time: the window must not wait for the search.
#include <gtest/gtest.h>

#include <QTest>
#include <chrono>

#include "gui_helpers.h"
#include "platform/message.h"
#include "switch/switchconfigstore.h"
#include "tests/unit/switch/ops_fixture.h"
#include "tools/netmonitordlg.h"
#include "tools/toolcomm.h"

namespace {

TEST(NetMonitorThreads, CloseDuringASearchReturnsWithinOnePollInterval) {
  fw::ops_test::ScopedProfile profile;
  fw::ScopedMessageSink messages;
  CSwitchConfigStore::EnsureOfferedModels(0);
  // Real time: each search listens for its wait limit and reads every
  // switch with three EEROM frames, 200 ms apart; seconds in all.
  fw::CSteadyClock steady;
  fw::ops_test::CLockedCapture capture(steady);
  capture.fake.AddDevice("veth0", "Segment A", fw::ops_test::Mac(0xA0, 0xEE));
  capture.fake.AddDevice("veth1", "Segment B", fw::ops_test::Mac(0xA1, 0xEE));
  std::vector<std::unique_ptr<fw::emu::CSwitchCore>> cores;
  for (std::uint8_t i = 1; i <= 4; ++i) {
    cores.push_back(std::make_unique<fw::emu::CSwitchCore>(fw::ops_test::Mac(i), 9));
    fw::ops_test::SetIdentity(*cores.back(), 9, false, 1);
    capture.fake.Attach(i % 2 ? "veth0" : "veth1", cores.back().get());
  }
  SetToolCommEnv(CToolCommEnv{&capture, &steady, &steady, nullptr});
  const int pollMs = profile->GetProfileInt("netmonitor", "update ms", 1000);

  for (int round = 0; round < 50; ++round) {
    CNetMonitorDlg dlg;
    ASSERT_TRUE(dlg.Create(CNetMonitorDlg::IDD));
    dlg.ShowWindow(SW_SHOW);
    dlg.StartMonitor();
    ASSERT_TRUE(fwtest::WaitFor([&] { return dlg.Worker().searching(); }, 5000)) << round;
    // Let it get into the listening or the reading, differently each round.
    QTest::qWait(round % 7 * 15);
    const auto start = std::chrono::steady_clock::now();
    QTest::mouseClick(dlg.GetDlgItem(IDCANCEL)->widget(), Qt::LeftButton);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count();
    EXPECT_TRUE(dlg.ended());
    EXPECT_FALSE(dlg.Worker().Running());
    EXPECT_LT(took, pollMs) << "round " << round;
    // Nothing of the cut search reaches the window afterwards.
    dlg.DrainInbox();
    EXPECT_TRUE(dlg.Switches().empty());
  }
  SetToolCommEnv(CToolCommEnv{});
  EXPECT_TRUE(messages->messages().empty());
}

}  // namespace
