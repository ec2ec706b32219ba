// Software switches on in-process segments, safe to drive from the discovery
// worker threads: every call into the fake capture and the virtual clock is
// serialised by one lock.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/profile.h"
#include "tests/emulator/fake_capture.h"
#include "tests/emulator/switch_core.h"

namespace fw::ops_test {

// Virtual time shared by threads as real time is: waits of several threads
// overlap instead of adding up. A thread with a capture handle open is on
// the network; while one of them is busy (taking frames, building replies)
// no time passes, and once all of them wait, the clock moves to the earliest
// end of a wait. Without such threads a wait passes at once.
class CLockedClock : public IClock {
 public:
  // Time never moves because real time passed: a busy thread may be off the
  // processor for long on a loaded machine, and the test would be decided by
  // that. A wait stuck this long is a thread on the network blocked outside
  // the clock, a fault of the test: it ends the program, saying so.
  static constexpr auto kStuck = std::chrono::seconds(60);

  std::uint64_t Now() override {
    std::lock_guard l(m_);
    return m_now;
  }
  void Wait(std::uint32_t ms) override {
    if (ms == 0) return;
    std::unique_lock l(m_);
    const std::uint64_t end = m_now + ms;
    const auto me = std::this_thread::get_id();
    m_waits.emplace(me, end);
    while (m_now < end) {
      if (AllOnTheNetworkWait()) {
        Advance();
        continue;
      }
      const std::uint64_t before = m_now;
      if (m_moved.wait_for(l, kStuck) == std::cv_status::timeout && m_now == before &&
          !AllOnTheNetworkWait()) {
        std::fprintf(stderr,
                     "virtual clock stuck: a thread on the network neither waits nor ends\n");
        std::abort();
      }
    }
    m_waits.erase(m_waits.find(me));
  }

  // The calling thread opened or closed a capture handle.
  void Join(std::thread::id t) {
    std::lock_guard l(m_);
    ++m_network[t];
  }
  void Leave(std::thread::id t) {
    std::lock_guard l(m_);
    if (auto it = m_network.find(t); it != m_network.end() && --it->second == 0)
      m_network.erase(it);
    if (AllOnTheNetworkWait()) m_moved.notify_all();
  }

 private:
  // A thread whose wait has ended but who has not yet taken the lock back
  // to leave is busy already.
  bool Waiting(std::thread::id t) const {
    const auto [from, to] = m_waits.equal_range(t);
    for (auto it = from; it != to; ++it)
      if (it->second > m_now) return true;
    return false;
  }
  bool AllOnTheNetworkWait() const {
    for (const auto& n : m_network)
      if (!Waiting(n.first)) return false;
    return true;
  }
  // To the earliest end of a wait still going; the waits that end there return.
  void Advance() {
    std::uint64_t earliest = UINT64_MAX;
    for (const auto& w : m_waits)
      if (w.second > m_now) earliest = std::min(earliest, w.second);
    if (earliest != UINT64_MAX) m_now = earliest;
    m_moved.notify_all();
  }

  std::mutex m_;
  std::condition_variable m_moved;
  std::uint64_t m_now = 1000;
  std::multimap<std::thread::id, std::uint64_t> m_waits;  // who waits, until when
  std::map<std::thread::id, int> m_network;               // open handles per thread
};

class CLockedCapture : public ICaptureBackend {
 public:
  explicit CLockedCapture(IClock& clock)
      : fake(clock), m_clock(clock), m_shared(dynamic_cast<CLockedClock*>(&clock)) {}

  // Access to the fake (and the switches on it) only while no search runs.
  emu::CFakeCapture fake;

