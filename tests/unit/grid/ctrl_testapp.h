// A QApplication for the grid tests that need fonts, windows or painting.
// It is deleted when the test program ends, so font and window resources are
// released before the leak check runs.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

namespace gridtest {

inline QApplication*& AppSlot() {
  static QApplication* app = nullptr;
  return app;
}

class AppEnvironment : public ::testing::Environment {
 public:
  void TearDown() override {
    delete AppSlot();
    AppSlot() = nullptr;
  }
};

inline QApplication* EnsureApp() {
  static int argc = 1;
  static char name[] = "test";
  static char* argv[] = {name, nullptr};
  if (!AppSlot()) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    AppSlot() = new QApplication(argc, argv);
    static bool registered = (::testing::AddGlobalTestEnvironment(new AppEnvironment), true);
    (void)registered;
  }
  return AppSlot();
}

}  // namespace gridtest
