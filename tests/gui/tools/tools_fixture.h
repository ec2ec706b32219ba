// The tool dialogs against software switches on in-process segments, on
// virtual time: the dialogs' communication objects get the fake capture and
// the virtual clock through the tools' communication settings.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui_helpers.h"
#include "platform/format.h"
#include "platform/gui/help.h"
#include "platform/message.h"
#include "switch/switchconfigstore.h"
#include "switch/switchentry.h"
#include "tests/unit/switch/ops_fixture.h"
#include "tools/opsoperationui.h"
#include "tools/toolcomm.h"
#include "tools/toolsdocument.h"

namespace fwtest {

// The locked capture with a hook that runs on the searching thread each time
// the devices are listed, i.e. in the middle of every search.
class CHookedCapture : public fw::ICaptureBackend {
 public:
  explicit CHookedCapture(fw::IClock& clock) : locked(clock) {}
  fw::ops_test::CLockedCapture locked;
  std::function<void()> onFind;

  bool Usable() const override { return locked.Usable(); }
  bool Loaded() const override { return locked.Loaded(); }
  std::string Version() const override { return locked.Version(); }
  int FindDevices(std::vector<fw::CaptureDevice>* out, std::string* error) override {
    // Worker threads may list the devices too; the hook is for the searching thread.
    if (onFind && QThread::currentThread() == QCoreApplication::instance()->thread()) onFind();
    return locked.FindDevices(out, error);
  }
  bool AdapterMac(const std::string& device, fw::MacAddress* mac) override {
    return locked.AdapterMac(device, mac);
  }
  std::unique_ptr<fw::ICaptureHandle> Open(const std::string& device, std::string* error) override {
    auto inner = locked.Open(device, error);
    if (!inner) return nullptr;
    return std::make_unique<Handle>(*this, std::move(inner));
  }
  // Runs before every frame sent, on the sending thread.
  std::function<void(const std::uint8_t* frame, std::size_t len)> onSend;

 private:
  class Handle : public fw::ICaptureHandle {
   public:
    Handle(CHookedCapture& owner, std::unique_ptr<fw::ICaptureHandle> inner)
        : m_owner(owner), m_inner(std::move(inner)) {}
    int Send(const std::uint8_t* data, std::size_t len, std::string* error) override {
      if (m_owner.onSend) m_owner.onSend(data, len);
      return m_inner->Send(data, len, error);
    }
    int Receive(const std::uint8_t** data, std::size_t* caplen, std::size_t* wirelen,
                std::uint32_t wait_ms) override {
      return m_inner->Receive(data, caplen, wirelen, wait_ms);
    }

   private:
    CHookedCapture& m_owner;
    std::unique_ptr<fw::ICaptureHandle> m_inner;
  };
};

// A project's switches as the document keeps them: a MAC already there is
// refused, a name already there is replaced (both told to the user).
class CFakeToolsDocument : public IToolsDocument {
 public:
  CSwitchList switches;
  int selected = -1;
  std::string path;
  std::string ProjectPath() const override { return path; }

  const CSwitchEntry* SelectedSwitch() const override {
    return selected >= 0 ? switches.GetAt(selected) : nullptr;
  }
  int AddFoundSwitch(const CSwitchEntry& found) override {
    for (int i = switches.First(); i >= 0; i = switches.Next(i)) {
      if (switches.GetAt(i)->GetMacSuffix() == found.GetMacSuffix()) {
        AfxMessageBox("same MAC " + found.GetMacSuffix());
        return -3;
      }
    }
    CSwitchEntry copy;
    copy.CopyFrom(found);
    if (switches.FindIndexByNameNoCase(copy.GetName()) >= 0) {
      copy.SetName(copy.GetName() + "-" + copy.GetMacSuffix());
      AfxMessageBox("renamed " + copy.GetName());
    }
    return switches.Add(copy);
  }
};

class ToolsTest : public ::testing::Test {
 protected:
  ToolsTest() : capture(clock) {
    CSwitchConfigStore::EnsureOfferedModels(0);
    SetToolCommEnv(CToolCommEnv{&capture, &clock, &clock, &ui});
  }
  ~ToolsTest() override {
    SetToolCommEnv(CToolCommEnv{});
    Drain();
  }

  void AddDevice(const std::string& name, const std::string& description, std::uint8_t tag) {
    capture.locked.fake.AddDevice(name, description, fw::ops_test::Mac(tag, 0xEE));
  }
  // A 9-port switch of a catalogue model on the given devices.
  fw::emu::CSwitchCore& AddSwitch(std::uint8_t last, const std::string& name,
                                  std::initializer_list<const char*> devices,
                                  const std::string& revision = "0104 build 7") {
    cores.push_back(std::make_unique<fw::emu::CSwitchCore>(fw::ops_test::Mac(last), 9));
    auto& core = *cores.back();
    fw::ops_test::SetIdentity(core, 9, false, 1);
    core.SetName(name);
    core.SetRevision(revision);
    for (const char* d : devices) capture.locked.fake.Attach(d, &core);
    return core;
  }
  static std::string MacText(std::uint8_t last) {
    return fw::FormatText("02:4B:33:10:00:%02X", last);
  }
  std::vector<std::string> MessageTexts() {
    std::vector<std::string> out;
    for (const auto& m : messages->messages()) out.push_back(m.text);
    return out;
  }

  fw::ops_test::ScopedProfile profile;
  fw::ScopedMessageSink messages;
  fw::ops_test::CLockedClock clock;
  CHookedCapture capture;
  COpsOperationUi ui;
  std::vector<std::unique_ptr<fw::emu::CSwitchCore>> cores;
  fw::ScopedHelpService help;
  std::vector<unsigned> HelpContexts() { return help->requests(); }
};

}  // namespace fwtest
