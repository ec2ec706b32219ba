// Waiting without freezing: a nested event loop for a fixed time that lets
// painting through but drops the user's input to every window except one.
#pragma once

#include <cstdint>

class CWnd;
class QWidget;

namespace fw {

// Runs the event loop for ms milliseconds, blocked between events (no busy
// loop). Input to windows other than `allowed` and its children is dropped;
// posted messages and timers of other windows wait until the pump ends.
// Returns the time spent beyond the period (0 or a few ms); 0 ms returns at
// once without dispatching anything.
int PumpMessagesFor(int ms, CWnd* allowed = nullptr);

// For the window layer: whether a pump is filtering, and whether it lets
// events to this widget through.
bool PumpFilterActive();
bool PumpAllows(const QWidget* widget);
void DeferTimer(std::uint64_t handle, std::uintptr_t id);
void ReleaseDeferredMessages();
CWnd* WndFromHandleId(std::uint64_t handle);

// Windows that always take input, even during a pump (message boxes).
void MarkAlwaysAcceptsInput(QWidget* widget);

}  // namespace fw
