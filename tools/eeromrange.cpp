#include "tools/eeromrange.h"

#include <fstream>
#include <sstream>

#include "platform/fields.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"

namespace {

// The parts of a range are at most this long, as the form allows.
constexpr std::size_t kMaxSideText = 10;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The leading hexadecimal number of a text without its "$" signs (an
// optional "0x" is allowed); false when it has no digit or is beyond 16 bits.
bool ReadAddress(std::string_view side, unsigned* value) {
  std::string text;
  for (char c : side)
    if (c != '$') text += c;
  text = fw::Trim(text);
  std::size_t i = 0;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') &&
      HexDigit(text[2]) >= 0)
    i = 2;
  unsigned v = 0;
  std::size_t digits = 0;
  for (; i < text.size() && HexDigit(text[i]) >= 0; ++i, ++digits) {
    v = v * 16 + static_cast<unsigned>(HexDigit(text[i]));
    if (v > 0xFFFF) return false;
  }
  *value = v;
  return digits > 0;
}

}  // namespace

int ParseEeromRanges(std::string_view text, const std::string& fileName,
                     std::vector<CEeromRange>* rows, std::string* error) {
  rows->clear();
  int number = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t eol = text.find('\n', pos);
    if (eol == std::string_view::npos) eol = text.size();
    std::string line;
    for (char c : text.substr(pos, eol - pos))
      if (c != '\r') line += c;
    pos = eol + 1;
    ++number;

    const std::string range = GetDelimitedField(line, ',', 1, CEeromRange::kMaxRangeText);
    const std::string name = GetDelimitedField(line, ',', 2, CEeromRange::kMaxNameText);
    if (name.empty()) continue;
    auto skip = [&](const std::string& why) {
      if (error) *error += FormatRes(IDS_EEROM_LINE_SKIPPED, number, fileName) + " " + why + "\n";
    };

    unsigned start = 0, end = 0;
    const std::size_t dash = range.find('-');
    bool ok;
    if (dash == std::string::npos) {
      ok = ReadAddress(range, &start);
      end = start;
    } else {
      const std::string before = fw::Trim(range.substr(0, std::min(dash, kMaxSideText)));
      const std::string after = fw::Trim(range.substr(dash + 1).substr(0, kMaxSideText));
      ok = ReadAddress(before, &start) && ReadAddress(after, &end);
      if (ok && end < start) std::swap(start, end);
    }
    if (!ok) {
      skip(FormatRes(IDS_EEROM_INVALID_RANGE, line));
      continue;
    }
    if (end >= CEeromRange::kEeromSize) {
      skip(FormatRes(IDS_EEROM_RANGE_OUTSIDE, range, CEeromRange::kEeromSize - 1));
      continue;
    }
    rows->emplace_back(static_cast<std::uint16_t>(start), static_cast<std::uint16_t>(end), name);
  }
  return static_cast<int>(rows->size());
}

int LoadEeromRanges(const std::string& path, std::vector<CEeromRange>* rows, std::string* error) {
  rows->clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error += FormatRes(IDS_EEROM_FILE_UNREADABLE, path) + "\n";
    return kEeromFileUnreadable;
  }
  std::ostringstream text;
  text << in.rdbuf();
  const std::string name = path.substr(path.find_last_of('/') + 1);
  // Description files written elsewhere may be in the old Windows code page.
  return ParseEeromRanges(fw::DecodeTextBytes(text.str()), name, rows, error);
}
