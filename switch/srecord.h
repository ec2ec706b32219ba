// Motorola S-record firmware files. The whole file is read and checked before
// a single block goes to a switch: a half-sent image leaves the switch in its
// boot monitor, so a bad line must be found while nothing has happened yet.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

// One data record (S1 or S2) of a firmware file.
struct SRecord {
  int type = 1;  // 1: 16-bit address, 2: 24-bit address
  std::uint32_t address = 0;
  std::vector<std::uint8_t> data;  // at most kMaxSRecordData bytes
  int line = 0;                    // 1-based line in the file
};

// A load block frame has room for 62 data bytes behind the address and length.
constexpr std::size_t kMaxSRecordData = 62;
// Firmware images are a few hundred kilobytes; anything far larger is not one.
constexpr std::size_t kMaxSRecordFileSize = 16u * 1024u * 1024u;

// Parses and checks every line: syntax, byte count, checksum, data length, no
// S3/S7 (32-bit addresses), at least one data record. Blank lines are allowed;
// S0, S5, S6, S8 and S9 records are checked and skipped. On failure returns
// false with a message that names the line (and leaves *records partial).
[[nodiscard]] bool ParseSRecords(std::string_view text, std::vector<SRecord>* records,
                                 std::string* error);

// Reads and parses a file; a file that cannot be read gives the system's reason.
[[nodiscard]] bool ReadSRecordFile(const std::string& path, std::vector<SRecord>* records,
                                   std::string* error);

// The bytes of a load block: the address as four bytes, most significant
// first, the data length as one byte, then the data.
std::vector<std::uint8_t> SRecordBlockBytes(const SRecord& record);

// Block position of record i of n: 1 the first, 2 the last (when n > 1), 0 any other.
int SRecordBlockPosition(std::size_t i, std::size_t n);

}  // namespace fw
