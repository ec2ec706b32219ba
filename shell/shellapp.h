// What the application objects of both programs share: one copy per user and
// never beside the other program, the help page that answers help requests,
// the switch operations' windows over the main window, and the About box.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/winapp.h"
#include "shell/help.h"

class CFrameWnd;
class CSwitchOpsWindows;
namespace fw {
class CFileSyncHold;
}

class CShellApp : public CWinApp {
 public:
  ~CShellApp() override;

  int ExitInstance() override;
  // The help page at the topic of `data`; the index for the index commands.
  void WinHelp(std::uint32_t data, unsigned command) override;

  const std::string& CompanyName() const { return m_strCompanyName; }
  void OnAppAbout();

 protected:
  // args: the command line, the program first. mainFrameHelpContext: the
  // main window's own help context, which opens the page at its topic if
  // the page has one, else at its start.
  CShellApp(std::string appName, std::vector<std::string> args, std::uint32_t mainFrameHelpContext);

  // One copy per user (a second one brings the first forward) and never
  // beside `otherProgram`, which is told with `refusalTextId`. False: this
  // copy ends.
  [[nodiscard]] bool RunsAlone(unsigned frameId, const char* otherProgram, unsigned refusalTextId);
  // The help page at `path` (empty: none installed) answers help requests.
  void InstallHelpFile(const std::string& path);
  // Shows the main window, makes it the one a second copy brings forward and
  // puts the switch operations' windows over it. showMessages: tell the user
  // of a bad customisation file.
  void ShowMainWindow(CFrameWnd& frame, int showMessages);

  std::vector<std::string> m_args;
  std::string m_strCompanyName;

 private:
  std::uint32_t m_mainFrameHelpContext;
  CHelpFileService m_help;
  std::unique_ptr<CSwitchOpsWindows> m_switchOps;
  // From the start until the main window is painted: no wait for the disk.
  std::unique_ptr<fw::CFileSyncHold> m_startSyncs;
};
