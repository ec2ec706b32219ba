// A program run as a process of its own inside a network namespace, for the
// tests and benchmarks that watch a whole program from outside.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace fw::test {

inline const char* NetnsIpPath() {
  for (const char* p : {"/usr/sbin/ip", "/sbin/ip", "/usr/bin/ip", "/bin/ip"})
    if (access(p, X_OK) == 0) return p;
  return nullptr;
}

// A program started in a network namespace, its output in a file; ended
// with SIGTERM, and SIGKILL when that is not enough.
class CNetnsProgram {
 public:
  CNetnsProgram(const std::string& ns, const std::vector<std::string>& args,
                const std::vector<std::string>& env, const std::string& output)
      : m_output(output) {
    std::vector<std::string> all = {NetnsIpPath(), "netns", "exec", ns};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv, envp;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env_copy = env;
    for (auto& e : env_copy) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~CNetnsProgram() { (void)End(); }
  CNetnsProgram(const CNetnsProgram&) = delete;
  CNetnsProgram& operator=(const CNetnsProgram&) = delete;

  bool started() const { return m_pid > 0; }
  bool Running() {
    if (m_pid <= 0) return false;
    if (waitpid(m_pid, &m_status, WNOHANG) != m_pid) return true;
    m_pid = -1;
    return false;
  }
  // True when the program was still running and ended on SIGTERM in time.
  bool End() {
    if (!Running()) return false;
    kill(m_pid, SIGTERM);
    for (int waited = 0; waited < 10000; waited += 20) {
      if (waitpid(m_pid, &m_status, WNOHANG) == m_pid) {
        m_pid = -1;
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(m_pid, SIGKILL);
    waitpid(m_pid, &m_status, 0);
    m_pid = -1;
    return false;
  }
  std::string Output() const {
    std::ifstream in(m_output);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

 private:
  std::string m_output;
  pid_t m_pid = -1;
  int m_status = 0;
};

// The program's environment: no screen, settings and instance locks in
// `dir` (its "run" folder must exist, private to the user).
inline std::vector<std::string> ProgramEnvironment(const std::string& dir) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('='));
    if (name != "QT_QPA_PLATFORM" && name != "XDG_CONFIG_HOME" && name != "XDG_RUNTIME_DIR" &&
        name != "DISPLAY" && name != "WAYLAND_DISPLAY")
      env.push_back(entry);
  }
  env.push_back("QT_QPA_PLATFORM=offscreen");
  env.push_back("XDG_CONFIG_HOME=" + dir + "/config");
  env.push_back("XDG_RUNTIME_DIR=" + dir + "/run");
  return env;
}

}  // namespace fw::test
