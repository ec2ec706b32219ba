// The status monitor's application object: start-up (one copy only, never
// beside the configuration program, the language, the first-run settings,
// the help file, the document template, the switch named on the command
// line), the search queued for when the window is up, help and About.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/gui/winapp.h"
#include "shell/help.h"

class CCalvenorFrame;
class CSwitchOpsWindows;

class CCalvenorApp : public CWinApp {
 public:
  // args: the command line, the program first.
  explicit CCalvenorApp(std::vector<std::string> args = {});
  ~CCalvenorApp() override;

  bool InitInstance() override;
  int ExitInstance() override;
  void WinHelp(std::uint32_t data, unsigned command) override;

  const std::string& CompanyName() const { return m_strCompanyName; }
  CCalvenorFrame* MainFrame() const;
  CHelpFileService& HelpFileService() { return m_help; }

  void OnAppAbout();
  void OnProductSupport();

  // 1 while a search runs: the window does not close, and the commands that
  // start a search or act on a row wait.
  int m_bSearching = 0;
  // The switch whose status opens by itself after the first search ("-mac=").
  std::string m_strTargetMac;

 private:
  std::vector<std::string> m_args;
  std::string m_strCompanyName;
  CHelpFileService m_help;
  std::unique_ptr<CSwitchOpsWindows> m_switchOps;
};

// The running monitor's application object, or null.
CCalvenorApp* CalvenorApp();
