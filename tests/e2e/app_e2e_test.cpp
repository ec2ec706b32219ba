// The whole configuration program over the real capture library, against
// software switches behind veth pairs, driven through its own menu: find the
// switches, add them, load a configuration into one, show its status, wink
// it. Root only; skipped otherwise.
#include <QMenu>

#include "shell/commandids.h"
#include "platform/gui/menu.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "shell_fixture.h"
#include "switch/configload.h"
#include "tests/e2e/ops_net.h"
#include "tools/findswitchesdlg.h"
#include "tools/flashleddlg.h"
#include "tools/switchstatusdlg.h"
#include "tools/toolcomm.h"

namespace fwtest {
namespace {

using fw::ops_e2e::CRestrictedCapture;
using fw::ops_e2e::CSegment;

class AppE2E : public ShellTest {
 protected:
  void SetUp() override {
    const std::string why = CSegment::Unavailable();
    if (!why.empty()) GTEST_SKIP() << why;
    ShellTest::SetUp();
    a = std::make_unique<CSegment>(1, 0x51);
    b = std::make_unique<CSegment>(2, 0x52);
    ASSERT_TRUE(a->ok()) << a->error();
    ASSERT_TRUE(b->ok()) << b->error();
    {
      auto lock = a->Lock();
      fw::ops_e2e::Provision(*a->cores()[0], "Alpha", "0104 e2e");
    }
    {
      auto lock = b->Lock();
      fw::ops_e2e::Provision(*b->cores()[0], "Bravo", "0104 e2e");
      fw::ops_e2e::Provision(*b->cores()[1], "Charlie", "0104 e2e");
    }
    backend =
        std::make_unique<CRestrictedCapture>(std::set<std::string>{a->host_end(), b->host_end()});
    if (!backend->Usable()) GTEST_SKIP() << "no usable libpcap: " << backend->Version();
    SetToolCommEnv(CToolCommEnv{backend.get(), nullptr, nullptr, nullptr});
    ASSERT_TRUE(Start());
    Profile().WriteProfileInt("Settings", "find all wait limit", 500);
  }
  void TearDown() override {
    Stop();
    SetToolCommEnv(CToolCommEnv{});
    a.reset();
    b.reset();
    ShellTest::TearDown();
  }

  // Chooses a menu item as the user does: its pop-up is updated and shown,
  // the item is enabled, and choosing it sends the command. The command's
  // modal dialog gets the script.
  template <class D>
  bool Choose(int popup, unsigned id, std::function<void(D&)> script) {
    CMenu* menu = Frame()->GetMenu()->GetSubMenu(popup);
    if (!menu) return false;
    Frame()->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu->m_hMenu), popup);
    fw::RefreshPopupWidget(menu->m_hMenu);
    QMenu* widget = fw::PopupWidget(menu->m_hMenu);
    QAction* item = nullptr;
    for (QAction* act : widget->actions())
      if (act->menu() == nullptr && act->property("fw_cmd").toUInt() == id) item = act;
    if (!item || !item->isEnabled()) return false;
    // The command is posted: the dialog is looked for without blocking the
    // loop it runs in.
    bool ran = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* dlg = dynamic_cast<D*>(CWnd::FromHandlePermanent(QApplication::activeModalWidget()));
      if (!dlg || ran) return;
      poll.stop();
      ran = true;
      script(*dlg);
    });
    poll.start(50);
    item->trigger();
    WaitFor([&] { return ran && QApplication::activeModalWidget() == nullptr; }, 60000);
    return ran;
  }
  int RowOf(const std::string& name) {
    for (int row = 0; const CSwitchEntry* e = Switches().SwitchAtRow(row); ++row)
      if (e->GetName() == name) return row;
    return -1;
  }

  std::unique_ptr<CSegment> a, b;
  std::unique_ptr<CRestrictedCapture> backend;
};

