// The protocol's failure texts come from the string table: under German and
// French no English sentence is left in what a user would be shown.
#include <gtest/gtest.h>

#include <regex>

#include "switch/firmware.h"
#include "tests/common/languages.h"
#include "tests/unit/switch/comm_fixture.h"

namespace fw::test {
namespace {

// Words of the English messages that neither translation uses. The detail
// lines of the EEROM check ("cmd = ..., location = ...") are the same in
// every language and use none of them.
const std::regex kEnglish(
    R"(\b(the|failed|unable|reply|request|found|while|attempting|memory|unknown|invalid|send|sending|reported|returned|errors?|busy|command|device|currently|open|resolve|confirmed|not|unit|empty|identifier|packet|locate|required|to|of|with)\b)",
    std::regex::icase);

// Runs every failure path of the capture binding, the requests and the EEROM
// transaction on a fresh segment and returns what they said, boxes included.
std::string FailureTexts(CRecordingMessageSink& boxes) {
  CFakeClock clock;
  emu::CFakeCapture capture(clock);
  emu::CSwitchCore core(kSwitchMac);
  capture.AddDevice("veth-test0", "Test segment", kLocalMac);
  capture.Attach("veth-test0", &core);
  capture.send_error = "E";  // the library's own words are not ours to translate
  std::string all;
  auto collect = [&](const std::string& text) {
    EXPECT_FALSE(text.empty());
    all += text;
  };
  std::string e;
  std::uint8_t mac[6];

  capture.usable = false;
  {
    cswitchcomm old(&capture, &clock);
    e.clear();
    (void)old.CommOpenDevice("veth-test0", mac, &e);
    collect(e);
    CPcapDeviceList list;
    (void)old.CommFindDevices(&list);
    capture.loaded = false;
    cswitchcomm none(&capture, &clock);
    e.clear();
    (void)none.CommOpenDeviceEx("veth-test0", &e);
    collect(e);
  }
  capture.usable = capture.loaded = true;

  cswitchcomm comm(&capture, &clock);
  e.clear();
  (void)comm.CommOpenDevice("eth9", mac, &e);
  collect(e);
  const std::uint8_t frame[60] = {};
  e.clear();
  (void)comm.Send(frame, sizeof frame, &e);
  collect(e);
  capture.find_fails = true;
  CPcapDeviceList list;
  (void)comm.CommFindDevices(&list);
  capture.find_fails = false;

  EXPECT_EQ(kCommOk, comm.CommOpenDevice("veth-test0", mac, &e));
  comm.CommSetTargetMac(kSwitchText);
  const std::uint8_t block[4] = {};
  CSwitchStatus status;
  auto eerom = [&](auto set) {
    core.knobs() = emu::Knobs{};
    set(core.knobs());
    CCfgBlock read;
    read.AddRequest(kEeromRead, 280, 6);
    read.AddRequest(kEeromWrite, 300, 2);
    e.clear();
    (void)comm.Run(read, &e);
    collect(e);
  };
  auto requests = [&] {
    e.clear();
    (void)comm.CommSendNop(0, nullptr, &e);
    collect(e);
    e.clear();
    (void)comm.ControlRequest(0x10, 0, &e);
    collect(e);
    e.clear();
    (void)comm.SendLoadBlock(block, sizeof block, 0, &e);
    collect(e);
  };

  core.knobs().drop_all = true;
  requests();
  eerom([](emu::Knobs& k) { k.drop_all = true; });
  core.knobs() = emu::Knobs{};
  core.knobs().force_flags = 0xC0;
  requests();
  core.knobs() = emu::Knobs{};
  capture.send_fails = true;
  requests();
  e.clear();
  (void)comm.CommReadSwitchStatus(&status, &e);
  collect(e);
  eerom([](emu::Knobs&) {});
  capture.send_fails = false;

  core.knobs() = emu::Knobs{};
  for (int ports : {65, 40}) {
    core.knobs().ports_reported = ports;
    e.clear();
    (void)comm.CommReadSwitchStatus(&status, &e);
    collect(e);
  }
  core.knobs() = emu::Knobs{};
  e.clear();
  (void)comm.SendLoadBlock(block, sizeof block, 0, &e);  // not in its boot monitor
  collect(e);
  core.SetBootMonitor(true);
  for (int load_status = 2; load_status <= 6; ++load_status) {
    core.knobs().load_status = load_status;
    e.clear();
    (void)comm.SendLoadBlock(block, sizeof block, 0, &e);
    collect(e);
  }
  core.knobs() = emu::Knobs{};
  e.clear();
  (void)comm.SendLoadBlock(block, 100, 0, &e);
  collect(e);
  core.SetBootMonitor(false);

  CCfgBlock nothing;
  e.clear();
  (void)comm.Run(nothing, &e);
  collect(e);
  eerom([](emu::Knobs& k) { k.eerom_status = 3; });
  eerom([](emu::Knobs& k) { k.empty_eerom_reply = true; });
  eerom([](emu::Knobs& k) { k.omit_end_marker = true; });
  eerom([](emu::Knobs& k) { k.failed_entries = {300}; });
  eerom([](emu::Knobs& k) { k.unconfirmed_entries = {280}; });
  eerom([](emu::Knobs& k) { k.short_read = true; });
  eerom([](emu::Knobs& k) { k.busy_replies = 4; });
  eerom([](emu::Knobs& k) { k.foreign_entry = true; });

  core.knobs() = emu::Knobs{};
  core.knobs().drop_all = true;
  e.clear();
  (void)comm.CommEnterBootMonitor(&e);
  collect(e);
  comm.CommClose();
  std::string box;
  (void)TestCommEnterBootMonitor(comm, "Test segment", &box);
  collect(box);

  for (const auto& m : boxes.messages()) all += m.text + "\n";
  return all;
}

TEST(CommLanguages, FailureTextsHoldNoEnglishUnderGermanOrFrench) {
  {
    ScopedMessageSink boxes;
    const std::string english = FailureTexts(*boxes);
    EXPECT_TRUE(std::regex_search(english, kEnglish)) << "the check must see English";
  }
  fwtest::InEachLanguage({"german", "french"}, [](const char* language) {
    ScopedMessageSink boxes;
    const std::string text = FailureTexts(*boxes);
    std::smatch m;
    EXPECT_FALSE(std::regex_search(text, m, kEnglish)) << language << ": \"" << m.str() << "\" in\n"
                                                       << text;
  });
}

}  // namespace
}  // namespace fw::test
