#include "Core/Date.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kestr {
namespace {

TEST(Date, ReadsUtcAndOffsetsAsTheSameInstant) {
    const auto utc = Date::parseISO8601("2024-05-01T09:30:00Z");
    ASSERT_TRUE(utc);
    EXPECT_EQ(utc->secondsSince1970, 1714555800);
    EXPECT_EQ(Date::parseISO8601("2024-05-01T11:30:00+02:00"), utc);
    EXPECT_EQ(Date::parseISO8601("2024-05-01T11:30:00+0200"), utc);
    EXPECT_EQ(Date::parseISO8601("2024-05-01T04:00:00-05:30"), utc);
    EXPECT_EQ(Date::parseISO8601("1970-01-01T00:00:00Z")->secondsSince1970, 0);
    EXPECT_EQ(Date::parseISO8601("1969-12-31T23:59:59Z")->secondsSince1970, -1);
    EXPECT_EQ(Date::parseISO8601("2024-02-29T00:00:00Z")->secondsSince1970, 1709164800);
    EXPECT_EQ(Date::parseISO8601("0000-01-01T00:00:00Z")->iso8601String(), "0000-01-01T00:00:00Z");
    EXPECT_EQ(Date::parseISO8601("9999-12-31T23:59:59Z")->iso8601String(), "9999-12-31T23:59:59Z");
}

TEST(Date, RejectsFractionsAndMalformedText) {
    for (const char* bad :
         {"2024-05-01T09:30:00.5Z", "2024-05-01T09:30:00", "2024-05-01 09:30:00Z", "2024-05-01t09:30:00z",
          "2024-13-01T09:30:00Z", "2023-02-29T00:00:00Z", "2024-04-31T00:00:00Z", "2024-05-01T24:00:00Z",
          "2024-05-01T09:60:00Z", "2024-05-01T09:30:60Z", "2024-05-01T09:30:00+2:00", "2024-05-01T09:30:00+02:0",
          "2024-05-01T09:30:00+24:00", "2024-05-01T09:30:00ZZ", "24-05-01T09:30:00Z", "2024-5-01T09:30:00Z",
          "2024-05-01T09:30:00+02:00x", "", "+024-05-01T09:30:00Z", "2024-05-00T09:30:00Z",
          "0000-01-01T00:00:00+01:00", "9999-12-31T23:59:59-00:01"})
        EXPECT_FALSE(Date::parseISO8601(bad)) << bad;
}

TEST(Date, WritesWholeSecondsInUtc) {
    EXPECT_EQ(Date{1714555800.999}.iso8601String(), "2024-05-01T09:30:00Z");
    EXPECT_EQ(Date{-0.5}.iso8601String(), "1969-12-31T23:59:59Z");
    EXPECT_EQ(Date{-62135596800}.iso8601String(), "0001-01-01T00:00:00Z");
    EXPECT_EQ(Date{253402300799}.iso8601String(), "9999-12-31T23:59:59Z");
    EXPECT_FALSE(Date{253402300800}.iso8601String());
    EXPECT_FALSE(Date{std::numeric_limits<double>::quiet_NaN()}.iso8601String());
    EXPECT_FALSE(Date{std::numeric_limits<double>::infinity()}.iso8601String());
    EXPECT_FALSE(Date{1e300}.iso8601String());
}

TEST(Date, EqualityKeepsFullPrecision) {
    EXPECT_NE(Date{10.25}, Date{10});
    EXPECT_LT(Date{10}, Date{10.25});
    const Date nan{std::numeric_limits<double>::quiet_NaN()};
    EXPECT_NE(nan, nan);
}

TEST(Date, CivilTimeInAnOffsetZone) {
    const Date d{1796500800};  // 2026-12-05T20:00:00Z
    EXPECT_EQ(d.civil(0), (CivilTime{2026, 12, 5, 20, 0, 0}));
    EXPECT_EQ(d.civil(5 * 3600), (CivilTime{2026, 12, 6, 1, 0, 0}));
    EXPECT_EQ(Date::fromCivil(d.civil(-3600), -3600), d);
}

}  // namespace
}  // namespace kestr
