#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "fake_cell_host.h"

namespace {

CGridCellValue Cell(const std::string& text = {}, const std::string& label = {}) {
  CGridCellValue c;
  if (!text.empty()) c.GridCellSetText(text);
  if (!label.empty()) c.GridCellSetLabel(label);
  return c;
}

bool HasInk(CDC& dc, const CRect& area, COLORREF background) {
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (dc.GetPixel(x, y) != background) return true;
  return false;
}

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);

// ---- normal type ---------------------------------------------------------------

struct NormalFixture : ::testing::Test {
  FakeCellHost host;
  CImageDC dc{400, 60};
  void Draw(int col, int row, CGridCellValue cell, const CRect& rect) {
    host.normal.SetGrid(&host);
    host.normal.DrawCell(dc, rect, col, row, cell, false, false);
  }
};

TEST_F(NormalFixture, BordersAndGridLines) {
  const CRect r(0, 0, 60, 20);
  Draw(0, 0, Cell("x"), r);
  EXPECT_EQ(dc.GetPixel(59, 10), 0xDCDCDCu);  // grid lines right and bottom
  EXPECT_EQ(dc.GetPixel(30, 19), 0xDCDCDCu);
  EXPECT_EQ(dc.GetPixel(0, 10), kWhite);
  CGridCellValue left = Cell();
  left.GridCellSetBorder(0x10);  // medium left
  Draw(0, 0, left, r);
  EXPECT_EQ(dc.GetPixel(0, 10), kBlack);
  EXPECT_EQ(dc.GetPixel(1, 10), kBlack);
  EXPECT_EQ(dc.GetPixel(2, 10), kWhite);
  CGridCellValue thick = Cell();
  thick.GridCellSetBorder(0x800);  // thick bottom replaces the grid line
  Draw(0, 0, thick, r);
  for (int y : {17, 18, 19}) EXPECT_EQ(dc.GetPixel(30, y), kBlack) << y;
  host.options.gridLines = 0;
  CImageDC clean(100, 30);
  CGridCellValue blank;
  host.normal.DrawCell(clean, r, 0, 0, blank, false, false);
  EXPECT_EQ(clean.GetPixel(59, 10), kWhite);
}

