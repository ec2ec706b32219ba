// What the switch tools need of the project document, and no more: the
// tool dialogs are built and tested against this, and the programs hand them
// their document through it.
#pragma once

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
};
