#include <QApplication>
#include <QMainWindow>
#include <cstdio>

#include "app/startup.h"
#include "app/switchopswindows.h"
#include "platform/dynlib.h"
#include "platform/gui/qtmessagesink.h"
#include "platform/gui/qtstring.h"
#include "platform/modules.h"
#include "platform/resstring.h"
#include "res/string_ids.h"

const char* FenwardleResourceScript(std::size_t* size);  // generated from res/fenwardle/

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  fw::CQtMessageSink sink;
  fw::SetMessageSink(&sink);

  std::string error;
  std::size_t size = 0;
  const char* script = FenwardleResourceScript(&size);
  if (!fw::RegisterProgramModule("fenwardle", std::string_view(script, size), &error))
    std::fprintf(stderr, "%s", error.c_str());

  fw::CProfile profile;
  if (!profile.Open(fw::CProfile::FolderFor(fw::ProgramCompanyName()), "fenwardle", &error))
    std::fprintf(stderr, "%s\n", error.c_str());
  fw::SetAppProfile(&profile);

  if (!fw::SelectLanguage(profile, fw::ProgramFolder())) return 1;
  const std::unique_ptr<CSwitchOpsWindows> switchOps = StartSwitchOperations(nullptr, 1);

  QMainWindow frame;
  frame.setWindowTitle(fw::ToQ(LoadResString(IDS_APP_TITLE)));
  frame.resize(800, 600);
  frame.show();
  return qapp.exec();
}
