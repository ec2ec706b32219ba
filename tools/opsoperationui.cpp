#include "tools/opsoperationui.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include "platform/gui/pump.h"
#include "tools/cyclepowerdlg.h"
#include "tools/progressdlg.h"
#include "tools/searchingdlg.h"

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
  explicit COpsCyclePowerPrompt(CWnd* parent) : m_dlg(parent) {
    if (m_dlg.Create()) {
      m_dlg.CenterWindow();
      m_dlg.ShowWindow(SW_SHOW);
    }
  }
  ~COpsCyclePowerPrompt() override {
    if (m_dlg.IsWindow()) (void)m_dlg.DestroyWindow();
  }
  void SetCaption(const std::string& text) override { m_dlg.SetWindowText(text); }
  void SetStatus(const std::string& text) override { m_dlg.SetStatusText(text); }
  void PumpMessagesFor(std::uint32_t ms) override { m_dlg.PumpMessagesFor(static_cast<int>(ms)); }
  bool Cancelled() const override { return m_dlg.cancelled(); }

 private:
  CCyclePowerDlg m_dlg;
};

}  // namespace

COpsOperationUi::COpsOperationUi(CWnd* parent) : m_parent(parent) {}

COpsOperationUi::~COpsOperationUi() {
  HideProgress();
  HideSearching();
}

void COpsOperationUi::ShowSearching(const std::string& status) {
  HideSearching();
  m_searching = std::make_unique<CSearchingDlg>(m_parent);
  if (!m_searching->Create()) return;
  m_searching->SetStatusText(status);
  m_searching->CenterWindow();
  m_searching->ShowWindow(SW_SHOW);
}

void COpsOperationUi::HideSearching() {
  if (m_searching) {
    m_searching->StopBusy();
    if (m_searching->IsWindow()) (void)m_searching->DestroyWindow();
  }
  m_searching.reset();
}

void COpsOperationUi::ShowProgress(const std::string& status, int range) {
  HideProgress();
  m_progress = std::make_unique<CProgressDlg>(m_parent);
  m_cancelled = false;
  m_lastPump = -1;
  if (!m_progress->Create()) return;
  m_progress->SetStatusText(status);
  m_progress->m_progress.SetStep(1);
  m_progress->m_progress.SetRange32(0, range);
  m_progress->m_progress.SetPos(0);
  m_progress->CenterWindow();
  m_progress->ShowWindow(SW_SHOW);
}

void COpsOperationUi::StepProgress() {
  if (m_progress && m_progress->IsWindow()) m_progress->m_progress.StepIt();
}

void COpsOperationUi::HideProgress() {
  if (m_progress && m_progress->IsWindow()) (void)m_progress->DestroyWindow();
  m_progress.reset();
}

bool COpsOperationUi::PumpProgress() {
  if (!m_progress || !m_progress->IsWindow()) return m_cancelled;
  const std::int64_t now = NowMs();
  if (m_lastPump < 0 || now - m_lastPump >= kProgressPumpPeriod) {
    // Painting and the dialog's own input get through; other input is dropped.
    fw::PumpMessagesFor(1, m_progress.get());
    m_lastPump = NowMs();
  }
  if (m_progress->ended() && m_progress->result() == IDCANCEL) m_cancelled = true;
  return m_cancelled;
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
