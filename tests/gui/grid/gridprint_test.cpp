// Printing a grid: how its rows and columns are laid out on pages, and what
// its cell types see while a page is drawn.
#include "grid/gridprint.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "grid/gridcellwnd.h"
#include "grid/sheetgridctrl.h"
#include "gui_helpers.h"

namespace {

// Records every cell it draws, with what the grid tells it about printing.
class CRecordingType : public CNormalCellType {
 public:
  struct Drawn {
    int col, row;
    CRect rect;
    bool printing;
    double scale;
    int fontHeight;
  };
  std::vector<Drawn> drawn;
  void DrawCell(CDC& dc, const CRect& rect, int col, int row, CGridCellValue& cell, bool selected,
                bool current) override {
    CFont* font = cell.GridCellGetFont();
    drawn.push_back(
        {col, row, rect, IsPrinting(dc), PrintScale(dc), font ? font->logFont().lfHeight : 0});
    CNormalCellType::DrawCell(dc, rect, col, row, cell, selected, current);
  }
};

class GridPrint : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.CreateEx(0, "", "grid host", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 520, 420),
                              nullptr, 0));
    ASSERT_TRUE(grid.CreateGrid(WS_VISIBLE, CRect(10, 10, 450, 330), &host, 100));
    ASSERT_EQ(grid.SetColumnTotal(4), kGridOk);
    ASSERT_EQ(grid.SetRowTotal(10), kGridOk);
    ASSERT_EQ(grid.SetDefaultRowHeight(20), kGridOk);
    ASSERT_EQ(grid.SetTopHeadingHeight(20), kGridOk);
    ASSERT_EQ(grid.SetDefaultFont(grid.RegisterFont("Arial", 14, 400)), kGridOk);
    // A hidden column, and one wider than what is left of a page.
    const int widths[4] = {100, 0, 300, 80};
    const int type = grid.RegisterCellType(&recorder);
    for (int c = 0; c < 4; ++c) {
      ASSERT_EQ(grid.SetColumnWidth(c, widths[c]), kGridOk);
      ASSERT_EQ(grid.SetCellTypeIndex(c, -1, type), kGridOk);
      ASSERT_EQ(grid.SetCellText(c, -1, "H" + std::to_string(c)), kGridOk);
      for (int r = 0; r < 10; ++r) {
        ASSERT_EQ(grid.SetCellTypeIndex(c, r, type), kGridOk);
        ASSERT_EQ(grid.SetCellText(c, r, std::to_string(c) + ":" + std::to_string(r)), kGridOk);
      }
    }
    fwtest::Drain();
    recorder.drawn.clear();
  }

  CWnd host;
  CSheetGridCtrl grid;
  CRecordingType recorder;
  CGridPrintInfo info;
};

TEST_F(GridPrint, RowsGoDownAndColumnsAcrossPagesWithTheHeadingsOnEach) {
  CGridPrinter printer(grid, info);
  // Twice the screen's resolution: a page of 700 x 200 takes 350 x 100 screen pixels.
  printer.Paginate(CSize(700, 200), 192);
  EXPECT_FLOAT_EQ(info.m_printScale, 2.0f);
  // Across: column 0 (200) and the hidden column 1; column 2 (600) alone;
  // column 3 (160). Down: 4 rows of 40 below the 40 of the headings, 4, 2.
  ASSERT_EQ(printer.PageCount(), 9);
  auto page = [&](int p) {
    const auto& v = info.m_pages[static_cast<std::size_t>(p)].v;
    return std::vector<int>(v, v + 6);
  };
  EXPECT_EQ(page(0), (std::vector<int>{0, 3, 0, 1, 0, 0}));
  EXPECT_EQ(page(1), (std::vector<int>{0, 3, 2, 2, 0, 1}));
  EXPECT_EQ(page(2), (std::vector<int>{0, 3, 3, 3, 0, 2}));
  EXPECT_EQ(page(8), (std::vector<int>{8, 9, 3, 3, 2, 2}));
  ASSERT_EQ(info.m_columns.size(), 4u);
  EXPECT_EQ(info.m_columns[2].left, 0);
  EXPECT_EQ(info.m_columns[2].right, 600);
  EXPECT_EQ(info.m_columns[1].width, 0);

  QImage image(700, 200, QImage::Format_RGB32);
  QPainter painter(&image);
  CDC dc(&painter);
  printer.PrintPage(dc, 4);  // rows 4 to 7 of column 2
  ASSERT_EQ(recorder.drawn.size(), 5u);
  EXPECT_EQ(recorder.drawn[0].row, -1);
  EXPECT_EQ(recorder.drawn[0].rect, CRect(0, 0, 600, 40));
  for (std::size_t i = 0; i < recorder.drawn.size(); ++i) {
    const auto& d = recorder.drawn[i];
    EXPECT_EQ(d.col, 2);
    EXPECT_TRUE(d.printing);
    EXPECT_DOUBLE_EQ(d.scale, 2.0);
    EXPECT_EQ(d.fontHeight, 28);  // the grid's font at the print scale
    if (i > 0) {
      EXPECT_EQ(d.row, 3 + static_cast<int>(i));
    }
  }
  EXPECT_EQ(recorder.drawn[4].rect, CRect(0, 160, 600, 200));
  EXPECT_EQ(info.m_lastPrintedColumn, 2);
  // The screen is not a printer.
  EXPECT_EQ(grid.GetPrintInfo(dc), nullptr);
  recorder.drawn.clear();
  grid.RepaintAll();
  grid.CellArea()->widget()->repaint();
  ASSERT_FALSE(recorder.drawn.empty());
  for (const auto& d : recorder.drawn) EXPECT_FALSE(d.printing);
}

TEST_F(GridPrint, AnEmptyGridIsOnePageOfHeadingsAndThePercentScales) {
  ASSERT_EQ(grid.SetRowTotal(0), kGridOk);
  info.m_percent = 50;
  CGridPrinter printer(grid, info);
  printer.Paginate(CSize(1000, 1000), 96);
  EXPECT_FLOAT_EQ(info.m_printScale, 0.5f);
  ASSERT_EQ(printer.PageCount(), 1);
  QImage image(1000, 1000, QImage::Format_RGB32);
  QPainter painter(&image);
  CDC dc(&painter);
  printer.PrintPage(dc, 0);
  ASSERT_EQ(recorder.drawn.size(), 3u);  // the hidden column's heading is not drawn
  EXPECT_EQ(recorder.drawn[2].rect, CRect(200, 0, 240, 10));
  printer.PrintPage(dc, 1);  // no such page
  EXPECT_EQ(recorder.drawn.size(), 3u);
}

}  // namespace
