// "Network Monitor": a worker searches every interface for switches again
// and again and reads their status; the window lists what it found, counts
// the faults and keeps the communication errors on a tab of their own.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "toolkit/anchorlayoutdialog.h"
#include "tools/netmonitorgrid.h"
#include "tools/netmonitorworker.h"

class CNetMonitorDlg : public CAnchorLayoutDialog {
 public:
  static constexpr unsigned IDD = 159;
  enum : int {
    kGridId = 1106,
    kStatusId = 1114,
    kTabsId = 1117,
    kErrorsId = 1118,
    kHelpId = 1039,
  };
  static constexpr UINT_PTR kStartTimer = 1;
  static constexpr UINT_PTR kInboxTimer = 2;
  static constexpr UINT kInboxMs = 50;
  static constexpr int kDefaultMaxErrors = 200;
  static constexpr std::size_t kMaxErrorLine = 1024;

  explicit CNetMonitorDlg(CWnd* parent = nullptr);
  ~CNetMonitorDlg() override;

  // Adds a text to the error list, one time-stamped line per line of it.
  void AddError(const std::string& text);
  // The same from any thread: the text is queued and added on the window's thread.
  void PostError(std::string text);

  // What the first timer tick and the inbox timer do.
  void StartMonitor();
  void DrainInbox();

  CNetMonitorGrid& Grid() { return m_grid; }
  CListCtrl& Errors() { return m_errors; }
  CTabCtrl& Tabs() { return m_tabs; }
  const CNetMonitorGrid::SwitchVector& Switches() const { return m_switches; }
  int Faults() const { return m_nFaults; }
  // Whether a listed switch (full MAC) is marked as not answering.
  bool NotAnswering(const std::string& mac) const { return m_silent.count(mac) != 0; }
  int MaxErrors() const { return m_nMaxErrors; }
  CNetMonitorWorker& Worker() { return *m_worker; }
  // Opens the status dialog of a listed switch, with the worker paused.
  void OpenSwitch(int entry);

 protected:
  bool OnInitDialog() override;
  void OnTimer(UINT_PTR id) override;
  void OnCancel() override;
  bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  bool PreTranslateMessage(MSG* msg) override;
  std::vector<QWidget*> TabStops() override;

  // Runs the status dialog for a switch; tests replace it.
  virtual void RunStatusDialog(const std::string& mac, const std::string& name,
                               const std::string& model);

 private:
  void Merge(const std::vector<CMonitoredSwitch>& found);
  void ApplyStatus(const CNetMonitorEvent& event);
  void ShowTab(int tab);
  // Ctrl+Tab and Ctrl+Page Down go to the next tab, with Shift or Page Up to
  // the one before, round from the last to the first.
  void TurnTab(int step);
  void UpdateErrorsCaption();
  void ShowFaults();
  // Faults of the list as it stands: a switch whose OK output is off or that
  // does not answer counts once, however many rows it has.
  void CountFaults();

  CNetMonitorGrid::SwitchVector m_switches;
  // Listed switches that a search missed or a status read got no answer
  // from; they stay listed until they answer again.
  std::set<std::string> m_silent;
  CNetMonitorGrid m_grid{m_switches, m_silent};
  CListCtrl m_errors;
  CTabCtrl m_tabs;
  std::unordered_map<std::string, int> m_macMap;
  int m_nMaxErrors = kDefaultMaxErrors;
  int m_nFaults = 0;
  bool m_bPaused = false;
  std::unique_ptr<CNetMonitorWorker> m_worker;
};
