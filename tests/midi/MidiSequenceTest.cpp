#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "MidiSequence.h"

// Reading a whole file into a timeline: the tempo map, running status,
// several tracks merged, and files that must be refused.
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Header(std::uint16_t format, std::uint16_t tracks, std::uint16_t division) {
  return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, static_cast<std::uint8_t>(format), 0, static_cast<std::uint8_t>(tracks),
          static_cast<std::uint8_t>(division >> 8), static_cast<std::uint8_t>(division & 0xFF)};
}

Bytes Track(const Bytes& events) {
  Bytes chunk = {'M', 'T', 'r', 'k', 0, 0, static_cast<std::uint8_t>(events.size() >> 8),
                 static_cast<std::uint8_t>(events.size() & 0xFF)};
  chunk.insert(chunk.end(), events.begin(), events.end());
  return chunk;
}

Bytes File(std::uint16_t division, const std::vector<Bytes>& tracks) {
  Bytes file = Header(1, static_cast<std::uint16_t>(tracks.size()), division);
  for (const Bytes& events : tracks) {
    const Bytes chunk = Track(events);
    file.insert(file.end(), chunk.begin(), chunk.end());
  }
  return file;
}

const Bytes kEnd = {0x00, 0xFF, 0x2F, 0x00};

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST(MidiSequenceTest, TempoChangesTurnTicksIntoSeconds) {
  // 64 ticks per quarter note; 120 bpm for the first quarter, then 60 bpm.
  const Bytes conductor = Concat({{0x00, 0xFF, 0x03, 0x03, 'T', 'e', 'x'},
                                  {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20},  // 500000 us
                                  {0x40, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40},  // 1000000 us at tick 64
                                  kEnd});
  // A note at tick 0 and its end at tick 128, written with running status;
  // a program change carries one data byte.
  const Bytes notes = Concat({{0x00, 0xC0, 0x2E}, {0x00, 0x90, 0x3C, 0x64}, {0x81, 0x00, 0x3C, 0x00}, kEnd});
  std::string error;
  const auto song = MidiSequence::Parse(File(64, {conductor, notes}), error);
  ASSERT_TRUE(song) << error;

  ASSERT_EQ(song->Events().size(), 3u);
  EXPECT_EQ(song->Events()[0].message, 0x2EC0u);
  EXPECT_EQ(song->Events()[1].message, 0x643C90u);
  EXPECT_EQ(song->Events()[2].message, 0x003C90u);
  EXPECT_DOUBLE_EQ(song->Events()[2].seconds, 0.5 + 1.0);
  EXPECT_DOUBLE_EQ(song->DurationSeconds(), 1.5);
  EXPECT_THAT(song->Tempos(), testing::ElementsAre(120.0, 60.0));
  ASSERT_EQ(song->Tracks().size(), 2u);
  EXPECT_EQ(song->Tracks()[0].name, "Tex");
  EXPECT_EQ(song->Tracks()[0].eventCount, 4);
  EXPECT_EQ(song->Tracks()[1].eventCount, 4);
  EXPECT_EQ(song->TicksPerQuarterNote(), 64);
}

TEST(MidiSequenceTest, TracksMergeInTimeOrderAndTheLongestSetsTheLength) {
  // No tempo: 120 bpm. Track 1 sounds at tick 32, track 2 at 0 and at 32;
  // the equal times keep the order of the file. Track 2 ends last, with a
  // final wait before its end.
  const Bytes first = Concat({{0x20, 0x91, 0x40, 0x50}, kEnd});
  const Bytes second = Concat({{0x00, 0x92, 0x30, 0x50}, {0x20, 0x92, 0x31, 0x50}, {0x81, 0x40, 0xFF, 0x2F, 0x00}});
  std::string error;
  const auto song = MidiSequence::Parse(File(64, {first, second}), error);
  ASSERT_TRUE(song) << error;
  std::vector<std::uint32_t> order;
  for (const auto& event : song->Events()) order.push_back(event.message);
  EXPECT_THAT(order, testing::ElementsAre(0x503092u, 0x504091u, 0x503192u));
  EXPECT_DOUBLE_EQ(song->Events()[1].seconds, 0.25);
  EXPECT_TRUE(song->Tempos().empty());
  EXPECT_DOUBLE_EQ(song->DurationSeconds(), (32 + 192) / 64.0 * 0.5);
}

TEST(MidiSequenceTest, SmpteTimeCountsFramesPerSecond) {
  // 25 frames per second, 40 ticks per frame: 1000 ticks per second.
  const Bytes events = Concat({{0x87, 0x68, 0x90, 0x3C, 0x40}, kEnd});  // delta 1000
  std::string error;
  const auto song = MidiSequence::Parse(File(0xE728, {events}), error);
  ASSERT_TRUE(song) << error;
  EXPECT_DOUBLE_EQ(song->Events()[0].seconds, 1.0);
  EXPECT_EQ(song->TicksPerQuarterNote(), 0);
}

TEST(MidiSequenceTest, DamagedFilesAreRefusedWithAReason) {
  const Bytes good = File(64, {Concat({{0x00, 0x90, 0x3C, 0x40}, kEnd})});
  const std::pair<const char*, Bytes> cases[] = {
      {"no header", Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 6}},
      {"header cut short", Bytes(good.begin(), good.begin() + 10)},
      {"track chunk longer than the file", Bytes(good.begin(), good.end() - 2)},
      {"fewer tracks than the header", Concat({Header(1, 2, 64), Track(kEnd)})},
      {"data byte with no status", File(64, {Concat({{0x00, 0x3C, 0x40}, kEnd})})},
      {"a variable-length number of five bytes",
       File(64, {Concat({{0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 0x3C, 0x40}, kEnd})})},
      {"a message cut off by the chunk's end", File(64, {Bytes{0x00, 0x90, 0x3C}})},
      {"a meta event longer than its chunk", File(64, {Bytes{0x00, 0xFF, 0x01, 0x10, 'a'}})},
      {"no time division", File(0, {kEnd})},
  };
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    std::string error;
    EXPECT_FALSE(MidiSequence::Parse(bytes, error));
    EXPECT_FALSE(error.empty());
  }
  std::string error;
  EXPECT_TRUE(MidiSequence::Parse(good, error)) << error;
}

}  // namespace
