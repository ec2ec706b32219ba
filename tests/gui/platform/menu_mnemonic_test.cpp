// The underlined letters of owner-drawn items in an open pop-up: typed into
// the pop-up's window, they choose the item as they do for plain items.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QWindow>
#include <vector>

#include "gui_helpers.h"
#include "platform/gui/menu.h"

namespace {

class CommandWindow : public CWnd {
 public:
  std::vector<UINT> commands;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
    if (msg == WM_COMMAND) {
      commands.push_back(LOWORD(w));
      return 0;
    }
    return CWnd::WindowProc(msg, w, l);
  }
};

// Paints every item in one colour, nothing of its text.
class SolidMenu : public CMenu {
 public:
  void MeasureItem(MEASUREITEMSTRUCT* mis) override {
    mis->itemWidth = 120;
    mis->itemHeight = 22;
  }
  void DrawItem(DRAWITEMSTRUCT* dis) override {
    dis->hDC->FillSolidRect(dis->rcItem, RGB(255, 0, 0));
  }
};

QMenu* Open(HMENU popup) {
  QMenu* w = fw::PopupWidget(popup);
  w->popup(QPoint(20, 20));
  fwtest::WaitFor([w] { return QApplication::activePopupWidget() == w; });
  return w;
}

void CloseAll() {
  while (QWidget* p = QApplication::activePopupWidget()) p->close();
  fwtest::Drain();
}

TEST(MenuMnemonic, TheUnderlinedLetterOfAnOwnerDrawnItemChoosesIt) {
  CommandWindow owner;
  ASSERT_TRUE(owner.Create("", "", WS_VISIBLE, CRect(0, 0, 200, 100), nullptr, 0));
  SolidMenu sub;
  ASSERT_TRUE(sub.CreatePopupMenu());
  sub.AppendMenu(MF_OWNERDRAW, 300, "&Deep");
  SolidMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendMenu(MF_OWNERDRAW, 100, "&New    \tCtrl+N");
  menu.AppendMenu(MF_OWNERDRAW, 101, "Save &As...\tCtrl+Shift+S");
  menu.AppendMenu(MF_OWNERDRAW | MF_GRAYED, 102, "&Print");
  menu.AppendMenu(MF_OWNERDRAW | MF_POPUP, reinterpret_cast<UINT_PTR>(sub.m_hMenu), "Ad&vanced");
  menu.AppendMenu(MF_OWNERDRAW, 103, "Zuletzt &geöffnet");
  fw::SetMenuOwner(menu.m_hMenu, &owner);

  // A letter of the label, not the first one, in either case.
  QTest::keyClick(Open(menu.m_hMenu)->windowHandle(), Qt::Key_A);
  fwtest::Drain();
  EXPECT_EQ(owner.commands, std::vector<UINT>{101});
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);  // chosen: the pop-up closed

  owner.commands.clear();
  QTest::keyClick(Open(menu.m_hMenu)->windowHandle(), 'g');
  fwtest::Drain();
  EXPECT_EQ(owner.commands, std::vector<UINT>{103});

  // A greyed item is not chosen; the letter of a pop-up opens it, and its
  // own items answer theirs.
  owner.commands.clear();
  QTest::keyClick(Open(menu.m_hMenu)->windowHandle(), Qt::Key_P);
  fwtest::Drain();
  EXPECT_TRUE(owner.commands.empty());
  CloseAll();
  QTest::keyClick(Open(menu.m_hMenu)->windowHandle(), Qt::Key_V);
  QMenu* deep = fw::PopupWidget(sub.m_hMenu);
  ASSERT_TRUE(fwtest::WaitFor([deep] { return deep->isVisible(); }));
  QTest::keyClick(deep->windowHandle(), Qt::Key_D);
  fwtest::Drain();
  EXPECT_EQ(owner.commands, std::vector<UINT>{300});
  CloseAll();
}

TEST(MenuMnemonic, OwnerDrawnItemsAreStillOnlyWhatTheirMenuPaints) {
  SolidMenu tabbed, plain;
  ASSERT_TRUE(tabbed.CreatePopupMenu());
  ASSERT_TRUE(plain.CreatePopupMenu());
  tabbed.AppendMenu(MF_OWNERDRAW, 100, "&New\tCtrl+Shift+Alt+N");
  plain.AppendMenu(MF_OWNERDRAW, 100, {});
  QMenu* a = fw::PopupWidget(tabbed.m_hMenu);
  QMenu* b = fw::PopupWidget(plain.m_hMenu);
  // No accelerator column of Qt's next to the measured item, no text of Qt's on it.
  EXPECT_EQ(a->sizeHint(), b->sizeHint());
  const QRect item = a->actionGeometry(a->actions()[0]);
  EXPECT_EQ(item.width(), b->actionGeometry(b->actions()[0]).width());
  const QImage shot = a->grab().toImage();
  for (int x = item.left(); x <= item.right(); ++x)
    for (int y = item.top(); y <= item.bottom(); ++y)
      ASSERT_EQ(shot.pixelColor(x, y), QColor(255, 0, 0)) << x << "," << y;
}

}  // namespace
