// Libraries bound at run time by name (the capture library, language libraries).
#pragma once

#include <string>
#include <vector>

namespace fw {

class CDynLib {
 public:
  CDynLib() = default;
  CDynLib(const CDynLib&) = delete;
  CDynLib& operator=(const CDynLib&) = delete;
  CDynLib(CDynLib&& o) noexcept : m_handle(o.m_handle), m_name(std::move(o.m_name)) {
    o.m_handle = nullptr;
  }
  ~CDynLib();

  // Tries each name in turn; the first that loads is kept.
  [[nodiscard]] bool Open(const std::vector<std::string>& names, std::string* error = nullptr);
  [[nodiscard]] bool Open(const std::string& name, std::string* error = nullptr) {
    return Open(std::vector<std::string>{name}, error);
  }
  void* Symbol(const char* name) const;
  template <typename F>
  F Function(const char* name) const {
    return reinterpret_cast<F>(Symbol(name));
  }
  bool IsOpen() const { return m_handle != nullptr; }
  const std::string& name() const { return m_name; }
  // The library stays loaded for the life of the process (language libraries
  // hand out pointers into themselves).
  void Leak() { m_handle = nullptr; }

 private:
  void* m_handle = nullptr;
  std::string m_name;
};

// Whether the file is an ELF object whose loadable segments all lie inside it
// (a truncated copy would crash the loader). The reason goes to error.
[[nodiscard]] bool IsWholeSharedObject(const std::string& path, std::string* error = nullptr);

// The folder of the running program's file (no trailing slash).
std::string ProgramFolder();
// Whole-program tests lay out a program folder of their own; empty gives
// the real one back.
void OverrideProgramFolder(std::string folder);

}  // namespace fw
