#include "toolkit/bararchive.h"

void CBarArchiveWriter::Grow(std::size_t more) {
  // The memory file grows in steps of 1024 bytes.
  if (m_bytes.size() + more > m_bytes.capacity())
    m_bytes.reserve((m_bytes.size() + more + 1023) / 1024 * 1024);
}

void CBarArchiveWriter::Int(std::int32_t value) {
  Grow(4);
  const auto u = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) m_bytes.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
}

void CBarArchiveWriter::Byte(std::uint8_t value) {
  Grow(1);
  m_bytes.push_back(value);
}

void CBarArchiveWriter::String(const std::string& text) {
  const std::size_t n = text.size();
  if (n < 0xFF) {
    Byte(static_cast<std::uint8_t>(n));
  } else if (n < 0xFFFE) {
    Byte(0xFF);
    Byte(static_cast<std::uint8_t>(n & 0xFF));
    Byte(static_cast<std::uint8_t>(n >> 8));
  } else {
    Byte(0xFF);
    Byte(0xFF);
    Byte(0xFF);
    Int(static_cast<std::int32_t>(n));
  }
  Grow(n);
  m_bytes.insert(m_bytes.end(), text.begin(), text.end());
}

bool CBarArchiveReader::Int(std::int32_t* value) {
  if (remaining() < 4) return false;
  std::uint32_t u = 0;
  for (int i = 0; i < 4; ++i)
    u |= static_cast<std::uint32_t>(m_bytes[m_pos + static_cast<std::size_t>(i)]) << (8 * i);
  m_pos += 4;
  *value = static_cast<std::int32_t>(u);
  return true;
}

bool CBarArchiveReader::Byte(std::uint8_t* value) {
  if (remaining() < 1) return false;
  *value = m_bytes[m_pos++];
  return true;
}

bool CBarArchiveReader::String(std::string* text, std::size_t maxLength) {
  std::uint8_t first = 0;
  if (!Byte(&first)) return false;
  std::size_t n = first;
  if (first == 0xFF) {
    std::uint8_t lo = 0, hi = 0;
    if (!Byte(&lo) || !Byte(&hi)) return false;
    n = static_cast<std::size_t>(lo) | (static_cast<std::size_t>(hi) << 8);
    if (n == 0xFFFF) {
      std::int32_t wide = 0;
      if (!Int(&wide) || wide < 0) return false;
      n = static_cast<std::size_t>(wide);
    }
  }
  if (n > maxLength || n > remaining()) return false;
  text->assign(reinterpret_cast<const char*>(m_bytes.data()) + m_pos, n);
  m_pos += n;
  return true;
}
