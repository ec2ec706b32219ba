#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cctype>
#include <csignal>
#include <filesystem>
#include <set>

#include "model_testutil.h"
#include "platform/atomicfile.h"
#include "platform/dynlib.h"
#include "platform/inifile.h"
#include "platform/message.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "project_dump.h"
#include "res/string_ids.h"
#include "switch/projectfile.h"

namespace {

using fwtest::ReadText;
using fwtest::WriteText;

std::string Data(const std::string& name) {
  return std::string(FW_TEST_DATA) + "/" + name;
}

class ProjectFile : public fwtest::ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    m_store = std::make_unique<CSwitchConfigStore>(0);
  }
  // Loads a project given as text (LF line ends are fine).
  int Load(const std::string& text) {
    const std::string path = m_dir.file("p.zcf");
    WriteText(path, text);
    return fw::LoadProjectFile(path, *m_store, m_switches, &m_notes);
  }
  int Save() { return fw::SaveProjectFile(m_dir.file("p.zcf"), *m_store, m_switches, &m_notes); }
  // Loads the text, saves and loads again; the dumps of both loads.
  std::pair<std::string, std::string> LoadSaveLoad(const std::string& text) {
    Load(text);
    const std::string first = fwtest::DumpProject(*m_store, m_switches);
    EXPECT_EQ(Save(), fw::kProjectOk);
    fw::CProjectNotes notes;
    EXPECT_GE(fw::LoadProjectFile(m_dir.file("p.zcf"), *m_store, m_switches, &notes),
              fw::kProjectOk);
    EXPECT_TRUE(notes.Empty()) << ::testing::PrintToString(notes.Messages());
    return {first, fwtest::DumpProject(*m_store, m_switches)};
  }
  std::string Saved() { return ReadText(m_dir.file("p.zcf")); }
  fw::CIniFile SavedIni() {
    fw::CIniFile f;
    f.Parse(Saved());
    return f;
  }
  const CSwitchConfig& Cfg(const std::string& name) {
    const CSwitchConfig* c = m_store->FindByName(name);
    EXPECT_NE(c, nullptr) << name;
    static CSwitchConfig none;
    return c ? *c : none;
  }

  std::unique_ptr<CSwitchConfigStore> m_store;
  CSwitchList m_switches;
  fw::CProjectNotes m_notes;
};

// ---------------------------------------------------------------- reading a file written on
// Windows

TEST_F(ProjectFile, ReadsAHandwrittenProject) {
  ASSERT_EQ(fw::LoadProjectFile(Data("handwritten.zcf"), *m_store, m_switches, &m_notes),
            fw::kProjectOk);
  EXPECT_TRUE(m_notes.Empty()) << ::testing::PrintToString(m_notes.Messages());
  std::vector<std::string> names;
  m_store->AppendNames(names);
  EXPECT_EQ(names, (std::vector<std::string>{"Main Ring", "Old Nine", "Giga", "S\xC3\xA4ge"}));

  const CSwitchConfig& m = Cfg("Main Ring");
  EXPECT_EQ(m.GetType(), LoadResString(IDS_BASE_TYPE_2));
  EXPECT_EQ(m.GetSendHigh(), 0);
  EXPECT_EQ(m.GetPortCount(), 5);
  EXPECT_EQ(m.GetMirrorSourceMode(1), 1u);
  EXPECT_EQ(m.GetOKOutputMode(), 1);
  EXPECT_EQ(m.GetOKOutputTriggers(), 15u);
  EXPECT_EQ(m.GetMasterMode(), 1);
  EXPECT_EQ(m.GetDefaultBackupSelect(), 1);
  EXPECT_EQ(m.LookupMirrorPair(0, 2), 1);
  EXPECT_EQ(m.LookupMirrorPair(1, 2), 3);
  const unsigned tags[] = {3, 2, 1, 0, 0, 1, 2, 3};
  for (int t = 0; t < 8; ++t) EXPECT_EQ(m.GetTagMapping(t), tags[t]);
  EXPECT_EQ(m.GetRing(0)->enabled, 1);
  EXPECT_EQ(m.GetRing(0)->primaryPort, 3);
  EXPECT_EQ(m.GetRing(0)->backupPort, 4);
  EXPECT_EQ(m.GetRing(0)->testInterval, 5);
  const CPortSettings& p1 = *m.GetPort(1);
  EXPECT_EQ(p1.full100, 0);
  EXPECT_EQ(p1.full10, 1);
  EXPECT_EQ(p1.broadcastLimit, 0);
  EXPECT_EQ(p1.flowControl, 1);
  EXPECT_EQ(p1.useIP, 0);
  EXPECT_EQ(p1.admin, "Disabled");
  EXPECT_EQ(p1.outputTag, "Add Tag");
  EXPECT_EQ(p1.precedence, "Use IP");
  EXPECT_EQ(p1.priority, "Urgent");
  // A backquoted stretch keeps its comma and loses the backquotes.
  EXPECT_EQ(m.GetPort(2)->name, "Press 2,a");
  EXPECT_EQ(m.GetPort(2)->outputTag, "Remove Tag");
  EXPECT_EQ(m.GetPort(3)->negotiation, "Fixed");

  // An old type name becomes today's base type.
  const CSwitchConfig& old = Cfg("Old Nine");
  EXPECT_EQ(old.GetType(), LoadResString(IDS_BASE_TYPE_9));
  EXPECT_EQ(old.GetPortCount(), 9);
  EXPECT_EQ(old.GetRing(0)->enabled, 1);
  // A short port line gives 0 and empty text for the fields it lacks.
  const CPortSettings& p8 = *old.GetPort(8);
  EXPECT_EQ(p8.full10, 1);
  EXPECT_EQ(p8.broadcastLimit, 0);
  EXPECT_EQ(p8.useTag, 0);
  EXPECT_EQ(p8.admin, "");
  EXPECT_EQ(p8.priority, "");
  EXPECT_EQ(p8.gigabitCapable, 1);

  EXPECT_EQ(Cfg("S\xC3\xA4ge").GetPortCount(), 5);

  ASSERT_EQ(m_switches.GetCount(), 2);
  const CSwitchEntry& a = *m_switches.GetAt(0);
  EXPECT_EQ(a.GetName(), "Kiln A");
  EXPECT_EQ(a.GetMacText(true), "02:4B:33:12:AB:EF");
  EXPECT_EQ(a.GetConfig().GetName(), "Main Ring");
  EXPECT_EQ(a.GetPart().partNumber, "QV-5KP-4");
  EXPECT_EQ(a.GetIP(), "192.168.0.10");
  EXPECT_EQ(a.GetSubnet(), "255.255.255.0");
  EXPECT_EQ(a.GetGateway(), "192.168.0.1");
  EXPECT_EQ(a.GetModbusEnable(), 1);
  EXPECT_EQ(a.GetModbusAddress(), 17);
  const CSwitchEntry& b = *m_switches.GetAt(1);
  EXPECT_EQ(b.GetSubnet(), "");  // absent: empty, not the default mask
  EXPECT_EQ(b.GetModbusAddress(), 1);
}

