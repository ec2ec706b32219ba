#include <gtest/gtest.h>

#include "model_testutil.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"
#include "switch/switchconfig.h"

namespace {

using fwtest::ModelTest;

std::string Type(unsigned id) {
  return LoadResString(id);
}

struct Speeds {
  int h10, f10, h100, f100, h1000, f1000;
  bool operator==(const Speeds&) const = default;
};
Speeds SpeedsOf(const CPortSettings& p) {
  return {p.half10, p.full10, p.half100, p.full100, p.half1000, p.full1000};
}
std::ostream& operator<<(std::ostream& os, const Speeds& s) {
  return os << s.h10 << s.f10 << s.h100 << s.f100 << "/" << s.h1000 << s.f1000;
}
constexpr Speeds kAllButGigabit{1, 1, 1, 1, 0, 0};
constexpr Speeds kAll{1, 1, 1, 1, 1, 1};
constexpr Speeds kOnly100Full{0, 0, 0, 1, 0, 0};
constexpr Speeds kOnly1000Full{0, 0, 0, 0, 0, 1};

// ---------------------------------------------------------------- defaults

using ConfigDefaults = ModelTest;

TEST_F(ConfigDefaults, NewConfigurationIsAFivePortRingSwitch) {
  CSwitchConfig c;
  EXPECT_EQ(c.GetPortCount(), 5);
  EXPECT_EQ(c.GetType(), "Any 5 port Ring switch");
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(c.GetPortTypeText(i), "");
    const CPortSettings& p = *c.GetPort(i);
    EXPECT_EQ(p.name, std::to_string(i + 1));
    EXPECT_EQ(p.admin, "Enabled");
    EXPECT_EQ(p.negotiation, "Auto");
    EXPECT_EQ(SpeedsOf(p), kAllButGigabit);
    EXPECT_EQ(p.priority, "Normal");
    EXPECT_EQ(p.outputTag, "Unchanged");
    EXPECT_EQ(p.precedence, "Use Tag");
    EXPECT_EQ(p.gigabitCapable, 0);
    EXPECT_EQ(c.GetMirrorSourceMode(i), 0u);
  }
  EXPECT_EQ(c.GetRing(0)->primaryPort, 3);
  EXPECT_EQ(c.GetRing(0)->backupPort, 4);
  EXPECT_EQ(c.GetRing(1)->primaryPort, 0);
  EXPECT_EQ(c.GetRing(1)->backupPort, 1);
  for (int r : {2, 3}) {
    EXPECT_EQ(c.GetRing(r)->primaryPort, -1);
    EXPECT_EQ(c.GetRing(r)->testInterval, 3);
    EXPECT_EQ(c.GetRing(r)->enabled, 0);
  }
  EXPECT_EQ(c.GetNumRings(), 2);
  EXPECT_EQ(c.GetOKOutputTriggers(), 7u);
  EXPECT_EQ(c.GetSendHigh(), 1);
  const unsigned tags[] = {0, 0, 0, 1, 1, 1, 1, 3};
  for (int t = 0; t < 8; ++t) EXPECT_EQ(c.GetTagMapping(t), tags[t]) << t;
  EXPECT_TRUE(c.MirrorPairs().Empty());
  EXPECT_FALSE(c.IsDeleted());
}

TEST_F(ConfigDefaults, MissingRingStringsFallBackToThePortCountRule) {
  // A language library without strings 4000-4003 must not put both ends of a ring on port 1.
  std::string error;
  auto bundle = fw::CResourceBundle::Parse("STRINGTABLE BEGIN 6000, \"x\" END", &error);
  ASSERT_TRUE(bundle) << error;
  fw::SetCurrentResources(bundle.get());
  CSwitchConfig c;
  fw::SetCurrentResources(nullptr);
  EXPECT_EQ(c.GetRing(0)->primaryPort, 3);
  EXPECT_EQ(c.GetRing(0)->backupPort, 4);
  EXPECT_EQ(c.GetRing(1)->primaryPort, 0);
  EXPECT_EQ(c.GetRing(1)->backupPort, 1);
}

