#include "OrbitSong.h"

#include <gtest/gtest.h>

#include <cmath>

#include "EscapeCount.h"
#include "OrbitNote.h"
#include "ScriptedDialogs.h"
#include "SongBytes.h"

namespace {

constexpr char kConvergeQuestion[] =
    "The point that you selected appears to converge.  How many iterations of the point would you like to "
    "record? (max. 16000)";

// The orbit song of c, built from the iteration step alone: each value
// after the first sounds for 32 ticks until one leaves the disc.
std::vector<std::uint8_t> IndependentOrbitSong(ComplexNumber c, int notes) {
  ExpectedSong song(46, 500000);
  ComplexNumber z = FractalStep({}, c);
  for (int i = 0; i < notes; ++i) {
    z = FractalStep(z, c);
    const double squared = z.real * z.real + z.imaginary * z.imaginary;
    if (squared >= 4) break;
    const int pitch = static_cast<int>(std::lrint((z.real + 2) * 127 / 4)) & 127;
    const int velocity = static_cast<int>(std::lrint(std::sqrt(squared) * 31.25 + 64));
    song.NoteOn(0, pitch, velocity).NoteOff(32, pitch);
  }
  return song.File();
}

class OrbitSongTest : public ::testing::Test {
 protected:
  SongResult Save(ComplexNumber c) {
    const OrbitNoteCount count = OrbitNotesToRecord(renderer, c, dialogs);
    if (!count.notes) return {SongResult::Outcome::Failed, count.error};
    MIDIFile file(folder.Path(), dialogs);
    return WriteOrbitSong(file, path, renderer, c, *count.notes);
  }
  // Notes in the saved file: each is 8 bytes (on and off with their deltas).
  std::size_t SavedNotes() const {
    const std::size_t opening = 14 + 8 + 11 + 25 + 3 + 7, closing = 4;
    return (ReadBytes(path).size() - opening - closing) / 8;
  }

  TemporaryFolder folder;
  std::string path = folder.File("orbit.mid");
  ScriptedDialogs dialogs;
  FractalRenderer renderer;
};

TEST_F(OrbitSongTest, EscapingPointRecordsTheValuesBeforeItsEscape) {
  const ComplexNumber c{-0.75, 0.12};
  const std::int32_t escape = EscapeCount({false, {}, 16000}, c);
  ASSERT_GT(escape, 4);
  ASSERT_LT(escape, 16000);
  ASSERT_EQ(Save(c).outcome, SongResult::Outcome::Saved);
  EXPECT_TRUE(dialogs.History().empty()) << "no question for a point that escapes";
  EXPECT_EQ(FirstDifference(ReadBytes(path), IndependentOrbitSong(c, 16000)), "");
  EXPECT_EQ(SavedNotes(), static_cast<std::size_t>(escape - 2));
  // The live orbit now lies outside the disc: the next step reports it.
  EXPECT_FALSE(renderer.StepIterate(false));
}

TEST_F(OrbitSongTest, PointEscapingAtOnceHoldsOnlyTheOpening) {
  ASSERT_EQ(Save({2.0, 2.0}).outcome, SongResult::Outcome::Saved);
  const auto bytes = ReadBytes(path);
  EXPECT_EQ(Hex(bytes), Hex(ExpectedSong(46, 500000).File()));
  const std::vector<std::uint8_t> header{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 1, 0, 0x40};
  EXPECT_TRUE(std::equal(header.begin(), header.end(), bytes.begin()));
}

struct ConvergeCase {
  const char* answer;
  int notes;
  bool explained;
};

class ConvergingOrbitTest : public OrbitSongTest, public ::testing::WithParamInterface<ConvergeCase> {};

TEST_P(ConvergingOrbitTest, AnswerSetsTheNumberOfNotes) {
  dialogs.AnswerInput(GetParam().answer);
  ASSERT_EQ(Save({0.0, 0.0}).outcome, SongResult::Outcome::Saved);
  ASSERT_FALSE(dialogs.History().empty());
  EXPECT_EQ(dialogs.History()[0].text, kConvergeQuestion);
  EXPECT_EQ(dialogs.History()[0].defaultAnswer, "200");
  const auto messages = dialogs.Messages();
  const bool explained =
      !messages.empty() && messages[0] ==
                               "You did not type in a valid number.  The maximum number of iterations will be set "
                               "to 200.";
  EXPECT_EQ(explained, GetParam().explained);
  EXPECT_EQ(SavedNotes(), static_cast<std::size_t>(GetParam().notes));
  EXPECT_EQ(renderer.GetMaxIterations(), 16000);
}

INSTANTIATE_TEST_SUITE_P(Answers, ConvergingOrbitTest,
                         ::testing::Values(ConvergeCase{"300", 300, false}, ConvergeCase{"20000", 16000, false},
                                           ConvergeCase{"0", 1, false}, ConvergeCase{"x", 200, true},
                                           ConvergeCase{"", 200, true}));

TEST_F(OrbitSongTest, ConvergingPointMatchesAnIndependentlyBuiltFile) {
  dialogs.AnswerInput("150");
  const ComplexNumber c{-0.1, 0.1};
  ASSERT_EQ(Save(c).outcome, SongResult::Outcome::Saved);
  EXPECT_EQ(FirstDifference(ReadBytes(path), IndependentOrbitSong(c, 150)), "");
}

TEST_F(OrbitSongTest, AnswerBeyond32BitsFailsBeforeAnyFileIsCreated) {
  dialogs.AnswerInput("1e10");
  const SongResult result = Save({0.0, 0.0});
  EXPECT_EQ(result.outcome, SongResult::Outcome::Failed);
  EXPECT_FALSE(result.error.empty());
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(OrbitNoteTest, PitchVelocityAndIntervalFollowThePosition) {
  EXPECT_EQ(OrbitPitch({-2.0, 0.0}), 0);
  EXPECT_EQ(OrbitPitch({1.99, 0.0}), 127);
  EXPECT_EQ(OrbitPitch({0.0, 1.0}), 64);  // 63.5, the tie going to the even neighbour
  EXPECT_EQ(OrbitVelocity({0.0, 0.0}), 64);
  EXPECT_EQ(OrbitVelocity({0.0, 1.9999}), 126);
  EXPECT_EQ(OrbitVelocity({0.6, 0.8}), 95);  // 95.25
  EXPECT_NEAR(OrbitNoteInterval({0.0, -2.0 + 0.0004}), 0.05, 1e-12);
  EXPECT_EQ(OrbitNoteInterval({0.0, 2.0}), 500.0);
  EXPECT_TRUE(OrbitValueSounds({1.9, 0.0}));
  EXPECT_FALSE(OrbitValueSounds({2.0, 0.0}));
  EXPECT_FALSE(OrbitValueSounds({1.6, 1.2}));
}

TEST(OrbitNoteTest, ScreenPointSpansMinusTwoToTwoWithTheImaginaryAxisUp) {
  const OrbitPixel centre = OrbitScreenPoint({0.0, 0.0}, 273, 273);
  EXPECT_EQ(centre.x, 136);
  EXPECT_EQ(centre.y, 136);
  const OrbitPixel corner = OrbitScreenPoint({-2.0, 2.0}, 273, 273);
  EXPECT_EQ(corner.x, 0);
  EXPECT_EQ(corner.y, 0);
  EXPECT_EQ(OrbitScreenPoint({0.0, -1.0}, 273, 273).y, 204);
  EXPECT_EQ(OrbitScreenPoint({1e300, -1e300}, 273, 273).x, 32767);
}

}  // namespace
