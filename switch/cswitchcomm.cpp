#include "switch/cswitchcomm.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>

#include "platform/format.h"
#include "platform/message.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "switch/operationui.h"

namespace {

std::atomic<int> g_devicesMutexWait{cswitchcomm::kDevicesMutexWait};

std::chrono::milliseconds DevicesWait() {
  return std::chrono::milliseconds(g_devicesMutexWait.load());
}

struct ProcessDeviceList {
  bool filled = false;
  const fw::ICaptureBackend* source = nullptr;
  CPcapDeviceList devices;
};
ProcessDeviceList& ProcessDevices() {
  static ProcessDeviceList list;
  return list;
}

std::atomic<fw::IClock*> g_defaultClock{nullptr};

std::mutex& PromptFactoryMutex() {
  static std::mutex m;
  return m;
}
CyclePowerPromptFactory& DefaultPromptFactory() {
  static CyclePowerPromptFactory f;
  return f;
}

std::string RemoveRpcap(std::string s) {
  static const std::string kPrefix = "rpcap://";
  for (auto p = s.find(kPrefix); p != std::string::npos; p = s.find(kPrefix, p)) {
    s.erase(p, kPrefix.size());
  }
  return s;
}

// Enumerates while the caller holds the devices mutex.
int FillDevices(fw::ICaptureBackend& backend, CPcapDeviceList* list) {
  std::string error;
  CPcapDeviceList found;
  if (backend.FindDevices(&found, &error) == fw::kCaptureError) {
    AfxMessageBox(LoadResString(IDS_CAPTURE_FIND_FAILED));
    return kCommFailed;
  }
  for (auto& d : found) {
    d.name = RemoveRpcap(d.name);
    d.description = RemoveRpcap(d.description);
    if (d.description.empty()) d.description = d.name;
    list->push_back(std::move(d));
  }
  return static_cast<int>(list->size());
}

const CPcapDevice* FindByNameOrDescription(const CPcapDeviceList& list, const std::string& text) {
  for (const auto& d : list) {
    if (d.name == text || d.description == text) return &d;
  }
  return nullptr;
}

// A prompt for callers without a window: it only lets the time pass.
class CClockPrompt : public ICyclePowerPrompt {
 public:
  explicit CClockPrompt(cswitchcomm& comm) : m_comm(comm) {}
  void SetCaption(const std::string&) override {}
  void SetStatus(const std::string&) override {}
  void PumpMessagesFor(std::uint32_t ms) override { m_comm.CommPumpMessagesFor(ms); }
  bool Cancelled() const override { return false; }

 private:
  cswitchcomm& m_comm;
};

}  // namespace

// "cswitchcomm::pcapdevsmutex": guards device enumeration and the process-wide
// device list. A wait that times out is an error; nothing guarded is touched.
fw::CTimedMutex& cswitchcomm::DevicesMutex() {
  static fw::CTimedMutex m;
  return m;
}

void cswitchcomm::SetDevicesMutexWait(int ms) {
  g_devicesMutexWait = ms;
}

cswitchcomm::cswitchcomm(fw::ICaptureBackend* backend, fw::IClock* clock)
    : m_backend(backend ? backend : &fw::ProcessCaptureBackend()),
      m_clock(clock ? clock : &DefaultClock()) {
  m_version = m_backend->Version();
  m_bIncompatible = !m_backend->Usable();
  m_bLibraryMissing = !m_backend->Loaded();
}

void cswitchcomm::SetDefaultClock(fw::IClock* clock) {
  g_defaultClock = clock;
}

fw::IClock& cswitchcomm::DefaultClock() {
  fw::IClock* clock = g_defaultClock.load();
  return clock ? *clock : fw::SteadyClock();
}

cswitchcomm::~cswitchcomm() {
  CommClose();
}

void cswitchcomm::SetDefaultCyclePowerPromptFactory(CyclePowerPromptFactory factory) {
  std::lock_guard lock(PromptFactoryMutex());
  DefaultPromptFactory() = std::move(factory);
}

