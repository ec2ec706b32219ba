// The one object through which both programs reach the switches: a capture
// device, raw frames of the management protocol, and the requests built on them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/timedmutex.h"
#include "switch/capturebackend.h"
#include "switch/cfgblock.h"
#include "switch/frames.h"

using CPcapDevice = fw::CaptureDevice;
using CPcapDeviceList = std::vector<fw::CaptureDevice>;
using fw::frames::CSwitchStatus;

// Request flags.
enum : int { kCommQuiet = 0x01 };

inline constexpr fw::MacAddress kBroadcastMac{0xFF, 0xFF, 0xFF, 0xFF,
                                              0xFF, 0xFF};  // no failure lines for a missing reply

// The control request that restarts a switch: a running one into its boot
// monitor, one in its boot monitor into its firmware.
inline constexpr std::uint32_t kControlRestart = 1;

// Results of the device and request operations. Success is 0 or positive,
// failure negative; callers and the boot monitor loop rely on the values.
enum CommResult : int {
  kCommOk = 0,
  kCommFailed = -1,   // not sent, no reply, no device open, a reply that cannot be used
  kCommRefused = -3,  // the switch answered with its error flag; no boot monitor
};
// Receive.
enum ReceiveResult : int {
  kReceivedFrame = 1,
  kReceivedNothing = 0,
};
// CommSendNop: what the reply carried.
enum NopResult : int {
  kNopSuccess = 1,  // the success flag
  kNopNoFlag = 0,   // neither the success nor the error flag
};
// CommReadSwitchStatus.
enum StatusReadResult : int {
  kStatusRead = 1,     // a reply came and was parsed
  kStatusNoReply = 0,  // nothing came before the time-out
};
// SendLoadBlock: the load status the switch reported, besides kCommOk and kCommFailed.
enum LoadBlockResult : int {
  kLoadWriteFailed = -106,
  kLoadInvalidData = -107,
  kLoadEraseFailed = -108,
  kLoadVerifyFailed = -109,
};

// The window that asks the user to cycle a switch's power while the program
// waits for its boot monitor. The GUI implements it; tests use a fake.
class ICyclePowerPrompt {
 public:
  virtual ~ICyclePowerPrompt() = default;
  virtual void SetCaption(const std::string& text) = 0;
  virtual void SetStatus(const std::string& text) = 0;
  // Keeps the window alive for ms milliseconds of the comm's clock.
  virtual void PumpMessagesFor(std::uint32_t ms) = 0;
  virtual bool Cancelled() const = 0;
};
using CyclePowerPromptFactory = std::function<std::unique_ptr<ICyclePowerPrompt>()>;

class cswitchcomm {
 public:
  static constexpr int kDefaultReplyTimeout = 1000;
  static constexpr std::uint32_t kReceiveWait = 20;
  static constexpr int kDevicesMutexWait = 15000;
  // Frames an addressed request drops before it is sent, at most.
  static constexpr std::size_t kMaxDroppedFrames = 4096;

  // Without a backend the process's capture library is used; without a clock
  // the default clock.
  explicit cswitchcomm(fw::ICaptureBackend* backend = nullptr, fw::IClock* clock = nullptr);
  cswitchcomm(const cswitchcomm&) = delete;
  cswitchcomm& operator=(const cswitchcomm&) = delete;
  virtual ~cswitchcomm();

  // Device list. The number of devices in the list, kCommFailed, or 0 when the
  // devices mutex could not be had in time.
  int CommFindDevices(CPcapDeviceList* list);
  std::string LookupDeviceName(const std::string& text);
  // The process-wide lock around device enumeration and the device list, and
  // how long its waits last (15 s; tests shorten it).
  static fw::CTimedMutex& DevicesMutex();
  static void SetDevicesMutexWait(int ms);
  // Fills the process-wide device list once, before worker threads need it.
  static void PrepareDeviceList(fw::ICaptureBackend* backend = nullptr);

  // Device: kCommOk or kCommFailed. CommOpenDeviceEx replaces the error text
  // with the capture library's when it has one; everything else appends.
  [[nodiscard]] int CommOpenDevice(const std::string& device, std::uint8_t mac[6],
                                   std::string* error);
  [[nodiscard]] int CommOpenDeviceEx(const std::string& device, std::string* error);
  void CommClose();
  bool IsOpen() const { return m_bDeviceOpen; }
  [[nodiscard]] int GetAdapterMac(const std::string& device, std::uint8_t mac[6]);
  [[nodiscard]] int Send(const std::uint8_t* data, std::size_t len, std::string* error);
  // kReceivedFrame with the next frame, kReceivedNothing when none came in the
  // read time-out, kCommFailed when no device is open.
  [[nodiscard]] int Receive(const std::uint8_t** frame);
  // The same with a wait of its own (0: only a frame already waiting).
  [[nodiscard]] int Receive(const std::uint8_t** frame, std::uint32_t waitMs);
  int ReceivedLength() const { return m_nReceivedLength; }

