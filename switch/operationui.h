// The windows that switch operations show while they work: the searching
// window, the one-line status window, the firmware progress dialog. The GUI
// implements this; without it (tests, tools without windows) nothing is shown.
// Every call comes from the user-interface thread, never from a worker.
#pragma once

#include <string>

#include "res/string_ids.h"

// What the operations show in those windows, by window. The operations take
// their texts from these lists, and each window is sized for every entry of
// its own list.
namespace optext {
// The searching window: its first words, then while the interface is chosen.
enum Searching { kSearchingForSwitches, kSelectingInterface };
inline constexpr unsigned kSearchingTexts[] = {IDS_SEARCHING_FOR_SWITCHES, IDS_SELECTING_INTERFACE};
// The status window: the steps of a configuration load.
enum LoadStep { kReading, kComparing, kWriting, kResetting, kContacting };
inline constexpr unsigned kStatusTexts[] = {IDS_READING_CONFIGURATION, IDS_COMPARING_CONFIGURATION,
                                            IDS_WRITING_CONFIGURATION, IDS_RESETTING_SWITCH,
                                            IDS_CONTACTING_SWITCH};
// The progress dialog.
enum Progress { kLoadingFirmware };
inline constexpr unsigned kProgressTexts[] = {IDS_LOADING_FIRMWARE};
// The power-cycle prompt: the prompt, then the connection attempt after it.
enum CyclePower { kCyclePowerPrompt, kAttemptingConnect };
inline constexpr unsigned kCyclePowerTexts[] = {IDS_CYCLE_POWER_PROMPT, IDS_ATTEMPTING_CONNECT};
}  // namespace optext

class IOperationUi {
 public:
  virtual ~IOperationUi() = default;

  // Searching window (template 142), centred, with a status line.
  virtual void ShowSearching(const std::string& status) { (void)status; }
  virtual void HideSearching() {}

  // One-line message window (template 143), centred; created on first use.
  virtual void ShowStatus(const std::string& text) { (void)text; }
  virtual void HideStatus() {}

  // Progress dialog (template 140): status line, bar over 0..range, Cancel.
  virtual void ShowProgress(const std::string& status, int range) {
    (void)status;
    (void)range;
  }
  virtual void StepProgress() {}
  virtual void HideProgress() {}
  // Lets painting and the progress dialog's Cancel through (other input is
  // dropped); true once Cancel was pressed.
  virtual bool PumpProgress() { return false; }

  // Dispatches at most max_messages waiting window messages.
  virtual void PumpMessages(int max_messages) { (void)max_messages; }
};

// The UI the operations use unless they are given one. Never null: without an
// installed one, a UI that shows nothing.
IOperationUi& OperationUi();
void SetOperationUi(IOperationUi* ui);
