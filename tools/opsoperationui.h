// The windows of the switch operations on the window layer: the progress
// dialog of a firmware load, the searching window, the cycle power prompt of a boot monitor entry,
// and the message pumping of the searches' waits. Installed once by the
// programs at start-up; everything here runs on the user-interface thread.
#pragma once

#include <cstdint>
#include <memory>

#include "switch/cswitchcomm.h"
#include "switch/operationui.h"

class CWnd;
class CProgressDlg;
class CSearchingDlg;

class COpsOperationUi : public IOperationUi {
 public:
  // The progress dialog repaints and takes Cancel at most this often, so that
  // fast links do not spend their time in the pump.
  static constexpr int kProgressPumpPeriod = 20;

  explicit COpsOperationUi(CWnd* parent = nullptr);
  ~COpsOperationUi() override;

  void ShowSearching(const std::string& status) override;
  void HideSearching() override;
  void ShowProgress(const std::string& status, int range) override;
  void StepProgress() override;
  void HideProgress() override;
  bool PumpProgress() override;
  void PumpMessages(int max_messages) override;

  CProgressDlg* progress() { return m_progress.get(); }
  CSearchingDlg* searching() { return m_searching.get(); }

 private:
  CWnd* m_parent;
  std::unique_ptr<CProgressDlg> m_progress;
  std::unique_ptr<CSearchingDlg> m_searching;
  bool m_cancelled = false;
  std::int64_t m_lastPump = -1;
};

// The cycle power prompt for CommEnterBootMonitor, created centred on `parent`.
[[nodiscard]] std::unique_ptr<ICyclePowerPrompt> MakeOpsCyclePowerPrompt(CWnd* parent);

// Makes the operations use these windows: the operation UI and the prompt
// factory of every cswitchcomm. `ui` must outlive the operations.
void InstallOpsWindows(COpsOperationUi* ui, CWnd* parent);
