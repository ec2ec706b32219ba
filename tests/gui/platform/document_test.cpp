// Documents and views: hints, command routing, and the save logic with its
// prompt, failures and the files it may and may not remove.
#include "platform/gui/document.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "gui_helpers.h"
#include "platform/gui/ipaddressctrl.h"
#include "platform/gui/qtmessagesink.h"
#include "platform/gui/services.h"
#include "platform/gui/view.h"
#include "platform/message.h"
#include "tests/common/test_util.h"

namespace {

namespace fs = std::filesystem;

// Writes its one line of text, or fails as told.
class CTextDoc : public CDocument {
 public:
  std::string text = "content";
  std::string failWith;
  int deletes = 0;
  void Serialize(CArchive& ar) override {
    if (!failWith.empty()) {
      ar.Fail(failWith);
      return;
    }
    if (ar.IsStoring()) {
      std::ofstream(ar.GetFilePath()) << text;
    } else {
      std::ifstream in(ar.GetFilePath());
      std::getline(in, text);
    }
  }
  void DeleteContents() override {
    ++deletes;
    text.clear();
  }
};

class CLogView : public CView {
 public:
  std::vector<LPARAM> hints;
  std::vector<std::string> commands;
  void OnUpdate(CView*, LPARAM hint, CObject*) override { hints.push_back(hint); }
};

class DocumentTest : public ::testing::Test {
 protected:
  void SetUp() override { fw::SetFileDialogService(&dialogs); }
  void TearDown() override {
    fw::SetFileDialogService(nullptr);
    fwtest::Drain();
  }
  fw::ScopedMessageSink messages;
  fw::CScriptedFileDialogService dialogs;
  fw::test::TempDir dir;
};

TEST_F(DocumentTest, UpdatesReachEveryViewButTheSender) {
  CTextDoc doc;
  CLogView a, b;
  doc.AddView(&a);
  doc.AddView(&b);
  doc.AddView(&b);  // once only
  ASSERT_EQ(doc.GetViews().size(), 2u);
  EXPECT_EQ(a.GetDocument(), &doc);
  doc.UpdateAllViews(&a, 7);
  EXPECT_TRUE(a.hints.empty());
  EXPECT_EQ(b.hints, std::vector<LPARAM>{7});
  {
    CLogView gone;
    doc.AddView(&gone);
  }
  EXPECT_EQ(doc.GetViews().size(), 2u);  // a view that goes leaves the list
  doc.RemoveView(&a);
  EXPECT_EQ(a.GetDocument(), nullptr);
  doc.UpdateAllViews(nullptr, 8);
  EXPECT_TRUE(a.hints.empty());
  EXPECT_EQ(b.hints, (std::vector<LPARAM>{7, 8}));
  b.OnInitialUpdate();
  EXPECT_EQ(b.hints.back(), 0);
}

TEST_F(DocumentTest, AViewOffersCommandsToItselfThenToItsDocument) {
  CTextDoc doc;
  CLogView view;
  doc.AddView(&view);
  std::vector<std::string> ran;
  view.SetCommandHandler(100, [&] { ran.push_back("view"); });
  doc.SetCommandHandler(100, [&] { ran.push_back("doc"); });
  doc.SetCommandHandler(101, [&] { ran.push_back("doc 101"); });
  EXPECT_TRUE(view.OnCmdMsg(100, CN_COMMAND, nullptr));
  EXPECT_TRUE(view.OnCmdMsg(101, CN_COMMAND, nullptr));
  EXPECT_FALSE(view.OnCmdMsg(102, CN_COMMAND, nullptr));
  EXPECT_EQ(ran, (std::vector<std::string>{"view", "doc 101"}));
  CCmdUI ui;
  ui.m_nID = ID_FILE_SAVE;
  EXPECT_TRUE(ui.DoUpdate(&view, true));
  EXPECT_TRUE(ui.enabled());
  // Save reaches the document through the view.
  doc.SetPathName(dir.file("a.txt"));
  EXPECT_TRUE(view.OnCmdMsg(ID_FILE_SAVE, CN_COMMAND, nullptr));
  EXPECT_TRUE(fs::exists(dir.file("a.txt")));
  doc.RemoveView(&view);
  EXPECT_FALSE(view.OnCmdMsg(101, CN_COMMAND, nullptr));
}

TEST_F(DocumentTest, DocStringsTitleAndThePromptProposal) {
  CTextDoc doc;
  doc.SetDocStrings("Brisklane\nUntitled\nDoc\nText Files (*.txt)\n.txt\n");
  std::string s;
  EXPECT_TRUE(doc.GetDocString(s, CDocument::filterExt));
  EXPECT_EQ(s, ".txt");
  EXPECT_FALSE(doc.GetDocString(s, CDocument::regFileTypeName));
  EXPECT_TRUE(doc.OnNewDocument());
  EXPECT_EQ(doc.GetTitle(), "Untitled");
  doc.SetTitle("My plant #2");
  dialogs.QueueAnswer(dir.file("x.txt"));
  ASSERT_TRUE(doc.DoSave(std::string()));
  ASSERT_EQ(dialogs.requests().size(), 1u);
  const fw::FileDialogRequest& r = dialogs.requests()[0];
  EXPECT_EQ(r.fileName, "My.txt");  // cut at the blank
  EXPECT_EQ(r.filter, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||");
  EXPECT_EQ(r.defaultExt, "txt");
  EXPECT_EQ(doc.GetPathName(), dir.file("x.txt"));
  EXPECT_EQ(doc.GetTitle(), "x.txt");
}

TEST_F(DocumentTest, AFailedSaveKeepsTheDocumentModifiedAndRemovesOnlyWhatItMade) {
  CTextDoc doc;
  doc.SetModifiedFlag();
  doc.failWith = "disk on fire";
  // A new file chosen in the prompt: nothing is left of it.
  dialogs.QueueAnswer(dir.file("new.txt"));
  EXPECT_FALSE(doc.DoSave(std::string()));
  EXPECT_FALSE(fs::exists(dir.file("new.txt")));
  EXPECT_TRUE(doc.IsModified());
  ASSERT_EQ(messages->count(), 1u);
  EXPECT_NE(messages->messages()[0].text.find("disk on fire"), std::string::npos);
  EXPECT_NE(messages->messages()[0].text.find(dir.file("new.txt")), std::string::npos);
  // A file that was there before stays, whatever the failed save did to it.
  std::ofstream(dir.file("old.txt")) << "old";
  dialogs.QueueAnswer(dir.file("old.txt"));
  EXPECT_FALSE(doc.DoSave(std::string()));
  EXPECT_TRUE(fs::exists(dir.file("old.txt")));
  EXPECT_EQ(doc.GetPathName(), "");
  // Nor is a link that names no file yet.
  fs::create_symlink("shared/new.txt", dir.file("link.txt"));
  dialogs.QueueAnswer(dir.file("link.txt"));
  EXPECT_FALSE(doc.DoSave(std::string()));
  EXPECT_TRUE(fs::is_symlink(dir.file("link.txt")));
}

// The window the save question belongs to goes while the question is up
// and takes the box with it: no answer is taken as the cautious one.
TEST_F(DocumentTest, AQuestionWhoseWindowWentKeepsTheChanges) {
  fw::CQtMessageSink boxes;
  fw::SetMessageSink(&boxes);
  CWnd main;
  ASSERT_TRUE(
      main.CreateEx(0, "", "Main", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 300, 200), nullptr, 0));
  fwtest::Activate(main.widget());
  bool asked = false;
  QTimer::singleShot(0, [&] {
    fwtest::WaitFor([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); });
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    asked = box && box->parentWidget() == main.widget();
    (void)main.DestroyWindow();
  });
  CTextDoc doc;
  doc.SetModifiedFlag();
  const bool closes = doc.SaveModified();
  fw::SetMessageSink(&*messages);
  EXPECT_TRUE(asked);
  EXPECT_FALSE(closes) << "the changes were given up";
  EXPECT_TRUE(doc.IsModified());
}

