// Resource bundles: one per language, parsed from a resource script. The
// script language is a small .rc-like text:
//
//   // comment            /* comment */
//   STRINGTABLE
//   BEGIN
//       20055, "Ring"
//   END
//
// Strings take the escapes \n \r \t \\ \" and \xHH. A bundle answers
// resources by numeric id; the current bundle is the one the program loaded
// at start-up.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

// Tokens of a resource script, shared by every statement's reader.
class CScriptLexer {
 public:
  enum class Tok { End, Word, Number, String, Comma, Pipe, Other, Error };
  explicit CScriptLexer(std::string_view text) : text_(text) {}
  Tok Next();
  Tok Peek();
  const std::string& text() const { return tokText_; }
  long long number() const { return number_; }
  int line() const { return tokLine_; }
  const std::string& error() const { return error_; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  int line_ = 1;
  int tokLine_ = 1;
  std::string tokText_;
  long long number_ = 0;
  std::string error_;
  bool peeked_ = false;
  Tok peekTok_ = Tok::End;
  Tok Scan();
};

class CResourceBundle {
 public:
  // Parses a script; nullptr with a message naming the line on bad input.
  static std::unique_ptr<CResourceBundle> Parse(std::string_view script, std::string* error);

  // nullptr when the bundle has no such string.
  const std::string* FindString(unsigned id) const;
  const std::map<unsigned, std::string>& strings() const { return strings_; }

 private:
  bool ParseStringTable(CScriptLexer& lex, std::string* error);
  std::map<unsigned, std::string> strings_;
};

// The bundle every resource lookup answers from. Until a language library is
// loaded it is the English bundle compiled into the program (if one was set).
const CResourceBundle* CurrentResources();
void SetCurrentResources(const CResourceBundle* bundle);

// The English script compiled into the programs (res/eng.rc).
const CResourceBundle& EmbeddedEnglish();

}  // namespace fw
