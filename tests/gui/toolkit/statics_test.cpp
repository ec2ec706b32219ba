#include <gtest/gtest.h>

#include <QTest>
#include <functional>

#include "gui_helpers.h"
#include "platform/gui/services.h"
#include "platform/message.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "toolkit/hyperlinkstatic.h"
#include "toolkit/hyperlinktarget.h"
#include "toolkit/textstatic.h"

namespace {

constexpr COLORREF kFace = RGB(200, 180, 160);

QRgb Px(const QImage& img, int x, int y = 0) {
  return img.pixel(x, y) & 0xFFFFFF;
}

// Sum of the channels: the brightness the fade takes down towards black.
int Level(QRgb c) {
  return qRed(c) + qGreen(c) + qBlue(c);
}

// Whether any pixel passes the test (text edges are smoothed, its core is not).
bool Any(const QImage& img, const std::function<bool(QRgb)>& test) {
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (test(Px(img, x, y))) return true;
  return false;
}

class StaticsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_parent.Create("", "", WS_VISIBLE, CRect(0, 0, 600, 300), nullptr, 0));
    fw::SetShellService(&m_shell);
  }
  void TearDown() override {
    fw::SetShellService(nullptr);
    fwtest::Drain();
  }
  // Puts the object on a static made as a template makes it.
  void Make(CTextStatic& s, const std::string& text, std::uint32_t style,
            CRect r = CRect(100, 40, 300, 70)) {
    CStatic plain;
    ASSERT_TRUE(plain.Create("Static", text, WS_CHILD | WS_VISIBLE | style, r, &m_parent, 1052));
    ASSERT_TRUE(s.SubclassWindow(plain.UnsubclassWindow()));
  }
  CRect Placed(CWnd& w) {
    CRect r;
    w.GetWindowRect(&r);
    m_parent.ScreenToClient(&r);
    return r;
  }
  CWnd m_parent;
  fw::CRecordingShellService m_shell;
};

TEST_F(StaticsTest, GradientsFadeToBlackFromTheirBrightEdges) {
  for (int width : {200, 4000}) {
    SCOPED_TRACE(width);
    CImageDC dc(width, 1, RGB(1, 2, 3));
    // Fading towards the right: bright at the left edge, darker each strip.
    CTextStatic::FillBackground(dc, CRect(0, 0, width, 1), kFace, CTextStatic::kFadeRight);
    QImage img = dc.Snapshot();
    EXPECT_EQ(Px(img, 0), fw::ToQColor(kFace).rgb() & 0xFFFFFF);
    int distinct = 1;
    for (int x = 1; x < width; ++x) {
      ASSERT_LE(Level(Px(img, x)), Level(Px(img, x - 1))) << x;  // never wraps back up
      distinct += Px(img, x) != Px(img, x - 1);
    }
    EXPECT_LT(Level(Px(img, width - 1)), 12);
    if (width == 200) {
      EXPECT_GT(distinct, 150);  // one-pixel strips on a narrow control
    }

    // Fading towards the left is the mirror image.
    CTextStatic::FillBackground(dc, CRect(0, 0, width, 1), kFace, CTextStatic::kFadeLeft);
    QImage left = dc.Snapshot();
    EXPECT_EQ(Px(left, width - 1), Px(img, 0));
    EXPECT_EQ(Px(left, 0), Px(img, width - 1));

    // Towards the centre: bright at both edges, dark in the middle, symmetric.
    CTextStatic::FillBackground(dc, CRect(0, 0, width, 1), kFace, CTextStatic::kFadeCentre);
    QImage centre = dc.Snapshot();
    EXPECT_EQ(Px(centre, 0), Px(img, 0));
    EXPECT_EQ(Px(centre, width - 1), Px(img, 0));
    EXPECT_LT(Level(Px(centre, width / 2)), 20);
    for (int x = 1; x < width / 2; ++x) ASSERT_LE(Level(Px(centre, x)), Level(Px(centre, x - 1)));
    EXPECT_EQ(Px(centre, 10), Px(centre, width - 11));
  }
}

