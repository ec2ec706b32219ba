// Frames off the wire reach every reply parser: reply recognition (with and
// without a VLAN tag), status, load status and the EEROM reply check.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "switch/cfgblock.h"
#include "switch/frames.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const std::uint8_t> frame(data, size);
  std::vector<std::uint8_t> reply;
  fw::frames::IsProtocolFrame(frame);
  // Parsers also see frames that are not replies, as a careless caller might pass.
  const bool is_reply = fw::frames::ExtractReply(frame, &reply);
  std::span<const std::uint8_t> parsed = is_reply ? std::span<const std::uint8_t>(reply) : frame;
  fw::frames::Destination(parsed);
  fw::frames::Source(parsed);
  fw::frames::CSwitchStatus status;
  // Only the parsers' safety matters here, not what they make of the bytes.
  (void)fw::frames::ParseStatusReply(parsed, &status);
  (void)fw::frames::LoadStatus(parsed);

  CCfgBlock block;
  // Requests shaped by the input so the reply's entries can match them.
  const std::uint16_t start =
      size > 36 ? static_cast<std::uint16_t>((data[35] << 8) | data[36]) : 280;
  const std::uint16_t len = size > 34 ? static_cast<std::uint16_t>(data[34] % 40) : 6;
  block.AddRequest(kEeromRead, start, len);
  block.AddRequest(kEeromWrite, 232, 4, reinterpret_cast<const std::uint8_t*>("abcd"));
  block.SplitAndPack();
  std::string error;
  for (auto& entries : block.Frames()) {
    (void)CCfgBlock::ReplyStatus(parsed);
    if (block.CheckReply(parsed, &entries, &error) == kEeromOk)
      (void)block.StoreReadEntries(entries, &error);
  }
  block.RebuildReadRequests();
  (void)block.CheckAllDone(&error);
  return 0;
}
