#include "monitor/calvenorapp.h"

#include <filesystem>

#include "monitor/calvenordoc.h"
#include "monitor/calvenorframe.h"
#include "monitor/calvenorview.h"
#include "monitor/startup.h"
#include "platform/gui/doctemplate.h"
#include "platform/message.h"
#include "res/string_ids.h"
#include "shell/commandids.h"
#include "shell/productsupportdlg.h"
#include "shell/startup.h"
#include "switch/switchconfigstore.h"

namespace {

// The help of the main window itself (F1 on it).
constexpr std::uint32_t kMainFrameHelpContext = kHelpDialogBase + IDR_MONITORFRAME;
constexpr std::uint32_t kSoftwareLicenseContext = 0x1006F;

// The monitor keeps no file: whatever the command line holds, it starts
// with a new, empty document.
class CMonitorCommandLineInfo : public CCommandLineInfo {
 public:
  void ParseParam(const std::string&, bool) override {}
};

}  // namespace

CCalvenorApp* CalvenorApp() {
  return dynamic_cast<CCalvenorApp*>(AfxGetApp());
}

CCalvenorApp::CCalvenorApp(std::vector<std::string> args)
    : CShellApp("calvenor", std::move(args), kMainFrameHelpContext) {
  SetCommandHandler(ID_PRODUCT_SUPPORT, [this] { OnProductSupport(); });
  SetCommandHandler(ID_HELP_SOFTWARE_LICENSE,
                    [this] { WinHelp(kSoftwareLicenseContext, HELP_CONTEXT); });
}

CCalvenorApp::~CCalvenorApp() = default;

CCalvenorFrame* CCalvenorApp::MainFrame() const {
  return dynamic_cast<CCalvenorFrame*>(m_pMainWnd);
}

bool CCalvenorApp::InitInstance() {
  if (!RunsAlone(IDR_MONITORFRAME, "fenwardle", IDS_CONFIG_PROGRAM_RUNNING)) return false;
  // The company names the folder that "zvinfo.ini" and the settings share.
  m_strCompanyName = fw::ProgramCompanyName();
  if (!fw::SelectMonitorLanguage(fw::MonitorInfoPath(m_strCompanyName), fw::GetProgramFolder()))
    return false;
  m_bSearching = 0;
  SetRegistryKey(m_strCompanyName);
  fw::ApplyMonitorFirstRunDefaults(Profile());
  ReportProfileProblem();

  std::error_code ec;
  const bool customized = std::filesystem::exists(fw::GetCustomizeFilePath(), ec);
  InstallHelpFile(fw::ChooseMonitorHelpFile(fw::GetProgramFolder(), customized));

  if (!fw::CheckRequiredFile(fw::GetProgramFolder())) return false;
  LoadStdProfileSettings(4);

  // The offered models are built before any search's worker reads them.
  CSwitchConfigStore::EnsureOfferedModels(1);
  AddDocTemplate(std::make_unique<CSingleDocTemplate>(
      IDR_MONITORFRAME, [] { return std::make_unique<CCalvenorDoc>(); },
      [] { return std::make_unique<CCalvenorFrame>(); },
      [] { return std::make_unique<CCalvenorView>(); }));

  m_strTargetMac = fw::TargetMacFromArguments(m_args);
  CMonitorCommandLineInfo cmdInfo;
  ParseCommandLine(cmdInfo, m_args);
  if (!ProcessShellCommand(cmdInfo)) return false;
  CCalvenorFrame* frame = MainFrame();
  if (!frame) return false;
  ShowMainWindow(*frame, 0);
  frame->StartStartupTimer();
  // The first search runs by itself once the window is up.
  return frame->PostMessage(WM_COMMAND, ID_FIND_SWITCHES_ON_NETWORK);
}

void CCalvenorApp::OnProductSupport() {
  std::error_code ec;
  const std::string customize = fw::GetCustomizeFilePath();
  if (fw::ChooseSupportDialog(std::filesystem::exists(customize, ec), m_strCompanyName) ==
      fw::SupportDialogKind::kMaker) {
    CProductSupportDlg dlg({}, true, m_pMainWnd);
    (void)dlg.DoModal();
    return;
  }
  COemSupportDlg dlg(fw::GetProgramFolder(), customize, m_strCompanyName, m_pMainWnd);
  (void)dlg.DoModal();
}
