#include "tools/eeromrange.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/common/test_util.h"

namespace {

TEST(EeromRange, ReadsRowsAndSkipsBadLinesNamingThem) {
  const std::string text =
      "$20-$3F,Switch name\r\n"
      "$E8-$FF,`Firmware revision, as text`\n"
      "118,Identity\n"
      "$10-,Broken\n"
      "$20-$10,Reversed\n"
      "-$40,No start\n"
      "$1000,Outside\n"
      "12345,Too wide\n"
      "\n"
      ",no range\n"
      "$30,\n"
      "zz,Garbage\n"
      "$0A , Padded \n";
  std::vector<CEeromRange> rows;
  std::string error;
  ASSERT_EQ(ParseEeromRanges(text, "ringeerom.txt", &rows, &error), 5);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0].start, 0x20);
  EXPECT_EQ(rows[0].end, 0x3F);
  EXPECT_EQ(rows[0].name, "Switch name");  // no CR left behind
  EXPECT_EQ(rows[0].ByteCount(), 32);
  EXPECT_EQ(rows[1].name, "Firmware revision, as text");
  EXPECT_EQ(rows[2].start, 0x118);
  EXPECT_EQ(rows[2].ByteCount(), 1);
  EXPECT_EQ(rows[3].start, 0x10);  // reversed: swapped
  EXPECT_EQ(rows[3].end, 0x20);
  EXPECT_EQ(rows[4].start, 0x0A);
  EXPECT_EQ(rows[4].name, "Padded");
  // Every bad line is named by number and text; the rows after it still load.
  EXPECT_NE(
      error.find("Line 4 of ringeerom.txt was skipped: Invalid range specified ($10-,Broken)."),
      std::string::npos)
      << error;
  EXPECT_NE(error.find("Line 6 of ringeerom.txt"), std::string::npos);
  EXPECT_NE(error.find("Line 7 of ringeerom.txt was skipped: The range $1000 lies outside the "
                       "EEROM (0x0000 to 0x0FFF)."),
            std::string::npos);
  EXPECT_NE(error.find("Line 8 of"), std::string::npos);
  EXPECT_NE(error.find("Line 12 of"), std::string::npos);
  EXPECT_NE(error.find("Line 10 of"), std::string::npos);  // a row without a range
  EXPECT_EQ(error.find("Line 9 of"), std::string::npos);   // no function text: passed over
  EXPECT_EQ(error.find("Line 11 of"), std::string::npos);
}

TEST(EeromRange, LongFieldsAreCutAndFilesReadOrRefused) {
  std::vector<CEeromRange> rows;
  std::string error;
  const std::string longName(400, 'n');
  ASSERT_EQ(ParseEeromRanges("$40," + longName + "\n", "f", &rows, &error), 1);
  EXPECT_EQ(rows[0].name.size(), 256u);

  fw::test::TempDir dir;
  EXPECT_EQ(LoadEeromRanges(dir.file("missing.txt"), &rows, &error), kEeromFileUnreadable);
  EXPECT_TRUE(rows.empty());
  EXPECT_NE(error.find("missing.txt"), std::string::npos);
  {
    std::ofstream f(dir.file("ringeerom.txt"), std::ios::binary);
    f << "$20-$21,Gr\xFC\xDF"
         "e\n";  // the old code page
  }
  error.clear();
  ASSERT_EQ(LoadEeromRanges(dir.file("ringeerom.txt"), &rows, &error), 1);
  EXPECT_EQ(rows[0].name,
            "Gr\xC3\xBC\xC3\x9F"
            "e");
  EXPECT_TRUE(error.empty());
}

}  // namespace
