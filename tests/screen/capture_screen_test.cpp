// The real program on a virtual screen, driven with real X input (xdotool):
// a configuration name already in use is typed into the left list, the box
// that says so is closed with a click on OK, and the list goes on taking
// clicks and names. What the list shows is read from the screen.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QThread>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "screen_env.h"
#include "screen_program.h"
#include "tests/common/test_util.h"

namespace {

const char* const kMainTitle = "Untitled - Brisklane";

struct TopWindow {
  QString title;
  QRect rect;
};

// The named top-level windows of the program, from the server.
std::vector<TopWindow> ProgramWindows() {
  QProcess info;
  info.start("xwininfo",
             {"-root", "-tree", "-display", QString::fromStdString(fwscreen::Display())});
  std::vector<TopWindow> out;
  if (!info.waitForFinished(5000)) return out;
  const QRegularExpression line(
      "\"([^\"]*)\": \\(\"fenwardle\" \"fenwardle\"\\)\\s+(\\d+)x(\\d+)\\+(-?\\d+)\\+(-?\\d+)\\s+"
      "\\+(-?\\d+)\\+(-?\\d+)");
  for (auto it = line.globalMatch(QString::fromLocal8Bit(info.readAllStandardOutput()));
       it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    out.push_back({m.captured(1), QRect(m.captured(6).toInt(), m.captured(7).toInt(),
                                        m.captured(2).toInt(), m.captured(3).toInt())});
  }
  return out;
}

QRect FindWindow(const QString& title) {
  for (const TopWindow& w : ProgramWindows())
    if (w.title == title) return w.rect;
  return {};
}

// A box the program shows: a window of its own beside the main one.
QRect FindBox() {
  for (const TopWindow& w : ProgramWindows())
    if (w.title != kMainTitle && w.rect.width() > 100 && w.rect.height() > 40) return w.rect;
  return {};
}

using fwscreen::WaitUntil;

void Xdo(const QStringList& args) {
  QProcess p;
  p.start("xdotool", args);
  p.waitForFinished(10000);
  QThread::msleep(300);  // the program has taken it
}
void ClickAt(QPoint p) {
  Xdo({"mousemove", QString::number(p.x()), QString::number(p.y()), "click", "1"});
}
void TypeText(const QString& text) {
  Xdo({"type", "--delay", "40", text});
}
void Key(const QString& key) {
  Xdo({"key", key});
}

QImage Shot(const QRect& window) {
  return QGuiApplication::primaryScreen()->grabWindow(0).toImage().copy(window);
}

bool White(QRgb p) {
  return qRed(p) == 255 && qGreen(p) == 255 && qBlue(p) == 255;
}
int CountDark(const QImage& img, const QRect& area) {
  int n = 0;
  const QRect r = area.intersected(img.rect());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (qGray(img.pixel(x, y)) < 90) ++n;
  return n;
}

class CaptureScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    if (fwscreen::Display().empty()) {
      GTEST_SKIP() << "no virtual X server (Xvfb) on this machine";
    }
    if (QStandardPaths::findExecutable("xdotool").isEmpty()) {
      GTEST_SKIP() << "no xdotool";
    }
    fwscreen::StartProgram(m_program, m_dir, FW_FENWARDLE);
    ASSERT_TRUE(m_program.waitForStarted(10000));
    ASSERT_TRUE(WaitUntil([this] { return (m_window = FindWindow(kMainTitle)).isValid(); }, 30000))
        << "the main window did not come up";
    QThread::msleep(1500);  // painted
  }
  void TearDown() override {
    if (m_program.state() == QProcess::NotRunning) return;
    m_program.kill();
    m_program.waitForFinished(10000);
  }

  // The rows of the left list: where the first one starts and how tall they
  // are, read from the empty list (its new-entry row is white, lines grey).
  bool MeasureRows() {
    const QImage img = Shot(m_window);
    const int x = 60;
    auto whiteRun = [&](int y) {
      for (int i = 0; i < 8; ++i)
        if (y + i >= img.height() || !White(img.pixel(x, y + i))) return false;
      return true;
    };
    // The heading's light edge is one pixel; a row is white all down.
    int y = 30;
    while (y < img.height() && !whiteRun(y)) ++y;
    m_rowTop = y;
    while (y < img.height() && White(img.pixel(x, y))) ++y;
    m_rowHeight = y - m_rowTop + 1;
    // The current row (the new-entry row) shows its ellipsis button at the
    // list's right end: the first grey along the row.
    const int mid = m_rowTop + m_rowHeight / 2;
    int e = x;
    while (e < img.width() && White(img.pixel(e, mid))) ++e;
    m_ellipsis = QRect(e, 0, 16, 1);
    return m_rowTop < img.height() && m_rowHeight > 8 && m_rowHeight < 40 && e < img.width();
  }
  // A point in the name cell of a row of the left list, on the screen.
  QPoint Row(int row) const {
    return m_window.topLeft() + QPoint(60, m_rowTop + row * m_rowHeight + m_rowHeight / 2);
  }
  QRect RowBand(const QImage&, int row, int x0, int x1) const {
    return QRect(x0, m_rowTop + row * m_rowHeight + 2, x1 - x0, m_rowHeight - 4);
  }

  fw::test::TempDir m_dir;
  QProcess m_program;
  QRect m_window;
  int m_rowTop = 0, m_rowHeight = 0;
  QRect m_ellipsis;  // its columns
};

