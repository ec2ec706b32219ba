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

// Kinds of an EEROM entry, as they go on the wire.
enum EeromKind : std::uint8_t { kEeromEnd = 0, kEeromRead = 1, kEeromWrite = 2 };

// Result codes of an EEROM transaction.
enum EeromResult : int {
  kEeromOk = 0,
  kEeromFailed = -1,  // no requests, not sent, no reply, a read entry came back short
  kEeromBusy = -2,    // the switch stayed busy
  kEeromBadEntry = -100,
  kEeromEntryNotDone = -101,  // an entry failed or was never confirmed
  kEeromInvalidRequest = -103,
  kEeromEmptyReply = -104,
  kEeromNoEndMarker = -105,
};

// The status word at the start of an EEROM reply.
enum EeromReplyStatus : int {
  kEeromReplyTooShort = -1,  // the reply does not hold it
  kEeromReplyBusy = 1,
  kEeromReplyInvalidRequest = 3,
};

struct CAccessRequest {
  std::uint16_t nLength = 0;
  std::uint16_t nStart = 0;
  std::uint8_t nKind = kEeromEnd;
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
  // Reply status word (offset 31), an EeromReplyStatus when it is one of those.
  [[nodiscard]] static int ReplyStatus(std::span<const std::uint8_t> reply);
  // Checks a reply against the frame's entries, marks them and appends a line
  // per problem. Returns kEeromOk or one of the negative result codes.
  [[nodiscard]] int CheckReply(std::span<const std::uint8_t> reply,
                               std::vector<CAccessRequest>* frame, std::string* error) const;
  // Stores the bytes of every done read entry in the map. Returns kEeromFailed
  // (and a line) when an entry holds fewer bytes than its length.
  [[nodiscard]] int StoreReadEntries(const std::vector<CAccessRequest>& frame, std::string* error);
  // Each read request's data from the map (0 where the map lacks an address).
  // Also sets each request's done mark (all its entries confirmed) and text.
  void RebuildReadRequests();
  // A line for every entry the switch did not confirm; kEeromEntryNotDone when
  // there is one. Entries with a failure text were reported already.
  [[nodiscard]] int CheckAllDone(std::string* error) const;

  // Appends the address, a blank, the text and a newline (when it lacks one).
  void AppendLine(std::string* error, const std::string& text) const;

 private:
  fw::MacAddress m_mac{};
  std::vector<CAccessRequest> m_requests;
  std::vector<std::vector<CAccessRequest>> m_frames;
  std::vector<std::vector<std::size_t>> m_owners;  // request index of each frame entry
  std::unordered_map<std::uint16_t, std::uint8_t> m_map;
};
