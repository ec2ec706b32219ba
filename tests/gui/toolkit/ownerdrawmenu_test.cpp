#include "toolkit/ownerdrawmenu.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFontMetrics>
#include <QMenu>
#include <algorithm>

#include "gui_helpers.h"

namespace {

const char* const kScript = R"(
400 MENU
BEGIN
    POPUP "&File"
    BEGIN
        MENUITEM "&New\tCtrl+N",            100
        MENUITEM "Save &As...\tCtrl+Shift+S", 101
        MENUITEM SEPARATOR
        MENUITEM "E&xit",                   102
    END
    POPUP "&Operations"
    BEGIN
        MENUITEM "&Load",                   103
        POPUP "&Advanced"
        BEGIN
            POPUP "Deeper"
            BEGIN
                MENUITEM "Leaf",            104
            END
        END
    END
END
)";

constexpr COLORREF kRed = RGB(220, 30, 30);

// A 16x15 image list whose image 0 is a red square on the mask colour.
void RedSquare(CImageList& list, COLORREF colour = kRed) {
  ASSERT_TRUE(list.Create(16, 15, ILC_COLOR24 | ILC_MASK, 1, 0));
  QImage img(16, 15, QImage::Format_RGB32);
  img.fill(QColor(192, 192, 192));
  for (int y = 3; y < 12; ++y)
    for (int x = 3; x < 13; ++x) img.setPixel(x, y, fw::ToQColor(colour).rgb());
  list.Add(img, RGB(192, 192, 192));
}

QRgb Rgb(COLORREF c) {
  return fw::ToQColor(c).rgb();
}

class OwnerDrawMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_bundle.ok()) << m_bundle.error();
    COwnerDrawMenu::ResetSharedImages();
  }
  void TearDown() override { COwnerDrawMenu::ResetSharedImages(); }
  fwtest::ScopedBundle m_bundle{kScript};
};

TEST_F(OwnerDrawMenuTest, LoadingBuildsOwnerDrawnPopupsUnderAPlainMenuBar) {
  COwnerDrawMenu menu;
  ASSERT_TRUE(menu.LoadMenuById(400));
  EXPECT_FALSE(menu.LoadMenuById(401));  // missing: FALSE
  ASSERT_TRUE(menu.LoadMenu("#400"));
  EXPECT_TRUE(menu.loaded());
  // The bar: plain pop-ups the system draws.
  ASSERT_EQ(menu.GetMenuItemCount(), 2);
  EXPECT_EQ(menu.GetMenuState(0, MF_BYPOSITION) & MF_OWNERDRAW, 0u);
  EXPECT_EQ(menu.records()[1]->flags, MF_BYPOSITION | MF_POPUP);
  // The pop-ups: every item owner-drawn, the separator too.
  CMenu* file = menu.GetSubMenu(0);
  ASSERT_NE(file, nullptr);
  EXPECT_NE(dynamic_cast<COwnerDrawMenu*>(file), nullptr);
  EXPECT_TRUE(file->GetMenuState(100, MF_BYCOMMAND) & MF_OWNERDRAW);
  EXPECT_EQ(file->GetMenuState(2, MF_BYPOSITION) & (MF_OWNERDRAW | MF_SEPARATOR),
            MF_OWNERDRAW | MF_SEPARATOR);
  // The last item closed three levels at once; the leaf is where it belongs.
  CMenu* deeper = menu.GetSubMenu(1)->GetSubMenu(1)->GetSubMenu(0);
  ASSERT_NE(deeper, nullptr);
  EXPECT_EQ(deeper->GetMenuItemID(0), 104u);
  const auto& popups = COwnerDrawMenu::Popups();
  EXPECT_NE(std::find(popups.begin(), popups.end(), deeper->m_hMenu), popups.end());
}

TEST_F(OwnerDrawMenuTest, AcceleratorsOfALevelStartInOneColumn) {
  COwnerDrawMenu menu;
  ASSERT_TRUE(menu.LoadMenuById(400));
  auto* file = dynamic_cast<COwnerDrawMenu*>(menu.GetSubMenu(0));
  ASSERT_NE(file, nullptr);
  const std::string& a = file->records()[0]->text;
  const std::string& b = file->records()[1]->text;
  QFontMetrics fm(fw::FontFromLogFont(fw::DefaultGuiLogFont()));
  auto labelWidth = [&](const std::string& t) {
    return fm.horizontalAdvance(QString::fromStdString(t.substr(0, t.find('\t'))).remove('&'));
  };
  const int widest = fm.horizontalAdvance("Save As... ");
  const int space = fm.horizontalAdvance(" ");
  for (const std::string* t : {&a, &b}) {
    EXPECT_GE(labelWidth(*t), widest) << *t;
    EXPECT_LE(labelWidth(*t), widest + space) << *t;
  }
  EXPECT_EQ(a.substr(0, 5), "&New ");  // the shorter label is padded with blanks
  EXPECT_EQ(a.substr(a.find('\t')), "\tCtrl+N");
}

