// The project's files as the user meets them: which project opens at the
// next start, what is refused as no project at all, copies into other
// project files, and configurations a newer version wrote.
#include <sys/stat.h>

#include <QTimer>
#include <functional>

#include "platform/inifile.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "shell/commandids.h"
#include "shell_fixture.h"
#include "switch/switchdiscovery.h"
#include "tools/cfgpsheet.h"
#include "tools/copycfgdlg.h"

namespace fwtest {
namespace {

class ProjectFiles : public ShellTest {
 protected:
  static void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
  }
  // The program's whole run, as main runs it: `user` acts once the main
  // window is up and closes it, which ends the run.
  void RunProgram(std::vector<std::string> args, std::function<void()> user) {
    m_app = std::make_unique<CFenwardleApp>(std::move(args));
    m_app->SetCaptureProbe([] { return Usable(); });
    QTimer::singleShot(0, [&] {
      ASSERT_TRUE(WaitFor([&] { return Frame() && Frame()->IsWindowVisible(); }));
      user();
      if (Frame()) Frame()->SendMessage(WM_CLOSE);
    });
    (void)m_app->Run();
    m_app.reset();
    Drain();
  }
};

TEST_F(ProjectFiles, TheNextStartOpensTheProjectLastSavedUnderANewName) {
  const std::string first = WriteProject(m_dir.file("Projects/first.zcf"), "First", "S1");
  const std::string renamed = m_dir.file("Projects/renamed.zcf");
  RunProgram({"fenwardle", first}, [&] {
    m_dialogs.QueueAnswer(renamed);
    Command(ID_FILE_SAVE_AS);
    EXPECT_EQ(Doc()->GetPathName(), renamed);
  });
  EXPECT_EQ(Saved()->GetProfileString("settings", "last path"), renamed);
  ASSERT_TRUE(Start());
  Frame()->OnStartupTimer();
  EXPECT_EQ(Doc()->GetPathName(), renamed);
  Stop();

  // A new project's first save.
  const std::string fresh = m_dir.file("Projects/fresh.zcf");
  RunProgram({"fenwardle"}, [&] {
    Command(ID_FILE_NEW);
    ASSERT_GE(Doc()->AddNewConfig("Fresh"), 0);
    m_dialogs.QueueAnswer(fresh);
    Command(ID_FILE_SAVE);
    EXPECT_EQ(Doc()->GetPathName(), fresh);
  });
  ASSERT_TRUE(Start());
  Frame()->OnStartupTimer();
  EXPECT_EQ(Doc()->GetPathName(), fresh);
  EXPECT_EQ(Doc()->GetStore().FindIndexByName("Fresh"), 0);
  EXPECT_TRUE(m_messages->messages().empty());
}

// ---------------------------------------------------------------- files that are no project

class NotAProject : public ProjectFiles {
 protected:
  void SetUp() override {
    ProjectFiles::SetUp();
    // Text with CR LF nowhere, which one save would have rewritten.
    text = m_dir.file("notes.txt");
    std::string lines;
    for (int i = 0; i < 2000; ++i) lines += "line " + std::to_string(i) + " of some notes\n";
    WriteFile(text, lines);
    // A program: NUL bytes near its start.
    binary = m_dir.file("program.bin");
    WriteFile(binary, std::string("\x7F"
                                  "ELF\x02\x01\x01\0\0\0",
                                  10) +
                          std::string(4096, 'x'));
    project = WriteProject(m_dir.file("Projects/kept.zcf"), "Kept", "S1");
  }
  // The refusal names the file; the project that was open stays, and
  // nothing remembers the refused file.
  void ExpectRefused(const std::string& path, const std::string& before) {
    ASSERT_EQ(m_messages->count(), 1u);
    EXPECT_NE(m_messages->messages()[0].text.find(path), std::string::npos)
        << m_messages->messages()[0].text;
    EXPECT_EQ(ReadText(path), before);
    EXPECT_NE(Profile().GetProfileString("settings", "last path"), path);
    const CRecentFileList* recent = m_app->GetRecentFileList();
    for (int i = 0; i < recent->GetSize(); ++i) EXPECT_NE((*recent)[i], path);
    m_messages->clear();
  }

