// A QApplication for the tests that need windows, fonts or painting.
#pragma once

#include <QApplication>
#include <cstdlib>

namespace fwtest {

inline QApplication* EnsureGuiApp() {
  static int argc = 1;
  static char name[] = "test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    return new QApplication(argc, argv);
  }();
  return app;
}

}  // namespace fwtest
