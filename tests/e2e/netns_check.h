// Whether this machine lets the tests make network namespaces and veth pairs:
// an empty text when it does, else why not (the tests then skip).
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace fw::test {

inline std::string NetnsUnavailable() {
  static const std::string why = []() -> std::string {
    if (geteuid() != 0) return "needs root (network namespaces and raw sockets)";
    const char* ip = nullptr;
    for (const char* p : {"/usr/sbin/ip", "/sbin/ip", "/usr/bin/ip", "/bin/ip"})
      if (access(p, X_OK) == 0) {
        ip = p;
        break;
      }
    if (!ip) return "the ip command (iproute2) is missing";
    // Root inside a restricted container may still be refused namespaces.
    const std::string probe = "fwprobe" + std::to_string(getpid());
    const std::string add = std::string(ip) + " netns add " + probe + " >/dev/null 2>&1";
    const std::string del = std::string(ip) + " netns delete " + probe + " >/dev/null 2>&1";
    if (std::system(add.c_str()) != 0) return "network namespaces cannot be made here";
    std::system(del.c_str());
    return {};
  }();
  return why;
}

}  // namespace fw::test
