// The capture library bound at run time with dlopen (it is never linked, so
// the programs start, and say so plainly, on a machine without it).
#include <net/if.h>
#include <net/if_arp.h>
#include <pcap/pcap.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/dynlib.h"
#include "platform/message.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"
#include "switch/capturebackend.h"

namespace fw {
namespace {

// libpcap 1.0 brought pcap_create/pcap_activate, which everything here relies on.
constexpr int kMinMajorVersion = 1;
constexpr int kSnapLength = 1000;
constexpr const char* kFilter = "ether proto 0x88b7 or (vlan and ether proto 0x88b7)";

struct PcapApi {
  const char* (*lib_version)() = nullptr;
  int (*findalldevs)(pcap_if_t**, char*) = nullptr;
  void (*freealldevs)(pcap_if_t*) = nullptr;
  pcap_t* (*create)(const char*, char*) = nullptr;
  int (*set_snaplen)(pcap_t*, int) = nullptr;
  int (*set_promisc)(pcap_t*, int) = nullptr;
  int (*set_immediate_mode)(pcap_t*, int) = nullptr;
  int (*activate)(pcap_t*) = nullptr;
  int (*datalink)(pcap_t*) = nullptr;
  int (*setnonblock)(pcap_t*, int, char*) = nullptr;
  int (*get_selectable_fd)(pcap_t*) = nullptr;
  int (*compile)(pcap_t*, bpf_program*, const char*, int, bpf_u_int32) = nullptr;
  int (*setfilter)(pcap_t*, bpf_program*) = nullptr;
  void (*freecode)(bpf_program*) = nullptr;
  int (*sendpacket)(pcap_t*, const u_char*, int) = nullptr;
  int (*next_ex)(pcap_t*, pcap_pkthdr**, const u_char**) = nullptr;
  void (*close)(pcap_t*) = nullptr;
  char* (*geterr)(pcap_t*) = nullptr;
  const char* (*statustostr)(int) = nullptr;
  int (*setdirection)(pcap_t*, pcap_direction_t) = nullptr;  // optional

  bool Complete() const {
    return findalldevs && freealldevs && create && set_snaplen && set_promisc &&
           set_immediate_mode && activate && datalink && setnonblock && get_selectable_fd &&
           compile && setfilter && freecode && sendpacket && next_ex && close && geterr &&
           statustostr;
  }
};

// The names the library goes by (Debian keeps the old soname), the development link last.
const std::vector<std::string>& PcapLibraryNames() {
  static const std::vector<std::string> names = {"libpcap.so.0.8", "libpcap.so.1", "libpcap.so"};
  return names;
}

// Every entry point but the version, which is looked at first.
void BindEntryPoints(const CDynLib& lib, PcapApi* api) {
  api->findalldevs = lib.Function<decltype(api->findalldevs)>("pcap_findalldevs");
  api->freealldevs = lib.Function<decltype(api->freealldevs)>("pcap_freealldevs");
  api->create = lib.Function<decltype(api->create)>("pcap_create");
  api->set_snaplen = lib.Function<decltype(api->set_snaplen)>("pcap_set_snaplen");
  api->set_promisc = lib.Function<decltype(api->set_promisc)>("pcap_set_promisc");
  api->set_immediate_mode =
      lib.Function<decltype(api->set_immediate_mode)>("pcap_set_immediate_mode");
  api->activate = lib.Function<decltype(api->activate)>("pcap_activate");
  api->datalink = lib.Function<decltype(api->datalink)>("pcap_datalink");
  api->setnonblock = lib.Function<decltype(api->setnonblock)>("pcap_setnonblock");
  api->get_selectable_fd = lib.Function<decltype(api->get_selectable_fd)>("pcap_get_selectable_fd");
  api->compile = lib.Function<decltype(api->compile)>("pcap_compile");
  api->setfilter = lib.Function<decltype(api->setfilter)>("pcap_setfilter");
  api->freecode = lib.Function<decltype(api->freecode)>("pcap_freecode");
  api->sendpacket = lib.Function<decltype(api->sendpacket)>("pcap_sendpacket");
  api->next_ex = lib.Function<decltype(api->next_ex)>("pcap_next_ex");
  api->close = lib.Function<decltype(api->close)>("pcap_close");
  api->geterr = lib.Function<decltype(api->geterr)>("pcap_geterr");
  api->statustostr = lib.Function<decltype(api->statustostr)>("pcap_statustostr");
  api->setdirection = lib.Function<decltype(api->setdirection)>("pcap_setdirection");
}

// ARPHRD_ETHER hardware address of an interface, read with SIOCGIFHWADDR.
bool ReadHardwareAddress(const std::string& device, MacAddress* mac) {
  if (device.empty() || device.size() >= IFNAMSIZ) return false;
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  ifreq req{};
  std::memcpy(req.ifr_name, device.c_str(), device.size());
  const bool ok = ::ioctl(fd, SIOCGIFHWADDR, &req) == 0 && req.ifr_hwaddr.sa_family == ARPHRD_ETHER;
  ::close(fd);
  if (ok) std::memcpy(mac->data(), req.ifr_hwaddr.sa_data, 6);
  return ok;
}

void CopySockaddr(const sockaddr* sa, std::array<std::uint8_t, 16>* out) {
  if (sa == nullptr) return;
  std::memcpy(out->data(), sa, out->size());
}

class CPcapHandle : public ICaptureHandle {
 public:
  CPcapHandle(const PcapApi& api, pcap_t* p) : m_api(api), p_(p), m_fd(api.get_selectable_fd(p)) {}
  ~CPcapHandle() override { m_api.close(p_); }

