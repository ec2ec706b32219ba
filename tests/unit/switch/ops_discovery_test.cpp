#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <map>
#include <thread>

#include "platform/message.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "switch/configload.h"
#include "switch/switchconfig.h"
#include "switch/switchconfigstore.h"
#include "switch/switchdiscovery.h"
#include "switch/switchentry.h"
#include "tests/common/test_util.h"
#include "tests/unit/switch/ops_fixture.h"

namespace fw::ops_test {
namespace {

// The tests' virtual time: a thread on the network that is busy, however long
// in real time (a loaded machine takes it off the processor), holds time
// still; it moves when every such thread waits.
TEST(LockedClock, TimeMovesOnlyWhenEveryThreadOnTheNetworkWaits) {
  CLockedClock clock;
  const std::uint64_t start = clock.Now();
  const std::thread::id me = std::this_thread::get_id();
  clock.Join(me);
  std::atomic<bool> waited{false};
  std::thread other([&] {
    clock.Join(std::this_thread::get_id());
    clock.Wait(100);
    waited = true;
    clock.Leave(std::this_thread::get_id());
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  EXPECT_EQ(clock.Now(), start);
  EXPECT_FALSE(waited);
  clock.Wait(50);
  EXPECT_EQ(clock.Now(), start + 50);
  EXPECT_FALSE(waited);
  clock.Leave(me);
  other.join();
  EXPECT_EQ(clock.Now(), start + 100);
}

class Discovery : public ::testing::Test {
 protected:
  Discovery() : capture(clock) {
    CSwitchConfigStore::EnsureOfferedModels(0);
    capture.fake.AddDevice("veth0", "Segment A", Mac(0xA0, 0xEE));
    capture.fake.AddDevice("veth1", "Segment B", Mac(0xA1, 0xEE));
  }
  emu::CSwitchCore& AddSwitch(std::uint8_t last, const std::string& name,
                              std::initializer_list<const char*> devices) {
    cores.push_back(std::make_unique<emu::CSwitchCore>(Mac(last), 9));
    auto& core = *cores.back();
    SetIdentity(core, 9, false, 1);
    core.SetName(name);
    core.SetRevision("0104 build 7");
    for (const char* d : devices) capture.fake.Attach(d, &core);
    return core;
  }
  std::unique_ptr<CSwitchDiscovery> MakeDiscovery() {
    return std::make_unique<CSwitchDiscovery>(&capture, &clock, &clock);
  }

  ScopedProfile profile;
  ScopedMessageSink messages;
  CLockedClock clock;
  CLockedCapture capture;
  std::vector<std::unique_ptr<emu::CSwitchCore>> cores;
};

TEST_F(Discovery, FindsEverySwitchOncePerDeviceItAnswersOn) {
  AddSwitch(0x01, "North", {"veth0", "veth1"});
  AddSwitch(0x02, "South", {"veth1"});
  auto d = MakeDiscovery();
  d->SetWaitLimit(300);
  std::vector<std::unique_ptr<CSwitchEntry>> found;
  std::string error;
  EXPECT_EQ(d->FindAllSwitches(&found, &error), kCommOk) << error;
  EXPECT_EQ(error, "");
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0]->GetMacText(true), "02:4B:33:10:00:01");
  EXPECT_EQ(found[0]->GetInterface(), "Segment A");
  EXPECT_EQ(found[0]->GetName(), "North");
  EXPECT_EQ(found[0]->GetPart().partNumber, "QV-9KP-1");
  EXPECT_EQ(found[0]->GetFirmwareRevision(), "0104 build 7");
  EXPECT_EQ(found[0]->GetSubnet(), "255.255.255.255");
  EXPECT_EQ(found[0]->GetMonitorStatus(), -1);
  // Segment B: both switches, in the order first heard.
  EXPECT_EQ(found[1]->GetInterface(), "Segment B");
  EXPECT_EQ(found[2]->GetInterface(), "Segment B");
  EXPECT_NE(found[1]->GetMacText(false), found[2]->GetMacText(false));
  EXPECT_EQ(messages->count(), 0u);
}

TEST_F(Discovery, UnknownModelsAreDroppedAndUnreadableSwitchesReported) {
  auto& odd = AddSwitch(0x01, "Odd", {"veth0"});
  odd.eerom()[281] = 7;  // no model of the catalogue
  auto& mute = AddSwitch(0x02, "Mute", {"veth0"});
  auto d = MakeDiscovery();
  d->SetWaitLimit(300);
  // Mute answers NOPs but never an EEROM read.
  mute.knobs().eerom_status = 3;
  std::vector<std::unique_ptr<CSwitchEntry>> found;
  std::string error;
  EXPECT_EQ(d->FindAllSwitches(&found, &error), kCommFailed);
  EXPECT_TRUE(found.empty());
  EXPECT_NE(error.find("02:4b:33:10:00:02 "), std::string::npos) << error;
}

// The customisation file chooses the models offered for new configurations;
// a switch found on the network is kept when the catalogue knows its model.
TEST_F(Discovery, CatalogueModelsTheCustomisationDoesNotOfferAreKept) {
  test::TempDir dir;
  const std::string path = dir.file("fenwardle.customize");
  {
    std::ofstream f(path);
    f << "[part numbers]\n0=QV-5KP-1,Five Port Copper\n1=QV-9KP-2,Nine Port Fiber\n";
  }
  struct Restore {
    ~Restore() {
      CSwitchConfigStore::SetCustomizeFilePath({});
      CSwitchConfigStore::ResetOfferedModels();
    }
  } restore;
  CSwitchConfigStore::SetCustomizeFilePath(path);
  CSwitchConfigStore::ResetOfferedModels();
  CSwitchConfigStore::EnsureOfferedModels(0);
  ASSERT_EQ(CSwitchConfigStore::LookupModel("QV-9KP-1"), nullptr);

  AddSwitch(0x01, "North", {"veth0"});  // QV-9KP-1: catalogue only
  auto& south = AddSwitch(0x02, "South", {"veth0"});
  SetIdentity(south, 9, false, 2);  // QV-9KP-2: offered under its own name
  auto& odd = AddSwitch(0x03, "Odd", {"veth0"});
  odd.eerom()[281] = 7;  // no model at all
  auto d = MakeDiscovery();
  d->SetWaitLimit(300);
  std::vector<std::unique_ptr<CSwitchEntry>> found;
  std::string error;
  EXPECT_EQ(d->FindAllSwitches(&found, &error), kCommOk) << error;
  ASSERT_EQ(found.size(), 2u);
  std::map<std::string, const CSwitchEntry*> by_name;
  for (const auto& f : found) by_name[f->GetName()] = f.get();
  ASSERT_TRUE(by_name.count("North") && by_name.count("South"));
  EXPECT_EQ(by_name["North"]->GetPart().partNumber, "QV-9KP-1");
  EXPECT_EQ(by_name["North"]->GetPart().displayName, "QV-9KP-1");
  EXPECT_EQ(by_name["North"]->GetPart().portCount, 9);
  EXPECT_EQ(by_name["South"]->GetPart().displayName, "Nine Port Fiber");
}

// A switch keeps its name in Windows-1252. Bytes that happen to form UTF-8
// are still Windows-1252 letters, and the next write gives the same bytes.
TEST_F(Discovery, SwitchTextsAreWindows1252BothWays) {
  auto& core = AddSwitch(0x01,
                         "\xC3\xBC"
                         "ber",
                         {"veth0"});
  core.SetRevision("0104 \xE9t\xE9");
  auto d = MakeDiscovery();
  d->SetWaitLimit(300);
  std::vector<std::unique_ptr<CSwitchEntry>> found;
  std::string error;
  ASSERT_EQ(d->FindAllSwitches(&found, &error), kCommOk) << error;
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0]->GetName(),
            "\xC3\x83\xC2\xBC"
            "ber");                                                      // "Ã¼ber"
  EXPECT_EQ(found[0]->GetFirmwareRevision(), "0104 \xC3\xA9t\xC3\xA9");  // "0104 été"

