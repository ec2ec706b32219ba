// The small modeless window shown while the program waits for the user to
// switch a unit off and on, so that it can be caught in its boot monitor.
// The waiting code owns it and keeps it alive by pumping its messages.
#pragma once

#include <string>

#include "platform/gui/dialog.h"

class CCyclePowerDlg : public CDialog {
 public:
  static constexpr unsigned IDD = 136;
  static constexpr int kStatusId = 1027;

  explicit CCyclePowerDlg(CWnd* parent = nullptr);

  // Creates the window (hidden; the caller shows it).
  [[nodiscard]] bool Create();
  bool cancelled() const { return m_bCancelled; }
  void SetStatusText(const std::string& text);
  // Lets the window live for ms milliseconds: painting and this window's
  // input get through, the thread sleeps in between. Returns the time spent
  // beyond the period (0 or a few ms).
  int PumpMessagesFor(int ms);

 protected:
  bool OnInitDialog() override;
  void OnCancel() override;

 private:
  bool m_bCancelled = false;
};
