// Firmware blocks per second on a veth pair, against the limit the link's
// round trip sets (one block waits for its acknowledgement before the next).
#include <benchmark/benchmark.h>

#include <chrono>

#include "switch/cswitchcomm.h"
#include "switch/srecord.h"
#include "tests/e2e/ops_net.h"

namespace {

using fw::ops_e2e::CSegment;

void BM_FirmwareBlocks(benchmark::State& state) {
  if (!CSegment::Unavailable().empty()) {
    state.SkipWithError(CSegment::Unavailable().c_str());
    return;
  }
  CSegment seg(1, 0x41);
  {
    auto lock = seg.Lock();
    seg.cores()[0]->SetBootMonitor(true);
  }
  fw::ops_e2e::CRestrictedCapture backend({seg.host_end()});
  cswitchcomm comm(&backend);
  comm.CommSetTargetMac(CSegment::MacText(fw::MacAddress{0x02, 0x4B, 0x33, 0x41, 0x00, 0x01}));
  std::string error;
  std::uint8_t local[6];
  if (comm.CommOpenDevice(seg.host_end(), local, &error) != kCommOk) {
    state.SkipWithError(error.c_str());
    return;
  }
  // The round trip: a NOP and its reply.
  constexpr int kRoundTrips = 1000;
  for (int i = 0; i < 100; ++i)
    benchmark::DoNotOptimize(comm.CommSendNop(kCommQuiet, nullptr, &error));
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kRoundTrips; ++i)
    benchmark::DoNotOptimize(comm.CommSendNop(kCommQuiet, nullptr, &error));
  const double rtt =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / kRoundTrips;

  fw::SRecord rec;
  rec.type = 2;
  rec.data.assign(62, 0x5A);
  std::int64_t blocks = 0;
  for (auto _ : state) {
    rec.address += 62;
    const auto block = fw::SRecordBlockBytes(rec);
    if (comm.SendLoadBlock(block.data(), block.size(), blocks == 0 ? 1 : 0, &error) != kCommOk) {
      state.SkipWithError(error.c_str());
      break;
    }
    ++blocks;
  }
  state.SetItemsProcessed(blocks);
  state.counters["blocks_per_s"] =
      benchmark::Counter(static_cast<double>(blocks), benchmark::Counter::kIsRate);
  state.counters["round_trip_limit_per_s"] = rtt > 0 ? 1.0 / rtt : 0;
  state.counters["round_trip_us"] = rtt * 1e6;
}
BENCHMARK(BM_FirmwareBlocks)->Unit(benchmark::kMicrosecond)->MinTime(2.0)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
