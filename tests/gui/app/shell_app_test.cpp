// The whole configuration program, started as it starts, driven as a user
// drives it: projects, configurations and switches through the menu, the
// panes and the file prompts; the last project opening by itself; what the
// commands allow for each selection; the three languages; the window's place.
#include <QMainWindow>
#include <QMenuBar>
#include <QProcess>
#include <QWindow>

#include "app/recoverswitchdlg.h"
#include "app/winpcappromptdlg.h"
#include "platform/clock.h"
#include "platform/inifile.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "shell/aboutdlg.h"
#include "shell/commandids.h"
#include "shell/productsupportdlg.h"
#include "shell_fixture.h"
#include "tests/emulator/fake_capture.h"
#include "tools/cfgpage1.h"
#include "tools/cfgpsheet.h"
#include "tools/copycfgdlg.h"
#include "tools/eeromdebugdlg.h"
#include "tools/findswitchesdlg.h"
#include "tools/firmwareupdatedlg.h"
#include "tools/flashleddlg.h"
#include "tools/netmonitordlg.h"
#include "tools/outputfiledlg.h"
#include "tools/switchstatusdlg.h"
#include "tools/testcommdlg.h"
#include "tools/toolcomm.h"

namespace fwtest {
namespace {

using Shell = ShellTest;

TEST_F(Shell, ANewProjectMadeThroughTheMenuAndThePanesIsThereWhenOpenedAgain) {
  ASSERT_TRUE(Start());
  ASSERT_NE(Frame(), nullptr);
  EXPECT_EQ(Frame()->GetWindowText(), "Untitled - Brisklane");
  // The wizard: a name, then "Configure Later".
  ASSERT_TRUE(RunModal<CCfgPSheet>(ID_CONFIG_ADD, [](CCfgPSheet& sheet) {
    QWidget* name = sheet.GeneralPage().GetDlgItem(CCfgPage1::kNameEdit)->widget();
    QTest::keyClicks(name, "Ring A");
    QTest::mouseClick(sheet.GetDlgItem(CCfgPSheet::kConfigureLaterId)->widget(), Qt::LeftButton);
  }));
  ASSERT_EQ(Doc()->GetStore().FindIndexByName("Ring A"), 0);
  EXPECT_EQ(Configs().ConfigIndexAtRow(0), 0);
  Activate(Frame()->widget());  // the sheet had the focus
  // Two switches typed into the switch list, the first given the configuration.
  TypeInto(Switches(), 0, 0, "Alpha");
  TypeInto(Switches(), 0, 1, "Bravo");
  ASSERT_EQ(Doc()->GetSwitches().GetCount(), 2);
  ASSERT_TRUE(Choose(Switches(), 1, 0, "QV-5KP-1"));
  ASSERT_TRUE(Choose(Switches(), 3, 0, "Ring A"));
  EXPECT_TRUE(Doc()->IsModified());
  const std::string path = m_dir.file("Projects/ring.zcf");
  m_dialogs.QueueAnswer(path);
  Command(ID_FILE_SAVE);
  EXPECT_FALSE(Doc()->IsModified());
  // The save prompt started in the projects folder.
  ASSERT_EQ(m_dialogs.requests().size(), 1u);
  EXPECT_EQ(m_dialogs.requests()[0].initialDir, m_dir.file("Projects/"));
  Frame()->SendMessage(WM_CLOSE);
  EXPECT_EQ(m_app->m_pMainWnd, nullptr);
  EXPECT_TRUE(m_messages->messages().empty());
  Stop();

  ASSERT_TRUE(Start({"fenwardle", path}));
  EXPECT_EQ(Frame()->GetWindowText(), "ring.zcf - Brisklane");
  EXPECT_EQ(Doc()->GetPathName(), path);
  const CSwitchEntry* alpha =
      Doc()->GetSwitches().GetAt(Doc()->GetSwitches().FindIndexByNameNoCase("Alpha"));
  ASSERT_NE(alpha, nullptr);
  EXPECT_EQ(alpha->GetConfig().GetName(), "Ring A");
  EXPECT_GE(Doc()->GetSwitches().FindIndexByNameNoCase("Bravo"), 0);
  EXPECT_EQ(Configs().ConfigIndexAtRow(0), 0);
  EXPECT_EQ(Switches().GetRowTotal(), 3);
  // The recent-file list names it.
  EXPECT_EQ((*m_app->GetRecentFileList())[0], path);
}

TEST_F(Shell, TheDefaultProjectOpensOnTheFirstRunAndTheLastOneAfterwards) {
  // Without the file nothing opens and the first run is not used up.
  ASSERT_TRUE(Start());
  Frame()->OnStartupTimer();
  EXPECT_EQ(Doc()->GetPathName(), "");
  EXPECT_EQ(Profile().GetProfileInt("settings", "first", 0), 0);
  Stop();

  const std::string defaults = WriteProject(m_dir.file("Projects/ring_defaults.zcf"), "Base", "S1");
  ASSERT_TRUE(Start());
  // The timer does it by itself, a moment after start-up.
  ASSERT_TRUE(WaitFor([&] { return Doc()->GetPathName() == defaults; }));
  EXPECT_EQ(Profile().GetProfileString("settings", "last path"), defaults);
  EXPECT_EQ(Profile().GetProfileInt("settings", "first", 0), 1);
  Stop();

  const std::string other = WriteProject(m_dir.file("other.zcf"), "Other", "S2");
  ASSERT_TRUE(Start());
  m_app->OpenDocumentFile(other);
  Stop();
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitFor([&] { return Doc()->GetPathName() == other; }));
  EXPECT_EQ(Doc()->GetStore().FindIndexByName("Other"), 0);
  Stop();