TEST_F(ProjectFile, GigabitSpeedsSurviveLoading) {
  ASSERT_EQ(fw::LoadProjectFile(Data("handwritten.zcf"), *m_store, m_switches, &m_notes),
            fw::kProjectOk);
  const CSwitchConfig& g = Cfg("Giga");
  for (int i = 6; i < 9; ++i) EXPECT_EQ(g.GetPort(i)->gigabitCapable, 1) << i;
  EXPECT_EQ(g.GetPort(6)->half1000, 1);
  EXPECT_EQ(g.GetPort(6)->full1000, 0);
  EXPECT_EQ(g.GetPort(7)->full1000, 1);
  EXPECT_EQ(g.GetPort(7)->full100, 0);
  EXPECT_EQ(g.GetPort(5)->gigabitCapable, 0);
}

TEST_F(ProjectFile, NumPortsAbsentOrMinusOneMeansFive) {
  Load("[Switch Cfgs]\n0=A\n1=B\n[Switch Cfg: A]\nVers=1\n[Switch Cfg: B]\nNumPorts=-1\n");
  EXPECT_EQ(Cfg("A").GetPortCount(), 5);
  EXPECT_EQ(Cfg("B").GetPortCount(), 5);
  EXPECT_EQ(Cfg("A").GetNumRings(), 0);  // absent counts as 0, as the file says
  EXPECT_TRUE(m_notes.Empty());
}

TEST_F(ProjectFile, LongValuesAreCutAt1023Characters) {
  Load("[Switch Entries]\n0=S\n[Switch Entry: S]\nIP=" + std::string(2000, '7') + "\n");
  EXPECT_EQ(m_switches.GetAt(0)->GetIP().size(), 1023u);
}

TEST_F(ProjectFile, AMissingFileIsAnEmptyProjectAndAFolderIsAnError) {
  EXPECT_EQ(fw::LoadProjectFile(m_dir.file("absent.zcf"), *m_store, m_switches), fw::kProjectOk);
  EXPECT_EQ(m_store->First(), -1);
  std::string error;
  EXPECT_EQ(fw::LoadProjectFile(m_dir.path(), *m_store, m_switches, nullptr, &error),
            fw::kProjectFailed);
  EXPECT_FALSE(error.empty());
}

// ---------------------------------------------------------------- mirroring rules

TEST_F(ProjectFile, ASecondMonitorPortIsDroppedWithAWarning) {
  fw::ScopedMessageSink sink;
  EXPECT_EQ(
      Load("[Switch Cfgs]\n0=A\n[Switch Cfg: A]\nMirror0=0,4,1\nMirror1=1,3,1\nMirror2=2,4,1\n"),
      -3);
  EXPECT_EQ(Cfg("A").LookupMirrorPair(0, 4), 1);
  EXPECT_FALSE(Cfg("A").LookupMirrorPair(1, 3));
  EXPECT_EQ(Cfg("A").LookupMirrorPair(2, 4), 1);
  m_notes.Show();
  ASSERT_EQ(sink->count(), 1u);
  EXPECT_EQ(sink->messages()[0].text, LoadResString(IDS_MULTIPLE_MONITOR_PORTS_WARNING));
}

TEST_F(ProjectFile, AConflictInAnEarlierSectionIsStillReported) {
  EXPECT_EQ(Load("[Switch Cfgs]\n0=A\n1=B\n[Switch Cfg: A]\nMirror0=0,4,1\nMirror1=1,3,1\n"
                 "[Switch Cfg: B]\nMirror0=0,4,1\n"),
            -3);
  EXPECT_TRUE(m_notes.mirrorConflict);
}

