#include "platform/format.h"

#include <fmt/printf.h>

#include <algorithm>

namespace fw {

namespace {

// No text of the string table needs a wider field; a larger width or
// precision is a damaged translation, not a request for gigabytes of blanks.
constexpr long long kMaxField = 1024;

struct Spec {
  std::size_t pos = 0, len = 0;
  bool starWidth = false, starPrecision = false;
  long long width = 0, precision = 0;  // literal values, capped just above kMaxField
  char conv = 0;
  std::string normalised;  // the specifier as {fmt} accepts it
};

// Parses the specifier at fmt[i] == '%'. Returns false on a malformed one.
bool ParseSpec(std::string_view fmt, std::size_t i, Spec& spec) {
  spec = Spec{};
  spec.pos = i;
  std::size_t j = i + 1;
  std::string norm = "%";
  auto take = [&](auto pred) {
    while (j < fmt.size() && pred(fmt[j])) norm += fmt[j++];
  };
  auto number = [&](long long* out) {
    while (j < fmt.size() && fmt[j] >= '0' && fmt[j] <= '9') {
      *out = std::min(*out * 10 + (fmt[j] - '0'), kMaxField + 1);
      norm += fmt[j++];
    }
  };
  take([](char c) { return c == '-' || c == '+' || c == ' ' || c == '#' || c == '0'; });
  if (j < fmt.size() && fmt[j] == '*') {
    spec.starWidth = true;
    norm += fmt[j++];
  } else {
    number(&spec.width);
  }
  if (j < fmt.size() && fmt[j] == '.') {
    norm += fmt[j++];
    if (j < fmt.size() && fmt[j] == '*') {
      spec.starPrecision = true;
      norm += fmt[j++];
    } else {
      number(&spec.precision);
    }
  }
  // Length modifiers do not change the check: the argument carries its own width.
  // "I64" is the Windows spelling of "ll".
  if (fmt.substr(j, 3) == "I64") {
    j += 3;
  } else {
    while (j < fmt.size() && (fmt[j] == 'h' || fmt[j] == 'l' || fmt[j] == 'L' || fmt[j] == 'z' ||
                              fmt[j] == 'j' || fmt[j] == 't'))
      ++j;
  }
  if (j >= fmt.size()) return false;
  const char c = fmt[j++];
  static constexpr std::string_view kConversions = "diouxXeEfFgGaAcsp%";
  if (kConversions.find(c) == std::string_view::npos) return false;
  spec.conv = c;
  norm += c;
  spec.len = j - i;
  spec.normalised = std::move(norm);
  return true;
}

bool ArgFits(char conv, const FormatArg& a) {
  using K = FormatArg::Kind;
  switch (conv) {
    case 'd':
    case 'i':
    case 'o':
    case 'u':
    case 'x':
    case 'X':
    case 'c': return a.kind() == K::Int || a.kind() == K::UInt;
    case 'e':
    case 'E':
    case 'f':
    case 'F':
    case 'g':
    case 'G':
    case 'a':
    case 'A': return a.kind() == K::Double;
    case 's': return a.kind() == K::String;
    case 'p': return a.kind() == K::Pointer;
  }
  return false;
}

}  // namespace

std::string CheckFormat(std::string_view fmt, const std::vector<FormatArg>& args, std::size_t* pos,
                        std::size_t* len) {
  std::size_t next = 0;
  auto fail = [&](std::size_t p, std::size_t l, std::string why) {
    if (pos) *pos = p;
    if (len) *len = l;
    return why;
  };
  for (std::size_t i = 0; i < fmt.size(); ++i) {
    if (fmt[i] != '%') continue;
    Spec spec;
    if (!ParseSpec(fmt, i, spec))
      return fail(i, fmt.size() - i < 2 ? fmt.size() - i : 2, "malformed specifier");
    if (spec.width > kMaxField || spec.precision > kMaxField)
      return fail(i, spec.len, "width or precision too large");
    if (spec.conv != '%') {
      for (int star = (spec.starWidth ? 1 : 0) + (spec.starPrecision ? 1 : 0); star > 0; --star) {
        if (next >= args.size()) return fail(i, spec.len, "missing argument");
        const FormatArg& a = args[next];
        if (a.kind() != FormatArg::Kind::Int && a.kind() != FormatArg::Kind::UInt)
          return fail(i, spec.len, "width is not an integer");
        // Checked here so that negating a negative width can never overflow.
        if (a.kind() == FormatArg::Kind::Int ? (a.i() < -kMaxField || a.i() > kMaxField)
                                             : a.u() > static_cast<unsigned long long>(kMaxField))
          return fail(i, spec.len, "width or precision too large");
        ++next;
      }
      if (next >= args.size()) return fail(i, spec.len, "missing argument");
      if (!ArgFits(spec.conv, args[next])) return fail(i, spec.len, "argument of the wrong type");
      ++next;
    }
    i += spec.len - 1;
  }
  if (next != args.size()) return fail(fmt.size(), 0, "surplus argument");
  return {};
}

std::string FormatChecked(std::string_view fmt, const std::vector<FormatArg>& args) {
  std::size_t pos = 0, len = 0;
  if (!CheckFormat(fmt, args, &pos, &len).empty()) {
    std::string marked(fmt.substr(0, pos));
    marked += "[!";
    marked += fmt.substr(pos, len);
    marked += "]";
    marked += fmt.substr(pos + len);
    return marked;
  }
  // Rebuild the format with normalised specifiers ({fmt} does not know "I64")
  // and format piecewise, one specifier at a time, with a typed argument.
  std::string out;
  std::size_t next = 0;
  auto intArg = [&](const FormatArg& a) {
    return a.kind() == FormatArg::Kind::Int ? static_cast<long long>(a.i())
                                            : static_cast<long long>(a.u());
  };
  try {
    for (std::size_t i = 0; i < fmt.size(); ++i) {
      if (fmt[i] != '%') {
        out += fmt[i];
        continue;
      }
      Spec spec;
      ParseSpec(fmt, i, spec);
      i += spec.len - 1;
      if (spec.conv == '%') {
        out += '%';
        continue;
      }
      std::string f = spec.normalised;
      // Resolve '*' into literal numbers so each call formats exactly one value.
      for (int which = 0; which < 2; ++which) {
        bool star = which == 0 ? spec.starWidth : spec.starPrecision;
        if (!star) continue;
        long long v = intArg(args[next++]);
        std::size_t at = which == 0 ? f.find('*') : f.rfind('*');
        if (which == 0 && v < 0) {
          f.replace(at, 1, std::to_string(-v));
          f.insert(1, "-");
        } else {
          f.replace(at, 1, std::to_string(v < 0 ? 0 : v));
        }
      }
      const FormatArg& a = args[next++];
      switch (a.kind()) {
        case FormatArg::Kind::Int: out += fmt::sprintf(f, a.i()); break;
        case FormatArg::Kind::UInt: out += fmt::sprintf(f, a.u()); break;
        case FormatArg::Kind::Double: out += fmt::sprintf(f, a.d()); break;
        case FormatArg::Kind::String: out += fmt::sprintf(f, a.s()); break;
        case FormatArg::Kind::Pointer: out += fmt::sprintf(f, a.p()); break;
      }
    }
  } catch (const std::exception&) {
    std::string marked = "[!";
    marked += fmt;
    marked += "]";
    return marked;
  }
  return out;
}

}  // namespace fw