  // A last project that is gone is forgotten without a word; auto-open off opens nothing.
  std::filesystem::remove(other);
  ASSERT_TRUE(Start());
  Frame()->OnStartupTimer();
  EXPECT_EQ(Doc()->GetPathName(), "");
  EXPECT_EQ(Profile().GetProfileString("settings", "last path"), "");
  EXPECT_TRUE(m_messages->messages().empty());
  Command(ID_AUTO_OPEN_LAST_FILE);
  EXPECT_EQ(Profile().GetProfileInt("settings", "auto-open", 1), 0);
  Stop();
  ASSERT_TRUE(Start());
  Frame()->OnStartupTimer();
  EXPECT_EQ(Frame()->AutoOpen(), 0);
  EXPECT_EQ(Doc()->GetPathName(), "");
}

TEST_F(Shell, AProjectNamedOnTheCommandLineIsReadOnce) {
  const std::string path = WriteProject(m_dir.file("Projects/named.zcf"), "Named", "S1");
  ASSERT_TRUE(Start({"fenwardle", path}));
  // Serialize wrote it as the last project, so auto-open would read it again.
  EXPECT_EQ(Profile().GetProfileString("settings", "last path"), path);
  ASSERT_EQ(Doc()->RenameSwitch(0, "Renamed"), kProjectOk);
  Frame()->OnStartupTimer();
  EXPECT_TRUE(m_messages->messages().empty());  // no save prompt of a second open
  EXPECT_EQ(Doc()->GetSwitches().GetAt(0)->GetName(), "Renamed");
  EXPECT_TRUE(Doc()->IsModified());
}

TEST_F(Shell, NothingOpensBehindTheCaptureLibraryPromptAndCancelEndsTheProgram) {
  WriteProject(m_dir.file("Projects/ring_defaults.zcf"), "Base", "S1");
  CaptureProbe old = Usable();
  old.incompatible = true;
  old.versionText = "0.9";
  std::string shownBehind = "not asked";
  QTimer::singleShot(0, [&] {
    WaitFor([] { return QApplication::activeModalWidget() != nullptr; }, 10000);
    auto* prompt = dynamic_cast<CWinPcapPromptDlg*>(
        CWnd::FromHandlePermanent(QApplication::activeModalWidget()));
    if (!prompt) return;
    // Longer than the auto-open timer takes.
    QTest::qWait(800);
    shownBehind = Doc() ? Doc()->GetPathName() : "no document";
    prompt->EndDialog(IDCANCEL);
  });
  EXPECT_FALSE(Start({"fenwardle"}, old));
  EXPECT_EQ(shownBehind, "");
  // Ignore goes on: then the project opens.
  Stop();
  QTimer::singleShot(0, [&] {
    WaitFor([] { return QApplication::activeModalWidget() != nullptr; }, 10000);
    if (auto* prompt = dynamic_cast<CWinPcapPromptDlg*>(
            CWnd::FromHandlePermanent(QApplication::activeModalWidget())))
      prompt->EndDialog(IDOK);
  });
  ASSERT_TRUE(Start({"fenwardle"}, old));
  EXPECT_TRUE(WaitFor([&] { return !Doc()->GetPathName().empty(); }));
}

TEST_F(Shell, AMissingCaptureLibraryIsToldAndTheProgramRuns) {
  ASSERT_TRUE(Start({"fenwardle"}, CaptureProbe{}));
  ASSERT_EQ(m_messages->count(), 1u);
  EXPECT_EQ(m_messages->messages()[0].text, CaptureMissingMessage());
  EXPECT_TRUE(Frame()->IsWindowVisible());
}

TEST_F(Shell, SettingsThatCannotBeKeptAreToldOnceAndTheirPathIsLeftAlone) {
  const std::string ini = m_dir.file("config/ZOLVEX/fenwardle.ini");
  std::filesystem::create_directories(ini);
  ASSERT_TRUE(Start());
  EXPECT_FALSE(Profile().WriteProfileString("Settings", "last path", "x"));
  Stop();
  ASSERT_EQ(m_messages->count(), 1u);
  EXPECT_EQ(m_messages->messages()[0].text,
            FormatRes(IDS_SETTINGS_NOT_KEPT, ini, FormatRes(IDS_FILE_IS_FOLDER, ini)));
  EXPECT_TRUE(std::filesystem::is_empty(ini));
}

// ---------------------------------------------------------------- commands and panes

class ShellCommands : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ASSERT_TRUE(Start());
    ASSERT_GE(Doc()->AddNewConfig("Five"), 0);
    ASSERT_GE(Doc()->AddSwitchFromField(kSwitchColName, "NoMac"), 0);
    ASSERT_GE(Doc()->AddSwitchFromField(kSwitchColMac, "12:AB:EF"), 0);
    ASSERT_EQ(Doc()->SetSwitchConfigName(1, "Five"), kProjectOk);
    Switches().LoadProjectRows();
    Activate(Frame()->widget());
  }
  int RowOf(const std::string& name) {
    for (int row = 0; const CSwitchEntry* e = Switches().SwitchAtRow(row); ++row)
      if (e->GetName() == name) return row;
    return -1;
  }
  std::vector<unsigned> EnabledOf(const std::vector<unsigned>& ids) {
    std::vector<unsigned> on;
    for (unsigned id : ids)
      if (Enabled(id)) on.push_back(id);
    return on;
  }
  const std::vector<unsigned> kPaneCommands = {ID_CONFIG_EDIT,     ID_CONFIG_DELETE,
                                               ID_CONFIG_COPY,     ID_EXPLAIN_WARNING,
                                               ID_SWITCH_DELETE,   ID_LOAD_SELECTED_CONFIG,
                                               ID_SWITCH_WINK,     ID_SWITCH_RECOVER,
                                               ID_SWITCH_STATUS,   ID_UPDATE_RING_FIRMWARE,
                                               ID_CONFIG_ADD,      ID_OUTPUT_TO_FILE,
                                               ID_FILE_NEW,        ID_FILE_OPEN,
                                               ID_FILE_SAVE,       ID_AUTO_FIND_SWITCHES,
                                               ID_APP_ABOUT,       ID_PRODUCT_SUPPORT,
                                               ID_MONITOR_NETWORKS};
};

