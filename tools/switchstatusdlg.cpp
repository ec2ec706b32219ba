#include "tools/switchstatusdlg.h"

#include <algorithm>
#include <span>
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

// What each status line shows for each value the switch reports (a flag is
// 0 or 1), and the texts of the labels. The fit declaration and the code that
// shows them read the same tables, so every text shown is one the dialog was
// sized for.
struct CodeText {
  int code;
  unsigned text;
};
constexpr CodeText kOkLedTexts[] = {{0, IDS_ERROR_RINGS_OR_POWER},
                                    {1, IDS_BEING_WINKED},
                                    {2, IDS_ERROR_CHECK_CONFIGURATION},
                                    {7, IDS_NORMAL_OPERATION_NO_ERRORS}};
constexpr CodeText kOkOutputTexts[] = {{0, IDS_ERROR_RINGS_OR_POWER},
                                       {1, IDS_NORMAL_OPERATION_NO_ERRORS}};
constexpr CodeText kPower1Texts[] = {{0, IDS_WARNING_NO_PRIMARY_POWER},
                                     {1, IDS_PRIMARY_POWER_OKAY}};
constexpr CodeText kPower2Texts[] = {{0, IDS_WARNING_NO_BACKUP_POWER}, {1, IDS_BACKUP_POWER_OKAY}};
constexpr CodeText kRingLedTexts[] = {{0, IDS_NO_RINGS_CONFIGURED},
                                      {1, IDS_ERROR_ELSEWHERE_RING},
                                      {2, IDS_ERROR_ADJACENT_SWITCH},
                                      {3, IDS_RINGS_ACTIVE_NO_ERRORS}};
constexpr CodeText kCommTexts[] = {{0, IDS_COMMUNICATIONS_FAILED}, {1, IDS_COMMUNICATIONS_OK}};
constexpr CodeText kPollingTexts[] = {{1, IDS_POLLING}};

struct ControlTexts {
  int id;
  std::span<const CodeText> texts;
  bool bold;
};
constexpr ControlTexts kStatusTexts[] = {{CSwitchStatusDlg::kOkLedId, kOkLedTexts, false},
                                         {CSwitchStatusDlg::kOkOutputId, kOkOutputTexts, false},
                                         {CSwitchStatusDlg::kPower1Id, kPower1Texts, false},
                                         {CSwitchStatusDlg::kPower2Id, kPower2Texts, false},
                                         {CSwitchStatusDlg::kRingLedId, kRingLedTexts, false},
                                         // The failure is shown in bold.
                                         {CSwitchStatusDlg::kCommId, kCommTexts, true},
                                         {CSwitchStatusDlg::kPollingId, kPollingTexts, false}};

constexpr std::pair<int, unsigned> kLabels[] = {{1086, IDS_SWITCH_NAME_LABEL},
                                                {1088, IDS_USING_INTERFACE},
                                                {1084, IDS_PORTS_LABEL},
                                                {1079, IDS_OK_LED},
                                                {1080, IDS_OK_OUTPUT_LABEL},
                                                {1081, IDS_POWER1},
                                                {1082, IDS_POWER2},
                                                {1083, IDS_RING_LED}};
constexpr int kMacLabelId = 1087;

// The text for a code; none for a code the table does not know.
std::string TextFor(std::span<const CodeText> texts, int code) {
  for (const CodeText& t : texts)
    if (t.code == code) return LoadResString(t.text);
  return {};
}

std::string MacLabel() {
  return LoadResString(IDS_MAC_ADDRESS_LABEL);
}

}  // namespace

CSwitchStatusDlg::CSwitchStatusDlg(CWnd* parent)
    : CDialog(IDD, parent), m_comm(MakeToolDiscovery()) {
  fw::frames::SwitchStatusInit(&m_status);
  BindControl(kPollingId, m_staticPolling);
  BindControl(kCommId, m_staticComm);
  BindControl(kListId, m_list);
  for (const ControlTexts& c : kStatusTexts)
    for (const CodeText& t : c.texts) FitText(c.id, LoadResString(t.text), 0, c.bold);
  for (const auto& [id, text] : kLabels) FitText(id, LoadResString(text));
  FitText(kMacLabelId, MacLabel());
  FitText(kMacId, "FF:FF:FF:FF:FF:FF");
  SetCommandHandler(kHelpId, [] { (void)fw::ShowHelp(kHelpDialogBase + IDD); });
}

CSwitchStatusDlg::~CSwitchStatusDlg() {
  (void)DestroyWindow();  // nothing to do without a window
}

bool CSwitchStatusDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_staticPolling.SetTextColor(kGreen);
  m_staticComm.SetText(TextFor(kCommTexts, 1));
  m_staticComm.SetTextColor(kGreen);
  m_list.InsertColumn(0, LoadResString(IDS_PORT), LVCFMT_LEFT, 60);
  m_list.InsertColumn(1, LoadResString(IDS_STATUS), LVCFMT_LEFT, 100);
  m_list.InsertColumn(2, LoadResString(IDS_SPEED), LVCFMT_LEFT, 100);
  m_list.InsertColumn(3, LoadResString(IDS_DUPLEX), LVCFMT_LEFT, 80);
  m_list.InsertColumn(4, LoadResString(IDS_FLOW_CTRL), LVCFMT_LEFT, 80);
  SetDlgItemText(kNameId, m_strName + " [" + m_strModel + "]");
  SetDlgItemText(kMacId, m_strMac);
  for (const auto& [id, text] : kLabels) SetDlgItemText(id, LoadResString(text));
  SetDlgItemText(kMacLabelId, MacLabel());
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
  m_staticPolling.SetText(TextFor(kPollingTexts, 1));
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
    m_staticComm.SetText(TextFor(kCommTexts, 0));
    m_staticComm.SetTextColor(kRed);
    m_staticComm.SetBold(true);
  } else {
    m_staticComm.SetBold(false);
    m_staticComm.SetText(TextFor(kCommTexts, 1));
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
  SetDlgItemText(kPower1Id, TextFor(kPower1Texts, m_status.bRingFlag10 ? 1 : 0));
  SetDlgItemText(kPower2Id, TextFor(kPower2Texts, m_status.bRingFlag20 ? 1 : 0));
  SetDlgItemText(kOkLedId, TextFor(kOkLedTexts, m_status.nRingState));
  SetDlgItemText(kOkOutputId, TextFor(kOkOutputTexts, m_status.bRingFlag08 ? 1 : 0));
  SetDlgItemText(kRingLedId, TextFor(kRingLedTexts, m_status.nRingTop));
}

void CSwitchStatusDlg::OnOK() {
  KillTimer(kTimerId);
  CDialog::OnOK();
}

void CSwitchStatusDlg::OnCancel() {
  KillTimer(kTimerId);
  CDialog::OnCancel();
}
