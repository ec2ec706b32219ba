#include "tools/netmonitordlg.h"

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <map>
#include <set>

#include "platform/format.h"
#include "platform/gui/help.h"
#include "platform/gui/propertysheet.h"
#include "platform/gui/pump.h"
#include "platform/profile.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "tools/switchstatusdlg.h"

namespace {

constexpr char kSection[] = "netmonitor";
constexpr int kPauseWaitMs = 3000;

std::string TimeStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[16];
  std::strftime(text, sizeof text, "%H:%M:%S", &local);
  return text;
}

// Whether a listed switch still looks as it was found. A switch heard on
// several interfaces is found once for each; it has not changed while the
// listed copy's interface is one of them.
bool SameSwitch(const CSwitchEntry& e, const CMonitoredSwitch& f,
                const std::set<std::string>& interfaces) {
  return e.GetName() == f.name && interfaces.count(e.GetInterface()) != 0 &&
         e.GetPart().partNumber == f.part.partNumber &&
         e.GetFirmwareRevision() == f.firmwareRevision;
}

std::unique_ptr<CSwitchEntry> MakeEntry(const CMonitoredSwitch& f) {
  auto e = std::make_unique<CSwitchEntry>();
  e->SetMac(f.mac);
  e->SetName(f.name);
  e->SetPart(f.part);
  e->SetFirmwareRevision(f.firmwareRevision);
  e->SetInterface(f.interface);
  return e;
}

}  // namespace

CNetMonitorDlg::CNetMonitorDlg(CWnd* parent)
    : CAnchorLayoutDialog(IDD, parent),
      m_worker(std::make_unique<CNetMonitorWorker>(ToolCommEnv(), CNetMonitorWorker::Settings{})) {
  BindControl(kErrorsId, m_errors);
  BindControl(kTabsId, m_tabs);
  SetCommandHandler(kHelpId, [] { (void)fw::ShowHelp(kHelpDialogBase + IDD); });
  m_grid.onOpenSwitch = [this](int entry) { OpenSwitch(entry); };
  // A count of switches: four digits are more than a network holds.
  FitText(kStatusId, FormatRes(IDS_NUMBER_OF_FAULTS, 8888));
}

CNetMonitorDlg::~CNetMonitorDlg() {
  m_worker->Stop();
  (void)DestroyWindow();  // nothing to do without a window
}

