// The configuration sheet's grids worked from the keyboard as every grid is:
// keys typed into the sheet's window open a drop list, move in it and store
// the entry with Alt+Up; a box the stored entry raises comes once, after the
// list has closed, and takes its keys. Ctrl+Page Down and Page Up turn the
// sheets of a grid that has several, and the sheet's pages elsewhere.
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTabBar>
#include <QTest>
#include <QWindow>

#include "grid/gridcellwnd.h"
#include "grid/griddroplist.h"
#include "grid/gridtabwnd.h"
#include "platform/gui/qtmessagesink.h"
#include "sheet_test_util.h"
#include "tools/cfgpsheet.h"
#include "tools/prioritysettingsgrid.h"

namespace fwtest {
namespace {

class SheetDropListKeys : public InLanguage {
 protected:
  void SetUp() override {
    InLanguage::SetUp();
    m_sheet.SetMode(1);
    MakeType(m_sheet.GetConfig(), 6000);
    m_sheet.GetConfig().SetName("Keys");
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(m_sheet.widget()->windowHandle(), key, mods);
    Drain();
  }
  void ClickIn(QWidget* w, QPoint at) {
    QTest::mouseClick(m_sheet.widget()->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      w->mapTo(m_sheet.widget(), at));
    Drain();
  }

  void ShowPage(int index) {
    auto* tabs = qobject_cast<QTabBar*>(m_sheet.GetDlgItem(kSheetTabControlId)->widget());
    ASSERT_NE(tabs, nullptr);
    ClickIn(tabs, tabs->tabRect(index).center());
  }
  void ClickCell(CSheetGridCtrl& grid, int col, int row) {
    CRect r;
    ASSERT_EQ(grid.GetCellRectangle(col, row, r), kGridOk);
    ClickIn(grid.GetDlgItem(kGridCellAreaId)->widget(), QPoint(r.left + 4, (r.top + r.bottom) / 2));
  }
  // Runs the script in the sheet's modal loop; a sheet left open is cancelled.
  void RunSheet(const std::function<void()>& script) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
      Drain();
      ran = true;
      script();
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

  CCfgPSheet m_sheet;
};

TEST_P(SheetDropListKeys, APortIsDisabledByKeys) {
  RunSheet([&] {
    ShowPage(1);
    CPortSettingsGrid& ports = m_sheet.PortsPage().Grid();
    ASSERT_EQ(m_sheet.GetActivePage(), &m_sheet.PortsPage());
    ClickCell(ports, CPortSettingsGrid::kColAdmin, 0);
    Key(Qt::Key_Down, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return ports.DropList()->IsOpen(); })) << "no list opened";
    Key(Qt::Key_Down);
    Key(Qt::Key_Up, Qt::AltModifier);
    EXPECT_FALSE(ports.DropList()->IsOpen());
    EXPECT_EQ(m_sheet.GetConfig().GetPort(0)->admin, "Disabled");
  });
}

TEST_P(SheetDropListKeys, CtrlPageKeysTurnTheSheetsOfAGridThatHasSeveral) {
  CPrioritySettingsGrid& grid = m_sheet.PrioritiesPage().Grid();
  RunSheet([&] {
    ShowPage(3);
    ClickCell(grid, 1, CPrioritySettingsGrid::kPortRowOffset);
    std::vector<int> sheets;
    for (Qt::Key key : {Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageUp}) {
      Key(key, Qt::ControlModifier);
      sheets.push_back(grid.GetSelectedSheet());
    }
    EXPECT_EQ(sheets, (std::vector<int>{1, 2, 2, 1})) << "stops at the last";
    EXPECT_EQ(grid.TabWindow()->CurrentTab(), 1) << "the strip shows another";
    EXPECT_EQ(m_sheet.GetActiveIndex(), 3);
    // Ctrl+Tab turns the pages from a grid with sheets, Ctrl+Page Down from one without.
    Key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(m_sheet.GetActiveIndex(), 4);
    ShowPage(1);
    ClickCell(m_sheet.PortsPage().Grid(), CPortSettingsGrid::kColAdmin, 0);
    Key(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(m_sheet.GetActiveIndex(), 2);
  });
}

// Urgent, chosen by keys on the Priorities page, warns once its list has
// closed; Enter, then Space, typed into the focus window answers the one box.
TEST_P(SheetDropListKeys, AWarningOverADropListComesOnceAndTakesEnterOrSpace) {
  fw::CQtMessageSink boxes;
  fw::IMessageSink* recording = fw::MessageSink();
  fw::SetMessageSink(&boxes);
  CPrioritySettingsGrid& grid = m_sheet.PrioritiesPage().Grid();
  int shown = 0;  // an unanswered box counts again after a second
  bool listOpen = false;
  Qt::Key answer = Qt::Key_Return;
  QPointer<QMessageBox> seen;
  QDeadlineTimer answerBy;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || (box == seen && !answerBy.hasExpired())) return;
    seen = box;
    listOpen |= grid.DropList()->IsOpen();
    answerBy.setRemainingTime(1000);
    if (++shown > 3) return box->reject();
    // Typed after this poll, which a box the key raises must not hold up.
    QTimer::singleShot(0, [answer] { QTest::keyClick(QGuiApplication::focusWindow(), answer); });
  });
  poll.start(20);
  RunSheet([&] {
    ShowPage(3);
    ClickCell(grid, 1, CPrioritySettingsGrid::kPortRowOffset);
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Space}) {
      answer = key;
      shown = 0;
      Key(Qt::Key_Down, Qt::ControlModifier);
      Key(Qt::Key_Down);
      Key(Qt::Key_Down);
      Key(Qt::Key_Return);
      EXPECT_EQ(shown, 1);
      EXPECT_EQ(QApplication::focusWidget(), grid.GetDlgItem(kGridCellAreaId)->widget());
      const int port = grid.GetCurrentRow() - CPrioritySettingsGrid::kPortRowOffset;
      EXPECT_EQ(m_sheet.GetConfig().GetPort(port)->priority, "Urgent");
      Key(Qt::Key_Down);  // the next port
    }
  });
  EXPECT_FALSE(listOpen) << "a box over the open list";
  fw::SetMessageSink(recording);
}

FW_IN_ALL_LANGUAGES(SheetDropListKeys);

}  // namespace
}  // namespace fwtest
