// Every text of every dialog template, and of the configuration sheet's
// pages and grids, fits its control in each language the programs ship.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include "grid/sheetgridctrl.h"
#include "platform/gui/dialog.h"
#include "sheet_test_util.h"
#include "textfit_check.h"
#include "tools/cfgpsheet.h"
#include "tools/ringsettingsgrid.h"

namespace {

using fwtest::Drain;
using fwtest::InLanguage;

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
  EXPECT_TRUE(cut.empty()) << cut.size() << " texts cut in " << GetParam() << ":"
                           << fwtest::Listed(cut);
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
                             << ":" << fwtest::Listed(cut);
  }
}

// A port list of the ring page opens as a pop-up under its cell, at the
// cell's left edge, with every port shown even where the grid ends first.
TEST_P(TextFit, ARingPortListOpensUnderItsCellPastTheGrid) {
  CCfgPSheet sheet;
  sheet.SetMode(1);
  MakeType(sheet.GetConfig(), 6009);
  sheet.GetConfig().SetName("Line A");
  QTimer::singleShot(0, [&] {
    Drain();
    ASSERT_TRUE(sheet.SetActivePage(2));
    Drain();
    CRingSettingsGrid& grid = sheet.RingsPage().Grid();
    QWidget* cells = grid.GetDlgItem(kGridCellAreaId)->widget();
    CRect r;
    ASSERT_EQ(grid.GetCellRectangle(CRingSettingsGrid::kColPrimary, 1, r), kGridOk);
    QTest::mouseClick(cells, Qt::LeftButton, {}, QPoint(r.right - 4, (r.top + r.bottom) / 2));
    Drain();
    QListWidget* list = nullptr;
    for (QListWidget* l : cells->findChildren<QListWidget*>())
      if (l->isVisible()) list = l;
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isWindow());
    EXPECT_EQ(list->geometry().topLeft(), cells->mapToGlobal(QPoint(r.left, r.bottom)));
    EXPECT_GE(list->width(), r.Width());
    // Every port in view, none cut.
    const QRect view = list->viewport()->rect();
    for (int i = 0; i < list->count(); ++i)
      EXPECT_TRUE(view.contains(list->visualItemRect(list->item(i)))) << i;
    EXPECT_GT(list->geometry().bottom(), cells->mapToGlobal(cells->rect().bottomLeft()).y());
    QTest::keyClick(list, Qt::Key_Escape);
    Drain();
    EXPECT_FALSE(list->isVisible());
    sheet.EndDialog(IDCANCEL);
  });
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [&] { sheet.EndDialog(-2); });
  guard.start(20000);
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
}

FW_IN_ALL_LANGUAGES(TextFit);

}  // namespace
