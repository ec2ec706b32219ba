// The status monitor's question at its start, asked from another process:
// program_probe <class name> exits 4 while that program runs, 0 otherwise.
#include <QCoreApplication>

#include "platform/gui/singleinstance.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 2) return 2;
  return FindProgramWindow(argv[1]) ? 4 : 0;
}
