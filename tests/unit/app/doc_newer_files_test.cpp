// The document and the files around it: which project the next start opens,
// files that are no project, and configurations a newer version wrote.
#include "doc_fixture.h"
#include "platform/inifile.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "switch/switchdiscovery.h"

namespace fwtest {
namespace {

using DocFiles = DocTest;

TEST_F(DocFiles, AProjectSavedUnderANameIsTheLastPathAtOnce) {
  doc->AddNewConfig("Plant");
  const std::string path = dir.file("saved.zcf");
  ASSERT_TRUE(doc->DoSave(path));
  EXPECT_EQ(profile.GetProfileString("Settings", "last path"), path);
  // A copy saved elsewhere is not the open project.
  ASSERT_TRUE(doc->DoSave(dir.file("copy.zcf"), false));
  EXPECT_EQ(profile.GetProfileString("Settings", "last path"), path);
}

TEST_F(DocFiles, AFileThatIsNoProjectLeavesTheOpenProjectAndTheFileAlone) {
  doc->AddNewConfig("Plant");
  const std::string path = dir.file("open.zcf");
  ASSERT_TRUE(doc->DoSave(path));
  doc->AddNewConfig("Unsaved");
  Clean();
  doc->SetModifiedFlag();
  const std::string notes = dir.file("notes.txt");
  WriteFile(notes, "some notes\nand more\n");
  EXPECT_FALSE(doc->OnOpenDocument(notes));
  ASSERT_EQ(messages->count(), 1u);
  EXPECT_NE(messages->messages()[0].text.find(notes), std::string::npos);
  EXPECT_GE(doc->GetStore().FindIndexByName("Unsaved"), 0);
  EXPECT_TRUE(doc->IsModified());
  EXPECT_TRUE(log.hints.empty());
  EXPECT_EQ(profile.GetProfileString("Settings", "last path"), path);
}

class NewerConfig : public DocTest {
 protected:
  void SetUp() override {
    DocTest::SetUp();
    path = dir.file("newer.zcf");
    WriteFile(path,
              "[Switch Cfgs]\n0=Future\n[Switch Cfg: Future]\nVers=2\nNumPorts=9\nWidget=blue\n"
              "[Switch Entries]\n0=S1\n[Switch Entry: S1]\nVers=1\nMAC=12:AB:EF\n"
              "Cfg Name=Future\nPart Type=QV-5KP-1\n");
    ASSERT_TRUE(doc->OnOpenDocument(path));
    doc->SetPathName(path);
    Clean();
  }
  std::string path;
};

TEST_F(NewerConfig, AnAcceptedEditIsWhatIsSaved) {
  CSwitchConfig edited;
  edited.CopyFrom(Config(0));
  edited.SetNumRings(1);
  ASSERT_EQ(doc->ReplaceConfig(0, edited), kProjectOk);
  EXPECT_FALSE(Config(0).IsNewerVersion());
  ASSERT_TRUE(doc->DoFileSave());
  fw::CIniFile saved;
  saved.Parse(ReadFile(path));
  EXPECT_EQ(saved.GetString("Switch Cfg: Future", "Vers"), "1");
  EXPECT_EQ(saved.GetString("Switch Cfg: Future", "NumRings"), "1");
  EXPECT_FALSE(saved.Get("Switch Cfg: Future", "Widget"));
}

TEST_F(NewerConfig, LoadingItIntoASwitchIsRefusedWithTheReason) {
  bool built = false;
  doc->SetCommFactory([&built] {
    built = true;
    return std::unique_ptr<CSwitchDiscovery>();
  });
  EXPECT_EQ(doc->LoadSelectedConfig(0), -1);
  EXPECT_FALSE(built);
  EXPECT_EQ(Texts(), std::vector<std::string>{FormatRes(IDS_CFG_NEWER_LOAD, "Future")});
}

}  // namespace
}  // namespace fwtest
