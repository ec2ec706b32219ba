// Opening and saving the project: the document never loses the user's work.
// A failed save keeps the project modified and the old file as it was; a
// failed open keeps the project that was open.
#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>

#include "doc_fixture.h"
#include "platform/gui/services.h"

namespace fwtest {
namespace {

namespace fs = std::filesystem;

class Files : public DocTest {
 protected:
  void SetUp() override {
    DocTest::SetUp();
    fw::SetFileDialogService(&dialogs);
  }
  void TearDown() override {
    fw::SetFileDialogService(nullptr);
    DocTest::TearDown();
  }
  // A project with two configurations and a switch, saved once, then changed.
  std::string SavedThenChanged() {
    doc->AddNewConfig("Plant");
    doc->AddNewConfig("Yard");
    AddSwitch("North", "01:02:03");
    const std::string path = dir.file("p.zcf");
    EXPECT_TRUE(doc->DoSave(path));
    EXPECT_FALSE(doc->IsModified());
    doc->AddNewConfig("Unsaved work");
    messages->clear();
    return path;
  }
  void MakeReadOnly(const std::string& path) {
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  }

  fw::CScriptedFileDialogService dialogs;
};

TEST_F(Files, OpenLoadsTheProjectTellsTheViewsAndRemembersThePath) {
  const std::string path = SavedThenChanged();
  ASSERT_TRUE(doc->DoSave(path));
  doc->SetPathName(path);
  CFenwardleDoc other;
  CHintLog otherLog;
  other.AddView(&otherLog);
  profile.WriteProfileString("Settings", "last path", "");
  ASSERT_TRUE(other.OnOpenDocument(path));
  EXPECT_FALSE(other.IsModified());
  EXPECT_EQ(other.GetStore().FindIndexByName("Unsaved work"), 2);
  EXPECT_EQ(other.GetSwitches().GetAt(0)->GetMacSuffix(), "01:02:03");
  ASSERT_FALSE(otherLog.hints.empty());
  EXPECT_EQ(otherLog.hints.back(), (Hint{kHintEverything, -1}));
  EXPECT_EQ(profile.GetProfileString("settings", "last path"), path);
  other.RemoveView(&otherLog);
}

TEST_F(Files, AFileThatCannotBeOpenedLeavesTheOpenProjectAlone) {
  const std::string path = SavedThenChanged();
  EXPECT_FALSE(doc->OnOpenDocument(dir.file("missing.zcf")));
  ASSERT_EQ(messages->count(), 1u);
  EXPECT_NE(messages->messages()[0].text.find(dir.file("missing.zcf")), std::string::npos);
  EXPECT_GE(doc->GetStore().FindIndexByName("Unsaved work"), 0);
  EXPECT_TRUE(doc->IsModified());
  EXPECT_FALSE(doc->OnOpenDocument(dir.path()));  // a folder
  EXPECT_GE(doc->GetStore().FindIndexByName("Unsaved work"), 0);
  (void)path;
}

TEST_F(Files, MultipleMonitorPortsAreReportedOnceOnLoad) {
  const std::string path = dir.file("mirror.zcf");
  WriteFile(path,
            "[Switch Cfgs]\n0=A\n1=B\n"
            "[Switch Cfg: A]\nVers=1\nType=Any 5 port Ring switch\nNumPorts=5\n"
            "Mirror0=0,1,1\nMirror1=2,3,1\n"
            "[Switch Cfg: B]\nVers=1\nType=Any 5 port Ring switch\nNumPorts=5\n"
            "Mirror0=0,1,1\nMirror1=2,4,1\n");
  ASSERT_TRUE(doc->OnOpenDocument(path));
  EXPECT_EQ(Texts(), std::vector<std::string>{
                         "Warning:\n\nMultiple monitor ports are no longer allowed - please check "
                         "your mirroring configurations."});
}

TEST_F(Files, SavingToAReadOnlyFileSaysSoAndChangesNothing) {
  const std::string path = SavedThenChanged();
  const std::string before = ReadFile(path);
  MakeReadOnly(path);
  EXPECT_FALSE(doc->DoSave(path));
  EXPECT_EQ(Texts(), std::vector<std::string>{"This file is set to read-only. Please remove this "
                                              "attribute before saving the file."});
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_TRUE(doc->IsModified());
  // Save As onto it through the prompt: refused, and the file is not removed.
  messages->clear();
  dialogs.QueueAnswer(path);
  EXPECT_FALSE(doc->DoSave(std::string()));
  ASSERT_TRUE(fs::exists(path));
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_TRUE(doc->IsModified());
  // Save of a read-only project asks for another name.
  doc->SetPathName(path);
  dialogs.QueueAnswer(dir.file("other.zcf"));
  EXPECT_TRUE(doc->DoFileSave());
  EXPECT_EQ(doc->GetPathName(), dir.file("other.zcf"));
  EXPECT_FALSE(doc->IsModified());
}

TEST_F(Files, SavingIntoAFolderThatIsGoneReportsFileAndReason) {
  SavedThenChanged();
  const std::string path = dir.file("gone/p.zcf");
  fs::create_directory(dir.file("gone"));
  fs::remove(dir.file("gone"));
  EXPECT_FALSE(doc->DoSave(path));
  ASSERT_EQ(messages->count(), 1u);
  const std::string text = messages->messages()[0].text;
  EXPECT_NE(text.find("could not be saved to " + path), std::string::npos) << text;
  EXPECT_NE(text.find("No such file or directory"), std::string::npos) << text;
  EXPECT_TRUE(doc->IsModified());
  EXPECT_FALSE(fs::exists(dir.file("gone")));
}

TEST_F(Files, AFullDiskKeepsTheOldFile) {
  if (geteuid() != 0) GTEST_SKIP() << "a small file system needs root";
  const std::string mountPoint = dir.file("small");
  fs::create_directory(mountPoint);
  if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "tmpfs cannot be mounted here";
  struct Unmount {
    std::string path;
    ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
  } unmount{mountPoint};

  doc->AddNewConfig("Plant");
  const std::string path = mountPoint + "/p.zcf";
  ASSERT_TRUE(doc->DoSave(path));
  const std::string before = ReadFile(path);
  // Fill the rest of the file system.
  {
    std::ofstream filler(mountPoint + "/filler", std::ios::binary);
    const std::string block(4096, 'f');
    for (int i = 0; i < 64 && filler; ++i) filler.write(block.data(), block.size());
  }
  for (int i = 0; i < 40; ++i) doc->AddNewConfig("Configuration " + std::to_string(i));
  messages->clear();
  EXPECT_FALSE(doc->DoSave(path));
  ASSERT_EQ(messages->count(), 1u);
  EXPECT_NE(messages->messages()[0].text.find(path), std::string::npos);
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_TRUE(doc->IsModified());
  // No temporary file is left behind.
  int files = 0;
  for (const auto& e : fs::directory_iterator(mountPoint)) files += e.is_regular_file() ? 1 : 0;
  EXPECT_EQ(files, 2);
}

TEST_F(Files, SaveAsAndSaveACopy) {
  doc->AddNewConfig("Plant");
  doc->SetDefaultTitle();
  EXPECT_EQ(doc->GetTitle(), "Untitled");
  // Save As proposes the title with the extension, in the projects folder by default.
  dialogs.QueueAnswer(dir.file("first.zcf"));
  ASSERT_TRUE(doc->DoSave(std::string()));
  ASSERT_EQ(dialogs.requests().size(), 1u);
  EXPECT_FALSE(dialogs.requests()[0].open);
  EXPECT_EQ(dialogs.requests()[0].fileName, "Untitled.zcf");
  EXPECT_EQ(dialogs.requests()[0].title, "Save As");
  EXPECT_EQ(dialogs.requests()[0].initialDir, fw::ProjectsFolder());
  EXPECT_EQ(doc->GetPathName(), dir.file("first.zcf"));
  EXPECT_EQ(doc->GetTitle(), "first.zcf");
  // A copy leaves the document where it is.
  doc->AddNewConfig("Yard");
  profile.WriteProfileString("Settings", "last path", dir.file("first.zcf"));
  dialogs.QueueAnswer(dir.file("copy.zcf"));
  ASSERT_TRUE(doc->DoSave(std::string(), false));
  EXPECT_EQ(dialogs.requests()[1].title, "Save Copy As");
  EXPECT_EQ(dialogs.requests()[1].initialDir, dir.path());
  EXPECT_EQ(doc->GetPathName(), dir.file("first.zcf"));
  EXPECT_NE(ReadFile(dir.file("copy.zcf")).find("Yard"), std::string::npos);
  // Cancel saves nothing.
  doc->SetModifiedFlag();
  dialogs.QueueAnswer("");
  EXPECT_FALSE(doc->DoSave(std::string()));
  EXPECT_TRUE(doc->IsModified());
}

TEST_F(Files, SaveModifiedAsksYesNoCancel) {
  EXPECT_TRUE(doc->SaveModified());  // nothing to ask
  EXPECT_EQ(messages->count(), 0u);
  const std::string path = SavedThenChanged();
  doc->SetPathName(path);
  messages->QueueAnswer(IDCANCEL);
  EXPECT_FALSE(doc->SaveModified());
  EXPECT_EQ(Texts(), std::vector<std::string>{"Save changes to p.zcf?"});
  messages->QueueAnswer(IDNO);
  EXPECT_TRUE(doc->SaveModified());
  EXPECT_TRUE(doc->IsModified());
  messages->QueueAnswer(IDYES);
  EXPECT_TRUE(doc->SaveModified());
  EXPECT_FALSE(doc->IsModified());
  EXPECT_NE(ReadFile(path).find("Unsaved work"), std::string::npos);
  // Yes with a save that fails keeps the document open.
  doc->SetModifiedFlag();
  MakeReadOnly(path);
  messages->QueueAnswer(IDYES);
  dialogs.QueueAnswer("");  // the prompt for another name, cancelled
  EXPECT_FALSE(doc->SaveModified());
}

TEST_F(Files, TheLastPathIsWrittenWhenTheDocumentGoes) {
  doc->SetPathName(dir.file("kept.zcf"));
  doc.reset();
  EXPECT_EQ(profile.GetProfileString("Settings", "last path"), dir.file("kept.zcf"));
}

}  // namespace
}  // namespace fwtest
