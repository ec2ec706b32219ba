#include "tests/emulator/switch_core.h"

#include <algorithm>
#include <cstring>

#include "switch/frames.h"

namespace fw::emu {

using namespace fw::frames;

CSwitchCore::CSwitchCore(const MacAddress& mac, int ports)
    : mac_(mac), eerom_(kEeromSize, 0xFF), ports_(static_cast<std::size_t>(ports), 0) {
  // Identity: a 9-port unit of variant 2; port bytes show links up on the first two ports.
  std::fill(eerom_.begin() + 280, eerom_.begin() + 286, 0);
  eerom_[280] = 0x01;
  eerom_[281] = 0x02;
  eerom_[283] = static_cast<std::uint8_t>(ports);
  eerom_[285] = 2;
  SetName("Emulated switch");
  SetRevision("2.14");
  for (std::size_t i = 288; i < 1024; ++i) eerom_[i] = static_cast<std::uint8_t>(i * 7 + 3);
  if (ports > 0) ports_[0] = 0x01;
  if (ports > 1) ports_[1] = 0x15;
}

void CSwitchCore::SetName(const std::string& name) {
  std::fill(eerom_.begin() + 32, eerom_.begin() + 64, 0);
  std::memcpy(&eerom_[32], name.data(), std::min<std::size_t>(name.size(), 32));
}

void CSwitchCore::SetRevision(const std::string& revision) {
  std::fill(eerom_.begin() + 232, eerom_.begin() + 248, 0);
  std::memcpy(&eerom_[232], revision.data(), std::min<std::size_t>(revision.size(), 16));
}

void CSwitchCore::SetPortByte(int port, std::uint8_t value) {
  if (port >= 0 && static_cast<std::size_t>(port) < ports_.size())
    ports_[static_cast<std::size_t>(port)] = value;
}

void CSwitchCore::PowerCycle(std::uint64_t now) {
  boot_monitor_ = true;
  silent_until_ = now + knobs_.restart_ms;
}

std::vector<std::uint8_t> CSwitchCore::Reply(std::span<const std::uint8_t> request,
                                             std::uint8_t flags,
                                             std::span<const std::uint8_t> data) const {
  MacAddress to = Source(request);
  if (knobs_.misaddressed) to[5] ^= 0x5A;
  std::vector<std::uint8_t> f(std::max(kMinFrame, kHeaderSize + data.size()), 0);
  std::copy(to.begin(), to.end(), f.begin());
  std::copy(mac_.begin(), mac_.end(), f.begin() + 6);
  std::copy(request.begin() + 12, request.begin() + 31, f.begin() + 12);
  f[19] = knobs_.force_flags ? knobs_.force_flags : flags;
  f[20] = request[20];
  std::copy(data.begin(), data.end(), f.begin() + kHeaderSize);
  if (knobs_.vlan_tagged) {
    const std::uint8_t tag[4] = {0x81, 0x00, static_cast<std::uint8_t>(knobs_.vlan_id >> 8),
                                 static_cast<std::uint8_t>(knobs_.vlan_id)};
    f.insert(f.begin() + 12, tag, tag + 4);
  }
  return f;
}

namespace {
// True when any entry of an EEROM request writes.
bool EeromRequestWrites(std::span<const std::uint8_t> request) {
  for (std::size_t pos = 33; pos + 4 <= request.size();) {
    const std::uint8_t kind = request[pos], len = request[pos + 1];
    if (kind == 0 || len == 0) break;
    if ((kind & 0x03) == 2) return true;
    pos += 4 + std::size_t{len};
  }
  return false;
}
}  // namespace

std::vector<std::uint8_t> CSwitchCore::Eerom(std::span<const std::uint8_t> request) {
  std::vector<std::uint8_t> data(2, 0);
  if (knobs_.busy_replies > 0) {
    --knobs_.busy_replies;
    WriteBE16(data.data(), 1);
    data.insert(data.end(), 4, 0);
    return data;
  }
  WriteBE16(data.data(), static_cast<std::uint16_t>(knobs_.eerom_status));
  std::size_t pos = 33;
  bool first = true;
  while (pos + 4 <= request.size() && !knobs_.empty_eerom_reply) {
    const std::uint8_t kind = request[pos];
    const std::uint8_t len = request[pos + 1];
    std::uint16_t start = ReadBE16(&request[pos + 2]);
    if (kind == 0 || len == 0) break;
    const bool fits = std::size_t{start} + len <= eerom_.size() && pos + 4 + len <= request.size();
    std::uint8_t verdict = fits ? 0x80 : 0x40;
    if (knobs_.failed_entries.count(start)) verdict = 0x40;
    if (knobs_.unconfirmed_entries.count(start)) verdict = 0;
    if (verdict == 0x80 && (kind & 0x03) == 2) {
      std::copy_n(request.begin() + static_cast<std::ptrdiff_t>(pos + 4), len,
                  eerom_.begin() + start);
    }
    if (knobs_.foreign_entry && first) start = static_cast<std::uint16_t>(start + 1);
    first = false;
    data.push_back(static_cast<std::uint8_t>(verdict | (kind & 0x03)));
    data.push_back(len);
    data.push_back(static_cast<std::uint8_t>(start >> 8));
    data.push_back(static_cast<std::uint8_t>(start));
    if ((kind & 0x03) == 1) {
      for (std::size_t i = 0; i < len; ++i) {
        data.push_back(verdict == 0x80 ? eerom_[start + i] : 0);
      }
    } else {
      data.insert(data.end(), len, 0);
    }
    pos += 4 + std::size_t{len};
  }
  if (!knobs_.omit_end_marker) {
    data.insert(data.end(), 4, 0);
  } else if (data.size() < 2 + 72) {
    // Padding would read as an end marker: fill the window with garbage.
    data.resize(2 + 72, 0xEE);
  }
  if (knobs_.short_read && data.size() > 8) data.resize(data.size() - 8);
  return data;
}

std::vector<Outgoing> CSwitchCore::Handle(std::span<const std::uint8_t> frame, std::uint64_t now) {
  std::vector<std::uint8_t> request;
  // Requests carry no reply flag; take the frame without a tag when it has one.
  if (frame.size() < kMinFrame || !IsProtocolFrame(frame)) return {};
  request.assign(frame.begin(), frame.end());
  if (request[12] == 0x81) request.erase(request.begin() + 12, request.begin() + 16);
  if (request.size() < 35 || (request[19] & kFlagReply)) return {};
  const MacAddress to = Destination(request);
  const MacAddress broadcast{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  if (to != mac_ && to != broadcast) return {};
  ++requests_;
  if (now < silent_until_ || knobs_.drop_all) return {};
  if (knobs_.drop_next > 0) {
    --knobs_.drop_next;
    return {};
  }
  const std::uint16_t command = ReadBE16(&request[19]);
  std::vector<std::uint8_t> reply;
  switch (command) {
    case kCmdNop: reply = Reply(request, boot_monitor_ ? 0xA0 : 0x80, {}); break;
    case kCmdStatus: {
      std::vector<std::uint8_t> data(8 + ports_.size(), 0);
      data[4] = static_cast<std::uint8_t>(
          knobs_.ports_reported >= 0 ? knobs_.ports_reported : static_cast<int>(ports_.size()));
      data[5] = ring_flags_;
      std::copy(ports_.begin(), ports_.end(), data.begin() + 8);
      reply = Reply(request, 0xA0, data);
      break;
    }
    case kCmdEerom:
      // The boot monitor answers EEROM reads (the firmware load reads the
      // identity there) but refuses writes.
      if (boot_monitor_ && EeromRequestWrites(request)) {
        reply = Reply(request, 0xC0, {});
      } else {
        reply = Reply(request, 0xA0, Eerom(request));
      }
      break;
    case kCmdLoadBlock: {
      std::uint8_t data[2] = {0, 0};
      std::uint8_t flags = 0xA0;
      if (!boot_monitor_) {
        flags = 0x80;
      } else if (knobs_.load_status != 0) {
        flags = 0xC0;
        data[1] = static_cast<std::uint8_t>(knobs_.load_status);
      } else {
        const std::uint16_t position = ReadBE16(&request[31]);
        if (position == kBlockFirst) {
          firmware_.clear();
          blocks_ = 0;
        }
        firmware_.insert(firmware_.end(), request.begin() + 33, request.end());
        ++blocks_;
      }
      reply = Reply(request, flags, data);
      break;
    }
    case kCmdControl: {
      if (knobs_.ignore_control) return {};
      last_control_ = ReadBE32(&request[31]);
      reply = Reply(request, 0xA0, {});
      if (last_control_ == 1) {
        // The reply goes out, then the unit restarts and is silent a while.
        boot_monitor_ = boot_monitor_ ? false : knobs_.boot_on_restart;
        silent_until_ = now + knobs_.restart_ms;
      }
      break;
    }
    default: reply = Reply(request, 0xC0, {}); break;
  }
  return {Outgoing{std::move(reply), now + knobs_.delay_ms}};
}

}  // namespace fw::emu
