#include "tools/toolhelp.h"

#include <utility>

namespace {
std::function<void(unsigned)>& Handler() {
  static std::function<void(unsigned)> handler;
  return handler;
}
}  // namespace

void ShowToolHelp(unsigned context) {
  if (Handler()) Handler()(context);
}

void SetToolHelpHandler(std::function<void(unsigned)> handler) {
  Handler() = std::move(handler);
}