TEST_F(CaptureScreen, AfterANameInUseIsRefusedTheListTakesClicksAndNames) {
  ASSERT_TRUE(MeasureRows()) << "no rows found in the left list";
  ClickAt(Row(0));
  TypeText("Plant A");
  Key("Return");
  TypeText("Plant B");
  Key("Return");
  Key("Escape");
  QImage img = Shot(m_window);
  ASSERT_GT(CountDark(img, RowBand(img, 1, 4, 150)), 10) << "the names were not added";

  // The name in use, in the new-entry row; Enter asks the box.
  ClickAt(Row(2));
  TypeText("plant a");
  Key("Return");
  QRect box;
  ASSERT_TRUE(WaitUntil([&] { return (box = FindBox()).isValid(); }, 10000))
      << "no message box came up";
  // Its only button, OK, sits in the lower right corner.
  ClickAt(box.topLeft() + QPoint(box.width() - 51, box.height() - 24));
  EXPECT_TRUE(WaitUntil([] { return !FindBox().isValid(); }, 5000))
      << "the box did not take the click on OK";
  if (FindBox().isValid()) {
    Key("Return");
    WaitUntil([] { return !FindBox().isValid(); }, 5000);
  }

  // A click on another row makes it current: its ellipsis button is drawn
  // there, and no editor is left open over the first row.
  ClickAt(Row(1));
  img = Shot(m_window);
  if (const char* keep = std::getenv("FW_SCREENSHOT"))
    img.save(QString::fromLocal8Bit(keep) + ".row1.png");
  const int x0 = m_ellipsis.left(), x1 = m_ellipsis.right();
  EXPECT_GT(CountDark(img, RowBand(img, 1, x0, x1)), 2) << "the clicked row did not become current";
  EXPECT_EQ(CountDark(img, RowBand(img, 0, x0, x1)), 0)
      << "the first row is still current (an edit left open there)";

  // A new name in the last row is added.
  ClickAt(Row(2));
  TypeText("Plant C");
  Key("Return");
  Key("Escape");
  img = Shot(m_window);
  if (const char* keep = std::getenv("FW_SCREENSHOT")) img.save(QString::fromLocal8Bit(keep));
  EXPECT_GT(CountDark(img, RowBand(img, 2, 4, 150)), 10) << "the new name was not added";
}

