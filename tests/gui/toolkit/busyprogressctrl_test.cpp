#include "toolkit/busyprogressctrl.h"

#include <gtest/gtest.h>

#include <QTest>
#include <memory>
#include <vector>

#include "gui_helpers.h"

namespace {

std::vector<int> Positions(CBusyProgressCtrl& c, int steps) {
  std::vector<int> seen{c.GetPos()};
  for (int i = 0; i < steps; ++i) {
    c.Step();
    seen.push_back(c.GetPos());
  }
  return seen;
}

TEST(BusyProgressCtrl, AnimationStylesRunTheirCourse) {
  CBusyProgressCtrl bounce(10, 0);
  EXPECT_EQ(Positions(bounce, 20),
            (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2}));

  CBusyProgressCtrl forward(10, 0);
  forward.SetBusyType(CBusyProgressCtrl::kWrapForward);
  const auto f = Positions(forward, 11);
  EXPECT_EQ(f, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1}));

  CBusyProgressCtrl backward(10, 0);
  backward.SetBusyType(CBusyProgressCtrl::kWrapBackward);
  backward.Reset();
  EXPECT_EQ(Positions(backward, 11), (std::vector<int>{10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 9}));

  // Smooth fill runs over the sub-steps of every segment.
  CBusyProgressCtrl smooth(4, 0);
  smooth.SetBusyFill(CBusyProgressCtrl::kFillSmooth);
  for (int i = 0; i < 19; ++i) smooth.Step();
  EXPECT_EQ(smooth.GetPos(), 19);
  smooth.Step();
  EXPECT_EQ(smooth.GetPos(), 18);
}

TEST(BusyProgressCtrl, ProgressFillHonoursTheWholeRange) {
  CBusyProgressCtrl c(10, 0);
  c.SetMode(CBusyProgressCtrl::kModeProgress);
  c.SetRange(0, 100);
  c.SetPos(55);
  EXPECT_DOUBLE_EQ(c.FilledSegments(), 5.5);
  // The lower bound counts: 105 in 50..150 is as far as 55 in 0..100.
  c.SetRange(50, 150);
  c.SetPos(105);
  EXPECT_DOUBLE_EQ(c.FilledSegments(), 5.5);
  c.SetRange(-100, 100);
  c.SetPos(0);
  EXPECT_DOUBLE_EQ(c.FilledSegments(), 5.0);
  // Outside the range the bar is empty or full, never beyond.
  c.SetPos(-500);
  EXPECT_DOUBLE_EQ(c.FilledSegments(), 0.0);
  c.SetPos(500);
  EXPECT_DOUBLE_EQ(c.FilledSegments(), 10.0);
  // A range without width and a row without segments fill nothing.
  c.SetRange(7, 7);
  EXPECT_DOUBLE_EQ(c.FilledSegments(), 0.0);
  CBusyProgressCtrl none(0, 0);
  none.SetMode(CBusyProgressCtrl::kModeProgress);
  none.SetPos(50);
  EXPECT_DOUBLE_EQ(none.FilledSegments(), 0.0);
  none.Step();
  CImageDC dc(50, 10);
  none.Paint(dc);  // nothing to divide, nothing to draw
  // Start does nothing in progress mode.
  c.Start();
  EXPECT_FALSE(c.IsRunning());
}

class BusyWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_parent.Create("", "", WS_VISIBLE, CRect(0, 0, 300, 100), nullptr, 0));
  }
  void TearDown() override { fwtest::Drain(); }
  CWnd m_parent;
};

TEST_F(BusyWindow, PaintsActiveAndPartialSegments) {
  CBusyProgressCtrl c(10, 0);
  ASSERT_TRUE(c.Create(CRect(0, 0, 110, 20), &m_parent, 1031));
  EXPECT_EQ(c.GetWindowText(), "BusyProgressCtrl");
  EXPECT_DOUBLE_EQ(c.SegmentWidth(), 10.0);  // (110 - 10 gaps) / 10
  c.SetColBkg(RGB(0, 0, 0));
  c.SetColBlocks(RGB(0, 0, 255));
  c.SetColBlocksHi(RGB(255, 0, 0));
  c.SetMode(CBusyProgressCtrl::kModeProgress);
  c.SetRange(0, 100);
  c.SetPos(55);
  CImageDC dc(110, 20);
  c.Paint(dc);
  const QImage& img = dc.Snapshot();
  auto at = [&](int x, int y) { return fw::FromQColor(QColor(img.pixel(x, y))); };
  const int mid = 10;
  EXPECT_EQ(at(c.SegmentRect(4).left + 5, mid), RGB(255, 0, 0));
  EXPECT_EQ(at(c.SegmentRect(5).left + 2, mid), RGB(255, 0, 0));  // the half that is done
  EXPECT_EQ(at(c.SegmentRect(5).left + 7, mid), RGB(0, 0, 255));
  EXPECT_EQ(at(c.SegmentRect(6).left + 5, mid), RGB(0, 0, 255));
  EXPECT_EQ(at(c.SegmentRect(4).right, mid), RGB(0, 0, 0));  // the gap
}

TEST_F(BusyWindow, AnimatesOnItsOwnTimerAndFollowsItsSize) {
  auto c = std::make_unique<CBusyProgressCtrl>(10, 0);
  ASSERT_TRUE(c->Create(CRect(0, 0, 110, 20), &m_parent, 1031));
  c->SendMessage(CBusyProgressCtrl::BPM_SETINTERVAL, 5);
  c->SendMessage(CBusyProgressCtrl::BPM_START);
  EXPECT_TRUE(c->IsRunning());
  ASSERT_TRUE(fwtest::WaitFor([&] { return c->GetPos() >= 3; }));
  c->SendMessage(CBusyProgressCtrl::BPM_END);
  EXPECT_FALSE(c->IsRunning());
  const int stopped = c->GetPos();
  QTest::qWait(30);
  EXPECT_EQ(c->GetPos(), stopped);

  // A resize lays the segments out again at once.
  c->MoveWindow(0, 0, 210, 20);
  fwtest::Drain();
  EXPECT_DOUBLE_EQ(c->SegmentWidth(), 20.0);

  // Going away while animating leaves nothing behind that could fire.
  c->SendMessage(CBusyProgressCtrl::BPM_START);
  c.reset();
  QTest::qWait(20);
}

}  // namespace
