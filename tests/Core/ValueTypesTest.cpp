// The small value types under the model.
#include <gtest/gtest.h>

#include <limits>

#include "Core/UnicodeText.h"
#include "Core/Uuid.h"
#include "Core/WholeNumber.h"
#include "Platform/Date.h"

namespace kestr {
namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

TEST(Date, ReadsWholeSecondsWithOffsetsAndWritesUtc) {
    EXPECT_EQ(Date::parseISO8601("2024-05-01T11:30:00+02:00")->secondsSince1970, 1714555800);
    for (const char* bad :
         {"2024-05-01T09:30:00.5Z", "2024-05-01T09:30:00", "2024-05-01t09:30:00z", "2023-02-29T00:00:00Z",
          "2024-04-31T00:00:00Z", "2024-05-01T24:00:00Z", "2024-05-01T09:30:00+24:00", "", "0000-01-01T00:00:00+01:00"})
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
    EXPECT_EQ(UnicodeText::canonicalForm(composed), UnicodeText::canonicalForm(decomposed));
    using Search = UnicodeText::Regex::Search;
    EXPECT_EQ(UnicodeText::Regex::compile("Pro.ect \\d+")->search("my Project 12 — notes"), Search::found);
    EXPECT_EQ(UnicodeText::Regex::compile("\\p{Lu}\\w+")->search("\u00c9t\u00e9"), Search::found);
    EXPECT_EQ(UnicodeText::Regex::compile("^\\d")->search("a1"), Search::notFound);
    // Exponential backtracking would run for minutes on this title.
    EXPECT_EQ(UnicodeText::Regex::compile("(.*)*(.*)*(.*)*X")->search(std::string(40, 'a')), Search::gaveUp);
    EXPECT_FALSE(UnicodeText::Regex::compile("(unclosed"));
    EXPECT_EQ(UnicodeText::characterCount("\U0001F468\u200D\U0001F469\u200D\U0001F467 x"), 3u);
    EXPECT_EQ(UnicodeText::characterPrefix(decomposed + "!", 4), decomposed);
}

bool equivalent(const std::string& a, const std::string& b) {
    const auto formA = UnicodeText::canonicalForm(a);
    return formA && formA == UnicodeText::canonicalForm(b);
}

std::string repeated(const std::string& part, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count; ++i) out += part;
    return out;
}

TEST(UnicodeText, CanonicalFormsOrderMarksByClassAndKeepTheOrderWithinOne) {
    const std::string acute = "\u0301", grave = "\u0300", graveBelow = "\u0316";  // classes 230, 230, 220
    EXPECT_TRUE(equivalent("a" + acute + graveBelow, "a" + graveBelow + acute));
    EXPECT_TRUE(equivalent("\u00e1" + graveBelow, "a" + graveBelow + acute)) << "a precomposed letter opens";
    EXPECT_FALSE(equivalent("a" + acute + grave, "a" + grave + acute)) << "marks of one class keep their order";
    EXPECT_TRUE(equivalent("\u212b", "A\u030a")) << "a singleton decomposes";
    EXPECT_TRUE(equivalent("\ud55c", "\u1112\u1161\u11ab")) << "Hangul syllables decompose";
    EXPECT_FALSE(equivalent("Work", "work"));
    EXPECT_FALSE(equivalent("a" + acute, "a" + acute + "b"));

    // Runs long enough to be sorted by counting, not insertion.
    EXPECT_TRUE(equivalent("a" + repeated(acute + graveBelow, 1000) + "b",
                           "a" + repeated(graveBelow, 1000) + repeated(acute, 1000) + "b"));
    EXPECT_FALSE(equivalent("a" + repeated(acute + grave, 1000), "a" + repeated(acute + grave, 999) + grave + acute));
    const std::string hostile = "a" + repeated(acute + graveBelow, 400000);
    EXPECT_EQ(UnicodeText::canonicalForm(hostile)->substr(0, 3), U"a\u0316\u0316");
    EXPECT_TRUE(equivalent(hostile, "a" + repeated(graveBelow + acute, 400000)));
}

