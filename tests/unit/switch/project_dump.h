// Everything a project file stores of a loaded project, one field a line, so
// that two loads can be compared whole (and a difference read off). Shared by
// the unit tests and the project fuzz target, so no test framework here.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "switch/switchconfigstore.h"
#include "switch/switchentry.h"

namespace fwtest {

inline void DumpRaw(std::string& out, const CSwitchConfig::RawSection* raw) {
  if (!raw) return;
  for (const auto& [k, v] : *raw) out += "  kept " + k + "=" + v + "\n";
}

inline std::string DumpConfig(const CSwitchConfig& c) {
  std::string out = "config [" + c.GetName() + "]\n";
  auto line = [&out](const std::string& name, const std::string& value) {
    out += "  " + name + "=" + value + "\n";
  };
  auto num = [](long long v) { return std::to_string(v); };
  if (c.IsNewerVersion()) {
    DumpRaw(out, c.PreservedSection());
    return out;
  }
  line("type", c.GetType());
  line("ports", num(c.GetPortCount()));
  line("sendHigh", num(c.GetSendHigh()));
  line("rings", num(c.GetNumRings()));
  line("okMode", num(c.GetOKOutputMode()));
  line("okTriggers", num(static_cast<long long>(c.GetOKOutputTriggers())));
  line("master", num(c.GetMasterMode()));
  line("backupSel", num(c.GetDefaultBackupSelect()));
  for (int t = 0; t < CSwitchConfig::kTagValues; ++t) line("tag" + num(t), num(c.GetTagMapping(t)));
  // The order of the pairs is the map's, which a reload may turn round within
  // a bucket; the pairs themselves must stay.
  std::vector<std::string> pairs;
  for (const auto& e : c.MirrorPairs().Entries())
    pairs.push_back(num(e.source) + "*" + num(e.monitor) + "=" + num(e.value));
  std::sort(pairs.begin(), pairs.end());
  for (const auto& p : pairs) line("mirror", p);
  for (int r = 0; r < c.GetNumRings(); ++r) {
    const CRingSettings& g = *c.GetRing(r);
    line("ring" + num(r), num(g.enabled) + "," + num(g.primaryPort) + "," + num(g.backupPort) +
                              "," + num(g.testInterval));
  }
  for (int i = 0; i < c.GetPortCount(); ++i) {
    const CPortSettings& p = *c.GetPort(i);
    line("port" + num(i), num(c.GetMirrorSourceMode(i)) + "|" + p.name + "|" + p.admin + "|" +
                              p.negotiation + "|" + p.priority + "|" + p.outputTag + "|" +
                              p.precedence + "|" + num(p.full100) + num(p.half100) + num(p.full10) +
                              num(p.half10) + num(p.full1000) + num(p.half1000) + "|" +
                              num(p.broadcastLimit) + "," + num(p.flowControl) + "," +
                              num(p.useIP) + "," + num(p.useTag) + "," + num(p.gigabitCapable));
  }
  return out;
}

inline std::string DumpEntry(const CSwitchEntry& e) {
  std::string out = "switch [" + e.GetName() + "]\n";
  if (e.IsNewerVersion()) {
    DumpRaw(out, e.PreservedSection());
    return out;
  }
  out += "  mac=" + e.GetMacSuffix() + "\n  cfg=" + e.GetConfig().GetName() +
         "\n  part=" + e.GetPart().partNumber + "|" + e.GetPart().displayName + "|" +
         std::to_string(e.GetPart().portCount) + "\n  ip=" + e.GetIP() +
         "\n  subnet=" + e.GetSubnet() + "\n  gateway=" + e.GetGateway() +
         "\n  modbus=" + std::to_string(e.GetModbusEnable()) + "," +
         std::to_string(e.GetModbusAddress()) + "\n";
  return out;
}

inline std::string DumpProject(const CSwitchConfigStore& store, const CSwitchList& switches) {
  std::string out;
  for (int i = store.First(); i >= 0; i = store.Next(i)) out += DumpConfig(*store.GetAt(i));
  for (int i = switches.First(); i >= 0; i = switches.Next(i)) out += DumpEntry(*switches.GetAt(i));
  return out;
}

}  // namespace fwtest
