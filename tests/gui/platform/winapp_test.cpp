// The application object with a single-document template, a frame with a
// static splitter of two views, the document manager and the recent-file
// list: what New, Open, the recent files and closing do, and where commands go.
#include "platform/gui/winapp.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMainWindow>
#include <fstream>

#include "gui_helpers.h"
#include "platform/gui/services.h"
#include "platform/gui/splitterwnd.h"
#include "platform/message.h"
#include "platform/profile.h"
#include "tests/common/test_util.h"

namespace {

const char* const kScript = R"(
STRINGTABLE
BEGIN
    400, "Frame Title\nUntitled\nText\nText Files (*.txt)\n.txt\n"
END
400 MENU
BEGIN
    POPUP "&File"
    BEGIN
        MENUITEM "&New",   57600
        MENUITEM "&Open...",   57601
        MENUITEM SEPARATOR
        MENUITEM "Recent File", 57616, GRAYED
        MENUITEM SEPARATOR
        MENUITEM "E&xit",   57665
    END
END
)";

class CLineDoc : public CDocument {
 public:
  std::string text;
  int reads = 0;
  void Serialize(CArchive& ar) override {
    if (ar.IsStoring()) {
      std::ofstream(ar.GetFilePath()) << text;
      return;
    }
    std::ifstream in(ar.GetFilePath());
    std::getline(in, text);
    if (text == "bad") ar.Fail("unreadable");
    ++reads;
  }
  void DeleteContents() override { text.clear(); }
};

class CPaneView : public CView {
 public:
  int initialUpdates = 0;
  QLineEdit* edit = nullptr;
  void OnInitialUpdate() override { ++initialUpdates; }

 protected:
  int OnCreate(CREATESTRUCT* cs) override {
    if (CView::OnCreate(cs) == -1) return -1;
    edit = new QLineEdit(widget());  // takes the focus as a grid in a pane does
    return 0;
  }
};

class CSplitFrame : public CFrameWnd {
 public:
  CSplitterWnd splitter;

 protected:
  bool OnCreateClient(CREATESTRUCT*, CCreateContext* context) override {
    auto make = [] { return std::make_unique<CPaneView>(); };
    return splitter.CreateStatic(this, 1, 2) &&
           splitter.CreateView(0, 0, make, CSize(200, 100), context) &&
           splitter.CreateView(0, 1, make, CSize(300, 100), context);
  }
};

class CTestApp : public CWinApp {
 public:
  CTestApp() : CWinApp("winapp_test") {}
  bool InitInstance() override {
    LoadStdProfileSettings(3);
    AddDocTemplate(std::make_unique<CSingleDocTemplate>(
        400, [] { return std::make_unique<CLineDoc>(); },
        [] { return std::make_unique<CSplitFrame>(); },
        [] { return std::make_unique<CPaneView>(); }));
    return initResult;
  }
  int ExitInstance() override {
    ++exits;
    return CWinApp::ExitInstance();
  }
  bool initResult = true;
  int exits = 0;
};

class WinAppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_bundle.ok()) << m_bundle.error();
    ASSERT_TRUE(m_profile.OpenFile(m_dir.file("settings.ini")));
    fw::SetAppProfile(&m_profile);
    fw::SetFileDialogService(&m_dialogs);
    ASSERT_TRUE(m_app.InitInstance());
  }
  void TearDown() override {
    fw::SetFileDialogService(nullptr);
    fw::SetAppProfile(nullptr);
    fwtest::Drain();
  }
  CSplitFrame* Frame() { return dynamic_cast<CSplitFrame*>(m_app.m_pMainWnd); }
  CLineDoc* Doc() {
    auto docs = m_app.GetDocManager()->Documents();
    return docs.empty() ? nullptr : dynamic_cast<CLineDoc*>(docs.front());
  }
  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = m_dir.file(name);
    std::ofstream(path) << text;
    return path;
  }
  // The texts of the File pop-up as they are when it opens.
  std::vector<std::string> FileMenu() {
    CMenu* file = Frame()->GetMenu()->GetSubMenu(0);
    Frame()->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file->m_hMenu), 0);
    std::vector<std::string> texts;
    for (int i = 0; i < file->GetMenuItemCount(); ++i) {
      std::string t;
      file->GetMenuString(static_cast<UINT>(i), t, MF_BYPOSITION);
      texts.push_back(t);
    }
    return texts;
  }

  fw::test::TempDir m_dir;
  fwtest::ScopedBundle m_bundle{kScript};
  fw::CProfile m_profile;
  fw::CScriptedFileDialogService m_dialogs;
  fw::ScopedMessageSink m_messages;
  CTestApp m_app;
};

