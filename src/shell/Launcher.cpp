#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "InterruptCleanup.h"
#include "RenderCommand.h"

// `quillory render` spends most of a small picture's time loading libraries
// it never uses (windows, images, sound, MIDI, the bookmark database), so
// this executable only renders bitmaps and hands everything else, arguments
// unchanged, to the desktop program beside it.
namespace {

constexpr std::string_view kDesktopProgramName = "quillory-desktop";

bool AsksForHelp(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments)
    if (argument == "--help" || argument == "-h") return true;
  return false;
}

std::filesystem::path DesktopProgram() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::filesystem::path(kDesktopProgramName);
  return self.parent_path() / kDesktopProgramName;
}

}  // namespace

int main(int argc, char** argv) {
  // The command's usage text lives with the full list of commands.
  if (argc >= 2 && std::string_view(argv[1]) == "render") {
    const std::vector<std::string> arguments(argv + 2, argv + argc);
    // PNGs need Qt's image writers, which only the desktop program loads.
    if (!AsksForHelp(arguments)) {
      // Ctrl-C or a killed batch job leaves no half-written picture behind.
      InterruptCleanup::Install();
      const int result = RunRenderCommand(arguments, std::cout, std::cerr, nullptr);
      if (result != kRenderNeedsPngWriter) return result;
    }
  }
  const std::string desktop = DesktopProgram().string();
  execv(desktop.c_str(), argv);
  std::cerr << "quillory: cannot start '" << desktop << "': " << std::strerror(errno) << "\n";
  return 1;
}
