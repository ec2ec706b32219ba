#include "platform/clock.h"

#include <chrono>
#include <thread>

namespace fw {

std::uint64_t GetTickCount() {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::uint64_t CSteadyClock::Now() {
  return GetTickCount();
}

void CSteadyClock::Wait(std::uint32_t ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

IClock& SteadyClock() {
  static CSteadyClock clock;
  return clock;
}

}  // namespace fw
