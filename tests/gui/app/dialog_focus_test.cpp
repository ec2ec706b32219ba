// After a dialog of the main window closes, the keyboard focus is where it
// was before it opened, so the next key the user types goes on there: a
// shortcut without a click first.
#include <QTest>
#include <QWindow>

#include "shell/aboutdlg.h"
#include "shell/commandids.h"
#include "shell_fixture.h"
#include "tests/emulator/fake_capture.h"
#include "tests/emulator/switch_core.h"
#include "tests/unit/switch/ops_fixture.h"
#include "tools/cfgpsheet.h"
#include "tools/flashleddlg.h"
#include "tools/switchstatusdlg.h"
#include "tools/toolcomm.h"

namespace fwtest {
namespace {

class DialogFocus : public ShellTest {
 protected:
  DialogFocus() : m_capture(m_clock) {}
  void SetUp() override {
    ShellTest::SetUp();
    // One switch that answers, for the dialogs that look for it first.
    m_capture.fake.AddDevice("veth0", "test network", fw::ops_test::Mac(0xA0, 0xEE));
    m_switch = std::make_unique<fw::emu::CSwitchCore>(kMac, 5);
    fw::ops_test::SetIdentity(*m_switch, 5, false, 1);
    m_switch->SetName("Alpha");
    m_capture.fake.Attach("veth0", m_switch.get());
    SetToolCommEnv(CToolCommEnv{&m_capture, &m_clock, &m_clock, nullptr});
    ASSERT_TRUE(Start());
    ASSERT_GE(Doc()->AddSwitchFromField(kSwitchColMac, "10:00:01"), 0);
    Switches().LoadProjectRows();
  }
  void TearDown() override {
    ShellTest::TearDown();
    SetToolCommEnv(CToolCommEnv{});
  }

  QWindow* Window() { return Frame()->widget()->windowHandle(); }
  void ClickCellOf(CSheetGridCtrl& g, int col, int row) {
    const QPoint at = CellsOf(g)->mapTo(Frame()->widget(), Centre(g, col, row));
    QTest::mouseClick(Window(), Qt::LeftButton, Qt::NoModifier, at);
    Drain();
  }

  // Runs the command as its menu item does; once a dialog of the kind is up,
  // Escape typed into it closes it. False when none came.
  template <class D>
  bool OpenAndEscape(unsigned command) {
    bool seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      QWidget* w = QApplication::activeModalWidget();
      auto* dlg = w ? dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(w)) : nullptr;
      if (!dlg || dlg->ended() || !w->windowHandle()) return;
      seen = seen || dynamic_cast<D*>(dlg) != nullptr;
      QTest::keyClick(w->windowHandle(), Qt::Key_Escape);
      if (!dlg->ended()) dlg->EndDialog(IDCANCEL);  // not this test's fault to hang on
    });
    poll.start(20);
    Frame()->SendMessage(WM_COMMAND, command);
    poll.stop();
    Drain();
    return seen;
  }

  static inline const fw::MacAddress kMac = fw::ops_test::Mac(0x01);
  fw::ops_test::CLockedClock m_clock;
  fw::ops_test::CLockedCapture m_capture;
  std::unique_ptr<fw::emu::CSwitchCore> m_switch;
};

TEST_F(DialogFocus, TheListThatHadTheFocusHasItAgainAndTakesTheNextShortcut) {
  const std::vector<std::pair<const char*, std::function<bool()>>> dialogs = {
      {"About", [this] { return OpenAndEscape<CAboutDlg>(ID_APP_ABOUT); }},
      {"Switch Status", [this] { return OpenAndEscape<CSwitchStatusDlg>(ID_SWITCH_STATUS); }},
      {"Wink", [this] { return OpenAndEscape<CFlashLedDlg>(ID_SWITCH_WINK); }},
      {"configuration sheet", [this] { return OpenAndEscape<CCfgPSheet>(ID_CONFIG_ADD); }},
  };
  for (const auto& [name, open] : dialogs) {
    SCOPED_TRACE(name);
    ClickCellOf(Switches(), 0, 0);
    ASSERT_EQ(QApplication::focusWidget(), CellsOf(Switches()));
    ASSERT_TRUE(open()) << "the dialog did not open";
    EXPECT_EQ(QApplication::activeWindow(), Frame()->widget());
    EXPECT_EQ(QApplication::focusWidget(), CellsOf(Switches()));
    const std::size_t prompts = m_dialogs.requests().size();
    QTest::keyClick(Window(), Qt::Key_O, Qt::ControlModifier);
    Drain();
    EXPECT_EQ(m_dialogs.requests().size(), prompts + 1) << "Ctrl+O did nothing";
  }
  // The configuration list too.
  ClickCellOf(Configs(), 0, 0);
  ASSERT_TRUE(OpenAndEscape<CAboutDlg>(ID_APP_ABOUT));
  EXPECT_EQ(QApplication::focusWidget(), CellsOf(Configs()));
}

TEST_F(DialogFocus, TheListHasTheFocusAgainAfterTheFirmwareLoaderRan) {
  const std::string loader = CFenwardleDoc::FirmwareLoaderPath();
  std::ofstream(loader) << "#!/bin/sh\nsleep 0.2\n";
  std::filesystem::permissions(loader, std::filesystem::perms::owner_all);
  ClickCellOf(Switches(), 0, 0);
  ASSERT_EQ(QApplication::focusWidget(), CellsOf(Switches()));
  Frame()->SendMessage(WM_COMMAND, ID_UPDATE_MANAGED_FIRMWARE);
  Drain();
  EXPECT_EQ(QApplication::focusWidget(), CellsOf(Switches()));
  QTest::keyClick(Window(), Qt::Key_O, Qt::ControlModifier);
  Drain();
  EXPECT_EQ(m_dialogs.requests().size(), 1u) << "Ctrl+O did nothing";
}

}  // namespace
}  // namespace fwtest