TEST_F(ProjectFile, UncheckedPairsDoNotDecideTheMonitorPort) {
  EXPECT_EQ(Load("[Switch Cfgs]\n0=A\n[Switch Cfg: A]\nMirror0=0,3,0\nMirror1=1,4,2\n"),
            fw::kProjectOk);
  EXPECT_FALSE(Cfg("A").LookupMirrorPair(0, 3));
  EXPECT_EQ(Cfg("A").LookupMirrorPair(1, 4), 2);
  EXPECT_EQ(Cfg("A").IsMonitorPort(4), 2);
}

TEST_F(ProjectFile, AnUncheckedPairTurnsOffWhatAnEarlierLineSet) {
  EXPECT_EQ(Load("[Switch Cfgs]\n0=A\n1=B\n"
                 "[Switch Cfg: A]\nMirror0=0,4,1\nMirror1=1,4,2\nMirror2=0,4,0\n"
                 // Once its only pair is off, port 4 no longer holds the monitor role.
                 "[Switch Cfg: B]\nMirror0=0,4,1\nMirror1=0,4,0\nMirror2=1,3,1\n"),
            fw::kProjectOk);
  EXPECT_FALSE(Cfg("A").LookupMirrorPair(0, 4));
  EXPECT_EQ(Cfg("A").LookupMirrorPair(1, 4), 2);
  EXPECT_EQ(Cfg("A").MirrorPairs().Count(), 1u);
  EXPECT_FALSE(Cfg("B").LookupMirrorPair(0, 4));
  EXPECT_EQ(Cfg("B").LookupMirrorPair(1, 3), 1);
  EXPECT_FALSE(m_notes.mirrorConflict);
}

TEST_F(ProjectFile, PairsOutOfRangeOrOntoThemselvesAreDropped) {
  EXPECT_EQ(
      Load("[Switch Cfgs]\n0=A\n[Switch Cfg: A]\nMirror0=0,9,1\nMirror1=4,4,1\nMirror2=-1,4,1\n"
           "Mirror3=2,4,1\nMirror4=\nMirror5=3,4,1\n"),
      0);
  // The reading stops at the first empty pair, as before.
  EXPECT_EQ(Cfg("A").MirrorPairs().Count(), 1u);
  EXPECT_EQ(Cfg("A").LookupMirrorPair(2, 4), 1);
  EXPECT_EQ(m_notes.repairedSections, std::vector<std::string>{"A"});
}

// ---------------------------------------------------------------- numbers out of range

TEST_F(ProjectFile, NumbersOutOfRangeAreRepairedAndToldOncePerFile) {
  fw::ScopedMessageSink sink;
  Load(
      "[Switch Cfgs]\n0=Wild\n1=Fine\n2=Huge\n"
      "[Switch Cfg: "
      "Wild]\nNumPorts=9\nNumRings=7\nOKOutputTriggers=99\nTagMapping2=9\nTagMapping5=-1\n"
      "Ring0=1,12,8,3\nRing3=1,-7,0,3\n"
      "[Switch Cfg: Fine]\nNumPorts=6\n"
      "[Switch Cfg: Huge]\nType=QV-9KP-1 with nine 10/100 RJ45 ports\nNumPorts=4000000000\n"
      "[Switch Entries]\n0=S1\n1=S2\n[Switch Entry: S1]\nModbus Addr=300\n[Switch Entry: "
      "S2]\nModbus Addr=0\n");
  const CSwitchConfig& w = Cfg("Wild");
  EXPECT_EQ(w.GetNumRings(), 4);
  EXPECT_EQ(w.GetOKOutputTriggers(), 7u);
  EXPECT_EQ(w.GetTagMapping(2), 0u);
  EXPECT_EQ(w.GetTagMapping(5), 1u);
  EXPECT_EQ(w.GetRing(0)->primaryPort, -1);
  EXPECT_EQ(w.GetRing(0)->backupPort, 8);
  EXPECT_EQ(w.GetRing(3)->primaryPort, -1);
  EXPECT_EQ(Cfg("Fine").GetPortCount(), 6);
  // An impossible port count falls back to the type's.
  EXPECT_EQ(Cfg("Huge").GetPortCount(), 9);
  EXPECT_EQ(m_switches.GetAt(0)->GetModbusAddress(), 1);
  EXPECT_EQ(m_switches.GetAt(1)->GetModbusAddress(), 1);
  EXPECT_EQ(m_notes.repairedSections, (std::vector<std::string>{"Wild", "Huge", "S1", "S2"}));
  m_notes.Show();
  ASSERT_EQ(sink->count(), 1u);
  const std::string text = sink->messages()[0].text;
  EXPECT_NE(text.find("out of range"), std::string::npos);
  EXPECT_NE(text.find("Wild\nHuge\nS1\nS2"), std::string::npos);
  EXPECT_EQ(text.find("Fine"), std::string::npos);
}

