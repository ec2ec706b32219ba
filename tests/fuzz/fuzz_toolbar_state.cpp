// A toolbar's saved settings come from the per-user profile, which anyone
// with the user's rights may edit.
#include <cstdint>
#include <vector>

#include "toolkit/bararchive.h"
#include "toolkit/cooltoolbar.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> blob(data, data + size);
  std::vector<fw::CoolBarButtonSetting> buttons;
  if (fw::ParseCoolBarButtons(blob, &buttons)) {
    // What reads back writes back the same way.
    CBarArchiveWriter out;
    out.Int(static_cast<std::int32_t>(buttons.size()));
    for (const auto& b : buttons) {
      out.Int(b.command);
      out.Int(b.image);
      out.Byte(b.style);
      out.Int(b.hasText ? 1 : 0);
      out.String(b.text);
    }
    std::vector<fw::CoolBarButtonSetting> again;
    if (!fw::ParseCoolBarButtons(out.bytes(), &again) || again.size() != buttons.size())
      __builtin_trap();
  }
  std::vector<std::pair<int, UINT>> positions;
  if (fw::ParseCoolBarPositions(blob, &positions))
    for (std::size_t i = 1; i < positions.size(); ++i)
      if (positions[i].first <= positions[i - 1].first) __builtin_trap();
  std::vector<fw::CoolBarTableEntry> table;
  if (fw::ParseCoolBarTable(blob, &table))
    for (const auto& e : table)
      if (e.id == 0 || e.visibility > 7) __builtin_trap();
  // The archive reader alone: strings never run past the end.
  CBarArchiveReader in(blob);
  std::string text;
  while (in.String(&text, 1 << 20))
    if (text.size() > size) __builtin_trap();
  return 0;
}
