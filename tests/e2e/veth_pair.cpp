#include "tests/e2e/veth_pair.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "tests/e2e/netns_check.h"

extern char** environ;

namespace fw::test {
namespace {

constexpr const char* kIp = "/usr/sbin/ip";
const char* IpPath() {
  static const char* path =
      access(kIp, X_OK) == 0 ? kIp
                             : (access("/sbin/ip", X_OK) == 0
                                    ? "/sbin/ip"
                                    : (access("/usr/bin/ip", X_OK) == 0 ? "/usr/bin/ip" : nullptr));
  return path;
}

// Waits at most timeout_ms for the child; kills it when it overstays.
bool WaitChild(pid_t pid, int timeout_ms, int* status) {
  for (int waited = 0; waited <= timeout_ms; waited += 10) {
    const pid_t r = waitpid(pid, status, WNOHANG);
    if (r == pid) return true;
    if (r < 0) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid, SIGKILL);
  waitpid(pid, status, 0);
  return false;
}

pid_t Spawn(const std::vector<std::string>& args, int out_fd) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (out_fd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, out_fd, STDOUT_FILENO);
  }
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

std::string Trim(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
  return s;
}

}  // namespace

bool RunCommand(const std::vector<std::string>& args, std::string* output) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  const pid_t pid = Spawn(args, fds[1]);
  close(fds[1]);
  if (pid < 0) {
    close(fds[0]);
    return false;
  }
  std::string out;
  char buf[512];
  for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;)
    out.append(buf, static_cast<std::size_t>(n));
  close(fds[0]);
  int status = 0;
  const bool ended = WaitChild(pid, 10000, &status);
  if (output) *output = out;
  return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string CVethSwitch::Unavailable() {
  return fw::test::NetnsUnavailable();
}

CVethSwitch::CVethSwitch() {
  static std::atomic<int> serial{0};
  const std::string id = std::to_string(getpid() % 100000) + "x" + std::to_string(serial++);
  m_ns = "fwe2e" + id;
  m_host = "fwh" + id;
  m_peer = "fws" + id;
  m_dump = (std::filesystem::temp_directory_path() / ("fwe2e" + id + ".eerom")).string();
  const std::string ip = IpPath() ? IpPath() : kIp;
  if (!RunCommand({ip, "netns", "add", m_ns}) ||
      !RunCommand(
          {ip, "link", "add", m_host, "type", "veth", "peer", "name", m_peer, "netns", m_ns}) ||
      !RunCommand({ip, "link", "set", m_host, "up"}) ||
      !RunCommand({ip, "-n", m_ns, "link", "set", m_peer, "up"}) ||
      !RunCommand({ip, "netns", "exec", m_ns, "cat", "/sys/class/net/" + m_peer + "/address"},
                  &switch_mac_)) {
    m_error = "cannot create the namespace and veth pair";
    return;
  }
  switch_mac_ = Trim(switch_mac_);
  m_pid = Spawn({ip, "netns", "exec", m_ns, FW_SWITCH_EMULATOR, m_peer, "--lifetime", "300",
                 "--dump", m_dump},
                -1);
  if (m_pid < 0) {
    m_error = "cannot start the software switch";
    return;
  }
  m_ok = true;
}

bool CVethSwitch::Stop() {
  if (m_pid < 0) return false;
  kill(m_pid, SIGTERM);
  int status = 0;
  const bool ended = WaitChild(m_pid, 5000, &status);
  m_pid = -1;
  return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

CVethSwitch::~CVethSwitch() {
  Stop();
  const std::string ip = IpPath() ? IpPath() : kIp;
  // Deleting the namespace takes its veth end, and with it the host end.
  RunCommand({ip, "netns", "del", m_ns});
  std::error_code ec;
  if (std::filesystem::exists("/sys/class/net/" + m_host, ec))
    RunCommand({ip, "link", "del", m_host});
  std::filesystem::remove(m_dump, ec);
}

}  // namespace fw::test
