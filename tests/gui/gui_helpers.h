// Helpers shared by the window tests.
#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/services.h"
#include "platform/gui/wnd.h"
#include "platform/resourcebundle.h"

namespace fwtest {

// Processes events until cond holds or the bound passes; returns cond().
inline bool WaitFor(const std::function<bool()>& cond, int boundMs = 3000) {
  QDeadlineTimer deadline(boundMs);
  while (!cond() && !deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
  return cond();
}

inline void Drain() {
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

// Makes a top-level window active so focus changes are real.
inline void Activate(QWidget* w) {
  w->show();
  w->activateWindow();
  QApplication::setActiveWindow(w);
  WaitFor([w] { return QApplication::activeWindow() == w; }, 1000);
}

// Types the key count times into the window (as a user types it) and gives
// the id of the control that has the focus after each: the focus window's,
// or, given `controlsOf`, that of its child the focus is in (a grid's cells
// count as the grid).
inline std::vector<int> FocusWalk(QWidget* window, Qt::Key key, Qt::KeyboardModifiers mods,
                                  int count, const QWidget* controlsOf = nullptr) {
  std::vector<int> ids;
  for (int i = 0; i < count; ++i) {
    QTest::keyClick(window->windowHandle(), key, mods);
    Drain();
    QWidget* w = QApplication::focusWidget();
    while (controlsOf && w && w->parentWidget() != controlsOf) w = w->parentWidget();
    CWnd* c = CWnd::FromHandle(w);
    ids.push_back(c ? c->GetDlgCtrlID() : 0);
  }
  return ids;
}

// Installs a parsed script as the current bundle for the life of a scope.
class ScopedBundle {
 public:
  explicit ScopedBundle(const std::string& script) : m_previous(fw::CurrentResources()) {
    std::string error;
    m_bundle = fw::CResourceBundle::Parse(script, &error);
    m_error = error;
    fw::SetCurrentResources(m_bundle.get());
  }
  ~ScopedBundle() { fw::SetCurrentResources(m_previous); }
  bool ok() const { return m_bundle != nullptr; }
  const std::string& error() const { return m_error; }

 private:
  const fw::CResourceBundle* m_previous;
  std::unique_ptr<fw::CResourceBundle> m_bundle;
  std::string m_error;
};

// Puts a file dialog service (null: Qt's own dialogs) in place for a scope and
// the one before back at its end.
class ScopedFileDialogService {
 public:
  explicit ScopedFileDialogService(fw::IFileDialogService* service)
      : m_previous(fw::SetFileDialogService(service)) {}
  ~ScopedFileDialogService() { fw::SetFileDialogService(m_previous); }
  ScopedFileDialogService(const ScopedFileDialogService&) = delete;
  ScopedFileDialogService& operator=(const ScopedFileDialogService&) = delete;

 private:
  fw::IFileDialogService* m_previous;
};

}  // namespace fwtest
