// Resource bundles: one per language, parsed from a resource script. The
// script language is a small .rc-like text:
//
//   // comment            /* comment */
//   STRINGTABLE
//   BEGIN
//       20055, "Ring"
//   END
//
//   136 DIALOGEX 0, 0, 186, 54
//   STYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU
//   CAPTION "Cycle Power"
//   FONT 8, "MS Shell Dlg"
//   BEGIN
//       LTEXT           "", 1027, 7, 7, 172, 20
//       PUSHBUTTON      "Cancel", IDCANCEL, 68, 33, 50, 14
//       CONTROL         "", 1026, "msctls_progress32", PBS_SMOOTH, 7, 20, 263, 14
//   END
//
// Strings take the escapes \n \r \t \\ \" and \xHH. A bundle answers
// resources by numeric id; the current bundle is the one the program loaded
// at start-up. Dialog coordinates are dialog units; styles are the numeric
// window style bits, written with their usual symbolic names.
#pragma once

#include <array>
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
  explicit CScriptLexer(std::string_view text) : m_text(text) {}
  Tok Next();
  Tok Peek();
  const std::string& text() const { return m_tokText; }
  // The text of the token Peek() looked at.
  const std::string& peekText() const { return m_peekText; }
  long long number() const { return m_number; }
  int line() const { return m_tokLine; }
  const std::string& error() const { return m_error; }

 private:
  std::string_view m_text;
  std::size_t m_pos = 0;
  int m_line = 1;
  int m_tokLine = 1;
  std::string m_tokText;
  long long m_number = 0;
  std::string m_error;
  bool m_peeked = false;
  Tok m_peekTok = Tok::End;
  std::string m_peekText;
  long long m_peekNumber = 0;
  int m_peekLine = 1;
  Tok Scan();
};

// One control of a dialog template.
struct CDialogItem {
  std::string
      className;  // "Button", "Static", "Edit", "ComboBox", "ListBox" or a registered class name
  std::string text;
  int id = -1;
  std::uint32_t style = 0;  // always has WS_CHILD; WS_VISIBLE unless NOT WS_VISIBLE
  std::uint32_t exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  int line = 0;  // script line, for messages about the control
};

struct CDialogTemplate {
  unsigned id = 0;
  bool extended = false;  // DIALOGEX
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  std::string caption;
  int fontPoints = 0;  // 0: no FONT statement
  std::string fontFace;
  int fontWeight = 0;
  bool fontItalic = false;
  std::vector<CDialogItem> items;
  const CDialogItem* FindItem(int id) const;
};

// An image resource: "<id> ICON|BITMAP|CURSOR "file.png" [, hotX, hotY]".
// The file names a PNG of res/images/, built into the programs; the script
// only says which picture an id stands for.
enum class ImageKind { Icon, Bitmap, Cursor };
struct CImageRef {
  std::string file;
  int hotX = -1, hotY = -1;  // cursors: the hot spot; -1: the centre
};

// A menu: "<id> MENU BEGIN ... END" with POPUP "text" BEGIN ... END blocks,
// MENUITEM "text", id [, CHECKED | GRAYED | INACTIVE | MENUBREAK |
// MENUBARBREAK | HELP ...] and MENUITEM SEPARATOR. An accelerator text
// follows the label after a tab ("&Open...\tCtrl+O").
struct CMenuTemplateItem {
  std::string text;
  unsigned id = 0;  // 0 for pop-ups and separators
  bool popup = false;
  bool separator = false;
  bool checked = false;
  bool grayed = false;
  bool inactive = false;
  bool menuBreak = false;
  bool menuBarBreak = false;
  bool help = false;
  std::vector<CMenuTemplateItem> children;  // the items of a pop-up
  int line = 0;
};
struct CMenuTemplate {
  unsigned id = 0;
  std::vector<CMenuTemplateItem> items;
};

// An accelerator table: "<id> ACCELERATORS BEGIN key, command [, VIRTKEY |
// ASCII] [, CONTROL] [, SHIFT] [, ALT] [, NOINVERT] ... END". A key is a
// quoted character ("N", "^C" for Ctrl+C), a number or a VK_ name.
struct CAccelEntry {
  static constexpr std::uint8_t kVirtKey = 0x01;  // FVIRTKEY
  static constexpr std::uint8_t kShift = 0x04;    // FSHIFT
  static constexpr std::uint8_t kControl = 0x08;  // FCONTROL
  static constexpr std::uint8_t kAlt = 0x10;      // FALT
  std::uint8_t flags = 0;
  std::uint16_t key = 0;  // virtual-key code with kVirtKey, else the character
  std::uint16_t command = 0;
};
struct CAcceleratorTemplate {
  unsigned id = 0;
  std::vector<CAccelEntry> entries;
};

// A toolbar: "<id> TOOLBAR cx, cy BEGIN BUTTON id | SEPARATOR ... END";
// its images are the strip of BITMAP <id>, one cx-wide image per button.
struct CToolBarTemplate {
  unsigned id = 0;
  int width = 16, height = 15;
  std::vector<unsigned> items;  // command ids, 0 for a separator
};

