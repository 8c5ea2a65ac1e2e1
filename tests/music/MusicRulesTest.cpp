#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "MelodizerLists.h"
#include "OrbitNote.h"
#include "ScaleTables.h"
#include "SilentDialogs.h"
#include "TypedValues.h"

namespace {

TEST(ScaleTablesTest, EveryScaleHoldsItsSemitonesFromTheRoot) {
  const std::vector<std::vector<std::int16_t>> scales{
      {0, 2, 4, 5, 7, 9, 11}, {0, 2, 3, 5, 7, 9, 11}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},
      {0, 2, 4, 7, 9},        {0, 3, 5, 7, 10},       {0, 4, 7},
      {0, 3, 7}};
  const ScaleTables tables;
  for (int type = 0; type < 7; ++type) {
    const auto offsets = tables.Offsets(type);
    EXPECT_EQ(std::vector<std::int16_t>(offsets.begin(), offsets.end()), scales[type]) << type;
    EXPECT_EQ(tables.Length(type), static_cast<int>(scales[type].size())) << type;
  }
  EXPECT_EQ(tables.Length(7), 0);
  EXPECT_EQ(tables.Length(-1), 0);
}

TEST(TypedValuesTest, BoundsHoldExactlyAtTheirEdgesAndASignIsAllowed) {
  const struct {
    std::string (*check)(std::string_view);
    const char* typed;
    const char* kept;
  } cases[] = {{CheckTempo, "400", "400"},       {CheckTempo, "399.5", "399.5"}, {CheckTempo, "400.5", "400"},
               {CheckTempo, "30", "30"},         {CheckTempo, "29.9", "30"},     {CheckOrbitPart, "-2", "-2"},
               {CheckOrbitPart, "-2.5", "-2"},   {CheckOrbitPart, "2.01", "2"},  {CheckOrbitPart, "-1.5", "-1.5"},
               {CheckOrbitPart, "x", "0"}};
  for (const auto& c : cases) EXPECT_EQ(c.check(c.typed), c.kept) << c.typed;
  EXPECT_EQ(ParseNumber("+5"), 5.0);
  EXPECT_EQ(ParseNumber(" -2e-3 "), -0.002);
  EXPECT_FALSE(ParseNumber("+"));
}

TEST(MelodizerListsTest, TypedItemsMatchIgnoringCaseAndBlanksButBlanksAloneMatchNothing) {
  EXPECT_EQ(FindListItem(kScaleTypeItems, "major pentatonic"), 3);
  EXPECT_EQ(FindListItem(kScaleTypeItems, " minor "), 1);
  EXPECT_EQ(FindListItem(kScaleTypeItems, "Minor Triad"), 6);
  EXPECT_EQ(FindListItem(kKeyItems, "   "), -1);
  EXPECT_EQ(FindListItem(kKeyItems, ""), -1);
  EXPECT_EQ(FindListItem(kKeyItems, "H"), -1);
  EXPECT_EQ(FindListItem(kOctaveItems, "1x"), -1) << "no item is a prefix match";
}

TEST(OrbitNoteTest, ThePictureSpansMinusTwoToTwoOnBothAxesWithTheImaginaryAxisUp) {
  const struct {
    double real, imaginary;
    std::int16_t x, y;
  } points[] = {{-2, 2, 0, 0}, {0, 0, 100, 50}, {1.99, -1.99, 199, 99}, {2, -2, 200, 100}, {-1, 1, 50, 25}};
  for (const auto& p : points) {
    const OrbitPixel pixel = OrbitScreenPoint({p.real, p.imaginary}, 200, 100);
    EXPECT_EQ(pixel.x, p.x) << p.real;
    EXPECT_EQ(pixel.y, p.y) << p.imaginary;
  }
}

TEST(SilentDialogsTest, TheSummaryJoinsMessagesAndTurnsEachRunOfLineBreaksIntoOneBlank) {
  SilentDialogs dialogs;
  dialogs.ShowMessage("Unable to save file:\r\nDisk full");
  dialogs.ShowMessage("Second\n\nline");
  EXPECT_EQ(dialogs.Summary(), "Unable to save file: Disk full; Second line");
}

}  // namespace