TEST_F(ShellCommands, EveryCommandIsEnabledAsTheActivePaneAndItsRowAllow) {
  const std::vector<unsigned> always = {ID_CONFIG_ADD, ID_OUTPUT_TO_FILE,  ID_FILE_NEW,
                                        ID_FILE_OPEN,  ID_FILE_SAVE,       ID_AUTO_FIND_SWITCHES,
                                        ID_APP_ABOUT,  ID_PRODUCT_SUPPORT, ID_MONITOR_NETWORKS};
  auto with = [&](std::vector<unsigned> ids) {
    std::vector<unsigned> all;
    for (unsigned id : kPaneCommands)
      if (std::find(ids.begin(), ids.end(), id) != ids.end() ||
          std::find(always.begin(), always.end(), id) != always.end())
        all.push_back(id);
    return all;
  };
  // A configuration selected in the left pane.
  ClickCell(Configs(), 0, 0);
  EXPECT_EQ(Frame()->GetActiveView(), Frame()->GetLeftView());
  EXPECT_EQ(EnabledOf(kPaneCommands), with({ID_CONFIG_EDIT, ID_CONFIG_DELETE, ID_CONFIG_COPY}));
  // The left pane's new-entry row holds no configuration.
  ClickCell(Configs(), 0, 1);
  EXPECT_EQ(EnabledOf(kPaneCommands), with({}));
  // A switch with a MAC and a configuration.
  ClickCell(Switches(), 0, RowOf("RS_12_AB_EF"));
  EXPECT_EQ(Frame()->GetActiveView(), Frame()->GetRightView());
  EXPECT_EQ(EnabledOf(kPaneCommands),
            with({ID_CONFIG_EDIT, ID_CONFIG_DELETE, ID_CONFIG_COPY, ID_EXPLAIN_WARNING,
                  ID_SWITCH_DELETE, ID_LOAD_SELECTED_CONFIG, ID_SWITCH_WINK, ID_SWITCH_RECOVER,
                  ID_SWITCH_STATUS, ID_UPDATE_RING_FIRMWARE}));
  // A switch without a MAC and without a configuration.
  ClickCell(Switches(), 0, RowOf("NoMac"));
  EXPECT_EQ(EnabledOf(kPaneCommands), with({ID_EXPLAIN_WARNING, ID_SWITCH_DELETE}));
  // The switch list's new-entry row: no switch.
  ClickCell(Switches(), 0, 2);
  EXPECT_EQ(EnabledOf(kPaneCommands), with({}));
  // What the explanation says for the switch without a configuration.
  ClickCell(Switches(), 3, RowOf("NoMac"));
  Command(ID_EXPLAIN_WARNING);
  ASSERT_EQ(m_messages->count(), 1u);
  EXPECT_EQ(m_messages->messages()[0].text, LoadResString(IDS_NO_CFG_ASSIGNED));
}

