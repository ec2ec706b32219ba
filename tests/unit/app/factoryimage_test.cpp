#include <gtest/gtest.h>

#include "app/recoverswitchdlg.h"

namespace {

std::vector<std::uint8_t> PortWord(const std::vector<CEeromWrite>& w, int p) {
  return w.at(static_cast<std::size_t>(p)).bytes;
}
const std::vector<std::uint8_t> kCopper{0x00, 0x7E}, kFibre{0x00, 0x42}, kGigabit{0x01, 0xFE};

TEST(FactoryImage, WritesEveryAreaInOrder) {
  const auto w = FactoryImageWrites(nullptr);
  ASSERT_EQ(w.size(), 32u + 9u + 3u);
  for (int p = 0; p < 32; ++p) {
    EXPECT_EQ(w[p].address, 512 + 2 * p);
    EXPECT_EQ(w[p].bytes, kCopper) << p;  // without the identity: copper everywhere
  }
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(w[32 + i].address, 1024 + 2 * i);
    EXPECT_EQ(w[32 + i].bytes, (std::vector<std::uint8_t>{0, 0}));
  }
  EXPECT_EQ(w[41].address, 1280);
  ASSERT_EQ(w[41].bytes.size(), 256u);
  for (std::size_t i = 0; i < 256; i += 8)
    EXPECT_EQ(std::vector<std::uint8_t>(w[41].bytes.begin() + i, w[41].bytes.begin() + i + 8),
              (std::vector<std::uint8_t>{0x07, 0x01, 0xB8, 0x74, 0, 0, 0, 0}));
  EXPECT_EQ(w[42].address, 1536);
  EXPECT_EQ(w[42].bytes, (std::vector<std::uint8_t>{0xD5, 0x40}));
  EXPECT_EQ(w[43].address, 1538);
  EXPECT_EQ(w[43].bytes, (std::vector<std::uint8_t>{0x00, 0x00}));
}

TEST(FactoryImage, PortWordsFollowTheIdentity) {
  // A gigabit unit: ports 6 to 8 get the gigabit word whatever their fibre test says.
  SwitchIdentity gigabit{0x01, 0x02, 0x00, 9, 0x00, 4};
  auto w = FactoryImageWrites(&gigabit);
  for (int p = 0; p < 6; ++p) EXPECT_EQ(PortWord(w, p), kCopper) << p;
  for (int p = 6; p <= 8; ++p) EXPECT_EQ(PortWord(w, p), kGigabit) << p;
  for (int p = 9; p < 32; ++p) EXPECT_EQ(PortWord(w, p), kCopper) << p;  // no such ports

  // Variant 4 or 5: the last two ports are fibre.
  SwitchIdentity twoFibre{0x01, 0x01, 0x00, 9, 0x00, 5};
  w = FactoryImageWrites(&twoFibre);
  EXPECT_EQ(PortWord(w, 6), kCopper);
  EXPECT_EQ(PortWord(w, 7), kFibre);
  EXPECT_EQ(PortWord(w, 8), kFibre);
  EXPECT_EQ(PortWord(w, 9), kCopper);

  // Variant 2 or 3: the last port; a unit claiming fewer than five ports is a five-port one.
  SwitchIdentity small{0x01, 0x01, 0x00, 3, 0x00, 2};
  w = FactoryImageWrites(&small);
  for (int p = 0; p < 4; ++p) EXPECT_EQ(PortWord(w, p), kCopper) << p;
  EXPECT_EQ(PortWord(w, 4), kFibre);
  EXPECT_EQ(PortWord(w, 5), kCopper);

  SwitchIdentity copper{0x01, 0x01, 0x00, 6, 0x00, 1};
  w = FactoryImageWrites(&copper);
  for (int p = 0; p < 32; ++p) EXPECT_EQ(PortWord(w, p), kCopper) << p;
}

}  // namespace