std::unique_ptr<ICyclePowerPrompt> cswitchcomm::MakePrompt() {
  CyclePowerPromptFactory factory = m_promptFactory;
  if (!factory) {
    std::lock_guard lock(PromptFactoryMutex());
    factory = DefaultPromptFactory();
  }
  std::unique_ptr<ICyclePowerPrompt> prompt;
  if (factory) prompt = factory();
  if (!prompt) prompt = std::make_unique<CClockPrompt>(*this);
  return prompt;
}

int cswitchcomm::CommFindDevices(CPcapDeviceList* list) {
  if (m_bIncompatible) {
    AfxMessageBox(LoadResString(IDS_CAPTURE_FIND_NOT_LOADED));
    return kCommFailed;
  }
  std::unique_lock lock(DevicesMutex(), DevicesWait());
  if (!lock.owns_lock()) return 0;
  return FillDevices(*m_backend, list);
}

void cswitchcomm::PrepareDeviceList(fw::ICaptureBackend* backend) {
  fw::ICaptureBackend& b = backend ? *backend : fw::ProcessCaptureBackend();
  if (!b.Usable()) return;
  std::unique_lock lock(DevicesMutex(), DevicesWait());
  if (!lock.owns_lock()) return;
  auto& pl = ProcessDevices();
  if (pl.filled && pl.source == &b) return;
  CPcapDeviceList fresh;
  if (FillDevices(b, &fresh) == kCommFailed) return;
  pl.devices = std::move(fresh);
  pl.filled = true;
  pl.source = &b;
}

std::string cswitchcomm::LookupDeviceName(const std::string& text) {
  if (m_bIncompatible) return {};
  std::unique_lock lock(DevicesMutex(), DevicesWait());
  if (!lock.owns_lock()) return {};
  auto& pl = ProcessDevices();
  const bool stale = !pl.filled || pl.source != m_backend;
  if (!stale) {
    if (const auto* d = FindByNameOrDescription(pl.devices, text)) return d->name;
  }
  // Not known yet: the list may predate an adapter plugged in later. Refresh once.
  CPcapDeviceList fresh;
  if (FillDevices(*m_backend, &fresh) == kCommFailed) return {};
  pl.devices = std::move(fresh);
  pl.filled = true;
  pl.source = m_backend;
  if (const auto* d = FindByNameOrDescription(pl.devices, text)) return d->name;
  return {};
}

int cswitchcomm::GetAdapterMac(const std::string& device, std::uint8_t mac[6]) {
  fw::MacAddress m{};
  if (!m_backend->AdapterMac(device, &m)) return kCommFailed;
  m_local = m;
  std::copy(m.begin(), m.end(), mac);
  return kCommOk;
}

int cswitchcomm::Open(const std::string& device, bool replace_error, std::string* error) {
  auto append = [error](const std::string& text) {
    if (error) *error += text;
  };
  if (m_bIncompatible) {
    // A library that is not there at all has no version to be wrong.
    if (m_bLibraryMissing)
      append(LoadResString(IDS_CAPTURE_LIBRARY_MISSING) + "\n");
    else
      append(
          fw::FormatText("%s %s.\n", LoadResString(IDS_CAPTURE_VERSION_INCOMPATIBLE), m_version));
    return kCommFailed;
  }
  // A second Open must not leak the first handle.
  CommClose();
  std::string name = LookupDeviceName(device);
  if (name.empty()) name = device;
  std::uint8_t mac[6];
  if (GetAdapterMac(name, mac) != kCommOk) {
    append(fw::FormatText(" %s %s.\n", LoadResString(IDS_LOCAL_MAC_UNRESOLVED), device));
    return kCommFailed;
  }
  std::string lib_error;
  m_handle = m_backend->Open(name, &lib_error);
  if (error) {
    if (replace_error) {
      if (!lib_error.empty() || !m_handle) *error = lib_error;
    } else if (!lib_error.empty()) {
      *error += lib_error;
      if (error->back() != '\n') *error += '\n';
    }
  }
  if (!m_handle) return kCommFailed;
  m_bDeviceOpen = true;
  return kCommOk;
}

