#include "tools/eeromdebugdlg.h"

#include <QCoreApplication>
#include <cctype>
#include <fstream>

#include "platform/format.h"
#include "platform/gui/qtstring.h"
#include "platform/gui/services.h"
#include "platform/message.h"
#include "platform/profile.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"
#include "tools/toolcomm.h"
#include "tools/waitcursor.h"

namespace {

constexpr char kPreferences[] = "preferences";
constexpr char kLastDeviceKey[] = "last device";
constexpr std::size_t kMaxDeviceText = 512;
constexpr fw::MacAddress kBroadcast{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

// Six pairs of hexadecimal digits with a colon (or dash) between them.
bool IsMacText(const std::string& text) {
  if (text.size() != 17) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (i % 3 == 2) {
      if (c != ':' && c != '-') return false;
    } else if (!std::isxdigit(static_cast<unsigned char>(c))) {
      return false;
    }
  }
  return true;
}

}  // namespace

CEeromDebugDlg::CEeromDebugDlg(CWnd* parent)
    : CAnchorLayoutDialog(IDD, parent), m_comm(MakeToolComm()) {
  BindControl(kInterfaceId, m_combo);
  if (QCoreApplication::instance())
    m_strDescriptionFile =
        fw::FromQ(QCoreApplication::applicationDirPath()) + "/" + CEeromRange::kFileName;
  SetCommandHandler(kReadAllId, [this] { (void)ReadAll(); });
  SetCommandHandler(kReadSelectedId, [this] { (void)ReadSelected(); });
  SetCommandHandler(kWriteAllId, [this] { (void)WriteAll(); });
  SetCommandHandler(kWriteSelectedId, [this] { (void)WriteSelected(); });
  SetCommandHandler(kSetId, [this] { (void)SetDestination(GetDlgItemText(kMacId)); });
  SetCommandHandler(kSaveId, [this] { Save(); });
  SetCommandHandler(
      kInterfaceId,
      [this] {
        fw::AppProfile().WriteProfileInt(kPreferences, kLastDeviceKey, m_combo.GetCurSel());
      },
      CBN_SELCHANGE);
}

CEeromDebugDlg::~CEeromDebugDlg() {
  (void)DestroyWindow();  // nothing to do without a window
}

bool CEeromDebugDlg::OnInitDialog() {
  CAnchorLayoutDialog::OnInitDialog();
  m_grid.SetDescriptionFile(m_strDescriptionFile);
  (void)m_grid.AttachToControl(kGridId, this);
  AnchorControl(kGridId, TOP_LEFT, BOTTOM_RIGHT);
  for (int id : {kReadAllId, kWriteSelectedId, kInterfaceId, kWriteAllId, kReadSelectedId,
                 kMacLabelId, kMacId, kSetId, kSaveId})
    AnchorControl(id, BOTTOM_LEFT, NOANCHOR);
  if (!m_grid.LoadErrors().empty()) AfxMessageBox(m_grid.LoadErrors(), MB_OK | MB_ICONEXCLAMATION);
  if (!m_strDestMac.empty()) {
    SetDlgItemText(kMacId, m_strDestMac);
    (void)SetDestination(m_strDestMac);
  }
  CPcapDeviceList devices;
  (void)m_comm->CommFindDevices(&devices);
  for (const auto& d : devices) m_combo.AddString(d.description);
  if (m_combo.GetCount() > 0)
    m_combo.SetCurSel(fw::AppProfile().GetProfileInt(kPreferences, kLastDeviceKey, 0));
  return true;
}

bool CEeromDebugDlg::PreTranslateMessage(MSG* msg) {
  // Esc cancels an edit in the grid (the editor sees it first); it never
  // closes the debugger, where an accidental Esc would lose what was typed.
  if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) {
    if (m_grid.IsEditing()) (void)m_grid.FinishCellEdit("", 1, 0, -1, -1);
    return true;
  }
  return CAnchorLayoutDialog::PreTranslateMessage(msg);
}

