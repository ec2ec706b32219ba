// The project document: the one owner of the open project (its switch
// configurations with the model catalogue, and its switches). It loads and
// saves the project file, applies the naming rules, and tells the panes of
// every change with a CIndexPair hint (kind, index). Configurations and
// switches are never removed while the project is open, only marked deleted,
// so the indexes that hints and panes carry stay valid until the next load.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gui/document.h"
#include "switch/switchconfigstore.h"
#include "switch/switchentry.h"
#include "tools/projectdocument.h"

class CSwitchDiscovery;

class CFenwardleDoc : public CDocument, public IProjectDocument {
 public:
  // What the panes of the main window tell the document of their selection.
  // The frame installs it; without it the configuration list counts as active.
  class IPanes {
   public:
    enum Pane { kNoPane = 0, kConfigListPane = 1, kSwitchListPane = 2 };
    virtual ~IPanes() = default;
    virtual int ActivePane() const = 0;
    // The switch the switch list's current row holds, or -1.
    virtual int CurrentSwitchIndex() const = 0;
    // The switch list's current column, or -1.
    virtual int CurrentSwitchColumn() const { return -1; }
  };
  // Builds the communication object of a configuration load.
  using CommFactory = std::function<std::unique_ptr<CSwitchDiscovery>()>;

  CFenwardleDoc();
  ~CFenwardleDoc() override;

  // ---- the document
  void Serialize(CArchive& ar) override;
  bool OnSaveDocument(const std::string& path) override;
  // Refuses a file that is no project before the open project is given up.
  bool OnOpenDocument(const std::string& path) override;
  // A project opened or saved under a name is the one the next start opens.
  void SetPathName(const std::string& path, bool addToRecentList = true) override;
  void DeleteContents() override;

  // ---- the project (IProjectDocument)
  const CSwitchConfigStore& GetStore() const override { return m_store; }
  const CSwitchList& GetSwitches() const override { return m_switches; }
  std::string GetProjectTitle() const override { return GetTitle(); }
  std::string GetProjectPath() const override { return GetPathName(); }
  bool IsProjectModified() const override { return IsModified(); }
  int GetSelectedConfigIndex() override;
  void SetSelectedConfigIndex(int index) override { m_nSelectedConfig = index; }
  bool IsCompatible(const CSwitchEntry& entry, const CSwitchConfig& config) const override {
    return entry.IsCompatible(config);
  }
  int AddNewConfig(std::string_view name) override;
  int AddConfig(const CSwitchConfig& config) override;
  int SetConfigName(int index, std::string_view name) override;
  int RenameSwitch(int index, std::string_view name) override;
  int AddSwitchFromField(int column, std::string_view text) override;
  int SetSwitchModel(int index, std::string_view text) override;
  int SetSwitchMac(int index, std::string_view text) override;
  int SetSwitchConfigName(int index, std::string_view name) override;
  int SetSwitchModbus(int index, const CSwitchEntry& settings) override;
  int AddFoundSwitch(const CSwitchEntry& entry) override;

  // ---- further operations of the panes and commands
  // The switch of the switch list's current row when that pane is active, or -1.
  int GetSelectedSwitchIndex();
  // 0 when the name can be used (after the messages about its length and
  // commas), -1 when nothing is left of it.
  [[nodiscard]] int ValidateConfigName(std::string_view name);
  // "RS_" and the MAC suffix, or the first free "NewSwitch<n>"; never empty.
  std::string MakeUniqueSwitchName(std::string_view macSuffix) const;
  // The warning of the switch list's configuration column for a switch ("" for none).
  std::string ExplainCell(int column, int switchIndex) const;
  // Asks, then marks the switch deleted.
  void DeleteSwitch(int index);
  // Marks a configuration deleted and clears the switches' references to it.
  [[nodiscard]] int DeleteConfig(int index);
  // Takes an edited configuration over (its name under the naming rules).
  [[nodiscard]] int ReplaceConfig(int index, const CSwitchConfig& config);
  // Writes the configuration the switch names into the switch. 0 done or
  // nothing to do; -1 failed (the reason was shown).
  [[nodiscard]] int LoadSelectedConfig(int index);

  // ---- the launchers the panes call, for the switch at an index
  void OpenWinkDialog(int index);
  void OpenSwitchStatus();
  void OpenRecoverSwitch();
  void OpenCopyConfiguration(int configIndex);

  // The external firmware loader beside the program, started without a
  // shell and waited for with the main window disabled (it keeps painting).
  enum LoaderResult : int { kLoaderRan = 0, kLoaderNotStarted = -1 };
  [[nodiscard]] int RunFirmwareLoader();
  static std::string FirmwareLoaderPath();

  void SetPanes(IPanes* panes) { m_panes = panes; }
  IPanes* GetPanes() const { return m_panes; }
  void SetCommFactory(CommFactory factory) { m_commFactory = std::move(factory); }
  // The registered message the network monitor takes its error lines with.
  static UINT NetmonAddErrorMessage();

 protected:
  std::string GetInitialFolder() override;

 private:
  // The menu and toolbar commands.
  void OnConfigAdd();
  void OnAutoFindSwitches();
  void OnConfigEdit();
  void OnConfigDelete();
  void OnExplainWarning();
  void OnUpdateRingFirmware();
  void OnProductSupport();
  void OnDebugEeprom();
  void OnOutputToFile();
  void OnMonitorNetworks();
  // The names of the live configurations but one, for the sheet's name check.
  std::vector<std::string> OtherConfigNames(int skip) const;

  CSwitchConfig* LiveConfig(int index);
  CSwitchEntry* LiveSwitch(int index);
  void SendHint(int kind, int index);
  // The name normalised, with the messages about cutting and commas; -1 when
  // nothing is left, -3 when another live configuration has it.
  int PrepareConfigName(std::string_view name, int skip, std::string* out);
  // The same for switch names, without messages: -1 blank, -4 nothing left, -3 taken.
  int PrepareSwitchName(std::string_view name, int skip, std::string* out) const;
  void RenameConfigReferences(const std::string& from, const std::string& to);

  CSwitchConfigStore m_store;
  CSwitchList m_switches;
  int m_nSelectedConfig = -1;
  IPanes* m_panes = nullptr;
  CommFactory m_commFactory;
};