TEST_F(OwnerDrawMenuTest, SharedImagesComeInFoursAndAreReplacedInPlace) {
  CImageList red, blue;
  RedSquare(red);
  RedSquare(blue, RGB(20, 40, 200));
  EXPECT_EQ(COwnerDrawMenu::AddSharedImage(&red, 0, 100), 0);
  EXPECT_EQ(COwnerDrawMenu::AddSharedImage(&red, 0, 101), 4);
  EXPECT_EQ(COwnerDrawMenu::SharedImages().GetImageCount(), 8);
  // A second image for a command replaces its four; the list does not grow.
  EXPECT_EQ(COwnerDrawMenu::AddSharedImage(&blue, 0, 100), 0);
  EXPECT_EQ(COwnerDrawMenu::SharedImages().GetImageCount(), 8);
  EXPECT_EQ(COwnerDrawMenu::SharedImageCommands(),
            (std::vector<UINT>{100, 100, 100, 100, 101, 101, 101, 101}));
  const QImage normal = COwnerDrawMenu::SharedImages().GetImage(4);
  const QImage faded = COwnerDrawMenu::SharedImages().GetImage(5);
  const QImage silhouette = COwnerDrawMenu::SharedImages().GetImage(6);
  const QImage grey = COwnerDrawMenu::SharedImages().GetImage(7);
  EXPECT_EQ(normal.pixel(5, 5), Rgb(kRed));
  // Every pixel of the picture changes, neighbours alike; the face stays clear.
  for (int x = 3; x < 13; ++x) {
    EXPECT_EQ(faded.pixel(x, 5), Rgb(COwnerDrawMenu::Lighten(kRed, 0.3))) << x;
    EXPECT_EQ(silhouette.pixel(x, 6),
              Rgb(COwnerDrawMenu::Lighten(GetSysColor(COLOR_BTNSHADOW), 0.49)))
        << x;
  }
  const double brightness = (220 + 30 + 30) / 3.0 / 255.0;
  EXPECT_EQ(grey.pixel(4, 4),
            Rgb(COwnerDrawMenu::Lighten(GetSysColor(COLOR_BTNSHADOW), brightness)));
  for (const QImage* img : {&faded, &silhouette, &grey}) EXPECT_EQ(qAlpha(img->pixel(0, 0)), 0);
  // Lighten and darken leave the colour for factors outside (0, 1].
  EXPECT_EQ(COwnerDrawMenu::Lighten(RGB(100, 0, 255), 0.5), RGB(177, 127, 255));
  EXPECT_EQ(COwnerDrawMenu::Darken(RGB(100, 0, 255), 0.5), RGB(50, 0, 127));
  EXPECT_EQ(COwnerDrawMenu::Lighten(RGB(1, 2, 3), 0.0), RGB(1, 2, 3));
  EXPECT_EQ(COwnerDrawMenu::Darken(RGB(1, 2, 3), 1.5), RGB(1, 2, 3));
}

TEST_F(OwnerDrawMenuTest, MeasuresItemsAndSeparators) {
  COwnerDrawMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendOwnerDrawnItem("E&xit", 0, 102);
  menu.AppendOwnerDrawnItem({}, 0, 0);
  MEASUREITEMSTRUCT item, sep;
  item.itemData = reinterpret_cast<std::uintptr_t>(menu.records()[0].get());
  sep.itemData = reinterpret_cast<std::uintptr_t>(menu.records()[1].get());
  menu.MeasureItem(&item);
  menu.MeasureItem(&sep);
  QFontMetrics fm(fw::FontFromLogFont(fw::DefaultGuiLogFont()));
  EXPECT_EQ(item.itemHeight, 22u);  // 15 + 7 spacing
  EXPECT_EQ(item.itemWidth, static_cast<UINT>(fm.horizontalAdvance("Exit") + 16 + 7 + 8 +
                                              GetSystemMetrics(SM_CXMENUCHECK) - 1));
  EXPECT_EQ(sep.itemWidth, 0u);
  EXPECT_EQ(sep.itemHeight, 3u);
}