TEST_F(ConfigDefaults, RingStringsNamingNoPortAreIgnored) {
  std::string error;
  auto bundle = fw::CResourceBundle::Parse(
      "STRINGTABLE BEGIN 4000, \"2\" 4001, \"17\" 4002, \"abc\" 4003, \"-5\" END", &error);
  ASSERT_TRUE(bundle) << error;
  fw::SetCurrentResources(bundle.get());
  CSwitchConfig c;
  fw::SetCurrentResources(nullptr);
  EXPECT_EQ(c.GetRing(0)->primaryPort, 2);  // a usable translation is taken
  EXPECT_EQ(c.GetRing(0)->backupPort, 4);
  EXPECT_EQ(c.GetRing(1)->primaryPort, 0);  // "abc" reads as 0, which is a port
  EXPECT_EQ(c.GetRing(1)->backupPort, 1);
}

// ---------------------------------------------------------------- port count

using ConfigPortCount = ModelTest;

TEST_F(ConfigPortCount, RingZeroFollowsThePortCount) {
  CSwitchConfig c;
  c.SetPortCount(9);
  EXPECT_EQ(c.GetPortCount(), 9);
  EXPECT_EQ(c.GetRing(0)->primaryPort, 7);
  EXPECT_EQ(c.GetRing(0)->backupPort, 8);
  c.SetPortCount(6);
  EXPECT_EQ(c.GetRing(0)->primaryPort, 4);
  EXPECT_EQ(c.GetRing(0)->backupPort, 5);
  EXPECT_EQ(c.GetRing(1)->primaryPort, 0);
  EXPECT_EQ(c.GetRing(1)->backupPort, 1);
  c.SetPortCount(3);
  // No ring may name a port the configuration does not have.
  EXPECT_EQ(c.GetRing(0)->primaryPort, -1);
  EXPECT_EQ(c.GetRing(0)->backupPort, -1);
}

TEST_F(ConfigPortCount, SameCountKeepsSettingsAndANewCountStartsAfresh) {
  CSwitchConfig c;
  c.GetPort(2)->admin = "Disabled";
  c.SetMirrorSourceMode(2, 1);
  c.SetPortCount(5);
  EXPECT_EQ(c.GetPort(2)->admin, "Disabled");
  EXPECT_EQ(c.GetMirrorSourceMode(2), 1u);
  c.SetPortCount(9);
  EXPECT_EQ(c.GetPort(2)->admin, "Enabled");
  EXPECT_EQ(c.GetPort(8)->name, "9");
  EXPECT_EQ(c.GetMirrorSourceMode(2), 0u);
  EXPECT_EQ(c.GetPort(9), nullptr);
  EXPECT_EQ(c.GetPort(-1), nullptr);
}

TEST_F(ConfigPortCount, FewerPortsDropMirrorPairsOfPortsThatAreGone) {
  CSwitchConfig c;
  c.SetPortCount(9);
  c.SetMirrorPair(0, 8, 1);
  c.SetMirrorPair(7, 8, 2);
  c.SetMirrorPair(1, 2, 3);
  c.SetPortCount(5);
  EXPECT_FALSE(c.LookupMirrorPair(0, 8));
  EXPECT_FALSE(c.LookupMirrorPair(7, 8));
  EXPECT_EQ(c.LookupMirrorPair(1, 2), 3);
  EXPECT_EQ(c.MirrorPairs().Count(), 1u);
  EXPECT_FALSE(c.IsMonitorPort(8));
}

TEST_F(ConfigPortCount, GigabitFlagSurvivesAPortRebuild) {
  CSwitchConfig c;
  c.SetPartNumber(Type(IDS_BASE_TYPE_9));
  c.SetPortCount(9);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(c.GetPort(i)->gigabitCapable, i > 5 ? 1 : 0) << i;
  // A fresh record's speeds stay the defaults: the file or the user set them.
  EXPECT_EQ(SpeedsOf(*c.GetPort(7)), kAllButGigabit);
}

// ---------------------------------------------------------------- type and port types

