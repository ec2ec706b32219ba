// Finding switches without knowing the interface they are wired to: every
// capture device is searched at once, one worker thread per device, each with
// its own cswitchcomm. The calling (user-interface) thread waits for them while
// it keeps the windows alive.
//
// Each search keeps its own bookkeeping and joins its own threads before its
// results are read, so two searches may run at the same time (the network
// monitor and a status dialog it opens) without touching each other.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "switch/cswitchcomm.h"
#include "switch/operationui.h"

class CSwitchEntry;
class CSwitchConfig;

class CSwitchDiscovery : public cswitchcomm {
 public:
  static constexpr int kMaxWaitLimit = 10000;
  static constexpr int kDefaultWaitLimit = 3000;
  // Value the searches write back when the profile has none.
  static constexpr int kStoredDefaultWaitLimit = 100;
  static constexpr std::uint32_t kListenerPause = 50;
  // A segment that keeps inventing addresses must not keep a search alive.
  static constexpr std::size_t kMaxSwitchesPerDevice = 4096;
  // Switches whose identity is read at the same time, each on its own handle.
  static constexpr std::size_t kMaxParallelReads = 64;

  // backend/clock as for cswitchcomm; worker_clock is what the worker threads
  // time their waits with (the steady clock when null: the calling thread's
  // clock may pump windows, which only its own thread may do); ui, when null,
  // is whatever OperationUi() is when a search runs (an object made before
  // the program installs its windows still pumps them).
  explicit CSwitchDiscovery(fw::ICaptureBackend* backend = nullptr, fw::IClock* clock = nullptr,
                            fw::IClock* worker_clock = nullptr, IOperationUi* ui = nullptr);

  // The wait limit read from the profile at construction (not clamped; the
  // searches clamp what they use to 0..10000).
  int GetWaitLimit() const { return m_nWaitLimit; }
  void SetWaitLimit(int ms) { m_nWaitLimit = ms; }

  enum : int { kFindShowSearching = 0x01 };
  enum FindResult : int { kSwitchFound = 1, kSwitchNotFound = 0 };
  // kSwitchFound and the device text (the description) when the switch
  // answered on some device; kSwitchNotFound otherwise.
  [[nodiscard]] int FindInterfaceOfSwitch(const std::string& mac, std::string* device, int flags);

  // Appends an entry for every switch heard and read (once per device it
  // answered on). kCommOk, or kCommFailed when a device could not be opened or
  // a switch not read; the error text then holds one line per problem.
  [[nodiscard]] int FindAllSwitches(std::vector<std::unique_ptr<CSwitchEntry>>* found,
                                    std::string* error);

  // Writes a configuration and the entry's settings into the switch (only the
  // bytes that differ) and has it take them over. kCommOk on success;
  // kCommFailed with lines in the error text on failure (the caller shows them).
  [[nodiscard]] int SwitchLoadConfigOp(CSwitchEntry& entry, const CSwitchConfig& config,
                                       std::string* error);

  IOperationUi& Ui() { return m_ui ? *m_ui : OperationUi(); }

  // The addresses heard on each device, in device order (before reading).
  struct Heard {
    std::string device;
    std::vector<std::string> macs;
  };
  // The threaded part of FindAllSwitches. Lines for devices that failed to
  // open go to *error; false when any failed.
  [[nodiscard]] bool ListenAll(std::vector<Heard>* heard, std::string* error);

 private:
  fw::ICaptureBackend* m_backend;
  fw::IClock* m_workerClock;
  IOperationUi* m_ui;  // null: the installed one
  int m_nWaitLimit;
};