  CSwitchConfig config;
  std::vector<std::string> notes;
  std::vector<std::uint8_t> image;
  ASSERT_GE(BuildConfigImage(core.eerom(), config, *found[0], notes, &image), kImageOk);
  EXPECT_TRUE(std::equal(image.begin() + 32, image.begin() + 64, core.eerom().begin() + 32));
}

TEST(DiscoveryParallel, SwitchesReadAtOnceComeBackInTheOrderTheyWereHeard) {
  // On real time, as the program meets it.
  ScopedProfile profile;
  ScopedMessageSink messages;
  CSwitchConfigStore::EnsureOfferedModels(0);
  CSteadyClock steady;
  CLockedCapture capture(steady);
  capture.fake.AddDevice("veth0", "Segment A", Mac(0xA0, 0xEE));
  capture.fake.AddDevice("veth1", "Segment B", Mac(0xA1, 0xEE));
  std::vector<std::unique_ptr<emu::CSwitchCore>> cores;
  for (std::uint8_t i = 1; i <= 12; ++i) {
    cores.push_back(std::make_unique<emu::CSwitchCore>(Mac(i), 9));
    auto& core = *cores.back();
    SetIdentity(core, 9, false, 1);
    core.SetName("S" + std::to_string(i));
    // Replies that take different times finish the reads in another order.
    core.knobs().delay_ms = static_cast<std::uint32_t>((13 - i) * 7);
    capture.fake.Attach(i % 3 ? "veth0" : "veth1", &core);
  }
  cores[4]->knobs().eerom_status = 3;  // refuses every read
  cores[8]->knobs().eerom_status = 3;
  CSwitchDiscovery d(&capture, &steady, &steady);
  // Room for a loaded machine (sanitizers, parallel tests): the slowest reply
  // takes 84 ms, and no read here ends by running out of time.
  d.SetWaitLimit(1000);
  std::vector<CSwitchDiscovery::Heard> heard;
  std::string listen_error;
  ASSERT_TRUE(d.ListenAll(&heard, &listen_error));
  std::vector<std::string> order;
  for (const auto& h : heard)
    for (const auto& m : h.macs) order.push_back(m);
  ASSERT_EQ(order.size(), 12u);

  std::vector<std::unique_ptr<CSwitchEntry>> found;
  std::string error;
  EXPECT_EQ(d.FindAllSwitches(&found, &error), kCommFailed);
  std::vector<std::string> expected;
  for (const auto& m : order)
    if (m != "02:4B:33:10:00:05" && m != "02:4B:33:10:00:09") expected.push_back(m);
  std::vector<std::string> got;
  for (const auto& f : found) got.push_back(f->GetMacText(true));
  EXPECT_EQ(got, expected) << error;
  // Each entry holds its own switch's name: no reply was taken from another.
  for (const auto& f : found)
    EXPECT_EQ(f->GetName(),
              "S" + std::to_string(std::stoi(f->GetMacText(false).substr(6), nullptr, 16)));
  // The refusals are told in the order the switches were heard.
  const auto p5 = error.find("02:4b:33:10:00:05 "), p9 = error.find("02:4b:33:10:00:09 ");
  ASSERT_NE(p5, std::string::npos) << error;
  ASSERT_NE(p9, std::string::npos) << error;
  const auto i5 = std::find(order.begin(), order.end(), "02:4B:33:10:00:05") - order.begin();
  const auto i9 = std::find(order.begin(), order.end(), "02:4B:33:10:00:09") - order.begin();
  EXPECT_EQ(p5 < p9, i5 < i9);
}