TEST_F(DocumentTest, OpenReadsOrLeavesTheDocumentAlone) {
  CTextDoc doc;
  std::ofstream(dir.file("in.txt")) << "from file";
  doc.text = "mine";
  ASSERT_EQ(::mkfifo(dir.file("fifo.txt").c_str(), 0600), 0);
  EXPECT_FALSE(doc.OnOpenDocument(dir.file("missing.txt")));
  EXPECT_FALSE(doc.OnOpenDocument(dir.file("fifo.txt")));  // nobody writes to it: at once
  EXPECT_EQ(doc.text, "mine");
  EXPECT_EQ(doc.deletes, 0);
  ASSERT_TRUE(doc.OnOpenDocument(dir.file("in.txt")));
  EXPECT_EQ(doc.text, "from file");
  EXPECT_FALSE(doc.IsModified());
  // A document that cannot read the file says why and ends empty.
  messages->clear();
  doc.failWith = "not a project";
  EXPECT_FALSE(doc.OnOpenDocument(dir.file("in.txt")));
  ASSERT_EQ(messages->count(), 1u);
  EXPECT_NE(messages->messages()[0].text.find("not a project"), std::string::npos);
  EXPECT_EQ(doc.text, "");
  EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocumentTest, CloseLetsTheViewsGo) {
  CTextDoc doc;
  CLogView v;
  doc.AddView(&v);
  doc.SetModifiedFlag();
  doc.OnCloseDocument();
  EXPECT_EQ(v.GetDocument(), nullptr);
  EXPECT_TRUE(doc.GetViews().empty());
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(doc.deletes, 1);
}

