#include "platform/dynlib.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

#include "platform/text.h"

namespace fw {

CDynLib::~CDynLib() {
  if (m_handle) dlclose(m_handle);
}

bool CDynLib::Open(const std::vector<std::string>& names, std::string* error) {
  if (m_handle) {
    dlclose(m_handle);
    m_handle = nullptr;
  }
  std::string errors;
  for (const auto& n : names) {
    m_handle = dlopen(n.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_handle) {
      m_name = n;
      return true;
    }
    if (const char* e = dlerror()) {
      if (!errors.empty()) errors += "; ";
      errors += e;
    }
  }
  AppendError(error, errors);
  return false;
}

void* CDynLib::Symbol(const char* name) const {
  return m_handle ? dlsym(m_handle, name) : nullptr;
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
