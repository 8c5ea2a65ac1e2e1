#include <iostream>
#include <string>
#include <vector>

#include "Commands.h"
#include "QuilloryApplication.h"
#include "modGeneral.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    QuilloryApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillory"));
    return Main(application);
  }
  const std::vector<std::string> arguments(argv + 2, argv + argc);
  return RunCommand(argv[1], arguments, std::cout, std::cerr);
}
