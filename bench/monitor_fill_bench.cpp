// The monitor started as a process with 50 software switches on its only
// segment: the time from its start to a filled list. The list is seen from
// outside: started with -mac= naming the last switch, the monitor polls that
// switch's status once its row is in the refilled list. Reported whole and
// beyond the search's wait limit, which the search always waits out.
#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "platform/text.h"
#include "tests/common/test_util.h"
#include "tests/e2e/netns_program.h"
#include "tests/e2e/ops_net.h"

namespace {

using fw::ops_e2e::CSegment;

constexpr int kSwitches = 50;
constexpr double kWaitLimitSeconds = 3.0;  // the monitor's first-run setting

void BM_MonitorStartToFilledList(benchmark::State& state) {
  if (!CSegment::Unavailable().empty()) {
    state.SkipWithError(CSegment::Unavailable().c_str());
    return;
  }
  double read_all = 0;
  for (auto _ : state) {
    CSegment segment(kSwitches, 0x64, CSegment::HostEnd::kOwnNamespace);
    if (!segment.ok()) {
      state.SkipWithError(segment.error().c_str());
      return;
    }
    std::string target;
    {
      auto lock = segment.Lock();
      int i = 0;
      for (auto& core : segment.cores())
        fw::ops_e2e::Provision(*core, "bench" + std::to_string(i++), "0104");
      target = fw::ToUpperAscii(CSegment::MacText(segment.cores().back()->mac()));
    }
    fw::test::TempDir dir;
    mkdir((dir.path() + "/run").c_str(), 0700);
    const auto start = std::chrono::steady_clock::now();
    fw::test::CNetnsProgram monitor(segment.host_namespace(), {FW_CALVENOR, "-mac=" + target},
                                    fw::test::ProgramEnvironment(dir.path()),
                                    dir.path() + "/output.txt");
    bool all_read = false, filled = false;
    while (!filled && monitor.Running() &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(60)) {
      {
        auto lock = segment.Lock();
        if (!all_read) {
          all_read = true;
          for (auto& core : segment.cores())
            all_read = all_read && core->request_log().eerom_reads.count(232);
          if (all_read)
            read_all =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
        filled = segment.cores().back()->request_log().status_reads > 0;
      }
      if (!filled) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!filled) {
      state.SkipWithError(("the list was not filled: " + monitor.Output()).c_str());
      return;
    }
    state.SetIterationTime(seconds);
    state.counters["beyond_wait_limit_ms"] = (seconds - kWaitLimitSeconds) * 1000;
    state.counters["all_read_ms"] = read_all * 1000;
  }
}
BENCHMARK(BM_MonitorStartToFilledList)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
