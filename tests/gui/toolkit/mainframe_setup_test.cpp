// The main window's toolbar and menus, set up from the programs' own
// resources the way the frames do it, in a frame with stub handlers.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "gui_helpers.h"
#include "platform/gui/framewnd.h"
#include "shell/commandids.h"
#include "toolkit/cooltoolbar.h"
#include "toolkit/mainwindowtoolbar.h"
#include "toolkit/ownerdrawmenu.h"

namespace {

class TestFrame : public CFrameWnd {
 public:
  CCoolToolBar m_toolbar;
  std::unique_ptr<COwnerDrawMenu> m_menu;
  std::vector<UINT> ran;

  bool SetUpBars() {
    if (!CreateMainWindowToolBar(*this, m_toolbar, IDR_MAINFRAME, IDB_MAINFRAME_HOT)) return false;

    m_menu = std::make_unique<COwnerDrawMenu>();
    if (!m_menu->LoadMenuById(IDR_MAINFRAME)) return false;
    SetMenu(m_menu.get());
    m_menu->LoadToolBarImages(IDR_MAINFRAME);
    m_menu->LoadToolBarImages(IDR_MENU_IMAGES);
    // Stub handlers for a few commands.
    for (UINT id : {ID_FILE_NEW, ID_CONFIG_ADD, ID_SWITCH_DELETE, ID_AUTO_FIND_SWITCHES})
      SetCommandHandler(static_cast<int>(id), [this, id] { ran.push_back(id); });
    return true;
  }
};

class MainFrameSetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    COwnerDrawMenu::ResetSharedImages();
    ASSERT_TRUE(m_frame.LoadFrame(IDR_MAINFRAME));
    ASSERT_TRUE(m_frame.SetUpBars());
    m_frame.ShowWindow(SW_SHOW);
    fwtest::Drain();
  }
  void TearDown() override { fwtest::Drain(); }
  TestFrame m_frame;
};

TEST_F(MainFrameSetupTest, ToolbarButtonsHoldImagesAndUpToThreeRowsOfText) {
  CCoolToolBar& bar = m_frame.m_toolbar;
  ASSERT_EQ(bar.GetCount(), 13);
  EXPECT_EQ(bar.GetButtonText(0), "New");
  EXPECT_EQ(bar.GetImageSize(), CSize(16, 16));
  const CSize size = bar.GetButtonSize();
  const int line = QFontMetrics(bar.ButtonFont()).height();
  EXPECT_GE(size.cx, 24);
  EXPECT_LE(size.cx, 100);
  EXPECT_GE(size.cy, 22 + line);
  EXPECT_LE(size.cy, 22 + 3 * line);
  CRect first;
  bar.GetItemRect(0, &first);
  EXPECT_EQ(first.Size(), size);
  // The "New" picture: the page's corner stands 2 pixels in, 3 down.
  CImageDC dc(400, size.cy);
  bar.Paint(dc);
  const QImage& img = dc.Snapshot();
  const int x = first.left + (size.cx - 16) / 2;
  EXPECT_EQ(img.pixel(x + 2, 3 + 1) & 0xFFFFFF, 0u);  // black outline
  EXPECT_EQ(img.pixel(x, 3) & 0xFFFFFF, fw::ToQColor(GetSysColor(COLOR_BTNFACE)).rgb() & 0xFFFFFF);
  ASSERT_NE(bar.GetHotImageList(), nullptr);
  EXPECT_EQ(bar.GetHotImageList()->GetImageCount(), 10);
  // A click runs the stub.
  QTest::mouseClick(bar.widget(), Qt::LeftButton, {}, first.CenterPoint().ToQt());
  fwtest::Drain();
  EXPECT_EQ(m_frame.ran, std::vector<UINT>{ID_FILE_NEW});
}

