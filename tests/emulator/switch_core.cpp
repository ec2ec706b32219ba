#include "tests/emulator/switch_core.h"

#include <algorithm>
#include <cstring>

#include "switch/frames.h"

namespace fw::emu {

using namespace fw::frames;

CSwitchCore::CSwitchCore(const MacAddress& mac, int ports)
    : m_mac(mac), m_eerom(kEeromSize, 0xFF), m_ports(static_cast<std::size_t>(ports), 0) {
  // Identity: a 9-port unit of variant 2; port bytes show links up on the first two ports.
  std::fill(m_eerom.begin() + 280, m_eerom.begin() + 286, 0);
  m_eerom[280] = 0x01;
  m_eerom[281] = 0x02;
  m_eerom[283] = static_cast<std::uint8_t>(ports);
  m_eerom[285] = 2;
  SetName("Emulated switch");
  SetRevision("2.14");
  for (std::size_t i = 288; i < 1024; ++i) m_eerom[i] = static_cast<std::uint8_t>(i * 7 + 3);
  if (ports > 0) m_ports[0] = 0x01;
  if (ports > 1) m_ports[1] = 0x15;
}

void CSwitchCore::SetName(const std::string& name) {
  std::fill(m_eerom.begin() + 32, m_eerom.begin() + 64, 0);
  std::memcpy(&m_eerom[32], name.data(), std::min<std::size_t>(name.size(), 32));
}

void CSwitchCore::SetRevision(const std::string& revision) {
  std::fill(m_eerom.begin() + 232, m_eerom.begin() + 248, 0);
  std::memcpy(&m_eerom[232], revision.data(), std::min<std::size_t>(revision.size(), 16));
}

void CSwitchCore::SetPortByte(int port, std::uint8_t value) {
  if (port >= 0 && static_cast<std::size_t>(port) < m_ports.size())
    m_ports[static_cast<std::size_t>(port)] = value;
}

void CSwitchCore::PowerCycle(std::uint64_t now) {
  boot_monitor_ = true;
  silent_until_ = now + m_knobs.restart_ms;
}

std::vector<std::uint8_t> CSwitchCore::Reply(std::span<const std::uint8_t> request,
                                             std::uint8_t flags,
                                             std::span<const std::uint8_t> data) const {
  MacAddress to = Source(request);
  if (m_knobs.misaddressed) to[5] ^= 0x5A;
  std::vector<std::uint8_t> f(std::max(kMinFrame, kHeaderSize + data.size()), 0);
  std::copy(to.begin(), to.end(), f.begin());
  std::copy(m_mac.begin(), m_mac.end(), f.begin() + 6);
  std::copy(request.begin() + 12, request.begin() + 31, f.begin() + 12);
  f[19] = m_knobs.force_flags ? m_knobs.force_flags : flags;
  f[20] = request[20];
  std::copy(data.begin(), data.end(), f.begin() + kHeaderSize);
  if (m_knobs.vlan_tagged) {
    const std::uint8_t tag[4] = {0x81, 0x00, static_cast<std::uint8_t>(m_knobs.vlan_id >> 8),
                                 static_cast<std::uint8_t>(m_knobs.vlan_id)};
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

void LogEeromReads(std::span<const std::uint8_t> request, std::set<std::uint16_t>* reads) {
  for (std::size_t pos = 33; pos + 4 <= request.size();) {
    const std::uint8_t kind = request[pos], len = request[pos + 1];
    if (kind == 0 || len == 0) break;
    if ((kind & 0x03) == 1) reads->insert(ReadBE16(&request[pos + 2]));
    pos += 4 + std::size_t{len};
  }
}
}  // namespace

std::vector<std::uint8_t> CSwitchCore::Eerom(std::span<const std::uint8_t> request) {
  std::vector<std::uint8_t> data(2, 0);
  if (m_knobs.busy_replies > 0) {
    --m_knobs.busy_replies;
    WriteBE16(data.data(), 1);
    data.insert(data.end(), 4, 0);
    return data;
  }
  WriteBE16(data.data(), static_cast<std::uint16_t>(m_knobs.eerom_status));
  std::size_t pos = 33;
  bool first = true;
  while (pos + 4 <= request.size() && !m_knobs.empty_eerom_reply) {
    const std::uint8_t kind = request[pos];
    const std::uint8_t len = request[pos + 1];
    std::uint16_t start = ReadBE16(&request[pos + 2]);
    if (kind == 0 || len == 0) break;
    const bool fits = std::size_t{start} + len <= m_eerom.size() && pos + 4 + len <= request.size();
    std::uint8_t verdict = fits ? 0x80 : 0x40;
    if (m_knobs.failed_entries.count(start)) verdict = 0x40;
    if (m_knobs.unconfirmed_entries.count(start)) verdict = 0;
    if (verdict == 0x80 && (kind & 0x03) == 2) {
      std::copy_n(request.begin() + static_cast<std::ptrdiff_t>(pos + 4), len,
                  m_eerom.begin() + start);
    }
    if (m_knobs.foreign_entry && first) start = static_cast<std::uint16_t>(start + 1);
    first = false;
    data.push_back(static_cast<std::uint8_t>(verdict | (kind & 0x03)));
    data.push_back(len);
    data.push_back(static_cast<std::uint8_t>(start >> 8));
    data.push_back(static_cast<std::uint8_t>(start));
    if ((kind & 0x03) == 1) {
      for (std::size_t i = 0; i < len; ++i) {
        data.push_back(verdict == 0x80 ? m_eerom[start + i] : 0);
      }
    } else {
      data.insert(data.end(), len, 0);
    }
    pos += 4 + std::size_t{len};
  }
  if (!m_knobs.omit_end_marker) {
    data.insert(data.end(), 4, 0);
  } else if (data.size() < 2 + 72) {
    // Padding would read as an end marker: fill the window with garbage.
    data.resize(2 + 72, 0xEE);
  }
  if (m_knobs.short_read && data.size() > 8) data.resize(data.size() - 8);
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
  if (to != m_mac && to != broadcast) return {};
  ++m_requests;
  switch (ReadBE16(&request[19])) {
    case kCmdNop: ++m_log.nops; break;
    case kCmdStatus: ++m_log.status_reads; break;
    case kCmdEerom: LogEeromReads(request, &m_log.eerom_reads); break;
    default: break;
  }
  if (now < silent_until_ || m_knobs.drop_all) return {};
  if (m_knobs.drop_next > 0) {
    --m_knobs.drop_next;
    return {};
  }
  const std::uint16_t command = ReadBE16(&request[19]);
  std::vector<std::uint8_t> reply;
  switch (command) {
    case kCmdNop: reply = Reply(request, boot_monitor_ ? 0xA0 : 0x80, {}); break;
    case kCmdStatus: {
      std::vector<std::uint8_t> data(8 + m_ports.size(), 0);
      data[4] = static_cast<std::uint8_t>(
          m_knobs.ports_reported >= 0 ? m_knobs.ports_reported : static_cast<int>(m_ports.size()));
      data[5] = ring_flags_;
      std::copy(m_ports.begin(), m_ports.end(), data.begin() + 8);
      reply = Reply(request, 0xA0, data);
      break;
    }
    case kCmdEerom:
      // The boot monitor answers EEROM reads (the firmware load reads the
      // identity there) but refuses writes unless told to take them.
      if (boot_monitor_ && !m_knobs.boot_monitor_writes && EeromRequestWrites(request)) {
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
      } else if (m_knobs.load_status != 0) {
        flags = 0xC0;
        data[1] = static_cast<std::uint8_t>(m_knobs.load_status);
      } else {
        const std::uint16_t position = ReadBE16(&request[31]);
        if (position == kBlockFirst) {
          m_firmware.clear();
          m_blocks = 0;
        }
        m_firmware.insert(m_firmware.end(), request.begin() + 33, request.end());
        ++m_blocks;
      }
      reply = Reply(request, flags, data);
      break;
    }
    case kCmdControl: {
      if (m_knobs.ignore_control) return {};
      last_control_ = ReadBE32(&request[31]);
      reply = Reply(request, 0xA0, {});
      if (last_control_ == 1) {
        // The reply goes out, then the unit restarts and is silent a while.
        boot_monitor_ = boot_monitor_ ? false : m_knobs.boot_on_restart;
        silent_until_ = now + m_knobs.restart_ms;
      }
      break;
    }
    default: reply = Reply(request, 0xC0, {}); break;
  }
  return {Outgoing{std::move(reply), now + m_knobs.delay_ms}};
}

}  // namespace fw::emu
