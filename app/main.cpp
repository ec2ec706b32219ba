#include <QApplication>
#include <QMainWindow>

#include "app/startup.h"
#include "platform/dynlib.h"
#include "platform/gui/qtmessagesink.h"
#include "platform/gui/qtstring.h"
#include "platform/resstring.h"
#include "res/string_ids.h"

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  fw::CQtMessageSink sink;
  fw::SetMessageSink(&sink);

  fw::CProfile profile;
  std::string error;
  if (!profile.Open(fw::CProfile::FolderFor(fw::kCompanyName), "fenwardle", &error))
    std::fprintf(stderr, "%s\n", error.c_str());
  fw::SetAppProfile(&profile);

  if (!fw::SelectLanguage(profile, fw::ProgramFolder())) return 1;

  QMainWindow frame;
  frame.setWindowTitle(fw::ToQ(LoadResString(IDS_APP_TITLE)));
  frame.resize(800, 600);
  frame.show();
  return qapp.exec();
}
