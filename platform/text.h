// Text helpers. Inside the programs every text is UTF-8 in a std::string;
// files written on Windows arrive as Windows-1252 and are converted on reading.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fw {

// ASCII and Latin-1 letters folded to lower case; other bytes unchanged.
std::string FoldCase(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);
// <0, 0, >0 like stricmp, over folded text.
int CompareNoCase(std::string_view a, std::string_view b);

bool IsSpace(char c);
std::string_view TrimView(std::string_view s);
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
std::string ToUpperAscii(std::string_view s);
std::string ToLowerAscii(std::string_view s);

bool IsValidUtf8(std::string_view s);
// Length in bytes of the UTF-8 sequence that starts with lead byte c (1 for stray bytes).
std::size_t Utf8SequenceLength(unsigned char c);
std::string Cp1252ToUtf8(std::string_view s);
// Converts to Windows-1252; returns false (and leaves out) when a character has no cp1252 form.
[[nodiscard]] bool Utf8ToCp1252(std::string_view s, std::string& out);
// Bytes of a text file as UTF-8: a byte order mark is dropped, valid UTF-8 is
// kept, anything else is taken as Windows-1252.
std::string DecodeTextBytes(std::string_view bytes);

// Adds the text of a problem to a caller's error text, on a line of its own
// when the text already holds one; nothing when error is null. Every
// operation with an error text reports through this.
void AppendError(std::string* error, std::string_view text);

// Splits at CR LF, LF or a lone CR; the line ends never reach a line.
std::vector<std::string> SplitLines(std::string_view text);

// Whole-string integer parse in the manner of atoi: leading blanks, sign, digits;
// stops at the first other character. Saturates instead of overflowing.
long long AtoI(std::string_view s);

}  // namespace fw
