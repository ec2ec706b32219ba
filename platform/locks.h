// A process-wide lock whose waits are bounded. Built on a mutex and a
// condition variable rather than std::timed_mutex, whose timed wait goes
// through a call the thread checker cannot follow.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace fw {

class CTimedMutex {
 public:
  void lock() {
    std::unique_lock guard(m_);
    cv_.wait(guard, [&] { return !locked_; });
    locked_ = true;
  }
  bool try_lock() {
    std::lock_guard guard(m_);
    if (locked_) return false;
    locked_ = true;
    return true;
  }
  template <typename Rep, typename Period>
  bool try_lock_for(const std::chrono::duration<Rep, Period>& d) {
    std::unique_lock guard(m_);
    if (!cv_.wait_for(guard, d, [&] { return !locked_; })) return false;
    locked_ = true;
    return true;
  }
  template <typename Clock, typename Duration>
  bool try_lock_until(const std::chrono::time_point<Clock, Duration>& t) {
    std::unique_lock guard(m_);
    if (!cv_.wait_until(guard, t, [&] { return !locked_; })) return false;
    locked_ = true;
    return true;
  }
  void unlock() {
    {
      std::lock_guard guard(m_);
      locked_ = false;
    }
    cv_.notify_one();
  }

 private:
  std::mutex m_;
  std::condition_variable cv_;
  bool locked_ = false;
};

}  // namespace fw