struct TypeRow {
  unsigned id;
  const char* ports[9];
};
constexpr const char* C = "10/100 RJ45";
constexpr const char* F = "100M fiber";
constexpr const char* G = "10/100/1000 RJ45";
constexpr const char* S = "1000 SFP";
const TypeRow kPortTypes[] = {
    {IDS_BASE_TYPE_0, {C, C, C, C, C, C, C, C, C}},  {IDS_BASE_TYPE_1, {C, C, C, C, F, C, C, C, C}},
    {IDS_BASE_TYPE_2, {C, C, C, F, F, F, F, F, F}},  {IDS_BASE_TYPE_3, {C, C, C, C, C, C, C, C, C}},
    {IDS_BASE_TYPE_4, {C, C, C, C, C, F, C, C, C}},  {IDS_BASE_TYPE_5, {C, C, C, C, F, F, F, F, F}},
    {IDS_BASE_TYPE_6, {C, C, C, C, C, C, C, C, C}},  {IDS_BASE_TYPE_7, {C, C, C, C, C, C, C, C, F}},
    {IDS_BASE_TYPE_8, {C, C, C, C, C, C, C, F, F}},  {IDS_BASE_TYPE_9, {C, C, C, C, C, C, G, G, G}},
    {IDS_BASE_TYPE_10, {C, C, C, C, C, C, G, S, S}},
};

class PortTypeMatrix : public ModelTest, public ::testing::WithParamInterface<TypeRow> {};

TEST_P(PortTypeMatrix, EachPortHasTheTypeOfItsBaseConfiguration) {
  const TypeRow& row = GetParam();
  CSwitchConfig c;
  c.SetPortCount(9);
  c.SetPartNumber(Type(row.id));
  for (int i = 0; i < 9; ++i)
    EXPECT_EQ(c.GetPortTypeText(i), row.ports[i]) << "type " << row.id << " port " << i;
  EXPECT_EQ(c.IsGigabitType(), row.id >= IDS_BASE_TYPE_9);
  EXPECT_EQ(c.GetNumRings(), 2);
}
INSTANTIATE_TEST_SUITE_P(AllBaseTypes, PortTypeMatrix, ::testing::ValuesIn(kPortTypes),
                         [](const auto& info) { return "Type" + std::to_string(info.param.id); });

using ConfigType = ModelTest;

TEST_F(ConfigType, UnknownTypeHasNoPortTypes) {
  CSwitchConfig c;
  c.SetPartNumber("QV-5KP-1 with five 10/100 rj45 ports");  // letter case matters here
  EXPECT_EQ(c.GetPortTypeText(0), "");
}

TEST_F(ConfigType, BaseTypePortCount) {
  for (unsigned id = IDS_BASE_TYPE_0; id <= IDS_BASE_TYPE_10; ++id)
    EXPECT_EQ(CSwitchConfig::BaseTypePortCount(Type(id)), id >= IDS_BASE_TYPE_6   ? 9
                                                          : id >= IDS_BASE_TYPE_3 ? 6
                                                                                  : 5)
        << id;
  EXPECT_EQ(CSwitchConfig::BaseTypePortCount("anything"), 5);
}

TEST_F(ConfigType, GigabitTypeIgnoresLetterCase) {
  CSwitchConfig c;
  c.SetPartNumber(fw::ToUpperAscii(Type(IDS_BASE_TYPE_10)));
  EXPECT_TRUE(c.IsGigabitType());
}

TEST_F(ConfigType, GigabitFiberTypeFixesTheSfpPortsToOneGigabit) {
  CSwitchConfig c;
  c.SetPortCount(9);
  c.SetPartNumber(Type(IDS_BASE_TYPE_10));
  for (int i : {7, 8}) {
    EXPECT_EQ(c.GetPort(i)->negotiation, "Fixed");
    EXPECT_EQ(SpeedsOf(*c.GetPort(i)), kOnly1000Full);
    EXPECT_EQ(c.GetPort(i)->gigabitCapable, 1);
  }
  EXPECT_EQ(c.GetPort(6)->gigabitCapable, 1);
  EXPECT_EQ(c.GetPort(6)->negotiation, "Auto");
  EXPECT_EQ(SpeedsOf(*c.GetPort(6)), kAll);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(c.GetPort(i)->gigabitCapable, 0);
    EXPECT_EQ(SpeedsOf(*c.GetPort(i)), kAllButGigabit);
  }
}

