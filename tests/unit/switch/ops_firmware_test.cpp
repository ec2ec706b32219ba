#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/message.h"
#include "switch/firmware.h"
#include "switch/frames.h"
#include "switch/switchconfigstore.h"
#include "tests/common/test_util.h"
#include "tests/unit/switch/ops_fixture.h"

namespace fw::ops_test {
namespace {

using fw::test::SRecordLine;

namespace fs = std::filesystem;

// Records the progress dialog's use; cancels after `cancel_after` pumps.
class RecordingUi : public IOperationUi {
 public:
  void ShowProgress(const std::string& status, int range) override {
    shown = status;
    this->range = range;
    ++opened;
  }
  void StepProgress() override { ++steps; }
  void HideProgress() override { ++closed; }
  bool PumpProgress() override { return ++pumps > cancel_after; }

  std::string shown;
  int range = -1, steps = 0, opened = 0, closed = 0, pumps = 0;
  int cancel_after = 1 << 30;
};

class FirmwareLoad : public ::testing::Test {
 protected:
  FirmwareLoad() : capture(clock), core(Mac(0x09), 9) {
    capture.AddDevice("veth0", "Segment A", Mac(0xA0, 0xEE));
    capture.Attach("veth0", &core);
    SetIdentity(core, 9, false, 1);  // QV-9KP-1
    core.SetRevision("0201");
    dir = fs::temp_directory_path() / ("ops_fw_" + std::to_string(::getpid())) / "5_port";
    fs::create_directories(dir);
  }
  ~FirmwareLoad() override { fs::remove_all(dir.parent_path()); }

  // A file of n records of 62 bytes each (whole frames, no padding on the wire).
  std::string WriteFile(const std::string& name, int n, std::string extra = {}) {
    image.clear();
    std::ofstream f(dir / name, std::ios::binary);
    f << "S00600004844521B\r\n" << extra;
    for (int i = 0; i < n; ++i) {
      std::vector<std::uint8_t> data(62);
      for (int k = 0; k < 62; ++k) data[k] = static_cast<std::uint8_t>(i * 31 + k);
      const std::uint32_t address = 0x10000 + 62u * i;
      f << SRecordLine(2, address, data) << "\r\n";
      const std::uint8_t head[5] = {0, static_cast<std::uint8_t>(address >> 16),
                                    static_cast<std::uint8_t>(address >> 8),
                                    static_cast<std::uint8_t>(address), 62};
      image.insert(image.end(), head, head + 5);
      image.insert(image.end(), data.begin(), data.end());
    }
    f << "S804000000FB\r\n";
    return (dir / name).string();
  }
  int Load(const std::string& path) {
    error.clear();
    cswitchcomm comm(&capture, &clock);
    comm.CommSetTargetMac("02:4B:33:10:00:09");
    return SwitchLoadFirmwareOp(comm, "Segment A", path, "shown", &ui, &error);
  }
  std::vector<std::uint32_t> Controls() {
    std::vector<std::uint32_t> v;
    for (const auto& f : capture.sent["veth0"])
      if ((f[19] << 8 | f[20]) == frames::kCmdControl) v.push_back(frames::ReadBE32(&f[31]));
    return v;
  }

