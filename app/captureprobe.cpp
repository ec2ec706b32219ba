#include "app/captureprobe.h"

#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"
#include "tools/moduleversion.h"

CaptureVersion ParseCaptureVersion(std::string_view libraryText, int minMajor) {
  CaptureVersion v;
  const std::string text = fw::ToLowerAscii(libraryText);
  const std::size_t at = text.find("version");
  if (at == std::string::npos) return v;
  const std::size_t from = at + 8;
  // At least four characters must follow the blank after the word.
  if (text.size() <= from + 3) return v;
  const std::size_t blank = text.find(' ', from);
  const std::string token =
      text.substr(from, blank == std::string::npos ? std::string::npos : blank - from);
  if (token.empty()) return v;
  int major = 0, minor = 0;
  ParseFileVersionText(token, &major, &minor);
  v.text = fw::FormatText("%d.%d", major, minor);
  v.incompatible = major < minMajor;
  return v;
}

CaptureProbe EvaluateCaptureLibrary(const fw::CaptureLibraryInfo& info) {
  CaptureProbe probe;
  if (!info.loaded) return probe;
  if (info.versionFunction) {
    const CaptureVersion v = ParseCaptureVersion(info.versionText);
    probe.incompatible = v.incompatible;
    probe.versionText = v.text;
  } else {
    int major = 0, minor = 0;
    if (GetFileVersionString(info.file, &major, &minor) != kFileVersionOk) major = minor = 0;
    probe.versionText = fw::FormatText("%d.%d", major, minor);
    probe.incompatible = major < kMinCaptureMajor;
  }
  probe.found = info.entryPoints;
  return probe;
}

CaptureProbe ProbeCaptureLibrary() {
  return EvaluateCaptureLibrary(fw::InspectCaptureLibrary());
}

std::string CaptureMissingMessage() {
  return LoadResString(IDS_CAPTURE_LIBRARY_MISSING);
}

std::string CaptureIncompatibleMessage(const std::string& versionText) {
  return fw::FormatText("%s (%s). %s %s %s", LoadResString(IDS_CAPTURE_VERSION_INCOMPATIBLE),
                        versionText, LoadResString(IDS_CAPTURE_INSTALL_VERSION),
                        kMinCaptureVersionText, LoadResString(IDS_CAPTURE_OR_LATER));
}