TEST_F(AppE2E, FindAddLoadShowAndWinkThroughTheMenu) {
  constexpr int kOperations = 3;
  ASSERT_TRUE(
      Choose<CFindSwitchesDlg>(kOperations, ID_AUTO_FIND_SWITCHES, [](CFindSwitchesDlg& dlg) {
        WaitFor([&] { return dlg.List().GetItemCount() == 3 && !dlg.Searching(); }, 30000);
        for (int r = 0; r < dlg.List().GetItemCount(); ++r)
          dlg.List().SetItemState(r, LVIS_SELECTED, LVIS_SELECTED);
        QTest::mouseClick(dlg.GetDlgItem(CFindSwitchesDlg::kAddSelectedId)->widget(),
                          Qt::LeftButton);
        dlg.EndDialog(IDCANCEL);
      }));
  ASSERT_EQ(Doc()->GetSwitches().GetCount(), 3)
      << (m_messages->count() ? m_messages->messages()[0].text : "");
  const int charlie = Doc()->GetSwitches().FindIndexByNameNoCase("Charlie");
  ASSERT_GE(charlie, 0);

  // A configuration for Charlie's model, with a name the EEROM will carry.
  CSwitchConfig config;
  config.SetName("Cabinet 7");
  config.SetPortCount(Doc()->GetSwitches().GetAt(charlie)->GetPart().portCount);
  ASSERT_GE(Doc()->AddConfig(config), 0);
  ASSERT_EQ(Doc()->SetSwitchConfigName(charlie, "Cabinet 7"), kProjectOk);
  std::vector<std::uint8_t> before;
  {
    auto lock = b->Lock();
    before = b->cores()[1]->eerom();
  }
  Activate(Frame()->widget());  // the dialog had the focus
  ClickCell(Switches(), 0, RowOf("Charlie"));
  ASSERT_EQ(Frame()->GetActiveView(), Frame()->GetRightView());

  // Load: a command without a dialog of its own.
  CMenu* ops = Frame()->GetMenu()->GetSubMenu(kOperations);
  Frame()->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(ops->m_hMenu), kOperations);
  EXPECT_EQ(ops->GetMenuState(ID_LOAD_SELECTED_CONFIG, MF_BYCOMMAND) & MF_GRAYED, 0u);
  Frame()->SendMessage(WM_COMMAND, ID_LOAD_SELECTED_CONFIG);
  // The one message is the load's own report of success.
  ASSERT_EQ(m_messages->count(), 1u);
  EXPECT_EQ(m_messages->messages()[0].text, LoadResString(IDS_LOAD_COMPLETE));
  m_messages->clear();
  {
    auto lock = b->Lock();
    const auto& after = b->cores()[1]->eerom();
    EXPECT_NE(after, before);
    const std::string name(after.begin() + eerom::kConfigName,
                           after.begin() + eerom::kConfigName + 9);
    EXPECT_EQ(name, "Cabinet 7");
  }

  ASSERT_TRUE(Choose<CSwitchStatusDlg>(kOperations, ID_SWITCH_STATUS, [](CSwitchStatusDlg& dlg) {
    WaitFor([&] { return dlg.polls() >= 1; }, 20000);
    EXPECT_EQ(dlg.m_strName, "Charlie");
    EXPECT_EQ(dlg.CommStatic().GetWindowText(), "Communications OK");
    dlg.EndDialog(IDCANCEL);
  }));

  ASSERT_TRUE(Choose<CFlashLedDlg>(kOperations, ID_SWITCH_WINK, [this](CFlashLedDlg& dlg) {
    WaitFor(
        [&] {
          auto lock = b->Lock();
          return b->cores()[1]->last_control() == CFlashLedDlg::kFlashOkLed;
        },
        20000);
    {
      auto lock = b->Lock();
      EXPECT_EQ(b->cores()[1]->last_control(), CFlashLedDlg::kFlashOkLed);
    }
    dlg.EndDialog(IDCANCEL);
  }));
  auto lock = b->Lock();
  EXPECT_EQ(b->cores()[1]->last_control(), CFlashLedDlg::kOkLedNormal);
}

}  // namespace
}  // namespace fwtest
