#include "platform/resources.h"

#include <atomic>

namespace fw {

CScriptLexer::Tok CScriptLexer::Peek() {
  if (!peeked_) {
    peekTok_ = Scan();
    peeked_ = true;
  }
  return peekTok_;
}

CScriptLexer::Tok CScriptLexer::Next() {
  if (peeked_) {
    peeked_ = false;
    return peekTok_;
  }
  return Scan();
}

CScriptLexer::Tok CScriptLexer::Scan() {
  // Skip blanks and comments.
  for (;;) {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                   text_[pos_] == '\r' || text_[pos_] == '\n')) {
      if (text_[pos_] == '\n') ++line_;
      ++pos_;
    }
    if (text_.substr(pos_, 2) == "//") {
      while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
      continue;
    }
    if (text_.substr(pos_, 2) == "/*") {
      std::size_t end = text_.find("*/", pos_ + 2);
      if (end == std::string_view::npos) {
        tokLine_ = line_;
        error_ = "unterminated comment";
        return Tok::Error;
      }
      for (std::size_t i = pos_; i < end; ++i)
        if (text_[i] == '\n') ++line_;
      pos_ = end + 2;
      continue;
    }
    break;
  }
  tokLine_ = line_;
  tokText_.clear();
  if (pos_ >= text_.size()) return Tok::End;
  const char c = text_[pos_];
  auto isWord = [](char ch) {
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || ch == '_' ||
           (ch >= '0' && ch <= '9');
  };
  if ((c >= '0' && c <= '9') ||
      (c == '-' && pos_ + 1 < text_.size() && text_[pos_ + 1] >= '0' && text_[pos_ + 1] <= '9')) {
    bool neg = c == '-';
    if (neg) ++pos_;
    int base = 10;
    if (text_.substr(pos_, 2) == "0x" || text_.substr(pos_, 2) == "0X") {
      base = 16;
      pos_ += 2;
    }
    long long v = 0;
    std::size_t start = pos_;
    while (pos_ < text_.size()) {
      char d = text_[pos_];
      int dv = d >= '0' && d <= '9'                 ? d - '0'
               : base == 16 && d >= 'a' && d <= 'f' ? d - 'a' + 10
               : base == 16 && d >= 'A' && d <= 'F' ? d - 'A' + 10
                                                    : -1;
      if (dv < 0) break;
      if (v > (1LL << 40)) {
        error_ = "number too large";
        return Tok::Error;
      }
      v = v * base + dv;
      ++pos_;
    }
    if (pos_ == start || (pos_ < text_.size() && isWord(text_[pos_]))) {
      error_ = "malformed number";
      return Tok::Error;
    }
    number_ = neg ? -v : v;
    tokText_ = std::to_string(number_);
    return Tok::Number;
  }
  if (isWord(c)) {
    while (pos_ < text_.size() && isWord(text_[pos_])) tokText_ += text_[pos_++];
    return Tok::Word;
  }
  if (c == '"') {
    ++pos_;
    for (;;) {
      if (pos_ >= text_.size() || text_[pos_] == '\n') {
        error_ = "unterminated string";
        return Tok::Error;
      }
      char ch = text_[pos_++];
      if (ch == '"') return Tok::String;
      if (ch != '\\') {
        tokText_ += ch;
        continue;
      }
      if (pos_ >= text_.size()) {
        error_ = "unterminated string";
        return Tok::Error;
      }
      char e = text_[pos_++];
      switch (e) {
        case 'n': tokText_ += '\n'; break;
        case 'r': tokText_ += '\r'; break;
        case 't': tokText_ += '\t'; break;
        case '\\': tokText_ += '\\'; break;
        case '"': tokText_ += '"'; break;
        case 'x': {
          int v = 0, n = 0;
          while (n < 2 && pos_ < text_.size()) {
            char h = text_[pos_];
            int hv = h >= '0' && h <= '9'   ? h - '0'
                     : h >= 'a' && h <= 'f' ? h - 'a' + 10
                     : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                            : -1;
            if (hv < 0) break;
            v = v * 16 + hv;
            ++pos_;
            ++n;
          }
          if (n == 0) {
            error_ = "bad \\x escape";
            return Tok::Error;
          }
          tokText_ += static_cast<char>(v);
          break;
        }
        default: error_ = std::string("unknown escape \\") + e; return Tok::Error;
      }
    }
  }
  ++pos_;
  tokText_ = std::string(1, c);
  if (c == ',') return Tok::Comma;
  if (c == '|') return Tok::Pipe;
  return Tok::Other;
}

namespace {
std::string At(const CScriptLexer& lex, const std::string& what) {
  return "line " + std::to_string(lex.line()) + ": " + what;
}
}  // namespace

bool CResourceBundle::ParseStringTable(CScriptLexer& lex, std::string* error) {
  using Tok = CScriptLexer::Tok;
  if (lex.Next() != Tok::Word || lex.text() != "BEGIN") {
    *error = At(lex, "BEGIN expected after STRINGTABLE");
    return false;
  }
  for (;;) {
    Tok t = lex.Next();
    if (t == Tok::Word && lex.text() == "END") return true;
    if (t == Tok::Error) {
      *error = At(lex, lex.error());
      return false;
    }
    if (t != Tok::Number || lex.number() < 0 || lex.number() > 0xFFFF) {
      *error = At(lex, t == Tok::End ? "END expected" : "string id (0..65535) expected");
      return false;
    }
    const auto id = static_cast<unsigned>(lex.number());
    if (lex.Peek() == Tok::Comma) lex.Next();
    t = lex.Next();
    if (t != Tok::String) {
      *error = At(lex, t == Tok::Error ? lex.error() : "quoted text expected after id");
      return false;
    }
    if (!strings_.emplace(id, lex.text()).second) {
      *error = At(lex, "string " + std::to_string(id) + " defined twice");
      return false;
    }
  }
}

std::unique_ptr<CResourceBundle> CResourceBundle::Parse(std::string_view script,
                                                        std::string* error) {
  std::string dummy;
  if (!error) error = &dummy;
  auto bundle = std::unique_ptr<CResourceBundle>(new CResourceBundle());
  CScriptLexer lex(script);
  using Tok = CScriptLexer::Tok;
  for (;;) {
    Tok t = lex.Next();
    if (t == Tok::End) return bundle;
    if (t == Tok::Error) {
      *error = At(lex, lex.error());
      return nullptr;
    }
    if (t == Tok::Word && lex.text() == "STRINGTABLE") {
      if (!bundle->ParseStringTable(lex, error)) return nullptr;
      continue;
    }
    *error = At(lex, "unknown statement '" + lex.text() + "'");
    return nullptr;
  }
}

const std::string* CResourceBundle::FindString(unsigned id) const {
  auto it = strings_.find(id);
  return it == strings_.end() ? nullptr : &it->second;
}

namespace {
std::atomic<const CResourceBundle*> g_current{nullptr};
}

const CResourceBundle* CurrentResources() {
  return g_current.load();
}
void SetCurrentResources(const CResourceBundle* bundle) {
  g_current.store(bundle);
}

}  // namespace fw
