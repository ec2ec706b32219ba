// Software switches on in-process segments, safe to drive from the discovery
// worker threads: every call into the fake capture and the virtual clock is
// serialised by one lock.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/profile.h"
#include "tests/emulator/fake_capture.h"
#include "tests/emulator/switch_core.h"

namespace fw::ops_test {

class CLockedClock : public IClock {
 public:
  std::uint64_t Now() override {
    std::lock_guard l(m_);
    return m_clock.Now();
  }
  void Wait(std::uint32_t ms) override {
    std::lock_guard l(m_);
    m_clock.Wait(ms);
  }

 private:
  std::mutex m_;
  CFakeClock m_clock;
};

class CLockedCapture : public ICaptureBackend {
 public:
  explicit CLockedCapture(IClock& clock) : fake(clock) {}

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
    return std::make_unique<Handle>(m_, std::move(inner));
  }
  // Opening this device fails (the listener and the reading both).
  // The library's reason is what a caller should pass on.
  void FailOpen(const std::string& device, const std::string& reason = "no such device\n") {
    m_failing[device] = reason;
  }

 private:
  class Handle : public ICaptureHandle {
   public:
    Handle(std::mutex& m, std::unique_ptr<ICaptureHandle> inner)
        : m_(m), m_inner(std::move(inner)) {}
    ~Handle() override {
      std::lock_guard l(m_);
      m_inner.reset();
    }
    int Send(const std::uint8_t* data, std::size_t len, std::string* error) override {
      std::lock_guard l(m_);
      return m_inner->Send(data, len, error);
    }
    int Receive(const std::uint8_t** data, std::size_t* caplen, std::size_t* wirelen,
                std::uint32_t wait_ms) override {
      std::lock_guard l(m_);
      const int r = m_inner->Receive(data, caplen, wirelen, wait_ms);
      // The fake's buffer changes with the next call on any thread: copy it.
      if (r > 0) {
        m_frame.assign(*data, *data + *caplen);
        *data = m_frame.data();
      }
      return r;
    }

   private:
    std::mutex& m_;
    std::unique_ptr<ICaptureHandle> m_inner;
    std::vector<std::uint8_t> m_frame;
  };
  std::mutex m_;
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
