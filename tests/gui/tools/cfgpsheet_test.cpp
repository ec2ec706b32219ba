// The configuration sheet as a user meets it: a wizard walked page by page,
// the tabbed editor, and the grids driven with the mouse and the keyboard.
#include "tools/cfgpsheet.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QWindow>
#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/gui/help.h"
#include "sheet_test_util.h"
#include "switch/switchentry.h"
#include "toolkit/imagebutton.h"
#include "tools/gridfonts.h"

namespace {

using fwtest::Drain;
using fwtest::InLanguage;

// Every setting of a configuration, in one text, to compare configurations.
std::string Describe(const CSwitchConfig& c) {
  std::ostringstream o;
  o << c.GetName() << '|' << c.GetType() << '|' << c.GetPortCount() << '|' << c.GetNumRings() << '|'
    << c.GetSendHigh() << '|' << c.GetOKOutputMode() << '|' << c.GetOKOutputTriggers() << '|'
    << c.GetMasterMode() << '|' << c.GetDefaultBackupSelect() << '\n';
  for (int i = 0; i < c.GetPortCount(); ++i) {
    const CPortSettings& p = *c.GetPort(i);
    o << p.name << ',' << p.admin << ',' << p.negotiation << ',' << p.flowControl << ',' << p.half10
      << p.full10 << p.half100 << p.full100 << p.half1000 << p.full1000 << ',' << p.priority << ','
      << p.outputTag << ',' << p.broadcastLimit << ',' << p.precedence << ',' << p.useTag << p.useIP
      << ',' << c.GetMirrorSourceMode(i) << '\n';
  }
  for (int r = 0; r < CSwitchConfig::kMaxRings; ++r) {
    const CRingSettings& ring = *c.GetRing(r);
    o << "ring " << ring.enabled << ',' << ring.primaryPort << ',' << ring.backupPort << ','
      << ring.testInterval << '\n';
  }
  for (int t = 0; t < CSwitchConfig::kTagValues; ++t) o << c.GetTagMapping(t);
  std::vector<std::string> pairs;
  for (const auto& e : c.MirrorPairs().Entries())
    pairs.push_back(std::to_string(e.source) + "*" + std::to_string(e.monitor) + "=" +
                    std::to_string(e.value));
  std::sort(pairs.begin(), pairs.end());
  for (const std::string& p : pairs) o << ' ' << p;
  return o.str();
}

class SheetTest : public InLanguage {
 protected:
  // Runs the sheet modally with the script acting once it shows; a sheet
  // the script leaves open is closed after a bound so that a failure cannot hang.
  std::intptr_t Run(std::function<void()> script) {
    QTimer::singleShot(0, [script] {
      Drain();
      script();
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [this] {
      if (m_sheet.IsWindow()) m_sheet.EndDialog(-2);
    });
    guard.start(20000);
    return m_sheet.DoModal();
  }

  QWidget* Item(CWnd& page, int id) {
    CWnd* w = page.GetDlgItem(id);
    EXPECT_NE(w, nullptr) << id;
    return w ? w->widget() : nullptr;
  }
  void Click(QWidget* w) {
    ASSERT_NE(w, nullptr);
    QTest::mouseClick(w, Qt::LeftButton);
    Drain();
  }
  void Press(int id) { Click(m_sheet.GetDlgItem(id)->widget()); }
  // A check box is clicked on its box, not beside its text.
  void ClickCheck(QWidget* w) {
    ASSERT_NE(w, nullptr);
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(6, w->height() / 2));
    Drain();
  }
  void Type(QWidget* edit, const std::string& text) {
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, QString::fromStdString(text));
    Drain();
  }
  // Picks an entry the way the keyboard does, which the combo box reports as the user's choice.
  void Pick(CComboBox& combo, int index) {
    auto* c = qobject_cast<QComboBox*>(combo.widget());
    ASSERT_NE(c, nullptr);
    QTest::keyClick(c, Qt::Key_Home);
    for (int i = 0; i < index; ++i) QTest::keyClick(c, Qt::Key_Down);
    Drain();
    EXPECT_EQ(c->currentIndex(), index);
  }
  int IndexOf(CComboBox& combo, const std::string& text) {
    for (int i = 0; i < combo.GetCount(); ++i)
      if (combo.GetLBText(i) == text) return i;
    ADD_FAILURE() << "no entry " << text;
    return -1;
  }

