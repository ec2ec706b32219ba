// The lists of the whole program after an edit the project refused: the real
// message box is shown and answered with a click, and the list goes on
// taking clicks and names. Keys and clicks go through the main window.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <string>

#include "platform/gui/qtmessagesink.h"
#include "shell_fixture.h"
#include "tools/configlistgrid.h"
#include "tools/switchlistgrid.h"

namespace fwtest {
namespace {

class RefusedEdit : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    // The real boxes, clicked like a user does.
    fw::SetMessageSink(&m_realBoxes);
    ASSERT_TRUE(Start());
    ASSERT_EQ(Doc()->AddNewConfig("Plant A"), 0);
    ASSERT_GE(Doc()->AddNewConfig("Plant B"), 0);
    Drain();
  }
  void TearDown() override {
    ShellTest::TearDown();
    fw::SetMessageSink(&*m_messages);
  }

  QWindow* Window() { return Frame()->widget()->windowHandle(); }
  QPoint InWindow(CSheetGridCtrl& g, int col, int row) {
    return CellsOf(g)->mapTo(Frame()->widget(), Centre(g, col, row));
  }
  void ClickAt(CSheetGridCtrl& g, int col, int row) {
    QTest::mouseClick(Window(), Qt::LeftButton, Qt::NoModifier, InWindow(g, col, row));
    Drain();
  }
  void Type(const QString& text) {
    for (QChar c : text) QTest::keyClick(Window(), c.toLatin1());
    Drain();
  }
  // Runs the input while a message box is expected: the box is found from
  // a timer, its text kept and its OK button clicked.
  std::string AnswerBoxWithClick(const std::function<void()>& input) {
    std::string text;
    bool clicked = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QAbstractButton* ok = box ? box->button(QMessageBox::Ok) : nullptr;
      if (clicked || !ok || !box->windowHandle() || !box->windowHandle()->isExposed()) return;
      clicked = true;
      text = box->text().toStdString();
      QTest::mouseClick(box->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                        ok->mapTo(box, ok->rect().center()));
    });
    poll.start(50);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
      if (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
    guard.start(15000);
    input();
    WaitFor([&] { return clicked && !QApplication::activeModalWidget(); }, 10000);
    Drain();
    EXPECT_TRUE(clicked) << "no message box came up";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the box took no click";
    return text;
  }
  std::string PressAndClickOk(Qt::Key key) {
    return AnswerBoxWithClick([&] { QTest::keyClick(Window(), key); });
  }
  int ConfigRows() { return Configs().DataStore().GetRowCount(); }

  fw::CQtMessageSink m_realBoxes;
};

TEST_F(RefusedEdit, ANameInUseLeavesTheConfigurationListTakingClicksAndNames) {
  CConfigListGrid& g = Configs();
  ASSERT_EQ(ConfigRows(), 2);
  const int newRow = 2;
  ASSERT_TRUE(g.IsNewEntryRow(newRow));
  ClickAt(g, 0, newRow);
  Type("plant a");
  ASSERT_TRUE(g.IsEditing()) << "typing did not start an edit";
  EXPECT_EQ(PressAndClickOk(Qt::Key_Return),
            "The entered switch configuration name is already in use.");

  // The refused edit ends where it was: no editor, the new-entry row current.
  EXPECT_FALSE(g.IsEditing());
  EXPECT_EQ(g.GetCurrentRow(), newRow);
  EXPECT_EQ(ConfigRows(), 2);
  // The main window has the activation and the keys back.
  EXPECT_EQ(QApplication::activeWindow(), Frame()->widget());

  ClickAt(g, 0, 1);
  EXPECT_EQ(g.GetCurrentRow(), 1) << "a click on another row did not move there";
  ClickAt(g, 0, newRow);
  EXPECT_EQ(g.GetCurrentRow(), newRow);
  Type("Plant C");
  QTest::keyClick(Window(), Qt::Key_Return);
  Drain();
  QTest::keyClick(Window(), Qt::Key_Escape);  // the edit Enter went on with
  Drain();
  EXPECT_EQ(ConfigRows(), 3) << "a new name in the last row added nothing";
}

TEST_F(RefusedEdit, ABadAddressLeavesTheSwitchListTakingClicks) {
  CSwitchListGrid& g = Switches();
  ASSERT_GE(Doc()->AddSwitchFromField(kSwitchColName, "Ring 1"), 0);
  ASSERT_GE(Doc()->AddSwitchFromField(kSwitchColName, "Ring 2"), 0);
  Drain();
  const int rows = g.DataStore().GetRowCount();
  ASSERT_EQ(rows, 2);
  QTest::mouseDClick(Window(), Qt::LeftButton, Qt::NoModifier, InWindow(g, kSwitchColMac, 0));
  Drain();
  Type("zz");
  ASSERT_TRUE(g.IsEditing());
  EXPECT_EQ(PressAndClickOk(Qt::Key_Return).rfind("Invalid MAC address format", 0), 0u);
  EXPECT_FALSE(g.IsEditing());
  EXPECT_EQ(g.GetCurrentRow(), 0);
  EXPECT_EQ(QApplication::activeWindow(), Frame()->widget());
  ClickAt(g, kSwitchColName, 1);
  EXPECT_EQ(g.GetCurrentRow(), 1) << "a click on another row did not move there";
}

TEST_F(RefusedEdit, AClickOnAnotherCellEndsTheEditAndMovesThereAtOnce) {
  CConfigListGrid& g = Configs();
  const int newRow = 2;
  ClickAt(g, 0, newRow);
  Type("Plant C");
  ASSERT_TRUE(g.IsEditing());
  // One press: the new name is taken and the clicked row is current.
  ClickAt(g, 0, 1);
  EXPECT_FALSE(g.IsEditing());
  EXPECT_EQ(ConfigRows(), 3);
  EXPECT_EQ(g.GetCurrentRow(), 1);
  // A name in use with a click elsewhere: the box is answered, the click lands.
  ClickAt(g, 0, 3);
  Type("plant b");
  ASSERT_TRUE(g.IsEditing());
  const std::string text = AnswerBoxWithClick([&] { ClickAt(g, 0, 0); });
  EXPECT_EQ(text, "The entered switch configuration name is already in use.");
  EXPECT_FALSE(g.IsEditing());
  EXPECT_EQ(ConfigRows(), 3);
  EXPECT_EQ(g.GetCurrentRow(), 0);
}

}  // namespace
}  // namespace fwtest
