#include "tools/copycfgdlg.h"

#include <filesystem>
#include <utility>

#include "platform/gui/document.h"
#include "platform/gui/help.h"
#include "platform/gui/services.h"
#include "platform/message.h"
#include "platform/profile.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"
#include "switch/projectfile.h"
#include "switch/switchconfigstore.h"
#include "switch/switchentry.h"
#include "tools/compactpath.h"
#include "tools/projectdocument.h"

namespace {

constexpr int kNameId = 1002;
constexpr int kConfigsId = 1033;
constexpr int kSourcePathId = 1034;
constexpr int kSourceBrowseId = 1035;
constexpr int kDestinationPathId = 1037;
constexpr int kDestinationBrowseId = 1038;
constexpr int kHelpId = 1039;
constexpr int kCopyNowId = 1040;
constexpr int kIconHelp = 145, kIconClose = 146, kIconCopyNow = 147;
constexpr std::string_view kSettings = "Settings";
constexpr std::string_view kLastSource = "copy cfg last src";
constexpr std::string_view kLastDestination = "copy cfg last dest";
constexpr int kSuggestionBaseChars = 30;
constexpr unsigned kBrowseFlags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
// The labels and button texts the dialog sets as it opens; it is sized for each.
constexpr std::pair<int, unsigned> kLabels[] = {{1093, IDS_SOURCE_PROJECT_FILE},
                                                {1094, IDS_CFG_TO_COPY_LABEL},
                                                {1095, IDS_DESTINATION_PROJECT_FILE},
                                                {1096, IDS_NEW_CFG_NAME_LABEL}};
constexpr std::pair<int, unsigned> kButtons[] = {{kCopyNowId, IDS_COPY_NOW}, {IDCANCEL, IDS_CLOSE}};

std::string CutChars(const std::string& s, int chars) {
  std::size_t i = 0;
  for (int n = 0; i < s.size() && n < chars; ++n)
    i += std::min(fw::Utf8SequenceLength(static_cast<unsigned char>(s[i])), s.size() - i);
  return s.substr(0, i);
}

int CountChars(const std::string& s) {
  int n = 0;
  for (std::size_t i = 0; i < s.size(); ++n)
    i += std::min(fw::Utf8SequenceLength(static_cast<unsigned char>(s[i])), s.size() - i);
  return n;
}

// A project file read into a store of its own. What the reader found worth
// telling goes into notes when they are given; a file only looked at has none.
struct LoadedProject {
  CSwitchConfigStore store{0};
  CSwitchList switches;
  int result = fw::kProjectFailed;
  std::string error;
  explicit LoadedProject(const std::string& path, fw::CProjectNotes* notes = nullptr) {
    result = fw::LoadProjectFile(path, store, switches, notes, &error);
  }
};

}  // namespace

namespace fw {

bool SameFilePath(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return a.empty() && b.empty();
  std::error_code ea, eb;
  const auto ca = std::filesystem::weakly_canonical(a, ea);
  const auto cb = std::filesystem::weakly_canonical(b, eb);
  if (ea || eb) return a == b;
  return ca == cb;
}

}  // namespace fw

CCopyCfgDlg::CCopyCfgDlg(CWnd* parent, IProjectDocument* doc) : CDialog(IDD, parent), m_doc(doc) {
  BindControl(IDCANCEL, m_close);
  BindControl(kHelpId, m_help);
  BindControl(kCopyNowId, m_copyNow);
  BindControl(kSourceBrowseId, m_sourceBrowse);
  BindControl(kDestinationBrowseId, m_destinationBrowse);
  BindControl(kConfigsId, m_configs);
  SetCommandHandler(kSourceBrowseId, [this] { OnSourceBrowse(); });
  SetCommandHandler(kDestinationBrowseId, [this] { OnDestinationBrowse(); });
  SetCommandHandler(kCopyNowId, [this] { OnCopyNow(); });
  SetCommandHandler(kHelpId, [] { fw::ShowHelp(kHelpDialogBase + IDD); });
  SetCommandHandler(
      kConfigsId, [this] { RenewSuggestion(); }, CBN_SELCHANGE);
  const int icon = CImageButton::kIconBesideWidth;
  for (const auto& [id, text] : kLabels) FitText(id, LoadResString(text));
  for (const auto& [id, text] : kButtons) FitText(id, LoadResString(text), icon);
  FitText(kHelpId, {}, icon);  // the template's own text
}

