// The wording of the translated scripts: one word for a switch and one for
// firmware, and colons written as each language writes them.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "platform/resourcebundle.h"
#include "resource_scripts.h"

using namespace fw;

namespace {

struct Text {
  std::string where;
  std::string text;
};

void AddMenuTexts(const std::vector<CMenuTemplateItem>& items, const std::string& file,
                  std::vector<Text>* out) {
  for (const CMenuTemplateItem& item : items) {
    out->push_back({file + ":" + std::to_string(item.line), item.text});
    AddMenuTexts(item.children, file, out);
  }
}

// Every text a user may read in one language's scripts: strings, menus,
// dialog captions and controls.
std::vector<Text> Texts(const std::string& language) {
  std::vector<Text> out;
  for (const fwtest::ParsedScript& script : fwtest::ParseScripts(language)) {
    const std::string& file = script.name;
    const CResourceBundle* bundle = script.bundle.get();
    EXPECT_TRUE(bundle) << file << ": " << script.error;
    if (!bundle) continue;
    for (const auto& [id, text] : bundle->strings())
      out.push_back({file + ": string " + std::to_string(id), text});
    for (const auto& [id, menu] : bundle->menus()) AddMenuTexts(menu.items, file, &out);
    for (const auto& [id, dialog] : bundle->dialogs()) {
      out.push_back({file + ": dialog " + std::to_string(id), dialog.caption});
      for (const CDialogItem& item : dialog.items)
        out.push_back({file + ":" + std::to_string(item.line), item.text});
    }
  }
  return out;
}

// Whether a colon that ends a label or a clause has a blank before it.
// Colons inside a word ("mailto:", "02:4B", "https://") are not looked at.
bool LabelColons(const std::string& text, bool spaced) {
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (text[i] != ':') continue;
    const bool ends = i + 1 == text.size() || text[i + 1] == ' ' || text[i + 1] == '\n';
    if (ends && (text[i - 1] == ' ') != spaced) return false;
  }
  return true;
}

TEST(Wording, FrenchSaysSwitchAndFirmwareAndSpacesItsColons) {
  const std::vector<Text> texts = Texts("fra");
  ASSERT_GT(texts.size(), 500u);
  for (const Text& t : texts) {
    std::string lower = t.text;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(lower.find("commutateur"), std::string::npos) << t.where << ": " << t.text;
    EXPECT_EQ(lower.find("micrologiciel"), std::string::npos) << t.where << ": " << t.text;
    EXPECT_TRUE(LabelColons(t.text, true)) << t.where << ": " << t.text;
  }
}

TEST(Wording, GermanAndEnglishColonsFollowTheWord) {
  for (const char* language : {"de", "eng"})
    for (const Text& t : Texts(language))
      EXPECT_TRUE(LabelColons(t.text, false)) << t.where << ": " << t.text;
}

}  // namespace
