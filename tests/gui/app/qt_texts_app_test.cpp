// Qt's own boxes and dialogs in the language the program was started in: the
// question before New throws changes away and the Open dialog, both shown for
// real and read as the user sees them.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>

#include "platform/gui/qtmessagesink.h"
#include "shell_fixture.h"

namespace fwtest {
namespace {

class QtTexts : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    fw::SetMessageSink(&m_realBoxes);
  }
  void TearDown() override {
    ShellTest::TearDown();
    fw::SetMessageSink(&*m_messages);
  }

  // Runs the command while the modal window of type W is expected; look
  // reads it once it is shown and then ends it.
  template <class W>
  bool WhileShown(unsigned command, const std::function<void(W&)>& look) {
    bool seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
      if (seen || !w || !w->windowHandle() || !w->windowHandle()->isExposed()) return;
      seen = true;
      look(*w);
    });
    poll.start(50);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
      if (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
    guard.start(15000);
    Command(command);
    WaitFor([&] { return seen && !QApplication::activeModalWidget(); }, 10000);
    Drain();
    return seen;
  }
  static std::string Shown(const QString& label) {
    return QString(label).remove('&').toStdString();
  }

  fw::CQtMessageSink m_realBoxes;
};

TEST_F(QtTexts, QuestionBoxButtonsSpeakTheProgramsLanguage) {
  struct Case {
    const char* language;
    const char *yes, *no, *cancel;
  };
  for (const Case& c :
       {Case{"german", "Ja", "Nein", "Abbrechen"}, Case{"french", "Oui", "Non", "Annuler"},
        Case{"english", "Yes", "No", "Cancel"}}) {
    SCOPED_TRACE(c.language);
    Saved()->WriteProfileString("settings", "language", c.language);
    ASSERT_TRUE(Start());
    Doc()->SetModifiedFlag(true);
    std::string yes, no, cancel;
    EXPECT_TRUE(WhileShown<QMessageBox>(ID_FILE_NEW, [&](QMessageBox& box) {
      if (auto* b = box.button(QMessageBox::Yes)) yes = Shown(b->text());
      if (auto* b = box.button(QMessageBox::No)) no = Shown(b->text());
      QAbstractButton* b = box.button(QMessageBox::Cancel);
      if (!b) return box.close(), void();
      cancel = Shown(b->text());
      QTest::mouseClick(box.windowHandle(), Qt::LeftButton, {}, b->mapTo(&box, b->rect().center()));
    }));
    EXPECT_EQ(yes, c.yes);
    EXPECT_EQ(no, c.no);
    EXPECT_EQ(cancel, c.cancel);
    EXPECT_TRUE(Doc()->IsModified()) << "Cancel went on with New";
    Doc()->SetModifiedFlag(false);
    Stop();
  }
}

TEST_F(QtTexts, TheOpenDialogSpeaksTheProgramsLanguage) {
  ScopedFileDialogService qtDialogs(nullptr);  // Qt's own dialog
  struct Case {
    const char* language;
    const char *lookIn, *fileName;
  };
  for (const Case& c : {Case{"german", "Suchen in:", "Dateiname:"},
                        Case{"french", "Voir dans :", "Nom de fichier :"}}) {
    SCOPED_TRACE(c.language);
    Saved()->WriteProfileString("settings", "language", c.language);
    ASSERT_TRUE(Start());
    std::string lookIn, fileName;
    EXPECT_TRUE(WhileShown<QFileDialog>(ID_FILE_OPEN, [&](QFileDialog& dlg) {
      if (auto* l = dlg.findChild<QLabel*>("lookInLabel")) lookIn = Shown(l->text());
      if (auto* l = dlg.findChild<QLabel*>("fileNameLabel")) fileName = Shown(l->text());
      QTest::keyClick(dlg.windowHandle(), Qt::Key_Escape);
    }));
    EXPECT_EQ(lookIn, c.lookIn);
    EXPECT_EQ(fileName, c.fileName);
    Stop();
  }
}

}  // namespace
}  // namespace fwtest
