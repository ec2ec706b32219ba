#include "platform/gui/dc.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <climits>
#include <cstring>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

class DcTest : public ::testing::Test {
 protected:
  void SetUp() override { fw::ResetSystemTables(); }
  // Bounding box of every pixel that differs from white.
  static CRect Ink(CImageDC& dc) {
    const QImage& img = dc.Snapshot();
    CRect box(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        if ((img.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
          box.left = std::min(box.left, x);
          box.top = std::min(box.top, y);
          box.right = std::max(box.right, x + 1);
          box.bottom = std::max(box.bottom, y + 1);
        }
    return box;
  }
  static int CountInk(CImageDC& dc) {
    const QImage& img = dc.Snapshot();
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) n += (img.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
    return n;
  }
};

TEST_F(DcTest, ColourrefIsBlueGreenRed) {
  EXPECT_EQ(RGB(0xFF, 0xFF, 0xE0), 0xE0FFFFu);  // pale yellow, not cyan
  EXPECT_EQ(GetRValue(0xE0FFFF), 0xFF);
  EXPECT_EQ(GetBValue(0xE0FFFF), 0xE0);
  QColor q = fw::ToQColor(0xE0FFFF);
  EXPECT_EQ(q.red(), 255);
  EXPECT_EQ(q.blue(), 0xE0);
  EXPECT_EQ(fw::FromQColor(q), 0xE0FFFFu);

  CImageDC dc(4, 4);
  dc.FillSolidRect(CRect(0, 0, 4, 4), RGB(1, 2, 3));
  EXPECT_EQ(dc.GetPixel(1, 1), RGB(1, 2, 3));
}

TEST_F(DcTest, LineToLeavesOutItsEndPixel) {
  CImageDC dc(20, 20);
  dc.MoveTo(2, 5);
  dc.LineTo(10, 5);
  EXPECT_EQ(Ink(dc), CRect(2, 5, 10, 6));
  EXPECT_EQ(dc.GetCurrentPosition(), CPoint(10, 5));
  // Vertical and diagonal lines alike; the next segment draws the corner.
  dc.LineTo(10, 12);
  EXPECT_EQ(dc.GetPixel(10, 5), kBlack);
  EXPECT_EQ(dc.GetPixel(10, 12), kWhite);
  CImageDC diag(20, 20);
  diag.MoveTo(0, 0);
  diag.LineTo(5, 5);
  EXPECT_EQ(CountInk(diag), 5);
  EXPECT_EQ(diag.GetPixel(5, 5), kWhite);
  // A zero-length line draws nothing.
  CImageDC none(5, 5);
  none.MoveTo(2, 2);
  none.LineTo(2, 2);
  EXPECT_EQ(CountInk(none), 0);
}

TEST_F(DcTest, PenStylesAndNullPen) {
  CImageDC dc(40, 4);
  CPen dot(PS_DOT, 1, kBlack);
  dc.SelectObject(&dot);
  dc.MoveTo(0, 1);
  dc.LineTo(12, 1);
  // three on, three off
  EXPECT_EQ(dc.GetPixel(0, 1), kBlack);
  EXPECT_EQ(dc.GetPixel(2, 1), kBlack);
  EXPECT_EQ(dc.GetPixel(3, 1), kWhite);
  EXPECT_EQ(dc.GetPixel(6, 1), kBlack);
  dc.SelectStockObject(NULL_PEN);
  dc.MoveTo(0, 3);
  dc.LineTo(30, 3);
  EXPECT_EQ(dc.GetPixel(15, 3), kWhite);
}

TEST_F(DcTest, RectanglesExcludeRightAndBottom) {
  CImageDC dc(20, 20);
  CBrush red(kRed);
  dc.FillRect(CRect(2, 3, 7, 9), &red);
  EXPECT_EQ(Ink(dc), CRect(2, 3, 7, 9));

  CImageDC outline(20, 20);
  CBrush fill(kRed);
  outline.SelectObject(&fill);
  outline.Rectangle(1, 1, 6, 6);
  EXPECT_EQ(Ink(outline), CRect(1, 1, 6, 6));
  EXPECT_EQ(outline.GetPixel(1, 1), kBlack);
  EXPECT_EQ(outline.GetPixel(5, 5), kBlack);
  EXPECT_EQ(outline.GetPixel(3, 3), kRed);

  // Without a pen the fill stops one pixel short of right and bottom.
  CImageDC nopen(20, 20);
  nopen.SelectObject(&fill);
  nopen.SelectStockObject(NULL_PEN);
  nopen.Rectangle(1, 1, 6, 6);
  EXPECT_EQ(Ink(nopen), CRect(1, 1, 5, 5));

  CImageDC frames(20, 20);
  frames.Draw3dRect(CRect(0, 0, 5, 4), kRed, kBlack);
  EXPECT_EQ(frames.GetPixel(0, 0), kRed);
  EXPECT_EQ(frames.GetPixel(4, 0), kBlack);  // the top-right corner belongs to the right edge
  EXPECT_EQ(frames.GetPixel(0, 3), kBlack);
  EXPECT_EQ(frames.GetPixel(2, 2), kWhite);
  EXPECT_EQ(Ink(frames), CRect(0, 0, 5, 4));
}

TEST_F(DcTest, DrawEdgeUsesSystemColoursAndAdjusts) {
  CImageDC dc(20, 20);
  CRect r(0, 0, 10, 10);
  dc.DrawEdge(&r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  EXPECT_EQ(r, CRect(2, 2, 8, 8));
  EXPECT_EQ(dc.GetPixel(0, 5), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(dc.GetPixel(9, 5), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(dc.GetPixel(1, 5), GetSysColor(COLOR_3DDKSHADOW));
  fw::SetSysColor(COLOR_BTNSHADOW, kRed);
  CRect r2(0, 0, 10, 10);
  dc.DrawEdge(&r2, EDGE_ETCHED, BF_TOP);
  EXPECT_EQ(dc.GetPixel(5, 0), kRed);
  EXPECT_EQ(dc.GetPixel(5, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(r2, CRect(0, 0, 10, 10));  // no BF_ADJUST
}

TEST_F(DcTest, FocusRectIsDottedAndErasesItself) {
  CImageDC dc(20, 20);
  CBrush grey(RGB(100, 100, 100));
  dc.FillRect(CRect(0, 0, 20, 20), &grey);
  QImage before = dc.Snapshot().copy();
  dc.DrawFocusRect(CRect(2, 2, 12, 8));
  const QImage& after = dc.Snapshot();
  // Alternate pixels along the top edge change, the inside does not.
  EXPECT_NE(after.pixel(2, 2), before.pixel(2, 2));
  EXPECT_EQ(after.pixel(3, 2), before.pixel(3, 2));
  EXPECT_NE(after.pixel(4, 2), before.pixel(4, 2));
  EXPECT_NE(after.pixel(11, 7), before.pixel(11, 7));  // bottom-right corner, parity even
  EXPECT_EQ(after.pixel(6, 5), before.pixel(6, 5));
  EXPECT_EQ(after.pixel(12, 2), before.pixel(12, 2));  // exclusive right edge
  dc.DrawFocusRect(CRect(2, 2, 12, 8));
  EXPECT_EQ(dc.Snapshot(), before);
}

TEST_F(DcTest, PatternBrushTilesFromTheOrigin) {
  // The checkerboard the grid's check boxes use: rows alternate 0xAA and 0x55.
  const std::uint16_t rows[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
  CBitmap bits;
  ASSERT_TRUE(bits.CreateBitmap(8, 8, 1, 1, rows));
  bits.SetMonoColours(kRed, kBlack);
  CBrush pattern;
  ASSERT_TRUE(pattern.CreatePatternBrush(&bits));
  CImageDC dc(20, 20);
  dc.FillRect(CRect(3, 3, 19, 19), &pattern);
  // Bit 7 of 0xAA (x = 0) is set: colour one; x = 1 is colour zero.
  EXPECT_EQ(dc.GetPixel(8, 8), kBlack);
  EXPECT_EQ(dc.GetPixel(9, 8), kRed);
  EXPECT_EQ(dc.GetPixel(8, 9), kRed);
  EXPECT_EQ(dc.GetPixel(16, 16), kBlack);  // tiles repeat every 8 pixels
  EXPECT_EQ(dc.GetPixel(2, 2), kWhite);
}

TEST_F(DcTest, ViewportOriginClipAndSaveRestore) {
  CImageDC dc(30, 30);
  int level = dc.SaveDC();
  dc.SetViewportOrg(10, 10);
  dc.IntersectClipRect(CRect(0, 0, 5, 5));
  CBrush red(kRed);
  dc.FillRect(CRect(-10, -10, 20, 20), &red);
  EXPECT_EQ(Ink(dc), CRect(10, 10, 15, 15));
  CRect box;
  dc.GetClipBox(&box);
  EXPECT_EQ(box, CRect(0, 0, 5, 5));
  ASSERT_TRUE(dc.RestoreDC(level));
  EXPECT_EQ(dc.GetViewportOrg(), CPoint(0, 0));
  dc.FillRect(CRect(0, 0, 2, 2), &red);
  EXPECT_EQ(dc.GetPixel(0, 0), kRed);
  EXPECT_FALSE(dc.RestoreDC(-1));

  CImageDC ex(10, 10);
  ex.ExcludeClipRect(CRect(2, 2, 8, 8));
  ex.FillRect(CRect(0, 0, 10, 10), &red);
  EXPECT_EQ(ex.GetPixel(1, 1), kRed);
  EXPECT_EQ(ex.GetPixel(5, 5), kWhite);
}

TEST_F(DcTest, MemoryDcAndBitBlt) {
  CBitmap bmp;  // outlives the DC it is selected into
  ASSERT_TRUE(bmp.CreateCompatibleBitmap(6, 6));
  CDC mem;
  mem.CreateCompatibleDC();
  CBitmap* old = mem.SelectObject(&bmp);
  EXPECT_EQ(old, nullptr);
  mem.FillSolidRect(CRect(0, 0, 6, 6), kRed);
  mem.SetPixel(0, 0, kBlack);
  CImageDC screen(20, 20);
  EXPECT_TRUE(screen.BitBlt(4, 4, 6, 6, &mem, 0, 0, SRCCOPY));
  EXPECT_EQ(screen.GetPixel(4, 4), kBlack);
  EXPECT_EQ(screen.GetPixel(9, 9), kRed);
  EXPECT_EQ(screen.GetPixel(10, 10), kWhite);
  // A DC without a surface is no source.
  CDC empty;
  EXPECT_FALSE(screen.BitBlt(0, 0, 2, 2, &empty, 0, 0, SRCCOPY));
}

TEST_F(DcTest, LogFontHeights) {
  LOGFONT lf;
  fw::SetFaceName(lf, "Arial");
  lf.lfHeight = -20;
  QFont em = fw::FontFromLogFont(lf);
  EXPECT_EQ(em.pixelSize(), 20);
  lf.lfHeight = 20;  // cell height
  QFont cell = fw::FontFromLogFont(lf);
  EXPECT_LE(QFontMetrics(cell).height(), 20);
  EXPECT_GE(QFontMetrics(cell).height(), 18);
  EXPECT_LT(cell.pixelSize(), 20);
  lf.lfWeight = 50;  // below 100 means normal
  EXPECT_EQ(fw::FontFromLogFont(lf).weight(), QFont::Normal);
  lf.lfWeight = FW_BOLD;
  EXPECT_EQ(fw::FontFromLogFont(lf).weight(), QFont::Bold);

  CFont pt;
  ASSERT_TRUE(pt.CreatePointFont(80, "Arial"));
  LOGFONT back;
  ASSERT_GT(pt.GetLogFont(&back), 0);
  EXPECT_EQ(back.lfHeight, -11);
  EXPECT_STREQ(back.lfFaceName, "Arial");

  // Face names are cut to the fixed field.
  LOGFONT longName;
  fw::SetFaceName(longName, std::string(60, 'x'));
  EXPECT_EQ(std::strlen(longName.lfFaceName), std::size_t(LF_FACESIZE - 1));
}

TEST_F(DcTest, SystemTablesAreFixedAndSettable) {
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), kWhite);
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(128, 128, 128));
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 16);
  fw::SetSysColor(COLOR_BTNFACE, kRed);
  fw::SetSystemMetric(SM_CXVSCROLL, 20);
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), kRed);
  EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE)->colour(), kRed);
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 20);
  fw::ResetSystemTables();
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 16);
  EXPECT_EQ(GetSysColor(-1), 0u);
  EXPECT_EQ(GetSysColor(1000), 0u);
}

