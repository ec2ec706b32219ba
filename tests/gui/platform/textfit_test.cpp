// A dialog grows as a whole until its texts fit: its controls keep their
// relative places, texts set later count when asked for, and the dialog never
// leaves a 1024 x 768 screen; a sheet's pages share the sheet's units.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTimer>

#include "gui_helpers.h"
#include "platform/gui/dialog.h"
#include "platform/gui/propertysheet.h"
#include "textfit_controls.h"

namespace {

const char* const kScript = R"(
600 DIALOGEX 0, 0, 160, 60
STYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU
CAPTION "Fit"
FONT 8, "MS Shell Dlg"
BEGIN
    LTEXT           "Name:", IDC_STATIC, 7, 7, 30, 8
    PUSHBUTTON      "A caption far too long for it", 1001, 7, 20, 40, 14
    PUSHBUTTON      "OK", IDOK, 100, 40, 50, 14
    LTEXT           "", 1002, 7, 40, 40, 8
END
601 DIALOGEX 0, 0, 600, 100
STYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU
CAPTION "Wide"
FONT 8, "MS Shell Dlg"
BEGIN
    PUSHBUTTON      "A caption that could only fit a dialog wider than any screen", 1001, 7, 7, 20, 14
END
602 DIALOGEX 0, 0, 100, 40
STYLE WS_CHILD
CAPTION "Short"
FONT 8, "MS Shell Dlg"
BEGIN
    LTEXT           "Short", IDC_STATIC, 7, 7, 40, 8
END
603 DIALOGEX 0, 0, 100, 40
STYLE WS_CHILD
CAPTION "Long"
FONT 8, "MS Shell Dlg"
BEGIN
    LTEXT           "A label much longer than its place", IDC_STATIC, 7, 7, 40, 8
END
)";

class TextFit : public ::testing::Test {
 protected:
  fwtest::ScopedBundle m_bundle{kScript};
};

TEST_F(TextFit, ADialogGrowsAsAWholeUntilItsWidestTextFits) {
  ASSERT_TRUE(m_bundle.ok()) << m_bundle.error();
  CDialog dlg(600);
  ASSERT_TRUE(dlg.Create(600));
  EXPECT_TRUE(fwtest::ControlTextsThatDoNotFit(dlg.widget()).empty());
  // The controls keep their places relative to each other and the dialog.
  const QRect name = dlg.GetDlgItem(IDC_STATIC)->widget()->geometry();
  const QRect button = dlg.GetDlgItem(1001)->widget()->geometry();
  const QRect ok = dlg.GetDlgItem(IDOK)->widget()->geometry();
  EXPECT_EQ(name.left(), button.left());
  EXPECT_NEAR(ok.left() * 160.0 / 100, dlg.widget()->width(), 4);
  EXPECT_NEAR(button.width() * 50.0 / 40, ok.width(), 2);
  EXPECT_GT(button.width(), 40 * 6 / 4 + 10);  // wider than the reference font's button
}

TEST_F(TextFit, TextsSetLaterCountWhenTheDialogAsksForThem) {
  CDialog plain(600);
  ASSERT_TRUE(plain.Create(600));
  CDialog told(600);
  told.FitText(1002, "Communications Failed, and then some", 0, true);
  ASSERT_TRUE(told.Create(600));
  EXPECT_GT(told.widget()->width(), plain.widget()->width());
  told.SetDlgItemText(1002, "Communications Failed, and then some");
  QFont bold = told.GetDlgItem(1002)->widget()->font();
  bold.setBold(true);
  told.GetDlgItem(1002)->widget()->setFont(bold);
  EXPECT_TRUE(fwtest::ControlTextsThatDoNotFit(told.widget()).empty());
}

TEST_F(TextFit, NoDialogGrowsPastA1024By768Screen) {
  CDialog dlg(601);
  ASSERT_TRUE(dlg.Create(601));
  EXPECT_LE(dlg.widget()->width(), 1024 - 16);
  EXPECT_GT(dlg.widget()->width(), 600 * 6 / 4);
}

TEST_F(TextFit, ThePagesOfASheetShareTheUnitsTheirLongestTextNeeds) {
  CPropertyPage shortPage(602), longPage(603);
  CPropertySheet sheet(std::string("Sheet"));
  sheet.AddPage(&shortPage);
  sheet.AddPage(&longPage);
  QTimer::singleShot(0, [&] {
    fwtest::Drain();
    EXPECT_TRUE(sheet.SetActivePage(1));
    fwtest::Drain();
    EXPECT_EQ(shortPage.dialogUnits(), sheet.dialogUnits());
    EXPECT_EQ(longPage.dialogUnits(), sheet.dialogUnits());
    EXPECT_TRUE(fwtest::ControlTextsThatDoNotFit(sheet.widget()).empty());
    sheet.EndDialog(IDCANCEL);
  });
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
}

}  // namespace
