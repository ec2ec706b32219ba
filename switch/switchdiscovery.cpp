#include "switch/switchdiscovery.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

#include "platform/profile.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"
#include "switch/cfgblock.h"
#include "switch/switchconfigstore.h"
#include "switch/switchentry.h"

namespace {

constexpr char kSettings[] = "Settings";
constexpr char kWaitLimitKey[] = "find all wait limit";
constexpr char kBroadcast[] = "FF:FF:FF:FF:FF:FF";

IOperationUi g_nullUi;
std::atomic<IOperationUi*> g_ui{nullptr};

// The bookkeeping of one search: how many workers it started and how many
// have ended, and the threads themselves. Nothing of it is shared with any
// other search.
class CSearch {
 public:
  explicit CSearch(IOperationUi& ui) : m_ui(ui) {}
  CSearch(const CSearch&) = delete;
  CSearch& operator=(const CSearch&) = delete;
  ~CSearch() { Join(); }

  // Starts a worker; false when the system refused a thread (nothing counted).
  template <typename Fn>
  bool Start(Fn fn) {
    std::lock_guard lock(m_mutex);
    try {
      m_threads.emplace_back([this, fn = std::move(fn)]() mutable {
        try {
          fn();
        } catch (...) {
          // A worker must mark its end on every path, or the search never ends.
        }
        std::lock_guard l(m_mutex);
        ++m_finished;
        m_done.notify_all();
      });
    } catch (const std::system_error&) {
      return false;
    }
    ++m_started;
    return true;
  }

  // Waits until every worker has ended, letting window messages through, then
  // joins the threads: only after that may their records be read.
  void Wait(int messages_per_round) {
    std::unique_lock lock(m_mutex);
    while (m_finished != m_started) {
      lock.unlock();
      m_ui.PumpMessages(messages_per_round);
      lock.lock();
      m_done.wait_for(lock, std::chrono::milliseconds(20),
                      [this] { return m_finished == m_started; });
    }
    lock.unlock();
    Join();
  }

 private:
  void Join() {
    for (auto& t : m_threads)
      if (t.joinable()) t.join();
    m_threads.clear();
  }

  IOperationUi& m_ui;
  std::mutex m_mutex;
  std::condition_variable m_done;
  int m_started = 0;
  int m_finished = 0;
  std::vector<std::thread> m_threads;
};

struct ProbeRecord {
  std::string device;       // name, used to open
  std::string description;  // what the caller gets back
  std::string mac;
  std::string result;
};

struct ListenerRecord {
  std::string device;
  std::string description;
  int wait = 0;
  std::vector<std::string> macs;
  bool failed = false;
  std::string error;
};

std::string DeviceText(const CPcapDevice& d) {
  return d.description.empty() ? d.name : d.description;
}

void ProbeWorker(ProbeRecord* rec, fw::ICaptureBackend* backend, fw::IClock* clock) {
  cswitchcomm comm(backend, clock);
  comm.CommSetTargetMac(rec->mac);
  std::uint8_t local[6];
  if (comm.CommOpenDevice(rec->device, local, nullptr) != kCommOk) return;
  // Another search on the same interface makes other switches answer to our
  // address too: only the switch asked for counts.
  std::string address;
  if (comm.CommSendNop(0, &address, nullptr) >= kCommOk && fw::EqualsNoCase(address, rec->mac))
    rec->result = rec->description;
  comm.CommClose();
}

void ListenerWorker(ListenerRecord* rec, fw::ICaptureBackend* backend, fw::IClock* clock) {
  cswitchcomm comm(backend, clock);
  std::uint8_t local[6];
  std::string open_error;
  if (comm.CommOpenDevice(rec->device, local, &open_error) != kCommOk) {
    rec->failed = true;
    rec->error = open_error;
    return;
  }
  std::set<std::string> heard;
  std::uint64_t deadline = clock->Now() + static_cast<std::uint64_t>(rec->wait);
  for (;;) {
    std::string address;
    bool heard_new = false;
    if (comm.CommSendNop(kCommQuiet, &address, nullptr) >= kCommOk) {
      address = fw::ToUpperAscii(address);
      if (heard.insert(address).second) {
        rec->macs.push_back(address);
        deadline = clock->Now() + static_cast<std::uint64_t>(rec->wait);
        heard_new = true;
      }
    }
    // Every switch answers each broadcast NOP and one reply is taken per NOP,
    // so the search ends once a whole wait time brought no new switch.
    if (clock->Now() > deadline || heard.size() >= CSwitchDiscovery::kMaxSwitchesPerDevice) break;
    // While new switches keep answering, their replies are already waiting:
    // pause only when an attempt brought nothing new.
    if (!heard_new) clock->Wait(CSwitchDiscovery::kListenerPause);
  }
  comm.CommClose();
}

}  // namespace

