// Texts the tool dialogs put on their controls while they run (status lines,
// labels from the string table, LED states, counts) fit in every language,
// each variant in the control that shows it.
#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "platform/resstring.h"
#include "res/string_ids.h"
#include "sheet_test_util.h"
#include "textfit_check.h"
#include "tools/cfgpage3.h"
#include "tools/cfgpsheet.h"
#include "tools/cyclepowerdlg.h"
#include "tools/firmwareupdatedlg.h"
#include "tools/modbusoptionsdlg.h"
#include "tools/netmonitordlg.h"
#include "tools/outputfiledlg.h"
#include "tools/progressdlg.h"
#include "tools/searchingdlg.h"
#include "tools/switchstatusdlg.h"
#include "tools_fixture.h"

namespace {

struct Shown {
  int id;
  std::vector<unsigned> strings;  // each shown in turn
};

class RunTimeTextFit : public fwtest::ToolsTest {
 protected:
  RunTimeTextFit() { AddDevice("veth0", "Segment A", 0xA0); }
  ~RunTimeTextFit() override { fw::SetCurrentResources(nullptr); }

  // Opens the dialog in each language, shows every variant of every text in
  // its control and names those that do not fit.
  void ExpectAllFit(const std::function<std::unique_ptr<CDialog>()>& make, unsigned idd,
                    const std::vector<Shown>& shown,
                    const std::function<std::vector<std::pair<int, std::string>>()>& more = {}) {
    for (const char* language : {"english", "german", "french"}) {
      fw::SetCurrentResources(fwtest::LanguageBundle(language));
      std::unique_ptr<CDialog> dlg = make();
      ASSERT_TRUE(dlg->Create(idd)) << idd;
      dlg->ShowWindow(SW_SHOW);
      std::vector<std::string> cut;
      auto check = [&](int id, const std::string& text) {
        dlg->SetDlgItemText(id, text);
        for (const std::string& c : fwtest::TextsThatDoNotFit(dlg->widget()))
          if (std::find(cut.begin(), cut.end(), c) == cut.end()) cut.push_back(c);
      };
      for (const Shown& s : shown)
        for (unsigned str : s.strings) check(s.id, LoadResString(str));
      if (more)
        for (const auto& [id, text] : more()) check(id, text);
      std::string all;
      for (const std::string& c : cut) all += "\n  " + c;
      EXPECT_TRUE(cut.empty()) << "dialog " << idd << " " << language << ": " << cut.size()
                               << " cut:" << all;
      (void)dlg->DestroyWindow();
    }
  }
};

TEST_F(RunTimeTextFit, StatusLinesOfTheOperationWindows) {
  ExpectAllFit([] { return std::make_unique<CCyclePowerDlg>(); }, CCyclePowerDlg::IDD,
               {{CCyclePowerDlg::kStatusId, {IDS_CYCLE_POWER_PROMPT, IDS_ATTEMPTING_CONNECT}}});
  ExpectAllFit([] { return std::make_unique<CSearchingDlg>(); }, CSearchingDlg::IDD,
               {{CSearchingDlg::kStatusId, {IDS_SEARCHING_FOR_SWITCHES, IDS_SELECTING_INTERFACE}}});
  ExpectAllFit([] { return std::make_unique<CProgressDlg>(); }, CProgressDlg::IDD,
               {{CProgressDlg::kStatusId, {IDS_LOADING_FIRMWARE}}});
}

TEST_F(RunTimeTextFit, FaultCountOfTheNetworkMonitor) {
  ExpectAllFit([] { return std::make_unique<CNetMonitorDlg>(); }, CNetMonitorDlg::IDD, {},
               [] {
                 return std::vector<std::pair<int, std::string>>{
                     {CNetMonitorDlg::kStatusId, FormatRes(IDS_NUMBER_OF_FAULTS, 0)},
                     {CNetMonitorDlg::kStatusId, FormatRes(IDS_NUMBER_OF_FAULTS, 9999)}};
               });
}

TEST_F(RunTimeTextFit, LabelsOfTheOutputFileAndModbusDialogs) {
  ExpectAllFit([] { return std::make_unique<COutputFileDlg>(nullptr, nullptr); },
               COutputFileDlg::IDD,
               {{1102, {IDS_FILE_TYPE}},  // type and destination labels
                {1103, {IDS_DESTINATION_FILE}}});
  ExpectAllFit([] { return std::make_unique<CModbusOptionsDlg>(); }, CModbusOptionsDlg::IDD,
               {{1042, {IDS_ENABLE_MODBUS}},  // the check box and the gateway label
                {1070, {IDS_DEFAULT_GATEWAY}}});
}

TEST_F(RunTimeTextFit, EveryStateTheSwitchStatusShows) {
  ExpectAllFit(
      [] {
        auto dlg = std::make_unique<CSwitchStatusDlg>();
        dlg->m_strMac = "FF:FF:FF:FF:FF:FF";
        return dlg;
      },
      CSwitchStatusDlg::IDD,
      {{1086, {IDS_SWITCH_NAME_LABEL}},
       {1088, {IDS_USING_INTERFACE}},
       {1084, {IDS_PORTS_LABEL}},
       {1079, {IDS_OK_LED}},
       {1080, {IDS_OK_OUTPUT_LABEL}},
       {1081, {IDS_POWER1}},
       {1082, {IDS_POWER2}},
       {1083, {IDS_RING_LED}},
       {CSwitchStatusDlg::kPower1Id, {IDS_PRIMARY_POWER_OKAY, IDS_WARNING_NO_PRIMARY_POWER}},
       {CSwitchStatusDlg::kPower2Id, {IDS_BACKUP_POWER_OKAY, IDS_WARNING_NO_BACKUP_POWER}},
       {CSwitchStatusDlg::kOkLedId,
        {IDS_ERROR_RINGS_OR_POWER, IDS_BEING_WINKED, IDS_ERROR_CHECK_CONFIGURATION,
         IDS_NORMAL_OPERATION_NO_ERRORS}},
       {CSwitchStatusDlg::kOkOutputId, {IDS_NORMAL_OPERATION_NO_ERRORS, IDS_ERROR_RINGS_OR_POWER}},
       {CSwitchStatusDlg::kRingLedId,
        {IDS_NO_RINGS_CONFIGURED, IDS_ERROR_ELSEWHERE_RING, IDS_ERROR_ADJACENT_SWITCH,
         IDS_RINGS_ACTIVE_NO_ERRORS}}},
      [] {
        return std::vector<std::pair<int, std::string>>{
            {1087, LoadResString(IDS_MAC_ADDRESS_LABEL)},
            {CSwitchStatusDlg::kMacId, "FF:FF:FF:FF:FF:FF"}};
      });
}

// A firmware file's path is shortened to its field, in every language; the
// dialog keeps the whole path.
TEST_F(RunTimeTextFit, TheFirmwareFileIsShortenedToItsField) {
  const std::string path = "/home/engineer/" + std::string(120, 'd') + "/ring_gig/firmware.s19";
  profile->WriteProfileString("settings", "last fw file", path);
  for (const char* language : {"english", "german", "french"}) {
    fw::SetCurrentResources(fwtest::LanguageBundle(language));
    CFirmwareUpdateDlg dlg;
    ASSERT_TRUE(dlg.Create(CFirmwareUpdateDlg::IDD));
    dlg.ShowWindow(SW_SHOW);
    EXPECT_EQ(dlg.file(), path);
    const std::string shown = dlg.GetDlgItemText(CFirmwareUpdateDlg::kFileId);
    EXPECT_NE(shown, path);
    EXPECT_NE(shown.find("firmware.s19"), std::string::npos) << shown;
    const auto cut = fwtest::TextsThatDoNotFit(dlg.widget());
    std::string all;
    for (const std::string& c : cut) all += "\n  " + c;
    EXPECT_TRUE(cut.empty()) << language << ":" << all;
    (void)dlg.DestroyWindow();
  }
}

// The recovery time the Rings page works out as the user types a count, at
// the count's limits, in bold beside its label.
class RunTimeSheetTextFit : public fwtest::InLanguage {};

TEST_P(RunTimeSheetTextFit, TheRecoveryTimeAtEveryCountFits) {
  CCfgPSheet sheet;
  sheet.SetMode(1);
  MakeType(sheet.GetConfig(), 6009);
  sheet.GetConfig().SetName("Line A");
  std::vector<std::string> cut;
  QTimer::singleShot(0, [&] {
    fwtest::Drain();
    if (!sheet.SetActivePage(2)) ADD_FAILURE() << "rings page";
    fwtest::Drain();
    for (const char* count : {"2", "9999999999999", "-9999999999999"}) {
      // Typed, as the page works it out on each change.
      QWidget* edit = sheet.RingsPage().GetDlgItem(CCfgPage3::kSwitchCount)->widget();
      edit->setFocus();
      QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClicks(edit, count);
      fwtest::Drain();
      EXPECT_NE(sheet.RingsPage().GetDlgItemText(CCfgPage3::kRecoveryTime), "") << count;
      for (const std::string& c : fwtest::TextsThatDoNotFit(sheet.RingsPage().widget()))
        cut.push_back(std::string(count) + ": " + c);
    }
    sheet.EndDialog(IDCANCEL);
  });
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [&] { sheet.EndDialog(-2); });
  guard.start(20000);
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  std::string all;
  for (const std::string& c : cut) all += "\n  " + c;
  EXPECT_TRUE(cut.empty()) << cut.size() << " cut in " << GetParam() << ":" << all;
}

FW_IN_ALL_LANGUAGES(RunTimeSheetTextFit);

}  // namespace
