// The status monitor's application object: start-up (one copy only, never
// beside the configuration program, the language, the first-run settings,
// the help file, the document template, the switch named on the command
// line), the search queued for when the window is up, help and About.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "shell/shellapp.h"

class CCalvenorFrame;

class CCalvenorApp : public CShellApp {
 public:
  // args: the command line, the program first.
  explicit CCalvenorApp(std::vector<std::string> args = {});
  ~CCalvenorApp() override;

  bool InitInstance() override;

  CCalvenorFrame* MainFrame() const;
  void OnProductSupport();

  // 1 while a search runs: the window does not close, and the commands that
  // start a search or act on a row wait.
  int m_bSearching = 0;
  // The switch whose status opens by itself after the first search ("-mac=").
  std::string m_strTargetMac;
};

// The running monitor's application object, or null.
CCalvenorApp* CalvenorApp();
