// What the switch tools need of the project document, and no more: the
// tool dialogs are built and tested against this, and the programs hand them
// their document through it.
#pragma once

#include <string>

class CSwitchEntry;

class IToolsDocument {
 public:
  virtual ~IToolsDocument() = default;
  // The project's switch the user has selected, or null when none is.
  virtual const CSwitchEntry* SelectedSwitch() const = 0;
  // Adds a copy of a switch found on the network, under the project's rules
  // for names and MAC addresses (the document tells the user of a clash).
  // The new entry's index, or a negative value when it was not added.
  virtual int AddFoundSwitch(const CSwitchEntry& found) = 0;
  // The project's file; empty for a project never saved.
  virtual std::string ProjectPath() const { return {}; }
};

#include <functional>
#include <utility>

#include "switch/switchentry.h"
#include "tools/projectdocument.h"

// The project document as the tools see it; which switch is selected is the
// switch list pane's to say.
class CProjectToolsDocument : public IToolsDocument {
 public:
  CProjectToolsDocument(IProjectDocument& document, std::function<int()> selectedIndex)
      : m_document(document), m_selectedIndex(std::move(selectedIndex)) {}

  const CSwitchEntry* SelectedSwitch() const override {
    const int index = m_selectedIndex ? m_selectedIndex() : -1;
    const CSwitchEntry* entry = m_document.GetSwitches().GetAt(index);
    return entry && !entry->IsDeleted() ? entry : nullptr;
  }
  int AddFoundSwitch(const CSwitchEntry& found) override {
    return m_document.AddFoundSwitch(found);
  }
  std::string ProjectPath() const override { return m_document.GetProjectPath(); }

 private:
  IProjectDocument& m_document;
  std::function<int()> m_selectedIndex;
};
