// Texts the tool dialogs put on their controls while they run (status lines,
// labels from the string table, LED states, counts) fit in every language,
// each variant in the control that shows it.
#include <gtest/gtest.h>

#include <QTest>
#include <QThread>
#include <QTimer>
#include <functional>
#include <memory>
#include <span>

#include "platform/resstring.h"
#include "res/string_ids.h"
#include "sheet_test_util.h"
#include "switch/operationui.h"
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

  // Opens the dialog in each language, shows every variant of every text in
  // its control and names those that do not fit.
  void ExpectAllFit(const std::function<std::unique_ptr<CDialog>()>& make, unsigned idd,
                    const std::vector<Shown>& shown,
                    const std::function<std::vector<std::pair<int, std::string>>()>& more = {}) {
    fwtest::InEachLanguage([&](const char* language) {
      std::unique_ptr<CDialog> dlg = make();
      ASSERT_TRUE(dlg->Create(idd)) << idd;
      dlg->ShowWindow(SW_SHOW);
      std::vector<std::string> cut;
      auto check = [&](int id, const std::string& text) {
        dlg->SetDlgItemText(id, text);
        for (const std::string& c : fwtest::TextsThatDoNotFit(dlg->widget()))
          if (std::find(cut.begin(), cut.end(), c) == cut.end()) cut.push_back(c);
      };
      // What OnInitDialog put there.
      for (const std::string& c : fwtest::TextsThatDoNotFit(dlg->widget())) cut.push_back(c);
      for (const Shown& s : shown)
        for (unsigned str : s.strings) check(s.id, LoadResString(str));
      if (more)
        for (const auto& [id, text] : more()) check(id, text);
      EXPECT_TRUE(cut.empty()) << "dialog " << idd << " " << language << ": " << cut.size()
                               << " cut:" << fwtest::Listed(cut);
      (void)dlg->DestroyWindow();
    });
  }
};

// Every entry of the lists the operations show their texts from.
TEST_F(RunTimeTextFit, StatusLinesOfTheOperationWindows) {
  auto each = [](std::span<const unsigned> ids) {
    return std::vector<unsigned>(ids.begin(), ids.end());
  };
  ExpectAllFit([] { return std::make_unique<CCyclePowerDlg>(); }, CCyclePowerDlg::IDD,
               {{CCyclePowerDlg::kStatusId, each(optext::kCyclePowerTexts)}});
  ExpectAllFit([] { return std::make_unique<CSearchingDlg>(); }, CSearchingDlg::IDD,
               {{CSearchingDlg::kStatusId, each(optext::kSearchingTexts)}});
  ExpectAllFit([] { return std::make_unique<CProgressDlg>(); }, CProgressDlg::IDD,
               {{CProgressDlg::kStatusId, each(optext::kProgressTexts)}});
}

TEST_F(RunTimeTextFit, FaultCountOfTheNetworkMonitor) {
  ExpectAllFit([] { return std::make_unique<CNetMonitorDlg>(); }, CNetMonitorDlg::IDD, {},
               [] {
                 return std::vector<std::pair<int, std::string>>{
                     {CNetMonitorDlg::kStatusId, FormatRes(IDS_NUMBER_OF_FAULTS, 0)},
                     {CNetMonitorDlg::kStatusId, FormatRes(IDS_NUMBER_OF_FAULTS, 9999)}};
               });
}

// The labels both dialogs set as they open.
TEST_F(RunTimeTextFit, LabelsOfTheOutputFileAndModbusDialogs) {
  ExpectAllFit([] { return std::make_unique<COutputFileDlg>(nullptr, nullptr); },
               COutputFileDlg::IDD, {});
  ExpectAllFit([] { return std::make_unique<CModbusOptionsDlg>(); }, CModbusOptionsDlg::IDD, {});
}

// The switch reports every value of each status field, one poll after the
// other, and then stops answering: whatever the dialog shows fits.
TEST_F(RunTimeTextFit, EveryStateTheSwitchStatusShows) {
  auto& sw = AddSwitch(0x07, "Line 4", {"veth0"});
  fwtest::InEachLanguage([&](const char* language) {
    sw.knobs().drop_all = false;
    CSwitchStatusDlg dlg;
    dlg.m_strName = "Line 4";
    dlg.m_strModel = "QV-9KP-1";
    dlg.m_strMac = MacText(0x07);
    ASSERT_TRUE(dlg.Create(CSwitchStatusDlg::IDD));
    dlg.ShowWindow(SW_SHOW);
    std::vector<std::string> cut;
    auto look = [&] {
      for (const std::string& c : fwtest::TextsThatDoNotFit(dlg.widget()))
        if (std::find(cut.begin(), cut.end(), c) == cut.end()) cut.push_back(c);
    };
    // What the dialog shows while its request goes out.
    std::string polling;
    capture.onSend = [&](const std::uint8_t*, std::size_t) {
      if (QThread::currentThread() != dlg.widget()->thread()) return;
      polling = dlg.PollingStatic().GetWindowText();
      look();
    };
    auto poll = [&] {
      const int before = dlg.polls();
      for (int i = 0; i < CSwitchStatusDlg::kTicksPerPoll && dlg.polls() == before; ++i)
        dlg.SendMessage(WM_TIMER, CSwitchStatusDlg::kTimerId);
      EXPECT_GT(dlg.polls(), before);
      look();
    };
    // Ring state in the low three bits, ring LED in the top two; the output
    // and both power flags each on and off.
    for (int k = 0; k < 8; ++k) {
      sw.SetRingFlags(static_cast<std::uint8_t>(k | (k & 3) << 6 | (k & 1 ? 0x08 : 0) |
                                                (k & 2 ? 0x10 : 0) | (k & 4 ? 0x20 : 0)));
      poll();
    }
    EXPECT_NE(polling, "");
    sw.knobs().drop_all = true;
    poll();
    EXPECT_TRUE(cut.empty()) << language << ": " << cut.size() << " cut:" << fwtest::Listed(cut);
    capture.onSend = nullptr;
    (void)dlg.DestroyWindow();
  });
}

// A firmware file's path is shortened to its field, in every language; the
// dialog keeps the whole path.
TEST_F(RunTimeTextFit, TheFirmwareFileIsShortenedToItsField) {
  const std::string path = "/home/engineer/" + std::string(120, 'd') + "/ring_gig/firmware.s19";
  profile->WriteProfileString("settings", "last fw file", path);
  fwtest::InEachLanguage([&](const char* language) {
    CFirmwareUpdateDlg dlg;
    ASSERT_TRUE(dlg.Create(CFirmwareUpdateDlg::IDD));
    dlg.ShowWindow(SW_SHOW);
    EXPECT_EQ(dlg.file(), path);
    const std::string shown = dlg.GetDlgItemText(CFirmwareUpdateDlg::kFileId);
    EXPECT_NE(shown, path);
    EXPECT_NE(shown.find("firmware.s19"), std::string::npos) << shown;
    const auto cut = fwtest::TextsThatDoNotFit(dlg.widget());
    EXPECT_TRUE(cut.empty()) << language << ":" << fwtest::Listed(cut);
    (void)dlg.DestroyWindow();
  });
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
  EXPECT_TRUE(cut.empty()) << cut.size() << " cut in " << GetParam() << ":" << fwtest::Listed(cut);
}

FW_IN_ALL_LANGUAGES(RunTimeSheetTextFit);

}  // namespace
