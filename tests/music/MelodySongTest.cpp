#include "MelodySong.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <set>

#include "EscapeCount.h"
#include "ScriptedDialogs.h"
#include "SongBytes.h"

namespace {

constexpr int kTempo120 = 500000;
constexpr std::uint32_t kTicksPerPosition = 16;

class MelodySongTest : public ::testing::Test {
 protected:
  MelodySongTest() { settings.SetRegion(0.0, 0.0, 0.0, 0.0, 256); }

  std::vector<std::uint8_t> Save() {
    MIDIFile file(folder.Path(), dialogs);
    const SongResult result = WriteMelodySong(file, path, settings, renderer, scales);
    EXPECT_EQ(result.outcome, SongResult::Outcome::Saved) << result.error;
    return ReadBytes(path);
  }

  TemporaryFolder folder;
  std::string path = folder.File("song.mid");
  ScriptedDialogs dialogs;
  MelodizerSettings settings;
  FractalRenderer renderer;
  ScaleTables scales;
};

TEST_F(MelodySongTest, HeldNoteEndsWithItsLengthAfterTheLastPosition) {
  // c = 0 never escapes: height 109, index 109 of Minor Pentatonic in C is
  // 21 octaves and a minor seventh, 262 mod 108 = 46.
  settings.measures = std::string("1");
  ExpectedSong expected(99, kTempo120);
  expected.NoteOff(0, 0).NoteOn(0, 46, 127).NoteOff(9 * kTicksPerPosition, 46);
  EXPECT_EQ(Hex(Save()), Hex(expected.File()));
}

TEST_F(MelodySongTest, ClosingNoteOffsGoFromTheHighestLevelDown) {
  settings.measures = std::string("1");
  settings.complexity = 1;
  settings.scaleType = 0;  // Major: index 109 is 15 octaves and a fifth, 187 mod 108 = 79
  ExpectedSong expected(99, kTempo120);
  expected.NoteOff(0, 0).NoteOn(0, 79, 127).NoteOff(0, 0).NoteOn(0, 79, 127);
  expected.NoteOff(9 * kTicksPerPosition, 79).NoteOff(0, 79);
  EXPECT_EQ(Hex(Save()), Hex(expected.File()));
}

TEST_F(MelodySongTest, LevelOnNoteZeroStartsSilentAndTheLengthLandsOnTheEnd) {
  // c = 3 escapes at once; with flattening 20 its height 109/256 rounds to
  // index 0, note 0, which a level starts on without a Note On.
  settings.SetRegion(3.0, 0.0, 3.0, 0.0, 256);
  settings.measures = std::string("1");
  settings.mountainBar = 160;
  EXPECT_EQ(Hex(Save()), Hex(ExpectedSong(99, kTempo120).File(9 * kTicksPerPosition)));
}

TEST_F(MelodySongTest, ChromaticNotesFrom120AreNeverWritten) {
  settings.measures = std::string("1");
  settings.scaleType = 2;
  settings.octave = 1;  // index 109 + 12 = 121
  ExpectedSong expected(99, kTempo120);
  expected.NoteOff(0, 0);
  EXPECT_EQ(Hex(Save()), Hex(expected.File(9 * kTicksPerPosition)));
}

// The notes of every level at every position, computed from the escape
// counts without the Melodizer's code.
struct IndependentMelody {
  static constexpr std::array<int, 7> kMajor{0, 2, 4, 5, 7, 9, 11};
  std::vector<std::array<int, 3>> notes;

  IndependentMelody(double re1, double re2, int steps, int limit, int flattening, int key, int octave) {
    const EscapeParameters parameters{false, {}, limit};
    for (int p = 0; p <= steps; ++p) {
      std::array<int, 3> row{};
      for (int k = 0; k < 3; ++k) {
        const int index = ((1 << k) * p) % steps;
        const double re = re1 + index * ((re2 - re1) / steps);
        const int count = EscapeCount(parameters, {re, 0.0});
        const double exponent = 20.0 / flattening;
        const double height = std::pow(count, exponent) / std::pow(limit, exponent) * 109;
        const int degree = static_cast<int>(std::lrint(height));
        row[k] = ((degree / 7) * 12 + kMajor[degree % 7] + 12 * octave + key) % 108;
      }
      notes.push_back(row);
    }
  }
};

TEST_F(MelodySongTest, SlantedLineMatchesAnIndependentlyBuiltFile) {
  settings.SetRegion(-2.0, 0.0, 0.5, 0.0, 64);
  settings.measures = std::string("2");
  settings.complexity = 2;
  settings.scaleType = 0;
  settings.key = 2;
  settings.octave = 2;
  settings.mountainBar = 90;
  settings.patch = 5;
  settings.tempo = "100";
  const IndependentMelody melody(-2.0, 0.5, 16, 64, 90, 2, 2);

  ExpectedSong expected(5, 600000);
  std::array<int, 3> last{};
  std::array<bool, 3> sounding{};
  std::uint32_t pending = 0;
  std::set<int> distinct;
  for (const auto& row : melody.notes) {
    for (int k = 2; k >= 0; --k) {
      distinct.insert(row[k]);
      if (row[k] == last[k]) continue;
      expected.NoteOff(pending, last[k]);
      expected.NoteOn(0, row[k], 127);
      pending = 0;
      sounding[k] = true;
      last[k] = row[k];
    }
    pending += kTicksPerPosition;
  }
  for (int k = 2; k >= 0; --k) {
    if (!sounding[k]) continue;
    expected.NoteOff(pending, last[k]);
    pending = 0;
  }
  ASSERT_GE(distinct.size(), 4u) << "the line should cross several heights";
  EXPECT_EQ(FirstDifference(Save(), expected.File(pending)), "");
}

TEST_F(MelodySongTest, LimitBelowOneIsRaisedTo32) {
  settings.measures = std::string("1");
  settings.SetRegion(-1.5, 0.2, 0.4, 0.6, 32);
  const auto with32 = Save();
  settings.SetRegion(-1.5, 0.2, 0.4, 0.6, 0);
  EXPECT_EQ(Hex(Save()), Hex(with32));
  EXPECT_EQ(renderer.GetMaxIterations(), 32);
  settings.SetRegion(-1.5, 0.2, 0.4, 0.6, -7);
  EXPECT_EQ(Hex(Save()), Hex(with32));
  settings.SetRegion(-1.5, 0.2, 0.4, 0.6, 2000);
  EXPECT_NE(Hex(Save()), Hex(with32));
}

TEST_F(MelodySongTest, UncreatableFileIsReportedAndNothingWritten) {
  MIDIFile file(folder.Path(), dialogs);
  const std::string missing = folder.File("no such folder/song.mid");
  const SongResult result = WriteMelodySong(file, missing, settings, renderer, scales);
  EXPECT_EQ(result.outcome, SongResult::Outcome::NotCreated);
  EXPECT_FALSE(std::filesystem::exists(missing));
}

}  // namespace