// Titles are matched composed, as a person reads them: whole characters, in whichever
// spelling, however many marks a character carries.
TEST(UnicodeText, TitlesWithManyCombiningMarksMatchWholeCharacters) {
    const std::string acute = "\u0301", graveBelow = "\u0316", cedilla = "\u0327";  // classes 230, 220, 202
    const std::string marks = repeated(acute + graveBelow, 100000);
    const std::string title = "Report a" + marks + " draft";
    EXPECT_TRUE(UnicodeText::contains(title, "a" + repeated(graveBelow, 100000) + repeated(acute, 100000) + " draft"))
        << "the marks in canonical order";
    EXPECT_TRUE(UnicodeText::contains(title, "Report \u00e1" + repeated(graveBelow, 100000) + repeated(acute, 99999)))
        << "precomposed";
    EXPECT_FALSE(UnicodeText::contains(title, "Report \u00e1" + repeated(graveBelow, 100000)))
        << "ending inside the character";
    EXPECT_FALSE(UnicodeText::contains(title, "Report a")) << "a bare letter is not inside an accented one";
    EXPECT_FALSE(UnicodeText::contains(title, "\u00e1" + graveBelow + " draft"));
    EXPECT_TRUE(UnicodeText::contains(title, " draft"));

    // Composition follows the blocking rule: a mark of the same class stops the next one.
    EXPECT_TRUE(UnicodeText::contains("Fa" + cedilla + acute + "t", "F\u00e1" + cedilla + "t"));
    EXPECT_TRUE(UnicodeText::contains("x\u1112\u1161\u11ab", "\ud55c")) << "Hangul jamo compose";
    EXPECT_FALSE(UnicodeText::contains("\u1112\u1161\u11ab", "\u1112\u1161")) << "inside a syllable";
    EXPECT_TRUE(UnicodeText::contains("\u212b ngstr\u00f6m", "\u00c5 ngstro\u0308m")) << "singletons decompose";
    EXPECT_TRUE(UnicodeText::contains("a\xff b", "\xff b")) << "bytes that are not UTF-8 match themselves";
    EXPECT_TRUE(UnicodeText::contains("abaabaabab", "abab")) << "a match after partial ones";
}

// Names shown beside other text: directional overrides, controls and line separators become marks, and
// the whole is isolated, whatever script it is written in.
TEST(UnicodeText, NamesForDisplayAreIsolatedWithTheirControlsMarked) {
    EXPECT_EQ(UnicodeText::isolatedForDisplay("Work"), "\u2068Work\u2069");
    EXPECT_EQ(UnicodeText::isolatedForDisplay("\u202Eevil"), "\u2068\uFFFDevil\u2069");
    EXPECT_EQ(UnicodeText::isolatedForDisplay("a\tb\x7f\u2066c\u2069\u0085"),
              "\u2068a\uFFFDb\uFFFD\uFFFDc\uFFFD\uFFFD\u2069");
    EXPECT_EQ(UnicodeText::isolatedForDisplay("\u05E9\u05DC\u05D5\u05DD 2"), "\u2068\u05E9\u05DC\u05D5\u05DD 2\u2069");
    EXPECT_EQ(UnicodeText::isolatedForDisplay("x\xff"), "\u2068x\uFFFD\u2069");
    EXPECT_EQ(UnicodeText::isolatedForDisplay("line\u2028paragraph\u2029end"),
              "\u2068line\uFFFDparagraph\uFFFDend\u2069")
        << "the line and paragraph separators break a line as a line feed does";
}

TEST(UnicodeText, BytesThatAreNotUTF8HaveNoCanonicalForm) {
    EXPECT_EQ(UnicodeText::canonicalForm("\xef\xbf\xbd"), std::u32string(U"\ufffd"));
    // A stray byte, a surrogate, an overlong slash, a cut sequence, a code point past U+10FFFF.
    for (const std::string bad : {"\xff", "a\xed\xa0\x80", "\xc0\xaf", "x\xe2\x82", "\xf4\x90\x80\x80"})
        EXPECT_FALSE(UnicodeText::canonicalForm(bad)) << bad;
}

}  // namespace
}  // namespace kestr
