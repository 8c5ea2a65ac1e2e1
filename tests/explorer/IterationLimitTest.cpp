#include "IterationLimit.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

// What the box accepts is checked through the main window's model; these are
// the halve and double buttons' arithmetic at its ends.
TEST(IterationLimitTest, HalvingRoundsTiesToEvenAndDoublingStopsBeforeThirtyTwoBitsOverflow) {
  for (const auto& [limit, halved] : {std::pair{256, 128}, {5, 2}, {3, 2}, {1, 0}, {0, 0}})
    EXPECT_EQ(IterationLimit::Halved(limit), halved) << limit;
  for (const auto& [limit, doubled] : {std::pair{256, 512}, {1073741823, 2147483646}, {1073741824, 1073741824},
                                       {2147483647, 2147483647}, {-1073741825, -1073741825}})
    EXPECT_EQ(IterationLimit::Doubled(limit), doubled) << limit;
}

}  // namespace
