#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace fw {

// Far above any file the programs keep (a configuration takes some 2 KB of a
// project): a larger file is something else, and reading it whole would cost
// seconds and many times its size in memory.
inline constexpr std::size_t kMaxFileBytes = std::size_t{32} << 20;

// Reads a whole regular file of at most `limit` bytes. A folder, a FIFO, a
// device or a socket is refused at once and never read (a FIFO without a
// writer does not make the caller wait). Returns false with a message in
// *error when it cannot; errno is then ENOENT when there is no such file and
// EFBIG when the file is larger than `limit`.
[[nodiscard]] bool ReadFileBytes(const std::string& path, std::string& out, std::string* error,
                                 std::size_t limit = kMaxFileBytes);

// Whether ReadFileBytes would find a regular file to read, asked the same way
// without reading it. False with a message in *error.
[[nodiscard]] bool CanReadFile(const std::string& path, std::string* error);

// Writes a whole file through a temporary file in the same folder that is
// flushed to disk and then renamed over the target, so a crash or a full disk
// never leaves a half-written file: either the old file or the new one is there.
// A symbolic link is followed to the file at the end of its chain, which is
// replaced in its own folder, so the link stays; a link to no file makes the
// file it names. A folder, a FIFO, a device or a socket is never replaced.
[[nodiscard]] bool WriteFileAtomic(const std::string& path, std::string_view bytes,
                                   std::string* error);

// While one of these lives, WriteFileAtomic still writes and renames at once
// (readers see the new file) but leaves the wait for the disk to the end of
// the last hold, which flushes every file written meanwhile and its folder.
// A program's start holds them until its window is painted: the settings it
// writes on the way need not keep the window from the screen.
class CFileSyncHold {
 public:
  CFileSyncHold();
  ~CFileSyncHold();
  CFileSyncHold(const CFileSyncHold&) = delete;
  CFileSyncHold& operator=(const CFileSyncHold&) = delete;
};

}  // namespace fw
