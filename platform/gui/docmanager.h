// The document manager: the program's templates, and the file commands that
// are no single document's: New, Open (with the file prompt), opening a
// named file with the template that suits it, saving all before the end.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/gui/doctemplate.h"

class CDocManager {
 public:
  CDocManager() = default;
  virtual ~CDocManager();
  CDocManager(const CDocManager&) = delete;
  CDocManager& operator=(const CDocManager&) = delete;

  void AddDocTemplate(std::unique_ptr<CDocTemplate> docTemplate);
  const std::vector<std::unique_ptr<CDocTemplate>>& Templates() const { return m_templates; }
  std::vector<CDocument*> Documents() const;

  // A new document of the first template.
  virtual void OnFileNew();
  // The open prompt, then OpenDocumentFile.
  virtual void OnFileOpen();
  // The template that matches best opens the file; a file that is open
  // already is just brought forward (unless the template says otherwise).
  virtual CDocument* OpenDocumentFile(const std::string& path);
  // The file prompt with every template's filter and "All Files"; fileName
  // holds the proposal and gets the choice. False when cancelled.
  virtual bool DoPromptFileName(std::string& fileName, unsigned titleId, unsigned flags, bool open,
                                CDocTemplate* docTemplate);
  virtual bool SaveAllModified();
  virtual void CloseAllDocuments(bool endSession);

 protected:
  // The folder the prompt starts in; none by default (the dialog's own).
  virtual std::string GetInitialFolder() { return {}; }

 private:
  std::vector<std::unique_ptr<CDocTemplate>> m_templates;
};