  ScopedMessageSink messages;
  CFakeClock clock;
  emu::CFakeCapture capture;
  emu::CSwitchCore core;
  RecordingUi ui;
  fs::path dir;
  std::vector<std::uint8_t> image;  // what the switch should receive
  std::string error;
};

TEST_F(FirmwareLoad, FullLoadReachesTheSwitchAndRestartsIt) {
  const std::string path = WriteFile("ring_9_port_v02.s19", 40);
  ASSERT_EQ(Load(path), kCommOk) << error;
  EXPECT_EQ(error, "");
  EXPECT_EQ(core.blocks_loaded(), 40);
  EXPECT_EQ(core.firmware(), image);
  EXPECT_EQ(Controls(), (std::vector<std::uint32_t>{1, 1}));  // into the boot monitor and out
  EXPECT_FALSE(core.InBootMonitor(clock.Now()));
  EXPECT_EQ(ui.shown, "Loading firmware...");
  EXPECT_EQ(ui.range, 40);
  EXPECT_EQ(ui.steps, 40);
  EXPECT_EQ(ui.closed, ui.opened);
  // The block positions: first 1, last 2, others 0.
  std::vector<int> positions;
  for (const auto& f : capture.sent["veth0"])
    if ((f[19] << 8 | f[20]) == frames::kCmdLoadBlock)
      positions.push_back(frames::ReadBE16(&f[31]));
  ASSERT_EQ(positions.size(), 40u);
  EXPECT_EQ(positions.front(), 1);
  EXPECT_EQ(positions[1], 0);
  EXPECT_EQ(positions.back(), 2);
}

TEST_F(FirmwareLoad, SingleRecordIsTheFirstBlock) {
  ASSERT_EQ(Load(WriteFile("ring_9_port.s19", 1)), kCommOk) << error;
  EXPECT_EQ(core.blocks_loaded(), 1);
}

TEST_F(FirmwareLoad, RefusalsThatNeedNoSwitchSendNothing) {
  // The folder says 5_port, the file's own name nothing.
  EXPECT_EQ(Load(WriteFile("ring.s19", 3)), kCommFailed);
  EXPECT_EQ(
      error,
      "02:4b:33:10:00:09 The selected firmware file name does not indicate the number of ports "
      "that it is intended for use with. Unable to continue.\n");
  EXPECT_EQ(Load((dir / "missing_9_port.s19").string()), kCommFailed);
  EXPECT_EQ(error,
            "02:4b:33:10:00:09 Unable to access " + (dir / "missing_9_port.s19").string() + ".\n");
  // A bad record anywhere stops the load before the first block.
  EXPECT_EQ(Load(WriteFile("ring_9_port.s19", 3, "S1040000010A\r\n")), kCommFailed);
  EXPECT_EQ(error, "02:4b:33:10:00:09 Line 2 of the firmware file has a wrong checksum.\n");
  EXPECT_EQ(Load(WriteFile("ring_9_port.s19", 0)), kCommFailed);
  EXPECT_EQ(error, "02:4b:33:10:00:09 The firmware file holds no data records.\n");
  EXPECT_TRUE(capture.sent["veth0"].empty());
  EXPECT_EQ(ui.opened, 0);
}

TEST_F(FirmwareLoad, ModelAndRevisionRefusedBeforeTheBootMonitor) {
  EXPECT_EQ(Load(WriteFile("ring_gig.s19", 2)), kCommFailed);
  EXPECT_EQ(error,
            "02:4b:33:10:00:09 The selected firmware file is not compatible with this switch.\n");
  EXPECT_EQ(Load(WriteFile("ring_9_port_v01.s19", 2)), kCommFailed);
  EXPECT_EQ(error,
            "02:4b:33:10:00:09 The selected firmware file is not compatible with this switch.\n");
  SetIdentity(core, 9, true, 16);  // QV-9KX-1
  EXPECT_EQ(Load(WriteFile("ring_9_port_v02.s19", 2)), kCommFailed);
  core.eerom()[281] = 9;  // no model at all
  EXPECT_EQ(Load(WriteFile("ring_gig.s19", 2)), kCommFailed);
  EXPECT_EQ(error, "02:4b:33:10:00:09 Invalid part ID found.\n");
  EXPECT_TRUE(Controls().empty());  // never entered the boot monitor
  EXPECT_EQ(core.blocks_loaded(), 0);
  SetIdentity(core, 9, true, 16);
  EXPECT_EQ(Load(WriteFile("ring_gig_v02.s19", 2)), kCommOk) << error;
}

TEST_F(FirmwareLoad, RefusalInsideTheBootMonitorRestartsTheSwitch) {
  // A unit that is already in its boot monitor cannot be asked beforehand.
  core.SetBootMonitor(true);
  core.knobs().boot_on_restart = false;
  EXPECT_LT(Load(WriteFile("ring_9_port_v02.s19", 2)), 0);
  EXPECT_EQ(core.blocks_loaded(), 0);
  EXPECT_FALSE(Controls().empty());
  EXPECT_EQ(ui.closed, ui.opened);
}

TEST_F(FirmwareLoad, EachLoadStatusFailsTheLoad) {
  const std::string path = WriteFile("ring_9_port_v02.s19", 5);
  const struct {
    int status, result;
    const char* line;
  } cases[] = {
      {2, kLoadWriteFailed, "Failed to write data to switch memory."},
      {3, kLoadInvalidData, "Invalid data found while attempting to send to switch memory."},
      {4, kLoadEraseFailed, "Erase failed while attempting to send to switch memory."},
      {5, kLoadVerifyFailed, "Verify failed while attempting to send to switch memory."},
      {9, kCommFailed, "Unknown error (9) found while attempting to send to switch memory."},
  };
  for (const auto& c : cases) {
    core.SetBootMonitor(false);
    core.knobs().load_status = c.status;
    capture.sent.clear();
    EXPECT_EQ(Load(path), c.result) << c.status;
    EXPECT_NE(error.find(c.line), std::string::npos) << error;
    // The switch stays in its boot monitor for another try: no restart after blocks.
    EXPECT_EQ(Controls(), std::vector<std::uint32_t>{1}) << c.status;
  }
}

TEST_F(FirmwareLoad, CancelStopsBeforeTheNextBlock) {
  ui.cancel_after = 3;
  EXPECT_EQ(Load(WriteFile("ring_9_port_v02.s19", 10)), kCommFailed);
  EXPECT_EQ(core.blocks_loaded(), 3);
  EXPECT_NE(error.find("The firmware load was cancelled."), std::string::npos);
  EXPECT_EQ(Controls(), std::vector<std::uint32_t>{1});
  EXPECT_EQ(ui.closed, 1);
}

TEST_F(FirmwareLoad, TestCommBootMonitorEntry) {
  cswitchcomm comm(&capture, &clock);
  comm.CommSetTargetMac("02:4B:33:10:00:09");
  std::string box = "old";
  EXPECT_FALSE(TestCommEnterBootMonitor(comm, "", &box));
  EXPECT_EQ(box, "");
  EXPECT_TRUE(TestCommEnterBootMonitor(comm, "Segment A", &box));
  EXPECT_EQ(box, "Errors:--------------\r\n");
  EXPECT_EQ(messages->count(), 0u);  // the dialog tells the success
  core.knobs().drop_all = true;
  EXPECT_FALSE(TestCommEnterBootMonitor(comm, "Segment A", &box));
  EXPECT_EQ(box,
            "Errors:--------------\r\n02:4b:33:10:00:09 Unable to command the unit into boot "
            "monitor mode.\r\n");
  // An adapter that cannot be opened is told with the capture layer's reason.
  capture.open_fails = true;
  EXPECT_FALSE(TestCommEnterBootMonitor(comm, "Segment A", &box));
  ASSERT_EQ(messages->count(), 1u);
  EXPECT_EQ(messages->messages()[0].text, "Failed to open device.\n\nFailed to open veth0");
}

}  // namespace
}  // namespace fw::ops_test
