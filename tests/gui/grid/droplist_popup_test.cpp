// A drop list is a pop-up of its own: it opens under its cell at the cell's
// left edge, reaches past the grid and its window, and opens above the cell
// where the screen ends first.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QScreen>

#include "grid/gridcellwnd.h"
#include "grid/griddroplist.h"
#include "grid/sheetgridctrl.h"
#include "gui_helpers.h"

namespace {

using fwtest::Drain;
using fwtest::WaitFor;

class DropListPopup : public ::testing::Test {
 protected:
  // A small grid whose drop cell (1, 1) offers twelve choices, its window at `top`.
  void Open(int top) {
    ASSERT_TRUE(host.CreateEx(0, "", "drop host", WS_OVERLAPPED | WS_VISIBLE,
                              CRect(40, top, 40 + 300, top + 120), nullptr, 0));
    ASSERT_TRUE(grid.CreateGrid(WS_VISIBLE, CRect(5, 5, 280, 100), &host, 100));
    ASSERT_EQ(grid.SetColumnTotal(3), kGridOk);
    ASSERT_EQ(grid.SetRowTotal(3), kGridOk);
    CGridCellValue cell;
    cell.GridCellSetText("one");
    std::string choices;
    for (int i = 1; i <= 12; ++i) choices += "choice " + std::to_string(i) + "\n";
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

}  // namespace
