// Where a key goes: a frame's accelerators and menu keys before the focused
// window, whatever that window's dialog code; a window outside a frame keeps
// every key it asks for; each key message is offered to PreTranslateMessage
// once; and the activation goes back to the owner when an active owned
// window goes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QShortcut>
#include <QTest>
#include <QWindow>

#include "gui_helpers.h"
#include "platform/gui/controls.h"
#include "platform/gui/framewnd.h"

namespace {

const char* const kScript = R"(
STRINGTABLE
BEGIN
    400, "Keys"
END
400 MENU
BEGIN
    POPUP "&File"
    BEGIN
        MENUITEM "&New\tCtrl+N",   100
    END
END
400 ACCELERATORS
BEGIN
    "N",     100, VIRTKEY, CONTROL
    VK_F5,   101, VIRTKEY
END
)";

// A window that asks for every key, as the grids do.
class CGreedy : public CWnd {
 public:
  std::vector<std::pair<UINT, UINT>> keys;

 protected:
  QWidget* CreatePeer(QWidget* parent, const CREATESTRUCT&) override {
    auto* w = new fw::CPeerWidget(parent);
    w->setFocusPolicy(Qt::StrongFocus);
    return w;
  }
  UINT OnGetDlgCode() override { return DLGC_WANTARROWS | DLGC_WANTALLKEYS; }
  // The modifier keys' own presses are left out.
  void OnKeyDown(UINT vk, UINT, UINT) override {
    if (vk != VK_CONTROL) keys.emplace_back(WM_KEYDOWN, vk);
  }
  void OnSysKeyDown(UINT vk, UINT, UINT) override {
    if (vk != VK_MENU) keys.emplace_back(WM_SYSKEYDOWN, vk);
  }
};

class KeyRoute : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_bundle.ok()) << m_bundle.error();
    ASSERT_TRUE(m_frame.LoadFrame(400, WS_OVERLAPPEDWINDOW));
    ASSERT_TRUE(m_greedy.Create("", "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 100), &m_frame,
                                AFX_IDW_PANE_FIRST));
    m_frame.RecalcLayout();
    for (int id : {100, 101}) m_frame.SetCommandHandler(id, [this, id] { m_ran.push_back(id); });
    m_frame.ShowWindow(SW_SHOW);
    fwtest::Activate(m_frame.widget());
    m_greedy.SetFocus();
    ASSERT_TRUE(fwtest::WaitFor([this] { return m_greedy.widget()->hasFocus(); }));
  }
  void Key(QWidget* top, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(top->windowHandle(), key, mods);
    fwtest::Drain();
  }

  fwtest::ScopedBundle m_bundle{kScript};
  CFrameWnd m_frame;
  CGreedy m_greedy;
  std::vector<int> m_ran;
};

TEST_F(KeyRoute, TheFramesKeysComeBeforeAWindowThatWantsAllKeys) {
  Key(m_frame.widget(), Qt::Key_N, Qt::ControlModifier);
  Key(m_frame.widget(), Qt::Key_F5);
  EXPECT_EQ(m_ran, (std::vector<int>{100, 101}));
  // Keys the table does not have stay with the focused window.
  Key(m_frame.widget(), Qt::Key_Q, Qt::ControlModifier);
  Key(m_frame.widget(), Qt::Key_F6);
  Key(m_frame.widget(), Qt::Key_Z, Qt::AltModifier);  // no menu has Z
  EXPECT_EQ(m_greedy.keys, (std::vector<std::pair<UINT, UINT>>{
                               {WM_KEYDOWN, 'Q'}, {WM_KEYDOWN, VK_F1 + 5}, {WM_SYSKEYDOWN, 'Z'}}));
  // Alt with a menu's letter opens that menu.
  Key(m_frame.widget(), Qt::Key_F, Qt::AltModifier);
  auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->title(), "&File");
  popup->close();
  fwtest::Drain();
}

TEST_F(KeyRoute, OutsideAFrameAWindowThatWantsAllKeysKeepsThem) {
  QWidget top;
  top.resize(200, 100);
  CGreedy greedy;
  ASSERT_TRUE(greedy.Create("", "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50), nullptr, 1));
  greedy.widget()->setParent(&top);
  greedy.widget()->show();
  bool shortcut = false;
  QShortcut ctrlN(QKeySequence(Qt::CTRL | Qt::Key_N), &top);
  QObject::connect(&ctrlN, &QShortcut::activated, [&] { shortcut = true; });
  fwtest::Activate(&top);
  greedy.SetFocus();
  ASSERT_TRUE(fwtest::WaitFor([&] { return greedy.widget()->hasFocus(); }));
  Key(&top, Qt::Key_N, Qt::ControlModifier);
  EXPECT_FALSE(shortcut);
  EXPECT_EQ(greedy.keys, (std::vector<std::pair<UINT, UINT>>{{WM_KEYDOWN, 'N'}}));
  (void)greedy.DestroyWindow();  // the peer is there: it goes
}

// The key messages a window around a button is offered.
class COffered : public CWnd {
 public:
  std::vector<UINT> messages;
  bool PreTranslateMessage(MSG* msg) override {
    if (msg->message >= WM_KEYDOWN && msg->message <= WM_SYSKEYUP) messages.push_back(msg->message);
    return false;
  }
};

TEST_F(KeyRoute, EveryKeyMessageIsOfferedOnceEvenWhenTheFocusedControlPassesItOn) {
  COffered top;
  ASSERT_TRUE(top.CreateEx(0, "", "keys", WS_POPUP | WS_VISIBLE, CRect(0, 0, 120, 80), nullptr, 0));
  CButton button;  // has no use for a letter: Qt hands it on to the window around it
  ASSERT_TRUE(button.Create("Button", "Go", WS_CHILD | WS_VISIBLE, CRect(5, 5, 80, 30), &top, 1));
  fwtest::Activate(top.widget());
  button.SetFocus();
  Key(top.widget(), Qt::Key_X);
  EXPECT_EQ(top.messages, (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
  (void)top.DestroyWindow();  // the peer is there: it goes
}

TEST_F(KeyRoute, AnActiveOwnedWindowThatGoesGivesTheActivationBackToItsOwner) {
  CWnd owned;
  ASSERT_TRUE(
      owned.CreateEx(0, "", "owned", WS_POPUP | WS_VISIBLE, CRect(0, 0, 80, 60), &m_frame, 0));
  fwtest::Activate(owned.widget());
  ASSERT_EQ(QApplication::activeWindow(), owned.widget());
  ASSERT_TRUE(owned.DestroyWindow());
  fwtest::Drain();
  EXPECT_EQ(QApplication::activeWindow(), m_frame.widget());
  EXPECT_EQ(QApplication::focusWidget(), m_greedy.widget());
  Key(m_frame.widget(), Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(m_ran, std::vector<int>{100});
}

}  // namespace
