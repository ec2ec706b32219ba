#include "platform/gui/controls.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>

#include "gui_helpers.h"
#include "platform/gui/services.h"

namespace {

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_parent.Create("", "", WS_VISIBLE, CRect(0, 0, 400, 300), nullptr, 0));
    m_parent.SetMessageHandler(WM_COMMAND, [this](WPARAM w, LPARAM) {
      m_commands.emplace_back(LOWORD(w), HIWORD(w));
      return LRESULT(0);
    });
    m_parent.SetMessageHandler(WM_NOTIFY, [this](WPARAM, LPARAM l) {
      m_notes.push_back(reinterpret_cast<NMHDR*>(l)->code);
      return LRESULT(0);
    });
  }
  void TearDown() override { fwtest::Drain(); }
  bool Got(unsigned id, unsigned code) const {
    return std::find(m_commands.begin(), m_commands.end(), std::make_pair(id, code)) !=
           m_commands.end();
  }
  CWnd m_parent;
  std::vector<std::pair<unsigned, unsigned>> m_commands;
  std::vector<UINT> m_notes;
};

TEST_F(ControlsTest, ComboBoxListAndNotifications) {
  CComboBox combo;
  ASSERT_TRUE(combo.Create("ComboBox", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_SORT,
                           CRect(0, 0, 120, 200), &m_parent, 1015));
  EXPECT_EQ(combo.AddString("eth1"), 0);
  EXPECT_EQ(combo.AddString("Eth0"), 0);  // sorted without case
  EXPECT_EQ(combo.AddString("wlan0"), 2);
  EXPECT_EQ(combo.GetCurSel(), CB_ERR);  // adding selects nothing
  EXPECT_EQ(combo.FindStringExact(-1, "ETH1"), 1);
  EXPECT_EQ(combo.FindString(-1, "wl"), 2);
  EXPECT_EQ(combo.FindStringExact(-1, "none"), CB_ERR);
  EXPECT_EQ(combo.SetCurSel(1), 1);
  EXPECT_EQ(combo.GetWindowText(), "eth1");
  EXPECT_EQ(combo.SetCurSel(7), CB_ERR);
  EXPECT_EQ(combo.GetCurSel(), CB_ERR);
  combo.SetItemData(2, 42);
  EXPECT_EQ(combo.GetItemData(2), 42u);
  EXPECT_EQ(combo.DeleteString(0), 2);
  EXPECT_EQ(combo.GetLBText(0), "eth1");
  EXPECT_EQ(combo.GetLBText(9), "");
  EXPECT_TRUE(m_commands.empty());  // nothing the program did notified
  // The user's choice does.
  auto* q = qobject_cast<QComboBox*>(combo.widget());
  ASSERT_NE(q, nullptr);
  q->activated(1);
  EXPECT_TRUE(Got(1015, CBN_SELCHANGE));
  combo.ResetContent();
  EXPECT_EQ(combo.GetCount(), 0);
}

TEST_F(ControlsTest, EditTextAndSelection) {
  CEdit edit;
  ASSERT_TRUE(edit.Create("Edit", "", WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 120, 20),
                          &m_parent, 1000));
  edit.SetWindowText("hello");
  EXPECT_EQ(edit.GetWindowText(), "hello");
  EXPECT_TRUE(m_commands.empty());
  edit.SetSel(1, 3);
  int a = 0, b = 0;
  edit.GetSel(a, b);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 3);
  edit.ReplaceSel("EL");
  EXPECT_EQ(edit.GetWindowText(), "hELlo");
  EXPECT_TRUE(Got(1000, EN_CHANGE));  // a replacement is an edit
  edit.SetReadOnly(true);
  EXPECT_TRUE(qobject_cast<QLineEdit*>(edit.widget())->isReadOnly());
  edit.SetLimitText(3);
  EXPECT_EQ(qobject_cast<QLineEdit*>(edit.widget())->maxLength(), 3);

  CEdit multi;
  ASSERT_TRUE(
      multi.Create("Edit", "", WS_CHILD | ES_MULTILINE, CRect(0, 30, 120, 90), &m_parent, 1001));
  multi.SetWindowText("one\r\ntwo");
  EXPECT_EQ(multi.GetLineCount(), 2);
  EXPECT_EQ(multi.GetWindowText(), "one\r\ntwo");  // line ends as written
}

