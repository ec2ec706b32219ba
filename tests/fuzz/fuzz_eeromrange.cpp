// Description files of the EEROM debugger are edited by hand: every input
// gives rows that lie inside the EEROM, in order, or a line saying why not.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tools/eeromrange.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<CEeromRange> rows;
  std::string error;
  const int n = ParseEeromRanges(std::string_view(reinterpret_cast<const char*>(data), size),
                                 "fuzz.txt", &rows, &error);
  if (n != static_cast<int>(rows.size())) std::abort();
  for (const auto& r : rows) {
    if (r.start > r.end || r.end >= CEeromRange::kEeromSize) std::abort();
    // At most 256 characters, of at most four bytes each.
    if (r.name.empty() || r.name.size() > 4 * CEeromRange::kMaxNameText) std::abort();
  }
  return 0;
}
