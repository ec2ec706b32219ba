// Small helpers shared by the test programs.
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace fw::test {

// Environment variables set for a test and given back at the end, the last
// set first; a variable that was not there goes again.
class ScopedEnv {
 public:
  ScopedEnv() = default;
  ~ScopedEnv() { Restore(); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;
  void Set(const std::string& name, const std::string& value) {
    const char* old = std::getenv(name.c_str());
    m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    setenv(name.c_str(), value.c_str(), 1);
  }
  void Restore() {
    for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
      if (it->second)
        setenv(it->first.c_str(), it->second->c_str(), 1);
      else
        unsetenv(it->first.c_str());
    }
    m_saved.clear();
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

// A fresh folder under /tmp, removed with everything in it at the end of the scope.
class TempDir {
 public:
  TempDir() {
    char tmpl[] = "/tmp/fwtestXXXXXX";
    const char* made = mkdtemp(tmpl);
    m_path = made ? made : "/tmp";
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(m_path, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string file(const std::string& name) const { return m_path + "/" + name; }
  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
};

// One S-record line of the given type with a correct length and checksum.
inline std::string SRecordLine(int type, std::uint32_t address,
                               const std::vector<std::uint8_t>& data) {
  const int address_bytes = type == 2 || type == 8 ? 3 : (type == 3 || type == 7 ? 4 : 2);
  std::vector<std::uint8_t> bytes;
  bytes.push_back(static_cast<std::uint8_t>(address_bytes + data.size() + 1));
  for (int i = address_bytes - 1; i >= 0; --i)
    bytes.push_back(static_cast<std::uint8_t>(address >> (8 * i)));
  bytes.insert(bytes.end(), data.begin(), data.end());
  unsigned sum = 0;
  for (auto b : bytes) sum += b;
  bytes.push_back(static_cast<std::uint8_t>(~sum));
  std::string line = "S" + std::to_string(type);
  char hex[3];
  for (auto b : bytes) {
    std::snprintf(hex, sizeof hex, "%02X", b);
    line += hex;
  }
  return line;
}

}  // namespace fw::test
