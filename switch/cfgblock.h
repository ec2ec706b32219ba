// An EEROM read/write transaction: requests are split into entries of at most
// 32 bytes, packed into frames, and the answered bytes gathered in a byte map.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "switch/capturebackend.h"

enum : std::uint8_t { EEROM_END = 0, EEROM_READ = 1, EEROM_WRITE = 2 };

// Result codes of an EEROM transaction.
enum : int {
  EEROM_OK = 0,
  EEROM_FAILED = -1,
  EEROM_BUSY = -2,
  EEROM_BAD_ENTRY = -100,
  EEROM_ENTRY_NOT_DONE = -101,  // an entry failed or was never confirmed
  EEROM_INVALID_REQUEST = -103,
  EEROM_EMPTY_REPLY = -104,
  EEROM_NO_END_MARKER = -105,
};

struct CAccessRequest {
  std::uint16_t nLength = 0;
  std::uint16_t nStart = 0;
  std::uint8_t nKind = EEROM_END;
  int nDone = 0;  // 1 confirmed by the switch
  std::vector<std::uint8_t> data;
  std::string text;  // the failure line of this entry
};

class CCfgBlock {
 public:
  static constexpr std::size_t kMaxEntryData = 32;
  static constexpr std::size_t kMaxFrameEntries = 36;  // entry headers plus data
  static constexpr std::size_t kReplyWindow = 72;      // entries lie within 72 bytes of offset 31

  CCfgBlock();

  void AddRequest(int kind, std::uint16_t start, std::uint16_t length,
                  const std::uint8_t* bytes = nullptr);
  bool LookupByte(std::uint16_t address, std::uint8_t* value) const;
  void StoreByte(std::uint16_t address, std::uint8_t value);
  void CopyWordMapToBytes(std::vector<std::uint8_t>* bytes) const;
  void Clear(bool clear_map);

  void SetSwitchAddress(const fw::MacAddress& mac) { m_mac = mac; }
  const fw::MacAddress& SwitchAddress() const { return m_mac; }

  std::vector<CAccessRequest>& Requests() { return m_requests; }
  const std::vector<CAccessRequest>& Requests() const { return m_requests; }
  // Frames of the last split; each ends with an end marker.
  std::vector<std::vector<CAccessRequest>>& Frames() { return m_frames; }

  // Splits the requests into entries and packs them into frames.
  void SplitAndPack();
  // The command data of a frame from offset 31: status 0, entries, end marker.
  static std::vector<std::uint8_t> FrameBody(const std::vector<CAccessRequest>& frame);
  // Reply status word (offset 31); -1 when the reply is too short to hold it.
  static int ReplyStatus(std::span<const std::uint8_t> reply);
  // Checks a reply against the frame's entries, marks them and appends a line
  // per problem. Returns 0 or one of the negative result codes.
  int CheckReply(std::span<const std::uint8_t> reply, std::vector<CAccessRequest>* frame,
                 std::string* error) const;
  // Stores the bytes of every done read entry in the map. Returns -1 (and a
  // line) when an entry holds fewer bytes than its length.
  int StoreReadEntries(const std::vector<CAccessRequest>& frame, std::string* error);
  // Each read request's data from the map (0 where the map lacks an address).
  // Also sets each request's done mark (all its entries confirmed) and text.
  void RebuildReadRequests();
  // A line for every entry the switch did not confirm; EEROM_ENTRY_NOT_DONE when
  // there is one. Entries with a failure text were reported already.
  int CheckAllDone(std::string* error) const;

  // Appends the address, a blank, the text and a newline (when it lacks one).
  void AppendLine(std::string* error, const std::string& text) const;

 private:
  fw::MacAddress m_mac{};
  std::vector<CAccessRequest> m_requests;
  std::vector<std::vector<CAccessRequest>> m_frames;
  std::vector<std::vector<std::size_t>> m_owners;  // request index of each frame entry
  std::unordered_map<std::uint16_t, std::uint8_t> m_map;
};
