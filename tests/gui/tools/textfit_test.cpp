// Every text of every dialog template, and of the configuration sheet's
// pages and grids, fits its control in each language the programs ship.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTabBar>
#include <QTimer>

#include "grid/sheetgridctrl.h"
#include "platform/gui/dialog.h"
#include "sheet_test_util.h"
#include "textfit_check.h"
#include "tools/cfgpsheet.h"

namespace {

using fwtest::Drain;
using fwtest::InLanguage;

std::string Join(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& l : lines) all += "\n  " + l;
  return all;
}

class TextFit : public InLanguage {};

TEST_P(TextFit, EveryTextOfEveryTemplateFitsItsControl) {
  const fw::CResourceBundle* bundle = fw::CurrentResources();
  ASSERT_NE(bundle, nullptr);
  std::vector<std::string> cut;
  for (const auto& [id, t] : bundle->dialogs()) {
    CDialog dialog(id);
    ASSERT_TRUE(dialog.Create(id)) << id;
    QWidget* w = dialog.widget();
    // Nothing runs off a 1024x768 screen, frame and caption included.
    EXPECT_LE(w->width(), 1024 - 16) << "dialog " << id;
    EXPECT_LE(w->height(), 768 - 48) << "dialog " << id;
    for (const std::string& c : fwtest::TextsThatDoNotFit(w))
      cut.push_back("dialog " + std::to_string(id) + ": " + c);
    (void)dialog.DestroyWindow();
  }
  EXPECT_TRUE(cut.empty()) << cut.size() << " texts cut in " << GetParam() << ":" << Join(cut);
}

TEST_P(TextFit, EveryPageOfTheSheetHoldsItsTexts) {
  // The wizard's first page with its own buttons, then every page of the editor.
  for (int mode : {0, 1}) {
    CCfgPSheet sheet;
    sheet.SetMode(mode);
    MakeType(sheet.GetConfig(), 6009);
    sheet.GetConfig().SetName("Line A");
    std::vector<std::string> cut;
    QTimer::singleShot(0, [&] {
      Drain();
      for (int i = 0; i < (mode ? sheet.GetPageCount() : 1); ++i) {
        if (!sheet.SetActivePage(i)) ADD_FAILURE() << "page " << i;
        Drain();
        for (const std::string& c : fwtest::TextsThatDoNotFit(sheet.widget()))
          cut.push_back("page " + std::to_string(i) + ": " + c);
        for (const std::string& c : fwtest::GridTextsThatDoNotFit(sheet.GetActivePage()->widget()))
          cut.push_back("page " + std::to_string(i) + " grid: " + c);
      }
      QWidget* w = sheet.widget();
      EXPECT_LE(w->width(), 1024 - 16);
      EXPECT_LE(w->height(), 768 - 48);
      sheet.EndDialog(IDCANCEL);
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] { sheet.EndDialog(-2); });
    guard.start(20000);
    (void)sheet.DoModal();
    std::sort(cut.begin(), cut.end());
    cut.erase(std::unique(cut.begin(), cut.end()), cut.end());
    EXPECT_TRUE(cut.empty()) << cut.size() << " texts cut in " << GetParam() << " mode " << mode
                             << ":" << Join(cut);
  }
}

FW_IN_ALL_LANGUAGES(TextFit);

}  // namespace
