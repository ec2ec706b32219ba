#include "tools/firmwareupdatedlg.h"

#include <QApplication>
#include <QComboBox>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "platform/gui/services.h"
#include "switch/frames.h"
#include "tests/common/test_util.h"
#include "tools/progressdlg.h"
#include "tools_fixture.h"

namespace {

class FirmwareUpdate : public fwtest::ToolsTest {
 protected:
  FirmwareUpdate() {
    AddDevice("veth0", "Segment A", 0xA0);
    AddDevice("veth1", "Segment B", 0xA1);
    fw::SetFileDialogService(&files);
    entry.SetMac(MacText(0x09));
    entry.SetName("Line 9");
    entry.SetPartFromText("QV-9KP-1", "");
  }
  ~FirmwareUpdate() override { fw::SetFileDialogService(nullptr); }

  // A firmware file of `records` data records in a folder whose name would
  // not fit the switch: only the file's own name may count.
  std::string WriteFirmware(int records, std::vector<std::uint8_t>* wire) {
    const std::string folder = dir.file("ring_gig");
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/ring_9_port_v01.s19";
    std::ofstream f(path);
    f << fw::test::SRecordLine(0, 0, {'h', 'd', 'r'}) << "\n";
    for (int i = 0; i < records; ++i) {
      // Long enough that no frame needs padding: the switch keeps what it is sent.
      std::vector<std::uint8_t> data(32);
      for (int k = 0; k < 32; ++k) data[k] = static_cast<std::uint8_t>(i * 3 + k);
      const std::uint32_t address = 0x1000 + 32 * static_cast<std::uint32_t>(i);
      f << fw::test::SRecordLine(2, address, data) << "\n";
      wire->insert(wire->end(), {0, static_cast<std::uint8_t>(address >> 16),
                                 static_cast<std::uint8_t>(address >> 8),
                                 static_cast<std::uint8_t>(address), 32});
      wire->insert(wire->end(), data.begin(), data.end());
    }
    f << fw::test::SRecordLine(8, 0, {}) << "\n";
    return path;
  }
  static bool IsLoadBlock(const std::uint8_t* frame, std::size_t len) {
    return len > 20 && frame[19] == 0 && frame[20] == fw::frames::kCmdLoadBlock;
  }
  void Click(CDialog& dlg, int id) {
    QTest::mouseClick(dlg.GetDlgItem(id)->widget(), Qt::LeftButton);
  }

  fw::test::TempDir dir;
  fw::CScriptedFileDialogService files;
  CSwitchEntry entry;
};

TEST_F(FirmwareUpdate, LoadsAFileWithProgressAndRemembersFileAndInterface) {
  auto& sw = AddSwitch(0x09, "Line 9", {"veth1"});
  std::vector<std::uint8_t> wire;
  const std::string path = WriteFirmware(40, &wire);
  files.QueueAnswer(path);
  std::vector<int> progress;
  capture.onSend = [&](const std::uint8_t* frame, std::size_t len) {
    if (!IsLoadBlock(frame, len)) return;
    CProgressDlg* p = ui.progress();
    ASSERT_NE(p, nullptr);
    progress.push_back(qobject_cast<QProgressBar*>(p->m_progress.widget())->value());
  };

  {
    CFirmwareUpdateDlg dlg;
    dlg.SetSwitch(&entry);
    ASSERT_TRUE(dlg.Create(CFirmwareUpdateDlg::IDD));
    dlg.ShowWindow(SW_SHOW);
    EXPECT_EQ(dlg.GetDlgItemText(CFirmwareUpdateDlg::kNameId), "Line 9");
    EXPECT_EQ(dlg.GetDlgItemText(CFirmwareUpdateDlg::kFileId), "");
    Click(dlg, CFirmwareUpdateDlg::kBrowseId);
    ASSERT_EQ(files.requests().size(), 1u);
    EXPECT_EQ(files.requests()[0].defaultExt, "s19");
    EXPECT_EQ(files.requests()[0].fileName, "*.s19");
    // Without a project file: where the projects are, not the home folder.
    EXPECT_EQ(files.requests()[0].initialDir, fw::ProjectsFolder());
    EXPECT_EQ(dlg.GetDlgItemText(CFirmwareUpdateDlg::kFileId), path);
    // The user picks the second interface.
    auto* combo =
        qobject_cast<QComboBox*>(dlg.GetDlgItem(CFirmwareUpdateDlg::kInterfaceId)->widget());
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->currentIndex(), 0);
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(combo->currentText(), "Segment B");
    EXPECT_EQ(profile->GetProfileInt("preferences", "last device", 0), 1);

    Click(dlg, IDOK);
    EXPECT_EQ(dlg.loadResult(), 0);
    EXPECT_TRUE(dlg.ended());
  }
  ASSERT_EQ(messages->count(), 1u) << messages->messages()[0].text;
  EXPECT_EQ(messages->messages()[0].text, "Firmware load complete.");
  EXPECT_EQ(messages->messages()[0].caption, "Load Complete");
  EXPECT_EQ(sw.blocks_loaded(), 40);
  EXPECT_EQ(sw.firmware(), wire);
  ASSERT_EQ(progress.size(), 40u);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(progress[i], i);
  EXPECT_EQ(ui.progress(), nullptr);  // gone with the load

