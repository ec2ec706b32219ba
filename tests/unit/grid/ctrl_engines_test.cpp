#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "ctrl_recording_grid.h"
#include "grid/gridmaskengine.h"
#include "grid/gridscrollbarmath.h"
#include "grid/gridselectionset.h"
#include "grid/gridsort.h"
#include "grid/gridtabwndmath.h"

namespace {

// ---- masked edit ----

std::string TypeAll(const CGridMaskEngine& m, const std::string& keys, std::string text = "") {
  int caret = static_cast<int>(text.size());
  for (char k : keys) m.TypeChar(text, caret, caret, static_cast<unsigned char>(k), caret);
  return text;
}

TEST(GridMaskEngine, LiteralsAreInsertedAndClassesChecked) {
  CGridMaskEngine m;
  m.SetMask("00-00");
  EXPECT_EQ(m.Positions(), 5);
  EXPECT_EQ(TypeAll(m, "1234"), "12-34");
  EXPECT_EQ(TypeAll(m, "12345"), "12-34");  // a fifth digit has no position
  EXPECT_EQ(TypeAll(m, "1a2"), "12");       // the letter is refused

  std::string text = "12-34";
  int caret = 0;
  EXPECT_FALSE(m.TypeChar(text, 5, 5, '5', caret));
  // Typing over a selection replaces it.
  EXPECT_TRUE(m.TypeChar(text, 0, 1, '9', caret));
  EXPECT_EQ(text, "92-34");
  EXPECT_EQ(caret, 1);
}

TEST(GridMaskEngine, BackslashMakesALiteral) {
  CGridMaskEngine m;
  m.SetMask("\\0AA");
  EXPECT_EQ(m.Positions(), 3);
  EXPECT_TRUE(m.IsLiteral(0));
  EXPECT_FALSE(m.IsLiteral(1));
  EXPECT_EQ(m.LiteralTemplate()[0], '0');
  EXPECT_EQ(m.ClassString()[1], 'A');
  EXPECT_EQ(TypeAll(m, "x7"), "0x7");
  EXPECT_EQ(TypeAll(m, "-"), "0");  // literal typed, '-' refused by "A"
}

TEST(GridMaskEngine, ClassesAcceptWhatTheyShould) {
  struct Case {
    char cls;
    const char* ok;
    const char* bad;
  } cases[] = {
      {'0', "09", "a -+"},   {'9', "5 ", "a-"},     {'#', "5 +-", "a."},
      {'L', "aZ\xE9", "1 "}, {'?', "a ", "1"},      {'A', "a1", " -"},
      {'a', "a1 ", "-"},     {'&', "-x !", "\x01"}, {'C', "~ ", "\x7F"},
  };
  for (const auto& c : cases) {
    for (const char* p = c.ok; *p; ++p)
      EXPECT_TRUE(CGridMaskEngine::Fits(c.cls, *p)) << c.cls << " " << *p;
    for (const char* p = c.bad; *p; ++p)
      EXPECT_FALSE(CGridMaskEngine::Fits(c.cls, *p)) << c.cls << " " << *p;
  }
}

TEST(GridMaskEngine, ReformatFitsATextToTheMask) {
  CGridMaskEngine m;
  m.SetMask("00-00");
  EXPECT_EQ(m.Reformat("1234"), "12-34");
  EXPECT_EQ(m.Reformat("12-34"), "12-34");  // already formatted stays
  EXPECT_EQ(m.Reformat("1a2b3"), "12-3");
  EXPECT_EQ(m.Reformat(""), "");
  m.SetMask("&&-&&");
  EXPECT_EQ(m.Reformat("ab-cd"), "ab-cd");
  m.SetMask("");
  EXPECT_FALSE(m.Enabled());
  EXPECT_EQ(m.Reformat("free text"), "free text");
  EXPECT_EQ(TypeAll(m, "anything"), "anything");
}

TEST(GridMaskEngine, TheOwnerMayRefuseOrChangeACharacter) {
  CGridMaskEngine m;
  m.SetMask("LLL");
  std::string text;
  int caret = 0;
  auto upper = [](unsigned char& ch) {
    if (ch == 'q') return false;
    ch = static_cast<unsigned char>(std::toupper(ch));
    return true;
  };
  EXPECT_TRUE(m.TypeChar(text, 0, 0, 'a', caret, upper));
  EXPECT_FALSE(m.TypeChar(text, caret, caret, 'q', caret, upper));
  EXPECT_EQ(text, "A");
}

// ---- scroll-bar arithmetic ----

TEST(GridScrollBars, VerticalRangeAndScaling) {
  auto s = GridComputeVertBar(50, 2, 200, 20);
  EXPECT_FALSE(s.scaled);
  EXPECT_EQ(s.minPos, 2);
  EXPECT_EQ(s.page, 10);
  EXPECT_EQ(s.maxPos, 59);
  EXPECT_EQ(GridComputeVertBar(50, 0, 200, 0).page, 200);  // height below 1 counts as 1

  auto big = GridComputeVertBar(1980, 0, 200, 20);
  EXPECT_TRUE(big.scaled);
  EXPECT_EQ(big.maxPos, 1000);
  EXPECT_EQ(GridVertBarRowForPos(big, 500), 990);
  EXPECT_EQ(GridVertBarRowForPos(big, 1000), 1980);
  EXPECT_EQ(GridVertBarPosForRow(big, 990), 500);
  // Huge counts neither overflow nor lose the ends.
  auto huge = GridComputeVertBar(2000000000, 0, 200, 20);
  EXPECT_EQ(GridVertBarRowForPos(huge, 1000), 2000000000);
  EXPECT_EQ(GridVertBarPosForRow(huge, 2000000000), 1000);
  EXPECT_EQ(GridComputeVertBar(1000, 0, 200, 20).scaled, false);
}

TEST(GridScrollBars, HorizontalPageNeverDividesByZero) {
  auto s = GridComputeHorzBar(10, 1, 300, 50, 0);
  EXPECT_EQ(s.page, 250);
  auto n = GridComputeHorzBar(10, 1, 300, 50, 50);
  EXPECT_EQ(n.page, 5);
  EXPECT_EQ(n.maxPos, 10 + 5 - 1 - 1);
}

// ---- tab strip ----

TEST(GridSheetTabs, HitSpansIncludeTheGapAndFollowTheScroll) {
  const std::vector<int> widths = {40, 60, 30};  // lefts 34, 76, 138 with a 34 bar
  EXPECT_EQ(gridtabs::TabLefts(widths, 34, 0), (std::vector<int>{34, 76, 138}));
  EXPECT_EQ(gridtabs::HitTest(widths, 34, 0, 33), -1);
  EXPECT_EQ(gridtabs::HitTest(widths, 34, 0, 34), 0);
  EXPECT_EQ(gridtabs::HitTest(widths, 34, 0, 76), 0);  // shared edge: the first tab
  EXPECT_EQ(gridtabs::HitTest(widths, 34, 0, 77), 1);
  EXPECT_EQ(gridtabs::HitTest(widths, 34, 0, 170), 2);
  EXPECT_EQ(gridtabs::HitTest(widths, 34, 0, 171), -1);
  EXPECT_EQ(gridtabs::HitTest(widths, 34, 42, 35), 1);
}

TEST(GridSheetTabs, ScrollingBringsAClickedTabIntoView) {
  const std::vector<int> widths = {80, 80, 80, 80};
  EXPECT_EQ(gridtabs::MaxOffset(widths, 34, 500), 0);
  int max = gridtabs::MaxOffset(widths, 34, 200);
  EXPECT_EQ(max, 320 + 34 - 200 + 20);
  int off = gridtabs::OffsetToShow(widths, 34, 200, 0, 2);
  int left = gridtabs::TabLefts(widths, 34, off)[2];
  EXPECT_LE(left + 80 + 2 + 19, 200);
  EXPECT_EQ(gridtabs::OffsetToShow(widths, 34, 200, 0, 3), max);  // never past the end
  off = gridtabs::OffsetToShow(widths, 34, 200, off, 0);
  EXPECT_EQ(off, 0);  // clamped at 0
  off = gridtabs::OffsetToShow(widths, 34, 200, max, 1);
  EXPECT_GE(gridtabs::TabLefts(widths, 34, off)[1], 34 + 5);
}

// ---- ordering of cells ----

CGridCellValue Text(const char* t) {
  CGridCellValue c;
  if (t) c.GridCellSetText(t);
  return c;
}

CGridCellValue Number(double v) {
  CGridCellValue c;
  c.GridCellSetNumber(v);
  c.GridCellSetDataType(kGridNumber);
  return c;
}

TEST(GridCompare, EmptyTextsAreEqualAndTheOrderIsConsistent) {
  CGridCellValue e1 = Text(nullptr), e2 = Text(""), a = Text("a"), b = Text("B");
  EXPECT_EQ(SheetGridCompareCells(&e1, &e2, 1), 0);
  EXPECT_EQ(SheetGridCompareCells(&e2, &e1, 2), 0);
  EXPECT_EQ(SheetGridCompareCells(&a, &e1, 1), -1);
  EXPECT_EQ(SheetGridCompareCells(&e1, &a, 1), 1);
  EXPECT_EQ(SheetGridCompareCells(&b, &a, 1), -1);  // byte order: upper case first
  EXPECT_EQ(SheetGridCompareCells(&b, &a, 2), 1);
  EXPECT_EQ(SheetGridCompareCells(nullptr, nullptr, 2), 0);
  EXPECT_EQ(SheetGridCompareCells(nullptr, &a, 2), 1);
  EXPECT_EQ(SheetGridCompareCells(&a, nullptr, 2), -1);

  // Antisymmetric and transitive over a mixed set, so any sort is defined.
  std::vector<CGridCellValue> cells = {Text("b"),     Text(""),  Text("B"),
                                       Text(nullptr), Text("a"), Text("ab")};
  for (int flags : {1, 2}) {
    for (auto& x : cells) {
      for (auto& y : cells) {
        EXPECT_EQ(SheetGridCompareCells(&x, &y, flags), -SheetGridCompareCells(&y, &x, flags));
        for (auto& z : cells) {
          if (SheetGridCompareCells(&x, &y, flags) <= 0 &&
              SheetGridCompareCells(&y, &z, flags) <= 0) {
            EXPECT_LE(SheetGridCompareCells(&x, &z, flags), 0);
          }
        }
      }
    }
  }
}

TEST(GridCompare, SortingThroughTheGridUsesTheHook) {
  RecordingGrid g(2, 3);
  EXPECT_EQ(g.SetCell(0, 0, Number(1)), kGridOk);
  EXPECT_EQ(g.SetCell(0, 1, Number(10)), kGridOk);
  EXPECT_EQ(g.SetCell(0, 2, Number(2)), kGridOk);
  EXPECT_EQ(g.SetCellText(1, 0, "b"), kGridOk);
  EXPECT_EQ(g.SetCellText(1, 1, "B"), kGridOk);
  EXPECT_EQ(g.SetCellText(1, 2, "a"), kGridOk);
  EXPECT_EQ(g.SortRows(0, 2), kGridOk);
  EXPECT_EQ(*g.GetCellText(0, 0), "10");
  EXPECT_EQ(*g.GetCellText(0, 1), "2");
  EXPECT_EQ(*g.GetCellText(0, 2), "1");
  EXPECT_EQ(g.SortRows(1, 1), kGridOk);
  EXPECT_EQ(*g.GetCellText(1, 0), "B");
  EXPECT_EQ(*g.GetCellText(1, 1), "a");
  EXPECT_EQ(*g.GetCellText(1, 2), "b");

  // Rows with empty texts among others sort to the end, in a stable order.
  RecordingGrid h(2, 6);
  const char* texts[] = {"", "c", "", "a", "", "b"};
  for (int r = 0; r < 6; ++r) {
    EXPECT_EQ(h.SetCellText(0, r, texts[r]), kGridOk);
    EXPECT_EQ(h.SetCellText(1, r, std::to_string(r)), kGridOk);
  }
  EXPECT_EQ(h.SortRows(0, 1), kGridOk);
  std::string order;
  for (int r = 0; r < 6; ++r) order += *h.GetCellText(1, r);
  EXPECT_EQ(order, "351024");
  // Sorting on a moved column sorts its data column.
  int cols[] = {1};
  EXPECT_EQ(h.MoveColumn(1, 0, 1), kGridOk);
  EXPECT_EQ(h.SortRowsMulti(cols, 1, 2), kGridOk);
  EXPECT_EQ(cols[0], 0);
}

// ---- copy, cut, find ----

TEST(GridCopy, SelectionTextUsesTabsAndLineFeeds) {
  RecordingGrid g(3, 2);
  const char* t[2][3] = {{"a", "b", "c"}, {"d", "e", "f"}};
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(g.SetCellText(c, r, t[r][c]), kGridOk);
  std::string text;
  EXPECT_EQ(g.GetSelectionText(text, 0), kGridOk);
  EXPECT_EQ(text, "a");  // nothing selected: the current cell
  g.Sheet().m_selection->StartBlock(0, 0);
  g.Sheet().m_selection->EndBlock(2, 1);
  EXPECT_EQ(g.GetSelectionText(text, 0), kGridOk);
  EXPECT_EQ(text, "a\tb\tc\nd\te\tf");
}

TEST(GridCopy, CutClearsOnlyWritableCells) {
  RecordingGrid g(2, 1);
  EXPECT_EQ(g.SetCellText(0, 0, "keep"), kGridOk);
  CGridCellValue ro;
  ro.GridCellSetText("locked");
  ro.GridCellSetReadOnly(true);
  EXPECT_EQ(g.SetCell(1, 0, ro), kGridOk);
  g.Sheet().m_selection->StartBlock(0, 0);
  g.Sheet().m_selection->EndBlock(1, 0);
  std::string text;
  EXPECT_EQ(g.GetSelectionText(text, 1), kGridOk);
  EXPECT_EQ(text, "keep\tlocked");
  auto cleared = g.GetCellText(0, 0);
  EXPECT_TRUE(!cleared || cleared->empty());
  EXPECT_EQ(*g.GetCellText(1, 0), "locked");
}

constexpr unsigned kDown = 1, kMatchCase = 4, kReplace = 0x10, kReplaceAll = 0x20, kWholeWord = 2;

TEST(GridFind, FindMovesToTheNextMatchOrSaysNotFound) {
  RecordingGrid g(1, 5);
  EXPECT_EQ(g.SetCellText(0, 3, "needle"), kGridOk);
  EXPECT_EQ(g.HandleFindReplace("need", "", kDown), kGridFound);
  EXPECT_EQ(g.GetCurrentRow(), 3);
  EXPECT_EQ(g.HandleFindReplace("absent", "", kDown), kGridNotFound);
  EXPECT_EQ(g.notFound, 1);
  // A plain find is not held back by the replacement text in the dialog.
  EXPECT_EQ(g.MoveToRow(0), kGridOk);
  EXPECT_EQ(g.HandleFindReplace("needle", "needle", kDown | kWholeWord), kGridFound);
  EXPECT_EQ(g.GetCurrentRow(), 3);
}

TEST(GridFind, AMatchThatMayNotBecomeCurrentIsNotReportedFound) {
  RecordingGrid g(1, 5);
  EXPECT_EQ(g.SetCellText(0, 3, "needle"), kGridOk);
  g.refuseCellMove = 1;
  EXPECT_EQ(g.HandleFindReplace("needle", "", kDown), kGridFindRefused);
  EXPECT_EQ(g.GetCurrentRow(), 0);
  EXPECT_EQ(g.notFound, 0);
}

TEST(GridFind, ReplaceLeavesANonMatchingCurrentCellAlone) {
  RecordingGrid g(1, 3);
  EXPECT_EQ(g.SetCellText(0, 0, "other"), kGridOk);
  EXPECT_EQ(g.SetCellText(0, 2, "cat"), kGridOk);
  EXPECT_EQ(g.HandleFindReplace("cat", "dog", kDown | kReplace | kWholeWord), kGridFound);
  EXPECT_EQ(*g.GetCellText(0, 0), "other");
  EXPECT_EQ(g.GetCurrentRow(), 2);
  EXPECT_EQ(g.HandleFindReplace("cat", "dog", kDown | kReplace | kWholeWord), kGridNotFound);
  EXPECT_EQ(*g.GetCellText(0, 2), "dog");
}

TEST(GridFind, ReplaceAllEndsWhenTheReplacementMatchesWithoutCase) {
  RecordingGrid g(1, 4);
  EXPECT_EQ(g.SetCellText(0, 1, "abc"), kGridOk);
  EXPECT_EQ(g.SetCellText(0, 2, "x"), kGridOk);
  EXPECT_EQ(g.SetCellText(0, 3, "ABC"), kGridOk);
  EXPECT_EQ(g.HandleFindReplace("abc", "Abc", kDown | kReplaceAll | kWholeWord), kGridFound);
  EXPECT_EQ(*g.GetCellText(0, 1), "Abc");
  EXPECT_EQ(*g.GetCellText(0, 3), "Abc");
  EXPECT_EQ(*g.GetCellText(0, 2), "x");
  // Partial replacement of a part inside longer texts.
  RecordingGrid h(1, 3);
  EXPECT_EQ(h.SetCellText(0, 1, "red car, red hat"), kGridOk);
  EXPECT_EQ(h.HandleFindReplace("RED", "blue", kDown | kReplaceAll), kGridFound);
  EXPECT_EQ(*h.GetCellText(0, 1), "blue car, blue hat");
  // Case-sensitive and whole-word searches skip what does not match exactly.
  EXPECT_EQ(h.SetCellText(0, 2, "Red"), kGridOk);
  EXPECT_EQ(h.HandleFindReplace("red", "x", kDown | kReplaceAll | kMatchCase | kWholeWord),
            kGridNotFound);
  EXPECT_EQ(*h.GetCellText(0, 2), "Red");
}

}  // namespace
