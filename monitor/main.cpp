#include <QApplication>
#include <QMainWindow>

#include "app/startup.h"
#include "monitor/startup.h"
#include "platform/dynlib.h"
#include "platform/gui/qtmessagesink.h"
#include "platform/gui/qtstring.h"
#include "platform/profile.h"
#include "platform/resstring.h"
#include "res/string_ids.h"

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  fw::CQtMessageSink sink;
  fw::SetMessageSink(&sink);
  fw::SetMessageCaption("calvenor");

  const std::string folder = fw::CProfile::FolderFor(fw::kCompanyName);
  if (!fw::SelectMonitorLanguage(folder + "/zvinfo.ini", fw::ProgramFolder())) return 1;

  QMainWindow frame;
  // The window shows the switch document, whose title is this string.
  frame.setWindowTitle(fw::ToQ(LoadResString(IDS_RING_STATUS_MONITOR)));
  frame.resize(640, 400);
  frame.show();
  return qapp.exec();
}