TEST_F(WinAppTest, NewMakesTheFrameWithBothPanesAndRoutesThroughTheActivePane) {
  m_app.OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr);
  CSplitFrame* frame = Frame();
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(frame->IsWindowVisible());
  EXPECT_EQ(frame->GetWindowText(), "Untitled - Frame Title");
  auto* left = dynamic_cast<CPaneView*>(frame->splitter.GetPane(0, 0));
  auto* right = dynamic_cast<CPaneView*>(frame->splitter.GetPane(0, 1));
  ASSERT_TRUE(left && right);
  EXPECT_EQ(left->initialUpdates, 1);
  EXPECT_EQ(right->initialUpdates, 1);
  EXPECT_EQ(left->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
  EXPECT_EQ(right->GetDlgCtrlID(), AFX_IDW_PANE_FIRST + 1);
  EXPECT_EQ(qobject_cast<QMainWindow*>(frame->widget())->centralWidget(), frame->splitter.widget());
  // The left pane is active first; the focus moving into the right one moves the route.
  int row = -1, col = -1;
  ASSERT_TRUE(frame->splitter.GetActivePane(&row, &col));
  EXPECT_EQ(col, 0);
  std::vector<std::string> ran;
  left->SetCommandHandler(500, [&] { ran.push_back("left"); });
  right->SetCommandHandler(500, [&] { ran.push_back("right"); });
  Doc()->SetCommandHandler(501, [&] { ran.push_back("doc"); });
  frame->SetCommandHandler(501, [&] { ran.push_back("frame"); });
  frame->SendMessage(WM_COMMAND, 500);
  fwtest::Activate(frame->widget());
  right->edit->setFocus();
  fwtest::WaitFor([&] { return frame->GetActiveView() == right; });
  frame->SendMessage(WM_COMMAND, 500);
  frame->SendMessage(WM_COMMAND, 501);
  EXPECT_EQ(ran, (std::vector<std::string>{"left", "right", "doc"}));
  // New again reuses the document and the frame.
  CLineDoc* doc = Doc();
  m_app.OnFileNew();
  EXPECT_EQ(Doc(), doc);
  EXPECT_EQ(Frame(), frame);
}

TEST_F(WinAppTest, OpenReadsOnceListsTheFileAndAnUnreadableFileLeavesAnUntitledDocument) {
  const std::string a = Write("a.txt", "alpha");
  const std::string b = Write("b.txt", "bravo");
  m_dialogs.QueueAnswer(a);
  m_app.OnFileOpen();
  ASSERT_NE(Doc(), nullptr);
  EXPECT_EQ(m_dialogs.requests().at(0).filter.rfind("Text Files (*.txt)|*.txt|", 0), 0u);
  EXPECT_TRUE(m_dialogs.requests().at(0).open);
  EXPECT_EQ(Doc()->text, "alpha");
  EXPECT_EQ(Frame()->GetWindowText(), "a.txt - Frame Title");
  // The file that is open is only brought forward.
  EXPECT_EQ(m_app.OpenDocumentFile(a), Doc());
  EXPECT_EQ(Doc()->reads, 1);
  ASSERT_NE(m_app.OpenDocumentFile(b), nullptr);
  EXPECT_EQ(FileMenu(), (std::vector<std::string>{"&New", "&Open...", "", "&1 b.txt", "&2 a.txt",
                                                  "", "E&xit"}));
  EXPECT_EQ(m_profile.GetProfileString("Recent File List", "File1"), b);
  // A file that cannot be read costs the open project but never leaves the
  // empty document named after it.
  const std::string bad = Write("c.txt", "bad");
  EXPECT_EQ(m_app.OpenDocumentFile(bad), nullptr);
  EXPECT_EQ(Doc()->GetPathName(), "");
  EXPECT_EQ(Doc()->GetTitle(), "Untitled");
}

