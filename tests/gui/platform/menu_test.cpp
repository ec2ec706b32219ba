#include "platform/gui/menu.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <functional>

#include "gui_helpers.h"

namespace {

const char* const kScript = R"(
300 MENU
BEGIN
    POPUP "&File"
    BEGIN
        MENUITEM "&New\tCtrl+N",   100
        MENUITEM SEPARATOR
        MENUITEM "Auto-&Open",     101, CHECKED
        POPUP "&Advanced"
        BEGIN
            MENUITEM "Deep",       102
            MENUITEM "Deeper",     103, GRAYED
        END
    END
    POPUP "&Help"
    BEGIN
        MENUITEM "&About",         104
    END
END
)";

// Picks an item of the pop-up that opens next, by its text, with the mouse.
void ClickWhenOpen(const QString& text) {
  QTimer::singleShot(0, [text] {
    fwtest::WaitFor([] { return QApplication::activePopupWidget() != nullptr; }, 2000);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return;
    for (QAction* a : menu->actions())
      if (a->text() == text) {
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
        return;
      }
    menu->close();
  });
}

TEST(Menu, LoadedFromTheScriptWithNestedPopups) {
  fwtest::ScopedBundle bundle(kScript);
  ASSERT_TRUE(bundle.ok()) << bundle.error();
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(300));
  EXPECT_FALSE(menu.LoadMenu(300));  // already holds one
  EXPECT_EQ(menu.GetMenuItemCount(), 2);
  CMenu* file = menu.GetSubMenu(0);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(menu.GetMenuItemID(0), kMenuItemMissing);  // a pop-up
  EXPECT_EQ(file->GetMenuItemCount(), 4);
  EXPECT_EQ(file->GetMenuItemID(0), 100u);
  EXPECT_EQ(file->GetMenuItemID(1), 0u);  // separator
  std::string text;
  file->GetMenuString(100, text, MF_BYCOMMAND);
  EXPECT_EQ(text, "&New\tCtrl+N");
  EXPECT_EQ(file->GetMenuState(101, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
  // By command searches the nested pop-ups, from the top.
  EXPECT_EQ(menu.GetMenuState(103, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
  EXPECT_EQ(menu.EnableMenuItem(103, MF_ENABLED), MF_GRAYED);
  EXPECT_EQ(menu.GetMenuState(103, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_EQ(menu.CheckMenuItem(101, MF_UNCHECKED), MF_CHECKED);
  EXPECT_EQ(menu.CheckMenuItem(999, MF_CHECKED), kMenuItemMissing);
  // A pop-up's state carries its item count.
  EXPECT_EQ(file->GetMenuState(3, MF_BYPOSITION) >> 8, 2u);
  EXPECT_EQ(menu.GetMenuState(7, MF_BYPOSITION), kMenuItemMissing);
}

TEST(Menu, InsertRemoveAndDeleteKeepTheTreeSound) {
  CMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  CMenu sub;
  ASSERT_TRUE(sub.CreatePopupMenu());
  sub.AppendMenu(MF_STRING, 11, "eleven");
  HMENU subHandle = sub.Detach();
  menu.AppendMenu(MF_STRING, 1, "one");
  menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(subHandle), "sub");
  menu.AppendMenu(MF_STRING, 3, "three");
  EXPECT_FALSE(menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(menu.m_hMenu), "self"));
  // Before a command (also inside a pop-up) and by position, past the end appends.
  EXPECT_TRUE(menu.InsertMenu(11, MF_BYCOMMAND, 10, "ten"));
  EXPECT_TRUE(menu.InsertMenu(0, MF_BYPOSITION, 0, "zero"));
  EXPECT_TRUE(menu.InsertMenu(99, MF_BYPOSITION | MF_SEPARATOR));
  EXPECT_FALSE(menu.InsertMenu(77, MF_BYCOMMAND, 5, "nowhere"));
  EXPECT_EQ(menu.GetMenuItemCount(), 5);
  EXPECT_EQ(menu.GetMenuItemID(0), 0u);
  EXPECT_EQ(menu.GetMenuItemID(4), 0u);
  EXPECT_EQ(CMenu::FromHandle(subHandle)->GetMenuItemID(0), 10u);

  // RemoveMenu leaves the pop-up alive; DeleteMenu destroys it.
  EXPECT_TRUE(menu.RemoveMenu(2, MF_BYPOSITION));
  EXPECT_TRUE(fw::IsMenu(subHandle));
  EXPECT_TRUE(
      menu.InsertMenu(2, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(subHandle), "sub"));
  EXPECT_TRUE(menu.DeleteMenu(2, MF_BYPOSITION));
  EXPECT_FALSE(fw::IsMenu(subHandle));
  EXPECT_EQ(CMenu::FromHandle(subHandle), nullptr);
  EXPECT_TRUE(menu.RemoveMenu(3, MF_BYCOMMAND));
  EXPECT_FALSE(menu.RemoveMenu(3, MF_BYCOMMAND));
  EXPECT_EQ(menu.GetMenuItemCount(), 3);

  // An object attached to a pop-up loses its handle when the parent goes.
  CMenu child;
  ASSERT_TRUE(child.CreatePopupMenu());
  HMENU childHandle = child.m_hMenu;
  menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(childHandle), "child");
  EXPECT_EQ(CMenu::FromHandlePermanent(childHandle), &child);
  EXPECT_TRUE(menu.DestroyMenu());
  EXPECT_EQ(child.m_hMenu, nullptr);
  EXPECT_FALSE(fw::IsMenu(childHandle));
  EXPECT_FALSE(child.DestroyMenu());
}

TEST(Menu, UpdateUiEnablesChecksAndDisablesUnhandledItems) {
  fwtest::ScopedBundle bundle(kScript);
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(300));
  CCmdTarget target;
  bool checked = true;
  target.SetCommandHandler(100, [] {});
  target.SetUpdateHandler(101, [&](CCmdUI* ui) { ui->SetCheck(checked ? 1 : 0); });
  HMENU file = menu.GetSubMenu(0)->m_hMenu;
  menu.EnableMenuItem(100, MF_GRAYED);
  fw::UpdateMenuItems(file, &target, true);
  EXPECT_EQ(menu.GetMenuState(100, MF_BYCOMMAND) & MF_GRAYED, 0u);  // has a handler
  EXPECT_EQ(menu.GetMenuState(101, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
  checked = false;
  fw::UpdateMenuItems(file, &target, true);
  EXPECT_EQ(menu.GetMenuState(101, MF_BYCOMMAND) & MF_CHECKED, 0u);
  // The nested pop-up is updated when it opens, not with its parent.
  EXPECT_EQ(menu.GetMenuState(102, MF_BYCOMMAND) & MF_GRAYED, 0u);
  fw::UpdateMenuItems(menu.GetSubMenu(0)->GetSubMenu(3)->m_hMenu, &target, true);
  EXPECT_EQ(menu.GetMenuState(102, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
}

// A window that records WM_COMMAND and lets update-UI run on WM_INITMENUPOPUP.
class CommandWindow : public CWnd {
 public:
  std::vector<UINT> commands;
  int initPopups = 0;
  std::function<void(HMENU)> onInit;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
    if (msg == WM_COMMAND) {
      commands.push_back(LOWORD(w));
      return 0;
    }
    if (msg == WM_INITMENUPOPUP) {
      ++initPopups;
      if (onInit) onInit(reinterpret_cast<HMENU>(w));
      return 0;
    }
    return CWnd::WindowProc(msg, w, l);
  }
};

TEST(Menu, TrackedAtAPointReturnsOrPostsTheChosenCommand) {
  fwtest::ScopedBundle bundle(kScript);
  CommandWindow owner;
  ASSERT_TRUE(owner.Create("", "", WS_VISIBLE, CRect(0, 0, 200, 100), nullptr, 0));
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(300));
  CMenu* file = menu.GetSubMenu(0);

  ClickWhenOpen("Auto-&Open");
  EXPECT_EQ(file->TrackPopupMenu(TPM_RETURNCMD, 40, 50, &owner), 101);
  EXPECT_EQ(owner.initPopups, 1);
  fwtest::Drain();
  EXPECT_TRUE(owner.commands.empty());  // returned, not sent

  ClickWhenOpen("&New\tCtrl+N");
  EXPECT_EQ(file->TrackPopupMenu(TPM_RIGHTBUTTON, 40, 50, &owner), 1);
  fwtest::Drain();
  EXPECT_EQ(owner.commands, std::vector<UINT>{100});

  // The owner greys an item as the pop-up opens: a click on it chooses nothing.
  owner.commands.clear();
  owner.onInit = [](HMENU h) { CMenu::FromHandle(h)->EnableMenuItem(100, MF_GRAYED); };
  ClickWhenOpen("&New\tCtrl+N");
  QTimer::singleShot(300, [] {
    if (QWidget* p = QApplication::activePopupWidget()) p->close();
  });
  EXPECT_EQ(file->TrackPopupMenu(TPM_RETURNCMD, 40, 50, &owner), 0);
  fwtest::Drain();
  EXPECT_TRUE(owner.commands.empty());
}

TEST(Menu, MenuBarShowsTheTopLevelAndPopupsPostCommandsToTheOwner) {
  fwtest::ScopedBundle bundle(kScript);
  CommandWindow owner;
  ASSERT_TRUE(owner.Create("", "", WS_VISIBLE, CRect(0, 0, 200, 100), nullptr, 0));
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(300));
  QMenuBar bar;
  fw::ShowMenuInBar(&bar, menu.m_hMenu, &owner);
  ASSERT_EQ(bar.actions().size(), 2);
  EXPECT_EQ(bar.actions()[1]->text(), "&Help");
  QMenu* help = bar.actions()[1]->menu();
  ASSERT_NE(help, nullptr);
  help->popup(QPoint(10, 10));
  fwtest::Drain();
  EXPECT_EQ(owner.initPopups, 1);
  ASSERT_EQ(help->actions().size(), 1);
  help->actions()[0]->trigger();
  help->close();
  fwtest::Drain();
  EXPECT_EQ(owner.commands, std::vector<UINT>{104});
  // A destroyed menu takes its pop-ups out of the bar.
  menu.DestroyMenu();
  fwtest::Drain();
  EXPECT_TRUE(bar.actions().isEmpty() || bar.actions()[0]->menu() == nullptr);
}

// Owner-drawn items: the menu object measures and paints them.
class PaintedMenu : public CMenu {
 public:
  std::vector<std::pair<UINT, UINT>> drawn;  // (id, state)
  void MeasureItem(MEASUREITEMSTRUCT* mis) override {
    mis->itemWidth = 120;
    mis->itemHeight = mis->itemData == 2 ? 3 : 22;
  }
  void DrawItem(DRAWITEMSTRUCT* dis) override {
    drawn.emplace_back(dis->itemID, dis->itemState);
    dis->hDC->FillSolidRect(dis->rcItem, dis->itemData == 2 ? RGB(0, 0, 255) : RGB(255, 0, 0));
  }
};

TEST(Menu, OwnerDrawnItemsAreMeasuredAndPaintedByTheirMenu) {
  PaintedMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendMenu(MF_OWNERDRAW, 7, {}, 1);
  menu.AppendMenu(MF_OWNERDRAW | MF_SEPARATOR, 0, {}, 2);
  menu.AppendMenu(MF_OWNERDRAW | MF_GRAYED | MF_CHECKED, 8, {}, 1);
  QMenu* w = fw::PopupWidget(menu.m_hMenu);
  ASSERT_NE(w, nullptr);
  ASSERT_EQ(w->actions().size(), 3);
  const QRect first = w->actionGeometry(w->actions()[0]);
  const QRect sep = w->actionGeometry(w->actions()[1]);
  EXPECT_EQ(first.size(), QSize(120, 22));
  EXPECT_EQ(sep.height(), 3);
  EXPECT_EQ(sep.top(), first.bottom() + 1);
  EXPECT_FALSE(w->actions()[1]->isEnabled());  // a separator is never chosen
  QImage image = w->grab().toImage();
  EXPECT_EQ(image.pixelColor(first.center()), QColor(255, 0, 0));
  EXPECT_EQ(image.pixelColor(sep.center()), QColor(0, 0, 255));
  ASSERT_EQ(menu.drawn.size(), 3u);
  EXPECT_EQ(menu.drawn[2].first, 8u);
  EXPECT_EQ(menu.drawn[2].second, ODS_GRAYED | ODS_CHECKED);
}

}  // namespace
