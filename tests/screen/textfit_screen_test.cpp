// Both programs' main windows and every page of the configuration sheet, in
// English, German and French, on the virtual X server with its real fonts:
// their texts are checked as the offscreen tests check them, and screenshots
// for a person to look at land in <build>/screenshots.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QListWidget>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "monitor_fixture.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "screen_env.h"
#include "shell_fixture.h"
#include "switch/projectfile.h"
#include "switch/switchconfigstore.h"
#include "tests/common/languages.h"
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

// The window as it is on the screen, with whatever it shows over itself.
QImage ShootWindow(QWidget* window) {
  const QRect frame = window->frameGeometry();
  return QGuiApplication::primaryScreen()->grabWindow(0).toImage().copy(frame);
}

// Both main windows, built in process as the programs build them, on the
// server's fonts: their lists hold every heading and text.
using ConfigurationProgramOnScreen = fwtest::ShellTest;
using StatusMonitorOnScreen = fwtest::MonitorTest;

TEST_F(ConfigurationProgramOnScreen, BothListsHoldTheirHeadingsInEveryLanguage) {
  if (fwscreen::Display().empty()) GTEST_SKIP() << "no virtual X server (Xvfb) on this machine";
  for (const char* language : kLanguages) {
    Saved()->WriteProfileString("settings", "language", language);
    ASSERT_TRUE(Start()) << language;
    QWidget* window = Frame()->widget();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window)) << language;
    QTest::qWait(500);  // painted, the toolbar updated
    EXPECT_TRUE(ShootWindow(window).save(ShotPath(std::string("fenwardle_") + language)));
    std::vector<std::string> cut;
    fwtest::CheckGrid(Switches(), &cut);
    fwtest::CheckGrid(Configs(), &cut);
    EXPECT_TRUE(cut.empty()) << language << ":" << fwtest::Listed(cut);
    Stop();
  }
}

TEST_F(StatusMonitorOnScreen, TheListHoldsItsHeadingsAndAddressesInEveryLanguage) {
  if (fwscreen::Display().empty()) GTEST_SKIP() << "no virtual X server (Xvfb) on this machine";
  AddSwitch(0x01, "North");
  AddSwitch(0xBC, "South", {"veth1"});
  for (const char* language : kLanguages) {
    std::filesystem::create_directories(m_dir.file("config/ZOLVEX"));
    std::ofstream(m_dir.file("config/ZOLVEX/zvinfo.ini"))
        << "[fenwardle]\nlanguage=" << language << "\n";
    ASSERT_TRUE(Start()) << language;
    ASSERT_EQ(Grid().RowCount(), 2) << language;
    QWidget* window = Frame()->widget();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window)) << language;
    QTest::qWait(500);
    EXPECT_TRUE(ShootWindow(window).save(ShotPath(std::string("calvenor_") + language)));
    std::vector<std::string> cut;
    fwtest::CheckGrid(Grid(), &cut);
    EXPECT_TRUE(cut.empty()) << language << ":" << fwtest::Listed(cut);
    Stop();
  }
}

void Drain() {
  for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
}

TEST(TextFitOnScreen, EveryPageOfTheSheetInEveryLanguageAndItsTextsFit) {
  if (fwscreen::Display().empty()) GTEST_SKIP() << "no virtual X server (Xvfb) on this machine";
  std::vector<const fw::CResourceBundle*> bundles;
  for (const char* language : kLanguages) bundles.push_back(fwtest::LibraryBundle(language));
  fw::SetProjectLanguageBundles(bundles);
  fwtest::InEachLanguage([&](const std::string& language) {
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
      EXPECT_TRUE(cut.empty()) << cut.size() << " texts cut:" << fwtest::Listed(cut);
    }
  });
  fw::SetProjectLanguageBundles({});
  CSwitchConfigStore::ResetOfferedModels();
}

}  // namespace
