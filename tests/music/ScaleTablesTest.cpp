#include "ScaleTables.h"

#include <gtest/gtest.h>

#include "MelodizerLists.h"

namespace {

struct NoteCase {
  const char* scale;
  const char* key;
  const char* octave;
  std::int16_t index;
  std::int16_t note;
};

class GetNoteTest : public ::testing::TestWithParam<NoteCase> {};

TEST_P(GetNoteTest, MapsHeightIndexToNote) {
  const NoteCase& c = GetParam();
  const int scale = FindListItem(kScaleTypeItems, c.scale);
  const int key = FindListItem(kKeyItems, c.key);
  const int octave = FindListItem(kOctaveItems, c.octave);
  ASSERT_GE(scale, 0);
  ASSERT_GE(key, 0);
  ASSERT_GE(octave, 0);
  EXPECT_EQ(ScaleTables().GetNote(c.index, scale, key, octave), c.note);
}

INSTANTIATE_TEST_SUITE_P(
    Scales, GetNoteTest,
    ::testing::Values(NoteCase{"Minor Pentatonic", "C", "1", 0, 0}, NoteCase{"Minor Pentatonic", "C", "1", 1, 3},
                      NoteCase{"Minor Pentatonic", "C", "1", 4, 10}, NoteCase{"Minor Pentatonic", "C", "1", 5, 12},
                      // 9 octaves and a minor third: 111 wraps past 108.
                      NoteCase{"Minor Pentatonic", "C", "1", 46, 3}, NoteCase{"Minor Pentatonic", "C", "1", 47, 5},
                      NoteCase{"Major", "D", "3", 9, 42},
                      // The minor scale keeps the major sixth: degree 5 is 9 semitones up.
                      NoteCase{"Minor", "C", "1", 5, 9}, NoteCase{"Minor", "C", "1", 6, 11},
                      NoteCase{"Major Triad", "G", "2", 4, 35}, NoteCase{"Minor Triad", "A#/Bb", "1", 2, 17},
                      NoteCase{"Major Pentatonic ", "C", "1", 3, 7},
                      // Nine octaves of the major scale land on the key again.
                      NoteCase{"Major", "C", "1", 63, 0}, NoteCase{"Major", "B", "12", 62, 34},
                      NoteCase{"Chromatic", "B", "12", 0, 15}, NoteCase{"Chromatic", "C", "11", 0, 120},
                      NoteCase{"Chromatic", "B", "1", 119, 2}, NoteCase{"Chromatic", "C", "1", 127, 127},
                      NoteCase{"Chromatic", "C", "1", 128, 0}));

TEST(ScaleTablesTest, TableScalesNeverReachSilence) {
  const ScaleTables scales;
  for (int scale = 0; scale < 7; ++scale) {
    if (scale == ScaleTables::kChromatic) continue;
    for (int key = 0; key < 12; ++key)
      for (int octave = 0; octave < 12; ++octave)
        for (std::int16_t index = 0; index <= 200; ++index) {
          const std::int16_t note = scales.GetNote(index, scale, key, octave);
          ASSERT_GE(note, 0);
          ASSERT_LE(note, 107) << scale << " " << key << " " << octave << " " << index;
        }
  }
}

TEST(ScaleTablesTest, ChromaticNotesFrom120AreSilent) {
  const ScaleTables scales;
  int silent = 0;
  for (std::int16_t index = 0; index < 128; ++index)
    if (ScaleTables::IsSilent(scales.GetNote(index, ScaleTables::kChromatic, 0, 0))) ++silent;
  EXPECT_EQ(silent, 8);
  EXPECT_FALSE(ScaleTables::IsSilent(119));
  EXPECT_TRUE(ScaleTables::IsSilent(120));
}

TEST(ScaleTablesTest, NoScaleSelectedGivesNoteZeroAndNoDegrees) {
  const ScaleTables scales;
  EXPECT_EQ(scales.GetNote(40, -1, 5, 3), 0);
  EXPECT_EQ(scales.Length(-1), 0);
  EXPECT_EQ(scales.Length(7), 0);
  EXPECT_EQ(scales.Length(0), 7);
  EXPECT_EQ(scales.Length(ScaleTables::kChromatic), 12);
  EXPECT_EQ(scales.Length(3), 5);
  EXPECT_EQ(scales.Length(6), 3);
}

TEST(MelodizerListsTest, TypedTextFindsItsItem) {
  EXPECT_EQ(FindListItem(kScaleTypeItems, "Major Pentatonic "), 3);
  EXPECT_EQ(FindListItem(kScaleTypeItems, "major pentatonic"), 3);
  EXPECT_EQ(FindListItem(kKeyItems, "F#/Gb"), 6);
  EXPECT_EQ(FindListItem(kOctaveItems, "12"), 11);
  EXPECT_EQ(FindListItem(kComplexityItems, "5"), -1);
  EXPECT_EQ(FindListItem(kComplexityItems, ""), -1);
  EXPECT_EQ(FindListItem(kKeyItems, "H"), -1);
}

}  // namespace
