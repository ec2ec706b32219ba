// Keys typed into the status monitor's window as a user types them (through
// its QWindow) while the switch list has the focus: the frame's accelerators
// and the menu keys reach the frame, the list keeps its own keys, and the
// focus is the list's again after a dialog, ours or Qt's.
#include <QMenu>
#include <QPageSetupDialog>
#include <QTest>
#include <QWindow>

#include "monitor/printservice.h"
#include "monitor_fixture.h"
#include "platform/gui/stdids.h"
#include "shell/commandids.h"
#include "tools/switchstatusdlg.h"

namespace fwtest {
namespace {

class MonitorKeys : public MonitorTest {
 protected:
  void SetUp() override {
    MonitorTest::SetUp();
    AddSwitch(0x01, "North");
    AddSwitch(0x02, "South");
    ASSERT_TRUE(Start());
    ASSERT_EQ(Grid().RowCount(), 2);
    // What the help keys ask the frame for (its own answer shows nothing).
    for (unsigned id : {ID_HELP, ID_CONTEXT_HELP})
      Frame()->SetCommandHandler(static_cast<int>(id),
                                 [this, id] { m_helpCommands.push_back(id); });
  }

  QWindow* Window() { return Frame()->widget()->windowHandle(); }
  QWidget* Cells() { return Grid().GetDlgItem(kGridCellAreaId)->widget(); }
  void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(Window(), key, mods);
    Drain();
  }
  void ClickRow(int row) {
    CRect r;
    ASSERT_EQ(Grid().GetCellRectangle(0, row, r), kGridOk);
    const QPoint at = Cells()->mapTo(Frame()->widget(), QPoint(r.left + 5, (r.top + r.bottom) / 2));
    QTest::mouseClick(Window(), Qt::LeftButton, Qt::NoModifier, at);
    Drain();
  }
  static QMenu* OpenPopup() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }
  // The menu a menu key opens, closed again with Escape (menu, then bar).
  QString MenuOf(Qt::Key key) {
    Key(key, Qt::AltModifier);
    if (!WaitFor([] { return OpenPopup() != nullptr; }, 2000)) return "<none>";
    const QString title = OpenPopup()->title();
    Key(Qt::Key_Escape);
    WaitFor([] { return OpenPopup() == nullptr; }, 2000);
    Key(Qt::Key_Escape);
    return title;
  }

  std::vector<unsigned> m_helpCommands;
};

TEST_F(MonitorKeys, TheFramesKeysWorkWhileTheListHasTheFocus) {
  ClickRow(0);
  ASSERT_EQ(QApplication::focusWidget(), Cells());
  Key(Qt::Key_F1);
  Key(Qt::Key_F1, Qt::ShiftModifier);
  EXPECT_EQ(m_helpCommands, (std::vector<unsigned>{ID_HELP, ID_CONTEXT_HELP}));
  EXPECT_EQ(MenuOf(Qt::Key_F), "&File");
  EXPECT_EQ(MenuOf(Qt::Key_S), "&Switch");
  EXPECT_EQ(QApplication::focusWidget(), Cells());
  // The list's own keys stay with it.
  Key(Qt::Key_Down);
  EXPECT_EQ(Grid().GetCurrentRow(), 1);
  Key(Qt::Key_Up);
  EXPECT_EQ(Grid().GetCurrentRow(), 0);
}

TEST_F(MonitorKeys, AfterTheStatusDialogTheListHasTheFocusAndTheNextKeyGoesOn) {
  ClickRow(1);
  ASSERT_EQ(QApplication::focusWidget(), Cells());
  bool status = false;
  // Reached as a user does after a menu left with Esc: the menu bar keeps
  // the keyboard, and the dialog's end gives it back to the list.
  EXPECT_EQ(WatchModals(
                [&] {
                  Key(Qt::Key_H, Qt::AltModifier);
                  Key(Qt::Key_Escape);
                  Key(Qt::Key_S, Qt::AltModifier);
                  Key(Qt::Key_S);
                },
                [&](CDialog& dlg) {
                  status = dynamic_cast<CSwitchStatusDlg*>(&dlg) != nullptr;
                  QTest::keyClick(dlg.widget()->windowHandle(), Qt::Key_Escape);
                }),
            1);
  EXPECT_TRUE(status);
  EXPECT_EQ(QApplication::activeWindow(), Frame()->widget());
  EXPECT_EQ(QApplication::focusWidget(), Cells());
  Key(Qt::Key_F1);
  EXPECT_EQ(m_helpCommands, std::vector<unsigned>{ID_HELP});
  Key(Qt::Key_Up);
  EXPECT_EQ(Grid().GetCurrentRow(), 0);
}

// Qt's own dialogs on a PDF printer: no printer needed.
class CPdfDialogs : public CQtPrintService {
 public:
  std::unique_ptr<QPrinter> MakePrinter() override {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    return printer;
  }
};

TEST_F(MonitorKeys, AfterPrintSetupIsCancelledTheFramesKeysWork) {
  CPdfDialogs dialogs;
  SetPrintService(&dialogs);
  ClickRow(1);
  ASSERT_EQ(QApplication::focusWidget(), Cells());
  bool shown = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* setUp = qobject_cast<QPageSetupDialog*>(QApplication::activeModalWidget());
    if (!setUp || !setUp->windowHandle() || !setUp->isVisible()) return;
    shown = true;
    QTest::keyClick(setUp->windowHandle(), Qt::Key_Escape);
    if (setUp->isVisible()) setUp->reject();  // not this test's fault to hang on
  });
  poll.start(20);
  Command(ID_FILE_PRINT_SETUP);
  poll.stop();
  SetPrintService(nullptr);
  Drain();
  EXPECT_TRUE(shown) << "no page set-up dialog came up";
  EXPECT_EQ(QApplication::activeWindow(), Frame()->widget());
  EXPECT_EQ(QApplication::focusWidget(), Cells());
  Key(Qt::Key_F1);
  EXPECT_EQ(m_helpCommands, std::vector<unsigned>{ID_HELP});
  EXPECT_EQ(MenuOf(Qt::Key_F), "&File");
}

}  // namespace
}  // namespace fwtest
