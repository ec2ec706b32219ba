// The status monitor as the user starts it: the real program, a process of
// its own in a network namespace that holds only the host end of a veth pair,
// with three software switches on the far end. The test sees the program
// only through what the switches are asked. Root only; skipped otherwise.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "platform/text.h"
#include "tests/common/test_util.h"
#include "tests/e2e/netns_program.h"
#include "tests/e2e/ops_net.h"

namespace {

using fw::ops_e2e::CSegment;
using fw::test::CNetnsProgram;

// Waits, a bounded time, for `done` while the program runs.
bool WaitWhileRunning(CNetnsProgram& program, int bound_ms, const std::function<bool()>& done) {
  for (int waited = 0; waited < bound_ms; waited += 50) {
    if (done()) return true;
    if (!program.Running()) return done();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return done();
}

TEST(MonitorProcess, ListsThreeSwitchesAndOpensTheStatusOfTheOneNamedOnTheCommandLine) {
  const std::string why = CSegment::Unavailable();
  if (!why.empty()) GTEST_SKIP() << why;
  if (access(FW_CALVENOR, X_OK) != 0) GTEST_SKIP() << "the monitor is not built: " FW_CALVENOR;
  CSegment segment(3, 0x63, CSegment::HostEnd::kOwnNamespace);
  ASSERT_TRUE(segment.ok()) << segment.error();
  std::string target;
  {
    auto lock = segment.Lock();
    const char* names[] = {"Alpha", "Bravo", "Charlie"};
    for (int i = 0; i < 3; ++i)
      fw::ops_e2e::Provision(*segment.cores()[static_cast<std::size_t>(i)], names[i], "0104 e2e");
    target = fw::ToUpperAscii(CSegment::MacText(segment.cores()[1]->mac()));
  }
  fw::test::TempDir dir;
  ASSERT_EQ(mkdir(dir.file("run").c_str(), 0700), 0);

  CNetnsProgram monitor(segment.host_namespace(), {FW_CALVENOR, "-mac=" + target},
                        fw::test::ProgramEnvironment(dir.path()), dir.file("output.txt"));
  ASSERT_TRUE(monitor.started());

  // Name, model and revision of every switch the broadcast search heard.
  auto identity_read = [&](std::size_t i) {
    const auto& reads = segment.cores()[i]->request_log().eerom_reads;
    return reads.count(32) && reads.count(280) && reads.count(232);
  };
  // The status dialog opened for the named switch polls it.
  auto polled = [&] { return segment.cores()[1]->request_log().status_reads >= 2; };
  const bool seen = WaitWhileRunning(monitor, 60000, [&] {
    auto lock = segment.Lock();
    return identity_read(0) && identity_read(1) && identity_read(2) && polled();
  });
  const bool running = monitor.Running();
  const bool ended = monitor.End();
  {
    auto lock = segment.Lock();
    for (std::size_t i = 0; i < 3; ++i) {
      const auto& log = segment.cores()[i]->request_log();
      EXPECT_GT(log.nops, 0) << "switch " << i << " never heard the search";
      EXPECT_TRUE(identity_read(i)) << "switch " << i << " was not read";
    }
    EXPECT_TRUE(polled()) << "no status dialog for " << target;
    EXPECT_EQ(segment.cores()[0]->request_log().status_reads, 0);
    EXPECT_EQ(segment.cores()[2]->request_log().status_reads, 0);
  }
  EXPECT_TRUE(seen) << monitor.Output();
  EXPECT_TRUE(running) << "the monitor ended by itself:\n" << monitor.Output();
  EXPECT_TRUE(ended) << "the monitor did not end on SIGTERM";
}

}  // namespace
