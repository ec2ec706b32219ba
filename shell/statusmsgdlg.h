// A captionless one-line message window, shown while operations on several
// switches run, and the operations' windows with it.
#pragma once

#include <memory>
#include <string>

#include "platform/gui/dialog.h"
#include "tools/opsoperationui.h"

class CStatusMsgDlg : public CDialog {
 public:
  static constexpr unsigned IDD = 143;
  static constexpr int kMessageId = 1027;

  explicit CStatusMsgDlg(CWnd* parent = nullptr);
  // Creates the window (hidden; the caller shows it).
  bool Create();
  void SetMessage(const std::string& text);
};

// The operations' windows of the configuration program: those of the tools,
// and this window for their one-line messages, made on first use.
class CShellOperationUi : public COpsOperationUi {
 public:
  explicit CShellOperationUi(CWnd* parent = nullptr);
  ~CShellOperationUi() override;
  void ShowStatus(const std::string& text) override;
  void HideStatus() override;
  CStatusMsgDlg* status() { return m_status.get(); }

 private:
  CWnd* m_parent;
  std::unique_ptr<CStatusMsgDlg> m_status;
};
