// The whole configuration program: what the lists' commands act on is what
// the highlighted row shows, after clicks, keys, heading sorts and deletes,
// and the switch list's row marker stays with the current row. Input goes
// through the main window as a user's does.
#include <QComboBox>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include "platform/clock.h"
#include "shell/commandids.h"
#include "shell_fixture.h"
#include "tests/emulator/fake_capture.h"
#include "tests/emulator/switch_core.h"
#include "tools/cfgpsheet.h"
#include "tools/copycfgdlg.h"
#include "tools/flashleddlg.h"
#include "tools/switchstatusdlg.h"
#include "tools/toolcomm.h"

namespace fwtest {
namespace {

class Selection : public ShellTest {
 protected:
  Selection() : m_capture(fw::SteadyClock()) {
    m_capture.AddDevice("veth-test", "test network", fw::MacAddress{2, 0, 0, 0, 0, 1});
    // The project's three switches answer on it.
    for (std::uint8_t last = 1; last <= 3; ++last) {
      m_cores.push_back(
          std::make_unique<fw::emu::CSwitchCore>(fw::MacAddress{0x02, 0x4B, 0x33, 0, 0, last}));
      m_capture.Attach("veth-test", m_cores.back().get());
    }
  }
  void SetUp() override {
    ShellTest::SetUp();
    SetToolCommEnv(CToolCommEnv{&m_capture, nullptr, nullptr, nullptr});
    ASSERT_TRUE(Start());
    for (const char* name : {"Bravo", "Alpha", "Charlie"}) ASSERT_GE(Doc()->AddNewConfig(name), 0);
    const struct {
      const char* name;
      const char* mac;
      const char* config;
    } switches[] = {{"Bravo", "00:00:02", "Bravo"},
                    {"Alpha", "00:00:01", "Alpha"},
                    {"Charlie", "00:00:03", "Charlie"}};
    for (const auto& s : switches) {
      const int index = Doc()->AddSwitchFromField(kSwitchColMac, s.mac);
      ASSERT_GE(index, 0);
      ASSERT_EQ(Doc()->RenameSwitch(index, s.name), kProjectOk);
      ASSERT_EQ(Doc()->SetSwitchConfigName(index, s.config), kProjectOk);
    }
    Configs().LoadProjectRows();
    Switches().LoadProjectRows();
    Activate(Frame()->widget());
    Drain();
  }
  void TearDown() override {
    ShellTest::TearDown();
    SetToolCommEnv(CToolCommEnv{});
  }

  QWidget* Top() { return Frame()->widget()->window(); }
  // A click as the user makes it: through the main window, at a point of one of its children.
  void ClickIn(QWidget* w, QPoint p) {
    QTest::mouseClick(Top()->windowHandle(), Qt::LeftButton, {}, w->mapTo(Top(), p));
    Drain();
  }
  void ClickRow(CSheetGridCtrl& g, int row) { ClickIn(CellsOf(g), Centre(g, 0, row)); }
  void ClickHeading(CSheetGridCtrl& g, int col) {
    CRect r;
    ASSERT_EQ(g.GetCellRectangle(col, 0, r), kGridOk);
    ClickIn(g.GetDlgItem(kGridTopHeadingId)->widget(), QPoint((r.left + r.right) / 2, 5));
  }
  void Key(Qt::Key key) {
    QTest::keyClick(Top()->windowHandle(), key);
    Drain();
  }

  std::string ConfigShown(int row) {
    const CSwitchConfig* c = Configs().ConfigAtRow(row);
    return c ? c->GetName() : "";
  }
  std::string SwitchShown(int row) {
    const CSwitchEntry* e = Switches().SwitchAtRow(row);
    return e ? e->GetName() : "";
  }
  // The question the next command asks, answered with `answer`; "" when it asks none.
  std::string Asked(unsigned command, int answer) {
    m_messages->clear();
    m_messages->QueueAnswer(answer);
    Command(command);
    Drain();
    return m_messages->count() == 1 ? m_messages->messages()[0].text : "";
  }
  // The configuration the Copy Configuration dialog starts on.
  std::string CopyStartsOn(const std::function<void()>& open) {
    std::string shown = "<no dialog>";
    QTimer::singleShot(0, [&] {
      WaitFor([] { return QApplication::activeModalWidget() != nullptr; }, 10000);
      auto* dlg =
          dynamic_cast<CCopyCfgDlg*>(CWnd::FromHandlePermanent(QApplication::activeModalWidget()));
      if (!dlg) return;
      auto* combo = dynamic_cast<CComboBox*>(dlg->GetDlgItem(1033));
      shown = combo && combo->GetCurSel() >= 0 ? combo->GetLBText(combo->GetCurSel()) : "";
      dlg->EndDialog(IDCANCEL);
    });
    open();
    // The window manager gives the main window back its activation; offscreen nobody does.
    Activate(Top());
    Drain();
    return shown;
  }
  std::string EditStartsOn() {
    std::string shown = "<no sheet>";
    (void)RunModal<CCfgPSheet>(ID_CONFIG_EDIT, [&](CCfgPSheet& sheet) {
      shown = sheet.GetConfig().GetName();
      sheet.EndDialog(IDCANCEL);
    });
    Activate(Top());
    return shown;
  }

