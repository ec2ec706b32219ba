// Replacing a ring switch's firmware through its boot monitor.
#pragma once

#include <string>

#include "switch/cswitchcomm.h"
#include "switch/operationui.h"

// Loads the S-record file at `path` into the switch that `comm` targets, on
// the interface `device` (name or description). `shown_name` is how the caller
// names the file to the user. Everything that needs no switch (the file, its
// records, the port word of its name) is checked before the switch is
// touched; a switch that was put into its boot monitor and then refused is
// restarted. kCommOk on success; otherwise kCommFailed, kCommRefused (no boot
// monitor) or the LoadBlockResult of the block that failed, with lines in the
// error text. ui may be null (the installed one is used).
[[nodiscard]] int SwitchLoadFirmwareOp(cswitchcomm& comm, const std::string& device,
                                       const std::string& path, const std::string& shown_name,
                                       IOperationUi* ui, std::string* error);

// The Test Comm dialog's "Enter Boot Monitor": opens the device, commands the
// switch into its boot monitor and straight out again. Returns true when it
// was entered (the dialog then says so); *box receives the text of the
// dialog's error box. A device that cannot be opened is told in a message box.
[[nodiscard]] bool TestCommEnterBootMonitor(cswitchcomm& comm, const std::string& device,
                                            std::string* box);
