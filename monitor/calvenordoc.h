// The status monitor's document: the switches that answered the last search
// of the network, kept in memory only. "Find Switches on Network" refills it;
// "Show Status" opens the live status of the switch of the current row.
#pragma once

#include <memory>

#include "platform/gui/document.h"
#include "switch/switchconfigstore.h"
#include "switch/switchdiscovery.h"
#include "switch/switchentry.h"

class CCalvenorView;

class CCalvenorDoc : public CDocument {
 public:
  // Update hints: the list was refilled; a switch named on the command line
  // is waiting to be selected.
  enum : LPARAM { kHintListRefilled = 100, kHintTargetWaiting = 101 };

  CCalvenorDoc();
  ~CCalvenorDoc() override;

  const CSwitchList& GetSwitches() const { return m_switches; }
  CSwitchDiscovery& Discovery() { return *m_discovery; }

  // Searches every interface and refills the list; refused while a search runs.
  void OnFindSwitches();
  // The switch status dialog for the entry of the view's current row.
  void OnShowStatus();
  // The first view of this document that shows the switch list.
  CCalvenorView* GetSwitchView() const;

  void DeleteContents() override;

 private:
  CSwitchConfigStore m_catalogue;
  CSwitchList m_switches;
  std::unique_ptr<CSwitchDiscovery> m_discovery;
};