TEST_F(StaticsTest, TextStaticPaintsItsBackgroundAndTextOrLetsTheParentShow) {
  CTextStatic s;
  Make(s, "Phone: 000", SS_LEFT);
  s.SetTextColor(RGB(0, 128, 0));
  s.SetBackgroundColor(RGB(255, 255, 0));
  CImageDC dc(200, 30, RGB(9, 9, 9));
  s.Paint(dc);
  const QImage& img = dc.Snapshot();
  EXPECT_EQ(Px(img, 199, 29), qRgb(255, 255, 0) & 0xFFFFFF);
  // Green text on yellow: the stems come out green (red gone), their edges mixed.
  EXPECT_TRUE(Any(img, [](QRgb c) { return qRed(c) < 40 && qGreen(c) > 100 && qBlue(c) < 40; }));
  s.SetBackgroundColor(CTextStatic::kNoBackground);
  CImageDC clear(200, 30, RGB(9, 9, 9));
  s.Paint(clear);
  EXPECT_EQ(Px(clear.Snapshot(), 199, 29), qRgb(9, 9, 9) & 0xFFFFFF);
}

TEST_F(StaticsTest, LinksSizeThemselvesToTheirText) {
  CHyperLinkStatic left, right, centred;
  Make(left, "www.example.com", SS_LEFT, CRect(100, 40, 400, 80));
  Make(right, "www.example.com", SS_RIGHT, CRect(100, 100, 400, 140));
  Make(centred, "www.example.com", SS_CENTER | SS_CENTERIMAGE, CRect(100, 160, 400, 200));
  CClientDC measure(&left);
  measure.SelectObject(left.font());
  CRect extent;
  measure.DrawText("www.example.com", &extent, DT_CALCRECT | DT_NOPREFIX);
  EXPECT_TRUE(left.font()->logFont().lfUnderline);
  EXPECT_EQ(Placed(left), CRect(CPoint(100, 40), extent.Size()));
  EXPECT_EQ(Placed(right).right, 400);
  EXPECT_EQ(Placed(right).top, 100);
  const CRect c = Placed(centred);
  EXPECT_EQ(c.left + c.Width() / 2, 250 - (300 - extent.Width()) % 2 / 2);
  EXPECT_EQ(c.top, 160 + (40 - extent.Height()) / 2);
  // A longer text grows it; without fitting the designed rectangle comes back.
  left.SetWindowText("https://www.example.com/support/very/long");
  EXPECT_GT(Placed(left).Width(), extent.Width());
  left.SetFitToText(false);
  EXPECT_EQ(Placed(left), CRect(100, 40, 400, 80));
}

TEST_F(StaticsTest, LinkTipCursorAndVisitedColour) {
  fwtest::ScopedBundle bundle("28020 CURSOR \"hand.png\", 5, 0\n");
  ASSERT_TRUE(bundle.ok());
  CHyperLinkStatic link;
  Make(link, "www.example.com", SS_LEFT);
  // The tip names the target, else the text; a fixed tip wins.
  EXPECT_EQ(link.widget()->toolTip(), "www.example.com");
  link.SetAction(CHyperLinkTarget::kLinkOpen, "https://example.com/store");
  EXPECT_EQ(link.widget()->toolTip(), "https://example.com/store");
  link.EnableToolTip(false);
  EXPECT_TRUE(link.widget()->toolTip().isEmpty());
  link.EnableToolTip(true);
  link.SetToolTipText("Store");
  EXPECT_EQ(link.widget()->toolTip(), "Store");

  // The hand cursor over the link.
  ASSERT_NE(link.linkCursor(), nullptr);
  QTest::mouseMove(link.widget(), QPoint(3, 3));
  fwtest::Drain();
  EXPECT_EQ(link.widget()->cursor().shape(), Qt::BitmapCursor);

  auto hasColour = [&](COLORREF colour) {
    CImageDC dc(200, 30, RGB(255, 255, 255));
    link.Paint(dc);
    const QRgb want = fw::ToQColor(colour).rgb() & 0xFFFFFF;
    return Any(dc.Snapshot(), [want](QRgb c) { return c == want; });
  };
  EXPECT_TRUE(hasColour(CHyperLinkStatic::kUnvisited));
  EXPECT_FALSE(hasColour(CHyperLinkStatic::kVisited));
  QTest::mouseClick(link.widget(), Qt::LeftButton, {}, QPoint(3, 3));
  EXPECT_EQ(m_shell.opened(), std::vector<std::string>{"https://example.com/store"});
  EXPECT_TRUE(link.visited());
  EXPECT_TRUE(hasColour(CHyperLinkStatic::kVisited));
  EXPECT_FALSE(hasColour(CHyperLinkStatic::kUnvisited));
}