bool CEeromDebugDlg::SetDestination(const std::string& text) {
  const std::string mac = fw::Trim(text);
  if (!IsMacText(mac) || !m_comm->CommSetTargetMac(mac)) {
    AfxMessageBox(FormatRes(IDS_EEROM_INVALID_MAC, text), MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  return true;
}

bool CEeromDebugDlg::RefuseBroadcastWrite() {
  if (m_comm->Target() != kBroadcast) return false;
  AfxMessageBox(LoadResString(IDS_EEROM_BROADCAST_WRITE), MB_OK | MB_ICONEXCLAMATION);
  return true;
}

bool CEeromDebugDlg::OpenInterface(bool tellEmpty) {
  std::string device = m_combo.GetWindowText();
  if (device.size() > kMaxDeviceText) device.resize(kMaxDeviceText);
  if (device.empty()) {
    if (tellEmpty) AfxMessageBox(LoadResString(IDS_NO_DEVICE_SELECTED), MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  std::string error;
  std::uint8_t local[6];
  if (m_comm->CommOpenDevice(device, local, &error) != kCommOk) {
    // The capture layer's reason (no permission, adapter gone) is what the
    // user can act on.
    std::string text = LoadResString(IDS_FAILED_OPEN_SELECTED_DEVICE);
    if (const std::string reason = fw::Trim(error); !reason.empty()) text += "\n\n" + reason;
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  return true;
}

void CEeromDebugDlg::ShowError(const std::string& error) {
  if (!error.empty()) AfxMessageBox(error, MB_OK | MB_ICONEXCLAMATION);
}

bool CEeromDebugDlg::RowComplete(const CEeromRange& r) const {
  for (unsigned a = r.start; a <= r.end; ++a)
    if (!m_values.count(static_cast<std::uint16_t>(a))) return false;
  return true;
}

int CEeromDebugDlg::ReadAll() {
  if (!OpenInterface(true)) return kTransferFailed;
  CWaitCursor wait;
  m_request.Clear(true);
  for (const auto& r : m_grid.Ranges())
    m_request.AddRequest(kEeromRead, r.start, static_cast<std::uint16_t>(r.ByteCount()));
  std::string error;
  const int result = m_request.Requests().empty() ? kTransferOk : m_comm->Run(m_request, &error);
  m_comm->CommClose();
  // The table shows what came back, also from a transfer that stopped half way.
  m_values.clear();
  std::vector<std::uint8_t> bytes;
  for (const auto& r : m_grid.Ranges()) {
    for (unsigned a = r.start; a <= r.end; ++a) {
      std::uint8_t v = 0;
      if (m_request.LookupByte(static_cast<std::uint16_t>(a), &v))
        m_values[static_cast<std::uint16_t>(a)] = v;
    }
  }
  ShowError(error);
  m_grid.RepaintAll();
  return result != kEeromOk ? kTransferFailed : kTransferOk;
}

int CEeromDebugDlg::ReadSelected() {
  const int row = m_grid.GetCurrentRow();
  if (!OpenInterface(false)) return kTransferFailed;
  if (row < 0 || row >= static_cast<int>(m_grid.Ranges().size())) {
    m_comm->CommClose();
    return kTransferOk;
  }
  CWaitCursor wait;
  const CEeromRange& r = m_grid.Ranges()[static_cast<std::size_t>(row)];
  m_request.Clear(false);
  m_request.AddRequest(kEeromRead, r.start, static_cast<std::uint16_t>(r.ByteCount()));
  std::string error;
  const int result = m_comm->Run(m_request, &error);
  m_comm->CommClose();
  ShowError(error);
  if (result != kEeromOk) return kTransferFailed;
  const auto& data = m_request.Requests().front().data;
  for (int i = 0; i < r.ByteCount(); ++i)
    m_values[static_cast<std::uint16_t>(r.start + i)] =
        i < static_cast<int>(data.size()) ? data[static_cast<std::size_t>(i)] : 0;
  m_grid.RepaintAll();
  return kTransferOk;
}

int CEeromDebugDlg::WriteSelected() {
  const int row = m_grid.GetCurrentRow();
  if (RefuseBroadcastWrite()) return kTransferFailed;
  if (!OpenInterface(false)) return kTransferFailed;
  if (row < 0 || row >= static_cast<int>(m_grid.Ranges().size())) {
    m_comm->CommClose();
    return kTransferOk;
  }
  const CEeromRange& r = m_grid.Ranges()[static_cast<std::size_t>(row)];
  if (!RowComplete(r)) {
    m_comm->CommClose();
    AfxMessageBox(LoadResString(IDS_EEROM_READ_BEFORE_WRITE), MB_OK | MB_ICONEXCLAMATION);
    return kTransferFailed;
  }
  CWaitCursor wait;
  std::vector<std::uint8_t> bytes;
  for (unsigned a = r.start; a <= r.end; ++a)
    bytes.push_back(m_values[static_cast<std::uint16_t>(a)]);
  m_request.Clear(false);
  m_request.AddRequest(kEeromWrite, r.start, static_cast<std::uint16_t>(bytes.size()),
                       bytes.data());
  std::string error;
  const int result = m_comm->Run(m_request, &error);
  m_comm->CommClose();
  ShowError(error);
  // A refused or lost write keeps the entry as typed, still marked, for a
  // retry; only a taken one is read back to show what the switch holds.
  if (result != kEeromOk) return kTransferFailed;
  (void)ReadSelected();
  return kTransferOk;
}

int CEeromDebugDlg::WriteAll() {
  if (m_combo.GetWindowText().empty()) return ReadAll();  // which says "No device selected."
  if (RefuseBroadcastWrite()) return kTransferFailed;
  // Nothing was sent: the typed values stay for a retry.
  if (!OpenInterface(false)) return kTransferFailed;
  m_request.Clear(false);
  // Every complete row is written: an unchanged-looking row may never have
  // been read, so the switch may hold something else.
  for (const CEeromRange& r : m_grid.Ranges()) {
    if (!RowComplete(r)) continue;
    std::vector<std::uint8_t> bytes;
    for (unsigned a = r.start; a <= r.end; ++a)
      bytes.push_back(m_values[static_cast<std::uint16_t>(a)]);
    m_request.AddRequest(kEeromWrite, r.start, static_cast<std::uint16_t>(bytes.size()),
                         bytes.data());
  }
  if (m_request.Requests().empty()) {
    m_comm->CommClose();
    AfxMessageBox(LoadResString(IDS_EEROM_NO_VALID_ROW), MB_OK | MB_ICONEXCLAMATION);
    return kTransferFailed;
  }
  std::string error;
  int result = kTransferOk;
  {
    CWaitCursor wait;
    result = m_comm->Run(m_request, &error) != kEeromOk ? kTransferFailed : kTransferOk;
  }
  m_comm->CommClose();
  ShowError(error);
  m_grid.RepaintAll();
  // A failed write keeps what was typed, red, for a retry: a read now would
  // replace it with whatever (if anything) came back.
  if (result != kTransferOk) return result;
  return ReadAll();
}

bool CEeromDebugDlg::LookupValue(std::uint16_t address, std::uint8_t* value) const {
  const auto it = m_values.find(address);
  if (it == m_values.end()) return false;
  *value = it->second;
  return true;
}

bool CEeromDebugDlg::LookupReceived(std::uint16_t address, std::uint8_t* value) const {
  return m_request.LookupByte(address, value);
}

void CEeromDebugDlg::StoreHexText(const std::string& text, int row) {
  if (row < 0 || row >= static_cast<int>(m_grid.Ranges().size())) return;
  const CEeromRange& r = m_grid.Ranges()[static_cast<std::size_t>(row)];
  for (std::size_t i = 0; i + 1 < text.size() && static_cast<int>(i / 2) < r.ByteCount(); i += 2)
    m_values[static_cast<std::uint16_t>(r.start + i / 2)] =
        static_cast<std::uint8_t>(HexValue(text[i]) * 16 + HexValue(text[i + 1]));
}

bool CEeromDebugDlg::SaveToFile(const std::string& path) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  // The same form as the description file, with the bytes as a third field:
  // a saved file can be read back as one.
  for (int row = 0; row < static_cast<int>(m_grid.Ranges().size()); ++row) {
    const CEeromRange& r = m_grid.Ranges()[static_cast<std::size_t>(row)];
    const std::string range = r.start == r.end ? fw::FormatText("$%04X", r.start)
                                               : fw::FormatText("$%04X-$%04X", r.start, r.end);
    out << range << ",`" << r.name << "`," << m_grid.DataText(row) << "\r\n";
  }
  out.flush();
  return static_cast<bool>(out);
}

void CEeromDebugDlg::Save() {
  const std::string filter = LoadResString(IDS_FILTER_EEROM_TEXT);
  CFileDialog dialog(false, "txt", "eerom.txt", OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY, filter,
                     this);
  if (dialog.DoModal() != IDOK) return;
  if (!SaveToFile(dialog.GetPathName()))
    AfxMessageBox(FormatRes(IDS_EEROM_SAVE_FAILED, dialog.GetPathName()),
                  MB_OK | MB_ICONEXCLAMATION);
}
