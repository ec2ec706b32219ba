// Help by context id. There is no help viewer yet: requests go to a
// replaceable service, so windows can ask for help now and tests can see
// what was asked.
#pragma once

#include <mutex>
#include <vector>

#include "platform/gui/stdids.h"  // ID_HELP, the command of a Help button

// The kind of request a Help button makes.
inline constexpr unsigned HELP_CONTEXT = 1;
// Context ids of dialogs: this base plus the dialog template id.
inline constexpr unsigned kHelpDialogBase = 0x20000;

namespace fw {

class IHelpService {
 public:
  virtual ~IHelpService() = default;
  // True when help for the context was shown.
  virtual bool ShowContext(unsigned contextId) = 0;
};

// Keeps every request; shows nothing.
class CRecordingHelpService : public IHelpService {
 public:
  bool ShowContext(unsigned contextId) override {
    std::lock_guard lock(m_mutex);
    m_requests.push_back(contextId);
    return true;
  }
  std::vector<unsigned> requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
  }

 private:
  mutable std::mutex m_mutex;
  std::vector<unsigned> m_requests;
};

// nullptr: no help service (requests are answered false).
void SetHelpService(IHelpService* service);
IHelpService* HelpService();

// Asks the help service for a context (HELP_CONTEXT); false when none shows it.
bool ShowHelp(unsigned contextId);

// Installs a recording help service for the life of a scope (tests).
class ScopedHelpService {
 public:
  ScopedHelpService() : m_previous(HelpService()) { SetHelpService(&m_service); }
  ~ScopedHelpService() { SetHelpService(m_previous); }
  ScopedHelpService(const ScopedHelpService&) = delete;
  ScopedHelpService& operator=(const ScopedHelpService&) = delete;
  CRecordingHelpService* operator->() { return &m_service; }

 private:
  CRecordingHelpService m_service;
  IHelpService* m_previous;
};

}  // namespace fw
