// The switch list worked by keyboard alone, keys typed into the main window
// as a user types them (through its QWindow): the drop lists open, move and
// store by key, the Modbus cell opens its dialog, Shift+F10 opens either
// list's context menu at its current cell, and typing into the empty last
// row makes a switch.
#include <QMenu>
#include <QTest>
#include <QWindow>

#include "grid/griddroplist.h"
#include "shell_fixture.h"
#include "tools/configlistgrid.h"
#include "tools/modbusoptionsdlg.h"
#include "tools/switchlistgrid.h"

namespace fwtest {
namespace {

class ListKeys : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ASSERT_TRUE(Start());
    ASSERT_NE(Doc(), nullptr);
    ASSERT_GE(Doc()->AddSwitchFromField(kSwitchColName, "Ring 1"), 0);
    Drain();
  }

  QWindow* Window() { return Frame()->widget()->windowHandle(); }
  void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(Window(), key, mods);
    Drain();
  }
  void Type(const std::string& text) {
    for (char c : text) QTest::keyClick(Window(), c);
    Drain();
  }
  void ClickCell(int col, int row) {
    CSwitchListGrid& g = Switches();
    const QPoint at = CellsOf(g)->mapTo(Frame()->widget(), Centre(g, col, row));
    QTest::mouseClick(Window(), Qt::LeftButton, Qt::NoModifier, at);
    Drain();
  }
  bool ListOpen() { return Switches().DropList()->IsOpen(); }
  void OpenList() {
    Key(Qt::Key_Down, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return ListOpen(); })) << "Ctrl+Down opened no list";
  }
  // The key runs a modal window or a menu; `seen` is asked about it once it
  // is up, and Escape typed into it closes it. True when `seen` said yes.
  bool RunsModal(Qt::Key key, Qt::KeyboardModifiers mods,
                 const std::function<bool(QWidget*)>& seen) {
    bool saw = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      QWidget* w = QApplication::activePopupWidget();
      if (!w) w = QApplication::activeModalWidget();
      if (!w || !w->isVisible()) return;
      poll.stop();
      saw = seen(w);
      QTest::keyClick(w->windowHandle(), Qt::Key_Escape);
    });
    poll.start(20);
    Key(key, mods);
    return saw;
  }
  std::string ConfigOf(int row) {
    const CSwitchEntry* e = Switches().SwitchAtRow(row);
    return e ? e->GetConfig().GetName() : "(no switch)";
  }
};

TEST_F(ListKeys, TheConfigurationDropListIsWorkedByKeys) {
  ASSERT_GE(Doc()->AddNewConfig("Plant A"), 0);
  Drain();
  ClickCell(kSwitchColConfig, 0);

  // One entry: Enter alone chooses it.
  OpenList();
  Key(Qt::Key_Return);
  EXPECT_FALSE(ListOpen());
  EXPECT_EQ(ConfigOf(0), "Plant A");

  // Two: the list opens on the value, Down moves to the other, Enter stores it.
  ASSERT_GE(Doc()->AddNewConfig("Plant B"), 0);
  Drain();
  OpenList();
  Key(Qt::Key_Down);
  Key(Qt::Key_Return);
  EXPECT_FALSE(ListOpen());
  EXPECT_EQ(ConfigOf(0), "Plant B");

  // Escape leaves the value, and the list has the keys again.
  OpenList();
  Key(Qt::Key_Up);
  Key(Qt::Key_Escape);
  EXPECT_FALSE(ListOpen());
  EXPECT_EQ(ConfigOf(0), "Plant B");
  EXPECT_EQ(QApplication::focusWidget(), CellsOf(Switches()));
}

TEST_F(ListKeys, TheModbusCellAndTheContextMenusOpenByKeys) {
  ClickCell(kSwitchColName, 0);
  for (int c = kSwitchColName; c < kSwitchColModbus; ++c) Key(Qt::Key_Right);
  ASSERT_EQ(Switches().GetCurrentColumn(), kSwitchColModbus);
  auto modbus = [](QWidget* w) {
    return dynamic_cast<CModbusOptionsDlg*>(CWnd::FromHandlePermanent(w)) != nullptr;
  };
  EXPECT_TRUE(RunsModal(Qt::Key_Return, {}, modbus)) << "Enter";
  EXPECT_TRUE(RunsModal(Qt::Key_Down, Qt::ControlModifier, modbus)) << "Ctrl+Down";

  // The menu opens where a right click on the current cell opens it.
  Key(Qt::Key_Home);
  auto menuAt = [](CSheetGridCtrl& g, int items) {
    return [&g, items](QWidget* w) {
      auto* menu = qobject_cast<QMenu*>(w);
      const QPoint cell =
          CellsOf(g)->mapToGlobal(Centre(g, g.GetCurrentColumn(), g.GetCurrentRow()));
      return menu && menu->pos() == cell && menu->actions().size() == items;
    };
  };
  EXPECT_TRUE(RunsModal(Qt::Key_F10, Qt::ShiftModifier, menuAt(Switches(), 7))) << "switches";
  Key(Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), CellsOf(Configs()));
  EXPECT_TRUE(RunsModal(Qt::Key_F10, Qt::ShiftModifier, menuAt(Configs(), 3))) << "configs";
  EXPECT_EQ(QApplication::focusWidget(), CellsOf(Configs()));
}

TEST_F(ListKeys, TypingANameIntoTheLastRowMakesASwitch) {
  CSwitchListGrid& g = Switches();
  const int newRow = 1;
  ASSERT_TRUE(g.IsNewEntryRow(newRow));
  ClickCell(kSwitchColName, newRow);
  Type("Ring 2");
  ASSERT_TRUE(g.IsEditing()) << "typing started no edit";
  Key(Qt::Key_Return);
  if (g.IsEditing()) Key(Qt::Key_Escape);  // the edit Enter went on with
  ASSERT_EQ(Doc()->GetSwitches().GetCount(), 2);
  const CSwitchEntry* added = g.SwitchAtRow(newRow);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->GetName(), "Ring 2");
}

}  // namespace
}  // namespace fwtest
