#include "toolkit/cooltoolbar.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <functional>

#include "gui_helpers.h"
#include "platform/gui/controls.h"
#include "platform/gui/framewnd.h"
#include "platform/profile.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "tests/common/test_util.h"

namespace {

const char* const kScript = R"(
STRINGTABLE
BEGIN
    500, "Bar"
    101, "New\nNew project"
    102, "Open\nOpen a project"
    103, "Save"
    104, "Load\nLoad the configuration"
    26585, "Remove Button"
    26586, "Customize..."
    26587, "Image Only"
    26588, "Image and Text"
    26589, "Insert Separator Before"
    26590, "Insert Separator After"
END
500 MENU
BEGIN
    POPUP "&File"
    BEGIN
        MENUITEM "&New project\tCtrl+N", 101
        MENUITEM "&Open...",             102
    END
END
)";

// A custom button window: an edit box whose text is its saved data.
class EditControl : public ICoolBarControl {
 public:
  explicit EditControl(int* alive = nullptr) : m_alive(alive) {}
  CWnd* GetWindow() override { return m_edit.get(); }
  bool Create(UINT id, CCoolToolBar* bar, std::uint32_t style, std::uint32_t, const std::string&,
              const std::string&) override {
    m_edit = std::make_unique<CEdit>();
    if (!m_edit->Create("Edit", m_text, style | WS_CHILD, CRect(0, 0, 60, 18), bar,
                        static_cast<int>(id)))
      return false;
    if (m_alive) ++*m_alive;
    return true;
  }
  std::shared_ptr<ICoolBarControl> CopyFor(CCoolToolBar*) override { return nullptr; }
  void Destroy() override {
    if (m_edit && m_edit->IsWindow()) {
      EXPECT_TRUE(m_edit->DestroyWindow());
      if (m_alive) --*m_alive;
    }
  }
  bool IsTemporary() const override { return false; }
  void Store(CBarArchiveWriter& out) const override {
    out.String(m_edit && m_edit->IsWindow() ? m_edit->GetWindowText() : m_text);
  }
  bool Load(CBarArchiveReader& in) override { return in.String(&m_text); }
  const std::string& savedText() const { return m_text; }

 private:
  std::unique_ptr<CEdit> m_edit;
  std::string m_text;
  int* m_alive;
};

// Owner of the bar: records the customisation notifications and may answer them.
class Owner : public CWnd {
 public:
  std::vector<std::uint32_t> commands;
  std::uint32_t handled = 0;  // a command the owner does itself

 protected:
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
    if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(l)->code == kCoolBarCommand) {
      auto* n = reinterpret_cast<NMCOOLBARCOMMAND*>(l);
      commands.push_back(n->command);
      return n->command == handled ? 1 : 0;
    }
    return CWnd::WindowProc(msg, w, l);
  }
};

class CoolToolBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_bundle.ok()) << m_bundle.error();
    ASSERT_TRUE(m_owner.Create("", "", WS_VISIBLE, CRect(0, 0, 600, 200), nullptr, 0));
    ASSERT_TRUE(m_profile.OpenFile(m_dir.file("profile.ini")));
    fw::SetAppProfile(&m_profile);
    CCoolToolBar::ResetCustomButtonTypes();
    m_control = std::make_shared<EditControl>(&m_alive);
    CCoolToolBar::AddCustomButtonType(900, m_control, 70, 18, 7, 2);
  }
  void TearDown() override {
    fw::SetAppProfile(nullptr);
    fwtest::Drain();
  }
  void Make(CCoolToolBar& bar) {
    ASSERT_TRUE(bar.CreateEx(&m_owner, TBSTYLE_FLAT,
                             WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_TOOLTIPS));
    const UINT ids[] = {101, 0, 102, 103, 0, 104};
    ASSERT_TRUE(bar.SetButtons(ids, 6));
    bar.SetSizes(CSize(24, 22), CSize(16, 16));
    bar.SetCustomizeCommands({101, 102, 103, 104});
    fwtest::Drain();
  }
  std::vector<int> Ids(CCoolToolBar& bar) {
    std::vector<int> out;
    for (int i = 0; i < bar.GetCount(); ++i) out.push_back(static_cast<int>(bar.GetItemID(i)));
    return out;
  }
  std::vector<std::string> Texts(CCoolToolBar& bar) {
    std::vector<std::string> out;
    for (int i = 0; i < bar.GetCount(); ++i) out.push_back(bar.GetButtonText(i));
    return out;
  }
  CPoint Centre(CCoolToolBar& bar, int index) {
    CRect r;
    bar.GetItemRect(index, &r);
    return r.CenterPoint();
  }

  fwtest::ScopedBundle m_bundle{kScript};
  fw::test::TempDir m_dir;
  fw::CProfile m_profile;
  Owner m_owner;
  int m_alive = 0;
  std::shared_ptr<EditControl> m_control;
};

