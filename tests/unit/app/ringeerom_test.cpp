// The EEROM description the program ships: every line is read, and every
// area the program itself writes is named.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/text.h"
#include "switch/configload.h"
#include "tools/eeromrange.h"

namespace {

TEST(ShippedEeromDescription, ReadsWithoutErrorsAndCoversTheProgramsAreas) {
  std::vector<CEeromRange> rows;
  std::string error;
  ASSERT_GT(LoadEeromRanges(FW_SOURCE_DIR "/app/ringeerom.txt", &rows, &error), 0);
  EXPECT_EQ(error, "");
  auto covered = [&](unsigned address) {
    for (const CEeromRange& r : rows)
      if (address >= r.start && address <= r.end) return true;
    return false;
  };
  for (unsigned a :
       {unsigned{eerom::kName}, unsigned{eerom::kConfigName}, unsigned{eerom::kRevision},
        unsigned{eerom::kIdentity}, unsigned{eerom::kVariant}, unsigned{eerom::kOkOutput},
        unsigned{eerom::kPorts}, unsigned{eerom::kRings}, unsigned{eerom::kIp},
        unsigned{eerom::kModbusAddress}, unsigned{eerom::kMirroring}, unsigned{eerom::kPriority},
        unsigned{eerom::kTagMapping}, unsigned{eerom::kSendHigh}})
    EXPECT_TRUE(covered(a)) << a;
}

// A comma inside a name is quoted, else the name stops there.
TEST(ShippedEeromDescription, EveryNameReadsWhole) {
  std::vector<CEeromRange> rows;
  std::string error;
  ASSERT_GT(LoadEeromRanges(FW_SOURCE_DIR "/app/ringeerom.txt", &rows, &error), 0);
  std::ifstream in(FW_SOURCE_DIR "/app/ringeerom.txt");
  std::string line;
  std::size_t row = 0;
  while (std::getline(in, line)) {
    const std::size_t comma = line.find(',');
    if (comma == std::string::npos) continue;
    std::string written;
    for (char c : line.substr(comma + 1))
      if (c != '`' && c != '\r') written += c;
    ASSERT_LT(row, rows.size());
    EXPECT_EQ(rows[row++].name, fw::Trim(written));
  }
  EXPECT_EQ(row, rows.size());
}

}  // namespace
