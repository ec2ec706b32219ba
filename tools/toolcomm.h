// Where the tool dialogs' communication objects get their capture library
// and their clocks. The programs keep the defaults (the process's capture
// library; waits on the user-interface thread keep the windows painting);
// tests put an in-process segment of software switches and virtual time here.
#pragma once

#include <memory>

#include "platform/clock.h"
#include "switch/capturebackend.h"
#include "switch/cswitchcomm.h"
#include "switch/switchdiscovery.h"

struct CToolCommEnv {
  fw::ICaptureBackend* backend = nullptr;  // null: the process's capture library
  fw::IClock* clock = nullptr;             // null: CGuiClock
  fw::IClock* workerClock = nullptr;       // null: the steady clock
  IOperationUi* ui = nullptr;              // null: the installed operation windows
};

CToolCommEnv ToolCommEnv();
void SetToolCommEnv(const CToolCommEnv& env);

std::unique_ptr<cswitchcomm> MakeToolComm();
std::unique_ptr<CSwitchDiscovery> MakeToolDiscovery();

// Real time; a wait on the user-interface thread lets the windows paint
// (input to them is dropped meanwhile), a wait on any other thread sleeps.
class CGuiClock : public fw::IClock {
 public:
  std::uint64_t Now() override;
  void Wait(std::uint32_t ms) override;
};
fw::IClock& GuiClock();
