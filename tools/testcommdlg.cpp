#include "tools/testcommdlg.h"

#include "platform/message.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "switch/firmware.h"
#include "tools/toolcomm.h"
#include "tools/waitcursor.h"

CTestCommDlg::CTestCommDlg(CWnd* parent) : CDialog(IDD, parent), m_comm(MakeToolComm()) {
  BindControl(kDeviceListId, m_devices);
  SetCommandHandler(kEnterBootMonitorId, [this] { OnEnterBootMonitor(); });
}

CTestCommDlg::~CTestCommDlg() {
  (void)DestroyWindow();
}

std::intptr_t CTestCommDlg::Run(CWnd* parent) {
  CTestCommDlg dlg(parent);
  return dlg.DoModal();
}

bool CTestCommDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  CPcapDeviceList devices;
  (void)m_comm->CommFindDevices(&devices);  // none listed is what the user then sees
  for (const auto& d : devices) m_devices.AddString(d.description);
  return true;
}

void CTestCommDlg::OnEnterBootMonitor() {
  const int sel = m_devices.GetCurSel();
  std::string device = sel >= 0 ? m_devices.GetText(sel) : std::string();
  if (device.size() > kMaxDeviceText) device.resize(kMaxDeviceText);
  if (device.empty()) return;
  std::string box;
  bool entered = false;
  {
    CWaitCursor wait;
    entered = TestCommEnterBootMonitor(*m_comm, device, &box);
  }
  if (!box.empty()) SetDlgItemText(kErrorsId, box);
  if (entered) AfxMessageBox(LoadResString(IDS_BOOT_MONITOR_ENTERED));
}
