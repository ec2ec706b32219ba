#include "switch/configload.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <tuple>

#include "platform/message.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"
#include "switch/cfgblock.h"
#include "switch/switchconfig.h"
#include "switch/switchconfigstore.h"
#include "switch/switchdiscovery.h"
#include "switch/switchentry.h"

namespace {

constexpr std::uint32_t kRestartPause = 15000;
constexpr std::uint32_t kReadPause = 1000;

void Put(std::vector<std::uint8_t>& image, std::size_t address, std::uint8_t value) {
  if (image.size() <= address) image.resize(address + 1, 0);
  image[address] = value;
}
std::uint8_t Get(const std::vector<std::uint8_t>& image, std::size_t address) {
  return address < image.size() ? image[address] : 0;
}

void SetBit(std::uint8_t& b, int bit, bool on) {
  if (on)
    b = static_cast<std::uint8_t>(b | (1u << bit));
  else
    b = static_cast<std::uint8_t>(b & ~(1u << bit));
}

bool IsFiberPort(const std::vector<std::uint8_t>& current, int port, int count) {
  if (current.size() <= eerom::kVariant) return false;
  return IsFiberPortOfVariant(current[eerom::kVariant], port, count);
}

// One port's two bytes, built from zero.
void EncodePort(const CPortSettings& p, bool fiber, bool fiber_auto_allowed, std::uint8_t* high,
                std::uint8_t* low) {
  const bool admin = fw::EqualsNoCase(p.admin, "Enabled");
  const bool autoneg = p.negotiation == "Auto";
  std::uint8_t lo = 0, hi = 0;
  if (fiber) {
    SetBit(lo, 0, p.flowControl != 0);
    SetBit(lo, 1, true);
    SetBit(lo, 5, fiber_auto_allowed && autoneg);
    SetBit(lo, 6, admin);
  } else {
    SetBit(lo, 0, p.flowControl != 0);
    SetBit(lo, 1, p.full100 != 0);
    SetBit(lo, 2, p.half100 != 0);
    SetBit(lo, 3, p.full10 != 0);
    SetBit(lo, 4, p.half10 != 0);
    SetBit(lo, 5, autoneg);
    SetBit(lo, 6, admin);
    SetBit(lo, 7, p.full1000 != 0);
    SetBit(hi, 0, p.half1000 != 0);
  }
  *high = hi;
  *low = lo;
}

// A dotted address text as four bytes; an empty gateway means none.
bool ParseIp(const std::string& text, bool empty_is_zero, std::uint8_t out[4]) {
  const std::string t = fw::Trim(text);
  if (t.empty() && empty_is_zero) {
    std::fill(out, out + 4, 0);
    return true;
  }
  in_addr a{};
  if (inet_pton(AF_INET, t.c_str(), &a) != 1) return false;
  std::memcpy(out, &a.s_addr, 4);  // network order: most significant byte first
  return true;
}

// A name as the switch keeps it: Windows-1252, a character without a form
// there as '?' (never the UTF-8 bytes, which would read back as other letters).
std::string EeromText(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n =
        std::min(fw::Utf8SequenceLength(static_cast<unsigned char>(text[i])), text.size() - i);
    std::string one;
    out += fw::Utf8ToCp1252(text.substr(i, n), one) ? one : std::string("?");
    i += n;
  }
  return out;
}

char Printable(std::uint8_t c) {
  return c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
}

}  // namespace

bool FirmwareVersionOf(const std::vector<std::uint8_t>& image, int* major, int* minor) {
  int digits[4];
  for (int i = 0; i < 4; ++i) {
    const std::uint8_t c = Get(image, eerom::kRevision + static_cast<std::size_t>(i));
    if (c < '0' || c > '9') return false;
    digits[i] = c - '0';
  }
  *major = digits[0] * 10 + digits[1];
  *minor = digits[2] * 10 + digits[3];
  return true;
}

bool IsFiberPortOfVariant(std::uint8_t variant, int port, int count) {
  if (variant == 2 || variant == 3) return port == count - 1;
  if (variant == 4 || variant == 5) return port > count - 3;
  return false;
}

