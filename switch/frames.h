// Frames of the switch management protocol: request builders and reply
// parsers. Every parser checks the captured length before it reads an offset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "switch/capturebackend.h"

namespace fw::frames {

constexpr std::uint16_t kEtherType = 0x88B7;
constexpr std::size_t kHeaderSize = 31;  // command data starts here
constexpr std::size_t kMinFrame = 60;    // Ethernet minimum without the FCS
constexpr std::size_t kMinReply = 20;    // up to and including the flags byte
constexpr std::size_t kMaxPorts = 64;
constexpr std::size_t kFlagsOffset = 19;

enum Command : std::uint16_t {
  kCmdNop = 1,
  kCmdStatus = 3,
  kCmdEerom = 4,
  kCmdLoadBlock = 5,
  kCmdControl = 6,
};

enum ReplyFlag : std::uint8_t { kFlagReply = 0x80, kFlagError = 0x40, kFlagSuccess = 0x20 };

// Block positions of a firmware load.
enum BlockPosition : std::uint16_t { kBlockMiddle = 0, kBlockFirst = 1, kBlockLast = 2 };
// The largest firmware block one load request carries.
constexpr std::size_t kMaxLoadBlock = 67;

// A request: zero-filled header, command, marker, target again, then data from
// offset 31. At least 60 bytes long.
std::vector<std::uint8_t> BuildRequest(const MacAddress& target, const MacAddress& local,
                                       std::uint16_t command,
                                       std::span<const std::uint8_t> data = {});
std::vector<std::uint8_t> BuildNop(const MacAddress& target, const MacAddress& local);
std::vector<std::uint8_t> BuildStatusRead(const MacAddress& target, const MacAddress& local);
std::vector<std::uint8_t> BuildControl(const MacAddress& target, const MacAddress& local,
                                       std::uint32_t value);
// Empty when the block is longer than kMaxLoadBlock.
std::vector<std::uint8_t> BuildLoadBlock(const MacAddress& target, const MacAddress& local,
                                         std::uint16_t position,
                                         std::span<const std::uint8_t> block);

// True when the frame header (with or without one 802.1Q tag) carries the
// protocol, whatever the reply flag says.
bool IsProtocolFrame(std::span<const std::uint8_t> frame);

// Copies a received frame into *reply with one 802.1Q tag removed and returns
// true when it is a reply (protocol header, flag 0x80, at least 20 bytes).
[[nodiscard]] bool ExtractReply(std::span<const std::uint8_t> frame,
                                std::vector<std::uint8_t>* reply);

MacAddress Destination(std::span<const std::uint8_t> reply);  // zero when short
// The command a reply answers (byte 20 keeps the command's low byte beside the
// flags); 0 when the reply is too short to tell.
std::uint16_t ReplyCommand(std::span<const std::uint8_t> reply);
MacAddress Source(std::span<const std::uint8_t> reply);

// What a status read reports.
struct CSwitchStatus {
  int nPorts = 0;
  int nRingState = 0;
  bool bRingFlag08 = false, bRingFlag10 = false, bRingFlag20 = false;
  int nRingTop = 0;
  int nPortLink[kMaxPorts] = {};    // low two bits
  int nPortBit04[kMaxPorts] = {};   // 0 or 4
  int nPortBit08[kMaxPorts] = {};   // 0 or 8
  int nPortBits30[kMaxPorts] = {};  // 0, 16, 32 or 48
};
void SwitchStatusInit(CSwitchStatus* status);

enum class StatusParse { kOk, kTooManyPorts, kTooShort };
// Fills *status from a status reply. On kTooManyPorts the header values are
// filled and the per-port arrays left as they were; on kTooShort nothing changes.
[[nodiscard]] StatusParse ParseStatusReply(std::span<const std::uint8_t> reply,
                                           CSwitchStatus* status);

// The load status a switch reports at offset 32 of a load-block reply.
enum LoadStatusValue : int {
  kLoadStatusTooShort = -1,  // the reply does not hold it
  kLoadStatusWriteFailed = 2,
  kLoadStatusInvalidData = 3,
  kLoadStatusEraseFailed = 4,
  kLoadStatusVerifyFailed = 5,
};
// The load status of a load-block reply: a LoadStatusValue when it is one of those.
[[nodiscard]] int LoadStatus(std::span<const std::uint8_t> reply);

std::uint16_t ReadBE16(const std::uint8_t* p);
std::uint32_t ReadBE32(const std::uint8_t* p);
void WriteBE16(std::uint8_t* p, std::uint16_t v);
void WriteBE32(std::uint8_t* p, std::uint32_t v);

}  // namespace fw::frames
