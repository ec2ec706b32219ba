// Finding switches, loading a configuration and loading firmware over the
// real capture library, against software switches behind veth pairs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/message.h"
#include "platform/profile.h"
#include "switch/configload.h"
#include "switch/firmware.h"
#include "switch/switchconfig.h"
#include "switch/switchconfigstore.h"
#include "switch/switchdiscovery.h"
#include "switch/switchentry.h"
#include "tests/e2e/ops_net.h"

namespace fw::ops_e2e {
namespace {

class OpsE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string why = CSegment::Unavailable();
    if (!why.empty()) GTEST_SKIP() << why;
    SetAppProfile(&profile);
    CSwitchConfigStore::EnsureOfferedModels(0);
    a = std::make_unique<CSegment>(1, 0x21);
    b = std::make_unique<CSegment>(2, 0x22);
    ASSERT_TRUE(a->ok()) << a->error();
    ASSERT_TRUE(b->ok()) << b->error();
    {
      auto lock = a->Lock();
      Provision(*a->cores()[0], "Alpha", "0104 e2e");
    }
    {
      auto lock = b->Lock();
      Provision(*b->cores()[0], "Bravo", "0104 e2e");
      Provision(*b->cores()[1], "Charlie", "0104 e2e");
    }
    backend =
        std::make_unique<CRestrictedCapture>(std::set<std::string>{a->host_end(), b->host_end()});
    if (!backend->Usable()) GTEST_SKIP() << "no usable libpcap: " << backend->Version();
  }
  void TearDown() override { SetAppProfile(nullptr); }

  CProfile profile;
  ScopedMessageSink messages;
  std::unique_ptr<CSegment> a, b;
  std::unique_ptr<CRestrictedCapture> backend;
};

TEST_F(OpsE2E, FindAllReturnsEverySwitchWithNamePartAndRevision) {
  CSwitchDiscovery d(backend.get());
  d.SetWaitLimit(300);
  std::vector<std::unique_ptr<CSwitchEntry>> found;
  std::string error;
  ASSERT_EQ(d.FindAllSwitches(&found, &error), kCommOk) << error;
  ASSERT_EQ(found.size(), 3u);
  std::sort(found.begin(), found.end(), [](const auto& x, const auto& y) {
    return x->GetMacText(false) < y->GetMacText(false);
  });
  const struct {
    const char* mac;
    const char* name;
    std::string device;
  } expect[] = {{"02:4B:33:21:00:01", "Alpha", a->host_end()},
                {"02:4B:33:22:00:01", "Bravo", b->host_end()},
                {"02:4B:33:22:00:02", "Charlie", b->host_end()}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(found[i]->GetMacText(true), expect[i].mac);
    EXPECT_EQ(found[i]->GetName(), expect[i].name);
    EXPECT_EQ(found[i]->GetPart().partNumber, "QV-9KP-1");
    EXPECT_EQ(found[i]->GetFirmwareRevision(), "0104 e2e");
    EXPECT_EQ(found[i]->GetInterface(), expect[i].device);
  }
  std::string device;
  EXPECT_EQ(d.FindInterfaceOfSwitch("02:4b:33:22:00:02", &device, 0),
            CSwitchDiscovery::kSwitchFound);
  EXPECT_EQ(device, b->host_end());
}

TEST_F(OpsE2E, ConfigurationLoadChangesExactlyTheExpectedBytes) {
  CSwitchEntry entry;
  entry.SetMac("02:4B:33:22:00:02");
  entry.SetName("Charlie");
  entry.SetPartFromText("QV-9KP-1", "");
  CSwitchConfig config;
  config.SetPortCount(9);
  config.SetName("Line 4");
  config.GetPort(3)->admin = "Disabled";
  config.SetMirrorPair(8, 2, 1);
  std::vector<std::uint8_t> before, neighbour;
  {
    auto lock = b->Lock();
    before = b->cores()[1]->eerom();
    neighbour = b->cores()[0]->eerom();
  }
  std::vector<std::string> notes;
  std::vector<std::uint8_t> expected;
  ASSERT_EQ(BuildConfigImage(before, config, entry, notes, &expected), kImageOk);

  CSwitchDiscovery d(backend.get());
  std::string error;
  ASSERT_EQ(d.SwitchLoadConfigOp(entry, config, &error), kCommOk) << error;

  std::vector<std::uint8_t> after;
  {
    auto lock = b->Lock();
    after = b->cores()[1]->eerom();
    EXPECT_EQ(b->cores()[0]->eerom(), neighbour);
    // Mirroring of port 9 changed: the take-over request names it.
    EXPECT_NE(b->cores()[1]->last_control() & kTakeOverMirroring, 0u);
  }
  const std::string name = "Line 4";
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (i >= 184 && i < 188) continue;  // the time of the load
    if (i >= 144 && i < 144 + name.size() + 1) {
      EXPECT_EQ(after[i], i - 144 < name.size() ? name[i - 144] : 0) << i;
      continue;
    }
    ASSERT_EQ(after[i], expected[i]) << "address " << i;
  }
  EXPECT_NE(std::vector<std::uint8_t>(after.begin() + 184, after.begin() + 188),
            std::vector<std::uint8_t>(before.begin() + 184, before.begin() + 188));
}

TEST_F(OpsE2E, FirmwareLoadReachesTheSwitchWhole) {
  const auto path = std::filesystem::temp_directory_path() /
                    ("ops_e2e_" + std::to_string(getpid()) + "_9_port.s19");
  std::vector<std::uint8_t> wire;
  {
    std::ofstream f(path, std::ios::binary);
    for (int i = 0; i < 120; ++i) {
      std::vector<std::uint8_t> rec{3 + 62 + 1, 0x02, static_cast<std::uint8_t>((62 * i) >> 8),
                                    static_cast<std::uint8_t>(62 * i)};
      for (int k = 0; k < 62; ++k) rec.push_back(static_cast<std::uint8_t>(i ^ (k * 13)));
      unsigned sum = 0;
      for (auto v : rec) sum += v;
      rec.push_back(static_cast<std::uint8_t>(~sum));
      f << "S2";
      char hex[3];
      for (auto v : rec) {
        std::snprintf(hex, sizeof hex, "%02X", v);
        f << hex;
      }
      f << "\n";
      wire.insert(wire.end(), {0x00, rec[1], rec[2], rec[3], 62});
      wire.insert(wire.end(), rec.begin() + 4, rec.end() - 1);
    }
    f << "S804000000FB\n";
  }
  cswitchcomm comm(backend.get());
  ASSERT_TRUE(comm.CommSetTargetMac("02:4B:33:21:00:01"));
  std::string error;
  const int r = SwitchLoadFirmwareOp(comm, a->host_end(), path.string(), "e2e", nullptr, &error);
  std::filesystem::remove(path);
  ASSERT_EQ(r, 0) << error;
  auto lock = a->Lock();
  EXPECT_EQ(a->cores()[0]->blocks_loaded(), 120);
  EXPECT_EQ(a->cores()[0]->firmware(), wire);
}

}  // namespace
}  // namespace fw::ops_e2e
