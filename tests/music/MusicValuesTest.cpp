#include <gtest/gtest.h>

#include <tuple>

#include "MelodizerLists.h"
#include "MelodyLine.h"
#include "OrbitNote.h"
#include "ScaleTables.h"
#include "TypedValues.h"

namespace {

TEST(ScaleTablesTest, HeightIndexMapsToTheNoteOfTheTypedScaleKeyAndOctave) {
  struct Case {
    const char *scale, *key, *octave;
    std::int16_t index, note;
  };
  // Table scales wrap at 108 (nine octaves); the minor scale keeps the major sixth.
  for (const Case& c : std::vector<Case>{
           {"Minor Pentatonic", "C", "1", 4, 10}, {"Minor Pentatonic", "C", "1", 5, 12},
           {"Minor Pentatonic", "C", "1", 46, 3}, {"Major", "D", "3", 9, 42}, {"Minor", "C", "1", 5, 9},
           {"Minor", "C", "1", 6, 11}, {"Major Triad", "G", "2", 4, 35}, {"Minor Triad", "A#/Bb", "1", 2, 17},
           {"major pentatonic", "C", "1", 3, 7}, {"Major", "C", "1", 63, 0}, {"Major", "B", "12", 62, 34},
           {"Chromatic", "B", "12", 0, 15}, {"Chromatic", "C", "11", 0, 120}, {"Chromatic", "B", "1", 119, 2},
           {"Chromatic", "C", "1", 127, 127}, {"Chromatic", "C", "1", 128, 0}}) {
    const int scale = FindListItem(kScaleTypeItems, c.scale), key = FindListItem(kKeyItems, c.key),
              octave = FindListItem(kOctaveItems, c.octave);
    ASSERT_TRUE(scale >= 0 && key >= 0 && octave >= 0) << c.scale << " " << c.key << " " << c.octave;
    EXPECT_EQ(ScaleTables().GetNote(c.index, scale, key, octave), c.note) << c.scale << " " << c.index;
  }
  EXPECT_EQ(ScaleTables().GetNote(40, -1, 5, 3), 0) << "no scale selected";
}

TEST(ScaleTablesTest, OnlyChromaticNotesFrom120AreSilent) {
  // Table scales wrap below 108, whatever the key and octave.
  for (int scale = 0; scale < 7; ++scale)
    for (int key = 0; key < 12 && scale != ScaleTables::kChromatic; ++key)
      for (std::int16_t index = 0; index <= 200; ++index)
        ASSERT_LE(ScaleTables().GetNote(index, scale, key, 11), 107) << scale << " " << key << " " << index;
  EXPECT_FALSE(ScaleTables::IsSilent(119));
  EXPECT_TRUE(ScaleTables::IsSilent(120));
}

TEST(TypedValuesTest, BoxChecksLeaveTheCorrectedText) {
  using Check = std::string (*)(std::string_view);
  for (const auto& [check, typed, left] : std::vector<std::tuple<Check, const char*, const char*>>{
           {CheckMeasures, "2.5", "3"}, {CheckMeasures, "3.5", "4"}, {CheckMeasures, "0", "1"},
           {CheckMeasures, "1e300", "100"}, {CheckMaxIterations, "lots", "32"}, {CheckMaxIterations, "300.5", "300.5"},
           {CheckTempo, "10", "30"}, {CheckTempo, "90.5", "90.5"}, {CheckOrbitPart, "abc", "0"},
           {CheckOrbitPart, "-3.7", "-2"}, {CheckOrbitPart, "2.0000001", "2"}, {CheckOrbitPart, "-0.25", "-0.25"}})
    EXPECT_EQ(check(typed), left) << typed;
}

TEST(TypedValuesTest, NumbersParseWholeAndShowWithFifteenDigits) {
  EXPECT_EQ(ParseNumber(" -2e-3 "), -0.002);
  for (const char* bad : {"12abc", "", "  ", "inf", "nan"}) EXPECT_FALSE(ParseNumber(bad)) << bad;
  EXPECT_EQ(FormatNumber(1.0 / 3.0), "0.333333333333333");
  for (const double value : {0.1, -0.7499999999999999, 1.0 / 7.0, 2.5e-10})
    EXPECT_EQ(FormatNumber(*ParseNumber(FormatNumber(value))), FormatNumber(value));
  EXPECT_EQ(PositionInterval(400), 38);  // 37.5, the tie going to the even neighbour
}

void ExpectPoint(ComplexNumber point, double real, double imaginary, const std::string& where) {
  EXPECT_EQ(point.real, real) << where;
  EXPECT_EQ(point.imaginary, imaginary) << where;
}

// Slanted lines are checked through the songs they make.
TEST(MelodyLineTest, VerticalSinglePointAndMovedLines) {
  const MelodyLine line = MelodyLine::Through({-0.5, 0.25}, {-0.5, 1.25}, 8);
  for (int k = 0; k <= 3; ++k) ExpectPoint(line.SamplePoint(4, k), -0.5, 0.75, "vertical level " + std::to_string(k));
  EXPECT_EQ(line.SamplePoint(8, 2).imaginary, 1.25);
  ExpectPoint(MelodyLine::Through({0.0, 0.0}, {0.0, 1.0}, 8).SamplePoint(4, 0, {0.25, 1.0}), 0.25, 1.5, "moved");
  // Slope and intercept stay those of the run's start; the first point moves.
  ExpectPoint(MelodyLine::Through({0.0, 0.0}, {1.0, 1.0}, 8).SamplePoint(2, 0, {0.5, 9.0}), 0.75, 0.75, "moved");
  const MelodyLine dot = MelodyLine::Through({0.3, -0.2}, {0.3, -0.2}, 160);
  for (int p = 0; p <= 160; p += 7) ExpectPoint(dot.SamplePoint(p, p % 4), 0.3, -0.2, "dot " + std::to_string(p));
}

TEST(OrbitNoteTest, IntervalSoundingAndScreenPointFollowThePosition) {
  EXPECT_NEAR(OrbitNoteInterval({0.0, -2.0 + 0.0004}), 0.05, 1e-12);
  EXPECT_EQ(OrbitNoteInterval({0.0, 2.0}), 500.0);
  EXPECT_FALSE(OrbitValueSounds({2.0, 0.0}));
  EXPECT_FALSE(OrbitValueSounds({1.6, 1.2}));
  EXPECT_EQ(OrbitScreenPoint({0.0, -1.0}, 273, 273).y, 204);
  EXPECT_EQ(OrbitScreenPoint({1e300, -1e300}, 273, 273).x, 32767);
}

}  // namespace
