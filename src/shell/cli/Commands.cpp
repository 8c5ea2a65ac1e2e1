#include "Commands.h"

#include <QCoreApplication>
#include <optional>
#include <ostream>
#include <string_view>

#include "InterruptCleanup.h"
#include "MelodyCommand.h"
#include "MidiInfoCommand.h"
#include "OrbitCommand.h"
#include "PlayCommand.h"
#include "ProgramFolder.h"
#include "RenderCommand.h"

namespace {

struct Command {
  std::string_view name;
  std::string_view usage;
  int (*run)(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
};

constexpr Command kCommands[] = {
    {"render",
     "render --size WxH [--center X,Y] [--view-width W] [--max-iter N] [--julia X,Y] [--draft] "
     "[--engine fast|reference] "
     "--out FILE.bmp|FILE.png",
     RunRenderCommand},
    {"orbit", "orbit --point RE,IM [--notes N] --out FILE.mid|FILE.wav|FILE.flac|FILE.ogg", RunOrbitCommand},
    {"melody",
     "melody --from X1,Y1 --to X2,Y2 [--max-iter N] [--measures N] [--tempo BPM] [--levels 1-4] [--scale NAME] "
     "[--key NAME] [--octave 1-12] [--instrument INDEX] [--flattening 20-160] [--julia X,Y] "
     "--out FILE.mid|FILE.wav|FILE.flac|FILE.ogg",
     RunMelodyCommand},
    {"midi-info", "midi-info FILE.mid", RunMidiInfoCommand},
    {"play", "play FILE.mid [--out FILE.wav|FILE.flac|FILE.ogg]", RunPlayCommand},
};

}  // namespace

void PrintUsage(std::ostream& out) {
  out << "Usage: quillory                 open the desktop program\n";
  for (const Command& command : kCommands) out << "       quillory " << command.usage << "\n";
  out << "       quillory COMMAND --help  quillory --help  quillory --version\n"
      << "Options take the form --name value or --name=value.\n";
}

int RunCommand(const std::string& name, const std::vector<std::string>& arguments, std::ostream& out,
               std::ostream& err) {
  if (name == "--help" || name == "-h") {
    PrintUsage(out);
    return kExitSuccess;
  }
  if (name == "--version") {
    out << "quillory " << QUILLORY_VERSION << "\n";
    return kExitSuccess;
  }
  for (const Command& command : kCommands) {
    if (command.name != name) continue;
    for (const std::string& argument : arguments) {
      if (argument == "--help" || argument == "-h") {
        out << "Usage: quillory " << command.usage << "\n"
            << "Options take the form --name value or --name=value.\n";
        return kExitSuccess;
      }
    }
    // Ctrl-C or a killed batch job leaves no half-written file behind.
    InterruptCleanup::Install();
    return command.run(arguments, out, err);
  }
  err << "quillory: unknown command '" << name << "'\n";
  PrintUsage(err);
  return kExitUsage;
}

std::filesystem::path CommandProgramFolder() {
  // The executable's location comes from the application object.
  int argc = 1;
  char name[] = "quillory";
  char* argv[] = {name, nullptr};
  std::optional<QCoreApplication> application;
  if (!QCoreApplication::instance()) application.emplace(argc, argv);
  return ProgramFolder::Locate();
}
