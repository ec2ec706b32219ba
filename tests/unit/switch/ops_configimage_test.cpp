#include <gtest/gtest.h>

#include "switch/configload.h"
#include "switch/switchconfig.h"
#include "switch/switchconfigstore.h"
#include "switch/switchentry.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A switch image as read by the load: firmware "0104", no fiber variant.
Bytes Current(const char* revision = "0104", std::uint8_t variant = 0) {
  Bytes image(1540, 0xFF);
  for (int i = 0; i < 4; ++i) image[232 + i] = static_cast<std::uint8_t>(revision[i]);
  image[285] = variant;
  return image;
}

Bytes Slice(const Bytes& image, std::size_t at, std::size_t n) {
  return Bytes(image.begin() + static_cast<std::ptrdiff_t>(at),
               image.begin() + static_cast<std::ptrdiff_t>(at + n));
}

class ConfigImage : public ::testing::Test {
 protected:
  ConfigImage() {
    CSwitchConfigStore::EnsureOfferedModels(0);
    entry.SetName("Ring-7");
    entry.SetPartFromText("QV-5KP-1", "");
  }
  int Build(const Bytes& current = Current()) {
    messages.clear();
    return BuildConfigImage(current, config, entry, messages, &image);
  }
  CSwitchConfig config;
  CSwitchEntry entry;
  std::vector<std::string> messages;
  Bytes image;
};

TEST_F(ConfigImage, RingExampleGolden) {
  auto* ring = config.GetRing(0);
  ring->primaryPort = 3;
  ring->backupPort = 4;
  ring->enabled = 1;
  config.SetMasterMode(1);
  ASSERT_EQ(Build(), kImageOk);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(Slice(image, 768, 8), (Bytes{4, 5, 0, 15, 5, 0, 0, 0}));
  EXPECT_EQ(Slice(image, 776, 8), (Bytes{0, 0, 0, 0, 0, 0, 0, 0}));  // ring 1 disabled
  EXPECT_EQ(image[784], 0xFF);  // rings beyond the number in use stay as read
  // Five copper ports with every speed and auto-negotiation.
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Slice(image, 512 + 2 * i, 2), (Bytes{0x00, 0x7E})) << i;
  EXPECT_EQ(Slice(image, 522, 2), (Bytes{0xFF, 0xFF}));  // no sixth port
  EXPECT_EQ(Slice(image, 32, 8), (Bytes{'R', 'i', 'n', 'g', '-', '7', 0, 0}));
  EXPECT_EQ(image[63], 0);
  // Priority: tag kept, precedence tag, use IP, use tag; Normal; broadcast limit.
  EXPECT_EQ(Slice(image, 1280, 8), (Bytes{0xE7, 0xFD, 0xB8, 0x74, 0, 0, 0, 0}));
  EXPECT_EQ(Slice(image, 1536, 4), (Bytes{0xD5, 0x40, 0x00, 0x01}));
  EXPECT_EQ(Slice(image, 960, 12), Bytes(12, 0));
  EXPECT_EQ(Slice(image, 980, 3), Bytes(3, 0));
  EXPECT_EQ(Slice(image, 288, 2), (Bytes{0x80, 0x3F}));  // triggers 1, 2 and 4
  EXPECT_EQ(Slice(image, 1024, 10), Bytes(10, 0));
  // Nothing else moved.
  const auto runs = DiffImages(Current(), image);
  for (const auto& r : runs) {
    const bool known = (r.start >= 32 && r.start < 64) || (r.start >= 288 && r.start < 290) ||
                       (r.start >= 512 && r.start < 522) || (r.start >= 768 && r.start < 784) ||
                       (r.start >= 960 && r.start < 983) || (r.start >= 1024 && r.start < 1034) ||
                       (r.start >= 1280 && r.start < 1320) || (r.start >= 1536 && r.start < 1540);
    EXPECT_TRUE(known) << r.start;
  }
}

// The switch shows Windows-1252: a letter it has no form for becomes '?',
// never UTF-8 bytes that would read back as other letters.
TEST_F(ConfigImage, NameIsWrittenInWindows1252) {
  entry.SetName("\xC3\x9F\xE2\x84\xA6-\xE2\x82\xAC");  // "ßΩ-€"
  ASSERT_EQ(Build(), kImageOk);
  EXPECT_EQ(Slice(image, 32, 6), (Bytes{0xDF, '?', '-', 0x80, 0, 0}));
}

