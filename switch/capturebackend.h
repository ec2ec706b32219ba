// The packet capture library behind an interface: the real one is bound at run
// time (pcapbackend.cpp), tests plug in a fake that talks to a software switch.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace fw {

using MacAddress = std::array<std::uint8_t, 6>;

// One address of a capture device: four socket addresses of 16 bytes each,
// copied as the library gives them (an absent one stays zero).
struct CaptureAddress {
  std::array<std::uint8_t, 16> address{}, netmask{}, broadcast{}, destination{};
};

struct CaptureDevice {
  std::string name;
  std::string description;
  std::vector<CaptureAddress> addresses;
};

// Results of the capture interface.
enum CaptureResult : int {
  kCaptureOk = 0,
  kCaptureFrame = 1,    // Receive: a frame came
  kCaptureNothing = 0,  // Receive: nothing came in the wait
  kCaptureError = -1,
};

// One open device. Used by one thread.
class ICaptureHandle {
 public:
  virtual ~ICaptureHandle() = default;
  // kCaptureOk when the frame went out; kCaptureError otherwise with the
  // library's text in *error.
  [[nodiscard]] virtual int Send(const std::uint8_t* data, std::size_t len, std::string* error) = 0;
  // kCaptureFrame with the next frame (valid until the next call), waiting at
  // most wait_ms when none is queued; kCaptureNothing when nothing came;
  // kCaptureError on a library error.
  // caplen is what was captured, wirelen the frame's length on the wire.
  [[nodiscard]] virtual int Receive(const std::uint8_t** data, std::size_t* caplen,
                                    std::size_t* wirelen, std::uint32_t wait_ms) = 0;
};

class ICaptureBackend {
 public:
  virtual ~ICaptureBackend() = default;
  // False when the library is missing or too old; Loaded() and Version() say which.
  virtual bool Usable() const = 0;
  // False when no capture library could be loaded at all.
  virtual bool Loaded() const { return true; }
  virtual std::string Version() const = 0;
  // Appends the machine's Ethernet capture devices and returns how many *out
  // holds; kCaptureError with *error on failure.
  [[nodiscard]] virtual int FindDevices(std::vector<CaptureDevice>* out, std::string* error) = 0;
  // The interface's MAC address; false when it cannot be read.
  [[nodiscard]] virtual bool AdapterMac(const std::string& device, MacAddress* mac) = 0;
  // Opens the device for raw Ethernet; nullptr with *error on failure.
  [[nodiscard]] virtual std::unique_ptr<ICaptureHandle> Open(const std::string& device,
                                                             std::string* error) = 0;
};

// The backend every cswitchcomm uses unless it is given one. The first call
// binds the capture library (once per process); a failure to bind is shown once.
ICaptureBackend& ProcessCaptureBackend();
// Replaces the process backend (tests); nullptr restores the real one.
void SetProcessCaptureBackend(ICaptureBackend* backend);

// What the capture library offers, for the programs' start-up check.
struct CaptureLibraryInfo {
  bool loaded = false;           // a library file was found and loaded
  std::string file;              // the name it was loaded by
  bool versionFunction = false;  // it can tell its version
  std::string versionText;       // what it told
  bool entryPoints = false;      // every entry point the capture binding needs is there
};
// Binds the library by the names and entry points the process backend uses,
// looks at it and lets it go again.
CaptureLibraryInfo InspectCaptureLibrary();

// Reads "... version X.Y..." and returns true when the major number X is at
// least min_major. The text after the word must hold at least four characters.
bool CaptureVersionCompatible(const std::string& version_text, int min_major);

}  // namespace fw
