#include "platform/gui/winapp.h"

#include <QApplication>
#include <algorithm>
#include <filesystem>

#include "platform/format.h"
#include "platform/gui/framewnd.h"
#include "platform/gui/help.h"
#include "platform/gui/menu.h"
#include "platform/gui/qttranslations.h"
#include "platform/message.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"

namespace {

CWinApp* g_app = nullptr;

std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  if (std::filesystem::equivalent(a, b, ec)) return true;
  return a == b;
}

}  // namespace

CWinApp* AfxGetApp() {
  return g_app;
}

// ---------------------------------------------------------------- recent files

CRecentFileList::CRecentFileList(std::string section, std::string entryFormat, int size)
    : m_section(std::move(section)),
      m_entryFormat(std::move(entryFormat)),
      m_names(static_cast<std::size_t>(std::clamp(size, 1, 16))) {}

void CRecentFileList::Add(const std::string& path) {
  if (path.empty()) return;
  auto same = std::find_if(m_names.begin(), m_names.end(),
                           [&](const std::string& n) { return !n.empty() && SameFile(n, path); });
  if (same == m_names.end()) same = m_names.end() - 1;
  std::rotate(m_names.begin(), same, same + 1);
  m_names.front() = path;
}

void CRecentFileList::Remove(int index) {
  if (index < 0 || index >= GetSize()) return;
  m_names.erase(m_names.begin() + index);
  m_names.emplace_back();
}

void CRecentFileList::ReadList(const fw::CProfile& profile) {
  for (std::size_t i = 0; i < m_names.size(); ++i)
    m_names[i] =
        profile.GetProfileString(m_section, fw::FormatText(m_entryFormat, static_cast<int>(i + 1)));
  // Gaps close up: the menu numbers what it shows.
  std::stable_partition(m_names.begin(), m_names.end(),
                        [](const std::string& n) { return !n.empty(); });
}

void CRecentFileList::WriteList(fw::CProfile& profile) const {
  for (std::size_t i = 0; i < m_names.size(); ++i) {
    const std::string key = fw::FormatText(m_entryFormat, static_cast<int>(i + 1));
    if (m_names[i].empty())
      profile.DeleteProfileKey(m_section, key);
    else
      profile.WriteProfileString(m_section, key, m_names[i]);
  }
}

std::string CRecentFileList::GetDisplayName(int index) const {
  const std::string& path = (*this)[index];
  const std::string name = FileNameOf(path);
  for (int i = 0; i < GetSize(); ++i) {
    if (i != index && !(*this)[i].empty() && FileNameOf((*this)[i]) == name)
      return name + " (" + fw::FolderOfPath(path) + ")";
  }
  return name;
}

void CRecentFileList::UpdateMenu(CCmdUI* ui) {
  auto* item = dynamic_cast<CMenuCmdUI*>(ui);
  CMenu* menu = item ? CMenu::FromHandle(item->m_menu) : nullptr;
  if (!menu) {
    ui->Enable(GetSize() > 0 && !m_names.front().empty());
    return;
  }
  if (m_original.empty()) menu->GetMenuString(ui->m_nIndex, m_original, MF_BYPOSITION);
  // Out with the items of the last time, from where the first one stands.
  const UINT at = ui->m_nIndex;
  while (true) {
    const UINT id = menu->GetMenuItemID(static_cast<int>(at));
    if (id < ID_FILE_MRU_FILE1 || id > ID_FILE_MRU_FILE16) break;
    menu->DeleteMenu(at, MF_BYPOSITION);
  }
  int shown = 0;
  for (int i = 0; i < GetSize(); ++i) {
    if ((*this)[i].empty()) break;
    const std::string text = fw::FormatText("&%d %s", i + 1, GetDisplayName(i));
    menu->InsertMenu(at + static_cast<UINT>(i), MF_STRING | MF_BYPOSITION, ID_FILE_MRU_FILE1 + i,
                     text);
    ++shown;
  }
  if (shown == 0) {
    menu->InsertMenu(at, MF_STRING | MF_BYPOSITION | MF_GRAYED, ID_FILE_MRU_FILE1, m_original);
    ui->m_nIndex = at;
    return;
  }
  // The route goes on after the last file item.
  ui->m_nIndex = at + static_cast<UINT>(shown) - 1;
}