int BuildConfigImage(const std::vector<std::uint8_t>& current, const CSwitchConfig& config,
                     const CSwitchEntry& entry, std::vector<std::string>& messages,
                     std::vector<std::uint8_t>* out) {
  if (current.empty()) return kImageRefused;
  std::vector<std::uint8_t> image = current;
  const int ports = std::clamp(config.GetPortCount(), 0, eerom::kMaxPorts);

  // Firmware before 01.03 knows neither a chosen master nor OK output triggers.
  int major = 0, minor = 0;
  const bool known = FirmwareVersionOf(current, &major, &minor);
  const bool old_firmware = !known || major < 1 || (major == 1 && minor < 3);
  std::string version_note;
  {
    const char c[4] = {Printable(Get(current, 232)), Printable(Get(current, 233)),
                       Printable(Get(current, 234)), Printable(Get(current, 235))};
    version_note = fw::FormatText("\n\n(%s %c%c%c%c %s)", LoadResString(IDS_FIRMWARE_VERSION), c[0],
                                  c[1], c[2], c[3], LoadResString(IDS_DETECTED));
  }
  bool version_told = false;
  int result = kImageOk;

  // Ports.
  int enabled = 0;
  const bool fiber_auto = entry.GetPart().partNumber == "QV-9KX-xx";
  for (int i = 0; i < ports; ++i) {
    const CPortSettings* p = config.GetPort(i);
    if (!p) continue;
    if (fw::EqualsNoCase(p->admin, "Enabled")) ++enabled;
    std::uint8_t hi, lo;
    EncodePort(*p, IsFiberPort(current, i, ports), fiber_auto, &hi, &lo);
    Put(image, eerom::kPorts + 2u * i, hi);
    Put(image, eerom::kPorts + 2u * i + 1, lo);
  }
  if (enabled == 0) {
    messages.push_back(LoadResString(IDS_NO_PORTS_ENABLED));
    return kImageRefused;
  }

  // Rings.
  const bool keep_master = config.GetMasterMode() == 1 && old_firmware;
  if (keep_master) {
    messages.push_back(LoadResString(IDS_NOTICE_MASTER_FIRMWARE) + version_note);
    version_told = true;
    result = kImageNotice;
  }
  const int rings = std::clamp(config.GetNumRings(), 0, eerom::kRingCount);
  for (int r = 0; r < rings; ++r) {
    const CRingSettings* ring = config.GetRing(r);
    if (!ring) continue;
    const std::size_t at = eerom::kRings + static_cast<std::size_t>(eerom::kRingSize) * r;
    auto number = [&](int port) -> std::uint8_t {
      return ring->enabled && port >= 0 && port < ports ? static_cast<std::uint8_t>(port + 1) : 0;
    };
    const std::uint8_t primary = number(ring->primaryPort), backup = number(ring->backupPort);
    Put(image, at, primary);
    Put(image, at + 1, backup);
    Put(image, at + 2, 0);
    Put(image, at + 3, ring->enabled ? 15 : 0);
    // The notice promises that the master selection stays automatic: leave it.
    if (!keep_master) {
      if (config.GetMasterMode() == 1)
        Put(image, at + 4, std::max(primary, backup));
      else if (config.GetMasterMode() == 0)
        Put(image, at + 4, 0);
    }
    Put(image, at + 5, backup < primary ? 1 : 0);
    Put(image, at + 6, 0);
    Put(image, at + 7, 0);
  }

  // Mirroring.
  const auto pairs = config.MirrorPairs().Entries();
  for (int j = 0; j < ports; ++j) {
    std::uint8_t hi = 0, lo = 0;
    bool any = false;
    for (const auto& e : pairs) {
      if (e.source != j || e.value == 0 || e.monitor < 0 || e.monitor >= ports) continue;
      any = true;
      if (e.monitor < 8)
        lo = static_cast<std::uint8_t>(lo | (1u << e.monitor));
      else
        hi = static_cast<std::uint8_t>(hi | (1u << (e.monitor - 8)));
    }
    if (any && config.GetMirrorSourceMode(j) == 1) hi |= 0x80;
    Put(image, eerom::kMirroring + 2u * j, hi);
    Put(image, eerom::kMirroring + 2u * j + 1, lo);
  }

  // Name: the switch shows Windows-1252 bytes.
  {
    const std::string bytes = EeromText(entry.GetName());
    for (int i = 0; i < eerom::kNameSize; ++i)
      Put(image, eerom::kName + static_cast<std::size_t>(i),
          i < static_cast<int>(bytes.size()) ? static_cast<std::uint8_t>(bytes[i]) : 0);
  }

  // Priority and tagging.
  for (int i = 0; i < ports; ++i) {
    const CPortSettings* p = config.GetPort(i);
    if (!p) continue;
    const std::size_t at = eerom::kPriority + static_cast<std::size_t>(eerom::kPrioritySize) * i;
    std::uint8_t b0 = Get(image, at), b1 = Get(image, at + 1);
    if (p->outputTag == "Unchanged") {
      SetBit(b0, 4, false);
      SetBit(b0, 3, false);
    } else if (p->outputTag == "Remove Tag") {
      SetBit(b0, 4, false);
      SetBit(b0, 3, true);
    } else if (p->outputTag == "Add Tag") {
      SetBit(b0, 4, true);
      SetBit(b0, 3, false);
    }
    if (p->precedence == "Use Tag")
      SetBit(b0, 2, true);
    else if (p->precedence == "Use IP")
      SetBit(b0, 2, false);
    SetBit(b0, 1, p->useIP != 0);
    SetBit(b0, 0, p->useTag != 0);
    static const char* const kPriorities[] = {"Background", "Normal", "Expedited", "Urgent"};
    for (int v = 0; v < 4; ++v)
      if (p->priority == kPriorities[v]) b1 = static_cast<std::uint8_t>((b1 & ~3u) | v);
    Put(image, at, b0);
    Put(image, at + 1, b1);
    Put(image, at + 2, p->broadcastLimit ? 0xB8 : 0);
    Put(image, at + 3, p->broadcastLimit ? 0x74 : 0);
    for (int k = 4; k < 8; ++k) Put(image, at + static_cast<std::size_t>(k), 0);
  }

  // Tag mapping and scheduling.
  unsigned map = 0;
  for (int t = 0; t < 8; ++t) map |= (config.GetTagMapping(t) & 3u) << (2 * t);
  Put(image, eerom::kTagMapping, static_cast<std::uint8_t>(map >> 8));
  Put(image, eerom::kTagMapping + 1, static_cast<std::uint8_t>(map));
  Put(image, eerom::kSendHigh, 0);
  Put(image, eerom::kSendHigh + 1, config.GetSendHigh() ? 1 : 0);

  // IP settings. A text that is no address is refused, never sent as a guess.
  {
    std::uint8_t ip[4] = {}, mask[4] = {}, gw[4] = {};
    const bool modbus = entry.GetModbusEnable() != 0;
    if (modbus) {
      for (const auto& [text, bytes, empty_ok] :
           {std::tuple{entry.GetIP(), ip, false}, std::tuple{entry.GetSubnet(), mask, false},
            std::tuple{entry.GetGateway(), gw, true}}) {
        if (!ParseIp(text, empty_ok, bytes)) {
          messages.push_back(FormatRes(IDS_INVALID_IP_ADDRESS, text));
          return kImageRefused;
        }
      }
    }
    for (int i = 0; i < 4; ++i) {
      Put(image, eerom::kIp + static_cast<std::size_t>(i), ip[i]);
      Put(image, eerom::kSubnet + static_cast<std::size_t>(i), mask[i]);
      Put(image, eerom::kGateway + static_cast<std::size_t>(i), gw[i]);
    }
    Put(image, eerom::kModbusPort, modbus ? 502 >> 8 : 0);
    Put(image, eerom::kModbusPort + 1, modbus ? 502 & 0xFF : 0);
    Put(image, eerom::kModbusAddress,
        modbus ? static_cast<std::uint8_t>(entry.GetModbusAddress()) : 0);
  }

  // OK output triggers, only where the image has them.
  if (current.size() > eerom::kOkOutput + 1u) {
    const unsigned long t = config.GetOKOutputTriggers();
    if (old_firmware && (t & 0xF) != 0xF) {
      // The notice says the OK output is not changed: leave its bytes as read.
      messages.push_back(LoadResString(IDS_NOTICE_OK_TRIGGERS_FIRMWARE) +
                         (version_told ? "" : version_note));
      result = kImageNotice;
    } else {
      std::uint8_t b288 = 0x80, b289 = 0;
      if (t & 8) b288 |= 0x03;
      if (t & 1) b289 |= 0x01;
      if (t & 2) b289 |= 0x02;
      if (t & 4) b289 |= 0x3C;
      if (t & 8) b289 |= 0xC0;
      Put(image, eerom::kOkOutput, b288);
      Put(image, eerom::kOkOutput + 1, b289);
    }
  }

  *out = std::move(image);
  return result;
}