TEST_F(ConfigImage, PortBitsCopperAndFiber) {
  auto* p0 = config.GetPort(0);
  p0->admin = "disabled";
  p0->negotiation = "Fixed";
  p0->flowControl = 1;
  p0->half10 = p0->full10 = p0->half100 = 0;
  p0->half1000 = p0->full1000 = 1;
  ASSERT_EQ(Build(Current("0104", 2)), 0);
  EXPECT_EQ(Slice(image, 512, 2), (Bytes{0x01, 0x83}));
  // Variant 2: the last port is fiber: flow control, bit 1 and admin only.
  EXPECT_EQ(Slice(image, 520, 2), (Bytes{0x00, 0x42}));
  EXPECT_EQ(Slice(image, 518, 2), (Bytes{0x00, 0x7E}));

  config.SetPortCount(9);
  entry.SetPartFromText("QV-9KX-xx", "");
  ASSERT_EQ(Build(Current("0104", 4)), 0);
  EXPECT_EQ(Slice(image, 512 + 2 * 6, 2), (Bytes{0x00, 0x7E}));
  // Variant 4: the last two ports; a 9KX-xx keeps auto-negotiation on fiber.
  EXPECT_EQ(Slice(image, 512 + 2 * 7, 2), (Bytes{0x00, 0x62}));
  EXPECT_EQ(Slice(image, 512 + 2 * 8, 2), (Bytes{0x00, 0x62}));
}

TEST_F(ConfigImage, NoPortEnabledRefuses) {
  for (int i = 0; i < 5; ++i) config.GetPort(i)->admin = "Disabled";
  EXPECT_EQ(Build(), kImageRefused);
  EXPECT_EQ(messages, std::vector<std::string>{"No ports are enabled - unable to continue."});
  EXPECT_EQ(BuildConfigImage({}, config, entry, messages, &image), kImageRefused);
}

TEST_F(ConfigImage, MirroringBits) {
  config.SetPortCount(9);
  config.SetMirrorPair(0, 8, 1);
  config.SetMirrorSourceMode(0, 1);
  config.SetMirrorPair(7, 2, 1);
  config.SetMirrorPair(8, 2, 1);
  config.SetMirrorSourceMode(3, 1);  // a mode without pairs sets nothing
  ASSERT_EQ(Build(), kImageOk);
  EXPECT_EQ(Slice(image, 1024, 2), (Bytes{0x81, 0x00}));
  EXPECT_EQ(Slice(image, 1030, 2), (Bytes{0x00, 0x00}));
  EXPECT_EQ(Slice(image, 1038, 2), (Bytes{0x00, 0x04}));
  EXPECT_EQ(Slice(image, 1040, 2), (Bytes{0x00, 0x04}));
}

