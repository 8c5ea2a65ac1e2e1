#include "IterationLimit.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct TypedCase {
  const char* typed;
  const char* shown;
  std::int32_t limit;
};

void PrintTo(const TypedCase& typed, std::ostream* out) { *out << '"' << typed.typed << '"'; }

class TypedLimitTest : public ::testing::TestWithParam<TypedCase> {};

TEST_P(TypedLimitTest, IsClampedAndRoundedToEven) {
  const auto entry = IterationLimit::CheckTyped(QString::fromUtf8(GetParam().typed));
  ASSERT_TRUE(entry.has_value());
  EXPECT_EQ(entry->text.toStdString(), GetParam().shown);
  EXPECT_EQ(entry->limit, GetParam().limit);
}

INSTANTIATE_TEST_SUITE_P(Numbers, TypedLimitTest,
                         ::testing::Values(TypedCase{"0", "1", 1}, TypedCase{"-40", "1", 1},
                                           TypedCase{"0.9", "1", 1}, TypedCase{"131072", "131072", 131072},
                                           TypedCase{"131072.4", "131072", 131072},
                                           TypedCase{"1e9", "131072", 131072}, TypedCase{"500", "500", 500},
                                           TypedCase{" 300 ", " 300 ", 300}, TypedCase{"2.5", "2.5", 2},
                                           TypedCase{"3.5", "3.5", 4}, TypedCase{"1e3", "1e3", 1000}));

TEST(TypedLimitTest, TextThatIsNoNumberIsRefused) {
  for (const char* typed : {"", "abc", "12abc", "inf", "nan", "--5"})
    EXPECT_FALSE(IterationLimit::CheckTyped(QString::fromUtf8(typed)).has_value()) << typed;
}

TEST(HalveAndDoubleTest, HalvingRoundsTiesToEvenAndHasNoLowerBound) {
  EXPECT_EQ(IterationLimit::Halved(256), 128);
  EXPECT_EQ(IterationLimit::Halved(5), 2);
  EXPECT_EQ(IterationLimit::Halved(3), 2);
  EXPECT_EQ(IterationLimit::Halved(1), 0);
  EXPECT_EQ(IterationLimit::Halved(0), 0);
}

TEST(HalveAndDoubleTest, DoublingStopsBeforeThirtyTwoBitsOverflow) {
  EXPECT_EQ(IterationLimit::Doubled(256), 512);
  EXPECT_EQ(IterationLimit::Doubled(1073741823), 2147483646);
  EXPECT_EQ(IterationLimit::Doubled(1073741824), 1073741824);
  EXPECT_EQ(IterationLimit::Doubled(2147483647), 2147483647);
}

}  // namespace
