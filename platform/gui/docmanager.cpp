#include "platform/gui/docmanager.h"

#include "platform/gui/services.h"
#include "platform/gui/view.h"
#include "platform/gui/winapp.h"
#include "platform/message.h"
#include "res/string_ids.h"

CDocManager::~CDocManager() = default;

void CDocManager::AddDocTemplate(std::unique_ptr<CDocTemplate> docTemplate) {
  if (docTemplate) m_templates.push_back(std::move(docTemplate));
}

std::vector<CDocument*> CDocManager::Documents() const {
  std::vector<CDocument*> docs;
  for (const auto& t : m_templates)
    for (CDocument* d : t->GetDocuments()) docs.push_back(d);
  return docs;
}

void CDocManager::OnFileNew() {
  if (!m_templates.empty()) (void)m_templates.front()->OpenDocumentFile(std::string());
}

void CDocManager::OnFileOpen() {
  std::string name;
  if (!DoPromptFileName(name, IDS_DOC_OPEN_TITLE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, true,
                        nullptr))
    return;
  // A failure was reported where it happened.
  (void)AfxGetApp()->OpenDocumentFile(name);
}

CDocument* CDocManager::OpenDocumentFile(const std::string& path) {
  if (path.empty() || m_templates.empty()) return nullptr;
  CDocTemplate* best = nullptr;
  CDocument* open = nullptr;
  CDocTemplate::Confidence bestMatch = CDocTemplate::noAttempt;
  for (const auto& t : m_templates) {
    CDocument* match = nullptr;
    const CDocTemplate::Confidence c = t->MatchDocType(path, match);
    if (c > bestMatch) {
      bestMatch = c;
      best = t.get();
      open = match;
    }
    if (c == CDocTemplate::yesAlreadyOpen) break;
  }
  if (bestMatch == CDocTemplate::yesAlreadyOpen && open) {
    for (CView* v : open->GetViews())
      if (CFrameWnd* frame = v->GetParentFrame()) {
        frame->ShowWindow(SW_SHOW);
        frame->BringWindowToTop();
        break;
      }
    return open;
  }
  if (!best) best = m_templates.front().get();
  return best->OpenDocumentFile(path);
}

bool CDocManager::DoPromptFileName(std::string& fileName, unsigned titleId, unsigned flags,
                                   bool open, CDocTemplate* docTemplate) {
  std::vector<fw::DocFileType> types;
  auto add = [&types](CDocTemplate* t) {
    fw::DocFileType type;
    t->GetDocString(type.filterName, CDocument::filterName);
    t->GetDocString(type.extension, CDocument::filterExt);
    types.push_back(type);
  };
  // The asking document's own type first: its extension is the default.
  if (docTemplate) add(docTemplate);
  for (const auto& t : m_templates)
    if (t.get() != docTemplate) add(t.get());
  return fw::PromptForFileName(fileName, titleId, flags, open, types, GetInitialFolder());
}

bool CDocManager::SaveAllModified() {
  for (const auto& t : m_templates)
    if (!t->SaveAllModified()) return false;
  return true;
}

void CDocManager::CloseAllDocuments(bool endSession) {
  for (const auto& t : m_templates) t->CloseAllDocuments(endSession);
}