TEST_F(CoolToolBarTest, DefaultsAndTextTypes) {
  CCoolToolBar bar;
  EXPECT_EQ(bar.GetTextType(), 3);
  EXPECT_TRUE(bar.m_bGripper);
  EXPECT_TRUE(bar.m_bSeparator);
  EXPECT_EQ(bar.m_crDefaultText, GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(bar.m_crHotText, GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(bar.m_nMinButtonsWidth, -1);
  EXPECT_EQ(bar.m_nMaxButtonsWidth, -1);
  Make(bar);
  bar.SetButtonTextsFromCommands(0, 0xFFFF, 0);
  EXPECT_EQ(Texts(bar), (std::vector<std::string>{"New", "", "Open", "Save", "", "Load"}));
  bar.SetButtonTextsFromCommands(0, 0xFFFF, 1);
  EXPECT_EQ(Texts(bar), (std::vector<std::string>{"New project", "", "Open a project", "", "",
                                                  "Load the configuration"}));
  bar.SetButtonTextsFromCommands(102, 103, 4);
  EXPECT_EQ(bar.GetButtonText(2), "");
  EXPECT_EQ(bar.GetButtonText(0), "New project");  // outside the range
  bar.SetButtonTextsFromCommands(0, 0xFFFF, 3);    // no change
  EXPECT_EQ(bar.GetButtonText(0), "New project");
  bar.SetButtonTextsFromCommands(0, 0xFFFF, 9);  // anything else clears
  EXPECT_EQ(bar.GetTextType(), 4);
  EXPECT_EQ(bar.GetButtonText(0), "");
}

TEST_F(CoolToolBarTest, MenuTextsComeFromTheFramesMenu) {
  CFrameWnd frame;
  ASSERT_TRUE(frame.LoadFrame(500));
  CCoolToolBar bar;
  ASSERT_TRUE(bar.CreateEx(&frame));
  const UINT ids[] = {101, 102, 104};
  bar.SetButtons(ids, 3);
  bar.SetButtonTextsFromCommands(0, 0xFFFF, 2);
  EXPECT_EQ(Texts(bar), (std::vector<std::string>{"&New project", "&Open...", ""}));
}

TEST_F(CoolToolBarTest, CustomizationMenuWithTheMouse) {
  CCoolToolBar bar;
  Make(bar);
  bar.SetButtonTextsFromCommands(0, 0xFFFF, 0);
  bar.SetCustomizable(true, true);
  ASSERT_TRUE(bar.IsCustomizable(true));
  bar.SetCustomizationMode(true);
  QWidget* w = bar.widget();

  // Right button on "New": it is selected, the menu opens; "Insert
  // separator before" is grayed on the first button.
  std::map<QString, std::pair<bool, bool>> states;  // text -> (enabled, checked)
  auto choose = [&](const QString& pick) {
    QTimer::singleShot(0, [&states, pick] {
      fwtest::WaitFor([] { return QApplication::activePopupWidget() != nullptr; });
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (!menu) return;
      states.clear();
      for (QAction* a : menu->actions())
        if (!a->isSeparator()) states[a->text()] = {a->isEnabled(), a->isChecked()};
      for (QAction* a : menu->actions())
        if (a->text() == pick && a->isEnabled()) {
          QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
          return;
        }
      menu->close();
    });
  };
  const QString imageOnly = QString::fromStdString(LoadResString(IDS_IMAGE_ONLY));
  const QString imageText = QString::fromStdString(LoadResString(IDS_IMAGE_TEXT));
  const QString before = QString::fromStdString(LoadResString(IDS_INSERT_SEPARATOR_BEFORE));
  const QString after = QString::fromStdString(LoadResString(IDS_INSERT_SEPARATOR_AFTER));
  choose(imageOnly);
  QTest::mousePress(w, Qt::RightButton, {}, Centre(bar, 0).ToQt());
  QTest::mouseRelease(w, Qt::RightButton, {}, Centre(bar, 0).ToQt());
  fwtest::Drain();
  EXPECT_EQ(bar.GetCustomizedButton(), 0);
  EXPECT_FALSE(states[before].first);
  EXPECT_FALSE(states[after].first);  // a separator follows
  EXPECT_FALSE(states[imageOnly].second);
  EXPECT_TRUE(states[imageText].second);
  EXPECT_EQ(bar.GetButtonText(0), "");  // image only now
  EXPECT_EQ(bar.hiddenTexts().at(101), "New");

  // Image and text brings back the removed text, not the string table's.
  choose(imageText);
  QTest::mousePress(w, Qt::RightButton, {}, Centre(bar, 0).ToQt());
  QTest::mouseRelease(w, Qt::RightButton, {}, Centre(bar, 0).ToQt());
  fwtest::Drain();
  EXPECT_TRUE(states[imageOnly].second);
  EXPECT_EQ(bar.GetButtonText(0), "New");

  // "Open" follows a separator: no separator before it; one after it goes in.
  choose(after);
  QTest::mousePress(w, Qt::RightButton, {}, Centre(bar, 2).ToQt());
  QTest::mouseRelease(w, Qt::RightButton, {}, Centre(bar, 2).ToQt());
  fwtest::Drain();
  EXPECT_FALSE(states[before].first);
  EXPECT_TRUE(states[after].first);
  EXPECT_EQ(Ids(bar), (std::vector<int>{101, 0, 102, 0, 103, 0, 104}));
  // On the last button there is no "after".
  choose(QString());
  QTest::mousePress(w, Qt::RightButton, {}, Centre(bar, 6).ToQt());
  QTest::mouseRelease(w, Qt::RightButton, {}, Centre(bar, 6).ToQt());
  fwtest::Drain();
  EXPECT_FALSE(states[after].first);

  // A left click selects and runs nothing; the notifications report each step.
  m_owner.commands.clear();
  QTest::mouseClick(w, Qt::LeftButton, {}, Centre(bar, 2).ToQt());
  fwtest::Drain();
  EXPECT_EQ(bar.GetCustomizedButton(), 2);
  EXPECT_FALSE(bar.GetState(102) & TBSTATE_PRESSED);
  EXPECT_EQ(m_owner.commands, std::vector<std::uint32_t>{ID_COOLBAR_SELECT});

  // The owner takes over "Remove button": the bar does nothing itself.
  m_owner.handled = ID_COOLBAR_REMOVE;
  const QString remove = QString::fromStdString(LoadResString(IDS_REMOVE_BUTTON));
  choose(remove);
  QTest::mousePress(w, Qt::RightButton, {}, Centre(bar, 2).ToQt());
  QTest::mouseRelease(w, Qt::RightButton, {}, Centre(bar, 2).ToQt());
  fwtest::Drain();
  EXPECT_EQ(bar.GetCount(), 7);
  EXPECT_EQ(m_owner.commands.back(), ID_COOLBAR_REMOVE);
  m_owner.handled = 0;
  choose(remove);
  QTest::mousePress(w, Qt::RightButton, {}, Centre(bar, 2).ToQt());
  QTest::mouseRelease(w, Qt::RightButton, {}, Centre(bar, 2).ToQt());
  fwtest::Drain();
  EXPECT_EQ(Ids(bar), (std::vector<int>{101, 0, 0, 103, 0, 104}));
}

TEST_F(CoolToolBarTest, StandardCustomizationDragsButtonsAndTheirCustomNeighbours) {
  CCoolToolBar bar;
  Make(bar);
  bar.SetCustomizable(true, false);
  EXPECT_TRUE(bar.IsCustomizable(false));
  EXPECT_FALSE(bar.IsCustomizable(true));
  ASSERT_TRUE(bar.InsertCustomButton(4, 0, WS_CHILD | WS_VISIBLE, 0, "fw_coolbar_control", ""));
  ASSERT_EQ(bar.customButtons().count(4), 1u);
  // Shift-drag "New" after "Save": the custom button's record moves down one.
  QWidget* w = bar.widget();
  const CPoint target = Centre(bar, 3) + CSize(8, 0);
  QTest::mousePress(w, Qt::LeftButton, Qt::ShiftModifier, Centre(bar, 0).ToQt());
  QTest::mouseMove(w, target.ToQt());
  QTest::mouseRelease(w, Qt::LeftButton, Qt::ShiftModifier, target.ToQt());
  EXPECT_EQ(Ids(bar), (std::vector<int>{0, 102, 103, 101, 900, 0, 104}));
  EXPECT_EQ(bar.customButtons().count(4), 1u);
  // Without customisation commands nothing is customizable.
  CCoolToolBar plain;
  plain.SetCustomizable(true, false);
  EXPECT_FALSE(plain.IsCustomizable(false));
}

TEST_F(CoolToolBarTest, CustomButtonsStandOnTheirPlaceholdersAndFollowTheButtons) {
  CCoolToolBar bar;
  Make(bar);
  EXPECT_FALSE(bar.InsertCustomButton(7, 0, WS_CHILD | WS_VISIBLE, 0, "", ""));
  EXPECT_FALSE(bar.InsertCustomButton(1, 3, WS_CHILD | WS_VISIBLE, 0, "", ""));
  ASSERT_TRUE(bar.InsertCustomButton(2, 0, WS_CHILD | WS_VISIBLE, 0, "", ""));
  EXPECT_EQ(m_alive, 1);
  TBBUTTON b;
  ASSERT_TRUE(bar.GetButton(2, &b));
  EXPECT_TRUE(b.fsStyle & TBSTYLE_SEP);
  EXPECT_EQ(b.idCommand, 900);
  EXPECT_EQ(b.iBitmap, 70);  // the record's width
  CRect item;
  bar.GetItemRect(2, &item);
  CRect placed;
  m_control->GetWindow()->GetWindowRect(&placed);
  bar.ScreenToClient(&placed);
  EXPECT_EQ(placed.left, item.left + 2);
  EXPECT_EQ(placed.right, item.right - 2);
  EXPECT_EQ(placed.Height(), 18);
  EXPECT_EQ(placed.top, item.top + (item.Height() - 18) / 2);

  // A button inserted before it moves its record along.
  TBBUTTON button;
  button.idCommand = 105;
  button.fsState = TBSTATE_ENABLED;
  bar.InsertButton(0, &button);
  EXPECT_EQ(bar.customButtons().count(3), 1u);
  EXPECT_EQ(bar.customButtons().count(2), 0u);
  // Deleting the custom button's place destroys its window.
  bar.DeleteButton(3);
  EXPECT_EQ(m_alive, 0);
  EXPECT_TRUE(bar.customButtons().empty());
  // Deleting the last real button takes the separator now left at the end.
  EXPECT_EQ(Ids(bar), (std::vector<int>{105, 101, 0, 102, 103, 0, 104}));
  bar.DeleteButton(6);
  EXPECT_EQ(Ids(bar), (std::vector<int>{105, 101, 0, 102, 103}));
  bar.DeleteButton(0);
  bar.DeleteButton(0);
  EXPECT_EQ(Ids(bar), (std::vector<int>{102, 103}));  // and the one left at the start

  // Shown only when floating: docked, the place is a button with the hidden image.
  CCoolToolBar::AddCustomButtonType(901, std::make_shared<EditControl>(&m_alive), 50, -1, 4, 3);
  ASSERT_TRUE(bar.InsertCustomButton(1, 1, WS_CHILD | WS_VISIBLE, 0, "", ""));
  ASSERT_TRUE(bar.GetButton(1, &b));
  EXPECT_FALSE(b.fsStyle & TBSTYLE_SEP);
  EXPECT_TRUE(b.fsStyle & TBSTYLE_AUTOSIZE);
  EXPECT_EQ(b.iBitmap, 3);
  EXPECT_EQ(b.idCommand, 901);
  EXPECT_FALSE(bar.customButtons().at(1).control->GetWindow()->IsWindowVisible());
}

TEST_F(CoolToolBarTest, NormalAndHotTextColoursAndTheGripper) {
  CCoolToolBar bar;
  Make(bar);
  bar.SendMessage(TB_SETMAXTEXTROWS, 1);
  bar.SetButtonTextsFromCommands(0, 0xFFFF, 0);
  bar.m_crDefaultText = RGB(0, 0, 128);
  bar.m_crHotText = RGB(0, 0, 255);
  bar.SendMessage(TB_SETHOTITEM, 2);
  const CSize size = bar.GetButtonSize();
  CImageDC dc(200, size.cy, RGB(255, 255, 255));
  bar.Paint(dc);
  const QImage& img = dc.Snapshot();
  // Text edges are smoothed: look for the core of each colour.
  auto has = [&](int from, int to, int blueFrom, int blueTo) {
    for (int y = 0; y < img.height(); ++y)
      for (int x = from; x < to; ++x) {
        const QRgb c = img.pixel(x, y);
        if (qRed(c) < 12 && qGreen(c) < 12 && qBlue(c) >= blueFrom && qBlue(c) <= blueTo)
          return true;
      }
    return false;
  };
  CRect first, hot;
  bar.GetItemRect(0, &first);
  bar.GetItemRect(2, &hot);
  EXPECT_TRUE(has(first.left, first.right, 120, 136));  // navy
  EXPECT_FALSE(has(first.left, first.right, 200, 255));
  EXPECT_TRUE(has(hot.left, hot.right, 240, 255));  // blue
  EXPECT_FALSE(has(hot.left, hot.right, 120, 136));

  // The gripper: two raised bars, 3 pixels each, 1 pixel in; 7 pixels kept for it.
  EXPECT_EQ(bar.LeadingExtent(), 7);
  CImageDC grip(7, 22, GetSysColor(COLOR_BTNFACE));
  bar.DrawGripper(grip, CRect(0, 0, 7, 22));
  const QImage& g = grip.Snapshot();
  const QRgb light = fw::ToQColor(GetSysColor(COLOR_BTNHIGHLIGHT)).rgb();
  const QRgb shadow = fw::ToQColor(GetSysColor(COLOR_BTNSHADOW)).rgb();
  EXPECT_EQ(g.pixel(1, 5), light);
  EXPECT_EQ(g.pixel(3, 5), shadow);
  EXPECT_EQ(g.pixel(4, 5), light);
  EXPECT_EQ(g.pixel(6, 5), shadow);
  EXPECT_EQ(g.pixel(0, 5), fw::ToQColor(GetSysColor(COLOR_BTNFACE)).rgb());
  CIconImage icon{QImage(16, 16, QImage::Format_ARGB32), CPoint()};
  bar.SetCaptionIcon(&icon);
  EXPECT_EQ(bar.LeadingExtent(), 16 + 2 + 7);
  bar.SetCaptionIcon(nullptr);
}

// An owner that paints the buttons itself for the forwarded custom draw.
class DrawingOwner : public CWnd {
 public:
  int asked = 0;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
    if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(l)->code == kCoolBarCustomDraw) {
      auto* n = reinterpret_cast<NMCOOLBARCUSTOMDRAW*>(l);
      ++asked;
      if (n->draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        n->draw->nmcd.hdc->FillSolidRect(n->draw->nmcd.rc, RGB(0, 255, 0));
        n->doDefault = false;
        n->result = CDRF_SKIPDEFAULT;
      }
      return 0;
    }
    return CWnd::WindowProc(msg, w, l);
  }
};