TEST_F(DocumentTest, ReadOnlyFilesAreReadOnlyForEveryone) {
  const std::string path = dir.file("ro.txt");
  std::ofstream(path) << "x";
  EXPECT_FALSE(fw::IsReadOnlyFile(path));
  fs::permissions(path, fs::perms::owner_read);
  EXPECT_TRUE(fw::IsReadOnlyFile(path));
  EXPECT_FALSE(fw::IsReadOnlyFile(dir.file("none.txt")));
  EXPECT_EQ(fw::FolderOfPath("/a/b.txt"), "/a");
  EXPECT_EQ(fw::FolderOfPath("/b.txt"), "/");
  EXPECT_EQ(fw::FolderOfPath("b.txt"), "");
}

// ---------------------------------------------------------------- IP address control

class IpAddressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent.Create("", "", WS_VISIBLE, CRect(0, 0, 300, 100), nullptr, 0));
    ASSERT_TRUE(ip.Create("SysIPAddress32", "", WS_CHILD | WS_VISIBLE, CRect(5, 5, 205, 29),
                          &parent, 1044));
    parent.SetMessageHandler(WM_COMMAND, [this](WPARAM w, LPARAM) {
      if (HIWORD(w) == EN_CHANGE) ++changes;
      return LRESULT(0);
    });
  }
  void TearDown() override { fwtest::Drain(); }
  QLineEdit* Field(int i) { return ip.widget()->findChildren<QLineEdit*>().at(i); }

  CWnd parent;
  CIPAddressCtrl ip;
  int changes = 0;
};

TEST_F(IpAddressTest, AddressesInHostOrderAndBlankFields) {
  EXPECT_TRUE(ip.IsBlank());
  std::uint32_t a = 1;
  EXPECT_EQ(ip.GetAddress(a), 0);
  EXPECT_EQ(a, 0u);
  ip.SetAddress(0xC0A80A01);
  EXPECT_EQ(ip.GetAddress(a), 4);
  EXPECT_EQ(a, 0xC0A80A01u);
  EXPECT_EQ(Field(0)->text(), "192");
  EXPECT_EQ(changes, 0);  // the program's changes are quiet
  Field(3)->clear();
  EXPECT_EQ(ip.GetAddress(a), 3);
  EXPECT_EQ(a, 0xC0A80A00u);
  EXPECT_EQ(ip.SendMessage(IPM_ISBLANK), 0);
  ip.SendMessage(IPM_CLEARADDRESS);
  EXPECT_TRUE(ip.IsBlank());
  ip.SendMessage(IPM_SETADDRESS, 0, 0x0A000001);
  EXPECT_EQ(ip.SendMessage(IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&a)), 4);
  EXPECT_EQ(a, 0x0A000001u);
}

TEST_F(IpAddressTest, TypingMovesOnAndRefusesWhatIsNoByte) {
  fwtest::Activate(parent.widget());
  Field(0)->setFocus();
  QTest::keyClicks(Field(0), "10");
  QTest::keyClick(Field(0), Qt::Key_Period);
  EXPECT_TRUE(Field(1)->hasFocus());
  QTest::keyClicks(Field(1), "256");  // the 6 does not fit a byte
  EXPECT_EQ(Field(1)->text(), "25");
  QTest::keyClicks(Field(1), "5");
  EXPECT_TRUE(Field(2)->hasFocus());  // three digits move on
  QTest::keyClicks(Field(2), "0.");
  EXPECT_TRUE(Field(3)->hasFocus());
  QTest::keyClicks(Field(3), "7");
  std::uint32_t a = 0;
  EXPECT_EQ(ip.GetAddress(a), 4);
  EXPECT_EQ(a, 0x0AFF0007u);
  EXPECT_GT(changes, 0);
}

}  // namespace
