#include "app/fenwardledocmanager.h"

#include "shell/startup.h"
#include "platform/profile.h"

std::string CFenwardleDocManager::GetInitialFolder() {
  const std::string last = fw::AppProfile().GetProfileString("Settings", "last path");
  return last.empty() ? fw::GetProjectsFolder() : fw::FolderOfPath(last);
}