bool CNetMonitorDlg::OnInitDialog() {
  CAnchorLayoutDialog::OnInitDialog();
  fw::CProfile& profile = fw::AppProfile();
  m_nMaxErrors = profile.GetProfileInt(kSection, "max errs", kDefaultMaxErrors);
  if (m_nMaxErrors <= 0) m_nMaxErrors = kDefaultMaxErrors;
  CNetMonitorWorker::Settings settings;
  settings.updateRateMs = profile.GetProfileInt(kSection, "update rate ms", settings.updateRateMs);
  settings.searchRateMs = profile.GetProfileInt(kSection, "search rate ms", settings.searchRateMs);
  m_worker->SetSettings(settings);

  (void)m_grid.AttachToControl(kGridId, this);
  AnchorControl(kGridId, TOP_LEFT, BOTTOM_RIGHT);
  AnchorControl(kTabsId, TOP_LEFT, BOTTOM_RIGHT);
  AnchorControl(kErrorsId, TOP_LEFT, BOTTOM_RIGHT);
  AnchorControl(IDCANCEL, BOTTOM_RIGHT, NOANCHOR);
  AnchorControl(kHelpId, BOTTOM_RIGHT, NOANCHOR);
  AnchorControl(kStatusId, BOTTOM_LEFT, NOANCHOR);

  m_tabs.InsertItem(0, LoadResString(IDS_NETWORK_TAB));
  m_tabs.InsertItem(1, LoadResString(IDS_ERRORS_TAB));
  m_errors.SetExtendedStyle(m_errors.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  m_errors.InsertColumn(0, LoadResString(IDS_ERRORS_WARNINGS), LVCFMT_LEFT, 600);
  ShowTab(0);
  ShowFaults();
  SetTimer(kStartTimer,
           static_cast<UINT>(std::max(1, profile.GetProfileInt(kSection, "update ms", 1000))));
  return true;
}

void CNetMonitorDlg::OnTimer(UINT_PTR id) {
  if (id == kStartTimer) {
    KillTimer(kStartTimer);
    StartMonitor();
    return;
  }
  if (id == kInboxTimer) {
    DrainInbox();
    return;
  }
  CAnchorLayoutDialog::OnTimer(id);
}

void CNetMonitorDlg::StartMonitor() {
  if (m_worker->Running()) return;
  m_worker->Start();
  SetTimer(kInboxTimer, kInboxMs);
}

void CNetMonitorDlg::DrainInbox() {
  for (CNetMonitorEvent& e : m_worker->TakeEvents()) {
    switch (e.kind) {
      case CNetMonitorEvent::kError: AddError(e.text); break;
      case CNetMonitorEvent::kSearch: Merge(e.found); break;
      case CNetMonitorEvent::kStatus: ApplyStatus(e); break;
    }
  }
}

void CNetMonitorDlg::PostError(std::string text) {
  m_worker->PostError(std::move(text));
}

void CNetMonitorDlg::Merge(const std::vector<CMonitoredSwitch>& found) {
  std::map<std::string, std::set<std::string>> heard;  // MAC -> interfaces
  for (const auto& f : found) heard[f.mac].insert(f.interface);
  bool rebuild = false;
  for (const auto& f : found) {
    const auto it = m_macMap.find(f.mac);
    if (it == m_macMap.end() ||
        !SameSwitch(*m_switches[static_cast<std::size_t>(it->second)], f, heard[f.mac]))
      rebuild = true;
  }
  // A switch the search missed stays listed, as not answering; one it heard
  // answers again.
  const std::set<std::string> silentBefore = m_silent;
  for (const auto& e : m_switches) {
    const std::string mac = e->GetMacText(true);
    if (heard.count(mac))
      m_silent.erase(mac);
    else
      m_silent.insert(mac);
  }
  if (rebuild) {
    // The statuses read so far go over to the new copies.
    std::map<std::string, int> statuses;
    for (const auto& e : m_switches) statuses.emplace(e->GetMacText(true), e->GetMonitorStatus());
    CNetMonitorGrid::SwitchVector old = std::move(m_switches);
    m_switches.clear();
    m_macMap.clear();
    for (const auto& f : found) {
      m_switches.push_back(MakeEntry(f));
      if (const auto it = statuses.find(f.mac); it != statuses.end())
        m_switches.back()->SetMonitorStatus(it->second);
      m_macMap.emplace(f.mac, static_cast<int>(m_switches.size()) - 1);  // the first one stays
    }
    for (auto& e : old) {
      const std::string mac = e->GetMacText(true);
      if (heard.count(mac)) continue;
      m_switches.push_back(std::move(e));
      m_macMap.emplace(mac, static_cast<int>(m_switches.size()) - 1);
    }
    std::vector<CMonitoredSwitch> targets;
    for (const auto& e : m_switches)
      targets.push_back(CMonitoredSwitch{e->GetMacText(true), e->GetName(), e->GetPart(),
                                         e->GetFirmwareRevision(), e->GetInterface()});
    m_worker->SetTargets(std::move(targets));
    m_grid.ReloadRows();
  }
  if (rebuild || m_silent != silentBefore) {
    CountFaults();
    m_grid.RepaintAll();
  }
}

void CNetMonitorDlg::ApplyStatus(const CNetMonitorEvent& event) {
  // A switch read on several interfaces answers when one of them answered.
  struct Read {
    bool answered = false;
    int okOutput = 0;
  };
  std::map<std::string, Read> reads;
  for (const auto& s : event.statuses) {
    Read& r = reads[s.mac];
    if (!s.answered) continue;
    r.okOutput = r.answered ? std::max(r.okOutput, s.okOutput) : s.okOutput;
    r.answered = true;
  }
  for (const auto& [mac, r] : reads) {
    if (!r.answered) {
      m_silent.insert(mac);
      continue;
    }
    m_silent.erase(mac);
    for (auto& e : m_switches)
      if (e->GetMacText(true) == mac) e->SetMonitorStatus(r.okOutput);
  }
  CountFaults();
  m_grid.RepaintAll();
}

void CNetMonitorDlg::CountFaults() {
  std::set<std::string> faulty;
  for (const auto& e : m_switches) {
    const std::string mac = e->GetMacText(true);
    if (m_silent.count(mac) || e->GetMonitorStatus() == 0) faulty.insert(mac);
  }
  m_nFaults = static_cast<int>(faulty.size());
  ShowFaults();
}

void CNetMonitorDlg::ShowFaults() {
  SetDlgItemText(kStatusId, FormatRes(IDS_NUMBER_OF_FAULTS, m_nFaults));
}

void CNetMonitorDlg::AddError(const std::string& text) {
  if (!m_errors.IsWindow()) return;
  const std::string stamp = TimeStamp();
  // Every line of the text is kept, also after an empty one; nothing in a
  // line is taken for a quote.
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t eol = text.find('\n', pos);
    if (eol == std::string::npos) eol = text.size();
    std::string line = text.substr(pos, eol - pos);
    pos = eol + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line.size() > kMaxErrorLine) line.resize(kMaxErrorLine);
    m_errors.InsertItem(m_errors.GetItemCount(), fw::FormatText("%s : %s", stamp, line));
  }
  while (m_errors.GetItemCount() > m_nMaxErrors) m_errors.DeleteItem(0);
  UpdateErrorsCaption();
}