  int Send(const std::uint8_t* data, std::size_t len, std::string* error) override {
    if (m_api.sendpacket(p_, data, static_cast<int>(len)) < 0) {
      AppendError(error, m_api.geterr(p_));
      return kCaptureError;
    }
    return kCaptureOk;
  }

  int Receive(const std::uint8_t** data, std::size_t* caplen, std::size_t* wirelen,
              std::uint32_t wait_ms) override {
    // Take what is queued first; wait only when nothing is, so a busy
    // segment never makes us sleep with frames waiting.
    int r = Next(data, caplen, wirelen);
    if (r != kCaptureNothing) return r;
    if (m_fd < 0) return kCaptureNothing;
    pollfd pfd{m_fd, POLLIN, 0};
    if (::poll(&pfd, 1, static_cast<int>(wait_ms)) <= 0) return kCaptureNothing;
    return Next(data, caplen, wirelen);
  }

 private:
  int Next(const std::uint8_t** data, std::size_t* caplen, std::size_t* wirelen) {
    pcap_pkthdr* hdr = nullptr;
    const u_char* bytes = nullptr;
    const int r = m_api.next_ex(p_, &hdr, &bytes);
    if (r == 1 && hdr != nullptr && bytes != nullptr) {
      *data = bytes;
      *caplen = hdr->caplen;
      *wirelen = hdr->len;
      return kCaptureFrame;
    }
    return r < 0 ? kCaptureError : kCaptureNothing;
  }

  const PcapApi& m_api;
  pcap_t* p_;
  int m_fd;
};

class CPcapBackend : public ICaptureBackend {
 public:
  CPcapBackend() {
    std::string error;
    if (!m_lib.Open(PcapLibraryNames(), &error)) {
      AfxMessageBox(LoadResString(IDS_CAPTURE_LOAD_FAILED));
      return;
    }
    m_loaded = true;
    m_api.lib_version = m_lib.Function<const char* (*)()>("pcap_lib_version");
    if (m_api.lib_version == nullptr) return;
    m_version = m_api.lib_version() ? m_api.lib_version() : "";
    if (!CaptureVersionCompatible(m_version, kMinMajorVersion)) return;
    BindEntryPoints(m_lib, &m_api);
    m_usable = m_api.Complete();
  }

  bool Usable() const override { return m_usable; }
  bool Loaded() const override { return m_loaded; }
  std::string Version() const override { return m_version; }

  int FindDevices(std::vector<CaptureDevice>* out, std::string* error) override {
    if (!m_usable) return kCaptureError;
    char errbuf[PCAP_ERRBUF_SIZE] = {};
    pcap_if_t* all = nullptr;
    if (m_api.findalldevs(&all, errbuf) < 0) {
      AppendError(error, errbuf);
      return kCaptureError;
    }
    for (pcap_if_t* d = all; d != nullptr; d = d->next) {
      if (d->name == nullptr || (d->flags & PCAP_IF_LOOPBACK)) continue;
      // Only Ethernet interfaces can reach a switch (this also drops "any",
      // USB, netlink and bus monitors).
      MacAddress mac{};
      if (!ReadHardwareAddress(d->name, &mac)) continue;
      CaptureDevice dev;
      dev.name = d->name;
      dev.description = d->description ? d->description : "";
      for (pcap_addr_t* a = d->addresses; a != nullptr; a = a->next) {
        CaptureAddress ca;
        CopySockaddr(a->addr, &ca.address);
        CopySockaddr(a->netmask, &ca.netmask);
        CopySockaddr(a->broadaddr, &ca.broadcast);
        CopySockaddr(a->dstaddr, &ca.destination);
        dev.addresses.push_back(ca);
      }
      out->push_back(std::move(dev));
    }
    m_api.freealldevs(all);
    return static_cast<int>(out->size());
  }