// Draws one item of menu into a fresh image.
QImage DrawOne(COwnerDrawMenu& menu, int record, UINT state, int width = 200, int height = 22) {
  CImageDC dc(width, height, RGB(1, 2, 3));
  DRAWITEMSTRUCT dis;
  dis.hDC = &dc;
  dis.rcItem = CRect(0, 0, width, height);
  dis.itemState = state;
  dis.itemData =
      reinterpret_cast<std::uintptr_t>(menu.records()[static_cast<std::size_t>(record)].get());
  menu.DrawItem(&dis);
  return dc.Snapshot();
}

// The first column (from the left) where a pixel of the row differs from the background.
int FirstInk(const QImage& img, int from, int to, QRgb background) {
  for (int x = from; x < to; ++x)
    for (int y = 0; y < img.height(); ++y)
      if (img.pixel(x, y) != background) return x;
  return -1;
}
int LastInk(const QImage& img, int from, int to, QRgb background) {
  for (int x = to - 1; x >= from; --x)
    for (int y = 0; y < img.height(); ++y)
      if (img.pixel(x, y) != background) return x;
  return -1;
}

TEST_F(OwnerDrawMenuTest, FlatLookColumnsImagesAndStates) {
  CImageList red;
  RedSquare(red);
  COwnerDrawMenu::AddSharedImage(&red, 0, 100);
  COwnerDrawMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendOwnerDrawnItem("&New\tCtrl+N", 0, 100);  // takes the shared image
  menu.AppendOwnerDrawnItem({}, 0, 0);
  menu.AppendOwnerDrawnItem("Auto-Open", 0, 105);
  menu.AppendOwnerDrawnItem("One", MFT_RADIOCHECK, 106);
  ASSERT_EQ(menu.records()[0]->sharedIndex, 0);
  EXPECT_EQ(menu.records()[2]->sharedIndex, -1);

  const QRgb window = Rgb(COwnerDrawMenu::Darken(GetSysColor(COLOR_WINDOW), 0.02));
  const QRgb column = Rgb(COwnerDrawMenu::Lighten(GetSysColor(COLOR_BTNFACE), 0.25));
  const QRgb selection = Rgb(COwnerDrawMenu::Lighten(GetSysColor(COLOR_HIGHLIGHT), 0.85));
  const QRgb highlight = Rgb(GetSysColor(COLOR_HIGHLIGHT));

  // Not selected: the 23-pixel image column, then the background; the faded
  // image 4 across and 4 down; the label 8 pixels past the column; the
  // accelerator ending 16 pixels before the right edge.
  QImage normal = DrawOne(menu, 0, 0);
  EXPECT_EQ(normal.pixel(0, 0), column);
  EXPECT_EQ(normal.pixel(22, 20), column);
  EXPECT_EQ(normal.pixel(23, 20), window);
  EXPECT_EQ(normal.pixel(4 + 3, 4 + 3), Rgb(COwnerDrawMenu::Lighten(kRed, 0.3)));
  EXPECT_EQ(normal.pixel(4 + 2, 4 + 2), column);  // the mask shows the column
  EXPECT_GE(FirstInk(normal, 23, 100, window), 31);
  EXPECT_LE(FirstInk(normal, 23, 100, window), 33);
  EXPECT_LE(LastInk(normal, 100, 200, window), 200 - 16 - 1);
  EXPECT_GE(LastInk(normal, 100, 200, window), 200 - 16 - 3);

  // Selected: the selection colour framed in the highlight; the silhouette
  // one pixel right and down under the normal image one pixel left and up.
  QImage selected = DrawOne(menu, 0, ODS_SELECTED);
  EXPECT_EQ(selected.pixel(0, 0), highlight);
  EXPECT_EQ(selected.pixel(199, 21), highlight);
  EXPECT_EQ(selected.pixel(1, 1), selection);
  EXPECT_EQ(selected.pixel(3 + 3, 3 + 3), Rgb(kRed));
  EXPECT_EQ(selected.pixel(4 + 12, 4 + 11),
            Rgb(COwnerDrawMenu::Lighten(GetSysColor(COLOR_BTNSHADOW), 0.49)));

  // Disabled: never selected, the greyscale image, the text lightened grey.
  QImage disabled = DrawOne(menu, 0, ODS_SELECTED | ODS_GRAYED);
  EXPECT_EQ(disabled.pixel(30, 1), window);
  EXPECT_NE(disabled.pixel(4 + 5, 4 + 5), Rgb(COwnerDrawMenu::Lighten(kRed, 0.3)));
  const QRgb grey = Rgb(COwnerDrawMenu::Lighten(GetSysColor(COLOR_GRAYTEXT), 0.4));
  bool greyText = false;
  for (int y = 0; y < 22; ++y)
    for (int x = 31; x < 100; ++x) greyText |= disabled.pixel(x, y) == grey;
  EXPECT_TRUE(greyText);

  // The separator: 3 high, an etched line starting 7 pixels in.
  QImage sep = DrawOne(menu, 1, 0, 200, 3);
  EXPECT_EQ(sep.pixel(0, 0), column);
  EXPECT_EQ(sep.pixel(6, 1), column);
  EXPECT_EQ(sep.pixel(7, 1), Rgb(GetSysColor(COLOR_BTNSHADOW)));
  EXPECT_EQ(sep.pixel(100, 1), Rgb(GetSysColor(COLOR_BTNSHADOW)));
  EXPECT_EQ(sep.pixel(100, 2), Rgb(GetSysColor(COLOR_BTNHIGHLIGHT)));
  EXPECT_EQ(sep.pixel(100, 0), window);

  // Checked without an image: a framed cell with a tick, or a bullet for radio items.
  QImage tick = DrawOne(menu, 2, ODS_CHECKED);
  EXPECT_EQ(tick.pixel(1, 1), highlight);
  EXPECT_EQ(tick.pixel(2, 2), Rgb(COwnerDrawMenu::Lighten(GetSysColor(COLOR_HIGHLIGHT), 0.85)));
  const QRgb ink = Rgb(GetSysColor(COLOR_MENUTEXT));
  // Cell 21 x 20 at (1, 1): the mark's box starts at (1 + 7, 1 + 7).
  EXPECT_EQ(tick.pixel(8 + 2, 8 + 4), ink);  // the lowest point of the tick
  EXPECT_EQ(tick.pixel(8 + 6, 8 + 0), ink);
  QImage bullet = DrawOne(menu, 3, ODS_CHECKED);
  EXPECT_EQ(bullet.pixel(8 + 3, 8 + 3), ink);
  EXPECT_NE(bullet.pixel(8 + 6, 8 + 0), ink);
}

