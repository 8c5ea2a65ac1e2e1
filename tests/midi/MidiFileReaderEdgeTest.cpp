#include "MidiFileReader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

MidiFileReader::Result Read(const Bytes& bytes) {
  std::istringstream input(std::string(bytes.begin(), bytes.end()));
  return MidiFileReader(input, static_cast<std::int64_t>(bytes.size())).Read();
}

// A format-0 file with one track of the given events and its end.
Bytes OneTrackFile(const Bytes& events) {
  Bytes file{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 64};
  Bytes track = events;
  track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
  const std::uint32_t length = static_cast<std::uint32_t>(track.size());
  file.insert(file.end(), {'M', 'T', 'r', 'k', static_cast<std::uint8_t>(length >> 24),
                           static_cast<std::uint8_t>(length >> 16), static_cast<std::uint8_t>(length >> 8),
                           static_cast<std::uint8_t>(length)});
  file.insert(file.end(), track.begin(), track.end());
  return file;
}

TEST(MidiFileReaderEdgeTest, EventsOfEveryLengthAreWalkedToTheEndOfTheirTrack) {
  const Bytes noteOn{0x00, 0x90, 0x3C, 0x64};
  // A sequence number (type, length, two bytes) before a note.
  const Bytes numbered{0x00, 0xFF, 0x00, 0x02, 0x00, 0x01, 0x00, 0x90, 0x3C, 0x64};
  // A track longer than 65535 bytes: its length needs both words of the field.
  Bytes many;
  for (int note = 0; note < 16384; ++note) many.insert(many.end(), noteOn.begin(), noteOn.end());
  for (const Bytes& events : {numbered, many}) {
    const Bytes file = OneTrackFile(events);
    const MidiFileReader::Result result = Read(file);
    EXPECT_EQ(result.outcome, MidiFileReader::Outcome::Complete) << events.size();
    EXPECT_EQ(result.tracksRead, 1) << events.size();
    EXPECT_EQ(result.position, static_cast<std::int64_t>(file.size())) << events.size();
  }
}

}  // namespace
