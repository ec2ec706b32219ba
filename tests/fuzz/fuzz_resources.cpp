// Resource scripts come from language libraries on disk.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/format.h"
#include "platform/resourcebundle.h"

namespace {
// Menus are trees: every level must be reachable without running away.
int Depth(const std::vector<fw::CMenuTemplateItem>& items) {
  int deepest = 0;
  for (const auto& item : items) {
    if (!item.popup && !item.children.empty()) __builtin_trap();
    deepest = std::max(deepest, 1 + Depth(item.children));
  }
  return deepest;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string error;
  auto bundle = fw::CResourceBundle::Parse(text, &error);
  if (bundle) {
    // Every control of every dialog must be reachable and sane.
    for (const auto& [id, dlg] : bundle->dialogs()) {
      if (dlg.cx < 0 || dlg.cy < 0) __builtin_trap();
      for (const auto& item : dlg.items) {
        if (item.cx < 0 || item.cy < 0 || item.className.empty()) __builtin_trap();
        if (item.id != -1 && dlg.FindItem(item.id) == nullptr) __builtin_trap();
      }
      if (bundle->FindDialog(id) != &dlg) __builtin_trap();
    }
    for (const auto& [id, menu] : bundle->menus())
      if (Depth(menu.items) > 16 || bundle->FindMenu(id) != &menu) __builtin_trap();
    for (const auto& [id, bar] : bundle->toolbars())
      if (bar.width < 1 || bar.height < 1) __builtin_trap();
    for (const auto& [id, table] : bundle->accelerators())
      for (const auto& e : table.entries)
        if (e.key == 0) __builtin_trap();
    // A translated text with any specifiers must format without harm.
    for (const auto& [id, s] : bundle->strings()) {
      fw::FormatText(s, 1, "x", 2.5);
      fw::FormatText(s);
    }
  }
  // A rejected script always says which line is at fault.
  if (!bundle && error.rfind("line ", 0) != 0) __builtin_trap();
  fw::FormatText(text, 7, "text");
  return 0;
}
