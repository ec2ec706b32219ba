// The INI engine reads project files, the customisation file and profiles.
#include <cstdint>
#include <string_view>

#include "platform/fields.h"
#include "platform/inifile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  fw::CIniFile f;
  f.Parse(bytes);
  for (const auto& s : f.SectionNames()) {
    for (const auto& k : f.KeyNames(s)) {
      std::string v = f.GetString(s, k);
      for (int field = 0; field < 4; ++field) GetDelimitedField(v, ',', field, 10);
    }
  }
  f.SetString("fuzz", "key", bytes.substr(0, 16));
  if (!f.SectionNames().empty()) f.DeleteSection(f.SectionNames().front());
  fw::CIniFile g;
  g.Parse(f.Encode());
  return 0;
}
