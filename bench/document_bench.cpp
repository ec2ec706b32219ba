// A project of 1,000 switches and 200 configurations: opening it into the
// project document with both list grids and painting them once, and sorting
// each list by every column with a heading click.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QMouseEvent>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/fenwardledoc.h"
#include "platform/gui/view.h"
#include "platform/message.h"
#include "platform/profile.h"
#include "switch/projectfile.h"
#include "tools/configlistgrid.h"
#include "tools/indexpair.h"
#include "tools/switchlistgrid.h"

namespace {

constexpr int kSwitches = 1000;
constexpr int kConfigs = 200;

// The project file, written once into a folder of its own.
const std::string& ProjectPath() {
  static const std::string path = [] {
    char tmpl[] = "/tmp/fwbenchXXXXXX";
    const std::string dir = mkdtemp(tmpl) ? tmpl : "/tmp";
    CSwitchConfigStore store(0);
    CSwitchList switches;
    const char* parts[] = {"QV-5KP-1", "QV-9KP-1", "MW-6KP-1"};
    for (int i = 0; i < kConfigs; ++i) {
      CSwitchConfig c;
      c.SetName("Configuration " + std::to_string((i * 37) % kConfigs));
      c.SetPortCount(i % 3 == 1 ? 9 : 5);
      benchmark::DoNotOptimize(store.Add(c));
    }
    for (int i = 0; i < kSwitches; ++i) {
      CSwitchEntry e;
      e.SetName("Switch " + std::to_string((i * 7919) % kSwitches));
      char mac[9];
      std::snprintf(mac, sizeof mac, "%02X:%02X:%02X", (i * 13) & 0xFF, (i >> 8) & 0xFF, i & 0xFF);
      e.SetMac(mac);
      e.SetPartFromText(parts[i % 3], "");
      e.GetConfig().SetName("Configuration " + std::to_string(i % (kConfigs + 20)));
      e.SetModbusEnable(i % 2);
      benchmark::DoNotOptimize(switches.Add(e));
    }
    const std::string file = dir + "/big.zcf";
    if (fw::SaveProjectFile(file, store, switches) != fw::kProjectOk)
      std::fprintf(stderr, "cannot write %s\n", file.c_str());
    return file;
  }();
  return path;
}

class CPanesView : public CView {
 public:
  CSwitchListGrid* switches = nullptr;
  CConfigListGrid* configs = nullptr;
  void OnUpdate(CView*, LPARAM, CObject* object) override {
    if (auto* pair = dynamic_cast<CIndexPair*>(object)) {
      switches->OnProjectHint(pair->first, pair->second);
      configs->OnProjectHint(pair->first, pair->second);
    }
  }
};

// The main window's two panes over a project document.
struct Project {
  fw::CProfile profile;
  CWnd host;
  CConfigListGrid configs;
  CSwitchListGrid switches;
  CPanesView panes;
  std::unique_ptr<CFenwardleDoc> doc;

  Project() {
    fw::SetAppProfile(&profile);
    doc = std::make_unique<CFenwardleDoc>();
    // Without the host and its grids there is nothing to measure.
    if (!host.CreateEx(0, "", "bench", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 1000, 700), nullptr,
                       0) ||
        !configs.CreateGrid(WS_VISIBLE, CRect(0, 0, 220, 680), &host, 1234) ||
        !switches.CreateGrid(WS_VISIBLE, CRect(230, 0, 990, 680), &host, 1235))
      std::abort();
    configs.SetProject(doc.get());
    switches.SetProject(doc.get());
    panes.switches = &switches;
    panes.configs = &configs;
    doc->AddView(&panes);
  }
  ~Project() {
    doc->RemoveView(&panes);
    switches.SetProject(nullptr);
    configs.SetProject(nullptr);
    (void)host.DestroyWindow();  // the host is there: it goes
    doc.reset();
    fw::SetAppProfile(nullptr);
  }
  void Paint() {
    host.widget()->repaint();
    QCoreApplication::processEvents();
  }
};

void ClickHeading(CSheetGridCtrl& grid, int col) {
  CRect r;
  (void)grid.GetCellRectangle(col, 0, r);  // a heading of a column on screen
  QWidget* heading = grid.GetDlgItem(kGridTopHeadingId)->widget();
  const QPointF p((r.left + r.right) / 2.0, 5);
  QMouseEvent press(QEvent::MouseButtonPress, p, heading->mapToGlobal(p), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(heading, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, p, heading->mapToGlobal(p), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(heading, &release);
}

void BM_OpenAndFirstPaint(benchmark::State& state) {
  const std::string& path = ProjectPath();
  Project project;
  project.Paint();
  for (auto _ : state) {
    if (!project.doc->OnOpenDocument(path)) state.SkipWithError("the project did not open");
    project.Paint();
  }
  state.counters["switch rows"] = project.switches.GetRowTotal();
  state.counters["config rows"] = project.configs.GetRowTotal();
}
BENCHMARK(BM_OpenAndFirstPaint)->Unit(benchmark::kMillisecond);

void BM_SortSwitchList(benchmark::State& state) {
  Project project;
  project.doc->OnOpenDocument(ProjectPath());
  project.Paint();
  const int col = static_cast<int>(state.range(0));
  for (auto _ : state) {
    ClickHeading(project.switches, col);
    project.Paint();
  }
}
BENCHMARK(BM_SortSwitchList)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

void BM_SortConfigList(benchmark::State& state) {
  Project project;
  project.doc->OnOpenDocument(ProjectPath());
  project.Paint();
  for (auto _ : state) {
    ClickHeading(project.configs, 0);
    project.Paint();
  }
}
BENCHMARK(BM_SortConfigList)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  fw::ScopedMessageSink quiet;  // notes about the project are recorded, not shown
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ec;
  std::filesystem::remove_all(std::filesystem::path(ProjectPath()).parent_path(), ec);
  return 0;
}
