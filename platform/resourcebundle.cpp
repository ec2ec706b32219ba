#include "platform/resourcebundle.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <utility>

#include "platform/message.h"
#include "platform/styles.h"
#include "platform/text.h"

namespace fw {

// Peeking keeps text(), number() and line() on the last token taken, so a
// message about it names its own line, not the line of what follows.
CScriptLexer::Tok CScriptLexer::Peek() {
  if (!m_peeked) {
    std::string text = m_tokText;
    long long number = m_number;
    int line = m_tokLine;
    m_peekTok = Scan();
    std::swap(m_peekText, m_tokText);
    m_peekNumber = m_number;
    m_peekLine = m_tokLine;
    m_tokText = std::move(text);
    m_number = number;
    m_tokLine = line;
    m_peeked = true;
  }
  return m_peekTok;
}

CScriptLexer::Tok CScriptLexer::Next() {
  if (m_peeked) {
    m_peeked = false;
    m_tokText = std::move(m_peekText);
    m_number = m_peekNumber;
    m_tokLine = m_peekLine;
    return m_peekTok;
  }
  return Scan();
}

CScriptLexer::Tok CScriptLexer::Scan() {
  // Skip blanks and comments.
  for (;;) {
    while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' ||
                                     m_text[m_pos] == '\r' || m_text[m_pos] == '\n')) {
      if (m_text[m_pos] == '\n') ++m_line;
      ++m_pos;
    }
    if (m_text.substr(m_pos, 2) == "//") {
      while (m_pos < m_text.size() && m_text[m_pos] != '\n') ++m_pos;
      continue;
    }
    if (m_text.substr(m_pos, 2) == "/*") {
      std::size_t end = m_text.find("*/", m_pos + 2);
      if (end == std::string_view::npos) {
        m_tokLine = m_line;
        m_error = "unterminated comment";
        return Tok::Error;
      }
      for (std::size_t i = m_pos; i < end; ++i)
        if (m_text[i] == '\n') ++m_line;
      m_pos = end + 2;
      continue;
    }
    break;
  }
  m_tokLine = m_line;
  m_tokText.clear();
  if (m_pos >= m_text.size()) return Tok::End;
  const char c = m_text[m_pos];
  auto isWord = [](char ch) {
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || ch == '_' ||
           (ch >= '0' && ch <= '9');
  };
  if ((c >= '0' && c <= '9') || (c == '-' && m_pos + 1 < m_text.size() &&
                                 m_text[m_pos + 1] >= '0' && m_text[m_pos + 1] <= '9')) {
    bool neg = c == '-';
    if (neg) ++m_pos;
    int base = 10;
    if (m_text.substr(m_pos, 2) == "0x" || m_text.substr(m_pos, 2) == "0X") {
      base = 16;
      m_pos += 2;
    }
    long long v = 0;
    std::size_t start = m_pos;
    while (m_pos < m_text.size()) {
      char d = m_text[m_pos];
      int dv = d >= '0' && d <= '9'                 ? d - '0'
               : base == 16 && d >= 'a' && d <= 'f' ? d - 'a' + 10
               : base == 16 && d >= 'A' && d <= 'F' ? d - 'A' + 10
                                                    : -1;
      if (dv < 0) break;
      if (v > (1LL << 40)) {
        m_error = "number too large";
        return Tok::Error;
      }
      v = v * base + dv;
      ++m_pos;
    }
    if (m_pos == start || (m_pos < m_text.size() && isWord(m_text[m_pos]))) {
      m_error = "malformed number";
      return Tok::Error;
    }
    m_number = neg ? -v : v;
    m_tokText = std::to_string(m_number);
    return Tok::Number;
  }
  if (isWord(c)) {
    while (m_pos < m_text.size() && isWord(m_text[m_pos])) m_tokText += m_text[m_pos++];
    return Tok::Word;
  }
  if (c == '"') {
    ++m_pos;
    for (;;) {
      if (m_pos >= m_text.size() || m_text[m_pos] == '\n') {
        m_error = "unterminated string";
        return Tok::Error;
      }
      char ch = m_text[m_pos++];
      if (ch == '"') return Tok::String;
      if (ch != '\\') {
        m_tokText += ch;
        continue;
      }
      if (m_pos >= m_text.size()) {
        m_error = "unterminated string";
        return Tok::Error;
      }
      char e = m_text[m_pos++];
      switch (e) {
        case 'n': m_tokText += '\n'; break;
        case 'r': m_tokText += '\r'; break;
        case 't': m_tokText += '\t'; break;
        case '\\': m_tokText += '\\'; break;
        case '"': m_tokText += '"'; break;
        case 'x': {
          int v = 0, n = 0;
          while (n < 2 && m_pos < m_text.size()) {
            char h = m_text[m_pos];
            int hv = h >= '0' && h <= '9'   ? h - '0'
                     : h >= 'a' && h <= 'f' ? h - 'a' + 10
                     : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                            : -1;
            if (hv < 0) break;
            v = v * 16 + hv;
            ++m_pos;
            ++n;
          }
          if (n == 0) {
            m_error = "bad \\x escape";
            return Tok::Error;
          }
          m_tokText += static_cast<char>(v);
          break;
        }
        default: m_error = std::string("unknown escape \\") + e; return Tok::Error;
      }
    }
  }
  ++m_pos;
  m_tokText = std::string(1, c);
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
    // "NAME = id, text": the name is for the generated id header, the
    // bundle keeps only the id.
    if (t == Tok::Word && lex.Peek() == Tok::Other) {
      lex.Next();
      if (lex.text() != "=") {
        *error = At(lex, "'=' expected after string name");
        return false;
      }
      t = lex.Next();
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
    if (!m_strings.emplace(id, lex.text()).second) {
      *error = At(lex, "string " + std::to_string(id) + " defined twice");
      return false;
    }
  }
}

