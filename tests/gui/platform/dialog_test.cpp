#include "platform/gui/dialog.h"

#include <gtest/gtest.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <thread>

#include "gui_helpers.h"
#include "platform/gui/pump.h"
#include "platform/gui/qtmessagesink.h"
#include "platform/gui/services.h"

namespace {

using fwtest::WaitFor;

const char* const kScript = R"(
STRINGTABLE
BEGIN
    61712, "Please enter an integer."
END

500 DIALOGEX 0, 0, 200, 100
STYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU
CAPTION "Test Dialog"
FONT 8, "MS Shell Dlg"
BEGIN
    LTEXT           "Name:", IDC_STATIC, 7, 7, 40, 8
    EDITTEXT        1001, 50, 5, 100, 14, ES_AUTOHSCROLL
    EDITTEXT        1002, 50, 22, 40, 14, ES_NUMBER
    AUTOCHECKBOX    "Enabled", 1003, 7, 40, 60, 10
    AUTORADIOBUTTON "One", 1004, 7, 55, 40, 10, WS_GROUP
    AUTORADIOBUTTON "Two", 1005, 50, 55, 40, 10
    COMBOBOX        1006, 100, 40, 80, 60, CBS_DROPDOWNLIST | WS_VSCROLL
    CTEXT           "status", 1007, 7, 68, 186, 8, SS_CENTERIMAGE
    DEFPUSHBUTTON   "OK", IDOK, 90, 80, 50, 14
    PUSHBUTTON      "Cancel", IDCANCEL, 143, 80, 50, 14
END

501 DIALOG 0, 0, 100, 40
STYLE WS_POPUP | WS_CAPTION
CAPTION "Prompt"
BEGIN
    LTEXT "", 1027, 5, 5, 90, 10
    PUSHBUTTON "Cancel", IDCANCEL, 25, 20, 50, 14
END
)";

class FormDlg : public CDialog {
 public:
  FormDlg() : CDialog(500) {}
  std::string name = "initial";
  int number = 5;
  int enabled = 1;
  int radio = 1;
  int choice = 2;
  bool endInInit = false;
  int inits = 0;

 protected:
  bool OnInitDialog() override {
    ++inits;
    auto* combo = static_cast<CComboBox*>(GetDlgItem(1006));
    for (const char* s : {"red", "green", "blue"}) combo->AddString(s);
    CDialog::OnInitDialog();
    if (endInInit) EndDialog(77);
    return true;
  }
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Text(dx, 1001, name);
    DDX_Text(dx, 1002, number);
    DDX_Check(dx, 1003, enabled);
    DDX_Radio(dx, 1004, radio);
    DDX_CBIndex(dx, 1006, choice);
  }
};

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_bundle.ok()) << m_bundle.error(); }
  void TearDown() override { fwtest::Drain(); }
  fwtest::ScopedBundle m_bundle{kScript};
};

// Runs f once the modal loop of the next dialog is running.
void WhenModal(std::function<void(QDialog*)> f) {
  QTimer::singleShot(0, [f] {
    fwtest::WaitFor(
        [] { return qobject_cast<QDialog*>(QApplication::activeModalWidget()) != nullptr; }, 2000);
    f(qobject_cast<QDialog*>(QApplication::activeModalWidget()));
  });
}

TEST_F(DialogTest, TemplateBuildsControlsInDialogUnits) {
  FormDlg dlg;
  ASSERT_TRUE(dlg.Create(500));
  EXPECT_EQ(dlg.GetWindowText(), "Test Dialog");
  CRect client;
  dlg.GetClientRect(&client);
  CRect expect(0, 0, 200, 100);
  dlg.MapDialogRect(&expect);
  EXPECT_EQ(client, expect);
  CRect dlu(50, 5, 150, 19);
  dlg.MapDialogRect(&dlu);
  CWnd* edit = dlg.GetDlgItem(1001);
  ASSERT_NE(edit, nullptr);
  EXPECT_NE(dynamic_cast<CEdit*>(edit), nullptr);
  EXPECT_EQ(CRect::FromQt(edit->widget()->geometry()), dlu);
  EXPECT_NE(dynamic_cast<CButton*>(dlg.GetDlgItem(IDOK)), nullptr);
  EXPECT_NE(dynamic_cast<CComboBox*>(dlg.GetDlgItem(1006)), nullptr);
  EXPECT_EQ(dlg.GetDefID(), IDOK);
  // Every control has the dialog's font.
  EXPECT_EQ(edit->GetFont(), dlg.dialogFont());
  auto* label = qobject_cast<QLabel*>(dlg.GetDlgItem(1007)->widget());
  ASSERT_NE(label, nullptr);
  EXPECT_TRUE(label->alignment() & Qt::AlignHCenter);
  EXPECT_TRUE(label->alignment() & Qt::AlignVCenter);
}

