// Time for protocol waits. Everything that waits asks an IClock, so tests run
// on virtual time and the programs pump their windows while they wait.
#pragma once

#include <cstdint>

namespace fw {

// Milliseconds from a steady clock (never goes back, unaffected by the wall clock).
std::uint64_t GetTickCount();

class IClock {
 public:
  virtual ~IClock() = default;
  virtual std::uint64_t Now() = 0;  // milliseconds
  // Lets at most ms pass. A GUI clock keeps the windows alive meanwhile.
  virtual void Wait(std::uint32_t ms) = 0;
};

// Real time; Wait sleeps the calling thread.
class CSteadyClock : public IClock {
 public:
  std::uint64_t Now() override;
  void Wait(std::uint32_t ms) override;
};

// Virtual time for tests: Wait advances the clock at once.
class CFakeClock : public IClock {
 public:
  std::uint64_t Now() override { return m_now; }
  void Wait(std::uint32_t ms) override { m_now += ms; }
  void Advance(std::uint64_t ms) { m_now += ms; }

 private:
  std::uint64_t m_now = 1000;
};

IClock& SteadyClock();

}  // namespace fw