int cswitchcomm::CommOpenDevice(const std::string& device, std::uint8_t mac[6],
                                std::string* error) {
  const int r = Open(device, false, error);
  if (r == kCommOk && mac != nullptr) std::copy(m_local.begin(), m_local.end(), mac);
  return r;
}

int cswitchcomm::CommOpenDeviceEx(const std::string& device, std::string* error) {
  return Open(device, true, error);
}

void cswitchcomm::CommClose() {
  m_handle.reset();
  m_bDeviceOpen = false;
}

int cswitchcomm::Send(const std::uint8_t* data, std::size_t len, std::string* error) {
  m_nReceivedLength = 0;
  if (!m_bDeviceOpen || !m_handle) {
    if (error) *error += LoadResString(IDS_SEND_NO_DEVICE) + "\n";
    return kCommFailed;
  }
  std::string lib_error;
  if (m_handle->Send(data, len, &lib_error) != fw::kCaptureOk) {
    if (error) {
      *error += LoadResString(IDS_SEND_FAILED) + "\n";
      // What the library said is the only clue to an unplugged or refused adapter.
      if (!lib_error.empty()) {
        *error += lib_error;
        if (error->back() != '\n') *error += '\n';
      }
    }
    return kCommFailed;
  }
  return kCommOk;
}

int cswitchcomm::Receive(const std::uint8_t** frame) {
  return Receive(frame, kReceiveWait);
}

int cswitchcomm::Receive(const std::uint8_t** frame, std::uint32_t waitMs) {
  *frame = nullptr;
  if (!m_bDeviceOpen || !m_handle) return kCommFailed;
  std::size_t caplen = 0, wirelen = 0;
  const std::uint8_t* data = nullptr;
  const int r = m_handle->Receive(&data, &caplen, &wirelen, waitMs);
  if (r == fw::kCaptureError) {
    // A failing device (unplugged adapter) must not turn the reply loops into
    // a busy spin: let the read time-out pass as a quiet link would.
    m_clock->Wait(waitMs);
    return kReceivedNothing;
  }
  if (r != fw::kCaptureFrame || data == nullptr) return kReceivedNothing;
  // Parsers must not read past what was captured, so that is what we report.
  m_nReceivedLength = static_cast<int>(caplen);
  *frame = data;
  return kReceivedFrame;
}

bool cswitchcomm::CommSetTargetMac(const std::string& text) {
  if (text.size() != 17) return false;
  fw::MacAddress m{};
  for (int i = 0; i < 6; ++i) {
    unsigned v = 0;
    for (int k = 0; k < 2; ++k) {
      const char c = text[static_cast<std::size_t>(i * 3 + k)];
      int d = -1;
      if (c >= '0' && c <= '9') d = c - '0';
      if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
      if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
      if (d < 0) return false;
      v = v * 16 + static_cast<unsigned>(d);
    }
    m[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v);
  }
  m_target = m;
  return true;
}

void cswitchcomm::SetTarget(const std::uint8_t mac[6]) {
  std::copy(mac, mac + 6, m_target.begin());
}
void cswitchcomm::GetTarget(std::uint8_t mac[6]) const {
  std::copy(m_target.begin(), m_target.end(), mac);
}

std::string cswitchcomm::FormatMacText(const std::uint8_t mac[6], const std::string& lead,
                                       const std::string& trail) {
  return lead +
         fw::FormatText("%2.2x:%2.2x:%2.2x:%2.2x:%2.2x:%2.2x", mac[0], mac[1], mac[2], mac[3],
                        mac[4], mac[5]) +
         trail;
}

void cswitchcomm::CommPumpMessagesFor(std::uint32_t ms) {
  const std::uint64_t start = m_clock->Now();
  for (std::uint64_t now = start; now - start < ms; now = m_clock->Now()) {
    m_clock->Wait(static_cast<std::uint32_t>(ms - (now - start)));
  }
}

void cswitchcomm::AppendLine(std::string* error, const std::string& text) const {
  if (error == nullptr) return;
  *error += FormatMacText(m_target.data(), "", " ") + text;
  if (text.empty() || text.back() != '\n') *error += '\n';
}

