// The real program on a virtual screen, typed at through the X server's test
// extension (xdotool) as a keyboard does: with a list holding the focus,
// Ctrl+O opens the Open dialog, Escape closes it, and Alt+F then opens the
// File menu in the main window the focus went back to.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QRect>
#include <QScreen>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "screen_env.h"
#include "screen_program.h"
#include "tests/common/test_util.h"

namespace {

// Runs a tool of the X server's and gives its output; empty when it failed.
QString Tool(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(5000)) {
    p.kill();
    p.waitForFinished(1000);
    return {};
  }
  return QString::fromLocal8Bit(p.readAllStandardOutput());
}
QStringList Xdo(const QStringList& args) {
  return Tool("xdotool", args).split('\n', Qt::SkipEmptyParts);
}

// The visible windows whose name matches the pattern, or that belong to a process.
QStringList VisibleNamed(const QString& pattern) {
  return Xdo({"search", "--onlyvisible", "--name", pattern});
}
QStringList VisibleOf(qint64 pid) {
  return Xdo({"search", "--onlyvisible", "--pid", QString::number(pid)});
}

QRect Geometry(const QString& window) {
  int x = 0, y = 0, w = 0, h = 0;
  for (const QString& line : Xdo({"getwindowgeometry", "--shell", window})) {
    const QString value = line.section('=', 1);
    if (line.startsWith("X=")) x = value.toInt();
    if (line.startsWith("Y=")) y = value.toInt();
    if (line.startsWith("WIDTH=")) w = value.toInt();
    if (line.startsWith("HEIGHT=")) h = value.toInt();
  }
  return QRect(x, y, w, h);
}

QString FocusedWindow() {
  const QStringList out = Xdo({"getwindowfocus", "-f"});
  return out.isEmpty() ? QString() : out.front();
}

class Program {
 public:
  explicit Program(const fw::test::TempDir& dir, const QStringList& args = {}) {
    fwscreen::StartProgram(m_process, dir, FW_FENWARDLE, args);
  }
  ~Program() { fwscreen::EndProgram(m_process); }
  bool Started() { return m_process.waitForStarted(10000); }
  qint64 Pid() const { return m_process.processId(); }

 private:
  QProcess m_process;
};

TEST(KeysOnScreen, CtrlOAndAltFReachTheMainWindowWhileAListHasTheFocus) {
  if (fwscreen::Display().empty()) GTEST_SKIP() << "no virtual X server (Xvfb) on this machine";
  if (QStandardPaths::findExecutable("xdotool").isEmpty())
    GTEST_SKIP() << "no xdotool on this machine";
  fw::test::TempDir dir;
  Program program(dir);
  ASSERT_TRUE(program.Started());

  QString main;
  ASSERT_TRUE(fwscreen::WaitUntil(
      [&] {
        const QStringList found = VisibleNamed("^Untitled - Brisklane$");
        if (!found.isEmpty()) main = found.front();
        return !main.isEmpty();
      },
      30000))
      << "the main window did not come up";
  QThread::msleep(1000);  // laid out and painted
  const QRect frame = Geometry(main);
  ASSERT_GT(frame.width(), 400);

  // A click into the left list's cells: the window becomes the active one
  // and the list takes the focus.
  const QPoint cell = frame.topLeft() + QPoint(std::min(60, frame.width() / 10), 150);
  Xdo({"mousemove", QString::number(cell.x()), QString::number(cell.y()), "click", "1"});
  ASSERT_TRUE(fwscreen::WaitUntil([&] { return FocusedWindow() == main; }, 5000))
      << "the click did not activate the main window";
  QThread::msleep(300);

  Xdo({"key", "ctrl+o"});
  ASSERT_TRUE(fwscreen::WaitUntil([] { return !VisibleNamed("^Open$").isEmpty(); }, 10000))
      << "Ctrl+O opened no Open dialog";
  QThread::msleep(500);
  Xdo({"key", "Escape"});
  EXPECT_TRUE(fwscreen::WaitUntil([] { return VisibleNamed("^Open$").isEmpty(); }, 10000))
      << "Escape did not close the Open dialog";
  EXPECT_TRUE(fwscreen::WaitUntil([&] { return FocusedWindow() == main; }, 5000))
      << "the main window did not get the focus back";
  QThread::msleep(300);

  // The File menu: a new window of the program just below the menu bar's start.
  const QStringList before = VisibleOf(program.Pid());
  Xdo({"key", "alt+f"});
  QString menu;
  EXPECT_TRUE(fwscreen::WaitUntil(
      [&] {
        for (const QString& w : VisibleOf(program.Pid())) {
          if (before.contains(w)) continue;
          const QRect r = Geometry(w);
          if (r.left() < frame.left() + 80 && r.top() > frame.top() && r.top() < frame.top() + 80)
            menu = w;
        }
        return !menu.isEmpty();
      },
      10000))
      << "Alt+F opened no menu";
  Xdo({"key", "Escape"});
  Xdo({"key", "Escape"});
  ASSERT_TRUE(fwscreen::WaitUntil([&] { return !VisibleOf(program.Pid()).contains(menu); }, 5000));
}

// Started with a project, the main window is the active one (with no window
// manager to activate it, it asks itself) and its first pane holds the
// keyboard: Down, typed before any click or Tab, moves the configuration
// list's current row.
TEST(KeysOnScreen, TheConfigurationListHasTheKeysWhenTheWindowFirstShows) {
  if (fwscreen::Display().empty()) GTEST_SKIP() << "no virtual X server (Xvfb) on this machine";
  if (QStandardPaths::findExecutable("xdotool").isEmpty()) GTEST_SKIP() << "no xdotool";
  fw::test::TempDir dir;
  const std::string type = "Type=QV-5KP-1 with five 10/100 RJ45 ports\n";
  std::ofstream(dir.file("lines.zcf")) << "[Switch Cfgs]\n0=A\n1=B\n[Switch Cfg: A]\n"
                                       << type << "[Switch Cfg: B]\n"
                                       << type;
  Program program(dir, {QString::fromStdString(dir.file("lines.zcf"))});
  ASSERT_TRUE(program.Started());
  QStringList found;
  ASSERT_TRUE(fwscreen::WaitUntil(
      [&] { return !(found = VisibleNamed("^lines(.zcf)? - Brisklane$")).isEmpty(); }, 30000));
  const QString main = found.front();
  QThread::msleep(1000);  // laid out and painted
  const QRect frame = Geometry(main);
  const QRect list(frame.left(), frame.top() + 60, frame.width() / 5, frame.height() - 60);
  auto shot = [&] { return QGuiApplication::primaryScreen()->grabWindow(0).toImage().copy(list); };
  EXPECT_EQ(FocusedWindow(), main) << "the main window is not the active one";
  const QImage before = shot();
  Xdo({"key", "Down"});
  EXPECT_TRUE(fwscreen::WaitUntil([&] { return shot() != before; }, 3000))
      << "Down did not move the list's current row";
}

}  // namespace
