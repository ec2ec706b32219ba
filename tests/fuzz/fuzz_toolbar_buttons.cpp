// The toolbar control's saved button order, read back from the profile.
#include <cstdint>
#include <vector>

#include "platform/gui/toolbar.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> blob(data, data + size);
  std::vector<TBBUTTON> buttons;
  if (!fw::ParseToolBarButtons(blob, &buttons)) return 0;
  for (const TBBUTTON& b : buttons) {
    if (b.idCommand < 0 || b.idCommand > 0xFFFF) __builtin_trap();
    if (!(b.fsStyle & TBSTYLE_SEP) && b.idCommand == 0) __builtin_trap();
    if (b.fsState & TBSTATE_PRESSED) __builtin_trap();
  }
  std::vector<TBBUTTON> again;
  if (!fw::ParseToolBarButtons(fw::SaveToolBarButtons(buttons), &again) ||
      again.size() != buttons.size())
    __builtin_trap();
  return 0;
}
