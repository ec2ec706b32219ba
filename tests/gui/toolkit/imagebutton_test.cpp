#include "toolkit/imagebutton.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTest>

#include "gui_helpers.h"

namespace {

TEST(DibImage, LayoutAndPalette) {
  CDibImage dib;
  EXPECT_FALSE(dib.IsValid());
  ASSERT_NE(dib.Create(10, 3, 8), nullptr);
  EXPECT_EQ(dib.stride(), 12);  // rows padded to 32 bits
  EXPECT_EQ(dib.paletteEntries(), 256);
  EXPECT_EQ(dib.header().biSizeImage, 36u);
  EXPECT_EQ(dib.header().biPlanes, 1);
  CDibImage small;
  ASSERT_NE(small.Create(3, 1, 3), nullptr);  // rounds up to 4 bits
  EXPECT_EQ(small.bits(), 4);
  EXPECT_EQ(small.paletteEntries(), 16);
  ASSERT_NE(small.Create(3, 1, 16), nullptr);  // anything above 8 is 24
  EXPECT_EQ(small.bits(), 24);
  EXPECT_EQ(small.paletteEntries(), 0);
  EXPECT_EQ(small.Create(0, 5, 8), nullptr);
  EXPECT_EQ(small.Create(5, -1, 8), nullptr);
  EXPECT_EQ(small.Create(100000, 100000, 24), nullptr);  // refused, not allocated

  dib.SetPaletteEntry(7, 10, 20, 30);
  EXPECT_EQ(dib.PaletteEntry(7), RGB(10, 20, 30));
  dib.SetPaletteEntry(256, 1, 2, 3);  // ignored
  dib.SetPaletteEntry(-1, 1, 2, 3);
  dib.SetPixel(2, 0, 7);
  dib.SetPixel(10, 0, 7);  // outside: ignored
  EXPECT_EQ(dib.GetPixel(2, 0), 7);
  // Stored bottom-up: the top row is the last one in memory.
  QImage img = dib.ToImage();
  EXPECT_EQ(QColor(img.pixel(2, 0)), QColor(10, 20, 30));

  dib.SetPaletteEntry(0, 0, 0, 0);
  dib.BlendPalette(RGB(200, 100, 50), 150);  // limited to 100
  EXPECT_EQ(dib.PaletteEntry(0), RGB(200, 100, 50));
  dib.SetPaletteEntry(1, 100, 100, 100);
  dib.BlendPalette(RGB(0, 0, 0), -40);  // limited to 0: unchanged
  EXPECT_EQ(dib.PaletteEntry(1), RGB(100, 100, 100));
  dib.BlendPalette(RGB(200, 0, 0), 50);
  EXPECT_EQ(dib.PaletteEntry(1), RGB(150, 50, 50));

  CDibImage other;
  other.Create(10, 4, 8);
  EXPECT_FALSE(other.CopyFrom(dib));  // sizes differ
  other.Create(10, 3, 8);
  EXPECT_TRUE(other.CopyFrom(dib));
  EXPECT_EQ(other.GetPixel(2, 0), 7);
  EXPECT_EQ(other.PaletteEntry(1), RGB(150, 50, 50));

  CImageDC dc(20, 10);
  EXPECT_EQ(dib.Draw(dc, 1, 1), 3);
  EXPECT_EQ(dc.GetPixel(3, 1), dib.PaletteEntry(7));
  CDibImage empty;
  EXPECT_EQ(empty.Draw(dc, 0, 0), 0);
}

class ImageButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_parent.Create("", "", WS_VISIBLE, CRect(0, 0, 400, 200), nullptr, 0));
    m_parent.SetMessageHandler(WM_COMMAND, [this](WPARAM w, LPARAM) {
      if (HIWORD(w) == BN_CLICKED) m_clicks.push_back(static_cast<int>(LOWORD(w)));
      return LRESULT(0);
    });
  }
  void TearDown() override { fwtest::Drain(); }

  // A template-style button, then taken over by an image button.
  void Make(CImageButton& b, int id, std::uint32_t style, CRect r) {
    CButton plain;
    ASSERT_TRUE(plain.Create("Button", "Caption", WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, r,
                             &m_parent, id));
    QWidget* w = plain.UnsubclassWindow();
    ASSERT_TRUE(b.SubclassWindow(w));
  }

  CWnd m_parent;
  std::vector<int> m_clicks;
};

