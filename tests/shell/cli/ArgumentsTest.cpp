#include <gtest/gtest.h>

#include "Arguments.h"

namespace {

TEST(ArgumentsTest, NumbersMustBeWholeTexts) {
  EXPECT_EQ(ParseDouble("-0.75"), -0.75);
  EXPECT_EQ(ParseDouble("+1e-9"), 1e-9);
  EXPECT_EQ(ParseDouble("12abc"), std::nullopt);
  EXPECT_EQ(ParseDouble(""), std::nullopt);
  EXPECT_EQ(ParseDouble("nan"), std::nullopt);
  EXPECT_EQ(ParseDouble("inf"), std::nullopt);
  EXPECT_EQ(ParseDouble("1e999"), std::nullopt);
  EXPECT_EQ(ParseInteger("4096"), 4096);
  EXPECT_EQ(ParseInteger("4.5"), std::nullopt);
  EXPECT_EQ(ParseInteger("99999999999999999999"), std::nullopt);
}

TEST(ArgumentsTest, PointsAndSizes) {
  const auto point = ParsePoint("-0.7436438870371587,0.1318259042053119");
  ASSERT_TRUE(point);
  EXPECT_EQ(point->real, -0.7436438870371587);
  EXPECT_EQ(point->imaginary, 0.1318259042053119);
  EXPECT_FALSE(ParsePoint("1"));
  EXPECT_FALSE(ParsePoint("1,"));
  EXPECT_FALSE(ParsePoint("1,2,3"));

  const auto size = ParseSize("400x300");
  ASSERT_TRUE(size);
  EXPECT_EQ(size->width, 400);
  EXPECT_EQ(size->height, 300);
  EXPECT_TRUE(ParseSize("32767x1"));
  EXPECT_FALSE(ParseSize("32768x1"));
  EXPECT_FALSE(ParseSize("0x10"));
  EXPECT_FALSE(ParseSize("-4x10"));
  EXPECT_FALSE(ParseSize("400"));
}

TEST(OptionReaderTest, ReportsLeftoversAndMissingValues) {
  OptionReader options({"--size", "4x4", "--draft", "--bogus"});
  EXPECT_EQ(options.Value("--size"), "4x4");
  EXPECT_TRUE(options.Flag("--draft"));
  EXPECT_EQ(options.Problem(), "unknown option: --bogus");

  OptionReader dangling({"--out"});
  EXPECT_EQ(dangling.Value("--out"), std::nullopt);
  EXPECT_EQ(dangling.Problem(), "--out needs a value");
}

}  // namespace