  // The rows whose side-heading cell shows the highlight colour on screen
  // (what was painted, not what a fresh paint would give).
  std::vector<int> MarkedRows() {
    Drain();
    CSwitchListGrid& g = Switches();
    QWidget* side = g.GetDlgItem(kGridSideHeadingId)->widget();
    const QPoint at = side->mapTo(Top(), QPoint(0, 0));
    const QImage shown =
        Top()
            ->screen()
            ->grabWindow(Top()->winId(), at.x(), at.y(), side->width(), side->height())
            .toImage();
    const COLORREF h = GetSysColor(COLOR_HIGHLIGHT);
    const QRgb highlight = qRgb(GetRValue(h), GetGValue(h), GetBValue(h));
    std::vector<int> marked;
    for (int row = 0; row < g.GetRowTotal(); ++row) {
      CRect r;
      if (g.GetCellRectangle(0, row, r) != kGridOk) continue;
      const int y = (r.top + r.bottom) / 2;
      int hits = 0;
      for (int x = 0; x < shown.width() && y < shown.height(); ++x)
        hits += (shown.pixel(x, y) & 0xFFFFFF) == (highlight & 0xFFFFFF);
      if (hits > 2) marked.push_back(row);
    }
    return marked;
  }

  std::vector<std::unique_ptr<fw::emu::CSwitchCore>> m_cores;  // [0] is 00:00:01
  fw::emu::CFakeCapture m_capture;
};

TEST_F(Selection, ConfigurationCommandsActOnTheRowShownAfterASortAndAfterADelete) {
  ASSERT_EQ(ConfigShown(0), "Alpha");
  ClickRow(Configs(), 0);
  ASSERT_EQ(Frame()->GetActiveView(), Frame()->GetLeftView());
  // Descending now: the highlighted first row shows another configuration.
  ClickHeading(Configs(), 0);
  ASSERT_EQ(ConfigShown(0), "Charlie");
  ASSERT_EQ(Configs().GetCurrentRow(), 0);
  EXPECT_EQ(Asked(ID_CONFIG_DELETE, IDNO), "Delete switch configuration Charlie?");
  EXPECT_EQ(EditStartsOn(), "Charlie");
  EXPECT_EQ(CopyStartsOn([&] { Command(ID_CONFIG_COPY); }), "Charlie");
  // A key moves the highlight, and the commands with it.
  Key(Qt::Key_Down);
  ASSERT_EQ(Configs().GetCurrentRow(), 1);
  EXPECT_EQ(Asked(ID_CONFIG_DELETE, IDNO), "Delete switch configuration Bravo?");
  Key(Qt::Key_Up);

  // After a delete the row shows the next one: enabled, and acting on it.
  EXPECT_EQ(Asked(ID_CONFIG_DELETE, IDYES), "Delete switch configuration Charlie?");
  ASSERT_EQ(ConfigShown(0), "Bravo");
  EXPECT_TRUE(Enabled(ID_CONFIG_DELETE));
  EXPECT_TRUE(Enabled(ID_CONFIG_EDIT));
  EXPECT_EQ(EditStartsOn(), "Bravo");
  EXPECT_EQ(CopyStartsOn([&] { Command(ID_CONFIG_COPY); }), "Bravo");
  EXPECT_EQ(Asked(ID_CONFIG_DELETE, IDYES), "Delete switch configuration Bravo?");
  EXPECT_EQ(Asked(ID_CONFIG_DELETE, IDYES), "Delete switch configuration Alpha?");
  // Only the new-entry row is left: nothing to act on, and nothing enabled.
  EXPECT_FALSE(Enabled(ID_CONFIG_DELETE));
  EXPECT_FALSE(Enabled(ID_CONFIG_EDIT));
  EXPECT_FALSE(Enabled(ID_CONFIG_COPY));
  EXPECT_EQ(Asked(ID_CONFIG_DELETE, IDYES), "");
  EXPECT_EQ(Doc()->GetSelectedConfigIndex(), -1);
}

TEST_F(Selection, CopyConfigurationStartsOnTheConfigurationItIsGiven) {
  ClickRow(Configs(), 0);  // Alpha selected in the list
  const int charlie = Doc()->GetStore().FindIndexByName("Charlie");
  EXPECT_EQ(CopyStartsOn([&] { Doc()->OpenCopyConfiguration(charlie); }), "Charlie");
  // From the switch list: the configuration of the highlighted switch.
  ClickHeading(Switches(), 0);
  ClickRow(Switches(), 1);
  ASSERT_EQ(SwitchShown(1), "Bravo");
  ASSERT_EQ(Switches().GetCurrentRow(), 1);
  ASSERT_EQ(Frame()->GetActiveView(), Frame()->GetRightView());
  EXPECT_EQ(CopyStartsOn([&] { Command(ID_CONFIG_COPY); }), "Bravo");
}

TEST_F(Selection, SwitchCommandsActOnTheRowShownAfterASort) {
  ASSERT_EQ(SwitchShown(0), "Alpha");
  ClickRow(Switches(), 0);
  ClickHeading(Switches(), 0);
  ASSERT_EQ(SwitchShown(0), "Charlie");
  ASSERT_EQ(Switches().GetCurrentRow(), 0);
  EXPECT_EQ(Asked(ID_SWITCH_DELETE, IDNO), "Delete switch 'Charlie'?");
  EXPECT_EQ(Asked(ID_CONFIG_DELETE, IDNO), "Delete switch configuration Charlie?");
  std::string mac;
  ASSERT_TRUE(RunModal<CSwitchStatusDlg>(ID_SWITCH_STATUS, [&](CSwitchStatusDlg& dlg) {
    mac = dlg.m_strMac;
    dlg.EndDialog(IDCANCEL);
  }));
  EXPECT_EQ(mac, "02:4B:33:00:00:03");
  Activate(Top());
  EXPECT_EQ(EditStartsOn(), "Charlie");
  // Wink looks for the switch before its dialog shows: watch for it meanwhile.
  bool winked = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dlg =
        dynamic_cast<CFlashLedDlg*>(CWnd::FromHandlePermanent(QApplication::activeModalWidget()));
    if (!dlg || dlg->ended()) return;
    winked = true;
    dlg->EndDialog(IDCANCEL);
  });
  poll.start(20);
  m_messages->clear();
  Command(ID_SWITCH_WINK);
  poll.stop();
  EXPECT_TRUE(winked);
  EXPECT_EQ(m_messages->count(), 0u);
  Activate(Top());
  EXPECT_NE(m_cores[2]->last_control(), 0u);  // Charlie was asked to flash
  EXPECT_EQ(m_cores[0]->last_control(), 0u);
  // By MAC address (the direction flips again: ascending), the row shows Alpha.
  ClickHeading(Switches(), 2);
  ASSERT_EQ(SwitchShown(0), "Alpha");
  EXPECT_EQ(Asked(ID_SWITCH_DELETE, IDYES), "Delete switch 'Alpha'?");
  // The row shows Bravo now.
  ASSERT_EQ(SwitchShown(0), "Bravo");
  EXPECT_TRUE(Enabled(ID_SWITCH_STATUS));
  EXPECT_EQ(Asked(ID_SWITCH_DELETE, IDNO), "Delete switch 'Bravo'?");
}

TEST_F(Selection, TheSwitchMarkerFollowsTheCurrentRow) {
  ClickRow(Switches(), 0);
  EXPECT_EQ(MarkedRows(), std::vector<int>{0});
  ClickRow(Switches(), 2);
  EXPECT_EQ(MarkedRows(), std::vector<int>{2});
  Key(Qt::Key_Up);
  EXPECT_EQ(MarkedRows(), std::vector<int>{1});
  Key(Qt::Key_Down);
  Key(Qt::Key_Down);
  ASSERT_EQ(Switches().GetCurrentRow(), 3);  // the new-entry row
  EXPECT_EQ(MarkedRows(), std::vector<int>{3});
  Key(Qt::Key_Up);
  ClickHeading(Switches(), 0);
  EXPECT_EQ(MarkedRows(), std::vector<int>{Switches().GetCurrentRow()});
  // A delete of the highlighted switch: the marker is where the current row is now.
  ASSERT_NE(Asked(ID_SWITCH_DELETE, IDYES), "");
  EXPECT_EQ(Switches().GetRowTotal(), 3);
  EXPECT_EQ(MarkedRows(), std::vector<int>{Switches().GetCurrentRow()});
}

}  // namespace
}  // namespace fwtest
