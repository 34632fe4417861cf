#include "Core/WholeNumber.h"

#include <gtest/gtest.h>

#include <limits>

namespace kestr {
namespace {

constexpr auto int64Max = std::numeric_limits<std::int64_t>::max();
constexpr auto int64Min = std::numeric_limits<std::int64_t>::min();

TEST(WholeNumberTest, TruncatesFiniteValuesTowardZero) {
    EXPECT_EQ(truncatedWholeNumber(801.5), 801);
    EXPECT_EQ(truncatedWholeNumber(-0.9), 0);
    EXPECT_EQ(truncatedWholeNumber(-1512.7), -1512);
    EXPECT_EQ(truncatedWholeNumber(-9223372036854775808.0), int64Min);
    // The largest double below 2^63 still converts exactly.
    EXPECT_EQ(truncatedWholeNumber(9223372036854774784.0), 9223372036854774784);
}

TEST(WholeNumberTest, SaturatesInfinitiesAndOutOfRangeValuesAndMapsNaNToZero) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(truncatedWholeNumber(inf), int64Max);
    EXPECT_EQ(truncatedWholeNumber(-inf), int64Min);
    EXPECT_EQ(truncatedWholeNumber(9223372036854775808.0), int64Max);
    EXPECT_EQ(truncatedWholeNumber(1.7976931348623157e308), int64Max);
    EXPECT_EQ(truncatedWholeNumber(-8.98846567431158e307), int64Min);
    EXPECT_EQ(truncatedWholeNumber(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(wholeNumberText(-inf), "-9223372036854775808");
    EXPECT_EQ(wholeNumberText(std::numeric_limits<double>::quiet_NaN()), "0");
}

}  // namespace
}  // namespace kestr
