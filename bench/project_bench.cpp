// Loading and saving a large project through the real model: 200
// configurations and 1,000 switches at scale 1, and multiples of that.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <string>

#include "platform/resstring.h"
#include "res/string_ids.h"
#include "switch/projectfile.h"

namespace {

void MakeProject(int scale, CSwitchConfigStore& store, CSwitchList& switches) {
  const int configs = 200 * scale, entries = 1000 * scale;
  for (int i = 0; i < configs; ++i) {
    CSwitchConfig c;
    c.SetName("Config " + std::to_string(i));
    const unsigned type = IDS_BASE_TYPE_0 + static_cast<unsigned>(i % 11);
    c.SetPortCount(CSwitchConfig::BaseTypePortCount(LoadResString(type)));
    c.SetPartNumber(LoadResString(type));
    c.SetMirrorPair(0, 1, 1);
    c.SetMirrorPair(2, 1, 2);
    benchmark::DoNotOptimize(store.Add(c));
  }
  for (int i = 0; i < entries; ++i) {
    CSwitchEntry e;
    e.SetName("Switch " + std::to_string(i));
    e.SetMac("00:12:" + std::to_string(10 + i % 90));
    e.SetPartFromText(i % 2 ? "QV-9KP-1" : "QV-5KP-2", "");
    e.GetConfig().SetName("Config " + std::to_string(i % configs));
    e.SetIP("192.168.1." + std::to_string(i % 250));
    benchmark::DoNotOptimize(switches.Add(e));
  }
}

std::string TempPath() {
  char path[] = "/tmp/fwprojbenchXXXXXX";
  close(mkstemp(path));
  return path;
}

void BM_LoadProject(benchmark::State& state) {
  const int scale = static_cast<int>(state.range(0));
  const std::string path = TempPath();
  {
    CSwitchConfigStore store(0);
    CSwitchList switches;
    MakeProject(scale, store, switches);
    if (fw::SaveProjectFile(path, store, switches) != fw::kProjectOk) {
      state.SkipWithError("cannot write the project file");
      return;
    }
  }
  for (auto _ : state) {
    CSwitchConfigStore store(0);
    CSwitchList switches;
    benchmark::DoNotOptimize(fw::LoadProjectFile(path, store, switches));
  }
  state.SetComplexityN(scale);
  unlink(path.c_str());
}
BENCHMARK(BM_LoadProject)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_SaveProject(benchmark::State& state) {
  const int scale = static_cast<int>(state.range(0));
  const std::string path = TempPath();
  CSwitchConfigStore store(0);
  CSwitchList switches;
  MakeProject(scale, store, switches);
  if (fw::SaveProjectFile(path, store, switches) != fw::kProjectOk) {
    state.SkipWithError("cannot write the project file");
    return;
  }
  // Each save replaces the sections of the one before, as saving an open project does.
  for (auto _ : state) benchmark::DoNotOptimize(fw::SaveProjectFile(path, store, switches));
  state.SetComplexityN(scale);
  unlink(path.c_str());
}
BENCHMARK(BM_SaveProject)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
