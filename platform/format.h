// printf-style formatting of texts from the string table. A translated text
// whose % specifiers do not match the arguments is never passed on blindly: the
// result is the text with the first offending specifier marked, so a wrong
// translation shows up on screen instead of crashing or printing garbage.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace fw {

class FormatArg {
 public:
  enum class Kind { Int, UInt, Double, String, Pointer };

  template <typename T>
  requires(std::is_integral_v<T>&& std::is_signed_v<T>) FormatArg(T v)
      : m_kind(Kind::Int), m_int(v) {}
  template <typename T>
  requires(std::is_integral_v<T>&& std::is_unsigned_v<T> && !std::is_same_v<T, bool>) FormatArg(T v)
      : m_kind(Kind::UInt), m_uint(v) {}
  FormatArg(bool v) : m_kind(Kind::Int), m_int(v ? 1 : 0) {}
  FormatArg(double v) : m_kind(Kind::Double), m_double(v) {}
  FormatArg(float v) : m_kind(Kind::Double), m_double(v) {}
  FormatArg(const char* s) : m_kind(Kind::String), m_string(s ? s : "(null)") {}
  FormatArg(const std::string& s) : m_kind(Kind::String), m_string(s) {}
  FormatArg(std::string_view s) : m_kind(Kind::String), m_string(s) {}
  FormatArg(const void* p) : m_kind(Kind::Pointer), m_pointer(p) {}

  Kind kind() const { return m_kind; }
  long long i() const { return m_int; }
  unsigned long long u() const { return m_uint; }
  double d() const { return m_double; }
  const std::string& s() const { return m_string; }
  const void* p() const { return m_pointer; }

 private:
  Kind m_kind;
  long long m_int = 0;
  unsigned long long m_uint = 0;
  double m_double = 0;
  std::string m_string;
  const void* m_pointer = nullptr;
};

// Checks the specifiers of fmt against args. Returns an empty string when they
// match, else a short description of the first mismatch; *pos (when given) is
// set to the byte offset of the offending specifier (fmt.size() for surplus arguments).
std::string CheckFormat(std::string_view fmt, const std::vector<FormatArg>& args,
                        std::size_t* pos = nullptr, std::size_t* len = nullptr);

// Formats like sprintf. On a mismatch the format text itself comes back with
// the offending specifier wrapped in "[!" and "]".
std::string FormatChecked(std::string_view fmt, const std::vector<FormatArg>& args);

template <typename... Args>
std::string FormatText(std::string_view fmt, const Args&... args) {
  return FormatChecked(fmt, std::vector<FormatArg>{FormatArg(args)...});
}

}  // namespace fw