// Load stays enabled for a switch that has a MAC but no configuration yet;
// the command then says why there is nothing to load.
TEST_F(ShellCommands, LoadWithoutAConfigurationSaysWhyNothingIsLoaded) {
  const int added = Doc()->AddSwitchFromField(kSwitchColMac, "12:AB:F1");
  ASSERT_GE(added, 0);
  const std::string name = Doc()->GetSwitches().GetAt(added)->GetName();
  Switches().LoadProjectRows();
  ClickCell(Switches(), 0, RowOf(name));
  EXPECT_TRUE(Enabled(ID_LOAD_SELECTED_CONFIG));
  Command(ID_LOAD_SELECTED_CONFIG);
  ASSERT_EQ(m_messages->count(), 1u);
  EXPECT_EQ(m_messages->messages()[0].text,
            "There is no configuration to load into switch '" + name +
                "'. Choose one of the project's configurations in its Configuration column "
                "first.");
  // The same for a configuration name the project does not have.
  m_messages->clear();
  ClickCell(Switches(), 0, RowOf("RS_12_AB_EF"));
  ASSERT_EQ(Doc()->SetSwitchConfigName(1, "Gone"), kProjectOk);
  Command(ID_LOAD_SELECTED_CONFIG);
  ASSERT_EQ(m_messages->count(), 1u);
  EXPECT_NE(m_messages->messages()[0].text.find("'RS_12_AB_EF'"), std::string::npos);
}

TEST_F(ShellCommands, DeletingAConfigurationFromTheSwitchPaneClearsItsSwitches) {
  ClickCell(Switches(), 0, RowOf("RS_12_AB_EF"));
  m_messages->QueueAnswer(IDYES);
  Command(ID_CONFIG_DELETE);
  ASSERT_EQ(m_messages->count(), 1u);
  EXPECT_EQ(m_messages->messages()[0].text, "Delete switch configuration Five?");
  EXPECT_EQ(Doc()->GetStore().FindIndexByName("Five"), -1);
  EXPECT_EQ(Doc()->GetSwitches().GetAt(1)->GetConfig().GetName(), "");
  EXPECT_EQ(Configs().ConfigIndexAtRow(0), -1);  // only the new-entry row is left
}

TEST_F(ShellCommands, TheContextMenusCarryTheirCommandsToThePanes) {
  ClickCell(Switches(), 0, RowOf("RS_12_AB_EF"));
  m_messages->QueueAnswer(IDYES);
  QTimer::singleShot(0, [] {
    WaitFor([] { return QApplication::activePopupWidget() != nullptr; });
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu || menu->actions().size() < 4) return;
    QAction* deleteSwitch = menu->actions()[3];
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(deleteSwitch).center());
  });
  CPoint at(200, 200);
  Frame()->SendMessage(WM_SWITCHLIST_CONTEXT, reinterpret_cast<WPARAM>(&at));
  Drain();
  ASSERT_EQ(m_messages->count(), 1u);
  EXPECT_EQ(m_messages->messages()[0].text, "Delete switch 'RS_12_AB_EF'?");
  EXPECT_TRUE(Doc()->GetSwitches().GetAt(1)->IsDeleted());
}

