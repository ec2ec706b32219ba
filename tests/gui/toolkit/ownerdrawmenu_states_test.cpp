// The owner-drawn menu's item states that mix: checked and disabled items
// with images, and the recent-file items the application puts into it.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include "gui_helpers.h"
#include "platform/gui/stdids.h"
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

const char* const kFileMenu = R"(
500 MENU
BEGIN
    POPUP "&File"
    BEGIN
        MENUITEM "&Open...\tCtrl+O",   57601
        MENUITEM SEPARATOR
        MENUITEM "Recent File",        57616, GRAYED
        MENUITEM SEPARATOR
        MENUITEM "E&xit",              57665
    END
END
)";

// The rows of the rectangle that hold a pixel other than the background.
std::pair<int, int> InkRows(const QImage& img, const QRect& r, QRgb background) {
  int first = -1, last = -1;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (img.pixel(x, y) != background) {
        if (first < 0) first = y - r.top();
        last = y - r.top();
        break;
      }
  return {first, last};
}

TEST_F(OwnerDrawMenuStates, RecentFilesAreDrawnLikeTheOtherItems) {
  fwtest::ScopedBundle bundle(kFileMenu);
  COwnerDrawMenu menu;
  ASSERT_TRUE(menu.LoadMenuById(500));
  CMenu* file = menu.GetSubMenu(0);
  CRecentFileList recent("Recent File List", "File%d", 4);
  recent.Add("/projects/a/Alpha.fwp");
  recent.Add("/projects/b/Beta.fwp");
  // As the pop-up opens, twice: the files replace the first item and then themselves.
  for (int open = 0; open < 2; ++open) {
    CMenuCmdUI ui;
    ui.m_menu = file->m_hMenu;
    ui.m_nID = ID_FILE_MRU_FILE1;
    ui.m_nIndex = 2;
    recent.UpdateMenu(&ui);
  }
  ASSERT_EQ(file->GetMenuItemCount(), 6);
  std::string text;
  file->GetMenuString(2, text, MF_BYPOSITION);
  EXPECT_EQ(text, "&1 Beta.fwp");
  auto* popup = dynamic_cast<COwnerDrawMenu*>(file);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->records().size(), 6u);  // one record an item, none left behind

  QMenu* w = fw::PopupWidget(file->m_hMenu);
  fw::RefreshPopupWidget(file->m_hMenu);
  ASSERT_EQ(w->actions().size(), 6);
  const QRect open = w->actionGeometry(w->actions()[0]);
  const QRect mru = w->actionGeometry(w->actions()[2]);
  EXPECT_EQ(mru.size(), open.size());
  const QImage shot = w->grab().toImage();
  const QRgb window = Rgb(COwnerDrawMenu::Darken(GetSysColor(COLOR_WINDOW), 0.02));
  const QRgb column = Rgb(COwnerDrawMenu::Lighten(GetSysColor(COLOR_BTNFACE), 0.25));
  for (const QRect& r : {open, mru}) {
    EXPECT_EQ(shot.pixel(r.left() + 2, r.top() + 10), column);
    EXPECT_EQ(shot.pixel(r.left() + 23, r.top() + 1), window);
    EXPECT_EQ(shot.pixel(r.right() - 2, r.bottom() - 1), window);
  }
  // The text in the menu's font: the rows it covers are those of the same
  // text drawn as an owner-drawn item.
  COwnerDrawMenu reference;
  ASSERT_TRUE(reference.CreatePopupMenu());
  reference.AppendOwnerDrawnItem("&1 Beta.fwp", 0, ID_FILE_MRU_FILE1);
  CImageDC dc(mru.width(), mru.height(), RGB(1, 2, 3));
  DRAWITEMSTRUCT dis;
  dis.hDC = &dc;
  dis.rcItem = CRect(0, 0, mru.width(), mru.height());
  dis.itemData = reinterpret_cast<std::uintptr_t>(reference.records()[0].get());
  reference.DrawItem(&dis);
  const QRect textArea(31, 0, 60, mru.height());
  EXPECT_EQ(InkRows(shot, textArea.translated(mru.topLeft()), window),
            InkRows(dc.Snapshot(), textArea, window));

  // With no files left, the first item comes back greyed, drawn like the rest.
  CRecentFileList none("Recent File List", "File%d", 4);
  CMenuCmdUI ui;
  ui.m_menu = file->m_hMenu;
  ui.m_nID = ID_FILE_MRU_FILE1;
  ui.m_nIndex = 2;
  none.UpdateMenu(&ui);
  ASSERT_EQ(file->GetMenuItemCount(), 5);
  EXPECT_EQ(popup->records().size(), 5u);
  fw::RefreshPopupWidget(file->m_hMenu);
  const QRect back = w->actionGeometry(w->actions()[2]);
  EXPECT_EQ(back.size(), open.size());
  const QImage after = w->grab().toImage();
  EXPECT_EQ(after.pixel(back.left() + 2, back.top() + 10), column);
  EXPECT_EQ(after.pixel(back.left() + 23, back.top() + 1), window);
}

}  // namespace
