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

  bool ok() const { return ok_; }
  const std::string& error() const { return error_; }
  const std::string& host_end() const { return host_; }
  const std::string& switch_mac() const { return switch_mac_; }  // lower-case text
  const std::string& dump_path() const { return dump_; }
  // Stops the switch; it writes its EEROM image to dump_path(). True when it ended.
  bool Stop();

 private:
  std::string ns_, host_, peer_, dump_, switch_mac_, error_;
  pid_t pid_ = -1;
  bool ok_ = false;
};

// Runs a command without a shell; true when it exited with 0.
bool RunCommand(const std::vector<std::string>& args, std::string* output = nullptr);

}  // namespace fw::test
