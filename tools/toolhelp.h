// Help for the tool dialogs: a context of the help base 0x20000 plus the
// dialog's template number. The program installs what opens its help.
#pragma once

#include <functional>

inline constexpr unsigned kHelpContextBase = 0x20000;

void ShowToolHelp(unsigned context);
// Null: help does nothing.
void SetToolHelpHandler(std::function<void(unsigned context)> handler);
