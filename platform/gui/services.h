// Services the windows use that reach outside the program: file dialogs,
// opening links, the clipboard. Each sits behind an interface so tests can
// answer and record instead of opening real windows or browsers.
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

class CWnd;

namespace fw {

struct FileDialogRequest {
  bool open = true;  // false: save
  std::string title;
  std::string initialDir;
  std::string fileName;
  // Pairs "description|pattern|...", patterns separated by ';', ending "||".
  std::string filter;
  std::string defaultExt;  // without the dot; added to a name without extension
  bool overwritePrompt = true;
  bool mustExist = true;
};

class IFileDialogService {
 public:
  virtual ~IFileDialogService() = default;
  // False when the user cancelled; else the chosen path.
  [[nodiscard]] virtual bool Ask(const FileDialogRequest& request, CWnd* parent,
                                 std::string* path) = 0;
};

// Qt's file dialogs.
class CQtFileDialogService : public IFileDialogService {
 public:
  bool Ask(const FileDialogRequest& request, CWnd* parent, std::string* path) override;
};

// Records requests and answers from a queue (an empty answer cancels).
class CScriptedFileDialogService : public IFileDialogService {
 public:
  bool Ask(const FileDialogRequest& request, CWnd* parent, std::string* path) override;
  void QueueAnswer(std::string path) { m_answers.push_back(std::move(path)); }
  const std::vector<FileDialogRequest>& requests() const { return m_requests; }

 private:
  std::deque<std::string> m_answers;
  std::vector<FileDialogRequest> m_requests;
};

// nullptr: Qt's. Returns the service set before.
IFileDialogService* SetFileDialogService(IFileDialogService* service);
IFileDialogService& FileDialogService();

// The filter of a request in Qt's form: "Text (*.txt);;All Files (*.*)".
std::string QtFilterFromPairs(const std::string& filter);
// The default extension added to a name that has none.
std::string WithDefaultExtension(const std::string& path, const std::string& ext);

class IShellService {
 public:
  virtual ~IShellService() = default;
  virtual bool OpenUrl(const std::string& url) = 0;
};

class CRecordingShellService : public IShellService {
 public:
  bool OpenUrl(const std::string& url) override {
    std::lock_guard lock(m_mutex);
    m_opened.push_back(url);
    return true;
  }
  std::vector<std::string> opened() const {
    std::lock_guard lock(m_mutex);
    return m_opened;
  }

 private:
  mutable std::mutex m_mutex;
  std::vector<std::string> m_opened;
};

void SetShellService(IShellService* service);  // nullptr: the desktop's handler

// Only web and mail addresses are opened: a text a window shows may come
// from a file or a switch, and must never start a local program or file.
bool IsSafeLinkTarget(const std::string& target);
// Opens a safe link with the default handler; false (and nothing opened)
// for anything else.
[[nodiscard]] bool ShellOpen(const std::string& target);
// Opens one of the program's own documents (help pages beside the program)
// with the desktop's handler, through the same service, as a file address
// with an optional fragment. False when path is not an existing regular file.
[[nodiscard]] bool OpenProgramFile(const std::string& path, const std::string& fragment = {});

// Plain text on the clipboard (CF_TEXT); false when the clipboard did not
// take it.
[[nodiscard]] bool SetClipboardText(const std::string& text);
std::string GetClipboardText();
bool ClipboardHasText();

}  // namespace fw

// The file dialog as the dialogs call it.
class CFileDialog {
 public:
  CFileDialog(bool open, const std::string& defaultExt = {}, const std::string& fileName = {},
              unsigned flags = 0, const std::string& filter = {}, CWnd* parent = nullptr);
  [[nodiscard]] std::intptr_t DoModal();
  std::string GetPathName() const { return m_path; }
  std::string GetFileName() const;
  std::string GetFileExt() const;
  fw::FileDialogRequest m_ofn;

 private:
  CWnd* m_parent;
  std::string m_path;
};

inline constexpr unsigned OFN_READONLY = 0x1;
inline constexpr unsigned OFN_OVERWRITEPROMPT = 0x2;
inline constexpr unsigned OFN_HIDEREADONLY = 0x4;
inline constexpr unsigned OFN_PATHMUSTEXIST = 0x800;
inline constexpr unsigned OFN_FILEMUSTEXIST = 0x1000;
