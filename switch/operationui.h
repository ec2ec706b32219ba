// The windows that switch operations show while they work: the searching
// window, the one-line status window, the firmware progress dialog. The GUI
// implements this; without it (tests, tools without windows) nothing is shown.
// Every call comes from the user-interface thread, never from a worker.
#pragma once

#include <string>

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
