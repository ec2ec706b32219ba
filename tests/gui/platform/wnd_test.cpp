#include "platform/gui/wnd.h"

#include <gtest/gtest.h>

#include <QAbstractEventDispatcher>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <thread>

#include "gui_helpers.h"
#include "platform/gui/controls.h"

namespace {

using fwtest::WaitFor;

// Records the messages the handlers see, with their Windows arguments.
class Recorder : public CWnd {
 public:
  struct Key {
    UINT msg, code, flags;
  };
  std::vector<Key> keys;
  std::vector<UINT> mouse;
  std::vector<CPoint> points;
  std::vector<UINT_PTR> timers;
  CWnd* lastOldFocus = nullptr;
  CWnd* lastNewFocus = nullptr;
  int setFocusCount = 0, killFocusCount = 0;
  UINT dlgCode = 0;
  int paints = 0, erases = 0;
  COLORREF fill = RGB(0, 128, 0);
  bool captureLost = false;

 protected:
  void OnKeyDown(UINT vk, UINT, UINT flags) override { keys.push_back({WM_KEYDOWN, vk, flags}); }
  void OnKeyUp(UINT vk, UINT, UINT flags) override { keys.push_back({WM_KEYUP, vk, flags}); }
  void OnChar(UINT ch, UINT, UINT flags) override { keys.push_back({WM_CHAR, ch, flags}); }
  UINT OnGetDlgCode() override { return dlgCode; }
  void OnLButtonDown(UINT, CPoint p) override {
    mouse.push_back(WM_LBUTTONDOWN), points.push_back(p);
  }
  void OnLButtonUp(UINT, CPoint p) override { mouse.push_back(WM_LBUTTONUP), points.push_back(p); }
  void OnLButtonDblClk(UINT, CPoint p) override {
    mouse.push_back(WM_LBUTTONDBLCLK), points.push_back(p);
  }
  void OnRButtonDown(UINT, CPoint p) override {
    mouse.push_back(WM_RBUTTONDOWN), points.push_back(p);
  }
  void OnTimer(UINT_PTR id) override { timers.push_back(id); }
  void OnSetFocus(CWnd* old) override {
    ++setFocusCount;
    lastOldFocus = old;
  }
  void OnKillFocus(CWnd* now) override {
    ++killFocusCount;
    lastNewFocus = now;
  }
  bool OnEraseBkgnd(CDC* dc) override {
    ++erases;
    CRect r;
    GetClientRect(&r);
    dc->FillSolidRect(r, RGB(255, 255, 255));
    return true;
  }
  void OnPaint() override {
    CPaintDC dc(this);
    ++paints;
    dc.FillSolidRect(CRect(0, 0, 10, 10), fill);
  }
  void OnCaptureChanged(CWnd*) override { captureLost = true; }
};

class WndTest : public ::testing::Test {
 protected:
  void TearDown() override { fwtest::Drain(); }
};

TEST_F(WndTest, ObjectLivesWithoutWindowAndCanBeRecreated) {
  Recorder w;
  EXPECT_FALSE(w.IsWindow());
  EXPECT_EQ(w.GetWindowText(), "");
  EXPECT_FALSE(w.ShowWindow(SW_SHOW));
  EXPECT_FALSE(w.PostMessage(WM_USER));
  ASSERT_TRUE(w.Create("", "first", WS_OVERLAPPED, CRect(0, 0, 100, 50), nullptr, 0));
  EXPECT_FALSE(w.IsWindowVisible());  // created hidden without WS_VISIBLE
  EXPECT_EQ(w.GetWindowText(), "first");
  QPointer<QWidget> firstPeer = w.widget();
  EXPECT_EQ(CWnd::FromHandlePermanent(firstPeer), &w);
  EXPECT_FALSE(w.Create("", "again", 0, CRect(), nullptr, 0));  // one window at a time
  ASSERT_TRUE(w.DestroyWindow());
  EXPECT_TRUE(firstPeer.isNull());
  EXPECT_FALSE(w.IsWindow());
  ASSERT_TRUE(w.Create("", "second", WS_VISIBLE, CRect(0, 0, 100, 50), nullptr, 0));
  EXPECT_TRUE(w.IsWindowVisible());
}

TEST_F(WndTest, ChildIdsAndDlgItems) {
  CWnd parent;
  ASSERT_TRUE(parent.Create("", "p", 0, CRect(0, 0, 200, 100), nullptr, 0));
  CButton button;
  ASSERT_TRUE(button.Create("Button", "Go", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                            CRect(5, 6, 55, 26), &parent, 42));
  EXPECT_EQ(button.GetDlgCtrlID(), 42);
  EXPECT_EQ(parent.GetDlgItem(42), &button);
  EXPECT_EQ(button.GetParent(), &parent);
  EXPECT_EQ(parent.GetDlgItem(43), nullptr);
  parent.SetDlgItemText(42, "&Stop");
  EXPECT_EQ(button.GetWindowText(), "&Stop");
  CRect r;
  button.GetClientRect(&r);
  EXPECT_EQ(r, CRect(0, 0, 50, 20));
  // A child without an object of its own still answers through a wrapper.
  auto* bare = new QWidget(parent.widget());
  bare->setProperty("fw_id", 7);
  CWnd* wrapper = parent.GetDlgItem(7);
  ASSERT_NE(wrapper, nullptr);
  EXPECT_EQ(wrapper->widget(), bare);
  EXPECT_EQ(parent.GetDlgItem(7), wrapper);
}

TEST_F(WndTest, SendPostAndRegisteredMessages) {
  Recorder w;
  ASSERT_TRUE(w.Create("", "", 0, CRect(0, 0, 50, 50), nullptr, 0));
  std::vector<std::pair<WPARAM, LPARAM>> seen;
  w.SetMessageHandler(WM_USER + 5, [&](WPARAM a, LPARAM b) {
    seen.emplace_back(a, b);
    return LRESULT(77);
  });
  EXPECT_EQ(w.SendMessage(WM_USER + 5, 1, 2), 77);  // synchronous
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_TRUE(w.PostMessage(WM_USER + 5, 3, 4));
  EXPECT_EQ(seen.size(), 1u);  // queued, not yet delivered
  ASSERT_TRUE(WaitFor([&] { return seen.size() == 2; }));
  EXPECT_EQ(seen[1], (std::pair<WPARAM, LPARAM>(3, 4)));

  UINT a = RegisterWindowMessage("UWM_TEST_MESSAGE-{1234}");
  UINT b = RegisterWindowMessage("uwm_test_message-{1234}");
  UINT c = RegisterWindowMessage("SupportMail");
  EXPECT_GE(a, 0xC000u);
  EXPECT_EQ(a, b);  // names compare without case
  EXPECT_NE(a, c);

  // A message posted to a window that is destroyed before delivery is dropped.
  EXPECT_TRUE(w.PostMessage(WM_USER + 5, 9, 9));
  EXPECT_TRUE(w.DestroyWindow());
  fwtest::Drain();
  EXPECT_EQ(seen.size(), 2u);
}

TEST_F(WndTest, PostFromWorkerThreadArrivesOnGuiThread) {
  CWnd w;
  ASSERT_TRUE(w.Create("", "", 0, CRect(0, 0, 50, 50), nullptr, 0));
  QThread* handlerThread = nullptr;
  int count = 0;
  w.SetMessageHandler(WM_APP + 1, [&](WPARAM, LPARAM) {
    handlerThread = QThread::currentThread();
    ++count;
    return LRESULT(0);
  });
  std::thread worker([&] {
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(w.PostMessage(WM_APP + 1));
  });
  worker.join();
  ASSERT_TRUE(WaitFor([&] { return count == 10; }));
  EXPECT_EQ(handlerThread, QCoreApplication::instance()->thread());
}

TEST_F(WndTest, CommandsFromControlsRouteToTheParent) {
  CWnd parent;
  ASSERT_TRUE(parent.Create("", "", WS_VISIBLE, CRect(0, 0, 200, 100), nullptr, 0));
  CButton button;
  ASSERT_TRUE(
      button.Create("Button", "Go", WS_CHILD | WS_VISIBLE, CRect(5, 5, 80, 30), &parent, 1001));
  int clicks = 0;
  parent.SetCommandHandler(1001, [&] { ++clicks; });
  QTest::mouseClick(button.widget(), Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
  // Check boxes change themselves only when automatic.
  CButton check;
  ASSERT_TRUE(check.Create("Button", "c", WS_CHILD | WS_VISIBLE | BS_CHECKBOX, CRect(5, 40, 80, 60),
                           &parent, 1002));
  QTest::mouseClick(check.widget(), Qt::LeftButton);
  EXPECT_EQ(check.GetCheck(), BST_UNCHECKED);
  check.SetCheck(BST_CHECKED);
  EXPECT_EQ(parent.IsDlgButtonChecked(1002), BST_CHECKED);
  // A change by the program does not notify.
  int notified = 0;
  parent.SetCommandHandler(1002, [&] { ++notified; });
  check.SetCheck(BST_UNCHECKED);
  EXPECT_EQ(notified, 0);
}

TEST_F(WndTest, MouseMessagesCarryWindowsArguments) {
  Recorder w;
  ASSERT_TRUE(w.Create("", "", WS_VISIBLE, CRect(0, 0, 100, 100), nullptr, 0));
  QWidget* peer = w.widget();
  // A double click is injected as the platform delivers it: press, release,
  // double click, release; each maps to its own message.
  QTest::mousePress(peer, Qt::LeftButton, {}, QPoint(10, 20));
  QTest::mouseRelease(peer, Qt::LeftButton, {}, QPoint(10, 20));
  QTest::mouseDClick(peer, Qt::LeftButton, {}, QPoint(10, 20));
  QTest::mouseRelease(peer, Qt::LeftButton, {}, QPoint(10, 20));
  std::vector<UINT> expected = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP};
  EXPECT_EQ(w.mouse, expected);
  EXPECT_EQ(w.points[0], CPoint(10, 20));
  QTest::mouseClick(peer, Qt::RightButton, {}, QPoint(3, 4));
  EXPECT_NE(std::find(w.mouse.begin(), w.mouse.end(), UINT(WM_RBUTTONDOWN)), w.mouse.end());
}

TEST_F(WndTest, KeysBecomeVirtualKeysAndComputedChars) {
  EXPECT_EQ(fw::VirtualKeyFromQt(Qt::Key_C, Qt::ControlModifier), unsigned('C'));
  EXPECT_EQ(fw::CharFromKey('C', Qt::ControlModifier, 0), 3);  // Ctrl+C is 3 whatever the text says
  EXPECT_EQ(fw::CharFromKey('A', Qt::ControlModifier, 'a'), 1);
  EXPECT_EQ(fw::CharFromKey('Z', Qt::ControlModifier, 0), 26);
  EXPECT_EQ(fw::CharFromKey(VK_RETURN, {}, '\r'), 13);
  EXPECT_EQ(fw::CharFromKey(VK_TAB, {}, 0), 9);
  EXPECT_EQ(fw::CharFromKey(VK_ESCAPE, {}, 0x1B), 27);
  EXPECT_EQ(fw::CharFromKey(VK_BACK, {}, 0), 8);
  EXPECT_EQ(fw::CharFromKey('A', Qt::ShiftModifier, 'A'), 'A');
  EXPECT_EQ(fw::CharFromKey('A', Qt::AltModifier, 'a'), -1);  // menu key
  EXPECT_EQ(fw::CharFromKey(VK_LEFT, {}, 0), -1);
  EXPECT_EQ(fw::VirtualKeyFromQt(Qt::Key_F5, {}), unsigned(VK_F1 + 4));
  EXPECT_EQ(fw::VirtualKeyFromQt(Qt::Key_5, Qt::KeypadModifier), unsigned(VK_NUMPAD0 + 5));
  EXPECT_EQ(fw::VirtualKeyFromQt(Qt::Key_Exclam, Qt::ShiftModifier), unsigned('1'));
  EXPECT_EQ(fw::VirtualKeyFromQt(Qt::Key_PageDown, {}), unsigned(VK_NEXT));

  Recorder w;
  ASSERT_TRUE(w.Create("", "", WS_VISIBLE, CRect(0, 0, 50, 50), nullptr, 0));
  fwtest::Activate(w.widget());
  w.SetFocus();
  QTest::keyClick(w.widget(), Qt::Key_C, Qt::ControlModifier);
  // Control goes down first, as on the platform; then C with its character.
  auto c = std::find_if(w.keys.begin(), w.keys.end(),
                        [](const Recorder::Key& k) { return k.code == 'C'; });
  ASSERT_NE(c, w.keys.end());
  ASSERT_GE(w.keys.end() - c, 3);
  EXPECT_EQ(w.keys.front().code, UINT(VK_CONTROL));
  EXPECT_EQ(c[0].msg, UINT(WM_KEYDOWN));
  EXPECT_EQ(c[1].msg, UINT(WM_CHAR));
  EXPECT_EQ(c[1].code, 3u);
  EXPECT_EQ(c[2].msg, UINT(WM_KEYUP));
  EXPECT_TRUE(c[2].flags & 0x8000);  // transition state of a release
  w.keys.clear();
  QTest::keyClick(w.widget(), Qt::Key_Left);
  ASSERT_EQ(w.keys.size(), 2u);  // no WM_CHAR for an arrow
  EXPECT_EQ(w.keys[0].code, UINT(VK_LEFT));
}

TEST_F(WndTest, TabGoesToWindowsThatAskForIt) {
  QWidget top;
  top.resize(200, 100);
  Recorder wants, plain;
  wants.dlgCode = DLGC_WANTTAB;
  ASSERT_TRUE(wants.Create("", "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50), nullptr, 1));
  ASSERT_TRUE(plain.Create("", "", WS_CHILD | WS_VISIBLE, CRect(60, 0, 110, 50), nullptr, 2));
  wants.widget()->setParent(&top);
  plain.widget()->setParent(&top);
  wants.widget()->setFocusPolicy(Qt::StrongFocus);
  plain.widget()->setFocusPolicy(Qt::StrongFocus);
  wants.widget()->show();
  plain.widget()->show();
  fwtest::Activate(&top);
  wants.SetFocus();
  ASSERT_TRUE(WaitFor([&] { return wants.widget()->hasFocus(); }));
  QTest::keyClick(wants.widget(), Qt::Key_Tab);
  ASSERT_GE(wants.keys.size(), 2u);
  EXPECT_EQ(wants.keys[0].code, UINT(VK_TAB));
  EXPECT_EQ(wants.keys[1].msg, UINT(WM_CHAR));
  EXPECT_EQ(wants.keys[1].code, 9u);
  EXPECT_TRUE(wants.widget()->hasFocus());  // Qt did not move the focus first

  plain.SetFocus();
  ASSERT_TRUE(WaitFor([&] { return plain.widget()->hasFocus(); }));
  QTest::keyClick(plain.widget(), Qt::Key_Tab);
  EXPECT_TRUE(plain.keys.empty());
  EXPECT_FALSE(plain.widget()->hasFocus());  // the focus moved on
}

TEST_F(WndTest, FocusChangesNameTheOtherWindow) {
  QWidget top;
  top.resize(200, 100);
  Recorder a, b;
  ASSERT_TRUE(a.Create("", "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50), nullptr, 1));
  ASSERT_TRUE(b.Create("", "", WS_CHILD | WS_VISIBLE, CRect(60, 0, 110, 50), nullptr, 2));
  a.widget()->setParent(&top);
  b.widget()->setParent(&top);
  a.widget()->show();
  b.widget()->show();
  fwtest::Activate(&top);
  a.SetFocus();
  ASSERT_TRUE(WaitFor([&] { return a.setFocusCount == 1; }));
  b.SetFocus();
  ASSERT_TRUE(WaitFor([&] { return b.setFocusCount == 1; }));
  EXPECT_EQ(b.lastOldFocus, &a);
  EXPECT_EQ(a.killFocusCount, 1);
  EXPECT_EQ(a.lastNewFocus, &b);
  EXPECT_EQ(CWnd::GetFocus(), &b);
}

TEST_F(WndTest, TimersByIdAndKill) {
  Recorder w;
  ASSERT_TRUE(w.Create("", "", 0, CRect(0, 0, 10, 10), nullptr, 0));
  EXPECT_EQ(w.SetTimer(7, 10), 7u);
  ASSERT_TRUE(WaitFor([&] { return w.timers.size() >= 2; }));
  EXPECT_EQ(w.timers[0], 7u);
  EXPECT_TRUE(w.KillTimer(7));
  EXPECT_FALSE(w.KillTimer(7));
  std::size_t n = w.timers.size();
  QTest::qWait(60);
  EXPECT_EQ(w.timers.size(), n);
  // Destroying the window stops its timers.
  w.SetTimer(1, 5);
  EXPECT_TRUE(w.DestroyWindow());
  QTest::qWait(30);
  EXPECT_EQ(w.timers.size(), n);
}

TEST_F(WndTest, CaptureIsTrackedAndReleased) {
  Recorder a, b;
  ASSERT_TRUE(a.Create("", "", WS_VISIBLE, CRect(0, 0, 50, 50), nullptr, 0));
  ASSERT_TRUE(b.Create("", "", WS_VISIBLE, CRect(0, 0, 50, 50), nullptr, 0));
  EXPECT_EQ(GetCapture(), nullptr);
  a.SetCapture();
  EXPECT_EQ(GetCapture(), &a);
  b.SetCapture();  // taking the capture tells the previous holder
  EXPECT_TRUE(a.captureLost);
  EXPECT_EQ(GetCapture(), &b);
  EXPECT_TRUE(ReleaseCapture());
  EXPECT_TRUE(b.captureLost);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WndTest, PaintingGoesThroughOnPaintWithErase) {
  Recorder w;
  ASSERT_TRUE(w.Create("", "", WS_VISIBLE, CRect(0, 0, 40, 30), nullptr, 0));
  QImage shot = w.widget()->grab().toImage();
  EXPECT_GE(w.paints, 1);
  EXPECT_EQ(w.erases, 1);
  EXPECT_EQ(fw::FromQColor(shot.pixelColor(5, 5)), RGB(0, 128, 0));
  EXPECT_EQ(fw::FromQColor(shot.pixelColor(20, 20)), RGB(255, 255, 255));
  // Invalidate without erase repaints without WM_ERASEBKGND.
  w.fill = RGB(0, 0, 255);
  w.Invalidate(false);
  shot = w.widget()->grab().toImage();
  EXPECT_EQ(w.erases, 1);
  EXPECT_EQ(fw::FromQColor(shot.pixelColor(5, 5)), RGB(0, 0, 255));
  w.Invalidate(true);
  w.widget()->grab();
  EXPECT_EQ(w.erases, 2);
}

TEST_F(WndTest, StylesAndGroupNavigation) {
  CWnd parent;
  ASSERT_TRUE(parent.Create("", "", 0, CRect(0, 0, 200, 200), nullptr, 0));
  CButton r1, r2, r3, other;
  ASSERT_TRUE(r1.Create("Button", "1", WS_CHILD | WS_GROUP | BS_AUTORADIOBUTTON,
                        CRect(0, 0, 50, 20), &parent, 11));
  ASSERT_TRUE(
      r2.Create("Button", "2", WS_CHILD | BS_AUTORADIOBUTTON, CRect(0, 20, 50, 40), &parent, 12));
  ASSERT_TRUE(
      r3.Create("Button", "3", WS_CHILD | BS_AUTORADIOBUTTON, CRect(0, 40, 50, 60), &parent, 13));
  ASSERT_TRUE(other.Create("Button", "x", WS_CHILD | WS_GROUP | BS_AUTORADIOBUTTON,
                           CRect(0, 60, 50, 80), &parent, 14));
  EXPECT_EQ(parent.GetNextDlgGroupItem(&r1), &r2);
  EXPECT_EQ(parent.GetNextDlgGroupItem(&r3), &r1);  // wraps within the group
  EXPECT_EQ(parent.GetNextDlgGroupItem(&r1, true), &r3);
  EXPECT_EQ(parent.GetNextDlgGroupItem(&other), &other);
  parent.CheckRadioButton(11, 13, 12);
  EXPECT_EQ(parent.GetCheckedRadioButton(11, 13), 12);
  EXPECT_TRUE(r1.ModifyStyle(0, WS_DISABLED));
  EXPECT_FALSE(r1.IsWindowEnabled());
  EXPECT_FALSE(r1.ModifyStyle(0, WS_DISABLED));  // no change
}

}  // namespace