IOperationUi& OperationUi() {
  IOperationUi* ui = g_ui.load();
  return ui ? *ui : g_nullUi;
}

void SetOperationUi(IOperationUi* ui) {
  g_ui.store(ui);
}

CSwitchDiscovery::CSwitchDiscovery(fw::ICaptureBackend* backend, fw::IClock* clock,
                                   fw::IClock* worker_clock, IOperationUi* ui)
    : cswitchcomm(backend, clock),
      m_backend(backend),
      m_workerClock(worker_clock ? worker_clock : &fw::SteadyClock()),
      m_ui(ui),
      m_nWaitLimit(fw::AppProfile().GetProfileInt(kSettings, kWaitLimitKey, kDefaultWaitLimit)) {}

int CSwitchDiscovery::FindInterfaceOfSwitch(const std::string& mac_text, std::string* device,
                                            int flags) {
  const std::string mac = fw::ToUpperAscii(mac_text);
  if (mac.empty() || mac == kBroadcast) return kSwitchNotFound;
  const bool searching = (flags & kFindShowSearching) != 0;
  if (searching)
    Ui().ShowSearching(LoadResString(optext::kSearchingTexts[optext::kSelectingInterface]));

  CPcapDeviceList devices;
  CommFindDevices(&devices);
  // Filled here, so that no worker refills it (and shows its messages) itself.
  PrepareDeviceList(m_backend);
  std::vector<std::unique_ptr<ProbeRecord>> records;
  {
    CSearch search(Ui());
    for (const auto& d : devices) {
      // The record is owned before its worker starts, and outlives it.
      records.push_back(std::make_unique<ProbeRecord>(ProbeRecord{d.name, DeviceText(d), mac, {}}));
      ProbeRecord* r = records.back().get();
      if (!search.Start(
              [r, backend = m_backend, clock = m_workerClock] { ProbeWorker(r, backend, clock); }))
        records.pop_back();
    }
    search.Wait(10);
  }
  int found = kSwitchNotFound;
  for (const auto& r : records) {
    if (!r->result.empty()) {
      if (device) *device = r->result;
      found = kSwitchFound;
      break;
    }
  }
  if (searching) Ui().HideSearching();
  return found;
}

bool CSwitchDiscovery::ListenAll(std::vector<Heard>* heard, std::string* error) {
  // The listener's own reading of the limit: a profile without it gets the
  // stored default, and a stored value out of range is put right.
  fw::CProfile& profile = fw::AppProfile();
  const int stored = profile.GetProfileInt(kSettings, kWaitLimitKey, kStoredDefaultWaitLimit);
  profile.WriteProfileInt(kSettings, kWaitLimitKey, std::clamp(stored, 0, kMaxWaitLimit));
  // The wait actually used is clamped too: a huge value would hang the search.
  const int wait = std::clamp(m_nWaitLimit, 0, kMaxWaitLimit);

  CPcapDeviceList devices;
  CommFindDevices(&devices);
  PrepareDeviceList(m_backend);
  std::vector<std::unique_ptr<ListenerRecord>> records;
  bool ok = true;
  {
    CSearch search(Ui());
    for (const auto& d : devices) {
      records.push_back(std::make_unique<ListenerRecord>());
      ListenerRecord* r = records.back().get();
      r->device = d.name;
      r->description = DeviceText(d);
      r->wait = wait;
      if (!search.Start([r, backend = m_backend, clock = m_workerClock] {
            ListenerWorker(r, backend, clock);
          })) {
        if (error) *error += LoadResString(IDS_FAILED_TO_OPEN) + r->description + "\n";
        ok = false;
        records.pop_back();
      }
    }
    search.Wait(1);
  }
  // The workers only collected their failures: the lines are put together
  // here, on the calling thread, and shown once by the caller.
  for (const auto& r : records) {
    if (r->failed) {
      ok = false;
      if (error) {
        *error += LoadResString(IDS_FAILED_TO_OPEN) + r->description + "\n";
        // The capture layer's reason (no permission, adapter gone) follows.
        if (const std::string reason = fw::Trim(r->error); !reason.empty()) *error += reason + "\n";
      }
    }
    heard->push_back(Heard{r->description, std::move(r->macs)});
  }
  return ok;
}

