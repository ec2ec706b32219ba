// The network monitor's worker: searches every capture interface for
// switches and reads each one's status, over and over, on a thread of its
// own. It never touches a window: every result goes into an inbox as an
// immutable value that the window takes on its own thread. Stopping (or
// pausing) cuts the pass under way short at its next wait or frame, so the
// window never waits long for it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "switch/switchconfigstore.h"
#include "tools/toolcomm.h"

// A switch as one search found it.
struct CMonitoredSwitch {
  std::string mac;  // with the maker prefix, upper case
  std::string name;
  CPartRecord part;
  std::string firmwareRevision;
  std::string interface;
};

// A switch's OK output as one status pass read it: 0 or 1; not answered
// when its interface did not open or the switch gave no answer.
struct CMonitoredStatus {
  std::string mac;
  int okOutput = 0;
  bool answered = false;
};

struct CNetMonitorEvent {
  enum Kind { kSearch, kStatus, kError };
  Kind kind = kError;
  std::vector<CMonitoredSwitch> found;     // kSearch
  std::vector<CMonitoredStatus> statuses;  // kStatus: one per target
  std::string text;                        // kError
};

class CNetMonitorWorker {
 public:
  struct Settings {
    int updateRateMs = 1500;  // between status passes
    int searchRateMs = 5000;  // between searches
    int waitLimitMs = 500;    // of each search
  };
  static constexpr std::uint32_t kLoopPause = 20;

  CNetMonitorWorker(const CToolCommEnv& env, Settings settings);
  ~CNetMonitorWorker();
  CNetMonitorWorker(const CNetMonitorWorker&) = delete;
  CNetMonitorWorker& operator=(const CNetMonitorWorker&) = delete;

  // Only before Start.
  void SetSettings(Settings settings) { m_settings = settings; }
  void Start();
  // Cuts the pass under way short and joins the thread.
  void Stop();
  bool Running() const { return m_thread.joinable(); }

  // While paused no search and no status pass runs; a pass under way is cut
  // short (its results are dropped). Idle() tells when the thread has let go.
  void SetPaused(bool paused);
  bool Idle() const { return m_idle.load(); }

  // The switches the status passes read (the window's list after a merge).
  void SetTargets(std::vector<CMonitoredSwitch> targets);
  // Texts for the error list from any thread, kept in order with the worker's.
  void PostError(std::string text);
  // Everything posted since the last call, oldest first.
  std::vector<CNetMonitorEvent> TakeEvents();

  int searches() const { return m_searches.load(); }
  bool searching() const { return m_searching.load(); }

 private:
  class CPass;
  void Run();
  void Search(CPass& pass);
  void StatusPass(CPass& pass);
  void Post(CNetMonitorEvent event);
  // A pass to cut short on stop or pause; null when none runs.
  std::shared_ptr<CPass> BeginPass();
  void EndPass();

  CToolCommEnv m_env;
  Settings m_settings;
  std::thread m_thread;
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_paused{false};
  std::atomic<bool> m_idle{true};
  std::atomic<int> m_searches{0};
  std::atomic<bool> m_searching{false};

  mutable std::mutex m_mutex;  // guards what follows
  std::condition_variable m_wake;
  std::vector<CNetMonitorEvent> m_inbox;
  std::vector<CMonitoredSwitch> m_targets;
  std::shared_ptr<CPass> m_pass;
};
