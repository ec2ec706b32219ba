#include "tests/e2e/ops_net.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/if_packet.h>
#include <net/ethernet.h>
#include <net/if.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>

#include "platform/clock.h"
#include "tests/e2e/netns_check.h"

extern char** environ;

namespace fw::ops_e2e {
namespace {

const char* IpPath() {
  for (const char* p : {"/usr/sbin/ip", "/sbin/ip", "/usr/bin/ip"})
    if (access(p, X_OK) == 0) return p;
  return nullptr;
}

// Runs a command without a shell, its output discarded; true when it exited
// with 0 within ten seconds.
bool Run(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  int status = 0;
  for (int waited = 0; waited < 10000; waited += 10) {
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return false;
}

}  // namespace

std::string CSegment::Unavailable() {
  return fw::test::NetnsUnavailable();
}

std::string CSegment::MacText(const MacAddress& m) {
  char text[18];
  std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x", m[0], m[1], m[2], m[3], m[4],
                m[5]);
  return text;
}

CSegment::CSegment(int switches, std::uint8_t tag, HostEnd host) {
  for (int i = 0; i < switches; ++i) {
    const MacAddress mac{0x02,
                         0x4B,
                         0x33,
                         tag,
                         static_cast<std::uint8_t>((i + 1) >> 8),
                         static_cast<std::uint8_t>(i + 1)};
    m_cores.push_back(std::make_unique<emu::CSwitchCore>(mac, 9));
  }
  const std::string ip = IpPath() ? IpPath() : "ip";
  // Names carry the whole process id: test runs of other build trees make
  // segments on the same machine at the same time, and a run that was killed
  // leaves its names behind. A name still taken is passed over.
  static std::atomic<int> serial{0};
  bool made = false;
  for (int attempt = 0; attempt < 20 && !made; ++attempt) {
    const std::string id = std::to_string(getpid()) + "o" + std::to_string(serial++);
    m_ns = "fwops" + id;
    m_host = "foh" + id;
    m_peer = "fos" + id;
    if (access(("/sys/class/net/" + m_host).c_str(), F_OK) == 0 ||
        access(("/var/run/netns/" + m_ns).c_str(), F_OK) == 0 || !Run({ip, "netns", "add", m_ns}))
      continue;
    made = Run({ip, "link", "add", m_host, "type", "veth", "peer", "name", m_peer, "netns", m_ns});
    if (!made) Run({ip, "netns", "del", m_ns});
  }
  if (!made || !Run({ip, "link", "set", m_host, "up"}) ||
      !Run({ip, "-n", m_ns, "link", "set", m_peer, "promisc", "on", "up"})) {
    m_error = "cannot create the namespace and veth pair";
    return;
  }
  if (host == HostEnd::kOwnNamespace) {
    m_hostNs = m_ns + "h";
    if (!Run({ip, "netns", "add", m_hostNs}) ||
        !Run({ip, "link", "set", m_host, "netns", m_hostNs}) ||
        !Run({ip, "-n", m_hostNs, "link", "set", "lo", "up"}) ||
        !Run({ip, "-n", m_hostNs, "link", "set", m_host, "up"})) {
      m_error = "cannot move the host end into a namespace of its own";
      return;
    }
  }
  const int ns_fd = open(("/var/run/netns/" + m_ns).c_str(), O_RDONLY | O_CLOEXEC);
  if (ns_fd < 0) {
    m_error = "cannot open the namespace";
    return;
  }
  m_thread = std::thread([this, ns_fd] { Serve(ns_fd); });
  for (int i = 0; i < 500 && m_ready == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  m_ok = m_ready == 1;
  if (!m_ok) m_error = "the switch thread could not serve the far end";
}

void CSegment::Serve(int ns_fd) {
  // Only this thread moves into the namespace.
  const bool entered = setns(ns_fd, CLONE_NEWNET) == 0;
  close(ns_fd);
  const int fd = entered ? ::socket(AF_PACKET, SOCK_RAW | SOCK_CLOEXEC, htons(ETH_P_ALL)) : -1;
  sockaddr_ll addr{};
  addr.sll_family = AF_PACKET;
  addr.sll_protocol = htons(ETH_P_ALL);
  addr.sll_ifindex = static_cast<int>(if_nametoindex(m_peer.c_str()));
  if (fd < 0 || addr.sll_ifindex == 0 ||
      ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    if (fd >= 0) ::close(fd);
    m_ready = -1;
    return;
  }
  m_ready = 1;
  CSteadyClock clock;
  std::vector<std::uint8_t> buf(2048);
  while (!m_stop) {
    pollfd pfd{fd, POLLIN, 0};
    if (::poll(&pfd, 1, 50) <= 0) continue;
    sockaddr_ll from{};
    socklen_t fromlen = sizeof from;
    const ssize_t n =
        ::recvfrom(fd, buf.data(), buf.size(), 0, reinterpret_cast<sockaddr*>(&from), &fromlen);
    if (n <= 0 || from.sll_pkttype == PACKET_OUTGOING) continue;
    std::vector<emu::Outgoing> out;
    {
      std::lock_guard lock(m_mutex);
      for (auto& core : m_cores) {
        for (auto& o : core->Handle({buf.data(), static_cast<std::size_t>(n)}, clock.Now()))
          out.push_back(std::move(o));
      }
    }
    for (auto& o : out) ::send(fd, o.frame.data(), o.frame.size(), 0);
  }
  ::close(fd);
}

CSegment::~CSegment() {
  m_stop = true;
  if (m_thread.joinable()) m_thread.join();
  const std::string ip = IpPath() ? IpPath() : "ip";
  // The pair goes at once, not whenever the namespace is torn down.
  if (m_ok && m_hostNs.empty()) Run({ip, "link", "del", m_host});
  Run({ip, "netns", "del", m_ns});
  if (!m_hostNs.empty()) Run({ip, "netns", "del", m_hostNs});
}

CRestrictedCapture::CRestrictedCapture(std::set<std::string> allowed)
    : m_allowed(std::move(allowed)) {}
bool CRestrictedCapture::Usable() const {
  return ProcessCaptureBackend().Usable();
}
std::string CRestrictedCapture::Version() const {
  return ProcessCaptureBackend().Version();
}
int CRestrictedCapture::FindDevices(std::vector<CaptureDevice>* out, std::string* error) {
  std::vector<CaptureDevice> all;
  if (ProcessCaptureBackend().FindDevices(&all, error) < 0) return -1;
  for (auto& d : all)
    if (m_allowed.count(d.name)) out->push_back(std::move(d));
  return static_cast<int>(out->size());
}
bool CRestrictedCapture::AdapterMac(const std::string& device, MacAddress* mac) {
  return m_allowed.count(device) && ProcessCaptureBackend().AdapterMac(device, mac);
}
std::unique_ptr<ICaptureHandle> CRestrictedCapture::Open(const std::string& device,
                                                         std::string* error) {
  if (!m_allowed.count(device)) {
    *error = "not a test interface: " + device + "\n";
    return nullptr;
  }
  return ProcessCaptureBackend().Open(device, error);
}

void Provision(emu::CSwitchCore& core, const std::string& name, const std::string& revision) {
  auto& e = core.eerom();
  const std::uint8_t id[6] = {0, 1, 0, 9, 0, 1};  // QV-9KP-1
  std::copy(id, id + 6, e.begin() + 280);
  core.SetName(name);
  core.SetRevision(revision);
  // Automatic master selection, as a unit leaves the factory.
  for (int r = 0; r < 4; ++r) e[772 + 8 * r] = 0;
}

}  // namespace fw::ops_e2e
