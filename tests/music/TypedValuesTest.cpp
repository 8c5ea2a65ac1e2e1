#include "TypedValues.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct CheckCase {
  std::function<std::string(std::string_view)> check;
  const char* typed;
  const char* left;
};

class BoxCheckTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(BoxCheckTest, LeavesTheCorrectedText) {
  EXPECT_EQ(GetParam().check(GetParam().typed), GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, BoxCheckTest,
    ::testing::Values(
        CheckCase{CheckMeasures, "2.5", "3"}, CheckCase{CheckMeasures, "3.5", "4"},
        CheckCase{CheckMeasures, "0", "1"}, CheckCase{CheckMeasures, "150", "100"},
        CheckCase{CheckMeasures, "many", "20"}, CheckCase{CheckMeasures, "", "20"},
        CheckCase{CheckMeasures, "-7", "1"}, CheckCase{CheckMeasures, "1e300", "100"},
        CheckCase{CheckMaxIterations, "10", "32"}, CheckCase{CheckMaxIterations, "100000", "65536"},
        CheckCase{CheckMaxIterations, "lots", "32"}, CheckCase{CheckMaxIterations, "300.5", "300.5"},
        CheckCase{CheckTempo, "fast", "80"}, CheckCase{CheckTempo, "10", "30"}, CheckCase{CheckTempo, "401", "400"},
        CheckCase{CheckTempo, "90.5", "90.5"}, CheckCase{CheckOrbitPart, "abc", "0"},
        CheckCase{CheckOrbitPart, "-3.7", "-2"}, CheckCase{CheckOrbitPart, "2", "2"},
        CheckCase{CheckOrbitPart, "2.0000001", "2"}, CheckCase{CheckOrbitPart, "-0.25", "-0.25"}));

TEST(TypedValuesTest, ParseNumberTakesWholeOrdinaryNumbers) {
  EXPECT_EQ(ParseNumber(" 1.5 "), 1.5);
  EXPECT_EQ(ParseNumber("+2"), 2.0);
  EXPECT_EQ(ParseNumber("-2e-3"), -0.002);
  EXPECT_FALSE(ParseNumber("12abc"));
  EXPECT_FALSE(ParseNumber(""));
  EXPECT_FALSE(ParseNumber("  "));
  EXPECT_FALSE(ParseNumber("inf"));
  EXPECT_FALSE(ParseNumber("nan"));
  EXPECT_EQ(NumberOrZero("x"), 0.0);
}

TEST(TypedValuesTest, NumbersShowWithFifteenDigitsAndReadBackToTheSameText) {
  EXPECT_EQ(FormatNumber(0.001), "0.001");
  EXPECT_EQ(FormatNumber(-1.25), "-1.25");
  EXPECT_EQ(FormatNumber(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(FormatNumber(131072), "131072");
  EXPECT_EQ(FormatNumber(1e-20), "1e-20");
  for (const double value : {0.1, -0.7499999999999999, 1.0 / 7.0, 2.5e-10, -1.9999999999999})
    EXPECT_EQ(FormatNumber(*ParseNumber(FormatNumber(value))), FormatNumber(value));
}

TEST(TypedValuesTest, PositionIntervalIsAQuarterBeat) {
  EXPECT_EQ(PositionInterval(120), 125);
  EXPECT_EQ(PositionInterval(400), 38);  // 37.5, the tie going to the even neighbour
  EXPECT_EQ(PositionInterval(30), 500);
  EXPECT_EQ(PositionInterval(80), 188);  // 187.5
}

TEST(TypedValuesTest, ConvergeAnswerIsRoundedAndKeptInRange) {
  EXPECT_EQ(ReadConvergeAnswer("300").notes, 300);
  EXPECT_EQ(ReadConvergeAnswer("20000").notes, 16000);
  EXPECT_EQ(ReadConvergeAnswer("0").notes, 1);
  EXPECT_EQ(ReadConvergeAnswer("-5").notes, 1);
  EXPECT_EQ(ReadConvergeAnswer("2.5").notes, 2);
  EXPECT_FALSE(ReadConvergeAnswer("x").notes);
  EXPECT_FALSE(ReadConvergeAnswer("x").tooLarge);
  EXPECT_FALSE(ReadConvergeAnswer("").notes);
  const ConvergeAnswer huge = ReadConvergeAnswer("1e12");
  EXPECT_FALSE(huge.notes);
  EXPECT_TRUE(huge.tooLarge);
}

}  // namespace
