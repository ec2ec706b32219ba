#include "tools/outputfiledlg.h"

#include <utility>

#include "platform/gui/controls.h"
#include "platform/gui/help.h"
#include "platform/gui/services.h"
#include "platform/message.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "tools/compactpath.h"
#include "tools/projectdocument.h"
#include "tools/reportwriter.h"

namespace {
constexpr int kTypeId = 1003;
constexpr int kTypeLabelId = 1102;
constexpr int kDestLabelId = 1103;
constexpr int kPathId = 294;
constexpr int kBrowseId = 295;
constexpr int kHelpId = 3;

// The path without the extension of its file name.
std::string WithoutExtension(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
  return path.substr(0, dot);
}
// The labels and file types the dialog sets; it is sized for each.
constexpr std::pair<int, unsigned> kLabels[] = {{kTypeLabelId, IDS_FILE_TYPE},
                                                {kDestLabelId, IDS_DESTINATION_FILE}};
constexpr unsigned kFileTypes[] = {IDS_REPORT_CSV_FILE, IDS_REPORT_TAB_FILE, IDS_REPORT_TEXT_FILE};
}  // namespace

COutputFileDlg::COutputFileDlg(CWnd* parent, const IProjectDocument* doc)
    : CDialog(IDD, parent), m_doc(doc) {
  SetCommandHandler(kBrowseId, [this] { OnBrowse(); });
  SetCommandHandler(kHelpId, [] { fw::ShowHelp(kHelpDialogBase + IDD); });
  for (const auto& [id, text] : kLabels) FitText(id, LoadResString(text));
  for (unsigned id : kFileTypes) FitText(kTypeId, LoadResString(id));
}

bool COutputFileDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (auto* types = dynamic_cast<CComboBox*>(GetDlgItem(kTypeId)); types && types->GetCount() == 0)
    for (unsigned id : kFileTypes) types->AddString(LoadResString(id));
  for (const auto& [id, text] : kLabels) SetDlgItemText(id, LoadResString(text));
  (void)UpdateData(false);  // filling the controls validates nothing
  fw::CompactPath(m_strDestination, GetDlgItem(kPathId), fw::kCompactForwardSlashes);
  return true;
}

void COutputFileDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_CBIndex(dx, kTypeId, m_nFileType);
}

void COutputFileDlg::OnBrowse() {
  (void)UpdateData(true);  // a list choice: nothing to refuse
  const bool csv = m_nFileType == CReportWriter::kCsv;
  // A save prompt: the file is usually a new one, so it need not exist.
  CFileDialog dlg(false, csv ? "csv" : "txt", csv ? "*.csv" : "*.txt", OFN_HIDEREADONLY,
                  LoadResString(csv ? IDS_FILTER_CSV : IDS_FILTER_TEXT), this);
  dlg.m_ofn.title = LoadResString(IDS_SELECT_DESTINATION_FILE);
  // Beside the file chosen before; else where the project's files are.
  dlg.m_ofn.initialDir =
      !m_strDestination.empty()
          ? fw::ProjectStartFolder(m_strDestination)
          : fw::ProjectStartFolder(m_doc ? m_doc->GetProjectPath() : std::string());
  if (dlg.DoModal() != IDOK) return;
  m_strDestination = WithoutExtension(dlg.GetPathName());
  fw::CompactPath(m_strDestination, GetDlgItem(kPathId), fw::kCompactForwardSlashes);
}

void COutputFileDlg::OnOK() {
  if (!UpdateData(true)) return;
  if (m_strDestination.empty()) {
    AfxMessageBox(IDS_SELECT_DESTINATION_FILE_PROMPT, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  if (!m_doc) return;
  const std::string path = m_strDestination + CReportWriter::Extension(m_nFileType);
  std::string error;
  if (!CReportWriter(*m_doc).Write(
          path, m_nFileType, m_strDate.empty() ? CReportWriter::Today() : m_strDate, &error)) {
    AfxMessageBox(error, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  EndDialog(IDOK);
}
