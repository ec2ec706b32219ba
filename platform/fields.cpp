#include "platform/fields.h"

#include "platform/text.h"

std::string GetDelimitedField(std::string_view text, char delimiter, int field, int maxlen) {
  std::string result;
  if (field <= 0) return result;
  int current = 1;
  int taken = 0;
  bool quoted = false;
  for (std::size_t i = 0; i < text.size() && current <= field;) {
    const char c = text[i];
    if (c == '`') {
      quoted = !quoted;
      ++i;
      continue;
    }
    if (c == delimiter && !quoted) {
      ++current;
      ++i;
      continue;
    }
    // One whole character: a UTF-8 sequence is taken or left as a unit.
    std::size_t n = fw::Utf8SequenceLength(static_cast<unsigned char>(c));
    if (i + n > text.size()) n = text.size() - i;
    if (current == field && taken < maxlen) {
      const auto uc = static_cast<unsigned char>(c);
      const bool blankOrControl = uc < 0x20 || uc == 0x7F || uc == ' ';
      if (!(result.empty() && blankOrControl)) {
        result.append(text.substr(i, n));
        ++taken;
      }
    }
    i += n;
  }
  return fw::Trim(result);
}
