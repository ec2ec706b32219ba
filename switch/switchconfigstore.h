// The model catalogue, the models offered to the user and a project's
// switch configurations.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "switch/switchconfig.h"

namespace fw {
class CIniFile;
struct CProjectNotes;

// Results of the project file and of its configuration and switch parts.
enum ProjectFileResult : int {
  kProjectOk = 0,
  kProjectFailed = -1,    // the file cannot be read or written
  kProjectConflict = -3,  // a mirror pair was dropped; a name cannot be written
  // A section was written by a newer program version; it is kept as it was.
  kProjectNewerSection = -5,
};
}  // namespace fw

// Refusals of the model operations (adding or naming a configuration or a
// switch); success is the index or 0.
enum ModelResult : int {
  kModelRefused = -1,       // no name
  kModelDuplicate = -3,     // another one, not deleted, has the name (letter case aside)
  kModelInvalidChars = -4,  // nothing of the name is left without its invalid characters
};

struct CPartRecord {
  std::string partNumber;
  std::string displayName;
  int portCount = 5;
};

class CSwitchConfigStore {
 public:
  explicit CSwitchConfigStore(int showMessages);
  CSwitchConfigStore(const CSwitchConfigStore&) = delete;
  CSwitchConfigStore& operator=(const CSwitchConfigStore&) = delete;
  ~CSwitchConfigStore();

  // Configurations. Deleted ones keep their index; iteration skips them.
  int First() const { return Next(-1); }
  int Next(int index) const;
  CSwitchConfig* GetAt(int index);
  const CSwitchConfig* GetAt(int index) const;
  int GetCount() const { return static_cast<int>(m_configs.size()); }
  // Appends a copy and returns its index. A configuration without a name, or
  // with the name of one that is not deleted (letter case aside), is refused:
  // kModelRefused and kModelDuplicate.
  [[nodiscard]] int Add(const CSwitchConfig& config);
  CSwitchConfig* FindByName(std::string_view name);
  int FindIndexByName(std::string_view name) const;
  // Not deleted, letter case aside; the one to skip (a configuration being renamed) is excluded.
  int FindIndexByNameNoCase(std::string_view name, int skip = -1) const;
  void AppendNames(std::vector<std::string>& names) const;
  void Clear();

  // The configuration part of a project file, read from or written into the
  // parsed file. Reading returns kProjectOk, kProjectConflict when a section
  // dropped a mirror pair (any section, not only the last), or
  // kProjectNewerSection. Writing returns kProjectOk, or kProjectConflict when
  // a configuration could not be written under its name (nothing should then
  // be saved). Problems worth telling the user go to notes.
  [[nodiscard]] int LoadSave(fw::CIniFile& file, bool saving, fw::CProjectNotes* notes = nullptr);

  const std::vector<std::string>& GetBaseTypes() const { return m_baseTypes; }
  // The catalogue of this store: part number -> record.
  const CPartRecord* FindCatalogueRecord(std::string_view partNumber) const;
  const std::map<std::string, std::unique_ptr<CPartRecord>>& Catalogue() const {
    return m_catalogue;
  }

  // Offered models, program-wide.
  static const CPartRecord* LookupModel(std::string_view text);
  static void FillModelLists(std::vector<std::string>& displayNames,
                             std::vector<std::string>* partNumbers = nullptr);
  static std::vector<CPartRecord> OfferedModels();
  static std::string PartNumberFromIdentity(std::span<const std::uint8_t> id);

  // The customisation file read by the first store; by default the program's
  // folder plus the customisation file name. Start-up may name another before the first store.
  static void SetCustomizeFilePath(std::string path);
  // Builds the offered-models list now (start-up calls this before any worker
  // thread exists; later stores then only read it).
  static void EnsureOfferedModels(int showMessages);
  // Forgets the offered-models list so that the next store builds it again.
  // Tests only: records handed out before stay valid until the next reset.
  static void ResetOfferedModels();

 private:
  int Append(const CSwitchConfig& config);

  std::vector<std::unique_ptr<CSwitchConfig>> m_configs;
  std::map<std::string, std::unique_ptr<CPartRecord>> m_catalogue;
  std::vector<std::string> m_baseTypes;
  int m_showMessages = 0;
};

namespace fw {
// The catalogue rows: the record for a part number, with its display name from
// the string table, whether or not the model is offered. False when unknown or "n/a".
bool LookupCatalogueRow(std::string_view partNumber, CPartRecord& out);
}  // namespace fw
