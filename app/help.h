// Help: every Help button and command goes through one dispatcher, which the
// application installs (it knows the chosen help file). The help document is
// an HTML page beside the program, opened through the link service.
#pragma once

#include <functional>
#include <string>

inline constexpr unsigned HELP_CONTEXT = 0x0001;
inline constexpr unsigned HELP_INDEX = 0x0003;
// Help buttons of dialogs ask for this plus their template id.
inline constexpr unsigned kDialogHelpBase = 0x20000;

using WinHelpHandler = std::function<void(unsigned context, unsigned command)>;
// The application's dispatcher; nullptr: help requests do nothing.
void SetWinHelpHandler(WinHelpHandler handler);
// Asks the application for help on a context.
void AppWinHelp(unsigned context, unsigned command = HELP_CONTEXT);

// Opens the help document at path: at the topic of context, or at its start
// for HELP_INDEX. False (nothing opened) when the document is not installed;
// the caller then says so (IDS_NO_HELP_INSTALLED).
[[nodiscard]] bool OpenHelpFile(const std::string& path, unsigned context, unsigned command);
