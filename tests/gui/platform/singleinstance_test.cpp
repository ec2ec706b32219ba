#include "platform/gui/singleinstance.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QWidget>
#include <cstdlib>

#include "gui_helpers.h"
#include "tests/common/test_util.h"

namespace {

// Every test gets its own runtime folder, shared with the copies it starts.
class SingleInstance : public ::testing::Test {
 protected:
  void SetUp() override {
    m_oldRuntime = std::getenv("XDG_RUNTIME_DIR") ? std::getenv("XDG_RUNTIME_DIR") : "";
    setenv("XDG_RUNTIME_DIR", m_dir.path().c_str(), 1);
    ASSERT_EQ(fw::InstanceFolder(), m_dir.path());
  }
  void TearDown() override {
    UnregisterMainWindowClass();
    fw::SetInstanceWindow(nullptr);
    for (auto& p : m_copies) {
      p->closeWriteChannel();
      if (!p->waitForFinished(5000)) p->kill();
      p->waitForFinished(5000);
    }
    if (m_oldRuntime.empty())
      unsetenv("XDG_RUNTIME_DIR");
    else
      setenv("XDG_RUNTIME_DIR", m_oldRuntime.c_str(), 1);
  }

  // Starts another copy claiming the class; it runs until its input closes.
  QProcess* StartCopy(const std::string& className) {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ASAN_OPTIONS", "detect_leaks=0");
    p->setProcessEnvironment(env);
    p->start(FW_INSTANCE_HELPER, {QString::fromStdString(className)});
    m_copies.push_back(std::move(p));
    return m_copies.back().get();
  }
  // Waits for a copy to end, keeping this program's events going.
  static int ExitCode(QProcess* p) {
    EXPECT_TRUE(fwtest::WaitFor([p] { return p->state() == QProcess::NotRunning; }, 15000));
    return p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1;
  }
  static bool Ready(QProcess* p) {
    return fwtest::WaitFor([p] { return p->canReadLine(); }, 15000) && p->readLine() == "ready\n";
  }

  fw::test::TempDir m_dir;
  std::string m_oldRuntime;
  std::vector<std::unique_ptr<QProcess>> m_copies;
};

TEST_F(SingleInstance, ASecondCopyBringsTheFirstToTheFrontAndEnds) {
  QWidget main;
  main.showMinimized();
  fw::SetInstanceWindow(&main);
  ASSERT_TRUE(CheckSingleInstance(128, "fenwardle"));
  EXPECT_EQ(MainWindowClassName(), "fenwardle");
  EXPECT_TRUE(FindProgramWindow("fenwardle"));
  EXPECT_FALSE(FindProgramWindow("calvenor"));
  EXPECT_FALSE(CheckSingleInstance(128, "calvenor"));  // one class per program

  QProcess* second = StartCopy("fenwardle");
  EXPECT_EQ(ExitCode(second), 3);
  EXPECT_TRUE(fwtest::WaitFor([&] { return !main.isMinimized(); }));
  EXPECT_TRUE(main.isVisible());

  UnregisterMainWindowClass();
  EXPECT_EQ(MainWindowClassName(), "");
  EXPECT_FALSE(FindProgramWindow("fenwardle"));
  EXPECT_FALSE(QFile::exists(QString::fromStdString(m_dir.file("fenwardle.lock"))));
}

TEST_F(SingleInstance, EachProgramSeesWhetherTheOtherRuns) {
  QProcess* monitor = StartCopy("calvenor");
  ASSERT_TRUE(Ready(monitor));
  EXPECT_TRUE(FindProgramWindow("calvenor"));
  EXPECT_FALSE(CheckSingleInstance(777, "calvenor"));  // it is taken
  ASSERT_TRUE(CheckSingleInstance(128, "fenwardle"));
  monitor->closeWriteChannel();  // the monitor ends normally
  EXPECT_EQ(ExitCode(monitor), 0);
  EXPECT_FALSE(FindProgramWindow("calvenor"));
}

TEST_F(SingleInstance, ACrashedCopyDoesNotBlockTheNextStart) {
  QProcess* crashed = StartCopy("fenwardle");
  ASSERT_TRUE(Ready(crashed));
  EXPECT_TRUE(FindProgramWindow("fenwardle"));
  crashed->kill();  // no chance to clean up: lock file and socket stay behind
  ASSERT_TRUE(crashed->waitForFinished(5000));
  EXPECT_TRUE(QFile::exists(QString::fromStdString(m_dir.file("fenwardle.lock"))));
  EXPECT_FALSE(FindProgramWindow("fenwardle"));
  EXPECT_TRUE(CheckSingleInstance(128, "fenwardle"));
  EXPECT_TRUE(FindProgramWindow("fenwardle"));
}

TEST_F(SingleInstance, NamesThatLeaveTheFolderAreRefused) {
  EXPECT_FALSE(CheckSingleInstance(128, "../fenwardle"));
  EXPECT_FALSE(CheckSingleInstance(128, ".."));
  EXPECT_FALSE(FindProgramWindow("a/b"));
  EXPECT_EQ(MainWindowClassName(), "");
  // Without a name the program's title names the class.
  EXPECT_TRUE(CheckSingleInstance(128));
  EXPECT_EQ(MainWindowClassName(), "fenwardle");
}

}  // namespace
