// A cswitchcomm opened on an in-process segment with one software switch, on
// virtual time.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "platform/clock.h"
#include "platform/message.h"
#include "switch/cswitchcomm.h"
#include "tests/emulator/fake_capture.h"
#include "tests/emulator/switch_core.h"

namespace fw::test {

inline const MacAddress kLocalMac{0x02, 0x00, 0x00, 0x00, 0x00, 0x01};
inline const MacAddress kSwitchMac{0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
inline const std::string kSwitchText = "00:11:22:33:44:55";

class CommTest : public ::testing::Test {
 protected:
  CommTest() : capture(clock), core(kSwitchMac) {
    capture.AddDevice("veth-test0", "Test segment", kLocalMac);
    capture.Attach("veth-test0", &core);
    comm = std::make_unique<cswitchcomm>(&capture, &clock);
  }

  void Open() {
    std::string error;
    std::uint8_t mac[6];
    ASSERT_EQ(0, comm->CommOpenDevice("veth-test0", mac, &error)) << error;
    ASSERT_TRUE(comm->CommSetTargetMac(kSwitchText));
  }

  // A reply frame as a switch would send it, to the local address.
  std::vector<std::uint8_t> MakeReply(std::uint8_t flags, std::size_t len = 60) const {
    auto f = frames::BuildNop(kLocalMac, kSwitchMac);
    f.resize(len);
    f[19] = flags;
    return f;
  }

  ScopedMessageSink messages;
  CFakeClock clock;
  emu::CFakeCapture capture;
  emu::CSwitchCore core;
  std::unique_ptr<cswitchcomm> comm;
};

}  // namespace fw::test
