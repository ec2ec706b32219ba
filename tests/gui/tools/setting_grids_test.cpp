// The four setting grids of the configuration sheet, driven through their
// cell fetch and their cell-type notifications against a configuration,
// without windows.
#include <gtest/gtest.h>

#include "sheet_test_util.h"
#include "tools/mirroringgrid.h"
#include "tools/portsettingsgrid.h"
#include "tools/prioritysettingsgrid.h"
#include "tools/ringsettingsgrid.h"

namespace {

using fwtest::InLanguage;

struct Shown {
  std::string text;
  std::string label;
  int type = 0;
  int style = 0;
  int value = 0;
  bool readOnly = false;
  fw::GridColor back = 0;
};

Shown At(CSheetGridCtrl& grid, int col, int row) {
  CGridCellValue cell;
  grid.GetCell(col, row, cell);
  Shown s;
  s.text = cell.GridCellTextOrEmpty();
  if (const std::string* l = cell.GridCellGetLabel()) s.label = *l;
  s.type = cell.GridCellGetCellType();
  s.style = cell.GridCellGetTypeStyle();
  s.value = GridCellNumberAsInt(cell);
  s.readOnly = cell.GridCellGetReadOnly() != 0;
  s.back = cell.GridCellGetBackColorOrDefault();
  return s;
}

// A check box toggled by the space key, through its cell type, as a user does.
void Toggle(CSheetGridCtrl& grid, int col, int row) {
  int ch = ' ';
  ASSERT_EQ(grid.GetCellTypeObject(2)->HandleChar(col, row, ch), 1) << col << "," << row;
}

// A drop-list entry chosen: what the drop list reports with the entry's text.
void Choose(CSheetGridCtrl& grid, int col, int row, std::string text) {
  grid.OnCellTypeEvent(1, col, row, 101, reinterpret_cast<std::intptr_t>(&text));
}

std::string NA() {
  return LoadResString(IDS_NOT_APPLICABLE);
}

constexpr int kCheckAlone = 0x900, kRoundAlone = 0xC00, kCheckLabelled = 0x100;

// ---------------------------------------------------------------- ports

class PortGridModel : public InLanguage {
 protected:
  void Use(unsigned typeId) {
    MakeType(m_cfg, typeId);
    m_grid.SetConfig(&m_cfg);
    m_grid.OnGridCreated();
    (void)m_grid.SetRowTotal(m_cfg.GetPortCount());
  }
  CSwitchConfig m_cfg;
  CPortSettingsGrid m_grid;
};

TEST_P(PortGridModel, SixPortModelsHaveNoGigabitSpeeds) {
  Use(6003);
  EXPECT_EQ(m_grid.GetRowTotal(), 6);
  for (int r = 0; r < 6; ++r) {
    EXPECT_EQ(At(m_grid, 0, r).text, std::to_string(r + 1));
    for (int c : {7, 8}) {
      EXPECT_EQ(At(m_grid, c, r).text, NA()) << r;
      EXPECT_TRUE(At(m_grid, c, r).readOnly);
      EXPECT_EQ(At(m_grid, c, r).type, 0);
    }
    for (int c = 3; c <= 6; ++c) EXPECT_EQ(At(m_grid, c, r).style, kCheckAlone);
    EXPECT_EQ(At(m_grid, 10, r).text, "10/100 RJ45");
  }
  const Shown admin = At(m_grid, 1, 0);
  EXPECT_EQ(admin.type, 1);
  EXPECT_EQ(admin.text, LoadResString(IDS_ENABLED));
  EXPECT_EQ(admin.label, JoinResStrings({IDS_ENABLED, IDS_DISABLED}));
}

TEST_P(PortGridModel, FibrePortsAreFixedAndOfferNoTenMegabit) {
  Use(6002);
  for (int r : {3, 4}) {
    EXPECT_EQ(At(m_grid, 10, r).text, "100M fiber");
    EXPECT_EQ(At(m_grid, 3, r).text, NA());
    EXPECT_EQ(At(m_grid, 4, r).text, NA());
    const Shown negotiation = At(m_grid, 2, r);
    EXPECT_EQ(negotiation.label, LoadResString(IDS_FIXED) + "\n");
    EXPECT_EQ(negotiation.text, LoadResString(IDS_FIXED));
    EXPECT_EQ(At(m_grid, 5, r).style, kRoundAlone);
    EXPECT_EQ(At(m_grid, 5, r).value, 0);
    EXPECT_EQ(At(m_grid, 6, r).value, 1);
  }
  EXPECT_EQ(At(m_grid, 2, 0).label, JoinResStrings({IDS_AUTO, IDS_FIXED}));
  EXPECT_EQ(At(m_grid, 3, 0).style, kCheckAlone);
}

TEST_P(PortGridModel, GigabitModelsShowThousandMegabitWhereThePortHasIt) {
  Use(6009);
  for (int r = 6; r < 9; ++r) {
    EXPECT_EQ(At(m_grid, 10, r).text, "10/100/1000 RJ45");
    for (int c = 3; c <= 8; ++c) {
      EXPECT_EQ(At(m_grid, c, r).style, kCheckAlone) << c;
      EXPECT_EQ(At(m_grid, c, r).value, 1) << c;
    }
  }
  EXPECT_EQ(At(m_grid, 7, 5).text, NA());

  CSwitchConfig fibre;
  MakeType(fibre, 6010);
  m_grid.SetConfig(&fibre);
  for (int c = 3; c <= 8; ++c) EXPECT_EQ(At(m_grid, c, 6).style, kCheckAlone) << c;
  for (int r : {7, 8}) {
    EXPECT_EQ(At(m_grid, 10, r).text, "1000 SFP");
    for (int c = 3; c <= 6; ++c) EXPECT_EQ(At(m_grid, c, r).text, NA()) << c;
    EXPECT_EQ(At(m_grid, 7, r).style, kRoundAlone);
    EXPECT_EQ(At(m_grid, 7, r).value, 0);
    EXPECT_EQ(At(m_grid, 8, r).value, 1);
    EXPECT_EQ(At(m_grid, 2, r).text, LoadResString(IDS_FIXED));
  }
}

TEST_P(PortGridModel, AFixedPortRunsAtExactlyOneSpeed) {
  Use(6000);
  const CPortSettings& p = *m_cfg.GetPort(0);
  Choose(m_grid, 2, 0, LoadResString(IDS_FIXED));
  EXPECT_EQ(p.negotiation, "Fixed");
  EXPECT_EQ(At(m_grid, 2, 0).text, LoadResString(IDS_FIXED));
  EXPECT_EQ(At(m_grid, 6, 0).style, kRoundAlone);
  auto speeds = [&] {
    return std::vector<int>{p.half10, p.full10, p.half100, p.full100, p.half1000, p.full1000};
  };
  EXPECT_EQ(speeds(), (std::vector<int>{0, 0, 0, 1, 0, 0}));
  Toggle(m_grid, 6, 0);  // the checked speed stays checked
  EXPECT_EQ(speeds(), (std::vector<int>{0, 0, 0, 1, 0, 0}));
  EXPECT_EQ(At(m_grid, 6, 0).value, 1);
  Toggle(m_grid, 3, 0);  // another one takes the single check
  EXPECT_EQ(speeds(), (std::vector<int>{1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(At(m_grid, 6, 0).value, 0);

  Choose(m_grid, 2, 0, LoadResString(IDS_AUTO));
  EXPECT_EQ(p.negotiation, "Auto");
  EXPECT_EQ(speeds(), (std::vector<int>{1, 1, 1, 1, 1, 1}));
  Toggle(m_grid, 4, 0);  // several speeds at once
  Toggle(m_grid, 5, 0);
  EXPECT_EQ(speeds(), (std::vector<int>{1, 0, 0, 1, 1, 1}));
  Toggle(m_grid, 9, 0);
  EXPECT_EQ(p.flowControl, 1);

  Choose(m_grid, 1, 0, LoadResString(IDS_DISABLED));
  EXPECT_EQ(p.admin, "Disabled");
  EXPECT_EQ(At(m_grid, 1, 0).text, LoadResString(IDS_DISABLED));
  Choose(m_grid, 1, 0, LoadResString(IDS_ENABLED));
  EXPECT_EQ(p.admin, "Enabled");
}

TEST_P(PortGridModel, AFixedGigabitPortKeepsThousandFull) {
  Use(6009);
  Choose(m_grid, 2, 7, LoadResString(IDS_FIXED));
  const CPortSettings& p = *m_cfg.GetPort(7);
  EXPECT_EQ(p.full1000, 1);
  EXPECT_EQ(p.full100 + p.half100 + p.full10 + p.half10 + p.half1000, 0);
  EXPECT_EQ(At(m_grid, 8, 7).style, kRoundAlone);
  EXPECT_EQ(At(m_grid, 3, 7).style, kRoundAlone);  // copper: ten megabit may still be fixed
}

FW_IN_ALL_LANGUAGES(PortGridModel);

// ---------------------------------------------------------------- mirroring

class MirroringGridModel : public InLanguage {
 protected:
  void SetUp() override {
    InLanguage::SetUp();
    MakeType(m_cfg, 6006);
    m_grid.SetConfig(&m_cfg);
    m_grid.OnGridCreated();
    (void)m_grid.SetRowTotal(10);
    (void)m_grid.SetColumnTotal(10);
  }
  CSwitchConfig m_cfg;
  CMirroringGrid m_grid;
};

TEST_P(MirroringGridModel, MatrixShowsPairsAndSourceModes) {
  EXPECT_EQ(At(m_grid, 0, -1).text, LoadResString(IDS_MONITOR));
  EXPECT_EQ(At(m_grid, 4, -2).text, LoadResString(IDS_SOURCES));
  EXPECT_EQ(At(m_grid, 4, -1).text, "4");
  EXPECT_EQ(At(m_grid, 0, 0).text, LoadResString(IDS_PORT));
  const Shown mode = At(m_grid, 3, 0);
  EXPECT_EQ(mode.type, m_grid.RadioTypeIndex());
  EXPECT_EQ(mode.label, JoinResStrings({IDS_SENT, IDS_ALL}));
  for (int i = 1; i <= 9; ++i) {
    EXPECT_EQ(At(m_grid, i, i).text, NA());
    EXPECT_EQ(At(m_grid, i, i).type, 0);
    EXPECT_EQ(At(m_grid, i, i).back, GetSysColor(COLOR_BTNFACE));
  }
  m_cfg.SetMirrorPair(1, 4, 1);
  m_cfg.SetMirrorSourceMode(1, 1);
  EXPECT_EQ(At(m_grid, 2, 5).style, kCheckAlone);
  EXPECT_EQ(At(m_grid, 2, 5).value, 1);
  EXPECT_EQ(At(m_grid, 5, 2).value, 0);
  EXPECT_EQ(At(m_grid, 2, 0).value, 1);
}

TEST_P(MirroringGridModel, UncheckingAPairRemovesIt) {
  Toggle(m_grid, 2, 5);
  EXPECT_EQ(m_cfg.LookupMirrorPair(1, 4), 1);
  Toggle(m_grid, 2, 5);
  EXPECT_EQ(m_cfg.LookupMirrorPair(1, 4), std::nullopt);
  EXPECT_TRUE(m_cfg.MirrorPairs().Empty());
  EXPECT_FALSE(m_cfg.IsMonitorPort(4).has_value());
  // With the pair gone, another port may become the monitor port without a question.
  Toggle(m_grid, 3, 2);
  EXPECT_EQ(m_sink->count(), 0u);
  EXPECT_EQ(m_cfg.LookupMirrorPair(2, 1), 1);
  EXPECT_EQ(m_cfg.MirrorPairs().Count(), 1u);
}

TEST_P(MirroringGridModel, ASecondMonitorPortIsOnlyTakenAfterClearingAll) {
  Toggle(m_grid, 2, 5);
  Toggle(m_grid, 4, 5);
  m_sink->QueueAnswer(IDNO);
  Toggle(m_grid, 3, 2);
  ASSERT_EQ(m_sink->count(), 1u);
  EXPECT_EQ(m_sink->messages()[0].text, LoadResString(IDS_MULTIPLE_MONITOR_PORTS_QUESTION));
  EXPECT_EQ(m_sink->messages()[0].caption, LoadResString(IDS_MONITOR_PORT_WARNING));
  EXPECT_EQ(m_sink->messages()[0].type & MB_TYPEMASK, static_cast<unsigned>(MB_YESNO));
  EXPECT_EQ(m_cfg.MirrorPairs().Count(), 2u);
  EXPECT_EQ(At(m_grid, 3, 2).value, 0);  // the box shows the configuration again

  m_sink->QueueAnswer(IDYES);
  Toggle(m_grid, 3, 2);
  EXPECT_EQ(m_cfg.MirrorPairs().Count(), 1u);
  EXPECT_EQ(m_cfg.LookupMirrorPair(2, 1), 1);
  EXPECT_TRUE(m_cfg.OnlyMonitorIs(1));
}

TEST_P(MirroringGridModel, SourceModeIsTheOptionChosen) {
  const int radio = m_grid.RadioTypeIndex();
  m_grid.OnCellTypeEvent(radio, 3, 0, kCellEventButton, 1);
  EXPECT_EQ(m_cfg.GetMirrorSourceMode(2), 1u);
  m_grid.OnCellTypeEvent(radio, 3, 0, kCellEventButton, 1);  // chosen again: stays
  EXPECT_EQ(m_cfg.GetMirrorSourceMode(2), 1u);
  m_grid.OnCellTypeEvent(radio, 3, 0, kCellEventButton, 0);
  EXPECT_EQ(m_cfg.GetMirrorSourceMode(2), 0u);
}

FW_IN_ALL_LANGUAGES(MirroringGridModel);

// ---------------------------------------------------------------- rings

class RingGridModel : public InLanguage {
 protected:
  void Use(unsigned typeId) {
    MakeType(m_cfg, typeId);
    m_grid.SetConfig(&m_cfg);
    m_grid.OnGridCreated();
  }
  void Rings(int p1, int b1, int p2, int b2) {
    m_cfg.GetRing(0)->primaryPort = p1;
    m_cfg.GetRing(0)->backupPort = b1;
    m_cfg.GetRing(1)->primaryPort = p2;
    m_cfg.GetRing(1)->backupPort = b2;
  }
  std::vector<int> Marked() {
    std::vector<int> out;
    for (int p = -1; p < 9; ++p)
      if (m_grid.IsMarked(p)) out.push_back(p);
    return out;
  }
  CSwitchConfig m_cfg;
  CRingSettingsGrid m_grid;
};

TEST_P(RingGridModel, RingsShowTheirPortsInTheLanguageInUse) {
  Use(6000);
  EXPECT_EQ(At(m_grid, 0, 1).text, LoadResString(IDS_RING) + " 2");
  EXPECT_EQ(At(m_grid, 2, 0).text, LoadResString(IDS_PORT_4));
  EXPECT_EQ(At(m_grid, 3, 1).text, LoadResString(IDS_PORT_2));
  EXPECT_EQ(At(m_grid, 2, 0).label,
            JoinResStrings({IDS_PORT_1, IDS_PORT_2, IDS_PORT_3, IDS_PORT_4, IDS_PORT_5}));
  const Shown enable = At(m_grid, 1, 0);
  EXPECT_EQ(enable.style, kCheckLabelled);
  EXPECT_EQ(enable.label, LoadResString(IDS_DISABLED));
  Toggle(m_grid, 1, 0);
  EXPECT_EQ(m_cfg.GetRing(0)->enabled, 1);
  EXPECT_EQ(At(m_grid, 1, 0).label, LoadResString(IDS_ENABLED));

  // Ports the configuration does not have show as none.
  Rings(12, -1, 7, 1);
  EXPECT_EQ(At(m_grid, 2, 0).text, LoadResString(IDS_NONE));
  EXPECT_EQ(At(m_grid, 3, 0).text, LoadResString(IDS_NONE));
  EXPECT_EQ(At(m_grid, 2, 1).text, LoadResString(IDS_NONE));

  CSwitchConfig six, nine;
  MakeType(six, 6003);
  MakeType(nine, 6008);
  m_grid.SetConfig(&six);
  EXPECT_EQ(SplitGridOptions(At(m_grid, 2, 0).label).size(), 6u);
  EXPECT_EQ(At(m_grid, 2, 0).text, LoadResString(IDS_PORT_5));
  m_grid.SetConfig(&nine);
  EXPECT_EQ(SplitGridOptions(At(m_grid, 3, 0).label).size(), 9u);
  EXPECT_EQ(At(m_grid, 3, 0).text, LoadResString(IDS_PORT_9));
}

TEST_P(RingGridModel, AChosenPortIsItsPlaceInTheList) {
  Use(6006);
  Choose(m_grid, 2, 1, LoadResString(IDS_PORT_7));
  EXPECT_EQ(m_cfg.GetRing(1)->primaryPort, 6);
  Choose(m_grid, 3, 0, LoadResString(IDS_PORT_9));
  EXPECT_EQ(m_cfg.GetRing(0)->backupPort, 8);
  Choose(m_grid, 3, 0, "no such entry");
  EXPECT_EQ(m_cfg.GetRing(0)->backupPort, 0);
}

TEST_P(RingGridModel, DuplicatePortsAreMarkedOnce) {
  Use(6006);
  const struct {
    int p1, b1, p2, b2;
    std::vector<int> marked;
  } cases[] = {
      {2, 2, 0, 1, {2}},                        // a ring on one port: only that port
      {3, 4, 3, 1, {3}},                        // both rings' primaries
      {7, 8, 1, 1, {1}},                        // ring 2 alone
      {3, 4, 0, 3, {3}},                        // backup 2 is primary 1
      {3, 4, 4, 0, {4}},                        // primary 2 is backup 1
      {3, 4, 0, 4, {4}},                        // both backups
      {7, 8, 0, 1, {}},  {-1, -1, 0, 1, {-1}},  // no port at all is not a ring
  };
  for (const auto& c : cases) {
    Rings(c.p1, c.b1, c.p2, c.b2);
    EXPECT_EQ(m_grid.CheckDuplicates(), c.marked.empty() ? CRingSettingsGrid::kNoDuplicates
                                                         : CRingSettingsGrid::kDuplicatesMarked);
    EXPECT_EQ(Marked(), c.marked) << c.p1 << c.b1 << c.p2 << c.b2;
    EXPECT_EQ(m_grid.DuplicateCount(), static_cast<int>(c.marked.size()));
  }
  // Disabled rings take part; marked ports show in yellow.
  Rings(2, 2, 0, 1);
  ASSERT_EQ(m_cfg.GetRing(0)->enabled, 0);
  EXPECT_EQ(m_grid.CheckDuplicates(), CRingSettingsGrid::kDuplicatesMarked);
  EXPECT_EQ(At(m_grid, 2, 0).back, 0x0000FFFFu);
  EXPECT_EQ(At(m_grid, 3, 0).back, 0x0000FFFFu);
  EXPECT_EQ(At(m_grid, 2, 1).back, GetSysColor(COLOR_WINDOW));
  // Choosing a port runs the check at once.
  Rings(7, 8, 0, 1);
  Choose(m_grid, 2, 1, LoadResString(IDS_PORT_8));
  EXPECT_EQ(Marked(), std::vector<int>{7});
}

FW_IN_ALL_LANGUAGES(RingGridModel);

// A language whose port texts are words of its own: the ring grid must not
// know any fixed spelling of them.
class RingGridOwnWords : public ::testing::Test {
 protected:
  static std::string Quoted(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
      if (c == '"' || c == '\\')
        out += std::string("\\") + c;
      else if (c == '\n')
        out += "\\n";
      else if (c == '\r')
        out += "\\r";
      else
        out += c;
    }
    return out + "\"";
  }
  static std::string Script() {
    std::string s = "STRINGTABLE\nBEGIN\n";
    for (const auto& [id, text] : fw::EmbeddedEnglish().strings()) {
      std::string t = text;
      if (id >= IDS_PORT_1 && id <= IDS_PORT_9)
        t = "Anschluss " + std::to_string(id - IDS_PORT_1 + 1);
      s += "    " + std::to_string(id) + ", " + Quoted(t) + "\n";
    }
    return s + "END\n";
  }
  fwtest::ScopedBundle m_bundle{Script()};
};

TEST_F(RingGridOwnWords, PortsAreChosenByTheLanguagesOwnTexts) {
  ASSERT_TRUE(m_bundle.ok()) << m_bundle.error();
  CSwitchConfig cfg;
  cfg.SetPortCount(9);
  CRingSettingsGrid grid;
  grid.SetConfig(&cfg);
  grid.OnGridCreated();
  EXPECT_EQ(At(grid, 2, 0).text, "Anschluss 8");
  Choose(grid, 2, 0, "Anschluss 6");
  Choose(grid, 3, 0, "Anschluss 6");
  EXPECT_EQ(cfg.GetRing(0)->primaryPort, 5);
  EXPECT_EQ(cfg.GetRing(0)->backupPort, 5);
  EXPECT_TRUE(grid.IsMarked(5));
  EXPECT_EQ(At(grid, 3, 0).back, 0x0000FFFFu);
}

// ---------------------------------------------------------------- priorities

class PriorityGridModel : public InLanguage {
 protected:
  void SetUp() override {
    InLanguage::SetUp();
    MakeType(m_cfg, 6003);
    m_grid.SetConfig(&m_cfg);
    m_grid.OnGridCreated();
  }
  CSwitchConfig m_cfg;
  CPrioritySettingsGrid m_grid;
};

TEST_P(PriorityGridModel, SchedulingFollowsTheOptionChosen) {
  ASSERT_EQ(m_grid.GetSelectedSheet(), 0);
  const Shown choice = At(m_grid, 0, 0);
  EXPECT_EQ(choice.type, m_grid.RadioTypeIndex());
  EXPECT_EQ(choice.label, JoinResStrings({IDS_PRIORITY_SEND_HIGH_FIRST, IDS_PRIORITY_FEW_LOWER}));
  EXPECT_EQ(choice.value, 0);  // send high is on
  int c1, r1, c2, r2;
  ASSERT_TRUE(m_grid.GetJoinBlock(2, 1, c1, r1, c2, r2));
  EXPECT_EQ(std::vector<int>({c1, r1, c2, r2}), std::vector<int>({0, 0, 3, 1}));
  EXPECT_EQ(At(m_grid, 1, 2).text, LoadResString(IDS_ASSIGNED_PRIORITY));

  const int radio = m_grid.RadioTypeIndex();
  for (int option : {0, 0, 1, 1, 0}) {
    m_grid.OnCellTypeEvent(radio, 0, 0, kCellEventButton, option);
    EXPECT_EQ(m_cfg.GetSendHigh(), option == 0 ? 1 : 0) << option;
    EXPECT_EQ(At(m_grid, 0, 0).value, option);
  }
}

TEST_P(PriorityGridModel, PortPrioritiesAreStoredAsTheirWords) {
  (void)m_grid.SetRowTotal(6 + 3);
  const CPortSettings& p = *m_cfg.GetPort(2);
  EXPECT_EQ(At(m_grid, 0, 5).text, "3");
  EXPECT_EQ(At(m_grid, 1, 5).text, LoadResString(IDS_NORMAL));
  EXPECT_EQ(At(m_grid, 1, 5).label,
            JoinResStrings({IDS_BACKGROUND, IDS_NORMAL, IDS_EXPEDITED, IDS_URGENT}));
  Choose(m_grid, 1, 5, LoadResString(IDS_URGENT));
  ASSERT_EQ(m_sink->count(), 1u);
  EXPECT_EQ(m_sink->messages()[0].text, LoadResString(IDS_URGENT_PRIORITY_WARNING));
  EXPECT_EQ(p.priority, "Urgent");
  Choose(m_grid, 1, 5, LoadResString(IDS_EXPEDITED));
  EXPECT_EQ(p.priority, "Expedited");
  EXPECT_EQ(At(m_grid, 1, 5).text, LoadResString(IDS_EXPEDITED));
  EXPECT_EQ(m_sink->count(), 1u);
  Choose(m_grid, 2, 5, LoadResString(IDS_ADD_TAG));
  EXPECT_EQ(p.outputTag, "Add Tag");
  EXPECT_EQ(At(m_grid, 2, 5).text, LoadResString(IDS_ADD_TAG));
  Toggle(m_grid, 3, 5);
  EXPECT_EQ(p.broadcastLimit, 0);
  EXPECT_EQ(At(m_grid, 3, 5).label, LoadResString(IDS_DISABLED));

  m_grid.OnTabClicked(CPrioritySettingsGrid::kSheetAdvanced);
  ASSERT_EQ(m_grid.GetSelectedSheet(), 1);
  (void)m_grid.SetRowTotal(6);
  EXPECT_EQ(At(m_grid, 3, -1).text, LoadResString(IDS_TAG_IP_PRECEDENCE));
  EXPECT_EQ(At(m_grid, 0, 2).text, "3");
  Toggle(m_grid, 1, 2);
  Toggle(m_grid, 2, 2);
  EXPECT_EQ(p.useTag, 0);
  EXPECT_EQ(p.useIP, 0);
  EXPECT_EQ(At(m_grid, 3, 2).text, LoadResString(IDS_USE_TAG));
  Choose(m_grid, 3, 2, LoadResString(IDS_USE_IP));
  EXPECT_EQ(p.precedence, "Use IP");
  EXPECT_EQ(At(m_grid, 3, 2).text, LoadResString(IDS_USE_IP));
}

TEST_P(PriorityGridModel, EveryPriorityHasExactlyOneQueue) {
  m_grid.OnTabClicked(CPrioritySettingsGrid::kSheetTagMapping);
  ASSERT_EQ(m_grid.GetSelectedSheet(), 2);
  EXPECT_EQ(m_grid.GetRowTotal(), 8);
  EXPECT_EQ(At(m_grid, 1, 0).text, LoadResString(IDS_BEST_EFFORT));
  EXPECT_EQ(At(m_grid, 5, -1).text, LoadResString(IDS_URGENT));
  EXPECT_EQ(At(m_grid, 4, -2).text, LoadResString(IDS_OUTPUT_QUEUE));
  auto checked = [&](int p) {
    std::vector<int> out;
    for (int c = 2; c <= 5; ++c)
      if (At(m_grid, c, p).value) out.push_back(c - 2);
    return out;
  };
  for (int p = 0; p < 8; ++p)
    EXPECT_EQ(checked(p), std::vector<int>{static_cast<int>(m_cfg.GetTagMapping(p))});
  Toggle(m_grid, 4, 0);
  EXPECT_EQ(m_cfg.GetTagMapping(0), 2u);
  EXPECT_EQ(checked(0), std::vector<int>{2});
  Toggle(m_grid, 4, 0);  // the checked queue stays
  EXPECT_EQ(m_cfg.GetTagMapping(0), 2u);
  EXPECT_EQ(checked(0), std::vector<int>{2});
  CGridCellValue raw;
  m_grid.GetCellRaw(4, 0, raw);
  EXPECT_EQ(GridCellNumberAsInt(raw), 1);
}

FW_IN_ALL_LANGUAGES(PriorityGridModel);

}  // namespace
