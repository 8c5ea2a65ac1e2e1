#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "MelodizerLists.h"
#include "MelodyLine.h"
#include "OrbitNote.h"
#include "ScaleTables.h"
#include "SilentDialogs.h"
#include "TypedValues.h"

namespace {

std::pair<double, double> Parts(ComplexNumber z) { return {z.real, z.imaginary}; }

TEST(ScaleTablesTest, EveryScaleHoldsItsSemitonesAndNotesWrapByScaleKind) {
  const std::vector<std::vector<std::int16_t>> scales{
      {0, 2, 4, 5, 7, 9, 11}, {0, 2, 3, 5, 7, 9, 11}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},
      {0, 2, 4, 7, 9},        {0, 3, 5, 7, 10},       {0, 4, 7}, {0, 3, 7}};
  const ScaleTables tables;
  for (int type = 0; type < 7; ++type) {
    const auto offsets = tables.Offsets(type);
    EXPECT_EQ(std::vector<std::int16_t>(offsets.begin(), offsets.end()), scales[type]) << type;
    EXPECT_EQ(tables.Length(type), static_cast<int>(scales[type].size())) << type;
  }
  EXPECT_EQ(tables.Length(7), 0);
  // Typed names as the lists match them; table scales wrap at 108 (nine
  // octaves), chromatic at 128.
  struct Case {
    const char *scale, *key, *octave;
    std::int16_t index, note;
  };
  for (const Case& c : std::vector<Case>{
           {"Minor Pentatonic", "C", "1", 4, 10}, {"Minor Pentatonic", "C", "1", 46, 3}, {"Major", "D", "3", 9, 42},
           {"Minor", "C", "1", 13, 23}, {"major triad", "G", "2", 4, 35}, {"Minor Triad", "A#/Bb", "1", 2, 17},
           {"Major", "C", "1", 63, 0}, {"Major", "B", "12", 62, 34}, {"Chromatic", "B", "12", 0, 15},
           {"Chromatic", "C", "11", 0, 120}, {"Chromatic", "C", "1", 127, 127}, {"Chromatic", "C", "1", 128, 0}}) {
    const int scale = FindListItem(kScaleTypeItems, c.scale), key = FindListItem(kKeyItems, c.key),
              octave = FindListItem(kOctaveItems, c.octave);
    ASSERT_TRUE(scale >= 0 && key >= 0 && octave >= 0) << c.scale << " " << c.key << " " << c.octave;
    EXPECT_EQ(tables.GetNote(c.index, scale, key, octave), c.note) << c.scale << " " << c.index;
  }
  EXPECT_EQ(tables.GetNote(40, -1, 5, 3), 0) << "no scale selected";
  EXPECT_TRUE(!ScaleTables::IsSilent(119) && ScaleTables::IsSilent(120));
}

TEST(MelodizerListsTest, TypedItemsMatchIgnoringCaseAndBlanksButBlanksAloneMatchNothing) {
  EXPECT_EQ(FindListItem(kScaleTypeItems, "major pentatonic"), 3);  // the item itself ends in a blank
  EXPECT_EQ(FindListItem(kScaleTypeItems, " minor "), 1);
  for (const char* unknown : {"   ", "", "H", "1x"}) EXPECT_EQ(FindListItem(kKeyItems, unknown), -1) << unknown;
}

