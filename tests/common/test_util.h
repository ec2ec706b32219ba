// Small helpers shared by the test programs.
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fw::test {

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
