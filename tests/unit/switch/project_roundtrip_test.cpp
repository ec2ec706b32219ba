// Save then load must give back every stored setting of many generated
// configurations and switches.
#include <gtest/gtest.h>

#include <random>

#include "model_testutil.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "switch/projectfile.h"

namespace {

class Generator {
 public:
  explicit Generator(unsigned seed) : m_rng(seed) {}

  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
  template <typename T>
  const T& Pick(const std::vector<T>& v) {
    return v[static_cast<std::size_t>(Int(0, static_cast<int>(v.size()) - 1))];
  }
  std::string Name(const std::string& stem) {
    // Letters of cp1252 and beyond, blanks inside, punctuation the file must carry.
    static const std::vector<std::string> bits = {
        "a", "Z", "9", " ", "-",           "_", "\xC3\xA9", "\xE2\x82\xAC",
        "#", ";", "=", "[", "\xE2\x9C\x93"};
    std::string n = stem + "|";
    for (int i = Int(0, 6); i > 0; --i) n += Pick(bits);
    return n + "x";
  }

  void Fill(CSwitchConfig& c, const std::string& name) {
    c.SetName(name);
    const unsigned type = static_cast<unsigned>(Int(IDS_BASE_TYPE_0, IDS_BASE_TYPE_10));
    const int ports = CSwitchConfig::BaseTypePortCount(LoadResString(type));
    c.SetPortCount(ports);
    c.SetPartNumber(LoadResString(type));
    c.SetSendHigh(Int(0, 1));
    c.SetNumRings(Int(0, 4));
    c.SetOKOutputMode(Int(0, 1));
    c.SetOKOutputTriggers(static_cast<unsigned long>(Int(0, 15)));
    c.SetMasterMode(Int(0, 1));
    c.SetDefaultBackupSelect(Int(0, 1));
    for (int i = 0; i < ports; ++i) c.SetMirrorSourceMode(i, static_cast<unsigned>(Int(0, 1)));
    const int monitor = Int(0, ports - 1);
    for (int src = 0; src < ports; ++src)
      if (src != monitor && Int(0, 2) == 0) c.SetMirrorPair(src, monitor, Int(1, 3));
    for (int t = 0; t < 8; ++t) c.SetTagMapping(t, static_cast<unsigned>(Int(0, 3)));
    for (int r = 0; r < c.GetNumRings(); ++r) {
      CRingSettings* ring = c.GetRing(r);
      ring->enabled = Int(0, 1);
      ring->primaryPort = Int(-1, ports - 1);
      ring->backupPort = Int(-1, ports - 1);
      ring->testInterval = Int(0, 20);
    }
    static const std::vector<std::string> admin = {"Enabled", "Disabled"}, neg = {"Auto", "Fixed"},
                                          tag = {"Unchanged", "Add Tag", "Remove Tag"},
                                          prec = {"Use Tag", "Use IP"},
                                          prio = {"Background", "Normal", "Expedited", "Urgent"};
    for (int i = 0; i < ports; ++i) {
      CPortSettings& p = *c.GetPort(i);
      p.full100 = Int(0, 1), p.half100 = Int(0, 1), p.full10 = Int(0, 1), p.half10 = Int(0, 1);
      p.full1000 = Int(0, 1), p.half1000 = Int(0, 1);
      p.broadcastLimit = Int(0, 1), p.flowControl = Int(0, 1), p.useIP = Int(0, 1),
      p.useTag = Int(0, 1);
      p.admin = Pick(admin), p.negotiation = Pick(neg), p.outputTag = Pick(tag);
      p.precedence = Pick(prec), p.priority = Pick(prio);
    }
  }

  void Fill(CSwitchEntry& e, const std::string& name, const std::vector<std::string>& configs) {
    static const std::vector<std::string> parts = {"QV-5KP-1", "QV-9KP-3", "MW-6KP-2", "QV-9KX-xx",
                                                   "Managed"};
    e.SetName(name);
    char mac[16];
    std::snprintf(mac, sizeof mac, "%02X:%02X:%02X", Int(0, 255), Int(0, 255), Int(0, 255));
    e.SetMac(mac);
    e.SetPartFromText(Pick(parts), "");
    e.GetConfig().SetName(Int(0, 4) == 0 ? std::string() : Pick(configs));
    e.SetIP(Int(0, 1) ? "192.168." + std::to_string(Int(0, 255)) + "." + std::to_string(Int(1, 254))
                      : "");
    e.SetSubnet(Pick(std::vector<std::string>{"255.255.255.0", "255.255.0.0", ""}));
    e.SetGateway(Int(0, 1) ? "10.0.0." + std::to_string(Int(1, 254)) : "");
    e.SetModbusEnable(Int(0, 1));
    e.SetModbusAddress(Int(1, 247));
  }

