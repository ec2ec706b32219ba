#include "platform/dynlib.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

namespace fw {

CDynLib::~CDynLib() {
  if (handle_) dlclose(handle_);
}

bool CDynLib::Open(const std::vector<std::string>& names, std::string* error) {
  if (handle_) {
    dlclose(handle_);
    handle_ = nullptr;
  }
  std::string errors;
  for (const auto& n : names) {
    handle_ = dlopen(n.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_) {
      name_ = n;
      return true;
    }
    if (const char* e = dlerror()) {
      if (!errors.empty()) errors += "; ";
      errors += e;
    }
  }
  if (error) *error = errors;
  return false;
}

void* CDynLib::Symbol(const char* name) const {
  return handle_ ? dlsym(handle_, name) : nullptr;
}

std::string ProgramFolder() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  std::string path(buf, static_cast<std::size_t>(n));
  auto slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace fw
