#include "tools/switchstatusdlg.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/format.h"
#include "platform/gui/help.h"
#include "platform/message.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "tools/toolcomm.h"

namespace {

constexpr COLORREF kGreen = RGB(0, 100, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr std::uint32_t kOpenPause = 100;

std::string SpeedText(int code) {
  switch (code) {
    case 0: return LoadResString(IDS_NO_LINK);
    case 1: return "10";
    case 2: return "100";
    case 3: return "1000";
    default: return {};
  }
}

std::string StateText(int state, int speed) {
  switch (state) {
    case 0: return LoadResString(speed != 0 ? IDS_DISABLED : IDS_NO_LINK);
    case 16: return LoadResString(IDS_BACKUP);
    case 32: return LoadResString(IDS_LEARNING);
    case 48: return LoadResString(IDS_ACTIVE);
    default: return {};
  }
}

std::string OkLedText(int code) {
  switch (code) {
    case 0: return LoadResString(IDS_ERROR_RINGS_OR_POWER);
    case 1: return LoadResString(IDS_BEING_WINKED);
    case 2: return LoadResString(IDS_ERROR_CHECK_CONFIGURATION);
    case 7: return LoadResString(IDS_NORMAL_OPERATION_NO_ERRORS);
    default: return {};
  }
}

std::string RingLedText(int code) {
  switch (code) {
    case 0: return LoadResString(IDS_NO_RINGS_CONFIGURED);
    case 1: return LoadResString(IDS_ERROR_ELSEWHERE_RING);
    case 2: return LoadResString(IDS_ERROR_ADJACENT_SWITCH);
    case 3: return LoadResString(IDS_RINGS_ACTIVE_NO_ERRORS);
    default: return {};
  }
}

}  // namespace

CSwitchStatusDlg::CSwitchStatusDlg(CWnd* parent)
    : CDialog(IDD, parent), m_comm(MakeToolDiscovery()) {
  fw::frames::SwitchStatusInit(&m_status);
  BindControl(kPollingId, m_staticPolling);
  BindControl(kCommId, m_staticComm);
  BindControl(kListId, m_list);
  FitText(kCommId, LoadResString(IDS_COMMUNICATIONS_FAILED), 0, true);
  FitText(kCommId, LoadResString(IDS_COMMUNICATIONS_OK), 0, true);
  // The labels OnInitDialog sets, and every state ShowStatus may show.
  const std::pair<int, std::vector<unsigned>> shown[] = {
      {1086, {IDS_SWITCH_NAME_LABEL}},
      {1088, {IDS_USING_INTERFACE}},
      {1084, {IDS_PORTS_LABEL}},
      {1079, {IDS_OK_LED}},
      {1080, {IDS_OK_OUTPUT_LABEL}},
      {1081, {IDS_POWER1}},
      {1082, {IDS_POWER2}},
      {1083, {IDS_RING_LED}},
      {kPower1Id, {IDS_PRIMARY_POWER_OKAY, IDS_WARNING_NO_PRIMARY_POWER}},
      {kPower2Id, {IDS_BACKUP_POWER_OKAY, IDS_WARNING_NO_BACKUP_POWER}},
      {kOkLedId,
       {IDS_ERROR_RINGS_OR_POWER, IDS_BEING_WINKED, IDS_ERROR_CHECK_CONFIGURATION,
        IDS_NORMAL_OPERATION_NO_ERRORS}},
      {kOkOutputId, {IDS_NORMAL_OPERATION_NO_ERRORS, IDS_ERROR_RINGS_OR_POWER}},
      {kRingLedId,
       {IDS_NO_RINGS_CONFIGURED, IDS_ERROR_ELSEWHERE_RING, IDS_ERROR_ADJACENT_SWITCH,
        IDS_RINGS_ACTIVE_NO_ERRORS}}};
  for (const auto& [id, strings] : shown)
    for (unsigned s : strings) FitText(id, LoadResString(s));
  FitText(1087, LoadResString(IDS_MAC_ADDRESS_LABEL));
  FitText(kMacId, "FF:FF:FF:FF:FF:FF");
  SetCommandHandler(kHelpId, [] { (void)fw::ShowHelp(kHelpDialogBase + IDD); });
}

CSwitchStatusDlg::~CSwitchStatusDlg() {
  (void)DestroyWindow();  // nothing to do without a window
}

bool CSwitchStatusDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_staticPolling.SetTextColor(kGreen);
  m_staticComm.SetText(LoadResString(IDS_COMMUNICATIONS_OK));
  m_staticComm.SetTextColor(kGreen);
  m_list.InsertColumn(0, LoadResString(IDS_PORT), LVCFMT_LEFT, 60);
  m_list.InsertColumn(1, LoadResString(IDS_STATUS), LVCFMT_LEFT, 100);
  m_list.InsertColumn(2, LoadResString(IDS_SPEED), LVCFMT_LEFT, 100);
  m_list.InsertColumn(3, LoadResString(IDS_DUPLEX), LVCFMT_LEFT, 80);
  m_list.InsertColumn(4, LoadResString(IDS_FLOW_CTRL), LVCFMT_LEFT, 80);
  SetDlgItemText(kNameId, m_strName + " [" + m_strModel + "]");
  SetDlgItemText(kMacId, m_strMac);
  SetDlgItemText(1086, LoadResString(IDS_SWITCH_NAME_LABEL));
  SetDlgItemText(1087, LoadResString(IDS_MAC_ADDRESS_LABEL));
  SetDlgItemText(1088, LoadResString(IDS_USING_INTERFACE));
  SetDlgItemText(1084, LoadResString(IDS_PORTS_LABEL));
  SetDlgItemText(1079, LoadResString(IDS_OK_LED));
  SetDlgItemText(1080, LoadResString(IDS_OK_OUTPUT_LABEL));
  SetDlgItemText(1081, LoadResString(IDS_POWER1));
  SetDlgItemText(1082, LoadResString(IDS_POWER2));
  SetDlgItemText(1083, LoadResString(IDS_RING_LED));
  SetWindowText(LoadResString(IDS_SWITCH_STATUS));
  SetTimer(kTimerId, kTickMs);
  return true;
}

