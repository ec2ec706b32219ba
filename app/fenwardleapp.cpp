#include "app/fenwardleapp.h"

#include <filesystem>

#include "shell/aboutdlg.h"
#include "shell/commandids.h"
#include "app/fenwardledocmanager.h"
#include "app/fenwardledoctemplate.h"
#include "app/mainframe.h"
#include "shell/startup.h"
#include "shell/switchopswindows.h"
#include "app/winpcappromptdlg.h"
#include "platform/gui/singleinstance.h"
#include "platform/message.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"
#include "switch/switchconfigstore.h"

CFenwardleApp::CFenwardleApp(std::vector<std::string> args)
    : CWinApp("fenwardle"), m_args(std::move(args)), m_probe(ProbeCaptureLibrary) {
  SetCommandHandler(ID_APP_ABOUT, [this] { OnAppAbout(); });
  SetCommandHandler(ID_HELP_APPLICATION_TIPS,
                    [this] { WinHelp(kApplicationTipsContext, HELP_CONTEXT); });
  // The main frame's own help comes first on the route; this one never shows.
  SetCommandHandler(ID_HELP, [] {});
}

CFenwardleApp::~CFenwardleApp() {
  if (fw::HelpService() == &m_help) fw::SetHelpService(nullptr);
}

CMainFrame* CFenwardleApp::MainFrame() const {
  return dynamic_cast<CMainFrame*>(m_pMainWnd);
}

bool CFenwardleApp::InitInstance() {
  // One copy per user; a second one brings the first forward and ends.
  if (!CheckSingleInstance(IDR_MAINFRAME, m_pszAppName)) return false;
  if (FindProgramWindow("calvenor")) {
    MessageBoxCaption(LoadResString(IDS_MONITOR_WINDOW_OPEN), LoadResString(IDS_CANNOT_RUN),
                      MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  m_strCompanyName = fw::ProgramCompanyName();
  SetRegistryKey(m_strCompanyName);
  if (!fw::SelectLanguage(Profile(), fw::GetProgramFolder())) return false;
  m_language = fw::FoldCase(GetProfileString("settings", "language"));

  // Without the capture library the program runs, without communication.
  m_capture = m_probe ? m_probe() : CaptureProbe{};
  if (!m_capture.found) AfxMessageBox(CaptureMissingMessage(), MB_OK | MB_ICONEXCLAMATION);

  fw::ApplyFirstRunDefaults(Profile());
  LoadStdProfileSettings(4);

  std::error_code ec;
  const bool customized = std::filesystem::exists(fw::GetCustomizeFilePath(), ec);
  m_help.SetPath(fw::ChooseHelpFile(fw::GetProgramFolder(), m_language, customized));
  m_pszHelpFilePath = m_help.path();
  fw::SetHelpService(&m_help);

  if (!fw::CheckRequiredFile(fw::GetProgramFolder())) return false;

  // The offered models are built before any search's worker reads them.
  CSwitchConfigStore::EnsureOfferedModels(1);

  SetDocManager(std::make_unique<CFenwardleDocManager>());
  AddDocTemplate(std::make_unique<CFenwardleDocTemplate>());
  CCommandLineInfo cmdInfo;
  ParseCommandLine(cmdInfo, m_args);
  if (!ProcessShellCommand(cmdInfo)) return false;
  CMainFrame* frame = MainFrame();
  if (!frame) return false;
  frame->ShowWindow(SW_SHOW);
  frame->UpdateWindow();
  fw::SetInstanceWindow(frame->widget());
  // The switch operations show their windows over the main window, and
  // their waits keep it painting.
  m_switchOps = StartSwitchOperations(frame, 1);

  if (m_capture.incompatible) {
    CWinPcapPromptDlg prompt(frame);
    prompt.SetMessage(CaptureIncompatibleMessage(m_capture.versionText));
    if (prompt.DoModal() != IDOK) return false;
  }
  // Only now, with the user's go-ahead, may the last project open by itself.
  frame->StartStartupTimer();
  return true;
}

int CFenwardleApp::ExitInstance() {
  // The documents and their windows go while the settings are still there,
  // then the operations' windows.
  SetDocManager(nullptr);
  m_switchOps.reset();
  UnregisterMainWindowClass();
  fw::SetInstanceWindow(nullptr);
  return CWinApp::ExitInstance();
}

void CFenwardleApp::WinHelp(std::uint32_t data, unsigned command) {
  if (fw::EqualsNoCase(m_strCompanyName, "tarn")) {
    CWinApp::WinHelp(data, command);
    return;
  }
  if (command == HELP_INDEX || command == HELP_FINDER) {
    (void)m_help.ShowIndex();  // tells the user when there is none
    return;
  }
  if (data == kMainFrameHelpContext) return;
  (void)m_help.ShowContext(data);
}

void CFenwardleApp::OnAppAbout() {
  CAboutDlg about(m_pMainWnd);
  (void)about.DoModal();
}
