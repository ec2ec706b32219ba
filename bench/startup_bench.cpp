// Start-up of both programs: from starting the process to the first painted
// main window (an empty project; the monitor's empty list, its search still
// listening), and the resident memory once it is up. The monitor runs in a
// network namespace of its own: its search must never reach the machine's
// networks. The program runs on a virtual X server of the benchmark's
// own, with fresh settings each time; the paint is seen on the screen, so
// the program needs no help from inside. A plain Qt main window with a menu
// bar and a toolbar, started the same way (this benchmark run again with
// --plain-main-window), is the measure to compare with: at the end the
// benchmark prints each program's median wall and CPU time to the first
// paint as a multiple of the plain window's.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QMainWindow>
#include <QMenuBar>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QStyle>
#include <QTemporaryDir>
#include <QThread>
#include <QToolBar>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

std::string g_display;

// Times to the first paint of every start, by program, over all repetitions.
struct Samples {
  std::vector<double> wall, cpu;
};
std::map<std::string, Samples> g_samples;

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const std::size_t mid = v.size() / 2;
  return v.size() % 2 ? v[mid] : (v[mid - 1] + v[mid]) / 2;
}

// CPU time the threads of a process have run so far, in seconds: the
// scheduler's count in nanoseconds, not the kernel's 10 ms ticks.
double CpuSeconds(qint64 pid) {
  double ns = 0;
  std::error_code ec;
  for (const auto& task :
       std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", ec)) {
    std::ifstream schedstat(task.path() / "schedstat");
    double run = 0;
    if (schedstat >> run) ns += run;
  }
  return ns / 1e9;
}

// Resident memory of a process in MiB, from the kernel's status file.
double ResidentMiB(qint64 pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string key;
  while (status >> key) {
    if (key == "VmRSS:") {
      double kib = 0;
      status >> kib;
      return kib / 1024.0;
    }
    std::getline(status, key);
  }
  return 0;
}

// Whether the menu bar's place (the window's default position) shows
// something other than the empty black screen.
bool MenuBarPainted(QScreen* screen) {
  const QImage img = screen->grabWindow(0, 100, 150, 200, 20).toImage();
  int lit = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) lit += qGray(img.pixel(x, y)) > 100;
  return lit > img.width() * img.height() / 2;
}

void StartToFirstPaint(benchmark::State& state, const std::string& name,
                       const QString& program_path, const QStringList& args) {
  if (g_display.empty()) {
    state.SkipWithError("no virtual X server (Xvfb)");
    return;
  }
  QScreen* screen = QGuiApplication::primaryScreen();
  double rss = 0;
  Samples& samples = g_samples[name];
  for (auto _ : state) {
    QTemporaryDir dir;
    std::filesystem::create_directories(dir.filePath("run").toStdString());
    std::filesystem::permissions(dir.filePath("run").toStdString(),
                                 std::filesystem::perms::owner_all);
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", QString::fromStdString(g_display));
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    env.insert("XDG_RUNTIME_DIR", dir.filePath("run"));
    program.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    program.start(program_path, args);
    bool painted = false;
    while (clock.elapsed() < 20000 && !(painted = MenuBarPainted(screen))) QThread::msleep(2);
    const double seconds = clock.nsecsElapsed() / 1e9;
    const double cpu = CpuSeconds(program.processId());
    if (!painted) {
      state.SkipWithError("the main window was not painted");
      program.kill();
      program.waitForFinished(5000);
      return;
    }
    state.SetIterationTime(seconds);
    samples.wall.push_back(seconds * 1e3);
    samples.cpu.push_back(cpu * 1e3);
    QThread::msleep(500);  // settled: the idle update has run
    rss = ResidentMiB(program.processId());
    program.terminate();
    if (!program.waitForFinished(10000)) program.kill();
    program.waitForFinished(5000);
    // The screen is black again before the next start.
    QElapsedTimer gone;
    gone.start();
    while (MenuBarPainted(screen) && gone.elapsed() < 5000) QThread::msleep(10);
  }
  state.counters["resident_MiB"] = rss;
}

