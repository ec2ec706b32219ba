#include "platform/dynlib.h"

#include <dlfcn.h>
#include <elf.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <fstream>

#include "platform/text.h"

namespace fw {

namespace {

// Reads the program headers of one ELF class and checks that every loadable
// segment lies inside the file.
template <typename Ehdr, typename Phdr>
bool SegmentsInsideFile(std::ifstream& in, std::uint64_t fileSize, std::string* why) {
  Ehdr eh;
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(&eh), sizeof eh)) {
    *why = "the file is shorter than its header";
    return false;
  }
  if (eh.e_phentsize != sizeof(Phdr) || eh.e_phnum == 0) {
    *why = "the file has no usable program headers";
    return false;
  }
  const std::uint64_t tableEnd =
      static_cast<std::uint64_t>(eh.e_phoff) + std::uint64_t{eh.e_phnum} * sizeof(Phdr);
  if (eh.e_phoff == 0 || tableEnd > fileSize) {
    *why = "the program headers lie beyond the end of the file";
    return false;
  }
  in.seekg(static_cast<std::streamoff>(eh.e_phoff));
  for (unsigned i = 0; i < eh.e_phnum; ++i) {
    Phdr ph;
    if (!in.read(reinterpret_cast<char*>(&ph), sizeof ph)) {
      *why = "the program headers cannot be read";
      return false;
    }
    if (ph.p_type != PT_LOAD) continue;
    const std::uint64_t end = static_cast<std::uint64_t>(ph.p_offset) + ph.p_filesz;
    if (end < ph.p_offset || end > fileSize) {
      *why = "the file is truncated (a loadable segment ends beyond its end)";
      return false;
    }
  }
  return true;
}

}  // namespace

bool IsWholeSharedObject(const std::string& path, std::string* error) {
  std::string why;
  struct stat st {};
  std::ifstream in(path, std::ios::binary);
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || !in) {
    why = "the file cannot be read";
  } else {
    unsigned char ident[EI_NIDENT] = {};
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (!in.read(reinterpret_cast<char*>(ident), sizeof ident) ||
        std::memcmp(ident, ELFMAG, SELFMAG) != 0) {
      why = "the file is not a shared object";
    } else if (ident[EI_CLASS] == ELFCLASS64) {
      if (SegmentsInsideFile<Elf64_Ehdr, Elf64_Phdr>(in, size, &why)) return true;
    } else if (ident[EI_CLASS] == ELFCLASS32) {
      if (SegmentsInsideFile<Elf32_Ehdr, Elf32_Phdr>(in, size, &why)) return true;
    } else {
      why = "the file is not a shared object";
    }
  }
  if (error) *error = path + ": " + why;
  return false;
}

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
    // A damaged file given by path would be mapped as it is, and touching a
    // page past its end kills the process (SIGBUS): look at it first.
    std::string damaged;
    if (n.find('/') != std::string::npos && !IsWholeSharedObject(n, &damaged)) {
      if (!errors.empty()) errors += "; ";
      errors += damaged;
      continue;
    }
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

namespace {
std::string& ProgramFolderOverride() {
  static std::string folder;
  return folder;
}
}  // namespace

void OverrideProgramFolder(std::string folder) {
  ProgramFolderOverride() = std::move(folder);
}

std::string ProgramFolder() {
  if (!ProgramFolderOverride().empty()) return ProgramFolderOverride();
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  std::string path(buf, static_cast<std::size_t>(n));
  auto slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace fw
