#include "Layout/ScriptText.h"

#include <gtest/gtest.h>

#include <limits>

namespace kestr {
namespace {

TEST(ScriptTextTest, QuotingAndBundleIdentifiers) {
    EXPECT_EQ(ScriptText::quoted("a\"b\\\n"), "\"a\\\"b\\\\\n\"");
    EXPECT_EQ(ScriptText::shellQuoted("it's $HOME"), "'it'\\''s $HOME'");
    EXPECT_TRUE(ScriptText::isSafeBundleID("com.google.Chrome.app.abc-123"));
    for (const char* hostile : {"", "com.x\" to do shell script \"touch /tmp/p", "com.x\\", "com.x\nend tell",
                                "com.ex ample", "com.\xc3\xa9xample"})
        EXPECT_FALSE(ScriptText::isSafeBundleID(hostile)) << hostile;
}

TEST(ScriptTextTest, RoundsHalvesAwayFromZeroAndSaturates) {
    EXPECT_EQ(ScriptText::roundedWholeNumber(-20.5), "-21");
    EXPECT_EQ(ScriptText::roundedWholeNumber(std::numeric_limits<double>::quiet_NaN()), "0");
    EXPECT_EQ(ScriptText::roundedWholeNumber(std::numeric_limits<double>::infinity()), "9223372036854775807");
}

}  // namespace
}  // namespace kestr
