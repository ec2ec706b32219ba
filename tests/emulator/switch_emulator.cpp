// The software switch on a real interface (one end of a veth pair inside a
// network namespace). It answers until it is told to stop or its lifetime
// ends, then writes its EEROM image to the dump file when one was named.
//
//   switch_emulator <interface> [--lifetime seconds] [--dump file] [--ports n]
#include <arpa/inet.h>
#include <linux/if_packet.h>
#include <net/ethernet.h>
#include <net/if.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "tests/emulator/switch_core.h"

namespace {

std::atomic<bool> g_stop{false};
void OnSignal(int) {
  g_stop = true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <interface> [--lifetime s] [--dump file] [--ports n]\n",
                 argv[0]);
    return 2;
  }
  const std::string ifname = argv[1];
  int lifetime = 120;
  int ports = 9;
  std::string dump;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string opt = argv[i];
    if (opt == "--lifetime")
      lifetime = std::atoi(argv[i + 1]);
    else if (opt == "--dump")
      dump = argv[i + 1];
    else if (opt == "--ports")
      ports = std::atoi(argv[i + 1]);
  }
  std::signal(SIGTERM, OnSignal);
  std::signal(SIGINT, OnSignal);

  const int fd = ::socket(AF_PACKET, SOCK_RAW | SOCK_CLOEXEC, htons(ETH_P_ALL));
  if (fd < 0) {
    std::perror("socket");
    return 1;
  }
  ifreq req{};
  std::strncpy(req.ifr_name, ifname.c_str(), IFNAMSIZ - 1);
  if (::ioctl(fd, SIOCGIFINDEX, &req) != 0) {
    std::perror("SIOCGIFINDEX");
    return 1;
  }
  const int index = req.ifr_ifindex;
  if (::ioctl(fd, SIOCGIFHWADDR, &req) != 0) {
    std::perror("SIOCGIFHWADDR");
    return 1;
  }
  fw::MacAddress mac{};
  std::memcpy(mac.data(), req.ifr_hwaddr.sa_data, 6);
  sockaddr_ll addr{};
  addr.sll_family = AF_PACKET;
  addr.sll_protocol = htons(ETH_P_ALL);
  addr.sll_ifindex = index;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    std::perror("bind");
    return 1;
  }

  fw::emu::CSwitchCore core(mac, ports);
  fw::CSteadyClock clock;
  const std::uint64_t end = clock.Now() + static_cast<std::uint64_t>(lifetime) * 1000;
  std::printf("ready\n");
  std::fflush(stdout);
  std::vector<std::uint8_t> buf(2048);
  while (!g_stop && clock.Now() < end) {
    pollfd pfd{fd, POLLIN, 0};
    if (::poll(&pfd, 1, 100) <= 0) continue;
    sockaddr_ll from{};
    socklen_t fromlen = sizeof from;
    const ssize_t n =
        ::recvfrom(fd, buf.data(), buf.size(), 0, reinterpret_cast<sockaddr*>(&from), &fromlen);
    if (n <= 0 || from.sll_pkttype == PACKET_OUTGOING) continue;
    for (auto& out : core.Handle({buf.data(), static_cast<std::size_t>(n)}, clock.Now())) {
      const std::uint64_t now = clock.Now();
      if (out.due > now) clock.Wait(static_cast<std::uint32_t>(out.due - now));
      ::send(fd, out.frame.data(), out.frame.size(), 0);
    }
  }
  ::close(fd);
  if (!dump.empty()) {
    std::ofstream f(dump, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(core.eerom().data()),
            static_cast<std::streamsize>(core.eerom().size()));
  }
  return 0;
}
