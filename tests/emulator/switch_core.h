// A software switch that speaks the management protocol: an EEROM image with
// identity, name and revision, status, control, boot monitor and firmware
// blocks, plus knobs that make it misbehave the ways real segments do.
#pragma once

#include <cstdint>
#include <set>
#include <span>
#include <vector>

#include "switch/capturebackend.h"

namespace fw::emu {

struct Knobs {
  int drop_next = 0;                       // requests ignored before the next one is answered
  bool drop_all = false;                   // a switch that is off
  std::uint32_t delay_ms = 0;              // reply latency
  int busy_replies = 0;                    // EEROM requests answered "busy" before one is served
  std::uint8_t force_flags = 0;            // non-zero: the flags byte of every reply
  int eerom_status = 0;                    // status word of EEROM replies (3 = invalid request)
  std::set<std::uint16_t> failed_entries;  // entries at these addresses fail (0x40)
  std::set<std::uint16_t> unconfirmed_entries;  // answered with neither verdict bit
  bool empty_eerom_reply = false;               // first entry is the end marker
  bool omit_end_marker = false;
  bool foreign_entry = false;  // answers an address that was not asked for
  bool short_read = false;     // read data cut off by the end of the frame
  bool vlan_tagged = false;
  std::uint16_t vlan_id = 5;
  bool misaddressed = false;    // replies go to another station
  int load_status = 0;          // non-zero: load blocks fail with this status
  int ports_reported = -1;      // >= 0: port count claimed by status replies
  bool boot_on_restart = true;  // a restart (control 1) lands in the boot monitor
  bool ignore_control = false;  // control requests go unanswered
  std::uint32_t restart_ms = 2000;
  bool boot_monitor_writes = false;  // the boot monitor takes EEROM writes (switch recovery)
};

// What a switch was asked (requests addressed to it or to all), so a test can
// watch a program it only runs from outside.
struct RequestLog {
  int nops = 0;
  int status_reads = 0;
  std::set<std::uint16_t> eerom_reads;  // start addresses of the entries read
};

struct Outgoing {
  std::vector<std::uint8_t> frame;
  std::uint64_t due = 0;  // clock time at which it is on the wire
};

class CSwitchCore {
 public:
  static constexpr std::size_t kEeromSize = 4096;

  explicit CSwitchCore(const MacAddress& mac, int ports = 9);

  const MacAddress& mac() const { return m_mac; }
  Knobs& knobs() { return m_knobs; }
  std::vector<std::uint8_t>& eerom() { return m_eerom; }
  const std::vector<std::uint8_t>& eerom() const { return m_eerom; }
  bool InBootMonitor(std::uint64_t now) const { return boot_monitor_ && now >= silent_until_; }
  void SetBootMonitor(bool on) { boot_monitor_ = on; }
  // The user switches the unit off and on: it comes up in its boot monitor.
  void PowerCycle(std::uint64_t now);
  void SetPortByte(int port, std::uint8_t value);
  void SetRingFlags(std::uint8_t value) { ring_flags_ = value; }
  void SetName(const std::string& name);
  void SetRevision(const std::string& revision);

  // Firmware bytes received since the last first block.
  const std::vector<std::uint8_t>& firmware() const { return m_firmware; }
  int blocks_loaded() const { return m_blocks; }
  int requests_seen() const { return m_requests; }
  const RequestLog& request_log() const { return m_log; }
  std::uint32_t last_control() const { return last_control_; }

  // Takes one frame off the wire; returns the frames the switch sends back.
  std::vector<Outgoing> Handle(std::span<const std::uint8_t> frame, std::uint64_t now);

 private:
  std::vector<std::uint8_t> Reply(std::span<const std::uint8_t> request, std::uint8_t flags,
                                  std::span<const std::uint8_t> data) const;
  std::vector<std::uint8_t> Eerom(std::span<const std::uint8_t> request);

  MacAddress m_mac;
  Knobs m_knobs;
  std::vector<std::uint8_t> m_eerom;
  std::vector<std::uint8_t> m_ports;
  std::uint8_t ring_flags_ = 0x01;
  bool boot_monitor_ = false;
  std::uint64_t silent_until_ = 0;
  std::vector<std::uint8_t> m_firmware;
  int m_blocks = 0;
  int m_requests = 0;
  RequestLog m_log;
  std::uint32_t last_control_ = 0;
};

}  // namespace fw::emu
