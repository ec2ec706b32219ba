#include "platform/profile.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "platform/text.h"

namespace fw {

std::string CProfile::FolderFor(std::string_view company) {
  std::string base;
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x) {
    base = x;
  } else if (const char* h = std::getenv("HOME"); h && *h) {
    base = std::string(h) + "/.config";
  } else {
    base = ".";
  }
  return base + "/" + std::string(company.empty() ? "fenwardle" : company);
}

bool CProfile::Open(const std::string& folder, const std::string& program, std::string* error) {
  std::lock_guard lock(m_mutex);
  m_folder = folder;
  return Load(folder + "/" + program + ".ini", error);
}

bool CProfile::OpenFile(const std::string& path, std::string* error) {
  std::lock_guard lock(m_mutex);
  m_folder = std::filesystem::path(path).parent_path().string();
  return Load(path, error);
}

bool CProfile::Load(const std::string& path, std::string* error) {
  m_lastError.clear();
  m_unsaved = false;
  m_readable = m_ini.Load(path, &m_lastError);
  m_failed = !m_readable;
  AppendError(error, m_lastError);
  return m_readable;
}

bool CProfile::Flush() {
  // A file that could not be read is not replaced: what it holds would be lost.
  if (!m_readable) return false;
  std::error_code ec;
  if (!m_folder.empty()) std::filesystem::create_directories(m_folder, ec);
  std::string error;
  m_unsaved = !m_ini.Save(&error);
  if (!m_unsaved) return true;
  m_lastError = std::move(error);
  m_failed = true;
  return false;
}

bool CProfile::Holds(std::string_view section, std::string_view key, std::string_view value) const {
  if (!m_readable || m_unsaved) return false;
  const std::optional<std::string> stored = m_ini.Get(section, key);
  return stored && *stored == value;
}

std::string CProfile::last_error() const {
  std::lock_guard lock(m_mutex);
  return m_lastError;
}

bool CProfile::failed() const {
  std::lock_guard lock(m_mutex);
  return m_failed;
}

int CProfile::GetProfileInt(std::string_view section, std::string_view key, int def) const {
  std::lock_guard lock(m_mutex);
  return m_ini.GetInt(section, key, def);
}

std::string CProfile::GetProfileString(std::string_view section, std::string_view key,
                                       std::string_view def) const {
  std::lock_guard lock(m_mutex);
  return m_ini.GetString(section, key, def);
}

bool CProfile::GetProfileBinary(std::string_view section, std::string_view key,
                                std::vector<std::uint8_t>& out) const {
  std::unique_lock lock(m_mutex);
  auto v = m_ini.Get(section, key);
  lock.unlock();
  if (!v || v->size() % 2) return false;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(v->size() / 2);
  auto nibble = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  for (std::size_t i = 0; i < v->size(); i += 2) {
    int hi = nibble((*v)[i]), lo = nibble((*v)[i + 1]);
    if (hi < 0 || lo < 0) return false;
    bytes.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
  }
  out = std::move(bytes);
  return true;
}

bool CProfile::WriteProfileInt(std::string_view section, std::string_view key, long long value) {
  const std::string text = std::to_string(value);
  std::lock_guard lock(m_mutex);
  if (Holds(section, key, text)) return true;
  m_ini.SetString(section, key, text);
  return Flush();
}

bool CProfile::WriteProfileString(std::string_view section, std::string_view key,
                                  std::string_view value) {
  std::lock_guard lock(m_mutex);
  if (Holds(section, key, value)) return true;
  m_ini.SetString(section, key, value);
  return Flush();
}

bool CProfile::WriteProfileBinary(std::string_view section, std::string_view key,
                                  const std::vector<std::uint8_t>& data) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(data.size() * 2);
  for (auto b : data) {
    text += kHex[b >> 4];
    text += kHex[b & 15];
  }
  std::lock_guard lock(m_mutex);
  if (Holds(section, key, text)) return true;
  m_ini.SetString(section, key, text);
  return Flush();
}

bool CProfile::DeleteProfileKey(std::string_view section, std::string_view key) {
  std::lock_guard lock(m_mutex);
  return m_ini.DeleteKey(section, key) ? Flush() : true;
}

bool CProfile::DeleteProfileSection(std::string_view section) {
  std::lock_guard lock(m_mutex);
  return m_ini.DeleteSection(section) ? Flush() : true;
}

namespace {
std::atomic<CProfile*> g_installed{nullptr};
}

CProfile& AppProfile() {
  static CProfile fallback;
  CProfile* installed = g_installed.load();
  return installed ? *installed : fallback;
}

void SetAppProfile(CProfile* profile) {
  g_installed = profile;
}

}  // namespace fw
