// libFuzzer entry for MIDIFile::OpenMidiFile, the reader as the program uses
// it: any file must be refused or read with the header words it claims,
// without a crash, a leak or a read past its end.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "MIDIFile.h"
#include "SilentDialogs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Everything lives in a scratch folder of the temporary directory, which
  // scripts/fuzz.sh points at memory: the disk would otherwise set the pace.
  static const std::filesystem::path folder = [] {
    auto path = std::filesystem::temp_directory_path() / ("quillory-fuzz-open-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  static const std::filesystem::path file = folder / "input.mid";
  std::ofstream(file, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), size);
  SilentDialogs dialogs;
  MIDIFile song(folder, dialogs);
  const bool read = song.OpenMidiFile(file.string());
  // A file is either read or refused with exactly one message.
  if (read == !(dialogs.Messages().empty() && song.ErrorDescription().empty())) std::abort();
  if (read && (size < 14 || song.Format() != static_cast<std::int16_t>(data[8] << 8 | data[9]))) std::abort();
  song.CloseMidiFile();
  return 0;
}
