// Parsing what the read scripts report, on well-formed and malformed replies.
#include <gtest/gtest.h>

#include <limits>

#include "Layout/WindowContentReader.h"

namespace kestr {
namespace {

using Content = WindowContentReader::WindowContent;

TEST(WindowContentParseTest, ReadsAFinderLine) {
    const auto entries = WindowContentReader::parse("0,25,800,600\t200\t/Users/a/Documents/\n", true);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].frame, Rect(0, 25, 800, 575));
    EXPECT_EQ(entries[0].sidebarWidth, 200);
    EXPECT_EQ(entries[0].value, "/Users/a/Documents/");
    EXPECT_TRUE(entries[0].tabs.empty());
    EXPECT_EQ(entries[0].activeTabIndex, 0);
}

TEST(WindowContentParseTest, FinderSidebarWidthsAndPaths) {
    const auto entries = WindowContentReader::parse(
        "1,2,3,4\t-1\t/a\n"
        "1,2,3,4\t0\t\n"
        "1,2,3,4\t +12 \t/with\ttab\tinside\n"
        "1,2,3,4\t12px\t/b\n"
        "1,2,3,4\t99999999999999999999\t/c\n"
        "\n\n"
        "1,2,3,4\t/only two fields\n",
        true);
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(entries[0].sidebarWidth, std::nullopt);
    EXPECT_EQ(entries[1].sidebarWidth, 0);
    EXPECT_EQ(entries[1].value, "");
    EXPECT_EQ(entries[2].sidebarWidth, 12);
    EXPECT_EQ(entries[2].value, "/with\ttab\tinside");
    EXPECT_EQ(entries[3].sidebarWidth, std::nullopt);
    EXPECT_EQ(entries[4].sidebarWidth, std::nullopt);
    EXPECT_EQ(entries[5].sidebarWidth, std::nullopt);
    EXPECT_EQ(entries[5].value, "/only two fields");
}

TEST(WindowContentParseTest, WithoutSidebarTheSecondFieldIsTheValue) {
    const auto entries = WindowContentReader::parse("1,2,3,4\t200\t/a\n", false);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].sidebarWidth, std::nullopt);
    EXPECT_EQ(entries[0].value, "200\t/a");
}

TEST(WindowContentParseTest, BoundsNeedExactlyFourNumbers) {
    const auto entries = WindowContentReader::parse(
        "1, 2,x,3,4\t5\t/kept\n"
        "1,2,3\t5\t/short\n"
        "1,2,3,4,5\t5\t/long\n"
        "-10.5,,20,1e2,40\t5\t/empty piece\n"
        "no tabs here\n"
        "\t\t\n",
        true);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].frame, Rect(1, 2, 2, 2));
    EXPECT_EQ(entries[0].value, "/kept");
    EXPECT_EQ(entries[1].frame, Rect(-10.5, 20, 110.5, 20));
}

TEST(WindowContentParseTest, ReadsChromeLines) {
    const auto entries = WindowContentReader::parseChrome(
        "0,0,100,100\t5\ta\x1f" "b\x1f" "c\n"
        "0,0,100,100\t0\ta\x1f" "b\n"
        "0,0,100,100\t2\ta\x1f\x1f" "c\n"
        "0,0,100,100\tx\ta\x1f" "b\n"
        "0,0,100,100\t1\t\n");
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].tabs, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(entries[0].activeTabIndex, 2);
    EXPECT_EQ(entries[0].value, "c");
    EXPECT_EQ(entries[1].activeTabIndex, 0);
    EXPECT_EQ(entries[1].value, "a");
    EXPECT_EQ(entries[2].tabs, (std::vector<std::string>{"a", "", "c"}));
    EXPECT_EQ(entries[2].value, "");
    EXPECT_EQ(entries[3].activeTabIndex, 0);
    EXPECT_TRUE(entries[4].tabs.empty());
    EXPECT_EQ(entries[4].value, "");
    EXPECT_EQ(entries[4].activeTabIndex, 0);
    for (const auto& e : entries) EXPECT_EQ(e.sidebarWidth, std::nullopt);
}

TEST(WindowContentParseTest, MalformedChromeRepliesNeverCrash) {
    const auto entries = WindowContentReader::parseChrome(
        "0,0,100,100\thttps://only-two-fields\n"
        "0,0,100,100\t-9223372036854775808\ta\x1f" "b\n"
        "0,0,100,100\t9223372036854775807\ta\x1f" "b\n"
        "0,0,100,100\t99999999999999999999999\ta\n"
        "nan,inf,-inf,1\t1\ta\n"
        "\x1f\t\x1f\t\x1f\n");
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].activeTabIndex, 0);
    EXPECT_EQ(entries[1].activeTabIndex, 1);
    EXPECT_EQ(entries[1].value, "b");
    EXPECT_EQ(entries[2].activeTabIndex, 0);
    EXPECT_EQ(entries[3].value, "a");
}

TEST(WindowContentParseTest, BestMatchIsNearestWithinToleranceFirstOnTies) {
    std::vector<Content> entries(3);
    entries[0].frame = Rect(10, 0, 50, 50);
    entries[0].value = "first";
    entries[1].frame = Rect(0, 10, 50, 50);
    entries[1].value = "second";
    entries[2].frame = Rect(200, 0, 50, 50);
    const Rect frame(0, 0, 80, 80);
    EXPECT_EQ(WindowContentReader::bestMatchEntry(frame, entries, 24.0)->value, "first");

    std::vector<Content> edge(2);
    edge[0].frame = Rect(24.1, 0, 1, 1);
    edge[0].value = "too far";
    edge[1].frame = Rect(0, 24.0, 1, 1);
    edge[1].value = "at the tolerance";
    EXPECT_EQ(WindowContentReader::bestMatchEntry(frame, edge, 24.0)->value, "at the tolerance");
    edge.pop_back();
    EXPECT_EQ(WindowContentReader::bestMatchEntry(frame, edge, 24.0), std::nullopt);
    EXPECT_EQ(WindowContentReader::bestMatchEntry(frame, {}, 24.0), std::nullopt);

    std::vector<Content> odd(1);
    odd[0].frame = Rect(std::numeric_limits<double>::quiet_NaN(), 0, 1, 1);
    EXPECT_EQ(WindowContentReader::bestMatchEntry(frame, odd, 24.0), std::nullopt);
}

}  // namespace
}  // namespace kestr
