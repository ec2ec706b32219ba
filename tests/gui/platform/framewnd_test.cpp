#include "platform/gui/framewnd.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include "gui_helpers.h"

namespace {

const char* const kScript = R"(
STRINGTABLE
BEGIN
    300, "Frame Title\nUntitled"
END
300 MENU
BEGIN
    POPUP "&File"
    BEGIN
        MENUITEM "&New\tCtrl+N",   100
        MENUITEM "&Frame",         101
        MENUITEM "&App",           102
        MENUITEM "&Nobody",        103
        MENUITEM "&Checked",       104
    END
END
300 ACCELERATORS
BEGIN
    "N",    100, VIRTKEY, CONTROL
    VK_F2,  103, VIRTKEY
    VK_F3,  102, VIRTKEY
END
)";

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_bundle.ok()) << m_bundle.error();
    ASSERT_TRUE(m_frame.LoadFrame(300, WS_OVERLAPPEDWINDOW));
    ASSERT_TRUE(m_view.Create("", "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50), &m_frame,
                              AFX_IDW_PANE_FIRST));
    m_frame.RecalcLayout();
    m_frame.SetActiveView(&m_view);
    fw::SetAppCommandTarget(&m_app);
    // One handler on each stop of the route, and the checked item on the view.
    m_view.SetCommandHandler(100, [this] { m_ran.push_back("view 100"); });
    m_frame.SetCommandHandler(100, [this] { m_ran.push_back("frame 100"); });
    m_frame.SetCommandHandler(101, [this] { m_ran.push_back("frame 101"); });
    m_app.SetCommandHandler(102, [this] { m_ran.push_back("app 102"); });
    m_view.SetUpdateHandler(104, [](CCmdUI* ui) { ui->SetCheck(1); });
  }
  void TearDown() override {
    fw::SetAppCommandTarget(nullptr);
    fwtest::Drain();
  }
  QMainWindow* Main() { return qobject_cast<QMainWindow*>(m_frame.widget()); }

  fwtest::ScopedBundle m_bundle{kScript};
  CFrameWnd m_frame;
  CWnd m_view;
  CCmdTarget m_app;
  std::vector<std::string> m_ran;
};

TEST_F(FrameTest, LoadFrameTakesTitleMenuAndClient) {
  EXPECT_EQ(m_frame.GetWindowText(), "Frame Title");
  ASSERT_NE(m_frame.GetMenu(), nullptr);
  EXPECT_EQ(m_frame.GetMenu()->GetMenuItemCount(), 1);
  ASSERT_EQ(Main()->menuBar()->actions().size(), 1);
  EXPECT_EQ(Main()->menuBar()->actions()[0]->text(), "&File");
  EXPECT_EQ(Main()->centralWidget(), m_view.widget());
}

TEST_F(FrameTest, CommandsRunOnTheFirstStopOfTheRoute) {
  for (UINT id : {100u, 101u, 102u, 103u}) m_frame.SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
  EXPECT_EQ(m_ran, (std::vector<std::string>{"view 100", "frame 101", "app 102"}));
  // Without the view, the frame's own handler answers.
  m_frame.SetActiveView(nullptr);
  m_frame.SendMessage(WM_COMMAND, MAKEWPARAM(100, 0), 0);
  EXPECT_EQ(m_ran.back(), "frame 100");
}