  // ---- grids: clicks on cells, in the cell area's coordinates
  QWidget* Cells(CSheetGridCtrl& grid) { return grid.GetDlgItem(kGridCellAreaId)->widget(); }
  QPoint CellPoint(CSheetGridCtrl& grid, int col, int row, int fromLeft = -1, int fromTop = -1) {
    CRect r;
    EXPECT_EQ(grid.GetCellRectangle(col, row, r), 0) << col << "," << row;
    return QPoint(fromLeft < 0 ? (r.left + r.right) / 2 : r.left + fromLeft,
                  fromTop < 0 ? (r.top + r.bottom) / 2 : r.top + fromTop);
  }
  // A check box: in the middle of its cell, or at the left when it has a label.
  void ClickBox(CSheetGridCtrl& grid, int col, int row, bool labelled = false) {
    QTest::mouseClick(Cells(grid), Qt::LeftButton, {},
                      CellPoint(grid, col, row, labelled ? 9 : -1));
    Drain();
  }
  // The upper option of a radio cell, then the space bar for the next one.
  void ChooseOption(CSheetGridCtrl& grid, int col, int row, int option) {
    QTest::mouseClick(Cells(grid), Qt::LeftButton, {}, CellPoint(grid, col, row, 20, 3));
    for (int i = 0; i < option; ++i) QTest::keyClick(Cells(grid), Qt::Key_Space);
    Drain();
  }
  // Opens a drop list with its button and clicks the entry with the text.
  void ChooseEntry(CSheetGridCtrl& grid, int col, int row, const std::string& text) {
    CRect r;
    ASSERT_EQ(grid.GetCellRectangle(col, row, r), kGridOk);
    QTest::mouseClick(Cells(grid), Qt::LeftButton, {}, QPoint(r.right - 4, (r.top + r.bottom) / 2));
    Drain();
    QListWidget* list = nullptr;
    for (QListWidget* l : Cells(grid)->findChildren<QListWidget*>())
      if (l->isVisible()) list = l;
    ASSERT_NE(list, nullptr) << "no list at " << col << "," << row;
    const auto found = list->findItems(QString::fromStdString(text), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(found[0]).center());
    Drain();
  }
  // Clicks along the grid's sheet tabs from the right until the sheet shows.
  void ClickSheetTab(CSheetGridCtrl& grid, int sheet) {
    QWidget* tabs = grid.GetDlgItem(kGridTabsId)->widget();
    for (int x = tabs->width() - 4; x > 0 && grid.GetSelectedSheet() != sheet; x -= 6)
      QTest::mouseClick(tabs, Qt::LeftButton, {}, QPoint(x, tabs->height() / 2));
    Drain();
    EXPECT_EQ(grid.GetSelectedSheet(), sheet);
  }
  void ClickPageTab(int index) {
    auto* tabs = qobject_cast<QTabBar*>(m_sheet.GetDlgItem(kSheetTabControlId)->widget());
    ASSERT_NE(tabs, nullptr);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
    Drain();
  }
  bool Visible(int id) {
    CWnd* w = m_sheet.GetDlgItem(id);
    return w && w->IsWindowVisible();
  }
  std::string LastMessage() {
    return m_sink->count() ? m_sink->messages().back().text : std::string();
  }

  CCfgPSheet m_sheet;
};

// ---------------------------------------------------------------- the wizard

