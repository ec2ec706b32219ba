#include "tools/netmonitorworker.h"

#include <limits>

#include "switch/switchdiscovery.h"
#include "switch/switchentry.h"

namespace {

// Searches from this thread show no window and pump none.
IOperationUi& QuietUi() {
  static IOperationUi ui;
  return ui;
}

}  // namespace

// One search or status pass. Once cut short, its clock has run out (every
// deadline has passed, no wait waits) and its capture neither opens nor
// sends nor receives, so whatever runs on it ends at its next step. A pass
// never comes back from being cut short; the next one starts afresh.
class CNetMonitorWorker::CPass : public fw::ICaptureBackend, public fw::IClock {
 public:
  CPass(fw::ICaptureBackend& backend, fw::IClock& clock) : m_backend(backend), m_clock(clock) {}

  void Cancel() { m_cancelled = true; }
  bool Cancelled() const { return m_cancelled.load(); }

  // Clock.
  std::uint64_t Now() override {
    const std::uint64_t now = m_clock.Now();
    if (!Cancelled()) return now;
    // Every reading leaps far ahead: a deadline taken after the cut, as well
    // as one taken before, has passed at the next look.
    return now + (m_leaps.fetch_add(1) + 1) * kLeap;
  }
  void Wait(std::uint32_t ms) override {
    // Long waits are taken in steps so that a cut reaches them soon.
    while (ms > 0 && !Cancelled()) {
      const std::uint32_t step = std::min<std::uint32_t>(ms, kLoopPause);
      m_clock.Wait(step);
      ms -= step;
    }
  }

  // Capture.
  bool Usable() const override { return m_backend.Usable(); }
  std::string Version() const override { return m_backend.Version(); }
  int FindDevices(std::vector<fw::CaptureDevice>* out, std::string* error) override {
    return m_backend.FindDevices(out, error);
  }
  bool AdapterMac(const std::string& device, fw::MacAddress* mac) override {
    return m_backend.AdapterMac(device, mac);
  }
  std::unique_ptr<fw::ICaptureHandle> Open(const std::string& device, std::string* error) override {
    if (Cancelled()) return nullptr;
    auto inner = m_backend.Open(device, error);
    if (!inner) return nullptr;
    return std::make_unique<Handle>(*this, std::move(inner));
  }

 private:
  static constexpr std::uint64_t kLeap = std::uint64_t{1} << 33;

  class Handle : public fw::ICaptureHandle {
   public:
    Handle(CPass& pass, std::unique_ptr<fw::ICaptureHandle> inner)
        : m_pass(pass), m_inner(std::move(inner)) {}
    int Send(const std::uint8_t* data, std::size_t len, std::string* error) override {
      if (m_pass.Cancelled()) return -1;
      return m_inner->Send(data, len, error);
    }
    int Receive(const std::uint8_t** data, std::size_t* caplen, std::size_t* wirelen,
                std::uint32_t wait_ms) override {
      if (m_pass.Cancelled()) return -1;
      return m_inner->Receive(data, caplen, wirelen, wait_ms);
    }

   private:
    CPass& m_pass;
    std::unique_ptr<fw::ICaptureHandle> m_inner;
  };

  fw::ICaptureBackend& m_backend;
  fw::IClock& m_clock;
  std::atomic<bool> m_cancelled{false};
  std::atomic<std::uint64_t> m_leaps{0};
};

CNetMonitorWorker::CNetMonitorWorker(const CToolCommEnv& env, Settings settings)
    : m_env(env), m_settings(settings) {}

CNetMonitorWorker::~CNetMonitorWorker() {
  Stop();
}

void CNetMonitorWorker::Start() {
  if (m_thread.joinable()) return;
  m_stop = false;
  m_thread = std::thread([this] { Run(); });
}

void CNetMonitorWorker::Stop() {
  {
    std::lock_guard lock(m_mutex);
    m_stop = true;
    if (m_pass) m_pass->Cancel();
  }
  m_wake.notify_all();
  if (m_thread.joinable()) m_thread.join();
}

void CNetMonitorWorker::SetPaused(bool paused) {
  {
    std::lock_guard lock(m_mutex);
    m_paused = paused;
    if (paused && m_pass) m_pass->Cancel();
  }
  m_wake.notify_all();
}

void CNetMonitorWorker::SetTargets(std::vector<CMonitoredSwitch> targets) {
  std::lock_guard lock(m_mutex);
  m_targets = std::move(targets);
}