std::vector<CImageRun> DiffImages(const std::vector<std::uint8_t>& before,
                                  const std::vector<std::uint8_t>& after) {
  std::vector<CImageRun> runs;
  const std::size_t n = std::min({before.size(), after.size(), std::size_t{0x10000}});
  for (std::size_t i = 0; i < n;) {
    if (before[i] == after[i]) {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < n && before[j] != after[j]) ++j;
    runs.push_back(CImageRun{static_cast<std::uint16_t>(i), static_cast<std::uint16_t>(j - i)});
    i = j;
  }
  return runs;
}

std::uint32_t TakeOverBits(const std::vector<CImageRun>& runs) {
  struct Group {
    unsigned first, end;  // [first, end)
    std::uint32_t bit;
  };
  static const Group kGroups[] = {
      {eerom::kOkOutput, eerom::kOkOutput + 2u, kTakeOverOkOutput},
      {eerom::kPorts, eerom::kPorts + 2u * eerom::kMaxPorts, kTakeOverPorts},
      {eerom::kRings, eerom::kRings + 8u * eerom::kRingCount, kTakeOverRings},
      {eerom::kIp, eerom::kModbusAddress + 1u, kTakeOverIp},
      {eerom::kMirroring, eerom::kMirroring + 2u * eerom::kMaxPorts, kTakeOverMirroring},
      {eerom::kPriority, 0x10000, kTakeOverPriorities},
  };
  std::uint32_t bits = 0;
  for (const auto& r : runs) {
    const unsigned first = r.start, end = r.start + r.length;
    for (const auto& g : kGroups)
      if (first < g.end && end > g.first) bits |= g.bit;
  }
  return bits;
}