TEST_F(Discovery, WaitLimitZeroStillHearsTheSwitches) {
  // One segment: the NOPs counted below are its one listener's.
  CLockedCapture one(clock);
  one.fake.AddDevice("veth0", "Segment A", Mac(0xA0, 0xEE));
  AddSwitch(0x01, "North", {});
  AddSwitch(0x02, "South", {});
  for (auto& core : cores) one.fake.Attach("veth0", core.get());
  CSwitchDiscovery d(&one, &clock, &clock);
  d.SetWaitLimit(0);
  std::vector<std::unique_ptr<CSwitchEntry>> found;
  std::string error;
  EXPECT_EQ(d.FindAllSwitches(&found, &error), kCommOk) << error;
  EXPECT_EQ(found.size(), 2u);
  // A handful of NOPs on the busy segment: two answered by new switches, then
  // one or two that bring nothing new end the listening.
  int nops = 0;
  for (const auto& f : one.fake.sent["veth0"]) nops += (f[19] << 8 | f[20]) == 1;
  EXPECT_LE(nops, 4);
}

TEST_F(Discovery, UsedWaitIsClampedAndStoredLimitPutRight) {
  AddSwitch(0x01, "North", {"veth0"});
  auto d = MakeDiscovery();
  d->SetWaitLimit(100000000);
  profile->WriteProfileInt("Settings", "find all wait limit", 50000);
  const auto start = clock.Now();
  std::vector<std::unique_ptr<CSwitchEntry>> found;
  std::string error;
  EXPECT_EQ(d->FindAllSwitches(&found, &error), kCommOk) << error;
  EXPECT_EQ(found.size(), 1u);
  // Two listeners advance the shared virtual clock: well under 2 x (10 s + reads).
  EXPECT_LT(clock.Now() - start, 40000u);
  EXPECT_EQ(profile->GetProfileInt("Settings", "find all wait limit", -1), 10000);
}

