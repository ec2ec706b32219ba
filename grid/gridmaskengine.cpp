#include "grid/gridmaskengine.h"

#include <algorithm>

void CGridMaskEngine::SetMask(std::string_view mask) {
  m_mask.assign(mask);
  m_class.clear();
  m_template.clear();
  m_enabled = !mask.empty();
  for (std::size_t i = 0; i < mask.size(); ++i) {
    char c = mask[i];
    if (c == '\\' && i + 1 < mask.size()) {
      m_class.push_back(kPlaceholder);
      m_template.push_back(mask[++i]);
    } else if (kAlphabet.find(c) != std::string_view::npos) {
      m_class.push_back(c);
      m_template.push_back(kPlaceholder);
    } else {
      m_class.push_back(kPlaceholder);
      m_template.push_back(c);
    }
  }
}

namespace {
bool IsDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}
// Letters of the single-byte code page: ASCII and the accented range, so that
// German and French names pass a letter position.
bool IsLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0xC0;
}
}  // namespace

bool CGridMaskEngine::Fits(char cls, unsigned char ch) {
  switch (cls) {
    case '0': return IsDigit(ch);
    case '9': return IsDigit(ch) || ch == ' ';
    case '#': return IsDigit(ch) || ch == ' ' || ch == '+' || ch == '-';
    case 'L': return IsLetter(ch);
    case '?': return IsLetter(ch) || ch == ' ';
    case 'A': return IsLetter(ch) || IsDigit(ch);
    case 'a': return IsLetter(ch) || IsDigit(ch) || ch == ' ';
    case '&':
    case 'C': return ch >= 0x20 && ch != 0x7F;
    default: return true;  // literal position
  }
}

bool CGridMaskEngine::TypeChar(std::string& text, int selStart, int selEnd, unsigned char ch,
                               int& caret,
                               const std::function<bool(unsigned char&)>& accept) const {
  int len = static_cast<int>(text.size());
  selStart = std::clamp(selStart, 0, len);
  selEnd = std::clamp(selEnd, 0, len);
  if (selEnd < selStart) std::swap(selStart, selEnd);
  text.erase(static_cast<std::size_t>(selStart), static_cast<std::size_t>(selEnd - selStart));
  caret = selStart;
  if (!m_enabled) {
    if (accept && !accept(ch)) return false;
    text.insert(text.begin() + caret, static_cast<char>(ch));
    ++caret;
    return true;
  }
  const int limit = Positions();
  if (caret >= limit) return false;
  if (m_class[caret] == kPlaceholder) {
    // The literal is typed as the edit would: inserted under the length limit.
    if (static_cast<int>(text.size()) >= limit) return false;
    text.insert(text.begin() + caret, m_template[caret]);
    ++caret;
    if (caret >= limit) return false;
  }
  if (!Fits(m_class[caret], ch)) return false;
  if (accept && !accept(ch)) return false;
  if (static_cast<int>(text.size()) >= limit) return false;
  text.insert(text.begin() + caret, static_cast<char>(ch));
  ++caret;
  return true;
}

std::string CGridMaskEngine::Reformat(std::string_view text) const {
  if (!m_enabled) return std::string(text);
  std::string out;
  std::size_t t = 0;
  for (int pos = 0; pos < Positions() && t < text.size(); ++pos) {
    if (m_class[pos] == kPlaceholder) {
      out.push_back(m_template[pos]);
      // A text that already carries the literal there gives it up, so a text
      // that was formatted before stays as it is.
      if (text[t] == m_template[pos]) ++t;
      continue;
    }
    while (t < text.size() && !Fits(m_class[pos], static_cast<unsigned char>(text[t]))) ++t;
    if (t >= text.size()) break;
    out.push_back(text[t++]);
  }
  return out;
}