TEST(TypedValuesTest, BoxChecksLeaveTheCorrectedTextAndHoldExactlyAtTheirEdges) {
  using Check = std::string (*)(std::string_view);
  const struct {
    Check check;
    const char *typed, *left;
  } cases[] = {{CheckMeasures, "2.5", "3"},        {CheckMeasures, "3.5", "4"},      {CheckMeasures, "0", "1"},
               {CheckMeasures, "150", "100"},      {CheckMeasures, "word", "20"},    {CheckMaxIterations, "lots", "32"},
               {CheckMaxIterations, "10", "32"},   {CheckMaxIterations, "100000", "65536"},
               {CheckMaxIterations, "300.5", "300.5"}, {CheckTempo, "word", "80"},   {CheckTempo, "29.9", "30"},
               {CheckTempo, "399.5", "399.5"},     {CheckTempo, "400.5", "400"},     {CheckOrbitPart, "abc", "0"},
               {CheckOrbitPart, "-3.7", "-2"},     {CheckOrbitPart, "-2.5", "-2"},   {CheckOrbitPart, "2.0000001", "2"},
               {CheckOrbitPart, "-1.5", "-1.5"}};
  for (const auto& c : cases) EXPECT_EQ(c.check(c.typed), c.left) << c.typed;
  EXPECT_EQ(ParseNumber("+5"), 5.0);
  EXPECT_EQ(ParseNumber(" -2e-3 "), -0.002);
  for (const char* bad : {"+", "12abc", "", "  ", "inf", "nan"}) EXPECT_FALSE(ParseNumber(bad)) << bad;
  EXPECT_EQ(FormatNumber(1.0 / 3.0), "0.333333333333333");
  for (const double value : {0.1, -0.7499999999999999, 2.5e-10})
    EXPECT_EQ(FormatNumber(*ParseNumber(FormatNumber(value))), FormatNumber(value));
  EXPECT_EQ(PositionInterval(400), 38);  // 37.5, the tie going to the even neighbour
}

// Slanted lines are checked through the songs they make.
TEST(MelodyLineTest, VerticalAndSinglePointLinesAndAFirstPointMovedDuringARun) {
  const MelodyLine line = MelodyLine::Through({-0.5, 0.25}, {-0.5, 1.25}, 8);
  for (int k = 0; k <= 3; ++k) EXPECT_EQ(Parts(line.SamplePoint(4, k)), std::pair(-0.5, 0.75)) << k;
  EXPECT_EQ(line.SamplePoint(8, 2).imaginary, 1.25) << "the last position reaches the second point";
  EXPECT_EQ(Parts(MelodyLine::Through({0, 0}, {0, 1}, 8).SamplePoint(4, 0, {0.25, 1.0})), std::pair(0.25, 1.5));
  // Slope and intercept stay those of the run's start; the first point moves.
  EXPECT_EQ(Parts(MelodyLine::Through({0, 0.5}, {1, 1.5}, 8).SamplePoint(2, 0, {0.5, 9.0})), std::pair(0.75, 1.25));
  const MelodyLine dot = MelodyLine::Through({0.3, -0.2}, {0.3, -0.2}, 160);
  for (int p = 0; p <= 160; p += 7) EXPECT_EQ(Parts(dot.SamplePoint(p, p % 4)), std::pair(0.3, -0.2)) << p;
}

TEST(OrbitNoteTest, ThePictureSpansMinusTwoToTwoWithTheImaginaryAxisUpAndTheDiscIsOpen) {
  const struct {
    double real, imaginary;
    std::int16_t x, y;
  } points[] = {{-2, 2, 0, 0}, {0, 0, 100, 50}, {1.99, -1.99, 199, 99}, {-1, 1, 50, 25}, {1e300, -1e300, 32767, 32767}};
  for (const auto& p : points) {
    const OrbitPixel pixel = OrbitScreenPoint({p.real, p.imaginary}, 200, 100);
    EXPECT_EQ(std::pair(pixel.x, pixel.y), std::pair(p.x, p.y)) << p.real;
  }
  EXPECT_NEAR(OrbitNoteInterval({0.0, -2.0 + 0.0004}), 0.05, 1e-12);
  EXPECT_FALSE(OrbitValueSounds({2.0, 0.0}));
  EXPECT_FALSE(OrbitValueSounds({1.6, 1.2}));
}

TEST(SilentDialogsTest, TheSummaryJoinsMessagesAndTurnsEachRunOfLineBreaksIntoOneBlank) {
  SilentDialogs dialogs;
  dialogs.ShowMessage("Unable to save file:\r\nDisk full");
  dialogs.ShowMessage("Second\n\nline");
  EXPECT_EQ(dialogs.Summary(), "Unable to save file: Disk full; Second line");
}

}  // namespace
