#include "shell/switchopswindows.h"

#include "switch/cswitchcomm.h"
#include "switch/operationui.h"
#include "switch/switchconfigstore.h"
#include "tools/opsoperationui.h"
#include "tools/toolcomm.h"

CSwitchOpsWindows::CSwitchOpsWindows(CWnd* parent) : m_ui(parent) {
  // A communication object built without a clock (the document's configuration
  // load, the tools) waits through the window layer's pump, never a silent sleep.
  cswitchcomm::SetDefaultClock(&GuiClock());
  InstallOpsWindows(&m_ui, parent);
}

CSwitchOpsWindows::~CSwitchOpsWindows() {
  SetOperationUi(nullptr);
  cswitchcomm::SetDefaultCyclePowerPromptFactory({});
  cswitchcomm::SetDefaultClock(nullptr);
}

std::unique_ptr<CSwitchOpsWindows> StartSwitchOperations(CWnd* parent, int showMessages) {
  CSwitchConfigStore::EnsureOfferedModels(showMessages);
  return std::make_unique<CSwitchOpsWindows>(parent);
}
