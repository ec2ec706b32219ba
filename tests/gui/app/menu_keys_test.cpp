// The configuration program's File menu opened with the mouse and its items
// chosen by their underlined letters, in each of the three languages.
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QWindow>

#include "shell_fixture.h"

namespace fwtest {
namespace {

class MenuKeys : public ShellTest {
 protected:
  QMenuBar* Bar() { return qobject_cast<QMainWindow*>(Frame()->widget())->menuBar(); }

  // Clicks the first item of the menu bar through the main window.
  QMenu* OpenFileMenu() {
    QWidget* main = Frame()->widget();
    QMenuBar* bar = Bar();
    const QRect file = bar->actionGeometry(bar->actions()[0]);
    QTest::mouseClick(main->windowHandle(), Qt::LeftButton, {}, bar->mapTo(main, file.center()));
    WaitFor([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr; });
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
  }

  // Opens the File menu and types the letter into the open pop-up.
  void Type(char letter) {
    QMenu* menu = OpenFileMenu();
    ASSERT_NE(menu, nullptr) << "the File menu did not open";
    ASSERT_NE(menu->windowHandle(), nullptr);
    QTest::keyClick(menu->windowHandle(), letter);
    Drain();
    while (QWidget* open = QApplication::activePopupWidget()) {
      ADD_FAILURE() << "the pop-up stayed open after '" << letter << "'";
      open->close();
      Drain();
    }
  }
};

TEST_F(MenuKeys, TheUnderlinedLettersOfTheFileMenuChooseItsItemsInEachLanguage) {
  struct Case {
    const char* language;
    char saveAs, autoOpen, exit;
  };
  for (const Case& c : {Case{"english", 'a', 'l', 'x'}, Case{"german", 'u', 'l', 'b'},
                        Case{"French", 's', 'd', 'q'}}) {
    SCOPED_TRACE(c.language);
    Saved()->WriteProfileString("settings", "language", c.language);
    ASSERT_TRUE(Start());
    // Save As asks for a name (none is given: nothing is saved).
    const std::size_t asked = m_dialogs.requests().size();
    Type(c.saveAs);
    EXPECT_EQ(m_dialogs.requests().size(), asked + 1);
    // The auto-open item turns the setting over.
    const int autoOpen = Frame()->AutoOpen();
    Type(c.autoOpen);
    EXPECT_EQ(Frame()->AutoOpen(), autoOpen ? 0 : 1);
    // Exit ends the program.
    QPointer<QWidget> main = Frame()->widget();
    Type(c.exit);
    EXPECT_TRUE(WaitFor([&] { return !main || !main->isVisible(); }));
    Stop();
  }
}

TEST_F(MenuKeys, RecentProjectsLookLikeTheOtherItemsAndAnswerTheirNumber) {
  ASSERT_TRUE(Start());
  const std::string one = WriteProject(m_dir.file("one.zcf"), "One", "A");
  const std::string two = WriteProject(m_dir.file("two.zcf"), "Two", "B");
  ASSERT_NE(m_app->OpenDocumentFile(one), nullptr);
  ASSERT_NE(m_app->OpenDocumentFile(two), nullptr);
  QMenu* menu = OpenFileMenu();
  ASSERT_NE(menu, nullptr);
  // New, Open, Save, Save As, -, Output, -, the two projects, ...
  ASSERT_GT(menu->actions().size(), 8);
  const QRect save = menu->actionGeometry(menu->actions()[2]);
  const QRect recent = menu->actionGeometry(menu->actions()[7]);
  EXPECT_EQ(recent.size(), save.size());
  const QImage shot = menu->grab().toImage();
  for (QPoint at : {QPoint(2, 10), QPoint(24, 1), QPoint(save.width() - 3, save.height() - 2)})
    EXPECT_EQ(shot.pixel(recent.topLeft() + at), shot.pixel(save.topLeft() + at)) << at.x();
  QTest::keyClick(menu->windowHandle(), '2');
  Drain();
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  EXPECT_EQ(Doc()->GetPathName(), one);
}

}  // namespace
}  // namespace fwtest
