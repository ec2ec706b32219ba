// The grid control as a real window on the offscreen platform, driven with
// synthesized keyboard and mouse input.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDeadlineTimer>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QWindow>
#include <set>

#include "grid/gridcellwnd.h"
#include "grid/gridcornerwnd.h"
#include "grid/griddroplist.h"
#include "grid/gridheading.h"
#include "grid/gridinplaceedit.h"
#include "grid/gridscrollbar.h"
#include "grid/gridselectionset.h"
#include "grid/gridtabwnd.h"
#include "grid/sheetgridctrl.h"
#include "gui_helpers.h"
#include "platform/gui/help.h"
#include "platform/message.h"

namespace {

using fwtest::Drain;
using fwtest::WaitFor;

void Key(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier,
         const QString& text = QString()) {
  QKeyEvent press(QEvent::KeyPress, key, mods, text);
  QCoreApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, key, mods, text);
  QCoreApplication::sendEvent(w, &release);
}

void Mouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons held) {
  QMouseEvent e(type, QPointF(p), QPointF(w->mapToGlobal(p)), button, held, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &e);
}

void Click(QWidget* w, QPoint p) {
  Mouse(w, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
  Mouse(w, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
}

void DoubleClick(QWidget* w, QPoint p) {
  Click(w, p);
  Mouse(w, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
  Mouse(w, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
}

void Move(QWidget* w, QPoint p, Qt::MouseButtons held = Qt::NoButton) {
  Mouse(w, QEvent::MouseMove, p, Qt::NoButton, held);
}

// A derived grid as the programs write them: typing and double-clicks start
// edits, and every notification of interest is written down.
class TestGrid : public CSheetGridCtrl {
 public:
  std::vector<std::string> log;
  int refuseDone = 0;
  int tabClicked = -1;
  int listAnswer = 1;

  void OnCellDoubleClick(int col, int row, CRect*, CPoint*, int) override {
    log.push_back("DoubleClick " + std::to_string(col) + "," + std::to_string(row));
    EXPECT_EQ(BeginCellEditAt(col, row, 0), kGridOk);
  }
  void OnGridChar(int* ch, int processed) override {
    if (!processed && *ch >= 0x20) {
      EXPECT_EQ(BeginCellEditWithKey(*ch), kGridOk);
    }
  }
  std::vector<int> editChars;
  int refuseChar = -1;
  int OnEditChar(int, int, CWnd*, int* ch) override {
    editChars.push_back(*ch);
    return *ch != refuseChar;
  }
  int OnEditDone(int col, int row, CWnd*, const std::string& text, int cancelled) override {
    log.push_back("EditDone " + std::to_string(col) + "," + std::to_string(row) + " " + text +
                  (cancelled ? " cancelled" : ""));
    return !refuseDone;
  }
  int refuseResize = -1;  // the column and row whose edge may not be dragged
  int OnBeforeColResize(int col) override {
    log.push_back("BeforeColResize " + std::to_string(col));
    return col != refuseResize;
  }
  void OnColWidthDragging(int col, int* w) override {
    log.push_back("ColWidthDragging " + std::to_string(col) + " " + std::to_string(*w));
  }
  void OnColWidthSet(int col, int* w) override {
    log.push_back("ColWidthSet " + std::to_string(col) + " " + std::to_string(*w));
  }
  void OnTabClicked(int id) override { tabClicked = id; }
  void OnRowsNeeded(int count, int shortfall, int) override {
    log.push_back("RowsNeeded " + std::to_string(count) + "," + std::to_string(shortfall));
  }
  void OnRowHeightSet(int row, int* h) override {
    log.push_back("RowHeightSet " + std::to_string(row) + " " + std::to_string(*h));
  }
  int OnBeforeRowResize(int row) override {
    log.push_back("BeforeRowResize " + std::to_string(row));
    return row != refuseResize;
  }
  void OnRowHeightDragging(int row, int* h) override {
    log.push_back("RowHeightDragging " + std::to_string(row) + " " + std::to_string(*h));
  }
  // The answer of both heading-drag hooks.
  int headingDragAnswer = 1;
  int OnBeforeTopHeadingResize() override {
    log.push_back("BeforeTopHeadingResize");
    return 1;
  }
  int OnBeforeSideHeadingResize() override {
    log.push_back("BeforeSideHeadingResize");
    return 1;
  }
  int OnTopHeadingDragging(int* h) override {
    log.push_back("TopHeadingDragging " + std::to_string(*h));
    return headingDragAnswer;
  }
  int OnSideHeadingDragging(int* w) override {
    log.push_back("SideHeadingDragging " + std::to_string(*w));
    return headingDragAnswer;
  }
  int OnTopHeadingHeightSet(int* h) override {
    log.push_back("TopHeadingHeightSet " + std::to_string(*h));
    return 1;
  }
  int OnSideHeadingWidthSet(int* w) override {
    log.push_back("SideHeadingWidthSet " + std::to_string(*w));
    return 1;
  }
  static std::string Click(const char* what, int col, int row) {
    return std::string(what) + " " + std::to_string(col) + "," + std::to_string(row);
  }
  void OnTopHeadingLeftClick(int col, int row, int pressed, CRect*, CPoint*, int) override {
    log.push_back(Click("TopLeft", col, row) + " " + std::to_string(pressed));
  }
  void OnTopHeadingRightClick(int col, int row, int pressed, CRect*, CPoint*, int) override {
    log.push_back(Click("TopRight", col, row) + " " + std::to_string(pressed));
  }
  void OnTopHeadingDoubleClick(int col, int row, CRect*, CPoint*, int) override {
    log.push_back(Click("TopDouble", col, row));
  }
  void OnSideHeadingLeftClick(int col, int row, int pressed, CRect*, CPoint*, int) override {
    log.push_back(Click("SideLeft", col, row) + " " + std::to_string(pressed));
  }
  void OnSideHeadingRightClick(int col, int row, int pressed, CRect*, CPoint*, int) override {
    log.push_back(Click("SideRight", col, row) + " " + std::to_string(pressed));
  }
  void OnSideHeadingDoubleClick(int col, int row, CRect*, CPoint*, int) override {
    log.push_back(Click("SideDouble", col, row));
  }
  void OnCornerLeftClick(int pressed, CRect*, CPoint*, int processed) override {
    log.push_back("CornerLeft " + std::to_string(pressed) + " " + std::to_string(processed));
  }
  void OnCornerRightClick(int pressed, CRect*, CPoint*, int) override {
    log.push_back("CornerRight " + std::to_string(pressed));
  }
  void OnCornerDoubleClick(CRect*, CPoint*, int) override { log.push_back("CornerDouble"); }
  int OnBeforeColDrag(int col) override {
    log.push_back("BeforeColDrag " + std::to_string(col));
    return 1;
  }
  int clipboardFails = 0;
  int ViewSetClipboardText(const std::string& text) override {
    return clipboardFails ? 1 : CSheetGridCtrl::ViewSetClipboardText(text);
  }
  void OnGridMenuCommand(int col, int row, int section, int id) override {
    log.push_back("MenuCommand " + std::to_string(col) + "," + std::to_string(row) + " " +
                  std::to_string(section) + " " + std::to_string(id));
  }
  void OnFocusGained(int section) override {
    log.push_back("FocusGained " + std::to_string(section));
  }
  int OnBeforeCellMove(int oc, int orow, int nc, int nr) override {
    log.push_back("BeforeCellMove " + std::to_string(oc) + "," + std::to_string(orow) + "->" +
                  std::to_string(nc) + "," + std::to_string(nr));
    return 1;
  }
  void OnCurrentCellChanged(int, int, int, int) override { log.push_back("CellChanged"); }
  void OnCellRightClick(int col, int row, int pressed, CRect*, CPoint*, int) override {
    log.push_back("CellRightClick " + std::to_string(col) + "," + std::to_string(row) + " " +
                  std::to_string(pressed));
  }
  void OnCellLeftClick(int col, int row, int pressed, CRect*, CPoint*, int) override {
    log.push_back("CellLeftClick " + std::to_string(col) + "," + std::to_string(row) + " " +
                  std::to_string(pressed));
  }
  long long OnCellTypeEvent(int type, int col, int row, int event, std::intptr_t value) override {
    log.push_back("CellTypeEvent " + std::to_string(type) + " " + std::to_string(col) + "," +
                  std::to_string(row) + " " + std::to_string(event));
    if (event == 100) return listAnswer;
    (void)value;
    return 1;
  }
  int cellHelp = 0x101;  // the cell area's help context
  int OnContextHelp(int col, int row, int section) override {
    log.push_back("Help " + std::to_string(col) + "," + std::to_string(row) + " " +
                  std::to_string(section));
    return section == kSectionCells ? cellHelp : 0x100 + section;
  }
  std::vector<std::string> Only(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& l : log)
      if (l.rfind(prefix, 0) == 0) out.push_back(l);
    return out;
  }
};

class GridWidget : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.CreateEx(0, "", "grid host", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 520, 420),
                              nullptr, 0));
    Make(grid, 6, 40);
    QWidget* top = host.widget();
    top->show();
    top->activateWindow();
    QApplication::setActiveWindow(top);
    WaitFor([top] { return QApplication::activeWindow() == top; }, 1000);
    grid.CellArea()->SetFocus();
    Drain();
  }

  void Make(TestGrid& g, int cols, int rows) {
    ASSERT_TRUE(g.CreateGrid(WS_VISIBLE, CRect(10, 10, 450, 330), &host, 100));
    EXPECT_EQ(g.SetColumnTotal(cols), kGridOk);
    EXPECT_EQ(g.SetRowTotal(rows), kGridOk);
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c)
        EXPECT_EQ(g.SetCellText(c, r, std::to_string(c) + ":" + std::to_string(r)), kGridOk);
    g.LayoutParts();
  }

  QWidget* Cells() { return grid.CellArea()->widget(); }
  QPoint CellCentre(int col, int row) {
    CRect r;
    EXPECT_EQ(grid.GetCellRectangle(col, row, r), kGridOk);
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  QWidget* EditorWidget() { return grid.DefaultEditor()->widget(); }
  std::string EditorText() { return static_cast<CGridInPlaceEdit*>(grid.DefaultEditor())->Text(); }

  CWnd host;
  TestGrid grid;
};

