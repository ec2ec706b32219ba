#include "tools/opsoperationui.h"

#include <gtest/gtest.h>

#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <thread>

#include "gui_helpers.h"
#include "tools/progressdlg.h"

namespace {

class OpsOperationUi : public ::testing::Test {
 protected:
  void TearDown() override { fwtest::Drain(); }
};

QProgressBar* Bar(CProgressDlg* dlg) {
  return qobject_cast<QProgressBar*>(dlg->GetDlgItem(CProgressDlg::kProgressId)->widget());
}

TEST_F(OpsOperationUi, ProgressFollowsTheBlocksAndGoes) {
  COpsOperationUi ui;
  ui.ShowProgress("Loading firmware...", 4);
  CProgressDlg* dlg = ui.progress();
  ASSERT_NE(dlg, nullptr);
  ASSERT_TRUE(dlg->IsWindowVisible());
  EXPECT_EQ(dlg->GetDlgItemText(CProgressDlg::kStatusId), "Loading firmware...");
  ASSERT_NE(Bar(dlg), nullptr);
  EXPECT_EQ(Bar(dlg)->maximum(), 4);
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(ui.PumpProgress());
    ui.StepProgress();
  }
  EXPECT_EQ(Bar(dlg)->value(), 3);
  ui.HideProgress();
  EXPECT_EQ(ui.progress(), nullptr);
  EXPECT_FALSE(ui.PumpProgress());  // nothing left to cancel
}

TEST_F(OpsOperationUi, CancelGetsThroughOtherInputDoesNot) {
  COpsOperationUi ui;
  ui.ShowProgress("Loading firmware...", 100);
  QWidget other;
  auto* button = new QPushButton("x", &other);
  int otherClicks = 0;
  QObject::connect(button, &QPushButton::clicked, [&] { ++otherClicks; });
  other.show();
  bool cancelled = false;
  // Clicks arrive while blocks are being sent: only the pump delivers them.
  QTimer::singleShot(0, [&] {
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(ui.progress()->GetDlgItem(IDCANCEL)->widget(), Qt::LeftButton);
  });
  for (int i = 0; i < 200 && !cancelled; ++i) {
    cancelled = ui.PumpProgress();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_TRUE(cancelled);
  EXPECT_TRUE(ui.PumpProgress());  // stays cancelled until the dialog goes
  EXPECT_EQ(otherClicks, 0);
}

TEST_F(OpsOperationUi, CyclePowerPromptAdapter) {
  auto prompt = MakeOpsCyclePowerPrompt(nullptr);
  prompt->SetCaption("Connecting...");
  prompt->SetStatus("Attempting to connect...");
  EXPECT_FALSE(prompt->Cancelled());
  QWidget* dialog = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && w->windowTitle() == "Connecting...") dialog = w;
  ASSERT_NE(dialog, nullptr);
  QPushButton* cancel = nullptr;
  for (auto* b : dialog->findChildren<QPushButton*>())
    if (b->text() == "Cancel") cancel = b;
  ASSERT_NE(cancel, nullptr);
  QTimer::singleShot(10, [cancel] { QTest::mouseClick(cancel, Qt::LeftButton); });
  prompt->PumpMessagesFor(100);
  EXPECT_TRUE(prompt->Cancelled());
  prompt.reset();  // destroys the window
  fwtest::Drain();
  for (QWidget* w : QApplication::topLevelWidgets())
    EXPECT_FALSE(w->isVisible() && w->windowTitle() == "Connecting...");
}

}  // namespace
