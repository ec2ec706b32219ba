#include "platform/atomicfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/text.h"

namespace fw {

namespace {
std::string SysError(const std::string& what, const std::string& path) {
  return what + " '" + path + "': " + std::strerror(errno);
}
}  // namespace

bool ReadFileBytes(const std::string& path, std::string& out, std::string* error) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    AppendError(error, SysError("Cannot open", path));
    return false;
  }
  std::string data;
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      AppendError(error, SysError("Cannot read", path));
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

bool WriteFileAtomic(const std::string& path, std::string_view bytes, std::string* error) {
  std::string tmpl = path + ".tmp-XXXXXX";
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) {
    AppendError(error, SysError("Cannot create a temporary file for", path));
    return false;
  }
  const std::string tmp(name.data());
  auto fail = [&](const char* what) {
    AppendError(error, SysError(what, path));
    ::close(fd);
    ::unlink(tmp.c_str());
    return false;
  };
  // Keep the permissions of the file being replaced; a new file gets the usual 0644 less umask.
  struct stat st {};
  mode_t mode = 0;
  if (::stat(path.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    mode_t um = ::umask(0);
    ::umask(um);
    mode = 0666 & ~um;
  }
  if (::fchmod(fd, mode) != 0) return fail("Cannot set permissions of");
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail("Cannot write");
    }
    done += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) return fail("Cannot flush");
  if (::close(fd) != 0) {
    AppendError(error, SysError("Cannot close", path));
    ::unlink(tmp.c_str());
    return false;
  }
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    AppendError(error, SysError("Cannot replace", path));
    ::unlink(tmp.c_str());
    return false;
  }
  return true;
}

}  // namespace fw
