#include "Core/UnicodeText.h"

#include <gtest/gtest.h>

namespace kestr {
namespace {

const std::string composedE = "caf\u00e9";     // é as one code point
const std::string decomposedE = "cafe\u0301";  // e + combining acute

TEST(UnicodeTextTest, ContainsIsCaseSensitiveAndCanonical) {
    EXPECT_TRUE(UnicodeText::contains("Inbox (3)", "Inbox"));
    EXPECT_FALSE(UnicodeText::contains("Inbox (3)", "inbox"));
    EXPECT_TRUE(UnicodeText::contains("Le " + composedE, decomposedE));
    EXPECT_TRUE(UnicodeText::contains("Le " + decomposedE + " noir", composedE + " noir"));
    // A bare letter is not found inside a letter with an accent.
    EXPECT_FALSE(UnicodeText::contains(decomposedE, "cafe"));
    EXPECT_FALSE(UnicodeText::contains("anything", ""));
    EXPECT_FALSE(UnicodeText::contains("", ""));
}

TEST(UnicodeTextTest, EqualityIsWholeTextCanonicalAndCaseSensitive) {
    EXPECT_TRUE(UnicodeText::equal(composedE, decomposedE));
    EXPECT_FALSE(UnicodeText::equal("Caf\u00e9", decomposedE));
    EXPECT_FALSE(UnicodeText::equal(composedE + " ", composedE));
    EXPECT_TRUE(UnicodeText::equal("", ""));
}

TEST(UnicodeTextTest, RegexFindsUnanchoredMatchesAndRejectsBadPatterns) {
    const auto regex = UnicodeText::Regex::compile("Pro.ect \\d+");
    ASSERT_TRUE(regex);
    EXPECT_TRUE(regex->findsMatch("my Project 12 — notes"));
    EXPECT_FALSE(regex->findsMatch("my project 12"));
    EXPECT_TRUE(UnicodeText::Regex::compile("\\p{Lu}\\w+")->findsMatch("\u00c9t\u00e9"));
    EXPECT_FALSE(UnicodeText::Regex::compile("(unclosed"));
    EXPECT_FALSE(UnicodeText::Regex::compile("[z-a]"));
}

TEST(UnicodeTextTest, CountsAndCutsCharactersAsAPersonSeesThem) {
    EXPECT_EQ(UnicodeText::characterCount(decomposedE), 4u);
    EXPECT_EQ(UnicodeText::characterCount("\U0001F468\u200D\U0001F469\u200D\U0001F467 x"), 3u);
    EXPECT_EQ(UnicodeText::characterPrefix(decomposedE + "!", 4), decomposedE);
    EXPECT_EQ(UnicodeText::characterPrefix("Mail", 0), "");
    EXPECT_EQ(UnicodeText::characterPrefix("Mail", 10), "Mail");
}

}  // namespace
}  // namespace kestr