TEST_P(SheetTest, AWizardWalkedToFinishMakesTheConfigurationThatWasEntered) {
  m_sheet.SetMode(0);
  m_sheet.SetOtherConfigNames({"Existing"});
  CSwitchConfig& cfg = m_sheet.GetConfig();
  const std::intptr_t result = Run([&] {
    EXPECT_EQ(m_sheet.GetWindowText(), LoadResString(IDS_SWITCH_CONFIGURATION));
    CImageButton* later = m_sheet.GetConfigureLaterButton();
    ASSERT_NE(later, nullptr);
    EXPECT_TRUE(later->IsWindowVisible());
    EXPECT_EQ(later->GetWindowText(), LoadResString(IDS_CONFIGURE_LATER));
    CRect back, own;
    m_sheet.GetDlgItem(ID_WIZBACK)->GetWindowRect(&back);
    later->GetWindowRect(&own);
    EXPECT_EQ(own.right, back.left - 10);
    EXPECT_EQ(own.left, back.left - 125);
    EXPECT_EQ(own.top, back.top);
    EXPECT_FALSE(m_sheet.GetDlgItem(ID_WIZBACK)->IsWindowEnabled());
    EXPECT_TRUE(Visible(ID_WIZNEXT));
    EXPECT_FALSE(Visible(ID_WIZFINISH));

    // General: a name with blanks and a comma, and a six-port type.
    CCfgPage1& general = m_sheet.GeneralPage();
    EXPECT_EQ(general.GetWindowText(), LoadResString(IDS_GENERAL));
    EXPECT_EQ(general.TypeCombo().GetCurSel(), 0);
    Type(Item(general, CCfgPage1::kNameEdit), "  Line, A  ");
    Pick(general.TypeCombo(), IndexOf(general.TypeCombo(), LoadResString(6003)));
    EXPECT_EQ(cfg.GetPortCount(), 6);
    Press(ID_WIZNEXT);
    ASSERT_EQ(m_sheet.GetActivePage(), &m_sheet.PortsPage());
    EXPECT_EQ(cfg.GetName(), "Line A");
    EXPECT_EQ(general.GetDlgItemText(CCfgPage1::kNameEdit), "Line A");
    EXPECT_EQ(cfg.GetType(), LoadResString(6003));

    // Ports: six rows; flow control on port 1, port 2 disabled.
    CPortSettingsGrid& ports = m_sheet.PortsPage().Grid();
    EXPECT_EQ(ports.GetRowTotal(), 6);
    EXPECT_FALSE(m_sheet.PortsPage().GetDlgItem(CCfgPage2::kFiberNote)->IsWindowVisible());
    EXPECT_TRUE(m_sheet.GetDlgItem(ID_WIZBACK)->IsWindowEnabled());
    ClickBox(ports, CPortSettingsGrid::kColFlowControl, 0);
    ChooseEntry(ports, CPortSettingsGrid::kColAdmin, 1, LoadResString(IDS_DISABLED));
    ChooseEntry(ports, CPortSettingsGrid::kColNegotiation, 2, LoadResString(IDS_FIXED));
    ClickBox(ports, CPortSettingsGrid::kCol10Full, 2);
    Press(ID_WIZNEXT);

    // Rings: ring 2 on ports 3 and 2, ring 1 enabled; this switch is master.
    CCfgPage3& rings = m_sheet.RingsPage();
    ASSERT_EQ(m_sheet.GetActivePage(), &rings);
    ChooseEntry(rings.Grid(), CRingSettingsGrid::kColPrimary, 1, LoadResString(IDS_PORT_3));
    ChooseEntry(rings.Grid(), CRingSettingsGrid::kColBackup, 1, LoadResString(IDS_PORT_2));
    ClickBox(rings.Grid(), CRingSettingsGrid::kColEnable, 0, true);
    Type(Item(rings, CCfgPage3::kSwitchCount), "4");
    EXPECT_EQ(rings.GetDlgItemText(CCfgPage3::kRecoveryTime), FormatRes(IDS_RECOVERY_TIME_MS, 50));
    Pick(rings.MasterCombo(), 1);
    Press(ID_WIZNEXT);

    // Priorities: lower priorities through; port 4 expedited; tag 0 to queue 1.
    CPrioritySettingsGrid& prio = m_sheet.PrioritiesPage().Grid();
    ASSERT_EQ(m_sheet.GetActivePage(), &m_sheet.PrioritiesPage());
    ChooseOption(prio, 0, 0, 1);
    ChooseEntry(prio, 1, 6, LoadResString(IDS_EXPEDITED));
    ClickSheetTab(prio, CPrioritySettingsGrid::kSheetTagMapping);
    ClickBox(prio, 3, 0);
    Press(ID_WIZNEXT);

    // Mirroring: port 2 watched on port 4, port 3 sends all it gets.
    CMirroringGrid& mirror = m_sheet.MirroringPage().Grid();
    ASSERT_EQ(m_sheet.GetActivePage(), &m_sheet.MirroringPage());
    ClickBox(mirror, 2, 4);
    ChooseOption(mirror, 3, 0, 1);
    Press(ID_WIZNEXT);

    // OK Output: not on power 2, but next to this switch.
    CCfgPage6& ok = m_sheet.OkOutputPage();
    ASSERT_EQ(m_sheet.GetActivePage(), &ok);
    EXPECT_TRUE(Visible(ID_WIZFINISH));
    EXPECT_FALSE(Visible(ID_WIZNEXT));
    ClickCheck(Item(ok, CCfgPage6::kPower2));
    ClickCheck(Item(ok, CCfgPage6::kRingAdjacent));
    Press(ID_WIZFINISH);
  });
  ASSERT_EQ(result, ID_WIZFINISH);
  EXPECT_TRUE(CCfgPSheet::IsAccepted(result));
  EXPECT_EQ(m_sink->count(), 0u) << LastMessage();

  EXPECT_EQ(cfg.GetPort(0)->flowControl, 1);
  EXPECT_EQ(cfg.GetPort(1)->admin, "Disabled");
  const CPortSettings& fixed = *cfg.GetPort(2);
  EXPECT_EQ(fixed.negotiation, "Fixed");
  EXPECT_EQ(std::vector<int>({fixed.half10, fixed.full10, fixed.half100, fixed.full100}),
            std::vector<int>({0, 1, 0, 0}));
  EXPECT_EQ(cfg.GetRing(1)->primaryPort, 2);
  EXPECT_EQ(cfg.GetRing(1)->backupPort, 1);
  EXPECT_EQ(cfg.GetRing(0)->enabled, 1);
  EXPECT_EQ(cfg.GetMasterMode(), 1);
  EXPECT_EQ(cfg.GetSendHigh(), 0);
  EXPECT_EQ(cfg.GetPort(3)->priority, "Expedited");
  EXPECT_EQ(cfg.GetTagMapping(0), 1u);
  EXPECT_EQ(cfg.LookupMirrorPair(1, 3), 1);
  EXPECT_EQ(cfg.GetMirrorSourceMode(2), 1u);
  EXPECT_EQ(cfg.GetOKOutputTriggers(), 1ul | 4ul | 8ul);

  // Saved with the project and read back, it is what was entered.
  CSwitchConfigStore store(0);
  ASSERT_GE(store.Add(cfg), 0);
  CSwitchList switches;
  const std::string path = m_dir.file("project.zcf");
  std::string error;
  ASSERT_EQ(fw::SaveProjectFile(path, store, switches, nullptr, &error), 0) << error;
  CSwitchConfigStore loaded(0);
  CSwitchList loadedSwitches;
  ASSERT_EQ(fw::LoadProjectFile(path, loaded, loadedSwitches, nullptr, &error), 0) << error;
  ASSERT_NE(loaded.GetAt(loaded.First()), nullptr);
  EXPECT_EQ(Describe(*loaded.GetAt(loaded.First())), Describe(cfg));
}

