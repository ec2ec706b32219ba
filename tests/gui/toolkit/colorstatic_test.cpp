#include "toolkit/colorstatic.h"

#include <gtest/gtest.h>

#include <QTest>
#include <climits>

#include "gui_helpers.h"
#include "platform/gui/services.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

class ColorStaticTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_parent.Create("", "", WS_VISIBLE, CRect(0, 0, 300, 200), nullptr, 0));
    fw::SetShellService(&m_shell);
  }
  void TearDown() override {
    fw::SetShellService(nullptr);
    fwtest::Drain();
  }
  // A colour static on a static control made as a template would.
  void Make(CColorStatic& cs, const std::string& text, std::uint32_t style,
            CRect r = CRect(10, 10, 110, 40)) {
    CStatic plain;
    ASSERT_TRUE(plain.Create("Static", text, WS_CHILD | WS_VISIBLE | style, r, &m_parent, 1104));
    QWidget* w = plain.UnsubclassWindow();
    ASSERT_TRUE(cs.SubclassWindow(w));
  }
  // Pixels of the text colour inside the control's painting.
  static int Count(CImageDC& dc, COLORREF c) {
    const QImage& img = dc.Snapshot();
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) n += fw::FromQColor(QColor(img.pixel(x, y))) == c;
    return n;
  }
  static CRect Box(CImageDC& dc, COLORREF c) {
    const QImage& img = dc.Snapshot();
    CRect box(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        if (fw::FromQColor(QColor(img.pixel(x, y))) == c) {
          box.left = std::min(box.left, x), box.top = std::min(box.top, y);
          box.right = std::max(box.right, x + 1), box.bottom = std::max(box.bottom, y + 1);
        }
    return box;
  }
  CWnd m_parent;
  fw::CRecordingShellService m_shell;
};

TEST_F(ColorStaticTest, ConstructionDefaults) {
  CColorStatic cs;
  Make(cs, "status", SS_LEFT);
  EXPECT_FALSE(cs.link());  // a status line is not a link unless asked
  EXPECT_EQ(cs.GetStyle() & SS_NOTIFY, 0u);
  EXPECT_EQ(cs.textColour(), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(cs.flashKind(), 0);
  EXPECT_FALSE(cs.flashTimerRunning());
  // The font description starts from the control's font.
  EXPECT_EQ(cs.logFont().lfHeight, fw::DefaultGuiLogFont().lfHeight);
  cs.SetBold(true);
  EXPECT_EQ(cs.logFont().lfWeight, FW_BOLD);
  cs.SetBold(false);
  EXPECT_EQ(cs.logFont().lfWeight, FW_NORMAL);
  cs.SetFontSize(12);
  EXPECT_EQ(cs.logFont().lfHeight, -16);
  cs.SetRotation(90);
  EXPECT_EQ(cs.logFont().lfEscapement, 900);
  EXPECT_EQ(cs.logFont().lfOrientation, 900);
}

TEST_F(ColorStaticTest, ClicksOpenOnlySafeLinksAndOnlyWhenLinked) {
  CColorStatic cs;
  Make(cs, "C:\\tools\\evil.exe", SS_LEFT);
  QTest::mouseClick(cs.widget(), Qt::LeftButton);
  EXPECT_TRUE(m_shell.opened().empty());  // not a link: nothing happens

  cs.SetLink(true, false);
  EXPECT_TRUE(cs.GetStyle() & SS_NOTIFY);
  QTest::mouseClick(cs.widget(), Qt::LeftButton);
  EXPECT_TRUE(m_shell.opened().empty());  // a link, but to a program: refused

  for (const char* bad :
       {"/usr/bin/xterm", "file:///etc/passwd", "javascript:alert(1)", "http://a b", "https://"})
    EXPECT_FALSE(fw::IsSafeLinkTarget(bad)) << bad;
  cs.SetText("https://example.com/support");
  QTest::mouseClick(cs.widget(), Qt::LeftButton);
  ASSERT_EQ(m_shell.opened().size(), 1u);
  EXPECT_EQ(m_shell.opened()[0], "https://example.com/support");
  EXPECT_TRUE(fw::IsSafeLinkTarget("mailto:support@example.com"));
  EXPECT_TRUE(fw::IsSafeLinkTarget("  HTTP://example.com  "));

  cs.SetLink(false, false);
  EXPECT_EQ(cs.GetStyle() & SS_NOTIFY, 0u);
  QTest::mouseClick(cs.widget(), Qt::LeftButton);
  EXPECT_EQ(m_shell.opened().size(), 1u);
}

TEST_F(ColorStaticTest, NotifyParentSendsItsCodeInstead) {
  CColorStatic cs;
  Make(cs, "https://example.com", SS_LEFT);
  std::vector<NMHDR> notes;
  m_parent.SetMessageHandler(WM_NOTIFY, [&](WPARAM, LPARAM l) {
    notes.push_back(*reinterpret_cast<NMHDR*>(l));
    return LRESULT(0);
  });
  cs.SetLink(true, true);
  QTest::mouseClick(cs.widget(), Qt::LeftButton);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].code, 33280u);
  EXPECT_EQ(notes[0].idFrom, 1104u);
  EXPECT_EQ(notes[0].hwndFrom, cs.widget());
  EXPECT_TRUE(m_shell.opened().empty());
}

