// Software switches behind veth pairs, for the discovery, configuration and
// firmware operations over the real capture library. Each segment is a veth
// pair whose far end lies in a network namespace of its own; a thread that has
// entered that namespace serves any number of switch cores on it, so a test
// can look into the cores (EEROM, firmware) afterwards. Root only.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "switch/capturebackend.h"
#include "tests/emulator/switch_core.h"

namespace fw::ops_e2e {

class CSegment {
 public:
  // Empty when this host can build segments; else why not.
  static std::string Unavailable();

  // Where the host end of the pair lies: in the test's own namespace, or in
  // one of its own (host_namespace()) for a program run there as a process.
  enum class HostEnd { kHere, kOwnNamespace };

  // `switches` cores with addresses 02:4B:33:<tag>:00:01.. on one new veth pair.
  CSegment(int switches, std::uint8_t tag, HostEnd host = HostEnd::kHere);
  ~CSegment();
  CSegment(const CSegment&) = delete;
  CSegment& operator=(const CSegment&) = delete;

  bool ok() const { return m_ok; }
  const std::string& error() const { return m_error; }
  const std::string& host_end() const { return m_host; }
  const std::string& host_namespace() const { return m_hostNs; }
  // Call only while Lock() is held (the serving thread uses the cores).
  std::vector<std::unique_ptr<emu::CSwitchCore>>& cores() { return m_cores; }
  std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(m_mutex); }
  static std::string MacText(const MacAddress& mac);

 private:
  void Serve(int ns_fd);

  std::string m_ns, m_hostNs, m_host, m_peer, m_error;
  bool m_ok = false;
  std::mutex m_mutex;
  std::vector<std::unique_ptr<emu::CSwitchCore>> m_cores;
  std::atomic<bool> m_stop{false};
  std::atomic<int> m_ready{0};  // 1 serving, -1 failed
  std::thread m_thread;
};

// The process's capture library with the device list cut down to the test's
// own interfaces: a search must never send on the machine's real networks.
class CRestrictedCapture : public ICaptureBackend {
 public:
  explicit CRestrictedCapture(std::set<std::string> allowed);
  bool Usable() const override;
  std::string Version() const override;
  int FindDevices(std::vector<CaptureDevice>* out, std::string* error) override;
  bool AdapterMac(const std::string& device, MacAddress* mac) override;
  std::unique_ptr<ICaptureHandle> Open(const std::string& device, std::string* error) override;

 private:
  std::set<std::string> m_allowed;
};

// Gives a core a catalogue model, name and revision, as the test's switches need.
void Provision(emu::CSwitchCore& core, const std::string& name, const std::string& revision);

}  // namespace fw::ops_e2e
