#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "gui_helpers.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "tools/cyclepowerdlg.h"
#include "tools/progressdlg.h"

namespace {

class PromptDialogs : public ::testing::Test {
 protected:
  void TearDown() override { fwtest::Drain(); }
};

TEST_F(PromptDialogs, CyclePowerPromptShowsItsRequest) {
  CCyclePowerDlg dlg;
  EXPECT_FALSE(dlg.cancelled());
  ASSERT_TRUE(dlg.Create());
  EXPECT_FALSE(dlg.IsWindowVisible());  // the caller shows it
  dlg.ShowWindow(SW_SHOW);
  EXPECT_EQ(dlg.GetWindowText(), "Cycle Power");
  EXPECT_EQ(dlg.GetDlgItemText(1027), "Please cycle power to the unit...");
  ASSERT_NE(dlg.GetDlgItem(IDCANCEL), nullptr);
  // The second stage of the wait.
  dlg.SetWindowText(LoadResString(IDS_CONNECTING));
  dlg.SetStatusText(LoadResString(IDS_ATTEMPTING_CONNECT));
  EXPECT_EQ(dlg.GetWindowText(), "Connecting...");
  EXPECT_EQ(dlg.GetDlgItemText(1027), "Attempting to connect...");
  auto* label = qobject_cast<QLabel*>(dlg.GetDlgItem(1027)->widget());
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), "Attempting to connect...");
}

TEST_F(PromptDialogs, CancelDuringAPumpPeriodIsSeenAfterIt) {
  CCyclePowerDlg dlg;
  ASSERT_TRUE(dlg.Create());
  dlg.ShowWindow(SW_SHOW);
  QWidget other;
  auto* button = new QPushButton("x", &other);
  int otherClicks = 0;
  QObject::connect(button, &QPushButton::clicked, [&] { ++otherClicks; });
  other.show();
  bool seenDuring = true;
  QTimer::singleShot(30, [&] {
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(dlg.GetDlgItem(IDCANCEL)->widget(), Qt::LeftButton);
    seenDuring = false;  // the caller cannot look before the period ends
  });
  EXPECT_GE(dlg.PumpMessagesFor(150), 0);
  EXPECT_FALSE(seenDuring);
  EXPECT_TRUE(dlg.cancelled());
  EXPECT_FALSE(dlg.IsWindowVisible());  // ended as a dialog does on Cancel
  EXPECT_EQ(dlg.result(), IDCANCEL);
  EXPECT_EQ(otherClicks, 0);
  // The caller destroys it.
  EXPECT_TRUE(dlg.DestroyWindow());
  EXPECT_FALSE(dlg.IsWindow());
}

TEST_F(PromptDialogs, ZeroPumpReturnsAtOnce) {
  CCyclePowerDlg dlg;
  ASSERT_TRUE(dlg.Create());
  int got = 0;
  dlg.SetMessageHandler(WM_USER + 9, [&](WPARAM, LPARAM) {
    ++got;
    return LRESULT(0);
  });
  EXPECT_TRUE(dlg.PostMessage(WM_USER + 9));
  EXPECT_EQ(dlg.PumpMessagesFor(0), 0);
  EXPECT_EQ(got, 0);
  EXPECT_GE(dlg.PumpMessagesFor(20), 0);
  EXPECT_EQ(got, 1);  // its own messages do get through
}

TEST_F(PromptDialogs, ProgressDialogDrivesItsBar) {
  CProgressDlg dlg;
  ASSERT_TRUE(dlg.Create());
  EXPECT_EQ(dlg.GetWindowText(), "");      // no caption
  ASSERT_TRUE(dlg.m_progress.IsWindow());  // bound through data exchange
  EXPECT_EQ(dlg.GetDlgItem(1026), &dlg.m_progress);
  auto* bar = qobject_cast<QProgressBar*>(dlg.m_progress.widget());
  ASSERT_NE(bar, nullptr);
  dlg.SetStatusText("Loading firmware...");
  EXPECT_EQ(dlg.GetDlgItemText(1027), "Loading firmware...");
  auto* label = qobject_cast<QLabel*>(dlg.GetDlgItem(1027)->widget());
  ASSERT_NE(label, nullptr);
  EXPECT_TRUE(label->alignment() & Qt::AlignHCenter);

  dlg.m_progress.SetRange32(0, 40);
  dlg.m_progress.SetStep(10);
  dlg.m_progress.SetPos(0);
  EXPECT_EQ(dlg.m_progress.StepIt(), 0);
  EXPECT_EQ(dlg.m_progress.StepIt(), 10);
  EXPECT_EQ(dlg.m_progress.GetPos(), 20);
  EXPECT_EQ(bar->value(), 20);
  dlg.m_progress.SetPos(500);  // kept inside the range
  EXPECT_EQ(dlg.m_progress.GetPos(), 40);
  int lo = 0, hi = 0;
  dlg.m_progress.GetRange(lo, hi);
  EXPECT_EQ(hi, 40);

  // Cancel behaves as the base dialog's: the window ends.
  dlg.ShowWindow(SW_SHOW);
  QTest::mouseClick(dlg.GetDlgItem(IDCANCEL)->widget(), Qt::LeftButton);
  EXPECT_TRUE(dlg.ended());
  EXPECT_EQ(dlg.result(), IDCANCEL);
  EXPECT_FALSE(dlg.IsWindowVisible());
  EXPECT_TRUE(dlg.DestroyWindow());
  EXPECT_FALSE(dlg.m_progress.IsWindow());
}

TEST_F(PromptDialogs, ProgressDialogCanBeMadeAgain) {
  CProgressDlg dlg;
  ASSERT_TRUE(dlg.Create());
  EXPECT_TRUE(dlg.DestroyWindow());
  ASSERT_TRUE(dlg.Create());
  EXPECT_TRUE(dlg.m_progress.IsWindow());
}

}  // namespace
