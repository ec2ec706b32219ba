// What a hyperlink does when clicked: open an address through the link
// service (web and mail addresses only), or send a message to one window of
// this program. Failures carry an error code and are shown on request.
#pragma once

#include <QPointer>
#include <QWidget>
#include <string>

#include "platform/gui/wnd.h"

// A target window that stands for "every top-level window"; refused.
inline const HWND HWND_BROADCAST = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0xFFFF));

class CHyperLinkTarget {
 public:
  // Action types.
  enum : int {
    kLinkNone = 0,     // nothing; always succeeds
    kLinkMessage = 1,  // send the message to the target window
    kLinkOpen = 2,     // open the file (address) with the shell's "open"
    kLinkEdit = 3,
    kLinkPrint = 4,
    kLinkMail = 5,  // the file is a mail address: "mailto:" + file, then open
  };
  // Last error: -1 none, -2 unknown action, -3 the window did not answer,
  // 0..32 the shell's error codes.
  enum : int {
    kLinkNoError = -1,
    kLinkUnknownAction = -2,
    kLinkNoResponse = -3,
    kShellOutOfResources = 0,
    kShellFileNotFound = 2,
    kShellPathNotFound = 3,
    kShellAccessDenied = 5,
    kShellNoAssociation = 31,
  };

  CHyperLinkTarget() = default;
  virtual ~CHyperLinkTarget() = default;
  CHyperLinkTarget(const CHyperLinkTarget& other);
  CHyperLinkTarget& operator=(const CHyperLinkTarget& other);

  void Set(int type, const std::string& file, const std::string& parameters = {},
           const std::string& directory = {}, int showCommand = SW_SHOWNORMAL, UINT message = 0,
           HWND target = nullptr);
  // Non-zero on success; a failure with report runs ReportError.
  [[nodiscard]] bool Execute(bool report);
  // Beeps and shows the last error's text with a stop icon (nothing for -1).
  virtual void ReportError();

  int type() const { return m_nType; }
  const std::string& file() const { return m_strFile; }
  void setFile(const std::string& file) { m_strFile = file; }
  int lastError() const { return m_nLastError; }
  std::intptr_t instanceResult() const { return m_hInstance; }
  // The text ReportError shows for an error code.
  static std::string ErrorText(int error, int type);

  CWnd* m_pOwner = nullptr;

 private:
  bool ShellAction(const std::string& file);

  int m_nType = kLinkOpen;
  std::string m_strFile;
  std::string m_strParameters;
  std::string m_strDirectory;
  int m_nShowCommand = SW_SHOWNORMAL;
  UINT m_nMessage = 0;
  QPointer<QWidget> m_hTarget;
  bool m_broadcast = false;
  int m_nLastError = kLinkNoError;
  std::intptr_t m_hInstance = 0;
};
