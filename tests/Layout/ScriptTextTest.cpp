#include "Layout/ScriptText.h"

#include <gtest/gtest.h>

#include <limits>

namespace kestr {
namespace {

TEST(ScriptTextTest, EscapesBackslashesThenQuotesAndNothingElse) {
    EXPECT_EQ(ScriptText::escaped("a\"b\\"), "a\\\"b\\\\");
    EXPECT_EQ(ScriptText::escaped("\\\""), "\\\\\\\"");
    EXPECT_EQ(ScriptText::escaped("line\nbreak\ttab"), "line\nbreak\ttab");
    EXPECT_EQ(ScriptText::quoted("x\"y"), "\"x\\\"y\"");
}

TEST(ScriptTextTest, ShellQuotesSingleQuotes) {
    EXPECT_EQ(ScriptText::shellQuoted("it's"), "'it'\\''s'");
    EXPECT_EQ(ScriptText::shellQuoted("/a b/$HOME"), "'/a b/$HOME'");
    EXPECT_EQ(ScriptText::shellQuoted(""), "''");
}

TEST(ScriptTextTest, AcceptsOnlyReverseDNSBundleIdentifiers) {
    EXPECT_TRUE(ScriptText::isSafeBundleID("com.google.Chrome.app.abc-123"));
    EXPECT_FALSE(ScriptText::isSafeBundleID(""));
    EXPECT_FALSE(ScriptText::isSafeBundleID("com.x\" to do shell script \"touch /tmp/p"));
    EXPECT_FALSE(ScriptText::isSafeBundleID("com.x\\"));
    EXPECT_FALSE(ScriptText::isSafeBundleID("com.x\nend tell"));
    EXPECT_FALSE(ScriptText::isSafeBundleID("com.ex ample"));
    EXPECT_FALSE(ScriptText::isSafeBundleID("com.\xc3\xa9xample"));
}

TEST(ScriptTextTest, RoundsHalvesAwayFromZeroAndSaturates) {
    EXPECT_EQ(ScriptText::roundedWholeNumber(10.5), "11");
    EXPECT_EQ(ScriptText::roundedWholeNumber(-20.5), "-21");
    EXPECT_EQ(ScriptText::roundedWholeNumber(110.4), "110");
    EXPECT_EQ(ScriptText::roundedWholeNumber(std::numeric_limits<double>::quiet_NaN()), "0");
    EXPECT_EQ(ScriptText::roundedWholeNumber(std::numeric_limits<double>::infinity()), "9223372036854775807");
}

TEST(ScriptTextTest, TrimsOnlySpacesAndTabs) {
    EXPECT_EQ(ScriptText::trimmedSpacesAndTabs(" \t x y \t"), "x y");
    EXPECT_EQ(ScriptText::trimmedSpacesAndTabs("\nx\n"), "\nx\n");
    EXPECT_EQ(ScriptText::trimmedSpacesAndTabs(" \t "), "");
}

}  // namespace
}  // namespace kestr
