#include <iostream>
#include <string>
#include <vector>

#include "Commands.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    PrintUsage(std::cout);
    return kExitSuccess;
  }
  const std::vector<std::string> arguments(argv + 2, argv + argc);
  return RunCommand(argv[1], arguments, std::cout, std::cerr);
}
