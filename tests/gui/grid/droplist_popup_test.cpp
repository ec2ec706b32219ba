// A drop list is a pop-up of its own: it opens under its cell at the cell's
// left edge, reaches past the grid and its window, and opens above the cell
// where the screen ends first. It is worked by keyboard alone: it opens on
// the cell's value, the keys move, Enter or Alt+Up stores, Escape does not.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include "grid/gridcellwnd.h"
#include "grid/griddroplist.h"
#include "grid/sheetgridctrl.h"
#include "gui_helpers.h"

namespace {

using fwtest::Drain;
using fwtest::WaitFor;

class DropListPopup : public ::testing::Test {
 protected:
  // A small grid whose drop cell (1, 1) offers twelve choices, its window at
  // `top`; the cell shows `value`.
  void Open(int top, const std::string& value = "one") {
    ASSERT_TRUE(host.CreateEx(0, "", "drop host", WS_OVERLAPPED | WS_VISIBLE,
                              CRect(40, top, 40 + 300, top + 120), nullptr, 0));
    ASSERT_TRUE(grid.CreateGrid(WS_VISIBLE, CRect(5, 5, 280, 100), &host, 100));
    ASSERT_EQ(grid.SetColumnTotal(3), kGridOk);
    ASSERT_EQ(grid.SetRowTotal(3), kGridOk);
    CGridCellValue cell;
    cell.GridCellSetText(value);
    std::string choices;
    for (const char* c : kChoices) choices += std::string(c) + "\n";
    cell.GridCellSetLabel(choices);
    cell.GridCellSetCellType(1);
    ASSERT_EQ(grid.SetCell(1, 1, cell), kGridOk);
    grid.LayoutParts();
    fwtest::Activate(host.widget());
    grid.CellArea()->SetFocus();
    ASSERT_EQ(grid.MoveToCell(1, 1), kGridOk);
    Drain();
    QWidget* cells = grid.CellArea()->widget();
    ASSERT_EQ(grid.GetCellRectangle(1, 1, cell_), kGridOk);
    cellTopLeft = cells->mapToGlobal(QPoint(cell_.left, cell_.top));
    cellBottomLeft = cells->mapToGlobal(QPoint(cell_.left, cell_.bottom));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(cells, &enter);
    ASSERT_TRUE(WaitFor([&] { return grid.DropList()->IsOpen(); }));
    list = grid.DropList()->List();
  }

  // Keys as the user types them: through the top-level window.
  void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(host.widget()->windowHandle(), key, mods);
    Drain();
  }
  void Reopen() {
    Key(Qt::Key_Down, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return grid.DropList()->IsOpen(); }));
  }
  std::string Current() const {
    QListWidgetItem* item = list->currentItem();
    return item && item->isSelected() ? item->text().toStdString() : "(none selected)";
  }
  std::string Value() { return grid.GetCellText(1, 1).value_or(""); }

  static constexpr const char* kChoices[] = {"alpha", "bravo",   "charlie", "delta",
                                             "echo",  "foxtrot", "golf",    "hotel",
                                             "india", "juliet",  "kilo",    "lima"};
  CWnd host;
  CSheetGridCtrl grid;
  CRect cell_;
  QPoint cellTopLeft, cellBottomLeft;
  QListWidget* list = nullptr;
};

TEST_F(DropListPopup, OpensUnderItsCellAndReachesPastTheGrid) {
  Open(100);
  EXPECT_TRUE(list->isWindow());
  EXPECT_EQ(list->geometry().topLeft(), cellBottomLeft);
  EXPECT_GE(list->width(), cell_.Width());
  // Twelve choices: taller than the grid's window, all of them in view.
  EXPECT_GT(list->geometry().bottom(), host.widget()->geometry().bottom());
  for (int i = 0; i < list->count(); ++i)
    EXPECT_TRUE(list->viewport()->rect().contains(list->visualItemRect(list->item(i)))) << i;
}

TEST_F(DropListPopup, OpensAboveItsCellWhereTheScreenEndsFirst) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  Open(screen.bottom() - 130);
  EXPECT_EQ(list->geometry().bottom(), cellTopLeft.y() - 1);
  EXPECT_EQ(list->geometry().left(), cellTopLeft.x());
}

TEST_F(DropListPopup, OpensOnTheCellsValueElseOnItsFirstEntry) {
  Open(100, "india");
  EXPECT_EQ(Current(), "india");
  EXPECT_TRUE(list->viewport()->rect().contains(list->visualItemRect(list->currentItem())));
  Key(Qt::Key_Escape);
  ASSERT_EQ(grid.SetCellText(1, 1, "not offered"), kGridOk);
  Reopen();
  EXPECT_EQ(Current(), "alpha");
}

TEST_F(DropListPopup, KeysMoveAndEnterOrAltUpStoreTheCurrentEntry) {
  Open(100, "charlie");
  Key(Qt::Key_Down);
  Key(Qt::Key_Down);
  Key(Qt::Key_Up);
  EXPECT_EQ(Current(), "delta");
  Key(Qt::Key_Return);
  EXPECT_FALSE(grid.DropList()->IsOpen());
  EXPECT_EQ(Value(), "delta");

  Reopen();
  Key(Qt::Key_End);
  EXPECT_EQ(Current(), "lima");
  Key(Qt::Key_Home);
  EXPECT_EQ(Current(), "alpha");
  Key(Qt::Key_PageDown);
  EXPECT_NE(Current(), "alpha");
  Key(Qt::Key_PageUp);
  EXPECT_EQ(Current(), "alpha");
  for (char c : std::string("go")) QTest::keyClick(host.widget()->windowHandle(), c);
  EXPECT_EQ(Current(), "golf");
  Key(Qt::Key_Up, Qt::AltModifier);
  EXPECT_FALSE(grid.DropList()->IsOpen());
  EXPECT_EQ(Value(), "golf");

  // Escape leaves the cell as it was.
  Reopen();
  Key(Qt::Key_Down);
  Key(Qt::Key_Escape);
  EXPECT_FALSE(grid.DropList()->IsOpen());
  EXPECT_EQ(Value(), "golf");
}

}  // namespace