TEST_F(ConfigType, FiberPortsAreFixedAtOneHundred) {
  CSwitchConfig c;
  c.SetPartNumber(Type(IDS_BASE_TYPE_2));
  for (int i : {3, 4}) {
    EXPECT_EQ(c.GetPort(i)->negotiation, "Fixed");
    EXPECT_EQ(SpeedsOf(*c.GetPort(i)), kOnly100Full);
  }
  EXPECT_EQ(c.GetPort(2)->negotiation, "Auto");
}

TEST_F(ConfigType, FiberPortsAreFixedInEveryLanguage) {
  // The stored speed mode is the English word whatever the display language.
  fw::SetCurrentResources(fwtest::LanguageBundle("de"));
  CSwitchConfig c;
  c.SetPartNumber(Type(IDS_BASE_TYPE_2));
  for (int i : {3, 4}) {
    EXPECT_EQ(c.GetPort(i)->negotiation, "Fixed");
    EXPECT_EQ(SpeedsOf(*c.GetPort(i)), kOnly100Full) << i;
  }
  c.SetPortCount(9);
  c.SetPartNumber(Type(IDS_BASE_TYPE_10));
  EXPECT_EQ(SpeedsOf(*c.GetPort(8)), kOnly1000Full);
}

TEST_F(ConfigType, SwitchingBetweenGigabitTypes) {
  CSwitchConfig c;
  c.SetPortCount(9);
  c.SetPartNumber(Type(IDS_BASE_TYPE_9));
  for (int i = 6; i < 9; ++i) EXPECT_EQ(SpeedsOf(*c.GetPort(i)), kAll) << i;
  // From one gigabit type to another the SFP ports are not forced again.
  c.SetPartNumber(Type(IDS_BASE_TYPE_10));
  EXPECT_EQ(c.GetPort(8)->negotiation, "Auto");
  EXPECT_EQ(SpeedsOf(*c.GetPort(8)), kAll);
  // Leaving gigabit takes the 1000 speeds away.
  c.SetPartNumber(Type(IDS_BASE_TYPE_6));
  for (int i = 6; i < 9; ++i) {
    EXPECT_EQ(c.GetPort(i)->gigabitCapable, 0);
    EXPECT_EQ(c.GetPort(i)->half1000, 0);
    EXPECT_EQ(c.GetPort(i)->full1000, 0);
  }
}

TEST_F(ConfigType, TypeChangeResetsTheNumberOfRings) {
  CSwitchConfig c;
  c.SetNumRings(4);
  c.SetPartNumber(Type(IDS_BASE_TYPE_0));
  EXPECT_EQ(c.GetNumRings(), 2);
}

// ---------------------------------------------------------------- speeds

using ConfigSpeeds = ModelTest;

TEST_F(ConfigSpeeds, SpeedModeOnlyActsOnAChange) {
  CSwitchConfig c;
  CPortSettings& p = *c.GetPort(0);
  p.full10 = 0;
  c.SetSpeedMode(0, "Auto");  // already Auto: nothing changes
  EXPECT_EQ(p.full10, 0);
  c.SetSpeedMode(0, "Fixed");
  EXPECT_EQ(SpeedsOf(p), kOnly100Full);
  c.SetSpeedMode(0, "Auto");
  EXPECT_EQ(SpeedsOf(p), kAll);
  c.SetSpeedMode(17, "Fixed");  // no such port: ignored
}

TEST_F(ConfigSpeeds, FixedOnAGigabitPortMeansOneGigabitFull) {
  CSwitchConfig c;
  c.SetGigabitCapable(0, 1);
  EXPECT_EQ(c.GetPort(0)->half1000, 1);
  c.SetSpeedMode(0, "Fixed");
  EXPECT_EQ(SpeedsOf(*c.GetPort(0)), kOnly1000Full);
}

TEST_F(ConfigSpeeds, GigabitFlagTouchesSpeedsOnlyWhenItChanges) {
  CSwitchConfig c;
  c.SetGigabitCapable(1, 1);
  c.GetPort(1)->full1000 = 0;
  c.SetGigabitCapable(1, 1);
  EXPECT_EQ(c.GetPort(1)->full1000, 0);
  c.SetGigabitCapable(1, 0);
  EXPECT_EQ(c.GetPort(1)->half1000, 0);
}

