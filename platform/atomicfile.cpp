#include "platform/atomicfile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <random>
#include <set>
#include <vector>

#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"

namespace fw {

namespace {

// The system's reason is read first: building the text may touch errno.
// errno is what it was when the text is done, for callers that look at it.
void AppendSysError(std::string* error, unsigned id, const std::string& path) {
  const int err = errno;
  const std::string reason = std::strerror(err);
  AppendError(error, FormatRes(id, path, reason));
  errno = err;
}

// What a path that is no regular file names, said plainly.
void AppendNotAFile(std::string* error, const std::string& path, mode_t mode) {
  const unsigned id = S_ISDIR(mode)    ? IDS_FILE_IS_FOLDER
                      : S_ISFIFO(mode) ? IDS_FILE_IS_PIPE
                      : S_ISSOCK(mode) ? IDS_FILE_IS_SOCKET
                                       : IDS_FILE_IS_DEVICE;
  AppendError(error, FormatRes(id, path));
  errno = S_ISDIR(mode) ? EISDIR : EINVAL;
}

// Opens a regular file for reading, or says why not. The look before the
// open leaves devices unopened (opening some has effects of its own); the one
// at the open descriptor closes the gap between the two. Without O_NONBLOCK a
// FIFO that slipped in between would wait for a writer.
int OpenRegularFile(const std::string& path, struct stat& st, std::string* error) {
  if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    AppendNotAFile(error, path, st.st_mode);
    return -1;
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    AppendSysError(error, IDS_FILE_CANNOT_OPEN, path);
    return -1;
  }
  if (::fstat(fd, &st) != 0) {
    AppendSysError(error, IDS_FILE_CANNOT_OPEN, path);
    ::close(fd);
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    AppendNotAFile(error, path, st.st_mode);
    return -1;
  }
  return fd;
}

}  // namespace

bool ReadFileBytes(const std::string& path, std::string& out, std::string* error,
                   std::size_t limit) {
  struct stat st {};
  const int fd = OpenRegularFile(path, st, error);
  if (fd < 0) return false;
  auto tooLarge = [&] {
    ::close(fd);
    AppendError(error, FormatRes(IDS_FILE_TOO_LARGE, path));
    errno = EFBIG;
    return false;
  };
  if (static_cast<std::uintmax_t>(st.st_size) > limit) return tooLarge();
  std::string data;
  data.reserve(static_cast<std::size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    // One byte past the limit tells a file that grew since the look at its size.
    const std::size_t room = limit - data.size();
    ssize_t n = ::read(fd, buf, room >= sizeof buf ? sizeof buf : room + 1);
    if (n < 0) {
      if (errno == EINTR) continue;
      AppendSysError(error, IDS_FILE_CANNOT_READ, path);
      const int err = errno;
      ::close(fd);
      errno = err;
      return false;
    }
    if (n == 0) break;
    data.append(buf, static_cast<std::size_t>(n));
    if (data.size() > limit) return tooLarge();
  }
  ::close(fd);
  out = std::move(data);
  return true;
}

bool CanReadFile(const std::string& path, std::string* error) {
  struct stat st {};
  const int fd = OpenRegularFile(path, st, error);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

namespace {

constexpr char kTempMark[] = ".tmp-";
constexpr std::size_t kTempSuffixLen = 6;

std::string FolderOf(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates "<path>.tmp-XXXXXX" with mode 0666 so that the kernel applies the
// umask itself (changing the process-wide umask would race other threads).
// The file is locked while it exists, which tells a later save that it is
// not a leftover.
int CreateTemp(const std::string& path, std::string* name) {
  static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = path + kTempMark;
    for (std::size_t i = 0; i < kTempSuffixLen; ++i)
      candidate += kChars[rd() % (sizeof kChars - 1)];
    int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::flock(fd, LOCK_EX | LOCK_NB);
      *name = std::move(candidate);
      return fd;
    }
    if (errno != EEXIST) return -1;
  }
  errno = EEXIST;
  return -1;
}

// Removes temporary files of earlier saves of the same target that were
// killed between writing and renaming. A file another save is still writing
// is locked and stays.
void RemoveStaleTemps(const std::string& path) {
  const std::string folder = FolderOf(path);
  const std::string base =
      path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
  const std::string prefix = base + kTempMark;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (name.size() != prefix.size() + kTempSuffixLen ||
        name.compare(0, prefix.size(), prefix) != 0)
      continue;
    const std::string full = folder + "/" + name;
    // Never waits on a pipe or device that merely bears a temporary's name.
    int fd = ::open(full.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) continue;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0)
      ::unlink(full.c_str());
    ::close(fd);
  }
  ::closedir(dir);
}