TEST_F(ColorStaticTest, FlashingTextHidesAndShowsIt) {
  CColorStatic cs;
  Make(cs, "MMMM", SS_LEFT);
  cs.SetBackground(kBlue);
  cs.SetTextColor(kRed);
  cs.FlashText(true);
  EXPECT_EQ(cs.flashKind(), 1);
  EXPECT_TRUE(cs.flashTimerRunning());
  EXPECT_FALSE(cs.flashPhase());
  CRect client;
  cs.GetClientRect(&client);
  {
    CImageDC dc(client.Width(), client.Height());
    cs.Paint(dc, client);
    EXPECT_EQ(Count(dc, kRed), 0);  // hidden phase: text in the background's colour
    EXPECT_GT(Count(dc, kBlue), 0);
  }
  cs.SendMessage(WM_TIMER, CColorStatic::kFlashTimer);
  EXPECT_TRUE(cs.flashPhase());
  {
    CImageDC dc(client.Width(), client.Height());
    cs.Paint(dc, client);
    EXPECT_GT(Count(dc, kRed), 0);
  }
  cs.SendMessage(WM_TIMER, CColorStatic::kFlashTimer);
  EXPECT_FALSE(cs.flashPhase());
  // Stopping: the kind goes back to 0 and the text shows in either phase.
  cs.FlashText(false);
  EXPECT_EQ(cs.flashKind(), 0);
  EXPECT_FALSE(cs.flashTimerRunning());
  CImageDC dc(client.Width(), client.Height());
  cs.Paint(dc, client);
  EXPECT_GT(Count(dc, kRed), 0);
}

TEST_F(ColorStaticTest, HiddenPhaseWithoutBackgroundBrushDrawsNoText) {
  CColorStatic cs;
  Make(cs, "MMMM", SS_LEFT);
  cs.SetTextColor(kRed);
  cs.FlashText(true);  // no background colour was ever set
  CRect client;
  cs.GetClientRect(&client);
  CImageDC dc(client.Width(), client.Height());
  cs.Paint(dc, client);
  EXPECT_EQ(Count(dc, kRed), 0);
  EXPECT_EQ(Count(dc, GetSysColor(COLOR_BTNFACE)), client.Width() * client.Height());
}

TEST_F(ColorStaticTest, FlashingBackgroundAlternatesFaceAndColour) {
  CColorStatic cs;
  Make(cs, "", SS_LEFT);
  cs.SetBackground(kBlue);
  cs.FlashBackground(true);
  CRect client;
  cs.GetClientRect(&client);
  CImageDC hidden(client.Width(), client.Height());
  cs.Paint(hidden, client);
  EXPECT_EQ(hidden.GetPixel(2, 2), GetSysColor(COLOR_BTNFACE));
  cs.SendMessage(WM_TIMER, CColorStatic::kFlashTimer);
  CImageDC shown(client.Width(), client.Height());
  cs.Paint(shown, client);
  EXPECT_EQ(shown.GetPixel(2, 2), kBlue);
  cs.FlashBackground(false);
  EXPECT_FALSE(cs.flashTimerRunning());
  EXPECT_EQ(cs.flashKind(), 2);  // only the timer stops
}