TEST_F(Discovery, ProfileWithoutLimitGetsTheStoredDefault) {
  auto d = MakeDiscovery();
  EXPECT_EQ(d->GetWaitLimit(), 3000);
  d->SetWaitLimit(0);
  std::vector<std::unique_ptr<CSwitchEntry>> found;
  std::string error;
  EXPECT_EQ(d->FindAllSwitches(&found, &error), kCommOk) << error;
  EXPECT_EQ(profile->GetProfileInt("Settings", "find all wait limit", -1), 100);
  EXPECT_EQ(MakeDiscovery()->GetWaitLimit(), 100);
}

// The network monitor searches on a worker thread, which reads and writes
// the wait limit, while the window thread goes on using the same profile.
TEST_F(Discovery, ProfileIsSharedWithASearchOnAnotherThread) {
  AddSwitch(0x01, "North", {"veth0"});
  std::atomic<bool> done{false};
  std::size_t heard = 0;
  std::thread worker([&] {
    for (int i = 0; i < 3; ++i) {
      CSwitchDiscovery d(&capture, &clock, &clock);
      d.SetWaitLimit(50);
      std::vector<std::unique_ptr<CSwitchEntry>> found;
      std::string error;
      (void)d.FindAllSwitches(&found, &error);
      heard += found.size();
    }
    done = true;
  });
  for (int i = 0; !done; ++i) {
    profile->WriteProfileInt("Window", "Key" + std::to_string(i % 5), i);
    (void)profile->GetProfileInt("Settings", "find all wait limit", 0);
    std::this_thread::yield();
  }
  worker.join();
  EXPECT_EQ(heard, 3u);
  EXPECT_EQ(profile->GetProfileInt("Settings", "find all wait limit", -1), 100);
}

