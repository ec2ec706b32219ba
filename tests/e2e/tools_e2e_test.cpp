// The switch tools' real dialogs over the real capture library, against
// software switches behind veth pairs. Root only; skipped otherwise.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "platform/format.h"
#include "platform/message.h"
#include "platform/profile.h"
#include "platform/text.h"
#include "switch/switchconfigstore.h"
#include "switch/switchentry.h"
#include "tests/common/qt_threads.h"
#include "tests/common/test_util.h"
#include "tests/e2e/ops_net.h"
#include "tools/eeromdebugdlg.h"
#include "tools/findswitchesdlg.h"
#include "tools/firmwareupdatedlg.h"
#include "tools/netmonitordlg.h"
#include "tools/opsoperationui.h"
#include "tools/switchstatusdlg.h"
#include "tools/toolcomm.h"
#include "tools/toolsdocument.h"

namespace fw::ops_e2e {
namespace {

bool WaitFor(const std::function<bool()>& cond, int boundMs) {
  QDeadlineTimer deadline(boundMs);
  while (!cond() && !deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
  return cond();
}

class CProjectDoc : public IToolsDocument {
 public:
  std::vector<std::string> added;
  const CSwitchEntry* SelectedSwitch() const override { return nullptr; }
  int AddFoundSwitch(const CSwitchEntry& found) override {
    added.push_back(found.GetMacText(true) + " " + found.GetName());
    return static_cast<int>(added.size()) - 1;
  }
};

class ToolsE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string why = CSegment::Unavailable();
    if (!why.empty()) GTEST_SKIP() << why;
    SetAppProfile(&profile);
    profile.WriteProfileInt("Settings", "find all wait limit", 300);
    CSwitchConfigStore::EnsureOfferedModels(0);
    a = std::make_unique<CSegment>(1, 0x41);
    b = std::make_unique<CSegment>(2, 0x42);
    ASSERT_TRUE(a->ok()) << a->error();
    ASSERT_TRUE(b->ok()) << b->error();
    {
      auto lock = a->Lock();
      Provision(*a->cores()[0], "Alpha", "0104 e2e");
      a->cores()[0]->SetRingFlags(0x0F | 0x30 | 0xC0);
    }
    {
      auto lock = b->Lock();
      Provision(*b->cores()[0], "Bravo", "0104 e2e");
      Provision(*b->cores()[1], "Charlie", "0104 e2e");
      for (auto& c : b->cores()) c->SetRingFlags(0x07);  // OK output off
    }
    backend =
        std::make_unique<CRestrictedCapture>(std::set<std::string>{a->host_end(), b->host_end()});
    if (!backend->Usable()) GTEST_SKIP() << "no usable libpcap: " << backend->Version();
    SetToolCommEnv(CToolCommEnv{backend.get(), nullptr, nullptr, &ui});
  }
  void TearDown() override {
    SetToolCommEnv(CToolCommEnv{});
    SetAppProfile(nullptr);
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  }
  void Click(CDialog& dlg, int id) {
    QTest::mouseClick(dlg.GetDlgItem(id)->widget(), Qt::LeftButton);
  }
  std::string Mac(CSegment& s, int i) {
    auto lock = s.Lock();
    return ToUpperAscii(CSegment::MacText(s.cores()[static_cast<std::size_t>(i)]->mac()));
  }

