// A capture backend on virtual time: devices are in-process segments to which
// software switches are attached.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "switch/capturebackend.h"
#include "tests/emulator/switch_core.h"

namespace fw::emu {

class CFakeCapture : public ICaptureBackend {
 public:
  explicit CFakeCapture(IClock& clock) : m_clock(clock) {}

  // A segment with the adapter's MAC; the description may be empty.
  void AddDevice(const std::string& name, const std::string& description, const MacAddress& mac);
  void Attach(const std::string& device, CSwitchCore* core);
  // Puts a frame on a segment for every open handle (noise, foreign replies).
  void Inject(const std::string& device, std::vector<std::uint8_t> frame, std::uint64_t due);

  // Failure knobs.
  std::string version = "libpcap version 1.10.3 (fake)";
  bool usable = true;
  bool loaded = true;  // false: no library at all (and not usable)
  bool find_fails = false;
  bool send_fails = false;
  std::string send_error = "send failed";  // what the library says when a send fails
  bool open_fails = false;

  int find_calls = 0;
  int open_handles = 0;
  // Every frame sent on each segment, in order.
  std::map<std::string, std::vector<std::vector<std::uint8_t>>> sent;

  bool Usable() const override { return usable; }
  bool Loaded() const override { return loaded; }
  std::string Version() const override { return version; }
  int FindDevices(std::vector<CaptureDevice>* out, std::string* error) override;
  bool AdapterMac(const std::string& device, MacAddress* mac) override;
  std::unique_ptr<ICaptureHandle> Open(const std::string& device, std::string* error) override;

 private:
  class Handle;
  struct Segment {
    std::string description;
    MacAddress mac{};
    std::vector<CSwitchCore*> cores;
    std::vector<Handle*> handles;
  };
  void Deliver(Segment& seg, Outgoing out);

  IClock& m_clock;
  std::map<std::string, Segment> m_segments;
  std::vector<std::string> m_order;
};

}  // namespace fw::emu