void CSwitchStatusDlg::OnTimer(UINT_PTR id) {
  if (id != kTimerId) {
    CDialog::OnTimer(id);
    return;
  }
  if (m_bBusy) return;
  m_bBusy = true;
  if (!m_bStarted) {
    EnableWindow(false);
    m_bStarted = 1;
    std::string device;
    if (m_comm->FindInterfaceOfSwitch(m_strMac, &device, 0) == 1) {
      m_strInterface = device;
      std::string shown = device;
      if (const auto cut = shown.find("(Microsoft's"); cut != std::string::npos) shown.resize(cut);
      SetDlgItemText(kInterfaceId, shown);
      PollStatus();
      EnableWindow(true);
    } else {
      KillTimer(kTimerId);
      AfxMessageBox(fw::FormatText("%s <%s>.\n", LoadResString(IDS_SWITCH_MAC_NOT_FOUND), m_strMac),
                    MB_OK | MB_ICONEXCLAMATION);
      EnableWindow(true);
      m_bBusy = false;
      OnCancel();
      return;
    }
  }
  if (m_nTicks++ >= kTicksPerPoll - 1) {
    m_nTicks = 0;
    PollStatus();
  }
  m_bBusy = false;
}

int CSwitchStatusDlg::PollStatus() {
  ++m_polls;
  fw::frames::SwitchStatusInit(&m_status);
  std::string error;
  m_staticPolling.SetText(LoadResString(IDS_POLLING));
  m_comm->CommPumpMessagesFor(kOpenPause);
  int result = kPollOk;
  if (!m_bOpened) {
    std::uint8_t local[6];
    std::string open_error;
    if (m_comm->CommOpenDevice(m_strInterface, local, &open_error) != kCommOk) {
      error = LoadResString(IDS_ERRORS_COMMUNICATING);
      result = kPollFailed;
    } else {
      m_comm->CommSetTargetMac(m_strMac);
      m_bOpened = 1;
    }
  }
  if (result == kPollOk) {
    // A reply that cannot be right (more ports than a record holds, too
    // short) is a failed poll like a missing one.
    std::string read_error;
    if (m_comm->CommReadSwitchStatus(&m_status, &read_error) != kStatusRead) {
      error = LoadResString(IDS_ERRORS_COMMUNICATING);
      result = kPollFailed;
    } else {
      ShowStatus();
    }
  }
  m_staticPolling.SetText("");
  if (result < 0 && !error.empty()) {
    for (int id : {kRingLedId, kOkOutputId, kOkLedId, kPower1Id, kPower2Id}) SetDlgItemText(id, "");
    // The ports' last values are no longer known: only the port numbers stay.
    for (int i = 0; i < m_nShownPorts; ++i)
      for (int c = 1; c < 5; ++c) m_list.SetItemText(i, c, "");
    m_staticComm.SetText(LoadResString(IDS_COMMUNICATIONS_FAILED));
    m_staticComm.SetTextColor(kRed);
    m_staticComm.SetBold(true);
  } else {
    m_staticComm.SetBold(false);
    m_staticComm.SetText(LoadResString(IDS_COMMUNICATIONS_OK));
    m_staticComm.SetTextColor(kGreen);
  }
  return result;
}

