// The application object: one per program. It runs start-up (InitInstance),
// the event loop while the main window lives, and the end (ExitInstance). It
// holds the program's settings (the profile under the company's folder), the
// document templates through the document manager, the recent-file list and
// the help dispatcher, and it is the last command target on every route
// (New, Open, the recent files, Exit).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gui/cmdtarget.h"
#include "platform/gui/docmanager.h"
#include "platform/profile.h"

class CCmdUI;
class CDocument;
class CWnd;

// The recent-file list: a few paths, newest first, kept in the profile
// (section "Recent File List", keys "File1", ...) and shown as menu items
// ID_FILE_MRU_FILE1 ... in place of the first of them.
class CRecentFileList {
 public:
  CRecentFileList(std::string section, std::string entryFormat, int size);

  int GetSize() const { return static_cast<int>(m_names.size()); }
  const std::string& operator[](int index) const {
    return m_names[static_cast<std::size_t>(index)];
  }
  // Puts the path first; the same file further down goes, the last one drops out.
  void Add(const std::string& path);
  void Remove(int index);
  void ReadList(const fw::CProfile& profile);
  void WriteList(fw::CProfile& profile) const;
  // The update-UI of ID_FILE_MRU_FILE1 in a menu: one item per file ("&1 name")
  // where the first stands, or the original item, disabled, when the list is empty.
  void UpdateMenu(CCmdUI* ui);
  // The text an entry shows: its file name, with the folder it is in when
  // another entry has the same name.
  std::string GetDisplayName(int index) const;

 private:
  std::string m_section;
  std::string m_entryFormat;
  std::vector<std::string> m_names;  // empty strings for unused places
  std::string m_original;            // the menu item the files replace
};

// What the command line asks for.
class CCommandLineInfo {
 public:
  enum { FileNew, FileOpen, FileNothing };
  int m_nShellCommand = FileNew;
  std::string m_strFileName;
  // One argument (args[0], the program, is not passed): the first that is
  // not an option is the file to open.
  virtual void ParseParam(const std::string& param, bool flag);
  virtual ~CCommandLineInfo() = default;
};

class CWinApp : public CCmdTarget {
 public:
  // appName: the program's name (its title string when empty), which names
  // its settings file.
  explicit CWinApp(std::string appName = {});
  ~CWinApp() override;

  // Start-up; false ends the program (ExitInstance still runs).
  virtual bool InitInstance();
  // The end; the program's exit code.
  virtual int ExitInstance();
  // InitInstance, the event loop until the main window is gone, ExitInstance.
  virtual int Run();
  bool IsRunning() const { return m_running; }

  std::string m_pszAppName;
  CWnd* m_pMainWnd = nullptr;
  std::string m_pszHelpFilePath;

  // ---- settings
  // Opens the program's settings under the company's folder and makes them
  // the process's profile.
  void SetRegistryKey(std::string_view company);
  fw::CProfile& Profile() { return fw::AppProfile(); }
  int GetProfileInt(std::string_view section, std::string_view key, int def);
  std::string GetProfileString(std::string_view section, std::string_view key,
                               std::string_view def = {});
  bool WriteProfileInt(std::string_view section, std::string_view key, int value);
  bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value);
  // Tells the user, once in a run, that the settings are not kept when their
  // file could not be read or written so far. Programs call it once their
  // language is in place and their start-up has written its settings.
  void ReportProfileProblem();
  // The recent-file list of maxMru entries, read from the profile.
  void LoadStdProfileSettings(unsigned maxMru = 4);
  void SaveStdProfileSettings();
  virtual void AddToRecentFileList(const std::string& path);
  CRecentFileList* GetRecentFileList() const { return m_pRecentFileList.get(); }

  // ---- documents
  // Installs the default document manager first unless one was set.
  void AddDocTemplate(std::unique_ptr<CDocTemplate> docTemplate);
  void SetDocManager(std::unique_ptr<CDocManager> manager);
  CDocManager* GetDocManager() const { return m_pDocManager.get(); }
  virtual CDocument* OpenDocumentFile(const std::string& path);
  virtual bool DoPromptFileName(std::string& fileName, unsigned titleId, unsigned flags, bool open,
                                CDocTemplate* docTemplate);
  bool SaveAllModified();
  void CloseAllDocuments(bool endSession);
  void ParseCommandLine(CCommandLineInfo& info, const std::vector<std::string>& args);
  // New, open or nothing as the command line asked; false when it failed.
  bool ProcessShellCommand(const CCommandLineInfo& info);

  // ---- help: HELP_CONTEXT goes to the help service.
  virtual void WinHelp(std::uint32_t data, unsigned command);

  // ---- commands
  void OnFileNew();
  void OnFileOpen();
  void OnAppExit();
  // Called by the main window as it is destroyed: the event loop ends.
  virtual void OnMainWindowDestroyed();

 private:
  void OnOpenRecentFile(unsigned id);

  std::unique_ptr<CDocManager> m_pDocManager;
  std::unique_ptr<CRecentFileList> m_pRecentFileList;
  std::unique_ptr<fw::CProfile> m_profile;
  fw::CProfile* m_previousProfile = nullptr;
  bool m_running = false;
  bool m_profileProblemTold = false;
};

// The application object, or null before one exists.
CWinApp* AfxGetApp();
