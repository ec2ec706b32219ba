#include <QApplication>
#include <cstdio>

#include "monitor/calvenorapp.h"
#include "platform/gui/qtmessagesink.h"
#include "platform/gui/qtstring.h"
#include "platform/message.h"
#include "platform/modules.h"

const char* CalvenorResourceScript(std::size_t* size);  // generated from res/calvenor/

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  fw::CQtMessageSink sink;
  fw::SetMessageSink(&sink);
  fw::SetMessageCaption("calvenor");

  // The program's own resources (its version block) before anything reads them.
  std::string error;
  std::size_t size = 0;
  const char* script = CalvenorResourceScript(&size);
  if (!fw::RegisterProgramModule("calvenor", std::string_view(script, size), &error))
    std::fprintf(stderr, "%s", error.c_str());

  std::vector<std::string> args;
  for (const QString& a : QCoreApplication::arguments()) args.push_back(fw::FromQ(a));
  CCalvenorApp app(std::move(args));
  return app.Run();
}
