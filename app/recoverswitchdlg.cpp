#include "app/recoverswitchdlg.h"

#include "platform/format.h"
#include "platform/gui/help.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "switch/cfgblock.h"
#include "switch/configload.h"
#include "switch/switchdiscovery.h"
#include "tools/toolcomm.h"

namespace {

constexpr int kPortWords = 32;
constexpr int kMirrorWords = 9;
constexpr std::uint16_t kIdentityAddress = 280;

// The two bytes of port p in the factory image.
std::vector<std::uint8_t> PortWord(const SwitchIdentity* identity, int p) {
  if (!identity) return {0x00, 0x7E};
  const SwitchIdentity& id = *identity;
  if (id[1] == 2 && p >= 6 && p <= 8) return {0x01, 0xFE};
  // Units reporting fewer than five ports are taken as five-port units; a
  // port the unit does not have is no fibre port.
  const int count = std::max<int>(id[3], 5);
  if (p < count && IsFiberPortOfVariant(id[5], p, count)) return {0x00, 0x42};
  return {0x00, 0x7E};
}

// Every text of its own the status line shows: the steps, then the outcomes.
// The fit declaration and the code that shows them both read this table; the
// switch's own words after a refused write are not known before.
enum Status : std::size_t {
  kWriting,
  kResetting,
  kSelectInterface,
  kFailedOpen,
  kFailedIdentity,
  kFailedWrite,
  kFailedReset,
  kNoResponse,
  kStatusCount
};
constexpr unsigned kStatusTexts[kStatusCount] = {
    IDS_WRITING_CONFIGURATION,      IDS_RESETTING_SWITCH,        IDS_SELECT_INTERFACE,
    IDS_FAILED_OPEN_COMMUNICATIONS, IDS_FAILED_OBTAIN_SWITCH_ID, IDS_FAILED_WRITE_EEROM,
    IDS_FAILED_RESET_SWITCH,        IDS_NO_RESPONSE_AFTER_REBOOT};

std::string StatusText(Status s) {
  return LoadResString(kStatusTexts[s]);
}

std::string UnreachableText(const std::string& mac) {
  return fw::FormatText("%s <%s>", LoadResString(IDS_CANNOT_REACH_SWITCH_MAC), mac);
}

}  // namespace

std::vector<CEeromWrite> FactoryImageWrites(const SwitchIdentity* identity) {
  std::vector<CEeromWrite> writes;
  for (int p = 0; p < kPortWords; ++p)
    writes.push_back({static_cast<std::uint16_t>(512 + 2 * p), PortWord(identity, p)});
  for (int i = 0; i < kMirrorWords; ++i)
    writes.push_back({static_cast<std::uint16_t>(1024 + 2 * i), {0x00, 0x00}});
  CEeromWrite priorities{1280, {}};
  for (int i = 0; i < 32; ++i) {
    const std::uint8_t entry[8] = {0x07, 0x01, 0xB8, 0x74, 0x00, 0x00, 0x00, 0x00};
    priorities.bytes.insert(priorities.bytes.end(), entry, entry + 8);
  }
  writes.push_back(std::move(priorities));
  writes.push_back({1536, {0xD5, 0x40}});
  writes.push_back({1538, {0x00, 0x00}});
  return writes;
}

CRecoverSwitchDlg::CRecoverSwitchDlg(CWnd* parent) : CDialog(IDD, parent) {
  SetCommandHandler(
      kHelpId, [] { fw::ShowHelp(kHelpDialogBase + IDD); }, BN_CLICKED);
  for (unsigned id : kStatusTexts) FitText(kStatusId, LoadResString(id));
  FitText(kStatusId, UnreachableText("FF:FF:FF:FF:FF:FF"));
}

CRecoverSwitchDlg::~CRecoverSwitchDlg() = default;

void CRecoverSwitchDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, kDeviceListId, m_devices);
}

bool CRecoverSwitchDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  auto comm = MakeToolComm();
  CPcapDeviceList devices;
  comm->CommFindDevices(&devices);
  // A device without a description is shown, and opened, by its name.
  for (const auto& d : devices) m_devices.AddString(d.description.empty() ? d.name : d.description);
  if (m_devices.GetCount() > 0) m_devices.SetCurSel(0);
  return true;
}