TEST_F(ControlsTest, ListBoxAndReportList) {
  CListBox list;
  ASSERT_TRUE(list.Create("ListBox", "", WS_CHILD | WS_VISIBLE | LBS_NOTIFY, CRect(0, 0, 100, 100),
                          &m_parent, 1020));
  list.AddString("a");
  list.AddString("b");
  EXPECT_EQ(list.InsertString(0, "z"), 0);
  EXPECT_EQ(list.InsertString(9, "x"), LB_ERR);
  EXPECT_EQ(list.GetText(0), "z");
  EXPECT_EQ(list.SetCurSel(2), 2);
  EXPECT_EQ(list.GetCurSel(), 2);
  EXPECT_TRUE(m_commands.empty());
  auto* q = qobject_cast<QListWidget*>(list.widget());
  q->setCurrentRow(1);  // as a user's click would
  EXPECT_TRUE(Got(1020, LBN_SELCHANGE));

  CListCtrl report;
  ASSERT_TRUE(report.Create("SysListView32", "", WS_CHILD | WS_VISIBLE | LVS_REPORT,
                            CRect(0, 100, 300, 250), &m_parent, 1030));
  EXPECT_EQ(report.InsertColumn(0, "Name", LVCFMT_LEFT, 80), 0);
  EXPECT_EQ(report.InsertColumn(1, "MAC", LVCFMT_LEFT, 120), 1);
  EXPECT_EQ(report.InsertItem(0, "sw1"), 0);
  EXPECT_TRUE(report.SetItemText(0, 1, "00:11:22:33:44:55"));
  EXPECT_EQ(report.InsertItem(5, "sw2"), 1);  // clamped to the end
  // A column inserted in front moves the texts right.
  EXPECT_EQ(report.InsertColumn(0, "#", LVCFMT_RIGHT, 20), 0);
  EXPECT_EQ(report.GetItemText(0, 1), "sw1");
  EXPECT_EQ(report.GetItemText(0, 2), "00:11:22:33:44:55");
  EXPECT_TRUE(report.SetColumnWidth(2, 150));
  EXPECT_EQ(report.GetColumnWidth(2), 150);
  EXPECT_FALSE(report.SetColumnWidth(7, 10));
  EXPECT_TRUE(report.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED));
  EXPECT_EQ(report.GetNextItem(-1, LVNI_SELECTED), 1);
  EXPECT_EQ(report.GetSelectedCount(), 1);
  EXPECT_TRUE(m_notes.empty());  // quiet: the program selected it
  EXPECT_TRUE(report.DeleteColumn(0));
  EXPECT_EQ(report.GetItemText(0, 0), "sw1");
  EXPECT_TRUE(report.DeleteItem(0));
  EXPECT_EQ(report.GetItemCount(), 1);
  EXPECT_FALSE(report.DeleteItem(3));
}

TEST_F(ControlsTest, TabControlNotifiesUserChanges) {
  CTabCtrl tabs;
  ASSERT_TRUE(tabs.Create("SysTabControl32", "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 30),
                          &m_parent, 1040));
  tabs.InsertItem(0, "&Ports");
  tabs.InsertItem(1, "Rings");
  EXPECT_EQ(tabs.GetItemText(0), "Ports");
  EXPECT_EQ(tabs.GetItemCount(), 2);
  EXPECT_EQ(tabs.SetCurSel(1), 0);
  EXPECT_TRUE(m_notes.empty());
  qobject_cast<QTabBar*>(tabs.widget())->setCurrentIndex(0);
  ASSERT_EQ(m_notes.size(), 1u);
  EXPECT_EQ(m_notes[0], TCN_SELCHANGE);
  CRect r;
  EXPECT_TRUE(tabs.GetItemRect(0, &r));
  EXPECT_FALSE(r.IsRectEmpty());
  EXPECT_FALSE(tabs.GetItemRect(5, &r));
}

TEST_F(ControlsTest, DlgItemIntParsesStrictly) {
  CEdit edit;
  ASSERT_TRUE(edit.Create("Edit", "", WS_CHILD, CRect(0, 0, 50, 20), &m_parent, 7));
  bool ok = false;
  m_parent.SetDlgItemInt(7, -42);
  EXPECT_EQ(m_parent.GetDlgItemInt(7, &ok), -42);
  EXPECT_TRUE(ok);
  for (const char* bad : {"", "-", "12a", "99999999999", " 1 2"}) {
    m_parent.SetDlgItemText(7, bad);
    EXPECT_EQ(m_parent.GetDlgItemInt(7, &ok), 0) << bad;
    EXPECT_FALSE(ok) << bad;
  }
  m_parent.SetDlgItemText(7, " 17 ");
  EXPECT_EQ(m_parent.GetDlgItemInt(7, &ok), 17);
  EXPECT_TRUE(ok);
}

TEST_F(ControlsTest, ClipboardRoundTrip) {
  if (!fw::SetClipboardText("port\t1\r\n")) GTEST_SKIP() << "no clipboard on this platform";
  if (fw::GetClipboardText().empty()) GTEST_SKIP() << "clipboard does not keep text here";
  EXPECT_EQ(fw::GetClipboardText(), "port\t1\r\n");
  EXPECT_TRUE(fw::ClipboardHasText());
}

}  // namespace