// ---------------------------------------------------------------- command line

void CCommandLineInfo::ParseParam(const std::string& param, bool flag) {
  if (flag || !m_strFileName.empty()) return;
  m_strFileName = param;
  m_nShellCommand = FileOpen;
}

// ---------------------------------------------------------------- application

CWinApp::CWinApp(std::string appName) : m_pszAppName(std::move(appName)) {
  if (m_pszAppName.empty()) m_pszAppName = LoadResString(IDS_APP_TITLE);
  g_app = this;
  fw::SetAppCommandTarget(this);
  // Qt's own dialogs speak the language the program chooses at start-up.
  fw::FollowProgramLanguage();
  SetCommandHandler(ID_FILE_NEW, [this] { OnFileNew(); });
  SetCommandHandler(ID_FILE_OPEN, [this] { OnFileOpen(); });
  SetCommandHandler(ID_APP_EXIT, [this] { OnAppExit(); });
  SetCommandRangeHandler(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE16,
                         [this](unsigned id) { OnOpenRecentFile(id); });
  SetUpdateHandler(ID_FILE_MRU_FILE1, [this](CCmdUI* ui) {
    if (m_pRecentFileList)
      m_pRecentFileList->UpdateMenu(ui);
    else
      ui->Enable(false);
  });
}

CWinApp::~CWinApp() {
  // The documents go before the settings they may write at the end.
  m_pDocManager.reset();
  if (m_profile && &fw::AppProfile() == m_profile.get()) fw::SetAppProfile(m_previousProfile);
  if (fw::AppCommandTarget() == this) fw::SetAppCommandTarget(nullptr);
  if (g_app == this) g_app = nullptr;
}

bool CWinApp::InitInstance() {
  return true;
}

int CWinApp::ExitInstance() {
  if (m_pRecentFileList) SaveStdProfileSettings();
  return 0;
}

int CWinApp::Run() {
  // The end is the main window's, not the last window's that happens to close.
  QApplication::setQuitOnLastWindowClosed(false);
  if (!InitInstance()) {
    ExitInstance();
    return 0;
  }
  if (m_pMainWnd && m_pMainWnd->IsWindow()) {
    m_running = true;
    QApplication::exec();
    m_running = false;
  }
  return ExitInstance();
}

void CWinApp::OnMainWindowDestroyed() {
  m_pMainWnd = nullptr;
  // Not quit(): it asks every window to close first, the one going among
  // them, which then is destroyed a second time under its own feet and the
  // program ends before its documents and settings are put away.
  if (m_running) QCoreApplication::exit(0);
}

void CWinApp::SetRegistryKey(std::string_view company) {
  auto profile = std::make_unique<fw::CProfile>();
  std::string error;
  if (!profile->Open(fw::CProfile::FolderFor(company), m_pszAppName, &error)) {
    // Without a settings file the program still runs; nothing is remembered.
    std::fprintf(stderr, "%s\n", error.c_str());
  }
  m_previousProfile = &fw::AppProfile();
  m_profile = std::move(profile);
  fw::SetAppProfile(m_profile.get());
}

void CWinApp::ReportProfileProblem() {
  fw::CProfile& profile = Profile();
  if (m_profileProblemTold || !profile.failed()) return;
  m_profileProblemTold = true;
  AfxMessageBox(FormatRes(IDS_SETTINGS_NOT_KEPT, profile.path(), profile.last_error()),
                MB_OK | MB_ICONEXCLAMATION);
}

int CWinApp::GetProfileInt(std::string_view section, std::string_view key, int def) {
  return Profile().GetProfileInt(section, key, def);
}

