#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "platform/dynlib.h"
#include "platform/inifile.h"
#include "platform/language.h"
#include "platform/message.h"
#include "platform/resourcebundle.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "tests/common/languages.h"
#include "tests/common/test_util.h"

namespace fw {
namespace {

const LanguageLibraryNames kNames = {"libfenwardle_eng.so", "libfenwardle_de.so",
                                     "libfenwardle_fra.so"};

TEST(ResourceScript, ParsesStringsWithEscapesAndComments) {
  std::string error;
  auto b = CResourceBundle::Parse(
      "// a comment\nSTRINGTABLE\nBEGIN\n  1, \"a\\nb\\t\\\"q\\\"\\\\\"\n /* two\nlines */ 2 "
      "\"\\x41\"\n"
      "  0x10, \"hex id\"\n  IDS_NAMED = 17, \"named\"\nEND\nSTRINGTABLE BEGIN END\n",
      &error);
  ASSERT_TRUE(b) << error;
  EXPECT_EQ(*b->FindString(1), "a\nb\t\"q\"\\");
  EXPECT_EQ(*b->FindString(2), "A");
  EXPECT_EQ(*b->FindString(16), "hex id");
  EXPECT_EQ(*b->FindString(17), "named");
  EXPECT_EQ(b->FindString(3), nullptr);
}

TEST(ResourceScript, RejectsBadInputNamingTheLine) {
  struct Case {
    const char* script;
    const char* want;
  } cases[] = {
      {"STRINGTABLE\nBEGIN\n 1, \"a\"\n 1, \"b\"\nEND", "line 4: string 1 defined twice"},
      {"STRINGTABLE\nBEGIN\n 1, \"open\nEND", "line 3: unterminated string"},
      {"STRINGTABLE\nBEGIN\n 1, \"a\"\n", "END expected"},
      {"STRINGTABLE\n 1, \"a\"", "line 2: BEGIN expected"},
      {"DIALOGUE 5", "line 1: unknown statement 'DIALOGUE'"},
      {"STRINGTABLE BEGIN 70000, \"x\" END", "string id (0..65535) expected"},
      {"STRINGTABLE BEGIN 1, \"\\q\" END", "unknown escape \\q"},
      {"STRINGTABLE BEGIN 1, 2 END", "quoted text expected"},
      {"/* never closed", "unterminated comment"},
      {"STRINGTABLE BEGIN IDS_A : 1, \"x\" END", "'=' expected after string name"},
      {"STRINGTABLE BEGIN IDS_A = \"x\" END", "string id (0..65535) expected"},
      {"STRINGTABLE BEGIN 12ab, \"x\" END", "malformed number"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_EQ(CResourceBundle::Parse(c.script, &error), nullptr) << c.script;
    EXPECT_NE(error.find(c.want), std::string::npos) << c.script << " gave: " << error;
    EXPECT_EQ(CResourceBundle::Parse(c.script, nullptr), nullptr) << c.script;
  }
  // The problem follows what the caller already had, on a line of its own.
  std::string error = "libfenwardle_de.so";
  EXPECT_EQ(CResourceBundle::Parse("DIALOGUE 5", &error), nullptr);
  EXPECT_EQ(error, "libfenwardle_de.so\nline 1: unknown statement 'DIALOGUE'");
}

TEST(ResStrings, LoadJoinAndCompare) {
  fwtest::ScopedResources guard;
  SetCurrentResources(nullptr);  // the built-in English texts
  EXPECT_EQ(JoinResStrings({IDS_RING, IDS_ENABLE_RING}), "Ring\nEnable Ring\n");
  EXPECT_EQ(JoinResStrings({IDS_RING, 1, IDS_ENABLE_RING}),
            "Ring\nEnable Ring\n");  // missing id skipped
  EXPECT_EQ(LoadResString(1), "");
  EXPECT_TRUE(CompareWithResString("Auto", IDS_AUTO));
  EXPECT_FALSE(CompareWithResString("auto", IDS_AUTO));
  EXPECT_FALSE(CompareWithResString("", 1));  // an absent string equals nothing

  std::string error;
  auto b = CResourceBundle::Parse("STRINGTABLE BEGIN 20055, \"Anneau\" END", &error);
  SetCurrentResources(b.get());
  EXPECT_EQ(LoadResString(IDS_RING), "Anneau");
  EXPECT_EQ(FormatRes(IDS_RING), "Anneau");
}

TEST(LanguageLibrary, LanguageValueSelectsTheLibrary) {
  EXPECT_EQ(LanguageIndex("english"), 0);
  EXPECT_EQ(LanguageIndex("GERMAN"), 1);
  EXPECT_EQ(LanguageIndex("French"), 2);
  EXPECT_EQ(LanguageIndex("klingon"), -1);
  EXPECT_EQ(LanguageIndex(""), -1);
  // Both programs take the file names from their own strings, in this order.
  EXPECT_EQ(ProgramLanguageLibraryNames(), kNames);

  for (auto [language, text] :
       {std::pair{"English", "Ring"}, std::pair{"german", "Ring"}, std::pair{"FRENCH", "Anneau"}}) {
    LanguageLoad l = LoadLanguageLibrary(language, kNames, ProgramFolder());
    ASSERT_TRUE(l.bundle) << language << ": " << l.message << " " << l.detail;
    EXPECT_EQ(*l.bundle->FindString(IDS_RING), text) << language;
    EXPECT_EQ(*l.bundle->FindString(IDS_CUSTOMIZE_FILE_NAME), "fenwardle.customize");
  }
}

TEST(LanguageLibrary, FailuresGiveTheirInstallationErrors) {
  LanguageLoad bad = LoadLanguageLibrary("klingon", kNames, ProgramFolder());
  EXPECT_EQ(bad.bundle, nullptr);
  EXPECT_EQ(bad.caption, "Installation Error");
  EXPECT_EQ(bad.message, "Invalid language selection found. Please re-install.");

  LanguageLoad missing = LoadLanguageLibrary("german", kNames, "/nonexistent-folder");
  EXPECT_EQ(missing.bundle, nullptr);
  EXPECT_EQ(missing.caption, "Installation Error");
  EXPECT_EQ(missing.message,
            "Unable to locate language/resource dll <libfenwardle_de.so>. Please re-install.");

  // A file that loads but is no language library fails the same way.
  LanguageLibraryNames wrong = {"libc.so.6", "", ""};
  LanguageLoad notOurs = LoadLanguageLibrary("english", wrong, "/lib/x86_64-linux-gnu");
  EXPECT_EQ(notOurs.bundle, nullptr);
  EXPECT_NE(notOurs.message.find("<libc.so.6>"), std::string::npos);
}

TEST(LanguageLibrary, ADamagedLibraryIsRefusedNotLoaded) {
  // A truncated copy (a damaged install) would crash the loader with SIGBUS.
  const auto whole = std::filesystem::path(ProgramFolder()) / "libfenwardle_fra.so";
  const auto size = std::filesystem::file_size(whole);
  for (auto keep : {size / 2, size / 4, std::uintmax_t{64}, std::uintmax_t{3}}) {
    test::TempDir dir;
    const auto cut = dir.file("libfenwardle_fra.so");
    std::filesystem::copy_file(whole, cut, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::resize_file(cut, keep);
    std::string why;
    EXPECT_FALSE(IsWholeSharedObject(cut, &why)) << keep;
    EXPECT_FALSE(why.empty());
    LanguageLoad l = LoadLanguageLibrary("french", kNames, dir.path());
    EXPECT_EQ(l.bundle, nullptr) << keep;
    EXPECT_EQ(l.message,
              "Unable to locate language/resource dll <libfenwardle_fra.so>. Please re-install.");
  }
  EXPECT_TRUE(IsWholeSharedObject(whole.string()));
  EXPECT_FALSE(IsWholeSharedObject(ProgramFolder()));  // a folder
}

TEST(LanguageLibrary, TheThreeLanguagesAgreeOnIdsAndSpecifiers) {
  const std::regex spec(
      R"(%[-+ #0]*[0-9*]*(\.[0-9*]+)?(hh|h|ll|l|L|z|j|t|I64)?[diouxXeEfFgGcspn%])");
  auto specifiers = [&](const std::string& s) {
    std::vector<std::string> out;
    for (auto it = std::sregex_iterator(s.begin(), s.end(), spec); it != std::sregex_iterator();
         ++it)
      out.push_back(it->str());
    return out;
  };
  const CResourceBundle* b[3];
  for (int i = 0; i < 3; ++i) {
    static const char* langs[] = {"english", "german", "french"};
    LanguageLoad l = LoadLanguageLibrary(langs[i], kNames, ProgramFolder());
    ASSERT_TRUE(l.bundle) << langs[i] << ": " << l.detail;
    b[i] = l.bundle;
  }
  EXPECT_GT(b[0]->strings().size(), 300u);
  for (int i = 1; i < 3; ++i) {
    ASSERT_EQ(b[i]->strings().size(), b[0]->strings().size());
    for (const auto& [id, text] : b[0]->strings()) {
      const std::string* t = b[i]->FindString(id);
      ASSERT_NE(t, nullptr) << "string " << id << " missing in language " << i;
      EXPECT_EQ(specifiers(*t), specifiers(text)) << "string " << id << " language " << i;
    }
  }
  // The built-in copy is the English library's text.
  EXPECT_EQ(EmbeddedEnglish().strings(), b[0]->strings());
}

}  // namespace
}  // namespace fw
