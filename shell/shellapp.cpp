#include "shell/shellapp.h"

#include <QEvent>
#include <QWidget>
#include <functional>

#include "platform/atomicfile.h"
#include "platform/gui/framewnd.h"
#include "platform/gui/help.h"
#include "platform/gui/singleinstance.h"
#include "platform/message.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"
#include "shell/aboutdlg.h"
#include "shell/commandids.h"
#include "shell/switchopswindows.h"

namespace {

// Runs `then` from the event loop once the window has had its first paint,
// i.e. after that paint went to the screen; not at all when the window goes
// first.
void AfterFirstPaint(QWidget* window, std::function<void()> then) {
  class CFirstPaint : public QObject {
   public:
    CFirstPaint(QWidget* window, std::function<void()> then)
        : QObject(window), m_then(std::move(then)) {
      window->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
      if (event->type() == QEvent::Paint && m_then) {
        QMetaObject::invokeMethod(watched, std::move(m_then), Qt::QueuedConnection);
        m_then = nullptr;
        deleteLater();
      }
      return false;
    }

   private:
    std::function<void()> m_then;
  };
  new CFirstPaint(window, std::move(then));  // owned by the window
}

}  // namespace

CShellApp::CShellApp(std::string appName, std::vector<std::string> args,
                     std::uint32_t mainFrameHelpContext)
    : CWinApp(std::move(appName)),
      m_args(std::move(args)),
      m_mainFrameHelpContext(mainFrameHelpContext),
      m_startSyncs(std::make_unique<fw::CFileSyncHold>()) {
  SetCommandHandler(ID_APP_ABOUT, [this] { OnAppAbout(); });
  // The main frame's own help comes first on the route; this one never shows.
  SetCommandHandler(ID_HELP, [] {});
}

CShellApp::~CShellApp() {
  if (fw::HelpService() == &m_help) fw::SetHelpService(nullptr);
}

bool CShellApp::RunsAlone(unsigned frameId, const char* otherProgram, unsigned refusalTextId) {
  if (!CheckSingleInstance(frameId, m_pszAppName)) return false;
  if (FindProgramWindow(otherProgram)) {
    MessageBoxCaption(LoadResString(refusalTextId), LoadResString(IDS_CANNOT_RUN),
                      MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  return true;
}

void CShellApp::InstallHelpFile(const std::string& path) {
  m_help.SetPath(path);
  m_pszHelpFilePath = m_help.path();
  fw::SetHelpService(&m_help);
}

void CShellApp::ShowMainWindow(CFrameWnd& frame, int showMessages) {
  frame.ShowWindow(SW_SHOW);
  frame.UpdateWindow();
  // The settings written on the way reach the disk once the window is up.
  AfterFirstPaint(frame.widget(), [this] { m_startSyncs.reset(); });
  fw::SetInstanceWindow(frame.widget());
  // The operations' waits keep the main window painting.
  m_switchOps = StartSwitchOperations(&frame, showMessages);
}

int CShellApp::ExitInstance() {
  // The documents and their windows go while the settings are still there,
  // then the operations' windows.
  SetDocManager(nullptr);
  m_switchOps.reset();
  m_startSyncs.reset();
  UnregisterMainWindowClass();
  fw::SetInstanceWindow(nullptr);
  return CWinApp::ExitInstance();
}

void CShellApp::WinHelp(std::uint32_t data, unsigned command) {
  if (fw::EqualsNoCase(m_strCompanyName, "tarn")) {
    CWinApp::WinHelp(data, command);
    return;
  }
  if (command == HELP_INDEX || command == HELP_FINDER) {
    (void)m_help.ShowIndex();  // tells the user when there is none
    return;
  }
  // The main window's own help (F1 on it) answers as the index does, at the
  // window's topic where the page has one.
  if (data == m_mainFrameHelpContext) {
    (void)m_help.ShowTopicOrIndex(data);
    return;
  }
  (void)m_help.ShowContext(data);
}

void CShellApp::OnAppAbout() {
  CAboutDlg about(m_pMainWnd);
  (void)about.DoModal();
}
