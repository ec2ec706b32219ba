// "Update Firmware": the user picks a firmware file and the interface the
// project's switch is wired to; the firmware load then replaces the
// switch's firmware through its boot monitor.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "platform/gui/dialog.h"
#include "switch/cswitchcomm.h"

class CSwitchEntry;
class IToolsDocument;

class CFirmwareUpdateDlg : public CDialog {
 public:
  static constexpr unsigned IDD = 139;
  enum : int {
    kFileId = 1021,
    kBrowseId = 1022,
    kHelpId = 1024,
    kNameId = 1025,
    kInterfaceId = 1015,
  };

  explicit CFirmwareUpdateDlg(CWnd* parent = nullptr);
  ~CFirmwareUpdateDlg() override;

  // The switch to update; the caller keeps it alive while the dialog runs.
  void SetSwitch(const CSwitchEntry* entry) { m_entry = entry; }
  // The open project's file (empty when never saved): Browse starts beside it.
  void SetProjectPath(std::string path) { m_strProjectPath = std::move(path); }

  // The document's command: refuses without a selected switch, else runs
  // the dialog for it. The dialog's result, or IDCANCEL when refused.
  static std::intptr_t Run(CWnd* parent, IToolsDocument& document);

  // Result of the last load (0 or above on success), kNotLoaded before one.
  static constexpr int kNotLoaded = 1;
  int loadResult() const { return m_loadResult; }
  // The firmware file chosen; its field shows it shortened to fit.
  const std::string& file() const { return m_strFile; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;

 private:
  void Browse();
  void ShowFile(std::string path);

  const CSwitchEntry* m_entry = nullptr;
  std::string m_strProjectPath;
  std::string m_strFile;
  std::unique_ptr<cswitchcomm> m_comm;
  CComboBox m_combo;
  int m_loadResult = kNotLoaded;
};