void cswitchcomm::AppendLines(std::string* error, const std::string& text) const {
  std::size_t from = 0;
  while (from < text.size()) {
    std::size_t end = text.find('\n', from);
    if (end == std::string::npos) end = text.size();
    if (end > from) AppendLine(error, text.substr(from, end - from));
    from = end + 1;
  }
}

bool cswitchcomm::SendRequest(const std::vector<std::uint8_t>& frame, std::string* reason) {
  if (m_target != kBroadcastMac) {
    // A reply that came after its request gave up is waiting here: it must not
    // pass for the answer to this request. Broadcasts keep the waiting frames,
    // which are other switches' answers to the same question.
    for (std::size_t dropped = 0; dropped < kMaxDroppedFrames && m_bDeviceOpen && m_handle;
         ++dropped) {
      std::size_t caplen = 0, wirelen = 0;
      const std::uint8_t* data = nullptr;
      if (m_handle->Receive(&data, &caplen, &wirelen, 0) != fw::kCaptureFrame) break;
    }
  }
  return Send(frame.data(), frame.size(), reason) == kCommOk;
}

bool cswitchcomm::AwaitReply(std::uint64_t deadline, std::uint16_t command, bool check_destination,
                             std::vector<std::uint8_t>* reply) {
  // Past the deadline only the frames already waiting are read: on a busy
  // segment a reply that came in time may stand behind other stations'
  // frames that a loaded machine has not got through yet.
  std::size_t late = 0;
  for (;;) {
    const bool overdue = m_clock->Now() >= deadline;
    if (overdue && ++late > kMaxDroppedFrames) return false;
    const std::uint8_t* data = nullptr;
    const int r = Receive(&data, overdue ? 0 : kReceiveWait);
    if (r == kCommFailed) return false;
    if (overdue && r != kReceivedFrame) return false;
    if (r == kReceivedFrame) {
      std::span<const std::uint8_t> frame(data, static_cast<std::size_t>(m_nReceivedLength));
      // A request to one switch is answered by that switch only: another
      // switch's reply on a shared segment must not pass for it. A reply
      // keeps the command it answers, so a late answer to another kind of
      // request is not taken either.
      if (fw::frames::ExtractReply(frame, reply) && fw::frames::ReplyCommand(*reply) == command &&
          (!check_destination || fw::frames::Destination(*reply) == m_local) &&
          (m_target == kBroadcastMac || fw::frames::Source(*reply) == m_target)) {
        return true;
      }
    }
  }
}

int cswitchcomm::CommSendNop(int flags, std::string* address, std::string* error) {
  const bool quiet = (flags & kCommQuiet) != 0;
  const auto frame = fw::frames::BuildNop(m_target, m_local);
  int result;
  std::vector<std::uint8_t> reply;
  std::string reason;
  if (!SendRequest(frame, &reason)) {
    if (!quiet) {
      AppendLine(error, LoadResString(IDS_NOP_SEND_FAILED));
      AppendLines(error, reason);
    }
    result = kCommFailed;
  } else if (!AwaitReply(m_clock->Now() + static_cast<std::uint64_t>(m_nReplyTimeout),
                         fw::frames::kCmdNop, true, &reply)) {
    if (!quiet) AppendLine(error, LoadResString(IDS_NOP_NO_REPLY));
    result = kCommFailed;
  } else {
    const std::uint8_t f = reply[fw::frames::kFlagsOffset];
    if ((f & 0xC0) == 0xC0) {
      if (!quiet) AppendLine(error, LoadResString(IDS_NOP_ERROR_REPLY));
      result = kCommRefused;
    } else {
      result = (f & fw::frames::kFlagSuccess) ? kNopSuccess : kNopNoFlag;
      if (address != nullptr) *address = FormatMacText(fw::frames::Source(reply).data());
    }
  }
  if (result < kCommOk && !quiet) AppendLine(error, LoadResString(IDS_NOP_ERROR));
  return result;
}