bool CResourceBundle::ParseImage(CScriptLexer& lex, unsigned id, ImageKind kind,
                                 std::string* error) {
  using Tok = CScriptLexer::Tok;
  if (lex.Next() != Tok::String || lex.text().empty()) {
    *error = At(lex, "image file name expected");
    return false;
  }
  CImageRef ref;
  ref.file = lex.text();
  // Only plain names of res/images/: no folders, so a script cannot reach elsewhere.
  if (ref.file.find_first_of("/\\:") != std::string::npos || ref.file[0] == '.') {
    *error = At(lex, "image file name without a folder expected");
    return false;
  }
  if (kind == ImageKind::Cursor && lex.Peek() == Tok::Comma) {
    lex.Next();
    int hot[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
      if (i == 1 && lex.Next() != Tok::Comma) {
        *error = At(lex, "',' expected between the hot spot's coordinates");
        return false;
      }
      if (lex.Next() != Tok::Number || lex.number() < 0 || lex.number() > 255) {
        *error = At(lex, "hot spot coordinate (0..255) expected");
        return false;
      }
      hot[i] = static_cast<int>(lex.number());
    }
    ref.hotX = hot[0];
    ref.hotY = hot[1];
  }
  if (!m_images.emplace(std::make_pair(kind, id), std::move(ref)).second) {
    *error = At(lex, "image " + std::to_string(id) + " defined twice");
    return false;
  }
  return true;
}

const CImageRef* CResourceBundle::FindImage(ImageKind kind, unsigned id) const {
  auto it = m_images.find({kind, id});
  return it == m_images.end() ? nullptr : &it->second;
}

std::unique_ptr<CResourceBundle> CResourceBundle::Parse(std::string_view script,
                                                        std::string* error) {
  std::string problem;
  auto bundle = ParseScript(script, &problem);
  if (!bundle) AppendError(error, problem);
  return bundle;
}

std::unique_ptr<CResourceBundle> CResourceBundle::ParseScript(std::string_view script,
                                                              std::string* error) {
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
    if (t == Tok::Number) {
      if (lex.number() < 0 || lex.number() > 0xFFFF) {
        *error = At(lex, "resource id (0..65535) expected");
        return nullptr;
      }
      const auto id = static_cast<unsigned>(lex.number());
      Tok kind = lex.Next();
      if (kind == Tok::Word && (lex.text() == "DIALOG" || lex.text() == "DIALOGEX")) {
        if (!bundle->ParseDialog(lex, id, lex.text() == "DIALOGEX", error)) return nullptr;
        continue;
      }
      if (kind == Tok::Word &&
          (lex.text() == "ICON" || lex.text() == "BITMAP" || lex.text() == "CURSOR")) {
        const ImageKind image = lex.text() == "ICON"     ? ImageKind::Icon
                                : lex.text() == "BITMAP" ? ImageKind::Bitmap
                                                         : ImageKind::Cursor;
        if (!bundle->ParseImage(lex, id, image, error)) return nullptr;
        continue;
      }
      if (kind == Tok::Word && lex.text() == "VERSIONINFO") {
        if (!bundle->ParseVersionInfo(lex, id, error)) return nullptr;
        continue;
      }
      if (kind == Tok::Word && lex.text() == "MENU") {
        if (!bundle->ParseMenu(lex, id, error)) return nullptr;
        continue;
      }
      if (kind == Tok::Word && lex.text() == "ACCELERATORS") {
        if (!bundle->ParseAccelerators(lex, id, error)) return nullptr;
        continue;
      }
      if (kind == Tok::Word && lex.text() == "TOOLBAR") {
        if (!bundle->ParseToolBar(lex, id, error)) return nullptr;
        continue;
      }
      *error = At(lex, kind == Tok::Error
                           ? lex.error()
                           : "resource type expected after id, found '" + lex.text() + "'");
      return nullptr;
    }
    *error = At(lex, "unknown statement '" + lex.text() + "'");
    return nullptr;
  }
}

// ---- dialog templates ----------------------------------------------------------