void CSwitchStatusDlg::ShowStatus() {
  const int ports = std::clamp(m_status.nPorts, 0, static_cast<int>(fw::frames::kMaxPorts));
  if (ports != m_nShownPorts) {
    m_nShownPorts = ports;
    m_list.DeleteAllItems();
    for (int i = 0; i < ports; ++i) m_list.InsertItem(i, std::to_string(i + 1));
  }
  for (int i = 0; i < ports; ++i) {
    const int speed = m_status.nPortLink[i];
    m_list.SetItemText(i, 2, SpeedText(speed));
    const int duplex = m_status.nPortBit04[i];
    m_list.SetItemText(i, 3,
                       speed == 0    ? ""
                       : duplex == 0 ? LoadResString(IDS_HALF)
                       : duplex == 4 ? LoadResString(IDS_FULL)
                                     : "");
    const int flow = m_status.nPortBit08[i];
    m_list.SetItemText(i, 4,
                       speed == 0  ? ""
                       : flow == 0 ? LoadResString(IDS_OFF)
                       : flow == 8 ? LoadResString(IDS_ON)
                                   : "");
    m_list.SetItemText(i, 1, StateText(m_status.nPortBits30[i], speed));
  }
  SetDlgItemText(kPower1Id, LoadResString(m_status.bRingFlag10 ? IDS_PRIMARY_POWER_OKAY
                                                               : IDS_WARNING_NO_PRIMARY_POWER));
  SetDlgItemText(kPower2Id, LoadResString(m_status.bRingFlag20 ? IDS_BACKUP_POWER_OKAY
                                                               : IDS_WARNING_NO_BACKUP_POWER));
  SetDlgItemText(kOkLedId, OkLedText(m_status.nRingState));
  SetDlgItemText(kOkOutputId, LoadResString(m_status.bRingFlag08 ? IDS_NORMAL_OPERATION_NO_ERRORS
                                                                 : IDS_ERROR_RINGS_OR_POWER));
  SetDlgItemText(kRingLedId, RingLedText(m_status.nRingTop));
}

void CSwitchStatusDlg::OnOK() {
  KillTimer(kTimerId);
  CDialog::OnOK();
}

void CSwitchStatusDlg::OnCancel() {
  KillTimer(kTimerId);
  CDialog::OnCancel();
}
