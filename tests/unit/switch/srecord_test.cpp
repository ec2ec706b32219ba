#include "switch/srecord.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "switch/firmware_checks.h"
#include "tests/common/test_util.h"

namespace fw {
namespace {

using fw::test::SRecordLine;

// Builds a record line with a correct count and checksum.

TEST(SRecord, ReadsS1AndS2DataAndSkipsHeaderAndEndRecords) {
  const std::string text = "S00600004844521B\r\n" + SRecordLine(1, 0x1234, {1, 2, 3}) + "\r\n" +
                           SRecordLine(2, 0xABCDEF, {0xFF}) + "\n" + SRecordLine(5, 2, {}) + "\n" +
                           SRecordLine(9, 0, {}) + "\n\n";
  std::vector<SRecord> recs;
  std::string error;
  ASSERT_TRUE(ParseSRecords(text, &recs, &error)) << error;
  ASSERT_EQ(recs.size(), 2u);
  EXPECT_EQ(recs[0].address, 0x1234u);
  EXPECT_EQ(recs[0].data, (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(recs[0].line, 2);
  EXPECT_EQ(recs[1].type, 2);
  EXPECT_EQ(recs[1].address, 0xABCDEFu);
  EXPECT_EQ(SRecordBlockBytes(recs[1]), (std::vector<std::uint8_t>{0, 0xAB, 0xCD, 0xEF, 1, 0xFF}));
}

TEST(SRecord, AcceptsLowerCaseAndTrailingBlanks) {
  std::string line = SRecordLine(1, 0x10, {0xAB});
  for (auto& c : line) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::vector<SRecord> recs;
  std::string error;
  ASSERT_TRUE(ParseSRecords("  " + line + " \t\r\n", &recs, &error)) << error;
  EXPECT_EQ(recs[0].data[0], 0xAB);
}

TEST(SRecord, RefusesBadLinesNamingTheLine) {
  const std::string good = SRecordLine(1, 0, {1}) + "\n";
  struct Case {
    std::string bad;
    const char* expect;
  } cases[] = {
      {"hello", "Line 2 of the firmware file is not a valid S-record."},
      {"S1", "Line 2 of the firmware file is not a valid S-record."},
      {"S104000G00", "Line 2 of the firmware file is not a valid S-record."},
      {"S10400000", "Line 2 of the firmware file is not a valid S-record."},  // odd digits
      {"S105000001FA",
       "Line 2 of the firmware file has a byte count that does not match its length."},
      {"S1020000", "Line 2 of the firmware file has a byte count that does not match its length."},
      {"S1040000010A", "Line 2 of the firmware file has a wrong checksum."},
      {SRecordLine(3, 0, {1}),
       "Line 2 of the firmware file uses 32-bit addresses (S3 or S7), which the switch "
       "cannot load."},
      {SRecordLine(7, 0, {}),
       "Line 2 of the firmware file uses 32-bit addresses (S3 or S7), which the switch "
       "cannot load."},
      {"S4030000FC", "Line 2 of the firmware file has an unknown record type."},
  };
  for (const auto& c : cases) {
    std::vector<SRecord> recs;
    std::string error;
    EXPECT_FALSE(ParseSRecords(good + c.bad + "\n" + good, &recs, &error)) << c.bad;
    EXPECT_EQ(error, c.expect) << c.bad;
  }
}

TEST(SRecord, LimitsDataToWhatOneLoadBlockCarries) {
  std::vector<SRecord> recs;
  std::string error;
  EXPECT_TRUE(ParseSRecords(SRecordLine(2, 0, std::vector<std::uint8_t>(62, 7)), &recs, &error))
      << error;
  EXPECT_EQ(SRecordBlockBytes(recs[0]).size(), 67u);
  // 63 bytes would run past the frame the switch accepts.
  EXPECT_FALSE(ParseSRecords(SRecordLine(1, 0, std::vector<std::uint8_t>(63, 7)), &recs, &error));
  EXPECT_EQ(error, "Line 1 of the firmware file holds more than 62 data bytes.");
  // The longest record the syntax allows (255 bytes) is refused the same way.
  error.clear();
  EXPECT_FALSE(ParseSRecords(SRecordLine(1, 0, std::vector<std::uint8_t>(252, 1)), &recs, &error));
  EXPECT_EQ(error, "Line 1 of the firmware file holds more than 62 data bytes.");
}

TEST(SRecord, RefusalsAddToTheCallersTextOrGoNowhere) {
  std::vector<SRecord> recs;
  EXPECT_FALSE(ParseSRecords("S1", &recs, nullptr));
  EXPECT_FALSE(ReadSRecordFile("/nonexistent/ring.s19", &recs, nullptr));
  std::string error = "Loading ring.s19";
  EXPECT_FALSE(ParseSRecords("", &recs, &error));
  EXPECT_EQ(error, "Loading ring.s19\nThe firmware file holds no data records.");
}

TEST(SRecord, FileWithoutDataRecordsIsRefused) {
  std::vector<SRecord> recs;
  std::string error;
  EXPECT_FALSE(ParseSRecords("S00600004844521B\nS9030000FC\n", &recs, &error));
  EXPECT_EQ(error, "The firmware file holds no data records.");
  error.clear();
  EXPECT_FALSE(ParseSRecords("", &recs, &error));
  EXPECT_EQ(error, "The firmware file holds no data records.");
}

TEST(SRecord, BlockPositions) {
  EXPECT_EQ(SRecordBlockPosition(0, 1), 1);  // a single record is the first block
  EXPECT_EQ(SRecordBlockPosition(0, 3), 1);
  EXPECT_EQ(SRecordBlockPosition(1, 3), 0);
  EXPECT_EQ(SRecordBlockPosition(2, 3), 2);
}

TEST(SRecord, ReadsFileAndReportsMissingOne) {
  const auto path = std::filesystem::temp_directory_path() / "ops_srecord_test.s19";
  {
    std::ofstream f(path, std::ios::binary);
    f << SRecordLine(1, 0x100, {9, 8}) << "\r\n" << SRecordLine(9, 0, {}) << "\r\n";
  }
  std::vector<SRecord> recs;
  std::string error;
  EXPECT_TRUE(ReadSRecordFile(path.string(), &recs, &error)) << error;
  EXPECT_EQ(recs.size(), 1u);
  std::filesystem::remove(path);
  EXPECT_FALSE(ReadSRecordFile(path.string(), &recs, &error));
  EXPECT_EQ(error.rfind("Unable to read the firmware file: ", 0), 0u) << error;
}

TEST(FirmwareChecks, FileNameWordsModelsAndRevisions) {
  // Folders never decide: only the file's own name counts.
  EXPECT_EQ(FirmwareFileBaseName("/fw/9_port_images/ring_gig.s19"), "ring_gig.s19");
  EXPECT_EQ(FirmwareFileBaseName("C:\\5_port\\ring.s19"), "ring.s19");
  EXPECT_EQ(FirmwarePortWord(FirmwareFileBaseName("/x/9_port/ring.s19")), "");
  EXPECT_EQ(FirmwarePortWord("ring_9_port_v02.s19"), "9_port");
  EXPECT_EQ(FirmwarePortWord("gig_5_port.s19"), "5_port");  // tested in order
  EXPECT_EQ(SwitchModelCode("QV-9KX-xx"), "9KX");
  EXPECT_EQ(SwitchModelCode("Managed"), "");
  EXPECT_TRUE(FirmwareFitsModel("gig", "9KX"));
  EXPECT_FALSE(FirmwareFitsModel("gig", "9KP"));
  EXPECT_TRUE(FirmwareFitsModel("9_port", "9KP"));
  EXPECT_FALSE(FirmwareFitsModel("5_port", "6KP"));
  EXPECT_TRUE(FirmwareFitsRevision("0201", "ring_9_port_v02.s19"));
  EXPECT_FALSE(FirmwareFitsRevision("0201", "ring_9_port_v01.s19"));
  EXPECT_FALSE(FirmwareFitsRevision("0103", "ring_9_port_v02.s19"));
  EXPECT_TRUE(FirmwareFitsRevision("", "ring_gig.s19"));
}

}  // namespace
}  // namespace fw