TEST_F(ProjectFile, MacTextsSettleOnTheirFirstLoad) {
  const auto [first, again] = LoadSaveLoad(
      "[Switch Entries]\n0=A\n1=B\n2=C\n[Switch Entry: A]\nMAC=xx02:4B:33:00:11:22\n"
      "[Switch Entry: B]\nMAC=02:4B:33:12:34:56\n"
      "[Switch Entry: C]\nMAC=12345678\xC3\xA9\xC3\xA9"
      "bc\n");
  EXPECT_EQ(again, first);
  EXPECT_EQ(m_switches.GetAt(0)->GetMacSuffix(), "00:11:22");
  EXPECT_EQ(m_switches.GetAt(1)->GetMacSuffix(), "12:34:56");
  EXPECT_EQ(m_switches.GetAt(2)->GetMacSuffix(),
            "\xC3\xA9"
            "bc");  // cut after whole characters
}

TEST_F(ProjectFile, PortCountsOutsideThePortTableAreRefused) {
  Load("[Switch Cfgs]\n0=A\n1=B\n[Switch Cfg: A]\nNumPorts=0\n[Switch Cfg: B]\nNumPorts=10\n");
  EXPECT_EQ(Cfg("A").GetPortCount(), 5);
  EXPECT_EQ(Cfg("B").GetPortCount(), 5);
  EXPECT_EQ(m_notes.repairedSections.size(), 2u);
}

// ---------------------------------------------------------------- sections of a newer version

TEST_F(ProjectFile, ANewerConfigurationIsKeptAndWrittenBackUnchanged) {
  fw::ScopedMessageSink sink;
  const std::string text =
      "[Switch Cfgs]\n0=Future\n1=Now\n"
      "[Switch Cfg: Future]\nVers=2\nType=QV-9KP-1 with nine 10/100 RJ45 "
      "ports\nNumPorts=9\nWidget=blue\n"
      "[Switch Cfg: Now]\nVers=1\nNumPorts=6\n";
  EXPECT_EQ(Load(text), fw::kProjectNewerSection);
  const CSwitchConfig& f = Cfg("Future");
  EXPECT_TRUE(f.IsNewerVersion());
  EXPECT_EQ(f.GetPortCount(), 5);  // defaults apart from the name
  EXPECT_EQ(f.GetType(), "Any 5 port Ring switch");
  m_notes.Show();
  ASSERT_EQ(sink->count(), 1u);
  EXPECT_NE(sink->messages()[0].text.find("newer version"), std::string::npos);
  EXPECT_NE(sink->messages()[0].text.find("Future"), std::string::npos);

  ASSERT_EQ(Save(), fw::kProjectOk);
  fw::CIniFile saved = SavedIni();
  EXPECT_EQ(saved.GetString("Switch Cfg: Future", "Vers"), "2");
  EXPECT_EQ(saved.GetString("Switch Cfg: Future", "NumPorts"), "9");
  EXPECT_EQ(saved.GetString("Switch Cfg: Future", "Widget"), "blue");
  EXPECT_FALSE(saved.Get("Switch Cfg: Future", "SendHigh"));
  EXPECT_EQ(saved.GetString("Switch Cfg: Now", "NumPorts"), "6");
}

TEST_F(ProjectFile, ANewerSwitchEntryIsKeptToo) {
  EXPECT_EQ(Load("[Switch Entries]\n0=S\n[Switch Entry: S]\nVers=3\nMAC=01:02:03\nLens=wide\n"),
            fw::kProjectOk);
  EXPECT_TRUE(m_switches.GetAt(0)->IsNewerVersion());
  EXPECT_EQ(m_switches.GetAt(0)->GetMacSuffix(), "");
  EXPECT_EQ(m_notes.newerSections, std::vector<std::string>{"S"});
  ASSERT_EQ(Save(), fw::kProjectOk);
  fw::CIniFile saved = SavedIni();
  EXPECT_EQ(saved.GetString("Switch Entry: S", "Vers"), "3");
  EXPECT_EQ(saved.GetString("Switch Entry: S", "MAC"), "01:02:03");
  EXPECT_EQ(saved.GetString("Switch Entry: S", "Lens"), "wide");
}

TEST_F(ProjectFile, AnUnreadableSwitchVersionIsNotCalledNewer) {
  fw::ScopedMessageSink sink;
  EXPECT_EQ(Load("[Switch Entries]\n0=Zero\n1=Empty\n2=Word\n3=Next\n4=Plain\n"
                 "[Switch Entry: Zero]\nVers=0\nMAC=01:02:03\n[Switch Entry: Empty]\nVers=\n"
                 "[Switch Entry: Word]\nVers=one\n[Switch Entry: Next]\nVers=2\n"
                 "[Switch Entry: Plain]\nMAC=04:05:06\n"),
            fw::kProjectOk);
  EXPECT_EQ(m_notes.unreadableSections, (std::vector<std::string>{"Zero", "Empty", "Word"}));
  EXPECT_EQ(m_notes.newerSections, std::vector<std::string>{"Next"});
  EXPECT_EQ(m_switches.GetAt(4)->GetMacSuffix(), "04:05:06");  // no "Vers" reads as 1
  m_notes.Show();
  ASSERT_EQ(sink->count(), 2u);
  EXPECT_EQ(sink->messages()[0].text.find("Zero"), std::string::npos);
  EXPECT_NE(sink->messages()[1].text.find("Zero\nEmpty\nWord"), std::string::npos);
  EXPECT_EQ(sink->messages()[1].text.find("newer"), std::string::npos);
  // Kept as they were, like a newer section.
  ASSERT_EQ(Save(), fw::kProjectOk);
  EXPECT_EQ(SavedIni().GetString("Switch Entry: Zero", "MAC"), "01:02:03");
  EXPECT_EQ(SavedIni().GetString("Switch Entry: Zero", "Vers"), "0");
}