TEST_F(ShellCommands, TheFirmwareLoaderRunsFromItsExactPathOrSaysItCannot) {
  // A loader in a folder whose name needs quoting; it leaves a mark.
  Command(ID_UPDATE_MANAGED_FIRMWARE);
  ASSERT_EQ(m_messages->count(), 1u);
  EXPECT_EQ(m_messages->messages()[0].text,
            "Failed to execute " + m_dir.path() + "/zvfirmwareload");
  m_messages->clear();
  const std::string loader = CFenwardleDoc::FirmwareLoaderPath();
  {
    std::ofstream f(loader);
    f << "#!/bin/sh\nsleep 0.3\necho ran > \"$(dirname \"$0\")/loader ran\"\n";
  }
  std::filesystem::permissions(loader, std::filesystem::perms::owner_all);
  bool disabledMeanwhile = false;
  QTimer probe;
  QObject::connect(&probe, &QTimer::timeout,
                   [&] { disabledMeanwhile |= !Frame()->IsWindowEnabled(); });
  probe.start(50);
  Command(ID_UPDATE_MANAGED_FIRMWARE);
  probe.stop();
  EXPECT_TRUE(m_messages->messages().empty());
  EXPECT_TRUE(std::filesystem::exists(m_dir.file("loader ran")));
  EXPECT_TRUE(disabledMeanwhile);
  EXPECT_TRUE(Frame()->IsWindowEnabled());
}

TEST_F(ShellCommands, MailAttachesTheSavedProjectWholeAndNeverAnUntitledOne) {
  // Untitled: nothing to attach, the box is off.
  ASSERT_TRUE(RunModal<CProductSupportDlg>(ID_PRODUCT_SUPPORT, [](CProductSupportDlg& dlg) {
    EXPECT_FALSE(dlg.GetDlgItem(205)->IsWindowEnabled());
    dlg.EndDialog(IDOK);
  }));
  const std::string path = m_dir.file("Projects/mail test.zcf");
  m_dialogs.QueueAnswer(path);
  Command(ID_FILE_SAVE);
  ASSERT_EQ(Doc()->GetPathName(), path);
  ASSERT_EQ(Doc()->RenameSwitch(0, "Changed"), kProjectOk);
  // Modified: offered to be saved first; Yes saves, then the whole file goes.
  m_messages->QueueAnswer(IDYES);
  ASSERT_TRUE(RunModal<CProductSupportDlg>(ID_PRODUCT_SUPPORT, [](CProductSupportDlg& dlg) {
    ASSERT_TRUE(dlg.GetDlgItem(205)->IsWindowEnabled());
    dlg.CheckDlgButton(205, BST_CHECKED);
    dlg.SendMessage(RegisterWindowMessage("SupportMail"));
    dlg.EndDialog(IDOK);
  }));
  ASSERT_EQ(m_mail.sent().size(), 1u);
  EXPECT_EQ(m_mail.sent()[0].attachment, path);
  EXPECT_FALSE(Doc()->IsModified());
  EXPECT_NE(ReadText(path).find("Changed"), std::string::npos);
}