  std::string text, binary, project;
};

TEST_F(NotAProject, FileOpenRefusesTextAndProgramsAndKeepsTheOpenProject) {
  ASSERT_TRUE(Start({"fenwardle", project}));
  const std::string textBefore = ReadText(text), binaryBefore = ReadText(binary);
  for (const std::string& path : {text, binary}) {
    m_dialogs.QueueAnswer(path);
    Command(ID_FILE_OPEN);
    ExpectRefused(path, path == text ? textBefore : binaryBefore);
    EXPECT_EQ(Doc()->GetPathName(), project);
    EXPECT_EQ(Doc()->GetStore().FindIndexByName("Kept"), 0);
    EXPECT_FALSE(Doc()->IsModified());
  }
  EXPECT_EQ(Profile().GetProfileString("settings", "last path"), project);
  // A save now writes the project, not the refused file.
  Command(ID_FILE_SAVE);
  EXPECT_EQ(ReadText(text), textBefore);

  // An empty file is an empty project.
  const std::string empty = m_dir.file("empty.zcf");
  WriteFile(empty, "");
  m_dialogs.QueueAnswer(empty);
  Command(ID_FILE_OPEN);
  EXPECT_TRUE(m_messages->messages().empty());
  EXPECT_EQ(Doc()->GetPathName(), empty);
  EXPECT_EQ(Doc()->GetStore().First(), -1);
}

TEST_F(NotAProject, TheCommandLineRefusesItAndTheProgramStartsUntitled) {
  // A FIFO nobody writes to is refused at once, not waited on.
  const std::string fifo = m_dir.file("f.zcf");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_TRUE(Start({"fenwardle", fifo}));
  ASSERT_EQ(m_messages->count(), 1u);
  EXPECT_NE(m_messages->messages()[0].text.find(FormatRes(IDS_FILE_IS_PIPE, fifo)),
            std::string::npos);
  EXPECT_EQ(Doc()->GetPathName(), "");
  Stop();
  m_messages->clear();

  const std::string before = ReadText(text);
  ASSERT_TRUE(Start({"fenwardle", text}));
  ASSERT_NE(Frame(), nullptr);
  ExpectRefused(text, before);
  EXPECT_EQ(Doc()->GetPathName(), "");
  EXPECT_EQ(Frame()->GetWindowText(), "Untitled - Brisklane");
  // The previous project still opens by itself.
  Profile().WriteProfileString("settings", "last path", project);
  Frame()->OnStartupTimer();
  EXPECT_EQ(Doc()->GetPathName(), project);
}

TEST_F(NotAProject, ARecentFileThatBecameSomethingElseIsRefusedAndLeavesTheList) {
  ASSERT_TRUE(Start());
  const std::string other = WriteProject(m_dir.file("other.zcf"), "Other", "S2");
  ASSERT_NE(m_app->OpenDocumentFile(other), nullptr);
  ASSERT_NE(m_app->OpenDocumentFile(project), nullptr);
  ASSERT_EQ((*m_app->GetRecentFileList())[1], other);
  // Overwritten by something that is no project.
  std::filesystem::copy_file(binary, other, std::filesystem::copy_options::overwrite_existing);
  const std::string before = ReadText(other);
  Command(ID_FILE_MRU_FILE1 + 1);
  ExpectRefused(other, before);
  EXPECT_EQ(Doc()->GetPathName(), project);
}

// ---------------------------------------------------------------- what a save leaves opens again

TEST_F(ProjectFiles, SaveAsOverAFileThatIsNoProjectReplacesItAndItOpensAgain) {
  const std::string project = WriteProject(m_dir.file("Projects/kept.zcf"), "Kept", "S1");
  const std::string binary = m_dir.file("program.zcf"), large = m_dir.file("log.zcf"),
                    text = m_dir.file("notes.txt");
  WriteFile(binary, std::string("[Printer Setup]\nPaper=A4\n\0\0\x7F", 24));
  WriteFile(large, "[Log]\n" + std::string(33u << 20, ';'));
  WriteFile(text, "line 1 of some notes\nline 2\n");
  ASSERT_TRUE(Start({"fenwardle", project}));
  for (const std::string& path : {binary, large, text}) {
    m_dialogs.QueueAnswer(path);
    Command(ID_FILE_SAVE_AS);
    EXPECT_TRUE(m_messages->messages().empty()) << m_messages->messages()[0].text;
    m_messages->clear();
    EXPECT_EQ(Doc()->GetPathName(), path);
    EXPECT_FALSE(Doc()->IsModified());
  }
  Command(ID_FILE_NEW);
  for (const std::string& path : {binary, large, text}) {
    EXPECT_LT(std::filesystem::file_size(path), 4096u) << path;
    m_dialogs.QueueAnswer(path);
    Command(ID_FILE_OPEN);
    EXPECT_TRUE(m_messages->messages().empty()) << m_messages->messages()[0].text;
    m_messages->clear();
    EXPECT_EQ(Doc()->GetPathName(), path);
    EXPECT_EQ(Doc()->GetStore().FindIndexByName("Kept"), 0) << path;
    EXPECT_EQ(Doc()->GetSwitches().FindIndexByNameNoCase("S1"), 0) << path;
  }
}

TEST_F(ProjectFiles, ASaveTheNextOpenWouldRefuseIsRefusedAndTheFileKept) {
  // Sections of another program fill the file nearly to what an open accepts.
  const std::string path = m_dir.file("Projects/full.zcf");
  WriteFile(path, "[Log]\r\n;" + std::string((32u << 20) - 100, 'x') + "\r\n[Switch Cfgs]\r\n");
  const auto before = std::filesystem::last_write_time(path);
  ASSERT_TRUE(Start({"fenwardle", path}));
  ASSERT_GE(Doc()->AddNewConfig("Plant"), 0);
  Command(ID_FILE_SAVE);
  ASSERT_EQ(m_messages->count(), 1u);
  const std::string shown = m_messages->messages()[0].text;
  EXPECT_NE(shown.find(FormatRes(IDS_PROJECT_FILE_WOULD_BE_TOO_LARGE, path, 32)),
            std::string::npos);
  EXPECT_TRUE(Doc()->IsModified());
  EXPECT_EQ(std::filesystem::last_write_time(path), before);
}

TEST_F(ProjectFiles, AProjectEmptiedBesideSectionsOfOthersOpensAndTakesACopy) {
  const std::string shared = m_dir.file("Projects/shared.zcf");
  WriteFile(shared,
            "[Printer Setup]\r\nPaper=A4\r\n"
            "[Switch Cfgs]\r\n0=Old\r\n[Switch Cfg: Old]\r\nVers=1\r\nNumPorts=5\r\n"
            "[Switch Entries]\r\n0=S1\r\n[Switch Entry: S1]\r\nVers=1\r\nCfg Name=Old\r\n");
  ASSERT_TRUE(Start({"fenwardle", shared}));
  ASSERT_EQ(Doc()->DeleteConfig(0), 0);
  m_messages->QueueAnswer(IDYES);
  Doc()->DeleteSwitch(0);
  m_messages->clear();
  Command(ID_FILE_SAVE);
  EXPECT_TRUE(m_messages->messages().empty()) << m_messages->messages()[0].text;
  EXPECT_FALSE(Doc()->IsModified());

  // Copy Configuration writes into it from another project.
  Command(ID_FILE_NEW);
  ASSERT_GE(Doc()->AddNewConfig("Plant"), 0);
  m_dialogs.QueueAnswer(m_dir.file("Projects/source.zcf"));
  Command(ID_FILE_SAVE);
  Profile().WriteProfileString("Settings", "copy cfg last dest", shared);
  ClickCell(Configs(), 0, 0);
  m_messages->clear();
  ASSERT_TRUE(RunModal<CCopyCfgDlg>(ID_CONFIG_COPY, [](CCopyCfgDlg& dlg) {
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(1040, BN_CLICKED), 0);
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  }));
  ASSERT_EQ(m_messages->count(), 1u);
  EXPECT_EQ(m_messages->messages()[0].text, LoadResString(IDS_COPY_COMPLETED_NO_ERRORS));
  m_messages->clear();

