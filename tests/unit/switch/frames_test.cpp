#include "switch/frames.h"

#include <gtest/gtest.h>

#include "switch/capturebackend.h"

namespace fw::frames {
namespace {

const MacAddress kTarget{0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
const MacAddress kLocal{0x02, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE};

std::vector<std::uint8_t> Header(std::uint8_t command) {
  return {0x00, 0x11, 0x22, 0x33, 0x44, 0x55,  // destination
          0x02, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE,  // source
          0x88, 0xB7, 0x02, 0x4B, 0x33, 0x00, 0x02, 0x00, command, 0x12,
          0x34, 0x56, 0x78, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
}

std::vector<std::uint8_t> Padded(std::vector<std::uint8_t> f, std::size_t len = 60) {
  f.resize(len, 0);
  return f;
}

TEST(FrameBuild, RequestsWithoutDataAreSixtyBytes) {
  EXPECT_EQ(Padded(Header(1)), BuildNop(kTarget, kLocal));
  auto status = Header(3);
  status.insert(status.end(), {0x00, 0x00, 0x00, 0x01});
  EXPECT_EQ(Padded(status), BuildStatusRead(kTarget, kLocal));
  auto control = Header(6);
  control.insert(control.end(), {0x00, 0x00, 0x80, 0x00});
  EXPECT_EQ(Padded(control), BuildControl(kTarget, kLocal, 0x8000));
}

TEST(FrameBuild, LoadBlockIsThirtyThreePlusItsData) {
  std::vector<std::uint8_t> block(40);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i + 1);
  auto expected = Header(5);
  expected.insert(expected.end(), {0x00, 0x01});
  expected.insert(expected.end(), block.begin(), block.end());
  const auto f = BuildLoadBlock(kTarget, kLocal, kBlockFirst, block);
  EXPECT_EQ(73u, f.size());
  EXPECT_EQ(expected, f);
  // Short blocks still fill the Ethernet minimum; oversized ones are refused.
  EXPECT_EQ(60u, BuildLoadBlock(kTarget, kLocal, kBlockLast, std::vector<std::uint8_t>(10)).size());
  EXPECT_EQ(100u, BuildLoadBlock(kTarget, kLocal, 0, std::vector<std::uint8_t>(67)).size());
  EXPECT_TRUE(BuildLoadBlock(kTarget, kLocal, 0, std::vector<std::uint8_t>(68)).empty());
}

TEST(FrameReply, RecognisesRepliesWithAndWithoutTag) {
  auto reply = Padded(Header(1));
  reply[19] = 0xA0;
  std::vector<std::uint8_t> out;
  ASSERT_TRUE(ExtractReply(reply, &out));
  EXPECT_EQ(reply, out);

  auto tagged = reply;
  const std::uint8_t tag[] = {0x81, 0x00, 0x00, 0x05};
  tagged.insert(tagged.begin() + 12, tag, tag + 4);
  const auto original = tagged;
  ASSERT_TRUE(ExtractReply(tagged, &out));
  EXPECT_EQ(reply, out);
  EXPECT_EQ(original, tagged) << "the received frame itself must stay as captured";
}

TEST(FrameReply, RejectsWhatIsNotAReply) {
  std::vector<std::uint8_t> out;
  auto request = Padded(Header(1));
  EXPECT_FALSE(ExtractReply(request, &out)) << "no reply flag";
  auto reply = request;
  reply[19] = 0x80;
  EXPECT_FALSE(ExtractReply(std::span(reply).first(19), &out)) << "shorter than 20 bytes";
  EXPECT_TRUE(ExtractReply(std::span(reply).first(20), &out));
  auto other = reply;
  other[16] = 0x34;
  EXPECT_FALSE(ExtractReply(other, &out)) << "other organisation";
  // A tagged frame that is too short once the tag is gone.
  std::vector<std::uint8_t> tagged(reply.begin(), reply.begin() + 12);
  tagged.insert(tagged.end(), {0x81, 0x00, 0x00, 0x05});
  tagged.insert(tagged.end(), reply.begin() + 12, reply.begin() + 19);
  EXPECT_FALSE(ExtractReply(tagged, &out));
  EXPECT_FALSE(ExtractReply({}, &out));
}

std::vector<std::uint8_t> StatusReply(std::uint8_t ports, std::uint8_t ring,
                                      std::vector<std::uint8_t> port_bytes) {
  auto f = Header(3);
  f[19] = 0xA0;
  f.insert(f.end(), {0, 0, 0, 1, ports, ring, 0, 0});
  f.insert(f.end(), port_bytes.begin(), port_bytes.end());
  if (f.size() < 60) f.resize(60, 0);
  return f;
}

TEST(FrameStatus, FillsHeaderAndPorts) {
  CSwitchStatus s;
  std::vector<std::uint8_t> ports(9, 0);
  ports[0] = 0x3F;
  ports[8] = 0x16;
  ASSERT_EQ(StatusParse::kOk, ParseStatusReply(StatusReply(9, 0xE7, ports), &s));
  EXPECT_EQ(9, s.nPorts);
  EXPECT_EQ(7, s.nRingState);
  EXPECT_FALSE(s.bRingFlag08);
  EXPECT_FALSE(s.bRingFlag10);
  EXPECT_TRUE(s.bRingFlag20);
  EXPECT_EQ(3, s.nRingTop);
  EXPECT_EQ(3, s.nPortLink[0]);
  EXPECT_EQ(4, s.nPortBit04[0]);
  EXPECT_EQ(8, s.nPortBit08[0]);
  EXPECT_EQ(48, s.nPortBits30[0]);
  EXPECT_EQ(2, s.nPortLink[8]);
  EXPECT_EQ(4, s.nPortBit04[8]);
  EXPECT_EQ(16, s.nPortBits30[8]);
  for (std::uint8_t state : {3, 4, 5, 6}) {
    ASSERT_EQ(StatusParse::kOk, ParseStatusReply(StatusReply(1, state | 0x08, {0}), &s));
    EXPECT_EQ(0, s.nRingState);
    EXPECT_TRUE(s.bRingFlag08);
  }
}

TEST(FrameStatus, RejectsBadPortCountsAndShortReplies) {
  CSwitchStatus s;
  s.nPortLink[0] = 77;
  EXPECT_EQ(StatusParse::kTooManyPorts, ParseStatusReply(StatusReply(65, 0, {}), &s));
  EXPECT_EQ(77, s.nPortLink[0]) << "per-port values stay untouched";
  // 20 ports claimed, 9 bytes present: never read past the frame.
  auto truncated = StatusReply(20, 0, std::vector<std::uint8_t>(9, 1));
  truncated.resize(39 + 9);
  EXPECT_EQ(StatusParse::kTooShort, ParseStatusReply(truncated, &s));
  EXPECT_EQ(77, s.nPortLink[0]);
  EXPECT_EQ(StatusParse::kTooShort, ParseStatusReply(std::span(truncated).first(36), &s));
  EXPECT_EQ(StatusParse::kOk,
            ParseStatusReply(StatusReply(64, 0, std::vector<std::uint8_t>(64, 1)), &s));
  EXPECT_EQ(1, s.nPortLink[63]);
}

TEST(FrameStatus, InitClearsHeaderAndFirstNinePorts) {
  CSwitchStatus s;
  s.nPorts = 5;
  s.nRingState = 2;
  s.bRingFlag10 = true;
  s.nPortLink[8] = 1;
  s.nPortLink[9] = 1;
  SwitchStatusInit(&s);
  EXPECT_EQ(0, s.nPorts);
  EXPECT_EQ(0, s.nRingState);
  EXPECT_FALSE(s.bRingFlag10);
  EXPECT_EQ(0, s.nPortLink[8]);
  EXPECT_EQ(1, s.nPortLink[9]);
}

TEST(CaptureVersion, GateOnMajorNumber) {
  EXPECT_TRUE(CaptureVersionCompatible("libpcap version 1.10.3 (with TPACKET_V3)", 1));
  EXPECT_TRUE(CaptureVersionCompatible("libpcap version 1.0.0", 1));
  EXPECT_FALSE(CaptureVersionCompatible("libpcap version 0.9.8", 1));
  EXPECT_TRUE(CaptureVersionCompatible("Packet library version 4.1.2", 4));
  EXPECT_FALSE(CaptureVersionCompatible("Packet library version 3.1 beta", 4));
  EXPECT_FALSE(CaptureVersionCompatible("libpcap 1.10.3", 1)) << "no word version";
  EXPECT_FALSE(CaptureVersionCompatible("libpcap version 1.", 1)) << "too little after it";
  EXPECT_FALSE(CaptureVersionCompatible("libpcap version x.10", 1));
  EXPECT_TRUE(CaptureVersionCompatible("libpcap version 99999999999999.1", 1));
}

}  // namespace
}  // namespace fw::frames
