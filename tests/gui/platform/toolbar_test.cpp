#include "platform/gui/toolbar.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QToolBar>

#include "gui_helpers.h"
#include "platform/profile.h"
#include "tests/common/test_util.h"

namespace {

// Strip of n 16x16 images, image i a solid colour (i*40, 0, 200) inside a
// mask-coloured border.
QImage Strip(int n) {
  QImage img(16 * n, 16, QImage::Format_RGB32);
  img.fill(QColor(192, 192, 192));
  for (int i = 0; i < n; ++i)
    for (int y = 2; y < 14; ++y)
      for (int x = 2; x < 14; ++x) img.setPixel(16 * i + x, y, qRgb(40 * i, 0, 200));
  return img;
}

// The toolbar's owner: records commands and notifications, answers the
// drag queries with `allow`.
class Owner : public CWnd {
 public:
  std::vector<UINT> commands;
  std::vector<UINT> codes;
  bool allow = true;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
    if (msg == WM_COMMAND) {
      commands.push_back(LOWORD(w));
      return 0;
    }
    if (msg == WM_NOTIFY) {
      auto* hdr = reinterpret_cast<NMHDR*>(l);
      if (hdr->code != NM_CUSTOMDRAW) codes.push_back(hdr->code);
      if (hdr->code == TBN_QUERYINSERT || hdr->code == TBN_QUERYDELETE) return allow ? 1 : 0;
      return 0;
    }
    return CWnd::WindowProc(msg, w, l);
  }
};

class ToolBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_owner.Create("", "", WS_VISIBLE, CRect(0, 0, 400, 200), nullptr, 0));
    ASSERT_TRUE(m_images.Create(16, 16, ILC_COLOR24 | ILC_MASK, 4, 0));
    m_images.Add(Strip(4), RGB(192, 192, 192));
  }
  void Make(std::uint32_t ctrlStyle = TBSTYLE_FLAT) {
    ASSERT_TRUE(
        m_bar.CreateEx(&m_owner, ctrlStyle, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS));
    const UINT ids[] = {101, 0, 102, 103, 0, 104};
    ASSERT_TRUE(m_bar.SetButtons(ids, 6));
    m_bar.SetImageList(&m_images);
    m_bar.SetSizes(CSize(24, 22), CSize(16, 16));
    fwtest::Drain();
  }
  CPoint Centre(int index) {
    CRect r;
    m_bar.GetItemRect(index, &r);
    return r.CenterPoint();
  }
  std::vector<int> Ids() {
    std::vector<int> out;
    for (int i = 0; i < m_bar.GetCount(); ++i) out.push_back(static_cast<int>(m_bar.GetItemID(i)));
    return out;
  }
  Owner m_owner;
  CImageList m_images;
  CToolBar m_bar;
};

TEST_F(ToolBarTest, ButtonsAndSeparatorsLieInOneRowOfFixedSizes) {
  Make();
  ASSERT_EQ(m_bar.GetCount(), 6);
  EXPECT_EQ(m_bar.GetButtonSize(), CSize(24, 22));
  const int lefts[] = {0, 24, 32, 56, 80, 88};
  for (int i = 0; i < 6; ++i) {
    CRect r;
    m_bar.GetItemRect(i, &r);
    EXPECT_EQ(r.left, lefts[i]) << i;
    EXPECT_EQ(r.Height(), 22);
  }
  EXPECT_EQ(m_bar.CalcFixedLayout(false, true), CSize(112, 22));
  // Vertical: one button per row, a separator adds its width as a gap (flat bar).
  EXPECT_EQ(m_bar.CalcFixedLayout(false, false), CSize(24, 4 * 22 + 2 * 8));
  EXPECT_EQ(m_bar.HitTest(CPoint(30, 5)), ~1);  // on the separator
  EXPECT_EQ(m_bar.HitTest(CPoint(60, 5)), 3);
  EXPECT_EQ(m_bar.CommandToIndex(104), 5);
  EXPECT_EQ(m_bar.CommandToIndex(999), -1);
}

TEST_F(ToolBarTest, TextRowsWidenAndHeightenButtonsWithinTheWidthLimits) {
  Make();
  m_bar.SendMessage(TB_SETMAXTEXTROWS, 3);
  EXPECT_EQ(m_bar.SendMessage(TB_SETBUTTONWIDTH, 0, MAKELPARAM(0, 100)), 1);
  m_bar.SetButtonText(0, "New");
  m_bar.SetButtonText(2, "Add New Base Configuration to the project");
  const int line = QFontMetrics(m_bar.ButtonFont()).height();
  const CSize size = m_bar.GetButtonSize();
  // As wide as the widest wrapped line, never wider than the maximum.
  EXPECT_LE(size.cx, 100);
  EXPECT_GE(size.cx, QFontMetrics(m_bar.ButtonFont()).horizontalAdvance("Configuration") + 6);
  EXPECT_EQ(size.cy, 16 + 6 + 3 * line);  // the long text takes all three rows
  EXPECT_EQ(m_bar.GetTextRows(), 3);
  // Setting the computed size back is stable, as the frame does it.
  m_bar.SetSizes(size, CSize(16, 16));
  EXPECT_EQ(m_bar.GetButtonSize(), size);
  m_bar.SetButtonText(2, "");
  m_bar.SetButtonText(0, "");
  m_bar.SetSizes(CSize(24, 22), CSize(16, 16));
  EXPECT_EQ(m_bar.GetButtonSize(), CSize(24, 22));
}

