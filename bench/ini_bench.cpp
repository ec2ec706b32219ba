// Load, edit and save of a generated project-sized INI file: 1,000 switch
// sections and 200 configuration sections at scale 1, and multiples of that.
// Time must grow linearly with the number of sections.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/atomicfile.h"
#include "platform/inifile.h"

namespace {

std::string MakeProject(int scale) {
  const int switches = 1000 * scale, configs = 200 * scale;
  std::string t = "[Switch Cfgs]\r\n";
  for (int i = 0; i < configs; ++i)
    t += std::to_string(i) + "=Config " + std::to_string(i) + "\r\n";
  t += "\r\n[Switch Entries]\r\n";
  for (int i = 0; i < switches; ++i)
    t += std::to_string(i) + "=Switch " + std::to_string(i) + "\r\n";
  for (int i = 0; i < configs; ++i) {
    t += "\r\n[Switch Cfg: Config " + std::to_string(i) +
         "]\r\nVers=1\r\nType=9 Port\r\nNumPorts=9\r\n";
    for (int p = 0; p < 9; ++p)
      t += "Port" + std::to_string(p) + "=Enabled,Auto,Normal,Unchanged,Use Tag,1,Enabled\r\n";
    t += "NumRings=2\r\nRing0=3,4,Enabled\r\nRing1=0,1,Disabled\r\n";
  }
  for (int i = 0; i < switches; ++i) {
    t += "\r\n[Switch Entry: Switch " + std::to_string(i) +
         "]\r\nMAC=02:4B:33:00:12:34\r\nPart Type=QV-9KP-1\r\nIP=192.168.1.10\r\n"
         "Subnet=255.255.255.0\r\nGateway=0.0.0.0\r\nModbus=1\r\nEnabled=1\r\nConfig=Config 1\r\n";
  }
  return t;
}

void BM_LoadEditSave(benchmark::State& state) {
  const int scale = static_cast<int>(state.range(0));
  char path[] = "/tmp/fwbenchXXXXXX";
  int fd = mkstemp(path);
  close(fd);
  const std::string text = MakeProject(scale);
  if (!fw::WriteFileAtomic(path, text, nullptr)) {
    state.SkipWithError("cannot write the project file");
    return;
  }
  for (auto _ : state) {
    fw::CIniFile f;
    benchmark::DoNotOptimize(f.Load(path));
    // Read every switch section, change one value in each, add a key to each configuration.
    for (int i = 0; i < 1000 * scale; ++i) {
      const std::string s = "Switch Entry: Switch " + std::to_string(i);
      benchmark::DoNotOptimize(f.GetString(s, "MAC"));
      f.SetString(s, "IP", "10.0.0.1");
    }
    for (int i = 0; i < 200 * scale; ++i)
      f.SetString("Switch Cfg: Config " + std::to_string(i), "Mirror0", "1,2");
    benchmark::DoNotOptimize(f.Save());
  }
  state.SetComplexityN(scale);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
  unlink(path);
}
BENCHMARK(BM_LoadEditSave)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