int cswitchcomm::CommReadSwitchStatus(CSwitchStatus* status, std::string* error) {
  const auto frame = fw::frames::BuildStatusRead(m_target, m_local);
  std::string reason;
  if (!SendRequest(frame, &reason)) {
    AppendLines(error, reason);
    return kCommFailed;
  }
  std::vector<std::uint8_t> reply;
  if (!AwaitReply(m_clock->Now() + static_cast<std::uint64_t>(m_nReplyTimeout),
                  fw::frames::kCmdStatus, true, &reply)) {
    return kStatusNoReply;
  }
  switch (fw::frames::ParseStatusReply(reply, status)) {
    case fw::frames::StatusParse::kOk: return kStatusRead;
    case fw::frames::StatusParse::kTooManyPorts:
      AppendLine(error, LoadResString(IDS_STATUS_TOO_MANY_PORTS));
      return kCommFailed;
    case fw::frames::StatusParse::kTooShort:
      AppendLine(error, LoadResString(IDS_STATUS_REPLY_SHORT));
      return kCommFailed;
  }
  return kCommFailed;
}

int cswitchcomm::ControlRequest(std::uint32_t value, int flags, std::string* error) {
  const auto frame = fw::frames::BuildControl(m_target, m_local, value);
  std::string reason;
  if (!SendRequest(frame, &reason)) {
    AppendLine(error, LoadResString(IDS_CONTROL_SEND_FAILED));
    AppendLines(error, reason);
    return kCommFailed;
  }
  std::vector<std::uint8_t> reply;
  if (!AwaitReply(m_clock->Now() + static_cast<std::uint64_t>(m_nReplyTimeout),
                  fw::frames::kCmdControl, true, &reply)) {
    if (!(flags & kCommQuiet)) AppendLine(error, LoadResString(IDS_CONTROL_NO_REPLY));
    return kCommFailed;
  }
  if (reply[fw::frames::kFlagsOffset] >= 0xC0) {
    AppendLine(error, LoadResString(IDS_CONTROL_ERROR_REPLY));
    return kCommRefused;
  }
  return kCommOk;
}

int cswitchcomm::SendLoadBlock(const std::uint8_t* block, std::size_t len, int position,
                               std::string* error) {
  if (len > fw::frames::kMaxLoadBlock) {
    AppendLine(error, LoadResString(IDS_LOAD_BLOCK_TOO_LONG));
    return kCommFailed;
  }
  const auto frame = fw::frames::BuildLoadBlock(m_target, m_local,
                                                static_cast<std::uint16_t>(position), {block, len});
  std::string reason;
  if (!SendRequest(frame, &reason)) {
    AppendLine(error, LoadResString(IDS_LOAD_SEND_FAILED));
    AppendLines(error, reason);
    return kCommFailed;
  }
  // The first block makes the switch erase its memory before it answers.
  const int extra = position == fw::frames::kBlockFirst ? 2000 : 0;
  std::vector<std::uint8_t> reply;
  if (!AwaitReply(m_clock->Now() + static_cast<std::uint64_t>(m_nReplyTimeout + extra),
                  fw::frames::kCmdLoadBlock, true, &reply)) {
    AppendLine(error, LoadResString(IDS_LOAD_NO_REPLY));
    return kCommFailed;
  }
  const std::uint8_t f = reply[fw::frames::kFlagsOffset];
  if ((f & 0xC0) == 0xC0) {
    AppendLine(error, LoadResString(IDS_LOAD_ERROR_REPLY));
  } else if (f & fw::frames::kFlagSuccess) {
    return kCommOk;
  } else {
    AppendLine(error, LoadResString(IDS_LOAD_BOOT_MONITOR_ERROR));
  }
  const int status = fw::frames::LoadStatus(reply);
  switch (status) {
    case fw::frames::kLoadStatusWriteFailed:
      AppendLine(error, LoadResString(IDS_LOAD_WRITE_FAILED));
      return kLoadWriteFailed;
    case fw::frames::kLoadStatusInvalidData:
      AppendLine(error, LoadResString(IDS_LOAD_INVALID_DATA));
      return kLoadInvalidData;
    case fw::frames::kLoadStatusEraseFailed:
      AppendLine(error, LoadResString(IDS_LOAD_ERASE_FAILED));
      return kLoadEraseFailed;
    case fw::frames::kLoadStatusVerifyFailed:
      AppendLine(error, LoadResString(IDS_LOAD_VERIFY_FAILED));
      return kLoadVerifyFailed;
    default:
      AppendLine(error, FormatRes(IDS_LOAD_UNKNOWN_STATUS, LoadResString(IDS_UNKNOWN_ERROR), status,
                                  LoadResString(IDS_LOAD_UNKNOWN_STATUS_TAIL)));
      return kCommFailed;
  }
}

