// The rules of a masked edit, kept apart from the edit control so they can be
// checked without a window: which positions are literals, which characters an
// editable position accepts, what typing a character does to the text, and how
// a free text is fitted to the mask.
#pragma once

#include <functional>
#include <string>
#include <string_view>

class CGridMaskEngine {
 public:
  // The characters that make an editable position; anything else is a literal.
  static constexpr std::string_view kAlphabet = "09#L?Aa&C";
  // Placeholder in the class string at literal positions and in the template
  // at editable positions.
  static constexpr char kPlaceholder = 0x08;

  // An empty mask turns masking off.
  void SetMask(std::string_view mask);
  bool Enabled() const { return m_enabled; }
  const std::string& Mask() const { return m_mask; }
  // Number of positions; the edit's length limit while masking is on.
  int Positions() const { return static_cast<int>(m_class.size()); }
  const std::string& ClassString() const { return m_class; }
  const std::string& LiteralTemplate() const { return m_template; }
  bool IsLiteral(int pos) const {
    return pos >= 0 && pos < Positions() && m_class[pos] == kPlaceholder;
  }

  // Whether `ch` may stand at a position of class `cls` (a placeholder class,
  // i.e. a literal position, accepts anything).
  static bool Fits(char cls, unsigned char ch);

  // Typing one printable character with the selection [selStart, selEnd) of
  // `text`: the selection is deleted, a literal under the caret is inserted
  // first, then the character is checked against the class at the caret and,
  // when `accept` agrees (it may change the character), inserted. Returns
  // whether the character was typed; `text` and the caret are updated either
  // way (the selection and an inserted literal stay even when it was refused).
  bool TypeChar(std::string& text, int selStart, int selEnd, unsigned char ch, int& caret,
                const std::function<bool(unsigned char&)>& accept = {}) const;

  // Fits a text to the mask: literals from the template, editable positions
  // from the next fitting characters of the text; stops when the text is used.
  std::string Reformat(std::string_view text) const;

 private:
  bool m_enabled = false;
  std::string m_mask;
  std::string m_class;
  std::string m_template;
};