TEST_F(ToolBarTest, PaintsFlatAndClassicButtonsWithTheirImages) {
  Make();
  m_bar.SendMessage(TB_SETSTATE, 103, MAKELPARAM(0, 0));  // disabled
  CImageDC flat(120, 22, RGB(1, 2, 3));
  m_bar.Paint(flat);
  const QImage& img = flat.Snapshot();
  // Button 0: image 0 centred, 4 across and 3 down; no edge while not hot.
  EXPECT_EQ(img.pixel(4 + 5, 3 + 5), qRgb(0, 0, 200));
  EXPECT_EQ(img.pixel(0, 0), img.pixel(1, 1));
  // Button 2 shows image 1.
  EXPECT_EQ(img.pixel(32 + 4 + 5, 3 + 5), qRgb(40, 0, 200));
  // A disabled button's image is embossed, not in colour.
  EXPECT_NE(img.pixel(56 + 4 + 5, 3 + 5), qRgb(80, 0, 200));
  // The flat separator is an etched line in its middle.
  EXPECT_EQ(QColor(img.pixel(24 + 3, 10)), fw::ToQColor(GetSysColor(COLOR_BTNSHADOW)));
  EXPECT_EQ(QColor(img.pixel(24 + 4, 10)), fw::ToQColor(GetSysColor(COLOR_BTNHIGHLIGHT)));

  m_bar.ModifyStyle(TBSTYLE_FLAT, 0);
  CImageDC classic(120, 22, RGB(1, 2, 3));
  m_bar.Paint(classic);
  const QImage& c = classic.Snapshot();
  // Classic buttons stand raised; the separator is only a gap.
  EXPECT_EQ(QColor(c.pixel(1, 1)), fw::ToQColor(GetSysColor(COLOR_BTNHIGHLIGHT)));
  EXPECT_EQ(QColor(c.pixel(23, 10)), fw::ToQColor(GetSysColor(COLOR_3DDKSHADOW)));
  EXPECT_EQ(QColor(c.pixel(24 + 3, 10)), fw::ToQColor(GetSysColor(COLOR_BTNFACE)));
}

TEST_F(ToolBarTest, ClicksSendTheCommandToTheOwnerAndHotTracks) {
  Make();
  QWidget* w = m_bar.widget();
  QTest::mouseMove(w, Centre(2).ToQt());
  fwtest::Drain();
  EXPECT_EQ(m_bar.GetHotItem(), 2);
  QTest::mouseClick(w, Qt::LeftButton, {}, Centre(2).ToQt());
  fwtest::Drain();
  EXPECT_EQ(m_owner.commands, std::vector<UINT>{102});
  // Pressed inside, released outside: nothing.
  QTest::mousePress(w, Qt::LeftButton, {}, Centre(3).ToQt());
  QTest::mouseRelease(w, Qt::LeftButton, {}, Centre(5).ToQt());
  // A disabled button does nothing.
  m_bar.SendMessage(TB_ENABLEBUTTON, 104, 0);
  QTest::mouseClick(w, Qt::LeftButton, {}, Centre(5).ToQt());
  fwtest::Drain();
  EXPECT_EQ(m_owner.commands, std::vector<UINT>{102});
}

