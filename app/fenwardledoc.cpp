#include "app/fenwardledoc.h"

#include <QApplication>
#include <QPointer>
#include <QProcess>
#include <QWidget>
#include <filesystem>

#include "app/recoverswitchdlg.h"
#include "platform/format.h"
#include "platform/gui/pump.h"
#include "platform/gui/qtstring.h"
#include "platform/gui/winapp.h"
#include "platform/message.h"
#include "platform/profile.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"
#include "shell/commandids.h"
#include "shell/productsupportdlg.h"
#include "shell/startup.h"
#include "switch/projectfile.h"
#include "switch/switchdiscovery.h"
#include "tools/cfgpsheet.h"
#include "tools/copycfgdlg.h"
#include "tools/eeromdebugdlg.h"
#include "tools/findswitchesdlg.h"
#include "tools/firmwareupdatedlg.h"
#include "tools/flashleddlg.h"
#include "tools/indexpair.h"
#include "tools/netmonitordlg.h"
#include "tools/outputfiledlg.h"
#include "tools/switchstatusdlg.h"
#include "tools/testcommdlg.h"
#include "tools/toolcomm.h"
#include "tools/toolsdocument.h"

namespace {
// Both spellings are one section: the profile ignores letter case.
constexpr std::string_view kSettings = "settings";
constexpr std::string_view kLastPath = "last path";

CWnd* MainWindow() {
  CWinApp* app = AfxGetApp();
  return app ? app->m_pMainWnd : nullptr;
}

// How often the wait for the firmware loader looks whether it has ended.
constexpr int kLoaderPollMs = 100;
}  // namespace

CFenwardleDoc::CFenwardleDoc() : m_store(1) {
  SetDocStrings(LoadResString(IDS_DOC_STRINGS_FENWARDLE));
  NetmonAddErrorMessage();
  SetCommandHandler(ID_CONFIG_ADD, [this] { OnConfigAdd(); });
  SetCommandHandler(ID_AUTO_FIND_SWITCHES, [this] { OnAutoFindSwitches(); });
  SetCommandHandler(ID_CONFIG_EDIT, [this] { OnConfigEdit(); });
  SetCommandHandler(ID_CONFIG_DELETE, [this] { OnConfigDelete(); });
  SetCommandHandler(ID_EXPLAIN_WARNING, [this] { OnExplainWarning(); });
  SetCommandHandler(ID_UPDATE_RING_FIRMWARE, [this] { OnUpdateRingFirmware(); });
  SetCommandHandler(ID_PRODUCT_SUPPORT, [this] { OnProductSupport(); });
  SetCommandHandler(ID_DEBUG_EEROM, [this] { OnDebugEeprom(); });
  SetCommandHandler(ID_UPDATE_MANAGED_FIRMWARE, [this] { (void)RunFirmwareLoader(); });
  SetCommandHandler(ID_OUTPUT_TO_FILE, [this] { OnOutputToFile(); });
  SetUpdateHandler(ID_OUTPUT_TO_FILE, [](CCmdUI* ui) { ui->Enable(true); });
  SetCommandHandler(ID_MONITOR_NETWORKS, [this] { OnMonitorNetworks(); });
  SetCommandHandler(ID_TEST_COMM, [] { (void)CTestCommDlg::Run(MainWindow()); });
}

CFenwardleDoc::~CFenwardleDoc() {
  // The program ends: an untitled project leaves nothing to open next time.
  fw::AppProfile().WriteProfileString(kSettings, kLastPath, GetPathName());
}

void CFenwardleDoc::SetPathName(const std::string& path, bool addToRecentList) {
  CDocument::SetPathName(path, addToRecentList);
  if (!path.empty()) fw::AppProfile().WriteProfileString(kSettings, kLastPath, path);
}

UINT CFenwardleDoc::NetmonAddErrorMessage() {
  static const UINT message =
      RegisterWindowMessage("UWM_NETMON_ADD_ERROR-{D9516226-45D7-15c7-89cd-0450BA580AEB}");
  return message;
}

// ---------------------------------------------------------------- the file

