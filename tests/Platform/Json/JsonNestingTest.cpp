#include "Platform/Json/JsonNesting.h"

#include <gtest/gtest.h>

#include <string>

namespace kestr {
namespace {

std::string nested(int depth) { return std::string(depth, '[') + std::string(depth, ']'); }

TEST(JsonNestingTest, CountsBracketsOutsideStringsOnly) {
    EXPECT_FALSE(JsonNesting::exceedsLimit(nested(JsonNesting::limit)));
    EXPECT_TRUE(JsonNesting::exceedsLimit(nested(JsonNesting::limit + 1)));
    EXPECT_TRUE(JsonNesting::exceedsLimit("{\"a\": " + nested(JsonNesting::limit) + "}"));

    // Brackets in strings, after escaped quotes and after escaped backslashes, do not count;
    // a quote after an even run of backslashes closes its string.
    const std::string inString = "\"" + std::string(JsonNesting::limit + 1, '[') + "\"";
    EXPECT_FALSE(JsonNesting::exceedsLimit("[" + inString + "]"));
    EXPECT_FALSE(JsonNesting::exceedsLimit(R"(["a\"[[[", "b\\\"[[["])" + inString));
    EXPECT_TRUE(JsonNesting::exceedsLimit(R"(["a\\")" + nested(JsonNesting::limit)));
    EXPECT_TRUE(JsonNesting::exceedsLimit(R"(["\\\\", )" + nested(JsonNesting::limit)));
    EXPECT_FALSE(JsonNesting::exceedsLimit(R"(["\\\"", )" + nested(JsonNesting::limit - 1) + "]"));
    // A string that never closes hides the rest.
    EXPECT_FALSE(JsonNesting::exceedsLimit("[\"" + nested(JsonNesting::limit + 1)));
    EXPECT_FALSE(JsonNesting::exceedsLimit(""));
}

}  // namespace
}  // namespace kestr
