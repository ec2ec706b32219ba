// Copy configuration between the open project and files, and output to file,
// as real dialogs on the project document.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTimer>
#include <filesystem>
#include <functional>

#include "gui_helpers.h"
#include "platform/gui/controls.h"
#include "platform/gui/help.h"
#include "platform/gui/services.h"
#include "tests/unit/app/doc_fixture.h"
#include "tools/copycfgdlg.h"
#include "tools/outputfiledlg.h"

namespace fwtest {
namespace {

namespace fs = std::filesystem;

// Runs a dialog; `act` runs once it is up and ends it.
int RunDialog(CDialog& dlg, const std::function<void()>& act) {
  QTimer timer;
  timer.setSingleShot(true);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    act();
    if (!dlg.ended()) dlg.EndDialog(-5);
  });
  timer.start(0);
  return static_cast<int>(dlg.DoModal());
}

void Press(CDialog& dlg, int id) {
  dlg.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

std::vector<std::string> ConfigNames(const std::string& path) {
  CSwitchConfigStore store(0);
  CSwitchList switches;
  EXPECT_EQ(fw::LoadProjectFile(path, store, switches), fw::kProjectOk);
  std::vector<std::string> names;
  store.AppendNames(names);
  return names;
}

class ToolDialogs : public DocTest {
 protected:
  void SetUp() override {
    DocTest::SetUp();
    fw::SetFileDialogService(&dialogs);
    project = dir.file("project.zcf");
    doc->AddNewConfig("Plant");
    doc->AddNewConfig("plant2");
    doc->AddNewConfig("Yard");
    ASSERT_TRUE(doc->DoSave(project));
    doc->SetPathName(project);
    // A change that only the open document has.
    doc->AddNewConfig("Unsaved");
    other = dir.file("other.zcf");
    CSwitchConfigStore store(0);
    CSwitchList switches;
    CSwitchConfig hall;
    hall.SetName("Hall");
    ASSERT_GE(store.Add(hall), 0);
    ASSERT_EQ(fw::SaveProjectFile(other, store, switches), 0);
    otherBefore = ReadFile(other);
    projectBefore = ReadFile(project);
    Clean();
  }
  void TearDown() override {
    fw::SetFileDialogService(nullptr);
    Drain();
    DocTest::TearDown();
  }
  CComboBox& Configs(CDialog& dlg) { return *dynamic_cast<CComboBox*>(dlg.GetDlgItem(1033)); }
  std::vector<std::string> Listed(CDialog& dlg) {
    std::vector<std::string> out;
    for (int i = 0; i < Configs(dlg).GetCount(); ++i) out.push_back(Configs(dlg).GetLBText(i));
    return out;
  }
  void Select(CDialog& dlg, const std::string& title) {
    CComboBox& c = Configs(dlg);
    c.SetCurSel(c.FindStringExact(-1, title));
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(1033, CBN_SELCHANGE), 0);
  }

  fw::CScriptedFileDialogService dialogs;
  std::string project, other, otherBefore, projectBefore;
};

TEST_F(ToolDialogs, CopyWithinTheOpenProjectChangesTheDocumentNotTheFile) {
  doc->SetSelectedConfigIndex(2);  // Yard
  CCopyCfgDlg dlg(nullptr, doc.get());
  RunDialog(dlg, [&] {
    EXPECT_EQ(dlg.GetWindowText(), "Copy Configuration");
    EXPECT_EQ(dlg.GetDlgItemText(1040), "Copy Now");
    EXPECT_EQ(Listed(dlg), (std::vector<std::string>{"Plant", "plant2", "Unsaved", "Yard"}));
    EXPECT_EQ(Configs(dlg).GetLBText(Configs(dlg).GetCurSel()), "Yard");
    EXPECT_EQ(dlg.GetDlgItemText(1002), "Yard2");
    // Plant, with plant2 there already, becomes Plant3.
    Select(dlg, "Plant");
    EXPECT_EQ(dlg.GetDlgItemText(1002), "Plant3");
    Press(dlg, 1040);
    Press(dlg, IDCANCEL);
  });
  EXPECT_GE(doc->GetStore().FindIndexByName("Plant3"), 0);
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(ReadFile(project), projectBefore);
  ASSERT_EQ(messages->count(), 1u);
  EXPECT_EQ(messages->messages()[0].text, "Copy completed, no errors found.");
  EXPECT_EQ(messages->messages()[0].caption, "Copy Completed");
}

