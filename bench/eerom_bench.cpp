// How long a 2 KiB EEROM read takes over the real capture path, beyond the
// 200 ms per frame that the protocol itself waits. Needs root (veth pair in a
// network namespace); prints a "skipped" line otherwise.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>

#include "switch/cswitchcomm.h"
#include "tests/e2e/veth_pair.h"

namespace {

std::unique_ptr<fw::test::CVethSwitch> g_net;

void BM_EeromRead2KiB(benchmark::State& state) {
  cswitchcomm comm;
  std::string error;
  std::uint8_t mac[6];
  if (comm.CommOpenDevice(g_net->host_end(), mac, &error) != kCommOk) {
    state.SkipWithError(error.c_str());
    return;
  }
  std::string address;
  for (int i = 0; i < 10 && comm.CommSendNop(kCommQuiet, &address, &error) < kCommOk; ++i) {
  }
  if (!comm.CommSetTargetMac(address)) {
    state.SkipWithError("the software switch does not answer");
    return;
  }
  constexpr int kBytes = 2048;
  // One 32-byte entry per frame, each read 200 ms after it went out.
  constexpr double kMandatedMs = (kBytes / 32) * 200.0;
  double total_ms = 0;
  for (auto _ : state) {
    CCfgBlock block;
    block.AddRequest(kEeromRead, 0, kBytes);
    const auto start = std::chrono::steady_clock::now();
    const int r = comm.Run(block, &error);
    total_ms +=
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (r != kEeromOk) {
      state.SkipWithError(error.c_str());
      return;
    }
  }
  const double per_run = total_ms / static_cast<double>(state.iterations());
  state.counters["mandated_ms"] = kMandatedMs;
  state.counters["overhead_ms"] = per_run - kMandatedMs;
  state.counters["overhead_pct"] = 100.0 * (per_run - kMandatedMs) / kMandatedMs;
}
BENCHMARK(BM_EeromRead2KiB)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  const std::string why = fw::test::CVethSwitch::Unavailable();
  if (!why.empty()) {
    std::printf("eerom_bench skipped: %s\n", why.c_str());
    return 0;
  }
  g_net = std::make_unique<fw::test::CVethSwitch>();
  if (!g_net->ok()) {
    std::printf("eerom_bench skipped: %s\n", g_net->error().c_str());
    g_net.reset();
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  g_net.reset();
  return 0;
}
