#include "tools/modbusoptionsdlg.h"

#include <arpa/inet.h>

#include <cctype>
#include <utility>

#include "platform/gui/help.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"
#include "switch/switchentry.h"

namespace {
constexpr int kEnableId = 1042;
constexpr int kAddressId = 1043;
constexpr int kIpId = 1044;
constexpr int kSubnetId = 1045;
constexpr int kGatewayId = 1046;
constexpr int kGatewayLabelId = 1070;
constexpr int kHelpId = 3;

// A decimal number of digits only; -1 for anything else.
long long ParseAddress(const std::string& text) {
  if (text.empty() || text.size() > 9) return -1;
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return -1;
  return fw::AtoI(text);
}
// The labels the dialog sets; it is sized for each.
constexpr std::pair<int, unsigned> kLabels[] = {{kEnableId, IDS_ENABLE_MODBUS},
                                                {kGatewayLabelId, IDS_DEFAULT_GATEWAY}};
}  // namespace

CModbusOptionsDlg::CModbusOptionsDlg(CWnd* parent) : CDialog(IDD, parent) {
  BindControl(kIpId, m_ip);
  BindControl(kSubnetId, m_subnet);
  BindControl(kGatewayId, m_gateway);
  SetCommandHandler(kEnableId, [this] { ApplyEnableState(); });
  for (const auto& [id, text] : kLabels) FitText(id, LoadResString(text));
  SetCommandHandler(kHelpId, [] { fw::ShowHelp(kHelpDialogBase + IDD); });
}

void CModbusOptionsDlg::ShowAddress(CIPAddressCtrl& control, const std::string& text) {
  in_addr addr{};
  if (inet_pton(AF_INET, fw::Trim(text).c_str(), &addr) == 1)
    control.SetAddress(ntohl(addr.s_addr));
  else
    control.ClearAddress();
}

std::string CModbusOptionsDlg::ReadAddress(const CIPAddressCtrl& control) {
  std::uint32_t host = 0;
  if (control.GetAddress(host) == 0) return {};
  in_addr addr{};
  addr.s_addr = htonl(host);
  char text[INET_ADDRSTRLEN] = {};
  return inet_ntop(AF_INET, &addr, text, sizeof text) ? std::string(text) : std::string();
}

void CModbusOptionsDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Check(dx, kEnableId, m_bEnable);
  DDX_Text(dx, kAddressId, m_strAddress);
}

bool CModbusOptionsDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (m_pEntry) {
    m_bEnable = m_pEntry->GetModbusEnable() ? 1 : 0;
    const std::pair<CIPAddressCtrl*, std::string> shown[] = {{&m_ip, m_pEntry->GetIP()},
                                                             {&m_subnet, m_pEntry->GetSubnet()},
                                                             {&m_gateway, m_pEntry->GetGateway()}};
    for (const auto& [control, text] : shown)
      if (!text.empty()) ShowAddress(*control, text);
    m_strAddress = fw::FormatText("%d", m_pEntry->GetModbusAddress());
  }
  for (const auto& [id, text] : kLabels) SetDlgItemText(id, LoadResString(text));
  (void)UpdateData(false);  // filling the controls validates nothing
  ApplyEnableState();
  return true;
}

void CModbusOptionsDlg::ApplyEnableState() {
  (void)UpdateData(true);  // a check box and a text: nothing to refuse
  for (int id : {kIpId, kSubnetId, kGatewayId, kAddressId})
    if (CWnd* control = GetDlgItem(id)) control->EnableWindow(m_bEnable != 0);
}

void CModbusOptionsDlg::OnOK() {
  if (!UpdateData(true)) return;
  // Everything is checked first; the entry changes only when all of it is valid.
  if (m_bEnable) {
    if (m_ip.IsBlank()) {
      AfxMessageBox(IDS_ENTER_IP_ADDRESS, MB_OK | MB_ICONEXCLAMATION);
      GotoDlgCtrl(&m_ip);
      return;
    }
    if (m_subnet.IsBlank()) {
      AfxMessageBox(IDS_ENTER_SUBNET_MASK, MB_OK | MB_ICONEXCLAMATION);
      GotoDlgCtrl(&m_subnet);
      return;
    }
  }
  const std::string typed = fw::Trim(m_strAddress);
  const std::string text = typed.empty() ? std::string("1") : typed;
  const long long address = ParseAddress(text);
  if (address < kMinAddress || address > kMaxAddress) {
    AfxMessageBox(IDS_MODBUS_ADDRESS_RANGE, MB_OK | MB_ICONEXCLAMATION);
    GotoDlgCtrl(GetDlgItem(kAddressId));
    return;
  }
  if (m_pEntry) {
    if (m_bEnable) {
      m_pEntry->SetIP(ReadAddress(m_ip));
      m_pEntry->SetSubnet(ReadAddress(m_subnet));
      m_pEntry->SetGateway(ReadAddress(m_gateway));
    }
    m_pEntry->SetModbusEnable(m_bEnable);
    m_pEntry->SetModbusAddress(static_cast<int>(address));
  }
  EndDialog(IDOK);
}
