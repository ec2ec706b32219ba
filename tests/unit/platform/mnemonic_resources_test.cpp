// The underlined letters of the resource scripts: within one menu level and
// within one dialog no two labels share one, in any language, or pressing the
// letter only moves between them.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/resourcebundle.h"
#include "platform/styles.h"
#include "resource_scripts.h"

using namespace fw;

namespace {

// The underlined character of a label, lower case; 0 when it has none. "&&"
// is an ampersand; an accelerator text after a tab is no part of the label.
char32_t Mnemonic(const std::string& label) {
  const std::string text = label.substr(0, label.find('\t'));
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    // One UTF-8 character; the scripts' accented letters are all of Latin-1.
    const auto c = static_cast<unsigned char>(text[i + 1]);
    char32_t ch = c;
    if (c >= 0xC0 && i + 2 < text.size())
      ch = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(text[i + 2]) & 0x3Fu);
    if ((ch >= 'A' && ch <= 'Z') || (ch >= 0xC0 && ch <= 0xDE && ch != 0xD7)) ch += 0x20;
    return ch;
  }
  return 0;
}

struct Label {
  std::string text;
  int line;
};

// One message per letter that more than one label of a group has.
void ReportClashes(const std::vector<Label>& labels, const std::string& file,
                   const std::string& where, std::vector<std::string>* clashes) {
  std::map<char32_t, std::vector<const Label*>> byLetter;
  for (const Label& l : labels)
    if (char32_t m = Mnemonic(l.text)) byLetter[m].push_back(&l);
  for (const auto& [letter, group] : byLetter) {
    if (group.size() < 2) continue;
    std::string message = file + ":" + std::to_string(group[0]->line) + ": " + where + ":";
    for (const Label* l : group)
      message += " \"" + l->text + "\" (line " + std::to_string(l->line) + ")";
    clashes->push_back(message + " share one underlined letter");
  }
}

void CheckMenuLevel(const std::vector<CMenuTemplateItem>& items, const std::string& file,
                    const std::string& where, std::vector<std::string>* clashes) {
  std::vector<Label> labels;
  for (const CMenuTemplateItem& item : items) {
    if (item.separator) continue;
    labels.push_back({item.text, item.line});
    if (item.popup) CheckMenuLevel(item.children, file, where, clashes);
  }
  ReportClashes(labels, file, where, clashes);
}

// The controls that show their text as a label: statics with text and
// buttons of every kind but the picture ones. A static's letter moves to the
// control after it, so it takes its place among the dialog's letters.
bool ShowsLabel(const CDialogItem& item) {
  if (item.className == "Static") {
    if (item.style & SS_NOPREFIX) return false;
    const std::uint32_t type = item.style & SS_TYPEMASK;
    return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE ||
           type == SS_LEFTNOWORDWRAP;
  }
  if (item.className == "Button") return !(item.style & (BS_ICON | BS_BITMAP));
  return false;
}

std::vector<std::string> Clashes(const CResourceBundle& bundle, const std::string& file) {
  std::vector<std::string> clashes;
  for (const auto& [id, menu] : bundle.menus())
    CheckMenuLevel(menu.items, file, "menu " + std::to_string(id), &clashes);
  for (const auto& [id, dialog] : bundle.dialogs()) {
    std::vector<Label> labels;
    for (const CDialogItem& item : dialog.items)
      if (ShowsLabel(item)) labels.push_back({item.text, item.line});
    ReportClashes(labels, file, "dialog " + std::to_string(id), &clashes);
  }
  return clashes;
}

TEST(Mnemonics, TheCheckFindsClashesOfOneLevelAndOneDialogOnly) {
  std::string error;
  auto b = CResourceBundle::Parse(R"(
1 MENU
BEGIN
    POPUP "&File"
    BEGIN
        MENUITEM "&Open\tCtrl+O", 1
        MENUITEM "Sa&ve", 2
        MENUITEM "&O&&ther", 3
        POPUP "&Find"
        BEGIN
            MENUITEM "F&ile", 4
        END
    END
    POPUP "F&ilter"
    BEGIN
        MENUITEM "&Über", 5
        MENUITEM "&über", 6
    END
END
2 DIALOGEX 0, 0, 100, 100
BEGIN
    LTEXT "&Name:", -1, 0, 0, 10, 10
    EDITTEXT 10, 0, 10, 10, 10
    LTEXT "&N&&M", -1, 0, 20, 10, 10, SS_NOPREFIX
    CONTROL "&Picture", -1, "Static", SS_ICON, 0, 30, 10, 10
    COMBOBOX 11, 0, 40, 10, 10
    AUTOCHECKBOX "&Numbers", 12, 0, 50, 10, 10
    PUSHBUTTON "S&&ave", 13, 0, 60, 10, 10
    PUSHBUTTON "&Save", 14, 0, 70, 10, 10
END
)",
                                  &error);
  ASSERT_TRUE(b) << error;
  EXPECT_EQ(Clashes(*b, "x.rc"),
            (std::vector<std::string>{
                "x.rc:6: menu 1: \"&Open\tCtrl+O\" (line 6) \"&O&&ther\" (line 8) share one "
                "underlined letter",
                "x.rc:16: menu 1: \"&Über\" (line 16) \"&über\" (line 17) share one underlined "
                "letter",
                "x.rc:22: dialog 2: \"&Name:\" (line 22) \"&Numbers\" (line 27) share one "
                "underlined letter"}));
}

TEST(Mnemonics, NoClashInTheShippedScriptsOfAnyLanguage) {
  std::vector<std::string> clashes;
  int files = 0;
  for (const char* folder : {"eng", "de", "fra", "fenwardle", "calvenor"}) {
    for (const fwtest::ParsedScript& script : fwtest::ParseScripts(folder)) {
      ASSERT_TRUE(script.bundle) << script.name << ": " << script.error;
      ++files;
      for (std::string& c : Clashes(*script.bundle, script.name)) clashes.push_back(std::move(c));
    }
  }
  EXPECT_GT(files, 50);
  for (const std::string& c : clashes) ADD_FAILURE() << c;
}

}  // namespace
