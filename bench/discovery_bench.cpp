// Find-all against 50 software switches on two veth pairs: how long the
// search takes beyond its own wait limit. The listening part is what the
// threads add; the reading part is three EEROM frames per switch, each with
// the transaction's fixed pause before its reply is looked for.
#include <benchmark/benchmark.h>

#include <chrono>

#include "platform/profile.h"
#include "switch/switchconfigstore.h"
#include "switch/switchdiscovery.h"
#include "switch/switchentry.h"
#include "tests/e2e/ops_net.h"

namespace {

using fw::ops_e2e::CSegment;

constexpr int kWaitLimit = 300;

struct Net {
  Net() : a(25, 0x31), b(25, 0x32) {
    for (auto* s : {&a, &b}) {
      auto lock = s->Lock();
      int i = 0;
      for (auto& core : s->cores())
        fw::ops_e2e::Provision(*core, "bench" + std::to_string(i++), "0104");
    }
    backend = std::make_unique<fw::ops_e2e::CRestrictedCapture>(
        std::set<std::string>{a.host_end(), b.host_end()});
  }
  CSegment a, b;
  std::unique_ptr<fw::ops_e2e::CRestrictedCapture> backend;
};

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BM_ListenBeyondWaitLimit(benchmark::State& state) {
  if (!CSegment::Unavailable().empty()) {
    state.SkipWithError(CSegment::Unavailable().c_str());
    return;
  }
  fw::CProfile profile;
  fw::SetAppProfile(&profile);
  Net net;
  std::size_t heard = 0;
  for (auto _ : state) {
    CSwitchDiscovery d(net.backend.get());
    d.SetWaitLimit(kWaitLimit);
    std::vector<CSwitchDiscovery::Heard> result;
    std::string error;
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(d.ListenAll(&result, &error));
    state.SetIterationTime(Seconds(start) - kWaitLimit / 1000.0);
    heard = 0;
    for (const auto& h : result) heard += h.macs.size();
  }
  state.counters["switches_heard"] = static_cast<double>(heard);
  fw::SetAppProfile(nullptr);
}
BENCHMARK(BM_ListenBeyondWaitLimit)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FindAllBeyondWaitLimit(benchmark::State& state) {
  if (!CSegment::Unavailable().empty()) {
    state.SkipWithError(CSegment::Unavailable().c_str());
    return;
  }
  fw::CProfile profile;
  fw::SetAppProfile(&profile);
  CSwitchConfigStore::EnsureOfferedModels(0);
  Net net;
  std::size_t found_count = 0;
  for (auto _ : state) {
    CSwitchDiscovery d(net.backend.get());
    d.SetWaitLimit(kWaitLimit);
    std::vector<std::unique_ptr<CSwitchEntry>> found;
    std::string error;
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(d.FindAllSwitches(&found, &error));
    state.SetIterationTime(Seconds(start) - kWaitLimit / 1000.0);
    found_count = found.size();
  }
  state.counters["switches_found"] = static_cast<double>(found_count);
  fw::SetAppProfile(nullptr);
}
BENCHMARK(BM_FindAllBeyondWaitLimit)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