  bool Usable() const override { return fake.Usable(); }
  bool Loaded() const override { return fake.Loaded(); }
  std::string Version() const override { return fake.Version(); }
  int FindDevices(std::vector<CaptureDevice>* out, std::string* error) override {
    std::lock_guard l(m_);
    return fake.FindDevices(out, error);
  }
  bool AdapterMac(const std::string& device, MacAddress* mac) override {
    std::lock_guard l(m_);
    return fake.AdapterMac(device, mac);
  }
  std::unique_ptr<ICaptureHandle> Open(const std::string& device, std::string* error) override {
    std::lock_guard l(m_);
    if (const auto it = m_failing.find(device); it != m_failing.end()) {
      *error = it->second;
      return nullptr;
    }
    auto inner = fake.Open(device, error);
    if (!inner) return nullptr;
    return std::make_unique<Handle>(*this, std::move(inner));
  }
  // Opening this device fails (the listener and the reading both).
  // The library's reason is what a caller should pass on.
  void FailOpen(const std::string& device, const std::string& reason = "no such device\n") {
    m_failing[device] = reason;
  }

 private:
  class Handle : public ICaptureHandle {
   public:
    Handle(CLockedCapture& owner, std::unique_ptr<ICaptureHandle> inner)
        : m_(owner.m_),
          m_clock(owner.m_clock),
          m_shared(owner.m_shared),
          m_inner(std::move(inner)) {
      if (m_shared) m_shared->Join(m_thread);
    }
    ~Handle() override {
      {
        std::lock_guard l(m_);
        m_inner.reset();
      }
      if (m_shared) m_shared->Leave(m_thread);
    }
    int Send(const std::uint8_t* data, std::size_t len, std::string* error) override {
      std::lock_guard l(m_);
      return m_inner->Send(data, len, error);
    }
    int Receive(const std::uint8_t** data, std::size_t* caplen, std::size_t* wirelen,
                std::uint32_t wait_ms) override {
      int r = TakeWaiting(data, caplen, wirelen);
      // The wait goes by without the lock: the other threads' frames and
      // waits go on meanwhile, as on a wire.
      if (r == kCaptureNothing && wait_ms > 0) {
        m_clock.Wait(wait_ms);
        r = TakeWaiting(data, caplen, wirelen);
      }
      return r;
    }

   private:
    int TakeWaiting(const std::uint8_t** data, std::size_t* caplen, std::size_t* wirelen) {
      std::lock_guard l(m_);
      const int r = m_inner->Receive(data, caplen, wirelen, 0);
      // The fake's buffer changes with the next call on any thread: copy it.
      if (r > 0) {
        m_frame.assign(*data, *data + *caplen);
        *data = m_frame.data();
      }
      return r;
    }

    std::mutex& m_;
    IClock& m_clock;
    CLockedClock* m_shared;
    const std::thread::id m_thread = std::this_thread::get_id();
    std::unique_ptr<ICaptureHandle> m_inner;
    std::vector<std::uint8_t> m_frame;
  };
  std::mutex m_;
  IClock& m_clock;
  CLockedClock* m_shared;  // null: a clock whose waits need no company
  std::map<std::string, std::string> m_failing;
};

inline MacAddress Mac(std::uint8_t last, std::uint8_t mid = 0x10) {
  return MacAddress{0x02, 0x4B, 0x33, mid, 0x00, last};
}

// Identity bytes 280..285 of a model: 5KP, 9KP or 9KX, suffix byte b5.
inline void SetIdentity(emu::CSwitchCore& core, int ports, bool gigabit, std::uint8_t b5) {
  auto& e = core.eerom();
  e[280] = 0;
  e[281] = gigabit ? 2 : 1;
  e[282] = 0;
  e[283] = static_cast<std::uint8_t>(ports);
  e[284] = 0;
  e[285] = b5;
}

// A profile in memory for the wait limit and friends.
class ScopedProfile {
 public:
  ScopedProfile() { SetAppProfile(&m_profile); }
  ~ScopedProfile() { SetAppProfile(nullptr); }
  CProfile& operator*() { return m_profile; }
  CProfile* operator->() { return &m_profile; }

 private:
  CProfile m_profile;
};

}  // namespace fw::ops_test