TEST_F(ConfigImage, PriorityTagsAndScheduling) {
  auto* p = config.GetPort(1);
  p->outputTag = "Add Tag";
  p->precedence = "Use IP";
  p->useIP = 0;
  p->priority = "Urgent";
  p->broadcastLimit = 0;
  config.GetPort(2)->outputTag = "Remove Tag";
  config.GetPort(2)->priority = "Background";
  for (int t = 0; t < 8; ++t) config.SetTagMapping(t, static_cast<unsigned>(t % 4));
  config.SetSendHigh(0);
  Bytes current = Current();
  current[1288] = 0x00;
  current[1289] = 0x00;
  ASSERT_EQ(Build(current), kImageOk);
  EXPECT_EQ(Slice(image, 1288, 8), (Bytes{0x11, 0x03, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Slice(image, 1296, 2), (Bytes{0xEF, 0xFC}));
  // Tags 4-7 in the first byte, 0-3 in the second, two bits each.
  EXPECT_EQ(Slice(image, 1536, 4), (Bytes{0xE4, 0xE4, 0x00, 0x00}));
}

TEST_F(ConfigImage, IpAndModbus) {
  entry.SetModbusEnable(1);
  entry.SetModbusAddress(7);
  entry.SetIP("192.168.1.10");
  entry.SetSubnet("255.255.255.0");
  entry.SetGateway("");
  ASSERT_EQ(Build(), kImageOk);
  EXPECT_EQ(Slice(image, 960, 12), (Bytes{192, 168, 1, 10, 255, 255, 255, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Slice(image, 980, 3), (Bytes{0x01, 0xF6, 7}));
  EXPECT_EQ(Slice(image, 972, 8), Bytes(8, 0xFF));  // between the fields: untouched

  // A bad text is refused, not sent as 255.255.255.255.
  entry.SetGateway("192.168.1.300");
  EXPECT_EQ(Build(), kImageRefused);
  EXPECT_EQ(messages,
            std::vector<std::string>{"The address \"192.168.1.300\" is not a valid IP address."});
  entry.SetGateway("192.168.1.1");
  entry.SetIP("");
  EXPECT_EQ(Build(), kImageRefused);
  // Without Modbus the addresses are not looked at and cleared.
  entry.SetModbusEnable(0);
  ASSERT_EQ(Build(), kImageOk);
  EXPECT_EQ(Slice(image, 960, 12), Bytes(12, 0));
}

TEST_F(ConfigImage, OkOutputTriggers) {
  config.SetOKOutputTriggers(15);
  ASSERT_EQ(Build(), kImageOk);
  EXPECT_EQ(Slice(image, 288, 2), (Bytes{0x83, 0xFF}));
  config.SetOKOutputTriggers(8);
  ASSERT_EQ(Build(), kImageOk);
  EXPECT_EQ(Slice(image, 288, 2), (Bytes{0x83, 0xC0}));
  // An image that ends before the trigger bytes has none.
  Bytes short_image(289, 0);
  ASSERT_EQ(Build(short_image), kImageOk);  // old firmware, but no trigger bytes to refuse
  EXPECT_EQ(image[288], 0);
}

TEST_F(ConfigImage, OldFirmwareNoticesKeepWhatTheyPromise) {
  auto* ring = config.GetRing(0);
  ring->primaryPort = 3;
  ring->backupPort = 4;
  ring->enabled = 1;
  config.SetMasterMode(1);
  Bytes current = Current("0102");
  current[772] = 0x00;
  current[288] = 0x11;
  current[289] = 0x22;
  ASSERT_EQ(Build(current), kImageNotice);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(
      messages[0],
      "Notice: Selecting the master switch requires firmware version 0103 or higher. The master "
      "switch selection will remain automatic.\n\n(firmware version 0102 detected)");
  EXPECT_EQ(
      messages[1],
      "Notice: Definable OK output triggers require firmware version 0103 or higher. Therefore, "
      "the OK output functionality will not be changed.");
  EXPECT_EQ(image[772], 0x00);  // master selection as read
  EXPECT_EQ(Slice(image, 288, 2), (Bytes{0x11, 0x22}));
  EXPECT_EQ(Slice(image, 768, 4), (Bytes{4, 5, 0, 15}));  // the ring itself is written

  // All four triggers on: nothing to refuse, the bytes are written.
  config.SetMasterMode(0);
  config.SetOKOutputTriggers(15);
  ASSERT_EQ(Build(current), kImageOk);
  EXPECT_EQ(Slice(image, 288, 2), (Bytes{0x83, 0xFF}));
  // Only the OK notice: it carries the version itself.
  config.SetOKOutputTriggers(3);
  ASSERT_EQ(Build(current), kImageNotice);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("(firmware version 0102 detected)"), std::string::npos);
}

TEST(ImageDiff, RunsAndTakeOverGroups) {
  Bytes a(1600, 0), b = a;
  b[40] = 1;
  b[41] = 1;
  b[43] = 1;
  const auto runs = DiffImages(a, b);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].start, 40);
  EXPECT_EQ(runs[0].length, 2);
  EXPECT_EQ(TakeOverBits(runs), 0u);                     // the name is no group
  EXPECT_TRUE(DiffImages(a, Bytes(10, 1)).size() == 1);  // over the shorter length
  // Mirroring of source ports 7 and 8 lies beyond 1034 and still counts.
  EXPECT_EQ(TakeOverBits({{1036, 1}}), kTakeOverMirroring);
  EXPECT_EQ(TakeOverBits({{1040, 2}}), kTakeOverMirroring);
  EXPECT_EQ(TakeOverBits({{1041, 1}}), kTakeOverMirroring);
  EXPECT_EQ(TakeOverBits({{528, 2}}), kTakeOverPorts);
  EXPECT_EQ(TakeOverBits({{982, 1}}), kTakeOverIp);
  EXPECT_EQ(TakeOverBits({{289, 1}}), kTakeOverOkOutput);
  EXPECT_EQ(TakeOverBits({{1539, 1}}), kTakeOverPriorities);
  // A run that starts before a group and reaches into it.
  EXPECT_EQ(TakeOverBits({{500, 14}}), kTakeOverPorts);
  EXPECT_EQ(TakeOverBits({{798, 1}, {1300, 1}}), kTakeOverRings | kTakeOverPriorities);
  EXPECT_TRUE(TouchesMasterSelection({{770, 3}}));
  EXPECT_TRUE(TouchesMasterSelection({{796, 1}}));
  EXPECT_FALSE(TouchesMasterSelection({{768, 4}, {773, 3}}));
}

}  // namespace
