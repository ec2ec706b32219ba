#include "platform/gui/document.h"

#include <unistd.h>

#include <QApplication>
#include <QCursor>
#include <algorithm>
#include <filesystem>

#include "platform/atomicfile.h"
#include "platform/gui/doctemplate.h"
#include "platform/gui/services.h"
#include "platform/gui/view.h"
#include "platform/gui/winapp.h"
#include "platform/message.h"
#include "platform/resstring.h"
#include "res/string_ids.h"

namespace fw {

bool IsReadOnlyFile(const std::string& path) {
  std::error_code ec;
  const auto st = std::filesystem::status(path, ec);
  if (ec || !std::filesystem::is_regular_file(st)) return false;
  using std::filesystem::perms;
  // No write bit at all is read-only for root too: saving replaces the file
  // by a rename, which the file's own permissions would not stop.
  if ((st.permissions() & (perms::owner_write | perms::group_write | perms::others_write)) ==
      perms::none)
    return true;
  return geteuid() != 0 && access(path.c_str(), W_OK) != 0;
}

std::string FolderOfPath(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool PromptForFileName(std::string& fileName, unsigned titleId, unsigned flags, bool open,
                       const std::vector<DocFileType>& types, const std::string& initialFolder) {
  std::string filter, ext;
  for (const DocFileType& t : types) {
    if (t.filterName.empty() || t.extension.empty()) continue;
    filter += t.filterName + "|*" + t.extension + "|";
    if (ext.empty()) ext = t.extension;
  }
  filter += LoadResString(IDS_FILTER_ALL_FILES) + "|*.*||";
  if (!ext.empty() && ext.front() == '.') ext.erase(0, 1);
  CFileDialog dlg(open, ext, fileName, flags | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter);
  dlg.m_ofn.title = LoadResString(titleId);
  if (!initialFolder.empty()) dlg.m_ofn.initialDir = initialFolder;
  if (dlg.DoModal() != IDOK) return false;
  fileName = dlg.GetPathName();
  return !fileName.empty();
}

}  // namespace fw

namespace {

// The wait cursor while a file is written.
class CWaitCursorScope {
 public:
  CWaitCursorScope() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
      QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
      m_set = true;
    }
  }
  ~CWaitCursorScope() {
    if (m_set) QApplication::restoreOverrideCursor();
  }
  CWaitCursorScope(const CWaitCursorScope&) = delete;
  CWaitCursorScope& operator=(const CWaitCursorScope&) = delete;

 private:
  bool m_set = false;
};

std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void CArchive::Fail(const std::string& reason) {
  if (m_failed) return;
  m_failed = true;
  m_reason = reason;
}

CDocument::CDocument() {
  SetCommandHandler(ID_FILE_SAVE, [this] { OnFileSave(); });
  SetCommandHandler(ID_FILE_SAVE_AS, [this] { OnFileSaveAs(); });
}

CDocument::~CDocument() {
  for (CView* v : m_views) v->m_pDocument = nullptr;
}

void CDocument::SetTitle(const std::string& title) {
  m_strTitle = title;
  // The frames that show the document show its title.
  for (CView* v : m_views)
    if (CFrameWnd* frame = v->GetParentFrame()) frame->OnUpdateFrameTitle(true);
}

void CDocument::AddToRecentFileList(const std::string& path) {
  if (CWinApp* app = AfxGetApp()) app->AddToRecentFileList(path);
}

void CDocument::SetPathName(const std::string& path, bool addToRecentList) {
  m_strPathName = path;
  SetTitle(FileNameOf(path));
  if (addToRecentList && !path.empty()) AddToRecentFileList(path);
}

bool CDocument::GetDocString(std::string& out, DocStringIndex index) const {
  if (m_pDocTemplate) return m_pDocTemplate->GetDocString(out, index);
  std::size_t start = 0;
  for (int i = 0; i < index; ++i) {
    start = m_docStrings.find('\n', start);
    if (start == std::string::npos) {
      out.clear();
      return false;
    }
    ++start;
  }
  const std::size_t end = m_docStrings.find('\n', start);
  out = m_docStrings.substr(start, end == std::string::npos ? std::string::npos : end - start);
  return !out.empty();
}

void CDocument::SetDefaultTitle() {
  std::string title;
  if (!GetDocString(title, docName)) title = LoadResString(IDS_DOC_UNTITLED);
  SetTitle(title);
}

void CDocument::AddView(CView* view) {
  if (!view || view->m_pDocument == this) return;
  if (view->m_pDocument) view->m_pDocument->RemoveView(view);
  m_views.push_back(view);
  view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view) {
  if (!view || view->m_pDocument != this) return;
  ForgetView(view);
  view->m_pDocument = nullptr;
}

