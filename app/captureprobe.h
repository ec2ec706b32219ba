// The capture library check at start-up: is the library there with every
// entry point communication needs, and is it new enough. A missing library
// only costs communication; an old one is put to the user (CWinPcapPromptDlg).
#pragma once

#include <string>
#include <string_view>

#include "switch/capturebackend.h"

// The oldest capture library the binding works with, and how it is shown.
inline constexpr int kMinCaptureMajor = 1;
inline constexpr const char* kMinCaptureVersionText = "1.0";

struct CaptureProbe {
  bool found = false;         // the library and every entry point the binding needs
  bool incompatible = false;  // older than the minimum, or its version unreadable
  std::string versionText;    // "major.minor" as read; empty when unreadable
};

struct CaptureVersion {
  bool incompatible = true;
  std::string text;  // "major.minor"; empty when no version was found
};
// Reads the library's own text ("... version X.Y[.Z] ..."), without regard to case.
CaptureVersion ParseCaptureVersion(std::string_view libraryText, int minMajor = kMinCaptureMajor);

// The check on what binding the library found; the file version of the
// library is asked only when it gives no version text of its own.
CaptureProbe EvaluateCaptureLibrary(const fw::CaptureLibraryInfo& info);
// Binds the library, checks it and lets it go again.
CaptureProbe ProbeCaptureLibrary();

// What the user is told: the library is missing (start-up goes on without
// communication), or it is too old (the prompt's text).
std::string CaptureMissingMessage();
std::string CaptureIncompatibleMessage(const std::string& versionText);
