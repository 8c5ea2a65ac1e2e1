// libFuzzer entry for the commands' argument parsers. The input is split at
// NUL bytes into arguments; its first byte picks the command. Whatever the
// arguments, the command ends with 0, 1 or 2 and, for 1 and 2, one line on
// stderr. So that no run writes a file or starts long work, every output
// goes to a folder that does not exist and midi-info reads a missing file.
#include <QCoreApplication>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "Commands.h"

namespace {

constexpr const char* kCommands[] = {"render", "orbit", "melody", "midi-info"};
constexpr const char* kNowhere = "/nonexistent-quillory-fuzz/out";

std::vector<std::string> Arguments(const std::uint8_t* data, std::size_t size, bool midiInfo) {
  std::vector<std::string> arguments;
  std::string current;
  for (std::size_t i = 0; i < size; ++i) {
    // A line break inside an argument comes back in the message that quotes
    // it; the one-line rule is about the program's own text.
    if (data[i] == '\n' || data[i] == '\r') continue;
    if (data[i] != 0) {
      current += static_cast<char>(data[i]);
      continue;
    }
    arguments.push_back(current);
    current.clear();
  }
  arguments.push_back(current);
  std::vector<std::string> kept;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i].starts_with("--out")) {
      if (arguments[i] == "--out") ++i;
      continue;
    }
    kept.push_back(midiInfo && !arguments[i].starts_with("--") ? std::string(kNowhere) : arguments[i]);
  }
  return kept;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  // One application object for every run, as the executable has.
  static QCoreApplication application(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string command = kCommands[data[0] % 4];
  std::vector<std::string> arguments = Arguments(data + 1, size - 1, command == "midi-info");
  if (command == "render") arguments.insert(arguments.end(), {"--out", std::string(kNowhere) + ".png"});
  else if (command != "midi-info") arguments.insert(arguments.end(), {"--out", std::string(kNowhere) + ".mid"});
  std::ostringstream out, errors;
  const int exitCode = RunCommand(command, arguments, out, errors);
  const std::string message = errors.str();
  if (exitCode != 0 && exitCode != 1 && exitCode != 2) std::abort();
  // No run can succeed: its output has nowhere to go.
  if (exitCode == 0) std::abort();
  if (command != "midi-info" && (message.empty() || message.find('\n') != message.size() - 1)) std::abort();
  return 0;
}
