// The per-user settings store: the registry's place on this platform. One INI
// file per program under $XDG_CONFIG_HOME/<company>/, with the INI engine's
// section and key rules. Every write goes to disk at once, atomically; a
// write of the value already stored leaves the file as it is (a start-up
// or a search rewrites the same values each time, and each save waits for
// the disk).
// One profile may be used from several threads (the searches read and write
// their wait limit on worker threads): every call holds the profile's lock.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/inifile.h"

namespace fw {

class CProfile {
 public:
  CProfile() = default;
  // The folder that holds the settings of the given company:
  // $XDG_CONFIG_HOME/<company>, else ~/.config/<company>.
  static std::string FolderFor(std::string_view company);

  // Opens <folder>/<program>.ini (creating the folder on the first write).
  [[nodiscard]] bool Open(const std::string& folder, const std::string& program,
                          std::string* error = nullptr);
  [[nodiscard]] bool OpenFile(const std::string& path, std::string* error = nullptr);
  const std::string& path() const { return m_ini.path(); }
  const std::string& folder() const { return m_folder; }

  int GetProfileInt(std::string_view section, std::string_view key, int def) const;
  std::string GetProfileString(std::string_view section, std::string_view key,
                               std::string_view def = {}) const;
  // Binary values are kept as hex text. False when absent or not hex.
  bool GetProfileBinary(std::string_view section, std::string_view key,
                        std::vector<std::uint8_t>& out) const;

  bool WriteProfileInt(std::string_view section, std::string_view key, long long value);
  bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value);
  bool WriteProfileBinary(std::string_view section, std::string_view key,
                          const std::vector<std::uint8_t>& data);
  bool DeleteProfileKey(std::string_view section, std::string_view key);
  bool DeleteProfileSection(std::string_view section);

  // Why the file could not be read, or why the last write failed.
  std::string last_error() const;
  // Whether the file could not be read or a write failed: the settings are
  // then not kept. A file that could not be read is never written: the values
  // written since live until the program ends.
  bool failed() const;

 private:
  // With the lock held.
  [[nodiscard]] bool Load(const std::string& path, std::string* error);
  [[nodiscard]] bool Flush();
  // Whether the file already holds the value (as text) for the key.
  bool Holds(std::string_view section, std::string_view key, std::string_view value) const;
  mutable std::mutex m_mutex;
  CIniFile m_ini;
  std::string m_folder;
  std::string m_lastError;
  bool m_readable = true;
  bool m_failed = false;
  bool m_unsaved = false;  // the last save failed: the file lags behind
};

// The profile of the running program. Tests may install their own.
CProfile& AppProfile();
void SetAppProfile(CProfile* profile);

}  // namespace fw
