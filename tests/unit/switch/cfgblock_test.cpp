#include "switch/cfgblock.h"

#include <gtest/gtest.h>

#include "tests/unit/switch/comm_fixture.h"

namespace fw::test {
namespace {

TEST(CfgBlockSplit, LongRequestBecomesThirtyTwoByteEntriesOnePerFrame) {
  CCfgBlock b;
  b.AddRequest(kEeromRead, 1024, 70);
  b.SplitAndPack();
  auto& frames = b.Frames();
  ASSERT_EQ(3u, frames.size());
  const std::uint16_t starts[] = {1024, 1056, 1088};
  const std::uint16_t lengths[] = {32, 32, 6};
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(2u, frames[i].size());
    EXPECT_EQ(starts[i], frames[i][0].nStart);
    EXPECT_EQ(lengths[i], frames[i][0].nLength);
    EXPECT_EQ(kEeromEnd, frames[i][1].nKind);
  }
}

TEST(CfgBlockSplit, SmallRequestsShareAFrame) {
  CCfgBlock b;
  b.AddRequest(kEeromRead, 232, 4);
  b.AddRequest(kEeromRead, 280, 6);
  b.SplitAndPack();
  ASSERT_EQ(1u, b.Frames().size());
  const auto body = CCfgBlock::FrameBody(b.Frames()[0]);
  const std::vector<std::uint8_t> expected = {0, 0,                                // status
                                              1, 4, 0x00, 232,  0, 0, 0, 0,        // read 4 at 232
                                              1, 6, 0x01, 0x18, 0, 0, 0, 0, 0, 0,  // read 6 at 280
                                              0, 0, 0,    0};
  EXPECT_EQ(expected, body);
}

TEST(CfgBlockSplit, WriteDataIsSharedOutAndPacked) {
  std::vector<std::uint8_t> data(40);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(0xA0 + i);
  CCfgBlock b;
  b.AddRequest(kEeromWrite, 0x0120, 40, data.data());
  b.AddRequest(kEeromWrite, 0x0200, 0);
  b.AddRequest(7, 5, 1);
  EXPECT_EQ(kEeromEnd, b.Requests()[2].nKind);
  b.SplitAndPack();
  auto& frames = b.Frames();
  // 36 bytes of the first frame: the 32-byte slice; then 8 + 4 + 4 + 1 together.
  ASSERT_EQ(2u, frames.size());
  ASSERT_EQ(std::vector<std::uint8_t>(data.begin() + 32, data.end()), frames[1][0].data);
  EXPECT_EQ(0x0140, frames[1][0].nStart);
  const auto body = CCfgBlock::FrameBody(frames[0]);
  ASSERT_EQ(2u + 4 + 32 + 4, body.size());
  EXPECT_EQ(2, body[2]);
  EXPECT_EQ(32, body[3]);
  EXPECT_EQ(0x01, body[4]);
  EXPECT_EQ(0x20, body[5]);
  EXPECT_EQ(0xA0, body[6]);
}

TEST(CfgBlockSplit, EmptyRequestStillGivesOneFrame) {
  CCfgBlock b;
  b.AddRequest(kEeromRead, 10, 0);
  b.SplitAndPack();
  EXPECT_EQ(1u, b.Frames().size());
}

TEST(CfgBlockMap, StoreLookupCopyAndClear) {
  CCfgBlock b;
  std::uint8_t v = 0;
  EXPECT_FALSE(b.LookupByte(5, &v));
  b.StoreByte(5, 9);
  b.StoreByte(5, 10);
  b.StoreByte(2, 3);
  ASSERT_TRUE(b.LookupByte(5, &v));
  EXPECT_EQ(10, v);
  std::vector<std::uint8_t> bytes(1, 0xEE);
  b.CopyWordMapToBytes(&bytes);
  EXPECT_EQ((std::vector<std::uint8_t>{0xEE, 0, 3, 0, 0, 10}), bytes);
  b.AddRequest(kEeromRead, 0, 1);
  b.Clear(false);
  EXPECT_TRUE(b.Requests().empty());
  EXPECT_TRUE(b.LookupByte(2, &v));
  b.Clear(true);
  EXPECT_FALSE(b.LookupByte(2, &v));
}

// The transaction against the software switch; every verdict of the reply check.
class EeromTest : public CommTest {
 protected:
  void SetUp() override { Open(); }
  int RunRead(std::uint16_t start, std::uint16_t len) {
    block.AddRequest(kEeromRead, start, len);
    return comm->Run(block, &error);
  }
  CCfgBlock block;
  std::string error;
};

TEST_F(EeromTest, ReadReturnsTheImageInAddressOrder) {
  block.AddRequest(kEeromRead, 232, 4);
  block.AddRequest(kEeromRead, 280, 6);
  block.AddRequest(kEeromRead, 300, 100);
  ASSERT_EQ(kEeromOk, comm->Run(block, &error)) << error;
  EXPECT_EQ("", error);
  const auto& img = core.eerom();
  EXPECT_EQ(std::vector<std::uint8_t>(img.begin() + 232, img.begin() + 236),
            block.Requests()[0].data);
  EXPECT_EQ(std::vector<std::uint8_t>(img.begin() + 280, img.begin() + 286),
            block.Requests()[1].data);
  EXPECT_EQ(std::vector<std::uint8_t>(img.begin() + 300, img.begin() + 400),
            block.Requests()[2].data);
  for (const auto& r : block.Requests()) EXPECT_EQ(1, r.nDone);
  // 232 and 280 share a frame; 100 bytes at 300 take four.
  EXPECT_EQ(5u, capture.sent["veth-test0"].size());
}

TEST_F(EeromTest, WriteThenReadBack) {
  const std::vector<std::uint8_t> name = {'R', 'i', 'n', 'g', ' ', '7', 0};
  block.AddRequest(kEeromWrite, 32, static_cast<std::uint16_t>(name.size()), name.data());
  ASSERT_EQ(kEeromOk, comm->Run(block, &error)) << error;
  EXPECT_EQ(name, std::vector<std::uint8_t>(core.eerom().begin() + 32, core.eerom().begin() + 39));
  block.Clear(true);
  ASSERT_EQ(kEeromOk, RunRead(32, 7)) << error;
  EXPECT_EQ(name, block.Requests()[0].data);
}

TEST_F(EeromTest, BusySwitchIsAskedAgainAndItsLaterReplyChecked) {
  core.knobs().busy_replies = 2;
  ASSERT_EQ(kEeromOk, RunRead(280, 6)) << error;
  EXPECT_EQ(3u, capture.sent["veth-test0"].size());
  EXPECT_EQ(core.eerom()[283], block.Requests()[0].data[3]);
}

TEST_F(EeromTest, SwitchThatStaysBusyGivesUp) {
  core.knobs().busy_replies = 10;
  EXPECT_EQ(kEeromBusy, RunRead(280, 6));
  EXPECT_EQ(4u, capture.sent["veth-test0"].size()) << "the frame and three resends";
  EXPECT_EQ(kSwitchText + " The switch reports busy status - unable to continue.\n", error);
}

TEST_F(EeromTest, FailedWriteIsAFailure) {
  const std::uint8_t data[4] = {1, 2, 3, 4};
  core.knobs().failed_entries = {300};
  block.AddRequest(kEeromWrite, 300, 4, data);
  EXPECT_EQ(kEeromEntryNotDone, comm->Run(block, &error));
  EXPECT_EQ(kSwitchText + " Write at location 300, length 4 failed.\n", error);
  EXPECT_EQ(0, block.Requests()[0].nDone);
  EXPECT_EQ("Write at location 300, length 4 failed.", block.Requests()[0].text);
}

TEST_F(EeromTest, UnconfirmedEntryIsAFailure) {
  core.knobs().unconfirmed_entries = {280};
  EXPECT_EQ(kEeromEntryNotDone, RunRead(280, 6));
  EXPECT_NE(std::string::npos, error.find("Read at location 280, length 6 was not confirmed."));
}

TEST_F(EeromTest, ReplyCheckVerdicts) {
  struct Case {
    void (*arm)(emu::Knobs&);
    int result;
    const char* line;
  } cases[] = {
      {[](emu::Knobs& k) { k.eerom_status = 3; }, kEeromInvalidRequest,
       "The switch reported an invalid request during EEROM read/write command(s)."},
      {[](emu::Knobs& k) { k.empty_eerom_reply = true; }, kEeromEmptyReply,
       "The switch replied with an empty block during EEROM read/write commands."},
      {[](emu::Knobs& k) { k.omit_end_marker = true; }, kEeromNoEndMarker,
       "The switch failed to send the last block identifier"},
      {[](emu::Knobs& k) { k.foreign_entry = true; }, kEeromBadEntry,
       "The switch replied with an invalid EEROM block cmd = 129, location = 281, length = 6.\n"},
      {[](emu::Knobs& k) { k.drop_all = true; }, kEeromFailed,
       "Reply to EEROM command(s) not found."},
  };
  for (const auto& c : cases) {
    core.knobs() = emu::Knobs{};
    c.arm(core.knobs());
    block.Clear(true);
    error.clear();
    EXPECT_EQ(c.result, RunRead(280, 6)) << c.line;
    EXPECT_EQ(0u, error.find(kSwitchText + " ")) << error;
    EXPECT_NE(std::string::npos, error.find(c.line)) << error;
  }
}

TEST_F(EeromTest, ReplyCutInsideReadDataIsRejected) {
  core.knobs().short_read = true;
  EXPECT_EQ(kEeromNoEndMarker, RunRead(400, 32));
  EXPECT_EQ(0, block.Requests()[0].nDone);
}

TEST(CfgBlockStore, ReadEntryWithTooFewBytes) {
  CCfgBlock b;
  b.SetSwitchAddress(kSwitchMac);
  std::vector<CAccessRequest> frame(2);
  frame[0].nKind = kEeromRead;
  frame[0].nStart = 400;
  frame[0].nLength = 32;
  frame[0].nDone = 1;
  frame[0].data.assign(10, 7);
  std::string error;
  EXPECT_EQ(kEeromFailed, b.StoreReadEntries(frame, &error));
  EXPECT_EQ(kSwitchText + " Unknown error found while reading EEROM.\n" + kSwitchText +
                " pos = 10, max = 32, size = 10\n" + kSwitchText +
                " cmd = 1, start = 400, num = 32\n",
            error);
  std::uint8_t v;
  EXPECT_FALSE(b.LookupByte(400, &v));
}

TEST_F(EeromTest, NothingToSend) {
  EXPECT_EQ(kEeromFailed, comm->Run(block, &error));
  EXPECT_EQ(kSwitchText + " Invalid block count found while sending EEROM message.\n", error);
}

TEST_F(EeromTest, RepliesOfOtherStationsAreTaken) {
  // The destination is not compared in this exchange (requests may be broadcast).
  core.knobs().misaddressed = true;
  core.knobs().vlan_tagged = true;
  ASSERT_EQ(kEeromOk, RunRead(232, 4)) << error;
  EXPECT_EQ(core.eerom()[232], block.Requests()[0].data[0]);
}

}  // namespace
}  // namespace fw::test
