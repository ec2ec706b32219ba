// The owner-drawn menu's item states that mix: checked and disabled items
// with images, and the recent-file items the application puts into it.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include "gui_helpers.h"
#include "platform/gui/winapp.h"
#include "toolkit/ownerdrawmenu.h"

namespace {

constexpr COLORREF kRed = RGB(220, 30, 30);

QRgb Rgb(COLORREF c) {
  return fw::ToQColor(c).rgb();
}

class OwnerDrawMenuStates : public ::testing::Test {
 protected:
  void SetUp() override {
    COwnerDrawMenu::ResetSharedImages();
    // Command 100 has an image: a red square on the mask colour.
    CImageList list;
    ASSERT_TRUE(list.Create(16, 15, ILC_COLOR24 | ILC_MASK, 1, 0));
    QImage img(16, 15, QImage::Format_RGB32);
    img.fill(QColor(192, 192, 192));
    for (int y = 3; y < 12; ++y)
      for (int x = 3; x < 13; ++x) img.setPixel(x, y, Rgb(kRed));
    list.Add(img, RGB(192, 192, 192));
    COwnerDrawMenu::AddSharedImage(&list, 0, 100);
  }
  void TearDown() override { COwnerDrawMenu::ResetSharedImages(); }

  static QImage Draw(COwnerDrawMenu& menu, UINT state) {
    CImageDC dc(200, 22, RGB(1, 2, 3));
    DRAWITEMSTRUCT dis;
    dis.hDC = &dc;
    dis.rcItem = CRect(0, 0, 200, 22);
    dis.itemState = state;
    dis.itemData = reinterpret_cast<std::uintptr_t>(menu.records()[0].get());
    menu.DrawItem(&dis);
    return dc.Snapshot();
  }
};

// Whether the rectangle's one-pixel outline (right and bottom inclusive) is
// all one colour; that colour comes back in *colour.
bool Outline(const QImage& img, QRect r, QRgb* colour) {
  *colour = img.pixel(r.topLeft());
  for (int x = r.left(); x <= r.right(); ++x)
    if (img.pixel(x, r.top()) != *colour || img.pixel(x, r.bottom()) != *colour) return false;
  for (int y = r.top(); y <= r.bottom(); ++y)
    if (img.pixel(r.left(), y) != *colour || img.pixel(r.right(), y) != *colour) return false;
  return true;
}

bool Grey(QRgb c) {
  return qRed(c) == qGreen(c) && qGreen(c) == qBlue(c);
}

TEST_F(OwnerDrawMenuStates, ACheckedDisabledItemWithAnImageIsPressedInGrey) {
  COwnerDrawMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendOwnerDrawnItem("&Toolbar", 0, 100);
  ASSERT_EQ(menu.records()[0]->sharedIndex, 0);
  const QRgb column = Rgb(COwnerDrawMenu::Lighten(GetSysColor(COLOR_BTNFACE), 0.25));
  // The cell of a checked item inside the 23-pixel column: (1, 1) to (21, 20).
  const QRect cell(1, 1, 21, 20);

  QRgb enabledFrame = 0;
  ASSERT_TRUE(Outline(Draw(menu, ODS_CHECKED), cell, &enabledFrame));
  EXPECT_EQ(enabledFrame, Rgb(GetSysColor(COLOR_HIGHLIGHT)));

  // Disabled, checked: the same cell, framed and filled in greys, selected or not.
  for (UINT state : {ODS_CHECKED | ODS_GRAYED, ODS_CHECKED | ODS_DISABLED | ODS_SELECTED}) {
    const QImage img = Draw(menu, state);
    QRgb frame = 0;
    EXPECT_TRUE(Outline(img, cell, &frame)) << state;
    EXPECT_NE(frame, column) << state;
    EXPECT_TRUE(Grey(frame)) << state;
    const QRgb fill = img.pixel(2, 2);
    EXPECT_NE(fill, frame) << state;
    EXPECT_NE(fill, column) << state;
    EXPECT_TRUE(Grey(fill)) << state;
    EXPECT_EQ(img.pixel(0, 0), column) << state;  // outside the cell: the column
    EXPECT_EQ(img.pixel(22, 10), column) << state;
    // The image is greyed, nothing of its red is left.
    for (int y = 0; y < 22; ++y)
      for (int x = 0; x < 23; ++x) ASSERT_NE(img.pixel(x, y), Rgb(kRed)) << x << "," << y;
  }

  // Disabled, not checked: no cell.
  EXPECT_EQ(Draw(menu, ODS_GRAYED).pixel(1, 1), column);
}

// A menu drawn as on a palette display.
class ClassicMenu : public COwnerDrawMenu {
 protected:
  bool UseClassicStyle(CDC*) const override { return true; }
};

TEST_F(OwnerDrawMenuStates, TheClassicLookSinksTheCellOfACheckedDisabledItem) {
  ClassicMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendOwnerDrawnItem("&Toolbar", 0, 100);
  const QRgb shadow = Rgb(GetSysColor(COLOR_BTNSHADOW));
  const QRgb light = Rgb(GetSysColor(COLOR_BTNHIGHLIGHT));
  const QRgb menuColour = Rgb(GetSysColor(COLOR_MENU));
  // The 20 x 19 cell at (0, 1): shadow above and left, light below and right.
  for (UINT state : {ODS_CHECKED, ODS_CHECKED | ODS_GRAYED}) {
    const QImage img = Draw(menu, state);
    EXPECT_EQ(img.pixel(0, 1), shadow) << state;
    EXPECT_EQ(img.pixel(0, 18), shadow) << state;
    EXPECT_EQ(img.pixel(18, 1), shadow) << state;
    EXPECT_EQ(img.pixel(19, 10), light) << state;
    EXPECT_EQ(img.pixel(10, 19), light) << state;
    EXPECT_EQ(img.pixel(1, 2), Rgb(COwnerDrawMenu::Lighten(GetSysColor(COLOR_MENU), 0.6))) << state;
  }
  EXPECT_EQ(Draw(menu, ODS_GRAYED).pixel(0, 1), menuColour);
}

}  // namespace
