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
      {0, 2, 4, 7, 9}, {0, 3, 5, 7, 10}, {0, 4, 7}, {0, 3, 7}};
  const ScaleTables tables;
  for (int type = 0; type < 7; ++type) {
    const auto offsets = tables.Offsets(type);
    EXPECT_EQ(std::vector(offsets.begin(), offsets.end()), scales[type]) << type;
    EXPECT_EQ(tables.Length(type), static_cast<int>(scales[type].size())) << type;
  }
  // Scale, key and octave as the lists match typed names, whatever their
  // case and the blanks around them (the item "Major Pentatonic " itself ends
  // in one); table scales wrap at 108 (nine octaves), chromatic at 128, and
  // no scale gives 0. E major pentatonic, seven steps up, is the G# of the
  // next octave.
  const std::tuple<const char*, const char*, const char*, std::int16_t, std::int16_t> cases[] = {
      {"Minor Pentatonic", "C", "1", 46, 3}, {"Major", "D", "3", 9, 42}, {" Minor ", "C", "1", 13, 23},
      {"Minor Triad", "A#/Bb", "1", 2, 17}, {"Major", "B", "12", 62, 34}, {"Chromatic", "B", "12", 0, 15},
      {"Chromatic", "C", "1", 128, 0}, {"none", "C", "1", 40, 0}, {"major pentatonic", "E", "1", 7, 20}};
  for (const auto& [scale, key, octave, index, note] : cases)
    EXPECT_EQ(tables.GetNote(index, FindListItem(kScaleTypeItems, scale), FindListItem(kKeyItems, key),
                             FindListItem(kOctaveItems, octave)),
              note) << scale << " " << index;
  // Blanks alone match nothing, nor does a text an item only begins with.
  for (const char* unknown : {"   ", "", "H", "1x"})
    EXPECT_EQ(FindListItem(kOctaveItems, unknown), -1) << unknown;
}

TEST(TypedValuesTest, BoxChecksLeaveTheCorrectedTextAndHoldExactlyAtTheirEdges) {
  using Check = std::string (*)(std::string_view);
  const std::pair<Check, std::vector<std::pair<const char*, const char*>>> checks[] = {
      {CheckMeasures, {{"2.5", "3"}, {"3.5", "4"}, {"0", "1"}, {"150", "100"}, {"word", "20"}}},
      {CheckMaxIterations, {{"x", "32"}, {"10", "32"}, {"1e5", "65536"}, {"300.5", "300.5"}}},
      {CheckTempo, {{"word", "80"}, {"29.9", "30"}, {"399.5", "399.5"}, {"400.5", "400"}}},
      {CheckOrbitPart, {{"abc", "0"}, {"-2.5", "-2"}, {"2.0000001", "2"}, {"-1.5", "-1.5"}}}};
  for (const auto& [check, cases] : checks)
    for (const auto& [typed, left] : cases) EXPECT_EQ(check(typed), left) << typed;
  EXPECT_EQ(ParseNumber("+5"), 5.0);
  EXPECT_EQ(ParseNumber(" -2e-3 "), -0.002);
  for (const char* bad : {"+", "12abc", "", "inf", "nan"}) EXPECT_FALSE(ParseNumber(bad)) << bad;
  EXPECT_EQ(FormatNumber(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(PositionInterval(400), 38);  // 37.5, the tie going to the even neighbour
}

// Slanted lines are checked through the songs they make.
TEST(MelodyLineTest, VerticalAndSinglePointLinesAndAFirstPointMovedDuringARun) {
  const MelodyLine line = MelodyLine::Through({-0.5, 0.25}, {-0.5, 1.25}, 8);
  for (int k = 0; k <= 3; ++k) EXPECT_EQ(Parts(line.SamplePoint(4, k)), std::pair(-0.5, 0.75)) << k;
  EXPECT_EQ(line.SamplePoint(8, 2).imaginary, 1.25) << "the last position reaches the second point";
  EXPECT_EQ(Parts(line.SamplePoint(4, 0, {0.25, 1.0})), std::pair(0.25, 1.5));
  // Slope and intercept stay those of the run's start; the first point moves.
  const MelodyLine slanted = MelodyLine::Through({0, 0.5}, {1, 1.5}, 8);
  EXPECT_EQ(Parts(slanted.SamplePoint(2, 0, {0.5, 9.0})), std::pair(0.75, 1.25));
  const MelodyLine dot = MelodyLine::Through({0.3, -0.2}, {0.3, -0.2}, 160);
  for (int p = 0; p <= 160; p += 7) EXPECT_EQ(Parts(dot.SamplePoint(p, p % 4)), std::pair(0.3, -0.2)) << p;
}

TEST(OrbitNoteTest, ThePictureSpansMinusTwoToTwoWithTheImaginaryAxisUp) {
  const std::pair<ComplexNumber, std::pair<int, int>> points[] = {
      {{-2, 2}, {0, 0}}, {{0, 0}, {100, 50}}, {{1.99, -1.99}, {199, 99}}, {{1e300, -1e300}, {32767, 32767}}};
  const auto xy = [](OrbitPixel at) { return std::pair<int, int>(at.x, at.y); };
  for (const auto& [z, pixel] : points) EXPECT_EQ(xy(OrbitScreenPoint(z, 200, 100)), pixel) << z.real;
}

TEST(SilentDialogsTest, TheSummaryJoinsMessagesAndTurnsEachRunOfLineBreaksIntoOneBlank) {
  SilentDialogs dialogs;
  dialogs.ShowMessage("Unable to save file:\r\nDisk full");
  dialogs.ShowMessage("Second\n\nline");
  EXPECT_EQ(dialogs.Summary(), "Unable to save file: Disk full; Second line");
}

}  // namespace