// A menu drawn as on a palette display.
class ClassicMenu : public COwnerDrawMenu {
 protected:
  bool UseClassicStyle(CDC*) const override { return true; }
};

TEST_F(OwnerDrawMenuTest, ClassicLookRaisesTheImageCellAndHighlightsBesideIt) {
  CImageList red;
  RedSquare(red);
  COwnerDrawMenu::AddSharedImage(&red, 0, 100);
  ClassicMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendOwnerDrawnItem("&New", 0, 100);
  QImage selected = DrawOne(menu, 0, ODS_SELECTED);
  const QRgb menuColour = Rgb(GetSysColor(COLOR_MENU));
  EXPECT_EQ(selected.pixel(20, 10), menuColour);  // left of the selection
  EXPECT_EQ(selected.pixel(21, 10), Rgb(GetSysColor(COLOR_HIGHLIGHT)));
  // The 20 x 19 image cell, centred: a raised edge around the image.
  EXPECT_EQ(selected.pixel(0, 1), Rgb(GetSysColor(COLOR_BTNHIGHLIGHT)));
  EXPECT_EQ(selected.pixel(19, 10), Rgb(GetSysColor(COLOR_BTNSHADOW)));
  EXPECT_EQ(selected.pixel(2 + 5, 1 + 2 + 5), Rgb(kRed));
  QImage plain = DrawOne(menu, 0, 0);
  EXPECT_EQ(plain.pixel(100, 10), menuColour);
  EXPECT_EQ(plain.pixel(0, 1), menuColour);
}

