#include "platform/gui/pump.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <set>
#include <utility>
#include <vector>

#include "platform/gui/wnd.h"

namespace fw {

namespace {

const char* const kAlwaysInput = "fw_always_input";

bool IsUserInput(QEvent::Type t) {
  switch (t) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Close: return true;
    default: return false;
  }
}

struct PumpState {
  bool active = false;
  QPointer<QWidget> allowed;
};
PumpState g_pump;
std::vector<std::pair<std::uint64_t, std::uintptr_t>> g_deferredTimers;

class InputFilter : public QObject {
 public:
  bool eventFilter(QObject* obj, QEvent* e) override {
    if (!g_pump.active || !IsUserInput(e->type()) || !e->spontaneous()) return false;
    auto* w = qobject_cast<QWidget*>(obj);
    if (!w) return false;
    if (PumpAllows(w)) return false;
    if (e->type() == QEvent::Close) e->ignore();
    // Taken by nobody: no accelerator or menu key fires for it either.
    if (e->type() == QEvent::ShortcutOverride) e->accept();
    return true;  // dropped: the wait is not for this window
  }
};

}  // namespace

bool PumpFilterActive() {
  return g_pump.active;
}

bool PumpAllows(const QWidget* widget) {
  if (!g_pump.active) return true;
  for (const QWidget* w = widget; w; w = w->parentWidget()) {
    if (g_pump.allowed && w == g_pump.allowed) return true;
    if (w->property(kAlwaysInput).toBool()) return true;
  }
  return false;
}

void MarkAlwaysAcceptsInput(QWidget* widget) {
  if (widget) widget->setProperty(kAlwaysInput, true);
}

void DeferTimer(std::uint64_t handle, std::uintptr_t id) {
  for (const auto& t : g_deferredTimers)
    if (t.first == handle && t.second == id) return;  // coalesced, as timer messages are
  g_deferredTimers.emplace_back(handle, id);
}

int PumpMessagesFor(int ms, CWnd* allowed) {
  if (ms <= 0) return 0;
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return 0;
  static InputFilter* filter = [app] {
    auto* f = new InputFilter();
    f->setParent(app);
    app->installEventFilter(f);
    return f;
  }();
  (void)filter;

  PumpState saved = g_pump;
  g_pump.active = true;
  g_pump.allowed = allowed ? allowed->widget() : nullptr;

  QElapsedTimer clock;
  clock.start();
  QEventLoop loop;
  QTimer deadline;
  deadline.setSingleShot(true);
  deadline.setTimerType(Qt::PreciseTimer);
  QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  deadline.start(ms);
  loop.exec(QEventLoop::AllEvents);

  g_pump = saved;
  if (!g_pump.active) {
    // Whatever waited for the pump is delivered now, in order.
    std::vector<std::pair<std::uint64_t, std::uintptr_t>> timers;
    timers.swap(g_deferredTimers);
    for (const auto& [handle, id] : timers) {
      const std::uint64_t h = handle;
      const std::uintptr_t timerId = id;
      QTimer::singleShot(0, app, [h, timerId] {
        if (CWnd* w = WndFromHandleId(h)) w->SendMessage(WM_TIMER, timerId, 0);
      });
    }
    ReleaseDeferredMessages();
  }
  qint64 elapsed = clock.elapsed();
  return elapsed > ms ? static_cast<int>(elapsed - ms) : 0;
}

}  // namespace fw
