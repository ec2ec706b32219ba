// A property sheet typed at with xdotool while the program is busy: by the
// time the queued Ctrl+PageDown is handled the server says Ctrl is up.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QWindow>

#include "gui_helpers.h"
#include "platform/gui/propertysheet.h"
#include "screen_env.h"

namespace {

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
