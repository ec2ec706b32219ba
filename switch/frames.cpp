#include "switch/frames.h"

#include <algorithm>
#include <cstring>

namespace fw::frames {
namespace {

constexpr std::uint8_t kSignature[] = {0x88, 0xB7, 0x02, 0x4B, 0x33, 0x00, 0x02};
constexpr std::uint8_t kMarker[] = {0x12, 0x34, 0x56, 0x78};
constexpr std::size_t kTagSize = 4;

bool Tagged(std::span<const std::uint8_t> f) {
  return f.size() >= 14 + kTagSize && f[12] == 0x81 && f[13] == 0x00;
}

bool HasSignature(std::span<const std::uint8_t> f) {
  return f.size() >= kMinReply &&
         std::equal(std::begin(kSignature), std::end(kSignature), f.begin() + 12);
}

}  // namespace

std::uint16_t ReadBE16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}
std::uint32_t ReadBE32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
         p[3];
}
void WriteBE16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v >> 8);
  p[1] = static_cast<std::uint8_t>(v);
}
void WriteBE32(std::uint8_t* p, std::uint32_t v) {
  WriteBE16(p, static_cast<std::uint16_t>(v >> 16));
  WriteBE16(p + 2, static_cast<std::uint16_t>(v));
}

std::vector<std::uint8_t> BuildRequest(const MacAddress& target, const MacAddress& local,
                                       std::uint16_t command, std::span<const std::uint8_t> data) {
  std::vector<std::uint8_t> f(std::max(kMinFrame, kHeaderSize + data.size()), 0);
  std::copy(target.begin(), target.end(), f.begin());
  std::copy(local.begin(), local.end(), f.begin() + 6);
  std::copy(std::begin(kSignature), std::end(kSignature), f.begin() + 12);
  WriteBE16(&f[19], command);
  std::copy(std::begin(kMarker), std::end(kMarker), f.begin() + 21);
  std::copy(target.begin(), target.end(), f.begin() + 25);
  std::copy(data.begin(), data.end(), f.begin() + kHeaderSize);
  return f;
}

std::vector<std::uint8_t> BuildNop(const MacAddress& target, const MacAddress& local) {
  return BuildRequest(target, local, kCmdNop);
}

std::vector<std::uint8_t> BuildStatusRead(const MacAddress& target, const MacAddress& local) {
  std::uint8_t data[4];
  WriteBE32(data, 1);
  return BuildRequest(target, local, kCmdStatus, data);
}

std::vector<std::uint8_t> BuildControl(const MacAddress& target, const MacAddress& local,
                                       std::uint32_t value) {
  std::uint8_t data[4];
  WriteBE32(data, value);
  return BuildRequest(target, local, kCmdControl, data);
}

std::vector<std::uint8_t> BuildLoadBlock(const MacAddress& target, const MacAddress& local,
                                         std::uint16_t position,
                                         std::span<const std::uint8_t> block) {
  if (block.size() > kMaxLoadBlock) return {};
  std::vector<std::uint8_t> data(2 + block.size());
  WriteBE16(data.data(), position);
  std::copy(block.begin(), block.end(), data.begin() + 2);
  return BuildRequest(target, local, kCmdLoadBlock, data);
}

bool IsProtocolFrame(std::span<const std::uint8_t> frame) {
  if (HasSignature(frame)) return true;
  if (!Tagged(frame) || frame.size() < kMinReply + kTagSize) return false;
  return std::equal(std::begin(kSignature), std::end(kSignature), frame.begin() + 12 + kTagSize);
}

bool ExtractReply(std::span<const std::uint8_t> frame, std::vector<std::uint8_t>* reply) {
  reply->assign(frame.begin(), frame.end());
  if (!HasSignature(*reply) && Tagged(*reply)) {
    // The tag is removed from our copy only: the capture buffer is the library's.
    reply->erase(reply->begin() + 12, reply->begin() + 12 + kTagSize);
  }
  return HasSignature(*reply) && ((*reply)[kFlagsOffset] & kFlagReply) != 0;
}

MacAddress Destination(std::span<const std::uint8_t> reply) {
  MacAddress m{};
  if (reply.size() >= 6) std::copy_n(reply.begin(), 6, m.begin());
  return m;
}

std::uint16_t ReplyCommand(std::span<const std::uint8_t> reply) {
  return reply.size() > kFlagsOffset + 1 ? reply[kFlagsOffset + 1] : 0;
}

MacAddress Source(std::span<const std::uint8_t> reply) {
  MacAddress m{};
  if (reply.size() >= 12) std::copy_n(reply.begin() + 6, 6, m.begin());
  return m;
}

void SwitchStatusInit(CSwitchStatus* s) {
  s->nPorts = s->nRingState = s->nRingTop = 0;
  s->bRingFlag08 = s->bRingFlag10 = s->bRingFlag20 = false;
  for (int i = 0; i < 9; ++i) {
    s->nPortLink[i] = s->nPortBit04[i] = s->nPortBit08[i] = s->nPortBits30[i] = 0;
  }
}

StatusParse ParseStatusReply(std::span<const std::uint8_t> reply, CSwitchStatus* s) {
  constexpr std::size_t kPortCount = 35, kRingFlags = 36, kFirstPort = 39;
  if (reply.size() <= kRingFlags) return StatusParse::kTooShort;
  const std::size_t ports = reply[kPortCount];
  const bool too_many = ports > kMaxPorts;
  if (!too_many && reply.size() < kFirstPort + ports) return StatusParse::kTooShort;
  const std::uint8_t ring = reply[kRingFlags];
  s->nPorts = static_cast<int>(ports);
  const int state = ring & 0x07;
  s->nRingState = (state == 0 || state == 1 || state == 2 || state == 7) ? state : 0;
  s->bRingFlag08 = (ring & 0x08) != 0;
  s->bRingFlag10 = (ring & 0x10) != 0;
  s->bRingFlag20 = (ring & 0x20) != 0;
  s->nRingTop = ring >> 6;
  if (too_many) return StatusParse::kTooManyPorts;
  for (std::size_t i = 0; i < ports; ++i) {
    const std::uint8_t b = reply[kFirstPort + i];
    s->nPortLink[i] = b & 0x03;
    s->nPortBit04[i] = b & 0x04;
    s->nPortBit08[i] = b & 0x08;
    s->nPortBits30[i] = b & 0x30;
  }
  return StatusParse::kOk;
}

int LoadStatus(std::span<const std::uint8_t> reply) {
  if (reply.size() <= 32) return kLoadStatusTooShort;
  return reply[32];
}

}  // namespace fw::frames
