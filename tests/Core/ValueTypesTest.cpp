// The small value types under the model.
#include <gtest/gtest.h>

#include <limits>

#include "Core/Date.h"
#include "Core/UnicodeText.h"
#include "Core/Uuid.h"
#include "Core/WholeNumber.h"

namespace kestr {
namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

TEST(Date, ReadsWholeSecondsWithOffsetsAndWritesUtc) {
    EXPECT_EQ(Date::parseISO8601("2024-05-01T11:30:00+02:00")->secondsSince1970, 1714555800);
    for (const char* bad : {"2024-05-01T09:30:00.5Z", "2024-05-01T09:30:00", "2024-05-01t09:30:00z",
                            "2023-02-29T00:00:00Z", "2024-04-31T00:00:00Z", "2024-05-01T24:00:00Z",
                            "2024-05-01T09:30:00+24:00", "", "0000-01-01T00:00:00+01:00"})
        EXPECT_FALSE(Date::parseISO8601(bad)) << bad;

    EXPECT_EQ(Date{1714555800.999}.iso8601String(), "2024-05-01T09:30:00Z");
    EXPECT_FALSE(Date{253402300800}.iso8601String());
    EXPECT_FALSE(Date{nan}.iso8601String());
    EXPECT_EQ(Date{1796500800}.civil(5 * 3600), (CivilTime{2026, 12, 6, 1, 0, 0}));  // 20:00Z
}

TEST(Uuid, ParsesEitherCaseAndRandomOnesAreVersionFour) {
    EXPECT_EQ(Uuid::parse("0f8e2c1a-9b3d-4e5f-a6b7-c8d9e0f1a2b3")->string(), "0F8E2C1A-9B3D-4E5F-A6B7-C8D9E0F1A2B3");
    EXPECT_FALSE(Uuid::parse("0F8E2C1A-9B3D-4E5F-A6B7C-8D9E0F1A2B3"));
    const Uuid random = Uuid::random();
    EXPECT_EQ(random.bytes[6] >> 4, 4);
    EXPECT_EQ(random.bytes[8] & 0xC0, 0x80);
}

// Saturating, never an undefined conversion.
TEST(WholeNumber, TruncatesTowardZeroAndSaturates) {
    EXPECT_EQ(truncatedWholeNumber(9223372036854774784.0), 9223372036854774784);
    EXPECT_EQ(truncatedWholeNumber(9223372036854775808.0), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(truncatedWholeNumber(-inf), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(truncatedWholeNumber(nan), 0);
    EXPECT_EQ(wholeNumberText(-inf), "-9223372036854775808");
}

TEST(UnicodeText, MatchesCanonicallyAndCaseSensitively) {
    const std::string composed = "caf\u00e9", decomposed = "cafe\u0301";
    EXPECT_TRUE(UnicodeText::contains("Le " + decomposed + " noir", composed + " noir"));
    EXPECT_FALSE(UnicodeText::contains(decomposed, "cafe")) << "a bare letter is not inside an accented one";
    EXPECT_TRUE(UnicodeText::equal(composed, decomposed));
    EXPECT_TRUE(UnicodeText::Regex::compile("Pro.ect \\d+")->findsMatch("my Project 12 — notes"));
    EXPECT_TRUE(UnicodeText::Regex::compile("\\p{Lu}\\w+")->findsMatch("\u00c9t\u00e9"));
    EXPECT_FALSE(UnicodeText::Regex::compile("(unclosed"));
    EXPECT_EQ(UnicodeText::characterCount("\U0001F468\u200D\U0001F469\u200D\U0001F467 x"), 3u);
    EXPECT_EQ(UnicodeText::characterPrefix(decomposed + "!", 4), decomposed);
}

}  // namespace
}  // namespace kestr