class DrawTextTest : public DcTest {
 protected:
  CFont m_font;
  void Use(CDC& dc) {
    LOGFONT lf;
    lf.lfHeight = -12;
    fw::SetFaceName(lf, "Arial");
    EXPECT_TRUE(m_font.CreateFontIndirect(&lf));
    dc.SelectObject(&m_font);
  }
};

TEST_F(DrawTextTest, CalcRectMeasuresLinesAndWraps) {
  CImageDC dc(200, 200);
  Use(dc);
  TEXTMETRIC tm;
  dc.GetTextMetrics(&tm);
  const int lh = tm.tmHeight;
  CRect one(10, 10, 10, 10);
  int h = dc.DrawText("Hello", &one, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(h, lh);
  EXPECT_EQ(one.left, 10);
  EXPECT_EQ(one.Width(), dc.GetTextExtent("Hello").cx);
  EXPECT_EQ(one.Height(), lh);

  CRect two(0, 0, 0, 0);
  dc.DrawText("ab\r\nlonger line", &two, DT_CALCRECT);
  EXPECT_EQ(two.Height(), 2 * lh);
  EXPECT_EQ(two.Width(), dc.GetTextExtent("longer line").cx);

  int word = dc.GetTextExtent("word").cx;
  CRect wrap(0, 0, word + 2, 0);
  dc.DrawText("word word word", &wrap, DT_CALCRECT | DT_WORDBREAK);
  EXPECT_EQ(wrap.Height(), 3 * lh);
  EXPECT_EQ(wrap.Width(), word);

  // Mnemonic markers take no room unless DT_NOPREFIX.
  CRect amp(0, 0, 0, 0), raw(0, 0, 0, 0);
  dc.DrawText("&File", &amp, DT_CALCRECT | DT_SINGLELINE);
  dc.DrawText("&File", &raw, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(amp.Width(), dc.GetTextExtent("File").cx);
  EXPECT_EQ(raw.Width(), dc.GetTextExtent("&File").cx);
}

// The marked letter of a label is underlined below its own glyph, and only
// it; DT_NOPREFIX shows the marker instead and "&&" is a plain ampersand.
TEST_F(DrawTextTest, TheMarkedLetterIsUnderlined) {
  auto inkBelowBaseline = [this](const char* text, unsigned format) {
    CImageDC dc(120, 30);
    Use(dc);
    dc.SetBkMode(TRANSPARENT);
    CRect r(0, 0, 120, 30);
    dc.DrawText(text, &r, DT_SINGLELINE | format);
    TEXTMETRIC tm;
    dc.GetTextMetrics(&tm);
    const QImage& img = dc.Snapshot();
    int left = -1, right = -1;
    // Rows under the baseline: only descenders and the underline reach them.
    for (int y = tm.tmAscent + 1; y < tm.tmHeight; ++y)
      for (int x = 0; x < img.width(); ++x)
        if ((img.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
          if (left < 0 || x < left) left = x;
          right = std::max(right, x);
        }
    return std::pair{left, right};
  };
  CImageDC m(10, 10);
  Use(m);
  const int sa = m.GetTextExtent("Sa").cx;
  const int sav = m.GetTextExtent("Sav").cx;
  auto [l, r] = inkBelowBaseline("Sa&ve", 0);
  EXPECT_GE(l, sa - 1);
  EXPECT_LE(r, sav + 1);
  EXPECT_GE(r, sa + 1);
  EXPECT_EQ(inkBelowBaseline("Sa&ve", DT_NOPREFIX).first, -1);
  EXPECT_EQ(inkBelowBaseline("Sa&&ve", 0).first, -1);
}

TEST_F(DrawTextTest, AlignmentAndVerticalCentre) {
  CImageDC dc(200, 100);
  Use(dc);
  dc.SetBkMode(TRANSPARENT);
  CRect r(0, 0, 200, 100);
  dc.DrawText("MMMM", &r, DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
  CRect ink = Ink(dc);
  EXPECT_GE(ink.right, 195);
  EXPECT_LE(ink.right, 200);
  EXPECT_GT(ink.top, 35);
  EXPECT_LT(ink.bottom, 65);

  // VCENTER has no effect without SINGLELINE.
  CImageDC top(200, 100);
  Use(top);
  top.SetBkMode(TRANSPARENT);
  CRect r2(0, 0, 200, 100);
  top.DrawText("MMMM", &r2, DT_CENTER | DT_VCENTER);
  CRect ink2 = Ink(top);
  EXPECT_LT(ink2.top, 15);
  EXPECT_NEAR((ink2.left + ink2.right) / 2, 100, 3);
}

TEST_F(DrawTextTest, ClipsUnlessNoClipAndElides) {
  CImageDC dc(200, 40);
  Use(dc);
  dc.SetBkMode(TRANSPARENT);
  CRect r(0, 0, 30, 20);
  dc.DrawText("MMMMMMMMMMMM", &r, DT_SINGLELINE);
  EXPECT_LE(Ink(dc).right, 30);
  CImageDC nc(200, 40);
  Use(nc);
  nc.SetBkMode(TRANSPARENT);
  CRect r2(0, 0, 30, 20);
  nc.DrawText("MMMMMMMMMMMM", &r2, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_GT(Ink(nc).right, 60);

  CImageDC el(200, 40);
  Use(el);
  el.SetBkMode(TRANSPARENT);
  CRect r3(0, 0, 60, 20);
  el.DrawText("MMMMMMMMMMMMMMMMMMMM", &r3, DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_LE(Ink(el).right, 60);
}

TEST_F(DrawTextTest, OpaqueModeFillsTheTextCell) {
  CImageDC dc(100, 40);
  Use(dc);
  dc.SetBkColor(kRed);
  dc.SetBkMode(OPAQUE);
  dc.TextOut(5, 5, "ab");
  CSize ext = dc.GetTextExtent("ab");
  EXPECT_EQ(dc.GetPixel(5, 5), kRed);  // text cell top-left, above any glyph
  EXPECT_EQ(dc.GetPixel(5 + ext.cx, 5), kWhite);
  EXPECT_EQ(dc.GetPixel(5, 5 + ext.cy), kWhite);
  CImageDC tr(100, 40);
  Use(tr);
  tr.SetBkColor(kRed);
  tr.SetBkMode(TRANSPARENT);
  tr.TextOut(5, 5, "ab");
  EXPECT_EQ(tr.GetPixel(5, 5), kWhite);
  // ExtTextOut with ETO_OPAQUE fills its rectangle whatever the mode.
  CRect box(0, 20, 10, 30);
  tr.ExtTextOut(0, 20, ETO_OPAQUE | ETO_CLIPPED, &box, "");
  EXPECT_EQ(tr.GetPixel(9, 29), kRed);
  EXPECT_EQ(tr.GetPixel(10, 29), kWhite);
}

}  // namespace

namespace {

TEST_F(DrawTextTest, TextAlignmentPlacesTheReferencePoint) {
  CImageDC dc(200, 60);
  Use(dc);
  dc.SetBkMode(TRANSPARENT);
  TEXTMETRIC tm;
  dc.GetTextMetrics(&tm);
  CSize ext = dc.GetTextExtent("MMM");
  // Top-left (the default): the text cell starts at the point.
  dc.TextOut(10, 5, "MMM");
  CRect topLeft = Ink(dc);
  EXPECT_GE(topLeft.left, 10);
  EXPECT_LE(topLeft.right, 10 + ext.cx);
  EXPECT_GE(topLeft.top, 5);
  EXPECT_LE(topLeft.bottom, 5 + tm.tmAscent + 1);
  // Baseline and centre: the glyphs sit on y and straddle x.
  CImageDC centred(200, 60);
  Use(centred);
  centred.SetBkMode(TRANSPARENT);
  centred.SetTextAlign(TA_BASELINE | TA_CENTER);
  centred.TextOut(100, 40, "MMM");
  CRect ink = Ink(centred);
  EXPECT_LE(ink.bottom, 41);
  EXPECT_GE(ink.bottom, 38);
  EXPECT_NEAR((ink.left + ink.right) / 2, 100, 2);
}

TEST_F(DcTest, NotPenInvertsAndStretchBltScales) {
  CImageDC dc(20, 20);
  dc.SetROP2(R2_NOT);
  dc.MoveTo(0, 3);
  dc.LineTo(10, 3);
  EXPECT_EQ(dc.GetPixel(5, 3), kBlack);  // white inverted
  dc.MoveTo(0, 3);
  dc.LineTo(10, 3);
  EXPECT_EQ(dc.GetPixel(5, 3), kWhite);  // and back: a drag line erases itself
  dc.SetROP2(R2_COPYPEN);

  CImageDC src(2, 2);
  src.SetPixel(0, 0, kRed);
  CImageDC dst(10, 10);
  EXPECT_TRUE(dst.StretchBlt(0, 0, 4, 4, &src, 0, 0, 2, 2, SRCCOPY));
  EXPECT_EQ(dst.GetPixel(1, 1), kRed);
  EXPECT_EQ(dst.GetPixel(3, 3), kWhite);
  EXPECT_EQ(dst.GetPixel(5, 5), kWhite);
}

TEST_F(DcTest, SaveDcKeepsObjectsAndColours) {
  CImageDC dc(10, 10);
  CPen red(PS_SOLID, 1, kRed);
  CPen* oldPen = dc.SelectObject(&red);
  ASSERT_NE(oldPen, nullptr);
  int level = dc.SaveDC();
  CPen blue(PS_SOLID, 1, RGB(0, 0, 255));
  dc.SelectObject(&blue);
  dc.SetTextColor(RGB(1, 1, 1));
  EXPECT_TRUE(dc.RestoreDC(level));
  EXPECT_EQ(dc.GetTextColor(), kBlack);
  dc.MoveTo(0, 0);
  dc.LineTo(5, 0);
  EXPECT_EQ(dc.GetPixel(2, 0), kRed);
  EXPECT_EQ(dc.SelectObject(oldPen), &red);
}

}  // namespace
