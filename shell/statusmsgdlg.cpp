#include "shell/statusmsgdlg.h"

#include "platform/resstring.h"
#include "switch/operationui.h"

CStatusMsgDlg::CStatusMsgDlg(CWnd* parent) : CDialog(IDD, parent) {
  // What loading a configuration says on the way.
  for (unsigned id : optext::kStatusTexts) FitText(kMessageId, LoadResString(id));
}

bool CStatusMsgDlg::Create() {
  return CDialog::Create(IDD, m_parentWnd);
}

void CStatusMsgDlg::SetMessage(const std::string& text) {
  SetDlgItemText(kMessageId, text);
}

CShellOperationUi::CShellOperationUi(CWnd* parent) : COpsOperationUi(parent), m_parent(parent) {}

CShellOperationUi::~CShellOperationUi() {
  HideStatus();
}

void CShellOperationUi::ShowStatus(const std::string& text) {
  if (!m_status || !m_status->IsWindow()) {
    m_status = std::make_unique<CStatusMsgDlg>(m_parent);
    if (!m_status->Create()) return;
    m_status->CenterWindow();
  }
  m_status->SetMessage(text);
  m_status->ShowWindow(SW_SHOW);
  m_status->UpdateWindow();
}

void CShellOperationUi::HideStatus() {
  if (m_status && m_status->IsWindow()) (void)m_status->DestroyWindow();
  m_status.reset();
}