void CRecoverSwitchDlg::Fail(const std::string& text, std::string* outcome) {
  AfxMessageBox(text);
  *outcome = text;
}

bool CRecoverSwitchDlg::Recover(CSwitchDiscovery& comm, std::string* outcome) {
  std::string device;
  if (m_devices.GetCurSel() >= 0) device = m_devices.GetLBText(m_devices.GetCurSel());
  if (device.empty()) {
    Fail(StatusText(kSelectInterface), outcome);
    return false;
  }
  const std::string unreachable = UnreachableText(m_strMac);
  // Without the switch's own address the writes would go to every switch
  // on the segment.
  if (!comm.CommSetTargetMac(m_strMac)) {
    Fail(unreachable, outcome);
    return false;
  }
  std::string error;
  if (comm.CommOpenDeviceEx(device, &error) != kCommOk) {
    std::string text = StatusText(kFailedOpen);
    if (!error.empty()) text += "\n\n" + error;
    Fail(text, outcome);
    return false;
  }
  error.clear();
  const int entered = comm.CommEnterBootMonitor(&error);
  BringWindowToTop();
  if (entered != kCommOk) {
    // Also a cancelled prompt or a switch that never entered its boot
    // monitor: nothing was written.
    comm.CommClose();
    Fail(unreachable, outcome);
    return false;
  }

  bool ok = true;
  SwitchIdentity identity{};
  bool haveIdentity = false;
  {
    CCfgBlock read;
    read.AddRequest(kEeromRead, kIdentityAddress, static_cast<std::uint16_t>(identity.size()));
    std::string readError;
    if (comm.Run(read, &readError) != kEeromOk) {
      Fail(StatusText(kFailedIdentity), outcome);
      ok = false;
    } else {
      std::vector<std::uint8_t> bytes;
      read.CopyWordMapToBytes(&bytes);
      haveIdentity = bytes.size() >= kIdentityAddress + identity.size();
      if (haveIdentity)
        std::copy_n(bytes.begin() + kIdentityAddress, identity.size(), identity.begin());
    }
  }

  CCfgBlock block;
  for (const CEeromWrite& w : FactoryImageWrites(haveIdentity ? &identity : nullptr))
    block.AddRequest(kEeromWrite, w.address, static_cast<std::uint16_t>(w.bytes.size()),
                     w.bytes.data());
  SetDlgItemText(kStatusId, StatusText(kWriting));
  error.clear();
  bool restarted = false;
  if (comm.Run(block, &error) != kEeromOk) {
    Fail(error.empty() ? StatusText(kFailedWrite) : error, outcome);
    ok = false;
  } else {
    SetDlgItemText(kStatusId, StatusText(kResetting));
    error.clear();
    if (comm.ControlRequest(kControlRestart, 0, &error) != kCommOk) {
      Fail(error.empty() ? StatusText(kFailedReset) : error, outcome);
      ok = false;
    } else {
      restarted = true;
    }
  }
  comm.CommClose();

  if (restarted) {
    comm.CommPumpMessagesFor(kRestartWaitMs);
    std::string found;
    const bool back =
        comm.FindInterfaceOfSwitch(m_strMac, &found, 0) == CSwitchDiscovery::kSwitchFound;
    SetDlgItemText(kStatusId, "");
    if (back) {
      const std::string done = LoadResString(IDS_OPERATION_SUCCEEDED);
      MessageBoxCaption(done, done, MB_OK);
    } else {
      Fail(StatusText(kNoResponse), outcome);
      ok = false;
    }
  }
  return ok;
}

void CRecoverSwitchDlg::OnOK() {
  EnableWindow(false);
  std::string outcome;
  bool ok = false;
  {
    auto comm = MakeToolDiscovery();
    ok = Recover(*comm, &outcome);
  }
  // The status line keeps what went wrong, so the dialog says it too.
  SetDlgItemText(kStatusId, ok ? std::string() : outcome);
  EnableWindow(true);
  if (ok) EndDialog(IDOK);
}
