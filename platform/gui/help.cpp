#include "platform/gui/help.h"

#include <atomic>

namespace fw {

namespace {
std::atomic<IHelpService*> g_help{nullptr};
}  // namespace

void SetHelpService(IHelpService* service) {
  g_help = service;
}

IHelpService* HelpService() {
  return g_help;
}

bool ShowHelp(unsigned contextId) {
  IHelpService* service = g_help;
  return service && service->ShowContext(contextId);
}

}  // namespace fw