TEST_F(DialogTest, DataExchangeRoundTrip) {
  FormDlg dlg;
  ASSERT_TRUE(dlg.Create(500));
  // OnInitDialog put the members into the controls.
  EXPECT_EQ(dlg.GetDlgItemText(1001), "initial");
  EXPECT_EQ(dlg.GetDlgItemText(1002), "5");
  EXPECT_EQ(dlg.IsDlgButtonChecked(1003), BST_CHECKED);
  EXPECT_EQ(dlg.IsDlgButtonChecked(1005), BST_CHECKED);
  EXPECT_EQ(static_cast<CComboBox*>(dlg.GetDlgItem(1006))->GetCurSel(), 2);

  dlg.SetDlgItemText(1001, "changed");
  dlg.SetDlgItemText(1002, "42");
  dlg.CheckDlgButton(1003, BST_UNCHECKED);
  dlg.CheckRadioButton(1004, 1005, 1004);
  static_cast<CComboBox*>(dlg.GetDlgItem(1006))->SetCurSel(0);
  ASSERT_TRUE(dlg.UpdateData(true));
  EXPECT_EQ(dlg.name, "changed");
  EXPECT_EQ(dlg.number, 42);
  EXPECT_EQ(dlg.enabled, 0);
  EXPECT_EQ(dlg.radio, 0);
  EXPECT_EQ(dlg.choice, 0);

  // A bad number fails the exchange with a message and keeps the member.
  fw::ScopedMessageSink sink;
  dlg.SetDlgItemText(1002, "4x");
  EXPECT_FALSE(dlg.UpdateData(true));
  EXPECT_EQ(dlg.number, 42);
  ASSERT_EQ(sink->count(), 1u);
  EXPECT_EQ(sink->messages()[0].text, "Please enter an integer.");
}

TEST_F(DialogTest, EndDialogDuringInitReturnsAtOnce) {
  FormDlg dlg;
  dlg.endInInit = true;
  bool shown = false;
  QTimer probe;
  QObject::connect(&probe, &QTimer::timeout, [&] {
    if (QApplication::activeModalWidget()) shown = true;
  });
  probe.start(1);
  EXPECT_EQ(dlg.DoModal(), 77);
  EXPECT_EQ(dlg.inits, 1);
  EXPECT_FALSE(shown);
  EXPECT_FALSE(dlg.IsWindow());
}

TEST_F(DialogTest, ModalRunEndsWithOkAfterValidation) {
  FormDlg dlg;
  WhenModal([&](QDialog* d) {
    ASSERT_NE(d, nullptr);
    dlg.SetDlgItemText(1001, "typed");
    QTest::mouseClick(dlg.GetDlgItem(IDOK)->widget(), Qt::LeftButton);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.name, "typed");
  EXPECT_FALSE(dlg.IsWindow());
  // It can run again.
  WhenModal([&](QDialog* d) { QTest::keyClick(d, Qt::Key_Escape); });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.inits, 2);
}