void CNetMonitorWorker::PostError(std::string text) {
  CNetMonitorEvent e;
  e.kind = CNetMonitorEvent::kError;
  e.text = std::move(text);
  Post(std::move(e));
}

void CNetMonitorWorker::Post(CNetMonitorEvent event) {
  std::lock_guard lock(m_mutex);
  m_inbox.push_back(std::move(event));
}

std::vector<CNetMonitorEvent> CNetMonitorWorker::TakeEvents() {
  std::lock_guard lock(m_mutex);
  return std::exchange(m_inbox, {});
}

std::shared_ptr<CNetMonitorWorker::CPass> CNetMonitorWorker::BeginPass() {
  fw::ICaptureBackend& backend = m_env.backend ? *m_env.backend : fw::ProcessCaptureBackend();
  fw::IClock& clock = m_env.workerClock ? *m_env.workerClock : fw::SteadyClock();
  std::lock_guard lock(m_mutex);
  if (m_stop || m_paused) return nullptr;
  m_pass = std::make_shared<CPass>(backend, clock);
  m_idle = false;
  return m_pass;
}

void CNetMonitorWorker::EndPass() {
  std::lock_guard lock(m_mutex);
  m_pass.reset();
  m_idle = true;
}

void CNetMonitorWorker::Run() {
  fw::IClock& clock = m_env.workerClock ? *m_env.workerClock : fw::SteadyClock();
  std::uint64_t lastSearch = clock.Now(), lastStatus = lastSearch;
  bool searchDue = true, statusDue = true;
  while (!m_stop) {
    if (m_paused) {
      std::unique_lock lock(m_mutex);
      m_wake.wait_for(lock, std::chrono::milliseconds(kLoopPause),
                      [this] { return m_stop || !m_paused; });
      continue;
    }
    if (searchDue || statusDue) {
      if (auto pass = BeginPass()) {
        if (searchDue) {
          Search(*pass);
          searchDue = pass->Cancelled();  // a search cut short is done again
        } else {
          StatusPass(*pass);
          statusDue = pass->Cancelled();
        }
        EndPass();
      }
    }
    const std::uint64_t now = clock.Now();
    if (now - lastSearch >= static_cast<std::uint64_t>(m_settings.searchRateMs)) {
      searchDue = true;
      lastSearch = now;
    }
    if (now - lastStatus >= static_cast<std::uint64_t>(m_settings.updateRateMs)) {
      statusDue = true;
      lastStatus = now;
    }
    clock.Wait(kLoopPause);
    std::this_thread::yield();
  }
}

void CNetMonitorWorker::Search(CPass& pass) {
  m_searching = true;
  CSwitchDiscovery discovery(&pass, &pass, &pass, &QuietUi());
  discovery.SetWaitLimit(m_settings.waitLimitMs);
  std::vector<std::unique_ptr<CSwitchEntry>> found;
  std::string error;
  (void)discovery.FindAllSwitches(&found, &error);
  m_searching = false;
  ++m_searches;
  // A search cut short found what it found by chance: nothing of it counts.
  if (pass.Cancelled()) return;
  if (!error.empty()) PostError(error);
  CNetMonitorEvent e;
  e.kind = CNetMonitorEvent::kSearch;
  for (const auto& entry : found)
    e.found.push_back(CMonitoredSwitch{entry->GetMacText(true), entry->GetName(), entry->GetPart(),
                                       entry->GetFirmwareRevision(), entry->GetInterface()});
  Post(std::move(e));
}

void CNetMonitorWorker::StatusPass(CPass& pass) {
  std::vector<CMonitoredSwitch> targets;
  {
    std::lock_guard lock(m_mutex);
    targets = m_targets;
  }
  CNetMonitorEvent e;
  e.kind = CNetMonitorEvent::kStatus;
  for (const auto& t : targets) {
    if (pass.Cancelled()) return;
    cswitchcomm comm(&pass, &pass);
    std::string error;
    std::uint8_t local[6];
    CMonitoredStatus read{t.mac, 0, false};
    if (comm.CommOpenDevice(t.interface, local, &error) == kCommOk) {
      comm.CommSetTargetMac(t.mac);
      CSwitchStatus status;
      fw::frames::SwitchStatusInit(&status);
      read.answered = comm.CommReadSwitchStatus(&status, &error) == kStatusRead;
      comm.CommClose();
      read.okOutput = read.answered && status.bRingFlag08 ? 1 : 0;
    }
    e.statuses.push_back(std::move(read));
  }
  if (!pass.Cancelled()) Post(std::move(e));
}
