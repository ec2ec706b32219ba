// A veth pair whose far end sits in a network namespace of its own, with the
// software switch program running there. Root only; everything is removed
// again when the object goes, also after a failed test.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace fw::test {

class CVethSwitch {
 public:
  // Empty when the host can run it; else why not (the test skips).
  static std::string Unavailable();

  CVethSwitch();
  ~CVethSwitch();
  CVethSwitch(const CVethSwitch&) = delete;
  CVethSwitch& operator=(const CVethSwitch&) = delete;

  bool ok() const { return m_ok; }
  const std::string& error() const { return m_error; }
  const std::string& host_end() const { return m_host; }
  const std::string& switch_mac() const { return switch_mac_; }  // lower-case text
  const std::string& dump_path() const { return m_dump; }
  // Stops the switch; it writes its EEROM image to dump_path(). True when it ended.
  bool Stop();

 private:
  std::string m_ns, m_host, m_peer, m_dump, switch_mac_, m_error;
  pid_t m_pid = -1;
  bool m_ok = false;
};

// Runs a command without a shell; true when it exited with 0.
bool RunCommand(const std::vector<std::string>& args, std::string* output = nullptr);

}  // namespace fw::test