std::string CCopyCfgDlg::SuggestName(const std::string& title,
                                     const std::vector<std::string>& destinationTitles) {
  if (title.empty()) return {};
  const std::string base = CutChars(title, kSuggestionBaseChars);
  for (int n = 2;; ++n) {
    const std::string candidate = fw::FormatText("%s%d", base, n);
    if (CountChars(candidate) > kMaxItemNameChars) return {};
    const std::string folded = fw::FoldCase(candidate);
    bool taken = false;
    for (const auto& t : destinationTitles)
      if (fw::FoldCase(t) == folded) {
        taken = true;
        break;
      }
    if (!taken) return candidate;
  }
}

bool CCopyCfgDlg::IsDocument(const std::string& path) const {
  return m_doc && fw::SameFilePath(path, m_doc->GetProjectPath());
}

std::vector<std::string> CCopyCfgDlg::TitlesOf(const std::string& path) const {
  std::vector<std::string> titles;
  if (IsDocument(path)) {
    m_doc->GetStore().AppendNames(titles);
  } else if (!path.empty()) {
    LoadedProject project(path);
    if (project.result != fw::kProjectFailed) project.store.AppendNames(titles);
  }
  return titles;
}

bool CCopyCfgDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  for (CImageButton* b : {&m_close, &m_help, &m_copyNow, &m_sourceBrowse, &m_destinationBrowse})
    b->SetBkTexture(5, 8, 10, 0, 0);
  m_close.SetButtonIcon(kIconClose, CImageButton::kIconLeft);
  m_help.SetButtonIcon(kIconHelp, CImageButton::kIconLeft);
  m_copyNow.SetButtonIcon(kIconCopyNow, CImageButton::kIconLeft);

  const std::string docPath = m_doc ? m_doc->GetProjectPath() : std::string();
  fw::CProfile& profile = fw::AppProfile();
  m_strSource = profile.GetProfileString(kSettings, kLastSource, docPath);
  m_strDestination = profile.GetProfileString(kSettings, kLastDestination, docPath);
  ShowPaths();
  FillConfigList();
  SelectInitialEntry();
  RenewSuggestion();

  for (const auto& [id, text] : kLabels) SetDlgItemText(id, LoadResString(text));
  for (const auto& [id, text] : kButtons) SetDlgItemText(id, LoadResString(text));
  SetWindowText(LoadResString(IDS_COPY_CONFIGURATION));
  return true;
}

void CCopyCfgDlg::ShowPaths() {
  fw::CompactPath(m_strSource, GetDlgItem(kSourcePathId), fw::kCompactForwardSlashes);
  fw::CompactPath(m_strDestination, GetDlgItem(kDestinationPathId), fw::kCompactForwardSlashes);
}

void CCopyCfgDlg::FillConfigList() {
  m_configs.ResetContent();
  for (const auto& title : TitlesOf(m_strSource)) m_configs.AddString(title);
}

void CCopyCfgDlg::SelectInitialEntry() {
  if (IsDocument(m_strSource)) {
    const int selected = m_nInitialConfig >= 0 ? m_nInitialConfig : m_doc->GetSelectedConfigIndex();
    if (const CSwitchConfig* c = m_doc->GetStore().GetAt(selected)) {
      for (int i = 0; i < m_configs.GetCount(); ++i)
        if (m_configs.GetLBText(i) == c->GetName()) {
          m_configs.SetCurSel(i);
          return;
        }
    }
  }
  if (m_configs.GetCount() > 0) m_configs.SetCurSel(0);
}

void CCopyCfgDlg::RenewSuggestion() {
  const int sel = m_configs.GetCurSel();
  const std::string title = sel >= 0 ? m_configs.GetLBText(sel) : std::string();
  SetDlgItemText(kNameId, SuggestName(title, TitlesOf(m_strDestination)));
}

void CCopyCfgDlg::OnSourceBrowse() {
  CFileDialog dlg(true, "zcf", "*.zcf", kBrowseFlags, LoadResString(IDS_FILTER_PROJECT), this);
  dlg.m_ofn.initialDir = m_strSource.empty() ? fw::ProjectsFolder() : fw::FolderOfPath(m_strSource);
  if (dlg.DoModal() != IDOK) return;
  m_strSource = dlg.GetPathName();
  ShowPaths();
  FillConfigList();
  SelectInitialEntry();
  fw::AppProfile().WriteProfileString(kSettings, kLastSource, m_strSource);
  RenewSuggestion();
  // The list of a file that is no project stays empty; the user hears why.
  std::string why;
  if (!IsDocument(m_strSource) && fw::CheckProjectFile(m_strSource, &why) != fw::kProjectOk)
    AfxMessageBox(why, MB_OK | MB_ICONEXCLAMATION);
}

