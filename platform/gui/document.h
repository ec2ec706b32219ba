// Documents: the data a program has open, its file and its modified flag, and
// the views that show it. A document is a command target, so a view passes
// the commands it does not handle to its document. Everything that needs the
// document template, the document manager or the frame (the file filter, the
// folder a file prompt starts in, the recent-file list) is asked of small
// virtual hooks here, so a document works, and is tested, without them.
#pragma once

#include <string>
#include <vector>

#include "platform/gui/cmdtarget.h"
#include "platform/gui/stdids.h"  // the file commands a document answers itself
#include "platform/gui/wnd.h"

class CView;

// The base of objects that travel with an update hint.
class CObject {
 public:
  virtual ~CObject() = default;
};

// What Serialize reads from or writes to: the file's path and the direction.
// A document that cannot do its part says why with Fail; the caller reports
// it and keeps what the user has.
class CArchive {
 public:
  enum Mode { store = 0, load = 1 };
  CArchive(std::string path, Mode mode) : m_path(std::move(path)), m_mode(mode) {}

  bool IsLoading() const { return m_mode == load; }
  bool IsStoring() const { return m_mode == store; }
  const std::string& GetFilePath() const { return m_path; }
  // The first reason is kept.
  void Fail(const std::string& reason);
  bool failed() const { return m_failed; }
  const std::string& reason() const { return m_reason; }

 private:
  std::string m_path;
  Mode m_mode;
  bool m_failed = false;
  std::string m_reason;
};

class CDocument : public CCmdTarget {
 public:
  // The fields of the template's document string, as "\n"-separated there.
  enum DocStringIndex {
    windowTitle = 0,
    docName = 1,
    fileNewName = 2,
    filterName = 3,
    filterExt = 4,
    regFileTypeId = 5,
    regFileTypeName = 6,
  };

  CDocument();
  ~CDocument() override;

  // ---- title, path and modified flag
  const std::string& GetTitle() const { return m_strTitle; }
  virtual void SetTitle(const std::string& title);
  const std::string& GetPathName() const { return m_strPathName; }
  // Also makes the file name the title and, when asked, offers the path to
  // the recent-file list.
  virtual void SetPathName(const std::string& path, bool addToRecentList = true);
  virtual bool IsModified() const { return m_bModified; }
  virtual void SetModifiedFlag(bool modified = true) { m_bModified = modified; }

  // The template's document string ("Title\nUntitled\n...\nFilter\n.ext\n").
  void SetDocStrings(const std::string& strings) { m_docStrings = strings; }
  virtual bool GetDocString(std::string& out, DocStringIndex index) const;
  // The title of a document without a file: docName, else "Untitled"'s string.
  void SetDefaultTitle();

  // ---- views
  void AddView(CView* view);
  void RemoveView(CView* view);
  const std::vector<CView*>& GetViews() const { return m_views; }
  // Tells every view but the sender (OnUpdate).
  void UpdateAllViews(CView* sender, LPARAM hint = 0, CObject* hintObject = nullptr);

  // ---- life of the document
  virtual bool OnNewDocument();
  virtual bool OnOpenDocument(const std::string& path);
  virtual bool OnSaveDocument(const std::string& path);
  virtual void OnCloseDocument();
  virtual void DeleteContents() {}
  virtual void Serialize(CArchive& ar);

  // Saves to path, or, with an empty path, to a file the user chooses
  // (replace: the file becomes the document's path; else a copy is saved).
  // False when cancelled or when saving failed.
  virtual bool DoSave(const std::string& path, bool replace = true);
  // Save: to the document's file, or through the prompt when it has none or
  // the file may not be written.
  virtual bool DoFileSave();
  // Asks whether to save a modified document (Yes / No / Cancel). False when
  // the user cancelled or saving failed: the caller then keeps the document.
  virtual bool SaveModified();
  virtual bool CanCloseFrame() { return SaveModified(); }

 protected:
  // ---- hooks for the template, the document manager and the frame
  // The file prompt: fileName holds the proposal and receives the choice.
  virtual bool DoPromptFileName(std::string& fileName, unsigned titleId, unsigned flags, bool open);
  // The folder a file prompt starts in; by default the folder of the document's file.
  virtual std::string GetInitialFolder();
  // The document's file changed; the recent-file list lives with the shell.
  virtual void AddToRecentFileList(const std::string& /*path*/) {}
  // The name the save prompt proposes: the path, or for a new document the
  // title cut at the first character a file name should not start a part with.
  std::string ProposedFileName();
  // Shows a failed open or save with the file and the reason.
  virtual void ReportSaveLoadFailure(unsigned messageId, const std::string& path,
                                     const std::string& reason);

  void OnFileSave() { DoFileSave(); }
  void OnFileSaveAs() { DoSave(std::string()); }

 private:
  friend class CView;
  void ForgetView(CView* view);

  std::string m_strTitle;
  std::string m_strPathName;
  std::string m_docStrings;
  bool m_bModified = false;
  std::vector<CView*> m_views;
};

namespace fw {
// A file that exists and that nobody may write (or that this user may not).
bool IsReadOnlyFile(const std::string& path);
// The folder part of a path without the trailing separator; "" for a bare name.
std::string FolderOfPath(const std::string& path);
}  // namespace fw