  m_dialogs.QueueAnswer(shared);
  Command(ID_FILE_OPEN);
  EXPECT_TRUE(m_messages->messages().empty()) << m_messages->messages()[0].text;
  EXPECT_EQ(Doc()->GetPathName(), shared);
  EXPECT_EQ(Doc()->GetStore().FindIndexByName("Plant2"), 0);
  EXPECT_EQ(Doc()->GetSwitches().First(), -1);
  fw::CIniFile saved;
  saved.Parse(ReadText(shared));
  EXPECT_EQ(saved.GetString("Printer Setup", "Paper"), "A4");
}

// ---------------------------------------------------------------- what a newer version wrote

TEST_F(ProjectFiles, EditingANewerConfigurationIsAskedAndThenReplacesItsKeys) {
  const std::string path = m_dir.file("Projects/newer.zcf");
  WriteFile(path,
            "[Switch Cfgs]\r\n0=Future\r\n"
            "[Switch Cfg: Future]\r\nVers=2\r\nNumPorts=9\r\nWidget=blue\r\n"
            "[Switch Entries]\r\n0=S1\r\n"
            "[Switch Entry: S1]\r\nVers=1\r\nMAC=12:AB:EF\r\nCfg Name=Future\r\n"
            "Part Type=QV-5KP-1\r\n");
  ASSERT_TRUE(Start({"fenwardle", path}));
  m_messages->clear();  // the notice of the newer section
  Switches().LoadProjectRows();
  Activate(Frame()->widget());

  // Loading it into the switch is refused with the reason, before any word goes out.
  ClickCell(Switches(), 0, 0);
  bool built = false;
  Doc()->SetCommFactory([&built] {
    built = true;
    return std::unique_ptr<CSwitchDiscovery>();
  });
  EXPECT_EQ(Doc()->LoadSelectedConfig(0), -1);
  EXPECT_FALSE(built);
  ASSERT_EQ(m_messages->count(), 1u);
  EXPECT_EQ(m_messages->messages()[0].text, FormatRes(IDS_CFG_NEWER_LOAD, "Future"));
  m_messages->clear();

  // Cancel at the question: no sheet, nothing changed.
  ClickCell(Configs(), 0, 0);
  m_messages->QueueAnswer(IDCANCEL);
  Command(ID_CONFIG_EDIT);
  ASSERT_EQ(m_messages->count(), 1u);
  EXPECT_EQ(m_messages->messages()[0].text, FormatRes(IDS_CFG_NEWER_EDIT, "Future"));
  EXPECT_EQ(m_messages->messages()[0].type & 0xF, static_cast<unsigned>(MB_OKCANCEL));
  EXPECT_FALSE(Doc()->IsModified());

  // OK at the question, then OK in the sheet: the edit replaces the newer keys.
  m_messages->QueueAnswer(IDOK);
  ASSERT_TRUE(RunModal<CCfgPSheet>(ID_CONFIG_EDIT, [](CCfgPSheet& sheet) {
    QTest::mouseClick(sheet.GetDlgItem(IDOK)->widget(), Qt::LeftButton);
  }));
  EXPECT_TRUE(Doc()->IsModified());
  EXPECT_FALSE(Doc()->GetStore().GetAt(0)->IsNewerVersion());
  Command(ID_FILE_SAVE);
  fw::CIniFile saved;
  saved.Parse(ReadText(path));
  EXPECT_EQ(saved.GetString("Switch Cfg: Future", "Vers"), "1");
  EXPECT_EQ(saved.GetString("Switch Cfg: Future", "NumPorts"), "5");
  EXPECT_FALSE(saved.Get("Switch Cfg: Future", "Widget"));
}

