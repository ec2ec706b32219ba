// What the list grids and the tool dialogs need of the open project: read
// access to its configurations and switches, and the operations that change
// them. The program's project document implements it; the grids and dialogs
// never change the project themselves, so the document sees every change,
// marks itself modified and tells the panes.
#pragma once

#include <string>
#include <string_view>

class CSwitchConfig;
class CSwitchConfigStore;
class CSwitchEntry;
class CSwitchList;

// Results of the project operations.
enum ProjectResult : int {
  kProjectOk = 0,
  kProjectRefused = -1,       // empty or invalid input; nothing changed
  kProjectDuplicate = -3,     // the name is in use (letter case aside)
  kProjectInvalidChars = -4,  // nothing would be left of the name
};

// The kinds of change the document tells its views of (with an index).
enum ProjectHint : int {
  kHintEverything = 0,
  kHintConfigAdded = 1,
  kHintConfigDeleted = 2,
  kHintSwitchAdded = 3,
  kHintSwitchDeleted = 4,
  kHintConfigChanged = 5,
};

// Columns of the switch list, as AddSwitchFromField numbers them.
enum SwitchListColumn : int {
  kSwitchColName = 0,
  kSwitchColModel = 1,
  kSwitchColMac = 2,
  kSwitchColConfig = 3,
  kSwitchColModbus = 4,
};

// Names of configurations and switches hold at most this many characters.
inline constexpr int kMaxItemNameChars = 32;

// What is wrong with the configuration a switch names.
enum ConfigProblem : int {
  kConfigFine = 0,
  kConfigNotAssigned = 1,   // the switch names none
  kConfigNotInProject = 2,  // no live configuration has the name
  kConfigIncompatible = 3,  // the port counts differ
};
ConfigProblem ConfigProblemOf(const CSwitchConfigStore& store, const CSwitchEntry& entry);

class IProjectDocument {
 public:
  virtual ~IProjectDocument() = default;

  virtual const CSwitchConfigStore& GetStore() const = 0;
  virtual const CSwitchList& GetSwitches() const = 0;
  // The document's title and its file (empty for a new project).
  virtual std::string GetProjectTitle() const = 0;
  virtual std::string GetProjectPath() const = 0;
  virtual bool IsProjectModified() const = 0;

  // The configuration chosen in the configuration list: a live index or -1.
  virtual int GetSelectedConfigIndex() = 0;
  virtual void SetSelectedConfigIndex(int index) = 0;
  // Whether a switch can take a configuration (their port counts match).
  virtual bool IsCompatible(const CSwitchEntry& entry, const CSwitchConfig& config) const = 0;

  // ---- configurations
  [[nodiscard]] virtual int AddNewConfig(std::string_view name) = 0;
  // Adds a copy under the configuration's own name; the index or a ProjectResult.
  [[nodiscard]] virtual int AddConfig(const CSwitchConfig& config) = 0;
  // Renames a configuration and the references of the switches that use it.
  [[nodiscard]] virtual int SetConfigName(int index, std::string_view name) = 0;

  // ---- switches
  [[nodiscard]] virtual int RenameSwitch(int index, std::string_view name) = 0;
  // A new switch from one field typed or chosen in the list's new-entry row.
  [[nodiscard]] virtual int AddSwitchFromField(int column, std::string_view text) = 0;
  [[nodiscard]] virtual int SetSwitchModel(int index, std::string_view text) = 0;
  [[nodiscard]] virtual int SetSwitchMac(int index, std::string_view text) = 0;
  [[nodiscard]] virtual int SetSwitchConfigName(int index, std::string_view name) = 0;
  // Takes the Modbus and IP settings of `settings` over into the switch.
  [[nodiscard]] virtual int SetSwitchModbus(int index, const CSwitchEntry& settings) = 0;
  // A switch found on the network: the index, or a ProjectResult.
  [[nodiscard]] virtual int AddFoundSwitch(const CSwitchEntry& entry) = 0;
};

namespace fw {
// "XX:XX:XX" of hexadecimal digits: the part of a MAC address a switch entry keeps.
bool IsValidMacSuffix(std::string_view text);

// A name typed by the user as a configuration or switch may carry it: without
// control characters (a line break or tab would break the project file and
// the reports) and without the characters a section name cannot hold,
// trimmed, cut to kMaxItemNameChars characters and without commas. The flags
// say whether it had to be cut and whether commas were removed.
std::string NormalizeItemName(std::string_view name, bool* cut = nullptr,
                              bool* hadCommas = nullptr);

// The folder beside the program that holds its projects.
std::string ProjectsFolder();
// Where a file prompt of a project starts: the project's own folder, or the
// projects folder for a project never saved.
std::string ProjectStartFolder(const std::string& projectPath);
}  // namespace fw
