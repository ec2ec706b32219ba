// The real programs on the screen tests' virtual server: started with a
// settings and runtime folder of their own inside the test's folder, ended
// whatever the test did.
#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>
#include <filesystem>
#include <functional>

#include "screen_env.h"
#include "tests/common/test_util.h"

namespace fwscreen {

// Starts `program` with `args` on the virtual display; its settings live in
// dir/config and its runtime files in dir/run.
inline void StartProgram(QProcess& process, const fw::test::TempDir& dir, const QString& program,
                         const QStringList& args = {}) {
  std::filesystem::create_directories(dir.file("run"));
  std::filesystem::permissions(dir.file("run"), std::filesystem::perms::owner_all);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("DISPLAY", QString::fromStdString(Display()));
  env.insert("QT_QPA_PLATFORM", "xcb");
  env.insert("XDG_CONFIG_HOME", QString::fromStdString(dir.file("config")));
  env.insert("XDG_RUNTIME_DIR", QString::fromStdString(dir.file("run")));
  env.insert("ASAN_OPTIONS", "detect_leaks=0");
  process.setProcessEnvironment(env);
  process.setProcessChannelMode(QProcess::ForwardedChannels);
  process.start(program, args);
}

// Asks the program to end, then makes it.
inline void EndProgram(QProcess& process) {
  if (process.state() == QProcess::NotRunning) return;
  process.terminate();
  if (!process.waitForFinished(10000)) process.kill();
  process.waitForFinished(5000);
}

// Polls until the condition holds or the bound passes; the last answer.
inline bool WaitUntil(const std::function<bool()>& cond, int boundMs) {
  QDeadlineTimer deadline(boundMs);
  while (!cond() && !deadline.hasExpired()) QThread::msleep(100);
  return cond();
}

}  // namespace fwscreen
