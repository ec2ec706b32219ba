// What both programs set up at start-up for the switch operations: the list
// of offered models (built before any worker thread reads it), waits that
// keep the windows painting, and the windows the operations show (searching
// window, one-line status window, progress dialog, cycle power prompt).
#pragma once

#include <memory>

#include "shell/statusmsgdlg.h"

class CWnd;

class CSwitchOpsWindows {
 public:
  // Installs everything; the destructor takes it back.
  explicit CSwitchOpsWindows(CWnd* parent);
  CSwitchOpsWindows(const CSwitchOpsWindows&) = delete;
  CSwitchOpsWindows& operator=(const CSwitchOpsWindows&) = delete;
  ~CSwitchOpsWindows();

  CShellOperationUi& ui() { return m_ui; }

 private:
  CShellOperationUi m_ui;
};

// Called once by each program after its language is chosen; the result lives
// until the program ends. showMessages: tell the user of a bad customisation file.
[[nodiscard]] std::unique_ptr<CSwitchOpsWindows> StartSwitchOperations(CWnd* parent,
                                                                       int showMessages);
