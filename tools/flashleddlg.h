// "Wink": finds one switch on the network and makes its OK LED flash while
// the dialog is open, so the unit can be found in the cabinet. Every way the
// dialog ends (Close, Escape, the window closing, a switch that stops
// answering) asks the switch to put the LED back to normal.
#pragma once

#include <cstdint>

#include "platform/gui/dialog.h"
#include "switch/switchdiscovery.h"

class CSwitchEntry;

class CFlashLedDlg : public CDialog {
 public:
  static constexpr unsigned IDD = 151;
  static constexpr UINT_PTR kTimerId = 1;
  static constexpr UINT kTimerPeriod = 1000;
  // Control values: flash the OK LED, and return it to its normal state.
  static constexpr std::uint32_t kFlashOkLed = 0x8000;
  static constexpr std::uint32_t kOkLedNormal = 0x4000;

  // backend and clock as for the discovery (null: the capture library and
  // the communication objects' default clock).
  CFlashLedDlg(CWnd* parent, const CSwitchEntry* entry, fw::ICaptureBackend* backend = nullptr,
               fw::IClock* clock = nullptr);
  ~CFlashLedDlg() override;

  int m_bOpened = 0;
  int m_nLastResult = 0;
  // The status monitor says "not found" and "communication failed" in its
  // own plain words instead of the configuration program's texts.
  void UseMonitorTexts() { m_bMonitorTexts = true; }

 protected:
  bool OnInitDialog() override;
  void OnTimer(UINT_PTR id) override;
  void OnOK() override;
  void OnCancel() override;
  void OnDestroy() override;

 private:
  // Returns the LED to normal and closes the interface. Quiet: no message
  // when the switch does not answer (it is already failing).
  void StopFlashing(bool quiet);
  void Finish(int result);

  const CSwitchEntry* m_entry;
  CSwitchDiscovery m_comm;
  bool m_bMonitorTexts = false;
};
