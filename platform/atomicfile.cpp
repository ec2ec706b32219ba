#include "platform/atomicfile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <vector>

#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"

namespace fw {

namespace {
// The system's reason is read first: building the text may touch errno.
std::string SysError(unsigned id, const std::string& path) {
  const std::string reason = std::strerror(errno);
  return FormatRes(id, path, reason);
}
}  // namespace

bool ReadFileBytes(const std::string& path, std::string& out, std::string* error) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    AppendError(error, SysError(IDS_FILE_CANNOT_OPEN, path));
    return false;
  }
  std::string data;
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      AppendError(error, SysError(IDS_FILE_CANNOT_READ, path));
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    data.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  out = std::move(data);
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
    int fd = ::open(full.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) continue;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0)
      ::unlink(full.c_str());
    ::close(fd);
  }
  ::closedir(dir);
}

}  // namespace

bool WriteFileAtomic(const std::string& path, std::string_view bytes, std::string* error) {
  RemoveStaleTemps(path);
  std::string tmp;
  int fd = CreateTemp(path, &tmp);
  if (fd < 0) {
    AppendError(error, SysError(IDS_FILE_CANNOT_CREATE_TEMP, path));
    return false;
  }
  auto fail = [&](unsigned what) {
    AppendError(error, SysError(what, path));
    ::close(fd);
    ::unlink(tmp.c_str());
    return false;
  };
  // Keep the permissions of the file being replaced; a new file keeps what
  // the umask gave at creation.
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && ::fchmod(fd, st.st_mode & 07777) != 0)
    return fail(IDS_FILE_CANNOT_SET_MODE);
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(IDS_FILE_CANNOT_WRITE);
    }
    done += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) return fail(IDS_FILE_CANNOT_FLUSH);
  if (::rename(tmp.c_str(), path.c_str()) != 0) return fail(IDS_FILE_CANNOT_REPLACE);
  // The lock goes with the close; the rename is made durable with the folder.
  const bool closed = ::close(fd) == 0;
  if (int dfd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  if (!closed) {
    AppendError(error, SysError(IDS_FILE_CANNOT_CLOSE, path));
    return false;
  }
  return true;
}

}  // namespace fw
