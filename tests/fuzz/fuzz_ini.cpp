// The INI engine reads project files, the customisation file and profiles.
// Whatever it read, and whatever it was told to write, reads back the same
// after the file is written.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/fields.h"
#include "platform/inifile.h"
#include "platform/text.h"

namespace {

void CheckSame(const fw::CIniFile& a, const fw::CIniFile& b) {
  bool same = a.SectionNames() == b.SectionNames();
  for (const auto& s : a.SectionNames()) {
    if (!same) break;
    same = a.KeyNames(s) == b.KeyNames(s);
    for (const auto& k : a.KeyNames(s))
      if (same && a.Get(s, k) != b.Get(s, k)) {
        std::fprintf(stderr, "[%s] %s: \"%s\" read back as \"%s\"\n", s.c_str(), k.c_str(),
                     a.GetString(s, k).c_str(), b.GetString(s, k).c_str());
        same = false;
      }
  }
  if (!same) std::abort();
}

}  // namespace

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
  // Callers write text, never stray bytes.
  f.SetString("fuzz", "key", fw::Cp1252ToUtf8(bytes.substr(0, 16)));
  if (!f.SectionNames().empty()) f.DeleteSection(f.SectionNames().front());
  fw::CIniFile g;
  g.Parse(f.Encode());
  CheckSame(f, g);
  return 0;
}