  bool AdapterMac(const std::string& device, MacAddress* mac) override {
    return ReadHardwareAddress(device, mac);
  }

  std::unique_ptr<ICaptureHandle> Open(const std::string& device, std::string* error) override {
    if (!m_usable) {
      AppendError(error, LoadResString(IDS_CAPTURE_SEND_UNAVAILABLE));
      return nullptr;
    }
    char errbuf[PCAP_ERRBUF_SIZE] = {};
    pcap_t* p = m_api.create(device.c_str(), errbuf);
    if (p == nullptr) {
      AppendError(error, FormatRes(IDS_CAPTURE_OPEN_FAILED, device, std::string(errbuf)));
      return nullptr;
    }
    m_api.set_snaplen(p, kSnapLength);
    m_api.set_promisc(p, 0);
    m_api.set_immediate_mode(p, 1);
    const int r = m_api.activate(p);
    if (r == PCAP_ERROR_PERM_DENIED) {
      AppendError(error, FormatRes(IDS_CAPTURE_NOT_PERMITTED, device));
      m_api.close(p);
      return nullptr;
    }
    if (r < 0) {
      AppendError(error, FormatRes(IDS_CAPTURE_OPEN_FAILED, device,
                                   std::string(m_api.statustostr(r)) + " " + m_api.geterr(p)));
      m_api.close(p);
      return nullptr;
    }
    if (m_api.datalink(p) != DLT_EN10MB) {
      AppendError(error, FormatRes(IDS_CAPTURE_NOT_ETHERNET, device));
      m_api.close(p);
      return nullptr;
    }
    if (m_api.setnonblock(p, 1, errbuf) < 0) {
      AppendError(error, FormatRes(IDS_CAPTURE_OPEN_FAILED, device, std::string(errbuf)));
      m_api.close(p);
      return nullptr;
    }
    // Our own requests need not come back to us.
    if (m_api.setdirection) m_api.setdirection(p, PCAP_D_IN);
    // The kernel drops everything but our protocol, so a busy segment does
    // not bury the replies. Without the filter the parsers still sort frames.
    bpf_program prog{};
    if (m_api.compile(p, &prog, kFilter, 1, PCAP_NETMASK_UNKNOWN) == 0) {
      m_api.setfilter(p, &prog);
      m_api.freecode(&prog);
    }
    return std::make_unique<CPcapHandle>(m_api, p);
  }

 private:
  CDynLib m_lib;
  PcapApi m_api;
  std::string m_version;
  bool m_loaded = false;
  bool m_usable = false;
};

std::mutex& BackendMutex() {
  static std::mutex m;
  return m;
}
ICaptureBackend* g_override = nullptr;

}  // namespace

bool CaptureVersionCompatible(const std::string& text, int min_major) {
  const auto at = text.find("version");
  if (at == std::string::npos) return false;
  const std::size_t from = at + 8;
  if (from > text.size() || text.size() - from < 4) return false;
  const auto blank = text.find(' ', from);
  const std::string number =
      text.substr(from, blank == std::string::npos ? std::string::npos : blank - from);
  const std::string major = number.substr(0, std::min<std::size_t>(number.find('.'), 10));
  if (major.empty() ||
      !std::all_of(major.begin(), major.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  long value = 0;
  for (char c : major) value = std::min(value * 10 + (c - '0'), 1000000L);
  return value >= min_major;
}

CaptureLibraryInfo InspectCaptureLibrary() {
  CaptureLibraryInfo info;
  CDynLib lib;
  if (!lib.Open(PcapLibraryNames())) return info;
  info.loaded = true;
  info.file = lib.name();
  if (auto version = lib.Function<const char* (*)()>("pcap_lib_version")) {
    info.versionFunction = true;
    const char* text = version();
    info.versionText = text ? text : "";
  }
  PcapApi api;
  BindEntryPoints(lib, &api);
  info.entryPoints = api.Complete();
  return info;
}

ICaptureBackend& ProcessCaptureBackend() {
  std::lock_guard lock(BackendMutex());
  if (g_override) return *g_override;
  // Bound once per process, so a missing library is reported once.
  static CPcapBackend backend;
  return backend;
}

void SetProcessCaptureBackend(ICaptureBackend* backend) {
  std::lock_guard lock(BackendMutex());
  g_override = backend;
}

}  // namespace fw
