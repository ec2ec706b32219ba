#include "platform/gui/doctemplate.h"

#include <filesystem>

#include "platform/gui/view.h"
#include "platform/gui/winapp.h"
#include "platform/resstring.h"
#include "platform/text.h"

namespace {

bool SameFile(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return false;
  std::error_code ec;
  if (std::filesystem::equivalent(a, b, ec)) return true;
  return a == b;
}

}  // namespace

CDocTemplate::CDocTemplate(unsigned resourceId, DocumentFactory document, FrameFactory frame,
                           ViewFactory view)
    : m_nIDResource(resourceId),
      m_document(std::move(document)),
      m_frame(std::move(frame)),
      m_view(std::move(view)) {}

CDocTemplate::~CDocTemplate() = default;

bool CDocTemplate::GetDocString(std::string& out, CDocument::DocStringIndex index) const {
  const std::string all = LoadResString(m_nIDResource);
  std::size_t start = 0;
  for (int i = 0; i < index; ++i) {
    start = all.find('\n', start);
    if (start == std::string::npos) {
      out.clear();
      return false;
    }
    ++start;
  }
  const std::size_t end = all.find('\n', start);
  out = all.substr(start, end == std::string::npos ? std::string::npos : end - start);
  return !out.empty();
}

CDocTemplate::Confidence CDocTemplate::MatchDocType(const std::string& path, CDocument*& match) {
  match = nullptr;
  for (CDocument* doc : GetDocuments()) {
    if (SameFile(doc->GetPathName(), path)) {
      match = doc;
      return yesAlreadyOpen;
    }
  }
  std::string ext;
  if (GetDocString(ext, CDocument::filterExt) && !ext.empty()) {
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of('/');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash) &&
        fw::EqualsNoCase(path.substr(dot), ext))
      return yesAttemptNative;
  }
  return maybeAttemptForeign;
}

bool CDocTemplate::SaveAllModified() {
  for (CDocument* doc : GetDocuments())
    if (!doc->SaveModified()) return false;
  return true;
}

void CDocTemplate::SetDefaultTitle(CDocument* doc) {
  if (doc) doc->SetDefaultTitle();
}

std::unique_ptr<CDocument> CDocTemplate::CreateNewDocument() {
  std::unique_ptr<CDocument> doc = m_document ? m_document() : nullptr;
  if (doc) doc->SetDocTemplate(this);
  return doc;
}

std::unique_ptr<CFrameWnd> CDocTemplate::CreateNewFrame(CDocument* doc) {
  std::unique_ptr<CFrameWnd> frame = m_frame ? m_frame() : nullptr;
  if (!frame) return nullptr;
  CCreateContext context;
  context.m_pCurrentDoc = doc;
  context.m_pNewDocTemplate = this;
  context.m_newView = m_view;
  if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context))
    return nullptr;
  return frame;
}

// ---------------------------------------------------------------- single document

CSingleDocTemplate::~CSingleDocTemplate() {
  // The views go with the frame before the document they point to.
  m_pFrame.reset();
  m_pOnlyDoc.reset();
}

std::vector<CDocument*> CSingleDocTemplate::GetDocuments() const {
  if (!m_pOnlyDoc) return {};
  return {m_pOnlyDoc.get()};
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const std::string& path, bool makeVisible) {
  bool created = false;
  if (m_pOnlyDoc) {
    // The one document is reused: it has to be saved or given up first.
    if (!m_pOnlyDoc->SaveModified()) return nullptr;
  } else {
    m_pOnlyDoc = CreateNewDocument();
    if (!m_pOnlyDoc) return nullptr;
    created = true;
  }
  CDocument* doc = m_pOnlyDoc.get();
  bool frameCreated = false;
  if (!m_pFrame || !m_pFrame->IsWindow()) {
    m_pFrame = CreateNewFrame(doc);
    if (!m_pFrame) {
      if (created) m_pOnlyDoc.reset();
      return nullptr;
    }
    frameCreated = true;
  }
  auto giveUp = [&] {
    if (frameCreated) {
      m_pFrame.reset();
      if (created) m_pOnlyDoc.reset();
    }
  };
  if (path.empty()) {
    SetDefaultTitle(doc);
    if (!doc->OnNewDocument()) {
      giveUp();
      return nullptr;
    }
  } else {
    const bool wasModified = doc->IsModified();
    doc->SetModifiedFlag(false);
    if (!doc->OnOpenDocument(path)) {
      if (created) {
        giveUp();
      } else if (!doc->IsModified()) {
        doc->SetModifiedFlag(wasModified);
      } else {
        SetDefaultTitle(doc);
        (void)doc->OnNewDocument();  // a fresh empty document cannot fail
      }
      return nullptr;
    }
    doc->SetPathName(path);
  }
  CWinApp* app = AfxGetApp();
  if (app && frameCreated && !app->m_pMainWnd) app->m_pMainWnd = m_pFrame.get();
  m_pFrame->InitialUpdateFrame(doc, makeVisible);
  return doc;
}

void CSingleDocTemplate::CloseAllDocuments(bool) {
  if (!m_pOnlyDoc) return;
  m_pOnlyDoc->OnCloseDocument();
  if (m_pFrame && m_pFrame->IsWindow()) (void)m_pFrame->DestroyWindow();
}