// Each program's medians over every start of the run against the plain window's.
void PrintRatios() {
  const auto plain = g_samples.find("plain");
  if (plain == g_samples.end() || plain->second.wall.empty()) return;
  const double wall = Median(plain->second.wall), cpu = Median(plain->second.cpu);
  for (const char* name : {"fenwardle", "calvenor"}) {
    const auto it = g_samples.find(name);
    if (it == g_samples.end() || it->second.wall.empty() || wall <= 0 || cpu <= 0) continue;
    const double w = Median(it->second.wall), c = Median(it->second.cpu);
    std::printf(
        "%-9s / plain main window, median of %zu and %zu starts: wall %.2fx (%.1f / %.1f ms), "
        "CPU %.2fx (%.1f / %.1f ms)\n",
        name, it->second.wall.size(), plain->second.wall.size(), w / wall, w, wall, c / cpu, c,
        cpu);
  }
}
void BM_StartToFirstPaint(benchmark::State& state) {
  StartToFirstPaint(state, "fenwardle", FW_FENWARDLE, {});
}
BENCHMARK(BM_StartToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_PlainQtMainWindowStartToFirstPaint(benchmark::State& state) {
  StartToFirstPaint(state, "plain", QCoreApplication::applicationFilePath(),
                    {"--plain-main-window"});
}
BENCHMARK(BM_PlainQtMainWindowStartToFirstPaint)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

void BM_MonitorStartToFirstPaint(benchmark::State& state) {
  const QString unshare = QStandardPaths::findExecutable("unshare");
  if (geteuid() != 0 || unshare.isEmpty()) {
    state.SkipWithError("needs root and unshare: the monitor searches every interface it sees");
    return;
  }
  StartToFirstPaint(state, "calvenor", unshare, {"--net", FW_CALVENOR});
}
BENCHMARK(BM_MonitorStartToFirstPaint)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

// The comparison: a main window with menus and a toolbar of buttons, as
// large as the program's, covering the place that is watched.
int PlainMainWindow(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  for (const char* title : {"&File", "&Edit", "&View", "&Operations", "&Window", "&Help"}) {
    QMenu* menu = window.menuBar()->addMenu(title);
    for (int i = 0; i < 8; ++i) menu->addAction(QString("Command %1").arg(i + 1));
  }
  QToolBar* bar = window.addToolBar("Standard");
  const QStyle::StandardPixmap icons[] = {
      QStyle::SP_FileIcon,        QStyle::SP_DirOpenIcon,  QStyle::SP_DialogSaveButton,
      QStyle::SP_ArrowBack,       QStyle::SP_ArrowForward, QStyle::SP_BrowserReload,
      QStyle::SP_ComputerIcon,    QStyle::SP_DriveNetIcon, QStyle::SP_FileDialogDetailedView,
      QStyle::SP_DialogHelpButton};
  for (QStyle::StandardPixmap icon : icons)
    bar->addAction(app.style()->standardIcon(icon), "Button");
  window.setCentralWidget(new QWidget);
  window.setGeometry(0, 0, 800, 600);
  window.show();
  return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--plain-main-window") return PlainMainWindow(argc, argv);
  const QString xvfb = QStandardPaths::findExecutable("Xvfb");
  QProcess server;
  for (int n = 141; !xvfb.isEmpty() && n < 190; ++n) {
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
    if (std::filesystem::exists(socket) ||
        std::filesystem::exists("/tmp/.X" + std::to_string(n) + "-lock"))
      continue;
    server.start(xvfb, {QString(":%1").arg(n), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
    for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i) QThread::msleep(50);
    if (std::filesystem::exists(socket)) g_display = ":" + std::to_string(n);
    break;
  }
  if (!g_display.empty()) {
    setenv("DISPLAY", g_display.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
  } else {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  int result = 0;
  {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    PrintRatios();
    benchmark::Shutdown();
  }
  if (server.state() != QProcess::NotRunning) {
    server.terminate();
    if (!server.waitForFinished(5000)) server.kill();
  }
  return result;
}