// ---------------------------------------------------------------- names

TEST_F(ProjectFile, AnEmptyIndexValueOrAGapHidesNothing) {
  Load("[Switch Cfgs]\n0=A\n1=\n2=C\n4=E\n[Switch Entries]\n0=\n1=S1\n3=S3\n");
  std::vector<std::string> names;
  m_store->AppendNames(names);
  EXPECT_EQ(names, (std::vector<std::string>{"A", "C", "E"}));
  EXPECT_EQ(m_switches.GetCount(), 2);
  EXPECT_EQ(m_switches.GetAt(1)->GetName(), "S3");
}

TEST_F(ProjectFile, NamesEqualButForCaseLoadOnce) {
  Load(
      "[Switch Cfgs]\n0=Ring\n1=RING\n[Switch Cfg: ring]\nNumPorts=9\n"
      "[Switch Entries]\n0=Kiln\n1=kiln\n2=Other\n");
  EXPECT_EQ(m_store->GetCount(), 1);
  EXPECT_EQ(Cfg("Ring").GetPortCount(), 9);
  EXPECT_EQ(m_switches.GetCount(), 2);
  EXPECT_EQ(m_notes.droppedNames, (std::vector<std::string>{"RING", "kiln"}));
  EXPECT_EQ(m_notes.Messages().size(), 1u);
}

TEST_F(ProjectFile, TheWriterRefusesNamesThatWouldShareASection) {
  Load("[Switch Entries]\n0=A\n1=B\n");
  const std::string before = Saved();
  m_switches.GetAt(1)->SetName("a");  // a rename that went around the document's check
  fw::ScopedMessageSink sink;
  EXPECT_EQ(Save(), fw::kProjectConflict);
  EXPECT_EQ(Saved(), before);
  EXPECT_EQ(m_notes.unsavedNames, std::vector<std::string>{"a"});
  m_notes.Show();
  ASSERT_EQ(sink->count(), 1u);
  EXPECT_NE(sink->messages()[0].text.find("not saved"), std::string::npos);
}

TEST_F(ProjectFile, NamesFromASwitchBecomeSafeSectionNames) {
  CSwitchEntry e;
  e.SetName("Crane]\n[Switch Cfgs]\r\n0=x");
  ASSERT_EQ(m_switches.Add(e), 0);
  ASSERT_EQ(Save(), fw::kProjectOk);
  fw::CIniFile saved = SavedIni();
  EXPECT_FALSE(saved.HasSection("Switch Cfgs"));
  CSwitchList again;
  CSwitchConfigStore store(0);
  ASSERT_EQ(fw::LoadProjectFile(m_dir.file("p.zcf"), store, again), fw::kProjectOk);
  ASSERT_EQ(again.GetCount(), 1);
  EXPECT_EQ(again.GetAt(0)->GetName(), e.GetName());
  EXPECT_EQ(e.GetName(), "Crane[Switch Cfgs0=x");
}

TEST_F(ProjectFile, DuplicateSectionsBringNothingBackOnSave) {
  const auto [first, again] = LoadSaveLoad(
      "[Switch Cfgs]\n0=A\n[Switch Cfg: A]\nVers=1\nMirror0=0,4,1\n"
      "[Switch Entries]\n0=S\n[Switch Entry: S]\nMAC=01:02:03\n"
      // Later copies, shadowed by the first ones: nothing of them may come back.
      "[Switch Cfgs]\n0=A\n1=Ghost\n[Switch Cfg: A]\nMirror1=1,4,2\nNumPorts=9\n"
      "[Switch Entries]\n0=S\n1=Ghost\n[Switch Entry: S]\nIP=10.0.0.9\n"
      "[Switch Entry: Ghost]\nMAC=09:09:09\n[Switch Cfg: Ghost]\nNumPorts=6\n");
  EXPECT_EQ(again, first);
  EXPECT_EQ(m_store->GetCount(), 1);
  EXPECT_EQ(Cfg("A").MirrorPairs().Count(), 1u);
  EXPECT_EQ(Cfg("A").GetPortCount(), 5);
  ASSERT_EQ(m_switches.GetCount(), 1);
  EXPECT_EQ(m_switches.GetAt(0)->GetIP(), "");
}