TEST_F(Discovery, DeviceThatFailsToOpenIsReportedOnceWithoutBoxes) {
  AddSwitch(0x01, "North", {"veth0"});
  const std::string reason = FormatRes(IDS_CAPTURE_NOT_PERMITTED, "veth1");
  capture.FailOpen("veth1", reason + "\n");
  auto d = MakeDiscovery();
  d->SetWaitLimit(200);
  std::vector<std::unique_ptr<CSwitchEntry>> found;
  std::string error;
  EXPECT_EQ(d->FindAllSwitches(&found, &error), kCommFailed);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0]->GetName(), "North");
  // The capture layer's reason tells the user what to do about it.
  EXPECT_EQ(error, "Failed to open Segment B\n" + reason + "\n");
  // Workers never show boxes: the caller shows the text once.
  EXPECT_EQ(messages->count(), 0u);
}

TEST_F(Discovery, FindInterfaceOfSwitch) {
  AddSwitch(0x01, "North", {"veth1"});
  auto d = MakeDiscovery();
  std::string device = "unchanged";
  const int finds = capture.fake.find_calls;
  EXPECT_EQ(d->FindInterfaceOfSwitch("ff:ff:ff:ff:ff:ff", &device, 0),
            CSwitchDiscovery::kSwitchNotFound);
  EXPECT_EQ(d->FindInterfaceOfSwitch("", &device, 0), CSwitchDiscovery::kSwitchNotFound);
  EXPECT_EQ(capture.fake.find_calls, finds);  // no search at all
  EXPECT_EQ(device, "unchanged");
  EXPECT_EQ(d->FindInterfaceOfSwitch("02:4b:33:10:00:01", &device, 0),
            CSwitchDiscovery::kSwitchFound);
  EXPECT_EQ(device, "Segment B");
  EXPECT_EQ(d->FindInterfaceOfSwitch("02:4B:33:10:00:09", &device, 0),
            CSwitchDiscovery::kSwitchNotFound);
}

TEST_F(Discovery, NoDevicesEndsAtOnce) {
  CLockedCapture none(clock);
  CSwitchDiscovery d(&none, &clock, &clock);
  std::vector<std::unique_ptr<CSwitchEntry>> found;
  std::string error;
  const auto start = clock.Now();
  EXPECT_EQ(d.FindAllSwitches(&found, &error), kCommOk);
  EXPECT_TRUE(found.empty());
  EXPECT_EQ(d.FindInterfaceOfSwitch("02:4B:33:10:00:01", nullptr, 0),
            CSwitchDiscovery::kSwitchNotFound);
  EXPECT_EQ(clock.Now(), start);
}

// The network monitor's search and a status dialog's search overlap: each
// must see its own results, and neither may free what the other's workers use.
// The second one asks for a switch that is not there while the first one's
// broadcasts make every switch answer to the same adapter address.
TEST_F(Discovery, ConcurrentSearchesKeepTheirOwnState) {
  AddSwitch(0x01, "North", {"veth0"});
  AddSwitch(0x02, "South", {"veth1"});
  auto first = MakeDiscovery();
  auto second = MakeDiscovery();
  first->SetWaitLimit(400);
  std::vector<std::unique_ptr<CSwitchEntry>> found;
  std::string error;
  int result = 1;
  std::thread other([&] { result = first->FindAllSwitches(&found, &error); });
  std::string device = "none";
  int hits = 0;
  for (int i = 0; i < 5; ++i)
    hits += second->FindInterfaceOfSwitch("02:4B:33:10:00:03", &device, 0);
  other.join();
  EXPECT_EQ(hits, 0);
  EXPECT_EQ(device, "none");
  EXPECT_EQ(result, 0) << error;
  EXPECT_EQ(found.size(), 2u);
  EXPECT_EQ(second->FindInterfaceOfSwitch("02:4B:33:10:00:02", &device, 0),
            CSwitchDiscovery::kSwitchFound);
  EXPECT_EQ(device, "Segment B");
}

}  // namespace
}  // namespace fw::ops_test