TEST_F(ConfigSpeeds, CheckSpeedsReportsOnlyWhenEveryPortIsOff) {
  CSwitchConfig c;
  std::vector<std::string> msgs{"stale"};
  EXPECT_EQ(c.CheckSpeeds(msgs), CSwitchConfig::kSpeedsOk);
  EXPECT_TRUE(msgs.empty());
  for (int i = 0; i < 5; ++i) {
    CPortSettings& p = *c.GetPort(i);
    p.half10 = p.full10 = p.half100 = p.full100 = 0;
  }
  // The 1000 flags do not count on a type without gigabit ports.
  c.GetPort(4)->full1000 = 1;
  EXPECT_EQ(c.CheckSpeeds(msgs), CSwitchConfig::kAllSpeedsOff);
  EXPECT_EQ(msgs, std::vector<std::string>{"All port speeds are disabled."});
  c.GetPort(4)->full10 = 1;
  EXPECT_EQ(c.CheckSpeeds(msgs), CSwitchConfig::kSpeedsOk);
}

TEST_F(ConfigSpeeds, CheckSpeedsCountsGigabitSpeedsOnGigabitTypes) {
  CSwitchConfig c;
  c.SetPortCount(9);
  c.SetPartNumber(Type(IDS_BASE_TYPE_10));
  std::vector<std::string> msgs;
  for (int i = 0; i < 9; ++i) {
    CPortSettings& p = *c.GetPort(i);
    p.half10 = p.full10 = p.half100 = p.full100 = p.half1000 = p.full1000 = 0;
  }
  EXPECT_EQ(c.CheckSpeeds(msgs), CSwitchConfig::kAllSpeedsOff);
  c.GetPort(7)->full1000 = 1;
  EXPECT_EQ(c.CheckSpeeds(msgs), CSwitchConfig::kSpeedsOk);
}

// ---------------------------------------------------------------- mirroring

using ConfigMirroring = ModelTest;

TEST_F(ConfigMirroring, PairsAreStoredReplacedAndErasedByZero) {
  CSwitchConfig c;
  c.SetMirrorPair(0, 4, 1);
  c.SetMirrorPair(0, 4, 2);
  EXPECT_EQ(c.LookupMirrorPair(0, 4), 2);
  EXPECT_FALSE(c.LookupMirrorPair(4, 0));
  // An unchecked pair is gone, so it cannot decide the monitor port later.
  c.SetMirrorPair(0, 4, 0);
  EXPECT_FALSE(c.LookupMirrorPair(0, 4));
  EXPECT_TRUE(c.MirrorPairs().Empty());
  EXPECT_FALSE(c.IsMonitorPort(4));
}

TEST_F(ConfigMirroring, MonitorPortAnswersWithTheFirstSourcesValue) {
  CSwitchConfig c;
  c.SetMirrorPair(3, 4, 7);
  c.SetMirrorPair(1, 4, 5);
  EXPECT_EQ(c.IsMonitorPort(4), 5);
  EXPECT_FALSE(c.IsMonitorPort(3));
  EXPECT_TRUE(c.OnlyMonitorIs(4));
  EXPECT_FALSE(c.OnlyMonitorIs(2));
  CSwitchConfig empty;
  EXPECT_TRUE(empty.OnlyMonitorIs(0));
}

TEST_F(ConfigMirroring, MapOrderIsByBucketThenLatestFirst) {
  // Buckets of the keys: "6*8" 0, "1*3" and "0*4" 7, "4*3" and "3*4" 10, "5*8" 16.
  CMirrorPairMap m;
  for (auto [s, t] : {std::pair{0, 4}, {1, 3}, {3, 4}, {4, 3}, {5, 8}, {6, 8}}) m.Set(s, t, 1);
  std::vector<std::string> keys;
  for (const auto& e : m.Entries()) keys.push_back(e.key);
  EXPECT_EQ(keys, (std::vector<std::string>{"6*8", "1*3", "0*4", "4*3", "3*4", "5*8"}));
  // Replacing keeps the place.
  m.Set(0, 4, 9);
  EXPECT_EQ(m.Entries()[2].value, 9);
  EXPECT_EQ(CMirrorPairMap::Bucket("7*8"), 1u);
}