bool TouchesMasterSelection(const std::vector<CImageRun>& runs) {
  for (const auto& r : runs)
    for (int ring = 0; ring < eerom::kRingCount; ++ring) {
      const unsigned master = eerom::kRings + 8u * ring + 4u;
      if (r.start <= master && master < static_cast<unsigned>(r.start) + r.length) return true;
    }
  return false;
}

int CSwitchDiscovery::SwitchLoadConfigOp(CSwitchEntry& entry, const CSwitchConfig& config,
                                         std::string* error) {
  auto append = [error](const std::string& text) {
    if (error) *error += text;
  };
  std::vector<std::string> messages;
  if (config.CheckSpeeds(messages) != CSwitchConfig::kSpeedsOk) {
    for (const auto& m : messages) append(m + "\n");
    return kCommFailed;
  }
  const std::string mac = entry.GetMacText(true);
  std::string device;
  // The user sees that the switch is being looked for.
  if (FindInterfaceOfSwitch(mac, &device, kFindShowSearching) != kSwitchFound) {
    append(fw::FormatText("%s <%s>.\n", LoadResString(IDS_SWITCH_MAC_NOT_FOUND), mac));
    return kCommFailed;
  }
  IOperationUi& ui = Ui();
  ui.ShowStatus(LoadResString(optext::kStatusTexts[optext::kReading]));
  CommPumpMessagesFor(kReadPause);

  // From here every way out closes the device and the status window.
  struct Cleanup {
    CSwitchDiscovery& d;
    ~Cleanup() {
      d.CommClose();
      d.Ui().HideStatus();
    }
  } cleanup{*this};
  auto line = [&](const std::string& text) {
    append(FormatMacText(Target().data(), "", " ") + text + "\n");
  };

  CCfgBlock block;
  block.AddRequest(kEeromRead, eerom::kName, 32);
  block.AddRequest(kEeromRead, eerom::kConfigName, 32);
  block.AddRequest(kEeromRead, eerom::kRevision, 4);
  block.AddRequest(kEeromRead, eerom::kIdentity, 6);
  block.AddRequest(kEeromRead, eerom::kOkOutput, 2);
  block.AddRequest(kEeromRead, eerom::kPorts, 2 * eerom::kMaxPorts);
  block.AddRequest(kEeromRead, eerom::kRings, 8 * eerom::kRingCount);
  block.AddRequest(kEeromRead, eerom::kIp, 32);
  block.AddRequest(kEeromRead, eerom::kMirroring, 2 * eerom::kMaxPorts);
  const int ports = std::clamp(config.GetPortCount(), 0, eerom::kMaxPorts);
  for (int i = 0; i < ports; ++i)
    block.AddRequest(kEeromRead, static_cast<std::uint16_t>(eerom::kPriority + 8 * i), 8);
  block.AddRequest(kEeromRead, eerom::kTagMapping, 2);
  block.AddRequest(kEeromRead, eerom::kSendHigh, 2);

  std::uint8_t local[6];
  if (CommOpenDevice(device, local, error) != kCommOk) return kCommFailed;
  if (!CommSetTargetMac(mac)) {
    append(fw::FormatText("%s <%s>.\n", LoadResString(IDS_SWITCH_MAC_NOT_FOUND), mac));
    return kCommFailed;
  }
  block.SetSwitchAddress(Target());
  if (Run(block, error) != kEeromOk) return kCommFailed;

  std::vector<std::uint8_t> current;
  block.CopyWordMapToBytes(&current);
  ui.ShowStatus(LoadResString(optext::kStatusTexts[optext::kComparing]));
  std::uint8_t id[6];
  for (int i = 0; i < 6; ++i) {
    if (!block.LookupByte(static_cast<std::uint16_t>(eerom::kIdentity + i), &id[i])) {
      line(LoadResString(IDS_FAILED_READING_TYPE));
      return kCommFailed;
    }
  }
  const std::string part = CSwitchConfigStore::PartNumberFromIdentity(id);
  if (part != entry.GetPart().partNumber) {
    line(FormatRes(IDS_PART_NUMBER_MISMATCH, entry.GetPart().partNumber, part));
    return kCommFailed;
  }

  std::vector<std::uint8_t> image;
  const int built = BuildConfigImage(current, config, entry, messages, &image);
  if (built == kImageRefused) {
    if (messages.empty()) line(LoadResString(IDS_NO_PORTS_ENABLED));
    for (const auto& m : messages) line(m);
    return kCommFailed;
  }
  if (built == kImageNotice) {
    std::string text;
    for (const auto& m : messages) text += (text.empty() ? "" : "\n\n") + m;
    AfxMessageBox(text, MB_OK | MB_ICONINFORMATION);
  }

  const std::vector<CImageRun> runs = DiffImages(current, image);
  if (!runs.empty()) {
    ui.ShowStatus(LoadResString(optext::kStatusTexts[optext::kWriting]));
    block.Clear(true);
    for (const auto& r : runs) block.AddRequest(kEeromWrite, r.start, r.length, &image[r.start]);
    if (Run(block, error) != kEeromOk) return kCommFailed;

    // When the configuration was loaded, and which one.
    const auto now = static_cast<std::uint32_t>(std::time(nullptr));
    const std::uint8_t stamp[4] = {
        static_cast<std::uint8_t>(now >> 24), static_cast<std::uint8_t>(now >> 16),
        static_cast<std::uint8_t>(now >> 8), static_cast<std::uint8_t>(now)};
    block.Clear(true);
    block.AddRequest(kEeromWrite, eerom::kLoadTime, 4, stamp);
    if (Run(block, error) != kEeromOk) return kCommFailed;
    std::string name = EeromText(config.GetName());
    if (name.size() > eerom::kConfigNameSize) name.resize(eerom::kConfigNameSize);
    std::vector<std::uint8_t> name_bytes(name.begin(), name.end());
    if (name_bytes.size() < eerom::kConfigNameSize) name_bytes.push_back(0);
    block.Clear(true);
    block.AddRequest(kEeromWrite, eerom::kConfigName, static_cast<std::uint16_t>(name_bytes.size()),
                     name_bytes.data());
    if (Run(block, error) != kEeromOk) return kCommFailed;

    if (TouchesMasterSelection(runs)) {
      // The switch reads the master selection only when it starts.
      if (ControlRequest(kControlRestart, 0, error) != kCommOk) return kCommFailed;
      CommClose();
      ui.ShowStatus(LoadResString(optext::kStatusTexts[optext::kResetting]));
      CommPumpMessagesFor(kRestartPause);
      ui.ShowStatus(LoadResString(optext::kStatusTexts[optext::kContacting]));
      if (FindInterfaceOfSwitch(mac, &device, 0) != kSwitchFound) {
        line(LoadResString(IDS_NO_RESPONSE_AFTER_REBOOT));
        return kCommFailed;
      }
    } else if (const std::uint32_t bits = TakeOverBits(runs); bits != 0) {
      if (ControlRequest(bits, 0, error) != kCommOk) return kCommFailed;
    }
  }
  CommClose();
  ui.HideStatus();
  const std::string done = LoadResString(IDS_LOAD_COMPLETE);
  MessageBoxCaption(done, done);
  return kCommOk;
}
