// Copies one named configuration from a source project into a destination
// project under a new name. Either project may be the one that is open: then
// the open document is read or extended instead of its file on disk. The
// dialog stays open, so several copies can be made in a row.
#pragma once

#include <string>
#include <vector>

#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "toolkit/imagebutton.h"

class IProjectDocument;

class CCopyCfgDlg : public CDialog {
 public:
  static constexpr unsigned IDD = 144;

  CCopyCfgDlg(CWnd* parent, IProjectDocument* doc);

  std::string m_strSource;
  std::string m_strDestination;
  // The open project's configuration the list starts on; -1: the document's
  // selected one.
  int m_nInitialConfig = -1;

  // The suggestion for a copy of `title` among the destination's titles:
  // the title (cut to 30 characters) and the first free number from 2.
  static std::string SuggestName(const std::string& title,
                                 const std::vector<std::string>& destinationTitles);

 protected:
  bool OnInitDialog() override;

 private:
  bool IsDocument(const std::string& path) const;
  // The configuration titles of a project: the open one's, or a file's.
  std::vector<std::string> TitlesOf(const std::string& path) const;
  void FillConfigList();
  void SelectInitialEntry();
  void RenewSuggestion();
  void ShowPaths();
  void OnSourceBrowse();
  void OnDestinationBrowse();
  void OnCopyNow();

  IProjectDocument* m_doc;
  CImageButton m_close, m_help, m_copyNow, m_sourceBrowse, m_destinationBrowse;
  CComboBox m_configs;
};

namespace fw {
// Whether two paths name the same file: both made canonical (links and "."
// resolved) and compared as they are; two empty paths are the same.
bool SameFilePath(const std::string& a, const std::string& b);
}  // namespace fw
