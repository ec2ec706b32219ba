// A grid cell whose press asks a question (a message box, a dialog) while the
// grid holds the mouse, on a real X server: the question is answered with
// the mouse and the next click reaches what it was made on. Offscreen Qt
// grabs nothing, so only here does a capture left behind catch the clicks.
// The input is real X input from xdotool. And a key queued while the
// program is busy keeps the modifiers it was typed with: by the time a
// property sheet handles Ctrl+PageDown the server says Ctrl is up.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QWindow>
#include <functional>

#include "grid/gridcellwnd.h"
#include "grid/sheetgridctrl.h"
#include "gui_helpers.h"
#include "platform/gui/dialog.h"
#include "platform/gui/propertysheet.h"
#include "platform/gui/qtmessagesink.h"
#include "platform/message.h"
#include "screen_env.h"

namespace {

using fwtest::Drain;
using fwtest::WaitFor;

const char* const kScript = R"(
600 DIALOG 0, 0, 120, 50
STYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION
CAPTION "Question"
BEGIN
    DEFPUSHBUTTON "OK", IDOK, 10, 25, 45, 14
    PUSHBUTTON "Cancel", IDCANCEL, 65, 25, 45, 14
END
)";

// The grid asks its question inside the press of cell (1, 1).
class AskingGrid : public CSheetGridCtrl {
 public:
  std::function<void()> ask;
  void OnCellLeftClick(int col, int row, int pressed, CRect*, CPoint*, int) override {
    if (pressed && col == 1 && row == 1 && ask) ask();
  }
};

// Real pointer input: moves the pointer there and clicks the left button.
// Started, not waited for, so that a modal loop may be running meanwhile.
void XClick(QPoint global) {
  QProcess::startDetached("xdotool", {"mousemove", QString::number(global.x()),
                                      QString::number(global.y()), "click", "1"});
}

// The same, waited for while events go on.
void XClickAndWait(QPoint global) {
  QProcess p;
  p.start("xdotool",
          {"mousemove", QString::number(global.x()), QString::number(global.y()), "click", "1"});
  WaitFor([&] { return p.state() == QProcess::NotRunning; }, 5000);
  WaitFor([] { return false; }, 300);  // the server's events have arrived
}

class CaptureOnScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    if (fwscreen::Display().empty()) {
      GTEST_SKIP() << "no virtual X server (Xvfb) on this machine";
    }
    if (QStandardPaths::findExecutable("xdotool").isEmpty()) {
      GTEST_SKIP() << "no xdotool";
    }
    ASSERT_TRUE(m_bundle.ok()) << m_bundle.error();
    fw::SetMessageSink(&m_boxes);
    ASSERT_TRUE(m_host.CreateEx(0, "", "capture", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 500, 320),
                                nullptr, 0));
    ASSERT_TRUE(m_grid.CreateGrid(WS_VISIBLE, CRect(0, 0, 480, 250), &m_host, 1));
    (void)m_grid.SetRowTotal(5);
    (void)m_grid.SetColumnTotal(4);
    m_button = new QPushButton("Other", m_host.widget());
    m_button->setGeometry(10, 270, 100, 30);
    m_button->show();
    QObject::connect(m_button, &QPushButton::clicked, [this] { ++m_buttonClicks; });
    m_host.widget()->move(100, 100);
    fwtest::Activate(m_host.widget());
    ASSERT_TRUE(WaitFor([this] { return m_host.widget()->windowHandle()->isExposed(); }, 5000));
    WaitFor([] { return false; }, 300);
  }
  void TearDown() override {
    if (m_host.IsWindow()) {
      EXPECT_TRUE(m_host.DestroyWindow());
    }
    Drain();
    fw::SetMessageSink(m_previous);
  }

  QPoint CellOnScreen(int col, int row) {
    CRect r;
    EXPECT_EQ(m_grid.GetCellRectangle(col, row, r), kGridOk);
    return m_grid.CellArea()->widget()->mapToGlobal(
        QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
  }
  static QPoint OnScreen(QWidget* w) { return w->mapToGlobal(w->rect().center()); }

  // Clicks the cell that asks; once the modal window is up and on screen it
  // is answered by a real click on the button `pick` chooses. A window that
  // takes no click is closed after a bound. True when the click answered it.
  bool AskAndAnswer(const std::function<QWidget*(QWidget*)>& pick) {
    bool sent = false, answered = false;
    QDeadlineTimer shown;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || !modal->windowHandle() || !modal->windowHandle()->isExposed()) return;
      if (!sent) {
        // Mapped a moment ago: let the server finish before the click.
        if (shown.isForever()) shown.setRemainingTime(300);
        if (!shown.hasExpired()) return;
        if (QWidget* button = pick(modal)) XClick(OnScreen(button));
        sent = true;
        shown.setRemainingTime(5000);
      } else if (shown.hasExpired()) {
        modal->close();  // the click never reached it
      }
    });
    poll.start(50);
    QObject::connect(&m_guard, &QTimer::timeout, [] {
      if (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
    m_grid.ask = [&] { answered = Ask(); };
    m_guard.setSingleShot(true);
    m_guard.start(20000);
    XClickAndWait(CellOnScreen(1, 1));
    WaitFor([&] { return sent && !QApplication::activeModalWidget(); }, 15000);
    m_guard.stop();
    m_grid.ask = nullptr;
    Drain();
    EXPECT_TRUE(sent) << "no modal window came up";
    return answered;
  }

  // What the press asks; true for the answer the click chose.
  std::function<bool()> Ask;

  void ExpectTheNextClicksLand() {
    EXPECT_EQ(GetCapture(), nullptr) << "the grid still holds the mouse";
    XClickAndWait(OnScreen(m_button));
    EXPECT_EQ(m_buttonClicks, 1) << "the first click after the question was lost";
    XClickAndWait(CellOnScreen(3, 2));
    EXPECT_EQ(m_grid.GetCurrentColumn(), 3);
    EXPECT_EQ(m_grid.GetCurrentRow(), 2);
  }

  fwtest::ScopedBundle m_bundle{kScript};
  fw::CQtMessageSink m_boxes;
  fw::IMessageSink* m_previous = fw::MessageSink();
  CWnd m_host;
  AskingGrid m_grid;
  QPushButton* m_button = nullptr;
  int m_buttonClicks = 0;
  QTimer m_guard;
};

TEST_F(CaptureOnScreen, AMessageBoxAskedInAPressTakesTheMouseAndTheNextClickLands) {
  Ask = [] { return AfxMessageBox("Clear the other pairs?", MB_YESNO) == IDYES; };
  EXPECT_TRUE(AskAndAnswer([](QWidget* modal) -> QWidget* {
    auto* box = qobject_cast<QMessageBox*>(modal);
    return box ? box->button(QMessageBox::Yes) : nullptr;
  })) << "the box did not take the click on Yes";
  ExpectTheNextClicksLand();
}

TEST_F(CaptureOnScreen, ADialogRunInAPressTakesTheMouseAndTheNextClickLands) {
  Ask = [this] {
    CDialog dlg(600, &m_host);
    return dlg.DoModal() == IDOK;
  };
  EXPECT_TRUE(AskAndAnswer([](QWidget* modal) -> QWidget* {
    for (auto* b : modal->findChildren<QAbstractButton*>())
      if (b->text() == "OK") return b;
    return nullptr;
  })) << "the dialog did not take the click on OK";
  ExpectTheNextClicksLand();
}

TEST(SheetKeysOnScreen, ACtrlPageDownHandledAfterCtrlWasLetGoTurnsThePage) {
  if (fwscreen::Display().empty()) GTEST_SKIP() << "no virtual X server (Xvfb) on this machine";
  if (QStandardPaths::findExecutable("xdotool").isEmpty()) GTEST_SKIP() << "no xdotool";
  fwtest::ScopedBundle bundle(
      "910 DIALOGEX 0, 0, 160, 60\nSTYLE WS_CHILD | WS_CAPTION\n"
      "BEGIN\n EDITTEXT 1001, 7, 7, 100, 14\nEND\n");
  ASSERT_TRUE(bundle.ok()) << bundle.error();
  CPropertySheet sheet(900);
  CPropertyPage one(910), two(910);
  sheet.AddPage(&one);
  sheet.AddPage(&two);
  int page = -1;
  QTimer::singleShot(0, [&] {
    fwtest::Activate(sheet.widget());
    if (fwtest::WaitFor(
            [&] { return QGuiApplication::focusWindow() == sheet.widget()->windowHandle(); },
            5000)) {
      fwtest::WaitFor([] { return false; }, 300);  // focused on the server too
      QProcess xdo;  // waited for without reading input: the keys queue up
      xdo.start("xdotool", {"keydown", "ctrl", "key", "Next", "keyup", "ctrl"});
      xdo.waitForFinished(5000);
      fwtest::WaitFor([&] { return sheet.GetActiveIndex() == 1; }, 2000);
      page = sheet.GetActiveIndex();
    }
    sheet.EndDialog(IDCANCEL);
  });
  (void)sheet.DoModal();
  EXPECT_EQ(page, 1) << "Ctrl+PageDown did not turn the page";
}

}  // namespace
