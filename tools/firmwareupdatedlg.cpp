#include "tools/firmwareupdatedlg.h"

#include <filesystem>

#include "platform/fields.h"
#include "platform/gui/help.h"
#include "platform/gui/services.h"
#include "platform/message.h"
#include "platform/profile.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"
#include "switch/firmware.h"
#include "switch/switchentry.h"
#include "tools/compactpath.h"
#include "tools/projectdocument.h"
#include "tools/toolcomm.h"
#include "tools/toolsdocument.h"
#include "tools/waitcursor.h"

namespace {

constexpr char kSettings[] = "settings";
constexpr char kLastFileKey[] = "last fw file";
constexpr char kPreferences[] = "preferences";
constexpr char kLastDeviceKey[] = "last device";

}  // namespace

CFirmwareUpdateDlg::CFirmwareUpdateDlg(CWnd* parent)
    : CDialog(IDD, parent), m_comm(MakeToolComm()) {
  BindControl(kInterfaceId, m_combo);
  SetCommandHandler(kBrowseId, [this] { Browse(); });
  SetCommandHandler(kHelpId, [] { (void)fw::ShowHelp(kHelpDialogBase + IDD); });
  SetCommandHandler(
      kInterfaceId,
      [this] {
        fw::AppProfile().WriteProfileInt(kPreferences, kLastDeviceKey, m_combo.GetCurSel());
      },
      CBN_SELCHANGE);
}

CFirmwareUpdateDlg::~CFirmwareUpdateDlg() {
  (void)DestroyWindow();  // nothing to do without a window
}

std::intptr_t CFirmwareUpdateDlg::Run(CWnd* parent, IToolsDocument& document) {
  const CSwitchEntry* entry = document.SelectedSwitch();
  if (!entry) {
    AfxMessageBox(LoadResString(IDS_NO_SWITCH_SELECTED), MB_OK | MB_ICONINFORMATION);
    return IDCANCEL;
  }
  CFirmwareUpdateDlg dlg(parent);
  dlg.SetSwitch(entry);
  dlg.SetProjectPath(document.ProjectPath());
  return dlg.DoModal();
}

bool CFirmwareUpdateDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  ShowFile(fw::AppProfile().GetProfileString(kSettings, kLastFileKey));
  SetDlgItemText(kNameId, m_entry ? m_entry->GetName() : std::string());
  CPcapDeviceList devices;
  (void)m_comm->CommFindDevices(&devices);
  for (const auto& d : devices) m_combo.AddString(d.description);
  if (m_combo.GetCount() > 0)
    m_combo.SetCurSel(fw::AppProfile().GetProfileInt(kPreferences, kLastDeviceKey, 0));
  return true;
}

void CFirmwareUpdateDlg::ShowFile(std::string path) {
  m_strFile = std::move(path);
  fw::CompactPath(m_strFile, GetDlgItem(kFileId));
}

void CFirmwareUpdateDlg::Browse() {
  const std::string current = m_strFile;
  const std::string filter = LoadResString(IDS_FILTER_FIRMWARE);
  const std::string initial = fw::Trim(GetDelimitedField(filter, '|', 2, 80));
  const std::string ext = initial.size() > 2 ? initial.substr(2) : std::string();
  CFileDialog dialog(true, ext, initial, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, filter, this);
  // Beside the last file chosen; the first time where the project's files are.
  const std::filesystem::path at(current);
  dialog.m_ofn.initialDir = current.empty() ? fw::ProjectStartFolder(m_strProjectPath)
                            : std::filesystem::is_directory(at) ? at.string()
                                                                : at.parent_path().string();
  if (dialog.DoModal() != IDOK) return;
  ShowFile(dialog.GetPathName());
  fw::AppProfile().WriteProfileString(kSettings, kLastFileKey, dialog.GetPathName());
}

void CFirmwareUpdateDlg::OnOK() {
  CWaitCursor wait;
  const std::string path = m_strFile;
  if (path.empty()) {
    AfxMessageBox(LoadResString(IDS_SELECT_FIRMWARE_FILE), MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (m_combo.GetCurSel() < 0) {
    AfxMessageBox(LoadResString(IDS_SELECT_NETWORK_INTERFACE), MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (!m_entry) {
    // Opened without a switch: there is nothing to send the firmware to.
    AfxMessageBox(LoadResString(IDS_NO_SWITCH_SELECTED), MB_OK | MB_ICONINFORMATION);
    return;
  }
  const std::string device = m_combo.GetLBText(m_combo.GetCurSel());
  m_comm->CommSetTargetMac(m_entry->GetMacText(true));
  std::string error;
  // The load judges the file by its own name, not by the folders above it.
  const std::string shown = std::filesystem::path(path).filename().string();
  m_loadResult = SwitchLoadFirmwareOp(*m_comm, device, path, shown, ToolCommEnv().ui, &error);
  if (m_loadResult < 0)
    AfxMessageBox(error, MB_OK | MB_ICONEXCLAMATION);
  else
    MessageBoxCaption(LoadResString(IDS_FIRMWARE_LOAD_COMPLETE),
                      LoadResString(IDS_LOAD_COMPLETE_TITLE), MB_OK);
  EndDialog(IDOK);
}