TEST_F(CoolToolBarTest, TheOwnerMayPaintButtonsAndDropsChangeNothing) {
  DrawingOwner owner;
  ASSERT_TRUE(owner.Create("", "", WS_VISIBLE, CRect(0, 0, 300, 100), nullptr, 0));
  CCoolToolBar bar;
  ASSERT_TRUE(bar.CreateEx(&owner));
  const UINT ids[] = {101, 102};
  bar.SetButtons(ids, 2);
  CImageDC dc(60, 22, RGB(255, 255, 255));
  bar.Paint(dc);
  EXPECT_GT(owner.asked, 2);
  EXPECT_EQ(dc.Snapshot().pixel(10, 10) & 0xFFFFFF, 0x00FF00u);

  // Drops: only an advanced-customizable bar answers, and it takes nothing.
  COOLDRAGINFO info;
  bar.SendMessage(WM_COOLBAR_DRAGENTER, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_FALSE(info.answered);
  bar.SetCustomizeCommands({101});
  bar.SetCustomizable(true, true);
  EXPECT_TRUE(bar.widget()->acceptDrops());
  bar.SendMessage(WM_COOLBAR_DRAGENTER, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_TRUE(info.answered);
  EXPECT_EQ(info.effect, DROPEFFECT_NONE);
  COOLDRAGINFO drop;
  bar.SendMessage(WM_COOLBAR_DROP, 0, reinterpret_cast<LPARAM>(&drop));
  EXPECT_EQ(drop.effect, DROPEFFECT_NONE);
  EXPECT_EQ(bar.GetCount(), 2);
}

// Every saved setting of a bar, for comparing two bars.
struct Snapshot {
  std::vector<int> ids;
  std::vector<std::string> texts;
  std::vector<int> images;
  std::vector<std::uint8_t> styles;
  std::map<int, UINT> custom;
  std::map<UINT, std::string> hidden;
  bool cool, gripper, separator, flat, list, arrows, advanced, adjustable;
  int indent, textType, textRows, minWidth, maxWidth;
  COLORREF normal, hot;
  bool operator==(const Snapshot&) const = default;
};

Snapshot Take(CCoolToolBar& bar) {
  Snapshot s{};
  for (int i = 0; i < bar.GetCount(); ++i) {
    TBBUTTON b;
    bar.GetButton(i, &b);
    s.ids.push_back(b.idCommand);
    s.texts.push_back(bar.GetButtonText(i));
    s.images.push_back(b.iBitmap);
    s.styles.push_back(b.fsStyle);
  }
  for (const auto& [index, rec] : bar.customButtons()) s.custom[index] = rec.id;
  s.hidden = bar.hiddenTexts();
  s.cool = bar.m_bCool;
  s.gripper = bar.m_bGripper;
  s.separator = bar.m_bSeparator;
  s.flat = bar.GetStyle() & TBSTYLE_FLAT;
  s.list = bar.GetStyle() & TBSTYLE_LIST;
  s.arrows = bar.GetDropDownArrow();
  s.advanced = bar.IsCustomizable(true);
  s.adjustable = bar.IsCustomizable(false);
  s.indent = bar.m_nIndent;
  s.textType = bar.GetTextType();
  s.textRows = bar.GetTextRows();
  s.minWidth = bar.m_nMinButtonsWidth;
  s.maxWidth = bar.m_nMaxButtonsWidth;
  s.normal = bar.m_crDefaultText;
  s.hot = bar.m_crHotText;
  return s;
}

TEST_F(CoolToolBarTest, SaveAndLoadGiveBackTheSameBarAsOftenAsYouLike) {
  CCoolToolBar bar;
  Make(bar);
  bar.SetCustomizable(true, false);  // the standard kind: stored as 2
  bar.SetButtonTextsFromCommands(0, 0xFFFF, 0);
  // Every setting away from its default.
  bar.m_bCool = true;
  bar.m_bGripper = false;
  bar.m_bSeparator = false;
  bar.ModifyStyle(TBSTYLE_FLAT, TBSTYLE_LIST);
  bar.SetDropDownArrow(true);
  bar.SendMessage(TB_SETINDENT, 5);
  bar.m_nIndent = 5;
  bar.m_crDefaultText = RGB(0, 0, 128);
  bar.m_crHotText = RGB(0, 0, 255);
  bar.SendMessage(TB_SETMAXTEXTROWS, 2);
  bar.SendMessage(TB_SETBUTTONWIDTH, 0, MAKELPARAM(10, 90));
  bar.m_nMinButtonsWidth = 10;
  bar.m_nMaxButtonsWidth = 90;
  ASSERT_TRUE(bar.InsertCustomButton(3, 0, WS_CHILD | WS_VISIBLE, 0, "", ""));
  m_control->GetWindow()->SetWindowText("filter");
  // "Image only" on New: its text is kept aside.
  bar.SetCustomizationMode(true);
  bar.SetCustomizedButton(0);
  bar.SendMessage(WM_COMMAND, MAKEWPARAM(ID_COOLBAR_IMAGE_ONLY, 0), 0);
  const Snapshot saved = Take(bar);
  ASSERT_EQ(saved.texts[0], "");
  ASSERT_EQ(saved.hidden.at(101), "New");

  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    ASSERT_TRUE(bar.SaveBarState("Bars", "Main", true));
    EXPECT_EQ(m_profile.GetProfileInt("Bars_Main", "Customizable", -1), 2);
    // A fresh bar with defaults takes everything back.
    CCoolToolBar other;
    Make(other);
    other.SetCustomizable(true, true);
    std::string error;
    ASSERT_TRUE(other.LoadBarState("Bars", "Main", true, &error)) << error;
    EXPECT_TRUE(error.empty()) << error;
    Snapshot loaded = Take(other);
    EXPECT_EQ(loaded.ids, saved.ids);  // no doubled separators
    EXPECT_EQ(loaded.texts, saved.texts);
    EXPECT_EQ(loaded.custom, saved.custom);
    EXPECT_EQ(loaded.hidden, saved.hidden);
    EXPECT_TRUE(loaded == saved);
    // The same bar loads its own state without change, too.
    ASSERT_TRUE(bar.LoadBarState("Bars", "Main", true, &error)) << error;
    EXPECT_TRUE(Take(bar) == saved);
    EXPECT_EQ(m_alive, 1);  // its own window stood in again, none left over
    other.DestroyWindow();
  }
  // The image-and-text command shows the kept text after the load.
  bar.SetCustomizedButton(0);
  bar.SendMessage(WM_COMMAND, MAKEWPARAM(ID_COOLBAR_IMAGE_TEXT, 0), 0);
  EXPECT_EQ(bar.GetButtonText(0), "New");
  // The custom button's own data went along.
  EXPECT_EQ(m_control->savedText(), "filter");
}

TEST_F(CoolToolBarTest, WindowsOfCustomButtonsThatDoNotComeBackAreDestroyed) {
  CCoolToolBar bar;
  Make(bar);
  bar.SetCustomizable(true, true);
  ASSERT_TRUE(bar.SaveBarState("Bars", "Empty", false));  // no custom buttons then
  ASSERT_TRUE(bar.InsertCustomButton(1, 0, WS_CHILD | WS_VISIBLE, 0, "", ""));
  EXPECT_EQ(m_alive, 1);
  ASSERT_TRUE(bar.LoadBarState("Bars", "Empty", false));
  EXPECT_TRUE(bar.customButtons().empty());
  EXPECT_EQ(m_alive, 0);
  EXPECT_EQ(Ids(bar), (std::vector<int>{101, 0, 102, 103, 0, 104}));
}

TEST_F(CoolToolBarTest, TheTableIsWrittenOnEverySave) {
  CCoolToolBar bar;
  Make(bar);  // not customizable: appearance and table only
  ASSERT_TRUE(bar.SaveBarState("Bars", "Plain", true));
  std::vector<std::uint8_t> first, second;
  ASSERT_TRUE(m_profile.GetProfileBinary("Bars", "Toolbars_CustomButtonsSettings", first));
  CCoolToolBar::CustomButtonTable()[900].width = 120;
  ASSERT_TRUE(bar.SaveBarState("Bars", "Plain", true));
  ASSERT_TRUE(m_profile.GetProfileBinary("Bars", "Toolbars_CustomButtonsSettings", second));
  EXPECT_NE(first, second);
  EXPECT_FALSE(m_profile.GetProfileBinary("Bars", "Plain_ButtonsSettings", first));
  EXPECT_TRUE(bar.LoadBarState("Bars", "Plain", true));
  // A saved text type of 3 on a bar of type 0 clears the texts.
  bar.SetButtonTextsFromCommands(0, 0xFFFF, 0);
  m_profile.WriteProfileInt("Bars_Plain", "TextType", 3);
  EXPECT_TRUE(bar.LoadBarState("Bars", "Plain", true));
  EXPECT_EQ(bar.GetButtonText(0), "");
  EXPECT_EQ(bar.GetTextType(), 3);
}

TEST_F(CoolToolBarTest, ABadBlobLeavesTheBarAsItWasAndIsReportedOnce) {
  CCoolToolBar bar;
  Make(bar);
  bar.SetCustomizable(true, true);
  bar.SetButtonTextsFromCommands(0, 0xFFFF, 0);
  ASSERT_TRUE(bar.InsertCustomButton(3, 0, WS_CHILD | WS_VISIBLE, 0, "", ""));
  ASSERT_TRUE(bar.SaveBarState("Bars", "Main", true));
  std::vector<std::uint8_t> buttons, positions, table, state;
  ASSERT_TRUE(m_profile.GetProfileBinary("Bars", "Main_ButtonsSettings", buttons));
  ASSERT_TRUE(m_profile.GetProfileBinary("Bars", "Main_CustomButtonsPositions", positions));
  ASSERT_TRUE(m_profile.GetProfileBinary("Bars", "Toolbars_CustomButtonsSettings", table));
  ASSERT_TRUE(m_profile.GetProfileBinary("Bars", "Main", state));
  // Something to notice if a load changed anything.
  bar.DeleteButton(0);
  bar.m_crDefaultText = RGB(1, 1, 1);
  const Snapshot before = Take(bar);

  auto withSize = [&](const std::string& name, std::vector<std::uint8_t> blob) {
    m_profile.WriteProfileBinary("Bars", name, blob);
    m_profile.WriteProfileInt("Bars", name + "_Size", static_cast<long long>(blob.size()));
  };
  struct Case {
    const char* what;
    std::function<void()> spoil;
  };
  auto cut = [](std::vector<std::uint8_t> b, std::size_t n) {
    b.resize(b.size() - n);
    return b;
  };
  auto with = [](std::vector<std::uint8_t> b, std::size_t at, std::uint8_t v) {
    b.at(at) = v;
    return b;
  };
  const Case cases[] = {
      {"buttons cut short", [&] { withSize("Main_ButtonsSettings", cut(buttons, 3)); }},
      {"size value wrong",
       [&] { m_profile.WriteProfileInt("Bars", "Main_ButtonsSettings_Size", 3); }},
      {"button count too large", [&] { withSize("Main_ButtonsSettings", with(buttons, 3, 0x7F)); }},
      // First button's text length (after count, id, image, style, flag) past the end.
      {"string runs past the end",
       [&] { withSize("Main_ButtonsSettings", with(buttons, 17, 0xFE)); }},
      {"command id out of range",
       [&] { withSize("Main_ButtonsSettings", with(buttons, 6, 0x01)); }},
      {"unknown custom button",
       [&] { withSize("Main_CustomButtonsPositions", with(positions, 8, 0x77)); }},
      {"custom button past the end",
       [&] { withSize("Main_CustomButtonsPositions", with(positions, 4, 0x60)); }},
      {"table cut short", [&] { withSize("Toolbars_CustomButtonsSettings", cut(table, 1)); }},
      {"control state cut short",
       [&] { m_profile.WriteProfileBinary("Bars", "Main", cut(state, 2)); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // Start each case from the good blobs.
    withSize("Main_ButtonsSettings", buttons);
    withSize("Main_CustomButtonsPositions", positions);
    withSize("Toolbars_CustomButtonsSettings", table);
    m_profile.WriteProfileBinary("Bars", "Main", state);
    c.spoil();
    std::string error;
    EXPECT_FALSE(bar.LoadBarState("Bars", "Main", true, &error));
    EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
    EXPECT_TRUE(Take(bar) == before);
    EXPECT_EQ(m_alive, 1);
  }
}

}  // namespace