namespace {

struct Symbol {
  const char* name;
  long long value;
};

#define SYM(x) \
  { #x, static_cast < long long>(x) }
constexpr Symbol kSymbols[] = {
    SYM(WS_OVERLAPPED),
    SYM(WS_POPUP),
    SYM(WS_CHILD),
    SYM(WS_MINIMIZE),
    SYM(WS_VISIBLE),
    SYM(WS_DISABLED),
    SYM(WS_CLIPSIBLINGS),
    SYM(WS_CLIPCHILDREN),
    SYM(WS_MAXIMIZE),
    SYM(WS_CAPTION),
    SYM(WS_BORDER),
    SYM(WS_DLGFRAME),
    SYM(WS_VSCROLL),
    SYM(WS_HSCROLL),
    SYM(WS_SYSMENU),
    SYM(WS_THICKFRAME),
    SYM(WS_GROUP),
    SYM(WS_TABSTOP),
    SYM(WS_MINIMIZEBOX),
    SYM(WS_MAXIMIZEBOX),
    SYM(WS_OVERLAPPEDWINDOW),
    SYM(WS_EX_DLGMODALFRAME),
    SYM(WS_EX_TOPMOST),
    SYM(WS_EX_TRANSPARENT),
    SYM(WS_EX_TOOLWINDOW),
    SYM(WS_EX_WINDOWEDGE),
    SYM(WS_EX_CLIENTEDGE),
    SYM(WS_EX_CONTEXTHELP),
    SYM(WS_EX_STATICEDGE),
    SYM(WS_EX_CONTROLPARENT),
    SYM(DS_ABSALIGN),
    SYM(DS_SYSMODAL),
    SYM(DS_3DLOOK),
    SYM(DS_FIXEDSYS),
    SYM(DS_NOFAILCREATE),
    SYM(DS_SETFONT),
    SYM(DS_MODALFRAME),
    SYM(DS_NOIDLEMSG),
    SYM(DS_SETFOREGROUND),
    SYM(DS_CONTROL),
    SYM(DS_CENTER),
    SYM(DS_CENTERMOUSE),
    SYM(DS_CONTEXTHELP),
    SYM(DS_SHELLFONT),
    SYM(SS_LEFT),
    SYM(SS_CENTER),
    SYM(SS_RIGHT),
    SYM(SS_ICON),
    SYM(SS_BLACKRECT),
    SYM(SS_GRAYRECT),
    SYM(SS_WHITERECT),
    SYM(SS_BLACKFRAME),
    SYM(SS_GRAYFRAME),
    SYM(SS_WHITEFRAME),
    SYM(SS_SIMPLE),
    SYM(SS_LEFTNOWORDWRAP),
    SYM(SS_OWNERDRAW),
    SYM(SS_BITMAP),
    SYM(SS_ETCHEDHORZ),
    SYM(SS_ETCHEDVERT),
    SYM(SS_ETCHEDFRAME),
    SYM(SS_NOPREFIX),
    SYM(SS_NOTIFY),
    SYM(SS_CENTERIMAGE),
    SYM(SS_SUNKEN),
    SYM(SS_ENDELLIPSIS),
    SYM(BS_PUSHBUTTON),
    SYM(BS_DEFPUSHBUTTON),
    SYM(BS_CHECKBOX),
    SYM(BS_AUTOCHECKBOX),
    SYM(BS_RADIOBUTTON),
    SYM(BS_3STATE),
    SYM(BS_AUTO3STATE),
    SYM(BS_GROUPBOX),
    SYM(BS_AUTORADIOBUTTON),
    SYM(BS_OWNERDRAW),
    SYM(BS_LEFTTEXT),
    SYM(BS_ICON),
    SYM(BS_BITMAP),
    SYM(BS_LEFT),
    SYM(BS_RIGHT),
    SYM(BS_CENTER),
    SYM(BS_TOP),
    SYM(BS_BOTTOM),
    SYM(BS_VCENTER),
    SYM(BS_PUSHLIKE),
    SYM(BS_MULTILINE),
    SYM(BS_NOTIFY),
    SYM(BS_FLAT),
    SYM(ES_LEFT),
    SYM(ES_CENTER),
    SYM(ES_RIGHT),
    SYM(ES_MULTILINE),
    SYM(ES_UPPERCASE),
    SYM(ES_LOWERCASE),
    SYM(ES_PASSWORD),
    SYM(ES_AUTOVSCROLL),
    SYM(ES_AUTOHSCROLL),
    SYM(ES_NOHIDESEL),
    SYM(ES_OEMCONVERT),
    SYM(ES_READONLY),
    SYM(ES_WANTRETURN),
    SYM(ES_NUMBER),
    SYM(CBS_SIMPLE),
    SYM(CBS_DROPDOWN),
    SYM(CBS_DROPDOWNLIST),
    SYM(CBS_OWNERDRAWFIXED),
    SYM(CBS_OWNERDRAWVARIABLE),
    SYM(CBS_AUTOHSCROLL),
    SYM(CBS_OEMCONVERT),
    SYM(CBS_SORT),
    SYM(CBS_HASSTRINGS),
    SYM(CBS_NOINTEGRALHEIGHT),
    SYM(CBS_DISABLENOSCROLL),
    SYM(LBS_NOTIFY),
    SYM(LBS_SORT),
    SYM(LBS_NOREDRAW),
    SYM(LBS_MULTIPLESEL),
    SYM(LBS_OWNERDRAWFIXED),
    SYM(LBS_HASSTRINGS),
    SYM(LBS_USETABSTOPS),
    SYM(LBS_NOINTEGRALHEIGHT),
    SYM(LBS_WANTKEYBOARDINPUT),
    SYM(LBS_EXTENDEDSEL),
    SYM(LBS_DISABLENOSCROLL),
    SYM(LBS_NOSEL),
    SYM(PBS_SMOOTH),
    SYM(PBS_VERTICAL),
    SYM(LVS_ICON),
    SYM(LVS_REPORT),
    SYM(LVS_SMALLICON),
    SYM(LVS_LIST),
    SYM(LVS_SINGLESEL),
    SYM(LVS_SHOWSELALWAYS),
    SYM(LVS_SORTASCENDING),
    SYM(LVS_SORTDESCENDING),
    SYM(LVS_NOLABELWRAP),
    SYM(LVS_EDITLABELS),
    SYM(LVS_OWNERDATA),
    SYM(LVS_NOSCROLL),
    SYM(LVS_NOCOLUMNHEADER),
    SYM(LVS_NOSORTHEADER),
    SYM(TCS_TABS),
    SYM(TCS_MULTILINE),
    SYM(TCS_FIXEDWIDTH),
    SYM(TCS_FOCUSNEVER),
    SYM(IDOK),
    SYM(IDCANCEL),
    SYM(IDABORT),
    SYM(IDRETRY),
    SYM(IDIGNORE),
    SYM(IDYES),
    SYM(IDNO),
    SYM(IDCLOSE),
    SYM(IDHELP),
    SYM(IDC_STATIC),
};
#undef SYM

// Control statements other than CONTROL: their class, default style, and
// whether they take a text before the id.
struct ItemKind {
  const char* keyword;
  const char* className;
  std::uint32_t style;
  bool hasText;
};
constexpr ItemKind kItemKinds[] = {
    {"LTEXT", "Static", SS_LEFT | WS_GROUP, true},
    {"RTEXT", "Static", SS_RIGHT | WS_GROUP, true},
    {"CTEXT", "Static", SS_CENTER | WS_GROUP, true},
    {"ICON", "Static", SS_ICON, true},
    {"PUSHBUTTON", "Button", BS_PUSHBUTTON | WS_TABSTOP, true},
    {"DEFPUSHBUTTON", "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, true},
    {"CHECKBOX", "Button", BS_CHECKBOX | WS_TABSTOP, true},
    {"AUTOCHECKBOX", "Button", BS_AUTOCHECKBOX | WS_TABSTOP, true},
    {"RADIOBUTTON", "Button", BS_RADIOBUTTON, true},
    {"AUTORADIOBUTTON", "Button", BS_AUTORADIOBUTTON, true},
    {"GROUPBOX", "Button", BS_GROUPBOX, true},
    {"EDITTEXT", "Edit", ES_LEFT | WS_BORDER | WS_TABSTOP, false},
    {"COMBOBOX", "ComboBox", CBS_SIMPLE | WS_TABSTOP, false},
    {"LISTBOX", "ListBox", LBS_NOTIFY | WS_BORDER | WS_VSCROLL, false},
};

// Class names as scripts may spell them, folded to the one spelling the
// window code looks for.
std::string CanonicalClass(std::string name) {
  static const char* const kKnown[] = {"Button",
                                       "Static",
                                       "Edit",
                                       "ComboBox",
                                       "ListBox",
                                       "ScrollBar",
                                       "msctls_progress32",
                                       "SysListView32",
                                       "SysTabControl32",
                                       "msctls_updown32"};
  for (const char* k : kKnown) {
    std::string a(k);
    if (a.size() == name.size() && std::equal(a.begin(), a.end(), name.begin(), [](char x, char y) {
          return std::tolower(static_cast<unsigned char>(x)) ==
                 std::tolower(static_cast<unsigned char>(y));
        }))
      return a;
  }
  return name;
}

constexpr int kMaxCoordinate = 32767;
constexpr std::size_t kMaxItems = 1024;

class DialogReader {
 public:
  DialogReader(CScriptLexer& lex, std::string* error) : m_lex(lex), m_error(error) {}

  bool Fail(const std::string& what) {
    *m_error = At(m_lex, what);
    return false;
  }

  // number | symbol | NOT term, joined with '|'. NOT removes bits from the
  // statement's defaults, as the resource compiler does.
  bool Expression(long long* value, std::uint32_t* removed) {
    using Tok = CScriptLexer::Tok;
    long long v = 0;
    for (;;) {
      bool negate = false;
      Tok t = m_lex.Next();
      if (t == Tok::Word && m_lex.text() == "NOT") {
        negate = true;
        t = m_lex.Next();
      }
      long long term = 0;
      if (t == Tok::Number) {
        term = m_lex.number();
      } else if (t == Tok::Word) {
        if (!LookupResourceSymbol(m_lex.text(), &term))
          return Fail("unknown symbol '" + m_lex.text() + "'");
      } else if (t == Tok::Error) {
        return Fail(m_lex.error());
      } else {
        return Fail("number or symbol expected, found '" + m_lex.text() + "'");
      }
      if (negate) {
        if (!removed) return Fail("NOT is allowed only in styles");
        *removed |= static_cast<std::uint32_t>(term);
      } else {
        v |= term;
      }
      if (m_lex.Peek() != Tok::Pipe) break;
      m_lex.Next();
    }
    *value = v;
    return true;
  }

  bool Int(int* out, int lo, int hi, const char* what) {
    long long v = 0;
    if (!Expression(&v, nullptr)) return false;
    if (v < lo || v > hi) return Fail(std::string(what) + " out of range");
    *out = static_cast<int>(v);
    return true;
  }

  bool Style(std::uint32_t* style) {
    long long v = 0;
    std::uint32_t removed = 0;
    if (!Expression(&v, &removed)) return false;
    if (v < -0x80000000LL || v > 0xFFFFFFFFLL) return Fail("style out of range");
    *style = (*style | static_cast<std::uint32_t>(v)) & ~removed;
    return true;
  }

  bool Comma() {
    if (m_lex.Next() != CScriptLexer::Tok::Comma) return Fail("',' expected");
    return true;
  }
  bool OptionalComma() {
    if (m_lex.Peek() != CScriptLexer::Tok::Comma) return false;
    m_lex.Next();
    return true;
  }

  bool String(std::string* out) {
    CScriptLexer::Tok t = m_lex.Next();
    if (t == CScriptLexer::Tok::Error) return Fail(m_lex.error());
    if (t != CScriptLexer::Tok::String) return Fail("quoted text expected");
    *out = m_lex.text();
    return true;
  }

  bool Rect(CDialogItem* item) {
    return Int(&item->x, -kMaxCoordinate, kMaxCoordinate, "x") && Comma() &&
           Int(&item->y, -kMaxCoordinate, kMaxCoordinate, "y") && Comma() &&
           Int(&item->cx, 0, kMaxCoordinate, "width") && Comma() &&
           Int(&item->cy, 0, kMaxCoordinate, "height");
  }

  // The keyword is a copy: the lexer's text moves on as the item is read.
  bool Item(std::string keyword, CDialogItem* item) {
    item->line = m_lex.line();
    if (keyword == "CONTROL") {
      // CONTROL "text", id, class, style, x, y, cx, cy [, exstyle]
      item->style = WS_CHILD | WS_VISIBLE;
      if (!String(&item->text) || !Comma() || !Int(&item->id, -1, 0xFFFF, "control id") || !Comma())
        return false;
      CScriptLexer::Tok t = m_lex.Next();
      if (t != CScriptLexer::Tok::String && t != CScriptLexer::Tok::Word)
        return Fail("control class expected");
      item->className = CanonicalClass(m_lex.text());
      if (item->className.empty()) return Fail("control class expected");
      if (!Comma() || !Style(&item->style) || !Comma() || !Rect(item)) return false;
      if (OptionalComma()) return Style(&item->exStyle);
      return true;
    }
    const ItemKind* kind = nullptr;
    for (const ItemKind& k : kItemKinds)
      if (keyword == k.keyword) kind = &k;
    if (!kind) return Fail("unknown control statement '" + keyword + "'");
    item->className = kind->className;
    item->style = WS_CHILD | WS_VISIBLE | kind->style;
    if (kind->hasText && (!String(&item->text) || !Comma())) return false;
    if (!Int(&item->id, -1, 0xFFFF, "control id") || !Comma()) return false;
    if (keyword == "ICON") {
      // ICON text, id, x, y [, cx, cy [, style [, exstyle]]]
      if (!Int(&item->x, -kMaxCoordinate, kMaxCoordinate, "x") || !Comma() ||
          !Int(&item->y, -kMaxCoordinate, kMaxCoordinate, "y"))
        return false;
      if (!OptionalComma()) return true;
      if (!Int(&item->cx, 0, kMaxCoordinate, "width") || !Comma() ||
          !Int(&item->cy, 0, kMaxCoordinate, "height"))
        return false;
    } else if (!Rect(item)) {
      return false;
    }
    if (OptionalComma() && !Style(&item->style)) return false;
    if (OptionalComma() && !Style(&item->exStyle)) return false;
    return true;
  }

 private:
  CScriptLexer& m_lex;
  std::string* m_error;
};

}  // namespace

bool LookupResourceSymbol(std::string_view name, long long* value) {
  for (const Symbol& s : kSymbols) {
    if (name == s.name) {
      *value = s.value;
      return true;
    }
  }
  return false;
}

const CDialogItem* CDialogTemplate::FindItem(int itemId) const {
  for (const CDialogItem& item : items)
    if (item.id == itemId) return &item;
  return nullptr;
}

bool CResourceBundle::ParseDialog(CScriptLexer& lex, unsigned id, bool extended,
                                  std::string* error) {
  using Tok = CScriptLexer::Tok;
  DialogReader r(lex, error);
  CDialogTemplate dlg;
  dlg.id = id;
  dlg.extended = extended;
  dlg.style = WS_POPUP | WS_BORDER | WS_SYSMENU;
  CDialogItem box;
  if (!r.Rect(&box)) return false;
  dlg.x = box.x, dlg.y = box.y, dlg.cx = box.cx, dlg.cy = box.cy;
  if (r.OptionalComma()) {
    int helpId = 0;  // accepted and unused: help goes by template id
    if (!r.Int(&helpId, 0, 0x7FFFFFFF, "help id")) return false;
  }
  bool haveStyle = false;
  for (;;) {
    Tok t = lex.Next();
    if (t == Tok::Error) return r.Fail(lex.error());
    if (t != Tok::Word) return r.Fail("BEGIN expected");
    const std::string word = lex.text();
    if (word == "BEGIN") break;
    if (word == "STYLE") {
      std::uint32_t style = 0;
      if (!r.Style(&style)) return false;
      dlg.style = style;
      haveStyle = true;
    } else if (word == "EXSTYLE") {
      if (!r.Style(&dlg.exStyle)) return false;
    } else if (word == "CAPTION") {
      if (!r.String(&dlg.caption)) return false;
      if (!haveStyle) dlg.style |= WS_CAPTION;
    } else if (word == "FONT") {
      if (!r.Int(&dlg.fontPoints, 1, 72, "font size") || !r.Comma() || !r.String(&dlg.fontFace))
        return false;
      if (dlg.fontFace.empty()) return r.Fail("font face expected");
      if (r.OptionalComma()) {
        int italic = 0, charset = 0;
        if (!r.Int(&dlg.fontWeight, 0, 1000, "font weight")) return false;
        if (r.OptionalComma() && !r.Int(&italic, 0, 1, "italic flag")) return false;
        if (r.OptionalComma() && !r.Int(&charset, 0, 255, "character set")) return false;
        dlg.fontItalic = italic != 0;
      }
      dlg.style |= DS_SETFONT;
    } else {
      return r.Fail("unknown dialog statement '" + word + "'");
    }
  }
  for (;;) {
    Tok t = lex.Next();
    if (t == Tok::Error) return r.Fail(lex.error());
    if (t == Tok::End) return r.Fail("END expected");
    if (t != Tok::Word) return r.Fail("control statement expected, found '" + lex.text() + "'");
    if (lex.text() == "END") break;
    if (dlg.items.size() >= kMaxItems) return r.Fail("too many controls in dialog");
    CDialogItem item;
    if (!r.Item(lex.text(), &item)) return false;
    if (item.id != IDC_STATIC && dlg.FindItem(item.id))
      return r.Fail("control id " + std::to_string(item.id) + " used twice in dialog " +
                    std::to_string(id));
    dlg.items.push_back(std::move(item));
  }
  if (!m_dialogs.emplace(id, std::move(dlg)).second) {
    *error = At(lex, "dialog " + std::to_string(id) + " defined twice");
    return false;
  }
  return true;
}

// ---- version blocks ------------------------------------------------------------

namespace {

class VersionReader {
 public:
  VersionReader(CScriptLexer& lex, std::string* error) : m_lex(lex), m_error(error) {}

  bool Fail(const std::string& what) {
    *m_error = At(m_lex, what);
    return false;
  }

  bool Keyword(const char* word) {
    const CScriptLexer::Tok t = m_lex.Next();
    if (t == CScriptLexer::Tok::Error) return Fail(m_lex.error());
    if (t != CScriptLexer::Tok::Word || m_lex.text() != word)
      return Fail(std::string(word) + " expected");
    return true;
  }

  bool Number(long long lo, long long hi, const char* what, long long* out) {
    const CScriptLexer::Tok t = m_lex.Next();
    if (t == CScriptLexer::Tok::Error) return Fail(m_lex.error());
    if (t != CScriptLexer::Tok::Number || m_lex.number() < lo || m_lex.number() > hi)
      return Fail(std::string(what) + " expected");
    *out = m_lex.number();
    return true;
  }

  // Numbers joined with '|'.
  bool Flags(std::uint32_t* out) {
    std::uint32_t v = 0;
    for (;;) {
      long long term = 0;
      if (!Number(0, 0xFFFFFFFFLL, "number (0..0xFFFFFFFF)", &term)) return false;
      v |= static_cast<std::uint32_t>(term);
      if (m_lex.Peek() != CScriptLexer::Tok::Pipe) break;
      m_lex.Next();
    }
    *out = v;
    return true;
  }

  bool Comma() {
    if (m_lex.Next() != CScriptLexer::Tok::Comma) return Fail("',' expected");
    return true;
  }

  bool Version(std::array<std::uint16_t, 4>* out) {
    for (std::size_t i = 0; i < out->size(); ++i) {
      long long part = 0;
      if (i > 0 && !Comma()) return false;
      if (!Number(0, 0xFFFF, "version number (0..65535)", &part)) return false;
      (*out)[i] = static_cast<std::uint16_t>(part);
    }
    return true;
  }

  bool String(std::string* out, const char* what) {
    const CScriptLexer::Tok t = m_lex.Next();
    if (t == CScriptLexer::Tok::Error) return Fail(m_lex.error());
    if (t != CScriptLexer::Tok::String) return Fail(std::string(what) + " expected");
    *out = m_lex.text();
    return true;
  }

  // BLOCK "<key>" BEGIN { VALUE "name", "text" } END
  bool StringTable(CVersionInfo* info) {
    std::string key;
    if (!String(&key, "translation key")) return false;
    const bool hex = key.size() == 8 && std::all_of(key.begin(), key.end(), [](char c) {
                       return std::isxdigit(static_cast<unsigned char>(c)) != 0;
                     });
    if (!hex) return Fail("translation key of eight hex digits expected");
    key = ToLowerAscii(key);
    if (info->stringTables.count(key)) return Fail("string table " + key + " defined twice");
    auto& table = info->stringTables[key];
    if (!Keyword("BEGIN")) return false;
    for (;;) {
      const CScriptLexer::Tok t = m_lex.Next();
      if (t == CScriptLexer::Tok::Error) return Fail(m_lex.error());
      if (t == CScriptLexer::Tok::Word && m_lex.text() == "END") return true;
      if (t != CScriptLexer::Tok::Word || m_lex.text() != "VALUE")
        return Fail("VALUE or END expected");
      std::string name, text;
      if (!String(&name, "value name") || !Comma() || !String(&text, "quoted text")) return false;
      if (name.empty()) return Fail("value name expected");
      if (!table.emplace(ToLowerAscii(name), std::move(text)).second)
        return Fail("value " + name + " defined twice");
    }
  }

  // BEGIN { VALUE "Translation", language, code page { , language, code page } } END
  bool VarFileInfo(CVersionInfo* info) {
    if (!Keyword("BEGIN")) return false;
    for (;;) {
      const CScriptLexer::Tok t = m_lex.Next();
      if (t == CScriptLexer::Tok::Error) return Fail(m_lex.error());
      if (t == CScriptLexer::Tok::Word && m_lex.text() == "END") return true;
      if (t != CScriptLexer::Tok::Word || m_lex.text() != "VALUE")
        return Fail("VALUE or END expected");
      std::string name;
      if (!String(&name, "value name")) return false;
      if (!EqualsNoCase(name, "Translation")) return Fail("only \"Translation\" belongs here");
      if (!info->translations.empty()) return Fail("Translation given twice");
      do {
        long long language = 0, codePage = 0;
        if (!Comma() || !Number(0, 0xFFFF, "language (0..0xFFFF)", &language) || !Comma() ||
            !Number(0, 0xFFFF, "code page (0..0xFFFF)", &codePage))
          return false;
        info->translations.emplace_back(static_cast<std::uint16_t>(language),
                                        static_cast<std::uint16_t>(codePage));
      } while (m_lex.Peek() == CScriptLexer::Tok::Comma);
    }
  }

  bool Body(CVersionInfo* info) {
    for (;;) {
      const CScriptLexer::Tok t = m_lex.Next();
      if (t == CScriptLexer::Tok::Error) return Fail(m_lex.error());
      if (t == CScriptLexer::Tok::Word && m_lex.text() == "END") return true;
      if (t != CScriptLexer::Tok::Word || m_lex.text() != "BLOCK")
        return Fail("BLOCK or END expected");
      std::string kind;
      if (!String(&kind, "block name")) return false;
      if (kind == "StringFileInfo") {
        if (!Keyword("BEGIN")) return false;
        for (;;) {
          const CScriptLexer::Tok u = m_lex.Next();
          if (u == CScriptLexer::Tok::Error) return Fail(m_lex.error());
          if (u == CScriptLexer::Tok::Word && m_lex.text() == "END") break;
          if (u != CScriptLexer::Tok::Word || m_lex.text() != "BLOCK")
            return Fail("BLOCK or END expected");
          if (!StringTable(info)) return false;
        }
      } else if (kind == "VarFileInfo") {
        if (!VarFileInfo(info)) return false;
      } else {
        return Fail("unknown block '" + kind + "'");
      }
    }
  }

 private:
  CScriptLexer& m_lex;
  std::string* m_error;
};

}  // namespace

bool CResourceBundle::ParseVersionInfo(CScriptLexer& lex, unsigned id, std::string* error) {
  using Tok = CScriptLexer::Tok;
  VersionReader r(lex, error);
  CVersionInfo info;
  info.id = id;
  for (;;) {
    const Tok t = lex.Next();
    if (t == Tok::Error) return r.Fail(lex.error());
    if (t != Tok::Word) return r.Fail("BEGIN expected");
    const std::string word = lex.text();
    if (word == "BEGIN") break;
    bool ok = false;
    if (word == "FILEVERSION")
      ok = r.Version(&info.fileVersion);
    else if (word == "PRODUCTVERSION")
      ok = r.Version(&info.productVersion);
    else if (word == "FILEFLAGSMASK")
      ok = r.Flags(&info.fileFlagsMask);
    else if (word == "FILEFLAGS")
      ok = r.Flags(&info.fileFlags);
    else if (word == "FILEOS")
      ok = r.Flags(&info.fileOs);
    else if (word == "FILETYPE")
      ok = r.Flags(&info.fileType);
    else if (word == "FILESUBTYPE")
      ok = r.Flags(&info.fileSubtype);
    else
      return r.Fail("unknown version statement '" + word + "'");
    if (!ok) return false;
  }
  if (!r.Body(&info)) return false;
  if (!m_versions.emplace(id, std::move(info)).second) {
    *error = At(lex, "version block " + std::to_string(id) + " defined twice");
    return false;
  }
  return true;
}

const CVersionInfo* CResourceBundle::FindVersionInfo(unsigned id) const {
  auto it = m_versions.find(id);
  return it == m_versions.end() ? nullptr : &it->second;
}

const std::string* CVersionInfo::FindValue(std::string_view table, std::string_view name) const {
  auto t = stringTables.find(ToLowerAscii(table));
  if (t == stringTables.end()) return nullptr;
  auto v = t->second.find(ToLowerAscii(name));
  return v == t->second.end() ? nullptr : &v->second;
}

// ---- menus, accelerators, toolbars ------------------------------------------------

namespace {

constexpr int kMaxMenuDepth = 8;
constexpr std::size_t kMaxMenuItems = 4096;
constexpr std::size_t kMaxAccelerators = 1024;
constexpr std::size_t kMaxToolBarButtons = 1024;

// Options after a MENUITEM's id; commas between them are optional.
bool MenuOption(const std::string& word, CMenuTemplateItem* item) {
  if (word == "CHECKED")
    item->checked = true;
  else if (word == "GRAYED")
    item->grayed = true;
  else if (word == "INACTIVE")
    item->inactive = true;
  else if (word == "MENUBREAK")
    item->menuBreak = true;
  else if (word == "MENUBARBREAK")
    item->menuBarBreak = true;
  else if (word == "HELP")
    item->help = true;
  else
    return false;
  return true;
}

class MenuReader {
 public:
  MenuReader(CScriptLexer& lex, std::string* error) : m_lex(lex), m_r(lex, error) {}

  bool Fail(const std::string& what) { return m_r.Fail(what); }

  // BEGIN item... END, the items going into out.
  bool Block(std::vector<CMenuTemplateItem>* out, int depth) {
    using Tok = CScriptLexer::Tok;
    if (depth > kMaxMenuDepth) return Fail("pop-ups nested too deeply");
    Tok t = m_lex.Next();
    if (t == Tok::Error) return Fail(m_lex.error());
    if (t != Tok::Word || m_lex.text() != "BEGIN") return Fail("BEGIN expected");
    for (;;) {
      t = m_lex.Next();
      if (t == Tok::Error) return Fail(m_lex.error());
      if (t == Tok::End) return Fail("END expected");
      if (t != Tok::Word) return Fail("MENUITEM or POPUP expected, found '" + m_lex.text() + "'");
      const std::string word = m_lex.text();
      if (word == "END") return true;
      if (++m_count > kMaxMenuItems) return Fail("too many menu items");
      CMenuTemplateItem item;
      item.line = m_lex.line();
      if (word == "POPUP") {
        item.popup = true;
        if (!m_r.String(&item.text) || !Options(&item)) return false;
        if (!Block(&item.children, depth + 1)) return false;
      } else if (word == "MENUITEM") {
        if (m_lex.Peek() == Tok::Word) {
          m_lex.Next();
          if (m_lex.text() != "SEPARATOR") return Fail("quoted text or SEPARATOR expected");
          item.separator = true;
        } else {
          int id = 0;
          if (!m_r.String(&item.text) || !m_r.Comma() || !m_r.Int(&id, 0, 0xFFFF, "command id"))
            return false;
          item.id = static_cast<unsigned>(id);
          if (!Options(&item)) return false;
        }
      } else {
        return Fail("MENUITEM or POPUP expected, found '" + word + "'");
      }
      out->push_back(std::move(item));
    }
  }

 private:
  static bool IsKeyword(const std::string& w) {
    return w == "BEGIN" || w == "END" || w == "MENUITEM" || w == "POPUP";
  }

  // Options up to the next statement; commas between them are optional.
  bool Options(CMenuTemplateItem* item) {
    using Tok = CScriptLexer::Tok;
    for (;;) {
      Tok t = m_lex.Peek();
      if (t == Tok::Comma) {
        m_lex.Next();
        if (m_lex.Peek() != Tok::Word || IsKeyword(m_lex.peekText())) {
          m_lex.Next();
          return Fail("menu item option expected");
        }
        continue;
      }
      if (t != Tok::Word || IsKeyword(m_lex.peekText())) return true;
      m_lex.Next();
      if (!MenuOption(m_lex.text(), item))
        return Fail("unknown menu item option '" + m_lex.text() + "'");
    }
  }

  CScriptLexer& m_lex;
  DialogReader m_r;
  std::size_t m_count = 0;
};

// The names of the keys an accelerator may give as VK_ names, with their
// virtual-key codes.
struct KeyName {
  const char* name;
  std::uint16_t key;
};
constexpr KeyName kKeyNames[] = {
    {"VK_BACK", 0x08},     {"VK_TAB", 0x09},    {"VK_RETURN", 0x0D}, {"VK_ESCAPE", 0x1B},
    {"VK_SPACE", 0x20},    {"VK_PRIOR", 0x21},  {"VK_NEXT", 0x22},   {"VK_END", 0x23},
    {"VK_HOME", 0x24},     {"VK_LEFT", 0x25},   {"VK_UP", 0x26},     {"VK_RIGHT", 0x27},
    {"VK_DOWN", 0x28},     {"VK_INSERT", 0x2D}, {"VK_DELETE", 0x2E}, {"VK_F1", 0x70},
    {"VK_F2", 0x71},       {"VK_F3", 0x72},     {"VK_F4", 0x73},     {"VK_F5", 0x74},
    {"VK_F6", 0x75},       {"VK_F7", 0x76},     {"VK_F8", 0x77},     {"VK_F9", 0x78},
    {"VK_F10", 0x79},      {"VK_F11", 0x7A},    {"VK_F12", 0x7B},    {"VK_ADD", 0x6B},
    {"VK_SUBTRACT", 0x6D},
};

}  // namespace

bool CResourceBundle::ParseMenu(CScriptLexer& lex, unsigned id, std::string* error) {
  MenuReader r(lex, error);
  CMenuTemplate menu;
  menu.id = id;
  if (!r.Block(&menu.items, 0)) return false;
  if (!m_menus.emplace(id, std::move(menu)).second)
    return r.Fail("menu " + std::to_string(id) + " defined twice");
  return true;
}

bool CResourceBundle::ParseAccelerators(CScriptLexer& lex, unsigned id, std::string* error) {
  using Tok = CScriptLexer::Tok;
  DialogReader r(lex, error);
  CAcceleratorTemplate table;
  table.id = id;
  Tok t = lex.Next();
  if (t == Tok::Error) return r.Fail(lex.error());
  if (t != Tok::Word || lex.text() != "BEGIN") return r.Fail("BEGIN expected");
  for (;;) {
    t = lex.Next();
    if (t == Tok::Error) return r.Fail(lex.error());
    if (t == Tok::End) return r.Fail("END expected");
    if (t == Tok::Word && lex.text() == "END") break;
    if (table.entries.size() >= kMaxAccelerators) return r.Fail("too many accelerators");
    CAccelEntry entry;
    bool control = false;  // "^C"
    bool quoted = t == Tok::String;
    int key = -1;
    if (quoted) {
      const std::string& k = lex.text();
      if (k.size() == 1)
        key = static_cast<unsigned char>(k[0]);
      else if (k.size() == 2 && k[0] == '^' && std::isalpha(static_cast<unsigned char>(k[1])))
        key = std::toupper(static_cast<unsigned char>(k[1])), control = true;
      else
        return r.Fail("accelerator key \"" + k + "\" is not one character");
    } else if (t == Tok::Number) {
      if (lex.number() < 1 || lex.number() > 0xFFFF) return r.Fail("key code out of range");
      key = static_cast<int>(lex.number());
    } else if (t == Tok::Word) {
      for (const KeyName& n : kKeyNames)
        if (lex.text() == n.name) key = n.key;
      if (key < 0) return r.Fail("unknown key '" + lex.text() + "'");
    } else {
      return r.Fail("accelerator key expected, found '" + lex.text() + "'");
    }
    int command = 0;
    if (!r.Comma() || !r.Int(&command, 0, 0xFFFF, "command id")) return false;
    entry.command = static_cast<std::uint16_t>(command);
    bool ascii = false;
    while (lex.Peek() == Tok::Comma) {
      lex.Next();
      if (lex.Next() != Tok::Word) return r.Fail("accelerator option expected");
      const std::string& o = lex.text();
      if (o == "VIRTKEY")
        entry.flags |= CAccelEntry::kVirtKey;
      else if (o == "ASCII")
        ascii = true;
      else if (o == "CONTROL")
        entry.flags |= CAccelEntry::kControl;
      else if (o == "SHIFT")
        entry.flags |= CAccelEntry::kShift;
      else if (o == "ALT")
        entry.flags |= CAccelEntry::kAlt;
      else if (o != "NOINVERT")
        return r.Fail("unknown accelerator option '" + o + "'");
    }
    if (ascii && (entry.flags & CAccelEntry::kVirtKey)) return r.Fail("VIRTKEY and ASCII together");
    if (control) {
      if (entry.flags & CAccelEntry::kVirtKey) return r.Fail("\"^\" keys are ASCII keys");
      entry.flags |= CAccelEntry::kVirtKey | CAccelEntry::kControl;
    } else if ((entry.flags & (CAccelEntry::kShift | CAccelEntry::kControl | CAccelEntry::kAlt)) &&
               !(entry.flags & CAccelEntry::kVirtKey)) {
      return r.Fail("CONTROL, SHIFT and ALT need VIRTKEY");
    }
    // A virtual key named by its character is the upper-case letter's code.
    if (quoted && (entry.flags & CAccelEntry::kVirtKey) && key < 0x80)
      key = std::toupper(static_cast<unsigned char>(key));
    entry.key = static_cast<std::uint16_t>(key);
    table.entries.push_back(entry);
  }
  if (!m_accelerators.emplace(id, std::move(table)).second)
    return r.Fail("accelerator table " + std::to_string(id) + " defined twice");
  return true;
}

bool CResourceBundle::ParseToolBar(CScriptLexer& lex, unsigned id, std::string* error) {
  using Tok = CScriptLexer::Tok;
  DialogReader r(lex, error);
  CToolBarTemplate bar;
  bar.id = id;
  if (!r.Int(&bar.width, 1, 256, "button image width") || !r.Comma() ||
      !r.Int(&bar.height, 1, 256, "button image height"))
    return false;
  Tok t = lex.Next();
  if (t == Tok::Error) return r.Fail(lex.error());
  if (t != Tok::Word || lex.text() != "BEGIN") return r.Fail("BEGIN expected");
  for (;;) {
    t = lex.Next();
    if (t == Tok::Error) return r.Fail(lex.error());
    if (t == Tok::End) return r.Fail("END expected");
    if (t != Tok::Word) return r.Fail("BUTTON or SEPARATOR expected, found '" + lex.text() + "'");
    if (lex.text() == "END") break;
    if (bar.items.size() >= kMaxToolBarButtons) return r.Fail("too many toolbar buttons");
    if (lex.text() == "SEPARATOR") {
      bar.items.push_back(0);
    } else if (lex.text() == "BUTTON") {
      int command = 0;
      if (!r.Int(&command, 1, 0xFFFF, "command id")) return false;
      bar.items.push_back(static_cast<unsigned>(command));
    } else {
      return r.Fail("BUTTON or SEPARATOR expected, found '" + lex.text() + "'");
    }
  }
  if (!m_toolbars.emplace(id, std::move(bar)).second)
    return r.Fail("toolbar " + std::to_string(id) + " defined twice");
  return true;
}

const CMenuTemplate* CResourceBundle::FindMenu(unsigned id) const {
  auto it = m_menus.find(id);
  return it == m_menus.end() ? nullptr : &it->second;
}
const CAcceleratorTemplate* CResourceBundle::FindAccelerators(unsigned id) const {
  auto it = m_accelerators.find(id);
  return it == m_accelerators.end() ? nullptr : &it->second;
}
const CToolBarTemplate* CResourceBundle::FindToolBar(unsigned id) const {
  auto it = m_toolbars.find(id);
  return it == m_toolbars.end() ? nullptr : &it->second;
}

const CMenuTemplate* FindMenuResource(unsigned id) {
  if (const CResourceBundle* b = CurrentResources())
    if (const CMenuTemplate* t = b->FindMenu(id)) return t;
  return EmbeddedEnglish().FindMenu(id);
}
const CAcceleratorTemplate* FindAcceleratorResource(unsigned id) {
  if (const CResourceBundle* b = CurrentResources())
    if (const CAcceleratorTemplate* t = b->FindAccelerators(id)) return t;
  return EmbeddedEnglish().FindAccelerators(id);
}
const CToolBarTemplate* FindToolBarResource(unsigned id) {
  if (const CResourceBundle* b = CurrentResources())
    if (const CToolBarTemplate* t = b->FindToolBar(id)) return t;
  return EmbeddedEnglish().FindToolBar(id);
}

const CDialogTemplate* CResourceBundle::FindDialog(unsigned id) const {
  auto it = m_dialogs.find(id);
  return it == m_dialogs.end() ? nullptr : &it->second;
}

const CDialogTemplate* FindDialogTemplate(unsigned id) {
  if (const CResourceBundle* b = CurrentResources())
    if (const CDialogTemplate* t = b->FindDialog(id)) return t;
  return EmbeddedEnglish().FindDialog(id);
}

const CImageRef* FindImageResource(ImageKind kind, unsigned id) {
  if (const CResourceBundle* b = CurrentResources())
    if (const CImageRef* r = b->FindImage(kind, id)) return r;
  return EmbeddedEnglish().FindImage(kind, id);
}

const std::string* CResourceBundle::FindString(unsigned id) const {
  auto it = m_strings.find(id);
  return it == m_strings.end() ? nullptr : &it->second;
}

namespace {
std::atomic<const CResourceBundle*> g_current{nullptr};
std::atomic<ResourcesChangedHandler> g_changed{nullptr};
}  // namespace

const CResourceBundle* CurrentResources() {
  return g_current.load();
}
void SetCurrentResources(const CResourceBundle* bundle) {
  g_current.store(bundle);
  if (ResourcesChangedHandler handler = g_changed.load()) handler(bundle);
}
void SetResourcesChangedHandler(ResourcesChangedHandler handler) {
  g_changed.store(handler);
}

}  // namespace fw