TEST_F(OwnerDrawMenuTest, PopupWidgetLaysOutTheMeasuredItems) {
  COwnerDrawMenu menu;
  ASSERT_TRUE(menu.LoadMenuById(400));
  QMenu* file = fw::PopupWidget(menu.GetSubMenu(0)->m_hMenu);
  ASSERT_NE(file, nullptr);
  fw::RefreshPopupWidget(menu.GetSubMenu(0)->m_hMenu);
  ASSERT_EQ(file->actions().size(), 4);
  const QRect first = file->actionGeometry(file->actions()[0]);
  const QRect sep = file->actionGeometry(file->actions()[2]);
  EXPECT_EQ(first.height(), 22);
  EXPECT_EQ(sep.height(), 3);
  QImage shot = file->grab().toImage();
  EXPECT_EQ(shot.pixel(first.left() + 2, first.top() + 10),
            Rgb(COwnerDrawMenu::Lighten(GetSysColor(COLOR_BTNFACE), 0.25)));
  EXPECT_EQ(shot.pixel(first.left() + 60, first.top() + 1),
            Rgb(COwnerDrawMenu::Darken(GetSysColor(COLOR_WINDOW), 0.02)));
}

TEST_F(OwnerDrawMenuTest, RemovingAPopupTakesItsWholeTreeAndItsHandles) {
  COwnerDrawMenu menu;
  ASSERT_TRUE(menu.LoadMenuById(400));
  CMenu* operations = menu.GetSubMenu(1);
  HMENU advanced = operations->GetSubMenu(1)->m_hMenu;
  HMENU deeper = operations->GetSubMenu(1)->GetSubMenu(0)->m_hMenu;
  auto listed = [](HMENU h) {
    const auto& p = COwnerDrawMenu::Popups();
    return std::find(p.begin(), p.end(), h) != p.end();
  };
  ASSERT_TRUE(listed(advanced));
  auto* ops = dynamic_cast<COwnerDrawMenu*>(operations);
  ASSERT_NE(ops, nullptr);
  EXPECT_EQ(ops->records().size(), 2u);
  EXPECT_TRUE(ops->RemoveMenu(1, MF_BYPOSITION));
  EXPECT_FALSE(listed(advanced));
  EXPECT_FALSE(listed(deeper));
  EXPECT_FALSE(fw::IsMenu(advanced));
  EXPECT_FALSE(fw::IsMenu(deeper));
  EXPECT_EQ(ops->records().size(), 1u);
  // By command, from the top: found in its pop-up and removed there.
  auto* file = dynamic_cast<COwnerDrawMenu*>(menu.GetSubMenu(0));
  EXPECT_TRUE(menu.RemoveMenu(101, MF_BYCOMMAND));
  EXPECT_EQ(file->GetMenuItemCount(), 3);
  EXPECT_EQ(file->records().size(), 3u);
  EXPECT_EQ(menu.GetMenuState(101, MF_BYCOMMAND), kMenuItemMissing);
  EXPECT_FALSE(menu.RemoveMenu(101, MF_BYCOMMAND));
  // Destroying the menu empties the process-wide list of its pop-ups.
  HMENU fileHandle = file->m_hMenu;
  menu.DestroyMenu();
  EXPECT_FALSE(listed(fileHandle));
}

TEST_F(OwnerDrawMenuTest, ModifyingReachesEveryItemOfACommandAndAppendingRelabelsTheBar) {
  COwnerDrawMenu menu;
  ASSERT_TRUE(menu.LoadMenuById(400));
  CImageList red;
  RedSquare(red);
  EXPECT_TRUE(menu.ModifyOwnerDrawnItem(std::string("Leaf two"), 104, &red, 0));
  auto* deeper = dynamic_cast<COwnerDrawMenu*>(menu.GetSubMenu(1)->GetSubMenu(1)->GetSubMenu(0));
  ASSERT_NE(deeper, nullptr);
  EXPECT_EQ(deeper->records()[0]->text, "Leaf two");
  EXPECT_EQ(deeper->records()[0]->sharedIndex, 0);
  // A pop-up appended to a loaded bar becomes a plain bar item.
  COwnerDrawMenu extra;
  ASSERT_TRUE(extra.CreatePopupMenu());
  EXPECT_TRUE(
      menu.AppendOwnerDrawnItem("&Help", MF_POPUP, reinterpret_cast<UINT_PTR>(extra.m_hMenu)));
  extra.Detach();
  EXPECT_EQ(menu.GetMenuState(2, MF_BYPOSITION) & (MF_OWNERDRAW | MF_POPUP), MF_POPUP);
  std::string text;
  menu.GetMenuString(2, text, MF_BYPOSITION);
  EXPECT_EQ(text, "&Help");
}

}  // namespace
