// The whole status monitor in the test process: a program folder of its own
// (with the language libraries), settings and instance locks in folders of
// the test, recorded message boxes, software switches on an in-process
// segment with virtual time, and the real application object, main window,
// document and view.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "gui_helpers.h"
#include "monitor/calvenorapp.h"
#include "monitor/calvenordoc.h"
#include "monitor/calvenorframe.h"
#include "monitor/calvenorview.h"
#include "platform/dynlib.h"
#include "platform/gui/dialog.h"
#include "platform/gui/help.h"
#include "platform/gui/menu.h"
#include "platform/message.h"
#include "platform/modules.h"
#include "program_folder.h"
#include "switch/operationui.h"
#include "switch/projectfile.h"
#include "switch/switchconfigstore.h"
#include "tests/common/test_util.h"
#include "tests/unit/switch/ops_fixture.h"
#include "tools/toolcomm.h"

const char* CalvenorResourceScript(std::size_t* size);

namespace fwtest {

// The segment, counting the searches that list its devices; a device can be
// made slow to open, so that a search takes real time.
class CCountedCapture : public fw::ops_test::CLockedCapture {
 public:
  using CLockedCapture::CLockedCapture;
  int FindDevices(std::vector<fw::CaptureDevice>* out, std::string* error) override {
    ++finds;
    return CLockedCapture::FindDevices(out, error);
  }
  std::unique_ptr<fw::ICaptureHandle> Open(const std::string& device, std::string* error) override {
    if (const int ms = openDelayMs.load(); ms > 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return CLockedCapture::Open(device, error);
  }
  std::atomic<int> finds{0};
  std::atomic<int> openDelayMs{0};
};

// The operation windows of the program, with a look into the search while
// it lets messages through.
class CWatchedUi : public IOperationUi {
 public:
  void ShowSearching(const std::string& status) override { OperationUi().ShowSearching(status); }
  void HideSearching() override { OperationUi().HideSearching(); }
  void PumpMessages(int max_messages) override {
    if (onPump) onPump();
    OperationUi().PumpMessages(max_messages);
  }
  std::function<void()> onPump;
};

class MonitorTest : public ::testing::Test {
 protected:
  MonitorTest() : m_capture(m_clock) {
    m_capture.fake.AddDevice("veth0", "Segment A", fw::ops_test::Mac(0xA0, 0xEE));
    m_capture.fake.AddDevice("veth1", "Segment B", fw::ops_test::Mac(0xB0, 0xEE));
  }

  void SetUp() override {
    UseTestProgramFolder(m_dir, m_env);
    std::size_t size = 0;
    const char* script = CalvenorResourceScript(&size);
    ASSERT_TRUE(fw::RegisterProgramModule("calvenor", std::string_view(script, size)));
    CSwitchConfigStore::SetCustomizeFilePath(m_dir.file("fenwardle.customize"));
    CSwitchConfigStore::ResetOfferedModels();
    SetToolCommEnv(CToolCommEnv{&m_capture, &m_clock, &m_clock, &m_ui});
  }

  void TearDown() override {
    Stop();
    SetToolCommEnv(CToolCommEnv{});
    fw::SetHelpService(nullptr);
    fw::SetCurrentResources(nullptr);
    fw::SetProjectLanguageBundles({});
    CSwitchConfigStore::SetCustomizeFilePath({});
    CSwitchConfigStore::ResetOfferedModels();
    fw::OverrideProgramFolder({});
    m_env.Restore();
    Drain();
  }

  // A software switch on a segment, with a name, a model and a revision.
  fw::emu::CSwitchCore& AddSwitch(std::uint8_t last, const std::string& name,
                                  const std::vector<std::string>& devices = {"veth0"}) {
    auto core = std::make_unique<fw::emu::CSwitchCore>(fw::ops_test::Mac(last), 5);
    fw::ops_test::SetIdentity(*core, 5, false, 1);
    core->SetName(name);
    core->SetRevision("0104");
    for (const auto& d : devices) m_capture.fake.Attach(d, core.get());
    m_cores.push_back(std::move(core));
    return *m_cores.back();
  }

  // Runs start-up as the program does, then its first search, which the
  // program posts to itself.
  bool Start(std::vector<std::string> args = {"calvenor"}) {
    m_app = std::make_unique<CCalvenorApp>(std::move(args));
    const bool ok = m_app->InitInstance();
    if (ok && Frame()) {
      Activate(Frame()->widget());
      if (!m_ownNetwork)
        WaitFor([&] { return m_capture.finds > 0 && !m_app->m_bSearching; }, 10000);
    }
    Drain();
    return ok;
  }
  void Stop() {
    if (!m_app) return;
    if (CWnd* main = m_app->m_pMainWnd; main && main->IsWindow()) (void)main->DestroyWindow();
    m_app->ExitInstance();
    m_app.reset();
    Drain();
  }

  CCalvenorFrame* Frame() { return m_app ? m_app->MainFrame() : nullptr; }
  CCalvenorDoc* Doc() {
    return Frame() ? dynamic_cast<CCalvenorDoc*>(Frame()->GetActiveDocument()) : nullptr;
  }
  CMonitorSwitchGrid& Grid() { return Doc()->GetSwitchView()->Grid(); }

  void Command(unsigned id) { Frame()->SendMessage(WM_COMMAND, id); }
  bool Enabled(unsigned id) {
    CCmdUI ui;
    ui.m_nID = id;
    ui.DoUpdate(Frame(), true);
    return !ui.enableChanged() || ui.enabled();
  }

  // The text the grid shows in a cell.
  std::string Cell(int col, int row) { return Grid().GetCellText(col, row).value_or("<none>"); }
  std::vector<std::string> Row(int row) {
    return {Cell(0, row), Cell(1, row), Cell(2, row), Cell(3, row)};
  }

  // Watches for modal dialogs while `run` goes on: each one is handed to
  // `seen` and then closed. Returns how many were seen.
  int WatchModals(const std::function<void()>& run, const std::function<void(CDialog&)>& seen) {
    int count = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      QWidget* w = QApplication::activeModalWidget();
      auto* dlg = w ? dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(w)) : nullptr;
      if (!dlg || dlg->ended()) return;
      ++count;
      seen(*dlg);
      if (!dlg->ended()) dlg->EndDialog(IDCANCEL);
    });
    poll.start(20);
    run();
    WaitFor([] { return QApplication::activeModalWidget() == nullptr; }, 10000);
    Drain();
    return count;
  }

  fw::test::TempDir m_dir;
  fw::ScopedMessageSink m_messages;
  fw::ops_test::CLockedClock m_clock;
  CWatchedUi m_ui;
  bool m_ownNetwork = false;  // a test that brings its own capture library waits itself
  CCountedCapture m_capture;
  std::vector<std::unique_ptr<fw::emu::CSwitchCore>> m_cores;
  std::unique_ptr<CCalvenorApp> m_app;
  fw::test::ScopedEnv m_env;
};

}  // namespace fwtest