TEST_F(NormalFixture, BorderInnerRectangles) {
  CGridCellValue c = Cell();
  c.GridCellSetBorder(0x1 | 0x20 | 0x400);
  CRect inner;
  host.normal.SetGrid(&host);
  host.normal.DrawCellBorder(dc, CRect(0, 0, 60, 20), inner, c);
  EXPECT_EQ(inner, CRect(1, 2, 57, 19));  // thin left, medium top, thick right, grid bottom
  CGridCellValue raised = Cell();
  raised.GridCellSetBorder(0x2000);
  host.normal.DrawCellBorder(dc, CRect(0, 0, 60, 20), inner, raised);
  EXPECT_EQ(inner, CRect(1, 1, 59, 19));  // a 3D frame turns the grid lines off
  EXPECT_EQ(dc.GetPixel(0, 10), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(dc.GetPixel(59, 10), GetSysColor(COLOR_BTNSHADOW));
}

TEST_F(NormalFixture, HorizontalAlignmentPlacesText) {
  const CRect r(0, 0, 200, 20);
  const CRect leftHalf(0, 0, 100, 19), rightHalf(100, 0, 199, 19);
  CGridCellValue c = Cell("MM");
  c.GridCellSetAlignment(kAlignRight);
  Draw(0, 0, c, r);
  EXPECT_FALSE(HasInk(dc, leftHalf, kWhite));
  EXPECT_TRUE(HasInk(dc, rightHalf, kWhite));
  c.GridCellSetAlignment(kAlignLeft);
  Draw(0, 0, c, r);
  EXPECT_TRUE(HasInk(dc, leftHalf, kWhite));
  EXPECT_FALSE(HasInk(dc, rightHalf, kWhite));
  c.GridCellSetAlignment(kAlignCenter);
  Draw(0, 0, c, r);
  EXPECT_FALSE(HasInk(dc, CRect(0, 0, 80, 19), kWhite));
  EXPECT_FALSE(HasInk(dc, CRect(120, 0, 199, 19), kWhite));
}

TEST_F(NormalFixture, LongTextOverflowsIntoEmptyNeighbour) {
  host.Put(0, 0, Cell("A long piece of text that spills over"));
  host.normal.SetGrid(&host);
  Draw(0, 0, host.Fetch(0, 0), CRect(0, 0, 60, 20));
  EXPECT_EQ(host.hint.IsInHint(1, 0), 1);  // the neighbour is drawn after
  host.hint.ClearHint();
  Draw(1, 0, host.Fetch(1, 0), CRect(60, 0, 120, 20));
  EXPECT_TRUE(HasInk(dc, CRect(60, 1, 118, 18), kWhite));
  EXPECT_EQ(host.hint.IsInHint(2, 0), 1);
  // A centred source does not spill.
  CImageDC fresh(400, 60);
  CGridCellValue centred = Cell("A long piece of text that spills over");
  centred.GridCellSetAlignment(kAlignCenter);
  host.Put(0, 0, centred);
  CGridCellValue neighbour = host.Fetch(1, 0);
  host.normal.DrawCell(fresh, CRect(60, 0, 120, 20), 1, 0, neighbour, false, false);
  EXPECT_FALSE(HasInk(fresh, CRect(60, 1, 118, 18), kWhite));
  // Nor does one with overflow switched off.
  host.Put(0, 0, Cell("A long piece of text that spills over"));
  host.options.textOverflow = 0;
  CImageDC off(400, 60);
  CGridCellValue empty = host.Fetch(1, 0);
  host.normal.DrawCell(off, CRect(60, 0, 120, 20), 1, 0, empty, false, false);
  EXPECT_FALSE(HasInk(off, CRect(60, 1, 118, 18), kWhite));
}

TEST_F(NormalFixture, MultiLineStyleWrapsAndEllipsisStyleEndsInDots) {
  const std::string words = "many short words that need several lines";
  const CRect r(0, 0, 100, 58), lower(0, 30, 99, 57);
  Draw(0, 0, Cell(words), r);
  EXPECT_FALSE(HasInk(dc, lower, kWhite));  // one line, clipped
  CGridCellValue wrapped = Cell(words);
  wrapped.GridCellSetTypeStyle(2);
  Draw(0, 0, wrapped, r);
  EXPECT_TRUE(HasInk(dc, lower, kWhite));
  // Multi-line cells measure their lines; single-line ones one line.
  CSize one(0, 20), two(0, 20);
  CGridCellValue single = Cell("first\nsecond");
  CGridCellValue multi = Cell("first\nsecond");
  multi.GridCellSetTypeStyle(2);
  host.normal.MeasureBestSize(dc, one, single);
  host.normal.MeasureBestSize(dc, two, multi);
  EXPECT_GT(two.cy, one.cy);
  EXPECT_LT(two.cx, one.cx);

  // The end of a text too long for its cell gives way to three dots: low on
  // the line they reach further right than the letters' tops, where the
  // letters of a cut text reach as far up as down.
  const std::string wide(30, 'W');
  const CRect cell(0, 0, 120, 20);
  auto rightmostInk = [](CDC& d, int top, int bottom) {
    int right = -1;
    for (int y = top; y < bottom; ++y)
      for (int x = 0; x < 119; ++x)
        if (d.GetPixel(x, y) != kWhite) right = std::max(right, x);
    return right;
  };
  CImageDC cut(130, 22), dots(130, 22);
  CGridCellValue plainCell = Cell(wide);
  host.normal.DrawCell(cut, cell, 0, 0, plainCell, false, false);
  EXPECT_LE(std::abs(rightmostInk(cut, 1, 8) - rightmostInk(cut, 9, 18)), 2);
  CGridCellValue dotted = Cell(wide);
  dotted.GridCellSetTypeStyle(4);
  host.normal.DrawCell(dots, cell, 0, 0, dotted, false, false);
  EXPECT_GT(rightmostInk(dots, 9, 18), rightmostInk(dots, 1, 8) + 3);
  EXPECT_FALSE(HasInk(dots, CRect(0, 0, 3, 19), kWhite));  // three pixels in from the left
}

TEST_F(NormalFixture, BitmapsThatCannotBeScaledAreSkipped) {
  host.normal.SetGrid(&host);
  CBitmap empty;
  EXPECT_EQ(host.normal.DrawCellBitmap(dc, &empty, CRect(0, 0, 40, 20), kWhite), 0);
  CBitmap small;
  ASSERT_TRUE(small.CreateCompatibleBitmap(10, 10));
  small.image().fill(QColor(255, 0, 0));
  EXPECT_EQ(host.normal.DrawCellBitmap(dc, &small, CRect(0, 0, 40, 3), kWhite),
            0);  // row under 4 px
  EXPECT_EQ(host.normal.DrawCellBitmap(dc, &small, CRect(0, 0, 40, 0), kWhite), 0);  // hidden row
  EXPECT_EQ(host.normal.DrawCellBitmap(dc, &small, CRect(0, 0, 40, 20), kWhite), 14);
  EXPECT_EQ(dc.GetPixel(2, 5), RGB(255, 0, 0));  // 2 px margin, vertically centred
  EXPECT_EQ(dc.GetPixel(1, 5), kWhite);
  CBitmap tall;
  ASSERT_TRUE(tall.CreateCompatibleBitmap(30, 40));
  tall.image().fill(QColor(0, 0, 255));
  // Shrunk to 16 high: 30 x 40% = 12 wide.
  EXPECT_EQ(host.normal.DrawCellBitmap(dc, &tall, CRect(0, 20, 60, 40), kWhite), 16);
  EXPECT_EQ(dc.GetPixel(2, 22), RGB(0, 0, 255));
  EXPECT_EQ(dc.GetPixel(2, 38), kWhite);
}

TEST_F(NormalFixture, ScaledDrawingGivesTheCellItsFontBack) {
  host.normal.SetGrid(&host);
  CFont font;
  LOGFONT lf{};
  lf.lfHeight = -12;
  ASSERT_TRUE(font.CreateFontIndirect(&lf));
  CGridCellValue c = Cell("scaled");
  c.GridCellSetFont(&font);
  host.normal.DrawScaled(dc, CRect(0, 0, 120, 40), 0, 0, c);
  EXPECT_EQ(c.GridCellGetFont(), &font);
  CGridCellValue plain = Cell("plain");
  host.defaultFont = &font;
  host.normal.DrawScaled(dc, CRect(0, 0, 120, 40), 0, 0, plain);
  EXPECT_FALSE(plain.GridCellHasFlag(GridProp::Font));
  host.rowHeight = 0;  // a hidden row: nothing to scale by
  host.normal.DrawScaled(dc, CRect(0, 0, 120, 40), 0, 0, plain);
  EXPECT_EQ(host.normal.GetScaleFactor(), 1.0);
}

// ---- check box and radio ----------------------------------------------------------

struct CheckFixture : ::testing::Test {
  FakeCellHost host;
  CCheckBoxCellType check;
  int index = 0;
  const CRect rect{0, 0, 60, 20};
  void SetUp() override { index = host.Register(&check); }
  CGridCellValue Box(double value, std::int32_t style = 0) {
    CGridCellValue c;
    c.GridCellSetCellType(index);
    c.GridCellSetNumber(value);
    if (style) c.GridCellSetTypeStyle(style);
    return c;
  }
  double Value() { return host.Fetch(0, 0).GridCellGetNumber(); }
};

TEST_F(CheckFixture, ClicksInTheBoxToggleAndReport53) {
  host.Put(0, 0, Box(0));
  CGridCellValue unchecked = Box(0);
  const CRect box = CCheckBoxCellType::BoxRect(rect, unchecked);
  EXPECT_EQ(box, CRect(3, 4, 15, 16));
  const CPoint in(box.left + 2, box.top + 2);
  EXPECT_EQ(check.HandleLeftClick(0, 0, 1, rect, in), 1);
  EXPECT_EQ(Value(), 1.0);
  ASSERT_EQ(host.events.size(), 1u);
  EXPECT_EQ(host.events[0].msg, 53);
  EXPECT_EQ(host.events[0].param, 1);
  EXPECT_EQ(host.events[0].type, index);
  EXPECT_EQ(check.HandleLeftClick(0, 0, 0, rect, in), 0);  // the release does nothing
  EXPECT_EQ(check.HandleDoubleClick(0, 0, rect, in), 1);
  EXPECT_EQ(Value(), 0.0);
  EXPECT_EQ(check.HandleLeftClick(0, 0, 1, rect, CPoint(40, 10)), 0);  // on the caption
  EXPECT_EQ(Value(), 0.0);
  int space = ' ';
  EXPECT_EQ(check.HandleChar(0, 0, space), 1);
  EXPECT_EQ(Value(), 1.0);
  EXPECT_EQ(host.events.back().msg, 53);
  EXPECT_FALSE(host.repaints.empty());
}

TEST_F(CheckFixture, StateCyclesAndReadOnly) {
  const CPoint in(6, 8);
  host.Put(0, 0, Box(0, CCheckBoxCellType::kThreeState));
  std::string seen;
  for (int i = 0; i < 3; ++i) {
    check.HandleLeftClick(0, 0, 1, rect, in);
    seen += std::to_string(int(Value()));
  }
  EXPECT_EQ(seen, "120");
  host.Put(0, 0, Box(2));
  check.HandleLeftClick(0, 0, 1, rect, in);
  EXPECT_EQ(Value(), 1.0);
  CGridCellValue ro = Box(1);
  ro.GridCellSetReadOnly(true);
  host.Put(0, 0, ro);
  host.events.clear();
  int space = ' ';
  EXPECT_EQ(check.HandleLeftClick(0, 0, 1, rect, in), 0);
  EXPECT_EQ(check.HandleChar(0, 0, space), 0);
  EXPECT_EQ(Value(), 1.0);
  EXPECT_TRUE(host.events.empty());
}

TEST_F(CheckFixture, DrawsBoxMarkAndDither) {
  CImageDC dc(100, 40);
  CGridCellValue c = Box(0);
  check.DrawCell(dc, rect, 0, 0, c, false, false);
  EXPECT_EQ(dc.GetPixel(8, 4), kBlack);  // frame of the box (3,4)-(15,16)
  EXPECT_EQ(dc.GetPixel(3, 10), kBlack);
  EXPECT_EQ(dc.GetPixel(14, 10), kBlack);
  EXPECT_EQ(dc.GetPixel(8, 15), kBlack);
  EXPECT_EQ(dc.GetPixel(9, 10), kWhite);  // empty inside
  CGridCellValue on = Box(1);
  check.DrawCell(dc, rect, 0, 0, on, false, false);
  EXPECT_EQ(dc.GetPixel(9, 10), kBlack);  // the cross passes the centre
  CGridCellValue ro = Box(0);
  ro.GridCellSetReadOnly(true);
  check.DrawCell(dc, rect, 0, 0, ro, false, false);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_TRUE(dc.GetPixel(8, 10) == face || dc.GetPixel(9, 10) == face);
  // Ten pixels high: side 4, no box at all.
  CImageDC low(100, 40);
  CGridCellValue tiny = Box(1);
  check.DrawCell(low, CRect(0, 0, 60, 10), 0, 0, tiny, false, false);
  EXPECT_FALSE(HasInk(low, CRect(0, 0, 20, 9), kWhite));
}

TEST_F(CheckFixture, BestSize) {
  CImageDC dc(10, 10);
  CGridCellValue boxOnly = Box(1, CCheckBoxCellType::kBoxOnly);
  CSize size(0, 0);
  check.MeasureBestSize(dc, size, boxOnly);
  EXPECT_EQ(size, CSize(18, 2));
  CGridCellValue captioned = Box(1);
  captioned.GridCellSetLabel("Caption");
  check.MeasureBestSize(dc, size, captioned);
  EXPECT_GT(size.cx, 24);
}

struct RadioFixture : ::testing::Test {
  FakeCellHost host;
  CRadioCellType radio;
  int index = 0;
  int lineH = 0;
  const CRect rect{0, 0, 100, 60};
  void SetUp() override {
    index = host.Register(&radio);
    CImageDC dc(1, 1);
    lineH = dc.GetTextExtent("X").cy;
  }
  void PutRadio(const std::string& label, double value, bool readOnly = false) {
    CGridCellValue c;
    c.GridCellSetCellType(index);
    c.GridCellSetLabel(label);
    c.GridCellSetNumber(value);
    if (readOnly) c.GridCellSetReadOnly(true);
    host.Put(0, 0, c);
  }
  double Value() { return host.Fetch(0, 0).GridCellGetNumber(); }
};

TEST_F(RadioFixture, ClicksChooseLinesAndReport100) {
  PutRadio("one\ntwo\nthree", 0);  // "three" has no newline: two options
  EXPECT_EQ(radio.HandleLeftClick(0, 0, 1, rect, CPoint(10, lineH + 1)), 1);
  EXPECT_EQ(Value(), 1.0);
  ASSERT_EQ(host.events.size(), 1u);
  EXPECT_EQ(host.events[0].msg, 100);
  EXPECT_EQ(host.events[0].param, 1);
  const int stores = host.stores;
  EXPECT_EQ(radio.HandleLeftClick(0, 0, 1, rect, CPoint(10, lineH + 1)), 1);  // already chosen
  EXPECT_EQ(host.stores, stores);
  EXPECT_EQ(host.events.size(), 2u);
  EXPECT_EQ(radio.HandleLeftClick(0, 0, 1, rect, CPoint(10, 2 * lineH + 1)), 0);  // the third line
  EXPECT_EQ(radio.HandleLeftClick(0, 0, 0, rect, CPoint(10, 1)), 0);
}

TEST_F(RadioFixture, SpaceWrapsAndIgnoresReadOnlyAndEmpty) {
  PutRadio("a\nb\nc\n", 2);
  int key = VK_SPACE;
  EXPECT_EQ(radio.HandleKeyDown(0, 0, key), 1);
  EXPECT_EQ(Value(), 0.0);
  EXPECT_EQ(host.events.back().param, 0);
  PutRadio("a\nb\n", 0, true);
  EXPECT_EQ(radio.HandleKeyDown(0, 0, key), 0);
  EXPECT_EQ(Value(), 0.0);
  PutRadio("no options", 0);
  EXPECT_EQ(radio.HandleKeyDown(0, 0, key), 0);
  PutRadio("a\nb\n", 1e300);  // a wild stored value wraps to the first option
  EXPECT_EQ(radio.HandleKeyDown(0, 0, key), 1);
  EXPECT_EQ(Value(), 0.0);
  PutRadio("a\nb\n", 0, true);
  EXPECT_EQ(radio.HandleLeftClick(0, 0, 1, rect, CPoint(10, lineH + 1)), 0);
}

TEST_F(RadioFixture, DrawsTheChosenDot) {
  PutRadio("a\nb\n", 1);
  CImageDC dc(120, 80);
  CGridCellValue c = host.Fetch(0, 0);
  radio.DrawCell(dc, rect, 0, 0, c, false, false);
  const int cx = (3 + lineH) / 2;
  EXPECT_EQ(dc.GetPixel(cx, 1 + lineH + lineH / 2), kBlack);  // dot of option 1
  EXPECT_EQ(dc.GetPixel(cx, 1 + lineH / 2), kWhite);          // hollow option 0
}

// ---- side arrows, ellipsis, labeled -----------------------------------------------

TEST(SideArrows, StyleChoosesTheArrow) {
  EXPECT_EQ(CSideArrowsCellType::ArrowKind(0), 1);
  EXPECT_EQ(CSideArrowsCellType::ArrowKind(0x30), 1);
  EXPECT_EQ(CSideArrowsCellType::ArrowKind(0x20), 2);
  EXPECT_EQ(CSideArrowsCellType::ArrowKind(0x40), 3);
  EXPECT_EQ(CSideArrowsCellType::ArrowKind(0x80), 4);
  EXPECT_EQ(CSideArrowsCellType::ArrowKind(0x100), 0);
  FakeCellHost host;
  CSideArrowsCellType arrows;
  host.Register(&arrows);
  CImageDC dc(60, 30);
  for (auto [style, width] : {std::pair{0x40, 14}, {0x80, 14}, {0x50, 10}, {0, 10}}) {
    CGridCellValue c;
    c.GridCellSetTypeStyle(style);
    CSize size(0, 20);
    arrows.MeasureBestSize(dc, size, c);
    EXPECT_EQ(size.cx, width) << style;
  }
  CGridCellValue right;
  arrows.DrawCell(dc, CRect(0, 0, 40, 20), 0, 0, right, false, false);
  // Inner (0,0,39,19): middle row 9, arrow from x 17: strokes 7, 5, 3, 1.
  EXPECT_EQ(dc.GetPixel(17, 6), kBlack);
  EXPECT_EQ(dc.GetPixel(17, 12), kBlack);
  EXPECT_EQ(dc.GetPixel(20, 9), kBlack);
  EXPECT_EQ(dc.GetPixel(20, 8), kWhite);
  EXPECT_EQ(dc.GetPixel(18, 6), kWhite);
}

TEST(Ellipsis, NotifiesOnlyForAReleaseOnTheButton) {
  FakeCellHost host;
  CEllipsisCellType ellipsis;
  host.Register(&ellipsis);
  const int bw = GetSystemMetrics(SM_CXVSCROLL);
  const CRect rect(0, 0, 100, 20);
  const CPoint onButton(100 - bw / 2, 10), off(30, 10);
  EXPECT_EQ(ellipsis.HandleLeftClick(0, 0, 1, rect, onButton), 1);
  EXPECT_TRUE(ellipsis.IsPressed());
  EXPECT_EQ(ellipsis.HandleLeftClick(0, 0, 0, rect, onButton), 1);
  ASSERT_EQ(host.events.size(), 1u);
  EXPECT_EQ(host.events[0].msg, 100);
  ellipsis.HandleLeftClick(0, 0, 1, rect, onButton);
  ellipsis.HandleMouseMove(0, 0, off, MK_LBUTTON);
  EXPECT_FALSE(ellipsis.IsPressed());
  ellipsis.HandleMouseMove(0, 0, onButton, MK_LBUTTON);
  EXPECT_TRUE(ellipsis.IsPressed());
  ellipsis.HandleMouseMove(0, 0, off, MK_LBUTTON);
  EXPECT_EQ(ellipsis.HandleLeftClick(0, 0, 0, rect, off), 1);
  EXPECT_EQ(host.events.size(), 1u);
  EXPECT_EQ(ellipsis.HandleLeftClick(0, 0, 1, rect, off), 0);
  EXPECT_EQ(ellipsis.HandleDoubleClick(0, 0, rect, onButton), 1);
  CRect edit(0, 0, 100, 20);
  ellipsis.GetEditRect(edit);
  EXPECT_EQ(edit.right, 100 - bw - 1);
}

TEST(Ellipsis, DrawsItsButtonRightOfTheTextAndSunkenWhilePressed) {
  FakeCellHost host;
  CEllipsisCellType ellipsis;
  host.Register(&ellipsis);
  const int bw = GetSystemMetrics(SM_CXVSCROLL);
  const CRect rect(0, 0, 100, 20);
  // Inner (0,0,99,19) with the grid lines; the button takes its right end.
  const CRect button(99 - bw, 0, 99, 19);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  CImageDC dc(120, 30);
  CGridCellValue c = Cell(std::string(40, 'W'));
  ellipsis.DrawCell(dc, rect, 0, 0, c, false, true);
  EXPECT_EQ(dc.GetPixel(button.left + 3, 5), face);
  EXPECT_EQ(dc.GetPixel(button.left, 5), GetSysColor(COLOR_BTNHIGHLIGHT));  // raised
  // Three dots of two pixels at three quarters of the height; the long
  // text stops before the button.
  int black = 0;
  for (int y = button.top; y < button.bottom; ++y)
    for (int x = button.left - 1; x < button.right; ++x)
      if (dc.GetPixel(x, y) == kBlack) ++black;
  EXPECT_EQ(black, 6);
  const int dotsY = button.top + button.Height() * 3 / 4 - 1;
  EXPECT_EQ(dc.GetPixel(button.left + button.Width() / 2, dotsY), kBlack);
  EXPECT_EQ(dc.GetPixel(button.left + button.Width() / 2, dotsY + 1), kBlack);
  // Pressed on the current cell the frame is sunken.
  EXPECT_EQ(ellipsis.HandleLeftClick(0, 0, 1, rect, CPoint(95, 10)), 1);
  ellipsis.DrawCell(dc, rect, 0, 0, c, false, true);
  EXPECT_EQ(dc.GetPixel(button.left, 5), GetSysColor(COLOR_BTNSHADOW));
  // Style 0x200 shows the button on the current cell only.
  CImageDC plain(120, 30);
  c.GridCellSetTypeStyle(0x200);
  ellipsis.DrawCell(plain, rect, 1, 1, c, false, false);
  EXPECT_NE(plain.GetPixel(button.left + 3, 5), face);
  CSize size(0, 20), withButton(0, 20);
  ellipsis.MeasureBestSize(plain, size, c);
  c.GridCellSetTypeStyle(0);
  ellipsis.MeasureBestSize(plain, withButton, c);
  EXPECT_EQ(withButton.cx, size.cx + bw);
}

TEST(SortArrow, PointsDownOrUpInItsOwnStripAndKeepsTheHeadingColours) {
  FakeCellHost host;
  CSortArrowCellType sort;
  host.Register(&sort);
  const int aw = GetSystemMetrics(SM_CXVSCROLL);
  const COLORREF grey = RGB(192, 192, 192);
  const CRect rect(0, 0, 100, 21);
  // Inner (0,0,99,20): middle row 10; arrow strip from 99 - aw.
  const int left = 99 - aw, q = aw / 4, cx = left + aw / 2;
  CGridCellValue c = Cell(std::string(40, 'W'));
  c.GridCellSetBackColor(grey);
  CImageDC down(120, 30);
  sort.DrawCell(down, rect, 0, -1, c, true, true);
  EXPECT_EQ(down.GetPixel(cx, 10 - q), kBlack);                // flat top edge
  EXPECT_EQ(down.GetPixel(left + q + 1, 10 - q + 1), kBlack);  // left edge black
  EXPECT_EQ(down.GetPixel(99 - q - 1, 10 - q + 1), kWhite);    // right edge white
  EXPECT_EQ(down.GetPixel(cx, 10 + q + 2), grey);              // nothing below the apex
  EXPECT_EQ(down.GetPixel(left + 1, 2), grey);  // selected or not, the cell's own colour
  // The text stops where the arrow's strip begins.
  for (int y = 0; y < 20; ++y)
    for (int x = left; x < left + q; ++x) EXPECT_EQ(down.GetPixel(x, y), grey) << x << "," << y;
  c.GridCellSetTypeStyle(CSortArrowCellType::kPointsUp);
  CImageDC up(120, 30);
  sort.DrawCell(up, rect, 0, -1, c, false, false);
  EXPECT_EQ(up.GetPixel(cx, 10 + q), kWhite);  // flat bottom edge
  EXPECT_EQ(up.GetPixel(cx, 10 - q - 2), grey);
  CSize size(0, 20), plain(0, 20);
  sort.MeasureBestSize(up, size, c);
  host.normal.MeasureBestSize(up, plain, c);
  EXPECT_EQ(size.cx, plain.cx + aw);
}

TEST(Labeled, EditorStartsBelowTheLabel) {
  FakeCellHost host;
  CLabeledCellType labeled;
  host.Register(&labeled);
  CRect edit(0, 10, 100, 40);
  labeled.GetEditRect(edit);
  EXPECT_EQ(edit.top, 22);
  CImageDC dc(120, 50);
  CGridCellValue c;
  c.GridCellSetLabel("Small");
  c.GridCellSetText("Value");
  labeled.DrawCell(dc, CRect(0, 0, 100, 40), 0, 0, c, false, false);
  EXPECT_TRUE(HasInk(dc, CRect(0, 0, 99, 12), kWhite));
}

// ---- drop list ---------------------------------------------------------------------

struct DropFixture : ::testing::Test {
  FakeCellHost host;
  CDropListCellType drop;
  int index = 0;
  int bw = GetSystemMetrics(SM_CXVSCROLL);
  const CRect rect{0, 0, 60, 20};
  void SetUp() override {
    index = host.Register(&drop);
    PutList("red\ngreen\nblue\ntail");
  }
  void PutList(const std::string& label, bool readOnly = false) {
    CGridCellValue c;
    c.GridCellSetCellType(index);
    c.GridCellSetLabel(label);
    if (readOnly) c.GridCellSetReadOnly(true);
    host.Put(0, 0, c);
  }
  CPoint Button() const { return CPoint(rect.right - bw / 2, 10); }
};

TEST_F(DropFixture, ButtonOpensAListOfTheLabelLines) {
  EXPECT_EQ(drop.HandleLeftClick(0, 0, 1, rect, Button()), 1);
  ASSERT_EQ(host.dropShows, 1);
  EXPECT_EQ(host.dropChoices, (std::vector<std::string>{"red", "green", "blue"}));
  ASSERT_EQ(host.events.size(), 1u);
  EXPECT_EQ(host.events[0].msg, 100);
  const int ih = CDropListCellType::ItemHeight(nullptr);
  EXPECT_EQ(host.dropRect, CRect(0, 20, 60, 20 + 3 * ih + 6));  // at the cell's left edge
  // The same button again closes it.
  EXPECT_EQ(drop.HandleLeftClick(0, 0, 1, rect, Button()), 1);
  EXPECT_FALSE(host.dropShowing);
  EXPECT_EQ(drop.GetDropColumn(), -1);
}

TEST_F(DropFixture, VetoRefusedMoveAndReadOnlyKeepItClosed) {
  host.eventAnswer = 0;
  drop.HandleLeftClick(0, 0, 1, rect, Button());
  EXPECT_EQ(host.dropShows, 0);
  drop.HandleLeftClick(0, 0, 0, rect, Button());
  host.eventAnswer = 1;
  host.events.clear();
  host.curCol = 3;
  host.moveResult = 2;
  drop.HandleLeftClick(0, 0, 1, rect, Button());
  EXPECT_EQ(host.dropShows, 0);
  EXPECT_TRUE(host.events.empty());  // the owner is not even asked
  EXPECT_FALSE(drop.IsPressed());
  host.moveResult = 0;
  PutList("a\nb\n", true);
  drop.HandleLeftClick(0, 0, 1, rect, Button());
  EXPECT_EQ(host.dropShows, 0);
}

TEST_F(DropFixture, KeysAndCharacters) {
  int key = VK_DOWN;
  EXPECT_EQ(drop.HandleKeyDown(0, 0, key), 0);  // Down alone moves the current cell
  EXPECT_EQ(host.dropShows, 0);
  host.modifiers = MK_CONTROL;
  EXPECT_EQ(drop.HandleKeyDown(0, 0, key), 1);
  EXPECT_EQ(key, 0);
  EXPECT_EQ(host.dropShows, 1);
  host.dropShowing = false;
  host.modifiers = 0;
  key = VK_RETURN;
  EXPECT_EQ(drop.HandleKeyDown(0, 0, key), 1);
  EXPECT_EQ(host.dropShows, 2);
  int ch = '(';
  EXPECT_EQ(drop.HandleChar(0, 0, ch), 0);
  ch = '\r';
  EXPECT_EQ(drop.HandleChar(0, 0, ch), 1);
  host.options.multipleSelection = 1;
  host.modifiers = MK_SHIFT;
  host.dropShowing = false;
  EXPECT_EQ(drop.HandleLeftClick(0, 0, 1, rect, Button()), 1);
  EXPECT_EQ(host.dropShows, 2);
}

TEST_F(DropFixture, ListIsCappedAndOpensUnderTheCellAtItsLeftEdge) {
  std::string twenty;
  for (int i = 0; i < 20; ++i) twenty += "item" + std::to_string(i) + "\n";
  PutList(twenty);
  drop.HandleLeftClick(0, 0, 1, rect, Button());
  const int ih = CDropListCellType::ItemHeight(nullptr);
  EXPECT_EQ(host.dropChoices.size(), 20u);
  EXPECT_EQ(host.dropRect.Height(), 15 * ih + 6);
  // Near the end of the cell area it still opens under the cell: the list
  // is a pop-up of its own and may reach past the grid.
  EXPECT_EQ(CDropListCellType::ListRect(CRect(500, 180, 560, 200), 5, 10),
            CRect(500, 200, 560, 256));
  EXPECT_EQ(CDropListCellType::ListRect(CRect(0, 20, 60, 40), 15, 20), CRect(0, 40, 60, 346));
}

TEST_F(DropFixture, ItemHeightFollowsTheListFont) {
  CFont big, small;
  LOGFONT lf{};
  lf.lfHeight = -24;
  ASSERT_TRUE(big.CreateFontIndirect(&lf));
  lf.lfHeight = -10;
  ASSERT_TRUE(small.CreateFontIndirect(&lf));
  const int hb = CDropListCellType::ItemHeight(&big), hs = CDropListCellType::ItemHeight(&small);
  EXPECT_GE(hb, 24);
  EXPECT_LT(hb, 40);
  EXPECT_GE(hs, 10);
  EXPECT_LT(hs, hb);
}

TEST_F(DropFixture, DrawsTheArrowInTheButton) {
  CImageDC dc(100, 40);
  CGridCellValue c = host.Fetch(0, 0);
  const CRect cell(0, 0, 100, 20);
  drop.DrawCell(dc, cell, 0, 0, c, false, false);
  // Inner (0,0,99,19); button (99-bw, 0, 99, 19); rows 5, 3, 1 from the middle.
  const int left = 99 - bw, cx = left + bw / 2, top = 19 / 2 - 1;
  EXPECT_EQ(dc.GetPixel(cx - 2, top), kBlack);
  EXPECT_EQ(dc.GetPixel(cx + 2, top), kBlack);
  EXPECT_EQ(dc.GetPixel(cx, top + 2), kBlack);
  EXPECT_EQ(dc.GetPixel(cx - 1, top + 2), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(dc.GetPixel(cx + 3, top), GetSysColor(COLOR_BTNFACE));
  PutList("a\n", true);
  CGridCellValue ro = host.Fetch(0, 0);
  drop.DrawCell(dc, cell, 0, 0, ro, false, false);
  EXPECT_EQ(dc.GetPixel(cx, top), RGB(128, 128, 128));
  // Only on the current cell with style 0x200.
  CImageDC plain(100, 40);
  CGridCellValue onlyCurrent = host.Fetch(0, 0);
  onlyCurrent.GridCellSetTypeStyle(CDropListCellType::kButtonOnCurrentOnly);
  drop.DrawCell(plain, cell, 0, 0, onlyCurrent, false, false);
  EXPECT_EQ(plain.GetPixel(cx, top), kWhite);
}

}  // namespace

namespace {

struct PrintingHost : FakeCellHost {
  CGridPrintInfo info;
  const CGridPrintInfo* GetPrintInfo(CDC&) override { return &info; }
};

TEST(Printing, LongTextSpillsUpToTheLastPrintedColumn) {
  PrintingHost host;
  host.normal.SetGrid(&host);
  const std::string longText = "A long piece of text that spills over several columns";
  CGridCellValue c;
  c.GridCellSetText(longText);
  host.Put(0, 0, c);
  CImageDC dc(400, 40);
  CGridCellValue cell = host.Fetch(0, 0);
  host.normal.DrawCell(dc, CRect(0, 0, 60, 20), 0, 0, cell, false, false);
  EXPECT_TRUE(HasInk(dc, CRect(61, 1, 118, 18), kWhite));  // into the empty next column
  host.info.m_lastPrintedColumn = 0;
  CImageDC clipped(400, 40);
  CGridCellValue again = host.Fetch(0, 0);
  host.normal.DrawCell(clipped, CRect(0, 0, 60, 20), 0, 0, again, false, false);
  EXPECT_FALSE(HasInk(clipped, CRect(61, 1, 118, 18), kWhite));
  // A filled neighbour stops the spill.
  host.info.m_lastPrintedColumn = -1;
  CGridCellValue n;
  n.GridCellSetText("x");
  host.Put(1, 0, n);
  CImageDC blocked(400, 40);
  CGridCellValue third = host.Fetch(0, 0);
  host.normal.DrawCell(blocked, CRect(0, 0, 60, 20), 0, 0, third, false, false);
  EXPECT_FALSE(HasInk(blocked, CRect(61, 1, 118, 18), kWhite));
}

}  // namespace