TEST_F(ToolDialogs, CopyFromTheProjectIntoAFileAndBack) {
  CCopyCfgDlg dlg(nullptr, doc.get());
  RunDialog(dlg, [&] {
    dialogs.QueueAnswer(other);
    Press(dlg, 1038);  // destination
    Select(dlg, "Unsaved");
    EXPECT_EQ(dlg.GetDlgItemText(1002), "Unsaved2");
    Press(dlg, 1040);
    // The other way: the file is the source now, the project the destination.
    dialogs.QueueAnswer(other);
    Press(dlg, 1035);
    EXPECT_EQ(Listed(dlg), (std::vector<std::string>{"Hall", "Unsaved2"}));
    dialogs.QueueAnswer(project);
    Press(dlg, 1038);
    Select(dlg, "Hall");
    Press(dlg, 1040);
    Press(dlg, IDCANCEL);
  });
  EXPECT_EQ(ConfigNames(other), (std::vector<std::string>{"Hall", "Unsaved2"}));
  EXPECT_GE(doc->GetStore().FindIndexByName("Hall2"), 0);
  EXPECT_EQ(ReadFile(project), projectBefore);
  EXPECT_EQ(profile.GetProfileString("Settings", "copy cfg last src"), other);
  EXPECT_EQ(profile.GetProfileString("Settings", "copy cfg last dest"), project);
  ASSERT_EQ(dialogs.requests().size(), 3u);
  EXPECT_FALSE(dialogs.requests()[0].open);
  EXPECT_TRUE(dialogs.requests()[1].open);
  EXPECT_EQ(dialogs.requests()[1].defaultExt, "zcf");
  EXPECT_EQ(dialogs.requests()[1].fileName, "*.zcf");
}

TEST_F(ToolDialogs, CopyFromFileToFile) {
  const std::string third = dir.file("third.zcf");
  profile.WriteProfileString("Settings", "copy cfg last src", other);
  profile.WriteProfileString("Settings", "copy cfg last dest", third);
  CCopyCfgDlg dlg(nullptr, doc.get());
  RunDialog(dlg, [&] {
    EXPECT_EQ(Listed(dlg), std::vector<std::string>{"Hall"});
    EXPECT_EQ(dlg.GetDlgItemText(1002), "Hall2");
    dlg.SetDlgItemText(1002, "Hall");  // a new file may take the same name
    Press(dlg, 1040);
    Press(dlg, IDCANCEL);
  });
  EXPECT_EQ(ConfigNames(third), std::vector<std::string>{"Hall"});
  EXPECT_EQ(ReadFile(other), otherBefore);
  EXPECT_FALSE(doc->IsModified());
}

TEST_F(ToolDialogs, TheNewNameIsNormalisedBeforeItIsChecked) {
  CCopyCfgDlg dlg(nullptr, doc.get());
  RunDialog(dlg, [&] {
    Select(dlg, "Plant");
    dlg.SetDlgItemText(1002, " , ,");
    Press(dlg, 1040);
    dlg.SetDlgItemText(1002, "YARD");
    Press(dlg, 1040);
    // Only cutting makes it equal to a name in use.
    doc->AddNewConfig(std::string(32, 'q'));
    dlg.SetDlgItemText(1002, std::string(32, 'Q') + "more");
    Press(dlg, 1040);
    dlg.SetDlgItemText(1002, "New,\tone");
    Press(dlg, 1040);
    Press(dlg, IDCANCEL);
  });
  std::vector<std::string> texts = Texts();
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "Please enter a new name for the configuration.",
                       "The new configuration name is already in use - please select another name.",
                       "The new configuration name is already in use - please select another name.",
                       "Invalid character(s) found: ,", "Copy completed, no errors found."}));
  EXPECT_GE(doc->GetStore().FindIndexByName("Newone"), 0);
}

TEST_F(ToolDialogs, TheOpenProjectIsRecognisedByItsFileNotByItsSpelling) {
  // Another spelling of the same file: the open document is the source.
  profile.WriteProfileString("Settings", "copy cfg last src", dir.path() + "/./project.zcf");
  // A file whose name differs only in letter case is another file.
  const std::string upper = dir.file("PROJECT.zcf");
  fs::copy_file(project, upper);
  profile.WriteProfileString("Settings", "copy cfg last dest", upper);
  CCopyCfgDlg dlg(nullptr, doc.get());
  RunDialog(dlg, [&] {
    EXPECT_EQ(Listed(dlg), (std::vector<std::string>{"Plant", "plant2", "Unsaved", "Yard"}));
    Select(dlg, "Unsaved");
    // The destination is the file on disk: it has no "Unsaved" yet.
    EXPECT_EQ(dlg.GetDlgItemText(1002), "Unsaved2");
    dlg.SetDlgItemText(1002, "Unsaved");
    Press(dlg, 1040);
    Press(dlg, IDCANCEL);
  });
  EXPECT_EQ(ConfigNames(upper), (std::vector<std::string>{"Plant", "plant2", "Yard", "Unsaved"}));
  EXPECT_FALSE(doc->IsModified());
  EXPECT_TRUE(fw::SameFilePath(project, dir.path() + "/sub/../project.zcf"));
  EXPECT_FALSE(fw::SameFilePath(project, upper));
  EXPECT_TRUE(fw::SameFilePath("", ""));
  EXPECT_FALSE(fw::SameFilePath(project, ""));
}

