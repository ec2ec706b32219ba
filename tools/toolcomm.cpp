#include "tools/toolcomm.h"

#include <QCoreApplication>
#include <QThread>
#include <mutex>

#include "platform/gui/pump.h"

namespace {

std::mutex& EnvMutex() {
  static std::mutex m;
  return m;
}
CToolCommEnv& Env() {
  static CToolCommEnv env;
  return env;
}

}  // namespace

CToolCommEnv ToolCommEnv() {
  std::lock_guard lock(EnvMutex());
  return Env();
}

void SetToolCommEnv(const CToolCommEnv& env) {
  std::lock_guard lock(EnvMutex());
  Env() = env;
}

std::unique_ptr<cswitchcomm> MakeToolComm() {
  const CToolCommEnv env = ToolCommEnv();
  return std::make_unique<cswitchcomm>(env.backend, env.clock ? env.clock : &GuiClock());
}

std::unique_ptr<CSwitchDiscovery> MakeToolDiscovery() {
  const CToolCommEnv env = ToolCommEnv();
  return std::make_unique<CSwitchDiscovery>(env.backend, env.clock ? env.clock : &GuiClock(),
                                            env.workerClock, env.ui);
}

std::uint64_t CGuiClock::Now() {
  return fw::GetTickCount();
}

void CGuiClock::Wait(std::uint32_t ms) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app && QThread::currentThread() == app->thread()) {
    fw::PumpMessagesFor(static_cast<int>(ms));
    return;
  }
  fw::SteadyClock().Wait(ms);
}

fw::IClock& GuiClock() {
  static CGuiClock clock;
  return clock;
}
