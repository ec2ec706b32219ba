#include <gtest/gtest.h>

#include "platform/message.h"
#include "switch/configload.h"
#include "switch/frames.h"
#include "switch/switchconfig.h"
#include "switch/switchconfigstore.h"
#include "switch/switchdiscovery.h"
#include "switch/switchentry.h"
#include "tests/unit/switch/ops_fixture.h"

namespace fw::ops_test {
namespace {

class ConfigLoad : public ::testing::Test {
 protected:
  ConfigLoad() : capture(clock), core(Mac(0x07), 5) {
    CSwitchConfigStore::EnsureOfferedModels(0);
    capture.fake.AddDevice("veth0", "Segment A", Mac(0xA0, 0xEE));
    capture.fake.Attach("veth0", &core);
    SetIdentity(core, 5, false, 1);
    core.SetRevision("0104");
    core.knobs().boot_on_restart = false;
    entry.SetMac("02:4B:33:10:00:07");
    entry.SetName("Ring-7");
    entry.SetPartFromText("QV-5KP-1", "");
    config.SetName("Plant floor");
  }
  int Load() {
    error.clear();
    CSwitchDiscovery d(&capture, &clock, &clock);
    return d.SwitchLoadConfigOp(entry, config, &error);
  }
  // The control values and EEROM write entries sent since the last call.
  struct Sent {
    std::vector<std::uint32_t> controls;
    std::vector<std::uint16_t> writes;
  };
  Sent TakeSent() {
    Sent s;
    auto& frames = capture.fake.sent["veth0"];
    for (const auto& f : frames) {
      const int cmd = f[19] << 8 | f[20];
      if (cmd == frames::kCmdControl) s.controls.push_back(frames::ReadBE32(&f[31]));
      if (cmd == frames::kCmdEerom) {
        for (std::size_t pos = 33; pos + 4 <= f.size() && f[pos] != 0; pos += 4u + f[pos + 1])
          if (f[pos] == kEeromWrite) s.writes.push_back(frames::ReadBE16(&f[pos + 2]));
      }
    }
    frames.clear();
    return s;
  }

