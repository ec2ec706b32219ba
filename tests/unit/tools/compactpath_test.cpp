// Path compaction with a font of fixed width: every character 7 pixels.
#include "tools/compactpath.h"

#include <gtest/gtest.h>

#include "tools/projectdocument.h"

namespace {

int Width(const std::string& s) {
  return 7 * static_cast<int>(s.size());
}

std::string Compact(const std::string& path, int available, unsigned flags = 0) {
  return fw::CompactPathText(path, available, Width, 7, flags);
}

TEST(CompactPath, AShortPathStaysAsItIs) {
  const std::string path = "C:\\a\\b\\c\\f.txt";  // 98 pixels
  EXPECT_EQ(Compact(path, 103), path);
  EXPECT_EQ(Compact(path, 500), path);
  EXPECT_EQ(Compact(path, 500, fw::kCompactForwardSlashes), "C:/a/b/c/f.txt");
}

TEST(CompactPath, TheHiddenFoldersAreRevealedFromTheirEndWhileThereIsRoom) {
  const std::string path = "C:\\data\\projects\\plant\\ring.zcf";
  // "C:\data\...\ring.zcf" fits; characters of the middle come back one by one.
  EXPECT_EQ(Compact(path, 200), "C:\\data\\...s\\plant\\ring.zcf");
  EXPECT_EQ(Compact(path, 160), "C:\\data\\...nt\\ring.zcf");
  EXPECT_EQ(Compact(path, 150), "C:\\data\\...t\\ring.zcf");
  EXPECT_EQ(Compact(path, 221), "C:\\data\\...ects\\plant\\ring.zcf");
  EXPECT_EQ(Compact(path, 222), path);
  // Linux paths keep their own separator.
  EXPECT_EQ(Compact("/home/user/projects/plant.zcf", 150), "/home/...s/plant.zcf");
}

TEST(CompactPath, ANarrowControlShortensTheHeadThenKeepsOnlyTheFile) {
  const std::string path = "C:\\data\\projects\\plant\\ring.zcf";
  EXPECT_EQ(Compact(path, 140), "C:\\da\\...\\ring.zcf");
  EXPECT_EQ(Compact(path, 120), "C:\\...\\ring.zcf");
  EXPECT_EQ(Compact(path, 60), "...\\ring.zcf");
  EXPECT_EQ(Compact("C:\\a\\b\\c\\f.txt", 100), "C:\\...\\f.txt");
  EXPECT_EQ(Compact("C:\\a\\b\\c\\f.txt", 100, fw::kCompactForwardSlashes), "C:/.../f.txt");
  // Relative heads are kept whole or not at all.
  EXPECT_EQ(Compact(".\\sub\\dir\\deeper\\f.txt", 90), ".\\...r\\f.txt");
  EXPECT_EQ(Compact(".\\sub\\dir\\deeper\\f.txt", 40), "...\\f.txt");
  EXPECT_EQ(Compact("..\\..\\x\\y\\z\\f.txt", 112), "..\\..\\...z\\f.txt");
  EXPECT_EQ(Compact("..\\..\\x\\y\\z\\f.txt", 110), "...\\f.txt");
  EXPECT_EQ(Compact("..\\..\\x\\y\\z\\f.txt", 60), "...\\f.txt");
}

TEST(ItemNames, AreCleanedCutAndFreedOfCommas) {
  bool cut = false, commas = false;
  EXPECT_EQ(fw::NormalizeItemName("  A,b\tc\r\n ", &cut, &commas), "Abc");
  EXPECT_FALSE(cut);
  EXPECT_TRUE(commas);
  EXPECT_EQ(fw::NormalizeItemName(std::string(33, 'x'), &cut, &commas), std::string(32, 'x'));
  EXPECT_TRUE(cut);
  EXPECT_FALSE(commas);
  // Characters, not bytes.
  EXPECT_EQ(fw::NormalizeItemName(std::string(40, 'x').replace(0, 1, "\xC3\xBC")),
            "\xC3\xBC" + std::string(31, 'x'));
  EXPECT_EQ(fw::NormalizeItemName(", ,"), "");
  EXPECT_TRUE(fw::IsValidMacSuffix("1a:2B:3c"));
  EXPECT_FALSE(fw::IsValidMacSuffix("1a2b3c"));
  EXPECT_FALSE(fw::IsValidMacSuffix("1a:2b:3g"));
  EXPECT_FALSE(fw::IsValidMacSuffix("1a:2b:3c:"));
}

}  // namespace
