// The real program on a virtual screen: its main window comes up with the
// menu bar, the toolbar with its pictures and both panes with their
// headings. The picture is checked by regions, not pixel by pixel, so that
// other fonts do not matter.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QThread>
#include <cstdlib>
#include <filesystem>

#include "screen_env.h"
#include "screen_program.h"
#include "tests/common/test_util.h"

namespace {

// The geometry of the top-level window with that title, from the server.
QRect FindWindow(const QString& title) {
  QProcess info;
  info.start("xwininfo",
             {"-root", "-tree", "-display", QString::fromStdString(fwscreen::Display())});
  if (!info.waitForFinished(5000)) return {};
  const QString tree = QString::fromLocal8Bit(info.readAllStandardOutput());
  const QRegularExpression line(
      "\"" + QRegularExpression::escape(title) +
      "\".*\\s(\\d+)x(\\d+)\\+(-?\\d+)\\+(-?\\d+)\\s+\\+(-?\\d+)\\+(-?\\d+)");
  const QRegularExpressionMatch m = line.match(tree);
  if (!m.hasMatch()) return {};
  return QRect(m.captured(5).toInt(), m.captured(6).toInt(), m.captured(1).toInt(),
               m.captured(2).toInt());
}

bool Dark(QRgb p) {
  return qGray(p) < 90;
}
bool Light(QRgb p) {
  return qGray(p) > 200;
}
bool Coloured(QRgb p) {
  const int r = qRed(p), g = qGreen(p), b = qBlue(p);
  return std::max({r, g, b}) - std::min({r, g, b}) > 60;
}

int Count(const QImage& img, const QRect& area, bool (*test)(QRgb)) {
  int n = 0;
  const QRect r = area.intersected(img.rect());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (test(img.pixel(x, y))) ++n;
  return n;
}

// The first row from the top down where the predicate holds for a stretch
// of the row (the start of a band: a heading, a toolbar).
int FirstRow(const QImage& img, int from, int x0, int x1, bool (*test)(QRgb), int minCount) {
  for (int y = from; y < img.height(); ++y)
    if (Count(img, QRect(x0, y, x1 - x0, 1), test) >= minCount) return y;
  return -1;
}

TEST(FenwardleOnScreen, TheMainWindowShowsMenuToolbarAndBothPanes) {
  if (fwscreen::Display().empty()) GTEST_SKIP() << "no virtual X server (Xvfb) on this machine";
  fw::test::TempDir dir;
  QProcess program;
  fwscreen::StartProgram(program, dir, FW_FENWARDLE);
  ASSERT_TRUE(program.waitForStarted(10000));

  QRect window;
  QDeadlineTimer deadline(30000);
  while (!deadline.hasExpired() && !(window = FindWindow("Untitled - Brisklane")).isValid())
    QThread::msleep(100);
  ASSERT_TRUE(window.isValid()) << "the main window did not come up";
  QThread::msleep(1500);  // painted, and the idle update of the toolbar done
  QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage().copy(window);
  // FW_SCREENSHOT=<file> keeps the picture for a look.
  if (const char* keep = std::getenv("FW_SCREENSHOT")) shot.save(QString::fromLocal8Bit(keep));
  fwscreen::EndProgram(program);

  ASSERT_GT(shot.width(), 400);
  ASSERT_GT(shot.height(), 200);
  const int w = shot.width();
  // The menu bar: dark letters on a light bar at the top.
  const QRect menuBar(0, 0, w / 2, 22);
  EXPECT_GT(Count(shot, menuBar, Dark), 40) << "no menu texts";
  EXPECT_GT(Count(shot, menuBar, Light), menuBar.width() * 10) << "no menu bar";
  // The toolbar below it: coloured pictures and the buttons' texts.
  const QRect toolbar(0, 22, w, 70);
  EXPECT_GT(Count(shot, toolbar, Coloured), 150) << "no toolbar pictures";
  // The two panes: each has a heading band and white cells below it.
  const int paneTop = 22 + 40;
  for (const auto& [x0, x1, name] :
       {std::tuple{4, w / 5, "left"}, std::tuple{w / 2, w - 20, "right"}}) {
    SCOPED_TRACE(name);
    const int cells = Count(shot, QRect(x0, paneTop, x1 - x0, shot.height() - paneTop), [](QRgb p) {
      return qRed(p) == 255 && qGreen(p) == 255 && qBlue(p) == 255;
    });
    EXPECT_GT(cells, (x1 - x0) * 10) << "no cell area";
    const int heading = FirstRow(shot, paneTop, x0, x1, Dark, 4);
    EXPECT_GT(heading, 0) << "no heading text";
  }
}

}  // namespace