TEST_F(ColorStaticTest, GradientUsesOneStripPerPixelUpTo300) {
  CImageDC dc(120, 10);
  CColorStatic::FillGradient(dc, CRect(0, 0, 100, 10), kBlack, RGB(200, 0, 0));
  for (int x = 0; x < 100; ++x) EXPECT_EQ(dc.GetPixel(x, 5), RGB(2 * x, 0, 0)) << x;
  EXPECT_EQ(dc.GetPixel(100, 5), RGB(255, 255, 255));  // stops at the right edge
  EXPECT_EQ(dc.GetPixel(50, 9), RGB(100, 0, 0));
  // Wider than 300: strips of width / 300, the last one reaching the edge.
  CImageDC wide(700, 4);
  CColorStatic::FillGradient(wide, CRect(0, 0, 650, 4), kBlack, RGB(0, 0, 255));
  EXPECT_EQ(wide.GetPixel(0, 0), wide.GetPixel(1, 0));
  EXPECT_EQ(wide.GetPixel(649, 0), wide.GetPixel(598, 0));
  EXPECT_EQ(wide.GetPixel(649, 0), RGB(0, 0, (217 * 299) >> 8));  // 8.8 steps of 255 / 300
  EXPECT_EQ(wide.GetPixel(650, 0), RGB(255, 255, 255));
  // No width: nothing drawn, nothing divided.
  CImageDC none(10, 10);
  CColorStatic::FillGradient(none, CRect(5, 0, 5, 10), kBlack, kRed);
  CColorStatic::FillGradient(none, CRect(5, 0, 2, 10), kBlack, kRed);
  EXPECT_EQ(Count(none, RGB(255, 255, 255)), 100);
}

TEST_F(ColorStaticTest, StaticStylesChooseTheTextLayout) {
  CColorStatic right;
  Make(right, "MM\r\nM", SS_RIGHT, CRect(0, 0, 200, 60));
  right.SetTextColor(kRed);
  CRect client;
  right.GetClientRect(&client);
  CImageDC dc(client.Width(), client.Height());
  right.Paint(dc, client);
  CRect ink = Box(dc, kRed);
  EXPECT_GE(ink.right, client.right - 3);  // each line ends at the right edge
  EXPECT_LT(ink.top, 8);
  EXPECT_GT(ink.bottom, 12);  // two lines

  CColorStatic centred;
  Make(centred, "M", SS_LEFT | SS_CENTERIMAGE, CRect(0, 0, 200, 60));
  centred.SetTextColor(kRed);
  CImageDC dc2(200, 60);
  centred.Paint(dc2, CRect(0, 0, 200, 60));
  CRect ink2 = Box(dc2, kRed);
  EXPECT_GT(ink2.top, 15);
  EXPECT_LT(ink2.bottom, 45);
}

TEST_F(ColorStaticTest, ThreeDTextDrawsTheHighlightCopy) {
  CColorStatic cs;
  Make(cs, "M", SS_LEFT);
  cs.SetBackground(kBlue);
  cs.SetTextColor(kBlack);
  cs.SetHighlightColor(kRed);
  cs.Set3DText(true, 1);  // sunken: the copy one pixel right and down
  CRect client;
  cs.GetClientRect(&client);
  CImageDC dc(client.Width(), client.Height());
  cs.Paint(dc, client);
  CRect black = Box(dc, kBlack), red = Box(dc, kRed);
  ASSERT_FALSE(red.IsRectEmpty());
  EXPECT_EQ(red.bottom, black.bottom + 1);
  EXPECT_EQ(red.right, black.right + 1);
}

TEST_F(ColorStaticTest, RealTimerFlashes) {
  CColorStatic cs;
  Make(cs, "x", SS_LEFT);
  cs.FlashText(true);
  ASSERT_TRUE(fwtest::WaitFor([&] { return cs.flashPhase(); }, 3000));
  EXPECT_TRUE(cs.DestroyWindow());
  EXPECT_FALSE(cs.IsWindow());
}

}  // namespace
