#include "tools/testcommdlg.h"

#include <QListWidget>
#include <QTest>

#include "tools_fixture.h"

namespace {

class TestComm : public fwtest::ToolsTest {
 protected:
  TestComm() {
    AddDevice("veth0", "Segment A", 0xA0);
    AddDevice("veth1", "Segment B", 0xA1);
  }
  void Click(CDialog& dlg, int id) {
    QTest::mouseClick(dlg.GetDlgItem(id)->widget(), Qt::LeftButton);
  }
  static QListWidget* Devices(CDialog& dlg) {
    return qobject_cast<QListWidget*>(dlg.GetDlgItem(CTestCommDlg::kDeviceListId)->widget());
  }
  std::size_t Sent() {
    std::size_t n = 0;
    for (const auto& [device, frames] : capture.locked.fake.sent) n += frames.size();
    return n;
  }
};

TEST_F(TestComm, EntersTheBootMonitorOnTheChosenInterfaceAndSaysSo) {
  auto& sw = AddSwitch(0x09, "Line 9", {"veth1"});
  CTestCommDlg dlg;
  ASSERT_TRUE(dlg.Create(CTestCommDlg::IDD));
  dlg.ShowWindow(SW_SHOW);
  QListWidget* devices = Devices(dlg);
  ASSERT_NE(devices, nullptr);
  ASSERT_EQ(devices->count(), 2);
  EXPECT_EQ(devices->item(1)->text().toStdString(), "Segment B");

  // Nothing chosen, and the two buttons without an action: nothing goes out.
  Click(dlg, CTestCommDlg::kEnterBootMonitorId);
  Click(dlg, CTestCommDlg::kSendId);
  Click(dlg, CTestCommDlg::kLoadFirmwareId);
  EXPECT_EQ(Sent(), 0u);
  EXPECT_TRUE(MessageTexts().empty());

  QTest::mouseClick(devices->viewport(), Qt::LeftButton, {},
                    devices->visualItemRect(devices->item(1)).center());
  Click(dlg, CTestCommDlg::kEnterBootMonitorId);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Boot monitor entry successful."});
  EXPECT_EQ(dlg.GetDlgItemText(CTestCommDlg::kErrorsId), "Errors:--------------\r\n");
  // Commanded in, then straight out again.
  EXPECT_EQ(sw.last_control(), kControlRestart);
  EXPECT_FALSE(sw.InBootMonitor(clock.Now() + 100000));
  EXPECT_TRUE(capture.locked.fake.sent["veth0"].empty());
}

// A switch that answers only after a request gave up: its late answer to the
// restart must not read as a boot monitor that answered.
TEST_F(TestComm, ALateAnswerIsNotTakenForTheBootMonitor) {
  auto& sw = AddSwitch(0x09, "Line 9", {"veth0"});
  sw.knobs().delay_ms = 1100;
  sw.knobs().boot_on_restart = false;
  CTestCommDlg dlg;
  ASSERT_TRUE(dlg.Create(CTestCommDlg::IDD));
  dlg.ShowWindow(SW_SHOW);
  QListWidget* devices = Devices(dlg);
  QTest::mouseClick(devices->viewport(), Qt::LeftButton, {},
                    devices->visualItemRect(devices->item(0)).center());
  Click(dlg, CTestCommDlg::kEnterBootMonitorId);
  EXPECT_TRUE(MessageTexts().empty());
  EXPECT_EQ(dlg.GetDlgItemText(CTestCommDlg::kErrorsId),
            "Errors:--------------\r\nff:ff:ff:ff:ff:ff Unable to command the unit into boot "
            "monitor mode.\r\n");
}

}  // namespace
