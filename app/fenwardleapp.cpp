#include "app/fenwardleapp.h"

#include <filesystem>

#include "app/fenwardledocmanager.h"
#include "app/fenwardledoctemplate.h"
#include "app/mainframe.h"
#include "app/winpcappromptdlg.h"
#include "platform/message.h"
#include "platform/text.h"
#include "res/string_ids.h"
#include "shell/commandids.h"
#include "shell/startup.h"
#include "switch/switchconfigstore.h"

CFenwardleApp::CFenwardleApp(std::vector<std::string> args)
    : CShellApp("fenwardle", std::move(args), kMainFrameHelpContext), m_probe(ProbeCaptureLibrary) {
  SetCommandHandler(ID_HELP_APPLICATION_TIPS,
                    [this] { WinHelp(kApplicationTipsContext, HELP_CONTEXT); });
}

CFenwardleApp::~CFenwardleApp() = default;

CMainFrame* CFenwardleApp::MainFrame() const {
  return dynamic_cast<CMainFrame*>(m_pMainWnd);
}

bool CFenwardleApp::InitInstance() {
  // One copy per user; a second one brings the first forward and ends.
  if (!RunsAlone(IDR_MAINFRAME, "calvenor", IDS_MONITOR_WINDOW_OPEN)) return false;
  m_strCompanyName = fw::ProgramCompanyName();
  SetRegistryKey(m_strCompanyName);
  if (!fw::SelectLanguage(Profile(), fw::GetProgramFolder())) return false;
  m_language = fw::FoldCase(GetProfileString("settings", "language"));

  // Without the capture library the program runs, without communication.
  m_capture = m_probe ? m_probe() : CaptureProbe{};
  if (!m_capture.found) AfxMessageBox(CaptureMissingMessage(), MB_OK | MB_ICONEXCLAMATION);

  fw::ApplyFirstRunDefaults(Profile());
  LoadStdProfileSettings(4);
  // Start-up has written its settings by now: a settings file that cannot be
  // kept has shown itself, and the language to say so in is chosen.
  ReportProfileProblem();

  std::error_code ec;
  const bool customized = std::filesystem::exists(fw::GetCustomizeFilePath(), ec);
  InstallHelpFile(fw::ChooseHelpFile(fw::GetProgramFolder(), m_language, customized));

  if (!fw::CheckRequiredFile(fw::GetProgramFolder())) return false;

  // The offered models are built before any search's worker reads them.
  CSwitchConfigStore::EnsureOfferedModels(1);

  SetDocManager(std::make_unique<CFenwardleDocManager>());
  AddDocTemplate(std::make_unique<CFenwardleDocTemplate>());
  CCommandLineInfo cmdInfo;
  ParseCommandLine(cmdInfo, m_args);
  if (!ProcessShellCommand(cmdInfo)) {
    // A named file that did not open was told; the program goes on as if
    // started without it.
    if (cmdInfo.m_nShellCommand != CCommandLineInfo::FileOpen || MainFrame()) return false;
    OnFileNew();
  }
  CMainFrame* frame = MainFrame();
  if (!frame) return false;
  ShowMainWindow(*frame, 1);

  if (m_capture.incompatible) {
    CWinPcapPromptDlg prompt(frame);
    prompt.SetMessage(CaptureIncompatibleMessage(m_capture.versionText));
    if (prompt.DoModal() != IDOK) return false;
  }
  // Only now, with the user's go-ahead, may the last project open by itself.
  frame->StartStartupTimer();
  return true;
}