TEST_F(ToolDialogs, CopyRefusesWhatIsMissingOrNoFile) {
  const std::string fifo = dir.file("f.zcf");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  CCopyCfgDlg dlg(nullptr, doc.get());
  fw::ScopedHelpService help;
  RunDialog(dlg, [&] {
    dlg.m_strSource.clear();
    Press(dlg, 1040);
    dlg.m_strSource = other;
    dlg.m_strDestination.clear();
    Press(dlg, 1040);
    dlg.m_strDestination = project;
    Configs(dlg).ResetContent();
    Press(dlg, 1040);
    Press(dlg, 1039);
    // A FIFO nobody writes to as the source: an empty list, and why, at once.
    dialogs.QueueAnswer(fifo);
    Press(dlg, 1035);
    EXPECT_EQ(Configs(dlg).GetCount(), 0);
    Press(dlg, IDCANCEL);
  });
  EXPECT_EQ(Texts(),
            (std::vector<std::string>{
                "Please select a source project file.", "Please select a destination project file.",
                "Please select a configuration to copy.", fifo + " is a named pipe, not a file."}));
  EXPECT_EQ(help->requests(), std::vector<unsigned>{0x20000 + 144});
  EXPECT_EQ(CCopyCfgDlg::SuggestName(std::string(31, 'a'), {}), std::string(30, 'a') + "2");
  EXPECT_EQ(CCopyCfgDlg::SuggestName("", {}), "");
}

// ---------------------------------------------------------------- output to file

TEST_F(ToolDialogs, OutputToFileAddsTheExtensionOfTheLayout) {
  AddSwitch("North", "01:02:03");
  COutputFileDlg dlg(nullptr, doc.get());
  dlg.m_strDate = "01/02/2024";
  const int r = RunDialog(dlg, [&] {
    EXPECT_EQ(dlg.GetDlgItemText(1102), "File type:");
    auto* types = dynamic_cast<CComboBox*>(dlg.GetDlgItem(1003));
    ASSERT_NE(types, nullptr);
    ASSERT_EQ(types->GetCount(), 3);
    EXPECT_EQ(types->GetLBText(1), "Tab Delimited File");
    types->SetCurSel(1);
    dialogs.QueueAnswer(dir.file("report.csv"));
    Press(dlg, 295);
    EXPECT_EQ(dlg.m_strDestination, dir.file("report"));
    Press(dlg, IDOK);
  });
  EXPECT_EQ(r, IDOK);
  ASSERT_EQ(dialogs.requests().size(), 1u);
  const fw::FileDialogRequest& req = dialogs.requests()[0];
  EXPECT_FALSE(req.open);
  EXPECT_FALSE(req.mustExist);  // a new file can be chosen
  EXPECT_EQ(req.title, "Select Destination File");
  EXPECT_EQ(req.fileName, "*.txt");
  EXPECT_EQ(req.initialDir, dir.path());  // where the open project is
  EXPECT_FALSE(fs::exists(dir.file("report.csv")));
  EXPECT_EQ(ReadFile(dir.file("report.txt")),
            "Ring Switch Configurations      project.zcf     01/02/2024\n\n"
            "Switch Name\tType\tMAC Address\tConfiguration\tIP Address\tModbus Address\n"
            "North\tQV-5KP-1\t01:02:03\t\tnone\tnone\n");
}

TEST_F(ToolDialogs, OutputToFileStaysOpenUntilTheReportIsWritten) {
  COutputFileDlg dlg(nullptr, doc.get());
  fw::ScopedHelpService help;
  const int r = RunDialog(dlg, [&] {
    Press(dlg, IDOK);
    EXPECT_FALSE(dlg.ended());
    dlg.m_strDestination = dir.file("missing/report");
    Press(dlg, IDOK);
    EXPECT_FALSE(dlg.ended());
    Press(dlg, 3);
    dlg.m_strDestination = dir.file("report");
    Press(dlg, IDOK);
  });
  EXPECT_EQ(r, IDOK);
  const auto texts = Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], "Please select a destination file.");
  EXPECT_EQ(texts[1].rfind("Failed to create the file.", 0), 0u) << texts[1];
  EXPECT_TRUE(fs::exists(dir.file("report.csv")));
  EXPECT_EQ(help->requests(), std::vector<unsigned>{0x20000 + 147});
}

TEST_F(ToolDialogs, ALongDestinationIsShownCompacted) {
  COutputFileDlg dlg(nullptr, doc.get());
  const std::string deep = dir.path() + "/a/rather/long/folder/name/that/does/not/fit/report";
  RunDialog(dlg, [&] {
    dialogs.QueueAnswer(deep + ".csv");
    Press(dlg, 295);
    const std::string shown = dlg.GetDlgItemText(294);
    EXPECT_NE(shown, deep);
    EXPECT_NE(shown.find("..."), std::string::npos) << shown;
    EXPECT_EQ(shown.substr(shown.size() - 7), "/report");
    // The next prompt starts beside the file chosen.
    dialogs.QueueAnswer("");
    Press(dlg, 295);
    ASSERT_EQ(dialogs.requests().size(), 2u);
    EXPECT_EQ(dialogs.requests()[1].initialDir, fs::path(deep).parent_path().string());
    Press(dlg, IDCANCEL);
  });
  EXPECT_EQ(dlg.m_strDestination, deep);
}

}  // namespace
}  // namespace fwtest
