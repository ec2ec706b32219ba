// Firmware files come from anywhere; the reader must refuse or accept every
// input without reading past it, and what it accepts must fit a load block.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "switch/srecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<fw::SRecord> records;
  std::string error;
  const bool ok = fw::ParseSRecords(std::string_view(reinterpret_cast<const char*>(data), size),
                                    &records, &error);
  if (ok == error.empty() && (!ok || !records.empty())) {
    for (std::size_t i = 0; i < records.size(); ++i) {
      if (records[i].data.size() > fw::kMaxSRecordData) std::abort();
      if (fw::SRecordBlockBytes(records[i]).size() != records[i].data.size() + 5) std::abort();
      fw::SRecordBlockPosition(i, records.size());
    }
    return 0;
  }
  std::abort();  // success must come with records and no message, failure with a message
}