TEST_F(ProjectFile, ANameThatCleaningChangesReadsAndWritesOneSection) {
  const auto [first, again] = LoadSaveLoad(
      "[Switch Cfgs]\n0=Ring]\n1=Kiln\x01\n2=\"\"Quote\"\"\n"
      // "]" cannot stand in a header: the section is the cleaned name's.
      "[Switch Cfg: Ring]]\nVers=1\nMirror0=0,4,1\n"
      // Control characters and quotes can: that one is read, the stale
      // section of the cleaned name is not, and neither may mix into the other.
      "[Switch Cfg: Kiln\x01]\nNumPorts=9\n[Switch Cfg: Kiln]\nMirror0=1,8,1\n"
      "[Switch Cfg: \"Quote\"]\nNumPorts=6\n[Switch Cfg: Quote]\nMirror0=2,5,1\n"
      "[Switch Entries]\n0=Crane]\n[Switch Entry: Crane]]\nMAC=01:02:03\n");
  EXPECT_EQ(again, first);
  EXPECT_EQ(Cfg("Ring").LookupMirrorPair(0, 4), 1);
  EXPECT_EQ(Cfg("Kiln").GetPortCount(), 9);
  EXPECT_TRUE(Cfg("Kiln").MirrorPairs().Empty());
  EXPECT_EQ(Cfg("Quote").GetPortCount(), 6);
  EXPECT_TRUE(Cfg("Quote").MirrorPairs().Empty());
  EXPECT_EQ(m_switches.GetAt(0)->GetMacSuffix(), "01:02:03");
  // The sections under the old names are gone.
  const std::string text = Saved();
  EXPECT_EQ(text.find("Kiln\x01"), std::string::npos);
  EXPECT_EQ(text.find("\"Quote\""), std::string::npos);
}

// ---------------------------------------------------------------- types and parts

TEST_F(ProjectFile, BaseTypesSavedInAnotherLanguageAreRecognised) {
  const std::string de6010 = *fwtest::LanguageBundle("de")->FindString(IDS_BASE_TYPE_10);
  const std::string fra6002 = *fwtest::LanguageBundle("fra")->FindString(IDS_BASE_TYPE_2);
  const std::string de5117 = *fwtest::LanguageBundle("de")->FindString(IDS_9_PORT_MODEL);
  Load("[Switch Cfgs]\n0=G\n1=F\n2=O\n[Switch Cfg: G]\nType=" + de6010 +
       "\nNumPorts=9\nPort7=0,0,0,0,1,0,1,1,Enabled,8,Fixed,Unchanged,Use Tag,Normal,1,0\n"
       "[Switch Cfg: F]\nType=" +
       fra6002 + "\n[Switch Cfg: O]\nType=" + de5117 + "\nNumPorts=9\n");
  EXPECT_EQ(Cfg("G").GetType(), LoadResString(IDS_BASE_TYPE_10));
  EXPECT_EQ(Cfg("G").GetPortTypeText(7), "1000 SFP");
  EXPECT_EQ(Cfg("G").GetPort(7)->gigabitCapable, 1);
  EXPECT_EQ(Cfg("G").GetPort(7)->full1000, 1);
  EXPECT_EQ(Cfg("F").GetType(), LoadResString(IDS_BASE_TYPE_2));
  EXPECT_EQ(Cfg("F").GetPort(4)->negotiation, "Fixed");
  EXPECT_EQ(Cfg("O").GetType(), LoadResString(IDS_BASE_TYPE_6));
  // An unknown type text stays as it is.
  Load("[Switch Cfgs]\n0=U\n[Switch Cfg: U]\nType=Custom ring box\n");
  EXPECT_EQ(Cfg("U").GetType(), "Custom ring box");
}

TEST_F(ProjectFile, ShippedLanguageLibrariesAnswerByDefault) {
  fw::SetProjectLanguageBundles({});
  if (!std::filesystem::exists(fw::ProgramFolder() + "/" + LoadResString(IDS_LANGLIB_GERMAN)))
    GTEST_SKIP() << "language libraries not built";
  const std::string de6010 = *fwtest::LanguageBundle("de")->FindString(IDS_BASE_TYPE_10);
  EXPECT_EQ(fw::CanonicalBaseType(de6010), LoadResString(IDS_BASE_TYPE_10));
}

TEST_F(ProjectFile, ProjectsOpenInTheUsersLanguage) {
  // The German program reads an English project and writes German type texts.
  fw::SetCurrentResources(fwtest::LanguageBundle("de"));
  Load("[Switch Cfgs]\n0=A\n[Switch Cfg: A]\nType=QV-5KP-2/3 with one 100M fiber port\n");
  EXPECT_EQ(Cfg("A").GetType(), *fwtest::LanguageBundle("de")->FindString(IDS_BASE_TYPE_1));
  EXPECT_EQ(Cfg("A").GetPortTypeText(4), "100M fiber");
}

TEST_F(ProjectFile, AnUnknownPartTypeIsKeptAndWrittenBack) {
  const std::string custom = m_dir.file("fenwardle.customize");
  WriteText(custom, "[part numbers]\n0=QV-5KP-1,Five\n");
  CSwitchConfigStore::SetCustomizeFilePath(custom);
  CSwitchConfigStore::ResetOfferedModels();
  CSwitchConfigStore store(0);
  CSwitchList list;
  const std::string path = m_dir.file("p.zcf");
  WriteText(path,
            "[Switch Entries]\n0=Hidden\n1=Alien\n2=Offered\n"
            "[Switch Entry: Hidden]\nPart Type=QV-9KP-3\n[Switch Entry: Alien]\nPart Type=ZZ-1\n"
            "[Switch Entry: Offered]\nPart Type=Five\n");
  ASSERT_EQ(fw::LoadProjectFile(path, store, list), fw::kProjectOk);
  EXPECT_EQ(list.GetAt(0)->GetPart().partNumber, "QV-9KP-3");
  EXPECT_EQ(list.GetAt(0)->GetPart().portCount, 9);  // hidden by the customisation, still known
  EXPECT_EQ(list.GetAt(1)->GetPart().partNumber, "ZZ-1");
  EXPECT_EQ(list.GetAt(2)->GetPart().partNumber, "QV-5KP-1");  // found by display name
  ASSERT_EQ(fw::SaveProjectFile(path, store, list), fw::kProjectOk);
  fw::CIniFile saved;
  ASSERT_TRUE(saved.Load(path));
  EXPECT_EQ(saved.GetString("Switch Entry: Hidden", "Part Type"), "QV-9KP-3");
  EXPECT_EQ(saved.GetString("Switch Entry: Alien", "Part Type"), "ZZ-1");
  EXPECT_EQ(saved.GetString("Switch Entry: Offered", "Part Type"), "QV-5KP-1");
}

