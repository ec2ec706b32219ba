#include "app/captureprobe.h"

#include <gtest/gtest.h>

namespace {

TEST(CaptureProbe, VersionTextIsReadAfterTheWordVersion) {
  struct Case {
    const char* text;
    int minMajor;
    bool incompatible;
    const char* shown;
  } cases[] = {
      // The rule the prompt was written for, with its minimum of 4.
      {"WinPcap version 4.1.2 (packet.dll version 4.1.0.2980)", 4, false, "4.1"},
      {"WinPcap version 3.1 beta4", 4, true, "3.1"},
      {"WinPcap version 3.1", 4, true, ""},  // too short to be read
      {"WinPcap VERSION 4.02 (packet.dll)", 4, false, "4.2"},
      // libpcap: 1.0 brought everything the binding uses.
      {"libpcap version 1.10.3 (with TPACKET_V3)", 1, false, "1.10"},
      {"libpcap version 1.0.0", 1, false, "1.0"},
      {"libpcap version 0.9.8", 1, true, "0.9"},
      {"libpcap version 2.0-PRE-GIT", 1, false, "2.0"},
      // No version to be read: the prompt shows an empty one.
      {"libpcap 1.10.3", 1, true, ""},
      {"", 1, true, ""},
      {"libpcap version 1.", 1, true, ""},     // fewer than four characters after the word
      {"libpcap version  1.10", 1, true, ""},  // the token ends at once
      {"version x.y and more", 1, true, "0.0"},
  };
  for (const auto& c : cases) {
    const CaptureVersion v = ParseCaptureVersion(c.text, c.minMajor);
    EXPECT_EQ(v.incompatible, c.incompatible) << c.text;
    EXPECT_EQ(v.text, c.shown) << c.text;
  }
}

TEST(CaptureProbe, WhatTheLibraryOffersDecidesMessageAndPrompt) {
  fw::CaptureLibraryInfo info;
  CaptureProbe p = EvaluateCaptureLibrary(info);  // no library at all: message, no prompt
  EXPECT_FALSE(p.found);
  EXPECT_FALSE(p.incompatible);

  info.loaded = true;
  info.file = "libpcap.so.1";
  info.versionFunction = true;
  info.versionText = "libpcap version 1.10.3";
  info.entryPoints = true;
  p = EvaluateCaptureLibrary(info);
  EXPECT_TRUE(p.found);
  EXPECT_FALSE(p.incompatible);
  EXPECT_EQ(p.versionText, "1.10");

  info.entryPoints = false;  // a library without what communication needs
  EXPECT_FALSE(EvaluateCaptureLibrary(info).found);

  info.entryPoints = true;
  info.versionText = "libpcap version 0.9.8";
  p = EvaluateCaptureLibrary(info);
  EXPECT_TRUE(p.found);
  EXPECT_TRUE(p.incompatible);
  EXPECT_EQ(p.versionText, "0.9");

  // No text of its own: the file's version block, which only our own modules
  // carry, so an unknown library counts as version 0.0.
  info.versionFunction = false;
  info.versionText.clear();
  info.file = "libc.so.6";
  p = EvaluateCaptureLibrary(info);
  EXPECT_TRUE(p.incompatible);
  EXPECT_EQ(p.versionText, "0.0");
}

TEST(CaptureProbe, MessagesNameTheVersionAndTheMinimum) {
  EXPECT_EQ(CaptureIncompatibleMessage("0.9"),
            "Incompatible libpcap version found (0.9). Please install libpcap version 1.0 or "
            "later to enable communications with the switches.");
  EXPECT_EQ(CaptureMissingMessage(),
            "Unable to locate required components for communications (libpcap).");
}

TEST(CaptureProbe, ThisMachinesLibraryIsReportedConsistently) {
  const fw::CaptureLibraryInfo info = fw::InspectCaptureLibrary();
  const CaptureProbe p = ProbeCaptureLibrary();
  EXPECT_EQ(p.found, info.loaded && info.entryPoints);
  if (info.loaded && info.versionFunction) {
    EXPECT_NE(info.versionText.find("version"), std::string::npos) << info.versionText;
    EXPECT_FALSE(p.incompatible) << info.versionText;  // every library still shipped is 1.x
  }
}

}  // namespace
