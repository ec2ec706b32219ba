// Document templates: what kind of document a program opens (its file
// filter and extension from the template's string), and the classes that
// show it (document, frame, view) given as factories. A single-document
// template keeps one document and one frame for the whole run; New and
// Open reuse them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/document.h"
#include "platform/gui/framewnd.h"

class CView;

class CDocTemplate {
 public:
  // How well a file suits a template.
  enum Confidence {
    noAttempt = 0,
    maybeAttemptForeign,
    maybeAttemptNative,
    yesAttemptForeign,
    yesAttemptNative,
    yesAlreadyOpen,
  };
  using DocumentFactory = std::function<std::unique_ptr<CDocument>()>;
  using FrameFactory = std::function<std::unique_ptr<CFrameWnd>()>;
  using ViewFactory = std::function<std::unique_ptr<CView>()>;

  // resourceId names the frame's menu, accelerators, icon and the string
  // "title\nnew name\nfile type\nfilter name\n.ext\n...".
  CDocTemplate(unsigned resourceId, DocumentFactory document, FrameFactory frame, ViewFactory view);
  virtual ~CDocTemplate();
  CDocTemplate(const CDocTemplate&) = delete;
  CDocTemplate& operator=(const CDocTemplate&) = delete;

  unsigned GetResourceId() const { return m_nIDResource; }
  virtual bool GetDocString(std::string& out, CDocument::DocStringIndex index) const;

  // yesAlreadyOpen (match: the open document) when a document of this
  // template has the file open; yesAttemptNative for the template's
  // extension; maybeAttemptForeign otherwise.
  virtual Confidence MatchDocType(const std::string& path, CDocument*& match);
  // An empty path makes a new document. Null when it failed (reported).
  virtual CDocument* OpenDocumentFile(const std::string& path, bool makeVisible = true) = 0;
  virtual std::vector<CDocument*> GetDocuments() const = 0;
  virtual void CloseAllDocuments(bool endSession) = 0;
  // Asks every modified document; false when the user cancelled one.
  bool SaveAllModified();

  virtual void SetDefaultTitle(CDocument* doc);
  [[nodiscard]] std::unique_ptr<CDocument> CreateNewDocument();
  // The frame with its client, hidden; null when it could not be created.
  [[nodiscard]] std::unique_ptr<CFrameWnd> CreateNewFrame(CDocument* doc);

 protected:
  unsigned m_nIDResource;
  DocumentFactory m_document;
  FrameFactory m_frame;
  ViewFactory m_view;
};

class CSingleDocTemplate : public CDocTemplate {
 public:
  using CDocTemplate::CDocTemplate;
  ~CSingleDocTemplate() override;

  CDocument* OpenDocumentFile(const std::string& path, bool makeVisible = true) override;
  std::vector<CDocument*> GetDocuments() const override;
  void CloseAllDocuments(bool endSession) override;
  CFrameWnd* GetFrame() const { return m_pFrame.get(); }

 private:
  std::unique_ptr<CFrameWnd> m_pFrame;
  std::unique_ptr<CDocument> m_pOnlyDoc;
};
