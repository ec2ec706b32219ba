// Project files come from users, other program versions and other machines:
// any bytes must read into a sound project, and that project must save and
// read back without complaint, every field as it was read first. The file is
// parsed in memory (the disk part is the INI engine's, fuzzed on its own).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "platform/inifile.h"
#include "platform/message.h"
#include "switch/projectfile.h"
#include "tests/unit/switch/project_dump.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// Whatever was read is a model the rest of the program may rely on.
void CheckModel(const CSwitchConfigStore& store, const CSwitchList& switches) {
  for (int i = store.First(); i >= 0; i = store.Next(i)) {
    const CSwitchConfig& c = *store.GetAt(i);
    Check(!c.GetName().empty());
    Check(c.GetPortCount() >= 1 && c.GetPortCount() <= CSwitchConfig::kMaxPorts);
    Check(c.GetNumRings() >= 0 && c.GetNumRings() <= CSwitchConfig::kMaxRings);
    Check(c.GetOKOutputTriggers() <= 15);
    for (int t = 0; t < CSwitchConfig::kTagValues; ++t) Check(c.GetTagMapping(t) <= 3);
    for (int k = 0; k < c.GetNumRings(); ++k) {
      const CRingSettings* ring = c.GetRing(k);
      Check(ring->primaryPort >= -1 && ring->primaryPort < c.GetPortCount());
      Check(ring->backupPort >= -1 && ring->backupPort < c.GetPortCount());
    }
    std::optional<int> monitor;
    for (const auto& e : c.MirrorPairs().Entries()) {
      Check(e.source >= 0 && e.source < c.GetPortCount() && e.monitor >= 0 &&
            e.monitor < c.GetPortCount());
      Check(e.source != e.monitor && e.value != 0);
      Check(!monitor || *monitor == e.monitor);
      monitor = e.monitor;
    }
    for (int p = 0; p < c.GetPortCount(); ++p) c.GetPortTypeText(p);
  }
  for (int i = switches.First(); i >= 0; i = switches.Next(i)) {
    const CSwitchEntry& e = *switches.GetAt(i);
    Check(!e.GetName().empty());
    if (!e.IsNewerVersion()) Check(e.GetModbusAddress() >= 1 && e.GetModbusAddress() <= 247);
  }
}

// Both reads hold the same project, field by field; a difference is shown.
void CheckSame(const std::string& first, const std::string& again) {
  if (first == again) return;
  std::fprintf(stderr, "first read:\n%s\nread after saving:\n%s\n", first.c_str(), again.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fw::CRecordingMessageSink sink;
  fw::IMessageSink* previous = fw::MessageSink();
  fw::SetMessageSink(&sink);

  fw::CIniFile file;
  file.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
  CSwitchConfigStore store(0);
  CSwitchList switches;
  fw::CProjectNotes notes;
  const int r = store.LoadSave(file, false, &notes);
  Check(r == fw::kProjectOk || r == fw::kProjectConflict || r == fw::kProjectNewerSection);
  Check(switches.LoadSave(file, false, &notes) == fw::kProjectOk);
  notes.Show();
  CheckModel(store, switches);

  // A loaded project saves, and reads back the same without new complaints.
  Check(store.LoadSave(file, true) == fw::kProjectOk);
  Check(switches.LoadSave(file, true) == fw::kProjectOk);
  fw::CIniFile again;
  again.Parse(file.Encode());
  CSwitchConfigStore store2(0);
  CSwitchList switches2;
  fw::CProjectNotes notes2;
  (void)store2.LoadSave(again, false, &notes2);  // its findings are in notes2
  Check(switches2.LoadSave(again, false, &notes2) == fw::kProjectOk);
  Check(notes2.repairedSections.empty() && notes2.droppedNames.empty() && !notes2.mirrorConflict);
  CheckModel(store2, switches2);
  CheckSame(fwtest::DumpProject(store, switches), fwtest::DumpProject(store2, switches2));

  fw::SetMessageSink(previous);
  return 0;
}