void CDocument::ForgetView(CView* view) {
  m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint, CObject* hintObject) {
  // A view may go away while the others are told: work on a copy.
  const std::vector<CView*> views = m_views;
  for (CView* v : views) {
    if (v == sender) continue;
    if (std::find(m_views.begin(), m_views.end(), v) == m_views.end()) continue;
    v->OnUpdate(sender, hint, hintObject);
  }
}

bool CDocument::OnNewDocument() {
  DeleteContents();
  m_strPathName.clear();
  SetDefaultTitle();
  SetModifiedFlag(false);
  return true;
}

bool CDocument::OnOpenDocument(const std::string& path) {
  // Checked before anything is cleared: a file that cannot be read must not
  // cost the user the document that is open.
  // A folder, a FIFO or a device is refused at once, never waited on.
  std::string why;
  if (!fw::CanReadFile(path, &why)) {
    ReportSaveLoadFailure(IDS_DOC_OPEN_FAILED, path, why);
    return false;
  }
  DeleteContents();
  SetModifiedFlag(true);  // dirty while it is half read
  CArchive ar(path, CArchive::load);
  Serialize(ar);
  if (ar.failed()) {
    ReportSaveLoadFailure(IDS_DOC_OPEN_FAILED, path, ar.reason());
    DeleteContents();
    SetModifiedFlag(false);
    // What was open is gone: the empty document must not keep the old
    // file's name, or a save would overwrite that file with nothing.
    m_strPathName.clear();
    SetDefaultTitle();
    return false;
  }
  SetModifiedFlag(false);
  return true;
}

bool CDocument::OnSaveDocument(const std::string& path) {
  CArchive ar(path, CArchive::store);
  Serialize(ar);
  if (ar.failed()) {
    ReportSaveLoadFailure(IDS_DOC_SAVE_FAILED, path, ar.reason());
    return false;
  }
  SetModifiedFlag(false);
  return true;
}

void CDocument::OnCloseDocument() {
  const std::vector<CView*> views = m_views;
  for (CView* v : views) RemoveView(v);
  DeleteContents();
  SetModifiedFlag(false);
}

void CDocument::Serialize(CArchive&) {}

std::string CDocument::ProposedFileName() {
  if (!m_strPathName.empty()) return m_strPathName;
  std::string name = m_strTitle;
  const std::size_t cut = name.find_first_of(" #%;/\\");
  if (cut != std::string::npos) name.resize(cut);
  std::string ext;
  if (!name.empty() && GetDocString(ext, filterExt)) name += ext;
  return name;
}

bool CDocument::DoSave(const std::string& path, bool replace) {
  std::string newName = path;
  if (newName.empty()) {
    newName = ProposedFileName();
    if (!DoPromptFileName(newName, replace ? IDS_DOC_SAVE_AS : IDS_DOC_SAVE_COPY_AS,
                          OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, false))
      return false;
  }
  // A link counts as there even when the file it names is not: it is the
  // user's and must not be removed with what the save made.
  std::error_code ec;
  const bool existed = std::filesystem::exists(std::filesystem::symlink_status(newName, ec));
  bool saved;
  {
    CWaitCursorScope wait;
    saved = OnSaveDocument(newName);
  }
  if (!saved) {
    // Only a file this save made is removed: one that was there before (a
    // read-only project, an older copy) is the user's and stays.
    if (path.empty() && !existed) std::filesystem::remove(newName, ec);
    return false;
  }
  if (replace) SetPathName(newName);
  return true;
}

bool CDocument::DoFileSave() {
  if (m_strPathName.empty() || fw::IsReadOnlyFile(m_strPathName)) return DoSave(std::string());
  return DoSave(m_strPathName);
}

bool CDocument::SaveModified() {
  if (!IsModified()) return true;
  if (m_strPathName.empty() && m_strTitle.empty()) SetDefaultTitle();
  const std::string name = m_strPathName.empty() ? m_strTitle : FileNameOf(m_strPathName);
  switch (
      AfxMessageBox(FormatRes(IDS_DOC_ASK_TO_SAVE, name), MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDCANCEL: return false;
    case IDYES: return DoFileSave();
    default: return true;
  }
}

bool CDocument::DoPromptFileName(std::string& fileName, unsigned titleId, unsigned flags,
                                 bool open) {
  if (CWinApp* app = AfxGetApp(); app && app->GetDocManager())
    return app->DoPromptFileName(fileName, titleId, flags, open, m_pDocTemplate);
  fw::DocFileType type;
  GetDocString(type.filterName, CDocument::filterName);
  GetDocString(type.extension, filterExt);
  return fw::PromptForFileName(fileName, titleId, flags, open, {type}, GetInitialFolder());
}

std::string CDocument::GetInitialFolder() {
  return fw::FolderOfPath(m_strPathName);
}

void CDocument::ReportSaveLoadFailure(unsigned messageId, const std::string& path,
                                      const std::string& reason) {
  AfxMessageBox(FormatRes(messageId, path, reason), MB_OK | MB_ICONEXCLAMATION);
}
