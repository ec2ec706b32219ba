#include "tools/ops_operation_ui.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include "platform/gui/pump.h"
#include "tools/cyclepowerdlg.h"
#include "tools/progressdlg.h"

namespace {

std::int64_t NowMs() {
  static QElapsedTimer timer = [] {
    QElapsedTimer t;
    t.start();
    return t;
  }();
  return timer.elapsed();
}

class COpsCyclePowerPrompt : public ICyclePowerPrompt {
 public:
  explicit COpsCyclePowerPrompt(CWnd* parent) : dlg_(parent) {
    if (dlg_.Create()) {
      dlg_.CenterWindow();
      dlg_.ShowWindow(SW_SHOW);
    }
  }
  ~COpsCyclePowerPrompt() override {
    if (dlg_.IsWindow()) dlg_.DestroyWindow();
  }
  void SetCaption(const std::string& text) override { dlg_.SetWindowText(text); }
  void SetStatus(const std::string& text) override { dlg_.SetStatusText(text); }
  void PumpMessagesFor(std::uint32_t ms) override { dlg_.PumpMessagesFor(static_cast<int>(ms)); }
  bool Cancelled() const override { return dlg_.cancelled(); }

 private:
  CCyclePowerDlg dlg_;
};

}  // namespace

COpsOperationUi::COpsOperationUi(CWnd* parent) : parent_(parent) {}

COpsOperationUi::~COpsOperationUi() {
  HideProgress();
}

void COpsOperationUi::ShowProgress(const std::string& status, int range) {
  HideProgress();
  progress_ = std::make_unique<CProgressDlg>(parent_);
  cancelled_ = false;
  lastPump_ = -1;
  if (!progress_->Create()) return;
  progress_->SetStatusText(status);
  progress_->m_progress.SetStep(1);
  progress_->m_progress.SetRange32(0, range);
  progress_->m_progress.SetPos(0);
  progress_->CenterWindow();
  progress_->ShowWindow(SW_SHOW);
}

void COpsOperationUi::StepProgress() {
  if (progress_ && progress_->IsWindow()) progress_->m_progress.StepIt();
}

void COpsOperationUi::HideProgress() {
  if (progress_ && progress_->IsWindow()) progress_->DestroyWindow();
  progress_.reset();
}

bool COpsOperationUi::PumpProgress() {
  if (!progress_ || !progress_->IsWindow()) return cancelled_;
  const std::int64_t now = NowMs();
  if (lastPump_ < 0 || now - lastPump_ >= kProgressPumpPeriod) {
    // Painting and the dialog's own input get through; other input is dropped.
    fw::PumpMessagesFor(1, progress_.get());
    lastPump_ = NowMs();
  }
  if (progress_->ended() && progress_->result() == IDCANCEL) cancelled_ = true;
  return cancelled_;
}

void COpsOperationUi::PumpMessages(int max_messages) {
  (void)max_messages;  // Qt dispatches what is waiting in one pass
  if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

std::unique_ptr<ICyclePowerPrompt> MakeOpsCyclePowerPrompt(CWnd* parent) {
  return std::make_unique<COpsCyclePowerPrompt>(parent);
}

void InstallOpsWindows(COpsOperationUi* ui, CWnd* parent) {
  SetOperationUi(ui);
  cswitchcomm::SetDefaultCyclePowerPromptFactory(
      [parent] { return MakeOpsCyclePowerPrompt(parent); });
}
