#include "app/help.h"

#include "platform/format.h"
#include "platform/gui/services.h"

namespace {
WinHelpHandler& Handler() {
  static WinHelpHandler handler;
  return handler;
}
}  // namespace

void SetWinHelpHandler(WinHelpHandler handler) {
  Handler() = std::move(handler);
}

void AppWinHelp(unsigned context, unsigned command) {
  if (Handler()) Handler()(context, command);
}

bool OpenHelpFile(const std::string& path, unsigned context, unsigned command) {
  // Topics are anchors named after their context number: "#ctx-2009c".
  const std::string topic =
      command == HELP_INDEX ? std::string() : fw::FormatText("ctx-%x", context);
  return fw::OpenProgramFile(path, topic);
}
