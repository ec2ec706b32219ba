#include "tests/emulator/fake_capture.h"

#include <algorithm>

namespace fw::emu {

class CFakeCapture::Handle : public ICaptureHandle {
 public:
  Handle(CFakeCapture& owner, const std::string& device) : owner_(owner), device_(device) {
    owner_.segments_[device_].handles.push_back(this);
    ++owner_.open_handles;
  }
  ~Handle() override {
    auto& hs = owner_.segments_[device_].handles;
    hs.erase(std::remove(hs.begin(), hs.end(), this), hs.end());
    --owner_.open_handles;
  }

  int Send(const std::uint8_t* data, std::size_t len, std::string* error) override {
    if (owner_.send_fails) {
      if (error) *error = "send failed";
      return -1;
    }
    std::vector<std::uint8_t> frame(data, data + len);
    owner_.sent[device_].push_back(frame);
    auto& seg = owner_.segments_[device_];
    for (auto* core : seg.cores) {
      for (auto& out : core->Handle(frame, owner_.clock_.Now()))
        owner_.Deliver(seg, std::move(out));
    }
    return 0;
  }

  int Receive(const std::uint8_t** data, std::size_t* caplen, std::size_t* wirelen,
              std::uint32_t wait_ms) override {
    if (!TakeDue()) {
      owner_.clock_.Wait(wait_ms);
      if (!TakeDue()) return 0;
    }
    *data = current_.data();
    *caplen = *wirelen = current_.size();
    return 1;
  }

  void Queue(const Outgoing& out) {
    auto it = std::upper_bound(queue_.begin(), queue_.end(), out.due,
                               [](std::uint64_t due, const Outgoing& o) { return due < o.due; });
    queue_.insert(it, out);
  }

 private:
  bool TakeDue() {
    if (queue_.empty() || queue_.front().due > owner_.clock_.Now()) return false;
    current_ = std::move(queue_.front().frame);
    queue_.pop_front();
    return true;
  }

  CFakeCapture& owner_;
  std::string device_;
  std::deque<Outgoing> queue_;
  std::vector<std::uint8_t> current_;
};

void CFakeCapture::AddDevice(const std::string& name, const std::string& description,
                             const MacAddress& mac) {
  auto& seg = segments_[name];
  seg.description = description;
  seg.mac = mac;
  order_.push_back(name);
}

void CFakeCapture::Attach(const std::string& device, CSwitchCore* core) {
  segments_[device].cores.push_back(core);
}

void CFakeCapture::Deliver(Segment& seg, Outgoing out) {
  for (auto* h : seg.handles) h->Queue(out);
}

void CFakeCapture::Inject(const std::string& device, std::vector<std::uint8_t> frame,
                          std::uint64_t due) {
  Deliver(segments_[device], Outgoing{std::move(frame), due});
}

int CFakeCapture::FindDevices(std::vector<CaptureDevice>* out, std::string* error) {
  ++find_calls;
  if (find_fails) {
    *error = "enumeration failed";
    return -1;
  }
  for (const auto& name : order_) {
    CaptureDevice d;
    d.name = name;
    d.description = segments_[name].description;
    d.addresses.emplace_back();
    out->push_back(std::move(d));
  }
  return static_cast<int>(out->size());
}

bool CFakeCapture::AdapterMac(const std::string& device, MacAddress* mac) {
  auto it = segments_.find(device);
  if (it == segments_.end() || std::find(order_.begin(), order_.end(), device) == order_.end()) {
    return false;
  }
  *mac = it->second.mac;
  return true;
}

std::unique_ptr<ICaptureHandle> CFakeCapture::Open(const std::string& device, std::string* error) {
  if (open_fails || std::find(order_.begin(), order_.end(), device) == order_.end()) {
    *error = "Failed to open " + device + "\n";
    return nullptr;
  }
  return std::make_unique<Handle>(*this, device);
}

}  // namespace fw::emu