int cswitchcomm::CommEnterBootMonitor(std::string* error) {
  const bool answered = ControlRequest(kControlRestart, kCommQuiet, nullptr) == kCommOk;
  std::unique_ptr<ICyclePowerPrompt> prompt;
  if (!answered) {
    prompt = MakePrompt();
    prompt->PumpMessagesFor(25);
  } else {
    // The switch is restarting into its boot monitor; give it time first.
    CommPumpMessagesFor(3000);
    prompt = MakePrompt();
    prompt->SetCaption(LoadResString(IDS_CONNECTING));
    prompt->SetStatus(LoadResString(optext::kCyclePowerTexts[optext::kAttemptingConnect]));
    prompt->PumpMessagesFor(100);
  }
  bool entered = false;
  int unanswered = 0;
  while (!prompt->Cancelled()) {
    const int r = CommSendNop(kCommQuiet, nullptr, nullptr);
    if (r == kNopSuccess) {
      entered = true;
      break;
    }
    if (r == kCommRefused) break;
    if (++unanswered >= 61) break;
    prompt->PumpMessagesFor(500);
  }
  prompt.reset();
  if (!entered) {
    AppendLine(error, LoadResString(IDS_BOOT_MONITOR_FAILED));
    return kCommRefused;
  }
  return kCommOk;
}

int cswitchcomm::ExchangeEerom(const std::vector<std::uint8_t>& request,
                               std::vector<std::uint8_t>* reply, std::string* error) {
  std::string reason;
  if (!SendRequest(request, &reason)) {
    AppendLine(error, LoadResString(IDS_EEROM_SEND_FAILED));
    AppendLines(error, reason);
    return kCommFailed;
  }
  CommPumpMessagesFor(200);
  // Replies to an EEROM request may come back addressed to the broadcast
  // address the request went to, so the destination is not compared.
  if (!AwaitReply(m_clock->Now() + static_cast<std::uint64_t>(m_nReplyTimeout),
                  fw::frames::kCmdEerom, false, reply)) {
    AppendLine(error, LoadResString(IDS_EEROM_NO_REPLY));
    return kCommFailed;
  }
  return kCommOk;
}

int cswitchcomm::Run(CCfgBlock& block, std::string* error) {
  block.SetSwitchAddress(m_target);
  if (block.Requests().empty()) {
    AppendLine(error, LoadResString(IDS_EEROM_INVALID_BLOCK_COUNT));
    return kEeromFailed;
  }
  block.SplitAndPack();
  for (auto& entries : block.Frames()) {
    const auto request = fw::frames::BuildRequest(m_target, m_local, fw::frames::kCmdEerom,
                                                  CCfgBlock::FrameBody(entries));
    std::vector<std::uint8_t> reply;
    if (ExchangeEerom(request, &reply, error) != kCommOk) return kEeromFailed;
    // A busy switch gets the same frame again, at most three times; the first
    // reply that is not busy is the one checked.
    for (int resend = 0; CCfgBlock::ReplyStatus(reply) == kEeromReplyBusy; ++resend) {
      if (resend == 3) {
        AppendLine(error, LoadResString(IDS_SWITCH_BUSY));
        return kEeromBusy;
      }
      CommPumpMessagesFor(250);
      if (ExchangeEerom(request, &reply, error) != kCommOk) return kEeromFailed;
    }
    const int checked = block.CheckReply(reply, &entries, error);
    if (checked != kEeromOk) return checked;
    const int stored = block.StoreReadEntries(entries, error);
    if (stored != kEeromOk) return stored;
  }
  block.RebuildReadRequests();
  // A write the switch refused or never confirmed is a failure, not a success.
  return block.CheckAllDone(error);
}