TEST_F(WinAppTest, RecentFilesOpenFromTheMenuAndAMissingOneLeavesTheList) {
  EXPECT_EQ(m_app.GetRecentFileList()->GetSize(), 3);
  m_app.OnFileNew();
  EXPECT_EQ(FileMenu()[3], "Recent File");
  EXPECT_NE(Frame()->GetMenu()->GetSubMenu(0)->GetMenuState(3, MF_BYPOSITION) & MF_GRAYED, 0u);
  const std::string a = Write("a.txt", "alpha");
  const std::string gone = Write("gone.txt", "x");
  for (const std::string& p : {a, gone, m_dir.file("b.txt")}) m_app.AddToRecentFileList(p);
  std::filesystem::remove(gone);
  EXPECT_EQ(FileMenu()[3], "&1 b.txt");
  // The list holds three: the fourth name pushed the oldest out.
  m_app.AddToRecentFileList(Write("d.txt", "delta"));
  EXPECT_EQ(m_app.GetRecentFileList()->GetDisplayName(2), "gone.txt");
  Frame()->SendMessage(WM_COMMAND, ID_FILE_MRU_FILE1 + 2);
  EXPECT_EQ(m_messages->count(), 1u);  // the open failure, told once
  EXPECT_EQ(FileMenu()[5], "");        // two files left
  Frame()->SendMessage(WM_COMMAND, ID_FILE_MRU_FILE1 + 1);
  EXPECT_EQ(Doc()->text, "");  // b.txt never existed
  m_messages->clear();
  EXPECT_EQ((*m_app.GetRecentFileList())[0], m_dir.file("d.txt"));
  Frame()->SendMessage(WM_COMMAND, ID_FILE_MRU_FILE1);
  EXPECT_EQ(Doc()->text, "delta");
  // A new run reads the list back.
  CRecentFileList again("Recent File List", "File%d", 3);
  again.ReadList(m_profile);
  EXPECT_EQ(again[0], m_dir.file("d.txt"));
}

TEST_F(WinAppTest, ClosingAskFirstAndTheMainWindowEndsTheLoop) {
  m_app.OnFileNew();
  CSplitFrame* frame = Frame();
  Doc()->text = "typed";
  Doc()->SetModifiedFlag();
  m_messages->QueueAnswer(IDCANCEL);
  frame->SendMessage(WM_CLOSE);
  EXPECT_TRUE(frame->IsWindow());
  EXPECT_EQ(m_messages->count(), 1u);
  m_messages->QueueAnswer(IDNO);
  frame->widget()->close();
  fwtest::Drain();
  EXPECT_FALSE(frame->IsWindow());
  EXPECT_EQ(m_app.m_pMainWnd, nullptr);
}

TEST_F(WinAppTest, ARefusedStartStillEnds) {
  CTestApp refused;  // the newest application object is the process's
  refused.initResult = false;
  EXPECT_EQ(refused.Run(), 0);
  EXPECT_EQ(refused.exits, 1);
  EXPECT_EQ(AfxGetApp(), &refused);
}

TEST_F(WinAppTest, PlacementGivesTheRestoredRectangleOfAMaximisedFrame) {
  m_app.OnFileNew();
  CSplitFrame* frame = Frame();
  frame->widget()->setGeometry(40, 50, 500, 300);
  WINDOWPLACEMENT wp;
  ASSERT_TRUE(frame->GetWindowPlacement(&wp));
  EXPECT_EQ(wp.showCmd, SW_SHOWNORMAL);
  EXPECT_EQ(wp.rcNormalPosition, CRect(40, 50, 540, 350));
  frame->widget()->showMaximized();
  fwtest::Drain();
  ASSERT_TRUE(frame->GetWindowPlacement(&wp));
  EXPECT_EQ(wp.showCmd, SW_SHOWMAXIMIZED);
  EXPECT_EQ(wp.rcNormalPosition, CRect(40, 50, 540, 350));
}

}  // namespace