namespace {

// One switch heard by a listener, read on its own handle.
struct ReadJob {
  std::string device;
  std::string mac;
  std::unique_ptr<CSwitchEntry> entry;  // set when the switch was read and is a catalogue model
  bool ok = true;
  std::string error;  // this switch's lines, in the order a one-by-one read gives them
};

// Opens the device, reads name, identity and revision of one switch, closes.
void ReadSwitch(cswitchcomm& comm, ReadJob* job) {
  auto entry = std::make_unique<CSwitchEntry>();
  entry->SetMac(job->mac);
  entry->SetInterface(job->device);
  std::uint8_t local[6];
  if (comm.CommOpenDevice(job->device, local, &job->error) != kCommOk) {
    job->ok = false;
    return;
  }
  comm.CommSetTargetMac(job->mac);
  CCfgBlock block;
  block.SetSwitchAddress(comm.Target());
  block.AddRequest(kEeromRead, 32, 32);
  block.AddRequest(kEeromRead, 280, 6);
  block.AddRequest(kEeromRead, 232, 24);
  if (comm.Run(block, &job->error) != kEeromOk) {
    job->ok = false;
    comm.CommClose();
    return;
  }
  const std::string prefix = cswitchcomm::FormatMacText(comm.Target().data(), "", " ");
  std::string name;
  bool complete = true;
  for (std::uint16_t a = 32; a < 64; ++a) {
    std::uint8_t b = 0;
    if (!block.LookupByte(a, &b))
      complete = false;
    else if (b != 0)
      name += static_cast<char>(b);
  }
  if (!complete) {
    job->error += prefix + LoadResString(IDS_FAILED_READING_NAME) + "\n";
    job->ok = false;
  }
  std::uint8_t id[6] = {};
  complete = true;
  for (int i = 0; i < 6; ++i)
    if (!block.LookupByte(static_cast<std::uint16_t>(280 + i), &id[i])) complete = false;
  std::string part;
  if (!complete) {
    job->error += prefix + LoadResString(IDS_FAILED_READING_TYPE) + "\n";
    job->ok = false;
  } else {
    part = CSwitchConfigStore::PartNumberFromIdentity(id);
  }
  std::string revision;
  for (std::uint16_t a = 232; a < 256; ++a) {
    std::uint8_t b = 0;
    if (!block.LookupByte(a, &b) || b == 0) break;
    revision += static_cast<char>(b);
  }
  comm.CommClose();
  // The switch keeps its texts in Windows-1252, as they are written to it:
  // never guessed as UTF-8, or a name would change on its next write.
  entry->SetName(fw::Cp1252ToUtf8(name));
  // Every model of the catalogue is kept, whether or not the customisation
  // file offers it; an offered one carries the name the file gives it.
  CPartRecord record;
  bool known = false;
  if (!part.empty()) {
    const CPartRecord* offered = CSwitchConfigStore::LookupModel(part);
    if (offered && offered->partNumber == part) {
      record = *offered;
      known = true;
    } else {
      known = fw::LookupCatalogueRow(part, record);
    }
  }
  if (known) {
    entry->SetPart(record);
    entry->SetFirmwareRevision(fw::Cp1252ToUtf8(revision));
    job->entry = std::move(entry);
  }
}

}  // namespace

int CSwitchDiscovery::FindAllSwitches(std::vector<std::unique_ptr<CSwitchEntry>>* found,
                                      std::string* error) {
  std::vector<Heard> heard;
  bool ok = ListenAll(&heard, error);
  std::vector<std::unique_ptr<ReadJob>> jobs;
  for (const auto& h : heard)
    for (const auto& mac : h.macs) {
      jobs.push_back(std::make_unique<ReadJob>());
      jobs.back()->device = h.device;
      jobs.back()->mac = mac;
    }
  // Each read waits for its switch's replies most of the time: several
  // switches are read at once, each on a handle of its own that takes only
  // the addressed switch's replies. Results are put together in the order
  // the switches were heard, as a one-by-one read would give them.
  const std::size_t readers = std::min(jobs.size(), kMaxParallelReads);
  std::atomic<std::size_t> next{0};
  {
    CSearch search(Ui());
    for (std::size_t r = 0; r < readers; ++r) {
      if (!search.Start([&next, &jobs, backend = m_backend, clock = m_workerClock] {
            cswitchcomm comm(backend, clock);
            for (std::size_t i = next++; i < jobs.size(); i = next++)
              ReadSwitch(comm, jobs[i].get());
          }))
        break;
    }
    search.Wait(1);
  }
  // Jobs no reader took (the system refused threads) are read here.
  for (std::size_t i = next; i < jobs.size(); ++i) ReadSwitch(*this, jobs[i].get());
  for (auto& job : jobs) {
    if (error) *error += job->error;
    ok = ok && job->ok;
    if (job->entry) found->push_back(std::move(job->entry));
  }
  return ok ? kCommOk : kCommFailed;
}
