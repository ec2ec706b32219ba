// Texts of the string table, by id, from the current language's bundle.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/format.h"

// The text of string id; empty when the bundle lacks it.
std::string LoadResString(unsigned id);
// The texts of the ids, each followed by "\n"; ids without text are skipped.
std::string JoinResStrings(std::initializer_list<unsigned> ids);
// True when text equals string id exactly (case matters).
bool CompareWithResString(std::string_view text, unsigned id);

// sprintf over string id's text with checked specifiers (see fw::FormatChecked).
template <typename... Args>
std::string FormatRes(unsigned id, const Args&... args) {
  return fw::FormatText(LoadResString(id), args...);
}
