// The other copy in the single-instance tests: instance_helper <class name>
// claims the class and holds it until its input closes (or a bound passes).
// Exit codes: 0 held and gave it up, 3 another copy runs, 2 bad use.
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

#include "platform/gui/singleinstance.h"

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  if (!CheckSingleInstance(128, argv[1])) return 3;
  QWidget window;
  window.show();
  QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated, [&] {
    char buf[64];
    if (read(STDIN_FILENO, buf, sizeof buf) <= 0) app.quit();
  });
  QTimer::singleShot(30000, &app, &QApplication::quit);
  std::puts("ready");
  std::fflush(stdout);
  app.exec();
  UnregisterMainWindowClass();
  return 0;
}
