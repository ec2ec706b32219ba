#include "platform/gui/propertysheet.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "gui_helpers.h"

namespace {

using fwtest::Drain;
using fwtest::WaitFor;

const char* const kScript = R"(
STRINGTABLE
BEGIN
    61730, "OK"
    61731, "Cancel"
    61732, "Help"
    61733, "< Back"
    61734, "Next >"
    61735, "Finish"
    900, "Sheet Title"
    901, "First"
END

910 DIALOGEX 0, 0, 200, 80
STYLE DS_SETFONT | WS_CHILD | WS_DISABLED | WS_CAPTION
CAPTION "Template One"
FONT 8, "MS Shell Dlg"
BEGIN
    EDITTEXT        1001, 7, 7, 100, 14, ES_AUTOHSCROLL
    LTEXT           "", 1002, 7, 30, 180, 40, SS_BLACKFRAME
END

911 DIALOGEX 0, 0, 160, 100
STYLE DS_SETFONT | WS_CHILD | WS_CAPTION
CAPTION "Second"
FONT 8, "MS Shell Dlg"
BEGIN
    AUTOCHECKBOX    "Check", 1003, 7, 7, 100, 10
    COMBOBOX        1005, 7, 24, 100, 80, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP
END

912 DIALOGEX 0, 0, 100, 40
STYLE DS_SETFONT | WS_CHILD | WS_CAPTION
CAPTION "Third"
FONT 8, "MS Shell Dlg"
BEGIN
    EDITTEXT        1004, 7, 7, 60, 14
END
)";

// Writes down the notifications every page gets, in order.
struct Journal {
  std::vector<std::string> lines;
  void Add(const std::string& s) { lines.push_back(s); }
};

class TestPage : public CPropertyPage {
 public:
  TestPage(unsigned id, unsigned caption, std::string name, Journal& journal)
      : CPropertyPage(id, caption), m_name(std::move(name)), m_journal(journal) {}
  bool allowLeave = true;
  LRESULT nextAnswer = 0;
  std::uint32_t buttons = PSWIZB_BACK | PSWIZB_NEXT;
  int inits = 0;

  bool OnInitDialog() override {
    ++inits;
    m_journal.Add(m_name + " init");
    return CPropertyPage::OnInitDialog();
  }
  bool OnSetActive() override {
    m_journal.Add(m_name + " active");
    EXPECT_TRUE(GetSheet()->PostMessage(PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(buttons)));
    return CPropertyPage::OnSetActive();
  }
  bool OnKillActive() override {
    m_journal.Add(m_name + (allowLeave ? " leave" : " refuse"));
    return allowLeave;
  }
  LRESULT OnWizardNext() override { return nextAnswer; }
  bool OnWizardFinish() override {
    m_journal.Add(m_name + " finish");
    return true;
  }

 private:
  std::string m_name;
  Journal& m_journal;
};

class PropertySheetTest : public ::testing::Test {
 protected:
  void TearDown() override { Drain(); }

  // Runs the sheet modally with the script acting once it shows; a sheet
  // the script leaves open is closed after a bound so a failure cannot hang.
  std::intptr_t Run(CPropertySheet& sheet, std::function<void()> script) {
    QTimer::singleShot(0, [&, script] {
      Drain();
      script();
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
      if (sheet.IsWindow()) sheet.EndDialog(-2);
    });
    guard.start(15000);
    return sheet.DoModal();
  }

  static void Click(CWnd* wnd) {
    ASSERT_NE(wnd, nullptr);
    QTest::mouseClick(wnd->widget(), Qt::LeftButton);
    Drain();
  }

  fwtest::ScopedBundle m_bundle{kScript};
  Journal m_journal;
  TestPage m_one{910, 901, "one", m_journal};
  TestPage m_two{911, 0, "two", m_journal};
  TestPage m_three{912, 0, "three", m_journal};
};

