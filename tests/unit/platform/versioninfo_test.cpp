#include <gtest/gtest.h>

#include "platform/resourcebundle.h"

namespace fw {
namespace {

constexpr const char* kBlock = R"(// a library's block
1 VERSIONINFO
FILEVERSION 1,2,3,4
PRODUCTVERSION 5,6,7,65535
FILEFLAGSMASK 0x3F
FILEFLAGS 0x1 | 0x2
FILEOS 0x40004
FILETYPE 2
FILESUBTYPE 0
BEGIN
    BLOCK "StringFileInfo"
    BEGIN
        BLOCK "040704B0"
        BEGIN
            VALUE "CompanyName", "Maker"
            VALUE "FileVersion", "1.2"
        END
        BLOCK "000004e4"
        BEGIN
        END
    END
    BLOCK "VarFileInfo"
    BEGIN
        VALUE "Translation", 0x407, 1200, 0x409, 1252
    END
END
STRINGTABLE BEGIN 7, "after" END
)";

TEST(VersionInfo, ReadsFixedFieldsTablesAndTranslations) {
  std::string error;
  auto b = CResourceBundle::Parse(kBlock, &error);
  ASSERT_TRUE(b) << error;
  const CVersionInfo* v = b->FindVersionInfo(1);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->fileVersion, (std::array<std::uint16_t, 4>{1, 2, 3, 4}));
  EXPECT_EQ(v->productVersion[3], 65535);
  EXPECT_EQ(v->fileFlagsMask, 0x3Fu);
  EXPECT_EQ(v->fileFlags, 3u);
  EXPECT_EQ(v->fileOs, 0x40004u);
  EXPECT_EQ(v->fileType, 2u);
  ASSERT_EQ(v->translations.size(), 2u);
  EXPECT_EQ(v->translations[0], std::make_pair(std::uint16_t{0x407}, std::uint16_t{1200}));
  EXPECT_EQ(v->translations[1], std::make_pair(std::uint16_t{0x409}, std::uint16_t{1252}));
  // Table keys and value names match without case, as the platform's queries do.
  ASSERT_NE(v->FindValue("040704b0", "companyname"), nullptr);
  EXPECT_EQ(*v->FindValue("040704B0", "CompanyName"), "Maker");
  EXPECT_EQ(v->FindValue("040904b0", "CompanyName"), nullptr);
  EXPECT_EQ(v->FindValue("000004e4", "CompanyName"), nullptr);
  EXPECT_EQ(b->FindVersionInfo(2), nullptr);
  EXPECT_EQ(*b->FindString(7), "after");  // the statement ends where it should
}

TEST(VersionInfo, RejectsBadBlocksNamingTheLine) {
  struct Case {
    const char* script;
    const char* want;
  } cases[] = {
      {"1 VERSIONINFO\nFILEVERSION 1,2,3\nBEGIN END", "line 3: ',' expected"},
      {"1 VERSIONINFO\nFILEVERSION 1,2,3,70000\nBEGIN END", "line 2: version number (0..65535)"},
      {"1 VERSIONINFO\nFILEDATE 1\nBEGIN END", "line 2: unknown version statement 'FILEDATE'"},
      {"1 VERSIONINFO\nBEGIN\n BLOCK \"Other\"\nBEGIN END\nEND", "line 3: unknown block 'Other'"},
      {"1 VERSIONINFO\nBEGIN\n BLOCK \"StringFileInfo\"\n BEGIN\n  BLOCK \"0409\"\n",
       "line 5: translation key of eight hex digits"},
      {"1 VERSIONINFO BEGIN BLOCK \"StringFileInfo\" BEGIN BLOCK \"040904b0\" BEGIN\n"
       "VALUE \"A\", \"x\"\nVALUE \"a\", \"y\" END END END",
       "line 3: value a defined twice"},
      {"1 VERSIONINFO BEGIN BLOCK \"StringFileInfo\" BEGIN BLOCK \"040904b0\" BEGIN\n"
       "VALUE \"A\" END END END",
       "line 2: ',' expected"},
      {"1 VERSIONINFO BEGIN BLOCK \"VarFileInfo\" BEGIN\nVALUE \"Translation\", 0x409 END END",
       "line 2: ',' expected"},
      {"1 VERSIONINFO BEGIN BLOCK \"VarFileInfo\" BEGIN\nVALUE \"Other\", 1, 2 END END",
       "line 2: only \"Translation\" belongs here"},
      {"1 VERSIONINFO BEGIN\nEND\n1 VERSIONINFO BEGIN END",
       "line 3: version block 1 defined twice"},
      {"1 VERSIONINFO BEGIN BLOCK \"StringFileInfo\" BEGIN\n", "line 2: BLOCK or END expected"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_EQ(CResourceBundle::Parse(c.script, &error), nullptr) << c.script;
    EXPECT_NE(error.find(c.want), std::string::npos) << c.script << "\n gave: " << error;
  }
}

}  // namespace
}  // namespace fw
