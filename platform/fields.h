#pragma once

#include <string>
#include <string_view>

// Field number field (counting from 1) of a delimited text. Backquotes (`)
// quote a stretch in which the delimiter is an ordinary character; they are
// not copied. Leading blanks and control characters are skipped, at most
// maxlen characters are taken (never splitting a UTF-8 character), and the
// result is trimmed. A field number of 0 or less gives an empty text.
std::string GetDelimitedField(std::string_view text, char delimiter, int field, int maxlen);
