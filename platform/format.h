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
  requires(std::is_integral_v<T>&& std::is_signed_v<T>) FormatArg(T v) : kind_(Kind::Int), i_(v) {}
  template <typename T>
  requires(std::is_integral_v<T>&& std::is_unsigned_v<T> && !std::is_same_v<T, bool>) FormatArg(T v)
      : kind_(Kind::UInt), u_(v) {}
  FormatArg(bool v) : kind_(Kind::Int), i_(v ? 1 : 0) {}
  FormatArg(double v) : kind_(Kind::Double), d_(v) {}
  FormatArg(float v) : kind_(Kind::Double), d_(v) {}
  FormatArg(const char* s) : kind_(Kind::String), s_(s ? s : "(null)") {}
  FormatArg(const std::string& s) : kind_(Kind::String), s_(s) {}
  FormatArg(std::string_view s) : kind_(Kind::String), s_(s) {}
  FormatArg(const void* p) : kind_(Kind::Pointer), p_(p) {}

  Kind kind() const { return kind_; }
  long long i() const { return i_; }
  unsigned long long u() const { return u_; }
  double d() const { return d_; }
  const std::string& s() const { return s_; }
  const void* p() const { return p_; }

 private:
  Kind kind_;
  long long i_ = 0;
  unsigned long long u_ = 0;
  double d_ = 0;
  std::string s_;
  const void* p_ = nullptr;
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
