// The real capture path (libpcap bound at run time) against the software switch
// on the far end of a veth pair.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "switch/cswitchcomm.h"
#include "tests/e2e/veth_pair.h"
#include "tests/emulator/switch_core.h"

namespace fw::test {
namespace {

class CommE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string why = CVethSwitch::Unavailable();
    if (!why.empty()) GTEST_SKIP() << why;
    net = std::make_unique<CVethSwitch>();
    ASSERT_TRUE(net->ok()) << net->error();
    if (comm.IncompatibleVersion()) GTEST_SKIP() << "no usable libpcap: " << comm.VersionText();
    std::string error;
    std::uint8_t mac[6];
    ASSERT_EQ(kCommOk, comm.CommOpenDevice(net->host_end(), mac, &error)) << error;
    // The switch program needs a moment to come up; each NOP waits up to a second.
    std::string address;
    for (int i = 0; i < 10 && comm.CommSendNop(kCommQuiet, &address, &error) < kCommOk; ++i) {
    }
    ASSERT_EQ(net->switch_mac(), address);
    ASSERT_TRUE(comm.CommSetTargetMac(address));
  }

  std::unique_ptr<CVethSwitch> net;
  cswitchcomm comm;
};

TEST_F(CommE2E, ListsTheDeviceWithItsAddress) {
  CPcapDeviceList list;
  ASSERT_GT(comm.CommFindDevices(&list), 0);
  bool found = false;
  for (const auto& d : list) found = found || d.name == net->host_end();
  EXPECT_TRUE(found);
  std::ifstream f("/sys/class/net/" + net->host_end() + "/address");
  std::string expected;
  f >> expected;
  std::uint8_t mac[6];
  ASSERT_EQ(kCommOk, comm.GetAdapterMac(net->host_end(), mac));
  EXPECT_EQ(expected, cswitchcomm::FormatMacText(mac));
  EXPECT_EQ(net->host_end(), comm.LookupDeviceName(net->host_end()));
}

TEST_F(CommE2E, NopAndStatus) {
  std::string error, address;
  EXPECT_EQ(kNopNoFlag, comm.CommSendNop(0, &address, &error)) << error;
  EXPECT_EQ(net->switch_mac(), address);
  CSwitchStatus status;
  ASSERT_EQ(kStatusRead, comm.CommReadSwitchStatus(&status, &error)) << error;
  EXPECT_EQ(9, status.nPorts);
  EXPECT_EQ(1, status.nRingState);
  EXPECT_EQ(1, status.nPortLink[0]);
  EXPECT_EQ(16, status.nPortBits30[1]);
  EXPECT_EQ("", error);
}

TEST_F(CommE2E, EeromWriteThenReadBack) {
  // What the switch holds before the write: its identity as the software switch builds it.
  emu::CSwitchCore reference(MacAddress{});
  CCfgBlock read;
  read.AddRequest(kEeromRead, 280, 6);
  read.AddRequest(kEeromRead, 32, 16);
  std::string error;
  ASSERT_EQ(kEeromOk, comm.Run(read, &error)) << error;
  const auto& img = reference.eerom();
  EXPECT_EQ(std::vector<std::uint8_t>(img.begin() + 280, img.begin() + 286),
            read.Requests()[0].data);
  EXPECT_EQ(std::vector<std::uint8_t>(img.begin() + 32, img.begin() + 48), read.Requests()[1].data);

  std::vector<std::uint8_t> settings(100);
  for (std::size_t i = 0; i < settings.size(); ++i)
    settings[i] = static_cast<std::uint8_t>(0x5A ^ i);
  CCfgBlock write;
  write.AddRequest(kEeromWrite, 288, static_cast<std::uint16_t>(settings.size()), settings.data());
  ASSERT_EQ(kEeromOk, comm.Run(write, &error)) << error;
  CCfgBlock back;
  back.AddRequest(kEeromRead, 288, static_cast<std::uint16_t>(settings.size()));
  ASSERT_EQ(kEeromOk, comm.Run(back, &error)) << error;
  EXPECT_EQ(settings, back.Requests()[0].data);

  // The switch's own image holds what was written.
  comm.CommClose();
  ASSERT_TRUE(net->Stop());
  std::ifstream f(net->dump_path(), std::ios::binary);
  std::vector<std::uint8_t> image((std::istreambuf_iterator<char>(f)),
                                  std::istreambuf_iterator<char>());
  ASSERT_EQ(emu::CSwitchCore::kEeromSize, image.size());
  EXPECT_EQ(settings, std::vector<std::uint8_t>(image.begin() + 288, image.begin() + 388));
}

}  // namespace
}  // namespace fw::test
