#include "IterationLimit.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

TEST(IterationLimitTest, TypedNumbersAreClampedAndRoundedToEvenAndTheRestRefused) {
  const struct {
    const char* typed;
    const char* shown;
    std::int32_t limit;
  } numbers[] = {{"0", "1", 1},           {"-40", "1", 1},          {"0.9", "1", 1},
                 {"131072", "131072", 131072}, {"131072.4", "131072", 131072}, {"1e9", "131072", 131072},
                 {" 300 ", " 300 ", 300}, {"2.5", "2.5", 2},        {"3.5", "3.5", 4},
                 {"1e3", "1e3", 1000}};
  for (const auto& number : numbers) {
    const auto entry = IterationLimit::CheckTyped(number.typed);
    ASSERT_TRUE(entry.has_value()) << number.typed;
    EXPECT_EQ(entry->text, number.shown) << number.typed;
    EXPECT_EQ(entry->limit, number.limit) << number.typed;
  }
  for (const char* typed : {"", "abc", "12abc", "inf", "nan", "--5"})
    EXPECT_FALSE(IterationLimit::CheckTyped(typed).has_value()) << typed;
}

TEST(IterationLimitTest, HalvingRoundsTiesToEvenAndDoublingStopsBeforeThirtyTwoBitsOverflow) {
  for (const auto& [limit, halved] : {std::pair{256, 128}, {5, 2}, {3, 2}, {1, 0}, {0, 0}})
    EXPECT_EQ(IterationLimit::Halved(limit), halved) << limit;
  for (const auto& [limit, doubled] : {std::pair{256, 512}, {1073741823, 2147483646}, {1073741824, 1073741824},
                                       {2147483647, 2147483647}})
    EXPECT_EQ(IterationLimit::Doubled(limit), doubled) << limit;
}

}  // namespace
