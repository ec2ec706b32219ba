#include "switch/srecord.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"

namespace fw {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\x1a';
}

// Address bytes of each record type; 0 for the reserved S4.
constexpr int kAddressBytes[10] = {2, 2, 3, 4, 0, 2, 3, 4, 3, 2};

// Checks one line (without its line end). Returns false with the problem added to *error.
bool ParseLine(std::string_view line, int line_no, std::vector<SRecord>* records,
               std::string* error) {
  while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  if (line.empty()) return true;
  // "S", type digit, at least the byte count pair.
  if (line.size() < 4 || (line[0] != 'S' && line[0] != 's') || line[1] < '0' || line[1] > '9') {
    AppendError(error, FormatRes(IDS_SREC_INVALID_LINE, line_no));
    return false;
  }
  const int type = line[1] - '0';
  if (type == 3 || type == 7) {
    AppendError(error, FormatRes(IDS_SREC_32BIT, line_no));
    return false;
  }
  if (type == 4) {
    AppendError(error, FormatRes(IDS_SREC_UNKNOWN_TYPE, line_no));
    return false;
  }
  std::string_view hex = line.substr(2);
  if (hex.size() % 2 != 0) {
    AppendError(error, FormatRes(IDS_SREC_INVALID_LINE, line_no));
    return false;
  }
  std::vector<std::uint8_t> bytes;
  bytes.reserve(hex.size() / 2);
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    const int hi = HexValue(hex[i]), lo = HexValue(hex[i + 1]);
    if (hi < 0 || lo < 0) {
      AppendError(error, FormatRes(IDS_SREC_INVALID_LINE, line_no));
      return false;
    }
    bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
  }
  // bytes[0] counts the address, data and checksum bytes that follow it.
  const int address_bytes = kAddressBytes[type];
  if (bytes[0] + 1u != bytes.size() || bytes[0] < address_bytes + 1) {
    AppendError(error, FormatRes(IDS_SREC_BAD_COUNT, line_no));
    return false;
  }
  unsigned sum = 0;
  for (std::uint8_t b : bytes) sum += b;
  if ((sum & 0xFF) != 0xFF) {
    AppendError(error, FormatRes(IDS_SREC_BAD_CHECKSUM, line_no));
    return false;
  }
  if (type != 1 && type != 2) return true;  // header, count and end records carry no load data
  const std::size_t data_len = bytes[0] - address_bytes - 1u;
  if (data_len > kMaxSRecordData) {
    AppendError(error,
                FormatRes(IDS_SREC_TOO_MANY_BYTES, line_no, static_cast<int>(kMaxSRecordData)));
    return false;
  }
  SRecord rec;
  rec.type = type;
  rec.line = line_no;
  for (int i = 0; i < address_bytes; ++i) rec.address = (rec.address << 8) | bytes[1 + i];
  rec.data.assign(bytes.begin() + 1 + address_bytes, bytes.begin() + 1 + address_bytes + data_len);
  records->push_back(std::move(rec));
  return true;
}

}  // namespace

bool ParseSRecords(std::string_view text, std::vector<SRecord>* records, std::string* error) {
  records->clear();
  if (text.size() > kMaxSRecordFileSize) {
    AppendError(error, LoadResString(IDS_SREC_TOO_LARGE));
    return false;
  }
  int line_no = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    ++line_no;
    if (!ParseLine(text.substr(pos, end - pos), line_no, records, error)) return false;
    // CR LF, LF or a lone CR end a line.
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;
  }
  if (records->empty()) {
    AppendError(error, LoadResString(IDS_SREC_NO_DATA));
    return false;
  }
  return true;
}

bool ReadSRecordFile(const std::string& path, std::vector<SRecord>* records, std::string* error) {
  records->clear();
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!f) {
    AppendError(error, FormatRes(IDS_SREC_READ_FAILED, std::strerror(errno)));
    return false;
  }
  std::string text;
  char buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) {
    text.append(buf, n);
    if (text.size() > kMaxSRecordFileSize) {
      AppendError(error, LoadResString(IDS_SREC_TOO_LARGE));
      return false;
    }
  }
  if (std::ferror(f.get())) {
    AppendError(error, FormatRes(IDS_SREC_READ_FAILED, std::strerror(errno)));
    return false;
  }
  return ParseSRecords(text, records, error);
}

std::vector<std::uint8_t> SRecordBlockBytes(const SRecord& record) {
  std::vector<std::uint8_t> block;
  block.reserve(5 + record.data.size());
  for (int shift = 24; shift >= 0; shift -= 8)
    block.push_back(static_cast<std::uint8_t>(record.address >> shift));
  block.push_back(static_cast<std::uint8_t>(record.data.size()));
  block.insert(block.end(), record.data.begin(), record.data.end());
  return block;
}

int SRecordBlockPosition(std::size_t i, std::size_t n) {
  if (i == 0) return 1;
  if (n > 1 && i == n - 1) return 2;
  return 0;
}

}  // namespace fw
