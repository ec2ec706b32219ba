#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

#include "app/captureprobe.h"
#include "shell/help.h"
#include "shell/statusmsgdlg.h"
#include "app/winpcappromptdlg.h"
#include "gui_helpers.h"
#include "platform/dynlib.h"
#include "platform/gui/services.h"
#include "platform/language.h"
#include "platform/message.h"
#include "tests/common/test_util.h"
#include "tools/autosizenotewnd.h"

namespace {

void WhenModal(std::function<void(QDialog*)> f) {
  QTimer::singleShot(0, [f] {
    fwtest::WaitFor(
        [] { return qobject_cast<QDialog*>(QApplication::activeModalWidget()) != nullptr; }, 2000);
    f(qobject_cast<QDialog*>(QApplication::activeModalWidget()));
  });
}

class ShellWindows : public ::testing::Test {
 protected:
  ~ShellWindows() override {
    fw::SetShellService(nullptr);
    fw::SetCurrentResources(nullptr);
    fwtest::Drain();
  }
};

TEST_F(ShellWindows, CapturePromptShowsTheMessageAndGoesOnWithContinue) {
  CWinPcapPromptDlg dlg;
  const std::string message = CaptureIncompatibleMessage("0.9");
  dlg.SetMessage(message);
  bool checked = false;
  WhenModal([&](QDialog* d) {
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(dlg.GetWindowText(), "libpcap");
    EXPECT_EQ(dlg.GetDlgItemText(IDOK), "Continue");
    EXPECT_EQ(dlg.GetDlgItemText(CWinPcapPromptDlg::kMessageId), message);
    EXPECT_EQ(dlg.m_link.GetWindowText(), "www.tcpdump.org");
    EXPECT_EQ(dlg.m_link.textColour(), RGB(0, 0, 255));
    EXPECT_TRUE(dlg.m_link.link());
    EXPECT_TRUE(dlg.m_link.logFont().lfUnderline);
    checked = true;
    QTest::mouseClick(dlg.GetDlgItem(IDOK)->widget(), Qt::LeftButton);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(checked);
  // The link's hand is a picture of our own, pointing at its hot spot.
  HCURSOR hand = LoadCursor(nullptr, CWinPcapPromptDlg::kLinkCursorId);
  ASSERT_NE(hand, nullptr);
  EXPECT_FALSE(hand->pixmap().isNull());
  EXPECT_EQ(hand->hotSpot(), QPoint(5, 0));
}

TEST_F(ShellWindows, TheLinkOpensTheLibrarysPageAndEndsThePrompt) {
  fw::CRecordingShellService shell;
  fw::SetShellService(&shell);
  CWinPcapPromptDlg dlg;
  WhenModal([&](QDialog*) { QTest::mouseClick(dlg.m_link.widget(), Qt::LeftButton); });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(shell.opened(), std::vector<std::string>{"https://www.tcpdump.org/"});
  // Cancel ends the program too.
  WhenModal(
      [&](QDialog*) { QTest::mouseClick(dlg.GetDlgItem(IDCANCEL)->widget(), Qt::LeftButton); });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(shell.opened().size(), 1u);
}

TEST_F(ShellWindows, EachLanguageHasItsOwnWindows) {
  const fw::LanguageLibraryNames names = {"libfenwardle_eng.so", "libfenwardle_de.so",
                                          "libfenwardle_fra.so"};
  struct Case {
    const char* language;
    const char* recover;
    const char* go;
  } cases[] = {{"german", "Jetzt wiederherstellen", "Weiter"},
               {"french", "Restaurer maintenant", "Continuer"}};
  for (const auto& c : cases) {
    ASSERT_TRUE(fw::UseLanguageLibrary(c.language, names, fw::ProgramFolder())) << c.language;
    CDialog recover(156);
    ASSERT_TRUE(recover.Create(156));
    EXPECT_EQ(recover.GetDlgItemText(IDOK), c.recover);
    EXPECT_TRUE(recover.DestroyWindow());
    CWinPcapPromptDlg prompt;
    WhenModal([&](QDialog*) {
      EXPECT_EQ(prompt.GetDlgItemText(IDOK), c.go);
      prompt.EndDialog(IDOK);
    });
    EXPECT_EQ(prompt.DoModal(), IDOK);
  }
}

TEST_F(ShellWindows, StatusWindowIsMadeOnceAndGoesAway) {
  CStatusMsgDlg dlg;
  ASSERT_TRUE(dlg.Create());
  EXPECT_FALSE(dlg.IsWindowVisible());
  EXPECT_TRUE(dlg.widget()->windowFlags() & Qt::FramelessWindowHint);  // no caption
  dlg.SetMessage("Reading configuration...");
  EXPECT_EQ(dlg.GetDlgItemText(CStatusMsgDlg::kMessageId), "Reading configuration...");
  EXPECT_TRUE(dlg.DestroyWindow());

  CShellOperationUi ui;
  IOperationUi& operations = ui;
  operations.ShowStatus("one");
  CStatusMsgDlg* first = ui.status();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->IsWindowVisible());
  operations.ShowStatus("two");
  EXPECT_EQ(ui.status(), first);
  EXPECT_EQ(first->GetDlgItemText(CStatusMsgDlg::kMessageId), "two");
  operations.HideStatus();
  EXPECT_EQ(ui.status(), nullptr);
  operations.HideStatus();  // twice is harmless
}

TEST_F(ShellWindows, AutoSizeNoteKeepsItsPlaceAndFitsItsText) {
  QWidget parent;
  parent.resize(400, 300);
  CAutoSizeNoteWnd note(&parent);
  note.setGeometry(30, 40, 150, 20);
  note.SetNoteText("A longer note that cannot stay on one line of a narrow window");
  EXPECT_EQ(note.pos(), QPoint(30, 40));
  EXPECT_LE(note.width(), 150 + 12);
  const int tall = note.height();
  EXPECT_GT(tall, 2 * 14);  // wrapped to more lines than the window had
  note.SetNoteText("Short");
  EXPECT_EQ(note.pos(), QPoint(30, 40));
  EXPECT_LT(note.height(), tall);
  EXPECT_LT(note.width(), 150);
}

TEST_F(ShellWindows, HelpOpensOnlyAnInstalledDocument) {
  fw::CRecordingShellService shell;
  fw::SetShellService(&shell);
  fw::ScopedMessageSink messages;
  fw::test::TempDir tmp;
  const std::string page = tmp.file("fenwardl.html");
  CHelpFileService help(page);
  fw::SetHelpService(&help);
  EXPECT_FALSE(fw::ShowHelp(0x2009C));  // not installed: said so, nothing opened
  ASSERT_EQ(messages->count(), 1u);
  EXPECT_EQ(messages->messages()[0].text, "No help is installed for this program.");
  help.SetPath(tmp.path());
  EXPECT_FALSE(help.ShowIndex());  // a folder is no document
  {
    std::FILE* f = std::fopen(page.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
  }
  help.SetPath(page);
  EXPECT_TRUE(fw::ShowHelp(0x2009C));
  EXPECT_TRUE(help.ShowIndex());
  fw::SetHelpService(nullptr);
  EXPECT_EQ(shell.opened(),
            (std::vector<std::string>{"file://" + page + "#ctx-2009c", "file://" + page}));
  EXPECT_EQ(messages->count(), 2u);
}

}  // namespace
