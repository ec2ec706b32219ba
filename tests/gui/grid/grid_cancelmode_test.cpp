// The grid when a modal loop takes the mouse in the middle of a press: the
// loop runs without the grid's capture, and the press, the drag of the
// current cell and a sizing drag in a heading end without the release.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <functional>

#include "grid/gridcellwnd.h"
#include "grid/gridheading.h"
#include "grid/sheetgridctrl.h"
#include "gui_helpers.h"
#include "platform/gui/qtmessagesink.h"
#include "platform/message.h"

namespace {

using fwtest::Drain;
using fwtest::WaitFor;

void Mouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons held) {
  QMouseEvent e(type, QPointF(p), QPointF(w->mapToGlobal(p)), button, held, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &e);
}

class PressGrid : public CSheetGridCtrl {
 public:
  std::function<void()> onPress;
  void OnCellLeftClick(int, int, int pressed, CRect*, CPoint*, int) override {
    if (pressed && onPress) onPress();
  }
};

class GridCancelMode : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.CreateEx(0, "", "grid host", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 520, 420),
                              nullptr, 0));
    ASSERT_TRUE(grid.CreateGrid(WS_VISIBLE, CRect(10, 10, 450, 330), &host, 100));
    EXPECT_EQ(grid.SetColumnTotal(6), kGridOk);
    EXPECT_EQ(grid.SetRowTotal(20), kGridOk);
    grid.LayoutParts();
    fwtest::Activate(host.widget());
    grid.CellArea()->SetFocus();
    Drain();
  }
  void TearDown() override {
    EXPECT_TRUE(host.DestroyWindow());
    Drain();
  }
  QWidget* Cells() { return grid.CellArea()->widget(); }
  QPoint Centre(int col, int row) {
    CRect r;
    EXPECT_EQ(grid.GetCellRectangle(col, row, r), kGridOk);
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  std::pair<int, int> Current() { return {grid.GetCurrentColumn(), grid.GetCurrentRow()}; }

  CWnd host;
  PressGrid grid;
};

TEST_F(GridCancelMode, CancelModeEndsThePressAndTheDragOfTheCurrentCell) {
  Mouse(Cells(), QEvent::MouseButtonPress, Centre(1, 1), Qt::LeftButton, Qt::LeftButton);
  Mouse(Cells(), QEvent::MouseMove, Centre(2, 3), Qt::NoButton, Qt::LeftButton);
  ASSERT_EQ(Current(), std::make_pair(2, 3)) << "the press drags the current cell";
  ASSERT_EQ(GetCapture(), grid.CellArea());
  grid.CellArea()->SendMessage(WM_CANCELMODE);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_FALSE(grid.CellArea()->IsDragging());
  // What the button still does goes nowhere: the press is over.
  Mouse(Cells(), QEvent::MouseMove, Centre(4, 6), Qt::NoButton, Qt::LeftButton);
  Mouse(Cells(), QEvent::MouseButtonRelease, Centre(4, 6), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(Current(), std::make_pair(2, 3));
  // The next press is a press like any other.
  Mouse(Cells(), QEvent::MouseButtonPress, Centre(0, 5), Qt::LeftButton, Qt::LeftButton);
  Mouse(Cells(), QEvent::MouseButtonRelease, Centre(0, 5), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(Current(), std::make_pair(0, 5));
}

TEST_F(GridCancelMode, AMessageBoxInAPressRunsWithoutTheCaptureAndGivesTheWindowBack) {
  fw::CQtMessageSink boxes;
  fw::IMessageSink* previous = fw::MessageSink();
  fw::SetMessageSink(&boxes);
  int answer = 0;
  grid.onPress = [&] { answer = AfxMessageBox("Clear the other pairs?", MB_YESNO); };
  bool captured = true;
  QWidget* owner = nullptr;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    poll.stop();
    captured = GetCapture() != nullptr;
    owner = box->parentWidget();
    QAbstractButton* yes = box->button(QMessageBox::Yes);
    QTest::mouseClick(box->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      yes->mapTo(box, yes->rect().center()));
  });
  poll.start(20);
  Mouse(Cells(), QEvent::MouseButtonPress, Centre(1, 1), Qt::LeftButton, Qt::LeftButton);
  grid.onPress = nullptr;
  fw::SetMessageSink(previous);
  EXPECT_EQ(answer, IDYES);
  EXPECT_FALSE(captured) << "the grid held the mouse while the box was up";
  EXPECT_EQ(owner, host.widget()) << "the box belongs to the active window";
  // The activation comes back through the window system's queue.
  WaitFor([this] { return QApplication::activeWindow() == host.widget(); }, 1000);
  EXPECT_EQ(QApplication::activeWindow(), host.widget());
  EXPECT_EQ(QApplication::focusWidget(), Cells());
  // The release the box swallowed does not come; the drag must not go on.
  Mouse(Cells(), QEvent::MouseMove, Centre(3, 4), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(Current(), std::make_pair(1, 1));
}

TEST_F(GridCancelMode, ASizingDragInAHeadingEndsWhenTheMouseIsTaken) {
  QWidget* top = grid.TopHeading()->widget();
  CRect r;
  ASSERT_EQ(grid.GetCellRectangle(0, 0, r), kGridOk);
  // The top heading's coordinates run with the cell area's, after the side heading.
  const int edge = top->mapFromGlobal(Cells()->mapToGlobal(QPoint(r.right, 0))).x();
  const int height = top->height() / 2;
  Mouse(top, QEvent::MouseMove, QPoint(edge, height), Qt::NoButton, Qt::NoButton);
  ASSERT_TRUE(grid.TopHeading()->IsHot());
  const int before = grid.GetColumnWidth(0);
  Mouse(top, QEvent::MouseButtonPress, QPoint(edge, height), Qt::LeftButton, Qt::LeftButton);
  Mouse(top, QEvent::MouseMove, QPoint(edge + 20, height), Qt::NoButton, Qt::LeftButton);
  ASSERT_GE(grid.TopHeading()->TrackLineX(), 0);
  fw::CancelModeForModal();
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(grid.TopHeading()->TrackLineX(), -1) << "the tracking line stays";
  EXPECT_FALSE(grid.TopHeading()->IsDragging());
  // The sizing keeps what it reached; the later moves change nothing.
  const int reached = grid.GetColumnWidth(0);
  EXPECT_GT(reached, before);
  Mouse(top, QEvent::MouseMove, QPoint(edge + 60, height), Qt::NoButton, Qt::LeftButton);
  Mouse(top, QEvent::MouseButtonRelease, QPoint(edge + 60, height), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(grid.GetColumnWidth(0), reached);
}

}  // namespace
