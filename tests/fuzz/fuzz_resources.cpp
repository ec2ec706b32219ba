// Resource scripts come from language libraries on disk.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/format.h"
#include "platform/resources.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string error;
  auto bundle = fw::CResourceBundle::Parse(text, &error);
  if (bundle) {
    // A translated text with any specifiers must format without harm.
    for (const auto& [id, s] : bundle->strings()) {
      fw::FormatText(s, 1, "x", 2.5);
      fw::FormatText(s);
    }
  }
  fw::FormatText(text, 7, "text");
  return 0;
}
