// The screen tests run against a virtual X server of their own: it is
// started before the application object connects to it and stopped at the
// end. Without the server's program every test skips.
#include <gtest/gtest.h>

#include <QProcess>
#ifdef FW_SCREEN_WIDGETS
#include <QApplication>
using ScreenApp = QApplication;  // in-process window tests
#else
#include <QGuiApplication>
using ScreenApp = QGuiApplication;
#endif
#include <cstdlib>
#include <string>

#include "screen_env.h"
#include "screen_server.h"
#include "tests/common/qt_threads.h"

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
  QProcess server;
  if (!listing) fwscreen::Display() = fwscreen::StartVirtualServer(server);
  if (fwscreen::Display().empty()) {
    // No server: the tests say so and skip.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  } else {
    setenv("DISPLAY", fwscreen::Display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
  }
  const int result = fwtest::RunTestsUnder<ScreenApp>(argc, argv);
  fwscreen::StopVirtualServer(server);
  return result;
}
