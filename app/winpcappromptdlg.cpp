#include "app/winpcappromptdlg.h"

#include "platform/gui/services.h"
#include "platform/resstring.h"
#include "res/string_ids.h"

CWinPcapPromptDlg::CWinPcapPromptDlg(CWnd* parent) : CDialog(IDD, parent) {
  FitText(IDOK, LoadResString(IDS_CONTINUE));
  FitText(kLinkId, LoadResString(IDS_CAPTURE_SITE_NAME));
}

void CWinPcapPromptDlg::SetMessage(const std::string& text) {
  m_message = text;
  FitText(kMessageId, text);
}

void CWinPcapPromptDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, kLinkId, m_link);
}

bool CWinPcapPromptDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetDlgItemText(IDOK, LoadResString(IDS_CONTINUE));
  SetDlgItemText(kMessageId, m_message);
  m_link.SetTextColor(RGB(0, 0, 255))
      .SetUnderline(true)
      .SetLink(true, true)
      .SetLinkCursor(LoadCursor(nullptr, kLinkCursorId))
      .SetText(LoadResString(IDS_CAPTURE_SITE_NAME));
  return true;
}

bool CWinPcapPromptDlg::OnNotify(WPARAM w, LPARAM l, LRESULT* result) {
  const auto* hdr = reinterpret_cast<const NMHDR*>(l);
  if (hdr && hdr->idFrom == static_cast<UINT_PTR>(kLinkId) &&
      hdr->code == CColorStatic::kLinkClicked) {
    (void)fw::ShellOpen(LoadResString(IDS_CAPTURE_SITE_URL));  // as a click on plain text
    EndDialog(IDCANCEL);
    return true;
  }
  return CDialog::OnNotify(w, l, result);
}