std::string CWinApp::GetProfileString(std::string_view section, std::string_view key,
                                      std::string_view def) {
  return Profile().GetProfileString(section, key, def);
}

bool CWinApp::WriteProfileInt(std::string_view section, std::string_view key, int value) {
  return Profile().WriteProfileInt(section, key, value);
}

bool CWinApp::WriteProfileString(std::string_view section, std::string_view key,
                                 std::string_view value) {
  return Profile().WriteProfileString(section, key, value);
}

void CWinApp::LoadStdProfileSettings(unsigned maxMru) {
  if (maxMru == 0) return;
  m_pRecentFileList =
      std::make_unique<CRecentFileList>("Recent File List", "File%d", static_cast<int>(maxMru));
  m_pRecentFileList->ReadList(Profile());
}

void CWinApp::SaveStdProfileSettings() {
  if (m_pRecentFileList) m_pRecentFileList->WriteList(Profile());
}

void CWinApp::AddToRecentFileList(const std::string& path) {
  if (!m_pRecentFileList) return;
  m_pRecentFileList->Add(path);
  // Written at once: a program that is killed still remembers.
  m_pRecentFileList->WriteList(Profile());
}

void CWinApp::SetDocManager(std::unique_ptr<CDocManager> manager) {
  m_pDocManager = std::move(manager);
}

void CWinApp::AddDocTemplate(std::unique_ptr<CDocTemplate> docTemplate) {
  if (!m_pDocManager) m_pDocManager = std::make_unique<CDocManager>();
  m_pDocManager->AddDocTemplate(std::move(docTemplate));
}

CDocument* CWinApp::OpenDocumentFile(const std::string& path) {
  return m_pDocManager ? m_pDocManager->OpenDocumentFile(path) : nullptr;
}

bool CWinApp::DoPromptFileName(std::string& fileName, unsigned titleId, unsigned flags, bool open,
                               CDocTemplate* docTemplate) {
  return m_pDocManager &&
         m_pDocManager->DoPromptFileName(fileName, titleId, flags, open, docTemplate);
}

bool CWinApp::SaveAllModified() {
  return !m_pDocManager || m_pDocManager->SaveAllModified();
}

void CWinApp::CloseAllDocuments(bool endSession) {
  if (m_pDocManager) m_pDocManager->CloseAllDocuments(endSession);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info, const std::vector<std::string>& args) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool flag = a.size() > 1 && a[0] == '-';
    info.ParseParam(flag ? a.substr(1) : a, flag);
  }
}

bool CWinApp::ProcessShellCommand(const CCommandLineInfo& info) {
  switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileNew: OnFileNew(); return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen: return OpenDocumentFile(info.m_strFileName) != nullptr;
    default: return true;
  }
}

void CWinApp::WinHelp(std::uint32_t data, unsigned command) {
  if (command == HELP_CONTEXT) (void)fw::ShowHelp(data);  // the service tells the user
}

void CWinApp::OnFileNew() {
  if (m_pDocManager) m_pDocManager->OnFileNew();
}

void CWinApp::OnFileOpen() {
  if (m_pDocManager) m_pDocManager->OnFileOpen();
}

void CWinApp::OnAppExit() {
  if (m_pMainWnd) m_pMainWnd->SendMessage(WM_CLOSE);
}

void CWinApp::OnOpenRecentFile(unsigned id) {
  if (!m_pRecentFileList) return;
  const int index = static_cast<int>(id - ID_FILE_MRU_FILE1);
  if (index >= m_pRecentFileList->GetSize()) return;
  const std::string path = (*m_pRecentFileList)[index];
  if (path.empty()) return;
  // A file that cannot be opened any more leaves the list.
  if (!OpenDocumentFile(path)) {
    m_pRecentFileList->Remove(index);
    m_pRecentFileList->WriteList(Profile());
  }
}
