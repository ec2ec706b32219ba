#include "toolkit/anchorlayoutdialog.h"

#include <gtest/gtest.h>

#include <QSizeGrip>
#include <map>

#include "gui_helpers.h"

namespace {

const char* const kScript = R"(
600 DIALOGEX 0, 0, 200, 120
STYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU
CAPTION "Anchors"
FONT 8, "MS Shell Dlg"
BEGIN
    LISTBOX         1001, 7, 7, 186, 70, WS_VSCROLL
    GROUPBOX        "Box", 1002, 7, 80, 90, 30
    PUSHBUTTON      "Left", 1003, 7, 100, 40, 14
    PUSHBUTTON      "Right", 1004, 150, 100, 43, 14
    CTEXT           "middle", 1005, 80, 82, 40, 8
    EDITTEXT        1006, 100, 82, 40, 12
END
)";

class AnchoredDlg : public CAnchorLayoutDialog {
 public:
  AnchoredDlg() : CAnchorLayoutDialog(600) {}

 protected:
  bool OnInitDialog() override {
    CAnchorLayoutDialog::OnInitDialog();
    AnchorControl(1001, TOP_LEFT, BOTTOM_RIGHT);
    AnchorControl(1002, BOTTOM_LEFT, BOTTOM_CENTER);
    AnchorControl(1003, BOTTOM_LEFT);
    AnchorControl(1004, BOTTOM_RIGHT, NOANCHOR);
    AnchorControl(1005, MIDDLE_CENTER);
    AnchorControl(1006, TOP_RIGHT, BOTTOM_RIGHT);
    return true;
  }
};

class AnchorLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_bundle.ok()) << m_bundle.error(); }
  void TearDown() override { fwtest::Drain(); }
  static CRect Geometry(CWnd* c) { return CRect::FromQt(c->widget()->geometry()); }
  fwtest::ScopedBundle m_bundle{kScript};
};

TEST_F(AnchorLayoutTest, ControlsKeepTheirAnchorsAcrossASweepOfSizes) {
  AnchoredDlg dlg;
  ASSERT_TRUE(dlg.Create(600));
  dlg.ShowWindow(SW_SHOW);
  QWidget* w = dlg.widget();
  const QSize designed = w->size();
  std::map<int, CRect> start;
  for (int id : {1001, 1002, 1003, 1004, 1005, 1006}) start[id] = Geometry(dlg.GetDlgItem(id));

  for (int dx = 0; dx <= 400; dx += 37) {
    for (int dy = 0; dy <= 300; dy += 53) {
      w->resize(designed.width() + dx, designed.height() + dy);
      fwtest::Drain();
      ASSERT_EQ(w->size(), QSize(designed.width() + dx, designed.height() + dy));
      const CRect list = Geometry(dlg.GetDlgItem(1001));
      EXPECT_EQ(list.TopLeft(), start[1001].TopLeft());
      EXPECT_EQ(list.Width(), start[1001].Width() + dx);  // grows by the dialog's growth
      EXPECT_EQ(list.Height(), start[1001].Height() + dy);
      const CRect left = Geometry(dlg.GetDlgItem(1003));
      EXPECT_EQ(left.left, start[1003].left);
      EXPECT_EQ(left.top, start[1003].top + dy);  // same distance to the bottom edge
      EXPECT_EQ(left.Size(), start[1003].Size());
      const CRect right = Geometry(dlg.GetDlgItem(1004));
      EXPECT_EQ(right.TopLeft(), CPoint(start[1004].left + dx, start[1004].top + dy));
      EXPECT_EQ(right.Size(), start[1004].Size());
      // Percent anchors move by their share of the growth (integer arithmetic).
      const CRect box = Geometry(dlg.GetDlgItem(1002));
      const int W0 = designed.width(), W = designed.width() + dx;
      EXPECT_EQ(box.right - start[1002].right, 50 * W / 100 - 50 * W0 / 100);
      const CRect mid = Geometry(dlg.GetDlgItem(1005));
      EXPECT_EQ(mid.left - start[1005].left, 50 * W / 100 - 50 * W0 / 100);
      EXPECT_EQ(mid.Size(), start[1005].Size());
      const CRect edit = Geometry(dlg.GetDlgItem(1006));
      EXPECT_EQ(edit.Width(), start[1006].Width());
      EXPECT_EQ(edit.Height(), start[1006].Height() + dy);
      // The grip sits in the lower-right corner.
      const CRect grip = Geometry(dlg.SizeGrip());
      EXPECT_EQ(grip.BottomRight(), CPoint(w->width(), w->height()));
    }
  }
  // Never below the designed size; back at it, everything is where it began.
  w->resize(designed.width() / 2, designed.height() / 3);
  fwtest::Drain();
  EXPECT_GE(w->width(), designed.width());
  EXPECT_GE(w->height(), designed.height());
  w->resize(designed);
  fwtest::Drain();
  for (auto& [id, r] : start) EXPECT_EQ(Geometry(dlg.GetDlgItem(id)), r) << id;
}

TEST_F(AnchorLayoutTest, GripAndClippingRules) {
  AnchoredDlg dlg;
  ASSERT_TRUE(dlg.Create(600));
  dlg.ShowWindow(SW_SHOW);
  ASSERT_NE(dlg.SizeGrip(), nullptr);
  EXPECT_NE(qobject_cast<QSizeGrip*>(dlg.SizeGrip()->widget()), nullptr);
  EXPECT_TRUE(dlg.SizeGrip()->IsWindowEnabled());
  EXPECT_TRUE(dlg.GetStyle() & WS_THICKFRAME);
  // Group boxes and text statics get the background; buttons and edits paint all they cover.
  EXPECT_FALSE(dlg.LikesClipping(dlg.GetDlgItem(1002)));
  EXPECT_FALSE(dlg.LikesClipping(dlg.GetDlgItem(1005)));
  EXPECT_TRUE(dlg.LikesClipping(dlg.GetDlgItem(1003)));
  EXPECT_TRUE(dlg.LikesClipping(dlg.GetDlgItem(1006)));
  EXPECT_TRUE(dlg.LikesClipping(dlg.GetDlgItem(1001)));
  ASSERT_EQ(dlg.records().size(), 6u);
  EXPECT_TRUE(dlg.records()[0].adjustHScroll);  // the list box
  EXPECT_TRUE(dlg.DestroyWindow());
  EXPECT_TRUE(dlg.records().empty());
}

}  // namespace
