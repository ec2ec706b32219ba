// The Modbus options dialog on a switch entry: what it shows, what it
// refuses, and that nothing is stored unless all of it is valid.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>

#include "gui_helpers.h"
#include "platform/gui/help.h"
#include "platform/message.h"
#include "switch/switchentry.h"
#include "tools/modbusoptionsdlg.h"

namespace {

class ModbusOptions : public ::testing::Test {
 protected:
  void SetUp() override {
    entry.SetName("North");
    entry.SetIP("10.0.0.5");
    entry.SetSubnet("255.255.0.0");
    entry.SetGateway("10.0.0.1");
    entry.SetModbusEnable(0);
    entry.SetModbusAddress(12);
  }
  void TearDown() override { fwtest::Drain(); }

  // Runs the dialog; `act` runs once it is up and must end it.
  int Run(const std::function<void()>& act) {
    dlg.m_pEntry = &entry;
    // A timer of this scope: it never fires after the dialog is gone.
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
      act();
      if (!dlg.ended()) dlg.EndDialog(-5);  // a test that forgot to end it fails below
    });
    timer.start(0);
    return static_cast<int>(dlg.DoModal());
  }
  CIPAddressCtrl& Ip(int id) { return *dynamic_cast<CIPAddressCtrl*>(dlg.GetDlgItem(id)); }
  std::string Shown(int id) { return CModbusOptionsDlg::ReadAddress(Ip(id)); }
  void Type(int id, const std::string& text) { dlg.GetDlgItem(id)->SetWindowText(text); }
  void ClickEnable() {
    QWidget* box = dlg.GetDlgItem(1042)->widget();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
  }
  void Ok() { dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }
  void Cancel() { dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }
  std::vector<std::string> Texts() {
    std::vector<std::string> out;
    for (const auto& m : messages->messages()) out.push_back(m.text);
    return out;
  }

  fw::ScopedMessageSink messages;
  CSwitchEntry entry;
  CModbusOptionsDlg dlg;
};

TEST_F(ModbusOptions, ShowsTheEntryAndGreysTheAddressesWhileModbusIsOff) {
  entry.SetIP("not an address");
  const int r = Run([&] {
    EXPECT_EQ(dlg.GetWindowText(), "Modbus Options");
    EXPECT_EQ(dlg.GetDlgItemText(1042), "Enable Modbus");
    EXPECT_EQ(dlg.GetDlgItemText(1043), "12");
    // An address that is none shows blank, not as 255.255.255.255.
    EXPECT_EQ(Shown(1044), "");
    EXPECT_EQ(Shown(1045), "255.255.0.0");
    EXPECT_EQ(Shown(1046), "10.0.0.1");
    for (int id : {1043, 1044, 1045, 1046}) EXPECT_FALSE(dlg.GetDlgItem(id)->IsWindowEnabled());
    ClickEnable();
    for (int id : {1043, 1044, 1045, 1046}) EXPECT_TRUE(dlg.GetDlgItem(id)->IsWindowEnabled());
    ClickEnable();
    EXPECT_FALSE(dlg.GetDlgItem(1044)->IsWindowEnabled());
    // Off: the addresses stay as they were, the Modbus address is still checked.
    Type(1043, "248");
    Ok();
    EXPECT_FALSE(dlg.ended());
    Type(1043, "");
    Ok();
  });
  EXPECT_EQ(r, IDOK);
  EXPECT_EQ(Texts(), std::vector<std::string>{"Valid Modbus addresses are 1 to 247."});
  EXPECT_EQ(entry.GetIP(), "not an address");
  EXPECT_EQ(entry.GetModbusAddress(), 1);  // an empty address is 1
  EXPECT_EQ(entry.GetModbusEnable(), 0);
}

TEST_F(ModbusOptions, ARefusedOkFollowedByCancelChangesNothing) {
  const int r = Run([&] {
    ClickEnable();
    Ip(1044).SetAddress(0xC0A80001);
    Type(1043, "0");
    Ok();
    EXPECT_FALSE(dlg.ended());
    EXPECT_EQ(dlg.m_bEnable, 1);
    Cancel();
  });
  EXPECT_EQ(r, IDCANCEL);
  EXPECT_EQ(Texts(), std::vector<std::string>{"Valid Modbus addresses are 1 to 247."});
  EXPECT_EQ(entry.GetModbusEnable(), 0);
  EXPECT_EQ(entry.GetIP(), "10.0.0.5");
  EXPECT_EQ(entry.GetModbusAddress(), 12);
}

TEST_F(ModbusOptions, EnabledModbusNeedsAnAddressAndAMask) {
  entry.SetModbusEnable(1);
  const int r = Run([&] {
    Ip(1044).ClearAddress();
    Ok();
    Ip(1044).SetAddress(0x0A000009);
    Ip(1045).ClearAddress();
    Ok();
    EXPECT_FALSE(dlg.ended());
    Ip(1045).SetAddress(0xFFFFFF00);
    Ip(1046).ClearAddress();
    Type(1043, "247");
    Ok();
  });
  EXPECT_EQ(r, IDOK);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Please enter an IP Address.",
                                               "Please enter a subnet mask."}));
  EXPECT_EQ(entry.GetIP(), "10.0.0.9");
  EXPECT_EQ(entry.GetSubnet(), "255.255.255.0");
  EXPECT_EQ(entry.GetGateway(), "");
  EXPECT_EQ(entry.GetModbusAddress(), 247);
  EXPECT_EQ(entry.GetModbusEnable(), 1);
}

TEST_F(ModbusOptions, HelpAsksForTheDialogsContext) {
  fw::ScopedHelpService help;
  Run([&] {
    QTest::mouseClick(dlg.GetDlgItem(3)->widget(), Qt::LeftButton);
    Cancel();
  });
  EXPECT_EQ(help->requests(), std::vector<unsigned>{0x20096});
}

}  // namespace
