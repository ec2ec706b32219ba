#include "tools/moduleversion.h"

#include <algorithm>
#include <climits>
#include <memory>

#include "platform/format.h"
#include "platform/text.h"

VS_FIXEDFILEINFO FixedFileInfo(const fw::CVersionInfo& info) {
  auto pair = [](std::uint16_t high, std::uint16_t low) {
    return (static_cast<std::uint32_t>(high) << 16) | low;
  };
  VS_FIXEDFILEINFO f{};
  f.dwSignature = kVersionSignature;
  f.dwStrucVersion = 0x00010000;
  f.dwFileVersionMS = pair(info.fileVersion[0], info.fileVersion[1]);
  f.dwFileVersionLS = pair(info.fileVersion[2], info.fileVersion[3]);
  f.dwProductVersionMS = pair(info.productVersion[0], info.productVersion[1]);
  f.dwProductVersionLS = pair(info.productVersion[2], info.productVersion[3]);
  f.dwFileFlagsMask = info.fileFlagsMask;
  f.dwFileFlags = info.fileFlags;
  f.dwFileOS = info.fileOs;
  f.dwFileType = info.fileType;
  f.dwFileSubtype = info.fileSubtype;
  return f;
}

CModuleVersion::CModuleVersion() : VS_FIXEDFILEINFO{} {}

bool CModuleVersion::GetFileVersionInfo(std::string_view moduleName, fw::HMODULE module) {
  // Nothing of an earlier read may answer for this one.
  m_language = 0;
  m_codePage = kDefaultCodePage;
  static_cast<VS_FIXEDFILEINFO&>(*this) = VS_FIXEDFILEINFO{};
  m_data.reset();
  if (!module) module = fw::GetModuleHandle(moduleName);
  if (!module || !module->bundle) return false;
  const fw::CVersionInfo* info = module->bundle->FindVersionInfo(VS_VERSION_INFO);
  if (!info) return false;
  m_data = *info;
  static_cast<VS_FIXEDFILEINFO&>(*this) = FixedFileInfo(*info);
  if (!info->translations.empty()) {
    m_language = info->translations.front().first;
    m_codePage = info->translations.front().second;
  }
  return dwSignature == kVersionSignature;
}

std::string CModuleVersion::GetValue(std::string_view name) const {
  if (!m_data) return {};
  const std::string table = fw::FormatText("%04x%04x", m_language, m_codePage);
  const std::string* value = m_data->FindValue(table, name);
  return value ? *value : std::string();
}

void ParseFileVersionText(std::string_view text, int* major, int* minor) {
  auto field = [&](std::size_t from, std::size_t* next) {
    std::size_t end = text.find('.', from);
    if (end == std::string_view::npos) end = text.size();
    *next = end == text.size() ? end : end + 1;
    std::string_view f = text.substr(from, end - from);
    while (!f.empty() && (f.front() == ' ' || f.front() == '\t')) f.remove_prefix(1);
    const long long v = fw::AtoI(f.substr(0, 10));
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
  };
  std::size_t next = 0;
  *major = field(0, &next);
  *minor = next < text.size() ? field(next, &next) : 0;
}

int GetFileVersionString(const std::string& fileName, int* major, int* minor) {
  const fw::CResourceBundle* bundle = nullptr;
  std::unique_ptr<fw::CResourceBundle> fromFile;
  if (fw::HMODULE module = fw::GetModuleHandle(fileName)) {
    bundle = module->bundle;
  } else {
    switch (fw::ReadModuleResources(fileName, &fromFile)) {
      case fw::ModuleData::kNotLoadable: return kFileVersionOk;
      case fw::ModuleData::kNoResources: return kFileVersionUnreadable;
      case fw::ModuleData::kRead: bundle = fromFile.get(); break;
    }
  }
  CModuleVersion version;
  fw::CModule data{fileName, bundle};
  if (!version.GetFileVersionInfo(fileName, &data)) return kFileVersionUnreadable;
  ParseFileVersionText(version.GetValue("FileVersion"), major, minor);
  return kFileVersionOk;
}
