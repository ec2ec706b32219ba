// Screenshots for a person to look at: both programs' main windows and every
// page of the configuration sheet, in English, German and French, on the
// virtual X server with its real fonts. They land in <build>/screenshots.
// The sheet is built in process, so its texts are checked here as well.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QImage>
#include <QListWidget>
#include <QPixmap>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "platform/dynlib.h"
#include "platform/language.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "screen_env.h"
#include "screen_program.h"
#include "switch/projectfile.h"
#include "switch/switchconfigstore.h"
#include "tests/common/test_util.h"
#include "textfit_check.h"
#include "tools/cfgpsheet.h"
#include "tools/ringsettingsgrid.h"

// The session bus and font libraries keep caches they never free; not our leaks.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\nleak:libfontconfig.so\n";
}

namespace {

constexpr const char* kLanguages[] = {"english", "german", "french"};

QString ShotPath(const std::string& name) {
  QDir().mkpath(FW_SCREENSHOT_DIR);
  return QString(FW_SCREENSHOT_DIR) + "/" + QString::fromStdString(name) + ".png";
}

// The largest top-level window whose title holds `part`, from the server.
QRect FindWindow(const QString& part) {
  QProcess info;
  info.start("xwininfo",
             {"-root", "-tree", "-display", QString::fromStdString(fwscreen::Display())});
  if (!info.waitForFinished(5000)) return {};
  const QString tree = QString::fromLocal8Bit(info.readAllStandardOutput());
  const QRegularExpression line(
      "\"([^\"]*)\".*\\s(\\d+)x(\\d+)\\+(-?\\d+)\\+(-?\\d+)\\s+\\+(-?\\d+)\\+(-?\\d+)");
  QRect best;
  for (const QString& l : tree.split('\n')) {
    const QRegularExpressionMatch m = line.match(l);
    if (!m.hasMatch() || !m.captured(1).contains(part)) continue;
    const QRect r(m.captured(6).toInt(), m.captured(7).toInt(), m.captured(2).toInt(),
                  m.captured(3).toInt());
    if (r.width() * r.height() > best.width() * best.height()) best = r;
  }
  return best;
}

// Starts a program in a language of its settings file, and keeps its window.
void ShootProgram(const char* path, const std::string& name, const std::string& iniName,
                  const std::string& section, const std::string& language, bool isolate) {
  fw::test::TempDir dir;
  std::filesystem::create_directories(dir.file("config/ZOLVEX"));
  std::ofstream(dir.file("config/ZOLVEX/" + iniName))
      << "[" << section << "]\nlanguage=" << language << "\n";
  QProcess program;
  // The status monitor searches the network as soon as it is up: as root it
  // runs in a network namespace of its own, which has no adapter to send on
  // (without root it has no raw access at all).
  if (isolate && geteuid() == 0)
    fwscreen::StartProgram(program, dir, "unshare", {"-n", path});
  else
    fwscreen::StartProgram(program, dir, path);
  ASSERT_TRUE(program.waitForStarted(10000));
  QRect window;
  QDeadlineTimer deadline(30000);
  while (!deadline.hasExpired() && (window = FindWindow("Brisklane")).width() < 300)
    QThread::msleep(100);
  QThread::msleep(2500);  // painted, a first search told, the toolbar updated
  window = FindWindow("Brisklane");
  // The whole screen: the window with whatever it shows over itself.
  const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
  const QImage shot = screen.copy(window);
  fwscreen::EndProgram(program);
  ASSERT_GT(window.width(), 300) << name << " " << language << ": no main window";
  EXPECT_TRUE(shot.save(ShotPath(name + "_" + language)));
}

TEST(TextFitOnScreen, BothMainWindowsInEveryLanguage) {
  if (fwscreen::Display().empty()) GTEST_SKIP() << "no virtual X server (Xvfb) on this machine";
  for (const char* language : kLanguages) {
    ShootProgram(FW_FENWARDLE, "fenwardle", "fenwardle.ini", "settings", language, false);
    ShootProgram(FW_CALVENOR, "calvenor", "zvinfo.ini", "fenwardle", language, true);
  }
}

void Drain() {
  for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
}

TEST(TextFitOnScreen, EveryPageOfTheSheetInEveryLanguageAndItsTextsFit) {
  if (fwscreen::Display().empty()) GTEST_SKIP() << "no virtual X server (Xvfb) on this machine";
  const fw::LanguageLibraryNames names = {"libfenwardle_eng.so", "libfenwardle_de.so",
                                          "libfenwardle_fra.so"};
  std::vector<const fw::CResourceBundle*> bundles;
  for (const char* language : kLanguages) {
    const fw::LanguageLoad load = fw::LoadLanguageLibrary(language, names, fw::ProgramFolder());
    ASSERT_NE(load.bundle, nullptr) << load.detail;
    bundles.push_back(load.bundle);
  }
  fw::SetProjectLanguageBundles(bundles);
  for (std::size_t l = 0; l < bundles.size(); ++l) {
    const std::string language = kLanguages[l];
    fw::SetCurrentResources(bundles[l]);
    CSwitchConfigStore::ResetOfferedModels();
    for (int mode : {0, 1}) {
      CCfgPSheet sheet;
      sheet.SetMode(mode);
      const std::string type = LoadResString(IDS_BASE_TYPE_9);
      sheet.GetConfig().SetPortCount(CSwitchConfig::BaseTypePortCount(type));
      sheet.GetConfig().SetPartNumber(type);
      sheet.GetConfig().SetName("Line A");
      std::vector<std::string> cut;
      QTimer::singleShot(0, [&] {
        QWidget* w = sheet.widget();
        w->show();
        (void)QTest::qWaitForWindowExposed(w);
        for (int i = 0; i < (mode ? sheet.GetPageCount() : 1); ++i) {
          if (!sheet.SetActivePage(i)) ADD_FAILURE() << "page " << i;
          Drain();
          QTest::qWait(200);
          const std::string name =
              language + (mode ? "_sheet_page" : "_wizard_page") + std::to_string(i + 1);
          EXPECT_TRUE(w->grab().save(ShotPath(name)));
          for (const std::string& c : fwtest::TextsThatDoNotFit(w)) cut.push_back(name + ": " + c);
          for (const std::string& c :
               fwtest::GridTextsThatDoNotFit(sheet.GetActivePage()->widget()))
            cut.push_back(name + " grid: " + c);
        }
        if (mode) {
          // The ring page with a port list open: a pop-up under its cell.
          ASSERT_TRUE(sheet.SetActivePage(2));
          Drain();
          CRingSettingsGrid& grid = sheet.RingsPage().Grid();
          QWidget* cells = grid.GetDlgItem(kGridCellAreaId)->widget();
          CRect r;
          ASSERT_EQ(grid.GetCellRectangle(CRingSettingsGrid::kColPrimary, 1, r), kGridOk);
          QTest::mouseClick(cells, Qt::LeftButton, {}, QPoint(r.right - 4, (r.top + r.bottom) / 2));
          QTest::qWait(300);
          QRect area = w->frameGeometry();
          for (QListWidget* list : cells->findChildren<QListWidget*>())
            if (list->isVisible()) area = area.united(list->geometry());
          const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage().copy(area);
          EXPECT_TRUE(shot.save(ShotPath(language + "_ring_port_list")));
          QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
          Drain();
        }
        sheet.EndDialog(IDCANCEL);
      });
      QTimer guard;
      guard.setSingleShot(true);
      QObject::connect(&guard, &QTimer::timeout, [&] { sheet.EndDialog(-2); });
      guard.start(60000);
      (void)sheet.DoModal();
      std::string all;
      for (const std::string& c : cut) all += "\n  " + c;
      EXPECT_TRUE(cut.empty()) << cut.size() << " texts cut:" << all;
    }
  }
  fw::SetCurrentResources(nullptr);
  fw::SetProjectLanguageBundles({});
  CSwitchConfigStore::ResetOfferedModels();
}

}  // namespace