TEST_F(ToolBarTest, AnAdjustableBarMovesAndDropsButtonsDraggedWithShift) {
  Make(TBSTYLE_FLAT | CCS_ADJUSTABLE);
  QWidget* w = m_bar.widget();
  // Shift-drag button 101 to just before 104.
  QTest::mousePress(w, Qt::LeftButton, Qt::ShiftModifier, Centre(0).ToQt());
  QTest::mouseMove(w, (Centre(5) + CSize(-8, 0)).ToQt());
  TBINSERTMARK mark;
  m_bar.SendMessage(TB_GETINSERTMARK, 0, reinterpret_cast<LPARAM>(&mark));
  EXPECT_EQ(mark.iButton, 5);
  QTest::mouseRelease(w, Qt::LeftButton, Qt::ShiftModifier, (Centre(5) + CSize(-8, 0)).ToQt());
  EXPECT_EQ(Ids(), (std::vector<int>{0, 102, 103, 0, 101, 104}));
  EXPECT_EQ(m_owner.codes,
            (std::vector<UINT>{TBN_BEGINDRAG, TBN_QUERYINSERT, TBN_ENDDRAG, TBN_TOOLBARCHANGE}));
  EXPECT_TRUE(m_owner.commands.empty());  // a drag is no click
  // Dragged off the bar: the owner may refuse, then agree.
  m_owner.allow = false;
  QTest::mousePress(w, Qt::LeftButton, Qt::ShiftModifier, Centre(1).ToQt());
  QTest::mouseRelease(w, Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 300));
  EXPECT_EQ(m_bar.GetCount(), 6);
  m_owner.allow = true;
  QTest::mousePress(w, Qt::LeftButton, Qt::ShiftModifier, Centre(1).ToQt());
  QTest::mouseRelease(w, Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 300));
  EXPECT_EQ(Ids(), (std::vector<int>{0, 103, 0, 101, 104}));
  // Without CCS_ADJUSTABLE Shift+click is a plain click.
  m_bar.ModifyStyle(CCS_ADJUSTABLE, 0);
  QTest::mouseClick(w, Qt::LeftButton, Qt::ShiftModifier, Centre(1).ToQt());
  fwtest::Drain();
  EXPECT_EQ(m_owner.commands, std::vector<UINT>{103});
}

TEST_F(ToolBarTest, IdleUpdateEnablesChecksAndDisablesFromTheOwnersHandlers) {
  Make();
  m_owner.SetCommandHandler(101, [] {});
  m_owner.SetUpdateHandler(102, [](CCmdUI* ui) { ui->SetCheck(1); });
  m_owner.SetUpdateHandler(103, [](CCmdUI* ui) { ui->Enable(false); });
  m_bar.SendMessage(WM_IDLEUPDATECMDUI, 1);
  EXPECT_TRUE(m_bar.GetState(101) & TBSTATE_ENABLED);
  EXPECT_TRUE(m_bar.GetState(102) & TBSTATE_CHECKED);
  EXPECT_FALSE(m_bar.GetState(103) & TBSTATE_ENABLED);
  EXPECT_FALSE(m_bar.GetState(104) & TBSTATE_ENABLED);  // no handler anywhere
  m_bar.SendMessage(WM_IDLEUPDATECMDUI, 0);
  EXPECT_FALSE(m_bar.GetState(104) & TBSTATE_ENABLED);  // left as it was
}

TEST_F(ToolBarTest, SavedButtonOrderComesBackAndBadBlobsAreRefused) {
  fw::test::TempDir dir;
  fw::CProfile profile;
  ASSERT_TRUE(profile.OpenFile(dir.file("p.ini")));
  fw::SetAppProfile(&profile);
  Make();
  m_bar.SetButtonText(0, "first");
  TBSAVEPARAMS params{"Bars", "Main"};
  EXPECT_EQ(m_bar.SendMessage(TB_SAVERESTORE, 1, reinterpret_cast<LPARAM>(&params)), 1);
  m_bar.MoveButton(0, 5);
  m_bar.DeleteButton(1);
  EXPECT_EQ(m_bar.SendMessage(TB_SAVERESTORE, 0, reinterpret_cast<LPARAM>(&params)), 1);
  EXPECT_EQ(Ids(), (std::vector<int>{101, 0, 102, 103, 0, 104}));
  EXPECT_EQ(m_bar.GetButtonText(0), "first");

  std::vector<std::uint8_t> good =
      fw::SaveToolBarButtons({TBBUTTON{0, 5, TBSTATE_ENABLED, 0, 0, -1}});
  std::vector<TBBUTTON> out;
  EXPECT_TRUE(fw::ParseToolBarButtons(good, &out));
  auto bad = [&](std::vector<std::uint8_t> blob) { return !fw::ParseToolBarButtons(blob, &out); };
  EXPECT_TRUE(bad({}));
  EXPECT_TRUE(bad(std::vector<std::uint8_t>(good.begin(), good.end() - 1)));  // cut short
  auto longer = good;
  longer.push_back(0);
  EXPECT_TRUE(bad(longer));
  auto many = good;
  many[0] = 0xFF, many[1] = 0xFF;  // a count the blob cannot hold
  EXPECT_TRUE(bad(many));
  auto noId = fw::SaveToolBarButtons({TBBUTTON{0, 0, TBSTATE_ENABLED, 0, 0, -1}});
  EXPECT_TRUE(bad(noId));  // a button without a command
  // A refused blob leaves the bar as it was.
  profile.WriteProfileBinary("Bars", "Main", longer);
  EXPECT_EQ(m_bar.SendMessage(TB_SAVERESTORE, 0, reinterpret_cast<LPARAM>(&params)), 0);
  EXPECT_EQ(m_bar.GetCount(), 6);
  fw::SetAppProfile(nullptr);
}

}  // namespace