// The name in use is ended by a press on another row: the box comes up
// inside that press and takes the click on OK, the press is over with it,
// and the next click, on the menu bar, opens the File menu.
TEST_F(CaptureScreen, APressThatEndsANameInUseLeavesTheNextClickToLand) {
  ASSERT_TRUE(MeasureRows()) << "no rows found in the left list";
  ClickAt(Row(0));
  TypeText("Plant A");
  Key("Return");
  TypeText("Plant B");
  Key("Return");
  Key("Escape");
  ClickAt(Row(2));
  TypeText("plant a");
  ClickAt(Row(1));
  QRect box;
  ASSERT_TRUE(WaitUntil([&] { return (box = FindBox()).isValid(); }, 10000))
      << "no message box came up";
  ClickAt(box.topLeft() + QPoint(box.width() - 51, box.height() - 24));
  const bool answered = WaitUntil([] { return !FindBox().isValid(); }, 5000);
  EXPECT_TRUE(answered) << "the box did not take the click on OK";
  if (!answered) {
    Key("Return");
    WaitUntil([] { return !FindBox().isValid(); }, 5000);
  }
  ClickAt(m_window.topLeft() + QPoint(15, 10));
  EXPECT_TRUE(WaitUntil([] { return FindBox().isValid(); }, 3000))
      << "the first click after the box was lost: no File menu";
  Key("Escape");
}

// The mirroring page asks inside the press on a check box, while the grid
// holds the mouse; the question is answered with a click on Yes, and the
// next click, on the sheet's Cancel, closes the sheet.
TEST_F(CaptureScreen, TheMonitorPortWarningTakesAClickOnYesAndTheNextClickLands) {
  ASSERT_TRUE(MeasureRows()) << "no rows found in the left list";
  ClickAt(Row(0));
  TypeText("Plant A");
  Key("Return");
  Key("Escape");
  ClickAt(Row(0));
  // The current row's ellipsis button opens its configuration in the sheet.
  ClickAt(QPoint(m_window.left() + m_ellipsis.left() + 8, Row(0).y()));
  QRect sheet;
  ASSERT_TRUE(
      WaitUntil([&] { return (sheet = FindWindow("Switch Configuration")).isValid(); }, 15000))
      << "the configuration sheet did not come up";
  QThread::msleep(1000);
  // Where this screen's fonts put the Mirroring tab and the first column's
  // boxes for monitor ports 2 and 3.
  ClickAt(sheet.topLeft() + QPoint(278, 22));
  QThread::msleep(1000);
  const QPoint pairTo2 = sheet.topLeft() + QPoint(142, 139);
  const QPoint pairTo3 = sheet.topLeft() + QPoint(142, 159);
  ClickAt(pairTo2);
  ClickAt(pairTo3);
  QRect box;
  ASSERT_TRUE(
      WaitUntil([&] { return (box = FindWindow("Monitor Port Warning")).isValid(); }, 10000))
      << "the warning did not come up";
  QThread::msleep(500);
  // Yes is the first of the two buttons in its lower right corner.
  ClickAt(box.topLeft() + QPoint(box.width() - 137, box.height() - 23));
  const bool answered =
      WaitUntil([] { return !FindWindow("Monitor Port Warning").isValid(); }, 5000);
  EXPECT_TRUE(answered) << "the warning did not take the click on Yes";
  if (!answered) {
    Key("Return");
    WaitUntil([] { return !FindWindow("Monitor Port Warning").isValid(); }, 5000);
  }
  QImage img = Shot(sheet);
  if (const char* keep = std::getenv("FW_SCREENSHOT"))
    img.save(QString::fromLocal8Bit(keep) + ".mirroring.png");
  const QPoint at2 = pairTo2 - sheet.topLeft(), at3 = pairTo3 - sheet.topLeft();
  if (answered) {
    EXPECT_GT(CountDark(img, QRect(at3 - QPoint(3, 3), QSize(7, 7))), 3)
        << "the new pair is not set";
    EXPECT_EQ(CountDark(img, QRect(at2 - QPoint(3, 3), QSize(7, 7))), 0) << "the old pair stays";
  }
  ClickAt(sheet.topLeft() + QPoint(sheet.width() - 129, sheet.height() - 24));
  EXPECT_TRUE(WaitUntil([] { return !FindWindow("Switch Configuration").isValid(); }, 5000))
      << "the first click after the warning was lost";
}

}  // namespace