// ---------------------------------------------------------------- writing

TEST_F(ProjectFile, WritesTheKnownLayout) {
  CSwitchConfig c;
  c.SetName("Alpha");
  c.SetPortCount(9);
  c.SetPartNumber(LoadResString(IDS_BASE_TYPE_6));
  c.SetMirrorPair(0, 8, 2);
  c.SetMirrorPair(5, 8, 1);
  c.SetMirrorPair(6, 8, 1);
  c.SetMirrorPair(7, 8, 1);
  ASSERT_GE(m_store->Add(c), 0);
  CSwitchEntry e;
  e.SetName("Kiln A");
  e.SetMac("12:AB:EF");
  e.SetPartFromText("QV-9KP-1", "");
  e.GetConfig().SetName("Alpha");
  e.SetIP("192.168.0.10");
  e.SetSubnet("255.255.255.0");
  e.SetModbusEnable(1);
  e.SetModbusAddress(5);
  ASSERT_GE(m_switches.Add(e), 0);
  ASSERT_EQ(Save(), fw::kProjectOk);
  EXPECT_EQ(Saved(), ReadText(Data("written.zcf")));
}

TEST_F(ProjectFile, TextFieldsWithACommaComeBackWhole) {
  CSwitchConfig c;
  c.SetName("A");
  c.GetPort(1)->name = "Press 2,a";
  c.GetPort(1)->priority = "Urgent";
  c.GetPort(1)->full1000 = 1;
  c.GetPort(2)->name = "Kiln";
  ASSERT_GE(m_store->Add(c), 0);
  ASSERT_EQ(Save(), fw::kProjectOk);
  fw::CIniFile saved = SavedIni();
  // Only the field with the comma is quoted.
  EXPECT_EQ(saved.GetString("Switch Cfg: A", "Port1"),
            "1,1,1,1,1,0,1,1,Enabled,`Press 2,a`,Auto,Unchanged,Use Tag,Urgent,1,0");
  EXPECT_EQ(saved.GetString("Switch Cfg: A", "Port2"),
            "1,1,1,1,1,0,1,1,Enabled,Kiln,Auto,Unchanged,Use Tag,Normal,0,0");
  Load(Saved());
  const CPortSettings& p = *Cfg("A").GetPort(1);
  EXPECT_EQ(p.name, "Press 2,a");
  EXPECT_EQ(p.negotiation, "Auto");
  EXPECT_EQ(p.priority, "Urgent");
  EXPECT_EQ(p.full1000, 1);
}

TEST_F(ProjectFile, SavingAfterADeleteRewritesADenseIndex) {
  Load(
      "[Keep]\nx=1\n[Switch Cfgs]\n0=A\n1=B\n2=C\n[Switch Cfg: A]\nNumPorts=5\n[Switch Cfg: "
      "B]\nNumPorts=6\n"
      "[Switch Cfg: C]\nNumPorts=9\n");
  m_store->GetAt(1)->SetDeleted(true);
  ASSERT_EQ(Save(), fw::kProjectOk);
  fw::CIniFile saved = SavedIni();
  EXPECT_EQ(saved.KeyNames("Switch Cfgs"), (std::vector<std::string>{"0", "1"}));
  EXPECT_EQ(saved.GetString("Switch Cfgs", "1"), "C");
  EXPECT_FALSE(saved.HasSection("Switch Cfg: B"));
  EXPECT_EQ(saved.GetString("Switch Cfg: C", "NumPorts"), "9");
  EXPECT_EQ(saved.GetString("Keep", "x"), "1");
  // The old sections went before the new ones were written: no duplicates.
  const std::string text = Saved();
  EXPECT_EQ(text.find("[Switch Cfg: A]"), text.rfind("[Switch Cfg: A]"));
  EXPECT_EQ(text.substr(0, 13), "[Keep]\r\nx=1\r\n");
}

TEST_F(ProjectFile, TextsAreWrittenInWindows1252WhenTheyFit) {
  Load("[Switch Entries]\n0=S\xC3\xA4ge\n");
  ASSERT_EQ(Save(), fw::kProjectOk);
  EXPECT_NE(Saved().find("0=S\xE4ge\r\n"), std::string::npos);
}

