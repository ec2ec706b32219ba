#pragma once

#include <string>
#include <string_view>

namespace fw {

// Reads a whole file. Returns false with a message in *error when it cannot.
[[nodiscard]] bool ReadFileBytes(const std::string& path, std::string& out, std::string* error);

// Writes a whole file through a temporary file in the same folder that is
// flushed to disk and then renamed over the target, so a crash or a full disk
// never leaves a half-written file: either the old file or the new one is there.
[[nodiscard]] bool WriteFileAtomic(const std::string& path, std::string_view bytes,
                                   std::string* error);

}  // namespace fw