void CFenwardleDoc::Serialize(CArchive& ar) {
  // Saving goes through OnSaveDocument, which writes the file in one step.
  if (ar.IsStoring()) return;
  fw::CProjectNotes notes;
  std::string error;
  if (fw::LoadProjectFile(ar.GetFilePath(), m_store, m_switches, &notes, &error) == -1) {
    ar.Fail(error);
    return;
  }
  m_nSelectedConfig = -1;
  notes.Show();
  SendHint(kHintEverything, -1);
  fw::AppProfile().WriteProfileString(kSettings, kLastPath, ar.GetFilePath());
}

bool CFenwardleDoc::OnOpenDocument(const std::string& path) {
  // Looked at before the open project is emptied: a file that is no project
  // must cost the user neither that project nor, by a save, the file itself.
  std::string error;
  if (fw::CheckProjectFile(path, &error) != kProjectOk) {
    ReportSaveLoadFailure(IDS_DOC_OPEN_FAILED, path, error);
    return false;
  }
  return CDocument::OnOpenDocument(path);
}

bool CFenwardleDoc::OnSaveDocument(const std::string& path) {
  if (fw::IsReadOnlyFile(path)) {
    AfxMessageBox(IDS_FILE_READ_ONLY, MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  fw::CProjectNotes notes;
  std::string error;
  if (fw::SaveProjectFile(path, m_store, m_switches, &notes, &error) < 0) {
    // The file is replaced in one step, so the old one is still there; the
    // project stays modified.
    if (!notes.unsavedNames.empty())
      notes.Show();
    else
      ReportSaveLoadFailure(IDS_DOC_SAVE_FAILED, path, error);
    return false;
  }
  SetModifiedFlag(false);
  return true;
}

void CFenwardleDoc::DeleteContents() {
  m_switches.Clear();
  m_store.Clear();
  m_nSelectedConfig = -1;
  SendHint(kHintEverything, -1);
  CDocument::DeleteContents();
}

std::string CFenwardleDoc::GetInitialFolder() {
  const std::string last = fw::AppProfile().GetProfileString(kSettings, kLastPath);
  return last.empty() ? fw::ProjectsFolder() : fw::FolderOfPath(last);
}

// ---------------------------------------------------------------- helpers

CSwitchConfig* CFenwardleDoc::LiveConfig(int index) {
  CSwitchConfig* c = m_store.GetAt(index);
  return c && !c->IsDeleted() ? c : nullptr;
}

CSwitchEntry* CFenwardleDoc::LiveSwitch(int index) {
  CSwitchEntry* e = m_switches.GetAt(index);
  return e && !e->IsDeleted() ? e : nullptr;
}

void CFenwardleDoc::SendHint(int kind, int index) {
  CIndexPair hint(kind, index);
  UpdateAllViews(nullptr, 0, &hint);
}

int CFenwardleDoc::PrepareConfigName(std::string_view name, int skip, std::string* out) {
  bool cut = false, commas = false;
  std::string normal = fw::NormalizeItemName(name, &cut, &commas);
  if (fw::CleanItemName(name).empty()) return kProjectRefused;
  if (cut) AfxMessageBox(IDS_CFG_NAME_TOO_LONG, MB_OK | MB_ICONEXCLAMATION);
  if (commas)
    AfxMessageBox(fw::FormatText("%s %s", LoadResString(IDS_INVALID_CHARS_FOUND), ","),
                  MB_OK | MB_ICONEXCLAMATION);
  if (normal.empty()) return kProjectRefused;
  if (m_store.FindIndexByNameNoCase(normal, skip) >= 0) return kProjectDuplicate;
  *out = std::move(normal);
  return kProjectOk;
}

int CFenwardleDoc::PrepareSwitchName(std::string_view name, int skip, std::string* out) const {
  if (fw::Trim(name).empty()) return kProjectRefused;
  std::string normal = fw::NormalizeItemName(name);
  if (normal.empty()) return kProjectInvalidChars;
  if (m_switches.FindIndexByNameNoCase(normal, skip) >= 0) return kProjectDuplicate;
  *out = std::move(normal);
  return kProjectOk;
}

void CFenwardleDoc::RenameConfigReferences(const std::string& from, const std::string& to) {
  for (int i = m_switches.First(); i >= 0; i = m_switches.Next(i)) {
    CSwitchConfig& ref = m_switches.GetAt(i)->GetConfig();
    if (ref.GetName() == from) ref.SetName(to);
  }
}

// ---------------------------------------------------------------- selection

int CFenwardleDoc::GetSelectedConfigIndex() {
  const int pane = m_panes ? m_panes->ActivePane() : IPanes::kConfigListPane;
  if (pane == IPanes::kConfigListPane)
    return LiveConfig(m_nSelectedConfig) ? m_nSelectedConfig : -1;
  const CSwitchEntry* entry = LiveSwitch(GetSelectedSwitchIndex());
  return entry ? m_store.FindIndexByName(entry->GetConfig().GetName()) : -1;
}

int CFenwardleDoc::GetSelectedSwitchIndex() {
  if (!m_panes || m_panes->ActivePane() != IPanes::kSwitchListPane) return -1;
  const int index = m_panes->CurrentSwitchIndex();
  return LiveSwitch(index) ? index : -1;
}

// ---------------------------------------------------------------- configurations

int CFenwardleDoc::ValidateConfigName(std::string_view name) {
  std::string unused;
  const int r = PrepareConfigName(name, -1, &unused);
  return r == kProjectDuplicate ? kProjectOk : r;
}

int CFenwardleDoc::AddNewConfig(std::string_view name) {
  CSwitchConfig config;
  config.SetName(name);
  std::string normal;
  if (const int r = PrepareConfigName(name, -1, &normal); r != kProjectOk) return r;
  config.SetName(normal);
  const int index = m_store.Add(config);
  if (index < 0) return index;
  SendHint(kHintConfigAdded, index);
  SetModifiedFlag();
  return index;
}

int CFenwardleDoc::AddConfig(const CSwitchConfig& config) {
  std::string normal;
  if (const int r = PrepareConfigName(config.GetName(), -1, &normal); r != kProjectOk) return r;
  CSwitchConfig copy;
  copy.CopyFrom(config);
  copy.SetName(normal);
  const int index = m_store.Add(copy);
  if (index < 0) return index;
  SendHint(kHintConfigAdded, index);
  SetModifiedFlag();
  return index;
}

int CFenwardleDoc::SetConfigName(int index, std::string_view name) {
  CSwitchConfig* config = LiveConfig(index);
  if (!config) return kProjectRefused;
  std::string normal;
  if (const int r = PrepareConfigName(name, index, &normal); r != kProjectOk) return r;
  if (normal == config->GetName()) return kProjectOk;
  const std::string old = config->GetName();
  config->SetName(normal);
  // The switches name their configuration: they follow the rename.
  RenameConfigReferences(old, normal);
  SendHint(kHintConfigChanged, -1);
  SetModifiedFlag();
  return kProjectOk;
}

int CFenwardleDoc::DeleteConfig(int index) {
  CSwitchConfig* config = LiveConfig(index);
  if (!config) return kProjectRefused;
  RenameConfigReferences(config->GetName(), std::string());
  m_store.GetAt(index)->SetDeleted(true);
  if (m_nSelectedConfig == index) m_nSelectedConfig = -1;
  SendHint(kHintConfigDeleted, index);
  SetModifiedFlag();
  return kProjectOk;
}

int CFenwardleDoc::ReplaceConfig(int index, const CSwitchConfig& edited) {
  CSwitchConfig* config = LiveConfig(index);
  if (!config) return kProjectRefused;
  std::string name = config->GetName();
  if (edited.GetName() != name) {
    if (const int r = PrepareConfigName(edited.GetName(), index, &name); r != kProjectOk) return r;
  }
  const std::string old = config->GetName();
  config->CopyFrom(edited);
  // The edit is what is saved now, not the keys a newer version wrote.
  config->DropPreservedSection();
  config->SetName(name);
  if (name != old) RenameConfigReferences(old, name);
  SendHint(kHintConfigChanged, index);
  SetModifiedFlag();
  return kProjectOk;
}

// ---------------------------------------------------------------- switches

std::string CFenwardleDoc::MakeUniqueSwitchName(std::string_view macSuffix) const {
  if (!macSuffix.empty()) {
    std::string candidate = "RS_" + std::string(macSuffix);
    for (char& c : candidate)
      if (c == ':') c = '_';
    candidate = fw::NormalizeItemName(candidate);
    if (!candidate.empty() && m_switches.FindIndexByNameNoCase(candidate) < 0) return candidate;
  }
  // Taken (a renamed copy of the same switch) or no suffix: numbered names.
  const std::string base = LoadResString(IDS_NEW_SWITCH_NAME);
  for (int n = 1;; ++n) {
    const std::string candidate = fw::FormatText("%s%d", base, n);
    if (m_switches.FindIndexByNameNoCase(candidate) < 0) return candidate;
  }
}

int CFenwardleDoc::RenameSwitch(int index, std::string_view name) {
  CSwitchEntry* entry = LiveSwitch(index);
  if (!entry) return kProjectRefused;
  std::string normal;
  if (const int r = PrepareSwitchName(name, index, &normal); r != kProjectOk) return r;
  if (normal == entry->GetName()) return kProjectOk;
  entry->SetName(normal);
  SetModifiedFlag();
  return kProjectOk;
}

int CFenwardleDoc::AddSwitchFromField(int column, std::string_view text) {
  CSwitchEntry entry;
  switch (column) {
    case kSwitchColName: {
      std::string name;
      const int r = PrepareSwitchName(text, -1, &name);
      if (r == kProjectDuplicate) AfxMessageBox(IDS_NAME_IN_USE, MB_OK | MB_ICONEXCLAMATION);
      if (r == kProjectInvalidChars)
        AfxMessageBox(IDS_NAME_INVALID_CHARS, MB_OK | MB_ICONEXCLAMATION);
      if (r != kProjectOk) return r;
      entry.SetName(name);
      break;
    }
    case kSwitchColModel: entry.SetPartFromText(text, ""); break;
    case kSwitchColMac:
      if (!fw::IsValidMacSuffix(text)) return kProjectRefused;
      entry.SetMac(fw::ToUpperAscii(text));
      break;
    case kSwitchColConfig: entry.GetConfig().SetName(text); break;
    default: break;
  }
  if (entry.GetName().empty()) entry.SetName(MakeUniqueSwitchName(entry.GetMacSuffix()));
  const int index = m_switches.Add(entry);
  if (index < 0) return index;
  SendHint(kHintSwitchAdded, index);
  SetModifiedFlag();
  return index;
}

int CFenwardleDoc::SetSwitchModel(int index, std::string_view text) {
  CSwitchEntry* entry = LiveSwitch(index);
  if (!entry) return kProjectRefused;
  const CPartRecord before = entry->GetPart();
  // The model brings its port count and display name along.
  if (!entry->SetPartFromText(text, "")) return kProjectRefused;
  const CPartRecord& after = entry->GetPart();
  if (after.partNumber != before.partNumber || after.displayName != before.displayName ||
      after.portCount != before.portCount)
    SetModifiedFlag();
  return kProjectOk;
}

int CFenwardleDoc::SetSwitchMac(int index, std::string_view text) {
  CSwitchEntry* entry = LiveSwitch(index);
  if (!entry || !fw::IsValidMacSuffix(text)) return kProjectRefused;
  const std::string mac = fw::ToUpperAscii(text);
  if (mac == entry->GetMacSuffix()) return kProjectOk;
  entry->SetMac(mac);
  SetModifiedFlag();
  return kProjectOk;
}

int CFenwardleDoc::SetSwitchConfigName(int index, std::string_view name) {
  CSwitchEntry* entry = LiveSwitch(index);
  if (!entry) return kProjectRefused;
  if (entry->GetConfig().GetName() == name) return kProjectOk;
  entry->GetConfig().SetName(name);
  SetModifiedFlag();
  return kProjectOk;
}

int CFenwardleDoc::SetSwitchModbus(int index, const CSwitchEntry& s) {
  CSwitchEntry* entry = LiveSwitch(index);
  if (!entry) return kProjectRefused;
  const bool changed = entry->GetModbusEnable() != s.GetModbusEnable() ||
                       entry->GetModbusAddress() != s.GetModbusAddress() ||
                       entry->GetIP() != s.GetIP() || entry->GetSubnet() != s.GetSubnet() ||
                       entry->GetGateway() != s.GetGateway();
  if (!changed) return kProjectOk;
  entry->SetModbusEnable(s.GetModbusEnable());
  entry->SetModbusAddress(s.GetModbusAddress());
  entry->SetIP(s.GetIP());
  entry->SetSubnet(s.GetSubnet());
  entry->SetGateway(s.GetGateway());
  SetModifiedFlag();
  return kProjectOk;
}

int CFenwardleDoc::AddFoundSwitch(const CSwitchEntry& found) {
  const std::string& suffix = found.GetMacSuffix();
  for (int i = m_switches.First(); i >= 0; i = m_switches.Next(i)) {
    if (!suffix.empty() && fw::EqualsNoCase(m_switches.GetAt(i)->GetMacSuffix(), suffix)) {
      // The second text ends with its own full stop.
      AfxMessageBox(fw::FormatText("%s (%s). %s", LoadResString(IDS_SWITCH_SAME_MAC_EXISTS), suffix,
                                   LoadResString(IDS_SWITCH_NOT_ADDED)),
                    MB_OK | MB_ICONEXCLAMATION);
      return kProjectDuplicate;
    }
  }
  const std::string& oldName = found.GetName();
  std::string name = fw::NormalizeItemName(oldName);
  if (name.empty() || m_switches.FindIndexByNameNoCase(name) >= 0) {
    name = MakeUniqueSwitchName(suffix);
    if (!oldName.empty())
      AfxMessageBox(
          fw::FormatText("%s (%s) %s %s. %s %s.", LoadResString(IDS_SWITCH_SAME_NAME_EXISTS),
                         oldName, LoadResString(IDS_AS_SWITCH_FOUND_WITH_MAC), suffix,
                         LoadResString(IDS_NEW_NAME_ASSIGNED), name),
          MB_OK | MB_ICONINFORMATION);
  }
  CSwitchEntry entry;
  entry.CopyFrom(found);
  entry.SetName(name);
  const int index = m_switches.Add(entry);
  if (index < 0) return index;
  SendHint(kHintSwitchAdded, index);
  SetModifiedFlag();
  return index;
}

std::string CFenwardleDoc::ExplainCell(int column, int switchIndex) const {
  if (column != kSwitchColConfig) return {};
  const CSwitchEntry* entry = m_switches.GetAt(switchIndex);
  if (!entry || entry->IsDeleted()) return {};
  switch (ConfigProblemOf(m_store, *entry)) {
    case kConfigNotAssigned: return LoadResString(IDS_NO_CFG_ASSIGNED);
    case kConfigNotInProject: return LoadResString(IDS_CFG_NOT_IN_PROJECT);
    case kConfigIncompatible: return LoadResString(IDS_CFG_PORT_COUNT_MISMATCH);
    default: return {};
  }
}

void CFenwardleDoc::DeleteSwitch(int index) {
  CSwitchEntry* entry = LiveSwitch(index);
  if (!entry) return;
  const std::string question =
      fw::FormatText("%s '%s'?", LoadResString(IDS_DELETE_SWITCH), entry->GetName());
  if (MessageBoxCaption(question, std::string(), MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  m_switches.MarkDeleted(index);
  SendHint(kHintSwitchDeleted, index);
  SetModifiedFlag();
}

int CFenwardleDoc::LoadSelectedConfig(int index) {
  CSwitchEntry* entry = LiveSwitch(index);
  if (!entry) return 0;
  const CSwitchConfig* config = LiveConfig(m_store.FindIndexByName(entry->GetConfig().GetName()));
  if (!config) return 0;
  if (config->IsNewerVersion()) {
    // Its settings were not read: loading would write defaults into the switch.
    AfxMessageBox(FormatRes(IDS_CFG_NEWER_LOAD, config->GetName()), MB_OK | MB_ICONEXCLAMATION);
    return -1;
  }
  // The operation's messages and progress windows take the focus; it comes back afterwards.
  QPointer<QWidget> focus = QApplication::focusWidget();
  std::string error;
  int result = 0;
  if (!entry->IsCompatible(*config)) {
    error = LoadResString(IDS_CFG_PORT_COUNT_MISMATCH);
    result = -1;
  } else {
    // The tools' capture library and clock, so the load waits as they do.
    std::unique_ptr<CSwitchDiscovery> comm = m_commFactory ? m_commFactory() : MakeToolDiscovery();
    result = comm->SwitchLoadConfigOp(*entry, *config, &error);
  }
  if (result < 0) {
    AfxMessageBox(error.empty() ? LoadResString(IDS_ERRORS_LOADING) : error,
                  MB_OK | MB_ICONEXCLAMATION);
    result = -1;
  }
  if (focus) focus->setFocus();
  return result;
}

// ---------------------------------------------------------------- commands

std::vector<std::string> CFenwardleDoc::OtherConfigNames(int skip) const {
  std::vector<std::string> names;
  for (int i = m_store.First(); i >= 0; i = m_store.Next(i))
    if (i != skip) names.push_back(m_store.GetAt(i)->GetName());
  return names;
}

void CFenwardleDoc::OnConfigAdd() {
  CCfgPSheet sheet(MainWindow());
  sheet.SetMode(0);
  sheet.SetOtherConfigNames(OtherConfigNames(-1));
  if (!CCfgPSheet::IsAccepted(sheet.DoModal())) return;
  // The sheet refused a name in use; what AddConfig still refuses it told.
  (void)AddConfig(sheet.GetConfig());
}

void CFenwardleDoc::OnAutoFindSwitches() {
  CProjectToolsDocument tools(*this, [this] { return GetSelectedSwitchIndex(); });
  CFindSwitchesDlg dlg(MainWindow(), &tools);
  (void)dlg.DoModal();
}

void CFenwardleDoc::OnConfigEdit() {
  const int index = GetSelectedConfigIndex();
  const CSwitchConfig* config = LiveConfig(index);
  if (!config) return;
  // The sheet cannot show what a newer version wrote; OK would replace it.
  if (config->IsNewerVersion() && AfxMessageBox(FormatRes(IDS_CFG_NEWER_EDIT, config->GetName()),
                                                MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
    return;
  CCfgPSheet sheet(MainWindow());
  sheet.SetMode(1);
  sheet.GetConfig().CopyFrom(*config);
  sheet.SetOtherConfigNames(OtherConfigNames(index));
  if (!CCfgPSheet::IsAccepted(sheet.DoModal())) return;
  (void)ReplaceConfig(index, sheet.GetConfig());  // a refused name was told
}

void CFenwardleDoc::OnConfigDelete() {
  const int index = GetSelectedConfigIndex();
  const CSwitchConfig* config = LiveConfig(index);
  if (!config) return;
  const std::string question =
      fw::FormatText("%s %s?", LoadResString(IDS_DELETE_SWITCH_CONFIGURATION), config->GetName());
  if (MessageBoxCaption(question, LoadResString(IDS_DELETE_SWITCH_CONFIGURATION),
                        MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  (void)DeleteConfig(index);  // live, so it goes
}

void CFenwardleDoc::OnExplainWarning() {
  if (!m_panes || m_panes->ActivePane() == IPanes::kConfigListPane) return;
  const int column = m_panes->CurrentSwitchColumn();
  const int index = m_panes->CurrentSwitchIndex();
  if (column < 0 || !LiveSwitch(index)) return;
  const std::string text = ExplainCell(column, index);
  AfxMessageBox(text.empty() ? LoadResString(IDS_CELL_HAS_NO_ERRORS) : text,
                MB_OK | MB_ICONINFORMATION);
}

void CFenwardleDoc::OnUpdateRingFirmware() {
  CProjectToolsDocument tools(*this, [this] { return GetSelectedSwitchIndex(); });
  (void)CFirmwareUpdateDlg::Run(MainWindow(), tools);
}

void CFenwardleDoc::OnProductSupport() {
  std::error_code ec;
  const std::string customize = fw::GetCustomizeFilePath();
  const std::string company = fw::ProgramCompanyName();
  if (fw::ChooseSupportDialog(std::filesystem::exists(customize, ec), company) ==
      fw::SupportDialogKind::kMaker) {
    CProductSupportDlg dlg([this] { return GetPathName(); }, false, MainWindow());
    dlg.SetProjectSaving([this] { return IsModified(); }, [this] { return DoFileSave(); });
    (void)dlg.DoModal();
    return;
  }
  COemSupportDlg dlg(fw::GetProgramFolder(), customize, company, MainWindow());
  (void)dlg.DoModal();
}

void CFenwardleDoc::OnDebugEeprom() {
  CEeromDebugDlg dlg(MainWindow());
  const CSwitchEntry* entry = LiveSwitch(GetSelectedSwitchIndex());
  dlg.m_strDestMac = entry ? entry->GetMacText(true) : CEeromDebugDlg::kBroadcastMac;
  (void)dlg.DoModal();
}

void CFenwardleDoc::OnOutputToFile() {
  COutputFileDlg dlg(MainWindow(), this);
  (void)dlg.DoModal();
}

void CFenwardleDoc::OnMonitorNetworks() {
  CNetMonitorDlg dlg(MainWindow());
  (void)dlg.DoModal();
}

void CFenwardleDoc::OpenWinkDialog(int index) {
  const CSwitchEntry* entry = LiveSwitch(index);
  if (!entry) return;
  const CToolCommEnv env = ToolCommEnv();
  CFlashLedDlg dlg(MainWindow(), entry, env.backend, env.clock ? env.clock : &GuiClock());
  (void)dlg.DoModal();
}

void CFenwardleDoc::OpenSwitchStatus() {
  const CSwitchEntry* entry = LiveSwitch(GetSelectedSwitchIndex());
  if (!entry) return;
  CSwitchStatusDlg dlg(MainWindow());
  dlg.m_strMac = entry->GetMacText(true);
  dlg.m_strName = entry->GetName();
  dlg.m_strModel = entry->GetPart().displayName;
  (void)dlg.DoModal();
}

void CFenwardleDoc::OpenRecoverSwitch() {
  const CSwitchEntry* entry = LiveSwitch(GetSelectedSwitchIndex());
  if (!entry) return;
  CRecoverSwitchDlg dlg(MainWindow());
  dlg.m_strMac = entry->GetMacText(true);
  (void)dlg.DoModal();
}

void CFenwardleDoc::OpenCopyConfiguration(int configIndex) {
  CCopyCfgDlg dlg(MainWindow(), this);
  // The pane names the configuration its row shows; -1 leaves it to the selection.
  dlg.m_nInitialConfig = configIndex;
  (void)dlg.DoModal();
}

std::string CFenwardleDoc::FirmwareLoaderPath() {
  return fw::GetProgramFolder() + LoadResString(IDS_FIRMWARE_LOADER_NAME);
}

int CFenwardleDoc::RunFirmwareLoader() {
  const std::string path = FirmwareLoaderPath();
  QProcess loader;
  // The exact file, no shell, no arguments: a path with blanks or quotes is
  // still one program.
  loader.setProgram(fw::ToQ(path));
  loader.setProcessChannelMode(QProcess::ForwardedChannels);
  loader.start();
  if (!loader.waitForStarted(5000)) {
    AfxMessageBox(FormatRes(IDS_LOADER_START_FAILED, path), MB_OK | MB_ICONEXCLAMATION);
    return kLoaderNotStarted;
  }
  // The loader has the user's attention: the main window takes no input but
  // keeps painting until it ends, then has the activation and focus again.
  const fw::ModalScope scope;
  CWnd* main = MainWindow();
  const bool wasEnabled = main && main->IsWindowEnabled();
  if (main) main->EnableWindow(false);
  while (loader.state() != QProcess::NotRunning) (void)fw::PumpMessagesFor(kLoaderPollMs);
  if (main && wasEnabled) main->EnableWindow(true);
  return kLoaderRan;
}
