// The status monitor's questions in the language it was started in: Qt's own
// buttons of a real box, read as the user sees them.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "monitor_fixture.h"
#include "platform/gui/qtmessagesink.h"

namespace {

class MonitorQtTexts : public fwtest::MonitorTest {
 protected:
  void TearDown() override {
    fwtest::MonitorTest::TearDown();
    fw::SetMessageSink(&*m_messages);
  }
  fw::CQtMessageSink m_realBoxes;
};

TEST_F(MonitorQtTexts, QuestionBoxButtonsSpeakTheProgramsLanguage) {
  struct Case {
    const char* language;
    const char *yes, *no;
  };
  for (const Case& c : {Case{"german", "Ja", "Nein"}, Case{"french", "Oui", "Non"}}) {
    SCOPED_TRACE(c.language);
    std::filesystem::create_directories(m_dir.file("config/ZOLVEX"));
    std::ofstream(m_dir.file("config/ZOLVEX/zvinfo.ini"))
        << "[fenwardle]\nlanguage=" << c.language << "\n";
    ASSERT_TRUE(Start());
    fw::SetMessageSink(&m_realBoxes);
    std::string yes, no;
    QTimer::singleShot(0, [&] {
      fwtest::WaitFor([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); });
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      if (auto* b = box->button(QMessageBox::Yes)) yes = b->text().remove('&').toStdString();
      if (auto* b = box->button(QMessageBox::No)) {
        no = b->text().remove('&').toStdString();
        b->click();
      }
    });
    EXPECT_EQ(AfxMessageBox("?", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(yes, c.yes);
    EXPECT_EQ(no, c.no);
    fw::SetMessageSink(&*m_messages);
    Stop();
  }
}

}  // namespace
