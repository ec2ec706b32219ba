// Reading the version block of one of the program's own modules: its fixed
// information and the values of its string table ("FileVersion", ...).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/modules.h"
#include "platform/resourcebundle.h"

// The fixed part of a version block, field for field as on the platform.
struct VS_FIXEDFILEINFO {
  std::uint32_t dwSignature;
  std::uint32_t dwStrucVersion;
  std::uint32_t dwFileVersionMS;
  std::uint32_t dwFileVersionLS;
  std::uint32_t dwProductVersionMS;
  std::uint32_t dwProductVersionLS;
  std::uint32_t dwFileFlagsMask;
  std::uint32_t dwFileFlags;
  std::uint32_t dwFileOS;
  std::uint32_t dwFileType;
  std::uint32_t dwFileSubtype;
  std::uint32_t dwFileDateMS;
  std::uint32_t dwFileDateLS;
};
static_assert(sizeof(VS_FIXEDFILEINFO) == 52);

inline constexpr std::uint32_t kVersionSignature = 0xFEEF04BD;
// The id of a module's own version block.
inline constexpr unsigned VS_VERSION_INFO = 1;

// The fixed information a version block gives.
VS_FIXEDFILEINFO FixedFileInfo(const fw::CVersionInfo& info);

class CModuleVersion : public VS_FIXEDFILEINFO {
 public:
  static constexpr std::uint16_t kDefaultCodePage = 1252;

  CModuleVersion();

  // Reads the version block of a loaded module, by name or by handle. True
  // when it was read and carries the signature; false for a module that is
  // not loaded or has no block. Every read starts afresh: the fixed part is
  // zeroed and the translation is language 0, code page 1252 until the block
  // names its own.
  bool GetFileVersionInfo(std::string_view moduleName, fw::HMODULE module = nullptr);
  // The value of that name in the string table of the current translation;
  // empty without a block or such a value.
  std::string GetValue(std::string_view name) const;

  std::uint16_t language() const { return m_language; }
  std::uint16_t codePage() const { return m_codePage; }

 private:
  std::optional<fw::CVersionInfo> m_data;
  std::uint16_t m_language = 0;
  std::uint16_t m_codePage = kDefaultCodePage;
};

// Results of GetFileVersionString.
enum : int { kFileVersionOk = 0, kFileVersionUnreadable = -1 };

// The first two fields of a module's "FileVersion" text (each with leading
// blanks skipped, at most ten characters, read as atoi reads). A module not
// loaded is read from its file and let go again. kFileVersionOk also when
// the module cannot be loaded at all; the outputs are then untouched, as they
// are for kFileVersionUnreadable (a library without a block of ours).
[[nodiscard]] int GetFileVersionString(const std::string& fileName, int* major, int* minor);

// The fields of a "FileVersion" text as GetFileVersionString takes them.
void ParseFileVersionText(std::string_view text, int* major, int* minor);
