// The configuration program's document manager: its file prompts start in
// the folder of the last project, or in the projects folder beside the
// program.
#pragma once

#include "platform/gui/docmanager.h"

class CFenwardleDocManager : public CDocManager {
 protected:
  std::string GetInitialFolder() override;
};
