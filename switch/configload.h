// The EEROM image a ring switch works from, and how a configuration and a
// switch entry are encoded into it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CSwitchConfig;
class CSwitchEntry;

// EEROM addresses of the settings (multi-byte values big-endian).
namespace eerom {
constexpr std::uint16_t kName = 32, kNameSize = 32;
constexpr std::uint16_t kConfigName = 144, kConfigNameSize = 32;
constexpr std::uint16_t kLoadTime = 184;
constexpr std::uint16_t kRevision = 232, kRevisionSize = 24;
constexpr std::uint16_t kIdentity = 280, kIdentitySize = 6;
constexpr std::uint16_t kVariant = 285;
constexpr std::uint16_t kOkOutput = 288;
constexpr std::uint16_t kPorts = 512;
constexpr std::uint16_t kRings = 768, kRingSize = 8;
constexpr std::uint16_t kIp = 960, kSubnet = 964, kGateway = 968;
constexpr std::uint16_t kModbusPort = 980, kModbusAddress = 982;
constexpr std::uint16_t kMirroring = 1024;
constexpr std::uint16_t kPriority = 1280, kPrioritySize = 8;
constexpr std::uint16_t kTagMapping = 1536;
constexpr std::uint16_t kSendHigh = 1538;
constexpr int kMaxPorts = 9;
constexpr int kRingCount = 4;
}  // namespace eerom

// Control bits that make a switch take over a group of changed settings.
enum : std::uint32_t {
  kTakeOverPorts = 0x08,
  kTakeOverRings = 0x10,
  kTakeOverPriorities = 0x20,
  kTakeOverIp = 0x40,
  kTakeOverMirroring = 0x100,
  kTakeOverOkOutput = 0x200,
};

enum ConfigImageResult : int {
  kImageOk = 0,
  kImageRefused = -1,  // nothing to write: see the messages
  kImageNotice = -3,   // complete, with notices the user is shown
};

// Whether port (from 0) of a switch with count ports is a fibre port, by the
// model variant of its identity (EEROM byte 285).
bool IsFiberPortOfVariant(std::uint8_t variant, int port, int count);

// Encodes the configuration and the entry into a copy of the switch's current
// image. kImageRefused when the image is empty, no port is enabled or an IP
// text is not an address (a message says which); kImageNotice when a notice was
// added. Where a notice says a setting stays as it is, its bytes are left as read.
[[nodiscard]] int BuildConfigImage(const std::vector<std::uint8_t>& current,
                                   const CSwitchConfig& config, const CSwitchEntry& entry,
                                   std::vector<std::string>& messages,
                                   std::vector<std::uint8_t>* image);

// A run of consecutive bytes in which two images differ.
struct CImageRun {
  std::uint16_t start = 0;
  std::uint16_t length = 0;
};
// The runs over the shorter of the two images, in address order.
std::vector<CImageRun> DiffImages(const std::vector<std::uint8_t>& before,
                                  const std::vector<std::uint8_t>& after);
// The take-over bits of the setting groups the runs touch (any byte of a
// group's range counts).
std::uint32_t TakeOverBits(const std::vector<CImageRun>& runs);
// True when a run covers the master selection byte of a ring: that change
// needs a restart.
bool TouchesMasterSelection(const std::vector<CImageRun>& runs);

// "MMmm" at 232..235 as major and minor numbers; false when they are not digits.
bool FirmwareVersionOf(const std::vector<std::uint8_t>& image, int* major, int* minor);
