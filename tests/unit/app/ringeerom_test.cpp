// The EEROM description the program ships: every line is read, and every
// area the program itself writes is named.
#include <gtest/gtest.h>

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

}  // namespace