TEST_F(StaticsTest, AnEmptyTargetOpensTheLinkTextAndFailuresAreShownNotVisited) {
  fw::ScopedMessageSink sink;
  CHyperLinkStatic link;
  Make(link, "mailto:support@example.com", SS_LEFT);
  QTest::mouseClick(link.widget(), Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_EQ(m_shell.opened(), std::vector<std::string>{"mailto:support@example.com"});
  EXPECT_TRUE(link.action().file().empty());  // for that click only

  CHyperLinkStatic program;
  Make(program, "/usr/bin/xterm", SS_LEFT, CRect(10, 100, 200, 120));
  QTest::mouseClick(program.widget(), Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_EQ(m_shell.opened().size(), 1u);
  EXPECT_FALSE(program.visited());
  ASSERT_EQ(sink->count(), 1u);
  EXPECT_EQ(sink->messages()[0].text, LoadResString(IDS_SHELL_ERR_ACCESS_DENIED));
  EXPECT_EQ(sink->messages()[0].type & MB_ICONERROR, MB_ICONERROR);
}

// A window of this program that answers a link's message.
class Answering : public CWnd {
 public:
  LRESULT answer = 1;
  int received = 0;
  const CHyperLinkTarget* from = nullptr;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
    if (msg == 0xC123) {
      ++received;
      from = reinterpret_cast<const CHyperLinkTarget*>(l);
      return answer;
    }
    return CWnd::WindowProc(msg, w, l);
  }
};

TEST_F(StaticsTest, LinkTargetsSendToOneWindowAndRefuseTheBroadcast) {
  Answering target;
  ASSERT_TRUE(target.Create("", "", WS_CHILD, CRect(0, 0, 1, 1), &m_parent, 5));
  CHyperLinkTarget link;
  link.Set(CHyperLinkTarget::kLinkMessage, "", "", "", SW_SHOWNORMAL, 0xC123, target.widget());
  EXPECT_TRUE(link.Execute(false));
  EXPECT_EQ(target.received, 1);
  EXPECT_EQ(target.from, &link);
  EXPECT_EQ(link.lastError(), CHyperLinkTarget::kLinkNoError);
  target.answer = 0;
  EXPECT_FALSE(link.Execute(false));
  EXPECT_EQ(link.lastError(), CHyperLinkTarget::kLinkNoResponse);
  EXPECT_EQ(CHyperLinkTarget::ErrorText(link.lastError(), link.type()),
            FormatRes(IDS_LINK_WINDOW_NO_RESPONSE, LoadResString(IDS_LINK_ACTION_MESSAGE).c_str()));

  // Every top-level window: refused, nobody hears it.
  target.answer = 1;
  link.Set(CHyperLinkTarget::kLinkMessage, "", "", "", SW_SHOWNORMAL, 0xC123, HWND_BROADCAST);
  EXPECT_FALSE(link.Execute(false));
  EXPECT_EQ(link.lastError(), CHyperLinkTarget::kLinkNoResponse);
  EXPECT_EQ(target.received, 2);

  link.Set(CHyperLinkTarget::kLinkMail, "sales@example.com");
  EXPECT_TRUE(link.Execute(false));
  EXPECT_EQ(m_shell.opened().back(), "mailto:sales@example.com");
  for (int type : {CHyperLinkTarget::kLinkEdit, CHyperLinkTarget::kLinkPrint}) {
    link.Set(type, "https://example.com");
    EXPECT_FALSE(link.Execute(false));
    EXPECT_EQ(link.lastError(), CHyperLinkTarget::kShellNoAssociation);
  }
  link.Set(CHyperLinkTarget::kLinkOpen, "https://example.com", "--flag");
  EXPECT_FALSE(link.Execute(false));  // nothing is passed along to a program
  EXPECT_EQ(link.lastError(), CHyperLinkTarget::kShellAccessDenied);
  link.Set(9, "https://example.com");
  EXPECT_FALSE(link.Execute(false));
  EXPECT_EQ(link.lastError(), CHyperLinkTarget::kLinkUnknownAction);
  link.Set(CHyperLinkTarget::kLinkNone, "");
  EXPECT_TRUE(link.Execute(true));
  EXPECT_EQ(CHyperLinkTarget::ErrorText(77, 2), LoadResString(IDS_LINK_OPEN_FAILED));
}

}  // namespace