TEST_F(ProjectFile, AFailedWriteFailsAndKeepsTheOldFile) {
  Load("[Switch Cfgs]\n0=A\n[Switch Cfg: A]\nNumPorts=9\n");
  const std::string before = Saved();
  for (int i = 0; i < 40; ++i) {
    CSwitchConfig c;
    c.SetName("Config " + std::to_string(i));
    ASSERT_GE(m_store->Add(c), 0);
  }
  // A file size limit makes the write fail part-way, as a full disk would.
  struct rlimit old {};
  getrlimit(RLIMIT_FSIZE, &old);
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 2000;
  setrlimit(RLIMIT_FSIZE, &small);
  std::string error;
  const int r = fw::SaveProjectFile(m_dir.file("p.zcf"), *m_store, m_switches, &m_notes, &error);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(r, -1);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(Saved(), before);
}

TEST_F(ProjectFile, AReadOnlyFileIsNotWritten) {
  Load("[Switch Cfgs]\n0=A\n");
  std::filesystem::permissions(m_dir.file("p.zcf"), std::filesystem::perms::owner_read);
  std::string error;
  EXPECT_EQ(fw::SaveProjectFile(m_dir.file("p.zcf"), *m_store, m_switches, nullptr, &error),
            fw::kProjectFailed);
  EXPECT_NE(error.find("read-only"), std::string::npos);
  std::string bytes;
  ASSERT_TRUE(fw::ReadFileBytes(m_dir.file("p.zcf"), bytes, nullptr));
  EXPECT_EQ(bytes.substr(0, 13), "[Switch Cfgs]");
}

// ---------------------------------------------------------------- languages of the failures

// Words that only an English text would hold (whole words, letter case aside).
std::vector<std::string> EnglishWords(const std::string& text) {
  static const std::set<std::string> kEnglish = {
      "the",   "is",      "are",     "that",     "cannot", "found", "not",  "file",
      "names", "written", "unknown", "disabled", "speeds", "read",  "only", "saved"};
  std::vector<std::string> hits;
  std::string word;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    const unsigned char c = i < text.size() ? static_cast<unsigned char>(text[i]) : ' ';
    if (std::isalpha(c)) {
      word += static_cast<char>(std::tolower(c));
    } else {
      if (kEnglish.count(word)) hits.push_back(word);
      word.clear();
    }
  }
  return hits;
}

// The failures of saving a project, of the customisation file, of the speed
// check and of the INI engine, as a user of each language sees them.
std::vector<std::string> FailureTexts(const fw::test::TempDir& dir) {
  std::vector<std::string> texts;
  const std::string path = dir.file("Zaun.zcf");
  {
    fwtest::WriteText(path, "[Switch Cfgs]\n0=Zaun\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    CSwitchConfigStore store(0);
    CSwitchList switches;
    std::string error;
    EXPECT_EQ(fw::SaveProjectFile(path, store, switches, nullptr, &error), fw::kProjectFailed);
    texts.push_back(error);
    std::filesystem::remove(path);
  }
  {
    CSwitchConfigStore store(0);
    CSwitchList switches;
    CSwitchEntry e;
    e.SetName("Zaun");
    EXPECT_GE(switches.Add(e), 0);
    switches.GetAt(0)->SetName("");
    std::string error;
    EXPECT_EQ(fw::SaveProjectFile(path, store, switches, nullptr, &error), fw::kProjectConflict);
    texts.push_back(error);
  }
  {
    const std::string custom = dir.file("zaun.customize");
    fwtest::WriteText(custom, "[part numbers]\n0=ZZ-9,Zaun\n");
    CSwitchConfigStore::SetCustomizeFilePath(custom);
    CSwitchConfigStore::ResetOfferedModels();
    fw::ScopedMessageSink sink;
    CSwitchConfigStore store(1);
    EXPECT_EQ(sink->count(), 1u);
    for (const auto& m : sink->messages()) texts.push_back(m.text);
    CSwitchConfigStore::SetCustomizeFilePath(dir.file("none.customize"));
    CSwitchConfigStore::ResetOfferedModels();
  }
  {
    CSwitchConfig c;
    for (int i = 0; i < c.GetPortCount(); ++i) {
      CPortSettings& p = *c.GetPort(i);
      p.half10 = p.full10 = p.half100 = p.full100 = 0;
    }
    std::vector<std::string> messages;
    EXPECT_EQ(c.CheckSpeeds(messages), CSwitchConfig::kAllSpeedsOff);
    texts.insert(texts.end(), messages.begin(), messages.end());
  }
  {
    fw::CIniFile f;
    std::string error;
    EXPECT_FALSE(f.Save(&error));
    texts.push_back(error);
  }
  return texts;
}

TEST_F(ProjectFile, FailuresSpeakTheUsersLanguage) {
  const std::vector<std::string> english = FailureTexts(m_dir);
  ASSERT_EQ(english.size(), 5u);
  for (const auto& t : english) EXPECT_FALSE(EnglishWords(t).empty()) << t;
  for (const char* lang : {"de", "fra"}) {
    SCOPED_TRACE(lang);
    fw::SetCurrentResources(fwtest::LanguageBundle(lang));
    const std::vector<std::string> texts = FailureTexts(m_dir);
    ASSERT_EQ(texts.size(), english.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
      EXPECT_FALSE(fw::Trim(texts[i]).empty()) << i;
      EXPECT_EQ(EnglishWords(texts[i]), std::vector<std::string>{}) << texts[i];
    }
  }
}

}  // namespace