TEST_F(MainFrameSetupTest, MenuItemsCarryTheToolbarImagesAndOptionalItemsGo) {
  COwnerDrawMenu& menu = *m_frame.m_menu;
  auto record = [&](int popup, UINT id) -> const COwnerDrawMenu::CItemRecord* {
    auto* sub = dynamic_cast<COwnerDrawMenu*>(menu.GetSubMenu(popup));
    if (!sub) return nullptr;
    for (const auto& r : sub->records())
      if (r->idOrPopup == id) return r.get();
    return nullptr;
  };
  ASSERT_NE(record(0, ID_FILE_NEW), nullptr);
  EXPECT_GE(record(0, ID_FILE_NEW)->sharedIndex, 0);       // from toolbar 128
  EXPECT_GE(record(3, ID_SWITCH_DELETE)->sharedIndex, 0);  // from toolbar 130
  EXPECT_EQ(record(0, ID_APP_EXIT)->sharedIndex, -1);
  // Without "ringeerom.txt" and the loader program both optional items go.
  CMenu* operations = menu.GetSubMenu(3);
  auto* ops = dynamic_cast<COwnerDrawMenu*>(operations);
  ASSERT_NE(ops, nullptr);
  EXPECT_EQ(operations->GetMenuItemID(4), ID_DEBUG_EEROM);
  EXPECT_TRUE(ops->RemoveMenu(4, MF_BYPOSITION));
  auto* advanced = dynamic_cast<COwnerDrawMenu*>(operations->GetSubMenu(4));
  ASSERT_NE(advanced, nullptr);
  EXPECT_TRUE(advanced->RemoveMenu(ID_UPDATE_MANAGED_FIRMWARE, MF_BYCOMMAND));
  m_frame.DrawMenuBar();
  EXPECT_EQ(advanced->GetMenuItemCount(), 2);
  EXPECT_EQ(menu.GetMenuState(ID_DEBUG_EEROM, MF_BYCOMMAND), kMenuItemMissing);
}

TEST_F(MainFrameSetupTest, ContextMenuWithImagesRoutesToTheFrame) {
  COwnerDrawMenu context;
  ASSERT_TRUE(context.LoadMenuById(IDR_CONTEXT_SWITCHES));
  ASSERT_TRUE(context.LoadToolBarImages(IDR_MENU_IMAGES));
  CMenu* popup = context.GetSubMenu(0);
  ASSERT_NE(popup, nullptr);
  ASSERT_EQ(popup->GetMenuItemCount(), 7);
  QImage shot;
  QTimer::singleShot(0, [&shot] {
    fwtest::WaitFor([] { return QApplication::activePopupWidget() != nullptr; });
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu || menu->actions().size() < 4) return;
    shot = menu->grab().toImage();
    QAction* deleteSwitch = menu->actions()[3];
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(deleteSwitch).center());
  });
  popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, 100, 100, &m_frame);
  fwtest::Drain();
  EXPECT_EQ(m_frame.ran, std::vector<UINT>{ID_SWITCH_DELETE});
  ASSERT_FALSE(shot.isNull());
  // Drawn by the owner-drawn menu: the image column in its own colour.
  const QRgb column = fw::ToQColor(COwnerDrawMenu::Lighten(GetSysColor(COLOR_BTNFACE), 0.25)).rgb();
  bool found = false;
  for (int y = 0; y < shot.height() && !found; ++y) found = shot.pixel(4, y) == column;
  EXPECT_TRUE(found);
}

TEST(MainWindowImages, ToolbarStripsHoldOneImagePerButton) {
  struct Strip {
    unsigned toolbar, bitmap;
  } strips[] = {{IDR_MAINFRAME, IDR_MAINFRAME},
                {IDR_MAINFRAME, IDB_MAINFRAME_HOT},
                {IDR_MENU_IMAGES, IDR_MENU_IMAGES},
                {IDR_MONITORFRAME, IDR_MONITORFRAME},
                {IDR_MONITORFRAME, IDB_MONITORFRAME_HOT}};
  for (const Strip& s : strips) {
    SCOPED_TRACE(s.bitmap);
    const fw::CToolBarTemplate* bar = fw::FindToolBarResource(s.toolbar);
    ASSERT_NE(bar, nullptr);
    const QImage img = fw::LoadImageResource(fw::ImageKind::Bitmap, s.bitmap, nullptr);
    ASSERT_FALSE(img.isNull());
    const int buttons = static_cast<int>(
        std::count_if(bar->items.begin(), bar->items.end(), [](unsigned id) { return id != 0; }));
    EXPECT_EQ(img.width(), bar->width * buttons);
    EXPECT_EQ(img.height(), bar->height);
    // The mask grey surrounds the pictures.
    EXPECT_EQ(img.pixel(0, 15) & 0xFFFFFF, 0xC0C0C0u);
  }
}

}  // namespace
