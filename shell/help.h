// The programs' help: an HTML document beside the program (the one
// ChooseHelpFile picks), opened through the link service at the topic of a
// context. Windows ask for help with fw::ShowHelp; the application installs
// this service.
#pragma once

#include <string>

#include "platform/gui/help.h"

// Opens the help document at path: at the topic of context, or at its start
// for HELP_INDEX. False (nothing opened) when the document is not installed.
[[nodiscard]] bool OpenHelpFile(const std::string& path, unsigned context, unsigned command);

class CHelpFileService : public fw::IHelpService {
 public:
  explicit CHelpFileService(std::string path = {}) : m_path(std::move(path)) {}
  void SetPath(std::string path) { m_path = std::move(path); }
  const std::string& path() const { return m_path; }
  // Opens the topic; without the document, tells the user no help is installed.
  bool ShowContext(unsigned contextId) override;
  bool ShowIndex();
  // The topic when the page has an anchor for it, else the page's start.
  bool ShowTopicOrIndex(unsigned contextId);

 private:
  bool Show(unsigned contextId, unsigned command);
  std::string m_path;
};
