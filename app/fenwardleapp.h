// The configuration program's application object: start-up (one copy only,
// never beside the status monitor, the language, the capture library, the
// first-run settings, the help file, the document template and the command
// line), the help dispatcher and the About box.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/captureprobe.h"
#include "shell/shellapp.h"

class CMainFrame;

class CFenwardleApp : public CShellApp {
 public:
  // The help context of the main frame (its F1).
  static constexpr unsigned kMainFrameHelpContext = 0x20080;
  static constexpr unsigned kApplicationTipsContext = 0x18013;

  // args: the command line, the program first.
  explicit CFenwardleApp(std::vector<std::string> args = {});
  ~CFenwardleApp() override;

  bool InitInstance() override;

  const std::string& Language() const { return m_language; }
  const CaptureProbe& Capture() const { return m_capture; }
  CMainFrame* MainFrame() const;

  // The capture-library check; tests give the answer.
  void SetCaptureProbe(std::function<CaptureProbe()> probe) { m_probe = std::move(probe); }

 private:
  std::string m_language;
  CaptureProbe m_capture;
  std::function<CaptureProbe()> m_probe;
};