TEST_P(SheetTest, ConfigureLaterNeedsANameAndThenEndsTheWizard) {
  m_sheet.SetMode(0);
  const std::intptr_t result = Run([&] {
    Press(CCfgPSheet::kConfigureLaterId);
    ASSERT_EQ(m_sink->count(), 1u);
    EXPECT_EQ(LastMessage(), LoadResString(IDS_ENTER_CFG_NAME));
    EXPECT_TRUE(m_sheet.IsWindowVisible());
    EXPECT_EQ(m_sheet.GetActiveIndex(), 0);
    // Commas and blanks are no name either.
    Type(Item(m_sheet.GeneralPage(), CCfgPage1::kNameEdit), " , ,, ");
    Press(CCfgPSheet::kConfigureLaterId);
    EXPECT_EQ(m_sink->count(), 2u);
    EXPECT_TRUE(m_sheet.IsWindowVisible());
    Type(Item(m_sheet.GeneralPage(), CCfgPage1::kNameEdit), "Later");
    Press(CCfgPSheet::kConfigureLaterId);
  });
  EXPECT_TRUE(CCfgPSheet::IsAccepted(result));
  EXPECT_EQ(m_sink->count(), 2u);
  const CSwitchConfig& cfg = m_sheet.GetConfig();
  EXPECT_EQ(cfg.GetName(), "Later");
  // The first offered type; the pages never visited keep the defaults.
  EXPECT_EQ(cfg.GetType(), LoadResString(6000));
  EXPECT_EQ(cfg.GetPortCount(), 5);
  EXPECT_EQ(cfg.GetOKOutputTriggers(), 7ul);
  EXPECT_FALSE(m_sheet.OkOutputPage().IsWindow());
}