TEST_F(ShellCommands, EveryDialogCommandOpensItsDialogOverTheMainWindow) {
  // The tools talk to a capture library with one empty network.
  fw::emu::CFakeCapture capture(fw::SteadyClock());
  capture.AddDevice("veth-test", "test network", fw::MacAddress{2, 0, 0, 0, 0, 1});
  SetToolCommEnv(CToolCommEnv{&capture, nullptr, nullptr, nullptr});
  Profile().WriteProfileInt("Settings", "find all wait limit", 50);
  std::ofstream(m_dir.file("ringeerom.txt")) << "$20-$3F,Switch name\n";
  struct Case {
    unsigned id;
    std::function<bool(CWnd*)> is;
  };
  auto kind = [](auto* typed) {
    return [](CWnd* w) { return dynamic_cast<decltype(typed)>(w) != nullptr; };
  };
  const int withMac = RowOf("RS_12_AB_EF");
  const std::vector<std::pair<int, Case>> cases = {
      {-1, {ID_CONFIG_ADD, kind(static_cast<CCfgPSheet*>(nullptr))}},
      {-1, {ID_AUTO_FIND_SWITCHES, kind(static_cast<CFindSwitchesDlg*>(nullptr))}},
      {-1, {ID_OUTPUT_TO_FILE, kind(static_cast<COutputFileDlg*>(nullptr))}},
      {-1, {ID_MONITOR_NETWORKS, kind(static_cast<CNetMonitorDlg*>(nullptr))}},
      {-1, {ID_APP_ABOUT, kind(static_cast<CAboutDlg*>(nullptr))}},
      {-1, {ID_DEBUG_EEROM, kind(static_cast<CEeromDebugDlg*>(nullptr))}},
      {-1, {ID_TEST_COMM, kind(static_cast<CTestCommDlg*>(nullptr))}},
      {withMac, {ID_CONFIG_EDIT, kind(static_cast<CCfgPSheet*>(nullptr))}},
      {withMac, {ID_CONFIG_COPY, kind(static_cast<CCopyCfgDlg*>(nullptr))}},
      {withMac, {ID_UPDATE_RING_FIRMWARE, kind(static_cast<CFirmwareUpdateDlg*>(nullptr))}},
      {withMac, {ID_SWITCH_STATUS, kind(static_cast<CSwitchStatusDlg*>(nullptr))}},
      {withMac, {ID_SWITCH_RECOVER, kind(static_cast<CRecoverSwitchDlg*>(nullptr))}},
  };
  for (const auto& item : cases) {
    const int row = item.first;
    const auto& c = item.second;
    SCOPED_TRACE(c.id);
    Activate(Frame()->widget());
    if (row >= 0) ClickCell(Switches(), 0, row);
    bool right = false, owned = false;
    ASSERT_TRUE(RunModal<CDialog>(c.id, [&](CDialog& dlg) {
      right = c.is(&dlg);
      owned = dlg.widget()->parentWidget() == Frame()->widget();
      dlg.EndDialog(IDCANCEL);
    }));
    EXPECT_TRUE(right);
    EXPECT_TRUE(owned);
    Drain();
  }
  // Wink looks for the switch before it shows itself; on this empty network
  // it says that it is not there.
  m_messages->clear();
  Activate(Frame()->widget());
  ClickCell(Switches(), 0, withMac);
  Command(ID_SWITCH_WINK);
  EXPECT_EQ(m_messages->count(), 1u);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  SetToolCommEnv(CToolCommEnv{});
}

TEST_F(ShellCommands, TheAboutBoxShowsTheProgramsVersionValues) {
  ASSERT_TRUE(RunModal<CAboutDlg>(ID_APP_ABOUT, [](CAboutDlg& dlg) {
    EXPECT_EQ(dlg.GetWindowText(), "fenwardle");
    EXPECT_EQ(dlg.GetDlgItemText(CAboutDlg::kProductNameId), "fenwardle");
    EXPECT_EQ(dlg.GetDlgItemText(CAboutDlg::kProductVersionId), "0.1.0.0");
    EXPECT_EQ(dlg.GetDlgItemText(CAboutDlg::kCopyrightId).rfind("Copyright", 0), 0u);
    EXPECT_FALSE(dlg.GetDlgItemText(CAboutDlg::kBuildDateId).empty());
    dlg.EndDialog(IDOK);
  }));
}

TEST_F(ShellCommands, HelpOpensTheHelpPageAtItsTopicOrSaysThereIsNone) {
  // F1 on the main window answers as Index does, at the window's topic where the page has one.
  auto f1 = [this] {
    QTest::keyClick(Frame()->widget()->windowHandle(), Qt::Key_F1);
    Drain();
  };
  Command(ID_HELP_INDEX);
  f1();
  ASSERT_EQ(m_messages->count(), 2u);
  for (const auto& m : m_messages->messages())
    EXPECT_EQ(m.text, LoadResString(IDS_NO_HELP_INSTALLED));
  m_messages->clear();
  Stop();
  std::ofstream(m_dir.file("fenwardl.html")) << "<html></html>";
  ASSERT_TRUE(Start());
  Command(ID_HELP_GETTING_STARTED);
  Command(ID_HELP_INDEX);
  Command(ID_HELP_APPLICATION_TIPS);
  f1();
  std::ofstream(m_dir.file("fenwardl.html")) << "<h1 id=\"ctx-20080\">The main window</h1>";
  f1();
  EXPECT_TRUE(m_messages->messages().empty());
  const std::vector<std::string> opened = m_shell.opened();
  ASSERT_EQ(opened.size(), 5u);
  EXPECT_NE(opened[0].find("fenwardl.html#ctx-1006e"), std::string::npos) << opened[0];
  EXPECT_EQ(opened[1].find('#'), std::string::npos) << opened[1];
  EXPECT_NE(opened[2].find("#ctx-18013"), std::string::npos) << opened[2];
  EXPECT_EQ(opened[3], opened[1]);
  EXPECT_NE(opened[4].find("fenwardl.html#ctx-20080"), std::string::npos) << opened[4];
}

