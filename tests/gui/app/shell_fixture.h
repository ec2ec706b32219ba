// The whole configuration program in the test process: a program folder of
// its own (with the language libraries, "Projects/" and whatever files a test
// puts there), settings and instance locks in folders of the test, recorded
// message boxes, mail, links and file prompts, and the real application
// object, main frame, document and panes, driven with Qt Test input.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "app/fenwardleapp.h"
#include "app/fenwardledoc.h"
#include "app/fenwardleview.h"
#include "app/leftview.h"
#include "app/mainframe.h"
#include "gui_helpers.h"
#include "platform/dynlib.h"
#include "platform/gui/help.h"
#include "platform/gui/mail.h"
#include "platform/gui/services.h"
#include "platform/message.h"
#include "platform/modules.h"
#include "program_folder.h"
#include "switch/projectfile.h"
#include "switch/switchconfigstore.h"
#include "tests/common/test_util.h"

const char* FenwardleResourceScript(std::size_t* size);

namespace fwtest {

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseTestProgramFolder(m_dir, m_env);
    std::filesystem::create_directories(m_dir.file("Projects"));
    std::size_t size = 0;
    const char* script = FenwardleResourceScript(&size);
    ASSERT_TRUE(fw::RegisterProgramModule("fenwardle", std::string_view(script, size)));
    CSwitchConfigStore::SetCustomizeFilePath(m_dir.file("fenwardle.customize"));
    CSwitchConfigStore::ResetOfferedModels();
    fw::SetMailService(&m_mail);
    fw::SetFileDialogService(&m_dialogs);
    fw::SetShellService(&m_shell);
  }

  void TearDown() override {
    Stop();
    fw::SetMailService(nullptr);
    fw::SetFileDialogService(nullptr);
    fw::SetShellService(nullptr);
    fw::SetHelpService(nullptr);
    fw::SetCurrentResources(nullptr);
    fw::SetProjectLanguageBundles({});
    CSwitchConfigStore::SetCustomizeFilePath({});
    CSwitchConfigStore::ResetOfferedModels();
    fw::OverrideProgramFolder({});
    m_env.Restore();
    Drain();
  }

  // Runs start-up as the program does; the capture library is there unless told.
  bool Start(std::vector<std::string> args = {"fenwardle"}, CaptureProbe capture = Usable()) {
    m_app = std::make_unique<CFenwardleApp>(std::move(args));
    m_app->SetCaptureProbe([capture] { return capture; });
    const bool ok = m_app->InitInstance();
    Drain();
    if (ok && Frame()) Activate(Frame()->widget());
    return ok;
  }
  // Closes the main window (when it is there) and ends the program.
  void Stop() {
    if (!m_app) return;
    if (CWnd* main = m_app->m_pMainWnd; main && main->IsWindow()) {
      EXPECT_TRUE(main->DestroyWindow());
    }
    m_app->ExitInstance();
    m_app.reset();
    Drain();
  }
  static CaptureProbe Usable() {
    CaptureProbe p;
    p.found = true;
    p.versionText = "1.10";
    return p;
  }

  CMainFrame* Frame() { return m_app ? m_app->MainFrame() : nullptr; }
  CFenwardleDoc* Doc() {
    CDocument* d = Frame() ? Frame()->GetActiveDocument() : nullptr;
    return dynamic_cast<CFenwardleDoc*>(d);
  }
  CSwitchListGrid& Switches() { return Frame()->GetRightView()->Grid(); }
  CConfigListGrid& Configs() { return Frame()->GetLeftView()->Grid(); }
  fw::CProfile& Profile() { return fw::AppProfile(); }
  // The settings file as the program left it (also after it ended).
  std::unique_ptr<fw::CProfile> Saved() {
    auto p = std::make_unique<fw::CProfile>();
    std::filesystem::create_directories(m_dir.file("config/ZOLVEX"));
    EXPECT_TRUE(p->OpenFile(m_dir.file("config/ZOLVEX/fenwardle.ini")));
    return p;
  }
  static std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  void Command(unsigned id) { Frame()->SendMessage(WM_COMMAND, id); }
  // Whether the command is enabled for the menu right now.
  bool Enabled(unsigned id) {
    CCmdUI ui;
    ui.m_nID = id;
    ui.DoUpdate(Frame(), true);
    return !ui.enableChanged() || ui.enabled();
  }

  // Runs a command that shows a modal dialog; script runs once the dialog
  // is up and has to end it. A dialog left open is cancelled after a bound.
  template <class D>
  bool RunModal(unsigned command, std::function<void(D&)> script) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
      WaitFor([] { return QApplication::activeModalWidget() != nullptr; }, 10000);
      auto* dlg = dynamic_cast<D*>(CWnd::FromHandlePermanent(QApplication::activeModalWidget()));
      if (!dlg) return;
      Drain();
      ran = true;
      script(*dlg);
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
      if (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
    guard.start(30000);
    Command(command);
    return ran;
  }

  // ---- the grids
  static QWidget* CellsOf(CSheetGridCtrl& g) { return g.GetDlgItem(kGridCellAreaId)->widget(); }
  static QPoint Centre(CSheetGridCtrl& g, int col, int row) {
    CRect r;
    EXPECT_EQ(g.GetCellRectangle(col, row, r), kGridOk);
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  static void Mouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButtons held,
                    Qt::MouseButton b) {
    QMouseEvent e(type, QPointF(p), QPointF(w->mapToGlobal(p)), b, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
  }
  static void Click(QWidget* w, QPoint p) {
    Mouse(w, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
    Mouse(w, QEvent::MouseButtonRelease, p, Qt::NoButton, Qt::LeftButton);
  }
  static void ClickCell(CSheetGridCtrl& g, int col, int row) {
    Click(CellsOf(g), Centre(g, col, row));
    Drain();
  }
  // Double-clicks a cell, types the text and presses Enter; the edit Enter
  // goes on with in the next row is left alone.
  static void TypeInto(CSheetGridCtrl& g, int col, int row, const QString& text) {
    QWidget* cells = CellsOf(g);
    Click(cells, Centre(g, col, row));
    Mouse(cells, QEvent::MouseButtonDblClick, Centre(g, col, row), Qt::LeftButton, Qt::LeftButton);
    Mouse(cells, QEvent::MouseButtonRelease, Centre(g, col, row), Qt::NoButton, Qt::LeftButton);
    QWidget* editor = QApplication::focusWidget();
    ASSERT_TRUE(editor && editor != cells) << "no edit started";
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    Drain();
    if (QWidget* next = QApplication::focusWidget(); next && next != cells) {
      QTest::keyClick(next, Qt::Key_Escape);
      Drain();
    }
  }
  // Opens the drop list of a cell and chooses the entry with the text.
  static bool Choose(CSheetGridCtrl& g, int col, int row, const std::string& text) {
    if (g.MoveToCell(col, row) != kGridOk) return false;
    QTest::keyClick(CellsOf(g), Qt::Key_Return);
    QListWidget* list = nullptr;
    WaitFor([&] {
      list = CellsOf(g)->findChild<QListWidget*>();
      return list && list->isVisible();
    });
    if (!list || !list->isVisible()) return false;
    const auto found = list->findItems(QString::fromStdString(text), Qt::MatchExactly);
    if (found.isEmpty()) return false;
    list->setCurrentItem(found.front());
    QTest::keyClick(list, Qt::Key_Return);
    Drain();
    return true;
  }

  // A project file with one configuration and one switch that uses it.
  std::string WriteProject(const std::string& path, const std::string& config,
                           const std::string& switchName) {
    CSwitchConfigStore store(0);
    CSwitchConfig c;
    c.SetName(config);
    (void)store.Add(c);
    CSwitchList switches;
    CSwitchEntry e;
    e.SetName(switchName);
    e.GetConfig().SetName(config);
    (void)switches.Add(e);
    std::string error;
    EXPECT_GE(fw::SaveProjectFile(path, store, switches, nullptr, &error), 0) << error;
    return path;
  }

  fw::test::TempDir m_dir;
  fw::ScopedMessageSink m_messages;
  fw::CRecordingMailService m_mail;
  fw::CScriptedFileDialogService m_dialogs;
  fw::CRecordingShellService m_shell;
  std::unique_ptr<CFenwardleApp> m_app;
  fw::test::ScopedEnv m_env;
};

}  // namespace fwtest
