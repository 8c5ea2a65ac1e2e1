#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "MidiSequence.h"
#include "SongBytes.h"

// Reading a whole file into a timeline: the tempo map, running status,
// several tracks merged, and files that must be refused.
namespace {

using namespace smf;

TEST(MidiSequenceTest, TracksMergeInTimeOrderThroughTheTempoMap) {
  // 64 ticks per quarter note; 120 bpm for the first quarter, then 60 bpm.
  const Bytes conductor = Join({{0x00, 0xFF, 0x03, 0x03, 'T', 'e', 'x'}, {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20},
                                {0x40, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40}, kEndOfTrack});
  // A program change (one data byte), a note at tick 32 and, by running
  // status, its end at tick 160; the other track sounds at 32 too, later in
  // the file, and ends last after a final wait.
  const Bytes notes = Join({{0x00, 0xC0, 0x2E, 0x20, 0x90, 0x3C, 0x64, 0x81, 0x00, 0x3C, 0x00}, kEndOfTrack});
  const Bytes more = Join({{0x20, 0x91, 0x40, 0x50}, {0x82, 0x00, 0xFF, 0x2F, 0x00}});
  std::string error;
  const auto song = MidiSequence::Parse(Join({Header(3), Track(conductor), Track(notes), Track(more)}), error);
  ASSERT_TRUE(song) << error;
  std::vector<std::pair<double, std::uint32_t>> events;
  for (const auto& event : song->Events()) events.emplace_back(event.seconds, event.message);
  EXPECT_THAT(events, testing::ElementsAre(std::pair(0.0, 0x2EC0u), std::pair(0.25, 0x643C90u),
                                           std::pair(0.25, 0x504091u), std::pair(0.5 + 1.5, 0x003C90u)));
  EXPECT_DOUBLE_EQ(song->DurationSeconds(), 0.5 + (32 + 256 - 64) / 64.0);
  EXPECT_THAT(song->Tempos(), testing::ElementsAre(120.0, 60.0));
  EXPECT_EQ(song->Tracks().at(0).name, "Tex");
  EXPECT_EQ(song->Tracks().at(1).eventCount, 4);
  // SMPTE time: 25 frames per second of 40 ticks; a delta of 1000 ticks.
  const auto smpte = MidiSequence::Parse(Join({Header(1, 0xE728), Track({0x87, 0x68, 0x90, 0x3C, 0x40})}), error);
  ASSERT_TRUE(smpte) << error;
  EXPECT_DOUBLE_EQ(smpte->Events().at(0).seconds, 1.0);
}

TEST(MidiSequenceTest, DamagedFilesAreRefusedWithAReason) {
  const Bytes good = Join({Header(1), Track(Join({{0x00, 0x90, 0x3C, 0x40}, kEndOfTrack}))});
  const std::pair<const char*, Bytes> cases[] = {
      {"no header", Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 6}},
      {"header cut short", Bytes(good.begin(), good.begin() + 10)},
      {"track chunk longer than the file", Bytes(good.begin(), good.end() - 2)},
      {"fewer tracks than the header", Join({Header(2), Track(kEndOfTrack)})},
      {"data byte with no status", Join({Header(1), Track(Join({{0x00, 0x3C, 0x40}, kEndOfTrack}))})},
      {"a five-byte delta", Join({Header(1), Track({0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 0x3C, 0x40})})},
      {"a meta event longer than its chunk", Join({Header(1), Track({0x00, 0xFF, 0x01, 0x10, 'a'})})},
      {"no time division", Join({Header(1, 0), Track(kEndOfTrack)})},
  };
  std::string error;
  EXPECT_TRUE(MidiSequence::Parse(good, error)) << error;
  for (const auto& [name, bytes] : cases) {
    error.clear();
    EXPECT_FALSE(MidiSequence::Parse(bytes, error)) << name;
    EXPECT_NE(error, "") << name;
  }
}

}  // namespace