TEST_F(ShellCommands, TheFileMenuListsTheRecentProjects) {
  auto fileMenu = [&] {
    CMenu* file = Frame()->GetMenu()->GetSubMenu(0);
    Frame()->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file->m_hMenu), 0);
    std::vector<std::string> texts;
    for (int i = 0; i < file->GetMenuItemCount(); ++i) {
      std::string t;
      file->GetMenuString(static_cast<UINT>(i), t, MF_BYPOSITION);
      texts.push_back(t);
    }
    return texts;
  };
  auto has = [](const std::vector<std::string>& v, const std::string& t) {
    return std::find(v.begin(), v.end(), t) != v.end();
  };
  EXPECT_TRUE(has(fileMenu(), "Recent File"));
  Doc()->SetModifiedFlag(false);
  const std::string one = WriteProject(m_dir.file("one.zcf"), "One", "A");
  const std::string two = WriteProject(m_dir.file("two.zcf"), "Two", "B");
  ASSERT_NE(m_app->OpenDocumentFile(one), nullptr);
  ASSERT_NE(m_app->OpenDocumentFile(two), nullptr);
  const std::vector<std::string> texts = fileMenu();
  EXPECT_TRUE(has(texts, "&1 two.zcf"));
  EXPECT_TRUE(has(texts, "&2 one.zcf"));
  EXPECT_FALSE(has(texts, "Recent File"));
  Command(ID_FILE_MRU_FILE1 + 1);
  EXPECT_EQ(Doc()->GetPathName(), one);
}

// ---------------------------------------------------------------- one copy, and never two programs

class ShellInstances : public ShellTest {
 protected:
  // Another process in the same user's folders; it gets no input.
  int RunOther(const char* program, const QStringList& args, int boundMs = 30000) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ASAN_OPTIONS", "detect_leaks=0");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!WaitFor([&] { return p.state() == QProcess::NotRunning; }, boundMs)) {
      p.kill();
      p.waitForFinished(5000);
      return -1;
    }
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  }
};

TEST_F(ShellInstances, ASecondStartBringsTheFirstForwardAndTheMonitorIsRefused) {
  ASSERT_TRUE(Start());
  Frame()->widget()->showMinimized();
  Drain();
  // The real program, started again: it ends at once and without a word.
  EXPECT_EQ(RunOther(FW_FENWARDLE, {}), 0);
  EXPECT_TRUE(WaitFor([&] { return !Frame()->widget()->isMinimized(); }));
  // What the status monitor asks before it starts.
  EXPECT_EQ(RunOther(FW_PROGRAM_PROBE, {"fenwardle"}), 4);
  Stop();
  EXPECT_EQ(RunOther(FW_PROGRAM_PROBE, {"fenwardle"}), 0);
}

TEST_F(ShellInstances, TheProgramDoesNotStartBesideTheMonitor) {
  QProcess monitor;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("ASAN_OPTIONS", "detect_leaks=0");
  env.insert("QT_QPA_PLATFORM", "offscreen");
  monitor.setProcessEnvironment(env);
  monitor.start(FW_INSTANCE_HELPER, {"calvenor"});
  ASSERT_TRUE(WaitFor([&] { return monitor.canReadLine(); }, 15000));
  EXPECT_FALSE(Start());
  ASSERT_EQ(m_messages->count(), 1u);
  EXPECT_EQ(m_messages->messages()[0].text, LoadResString(IDS_MONITOR_WINDOW_OPEN));
  EXPECT_EQ(m_messages->messages()[0].caption, LoadResString(IDS_CANNOT_RUN));
  Stop();
  // The refused start gave the class up again.
  EXPECT_EQ(RunOther(FW_PROGRAM_PROBE, {"fenwardle"}), 0);
  monitor.closeWriteChannel();
  monitor.waitForFinished(10000);
}