void CCopyCfgDlg::OnDestinationBrowse() {
  CFileDialog dlg(false, "zcf", "*.zcf", OFN_HIDEREADONLY, LoadResString(IDS_FILTER_PROJECT), this);
  dlg.m_ofn.initialDir =
      m_strDestination.empty() ? fw::ProjectsFolder() : fw::FolderOfPath(m_strDestination);
  if (dlg.DoModal() != IDOK) return;
  m_strDestination = dlg.GetPathName();
  ShowPaths();
  fw::AppProfile().WriteProfileString(kSettings, kLastDestination, m_strDestination);
}

void CCopyCfgDlg::OnCopyNow() {
  auto refuse = [](unsigned id) { AfxMessageBox(id, MB_OK | MB_ICONEXCLAMATION); };
  if (m_strSource.empty()) return refuse(IDS_SELECT_SOURCE_PROJECT);
  if (m_strDestination.empty()) return refuse(IDS_SELECT_DESTINATION_PROJECT);
  const int sel = m_configs.GetCurSel();
  const std::string sourceTitle = sel >= 0 ? m_configs.GetLBText(sel) : std::string();
  if (sourceTitle.empty()) return refuse(IDS_SELECT_CFG_TO_COPY);
  // The name is made what it will be stored as first; the checks see that.
  bool cut = false, commas = false;
  const std::string name = fw::NormalizeItemName(GetDlgItemText(kNameId), &cut, &commas);
  if (name.empty()) return refuse(IDS_ENTER_NEW_CFG_NAME);
  const std::string folded = fw::FoldCase(name);
  for (const auto& t : TitlesOf(m_strDestination))
    if (fw::FoldCase(t) == folded) return refuse(IDS_NEW_CFG_NAME_IN_USE);
  if (cut) refuse(IDS_CFG_NAME_TOO_LONG);
  if (commas)
    AfxMessageBox(fw::FormatText("%s %s", LoadResString(IDS_INVALID_CHARS_FOUND), ","),
                  MB_OK | MB_ICONEXCLAMATION);

  // The source configuration, from the open project or the source file.
  CSwitchConfig copy;
  bool found = false;
  if (IsDocument(m_strSource)) {
    const CSwitchConfigStore& store = m_doc->GetStore();
    if (const CSwitchConfig* c = store.GetAt(store.FindIndexByName(sourceTitle))) {
      copy.CopyFrom(*c);
      found = true;
    }
  } else {
    LoadedProject source(m_strSource);
    if (const CSwitchConfig* c = source.store.GetAt(source.store.FindIndexByName(sourceTitle))) {
      copy.CopyFrom(*c);
      found = true;
    }
  }
  if (!found) return refuse(IDS_ERRORS_FINDING_SOURCE_CFG);
  copy.SetName(name);

  bool rewrittenAfterWarnings = false;
  if (IsDocument(m_strDestination)) {
    if (m_doc->AddConfig(copy) < 0) return;
  } else {
    fw::CProjectNotes readNotes;
    LoadedProject destination(m_strDestination, &readNotes);
    auto failed = [&](const std::string& detail) {
      AfxMessageBox(
          detail.empty()
              ? LoadResString(IDS_FAILED_SAVE_FILE_DATA)
              : fw::FormatText("%s\n\n%s", LoadResString(IDS_FAILED_SAVE_FILE_DATA), detail),
          MB_OK | MB_ICONEXCLAMATION);
    };
    if (destination.result == fw::kProjectFailed) return failed(destination.error);
    // The file is written back whole from what was read: what the reader
    // dropped or replaced is lost with it, so the user hears of it first.
    if (!readNotes.Empty()) {
      readNotes.Show();
      if (AfxMessageBox(FormatRes(IDS_COPY_DESTINATION_NOT_CLEAN, m_strDestination),
                        MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
      rewrittenAfterWarnings = true;
    }
    if (destination.store.Add(copy) < 0) return refuse(IDS_NEW_CFG_NAME_IN_USE);
    std::string error;
    fw::CProjectNotes notes;
    if (fw::SaveProjectFile(m_strDestination, destination.store, destination.switches, &notes,
                            &error) < 0) {
      const auto messages = notes.Messages();
      return failed(messages.empty() ? error : messages.front());
    }
  }
  MessageBoxCaption(LoadResString(rewrittenAfterWarnings ? IDS_COPY_COMPLETED_AFTER_WARNINGS
                                                         : IDS_COPY_COMPLETED_NO_ERRORS),
                    LoadResString(IDS_COPY_COMPLETED), MB_OK | MB_ICONINFORMATION);
}