 private:
  std::mt19937 m_rng;
};

void ExpectSame(const CSwitchConfig& a, const CSwitchConfig& b) {
  SCOPED_TRACE(a.GetName());
  EXPECT_EQ(a.GetName(), b.GetName());
  EXPECT_EQ(a.GetType(), b.GetType());
  ASSERT_EQ(a.GetPortCount(), b.GetPortCount());
  EXPECT_EQ(a.GetSendHigh(), b.GetSendHigh());
  EXPECT_EQ(a.GetNumRings(), b.GetNumRings());
  EXPECT_EQ(a.GetOKOutputMode(), b.GetOKOutputMode());
  EXPECT_EQ(a.GetOKOutputTriggers(), b.GetOKOutputTriggers());
  EXPECT_EQ(a.GetMasterMode(), b.GetMasterMode());
  EXPECT_EQ(a.GetDefaultBackupSelect(), b.GetDefaultBackupSelect());
  for (int t = 0; t < 8; ++t) EXPECT_EQ(a.GetTagMapping(t), b.GetTagMapping(t));
  for (int r = 0; r < a.GetNumRings(); ++r) {
    EXPECT_EQ(a.GetRing(r)->enabled, b.GetRing(r)->enabled);
    EXPECT_EQ(a.GetRing(r)->primaryPort, b.GetRing(r)->primaryPort);
    EXPECT_EQ(a.GetRing(r)->backupPort, b.GetRing(r)->backupPort);
    EXPECT_EQ(a.GetRing(r)->testInterval, b.GetRing(r)->testInterval);
  }
  std::vector<std::string> ka, kb;
  for (const auto& e : a.MirrorPairs().Entries())
    ka.push_back(e.key + "=" + std::to_string(e.value));
  for (const auto& e : b.MirrorPairs().Entries())
    kb.push_back(e.key + "=" + std::to_string(e.value));
  EXPECT_EQ(ka, kb);
  for (int i = 0; i < a.GetPortCount(); ++i) {
    const CPortSettings &p = *a.GetPort(i), &q = *b.GetPort(i);
    EXPECT_EQ(a.GetMirrorSourceMode(i), b.GetMirrorSourceMode(i));
    EXPECT_EQ(p.name, q.name);
    EXPECT_EQ(p.admin, q.admin);
    EXPECT_EQ(p.negotiation, q.negotiation);
    EXPECT_EQ(p.priority, q.priority);
    EXPECT_EQ(p.outputTag, q.outputTag);
    EXPECT_EQ(p.precedence, q.precedence);
    EXPECT_EQ((std::array{p.full100, p.half100, p.full10, p.half10, p.full1000, p.half1000,
                          p.broadcastLimit, p.flowControl, p.useIP, p.useTag, p.gigabitCapable}),
              (std::array{q.full100, q.half100, q.full10, q.half10, q.full1000, q.half1000,
                          q.broadcastLimit, q.flowControl, q.useIP, q.useTag, q.gigabitCapable}))
        << "port " << i;
  }
}

void ExpectSame(const CSwitchEntry& a, const CSwitchEntry& b) {
  SCOPED_TRACE(a.GetName());
  EXPECT_EQ(a.GetName(), b.GetName());
  EXPECT_EQ(a.GetMacSuffix(), b.GetMacSuffix());
  EXPECT_EQ(a.GetPart().partNumber, b.GetPart().partNumber);
  EXPECT_EQ(a.GetPart().portCount, b.GetPart().portCount);
  EXPECT_EQ(a.GetConfig().GetName(), b.GetConfig().GetName());
  EXPECT_EQ(a.GetIP(), b.GetIP());
  EXPECT_EQ(a.GetSubnet(), b.GetSubnet());
  EXPECT_EQ(a.GetGateway(), b.GetGateway());
  EXPECT_EQ(a.GetModbusEnable(), b.GetModbusEnable());
  EXPECT_EQ(a.GetModbusAddress(), b.GetModbusAddress());
}

class ProjectRoundTrip : public fwtest::ModelTest,
                         public ::testing::WithParamInterface<unsigned> {};

TEST_P(ProjectRoundTrip, SaveThenLoadGivesBackTheProject) {
  Generator gen(GetParam());
  CSwitchConfigStore store(0);
  CSwitchList switches;
  std::vector<std::string> configNames;
  for (int i = 0; i < 40; ++i) {
    CSwitchConfig c;
    gen.Fill(c, gen.Name("C" + std::to_string(i)));
    ASSERT_GE(store.Add(c), 0) << c.GetName();
    configNames.push_back(c.GetName());
  }
  for (int i = 0; i < 60; ++i) {
    CSwitchEntry e;
    gen.Fill(e, gen.Name("S" + std::to_string(i)), configNames);
    ASSERT_GE(switches.Add(e), 0) << e.GetName();
  }
  // Deleted ones are left out of the file.
  store.GetAt(3)->SetDeleted(true);
  switches.MarkDeleted(5);

  const std::string path = m_dir.file("round.zcf");
  ASSERT_EQ(fw::SaveProjectFile(path, store, switches), fw::kProjectOk);
  CSwitchConfigStore store2(0);
  CSwitchList switches2;
  fw::CProjectNotes notes;
  ASSERT_EQ(fw::LoadProjectFile(path, store2, switches2, &notes), fw::kProjectOk);
  EXPECT_TRUE(notes.Empty()) << ::testing::PrintToString(notes.Messages());

  int j = store2.First();
  for (int i = store.First(); i >= 0; i = store.Next(i), j = store2.Next(j)) {
    ASSERT_GE(j, 0);
    ExpectSame(*store.GetAt(i), *store2.GetAt(j));
  }
  EXPECT_EQ(j, -1);
  j = switches2.First();
  for (int i = switches.First(); i >= 0; i = switches.Next(i), j = switches2.Next(j)) {
    ASSERT_GE(j, 0);
    ExpectSame(*switches.GetAt(i), *switches2.GetAt(j));
  }
  EXPECT_EQ(j, -1);

  // Saving what was loaded changes not a byte.
  const std::string first = fwtest::ReadText(path);
  ASSERT_EQ(fw::SaveProjectFile(path, store2, switches2), fw::kProjectOk);
  EXPECT_EQ(fwtest::ReadText(path), first);
}

INSTANTIATE_TEST_SUITE_P(Seeds, ProjectRoundTrip, ::testing::Range(1u, 9u));

}  // namespace
