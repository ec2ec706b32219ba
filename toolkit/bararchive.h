// The byte layout the toolbar's saved settings use: 32-bit little-endian
// integers, bytes, and strings with a length prefix (one byte below 255;
// else 0xFF and 16 bits below 0xFFFE; else 0xFF, 0xFFFF and 32 bits)
// followed by their 8-bit characters. The reader checks every length
// against what is left before it takes anything.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CBarArchiveWriter {
 public:
  CBarArchiveWriter() { m_bytes.reserve(1024); }
  void Int(std::int32_t value);
  void Byte(std::uint8_t value);
  void String(const std::string& text);
  const std::vector<std::uint8_t>& bytes() const { return m_bytes; }

 private:
  void Grow(std::size_t more);
  std::vector<std::uint8_t> m_bytes;
};

class CBarArchiveReader {
 public:
  explicit CBarArchiveReader(const std::vector<std::uint8_t>& bytes) : m_bytes(bytes) {}
  [[nodiscard]] bool Int(std::int32_t* value);
  [[nodiscard]] bool Byte(std::uint8_t* value);
  // Refuses strings longer than maxLength or than what is left.
  [[nodiscard]] bool String(std::string* text, std::size_t maxLength = 4096);
  bool AtEnd() const { return m_pos == m_bytes.size(); }
  std::size_t remaining() const { return m_bytes.size() - m_pos; }

 private:
  const std::vector<std::uint8_t>& m_bytes;
  std::size_t m_pos = 0;
};