TEST_F(FrameTest, OpeningAPopupUpdatesItsItemsAlongTheRoute) {
  CMenu* file = m_frame.GetMenu()->GetSubMenu(0);
  for (UINT id : {100u, 101u, 102u, 103u}) file->EnableMenuItem(id, MF_ENABLED);
  QMenu* popup = Main()->menuBar()->actions()[0]->menu();
  ASSERT_NE(popup, nullptr);
  popup->popup(QPoint(0, 0));
  fwtest::Drain();
  EXPECT_EQ(file->GetMenuState(100, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_EQ(file->GetMenuState(102, MF_BYCOMMAND) & MF_GRAYED, 0u);         // the application's
  EXPECT_EQ(file->GetMenuState(103, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);  // nobody's
  EXPECT_EQ(file->GetMenuState(104, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
  // The widget shows the updated states.
  ASSERT_EQ(popup->actions().size(), 5);
  EXPECT_FALSE(popup->actions()[3]->isEnabled());
  EXPECT_TRUE(popup->actions()[4]->isChecked());
  // A choice goes to the route.
  popup->actions()[1]->trigger();
  popup->close();
  fwtest::Drain();
  EXPECT_EQ(m_ran, std::vector<std::string>{"frame 101"});
}

TEST_F(FrameTest, AcceleratorsSendCommandsUnlessDisabled) {
  m_frame.ShowWindow(SW_SHOW);
  fwtest::Activate(m_frame.widget());
  QTest::keyClick(m_frame.widget(), Qt::Key_N, Qt::ControlModifier);
  QTest::keyClick(m_frame.widget(), Qt::Key_F2);  // no handler: disabled
  QTest::keyClick(m_frame.widget(), Qt::Key_F3);
  fwtest::Drain();
  EXPECT_EQ(m_ran, (std::vector<std::string>{"view 100", "app 102"}));
  fw::CAccelEntry entry;
  entry.flags = fw::CAccelEntry::kVirtKey | fw::CAccelEntry::kShift;
  entry.key = VK_F1;
  EXPECT_EQ(fw::KeySequenceFromAccel(entry), QKeySequence(Qt::SHIFT | Qt::Key_F1));
}

TEST_F(FrameTest, DockedToolbarButtonsAreUpdatedAndRouted) {
  CToolBar bar;
  ASSERT_TRUE(bar.CreateEx(&m_frame, TBSTYLE_FLAT,
                           WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_TOOLTIPS));
  const UINT ids[] = {100, 0, 103, 104};
  ASSERT_TRUE(bar.SetButtons(ids, 4));
  bar.EnableDocking(CBRS_ALIGN_ANY);
  m_frame.EnableDocking(CBRS_ALIGN_ANY);
  m_frame.DockControlBar(&bar);
  EXPECT_EQ(Main()->toolBarArea(bar.DockHost()), Qt::TopToolBarArea);
  m_frame.ShowWindow(SW_SHOW);
  fwtest::Drain();
  ASSERT_EQ(m_frame.ControlBars().size(), 1u);
  m_frame.UpdateControlBars();
  EXPECT_TRUE(bar.GetState(100) & TBSTATE_ENABLED);
  EXPECT_FALSE(bar.GetState(103) & TBSTATE_ENABLED);
  EXPECT_TRUE(bar.GetState(104) & TBSTATE_CHECKED);
  CRect r;
  bar.GetItemRect(0, &r);
  QTest::mouseClick(bar.widget(), Qt::LeftButton, {}, r.CenterPoint().ToQt());
  fwtest::Drain();
  EXPECT_EQ(m_ran, std::vector<std::string>{"view 100"});
  // Docked at the left the bar stands upright.
  m_frame.DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
  fwtest::Drain();
  EXPECT_FALSE(bar.IsHorizontal());
  EXPECT_EQ(bar.GetBarStyle() & CBRS_ALIGN_ANY, CBRS_ALIGN_LEFT);
  EXPECT_GT(bar.widget()->sizeHint().height(), bar.widget()->sizeHint().width());
}

TEST_F(FrameTest, ContextMenuCommandsTakeTheRoute) {
  CMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendMenu(MF_STRING, 102, "App");
  QTimer::singleShot(0, [] {
    fwtest::WaitFor([] { return QApplication::activePopupWidget() != nullptr; });
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (popup && !popup->actions().isEmpty())
      QTest::mouseClick(popup, Qt::LeftButton, {},
                        popup->actionGeometry(popup->actions()[0]).center());
  });
  menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, 20, 20, &m_frame);
  fwtest::Drain();
  EXPECT_EQ(m_ran, std::vector<std::string>{"app 102"});
}

}  // namespace
