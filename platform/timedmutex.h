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
    std::unique_lock guard(m_mutex);
    m_cv.wait(guard, [&] { return !m_locked; });
    m_locked = true;
  }
  bool try_lock() {
    std::lock_guard guard(m_mutex);
    if (m_locked) return false;
    m_locked = true;
    return true;
  }
  template <typename Rep, typename Period>
  bool try_lock_for(const std::chrono::duration<Rep, Period>& d) {
    std::unique_lock guard(m_mutex);
    if (!m_cv.wait_for(guard, d, [&] { return !m_locked; })) return false;
    m_locked = true;
    return true;
  }
  template <typename Clock, typename Duration>
  bool try_lock_until(const std::chrono::time_point<Clock, Duration>& t) {
    std::unique_lock guard(m_mutex);
    if (!m_cv.wait_until(guard, t, [&] { return !m_locked; })) return false;
    m_locked = true;
    return true;
  }
  void unlock() {
    {
      std::lock_guard guard(m_mutex);
      m_locked = false;
    }
    m_cv.notify_one();
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_cv;
  bool m_locked = false;
};

}  // namespace fw
