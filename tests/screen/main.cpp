// The screen tests run against a virtual X server of their own: it is
// started before the application object connects to it and stopped at the
// end. Without the server's program every test skips.
#include <gtest/gtest.h>

#include <QGuiApplication>
#ifdef FW_SCREEN_WIDGETS
#include <QApplication>
using ScreenApp = QApplication;  // tests that build windows in process
#else
using ScreenApp = QGuiApplication;
#endif
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "screen_env.h"

namespace fwscreen {
std::string& Display() {
  static std::string display;
  return display;
}
}  // namespace fwscreen

int main(int argc, char** argv) {
  bool listing = false;
  for (int i = 1; i < argc; ++i) listing |= std::string(argv[i]) == "--gtest_list_tests";
  ::testing::InitGoogleTest(&argc, argv);
  // Listing the tests needs no server.
  const QString xvfb = listing ? QString() : QStandardPaths::findExecutable("Xvfb");
  QProcess server;
  if (!xvfb.isEmpty()) {
    for (int n = 91; n < 140; ++n) {
      const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
      const std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
      if (std::filesystem::exists(socket) || std::filesystem::exists(lock)) continue;
      server.start(xvfb,
                   {QString(":%1").arg(n), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
      for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i) QThread::msleep(50);
      if (std::filesystem::exists(socket)) fwscreen::Display() = ":" + std::to_string(n);
      break;
    }
  }
  int result = 0;
  if (fwscreen::Display().empty()) {
    // No server: the tests say so and skip.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ScreenApp app(argc, argv);
    result = RUN_ALL_TESTS();
  } else {
    setenv("DISPLAY", fwscreen::Display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    ScreenApp app(argc, argv);
    result = RUN_ALL_TESTS();
  }
  if (server.state() != QProcess::NotRunning) {
    server.terminate();
    if (!server.waitForFinished(5000)) server.kill();
    server.waitForFinished(5000);
  }
  return result;
}
