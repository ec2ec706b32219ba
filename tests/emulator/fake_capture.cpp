#include "tests/emulator/fake_capture.h"

#include <algorithm>

#include "platform/text.h"

namespace fw::emu {

class CFakeCapture::Handle : public ICaptureHandle {
 public:
  Handle(CFakeCapture& owner, const std::string& device) : m_owner(owner), m_device(device) {
    m_owner.m_segments[m_device].handles.push_back(this);
    ++m_owner.open_handles;
  }
  ~Handle() override {
    auto& hs = m_owner.m_segments[m_device].handles;
    hs.erase(std::remove(hs.begin(), hs.end(), this), hs.end());
    --m_owner.open_handles;
  }

  int Send(const std::uint8_t* data, std::size_t len, std::string* error) override {
    if (m_owner.send_fails) {
      fw::AppendError(error, m_owner.send_error);
      return kCaptureError;
    }
    std::vector<std::uint8_t> frame(data, data + len);
    m_owner.sent[m_device].push_back(frame);
    auto& seg = m_owner.m_segments[m_device];
    // A frame reaches every station of the segment at the same moment, so
    // their reply latencies count from one time however long the loop takes.
    const auto now = m_owner.m_clock.Now();
    for (auto* core : seg.cores) {
      for (auto& out : core->Handle(frame, now)) m_owner.Deliver(seg, std::move(out));
    }
    return kCaptureOk;
  }

  int Receive(const std::uint8_t** data, std::size_t* caplen, std::size_t* wirelen,
              std::uint32_t wait_ms) override {
    if (!TakeDue()) {
      m_owner.m_clock.Wait(wait_ms);
      if (!TakeDue()) return kCaptureNothing;
    }
    *data = m_current.data();
    *caplen = *wirelen = m_current.size();
    return kCaptureFrame;
  }

  void Queue(const Outgoing& out) {
    auto it = std::upper_bound(m_queue.begin(), m_queue.end(), out.due,
                               [](std::uint64_t due, const Outgoing& o) { return due < o.due; });
    m_queue.insert(it, out);
  }

 private:
  bool TakeDue() {
    if (m_queue.empty() || m_queue.front().due > m_owner.m_clock.Now()) return false;
    m_current = std::move(m_queue.front().frame);
    m_queue.pop_front();
    return true;
  }

  CFakeCapture& m_owner;
  std::string m_device;
  std::deque<Outgoing> m_queue;
  std::vector<std::uint8_t> m_current;
};

void CFakeCapture::AddDevice(const std::string& name, const std::string& description,
                             const MacAddress& mac) {
  auto& seg = m_segments[name];
  seg.description = description;
  seg.mac = mac;
  m_order.push_back(name);
}

void CFakeCapture::Attach(const std::string& device, CSwitchCore* core) {
  m_segments[device].cores.push_back(core);
}

void CFakeCapture::Deliver(Segment& seg, Outgoing out) {
  for (auto* h : seg.handles) h->Queue(out);
}

void CFakeCapture::Inject(const std::string& device, std::vector<std::uint8_t> frame,
                          std::uint64_t due) {
  Deliver(m_segments[device], Outgoing{std::move(frame), due});
}

int CFakeCapture::FindDevices(std::vector<CaptureDevice>* out, std::string* error) {
  ++find_calls;
  if (find_fails) {
    fw::AppendError(error, "enumeration failed");
    return kCaptureError;
  }
  for (const auto& name : m_order) {
    CaptureDevice d;
    d.name = name;
    d.description = m_segments[name].description;
    d.addresses.emplace_back();
    out->push_back(std::move(d));
  }
  return static_cast<int>(out->size());
}

bool CFakeCapture::AdapterMac(const std::string& device, MacAddress* mac) {
  auto it = m_segments.find(device);
  if (it == m_segments.end() ||
      std::find(m_order.begin(), m_order.end(), device) == m_order.end()) {
    return false;
  }
  *mac = it->second.mac;
  return true;
}

std::unique_ptr<ICaptureHandle> CFakeCapture::Open(const std::string& device, std::string* error) {
  if (open_fails || std::find(m_order.begin(), m_order.end(), device) == m_order.end()) {
    fw::AppendError(error, "Failed to open " + device + "\n");
    return nullptr;
  }
  return std::make_unique<Handle>(*this, device);
}

}  // namespace fw::emu
