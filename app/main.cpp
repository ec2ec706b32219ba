#include <QApplication>
#include <cstdio>

#include "app/fenwardleapp.h"
#include "platform/gui/qtmessagesink.h"
#include "platform/gui/qtstring.h"
#include "platform/message.h"
#include "platform/modules.h"

const char* FenwardleResourceScript(std::size_t* size);  // generated from res/fenwardle/

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  fw::CQtMessageSink sink;
  fw::SetMessageSink(&sink);
  fw::SetMessageCaption("fenwardle");

  // The program's own resources (its version block) before anything reads them.
  std::string error;
  std::size_t size = 0;
  const char* script = FenwardleResourceScript(&size);
  if (!fw::RegisterProgramModule("fenwardle", std::string_view(script, size), &error))
    std::fprintf(stderr, "%s", error.c_str());

  std::vector<std::string> args;
  for (const QString& a : QCoreApplication::arguments()) args.push_back(fw::FromQ(a));
  CFenwardleApp app(std::move(args));
  return app.Run();
}