void CNetMonitorDlg::UpdateErrorsCaption() {
  const int n = m_errors.GetItemCount();
  const std::string caption =
      n == 0 ? LoadResString(IDS_ERRORS_TAB) : FormatRes(IDS_ERRORS_TAB_COUNT, n);
  // The tab control has no rename: put the caption in by replacing the tab.
  if (m_tabs.GetItemCount() < 2 || m_tabs.GetItemText(1) == caption) return;
  const int current = m_tabs.GetCurSel();
  m_tabs.DeleteItem(1);
  m_tabs.InsertItem(1, caption);
  m_tabs.SetCurSel(current);
}

void CNetMonitorDlg::ShowTab(int tab) {
  CWnd* shown = tab == 1 ? static_cast<CWnd*>(&m_errors) : static_cast<CWnd*>(&m_grid);
  CWnd* hidden = tab == 1 ? static_cast<CWnd*>(&m_grid) : static_cast<CWnd*>(&m_errors);
  // The focus in the page going away goes on to the page that comes.
  const QWidget* focus = QApplication::focusWidget();
  const bool focusGoes = focus && hidden->widget() &&
                         (focus == hidden->widget() || hidden->widget()->isAncestorOf(focus));
  hidden->ShowWindow(SW_HIDE);
  shown->ShowWindow(SW_SHOW);
  shown->BringWindowToTop();
  shown->Invalidate();
  if (focusGoes) shown->SetFocus();
}

void CNetMonitorDlg::TurnTab(int step) {
  const int count = m_tabs.GetItemCount();
  if (count < 2) return;
  const int tab = ((m_tabs.GetCurSel() + step) % count + count) % count;
  m_tabs.SetCurSel(tab);
  ShowTab(tab);
}

bool CNetMonitorDlg::PreTranslateMessage(MSG* msg) {
  // The tabs turn with the keys that turn a property sheet's pages.
  if (const int step = fw::PageStepOfKey(*msg); step != 0 && m_tabs.IsWindow()) {
    TurnTab(step);
    return true;
  }
  return CAnchorLayoutDialog::PreTranslateMessage(msg);
}

std::vector<QWidget*> CNetMonitorDlg::TabStops() {
  // The grid is made over its placeholder after the buttons: the order is the
  // screen's, top to bottom, then left to right (tab bar, page, buttons).
  std::vector<QWidget*> stops = CAnchorLayoutDialog::TabStops();
  std::stable_sort(stops.begin(), stops.end(), [](const QWidget* a, const QWidget* b) {
    return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
  });
  return stops;
}

bool CNetMonitorDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
  if (hdr && hdr->idFrom == static_cast<UINT_PTR>(kTabsId) && hdr->code == TCN_SELCHANGE) {
    ShowTab(m_tabs.GetCurSel());
    return true;
  }
  return CAnchorLayoutDialog::OnNotify(wParam, lParam, result);
}

void CNetMonitorDlg::OpenSwitch(int entry) {
  if (entry < 0 || entry >= static_cast<int>(m_switches.size()) || m_bPaused) return;
  // Copies: the list may be rebuilt while the status dialog runs.
  const CSwitchEntry& e = *m_switches[static_cast<std::size_t>(entry)];
  const std::string mac = e.GetMacText(true), name = e.GetName(), model = e.GetPart().displayName;
  m_bPaused = true;
  m_worker->SetPaused(true);
  // The status dialog searches too: the worker's pass must be over first.
  for (int waited = 0; !m_worker->Idle() && waited < kPauseWaitMs; waited += 20)
    fw::PumpMessagesFor(20);
  RunStatusDialog(mac, name, model);
  m_worker->SetPaused(false);
  m_bPaused = false;
}

void CNetMonitorDlg::RunStatusDialog(const std::string& mac, const std::string& name,
                                     const std::string& model) {
  CSwitchStatusDlg dlg(this);
  dlg.m_strMac = mac;
  dlg.m_strName = name;
  dlg.m_strModel = model;
  (void)dlg.DoModal();  // the status dialog has nothing to report back
}

void CNetMonitorDlg::OnCancel() {
  // The worker's pass is cut short at its next step: this returns at once.
  m_worker->Stop();
  KillTimer(kStartTimer);
  KillTimer(kInboxTimer);
  m_switches.clear();
  m_macMap.clear();
  m_silent.clear();
  if (m_grid.IsWindow()) m_grid.ReloadRows();
  CAnchorLayoutDialog::OnCancel();
}