// ---------------------------------------------------------------- copies into another project file

TEST_F(ProjectFiles, CopyNowIntoAFileThatDoesNotReadCleanlyAsksFirst) {
  ASSERT_TRUE(Start());
  ASSERT_GE(Doc()->AddNewConfig("Plant"), 0);
  const std::string source = m_dir.file("Projects/source.zcf");
  m_dialogs.QueueAnswer(source);
  Command(ID_FILE_SAVE);
  ASSERT_EQ(Doc()->GetPathName(), source);
  // A second monitor port's pair, which the reader drops.
  const std::string destination = m_dir.file("Projects/destination.zcf");
  WriteFile(destination,
            "[Switch Cfgs]\r\n0=Mirrors\r\n"
            "[Switch Cfg: Mirrors]\r\nVers=1\r\nNumPorts=5\r\n"
            "Mirror0=0,4,1\r\nMirror1=1,3,1\r\n");
  const std::string before = ReadText(destination);
  Profile().WriteProfileString("Settings", "copy cfg last dest", destination);
  ClickCell(Configs(), 0, 0);
  m_messages->clear();

  auto copyNow = [&] {
    return RunModal<CCopyCfgDlg>(ID_CONFIG_COPY, [](CCopyCfgDlg& dlg) {
      dlg.SendMessage(WM_COMMAND, MAKEWPARAM(1040, BN_CLICKED), 0);
      dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
  };
  // No: the file stays as it was.
  m_messages->QueueAnswer(IDOK);
  m_messages->QueueAnswer(IDNO);
  ASSERT_TRUE(copyNow());
  std::vector<std::string> texts;
  for (const auto& m : m_messages->messages()) texts.push_back(m.text);
  EXPECT_EQ(texts,
            (std::vector<std::string>{LoadResString(IDS_MULTIPLE_MONITOR_PORTS_WARNING),
                                      FormatRes(IDS_COPY_DESTINATION_NOT_CLEAN, destination)}));
  EXPECT_EQ(ReadText(destination), before);
  m_messages->clear();

  // Yes: the copy is added, and the end says what was given up.
  m_messages->QueueAnswer(IDOK);
  m_messages->QueueAnswer(IDYES);
  ASSERT_TRUE(copyNow());
  ASSERT_EQ(m_messages->count(), 3u);
  EXPECT_EQ(m_messages->messages()[2].text, LoadResString(IDS_COPY_COMPLETED_AFTER_WARNINGS));
  for (const auto& m : m_messages->messages())
    EXPECT_NE(m.text, LoadResString(IDS_COPY_COMPLETED_NO_ERRORS));
  fw::CIniFile saved;
  saved.Parse(ReadText(destination));
  EXPECT_EQ(saved.GetString("Switch Cfgs", "1"), "Plant2");
}

}  // namespace
}  // namespace fwtest
