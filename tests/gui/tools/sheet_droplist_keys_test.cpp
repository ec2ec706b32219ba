// The configuration sheet's grids take their drop lists from the keyboard as
// every grid does: keys typed into the sheet's window open the list, move in
// it and store the entry with Alt+Up.
#include <QTabBar>
#include <QTest>
#include <QWindow>

#include "grid/griddroplist.h"
#include "sheet_test_util.h"
#include "tools/cfgpsheet.h"

namespace fwtest {
namespace {

class SheetDropListKeys : public InLanguage {
 protected:
  void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(m_sheet.widget()->windowHandle(), key, mods);
    Drain();
  }
  void ClickIn(QWidget* w, QPoint at) {
    QTest::mouseClick(m_sheet.widget()->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      w->mapTo(m_sheet.widget(), at));
    Drain();
  }

  CCfgPSheet m_sheet;
};

TEST_P(SheetDropListKeys, APortIsDisabledByKeys) {
  m_sheet.SetMode(1);
  MakeType(m_sheet.GetConfig(), 6000);
  m_sheet.GetConfig().SetName("Keys");
  bool ran = false;
  QTimer::singleShot(0, [&] {
    Drain();
    ran = true;
    auto* tabs = qobject_cast<QTabBar*>(m_sheet.GetDlgItem(kSheetTabControlId)->widget());
    ASSERT_NE(tabs, nullptr);
    ClickIn(tabs, tabs->tabRect(1).center());
    CPortSettingsGrid& ports = m_sheet.PortsPage().Grid();
    ASSERT_EQ(m_sheet.GetActivePage(), &m_sheet.PortsPage());
    CRect r;
    ASSERT_EQ(ports.GetCellRectangle(CPortSettingsGrid::kColAdmin, 0, r), kGridOk);
    ClickIn(ports.GetDlgItem(kGridCellAreaId)->widget(),
            QPoint(r.left + 4, (r.top + r.bottom) / 2));
    Key(Qt::Key_Down, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return ports.DropList()->IsOpen(); })) << "no list opened";
    Key(Qt::Key_Down);
    Key(Qt::Key_Up, Qt::AltModifier);
    EXPECT_FALSE(ports.DropList()->IsOpen());
    EXPECT_EQ(m_sheet.GetConfig().GetPort(0)->admin, "Disabled");
    m_sheet.EndDialog(IDCANCEL);
  });
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [this] {
    if (m_sheet.IsWindow()) m_sheet.EndDialog(IDCANCEL);
  });
  guard.start(20000);
  (void)m_sheet.DoModal();
  EXPECT_TRUE(ran);
}

INSTANTIATE_TEST_SUITE_P(English, SheetDropListKeys, ::testing::Values("english"),
                         fwtest::LanguageName);

}  // namespace
}  // namespace fwtest