  // The next time the same file and interface come back.
  CFirmwareUpdateDlg again;
  again.SetSwitch(&entry);
  ASSERT_TRUE(again.Create(CFirmwareUpdateDlg::IDD));
  EXPECT_EQ(again.GetDlgItemText(CFirmwareUpdateDlg::kFileId), path);
  EXPECT_EQ(again.GetDlgItem(CFirmwareUpdateDlg::kInterfaceId)->GetWindowText(), "Segment B");
}

TEST_F(FirmwareUpdate, CancelStopsBetweenBlocks) {
  auto& sw = AddSwitch(0x09, "Line 9", {"veth0"});
  std::vector<std::uint8_t> wire;
  profile->WriteProfileString("settings", "last fw file", WriteFirmware(30, &wire));
  int blocks = 0;
  capture.onSend = [&](const std::uint8_t* frame, std::size_t len) {
    if (!IsLoadBlock(frame, len) || ++blocks != 5) return;
    QTest::mouseClick(ui.progress()->GetDlgItem(IDCANCEL)->widget(), Qt::LeftButton);
  };
  CFirmwareUpdateDlg dlg;
  dlg.SetSwitch(&entry);
  ASSERT_TRUE(dlg.Create(CFirmwareUpdateDlg::IDD));
  Click(dlg, IDOK);
  EXPECT_LT(dlg.loadResult(), 0);
  EXPECT_EQ(blocks, 5);  // the block under way is finished, no further one is sent
  EXPECT_EQ(sw.blocks_loaded(), 5);
  ASSERT_EQ(messages->count(), 1u);
  EXPECT_NE(messages->messages()[0].text.find("The firmware load was cancelled."),
            std::string::npos);
  EXPECT_TRUE(dlg.ended());
}

// The firmware files usually sit with the project: Browse starts beside the
// open project's file.
TEST_F(FirmwareUpdate, BrowseStartsBesideTheOpenProject) {
  fwtest::CFakeToolsDocument doc;
  ASSERT_GE(doc.switches.Add(entry), 0);
  doc.selected = doc.switches.First();
  doc.path = dir.file("plant") + "/line.zcf";
  files.QueueAnswer("");  // the prompt is cancelled
  QTimer::singleShot(0, [] {
    CWnd* dlg = CWnd::FromHandle(QApplication::activeModalWidget());
    ASSERT_NE(dlg, nullptr);
    dlg->SendMessage(WM_COMMAND, MAKEWPARAM(CFirmwareUpdateDlg::kBrowseId, BN_CLICKED), 0);
    dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  });
  EXPECT_EQ(CFirmwareUpdateDlg::Run(nullptr, doc), IDCANCEL);
  ASSERT_EQ(files.requests().size(), 1u);
  EXPECT_EQ(files.requests()[0].initialDir, dir.file("plant"));
}

TEST_F(FirmwareUpdate, RefusesWhatCannotBeLoaded) {
  // No switch selected in the project: refused before any window opens.
  fwtest::CFakeToolsDocument doc;
  EXPECT_EQ(CFirmwareUpdateDlg::Run(nullptr, doc), IDCANCEL);
  ASSERT_EQ(messages->count(), 1u);
  EXPECT_EQ(messages->messages()[0].text, "Please select a switch of the project first.");
  messages->clear();

  CFirmwareUpdateDlg dlg;
  dlg.SetSwitch(&entry);
  ASSERT_TRUE(dlg.Create(CFirmwareUpdateDlg::IDD));
  Click(dlg, IDOK);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Please selected a firmware file to load."}));
  EXPECT_FALSE(dlg.ended());
  EXPECT_TRUE(dlg.DestroyWindow());

  // A machine without capture devices: the list stays empty.
  messages->clear();
  fw::ops_test::CLockedClock other_clock;
  fwtest::CHookedCapture empty(other_clock);
  SetToolCommEnv(CToolCommEnv{&empty, &other_clock, &other_clock, &ui});
  profile->WriteProfileString("settings", "last fw file", "/nowhere/ring_9_port.s19");
  CFirmwareUpdateDlg bare;
  bare.SetSwitch(&entry);
  ASSERT_TRUE(bare.Create(CFirmwareUpdateDlg::IDD));
  EXPECT_EQ(static_cast<CComboBox*>(bare.GetDlgItem(CFirmwareUpdateDlg::kInterfaceId))->GetCount(),
            0);
  Click(bare, IDOK);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Please select a network interface."}));
  EXPECT_FALSE(bare.ended());
  Click(bare, CFirmwareUpdateDlg::kHelpId);
  EXPECT_EQ(HelpContexts(), (std::vector<unsigned>{0x2008B}));
}

}  // namespace
