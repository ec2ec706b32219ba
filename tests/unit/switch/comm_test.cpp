#include <gtest/gtest.h>

#include <cstring>
#include <future>
#include <thread>

#include "tests/unit/switch/comm_fixture.h"

namespace fw::test {
namespace {

TEST_F(CommTest, TargetAddressText) {
  std::uint8_t mac[6];
  comm->GetTarget(mac);
  EXPECT_EQ("ff:ff:ff:ff:ff:ff", cswitchcomm::FormatMacText(mac));
  EXPECT_TRUE(comm->CommSetTargetMac("00:11:22:33:44:55"));
  EXPECT_EQ(kSwitchMac, comm->Target());
  EXPECT_TRUE(comm->CommSetTargetMac("0A-bB-cc-dd-ee-ff"));
  EXPECT_EQ("<0a:bb:cc:dd:ee:ff>", cswitchcomm::FormatMacText(comm->Target().data(), "<", ">"));
  EXPECT_FALSE(comm->CommSetTargetMac("00:11:22:33:44:5"));
  EXPECT_FALSE(comm->CommSetTargetMac("00:11:22:33:44:555"));
  EXPECT_FALSE(comm->CommSetTargetMac("00:11:22:33:44:5g"));
  EXPECT_EQ("0a:bb:cc:dd:ee:ff", cswitchcomm::FormatMacText(comm->Target().data()));
}

TEST_F(CommTest, FreshObjectBroadcasts) {
  Open();
  comm->SetTarget(MacAddress{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}.data());
  std::string error;
  EXPECT_EQ(kNopNoFlag, comm->CommSendNop(0, nullptr, &error));
  const auto& sent = capture.sent["veth-test0"];
  ASSERT_EQ(1u, sent.size());
  EXPECT_EQ(frames::BuildNop({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, kLocalMac), sent[0]);
}

TEST_F(CommTest, SendWithoutDevice) {
  std::string error;
  const std::uint8_t frame[60] = {};
  EXPECT_EQ(kCommFailed, comm->Send(frame, sizeof frame, &error));
  EXPECT_EQ("Send: No device currently open.\n", error);
  const std::uint8_t* data = nullptr;
  EXPECT_EQ(kCommFailed, comm->Receive(&data));
}

TEST_F(CommTest, OpenByNameOrDescription) {
  std::string error;
  std::uint8_t mac[6] = {};
  ASSERT_EQ(kCommOk, comm->CommOpenDevice("Test segment", mac, &error)) << error;
  EXPECT_EQ(kLocalMac, comm->Local());
  EXPECT_EQ(0, std::memcmp(mac, kLocalMac.data(), 6));
  // Opening again closes the first handle instead of leaking it.
  ASSERT_EQ(kCommOk, comm->CommOpenDeviceEx("veth-test0", &error));
  EXPECT_EQ(1, capture.open_handles);
  comm->CommClose();
  EXPECT_EQ(0, capture.open_handles);
  EXPECT_FALSE(comm->IsOpen());
}

TEST_F(CommTest, OpenUnknownDevice) {
  std::string error = "earlier\n";
  std::uint8_t mac[6];
  EXPECT_EQ(kCommFailed, comm->CommOpenDevice("eth9", mac, &error));
  EXPECT_EQ("earlier\n Unable to resolve local MAC address for interface eth9.\n", error);
  capture.open_fails = true;
  error.clear();
  EXPECT_EQ(kCommFailed, comm->CommOpenDeviceEx("veth-test0", &error));
  EXPECT_EQ("Failed to open veth-test0\n", error);
  EXPECT_FALSE(comm->IsOpen());
}

TEST_F(CommTest, AdapterPluggedInLaterIsFound) {
  std::string error;
  ASSERT_EQ(kCommOk, comm->CommOpenDeviceEx("Test segment", &error));
  capture.AddDevice("usb-eth1", "USB adapter", {0x02, 0, 0, 0, 0, 2});
  EXPECT_EQ("usb-eth1", comm->LookupDeviceName("USB adapter"));
  const int calls = capture.find_calls;
  EXPECT_EQ("", comm->LookupDeviceName("not there"));
  EXPECT_EQ(calls + 1, capture.find_calls) << "one refresh per miss, no more";
}

TEST_F(CommTest, IncompatibleLibrary) {
  capture.usable = false;
  capture.version = "libpcap version 0.9.8";
  cswitchcomm old(&capture, &clock);
  EXPECT_TRUE(old.IncompatibleVersion());
  std::string error;
  std::uint8_t mac[6];
  EXPECT_EQ(kCommFailed, old.CommOpenDevice("veth-test0", mac, &error));
  EXPECT_EQ("Incompatible libpcap version found libpcap version 0.9.8.\n", error);
  CPcapDeviceList list;
  EXPECT_EQ(-1, old.CommFindDevices(&list));
  ASSERT_EQ(1u, messages->count());
  EXPECT_EQ("pcap_findalldevs not loaded.", messages->messages()[0].text);

  // No library at all is not a library of the wrong version.
  capture.loaded = false;
  capture.version.clear();
  cswitchcomm none(&capture, &clock);
  error.clear();
  EXPECT_EQ(kCommFailed, none.CommOpenDeviceEx("veth-test0", &error));
  EXPECT_EQ("Unable to locate required components for communications (libpcap).\n", error);
}

TEST_F(CommTest, FindDevices) {
  CPcapDeviceList list;
  capture.AddDevice("eth2", "", {0x02, 0, 0, 0, 0, 3});
  EXPECT_EQ(2, comm->CommFindDevices(&list));
  ASSERT_EQ(2u, list.size());
  EXPECT_EQ("Test segment", list[0].description);
  EXPECT_EQ("eth2", list[1].description) << "a device without description shows its name";
  capture.find_fails = true;
  EXPECT_EQ(-1, comm->CommFindDevices(&list));
  EXPECT_EQ("pcap_findalldevs() failed", messages->messages().back().text);
}

TEST_F(CommTest, DevicesLockTimeoutTouchesNothing) {
  cswitchcomm::SetDevicesMutexWait(30);
  std::promise<void> locked, release;
  std::thread holder([&] {
    std::lock_guard hold(cswitchcomm::DevicesMutex());
    locked.set_value();
    release.get_future().wait();
  });
  locked.get_future().wait();
  CPcapDeviceList list;
  const int calls = capture.find_calls;
  EXPECT_EQ(0, comm->CommFindDevices(&list));
  EXPECT_EQ("", comm->LookupDeviceName("Test segment"));
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(calls, capture.find_calls) << "no enumeration without the lock";
  release.set_value();
  holder.join();
  cswitchcomm::SetDevicesMutexWait(cswitchcomm::kDevicesMutexWait);
  EXPECT_EQ("veth-test0", comm->LookupDeviceName("Test segment"));
}

TEST_F(CommTest, NopResults) {
  Open();
  std::string error, address;
  EXPECT_EQ(kNopNoFlag, comm->CommSendNop(0, &address, &error)) << "running firmware answers 0x80";
  EXPECT_EQ(kSwitchText, address);
  core.SetBootMonitor(true);
  EXPECT_EQ(kNopSuccess, comm->CommSendNop(0, nullptr, &error));
  core.knobs().force_flags = 0xC0;
  EXPECT_EQ(kCommRefused, comm->CommSendNop(0, nullptr, &error));
  EXPECT_EQ(kSwitchText + " NOP request returned an error.\n" + kSwitchText + " NOP Error\n",
            error);
}

TEST_F(CommTest, NopWithoutReply) {
  Open();
  core.knobs().drop_all = true;
  std::string error;
  const std::uint64_t start = clock.Now();
  EXPECT_EQ(kCommFailed, comm->CommSendNop(0, nullptr, &error));
  EXPECT_EQ(
      kSwitchText + " Failed to find a reply to NOP request.\n" + kSwitchText + " NOP Error\n",
      error);
  EXPECT_GE(clock.Now() - start, 1000u);
  EXPECT_LE(clock.Now() - start, 1040u);
  // Quiet adds nothing and keeps what the caller had.
  error = "kept\n";
  EXPECT_EQ(kCommFailed, comm->CommSendNop(kCommQuiet, nullptr, &error));
  core.knobs() = emu::Knobs{};
  core.knobs().force_flags = 0xC0;
  EXPECT_EQ(kCommRefused, comm->CommSendNop(kCommQuiet, nullptr, &error));
  EXPECT_EQ("kept\n", error);
}

TEST_F(CommTest, FailuresWithoutAnErrorTextAndAfterAnEarlierOne) {
  // Callers that do not want the text pass none: every failure still reports.
  const std::uint8_t frame[60] = {};
  EXPECT_EQ(kCommFailed, comm->Send(frame, sizeof frame, nullptr));
  std::uint8_t mac[6];
  EXPECT_EQ(kCommFailed, comm->CommOpenDevice("eth9", mac, nullptr));
  Open();
  core.knobs().drop_all = true;
  EXPECT_EQ(kCommFailed, comm->CommSendNop(0, nullptr, nullptr));
  EXPECT_EQ(kCommFailed, comm->ControlRequest(kControlRestart, 0, nullptr));
  const std::uint8_t block[5] = {0, 0, 0, 0, 0};
  EXPECT_EQ(kCommFailed, comm->SendLoadBlock(block, sizeof block, 0, nullptr));
  CCfgBlock read;
  read.AddRequest(kEeromRead, 280, 6);
  EXPECT_EQ(kEeromFailed, comm->Run(read, nullptr));
  // A text the caller already has is kept; the new lines follow it.
  std::string error = "earlier\n";
  EXPECT_EQ(kEeromFailed, comm->Run(read, &error));
  EXPECT_EQ("earlier\n" + kSwitchText + " Reply to EEROM command(s) not found.\n", error);
}

TEST_F(CommTest, RepliesToOthersAndNoiseAreSkipped) {
  Open();
  auto foreign = MakeReply(0xA0);
  foreign[5] = 0x77;  // addressed to another station
  capture.Inject("veth-test0", foreign, clock.Now());
  capture.Inject("veth-test0", std::vector<std::uint8_t>(14, 0xAB), clock.Now());
  core.knobs().vlan_tagged = true;
  std::string error;
  EXPECT_EQ(kNopNoFlag, comm->CommSendNop(0, nullptr, &error));
  core.knobs().misaddressed = true;
  EXPECT_EQ(kCommFailed, comm->CommSendNop(kCommQuiet, nullptr, &error));
}

TEST_F(CommTest, AnotherSwitchsReplyDoesNotPassForTheTarget) {
  Open();
  // Another switch on the segment answers to our address first.
  auto other = MakeReply(0xA0);
  other[11] = 0x99;
  capture.Inject("veth-test0", other, clock.Now());
  std::string error, address;
  const int mine = comm->CommSendNop(0, &address, &error);
  EXPECT_EQ(address, "00:11:22:33:44:55");
  capture.Inject("veth-test0", other, clock.Now());
  core.knobs().drop_all = true;
  EXPECT_EQ(kCommFailed,
            comm->CommSendNop(kCommQuiet, nullptr, &error));  // only the stranger answered
  core.knobs() = emu::Knobs{};
  EXPECT_EQ(mine, comm->CommSendNop(0, nullptr, &error));
}

// On a busy segment a slow machine may still be reading other stations'
// frames when the reply wait runs out: a reply that came in time and waits
// behind them is still taken.
TEST_F(CommTest, AReplyWaitingBehindOtherFramesAtTheDeadlineIsTaken) {
  // Every look at the clock costs a millisecond: a machine under load.
  class CSlowClock : public IClock {
   public:
    explicit CSlowClock(CFakeClock& base) : m_base(base) {}
    std::uint64_t Now() override {
      m_base.Advance(1);
      return m_base.Now();
    }
    void Wait(std::uint32_t ms) override { m_base.Wait(ms); }

   private:
    CFakeClock& m_base;
  } slow(clock);
  cswitchcomm busy(&capture, &slow);
  std::string error;
  std::uint8_t mac[6];
  ASSERT_EQ(0, busy.CommOpenDevice("veth-test0", mac, &error)) << error;
  ASSERT_TRUE(busy.CommSetTargetMac(kSwitchText));
  // Other stations' traffic arrives just after the request, the reply a
  // moment later; reading the traffic takes longer than the reply wait.
  auto foreign = MakeReply(0xA0);
  foreign[5] = 0x77;
  for (int i = 0; i < 1500; ++i) capture.Inject("veth-test0", foreign, clock.Now() + 5);
  core.knobs().delay_ms = 10;
  EXPECT_GE(busy.CommSendNop(0, nullptr, &error), 0) << error;
  // Past the deadline only what already waits is read: a silent switch still fails.
  core.knobs().drop_all = true;
  for (int i = 0; i < 1500; ++i) capture.Inject("veth-test0", foreign, clock.Now() + 5);
  EXPECT_EQ(kCommFailed, busy.CommSendNop(kCommQuiet, nullptr, &error));
}

TEST_F(CommTest, StatusRead) {
  Open();
  core.SetPortByte(8, 0x3E);
  CSwitchStatus s;
  std::string error;
  ASSERT_EQ(kStatusRead, comm->CommReadSwitchStatus(&s, &error));
  EXPECT_EQ(9, s.nPorts);
  EXPECT_EQ(1, s.nRingState);
  EXPECT_EQ(2, s.nPortLink[8]);
  EXPECT_EQ(48, s.nPortBits30[8]);
  core.knobs().ports_reported = 65;
  s.nPortLink[8] = 99;
  EXPECT_EQ(kCommFailed, comm->CommReadSwitchStatus(&s, &error)) << "a failed poll, not a success";
  EXPECT_EQ(99, s.nPortLink[8]);
  EXPECT_EQ(kSwitchText + " Invalid number of ports found.\n", error);
  core.knobs().ports_reported = 40;  // more ports claimed than the frame holds
  EXPECT_EQ(kCommFailed, comm->CommReadSwitchStatus(&s, &error));
  core.knobs().drop_all = true;
  error.clear();
  EXPECT_EQ(kStatusNoReply, comm->CommReadSwitchStatus(&s, &error));
  EXPECT_EQ("", error);
}

TEST_F(CommTest, ControlRequest) {
  Open();
  std::string error;
  EXPECT_EQ(kCommOk, comm->ControlRequest(0x8000, 0, &error));
  EXPECT_EQ(0x8000u, core.last_control());
  core.knobs().force_flags = 0xC0;
  EXPECT_EQ(kCommRefused, comm->ControlRequest(0x4000, 0, &error));
  EXPECT_EQ(
      kSwitchText + " Error(s) reported while attempting to send a control request message.\n",
      error);
  core.knobs() = emu::Knobs{};
  core.knobs().ignore_control = true;
  error.clear();
  EXPECT_EQ(kCommFailed, comm->ControlRequest(0x10, kCommQuiet, &error));
  EXPECT_EQ("", error);
  EXPECT_EQ(kCommFailed, comm->ControlRequest(0x10, 0, &error));
  EXPECT_EQ(kSwitchText + " No reply found while attempting to send a control request message.\n",
            error);
}

// Why a frame did not go out (no device, the library's refusal) reaches the
// caller's text with the request's own line, whatever the request.
TEST_F(CommTest, SendFailuresCarryTheirReason) {
  Open();
  capture.send_fails = true;
  capture.send_error = "adapter unplugged";
  const std::string reason = kSwitchText + " Send: Failed to send packet via pcap_sendpacket.\n" +
                             kSwitchText + " adapter unplugged\n";
  std::string error;
  EXPECT_EQ(kCommFailed, comm->ControlRequest(0x10, kCommQuiet, &error));
  EXPECT_EQ(kSwitchText + " Failed to send control request message to the switch.\n" + reason,
            error);
  error.clear();
  EXPECT_EQ(kCommFailed, comm->CommSendNop(0, nullptr, &error));
  EXPECT_EQ(kSwitchText + " Failed to send NOP request.\n" + reason + kSwitchText + " NOP Error\n",
            error);
  error.clear();
  CSwitchStatus s;
  EXPECT_EQ(kCommFailed, comm->CommReadSwitchStatus(&s, &error));
  EXPECT_EQ(reason, error);
  error.clear();
  const std::uint8_t block[4] = {};
  EXPECT_EQ(kCommFailed, comm->SendLoadBlock(block, sizeof block, 0, &error));
  EXPECT_EQ(kSwitchText + " Failed to send load request command.\n" + reason, error);
  error.clear();
  CCfgBlock read;
  read.AddRequest(kEeromRead, 280, 6);
  EXPECT_EQ(kEeromFailed, comm->Run(read, &error));
  EXPECT_EQ(kSwitchText + " Failed to send EEROM command(s).\n" + reason, error);
  // A closed device is a reason too.
  comm->CommClose();
  error.clear();
  EXPECT_EQ(kCommFailed, comm->ControlRequest(0x10, 0, &error));
  EXPECT_EQ(kSwitchText + " Failed to send control request message to the switch.\n" + kSwitchText +
                " Send: No device currently open.\n",
            error);
}

// A switch that answers after the request gave up: its late reply waits in
// the buffer (or arrives during the next request) and must never pass for
// the answer to the next request, of the same kind or another.
TEST_F(CommTest, LateRepliesAreNotTakenForTheNextRequest) {
  Open();
  core.SetBootMonitor(true);  // replies carry the success flag a late one would fake
  core.knobs().delay_ms = 1100;
  std::string error;
  // Control, then NOP: the control reply arrives while the NOP waits.
  EXPECT_EQ(kCommFailed, comm->ControlRequest(0x10, kCommQuiet, &error));
  EXPECT_EQ(kCommFailed, comm->CommSendNop(kCommQuiet, nullptr, &error));
  // NOP, pause, NOP: the first reply waits in the buffer when the second is sent.
  clock.Advance(500);
  EXPECT_EQ(kCommFailed, comm->CommSendNop(kCommQuiet, nullptr, &error));
  // NOP, then status read: a NOP reply is no list of ports.
  clock.Advance(500);
  CSwitchStatus s;
  EXPECT_EQ(kStatusNoReply, comm->CommReadSwitchStatus(&s, &error));
  // Status, then load block: no acknowledgement of a block never seen.
  clock.Advance(500);
  const std::uint8_t block[4] = {};
  EXPECT_EQ(kCommFailed, comm->SendLoadBlock(block, sizeof block, 0, &error));
  // Load block, then an EEROM read: it waits long enough for its own reply
  // and takes that one, not the late acknowledgement.
  CCfgBlock read;
  read.AddRequest(kEeromRead, 280, 6);
  error.clear();
  EXPECT_EQ(kEeromOk, comm->Run(read, &error)) << error;
  EXPECT_EQ(std::vector<std::uint8_t>(core.eerom().begin() + 280, core.eerom().begin() + 286),
            read.Requests()[0].data);
  // With time to spare, every kind works again.
  core.knobs().delay_ms = 0;
  clock.Advance(2000);
  EXPECT_EQ(kNopSuccess, comm->CommSendNop(kCommQuiet, nullptr, &error));
  EXPECT_EQ(kStatusRead, comm->CommReadSwitchStatus(&s, &error));
}

// The find-all listener asks everyone at once and takes one answer per
// broadcast: the answers of the other switches that wait in the buffer must
// stay there for its next attempts.
TEST_F(CommTest, BroadcastNopTakesTheRepliesAlreadyWaiting) {
  Open();
  comm->SetTarget(kBroadcastMac.data());
  auto other = MakeReply(0x80);
  other[11] = 0x99;
  capture.Inject("veth-test0", other, clock.Now());
  std::string first, second, error;
  EXPECT_EQ(kNopNoFlag, comm->CommSendNop(kCommQuiet, &first, &error));
  EXPECT_EQ(kNopNoFlag, comm->CommSendNop(kCommQuiet, &second, &error));
  EXPECT_EQ("00:11:22:33:44:99", first);
  EXPECT_EQ(kSwitchText, second);
}

TEST_F(CommTest, LoadBlock) {
  Open();
  const std::vector<std::uint8_t> block = {'S', '1', '1', '3'};
  std::string error;
  EXPECT_EQ(kCommFailed, comm->SendLoadBlock(block.data(), block.size(), 1, &error));
  EXPECT_EQ(kSwitchText +
                " Switch boot monitor mode error found while attempting to send data to switch "
                "memory.\n" +
                kSwitchText +
                " Unknown error (0) found while attempting to send to switch memory.\n",
            error);
  core.SetBootMonitor(true);
  error.clear();
  ASSERT_EQ(kCommOk, comm->SendLoadBlock(block.data(), block.size(), 1, &error)) << error;
  EXPECT_EQ(1, core.blocks_loaded());
  const int codes[] = {kLoadWriteFailed, kLoadInvalidData, kLoadEraseFailed, kLoadVerifyFailed,
                       kCommFailed};
  for (int status = 2; status <= 6; ++status) {
    core.knobs().load_status = status;
    error.clear();
    EXPECT_EQ(codes[status - 2], comm->SendLoadBlock(block.data(), block.size(), 0, &error));
    EXPECT_NE(std::string::npos, error.find("Error(s) reported while attempting to send data"));
  }
  error.clear();
  EXPECT_EQ(kCommFailed, comm->SendLoadBlock(block.data(), 68, 0, &error));
}

TEST_F(CommTest, FirstLoadBlockWaitsLonger) {
  Open();
  core.SetBootMonitor(true);
  core.knobs().delay_ms = 2500;
  const std::uint8_t block[8] = {};
  std::string error;
  EXPECT_EQ(kCommFailed, comm->SendLoadBlock(block, sizeof block, 0, &error));
  EXPECT_NE(std::string::npos, error.find("Reply to load request command not found."));
  EXPECT_EQ(kCommOk, comm->SendLoadBlock(block, sizeof block, 1, &error));
}

// The cycle power prompt as a test sees it: it records what it shows and lets
// the virtual time pass; a hook plays the user.
class FakePrompt : public ICyclePowerPrompt {
 public:
  struct Log {
    std::vector<std::string> captions, statuses;
    std::vector<std::uint32_t> pumps;
    int destroyed = 0;
  };
  FakePrompt(CFakeClock& clock, Log& log, std::function<bool(int)> on_pump)
      : m_clock(clock), m_log(log), on_pump_(std::move(on_pump)) {}
  ~FakePrompt() override { ++m_log.destroyed; }
  void SetCaption(const std::string& t) override { m_log.captions.push_back(t); }
  void SetStatus(const std::string& t) override { m_log.statuses.push_back(t); }
  void PumpMessagesFor(std::uint32_t ms) override {
    m_log.pumps.push_back(ms);
    m_clock.Advance(ms);
    if (on_pump_ && on_pump_(static_cast<int>(m_log.pumps.size()))) m_cancelled = true;
  }
  bool Cancelled() const override { return m_cancelled; }

 private:
  CFakeClock& m_clock;
  Log& m_log;
  std::function<bool(int)> on_pump_;
  bool m_cancelled = false;
};

class BootMonitorTest : public CommTest {
 protected:
  void SetUp() override {
    Open();
    comm->SetCyclePowerPromptFactory(
        [this] { return std::make_unique<FakePrompt>(clock, log, on_pump); });
  }
  FakePrompt::Log log;
  std::function<bool(int)> on_pump;
};

TEST_F(BootMonitorTest, CommandedIntoBootMonitor) {
  std::string error;
  const std::uint64_t start = clock.Now();
  EXPECT_EQ(kCommOk, comm->CommEnterBootMonitor(&error)) << error;
  EXPECT_EQ(1u, core.last_control());
  EXPECT_TRUE(core.InBootMonitor(clock.Now()));
  EXPECT_EQ(std::vector<std::string>{"Connecting..."}, log.captions);
  EXPECT_EQ(std::vector<std::string>{"Attempting to connect..."}, log.statuses);
  ASSERT_FALSE(log.pumps.empty());
  EXPECT_EQ(100u, log.pumps[0]);
  EXPECT_GE(clock.Now() - start, 3100u);
  EXPECT_EQ(1, log.destroyed);
  EXPECT_EQ("", error);
}

TEST_F(BootMonitorTest, UserCyclesPower) {
  core.knobs().ignore_control = true;
  on_pump = [this](int n) {
    if (n == 3) core.PowerCycle(clock.Now());
    return false;
  };
  std::string error;
  EXPECT_EQ(kCommOk, comm->CommEnterBootMonitor(&error)) << error;
  ASSERT_GE(log.pumps.size(), 2u);
  EXPECT_EQ(25u, log.pumps[0]);
  EXPECT_EQ(500u, log.pumps[1]);
  EXPECT_TRUE(log.captions.empty());
  EXPECT_EQ(1, log.destroyed);
}

TEST_F(BootMonitorTest, CancelEndsTheWait) {
  core.knobs().ignore_control = true;
  on_pump = [](int n) { return n == 4; };
  std::string error;
  EXPECT_EQ(kCommRefused, comm->CommEnterBootMonitor(&error));
  EXPECT_EQ(kSwitchText + " Unable to command the unit into boot monitor mode.\n", error);
  EXPECT_EQ(4u, log.pumps.size());
  EXPECT_EQ(1, log.destroyed);
}

TEST_F(BootMonitorTest, GivesUpAfterSixtyOneAttempts) {
  core.knobs().drop_all = true;
  std::string error;
  EXPECT_EQ(kCommRefused, comm->CommEnterBootMonitor(&error));
  EXPECT_EQ(61u, capture.sent["veth-test0"].size() - 1) << "NOPs after the control request";
  EXPECT_EQ(kSwitchText + " Unable to command the unit into boot monitor mode.\n", error);
}

TEST_F(BootMonitorTest, ErrorReplyEndsAtOnce) {
  core.knobs().force_flags = 0xC0;
  core.knobs().restart_ms = 0;
  std::string error;
  EXPECT_EQ(kCommRefused, comm->CommEnterBootMonitor(&error));
  EXPECT_EQ(2u, capture.sent["veth-test0"].size());
}

}  // namespace
}  // namespace fw::test
