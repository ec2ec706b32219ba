// The configuration sheet in edit mode on a nine-port gigabit configuration:
// from DoModal to the first painted window, then each page switch until the
// new page has painted, first visits (pages and grids being created) and
// later ones. Times are wall clock per iteration.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <functional>

#include "platform/resstring.h"
#include "tools/cfgpsheet.h"

namespace {

using Clock = std::chrono::steady_clock;

// Sees the next paint of a chosen window and notes when that paint has
// finished: the zero timer runs once the paint event that armed it returned.
class PaintWatch : public QObject {
 public:
  void Arm(std::function<bool(QObject*)> match) {
    m_match = std::move(match);
    m_done = false;
    m_armed = false;
  }
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() == QEvent::Paint && !m_armed && m_match && m_match(object)) {
      m_armed = true;
      QTimer::singleShot(0, this, [this] {
        m_end = Clock::now();
        m_done = true;
      });
    }
    return false;
  }
  // Waits (bounded) for the paint; its end, or now when none came.
  Clock::time_point Wait() {
    QDeadlineTimer deadline(5000);
    while (!m_done && !deadline.hasExpired())
      QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
    return m_done ? m_end : Clock::now();
  }

 private:
  std::function<bool(QObject*)> m_match;
  bool m_armed = false;
  bool m_done = false;
  Clock::time_point m_end;
};

std::function<bool(QObject*)> Is(CWnd& wnd) {
  return [&wnd](QObject* o) { return wnd.widget() && o == wnd.widget(); };
}

void PrepareNinePorts(CCfgPSheet& sheet) {
  sheet.SetMode(1);
  CSwitchConfig& cfg = sheet.GetConfig();
  cfg.SetName("Bench");
  cfg.SetPortCount(9);
  cfg.SetPartNumber(LoadResString(6009));
}

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// A fresh sheet per iteration: first paint, then the first visit of every page.
void BM_SheetOpenAndWalk(benchmark::State& state) {
  PaintWatch watch;
  qApp->installEventFilter(&watch);
  double firstPaint = 0, pages[6] = {};
  for (auto _ : state) {
    CCfgPSheet sheet;
    PrepareNinePorts(sheet);
    double total = 0;
    const Clock::time_point start = Clock::now();
    watch.Arm(Is(sheet));
    QTimer::singleShot(0, [&] {
      const double open = Ms(watch.Wait() - start);
      firstPaint += open;
      total += open;
      for (int i = 1; i < 6; ++i) {
        CPropertyPage& page = *sheet.GetPage(i);
        watch.Arm(Is(page));
        const Clock::time_point t0 = Clock::now();
        sheet.SetActivePage(i);
        const double switched = Ms(watch.Wait() - t0);
        pages[i] += switched;
        total += switched;
      }
      sheet.EndDialog(IDCANCEL);
    });
    (void)sheet.DoModal();  // the walk ends it with Cancel
    state.SetIterationTime(total / 1000.0);
  }
  qApp->removeEventFilter(&watch);
  const double n = static_cast<double>(state.iterations());
  state.counters["first_paint_ms"] = firstPaint / n;
  static const char* const kNames[] = {
      "", "ports_ms", "rings_ms", "priorities_ms", "mirroring_ms", "ok_output_ms"};
  for (int i = 1; i < 6; ++i) state.counters[kNames[i]] = pages[i] / n;
}
BENCHMARK(BM_SheetOpenAndWalk)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// One open sheet, every page already made: a switch to the page in the argument.
void BM_SheetPageSwitch(benchmark::State& state) {
  const int target = static_cast<int>(state.range(0));
  PaintWatch watch;
  qApp->installEventFilter(&watch);
  CCfgPSheet sheet;
  PrepareNinePorts(sheet);
  QTimer::singleShot(0, [&] {
    for (int i = 0; i < 6; ++i) sheet.SetActivePage(i);
    for (auto _ : state) {
      const int from = target == 0 ? 5 : target - 1;
      watch.Arm(Is(*sheet.GetPage(from)));
      sheet.SetActivePage(from);
      watch.Wait();
      const Clock::time_point t0 = Clock::now();
      watch.Arm(Is(*sheet.GetPage(target)));
      sheet.SetActivePage(target);
      state.SetIterationTime(std::chrono::duration<double>(watch.Wait() - t0).count());
    }
    sheet.EndDialog(IDCANCEL);
  });
  (void)sheet.DoModal();  // the loop ends it with Cancel
  qApp->removeEventFilter(&watch);
}
BENCHMARK(BM_SheetPageSwitch)
    ->DenseRange(0, 5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
