// What is refused as no project before it is parsed, what still opens as an
// empty one, and that whatever the writer leaves opens again.
#include <gtest/gtest.h>

#include <filesystem>

#include "model_testutil.h"
#include "platform/inifile.h"
#include "switch/projectfile.h"

namespace {

using fwtest::WriteText;

class ProjectCheck : public fwtest::ModelTest {
 protected:
  // Loads the bytes over a store holding "Before"; the result and the error.
  int Load(const std::string& bytes, std::string* error) {
    const std::string path = m_dir.file("p.zcf");
    WriteText(path, bytes);
    CSwitchConfig before;
    before.SetName("Before");
    (void)m_store.Add(before);
    return fw::LoadProjectFile(path, m_store, m_switches, nullptr, error);
  }
  CSwitchConfigStore m_store{0};
  CSwitchList m_switches;
};

TEST_F(ProjectCheck, TextWithoutProjectSectionsAndBinariesAreRefusedUnread) {
  const std::string path = m_dir.file("p.zcf");
  for (const std::string& bytes :
       {std::string("just some notes\r\nover two lines\r\n"), std::string("key=1\n; [x]\n"),
        std::string("[Switch Cfgs]\n0=A\0B\n", 20),
        std::string("\x7F"
                    "ELF\x02\x01\x01\0\0\0",
                    10)}) {
    std::string error;
    EXPECT_EQ(Load(bytes, &error), fw::kProjectFailed) << bytes;
    EXPECT_NE(error.find(path), std::string::npos) << error;
    // Nothing of the project that was there is lost.
    EXPECT_GE(m_store.FindIndexByName("Before"), 0) << bytes;
  }
}

TEST_F(ProjectCheck, AFileLargerThanAnyProjectIsRefusedWithoutReadingIt) {
  const std::string path = m_dir.file("huge.zcf");
  WriteText(path, "[Switch Cfgs]\n");
  std::filesystem::resize_file(path, 64u << 20);  // sparse: nothing is written
  std::string error;
  EXPECT_EQ(fw::CheckProjectFile(path, &error), fw::kProjectFailed);
  EXPECT_NE(error.find(path), std::string::npos);
}

TEST_F(ProjectCheck, EmptyFilesAndAnyProjectSectionStillOpen) {
  for (const std::string& bytes :
       {std::string(), std::string(" \r\n\t\r\n"), std::string("\xEF\xBB\xBF\r\n"),
        std::string("[Switch Entries]\r\n"), std::string("; notes\n  [ switch cfg: A ]\nVers=1\n"),
        std::string("[Other]\nk=v\n[SWITCH ENTRY: S]\nVers=1\n"),
        // What is left of a project that shared its file with others.
        std::string("[Other]\nkey=1\n"), std::string("[Switch]\n[Switch Cfgsx]\n")}) {
    std::string error;
    EXPECT_GE(Load(bytes, &error), fw::kProjectOk) << bytes;
    EXPECT_EQ(error, "") << bytes;
  }
  EXPECT_EQ(fw::CheckProjectFile(m_dir.file("absent.zcf")), fw::kProjectOk);
}

TEST_F(ProjectCheck, AProjectWithEveryConfigurationAndSwitchDeletedOpensAgain) {
  const std::string project =
      "[Switch Cfgs]\n0=A\n[Switch Cfg: A]\nNumPorts=5\n"
      "[Switch Entries]\n0=S\n[Switch Entry: S]\nCfg Name=A\n";
  const std::string path = m_dir.file("p.zcf");
  for (const std::string& before : {std::string(), project, "[Printer Setup]\nPaper=A4\n" + project,
                                    "; notes above the first section\n" + project}) {
    WriteText(path, before);
    ASSERT_GE(fw::LoadProjectFile(path, m_store, m_switches), fw::kProjectOk) << before;
    for (int i = m_store.First(); i >= 0; i = m_store.Next(i)) m_store.GetAt(i)->SetDeleted(true);
    for (int i = m_switches.First(); i >= 0; i = m_switches.Next(i)) m_switches.MarkDeleted(i);
    std::string error;
    ASSERT_EQ(fw::SaveProjectFile(path, m_store, m_switches, nullptr, &error), fw::kProjectOk);
    EXPECT_EQ(fw::LoadProjectFile(path, m_store, m_switches, nullptr, &error), fw::kProjectOk)
        << before << error;
    EXPECT_EQ(m_store.First(), -1);
    EXPECT_EQ(m_switches.First(), -1);
    fw::CIniFile saved;
    ASSERT_TRUE(saved.Load(path));
    if (before.find("Printer") != std::string::npos) {
      EXPECT_EQ(saved.GetString("Printer Setup", "Paper"), "A4");
    }
  }
}

}  // namespace