TEST_F(ConfigMirroring, SourceModesGrowOnlyWithinThePortTable) {
  CSwitchConfig c;
  c.SetMirrorSourceMode(7, 1);
  EXPECT_EQ(c.GetMirrorSourceMode(7), 1u);
  c.SetMirrorSourceMode(1000000, 1);
  EXPECT_EQ(c.GetMirrorSourceMode(1000000), 0u);
  EXPECT_EQ(c.GetMirrorSourceMode(-1), 0u);
}

// ---------------------------------------------------------------- copy, names, bounds

using ConfigCopy = ModelTest;

TEST_F(ConfigCopy, CopyTakesEverythingButTheDeletedFlag) {
  CSwitchConfig a;
  a.SetName("Line A");
  a.SetPortCount(9);
  a.SetPartNumber(Type(IDS_BASE_TYPE_10));
  a.GetPort(3)->priority = "Urgent";
  a.GetRing(2)->enabled = 1;
  a.GetRing(2)->primaryPort = 5;
  a.SetTagMapping(7, 2);
  a.SetMirrorSourceMode(4, 1);
  a.SetMirrorPair(5, 8, 1);
  a.SetMirrorPair(6, 8, 2);
  a.SetMasterMode(1);
  a.SetNumRings(3);
  a.SetSendHigh(0);
  a.SetOKOutputMode(1);
  a.SetOKOutputTriggers(9);
  a.SetDefaultBackupSelect(1);
  a.SetDeleted(true);

  CSwitchConfig b;
  b.CopyFrom(a);
  EXPECT_EQ(b.GetName(), "Line A");
  EXPECT_EQ(b.GetType(), a.GetType());
  EXPECT_EQ(b.GetPortCount(), 9);
  EXPECT_EQ(b.GetPort(3)->priority, "Urgent");
  EXPECT_EQ(SpeedsOf(*b.GetPort(8)), kOnly1000Full);
  EXPECT_EQ(b.GetPort(8)->gigabitCapable, 1);
  EXPECT_EQ(b.GetRing(2)->primaryPort, 5);
  EXPECT_EQ(b.GetTagMapping(7), 2u);
  EXPECT_EQ(b.GetMirrorSourceMode(4), 1u);
  EXPECT_EQ(b.MirrorPairs().Entries().size(), 2u);
  EXPECT_EQ(b.MirrorPairs().Entries()[0].key, a.MirrorPairs().Entries()[0].key);
  EXPECT_EQ(b.GetMasterMode(), 1);
  EXPECT_EQ(b.GetNumRings(), 3);
  EXPECT_EQ(b.GetSendHigh(), 0);
  EXPECT_EQ(b.GetOKOutputMode(), 1);
  EXPECT_EQ(b.GetOKOutputTriggers(), 9u);
  EXPECT_EQ(b.GetDefaultBackupSelect(), 1);
  EXPECT_FALSE(b.IsDeleted());

  // Copying a smaller configuration over a larger one shrinks it.
  CSwitchConfig small;
  b.CopyFrom(small);
  EXPECT_EQ(b.GetPortCount(), 5);
  EXPECT_TRUE(b.MirrorPairs().Empty());
}

TEST_F(ConfigCopy, NamesLoseWhatCannotStandInASectionHeader) {
  CSwitchConfig c;
  c.SetName("  Pump]\x01house\x7F 3 ");
  EXPECT_EQ(c.GetName(), "Pumphouse 3");
  c.SetName("\"quoted\"");
  EXPECT_EQ(c.GetName(), "quoted");
  c.SetName("caf\xE9");  // not UTF-8: taken as cp1252
  EXPECT_EQ(c.GetName(), "caf\xC3\xA9");
  c.SetName("\x81\x8D");  // bytes with no character at all
  EXPECT_EQ(c.GetName(), "");
}

TEST_F(ConfigCopy, RingAndTagIndexesAreBounded) {
  CSwitchConfig c;
  c.SetNumRings(9);
  EXPECT_EQ(c.GetNumRings(), 4);
  c.SetNumRings(-2);
  EXPECT_EQ(c.GetNumRings(), 0);
  EXPECT_EQ(c.GetRing(4), nullptr);
  c.SetTagMapping(8, 3);
  EXPECT_EQ(c.GetTagMapping(8), 0u);
}

}  // namespace