  ScopedProfile profile;
  ScopedMessageSink messages;
  CLockedClock clock;
  CLockedCapture capture;
  emu::CSwitchCore core;
  CSwitchEntry entry;
  CSwitchConfig config;
  std::string error;
};

TEST_F(ConfigLoad, FirstLoadWritesChangesSecondWritesNothing) {
  // Automatic master selection already: no restart needed.
  core.eerom()[772] = core.eerom()[780] = 0;
  const std::vector<std::uint8_t> before = core.eerom();
  ASSERT_EQ(Load(), kCommOk) << error;
  EXPECT_EQ(error, "");
  auto sent = TakeSent();
  EXPECT_FALSE(sent.writes.empty());
  ASSERT_EQ(sent.controls.size(), 1u);
  // Ports, rings, priorities, OK output and IP were all touched on this unit.
  EXPECT_EQ(sent.controls[0], kTakeOverPorts | kTakeOverRings | kTakeOverPriorities | kTakeOverIp |
                                  kTakeOverMirroring | kTakeOverOkOutput);
  const auto& after = core.eerom();
  EXPECT_EQ(std::string(after.begin() + 144, after.begin() + 156),
            std::string("Plant floor\0", 12));
  EXPECT_NE(std::vector<std::uint8_t>(after.begin() + 184, after.begin() + 188),
            std::vector<std::uint8_t>(before.begin() + 184, before.begin() + 188));
  EXPECT_EQ(after[512], 0x00);
  EXPECT_EQ(after[513], 0x7E);
  // Bytes outside the settings the load owns are never touched.
  for (std::size_t a = 0; a < after.size(); ++a) {
    const bool owned = (a >= 32 && a < 64) || (a >= 144 && a < 188) || (a >= 288 && a < 290) ||
                       (a >= 512 && a < 530) || (a >= 768 && a < 800) || (a >= 960 && a < 992) ||
                       (a >= 1024 && a < 1042) || (a >= 1280 && a < 1320) ||
                       (a >= 1536 && a < 1540);
    if (!owned) {
      ASSERT_EQ(after[a], before[a]) << a;
    }
  }
  ASSERT_EQ(messages->count(), 1u);
  EXPECT_EQ(messages->messages()[0].text, "Load complete.");
  EXPECT_EQ(messages->messages()[0].caption, "Load complete.");

  ASSERT_EQ(Load(), kCommOk) << error;
  sent = TakeSent();
  EXPECT_TRUE(sent.writes.empty());  // no time stamp, no configuration name either
  EXPECT_TRUE(sent.controls.empty());
}

TEST_F(ConfigLoad, OnlyTheChangedGroupIsTakenOver) {
  config.SetPortCount(5);
  ASSERT_EQ(Load(), kCommOk) << error;
  TakeSent();
  config.GetPort(2)->flowControl = 1;
  ASSERT_EQ(Load(), kCommOk) << error;
  auto sent = TakeSent();
  EXPECT_EQ(sent.controls, std::vector<std::uint32_t>{kTakeOverPorts});
  EXPECT_EQ(sent.writes, (std::vector<std::uint16_t>{517, 184, 144}));
}

TEST_F(ConfigLoad, MasterChangeRestartsTheSwitch) {
  auto* ring = config.GetRing(0);
  ring->enabled = 1;
  ASSERT_EQ(Load(), kCommOk) << error;
  TakeSent();
  config.SetMasterMode(1);
  ASSERT_EQ(Load(), kCommOk) << error;
  EXPECT_EQ(TakeSent().controls, std::vector<std::uint32_t>{1});
  EXPECT_EQ(core.eerom()[772], 5);
}

TEST_F(ConfigLoad, SwitchSilentAfterRestartIsAFailure) {
  config.GetRing(0)->enabled = 1;
  config.SetMasterMode(1);
  core.knobs().restart_ms = 60000;
  EXPECT_EQ(Load(), kCommFailed);
  EXPECT_EQ(error,
            "02:4b:33:10:00:07 The settings have been written to the switch but the switch has not "
            "responded since reboot.\n");
  for (const auto& m : messages->messages()) EXPECT_NE(m.text, "Load complete.");
}

TEST_F(ConfigLoad, OldFirmwareNoticeDoesNotStopTheLoad) {
  core.SetRevision("0102");
  config.GetRing(0)->enabled = 1;
  config.SetMasterMode(1);
  ASSERT_EQ(Load(), kCommOk) << error;
  auto sent = TakeSent();
  ASSERT_EQ(sent.controls.size(), 1u);
  EXPECT_NE(sent.controls[0], 1u);  // the master selection was not written: no restart
  ASSERT_EQ(messages->count(), 2u);
  EXPECT_EQ(messages->messages()[0].text.rfind("Notice: Selecting the master switch", 0), 0u);
}

TEST_F(ConfigLoad, RefusalsWriteNothing) {
  // Wrong model.
  entry.SetPartFromText("QV-5KP-2", "");
  EXPECT_EQ(Load(), kCommFailed);
  EXPECT_EQ(
      error,
      "02:4b:33:10:00:07 The switch part number selection (QV-5KP-2) does not match the actual "
      "part number (QV-5KP-1).\n");
  EXPECT_TRUE(TakeSent().writes.empty());
  entry.SetPartFromText("QV-5KP-1", "");
  // Every port disabled.
  for (int i = 0; i < 5; ++i) config.GetPort(i)->admin = "Disabled";
  EXPECT_EQ(Load(), kCommFailed);
  EXPECT_EQ(error, "02:4b:33:10:00:07 No ports are enabled - unable to continue.\n");
  EXPECT_TRUE(TakeSent().writes.empty());
  for (int i = 0; i < 5; ++i) config.GetPort(i)->admin = "Enabled";
  // No speed at all.
  for (int i = 0; i < 5; ++i) {
    auto* p = config.GetPort(i);
    p->half10 = p->full10 = p->half100 = p->full100 = 0;
  }
  EXPECT_EQ(Load(), kCommFailed);
  EXPECT_EQ(error, "All port speeds are disabled.\n");
  EXPECT_EQ(messages->count(), 0u);  // the caller shows the text once
}

TEST_F(ConfigLoad, MissingSwitchAndFailedWrites) {
  entry.SetMac("10:00:99");
  EXPECT_EQ(Load(), kCommFailed);
  EXPECT_EQ(error, "Unable to find a switch with MAC address <02:4B:33:10:00:99>.\n");
  entry.SetMac("10:00:07");
  core.knobs().ignore_control = true;
  EXPECT_EQ(Load(), kCommFailed);
  EXPECT_NE(error.find("No reply found while attempting to send a control request message."),
            std::string::npos)
      << error;
}

}  // namespace
}  // namespace fw::ops_test
