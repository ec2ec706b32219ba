#include "tools/switchstatusdlg.h"

#include <QTest>
#include <map>

#include "sheet_test_util.h"
#include "tools_fixture.h"

namespace {

using fwtest::WaitFor;

class SwitchStatus : public fwtest::ToolsTest {
 protected:
  SwitchStatus() {
    AddDevice("veth0", "Segment A", 0xA0);
    AddDevice("veth1", "Segment B", 0xA1);
  }
  void Open(CSwitchStatusDlg& dlg, std::uint8_t last) {
    dlg.m_strName = "Line 4";
    dlg.m_strModel = "QV-9KP-1";
    dlg.m_strMac = MacText(last);
    ASSERT_TRUE(dlg.Create(CSwitchStatusDlg::IDD));
    dlg.ShowWindow(SW_SHOW);
  }
  static void Tick(CSwitchStatusDlg& dlg, int n = 1) {
    for (int i = 0; i < n; ++i) dlg.SendMessage(WM_TIMER, CSwitchStatusDlg::kTimerId);
  }
  static std::vector<std::string> Row(CSwitchStatusDlg& dlg, int r) {
    std::vector<std::string> out;
    for (int c = 0; c < 5; ++c) out.push_back(dlg.List().GetItemText(r, c));
    return out;
  }
};

TEST_F(SwitchStatus, ShowsPortsAndStatusLinesAndKeepsPolling) {
  auto& sw = AddSwitch(0x07, "Line 4", {"veth1"});
  sw.SetPortByte(0, 0x02 | 0x04 | 0x08 | 0x30);  // 100, full, flow control, active
  sw.SetPortByte(1, 0x01 | 0x10);                // 10, half, no flow control, backup
  sw.SetPortByte(2, 0x00);                       // no link
  sw.SetPortByte(3, 0x03 | 0x20);                // 1000, learning
  sw.SetPortByte(4, 0x01);                       // link, disabled
  sw.SetRingFlags(0x07 | 0x08 | 0x10 | 0xC0);    // normal, output on, primary power, rings active

  CSwitchStatusDlg dlg;
  Open(dlg, 0x07);
  EXPECT_EQ(dlg.GetWindowText(), "Switch Status");
  EXPECT_EQ(dlg.GetDlgItemText(CSwitchStatusDlg::kNameId), "Line 4 [QV-9KP-1]");
  EXPECT_EQ(dlg.GetDlgItemText(1087), "MAC Address:");
  Tick(dlg);  // finds the switch and polls at once
  EXPECT_EQ(dlg.m_strInterface, "Segment B");
  EXPECT_EQ(dlg.GetDlgItemText(CSwitchStatusDlg::kInterfaceId), "Segment B");
  EXPECT_TRUE(dlg.IsWindowEnabled());
  ASSERT_EQ(dlg.List().GetItemCount(), 9);
  EXPECT_EQ(Row(dlg, 0), (std::vector<std::string>{"1", "Active", "100", "Full", "On"}));
  EXPECT_EQ(Row(dlg, 1), (std::vector<std::string>{"2", "Backup", "10", "Half", "Off"}));
  EXPECT_EQ(Row(dlg, 2), (std::vector<std::string>{"3", "No Link", "No Link", "", ""}));
  EXPECT_EQ(Row(dlg, 3), (std::vector<std::string>{"4", "Learning", "1000", "Half", "Off"}));
  EXPECT_EQ(Row(dlg, 4), (std::vector<std::string>{"5", "Disabled", "10", "Half", "Off"}));
  EXPECT_EQ(dlg.GetDlgItemText(CSwitchStatusDlg::kOkLedId), "Normal operation - no errors");
  EXPECT_EQ(dlg.GetDlgItemText(CSwitchStatusDlg::kOkOutputId), "Normal operation - no errors");
  EXPECT_EQ(dlg.GetDlgItemText(CSwitchStatusDlg::kPower1Id), "Primary power okay");
  EXPECT_EQ(dlg.GetDlgItemText(CSwitchStatusDlg::kPower2Id), "WARNING - no backup power");
  EXPECT_EQ(dlg.GetDlgItemText(CSwitchStatusDlg::kRingLedId), "Ring(s) active - no errors");
  EXPECT_EQ(dlg.CommStatic().GetWindowText(), "Communications OK");
  EXPECT_EQ(dlg.PollingStatic().GetWindowText(), "");
  EXPECT_EQ(dlg.polls(), 1);

  // The next poll comes on the fifth tick, and a smaller switch rebuilds the rows.
  sw.knobs().ports_reported = 5;
  sw.SetRingFlags(0x00 | 0x20 | 0x40);
  Tick(dlg, 3);
  EXPECT_EQ(dlg.polls(), 1);
  EXPECT_EQ(dlg.List().GetItemCount(), 9);
  Tick(dlg);
  EXPECT_EQ(dlg.polls(), 2);
  ASSERT_EQ(dlg.List().GetItemCount(), 5);
  EXPECT_EQ(dlg.List().GetItemText(4, 0), "5");
  EXPECT_EQ(dlg.GetDlgItemText(CSwitchStatusDlg::kOkLedId), "ERROR with ring(s) or power");
  EXPECT_EQ(dlg.GetDlgItemText(CSwitchStatusDlg::kOkOutputId), "ERROR with ring(s) or power");
  EXPECT_EQ(dlg.GetDlgItemText(CSwitchStatusDlg::kPower1Id), "WARNING - no primary power");
  EXPECT_EQ(dlg.GetDlgItemText(CSwitchStatusDlg::kRingLedId), "ERROR elsewhere in ring");

  // A switch that stops answering: lines emptied, failure in bold red; polling goes on.
  sw.knobs().drop_all = true;
  Tick(dlg, 5);
  EXPECT_EQ(dlg.polls(), 3);
  EXPECT_EQ(dlg.CommStatic().GetWindowText(), "Communications Failed");
  EXPECT_EQ(dlg.CommStatic().textColour(), RGB(255, 0, 0));
  EXPECT_EQ(dlg.CommStatic().logFont().lfWeight, 700);
  EXPECT_EQ(dlg.GetDlgItemText(CSwitchStatusDlg::kOkLedId), "");
  EXPECT_EQ(dlg.GetDlgItemText(CSwitchStatusDlg::kPower2Id), "");
  // The port rows no longer claim their last values.
  ASSERT_EQ(dlg.List().GetItemCount(), 5);
  EXPECT_EQ(Row(dlg, 0), (std::vector<std::string>{"1", "", "", "", ""}));
  EXPECT_EQ(Row(dlg, 4), (std::vector<std::string>{"5", "", "", "", ""}));
  // A status that cannot be right (more ports than a switch has) fails the same way.
  sw.knobs().drop_all = false;
  sw.knobs().ports_reported = 65;
  Tick(dlg, 5);
  EXPECT_EQ(dlg.polls(), 4);
  EXPECT_EQ(dlg.CommStatic().GetWindowText(), "Communications Failed");
  sw.knobs().ports_reported = -1;
  Tick(dlg, 5);
  EXPECT_EQ(dlg.CommStatic().GetWindowText(), "Communications OK");
  EXPECT_EQ(dlg.CommStatic().logFont().lfWeight, 400);
  ASSERT_EQ(dlg.List().GetItemCount(), 9);
  EXPECT_EQ(Row(dlg, 0), (std::vector<std::string>{"1", "Active", "100", "Full", "On"}));

  // Its own timer keeps it polling.
  const int before = dlg.polls();
  EXPECT_TRUE(WaitFor([&] { return dlg.polls() > before; }, 6000));

  QTest::mouseClick(dlg.GetDlgItem(CSwitchStatusDlg::kHelpId)->widget(), Qt::LeftButton);
  EXPECT_EQ(HelpContexts(), (std::vector<unsigned>{0x20082}));
}

TEST_F(SwitchStatus, ATickDuringTheSearchStartsNothing) {
  AddSwitch(0x07, "Line 4", {"veth0"});
  CSwitchStatusDlg dlg;
  int nested = 0;
  capture.onFind = [&] {
    // The search lets messages through: a tick arriving now must be dropped.
    if (nested++ == 0) {
      EXPECT_FALSE(dlg.IsWindowEnabled());
      Tick(dlg, 6);
    }
  };
  Open(dlg, 0x07);
  Tick(dlg);
  EXPECT_EQ(dlg.polls(), 1);
  EXPECT_EQ(dlg.CommStatic().GetWindowText(), "Communications OK");
  Tick(dlg, 3);
  EXPECT_EQ(dlg.polls(), 1);  // the dropped ticks were not counted either
  Tick(dlg);
  EXPECT_EQ(dlg.polls(), 2);
}

TEST_F(SwitchStatus, ASwitchNotFoundClosesTheDialog) {
  CSwitchStatusDlg dlg;
  Open(dlg, 0x42);
  Tick(dlg);
  ASSERT_EQ(messages->count(), 1u);
  EXPECT_EQ(messages->messages()[0].text,
            "Unable to find a switch with MAC address <02:4B:33:10:00:42>.\n");
  EXPECT_TRUE(dlg.ended());
  EXPECT_EQ(dlg.result(), IDCANCEL);
  EXPECT_EQ(dlg.polls(), 0);
}

}  // namespace

// Each language writes its labels' colons its own way (French with a space).
TEST_F(SwitchStatus, LabelsTakeTheLanguagesColon) {
  const std::map<std::string, std::pair<const char*, const char*>> labels = {
      {"german", {"Switch-Name:", "MAC-Adresse:"}},
      {"french", {"Nom du switch :", "Adresse MAC :"}}};
  fwtest::InEachLanguage({"german", "french"}, [&](const char* language) {
    const auto& [name, mac] = labels.at(language);
    CSwitchStatusDlg dlg;
    Open(dlg, 0x07);
    EXPECT_EQ(dlg.GetDlgItemText(1086), name);
    EXPECT_EQ(dlg.GetDlgItemText(1087), mac);
  });
}
