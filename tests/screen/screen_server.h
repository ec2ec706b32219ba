// A virtual X server of the screen tests' own, on the first free display
// from :91 on. Started before the application object connects to it.
#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <filesystem>
#include <string>

namespace fwscreen {

// Starts the server; the display (":91") or empty without Xvfb or a free display.
inline std::string StartVirtualServer(QProcess& server) {
  const QString xvfb = QStandardPaths::findExecutable("Xvfb");
  if (xvfb.isEmpty()) return {};
  for (int n = 91; n < 140; ++n) {
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
    const std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
    if (std::filesystem::exists(socket) || std::filesystem::exists(lock)) continue;
    server.start(xvfb, {QString(":%1").arg(n), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
    for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i) QThread::msleep(50);
    if (std::filesystem::exists(socket)) return ":" + std::to_string(n);
    return {};
  }
  return {};
}

inline void StopVirtualServer(QProcess& server) {
  if (server.state() == QProcess::NotRunning) return;
  server.terminate();
  if (!server.waitForFinished(5000)) server.kill();
  server.waitForFinished(5000);
}

}  // namespace fwscreen
