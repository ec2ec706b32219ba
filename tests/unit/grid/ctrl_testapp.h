// A QApplication for the grid tests that need fonts, windows or painting.
#pragma once

#include <QApplication>
#include <cstdlib>

namespace gridtest {

inline QApplication* EnsureApp() {
  static int argc = 1;
  static char name[] = "test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    return new QApplication(argc, argv);
  }();
  return app;
}

}  // namespace gridtest