TEST_P(SheetTest, FinishAndConfigureLaterRefuseAConfigurationWithoutSpeeds) {
  m_sheet.SetMode(0);
  std::vector<std::string> problems;
  const std::intptr_t result = Run([&] {
    Type(Item(m_sheet.GeneralPage(), CCfgPage1::kNameEdit), "Mute");
    Press(ID_WIZNEXT);
    CSwitchConfig& cfg = m_sheet.GetConfig();
    for (int i = 0; i < cfg.GetPortCount(); ++i) {
      CPortSettings& p = *cfg.GetPort(i);
      p.half10 = p.full10 = p.half100 = p.full100 = 0;
    }
    Press(CCfgPSheet::kConfigureLaterId);
    EXPECT_EQ(LastMessage(), LoadResString(IDS_ALL_PORT_SPEEDS_DISABLED) + "\n");
    m_sheet.SetActivePage(5);
    Drain();
    Press(ID_WIZFINISH);
    EXPECT_EQ(m_sink->count(), 2u);
    EXPECT_EQ(LastMessage(), LoadResString(IDS_ALL_PORT_SPEEDS_DISABLED) + "\n");
    EXPECT_TRUE(m_sheet.IsWindowVisible());
    Press(IDCANCEL);
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_FALSE(CCfgPSheet::IsAccepted(result));
}

// Tab through the sheet's window: the page's controls, then the buttons as
// they stand left to right (Back is disabled on the first page), then round
// again. Enter on Configure Later presses it, not the default Next.
TEST_P(SheetTest, TabRunsThroughThePageThenTheButtonsLeftToRight) {
  auto walk = [this](int count) {
    return fwtest::FocusWalk(m_sheet.widget(), Qt::Key_Tab, {}, count);
  };
  m_sheet.SetMode(0);
  const std::intptr_t result = Run([&] {
    fwtest::Activate(m_sheet.widget());
    Type(Item(m_sheet.GeneralPage(), CCfgPage1::kNameEdit), "Later");
    EXPECT_EQ(walk(6), (std::vector<int>{CCfgPage1::kTypeCombo, CCfgPSheet::kConfigureLaterId,
                                         ID_WIZNEXT, IDCANCEL, ID_HELP, CCfgPage1::kNameEdit}));
    walk(2);
    QTest::keyClick(m_sheet.widget()->windowHandle(), Qt::Key_Return);
    Drain();
    EXPECT_EQ(m_sheet.GetActiveIndex(), 0);
    if (!m_sheet.ended()) Press(IDCANCEL);
  });
  EXPECT_EQ(result, ID_WIZFINISH);
  EXPECT_EQ(m_sheet.GetConfig().GetName(), "Later");
}

TEST_P(SheetTest, NamesOfOtherConfigurationsAreRefused) {
  m_sheet.SetMode(0);
  m_sheet.SetOtherConfigNames({"Ring A", "Other"});
  Run([&] {
    QWidget* name = Item(m_sheet.GeneralPage(), CCfgPage1::kNameEdit);
    Type(name, "ring a");
    Press(ID_WIZNEXT);
    EXPECT_EQ(LastMessage(), LoadResString(IDS_CFG_NAME_IN_USE));
    EXPECT_EQ(m_sheet.GetActiveIndex(), 0);
    // Cut to 32 characters without a word, then free.
    Type(name, "Ring A and a name far longer than thirty-two");
    Press(ID_WIZNEXT);
    EXPECT_EQ(m_sink->count(), 1u);
    EXPECT_EQ(m_sheet.GetActiveIndex(), 1);
    EXPECT_EQ(m_sheet.GetConfig().GetName(), "Ring A and a name far longer tha");
    Press(IDCANCEL);
  });
}

// ---------------------------------------------------------------- the editor

TEST_P(SheetTest, EditingRefusesOkWhileNoPortHasASpeedAndCancelChangesNothing) {
  fw::ScopedHelpService help;
  CSwitchConfig project;
  MakeType(project, 6000);
  project.SetName("Project One");
  for (int i = 0; i < project.GetPortCount(); ++i) {
    CPortSettings& p = *project.GetPort(i);
    p.half10 = p.full10 = p.half100 = p.full100 = 0;
  }
  project.GetPort(4)->full100 = 1;
  const std::string before = Describe(project);

  m_sheet.SetMode(1);
  m_sheet.GetConfig().CopyFrom(project);
  const std::intptr_t result = Run([&] {
    EXPECT_EQ(m_sheet.GetConfigureLaterButton(), nullptr);
    EXPECT_TRUE(Visible(IDOK));
    EXPECT_EQ(m_sheet.GetDlgItem(ID_WIZNEXT), nullptr);
    EXPECT_EQ(m_sheet.GeneralPage().GetDlgItemText(CCfgPage1::kNameEdit), "Project One");
    ClickPageTab(1);
    ASSERT_EQ(m_sheet.GetActivePage(), &m_sheet.PortsPage());
    Press(ID_HELP);
    ClickBox(m_sheet.PortsPage().Grid(), CPortSettingsGrid::kCol100Full, 4);
    Press(IDOK);
    EXPECT_EQ(LastMessage(), LoadResString(IDS_ALL_PORT_SPEEDS_DISABLED) + "\n");
    EXPECT_TRUE(m_sheet.IsWindowVisible());
    // More edits, all to be thrown away.
    ClickPageTab(5);
    ClickCheck(Item(m_sheet.OkOutputPage(), CCfgPage6::kPower1));
    ClickPageTab(0);
    Type(Item(m_sheet.GeneralPage(), CCfgPage1::kNameEdit), "Renamed");
    Press(IDCANCEL);
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_FALSE(CCfgPSheet::IsAccepted(result));
  EXPECT_EQ(Describe(project), before);
  EXPECT_EQ(m_sheet.GetConfig().GetOKOutputTriggers(), 6ul);  // the copy had them
  EXPECT_EQ(help->requests(), std::vector<unsigned>{0x20000u + 105});
}

TEST_P(SheetTest, EveryPageOfANinePortConfigurationIsSizedForIt) {
  m_sheet.SetMode(1);
  MakeType(m_sheet.GetConfig(), 6010);
  m_sheet.GetConfig().SetName("Nine");
  const std::intptr_t result = Run([&] {
    for (int i = 1; i < 6; ++i) {
      ClickPageTab(i);
      ASSERT_EQ(m_sheet.GetActiveIndex(), i);
      EXPECT_EQ(m_sheet.GetActivePage()->GetWindowText(), m_sheet.GetActivePage()->GetCaption());
    }
    EXPECT_EQ(m_sheet.PortsPage().Grid().GetRowTotal(), 9);

    CPrioritySettingsGrid& prio = m_sheet.PrioritiesPage().Grid();
    EXPECT_EQ(prio.GetSelectedSheet(), 0);
    EXPECT_EQ(prio.GetRowTotal(), 12);
    (void)prio.SelectSheet(1);
    EXPECT_EQ(prio.GetRowTotal(), 9);
    (void)prio.SelectSheet(2);
    EXPECT_EQ(prio.GetRowTotal(), 8);
    ClickPageTab(3);  // coming back keeps the sheet that was shown
    EXPECT_EQ(prio.GetSelectedSheet(), 2);

    CMirroringGrid& mirror = m_sheet.MirroringPage().Grid();
    EXPECT_EQ(mirror.GetRowTotal(), 10);
    EXPECT_EQ(mirror.GetColumnTotal(), 10);
    int c1, r1, c2, r2;
    ASSERT_TRUE(mirror.GetJoinBlock(7, -2, c1, r1, c2, r2));
    EXPECT_EQ(std::vector<int>({c1, r1, c2, r2}), std::vector<int>({1, -2, 9, -2}));
    ASSERT_TRUE(mirror.GetJoinBlock(0, -1, c1, r1, c2, r2));
    EXPECT_EQ(std::vector<int>({c1, r1, c2, r2}), std::vector<int>({0, -2, 0, -1}));
    // Widths of the reference font, in ours.
    EXPECT_EQ(mirror.GetColumnWidth(0), GridPx(75));
    for (int c = 1; c <= 9; ++c) EXPECT_EQ(mirror.GetColumnWidth(c), GridPx(68)) << c;
    Press(IDOK);
  });
  EXPECT_EQ(result, IDOK);
}

TEST_P(SheetTest, TheGeneralPageDerivesThePortCountFromTheType) {
  // A customisation file that offers nine-port models only: the first type
  // is a nine-port one.
  const std::string file = m_dir.file("nine.customize");
  std::ofstream(file) << "[part numbers]\r\n0=QV-9KP-1,Nine One\r\n1=QV-9KP-2,Nine Two\r\n";
  CSwitchConfigStore::SetCustomizeFilePath(file);
  CSwitchConfigStore::ResetOfferedModels();
  m_sheet.SetMode(0);
  Run([&] {
    CComboBox& types = m_sheet.GeneralPage().TypeCombo();
    ASSERT_EQ(types.GetCount(), 3);
    EXPECT_EQ(types.GetLBText(0), LoadResString(6006));
    Type(Item(m_sheet.GeneralPage(), CCfgPage1::kNameEdit), "Nine");
    Press(ID_WIZNEXT);
    EXPECT_EQ(m_sheet.GetConfig().GetPortCount(), 9);
    EXPECT_EQ(m_sheet.PortsPage().Grid().GetRowTotal(), 9);
    Press(IDCANCEL);
  });
}

TEST_P(SheetTest, ATypeFromAnotherLanguageOrOneNotOfferedIsKept) {
  // Saved under the German or French name of a six-port type.
  const std::string other =
      *fwtest::LibraryBundle(std::string(GetParam()) == "german" ? "french" : "german")
           ->FindString(6004);
  m_sheet.SetMode(1);
  CSwitchConfig& cfg = m_sheet.GetConfig();
  cfg.SetName("Translated");
  cfg.SetPortCount(6);
  cfg.SetPartNumber(other);
  Run([&] {
    CComboBox& types = m_sheet.GeneralPage().TypeCombo();
    EXPECT_EQ(types.GetCount(), 11);
    EXPECT_EQ(types.GetLBText(types.GetCurSel()), LoadResString(6004));
    Press(IDOK);
  });
  EXPECT_EQ(cfg.GetType(), LoadResString(6004));
  EXPECT_EQ(cfg.GetPortCount(), 6);

  // A type no language knows: an entry of its own, left as it is.
  CCfgPSheet second;
  second.SetMode(1);
  CSwitchConfig& odd = second.GetConfig();
  odd.SetName("Odd");
  odd.SetPortCount(9);
  odd.SetPartNumber("Custom ring switch");
  odd.GetPort(8)->flowControl = 1;
  QTimer::singleShot(0, [&] {
    Drain();
    CComboBox& types = second.GeneralPage().TypeCombo();
    EXPECT_EQ(types.GetCount(), 12);
    EXPECT_EQ(types.GetLBText(types.GetCurSel()), "Custom ring switch");
    Pick(types, 0);
    EXPECT_EQ(odd.GetPortCount(), 5);
    Pick(types, 11);  // back to its own type: as it came
    EXPECT_EQ(odd.GetPortCount(), 9);
    EXPECT_EQ(odd.GetType(), "Custom ring switch");
    second.PressButton(PSBTN_OK);
  });
  EXPECT_EQ(second.DoModal(), IDOK);
  EXPECT_EQ(odd.GetType(), "Custom ring switch");
  EXPECT_EQ(odd.GetPortCount(), 9);
}

TEST_P(SheetTest, TheRingsPageRefusesDuplicatesAndCalculatesRecovery) {
  m_sheet.SetMode(1);
  MakeType(m_sheet.GetConfig(), 6000);
  m_sheet.GetConfig().SetName("Rings");
  m_sheet.GetConfig().SetMasterMode(5);  // from a file: neither choice
  Run([&] {
    ClickPageTab(2);
    CCfgPage3& rings = m_sheet.RingsPage();
    EXPECT_EQ(rings.MasterCombo().GetCurSel(), 1);
    EXPECT_EQ(rings.MasterCombo().GetLBText(0), LoadResString(IDS_AUTOMATIC));
    EXPECT_EQ(rings.RecoveryTime().logFont().lfWeight, 700);
    QWidget* count = Item(rings, CCfgPage3::kSwitchCount);
    const auto shown = [&] { return rings.GetDlgItemText(CCfgPage3::kRecoveryTime); };
    EXPECT_EQ(shown(), "");
    Type(count, "4");
    EXPECT_EQ(shown(), FormatRes(IDS_RECOVERY_TIME_MS, 50));
    Type(count, "");
    EXPECT_EQ(shown(), FormatRes(IDS_RECOVERY_TIME_MS, 50));
    Type(count, "abc");
    EXPECT_EQ(shown(), FormatRes(IDS_RECOVERY_TIME_MS, 30));
    Type(count, "99999999999999999999999");
    EXPECT_EQ(shown(), FormatRes(IDS_RECOVERY_TIME_MS, (INT_MAX - 30) / 5 * 5 + 30));

    // Ring 1 on one port twice: marked, and the page cannot be left.
    ChooseEntry(rings.Grid(), CRingSettingsGrid::kColBackup, 0, LoadResString(IDS_PORT_4));
    EXPECT_TRUE(rings.Grid().IsMarked(3));
    CGridCellValue cell;
    rings.Grid().GetCell(CRingSettingsGrid::kColPrimary, 0, cell);
    EXPECT_EQ(cell.GridCellGetBackColorOrDefault(), 0x0000FFFFu);
    ClickPageTab(3);
    EXPECT_EQ(LastMessage(), LoadResString(IDS_DUPLICATE_PORTS_SELECTED));
    EXPECT_EQ(m_sheet.GetActiveIndex(), 2);
    ChooseEntry(rings.Grid(), CRingSettingsGrid::kColBackup, 0, LoadResString(IDS_PORT_5));
    EXPECT_EQ(rings.Grid().DuplicateCount(), 0);
    Press(IDOK);
  });
  EXPECT_EQ(m_sheet.GetConfig().GetMasterMode(), 1);
  EXPECT_EQ(m_sheet.GetConfig().GetRing(0)->backupPort, 4);
}

FW_IN_ALL_LANGUAGES(SheetTest);

}  // namespace
