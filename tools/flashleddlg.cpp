#include "tools/flashleddlg.h"

#include "platform/message.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "switch/switchentry.h"

CFlashLedDlg::CFlashLedDlg(CWnd* parent, const CSwitchEntry* entry, fw::ICaptureBackend* backend,
                           fw::IClock* clock)
    : CDialog(IDD, parent), m_entry(entry), m_comm(backend, clock, clock) {}

CFlashLedDlg::~CFlashLedDlg() {
  StopFlashing(true);
}

bool CFlashLedDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (!m_entry) {
    EndDialog(0);
    return true;
  }
  const std::string mac = m_entry->GetMacText(true);
  std::string device;
  if (m_comm.FindInterfaceOfSwitch(mac, &device, 0) != 1) {
    AfxMessageBox(m_bMonitorTexts
                      ? LoadResString(IDS_WINK_SWITCH_NOT_FOUND)
                      : fw::FormatText("%s <%s>.\n", LoadResString(IDS_SWITCH_MAC_NOT_FOUND), mac),
                  MB_OK | MB_ICONEXCLAMATION);
    EndDialog(0);
    return true;
  }
  m_bOpened = 1;
  std::string error;
  std::uint8_t local[6];
  if (m_comm.CommOpenDevice(device, local, &error) != kCommOk) {
    m_bOpened = 0;
    AfxMessageBox(error, MB_OK | MB_ICONEXCLAMATION);
    EndDialog(0);
    return true;
  }
  m_comm.CommSetTargetMac(mac);
  SetTimer(kTimerId, kTimerPeriod);
  return true;
}

void CFlashLedDlg::OnTimer(UINT_PTR id) {
  if (id != kTimerId) {
    CDialog::OnTimer(id);
    return;
  }
  if (m_bOpened && m_nLastResult == kCommOk) {
    std::string error;
    m_nLastResult = m_comm.ControlRequest(kFlashOkLed, 0, &error) < kCommOk ? kCommFailed : kCommOk;
    return;
  }
  if (m_nLastResult == kCommOk) return;
  // The switch stopped answering: it may still hear the request to stop.
  KillTimer(kTimerId);
  StopFlashing(true);
  AfxMessageBox(m_bMonitorTexts ? IDS_WINK_COMM_FAILED : IDS_FAILED_OBTAIN_SWITCH_ID,
                MB_OK | MB_ICONEXCLAMATION);
  EndDialog(0);
}

void CFlashLedDlg::StopFlashing(bool quiet) {
  if (!m_bOpened) return;
  m_bOpened = 0;
  std::string error;
  if (m_comm.ControlRequest(kOkLedNormal, quiet ? kCommQuiet : 0, &error) < kCommOk && !quiet)
    AfxMessageBox(error.empty() ? LoadResString(IDS_ERRORS_COMMUNICATING) : error,
                  MB_OK | MB_ICONEXCLAMATION);
  m_comm.CommClose();
}

void CFlashLedDlg::Finish(int result) {
  StopFlashing(false);
  KillTimer(kTimerId);
  EndDialog(result);
}

void CFlashLedDlg::OnOK() {
  Finish(IDOK);
}

void CFlashLedDlg::OnCancel() {
  Finish(IDCANCEL);
}

void CFlashLedDlg::OnDestroy() {
  StopFlashing(true);
  CDialog::OnDestroy();
}