// The file a save of `path` replaces: the path itself or, when it is a
// symbolic link, the file at the end of the chain (a relative link names a
// file beside itself). Renaming over the link instead would make it a file of
// its own and leave the one it names old.
bool FollowLinks(const std::string& path, std::string& target, std::string* error) {
  constexpr int kMaxHops = 40;  // as many as the system follows
  target = path;
  for (int hop = 0; hop < kMaxHops; ++hop) {
    struct stat st {};
    // A path that cannot be looked at is written as it is; the write says why.
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    std::error_code ec;
    const std::string link = std::filesystem::read_symlink(target, ec).string();
    if (ec || link.empty()) {
      errno = ec ? ec.value() : ENOENT;
      AppendSysError(error, IDS_FILE_CANNOT_WRITE, path);
      return false;
    }
    const std::size_t slash = target.rfind('/');
    target = link.front() == '/' || slash == std::string::npos ? link
                                                               : target.substr(0, slash + 1) + link;
  }
  errno = ELOOP;
  AppendSysError(error, IDS_FILE_CANNOT_WRITE, path);
  return false;
}

void SyncFolder(const std::string& folder) {
  if (int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

// The holds and the files written under them, waiting for their flush.
struct SyncHolds {
  std::mutex mutex;
  int count = 0;
  std::set<std::string> files;
};

SyncHolds& Holds() {
  static SyncHolds holds;
  return holds;
}

bool SyncsHeld() {
  std::lock_guard lock(Holds().mutex);
  return Holds().count > 0;
}

// False when the last hold has ended since SyncsHeld: the caller flushes.
bool DeferSync(const std::string& path) {
  std::lock_guard lock(Holds().mutex);
  if (Holds().count == 0) return false;
  Holds().files.insert(path);
  return true;
}

}  // namespace

CFileSyncHold::CFileSyncHold() {
  std::lock_guard lock(Holds().mutex);
  ++Holds().count;
}

CFileSyncHold::~CFileSyncHold() {
  std::set<std::string> files;
  {
    std::lock_guard lock(Holds().mutex);
    if (--Holds().count > 0) return;
    files.swap(Holds().files);
  }
  std::set<std::string> folders;
  for (const std::string& path : files) {
    // Replaced again or removed since: whatever is there now is flushed (and
    // nothing waits on a FIFO put in its place).
    if (int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC); fd >= 0) {
      ::fsync(fd);
      ::close(fd);
    }
    folders.insert(FolderOf(path));
  }
  for (const std::string& folder : folders) SyncFolder(folder);
}

bool WriteFileAtomic(const std::string& path, std::string_view bytes, std::string* error) {
  std::string target;
  if (!FollowLinks(path, target, error)) return false;
  struct stat st {};
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) {
    AppendNotAFile(error, target, st.st_mode);
    return false;
  }
  RemoveStaleTemps(target);
  std::string tmp;
  int fd = CreateTemp(target, &tmp);
  if (fd < 0) {
    AppendSysError(error, IDS_FILE_CANNOT_CREATE_TEMP, target);
    return false;
  }
  auto fail = [&](unsigned what) {
    AppendSysError(error, what, target);
    ::close(fd);
    ::unlink(tmp.c_str());
    return false;
  };
  // Keep the permissions of the file being replaced; a new file keeps what
  // the umask gave at creation.
  if (exists && ::fchmod(fd, st.st_mode & 07777) != 0) return fail(IDS_FILE_CANNOT_SET_MODE);
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(IDS_FILE_CANNOT_WRITE);
    }
    done += static_cast<std::size_t>(n);
  }
  bool deferred = SyncsHeld();
  if (!deferred && ::fsync(fd) != 0) return fail(IDS_FILE_CANNOT_FLUSH);
  if (::rename(tmp.c_str(), target.c_str()) != 0) return fail(IDS_FILE_CANNOT_REPLACE);
  if (deferred && !DeferSync(target)) {
    deferred = false;
    (void)::fsync(fd);  // the hold ended meanwhile and did not see this file
  }
  // The lock goes with the close; the rename is made durable with the folder.
  const bool closed = ::close(fd) == 0;
  const int closeError = errno;
  if (!deferred) SyncFolder(FolderOf(target));
  if (!closed) {
    errno = closeError;
    AppendSysError(error, IDS_FILE_CANNOT_CLOSE, target);
    return false;
  }
  return true;
}

}  // namespace fw
