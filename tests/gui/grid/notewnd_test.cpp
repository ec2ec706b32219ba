// The note cell type's pop-up: a window of its own beside the cell.
#include "grid/notewnd.h"

#include <gtest/gtest.h>

#include <QMouseEvent>

#include "grid/gridcellwnd.h"
#include "grid/sheetgridctrl.h"
#include "gui_helpers.h"
#include "tests/unit/grid/fake_cell_host.h"

namespace {

// ---- note --------------------------------------------------------------------------

struct NoteFixture : ::testing::Test {
  FakeCellHost host;
  CNoteCellType note;
  int index = 0;
  CPoint cursor{-1000, -1000};
  void SetUp() override {
    index = host.Register(&note);
    note.SetCursorSource([this] { return cursor; });
  }
  void PutNote(int col, int row, const std::string& label) {
    CGridCellValue c;
    c.GridCellSetCellType(index);
    c.GridCellSetText("cell");
    if (!label.empty()) c.GridCellSetLabel(label);
    host.Put(col, row, c);
  }
};

TEST_F(NoteFixture, RedCornerOnlyWithANote) {
  CImageDC dc(100, 40);
  PutNote(0, 0, "remember");
  CGridCellValue c = host.Fetch(0, 0);
  note.DrawCell(dc, CRect(0, 0, 60, 20), 0, 0, c, false, false);
  EXPECT_EQ(dc.GetPixel(58, 1), RGB(255, 0, 0));
  EXPECT_NE(dc.GetPixel(50, 1), RGB(255, 0, 0));
  EXPECT_EQ(note.GetNoteWindow(), nullptr);  // drawing never makes windows
  CImageDC plain(100, 40);
  PutNote(0, 0, "");
  CGridCellValue e = host.Fetch(0, 0);
  note.DrawCell(plain, CRect(0, 0, 60, 20), 0, 0, e, false, false);
  EXPECT_NE(plain.GetPixel(58, 1), RGB(255, 0, 0));
}

TEST_F(NoteFixture, HoverShowsThePopupBesideTheCell) {
  PutNote(1, 2, "a note");  // cell rectangle (60,40)-(120,60)
  note.HandleMouseMove(1, 2, CPoint(90, 50), 0);
  CNoteWnd* wnd = note.GetNoteWindow();
  ASSERT_NE(wnd, nullptr);
  EXPECT_FALSE(wnd->isHidden());
  EXPECT_EQ(wnd->x(), 125);
  EXPECT_EQ(wnd->y(), 25);
  EXPECT_EQ(wnd->GetNoteText(), "a note");
  EXPECT_TRUE(note.IsTimerRunning());
  // Leaving the cell hides it.
  note.HandleMouseMove(1, 2, CPoint(130, 50), 0);
  EXPECT_TRUE(wnd->isHidden());
  // Near the top the note is not raised.
  PutNote(0, 0, "top");
  note.HandleMouseMove(0, 0, CPoint(30, 10), 0);
  EXPECT_EQ(wnd->y(), 0);
  // The hide timer: a cursor outside the cell hides the note.
  cursor = CPoint(5000, 5000);
  note.OnHideTimer();
  EXPECT_TRUE(wnd->isHidden());
  EXPECT_FALSE(note.IsTimerRunning());
}

TEST_F(NoteFixture, EmptyNoteShowsNothingAndScrollingHides) {
  PutNote(0, 0, "");
  note.HandleMouseMove(0, 0, CPoint(30, 10), 0);
  EXPECT_TRUE(note.GetNoteWindow() == nullptr || note.GetNoteWindow()->isHidden());
  PutNote(1, 1, "shown");
  note.HandleMouseMove(1, 1, CPoint(90, 30), 0);
  ASSERT_FALSE(note.GetNoteWindow()->isHidden());
  note.HandleScrolled(1, 1, nullptr);
  EXPECT_TRUE(note.GetNoteWindow()->isHidden());
  note.HandleMouseMove(1, 1, CPoint(90, 30), 0);
  ASSERT_FALSE(note.GetNoteWindow()->isHidden());
  host.repaints.clear();
  note.HandleFocusLost(1, 1, nullptr);
  EXPECT_TRUE(note.GetNoteWindow()->isHidden());
  EXPECT_EQ(host.repaints.size(), 1u);
}

TEST_F(NoteFixture, NoteWindowGrowsWithItsText) {
  PutNote(0, 1, "short");
  note.HandleMouseMove(0, 1, CPoint(30, 30), 0);
  CNoteWnd* wnd = note.GetNoteWindow();
  const int shortHeight = wnd->height();
  wnd->resize(CNoteCellType::kNoteWidth, CNoteCellType::kNoteHeight);
  wnd->SetNoteText("a much longer note that has to wrap over several lines of the pop-up window");
  EXPECT_GT(wnd->height(), shortHeight);
  EXPECT_LE(wnd->width(), CNoteCellType::kNoteWidth + 12);
}

// ---- note in a grid ------------------------------------------------------------------

// The note lives in the grid's cell area; the dialog around the grid may
// take its windows down before the cell type goes, or the other way round.
TEST(NoteInAGrid, ShowsInTheCellAreaGoesWithItAndHidesWhenItsCellScrollsAway) {
  CWnd host;
  ASSERT_TRUE(host.CreateEx(0, "", "note host", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 400, 300),
                            nullptr, 0));
  CNoteCellType note;
  CSheetGridCtrl grid;
  ASSERT_TRUE(grid.CreateGrid(WS_VISIBLE, CRect(0, 0, 380, 280), &host, 100));
  const int index = grid.RegisterCellType(&note);
  ASSERT_GT(index, 0);
  EXPECT_EQ(grid.SetColumnTotal(3), kGridOk);
  EXPECT_EQ(grid.SetRowTotal(60), kGridOk);
  CGridCellValue cell;
  cell.GridCellSetText("noted");
  cell.GridCellSetLabel("a note");
  cell.GridCellSetCellType(index);
  EXPECT_EQ(grid.SetCell(1, 2, cell), kGridOk);
  grid.LayoutParts();
  host.widget()->show();
  fwtest::Drain();
  CRect r;
  ASSERT_EQ(grid.GetCellRectangle(1, 2, r), kGridOk);
  QWidget* cells = grid.CellArea()->widget();
  const QPoint inside((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  QMouseEvent move(QEvent::MouseMove, QPointF(inside), QPointF(cells->mapToGlobal(inside)),
                   Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(cells, &move);
  CNoteWnd* shown = note.GetNoteWindow();
  ASSERT_NE(shown, nullptr);
  EXPECT_TRUE(shown->isVisible());
  EXPECT_EQ(shown->parentWidget(), cells);
  // Scrolling the cell out of view takes the note away.
  EXPECT_EQ(grid.ScrollToRow(5), kGridOk);
  EXPECT_FALSE(shown->isVisible());
  // The windows go first, as when a dialog closes: the note goes with them.
  EXPECT_TRUE(host.DestroyWindow());
  EXPECT_EQ(note.GetNoteWindow(), nullptr);
}

}  // namespace