// A version block:
//
//   1 VERSIONINFO
//   FILEVERSION 0,1,0,0
//   PRODUCTVERSION 0,1,0,0
//   FILETYPE 1
//   BEGIN
//       BLOCK "StringFileInfo"
//       BEGIN
//           BLOCK "040904b0"
//           BEGIN
//               VALUE "CompanyName", "..."
//           END
//       END
//       BLOCK "VarFileInfo"
//       BEGIN
//           VALUE "Translation", 0x409, 1200
//       END
//   END
//
// Fixed fields may also be FILEFLAGSMASK, FILEFLAGS, FILEOS and FILESUBTYPE
// (numbers, joined with '|'). Table keys and value names match without case.
struct CVersionInfo {
  unsigned id = 0;
  std::array<std::uint16_t, 4> fileVersion{};
  std::array<std::uint16_t, 4> productVersion{};
  std::uint32_t fileFlagsMask = 0, fileFlags = 0, fileOs = 0, fileType = 0, fileSubtype = 0;
  // String tables by translation key (eight hex digits, lower case), each
  // with its values by name (lower case).
  std::map<std::string, std::map<std::string, std::string>> stringTables;
  // Language and code page pairs of "Translation", in script order.
  std::vector<std::pair<std::uint16_t, std::uint16_t>> translations;
  // nullptr when there is no such table or value.
  const std::string* FindValue(std::string_view table, std::string_view name) const;
};

// The symbolic names a script may use in styles and control ids.
bool LookupResourceSymbol(std::string_view name, long long* value);

class CResourceBundle {
 public:
  // Parses a script; nullptr with a message naming the line on bad input.
  [[nodiscard]] static std::unique_ptr<CResourceBundle> Parse(std::string_view script,
                                                              std::string* error);

  // nullptr when the bundle has no such string.
  const std::string* FindString(unsigned id) const;
  const std::map<unsigned, std::string>& strings() const { return m_strings; }
  // nullptr when the bundle has no such dialog template.
  const CDialogTemplate* FindDialog(unsigned id) const;
  const std::map<unsigned, CDialogTemplate>& dialogs() const { return m_dialogs; }
  // nullptr when the bundle has no image of that kind and id.
  const CImageRef* FindImage(ImageKind kind, unsigned id) const;
  // nullptr when the bundle has no version block of that id.
  const CVersionInfo* FindVersionInfo(unsigned id) const;
  // nullptr when the bundle has no such menu, accelerator table or toolbar.
  const CMenuTemplate* FindMenu(unsigned id) const;
  const CAcceleratorTemplate* FindAccelerators(unsigned id) const;
  const CToolBarTemplate* FindToolBar(unsigned id) const;
  const std::map<unsigned, CMenuTemplate>& menus() const { return m_menus; }
  const std::map<unsigned, CAcceleratorTemplate>& accelerators() const { return m_accelerators; }
  const std::map<unsigned, CToolBarTemplate>& toolbars() const { return m_toolbars; }

 private:
  // The parts of Parse: each sets *problem (never null) to the first problem found.
  static std::unique_ptr<CResourceBundle> ParseScript(std::string_view script,
                                                      std::string* problem);
  [[nodiscard]] bool ParseStringTable(CScriptLexer& lex, std::string* problem);
  [[nodiscard]] bool ParseDialog(CScriptLexer& lex, unsigned id, bool extended,
                                 std::string* problem);
  [[nodiscard]] bool ParseImage(CScriptLexer& lex, unsigned id, ImageKind kind,
                                std::string* problem);
  [[nodiscard]] bool ParseVersionInfo(CScriptLexer& lex, unsigned id, std::string* problem);
  [[nodiscard]] bool ParseMenu(CScriptLexer& lex, unsigned id, std::string* problem);
  [[nodiscard]] bool ParseAccelerators(CScriptLexer& lex, unsigned id, std::string* problem);
  [[nodiscard]] bool ParseToolBar(CScriptLexer& lex, unsigned id, std::string* problem);
  std::map<unsigned, std::string> m_strings;
  std::map<unsigned, CDialogTemplate> m_dialogs;
  std::map<std::pair<ImageKind, unsigned>, CImageRef> m_images;
  std::map<unsigned, CVersionInfo> m_versions;
  std::map<unsigned, CMenuTemplate> m_menus;
  std::map<unsigned, CAcceleratorTemplate> m_accelerators;
  std::map<unsigned, CToolBarTemplate> m_toolbars;
};

// The bundle every resource lookup answers from. Until a language library is
// loaded it is the English bundle compiled into the program (if one was set).
const CResourceBundle* CurrentResources();
void SetCurrentResources(const CResourceBundle* bundle);
// Called with the new bundle each time the current one is set (the window
// layer has Qt's own texts follow the program's language); nullptr: none.
using ResourcesChangedHandler = void (*)(const CResourceBundle* bundle);
void SetResourcesChangedHandler(ResourcesChangedHandler handler);

// The English script compiled into the programs (res/eng.rc).
const CResourceBundle& EmbeddedEnglish();

// A dialog template of the current bundle, else of the compiled-in English one.
const CDialogTemplate* FindDialogTemplate(unsigned id);
// An image of the current bundle, else of the compiled-in English one.
const CImageRef* FindImageResource(ImageKind kind, unsigned id);
// Menus, accelerator tables and toolbars likewise.
const CMenuTemplate* FindMenuResource(unsigned id);
const CAcceleratorTemplate* FindAcceleratorResource(unsigned id);
const CToolBarTemplate* FindToolBarResource(unsigned id);

}  // namespace fw