TEST_F(DialogTest, EnterGoesToTheDefaultButtonAndCloseBoxCancels) {
  FormDlg dlg;
  WhenModal([&](QDialog* d) {
    dlg.GetDlgItem(1003)->SetFocus();
    QTest::keyClick(d, Qt::Key_Return);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  WhenModal([&](QDialog* d) { d->close(); });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(DialogTest, BoundControlTakesTheTemplatesPlace) {
  class Marked : public CStatic {};
  class Dlg : public CDialog {
   public:
    Dlg() : CDialog(501) { BindControl(1027, status); }
    Marked status;
  } dlg;
  ASSERT_TRUE(dlg.Create(501));
  EXPECT_EQ(dlg.GetDlgItem(1027), &dlg.status);
  EXPECT_TRUE(dlg.status.IsWindow());
  dlg.SetDlgItemText(1027, "hello");
  EXPECT_EQ(dlg.status.GetWindowText(), "hello");
  // Late subclassing (DDX_Control) takes over an existing control.
  CButton cancel;
  EXPECT_TRUE(cancel.SubclassDlgItem(IDCANCEL, &dlg));
  EXPECT_EQ(dlg.GetDlgItem(IDCANCEL), &cancel);
  EXPECT_TRUE(dlg.DestroyWindow());
  EXPECT_FALSE(dlg.status.IsWindow());
  EXPECT_FALSE(cancel.IsWindow());
}

TEST_F(DialogTest, MissingTemplateFails) {
  CDialog dlg(999);
  EXPECT_EQ(dlg.DoModal(), -1);
  EXPECT_FALSE(dlg.Create(999));
}

class PromptDlg : public CDialog {
 public:
  PromptDlg() : CDialog(501) {}
  int cancels = 0;

 protected:
  void OnCancel() override {
    ++cancels;
    CDialog::OnCancel();
  }
};

TEST_F(DialogTest, PumpLetsOnlyTheAllowedWindowHaveInput) {
  QWidget other;
  other.resize(100, 50);
  auto* otherButton = new QPushButton("other", &other);
  otherButton->resize(80, 30);
  int otherClicks = 0;
  QObject::connect(otherButton, &QPushButton::clicked, [&] { ++otherClicks; });
  other.show();

  PromptDlg prompt;
  ASSERT_TRUE(prompt.Create(501));
  prompt.ShowWindow(SW_SHOW);
  QWidget* cancel = prompt.GetDlgItem(IDCANCEL)->widget();

  // Timers and posted messages of other windows wait for the pump to end.
  CWnd bystander;
  ASSERT_TRUE(bystander.Create("", "", 0, CRect(0, 0, 10, 10), nullptr, 0));
  int posted = 0;
  bystander.SetMessageHandler(WM_USER + 1, [&](WPARAM, LPARAM) {
    ++posted;
    return LRESULT(0);
  });

  int blocks = 0;
  auto* dispatcher = QAbstractEventDispatcher::instance();
  auto conn =
      QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [&] { ++blocks; });
  QTimer::singleShot(20, [&] {
    EXPECT_TRUE(bystander.PostMessage(WM_USER + 1));
    QTest::mouseClick(otherButton, Qt::LeftButton);
    QTest::mouseClick(cancel, Qt::LeftButton);
  });
  int over = fw::PumpMessagesFor(200, &prompt);
  QObject::disconnect(conn);
  EXPECT_GE(over, 0);
  EXPECT_EQ(otherClicks, 0);  // dropped, not delayed
  EXPECT_EQ(prompt.cancels, 1);
  EXPECT_EQ(posted, 0);
  // The loop slept between events instead of spinning.
  EXPECT_LT(blocks, 100);
  EXPECT_GE(blocks, 1);
  ASSERT_TRUE(WaitFor([&] { return posted == 1; }));
  fwtest::Drain();
  EXPECT_EQ(otherClicks, 0);
  // After the pump, input flows again.
  QTest::mouseClick(otherButton, Qt::LeftButton);
  EXPECT_EQ(otherClicks, 1);
}

TEST_F(DialogTest, PumpOfZeroReturnsWithoutDispatching) {
  CWnd w;
  ASSERT_TRUE(w.Create("", "", 0, CRect(0, 0, 10, 10), nullptr, 0));
  int got = 0;
  w.SetMessageHandler(WM_USER, [&](WPARAM, LPARAM) {
    ++got;
    return LRESULT(0);
  });
  EXPECT_TRUE(w.PostMessage(WM_USER));
  EXPECT_EQ(fw::PumpMessagesFor(0, &w), 0);
  EXPECT_EQ(got, 0);
  fwtest::Drain();
  EXPECT_EQ(got, 1);
}

TEST_F(DialogTest, MessageBoxFromWorkerNeverBlocksIt) {
  fw::CQtMessageSink sink;
  fw::IMessageSink* previous = fw::MessageSink();
  fw::SetMessageSink(&sink);
  int answer = 0;
  // The worker finishes while the GUI thread is not even looking.
  std::thread worker([&] { answer = MessageBoxCaption("Failed to open eth9", "Test", MB_YESNO); });
  worker.join();
  EXPECT_EQ(answer, IDNO);
  EXPECT_EQ(fw::CQtMessageSink::WorkerAnswer(MB_OK), IDOK);
  EXPECT_EQ(fw::CQtMessageSink::WorkerAnswer(MB_OKCANCEL), IDCANCEL);
  QMessageBox* box = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible()) box = b;
    return box != nullptr;
  }));
  EXPECT_EQ(box->text(), "Failed to open eth9");
  EXPECT_FALSE(box->isModal());
  box->close();
  fw::SetMessageSink(previous);
}

