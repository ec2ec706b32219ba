// The end of a test program that ran a QApplication.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace fwtest {

// Qt's thread pools (parallel fills, image scaling) are stopped by the
// application object's destructor, which waits only until each thread says
// it has finished: the thread still has its exit clean-up ahead, which frees
// its thread data. A process that ends meanwhile leaves that data unfreed
// and the leak check at exit may report it. Name the pool threads while
// the application runs; wait for them to be gone after it.
inline std::vector<std::filesystem::path> QtPoolThreads() {
  std::vector<std::filesystem::path> tasks;
  std::error_code ec;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", ec)) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    std::getline(comm, name);
    if (name == "Thread (pooled)") tasks.push_back(task.path());
  }
  return tasks;
}

inline void WaitForThreadsToEnd(const std::vector<std::filesystem::path>& tasks) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  for (const auto& task : tasks) {
    std::error_code ec;
    while (std::filesystem::exists(task, ec) && std::chrono::steady_clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

// Runs the tests under one application object of type App and returns their
// result once Qt's pool threads are gone.
template <class App>
int RunTestsUnder(int& argc, char** argv) {
  int result = 0;
  std::vector<std::filesystem::path> pool;
  {
    App app(argc, argv);
    result = RUN_ALL_TESTS();
    pool = QtPoolThreads();
  }
  WaitForThreadsToEnd(pool);
  return result;
}

}  // namespace fwtest
