// libFuzzer entry for the Standard MIDI File reader: any bytes must end the
// walk inside the input, without a crash, a hang or an out-of-bounds read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "MidiFileReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream input(std::string(reinterpret_cast<const char*>(data), size));
  MidiFileReader reader(input, static_cast<std::int64_t>(size));
  const MidiFileReader::Result result = reader.Read();
  if (result.position < 0 || result.position > static_cast<std::int64_t>(size)) std::abort();
  if (result.outcome == MidiFileReader::Outcome::Complete && result.tracksRead != static_cast<std::uint16_t>(result.trackCount))
    std::abort();
  return 0;
}