// ---------------------------------------------------------------- the menu and the window

TEST_F(Shell, OptionalItemsGoByTheirCommandWhicheverFileIsMissing) {
  auto items = [&](unsigned id) {
    return Frame()->OwnerDrawMenu()->GetMenuState(id, MF_BYCOMMAND) != kMenuItemMissing;
  };
  struct Case {
    bool eerom, loader;
  };
  for (Case c : {Case{false, false}, Case{true, false}, Case{false, true}, Case{true, true}}) {
    std::error_code ec;
    std::filesystem::remove(m_dir.file("ringeerom.txt"), ec);
    std::filesystem::remove(m_dir.file("zvfirmwareload"), ec);
    if (c.eerom) std::ofstream(m_dir.file("ringeerom.txt")) << "$20-$3F,Switch name\n";
    if (c.loader) std::ofstream(m_dir.file("zvfirmwareload")) << "#!/bin/sh\n";
    ASSERT_TRUE(Start());
    SCOPED_TRACE(std::to_string(c.eerom) + std::to_string(c.loader));
    EXPECT_EQ(items(ID_DEBUG_EEROM), c.eerom);
    EXPECT_EQ(items(ID_UPDATE_MANAGED_FIRMWARE), c.loader);
    // The other items stay, Advanced's two as well.
    for (unsigned id : {ID_UPDATE_RING_FIRMWARE, ID_SWITCH_RECOVER, ID_SWITCH_WINK,
                        ID_SWITCH_STATUS, ID_SWITCH_DELETE, ID_MONITOR_NETWORKS})
      EXPECT_TRUE(items(id)) << id;
    Stop();
  }
}

TEST_F(Shell, EachLanguageStartsWithItsOwnMenu) {
  const std::vector<std::pair<std::string, std::string>> languages = {
      {"english", "&File"}, {"german", "&Datei"}, {"French", "&Fichier"}};
  for (const auto& [language, file] : languages) {
    Saved()->WriteProfileString("settings", "language", language);
    ASSERT_TRUE(Start()) << language;
    std::string text;
    Frame()->GetMenu()->GetMenuString(0, text, MF_BYPOSITION);
    EXPECT_EQ(text, file) << language;
    auto* bar = qobject_cast<QMainWindow*>(Frame()->widget())->menuBar();
    ASSERT_FALSE(bar->actions().isEmpty());
    EXPECT_EQ(bar->actions()[0]->text().toStdString(), file) << language;
    Stop();
  }
}

TEST_F(Shell, ThePositionIsTheRestoredOneAndOffScreenOnesAreNeitherKeptNorUsed) {
  ASSERT_TRUE(Start());
  Frame()->widget()->setGeometry(60, 70, 640, 380);
  // The window keeps the room its toolbar needs: what it got is what counts.
  const QRect restored = Frame()->widget()->geometry();
  Frame()->widget()->showMaximized();
  Drain();
  Stop();
  EXPECT_EQ(Saved()->GetProfileInt("Settings", "WindowLeft", -1), 60);
  EXPECT_EQ(Saved()->GetProfileInt("Settings", "WindowTop", -1), 70);
  EXPECT_EQ(Saved()->GetProfileInt("Settings", "WindowRight", -1), 60 + restored.width());
  EXPECT_EQ(Saved()->GetProfileInt("Settings", "WindowBottom", -1), 70 + restored.height());
  // The next start takes its place.
  ASSERT_TRUE(Start());
  EXPECT_EQ(Frame()->widget()->geometry().topLeft(), QPoint(60, 70));
  // Moved off every screen: nothing is written.
  Frame()->widget()->setGeometry(-5000, -5000, 300, 200);
  Stop();
  EXPECT_EQ(Saved()->GetProfileInt("Settings", "WindowLeft", -1), 60);
  // A right edge left of the left one: the fallback size at the stored place.
  Saved()->WriteProfileInt("Settings", "WindowRight", 10);
  ASSERT_TRUE(Start());
  EXPECT_EQ(Frame()->widget()->geometry().topLeft(), QPoint(60, 70));
  EXPECT_EQ(Frame()->widget()->height(), CMainFrame::kFallbackHeight);
}

}  // namespace
}  // namespace fwtest