TEST_F(ImageButtonTest, SubclassingReadsTheButtonStyle) {
  CImageButton push, check, radio;
  Make(push, 1, BS_PUSHBUTTON | BS_LEFT, CRect(0, 0, 80, 30));
  Make(check, 2, BS_AUTOCHECKBOX | BS_FLAT, CRect(0, 40, 80, 70));
  Make(radio, 3, BS_AUTORADIOBUTTON | BS_PUSHLIKE, CRect(0, 80, 80, 110));
  EXPECT_EQ(push.kind(), CImageButton::kPush);
  EXPECT_TRUE(push.pushLike());
  EXPECT_TRUE(push.edges3d());
  EXPECT_EQ(push.captionFormat() & (DT_CENTER | DT_RIGHT), 0u);  // BS_LEFT: left-aligned
  EXPECT_EQ(check.kind(), CImageButton::kCheckBox);
  EXPECT_FALSE(check.edges3d());  // not push-like: no 3-D edges
  EXPECT_TRUE(check.flat());
  EXPECT_EQ(radio.kind(), CImageButton::kRadio);
  EXPECT_TRUE(radio.edges3d());
  // A template button that is owner-drawn already is a push button like any other.
  CImageButton owner;
  Make(owner, 4, BS_OWNERDRAW, CRect(100, 0, 180, 30));
  EXPECT_EQ(owner.kind(), CImageButton::kPush);
  EXPECT_TRUE(owner.pushLike());  // the caption shifts while pressed
  EXPECT_TRUE(owner.edges3d());
  EXPECT_EQ(push.GetStyle() & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_EQ(m_parent.GetDlgItem(2), &check);
  EXPECT_EQ(check.GetDlgCtrlID(), 2);
  CRect r;
  check.GetWindowRect(&r);
  m_parent.ScreenToClient(&r);
  EXPECT_EQ(r, CRect(0, 40, 80, 70));
}

TEST_F(ImageButtonTest, PressDragOffAndReleaseDoesNotToggle) {
  CImageButton check;
  Make(check, 10, BS_AUTOCHECKBOX, CRect(10, 10, 90, 40));
  QWidget* w = check.widget();
  QTest::mousePress(w, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(check.pressing());
  EXPECT_TRUE(check.pushed());
  QTest::mouseMove(w, QPoint(200, 5));  // off the button, still holding
  EXPECT_FALSE(check.pushed());
  QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(200, 5));
  EXPECT_FALSE(check.checked());
  EXPECT_TRUE(m_clicks.empty());
  EXPECT_EQ(GetCapture(), nullptr);

  // Back over the button before the release: it toggles and clicks.
  QTest::mousePress(w, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseMove(w, QPoint(200, 5));
  QTest::mouseMove(w, QPoint(6, 6));
  EXPECT_TRUE(check.pushed());
  QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(6, 6));
  EXPECT_TRUE(check.checked());
  EXPECT_EQ(m_clicks, std::vector<int>{10});
  QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FALSE(check.checked());
}

TEST_F(ImageButtonTest, SwallowsClicksWhenAsked) {
  CImageButton check;
  Make(check, 11, BS_AUTOCHECKBOX, CRect(10, 10, 90, 40));
  check.EnableClicks(false);
  QTest::mouseClick(check.widget(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FALSE(check.checked());
  EXPECT_TRUE(m_clicks.empty());
}

TEST_F(ImageButtonTest, HeldSpaceTogglesOnce) {
  CImageButton check;
  Make(check, 12, BS_AUTOCHECKBOX, CRect(10, 10, 90, 40));
  QWidget* w = check.widget();
  QKeyEvent first(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), false);
  QCoreApplication::sendEvent(w, &first);
  EXPECT_TRUE(check.checked());
  for (int i = 0; i < 5; ++i) {
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QCoreApplication::sendEvent(w, &repeat);
  }
  EXPECT_TRUE(check.checked());
  QKeyEvent up(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), false);
  QCoreApplication::sendEvent(w, &up);
  EXPECT_EQ(m_clicks, std::vector<int>{12});
  EXPECT_FALSE(check.pushed());
}

TEST_F(ImageButtonTest, RadioGroupUnchecksOnlyImageButtonsOfTheGroup) {
  CImageButton a, b, other;
  Make(a, 20, BS_AUTORADIOBUTTON | WS_GROUP, CRect(0, 0, 80, 20));
  Make(b, 21, BS_AUTORADIOBUTTON, CRect(0, 20, 80, 40));
  // A plain control in the same group must not receive the private message.
  CWnd plain;
  ASSERT_TRUE(plain.Create("", "", WS_CHILD | WS_VISIBLE, CRect(0, 40, 80, 60), &m_parent, 22));
  int plainGot = 0;
  plain.SetMessageHandler(CImageButton::kUncheckMessage, [&](WPARAM, LPARAM) {
    ++plainGot;
    return LRESULT(0);
  });
  Make(other, 23, BS_AUTORADIOBUTTON | WS_GROUP, CRect(0, 60, 80, 80));
  other.SetCheck(BST_CHECKED);
  a.SetCheck(BST_CHECKED);
  fwtest::Drain();
  QTest::mouseClick(b.widget(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(b.checked());
  ASSERT_TRUE(fwtest::WaitFor([&] { return !a.checked(); }));
  fwtest::Drain();
  EXPECT_TRUE(other.checked());  // another group is left alone
  EXPECT_EQ(plainGot, 0);
  EXPECT_EQ(m_parent.IsDlgButtonChecked(21), BST_CHECKED);
  // A push button has no check.
  CImageButton push;
  Make(push, 24, BS_PUSHBUTTON, CRect(100, 0, 180, 20));
  push.SetCheck(BST_CHECKED);
  EXPECT_FALSE(push.checked());
}

TEST_F(ImageButtonTest, CheckedToolTipText) {
  CImageButton check;
  Make(check, 30, BS_AUTOCHECKBOX, CRect(0, 0, 80, 20));
  check.SetToolTipText("Off", "On");
  EXPECT_EQ(check.widget()->toolTip(), "Off");
  check.SetCheck(BST_CHECKED);
  EXPECT_EQ(check.widget()->toolTip(), "On");
  check.SetToolTipText("Plain", "");
  EXPECT_EQ(check.currentToolTip(), "Plain");
}

TEST_F(ImageButtonTest, FacesAndSmallButtons) {
  CImageButton b;
  Make(b, 40, BS_PUSHBUTTON, CRect(0, 0, 60, 24));
  b.SetBkTexture(3, 40, 30, 20, RGB(255, 0, 0));
  ASSERT_TRUE(b.normalFace().IsValid());
  EXPECT_EQ(b.normalFace().width(), 60);
  EXPECT_EQ(b.focusLineH().width(), 60 - 8 - 1);
  EXPECT_EQ(b.focusLineV().height(), 24 - 8);
  EXPECT_EQ(b.focusLineH().GetPixel(0, 0), 0);
  EXPECT_EQ(b.focusLineH().GetPixel(1, 0), 255);
  // The shared palette runs shadow .. face .. highlight, tinted.
  EXPECT_NE(b.normalFace().PaletteEntry(128), GetSysColor(COLOR_BTNFACE));  // tinted 20 % to red
  EXPECT_EQ(b.focusLineH().PaletteEntry(0), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(b.focusLineH().PaletteEntry(128), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(b.focusLineH().PaletteEntry(255), GetSysColor(COLOR_BTNHIGHLIGHT));
  // Hover face: a lighter palette over the same pixels; pressed = hover.
  EXPECT_EQ(b.hoverFace().GetPixel(10, 10), b.normalFace().GetPixel(10, 10));
  EXPECT_EQ(b.pressedFace().PaletteEntry(10), b.hoverFace().PaletteEntry(10));
  EXPECT_TRUE(b.disabledFace().IsValid());

  CImageButton tiny;
  Make(tiny, 41, BS_PUSHBUTTON, CRect(100, 0, 106, 6));
  tiny.SetBkTexture(1, 10, 30, 200, RGB(0, 0, 255));  // tint beyond 100 is limited
  EXPECT_TRUE(tiny.normalFace().IsValid());
  EXPECT_FALSE(tiny.focusLineH().IsValid());  // no room inside the insets
  EXPECT_FALSE(tiny.focusLineV().IsValid());
  EXPECT_EQ(tiny.normalFace().PaletteEntry(77), RGB(0, 0, 255));
  CImageDC dc(6, 6);
  tiny.widget()->setFocus();
  tiny.DrawButton(dc);  // draws without the missing focus lines
}

TEST_F(ImageButtonTest, FlatButtonShowsItsEdgeOnlyWhileHovered) {
  CImageButton flat;
  Make(flat, 50, BS_PUSHBUTTON | BS_FLAT, CRect(0, 0, 60, 24));
  fw::SetSysColor(COLOR_BTNHIGHLIGHT, RGB(0, 255, 0));
  CImageDC idle(60, 24);
  flat.DrawButton(idle);
  EXPECT_NE(idle.GetPixel(0, 10), RGB(0, 255, 0));
  QTest::mouseMove(flat.widget(), QPoint(10, 10));
  ASSERT_TRUE(flat.hover());
  CImageDC hovered(60, 24);
  flat.DrawButton(hovered);
  EXPECT_EQ(hovered.GetPixel(0, 10), RGB(0, 255, 0));
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(flat.widget(), &leave);
  EXPECT_FALSE(flat.hover());
  fw::ResetSystemTables();
}

TEST_F(ImageButtonTest, MissingPressedIconFallsBackToTheNormalOne) {
  QImage img(16, 16, QImage::Format_ARGB32);
  img.fill(Qt::red);
  fw::RegisterIcon(9001, img);
  CImageButton b;
  Make(b, 60, BS_PUSHBUTTON, CRect(0, 0, 80, 60));
  EXPECT_FALSE(b.SetButtonIcon(9999));  // no such icon
  ASSERT_TRUE(b.SetButtonIcon(9001, CImageButton::kIconLeft, 9002));
  EXPECT_EQ(b.pressedIcon(), b.icon());
  EXPECT_EQ(b.iconRect(), CRect(4, 22, 20, 38));
  // Pressed: the (normal) icon one pixel down-right on a push-like button.
  b.SendMessage(BM_SETSTATE, 1);
  CImageDC dc(80, 60);
  b.DrawButton(dc);
  EXPECT_EQ(dc.GetPixel(5, 23), RGB(255, 0, 0));
  EXPECT_EQ(dc.GetPixel(20, 38), RGB(255, 0, 0));
}

}  // namespace
