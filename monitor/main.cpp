#include <QApplication>
#include <QMainWindow>
#include <cstdio>

#include "shell/startup.h"
#include "shell/switchopswindows.h"
#include "monitor/startup.h"
#include "platform/dynlib.h"
#include "platform/gui/qtmessagesink.h"
#include "platform/gui/qtstring.h"
#include "platform/modules.h"
#include "platform/profile.h"
#include "platform/resstring.h"
#include "res/string_ids.h"

const char* CalvenorResourceScript(std::size_t* size);  // generated from res/calvenor/

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  fw::CQtMessageSink sink;
  fw::SetMessageSink(&sink);
  fw::SetMessageCaption("calvenor");

  std::string error;
  std::size_t size = 0;
  const char* script = CalvenorResourceScript(&size);
  if (!fw::RegisterProgramModule("calvenor", std::string_view(script, size), &error))
    std::fprintf(stderr, "%s", error.c_str());

  if (!fw::SelectMonitorLanguage(fw::MonitorInfoPath(fw::ProgramCompanyName()),
                                 fw::ProgramFolder()))
    return 1;
  const std::unique_ptr<CSwitchOpsWindows> switchOps = StartSwitchOperations(nullptr, 1);

  QMainWindow frame;
  // The window shows the switch document, whose title is this string.
  frame.setWindowTitle(fw::ToQ(LoadResString(IDS_RING_STATUS_MONITOR)));
  frame.resize(640, 400);
  frame.show();
  return qapp.exec();
}