// An operation's window, owned by the main window, comes and goes while a
// dialog of the main window runs: the dialog stays active (the blocked main
// window cannot take the activation) and owns the next box.
TEST_F(DialogTest, AnOwnedWindowGoingWhileADialogRunsLeavesTheDialogActive) {
  fw::CQtMessageSink boxes;
  fw::IMessageSink* previous = fw::MessageSink();
  fw::SetMessageSink(&boxes);
  CWnd main;
  ASSERT_TRUE(
      main.CreateEx(0, "", "Main", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 400, 300), nullptr, 0));
  fwtest::Activate(main.widget());
  CDialog dlg(500, &main);
  QWidget* running = nullptr;
  QWidget* activeAfter = nullptr;
  QWidget* boxOwner = nullptr;
  WhenModal([&](QDialog* d) {
    running = d;
    CDialog operation(501, &main);
    if (operation.Create(501, &main)) {
      operation.ShowWindow(SW_SHOW);
      fwtest::Activate(operation.widget());  // as a window manager does with a new window
      (void)operation.DestroyWindow();
    }
    fwtest::Drain();
    activeAfter = QApplication::activeWindow();
    QTimer::singleShot(0, [&] {
      QMessageBox* box = nullptr;
      WaitFor(
          [&] { return (box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())); });
      if (!box) return;
      boxOwner = box->parentWidget();
      box->button(QMessageBox::No)->click();
    });
    (void)AfxMessageBox("Go on?", MB_YESNO);
    dlg.EndDialog(IDCANCEL);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  ASSERT_NE(running, nullptr);
  EXPECT_EQ(activeAfter, running);
  EXPECT_EQ(boxOwner, running);
  EXPECT_EQ(QApplication::activeWindow(), main.widget());
  fw::SetMessageSink(previous);
}

TEST_F(DialogTest, FileDialogsGoThroughTheService) {
  fw::CScriptedFileDialogService scripted;
  fw::SetFileDialogService(&scripted);
  scripted.QueueAnswer("/tmp/project");
  CFileDialog save(false, "zcf", "/home/u/old.zcf", OFN_OVERWRITEPROMPT,
                   "Project Files (*.zcf)|*.zcf|All Files (*.*)|*.*||");
  ASSERT_EQ(save.DoModal(), IDOK);
  EXPECT_EQ(save.GetPathName(), "/tmp/project.zcf");
  EXPECT_EQ(save.GetFileExt(), "zcf");
  ASSERT_EQ(scripted.requests().size(), 1u);
  EXPECT_EQ(scripted.requests()[0].initialDir, "/home/u");
  EXPECT_EQ(scripted.requests()[0].fileName, "old.zcf");
  CFileDialog open(true);
  EXPECT_EQ(open.DoModal(), IDCANCEL);  // nothing queued: cancelled
  fw::SetFileDialogService(nullptr);
  EXPECT_EQ(fw::QtFilterFromPairs("Project Files (*.zcf)|*.zcf|Text|*.txt;*.csv||"),
            "Project Files (*.zcf);;Text (*.txt *.csv)");
}

}  // namespace