TEST_F(PropertySheetTest, TabbedSheetShowsOnePageAtATimeAndEndsWithOk) {
  ASSERT_TRUE(m_bundle.ok()) << m_bundle.error();
  CPropertySheet sheet(900);
  sheet.m_psh.dwFlags |= PSH_HASHELP | PSH_NOAPPLYNOW;
  sheet.AddPage(&m_one);
  sheet.AddPage(&m_two);
  sheet.AddPage(&m_one);  // once only
  EXPECT_EQ(sheet.GetPageCount(), 2);
  const std::intptr_t result = Run(sheet, [&] {
    EXPECT_EQ(sheet.GetWindowText(), "Sheet Title");
    for (int id : {int{IDOK}, int{IDCANCEL}, int{ID_HELP}})
      EXPECT_NE(sheet.GetDlgItem(id), nullptr) << id;
    for (int id : {ID_WIZBACK, ID_WIZNEXT, ID_WIZFINISH})
      EXPECT_EQ(sheet.GetDlgItem(id), nullptr) << id;
    auto* tabs = qobject_cast<QTabBar*>(sheet.GetDlgItem(kSheetTabControlId)->widget());
    ASSERT_NE(tabs, nullptr);
    // Captions from the string table, else from the template.
    EXPECT_EQ(tabs->tabText(0), "First");
    EXPECT_EQ(tabs->tabText(1), "Second");
    // Only the first page exists yet; it fills the page area and is enabled
    // although its template says disabled.
    EXPECT_EQ(m_two.inits, 0);
    EXPECT_TRUE(m_one.IsWindowVisible());
    EXPECT_TRUE(m_one.IsWindowEnabled());
    CRect r;
    m_one.GetWindowRect(&r);
    sheet.ScreenToClient(&r);
    EXPECT_EQ(r, sheet.PageRect());
    // The page area fits the larger page.
    CRect big(0, 0, 200, 100);
    m_one.MapDialogRect(&big);
    EXPECT_EQ(sheet.PageRect().Width(), big.Width());
    EXPECT_EQ(sheet.PageRect().Height(), big.Height());

    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    Drain();
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    EXPECT_EQ(sheet.GetActivePage(), &m_two);
    EXPECT_FALSE(m_one.IsWindowVisible());
    EXPECT_TRUE(m_two.IsWindowVisible());
    // A combo box's template height is its dropped list's, not the box's.
    QWidget* combo = m_two.GetDlgItem(1005)->widget();
    EXPECT_EQ(combo->height(), combo->sizeHint().height());
    Click(sheet.GetDlgItem(IDOK));
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(m_journal.lines, (std::vector<std::string>{"one init", "one active", "one leave",
                                                       "two init", "two active", "two leave"}));
  EXPECT_FALSE(m_one.IsWindow());  // the page windows went with the sheet
}

TEST_F(PropertySheetTest, APageThatRefusesToBeLeftKeepsTheUser) {
  CPropertySheet sheet(900);
  sheet.AddPage(&m_one);
  sheet.AddPage(&m_two);
  m_one.allowLeave = false;
  const std::intptr_t result = Run(sheet, [&] {
    auto* tabs = qobject_cast<QTabBar*>(sheet.GetDlgItem(kSheetTabControlId)->widget());
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    Drain();
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_FALSE(sheet.SetActivePage(1));
    Click(sheet.GetDlgItem(IDOK));
    EXPECT_TRUE(sheet.IsWindowVisible());  // OK refused too
    m_one.allowLeave = true;
    EXPECT_TRUE(sheet.SetActivePage(&m_two));
    // Esc cancels without asking the page.
    QTest::keyClick(m_two.GetDlgItem(1003)->widget(), Qt::Key_Escape);
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(m_journal.lines,
            (std::vector<std::string>{"one init", "one active", "one refuse", "one refuse",
                                      "one refuse", "one leave", "two init", "two active"}));
}

TEST_F(PropertySheetTest, WizardStepsWithBackNextAndFinish) {
  CPropertySheet sheet(900);
  sheet.SetWizardMode();
  sheet.m_psh.dwFlags |= PSH_HASHELP;
  sheet.AddPage(&m_one);
  sheet.AddPage(&m_two);
  sheet.AddPage(&m_three);
  m_one.buttons = PSWIZB_NEXT;
  m_three.buttons = PSWIZB_BACK | PSWIZB_FINISH;
  auto button = [&](int id) { return qobject_cast<QPushButton*>(sheet.GetDlgItem(id)->widget()); };
  const std::intptr_t result = Run(sheet, [&] {
    EXPECT_EQ(sheet.GetDlgItem(kSheetTabControlId), nullptr);
    EXPECT_EQ(sheet.GetDlgItem(IDOK), nullptr);
    EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_NEXT);
    EXPECT_FALSE(button(ID_WIZBACK)->isEnabled());
    EXPECT_TRUE(button(ID_WIZNEXT)->isVisible());
    EXPECT_FALSE(button(ID_WIZFINISH)->isVisible());
    EXPECT_EQ(button(ID_WIZNEXT)->text(), "Next >");

    // Enter presses the default button, Next.
    QTest::keyClick(m_one.GetDlgItem(1001)->widget(), Qt::Key_Return);
    Drain();
    EXPECT_EQ(sheet.GetActivePage(), &m_two);
    EXPECT_TRUE(button(ID_WIZBACK)->isEnabled());

    // A page may stay, or jump to a page by its template.
    m_two.nextAnswer = -1;
    Click(sheet.GetDlgItem(ID_WIZNEXT));
    EXPECT_EQ(sheet.GetActivePage(), &m_two);
    m_two.nextAnswer = 912;
    sheet.PressButton(PSBTN_NEXT);
    EXPECT_EQ(sheet.GetActivePage(), &m_two);  // pressed after the message, as a click
    Drain();
    EXPECT_EQ(sheet.GetActivePage(), &m_three);
    EXPECT_TRUE(button(ID_WIZFINISH)->isVisible());
    EXPECT_TRUE(button(ID_WIZFINISH)->isEnabled());
    EXPECT_FALSE(button(ID_WIZNEXT)->isVisible());

    Click(sheet.GetDlgItem(ID_WIZBACK));
    EXPECT_EQ(sheet.GetActivePage(), &m_two);
    sheet.SetActivePage(2);
    // Finish is allowed from any page when pressed by the program.
    sheet.SetWizardButtons(PSWIZB_BACK | PSWIZB_DISABLEDFINISH);
    EXPECT_FALSE(button(ID_WIZFINISH)->isEnabled());
    sheet.PressButton(PSBTN_FINISH);
  });
  EXPECT_EQ(result, ID_WIZFINISH);
  EXPECT_EQ(m_journal.lines.back(), "three finish");
  // Finish does not leave the page by itself.
  EXPECT_EQ(std::count(m_journal.lines.begin(), m_journal.lines.end(), "three leave"), 1);
}

TEST_F(PropertySheetTest, HelpAsksForTheActivePagesContext) {
  fw::ScopedHelpService help;
  CPropertySheet sheet(900);
  sheet.m_psh.dwFlags |= PSH_HASHELP;
  sheet.AddPage(&m_one);
  sheet.AddPage(&m_two);
  sheet.SetActivePage(1);  // before the run: the page to start on
  Run(sheet, [&] {
    EXPECT_EQ(sheet.GetActivePage(), &m_two);
    EXPECT_EQ(m_one.inits, 0);
    Click(sheet.GetDlgItem(ID_HELP));
    // F1 asks the same, from a page's control and from the sheet's buttons.
    QTest::keyClick(m_two.GetDlgItem(1003)->widget(), Qt::Key_F1);
    QTest::keyClick(sheet.GetDlgItem(IDCANCEL)->widget(), Qt::Key_F1);
    sheet.PressButton(PSBTN_CANCEL);
  });
  EXPECT_EQ(help->requests(), (std::vector<unsigned>(3, 0x20000u + 911)));
}

TEST_F(PropertySheetTest, AWindowTakesTheControlsPlace) {
  CPropertySheet sheet(900);
  sheet.AddPage(&m_one);
  CWnd placed;
  Run(sheet, [&] {
    CWnd* frame = m_one.GetDlgItem(1002);
    ASSERT_NE(frame, nullptr);
    QWidget* old = frame->widget();
    const QRect where = old->geometry();
    EXPECT_FALSE(fw::PlaceOverControl(&m_one, 4711, [](CWnd*, const CRect&, int) { return true; }));
    // A failed create leaves the control as it was.
    EXPECT_FALSE(
        fw::PlaceOverControl(&m_one, 1002, [](CWnd*, const CRect&, int) { return false; }));
    EXPECT_EQ(m_one.GetDlgItem(1002)->widget(), old);
    EXPECT_TRUE(old->isVisible());
    EXPECT_TRUE(fw::PlaceOverControl(&m_one, 1002, [&](CWnd* parent, const CRect& r, int id) {
      return placed.Create("", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, r, parent, id);
    }));
    EXPECT_EQ(m_one.GetDlgItem(1002), &placed);
    EXPECT_EQ(placed.widget()->geometry(), where);
    EXPECT_FALSE(old->isVisible());
    EXPECT_EQ(old->nextInFocusChain(), placed.widget());
    sheet.PressButton(PSBTN_CANCEL);
  });
}

// Keys typed into the sheet's window, as a user types them.
class SheetKeys : public PropertySheetTest {
 protected:
  void Key(CPropertySheet& sheet, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(sheet.widget()->windowHandle(), key, mods);
    Drain();
  }
  // Where the focus is, by the control's id (the tab bar's is its own).
  static int FocusId() {
    CWnd* w = CWnd::FromHandle(QApplication::focusWidget());
    return w ? w->GetDlgCtrlID() : 0;
  }
  // The controls Tab (or Shift+Tab) visits, count times from where the focus is.
  std::vector<int> Walk(CPropertySheet& sheet, bool back, int count) {
    return fwtest::FocusWalk(sheet.widget(), back ? Qt::Key_Backtab : Qt::Key_Tab,
                             back ? Qt::ShiftModifier : Qt::NoModifier, count);
  }
};

TEST_F(SheetKeys, TabFollowsTheReadingOrderAndSkipsWhatCannotTakeTheFocus) {
  CPropertySheet sheet(900);
  sheet.m_psh.dwFlags |= PSH_HASHELP;
  sheet.AddPage(&m_one);
  sheet.AddPage(&m_two);
  Run(sheet, [&] {
    fwtest::Activate(sheet.widget());
    ASSERT_EQ(FocusId(), 1001);
    EXPECT_EQ(Walk(sheet, false, 5),
              (std::vector<int>{IDOK, IDCANCEL, ID_HELP, kSheetTabControlId, 1001}));
    EXPECT_EQ(Walk(sheet, true, 5),
              (std::vector<int>{kSheetTabControlId, ID_HELP, IDCANCEL, IDOK, 1001}));
    sheet.PressButton(PSBTN_CANCEL);
  });

  CPropertySheet wizard(900);
  wizard.SetWizardMode();
  wizard.m_psh.dwFlags |= PSH_HASHELP;
  wizard.AddPage(&m_one);
  wizard.AddPage(&m_two);
  m_one.buttons = PSWIZB_NEXT;  // Back is disabled, Finish hidden
  Run(wizard, [&] {
    fwtest::Activate(wizard.widget());
    ASSERT_EQ(FocusId(), 1001);
    EXPECT_EQ(Walk(wizard, false, 4), (std::vector<int>{ID_WIZNEXT, IDCANCEL, ID_HELP, 1001}));
    EXPECT_EQ(Walk(wizard, true, 4), (std::vector<int>{ID_HELP, IDCANCEL, ID_WIZNEXT, 1001}));
    wizard.PressButton(PSBTN_CANCEL);
  });
}

TEST_F(SheetKeys, CtrlTabAndCtrlPageKeysTurnPagesAndArrowsOnTheTabsToo) {
  CPropertySheet sheet(900);
  sheet.AddPage(&m_one);
  sheet.AddPage(&m_two);
  sheet.AddPage(&m_three);
  Run(sheet, [&] {
    fwtest::Activate(sheet.widget());
    std::vector<int> pages;
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_Tab, Qt::ControlModifier},
        {Qt::Key_PageDown, Qt::ControlModifier},
        {Qt::Key_Tab, Qt::ControlModifier},  // round to the first
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier},
        {Qt::Key_PageUp, Qt::ControlModifier}};
    for (const auto& [key, mods] : keys) {
      Key(sheet, key, mods);
      pages.push_back(sheet.GetActiveIndex());
    }
    EXPECT_EQ(pages, (std::vector<int>{1, 2, 0, 2, 1}));
    // On the tab bar the arrows turn the pages and the focus stays there.
    sheet.GetDlgItem(kSheetTabControlId)->SetFocus();
    Key(sheet, Qt::Key_Left);
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    Key(sheet, Qt::Key_Right);
    Key(sheet, Qt::Key_Right);
    EXPECT_EQ(sheet.GetActiveIndex(), 2);
    EXPECT_TRUE(m_three.IsWindowVisible());
    EXPECT_EQ(FocusId(), kSheetTabControlId);
    sheet.PressButton(PSBTN_CANCEL);
  });

  // A wizard turns only where Back and Next are offered.
  m_journal.lines.clear();
  CPropertySheet wizard(900);
  wizard.SetWizardMode();
  TestPage one{910, 901, "one", m_journal}, two{911, 0, "two", m_journal};
  wizard.AddPage(&one);
  wizard.AddPage(&two);
  one.buttons = PSWIZB_NEXT;
  two.buttons = PSWIZB_BACK | PSWIZB_FINISH;
  Run(wizard, [&] {
    fwtest::Activate(wizard.widget());
    Key(wizard, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(wizard.GetActiveIndex(), 0);
    Key(wizard, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(wizard.GetActiveIndex(), 1);
    Key(wizard, Qt::Key_PageDown, Qt::ControlModifier);  // Finish is no page
    EXPECT_EQ(wizard.GetActiveIndex(), 1);
    EXPECT_TRUE(wizard.IsWindowVisible());
    Key(wizard, Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(wizard.GetActiveIndex(), 0);
    wizard.PressButton(PSBTN_CANCEL);
  });
}

}  // namespace