TEST_F(GridWidget, NavigationKeysMoveTheCurrentCell) {
  ASSERT_EQ(grid.GetCurrentColumn(), 0);
  ASSERT_EQ(grid.GetCurrentRow(), 0);
  Key(Cells(), Qt::Key_Down);
  Key(Cells(), Qt::Key_Right);
  EXPECT_EQ(grid.GetCurrentColumn(), 1);
  EXPECT_EQ(grid.GetCurrentRow(), 1);
  Key(Cells(), Qt::Key_End);
  EXPECT_EQ(grid.GetCurrentColumn(), 5);
  Key(Cells(), Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(grid.GetCurrentRow(), 39);
  EXPECT_GT(grid.GetViewTopRow(), 0);
  Key(Cells(), Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(grid.GetCurrentRow(), 0);
  EXPECT_EQ(grid.GetViewTopRow(), 0);
  Key(Cells(), Qt::Key_PageDown);
  EXPECT_GT(grid.GetCurrentRow(), 5);
  Key(Cells(), Qt::Key_Home);
  EXPECT_EQ(grid.GetCurrentColumn(), 0);
}

TEST_F(GridWidget, ClickMovesAndDoubleClickStartsAnEdit) {
  Click(Cells(), CellCentre(2, 3));
  EXPECT_EQ(grid.GetCurrentColumn(), 2);
  EXPECT_EQ(grid.GetCurrentRow(), 3);
  DoubleClick(Cells(), CellCentre(1, 2));
  EXPECT_EQ(grid.Only("DoubleClick"), (std::vector<std::string>{"DoubleClick 1,2"}));
  ASSERT_TRUE(grid.IsEditing());
  EXPECT_TRUE(EditorWidget()->isVisible());
  EXPECT_EQ(EditorText(), "1:2");
  // The editor lies over the cell.
  CRect cell;
  EXPECT_EQ(grid.GetCellRectangle(1, 2, cell), kGridOk);
  EXPECT_EQ(EditorWidget()->geometry().topLeft(), QPoint(cell.left, cell.top));
}

TEST_F(GridWidget, AClickRaisesFocusMoveAndClickHooksInOrder) {
  grid.ShowWindow(SW_SHOW);
  QWidget* other = new QWidget(host.widget());
  other->setFocusPolicy(Qt::StrongFocus);
  other->show();
  other->setFocus();
  ASSERT_TRUE(WaitFor([&] { return other->hasFocus(); }));
  grid.log.clear();
  Click(Cells(), CellCentre(3, 2));
  EXPECT_EQ(grid.log,
            (std::vector<std::string>{"FocusGained 1", "BeforeCellMove 0,0->3,2", "CellChanged",
                                      "CellLeftClick 3,2 1", "CellLeftClick 3,2 0"}));
  // Outside the cells the click is reported with -1, -1.
  grid.log.clear();
  Click(Cells(), QPoint(430, 5));
  EXPECT_EQ(grid.log, (std::vector<std::string>{"CellLeftClick -1,-1 1", "CellLeftClick -1,-1 0"}));
}

TEST_F(GridWidget, ARightClickMovesThereWithoutHoldingTheMouse) {
  grid.log.clear();
  Mouse(Cells(), QEvent::MouseButtonPress, CellCentre(2, 4), Qt::RightButton, Qt::RightButton);
  EXPECT_EQ(GetCapture(), nullptr);
  Mouse(Cells(), QEvent::MouseButtonRelease, CellCentre(2, 4), Qt::RightButton, Qt::NoButton);
  EXPECT_EQ(grid.GetCurrentColumn(), 2);
  EXPECT_EQ(grid.GetCurrentRow(), 4);
  EXPECT_EQ(grid.log, (std::vector<std::string>{"BeforeCellMove 0,0->2,4", "CellChanged",
                                                "CellRightClick 2,4 1", "CellRightClick 2,4 0"}));
  // A left press holds the mouse until its release.
  Mouse(Cells(), QEvent::MouseButtonPress, CellCentre(1, 1), Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(GetCapture(), grid.CellArea());
  Mouse(Cells(), QEvent::MouseButtonRelease, CellCentre(1, 1), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(GetCapture(), nullptr);
  // Outside the cells both buttons report -1, -1.
  grid.log.clear();
  Mouse(Cells(), QEvent::MouseButtonPress, QPoint(430, 5), Qt::RightButton, Qt::RightButton);
  Mouse(Cells(), QEvent::MouseButtonRelease, QPoint(430, 5), Qt::RightButton, Qt::NoButton);
  EXPECT_EQ(grid.Only("CellRightClick"),
            (std::vector<std::string>{"CellRightClick -1,-1 1", "CellRightClick -1,-1 0"}));
}

TEST_F(GridWidget, TabLeavesTheGridForTheNextControl) {
  QWidget* next = new QWidget(host.widget());
  next->setFocusPolicy(Qt::StrongFocus);
  next->show();
  grid.CellArea()->SetFocus();
  ASSERT_TRUE(WaitFor([&] { return Cells()->hasFocus(); }));
  Key(Cells(), Qt::Key_Tab);
  EXPECT_TRUE(WaitFor([&] { return next->hasFocus(); }));
  EXPECT_EQ(grid.GetCurrentColumn(), 0);
}

TEST_F(GridWidget, TypingEditsAndEscapeKeepsTheOldValue) {
  EXPECT_EQ(grid.MoveToCell(1, 1), kGridOk);
  Key(Cells(), Qt::Key_X, Qt::NoModifier, "x");
  ASSERT_TRUE(grid.IsEditing());
  EXPECT_EQ(EditorText(), "x");
  Key(EditorWidget(), Qt::Key_Y, Qt::NoModifier, "y");
  EXPECT_EQ(EditorText(), "xy");
  Key(EditorWidget(), Qt::Key_Escape);
  ASSERT_TRUE(WaitFor([&] { return !grid.IsEditing(); }));
  EXPECT_EQ(grid.GetCellText(1, 1).value_or(""), "1:1");
  EXPECT_FALSE(EditorWidget()->isVisible());
  EXPECT_EQ(grid.Only("EditDone"), (std::vector<std::string>{"EditDone 1,1 xy cancelled"}));

  // Enter stores the text and goes on one row down.
  Key(Cells(), Qt::Key_Z, Qt::NoModifier, "z");
  Key(EditorWidget(), Qt::Key_Return);
  ASSERT_TRUE(WaitFor([&] { return grid.IsEditing() && grid.GetEditRow() == 2; }));
  EXPECT_EQ(grid.GetCellText(1, 1).value_or(""), "z");
  EXPECT_EQ(EditorText(), "1:2");
}

TEST_F(GridWidget, BackspaceIsOfferedToTheOwnerLikeEveryCharacter) {
  EXPECT_EQ(grid.MoveToCell(1, 1), kGridOk);
  Key(Cells(), Qt::Key_X, Qt::NoModifier, "x");
  ASSERT_TRUE(grid.IsEditing());
  Key(EditorWidget(), Qt::Key_Y, Qt::NoModifier, "y");
  grid.editChars.clear();
  grid.refuseChar = 8;
  Key(EditorWidget(), Qt::Key_Backspace);
  EXPECT_EQ(grid.editChars, (std::vector<int>{8}));
  EXPECT_EQ(EditorText(), "xy");
  grid.refuseChar = -1;
  Key(EditorWidget(), Qt::Key_Backspace);
  EXPECT_EQ(EditorText(), "x");
  Key(EditorWidget(), Qt::Key_Escape);
  ASSERT_TRUE(WaitFor([&] { return !grid.IsEditing(); }));

  // The masked editor checks backspace against no mask position, but still asks.
  CGridCellValue cell;
  cell.GridCellSetText("12");
  cell.GridCellSetMask("00");
  EXPECT_EQ(grid.SetCell(2, 2, cell), kGridOk);
  EXPECT_EQ(grid.MoveToCell(2, 2), kGridOk);
  ASSERT_EQ(grid.BeginCellEdit(), kGridOk);
  QWidget* masked = grid.MaskedEditor()->widget();
  Key(masked, Qt::Key_End);
  grid.editChars.clear();
  grid.refuseChar = 8;
  Key(masked, Qt::Key_Backspace);
  EXPECT_EQ(grid.editChars, (std::vector<int>{8}));
  EXPECT_EQ(static_cast<CGridMaskedEdit*>(grid.MaskedEditor())->Text(), "12");
  grid.refuseChar = -1;
  Key(masked, Qt::Key_Backspace);
  EXPECT_EQ(static_cast<CGridMaskedEdit*>(grid.MaskedEditor())->Text(), "1");
  Key(masked, Qt::Key_Escape);
}

TEST_F(GridWidget, ControlEnterBreaksTheLineOnlyInMultiLineCells) {
  CGridCellValue multi;
  multi.GridCellSetText("a");
  multi.GridCellSetTypeStyle(2);
  EXPECT_EQ(grid.SetCell(1, 1, multi), kGridOk);
  EXPECT_EQ(grid.MoveToCell(1, 1), kGridOk);
  ASSERT_EQ(grid.BeginCellEdit(), kGridOk);
  Key(EditorWidget(), Qt::Key_End, Qt::ControlModifier);
  grid.editChars.clear();
  Key(EditorWidget(), Qt::Key_Return, Qt::ControlModifier);
  Key(EditorWidget(), Qt::Key_B, Qt::NoModifier, "b");
  EXPECT_TRUE(grid.IsEditing());
  EXPECT_EQ(EditorText(), "a\nb");
  EXPECT_EQ(grid.editChars, (std::vector<int>{'\n', 'b'}));  // the break is offered once
  grid.refuseChar = '\n';
  Key(EditorWidget(), Qt::Key_Return, Qt::ControlModifier);
  EXPECT_EQ(EditorText(), "a\nb");
  grid.refuseChar = -1;
  Key(EditorWidget(), Qt::Key_Return);
  ASSERT_TRUE(WaitFor([&] { return grid.IsEditing() && grid.GetEditRow() == 2; }));
  EXPECT_EQ(grid.GetCellText(1, 1).value_or(""), "a\nb");
  // In other cells Control+Enter ends the edit like Enter.
  Key(EditorWidget(), Qt::Key_Return, Qt::ControlModifier);
  ASSERT_TRUE(WaitFor([&] { return grid.IsEditing() && grid.GetEditRow() == 3; }));
  EXPECT_EQ(grid.GetCellText(1, 2).value_or(""), "1:2");
  Key(EditorWidget(), Qt::Key_Escape);
}

TEST_F(GridWidget, TabInTheLastColumnWrapsToTheFirst) {
  EXPECT_EQ(grid.MoveToCell(5, 4), kGridOk);
  EXPECT_EQ(grid.BeginCellEdit(), kGridOk);
  ASSERT_TRUE(grid.IsEditing());
  Key(EditorWidget(), Qt::Key_Tab);
  ASSERT_TRUE(WaitFor([&] { return grid.IsEditing() && grid.GetEditColumn() == 0; }));
  EXPECT_EQ(grid.GetEditRow(), 4);
  EXPECT_EQ(grid.GetCurrentColumn(), 0);
  Key(EditorWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  ASSERT_TRUE(WaitFor([&] { return grid.IsEditing() && grid.GetEditColumn() == 5; }));
}

TEST_F(GridWidget, ARefusedTextKeepsTheEditorOpen) {
  EXPECT_EQ(grid.MoveToCell(2, 2), kGridOk);
  grid.refuseDone = 1;
  Key(Cells(), Qt::Key_Q, Qt::NoModifier, "q");
  ASSERT_TRUE(grid.IsEditing());
  Key(EditorWidget(), Qt::Key_Return);
  WaitFor([&] { return grid.Only("EditDone").size() >= 1; });
  Drain();
  EXPECT_TRUE(grid.IsEditing());
  EXPECT_TRUE(EditorWidget()->isVisible());
  EXPECT_EQ(grid.GetCurrentRow(), 2);
  EXPECT_TRUE(WaitFor([&] { return EditorWidget()->hasFocus(); }));
  grid.refuseDone = 0;
  Key(EditorWidget(), Qt::Key_Return);
  ASSERT_TRUE(WaitFor([&] { return grid.GetCellText(2, 2).value_or("") == "q"; }));
}

TEST_F(GridWidget, DraggingAColumnEdgeSizesItAndDoubleClickFits) {
  QWidget* top = grid.TopHeading()->widget();
  const int edge = 75;  // right edge of column 0
  Move(top, QPoint(edge + 1, 10));
  ASSERT_TRUE(grid.TopHeading()->IsHot());
  grid.log.clear();
  Mouse(top, QEvent::MouseButtonPress, QPoint(edge + 1, 10), Qt::LeftButton, Qt::LeftButton);
  Move(top, QPoint(edge + 21, 10), Qt::LeftButton);
  Move(top, QPoint(edge + 31, 10), Qt::LeftButton);
  Mouse(top, QEvent::MouseButtonRelease, QPoint(edge + 31, 10), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(grid.GetColumnWidth(0), 105);
  EXPECT_EQ(grid.log, (std::vector<std::string>{"ColWidthDragging 0 95", "ColWidthDragging 0 105",
                                                "ColWidthSet 0 105"}));
  // Dragging left of the column's own left edge gives 0, never less.
  Move(top, QPoint(180, 10));
  ASSERT_TRUE(grid.TopHeading()->IsHot());
  Mouse(top, QEvent::MouseButtonPress, QPoint(180, 10), Qt::LeftButton, Qt::LeftButton);
  Move(top, QPoint(60, 10), Qt::LeftButton);
  Mouse(top, QEvent::MouseButtonRelease, QPoint(60, 10), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(grid.GetColumnWidth(1), 0);
  // The hidden column is pulled open from the edge just left of it, and a
  // double-click there fits it to its content.
  Move(top, QPoint(106, 10));
  ASSERT_TRUE(grid.TopHeading()->IsHot());
  grid.log.clear();
  Mouse(top, QEvent::MouseButtonDblClick, QPoint(106, 10), Qt::LeftButton, Qt::LeftButton);
  Mouse(top, QEvent::MouseButtonRelease, QPoint(106, 10), Qt::LeftButton, Qt::NoButton);
  EXPECT_GT(grid.GetColumnWidth(1), 10);
  EXPECT_EQ(grid.GetColumnWidth(0), 105);
  EXPECT_EQ(grid.Only("ColWidthSet 1").size(), 1u);
}

TEST_F(GridWidget, HeadingCellsReportTheirClicksWithTheirPosition) {
  QWidget* top = grid.TopHeading()->widget();
  QWidget* side = grid.SideHeading()->widget();
  auto rightClick = [](QWidget* w, QPoint p) {
    Mouse(w, QEvent::MouseButtonPress, p, Qt::RightButton, Qt::RightButton);
    Mouse(w, QEvent::MouseButtonRelease, p, Qt::RightButton, Qt::NoButton);
  };
  const QPoint inTop(75 * 2 + 10, 10), inSide(10, 20 * 3 + 5);
  grid.log.clear();
  Click(top, inTop);
  rightClick(top, inTop);
  Mouse(top, QEvent::MouseButtonDblClick, inTop, Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(grid.log,
            (std::vector<std::string>{"TopLeft 2,-1 1", "BeforeColDrag 2", "TopLeft 2,-1 0",
                                      "TopRight 2,-1 1", "TopRight 2,-1 0", "TopDouble 2,-1"}));
  grid.log.clear();
  Click(side, inSide);
  rightClick(side, inSide);
  Mouse(side, QEvent::MouseButtonDblClick, inSide, Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(grid.log,
            (std::vector<std::string>{"SideLeft -1,3 1", "SideLeft -1,3 0", "SideRight -1,3 1",
                                      "SideRight -1,3 0", "SideDouble -1,3"}));
  // The heading cells the hit tests find, and none past the heading's parts.
  int col = 0, row = 0;
  CRect rect;
  EXPECT_EQ(grid.TopHeading()->HitTestHeading(CPoint(inTop.x(), inTop.y()), col, row, rect),
            kGridOk);
  EXPECT_EQ(std::make_pair(col, row), std::make_pair(2, -1));
  EXPECT_EQ(rect, CRect(150, 0, 225, 20));
  EXPECT_EQ(grid.SideHeading()->HitTestHeading(CPoint(inSide.x(), inSide.y()), col, row, rect),
            kGridOk);
  EXPECT_EQ(std::make_pair(col, row), std::make_pair(-1, 3));
  EXPECT_EQ(rect.top, 60);
  EXPECT_EQ(rect.bottom, 80);
  EXPECT_EQ(grid.TopHeading()->HitTestHeading(CPoint(10, 25), col, row, rect), kGridOutOfRange);
  EXPECT_EQ(std::make_pair(col, row), std::make_pair(-1, -1));
  EXPECT_EQ(grid.SideHeading()->HitTestHeading(CPoint(45, 10), col, row, rect), kGridOutOfRange);
  EXPECT_EQ(std::make_pair(col, row), std::make_pair(-1, -1));
}

TEST_F(GridWidget, DraggingADataEdgeInEitherHeadingDrawsTheTrackingLine) {
  QWidget* top = grid.TopHeading()->widget();
  Move(top, QPoint(76, 10));  // right edge of column 0
  ASSERT_TRUE(grid.TopHeading()->IsHot());
  Mouse(top, QEvent::MouseButtonPress, QPoint(76, 10), Qt::LeftButton, Qt::LeftButton);
  Move(top, QPoint(96, 10), Qt::LeftButton);
  EXPECT_EQ(grid.TopHeading()->TrackLineX(), 96);
  EXPECT_EQ(grid.SideHeading()->TrackLineY(), -1);
  Mouse(top, QEvent::MouseButtonRelease, QPoint(96, 10), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(grid.TopHeading()->TrackLineX(), -1);
  EXPECT_EQ(grid.GetColumnWidth(0), 95);

  QWidget* side = grid.SideHeading()->widget();
  Move(side, QPoint(20, 41));  // bottom edge of row 1
  ASSERT_TRUE(grid.SideHeading()->IsHot());
  grid.log.clear();
  Mouse(side, QEvent::MouseButtonPress, QPoint(20, 41), Qt::LeftButton, Qt::LeftButton);
  Move(side, QPoint(20, 51), Qt::LeftButton);
  EXPECT_EQ(grid.SideHeading()->TrackLineY(), 51);
  EXPECT_EQ(grid.TopHeading()->TrackLineX(), -1);
  Move(side, QPoint(20, 36), Qt::LeftButton);
  Mouse(side, QEvent::MouseButtonRelease, QPoint(20, 36), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(grid.SideHeading()->TrackLineY(), -1);
  EXPECT_EQ(grid.GetRowHeight(1), 15);
  EXPECT_EQ(grid.GetRowHeight(0), 20);
  EXPECT_EQ(grid.log, (std::vector<std::string>{"RowHeightDragging 1 30", "RowHeightDragging 1 15",
                                                "RowHeightSet 1 15"}));
  // A row pulled to 0 is opened again from the bottom edge of the row above.
  Move(side, QPoint(20, 56));  // bottom edge of row 2
  ASSERT_TRUE(grid.SideHeading()->IsHot());
  Mouse(side, QEvent::MouseButtonPress, QPoint(20, 56), Qt::LeftButton, Qt::LeftButton);
  Move(side, QPoint(20, 30), Qt::LeftButton);
  Mouse(side, QEvent::MouseButtonRelease, QPoint(20, 30), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(grid.GetRowHeight(2), 0);
  grid.log.clear();
  Move(side, QPoint(20, 36));  // bottom edge of row 1
  ASSERT_TRUE(grid.SideHeading()->IsHot());
  EXPECT_EQ(grid.Only("BeforeRowResize"), (std::vector<std::string>{"BeforeRowResize 2"}));
  Mouse(side, QEvent::MouseButtonPress, QPoint(20, 36), Qt::LeftButton, Qt::LeftButton);
  Move(side, QPoint(20, 46), Qt::LeftButton);
  Mouse(side, QEvent::MouseButtonRelease, QPoint(20, 46), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(grid.GetRowHeight(2), 10);
  EXPECT_EQ(grid.GetRowHeight(1), 15);
}

TEST_F(GridWidget, AnEdgeThatMayNotBeDraggedLeavesTheNextOneInReach) {
  // Column 1 and row 1 are so narrow that both of their edges are in reach.
  EXPECT_EQ(grid.SetColumnWidth(1, 4), kGridOk);
  EXPECT_EQ(grid.SetRowHeight(1, 4), kGridOk);
  grid.LayoutParts();
  Drain();
  grid.refuseResize = 0;
  grid.log.clear();
  Move(grid.TopHeading()->widget(), QPoint(77, 10));
  EXPECT_TRUE(grid.TopHeading()->IsHot());
  Move(grid.SideHeading()->widget(), QPoint(20, 22));
  EXPECT_TRUE(grid.SideHeading()->IsHot());
  EXPECT_EQ(grid.log, (std::vector<std::string>{"BeforeColResize 0", "BeforeColResize 1",
                                                "BeforeRowResize 0", "BeforeRowResize 1"}));
}

TEST_F(GridWidget, TheHeadingsOwnEdgesSizeThem) {
  QWidget* top = grid.TopHeading()->widget();
  QWidget* side = grid.SideHeading()->widget();
  auto drag = [](QWidget* w, QPoint from, QPoint to) {
    Move(w, from);
    Mouse(w, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    Move(w, to, Qt::LeftButton);
    Mouse(w, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
  };
  grid.log.clear();
  drag(top, QPoint(30, 19), QPoint(30, 29));  // the top heading's bottom edge
  EXPECT_EQ(grid.GetTopHeadingHeight(), 30);
  EXPECT_EQ(grid.Sheet().m_rcCells.top, 30);
  EXPECT_EQ(grid.log, (std::vector<std::string>{"BeforeTopHeadingResize", "TopHeadingDragging 30",
                                                "TopHeadingHeightSet 30"}));
  grid.log.clear();
  drag(side, QPoint(39, 30), QPoint(59, 30));  // the side heading's right edge
  EXPECT_EQ(grid.GetSideHeadingWidth(), 60);
  EXPECT_EQ(grid.Sheet().m_rcCells.left, 60);
  EXPECT_EQ(grid.log, (std::vector<std::string>{"BeforeSideHeadingResize", "SideHeadingDragging 60",
                                                "SideHeadingWidthSet 60"}));
  // Only the top heading's dragging hook can hold its size back.
  grid.headingDragAnswer = 0;
  drag(top, QPoint(30, 29), QPoint(30, 40));
  EXPECT_EQ(grid.GetTopHeadingHeight(), 30);
  drag(side, QPoint(59, 30), QPoint(70, 30));
  EXPECT_EQ(grid.GetSideHeadingWidth(), 71);
}

TEST_F(GridWidget, TheHeadingsInnerEdgesSizeTheirOwnRowAndColumn) {
  EXPECT_EQ(grid.SetTopHeadingRows(2), kGridOk);
  EXPECT_EQ(grid.SetTopHeadingHeight(40), kGridOk);
  auto& s = grid.Sheet();
  s.m_sideHeadCols = 2;
  s.m_sideHeadWidths = {20, 20};
  EXPECT_EQ(grid.SetSideHeadingWidth(40), kGridOk);
  grid.LayoutParts();
  Drain();
  auto drag = [](QWidget* w, QPoint from, QPoint to) {
    Move(w, from);
    Mouse(w, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    Move(w, to, Qt::LeftButton);
    Mouse(w, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
  };
  // The edge between the two heading rows belongs to the outer row (-2).
  grid.log.clear();
  drag(grid.TopHeading()->widget(), QPoint(30, 20), QPoint(30, 32));
  EXPECT_EQ(grid.GetTopHeadingRowHeight(-2), 32);
  EXPECT_EQ(grid.GetTopHeadingRowHeight(-1), 20);
  EXPECT_EQ(grid.GetTopHeadingHeight(), 52);
  EXPECT_EQ(s.m_rcCells.top, 52);
  EXPECT_EQ(grid.log, (std::vector<std::string>{"BeforeTopHeadingResize", "TopHeadingDragging 52",
                                                "TopHeadingHeightSet 52"}));
  int col = 0, row = 0;
  CRect rect;
  EXPECT_EQ(grid.TopHeading()->HitTestHeading(CPoint(30, 40), col, row, rect), kGridOk);
  EXPECT_EQ(row, -1);
  EXPECT_EQ(rect, CRect(0, 32, 75, 52));
  // The side heading's columns likewise, from its outer column (-2) in.
  grid.log.clear();
  drag(grid.SideHeading()->widget(), QPoint(20, 30), QPoint(8, 30));
  EXPECT_EQ(s.m_sideHeadWidths[1], 8);
  EXPECT_EQ(s.m_sideHeadWidths[0], 20);
  EXPECT_EQ(grid.GetSideHeadingWidth(), 28);
  EXPECT_EQ(s.m_rcCells.left, 28);
  EXPECT_EQ(grid.log, (std::vector<std::string>{"BeforeSideHeadingResize", "SideHeadingDragging 28",
                                                "SideHeadingWidthSet 28"}));
  EXPECT_EQ(grid.SideHeading()->HitTestHeading(CPoint(10, 30), col, row, rect), kGridOk);
  EXPECT_EQ(col, -1);
}

TEST_F(GridWidget, TheCornerSizesBothHeadingsAndReportsItsClicks) {
  QWidget* corner = grid.CornerBox()->widget();
  ASSERT_EQ(corner->size(), QSize(40, 20));
  // The right edge sizes the side heading.
  grid.log.clear();
  Move(corner, QPoint(38, 8));
  Mouse(corner, QEvent::MouseButtonPress, QPoint(38, 8), Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(GetCapture(), grid.CornerBox());
  Move(corner, QPoint(60, 8), Qt::LeftButton);
  Mouse(corner, QEvent::MouseButtonRelease, QPoint(60, 8), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(grid.GetSideHeadingWidth(), 60);
  EXPECT_EQ(grid.Sheet().m_rcCells.left, 60);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(grid.log, (std::vector<std::string>{"BeforeSideHeadingResize", "CornerLeft 1 1",
                                                "SideHeadingDragging 60", "SideHeadingWidthSet 60",
                                                "CornerLeft 0 1"}));
  // The bottom edge sizes the top heading, unless its dragging hook holds it.
  Move(corner, QPoint(20, 18));
  Mouse(corner, QEvent::MouseButtonPress, QPoint(20, 18), Qt::LeftButton, Qt::LeftButton);
  Move(corner, QPoint(20, 34), Qt::LeftButton);
  Mouse(corner, QEvent::MouseButtonRelease, QPoint(20, 34), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(grid.GetTopHeadingHeight(), 34);
  EXPECT_EQ(grid.Sheet().m_rcCells.top, 34);
  grid.headingDragAnswer = 0;
  Move(corner, QPoint(20, 32));
  Mouse(corner, QEvent::MouseButtonPress, QPoint(20, 32), Qt::LeftButton, Qt::LeftButton);
  Move(corner, QPoint(20, 50), Qt::LeftButton);
  Mouse(corner, QEvent::MouseButtonRelease, QPoint(20, 50), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(grid.GetTopHeadingHeight(), 34);
  // Away from the edges a press is only a click, which takes the focus to the cells.
  grid.log.clear();
  Move(corner, QPoint(10, 8));
  Click(corner, QPoint(10, 8));
  Mouse(corner, QEvent::MouseButtonPress, QPoint(10, 8), Qt::RightButton, Qt::RightButton);
  Mouse(corner, QEvent::MouseButtonRelease, QPoint(10, 8), Qt::RightButton, Qt::NoButton);
  Mouse(corner, QEvent::MouseButtonDblClick, QPoint(10, 8), Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(grid.log, (std::vector<std::string>{"CornerLeft 1 0", "CornerLeft 0 0", "CornerRight 1",
                                                "CornerRight 0", "CornerDouble"}));
  EXPECT_EQ(grid.GetSideHeadingWidth(), 60);
  EXPECT_TRUE(WaitFor([&] { return Cells()->hasFocus(); }));
}

TEST_F(GridWidget, TheTabStripScrollsByItsSmallBarAndToTheTabClicked) {
  grid.SetTabAreaWidth(220);
  grid.LayoutParts();
  for (int i = 0; i < 12; ++i)
    EXPECT_EQ(grid.AddSheetTab("Sheet " + std::to_string(i), i), kGridOk);
  CGridTabWnd* tabs = grid.TabWindow();
  QScrollBar* small = tabs->widget()->findChild<QScrollBar*>();
  ASSERT_NE(small, nullptr);
  ASSERT_GT(tabs->MaxOffset(), 20);
  EXPECT_EQ(small->maximum(), tabs->MaxOffset());
  small->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(tabs->ScrollOffset(), 5);
  EXPECT_EQ(small->value(), 5);
  small->triggerAction(QAbstractSlider::SliderSingleStepSub);
  small->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(tabs->ScrollOffset(), 0);
  for (int i = 0; i < 400; ++i) small->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(tabs->ScrollOffset(), tabs->MaxOffset());
  // A click finds the tab under the scrolled strip and brings it wholly into view.
  for (int i = 0; i < 400; ++i) small->triggerAction(QAbstractSlider::SliderSingleStepSub);
  for (int i = 0; i < 4; ++i) small->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  const int offset = tabs->ScrollOffset();
  ASSERT_EQ(offset, 20);
  const int x = tabs->widget()->width() - 12;  // the strip's last tab, partly shown
  const int index = tabs->TabAt(x);
  ASSERT_GE(index, 0);
  Click(tabs->widget(), QPoint(x, 5));
  EXPECT_EQ(grid.tabClicked, index);
  EXPECT_EQ(tabs->CurrentTab(), index);
  EXPECT_GT(tabs->ScrollOffset(), offset);
  EXPECT_EQ(small->value(), tabs->ScrollOffset());
  // Widened by its sizing edge until every tab fits, the strip no longer scrolls.
  QWidget* strip = tabs->widget();
  const QPoint edge(strip->width() - 3, 5);
  Move(strip, edge);
  Mouse(strip, QEvent::MouseButtonPress, edge, Qt::LeftButton, Qt::LeftButton);
  Move(strip, QPoint(2000, 5), Qt::LeftButton);
  Mouse(strip, QEvent::MouseButtonRelease, QPoint(2000, 5), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_GT(strip->width(), 220);
}

TEST_F(GridWidget, TabClicksAreReportedAndLeaveTheSheet) {
  EXPECT_EQ(grid.SetSheetTotal(3), kGridOk);
  grid.SetTabAreaWidth(250);
  grid.LayoutParts();
  EXPECT_EQ(grid.AddSheetTab("One", 11), kGridOk);
  EXPECT_EQ(grid.AddSheetTab("Two", 12), kGridOk);
  EXPECT_EQ(grid.AddSheetTab("Three", 13), kGridOk);
  CGridTabWnd* tabs = grid.TabWindow();
  ASSERT_TRUE(tabs->widget()->isVisible());
  int x = tabs->SmallBarWidth() + tabs->Tabs()[0].width + 2 + tabs->Tabs()[1].width / 2;
  Click(tabs->widget(), QPoint(x, 5));
  EXPECT_EQ(grid.tabClicked, 12);
  EXPECT_EQ(tabs->CurrentTab(), 1);
  EXPECT_EQ(grid.GetSelectedSheet(), 0);
  for (int i = 3; i < 64; ++i) EXPECT_EQ(grid.AddSheetTab("T", i), kGridOk);
  EXPECT_EQ(grid.AddSheetTab("Too many", 99), kGridOutOfRange);
}

TEST_F(GridWidget, ScrollBarsScrollTheView) {
  CGridVertBar* v = grid.VertBar();
  ASSERT_TRUE(v->widget()->isVisible());
  v->Bar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(grid.GetViewTopRow(), 1);
  EXPECT_EQ(v->Bar()->value(), 1);
  v->Bar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_GT(grid.GetViewTopRow(), 5);
  v->Bar()->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(grid.GetViewTopRow(), grid.Sheet().m_maxTopRow);
  grid.SendMessage(WM_VSCROLL, MAKEWPARAM(4 /*SB_THUMBPOSITION*/, 3));
  EXPECT_EQ(grid.GetViewTopRow(), 3);
  EXPECT_EQ(v->Bar()->value(), 3);
  // The current cell stays where it was.
  EXPECT_EQ(grid.GetCurrentRow(), 0);
}

// A grid shown empty and filled afterwards, as the lists are: each bar comes
// as soon as the parts outgrow the view and goes when they fit again, and the
// cells never lie under a bar.
TEST_F(GridWidget, BarsFollowTheCountsOfAGridFilledAfterItIsShown) {
  grid.ShowWindow(SW_HIDE);
  TestGrid g;
  ASSERT_TRUE(g.CreateGrid(WS_VISIBLE, CRect(10, 10, 450, 330), &host, 101));
  ASSERT_EQ(g.SetColumnTotal(2), kGridOk);
  Drain();
  QWidget* vbar = g.VertBar()->widget();
  QWidget* hbar = g.HorzBar()->widget();
  QWidget* cells = g.CellArea()->widget();
  QWidget* whole = g.widget();
  auto barShown = [](QWidget* bar) { return bar->isVisible() && !bar->size().isEmpty(); };
  EXPECT_FALSE(barShown(vbar));
  EXPECT_FALSE(barShown(hbar));

  ASSERT_EQ(g.SetRowTotal(100), kGridOk);
  Drain();
  ASSERT_TRUE(barShown(vbar));
  EXPECT_EQ(vbar->geometry().right(), whole->width() - 1);
  EXPECT_LE(cells->geometry().right(), vbar->geometry().left());
  EXPECT_FALSE(barShown(hbar));
  g.VertBar()->Bar()->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(g.GetViewTopRow(), g.Sheet().m_maxTopRow);
  EXPECT_GT(g.GetViewTopRow(), 80);

  ASSERT_EQ(g.SetColumnTotal(30), kGridOk);
  Drain();
  ASSERT_TRUE(barShown(hbar));
  EXPECT_LE(cells->geometry().bottom(), hbar->geometry().top());

  ASSERT_EQ(g.SetRowTotal(3), kGridOk);
  ASSERT_EQ(g.SetColumnTotal(2), kGridOk);
  Drain();
  EXPECT_FALSE(barShown(vbar));
  EXPECT_FALSE(barShown(hbar));
  EXPECT_EQ(cells->geometry().right(), whole->width() - 1);
  EXPECT_EQ(cells->geometry().bottom(), whole->height() - 1);
}

TEST_F(GridWidget, DropListOpensByButtonAndByEnter) {
  CGridCellValue cell;
  cell.GridCellSetText("a");
  cell.GridCellSetLabel("alpha\nbeta\ngamma\n");
  cell.GridCellSetCellType(1);
  EXPECT_EQ(grid.SetCell(1, 1, cell), kGridOk);
  EXPECT_EQ(grid.MoveToCell(1, 1), kGridOk);
  Key(Cells(), Qt::Key_Return);
  CGridDropList* list = grid.DropList();
  ASSERT_TRUE(WaitFor([&] { return list->IsOpen(); }));
  EXPECT_EQ(list->Count(), 3);
  list->List()->setCurrentRow(1);
  Key(list->widget(), Qt::Key_Return);
  EXPECT_FALSE(list->IsOpen());
  EXPECT_EQ(grid.GetCellText(1, 1).value_or(""), "beta");
  EXPECT_EQ(grid.Only("CellTypeEvent 1 1,1 10").size(), 4u);  // 100, 102, 101, 103

  // The button at the cell's right end opens it too; Escape leaves the cell.
  CRect r;
  EXPECT_EQ(grid.GetCellRectangle(1, 1, r), kGridOk);
  Click(Cells(), QPoint(r.right - 4, (r.top + r.bottom) / 2));
  ASSERT_TRUE(WaitFor([&] { return list->IsOpen(); }));
  Key(list->widget(), Qt::Key_Escape);
  EXPECT_FALSE(list->IsOpen());
  EXPECT_EQ(grid.GetCellText(1, 1).value_or(""), "beta");

  // Twenty choices show fifteen rows and a scroll bar.
  std::string many;
  for (int i = 0; i < 20; ++i) many += "item " + std::to_string(i) + "\n";
  EXPECT_EQ(grid.SetCellLabel(1, 1, many), kGridOk);
  Key(Cells(), Qt::Key_Return);
  ASSERT_TRUE(WaitFor([&] { return list->IsOpen(); }));
  EXPECT_EQ(list->Count(), 20);
  EXPECT_EQ(list->VisibleRows(), 15);
  EXPECT_TRUE(WaitFor([&] { return list->List()->verticalScrollBar()->isVisible(); }));
  Key(list->widget(), Qt::Key_Escape);

  // An owner that answers 0 keeps the list closed.
  grid.listAnswer = 0;
  Key(Cells(), Qt::Key_Return);
  Drain();
  EXPECT_FALSE(list->IsOpen());
}

TEST_F(GridWidget, CopyGivesTabsAndLineFeedsAndCutClearsAfterwards) {
  grid.Sheet().m_selection->StartBlock(0, 0);
  grid.Sheet().m_selection->EndBlock(2, 1);
  EXPECT_EQ(grid.CopySelection(), kGridClipboardOk);
  EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "0:0\t1:0\t2:0\n0:1\t1:1\t2:1");
  std::string back;
  EXPECT_EQ(grid.GetClipboardText(back), kGridClipboardOk);
  EXPECT_EQ(back, "0:0\t1:0\t2:0\n0:1\t1:1\t2:1");
  grid.Sheet().m_selection->StartBlock(3, 3);
  grid.Sheet().m_selection->EndBlock(3, 4);
  EXPECT_EQ(grid.CopySelection(1), kGridClipboardOk);
  EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "3:3\n3:4");
  EXPECT_EQ(grid.GetCellText(3, 3).value_or(""), "");
}

TEST_F(GridWidget, F1AsksForHelpOnTheWindowUnderThePointerOrTheCurrentCell) {
  fw::ScopedHelpService help;
  EXPECT_EQ(grid.MoveToCell(2, 3), kGridOk);
  auto f1Over = [&](QWidget* w, QPoint p, QWidget* focus) {
    QCursor::setPos(w->mapToGlobal(p));
    grid.log.clear();
    Key(focus, Qt::Key_F1);
    return grid.Only("Help");
  };
  QWidget* outside = host.widget();
  EXPECT_EQ(f1Over(outside, QPoint(500, 400), Cells()), (std::vector<std::string>{"Help 2,3 1"}));
  EXPECT_EQ(f1Over(grid.TopHeading()->widget(), QPoint(85, 10), Cells()),
            (std::vector<std::string>{"Help 1,-1 2"}));
  EXPECT_EQ(f1Over(grid.SideHeading()->widget(), QPoint(10, 45), Cells()),
            (std::vector<std::string>{"Help -1,2 3"}));
  EXPECT_EQ(f1Over(grid.CornerBox()->widget(), QPoint(3, 3), Cells()),
            (std::vector<std::string>{"Help -1,-1 4"}));
  EXPECT_EQ(f1Over(grid.VertBar()->widget(), QPoint(3, 30), Cells()),
            (std::vector<std::string>{"Help 2,3 6"}));
  EXPECT_EQ(help->requests(), (std::vector<unsigned>{0x101, 0x102, 0x103, 0x104, 0x106}));
  // F1 in the editor asks about the edited cell; a cell area answer of 0 shows nothing.
  ASSERT_EQ(grid.BeginCellEdit(), kGridOk);
  grid.cellHelp = 0;
  EXPECT_EQ(f1Over(outside, QPoint(500, 400), EditorWidget()),
            (std::vector<std::string>{"Help 2,3 1"}));
  EXPECT_EQ(help->requests().size(), 5u);
  EXPECT_TRUE(grid.IsEditing());
}

TEST_F(GridWidget, AnAttachedFindDialogIsServedUntilItCloses) {
  fw::ScopedMessageSink messages;
  const UINT findMessage = CSheetGridCtrl::FindReplaceMessage();
  auto ask = [&](unsigned flags, const std::string& what, const std::string& with = {}) {
    GridFindRequest request{flags, what, with};
    return grid.SendMessage(findMessage, 0, reinterpret_cast<LPARAM>(&request));
  };
  // Without a dialog the grid answers at once.
  EXPECT_EQ(ask(FR_DOWN | FR_WHOLEWORD, "0:5"), 1);
  EXPECT_EQ(grid.GetCurrentRow(), 0);
  CWnd dialog;
  ASSERT_TRUE(
      dialog.CreateEx(0, "", "Find", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 200, 80), nullptr, 0));
  grid.AttachFindDialog(&dialog);
  // The search runs down the current column.
  EXPECT_EQ(ask(FR_DOWN | FR_WHOLEWORD, "0:5"), kGridFound);
  EXPECT_EQ(grid.GetCurrentColumn(), 0);
  EXPECT_EQ(grid.GetCurrentRow(), 5);
  EXPECT_EQ(ask(FR_DOWN | FR_WHOLEWORD | FR_REPLACE, "0:5", "found"), kGridNotFound);
  EXPECT_EQ(grid.GetCellText(0, 5).value_or(""), "found");
  ASSERT_EQ(messages->count(), 1u);
  EXPECT_EQ(messages->messages()[0].text, "Item not found");
  EXPECT_EQ(messages->messages()[0].caption, "Not Found");
  // Closing the dialog detaches it.
  EXPECT_EQ(ask(FR_DIALOGTERM, ""), 1);
  EXPECT_EQ(grid.FindDialog(), nullptr);
  EXPECT_EQ(ask(FR_DOWN, "0:7"), 1);
  EXPECT_EQ(grid.GetCurrentRow(), 5);
  // A dialog that went without saying so is not served either.
  CWnd other;
  ASSERT_TRUE(other.CreateEx(0, "", "Find", WS_OVERLAPPED, CRect(0, 0, 200, 80), nullptr, 0));
  grid.AttachFindDialog(&other);
  EXPECT_TRUE(other.DestroyWindow());
  EXPECT_EQ(ask(FR_DOWN, "0:7"), 1);
  EXPECT_EQ(grid.GetCurrentRow(), 5);
}

TEST_F(GridWidget, WheelScrollsAndFinePartsAddUp) {
  auto wheel = [&](int delta) {
    QPoint p(50, 50);
    QWheelEvent e(QPointF(p), QPointF(Cells()->mapToGlobal(p)), QPoint(), QPoint(0, delta),
                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(Cells(), &e);
  };
  wheel(-240);
  EXPECT_EQ(grid.GetViewTopRow(), 6);
  wheel(60);
  EXPECT_EQ(grid.GetViewTopRow(), 6);
  wheel(60);
  EXPECT_EQ(grid.GetViewTopRow(), 3);
}

TEST_F(GridWidget, CutLeavesTheCellsWhenTheClipboardFails) {
  grid.clipboardFails = 1;
  grid.Sheet().m_selection->StartBlock(0, 0);
  grid.Sheet().m_selection->EndBlock(1, 0);
  EXPECT_EQ(grid.CopySelection(1), kGridClipboardNoText);
  EXPECT_EQ(grid.GetCellText(0, 0).value_or(""), "0:0");
  EXPECT_EQ(grid.GetCellText(1, 0).value_or(""), "1:0");
}

TEST_F(GridWidget, MenuCommandsNameTheCurrentCell) {
  EXPECT_EQ(grid.MoveToCell(2, 5), kGridOk);
  grid.SendMessage(WM_COMMAND, 1005);
  grid.SendMessage(WM_COMMAND, 999);
  EXPECT_EQ(grid.Only("MenuCommand"), (std::vector<std::string>{"MenuCommand 2,5 1 1005"}));
  // A message for a cell type that is not registered is answered with 1.
  EXPECT_EQ(grid.SendMessage(WM_GRID_CELLTYPE_MSG, 40, 0), 1);
}

TEST_F(GridWidget, TheEditorGrowsOverAnEmptyNeighbour) {
  EXPECT_EQ(grid.SetCellText(2, 1, ""), kGridOk);
  EXPECT_EQ(grid.SetCellText(3, 1, ""), kGridOk);
  EXPECT_EQ(grid.MoveToCell(1, 1), kGridOk);
  ASSERT_EQ(grid.BeginCellEdit(), kGridOk);
  QWidget* editor = EditorWidget();
  CRect own, next;
  EXPECT_EQ(grid.GetCellRectangle(1, 1, own), kGridOk);
  EXPECT_EQ(grid.GetCellRectangle(2, 1, next), kGridOk);
  EXPECT_EQ(editor->geometry().right() + 1, own.right - 1);
  for (int i = 0; i < 12; ++i) Key(editor, Qt::Key_W, Qt::NoModifier, "w");
  ASSERT_GT(QFontMetrics(editor->font()).horizontalAdvance(QString(12, 'w')), own.Width());
  EXPECT_EQ(editor->geometry().right() + 1, next.right - 1);
  EXPECT_EQ(editor->geometry().left(), own.left);
}

TEST_F(GridWidget, AMaskedCellIsEditedThroughItsMask) {
  CGridCellValue cell;
  cell.GridCellSetText("");
  cell.GridCellSetMask("00-00");
  EXPECT_EQ(grid.SetCell(2, 2, cell), kGridOk);
  EXPECT_EQ(grid.MoveToCell(2, 2), kGridOk);
  ASSERT_EQ(grid.BeginCellEdit(), kGridOk);
  ASSERT_EQ(grid.GetActiveEditor(), grid.MaskedEditor());
  QWidget* editor = grid.MaskedEditor()->widget();
  for (const char* k : {"1", "2", "x", "3", "4", "5"})
    Key(editor, Qt::Key_0 + (k[0] >= '0' && k[0] <= '9' ? k[0] - '0' : 0), Qt::NoModifier, k);
  EXPECT_EQ(static_cast<CGridMaskedEdit*>(grid.MaskedEditor())->Text(), "12-34");
  Key(editor, Qt::Key_Return);
  ASSERT_TRUE(WaitFor([&] { return grid.GetCellText(2, 2).value_or("") == "12-34"; }));
}

TEST_F(GridWidget, AttachingToAControlMakesTheGridThere) {
  CFont font;
  LOGFONT lf = fw::DefaultGuiLogFont();
  ASSERT_TRUE(font.CreateFontIndirect(&lf));
  host.SetFont(&font);
  TestGrid attached;
  // A control a dialog template made, left without an object of its own.
  CWnd placeholder;
  ASSERT_TRUE(placeholder.Create("", "", WS_CHILD | WS_VISIBLE, CRect(5, 5, 305, 205), &host, 78));
  QWidget* peer = placeholder.widget();
  placeholder.UnsubclassWindow();
  ASSERT_TRUE(attached.AttachToControl(78, &host));
  EXPECT_EQ(attached.widget(), peer);
  EXPECT_TRUE(attached.CellArea()->IsWindow());
  EXPECT_NE(attached.Sheet().m_defaultFont, nullptr);
  EXPECT_FALSE(attached.AttachToControl(79, &host));
  EXPECT_EQ(attached.SetColumnTotal(2), kGridOk);
  EXPECT_EQ(attached.SetRowTotal(3), kGridOk);
  EXPECT_EQ(attached.MoveToCell(1, 2), kGridOk);
}

TEST_F(GridWidget, AGridMadeAgainAfterItsWindowWentHasItsPartsAgain) {
  ASSERT_TRUE(grid.DestroyWindow());
  EXPECT_FALSE(grid.CellArea()->IsWindow());
  ASSERT_TRUE(grid.CreateGrid(WS_VISIBLE, CRect(10, 10, 450, 330), &host, 100));
  EXPECT_TRUE(grid.CellArea()->IsWindow());
  EXPECT_TRUE(grid.TopHeading()->IsWindow());
  EXPECT_TRUE(grid.VertBar()->IsWindow());
  EXPECT_TRUE(grid.DefaultEditor()->IsWindow());
  EXPECT_EQ(grid.Sheet().m_rcCells.left, 40);
  EXPECT_EQ(grid.CellArea()->widget()->geometry(), grid.Sheet().m_rcCells.ToQt());
  EXPECT_EQ(grid.BeginCellEdit(), kGridOk);
  EXPECT_TRUE(grid.DefaultEditor()->widget()->isVisible());
  // Made already, it is not made twice.
  EXPECT_FALSE(grid.CreateGrid(WS_VISIBLE, CRect(10, 10, 450, 330), &host, 100));
}

TEST_F(GridWidget, PaintingTheLastRowAsksForMoreRowsOnce) {
  EXPECT_EQ(grid.SetRowTotal(5), kGridOk);
  grid.log.clear();
  Drain();
  grid.CellArea()->Invalidate(false);
  Drain();
  grid.CellArea()->Invalidate(false);
  Drain();
  EXPECT_EQ(grid.Only("RowsNeeded"), (std::vector<std::string>{"RowsNeeded 5,1"}));
}

TEST_F(GridWidget, DraggingARowEdgeInUniformModeNeverReachesZero) {
  EXPECT_EQ(grid.SetSharedRowHeight(1), kGridOk);
  grid.LayoutParts();
  QWidget* side = grid.SideHeading()->widget();
  Move(side, QPoint(20, 20));  // bottom edge of row 0
  ASSERT_TRUE(grid.SideHeading()->IsHot());
  Mouse(side, QEvent::MouseButtonPress, QPoint(20, 20), Qt::LeftButton, Qt::LeftButton);
  Move(side, QPoint(20, 30), Qt::LeftButton);
  EXPECT_EQ(grid.GetRowHeight(7), 30);  // every row shares the height
  Move(side, QPoint(20, -15), Qt::LeftButton);
  Mouse(side, QEvent::MouseButtonRelease, QPoint(20, -15), Qt::LeftButton, Qt::NoButton);
  EXPECT_GE(grid.GetRowHeight(0), 1);
  EXPECT_EQ(grid.Only("RowHeightSet").size(), 1u);
  grid.LayoutParts();
  EXPECT_GE(grid.Sheet().m_maxTopRow, 0);
}

TEST_F(GridWidget, DraggingBelowTheCellsKeepsScrolling) {
  grid.Sheet().m_opt.dragScrollPause = 20;
  Mouse(Cells(), QEvent::MouseButtonPress, CellCentre(1, 1), Qt::LeftButton, Qt::LeftButton);
  ASSERT_EQ(grid.GetCurrentRow(), 1);
  QPoint below(CellCentre(1, 1).x(), Cells()->height() + 10);
  Move(Cells(), below, Qt::LeftButton);
  const int first = grid.GetCurrentRow();
  EXPECT_GT(first, 1);
  // Holding the pointer there goes on scrolling, paced by the timer.
  EXPECT_TRUE(WaitFor([&] { return grid.GetCurrentRow() >= 20; }, 3000));
  EXPECT_GT(grid.GetViewTopRow(), 0);
  Mouse(Cells(), QEvent::MouseButtonRelease, below, Qt::LeftButton, Qt::NoButton);
  const int stopped = grid.GetCurrentRow();
  Drain();
  QDeadlineTimer pause(500);
  while (!pause.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  EXPECT_EQ(grid.GetCurrentRow(), stopped);
  EXPECT_EQ(grid.GetCurrentColumn(), 1);
}

QImage ScreenImage(QWidget* w) {
  QWidget* top = w->window();
  QPoint at = w->mapTo(top, QPoint(0, 0));
  QScreen* screen = top->screen();
  return screen->grabWindow(top->winId(), at.x(), at.y(), w->width(), w->height()).toImage();
}

// Pixels darker than the grid lines inside a cell, a margin in from its edges.
int DarkPixels(const QImage& image, const CRect& r) {
  int n = 0;
  for (int y = r.top + 2; y < r.bottom - 2; ++y)
    for (int x = r.left + 2; x < r.right - 2; ++x)
      if (qGray(image.pixel(x, y)) < 128) ++n;
  return n;
}

TEST_F(GridWidget, LongTextRunsIntoEmptyNeighboursAndLeavesThemWhenShortened) {
  EXPECT_EQ(grid.SetCellText(2, 1, ""), kGridOk);
  EXPECT_EQ(grid.SetCellText(3, 1, ""), kGridOk);
  EXPECT_EQ(grid.SetCellText(1, 1, std::string(40, 'W')), kGridOk);
  grid.CellArea()->Invalidate(false);
  Drain();
  CRect second, third;
  EXPECT_EQ(grid.GetCellRectangle(2, 1, second), kGridOk);
  EXPECT_EQ(grid.GetCellRectangle(3, 1, third), kGridOk);
  QImage shown = ScreenImage(Cells());
  EXPECT_GT(DarkPixels(shown, second), 0);
  EXPECT_GT(DarkPixels(shown, third), 0);
  // Only the changed cell is repainted; the neighbours it ran into follow.
  EXPECT_EQ(grid.SetCellText(1, 1, "W"), kGridOk);
  grid.RepaintCell(1, 1);
  Drain();
  shown = ScreenImage(Cells());
  EXPECT_EQ(DarkPixels(shown, second), 0);
  EXPECT_EQ(DarkPixels(shown, third), 0);
  EXPECT_EQ(grid.SetCellText(1, 1, std::string(40, 'W')), kGridOk);
  grid.RepaintCell(1, 1);
  Drain();
  shown = ScreenImage(Cells());
  EXPECT_GT(DarkPixels(shown, second), 0);
  EXPECT_GT(DarkPixels(shown, third), 0);
  // Once everything is shown, the cell area stops painting.
  struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint) ++paints;
      return false;
    }
  } counter;
  Cells()->installEventFilter(&counter);
  Drain();
  counter.paints = 0;
  Drain();
  EXPECT_EQ(counter.paints, 0);
  Cells()->removeEventFilter(&counter);
}

TEST_F(GridWidget, ScreenAfterScrollsAndUpdatesEqualsAFreshRender) {
  Drain();
  for (int i = 0; i < 7; ++i) {
    Key(Cells(), Qt::Key_Down);
    EXPECT_EQ(grid.SetCellText(i % 6, i + 3, "changed " + std::to_string(i)), kGridOk);
    grid.RepaintCell(i % 6, i + 3);
    Drain();
  }
  EXPECT_EQ(grid.ScrollToRow(9), kGridOk);
  Drain();
  EXPECT_EQ(grid.ScrollToRow(8), kGridOk);
  EXPECT_EQ(grid.ScrollToColumn(1), kGridOk);
  Drain();
  Key(Cells(), Qt::Key_Right);
  Drain();
  QImage shown = ScreenImage(Cells());
  // The picture holds cells, not an empty surface.
  std::set<QRgb> colours;
  for (int y = 0; y < shown.height(); y += 3)
    for (int x = 0; x < shown.width(); x += 3) colours.insert(shown.pixel(x, y));
  ASSERT_GT(colours.size(), 2u);

  TestGrid fresh;
  Make(fresh, 6, 40);
  for (int i = 0; i < 7; ++i)
    EXPECT_EQ(fresh.SetCellText(i % 6, i + 3, "changed " + std::to_string(i)), kGridOk);
  EXPECT_EQ(fresh.MoveToCell(grid.GetCurrentColumn(), grid.GetCurrentRow()), kGridOk);
  EXPECT_EQ(fresh.ScrollToRow(grid.GetViewTopRow()), kGridOk);
  EXPECT_EQ(fresh.ScrollToColumn(grid.GetViewLeftCol()), kGridOk);
  grid.ShowWindow(SW_HIDE);
  fresh.CellArea()->SetFocus();
  grid.CellArea()->SetFocus();  // same focus state: the focus frame is drawn in both
  fresh.ShowWindow(SW_SHOW);
  fresh.CellArea()->SetFocus();
  Drain();
  fresh.CellArea()->Invalidate(false);
  Drain();
  QImage expected = ScreenImage(fresh.CellArea()->widget());
  ASSERT_EQ(shown.size(), expected.size());
  int differing = 0;
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x)
      if (shown.pixel(x, y) != expected.pixel(x, y)) ++differing;
  EXPECT_EQ(differing, 0);
}

}  // namespace
