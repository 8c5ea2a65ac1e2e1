#include "MelodyLine.h"

#include <gtest/gtest.h>

namespace {

TEST(MelodyLineTest, VerticalLineGivesEveryLevelTheSamePointAndReachesTheSecondPoint) {
  const MelodyLine line = MelodyLine::Through({-0.5, 0.25}, {-0.5, 1.25}, 8);
  ASSERT_TRUE(line.vertical);
  for (int p = 0; p <= 8; ++p) {
    const ComplexNumber level0 = line.SamplePoint(p, 0);
    for (int k = 1; k <= 3; ++k) {
      EXPECT_EQ(line.SamplePoint(p, k).real, level0.real);
      EXPECT_EQ(line.SamplePoint(p, k).imaginary, level0.imaginary);
    }
    EXPECT_EQ(level0.real, -0.5);
    EXPECT_DOUBLE_EQ(level0.imaginary, 0.25 + 0.125 * p);
  }
  EXPECT_EQ(line.SamplePoint(8, 2).imaginary, 1.25);
}

TEST(MelodyLineTest, HorizontalLineWalksTheRealAxisLikeASlantedOne) {
  const MelodyLine line = MelodyLine::Through({-2.0, 0.5}, {0.0, 0.5}, 16);
  ASSERT_FALSE(line.vertical);
  EXPECT_EQ(line.slope, 0.0);
  for (int p = 0; p < 16; ++p) {
    const ComplexNumber point = line.SamplePoint(p, 0);
    EXPECT_EQ(point.real, -2.0 + p * 0.125);
    EXPECT_EQ(point.imaginary, 0.5);
  }
}

TEST(MelodyLineTest, LevelKRunsOverTheLineTwoToTheKTimes) {
  const MelodyLine line = MelodyLine::Through({-1.0, -1.0}, {1.0, 0.0}, 24);
  for (int p = 0; p <= 24; ++p) {
    for (int k = 0; k <= 3; ++k) {
      const int index = ((1 << k) * p) % 24;
      const ComplexNumber point = line.SamplePoint(p, k);
      const double re = -1.0 + index * line.dxStep;
      EXPECT_EQ(point.real, re) << "p " << p << " k " << k;
      EXPECT_EQ(point.imaginary, re * 0.5 + (-1.0 - (-1.0) * 0.5));
    }
  }
}

TEST(MelodyLineTest, SlantedLineEndsBackAtTheFirstPointAndNeverSamplesTheSecond) {
  const MelodyLine line = MelodyLine::Through({0.25, 0.75}, {-0.75, -0.25}, 40);
  for (int k = 0; k <= 3; ++k) {
    EXPECT_EQ(line.SamplePoint(40, k).real, 0.25);
    EXPECT_EQ(line.SamplePoint(40, k).imaginary, 0.75);
    for (int p = 0; p <= 40; ++p) EXPECT_NE(line.SamplePoint(p, k).real, -0.75);
  }
}

TEST(MelodyLineTest, EqualPointsGiveTheSamePointEverywhere) {
  const MelodyLine line = MelodyLine::Through({0.3, -0.2}, {0.3, -0.2}, 160);
  for (int p = 0; p <= 160; p += 7)
    for (int k = 0; k <= 3; ++k) {
      EXPECT_EQ(line.SamplePoint(p, k).real, 0.3);
      EXPECT_EQ(line.SamplePoint(p, k).imaginary, -0.2);
    }
}

TEST(MelodyLineTest, MovedFirstPointShiftsTheRemainingSamples) {
  const MelodyLine line = MelodyLine::Through({0.0, 0.0}, {1.0, 1.0}, 8);
  // Slope and intercept stay those of the run's start; the first point moves.
  const ComplexNumber moved = line.SamplePoint(2, 0, {0.5, 9.0});
  EXPECT_EQ(moved.real, 0.75);
  EXPECT_EQ(moved.imaginary, 0.75);
  const MelodyLine vertical = MelodyLine::Through({0.0, 0.0}, {0.0, 1.0}, 8);
  const ComplexNumber shifted = vertical.SamplePoint(4, 0, {0.25, 1.0});
  EXPECT_EQ(shifted.real, 0.25);
  EXPECT_EQ(shifted.imaginary, 1.5);
}

}  // namespace