  CProfile profile;
  ScopedMessageSink messages;
  COpsOperationUi ui;
  std::unique_ptr<CSegment> a, b;
  std::unique_ptr<CRestrictedCapture> backend;
};

TEST_F(ToolsE2E, FindAllListsAndAddsEverySwitch) {
  CProjectDoc doc;
  CFindSwitchesDlg dlg(nullptr, &doc);
  ASSERT_TRUE(dlg.Create(CFindSwitchesDlg::IDD));
  dlg.ShowWindow(SW_SHOW);
  ASSERT_TRUE(WaitFor([&] { return dlg.List().GetItemCount() == 3 && !dlg.Searching(); }, 15000));
  EXPECT_TRUE(messages->messages().empty());
  for (int r = 0; r < 3; ++r) dlg.List().SetItemState(r, LVIS_SELECTED, LVIS_SELECTED);
  Click(dlg, CFindSwitchesDlg::kAddSelectedId);
  std::sort(doc.added.begin(), doc.added.end());
  EXPECT_EQ(doc.added, (std::vector<std::string>{Mac(*a, 0) + " Alpha", Mac(*b, 0) + " Bravo",
                                                 Mac(*b, 1) + " Charlie"}));
}

TEST_F(ToolsE2E, StatusDialogPollsTheSwitch) {
  CSwitchStatusDlg dlg;
  dlg.m_strMac = Mac(*b, 1);
  dlg.m_strName = "Charlie";
  dlg.m_strModel = "QV-9KP-1";
  ASSERT_TRUE(dlg.Create(CSwitchStatusDlg::IDD));
  dlg.ShowWindow(SW_SHOW);
  ASSERT_TRUE(WaitFor([&] { return dlg.polls() >= 2; }, 15000));
  EXPECT_EQ(dlg.m_strInterface, b->host_end());
  EXPECT_EQ(dlg.List().GetItemCount(), 9);
  EXPECT_EQ(dlg.CommStatic().GetWindowText(), "Communications OK");
  EXPECT_EQ(dlg.GetDlgItemText(CSwitchStatusDlg::kOkLedId), "Normal operation - no errors");
}

TEST_F(ToolsE2E, FirmwareDialogLoadsTheSwitch) {
  test::TempDir dir;
  const std::string path = dir.file("ring_9_port.s19");
  std::vector<std::uint8_t> wire;
  {
    std::ofstream f(path);
    for (int i = 0; i < 20; ++i) {
      std::vector<std::uint8_t> data(40);
      for (int k = 0; k < 40; ++k)
        data[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(i + k);
      const std::uint32_t address = 0x2000 + 40 * static_cast<std::uint32_t>(i);
      f << test::SRecordLine(2, address, data) << "\n";
      wire.insert(wire.end(), {0, static_cast<std::uint8_t>(address >> 16),
                               static_cast<std::uint8_t>(address >> 8),
                               static_cast<std::uint8_t>(address), 40});
      wire.insert(wire.end(), data.begin(), data.end());
    }
  }
  profile.WriteProfileString("settings", "last fw file", path);
  CSwitchEntry entry;
  entry.SetMac(Mac(*a, 0));
  entry.SetName("Alpha");
  CFirmwareUpdateDlg dlg;
  dlg.SetSwitch(&entry);
  ASSERT_TRUE(dlg.Create(CFirmwareUpdateDlg::IDD));
  auto* combo = static_cast<CComboBox*>(dlg.GetDlgItem(CFirmwareUpdateDlg::kInterfaceId));
  combo->SetCurSel(combo->FindStringExact(-1, a->host_end()));
  Click(dlg, IDOK);
  EXPECT_EQ(dlg.loadResult(), 0) << (messages->count() ? messages->messages()[0].text : "");
  auto lock = a->Lock();
  EXPECT_EQ(a->cores()[0]->blocks_loaded(), 20);
  EXPECT_EQ(a->cores()[0]->firmware(), wire);
}

TEST_F(ToolsE2E, EeromDebuggerWritesOnlyTheChangedRow) {
  test::TempDir dir;
  {
    std::ofstream f(dir.file("ringeerom.txt"));
    f << "$20-$3F,Switch name\n$300-$301,Ring 1 ports\n";
  }
  std::vector<std::uint8_t> before, neighbour;
  {
    auto lock = b->Lock();
    before = b->cores()[0]->eerom();
    neighbour = b->cores()[1]->eerom();
  }
  CEeromDebugDlg dlg;
  dlg.m_strDestMac = Mac(*b, 0);
  dlg.m_strDescriptionFile = dir.file("ringeerom.txt");
  ASSERT_TRUE(dlg.Create(CEeromDebugDlg::IDD));
  auto* combo = static_cast<CComboBox*>(dlg.GetDlgItem(CEeromDebugDlg::kInterfaceId));
  combo->SetCurSel(combo->FindStringExact(-1, b->host_end()));
  ASSERT_EQ(dlg.ReadAll(), 0);
  EXPECT_EQ(dlg.Grid().GetCellText(2, 0).value_or("").substr(0, 10), "427261766F");  // "Bravo"
  dlg.StoreHexText("1122", 1);
  EXPECT_TRUE(dlg.Grid().IsRowModified(1));
  ASSERT_EQ(dlg.WriteAll(), 0) << (messages->count() ? messages->messages()[0].text : "");
  EXPECT_FALSE(dlg.Grid().IsRowModified(1));
  auto lock = b->Lock();
  const auto& after = b->cores()[0]->eerom();
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (i == 0x300 || i == 0x301) continue;
    ASSERT_EQ(after[i], before[i]) << i;
  }
  EXPECT_EQ(after[0x300], 0x11);
  EXPECT_EQ(after[0x301], 0x22);
  EXPECT_EQ(b->cores()[1]->eerom(), neighbour);
}

TEST_F(ToolsE2E, NetworkMonitorSeesEverySwitchAndClosesAtOnce) {
  CNetMonitorDlg dlg;
  ASSERT_TRUE(dlg.Create(CNetMonitorDlg::IDD));
  dlg.ShowWindow(SW_SHOW);
  dlg.StartMonitor();
  ASSERT_TRUE(WaitFor([&] { return dlg.Switches().size() == 3; }, 20000));
  ASSERT_TRUE(WaitFor([&] { return dlg.Grid().GetRowTotal() == 3; }, 5000));
  // Alpha's OK output is on, Bravo's and Charlie's are off.
  ASSERT_TRUE(WaitFor([&] { return dlg.Faults() == 2; }, 20000));
  ASSERT_TRUE(WaitFor([&] { return dlg.Worker().searching(); }, 20000));
  Click(dlg, IDCANCEL);
  EXPECT_FALSE(dlg.Worker().Running());
}

}  // namespace
}  // namespace fw::ops_e2e

// The font library keeps a cache it never frees; that is not our leak.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::testing::InitGoogleTest(&argc, argv);
  return fwtest::RunTestsUnder<QApplication>(argc, argv);
}