  // Addresses.
  bool CommSetTargetMac(const std::string& text);
  void SetTarget(const std::uint8_t mac[6]);
  void GetTarget(std::uint8_t mac[6]) const;
  const fw::MacAddress& Target() const { return m_target; }
  const fw::MacAddress& Local() const { return m_local; }
  static std::string FormatMacText(const std::uint8_t mac[6], const std::string& lead = "",
                                   const std::string& trail = "");

  int ReplyTimeout() const { return m_nReplyTimeout; }
  void SetReplyTimeout(int ms) { m_nReplyTimeout = ms; }
  bool IncompatibleVersion() const { return m_bIncompatible; }
  const std::string& VersionText() const { return m_version; }

  void CommPumpMessagesFor(std::uint32_t ms);
  fw::IClock& Clock() { return *m_clock; }
  // The clock of objects built without one: the steady clock until the
  // programs install one whose waits on the user-interface thread keep the
  // windows painting. Null restores the steady clock.
  static void SetDefaultClock(fw::IClock* clock);
  static fw::IClock& DefaultClock();

  // Requests. NOP: a NopResult, kCommRefused or kCommFailed; *address (may be
  // null) receives the answering switch. Status read: a StatusReadResult or
  // kCommFailed. Control request: kCommOk, kCommRefused or kCommFailed. Load
  // block: kCommOk, a LoadBlockResult or kCommFailed. Boot monitor: kCommOk or
  // kCommRefused.
  [[nodiscard]] int CommSendNop(int flags, std::string* address, std::string* error);
  [[nodiscard]] int CommReadSwitchStatus(CSwitchStatus* status, std::string* error);
  [[nodiscard]] int ControlRequest(std::uint32_t value, int flags, std::string* error);
  [[nodiscard]] int SendLoadBlock(const std::uint8_t* block, std::size_t len, int position,
                                  std::string* error);
  [[nodiscard]] int CommEnterBootMonitor(std::string* error);
  // The EEROM transaction: an EeromResult.
  [[nodiscard]] int Run(CCfgBlock& block, std::string* error);

  // The prompt CommEnterBootMonitor shows; without one it waits on the clock.
  void SetCyclePowerPromptFactory(CyclePowerPromptFactory factory) {
    m_promptFactory = std::move(factory);
  }
  static void SetDefaultCyclePowerPromptFactory(CyclePowerPromptFactory factory);

 private:
  int Open(const std::string& device, bool replace_error, std::string* error);
  // Appends the target's address, a blank and the text as one line (nothing
  // when error is null).
  void AppendLine(std::string* error, const std::string& text) const;
  // AppendLine for each line of the text.
  void AppendLines(std::string* error, const std::string& text) const;
  // Sends a request; an addressed one first drops the frames already waiting.
  // False with Send's reason in *reason when it did not go out.
  bool SendRequest(const std::vector<std::uint8_t>& frame, std::string* reason);
  // Receives until a reply to the command arrives (to our address when
  // check_destination) or the deadline passes. False when none came.
  bool AwaitReply(std::uint64_t deadline, std::uint16_t command, bool check_destination,
                  std::vector<std::uint8_t>* reply);
  // Sends an EEROM frame and waits for its reply: kCommOk, or kCommFailed with a line.
  int ExchangeEerom(const std::vector<std::uint8_t>& request, std::vector<std::uint8_t>* reply,
                    std::string* error);
  std::unique_ptr<ICyclePowerPrompt> MakePrompt();

  int m_nReceivedLength = 0;
  int m_nReplyTimeout = kDefaultReplyTimeout;
  fw::ICaptureBackend* m_backend;
  fw::IClock* m_clock;
  std::unique_ptr<fw::ICaptureHandle> m_handle;
  bool m_bIncompatible = false;
  bool m_bLibraryMissing = false;
  std::string m_version;
  bool m_bDeviceOpen = false;
  fw::MacAddress m_local{};
  fw::MacAddress m_target{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  CyclePowerPromptFactory m_promptFactory;
};
