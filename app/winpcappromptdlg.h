// The prompt at start-up when the capture library is too old: go on without
// communication (IDOK) or end the program (IDCANCEL). The link opens the
// library's web page and ends the prompt as Cancel.
#pragma once

#include <string>

#include "platform/gui/dialog.h"
#include "toolkit/colorstatic.h"

class CWinPcapPromptDlg : public CDialog {
 public:
  static constexpr unsigned IDD = 158;
  static constexpr int kLinkId = 1104;
  static constexpr int kMessageId = 1105;
  static constexpr int kLinkCursorId = 28020;

  explicit CWinPcapPromptDlg(CWnd* parent = nullptr);

  // Set by the caller before the prompt runs (CaptureIncompatibleMessage).
  // Before the dialog is made: it is sized for the message.
  void SetMessage(const std::string& text);

  CColorStatic m_link;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  bool OnInitDialog() override;
  bool OnNotify(WPARAM w, LPARAM l, LRESULT* result) override;

 private:
  std::string m_message;
};
