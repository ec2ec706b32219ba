// The rows of the EEROM debugger: address ranges with a description each,
// read from the description file "ringeerom.txt". One row per line:
// RANGE,FUNCTION where RANGE is ADDR or ADDR-ADDR in hexadecimal ("$" is
// ignored) and a back-quoted stretch may hold commas.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CEeromRange {
 public:
  // The switches' EEROM holds 4 KiB: every row must lie inside it.
  static constexpr unsigned kEeromSize = 0x1000;
  static constexpr int kMaxRangeText = 20;
  static constexpr int kMaxNameText = 256;
  static constexpr char kFileName[] = "ringeerom.txt";

  CEeromRange() = default;
  CEeromRange(std::uint16_t s, std::uint16_t e, std::string n)
      : start(s), end(e), name(std::move(n)) {}

  std::uint16_t start = 0;
  std::uint16_t end = 0;  // never below start
  std::string name;

  int ByteCount() const { return end - start + 1; }
};

enum : int { kEeromFileUnreadable = -1 };

// Reads the rows of a description text. A line without a function text is
// passed over; a line whose range is not valid is skipped with a line in
// *error that names it (its number and its text). Returns the number of rows.
int ParseEeromRanges(std::string_view text, const std::string& fileName,
                     std::vector<CEeromRange>* rows, std::string* error);
// The same for a file; kEeromFileUnreadable (no rows) when it cannot be read.
[[nodiscard]] int LoadEeromRanges(const std::string& path, std::vector<CEeromRange>* rows,
                                  std::string* error);
