#include <gtest/gtest.h>

#include "Layout/LayoutApplier.h"
#include "Layout/LayoutTestSupport.h"

namespace kestr {
namespace {

using test::nearlyEqual;
using Segments = std::vector<LayoutApplier::Segment>;

Segments pack(std::vector<double> starts, std::vector<double> sizes, std::vector<double> mins, double from,
              double to) {
    auto result = LayoutApplier::pack1D(starts, sizes, mins, from, to);
    EXPECT_TRUE(result.has_value());
    return result.value_or(Segments{});
}

TEST(Pack1D, LeavesSegmentsThatFitAlone) {
    EXPECT_FALSE(LayoutApplier::pack1D({}, {}, {}, 0, 1000));
    EXPECT_FALSE(LayoutApplier::pack1D({100}, {800}, {120}, 0, 1000));
    // Touching, or overlapping / sticking out by at most half a point, still fits.
    EXPECT_FALSE(LayoutApplier::pack1D({0, 299.6}, {300, 300}, {120, 120}, 0, 1000));
    EXPECT_FALSE(LayoutApplier::pack1D({-0.5, 500}, {300, 500.5}, {120, 120}, 0, 1000));
}

TEST(Pack1D, ShrinksOverlappingSegmentsInProportionToTheirSlack) {
    EXPECT_EQ(pack({0, 500}, {600, 600}, {120, 120}, 0, 1000), (Segments{{0, 500}, {500, 500}}));
    EXPECT_EQ(pack({25, 500}, {500, 500}, {120, 120}, 25, 900), (Segments{{25, 437.5}, {462.5, 437.5}}));
    // Slack 300 and 100: the cut of 200 is shared 3 to 1.
    EXPECT_EQ(pack({0, 400}, {600, 300}, {300, 200}, 0, 700), (Segments{{0, 450}, {450, 250}}));
}

TEST(Pack1D, StopsAtTheMinimumsAndStartsAtTheAvailableStart) {
    EXPECT_EQ(pack({0, 100}, {150, 150}, {120, 120}, 0, 200), (Segments{{0, 120}, {120, 120}}));
    EXPECT_EQ(pack({50, 100}, {150, 150}, {120, 120}, 0, 200), (Segments{{0, 120}, {120, 120}}));
}

TEST(Pack1D, ClosesGapsAndPullsARunBackInsideTheEnd) {
    EXPECT_EQ(pack({0, 800}, {300, 300}, {120, 120}, 0, 1000), (Segments{{0, 300}, {300, 300}}));
    EXPECT_EQ(pack({900}, {300}, {120}, 0, 1000), (Segments{{700, 300}}));
    EXPECT_EQ(pack({200}, {1200}, {120}, 0, 1000), (Segments{{0, 1000}}));
}

TEST(Pack1D, AnswersInInputOrder) {
    EXPECT_EQ(pack({500, 0}, {600, 600}, {120, 120}, 0, 1000), (Segments{{500, 500}, {0, 500}}));
}

class ColumnReflow : public ::testing::Test {
protected:
    Uuid add(Rect local, const std::string& bundleID = "com.example.app") {
        const Uuid id = Uuid::random();
        placements[id] = LayoutApplier::Placement{1, "D", bundleID, local};
        ids.push_back(id);
        return id;
    }
    Rect at(const Uuid& id) const { return placements.at(id).local; }
    void reflow() { LayoutApplier::reflowColumns(placements, ids, visible); }

    LayoutApplier::Placements placements;
    std::vector<Uuid> ids;
    Rect visible{0, 25, 1440, 875};
};

TEST_F(ColumnReflow, WindowsThatFitComeBackExactly) {
    const auto a = add({0, 25, 720, 875});
    const auto b = add({720, 25, 720, 875});
    reflow();
    EXPECT_EQ(at(a), Rect(0, 25, 720, 875));
    EXPECT_EQ(at(b), Rect(720, 25, 720, 875));
}

TEST_F(ColumnReflow, StackedWindowsShareTheColumnHeight) {
    const auto lower = add({0, 400, 700, 600});
    const auto upper = add({0, 25, 700, 600});
    reflow();
    EXPECT_TRUE(nearlyEqual(at(upper), Rect(0, 25, 700, 437.5)));
    EXPECT_TRUE(nearlyEqual(at(lower), Rect(0, 462.5, 700, 437.5)));
}

TEST_F(ColumnReflow, ARowIsPackedFromItsOwnLeftmostWindow) {
    const auto a = add({100, 25, 800, 600});
    const auto b = add({150, 50, 800, 600});
    reflow();
    EXPECT_TRUE(nearlyEqual(at(a), Rect(100, 25, 670, 600)));
    EXPECT_TRUE(nearlyEqual(at(b), Rect(770, 50, 670, 600)));
}

TEST_F(ColumnReflow, AWindowOverTwoColumnsJoinsTheFirstFormed) {
    const auto a = add({0, 25, 600, 400});
    const auto b = add({310, 25, 580, 400});  // overlaps a by half its width: own column
    const auto c = add({320, 500, 300, 300});  // overlaps both by more than half
    reflow();
    // With c, the first column reaches to 620, so the second column is moved there.
    EXPECT_EQ(at(a), Rect(0, 25, 600, 400));
    EXPECT_EQ(at(c), Rect(320, 500, 300, 300));
    EXPECT_EQ(at(b), Rect(620, 25, 580, 400));
}

TEST_F(ColumnReflow, ColumnsAreScaledTogetherWithTheirWindows) {
    // Two columns of 1000 points each on 1440: both shrink to 720, members scaled.
    const auto left = add({0, 25, 1000, 400});
    const auto leftBelow = add({500, 500, 500, 400});
    const auto right = add({1000, 25, 1000, 875});
    reflow();
    EXPECT_TRUE(nearlyEqual(at(left), Rect(0, 25, 720, 400)));
    EXPECT_TRUE(nearlyEqual(at(leftBelow), Rect(360, 500, 360, 400)));
    EXPECT_TRUE(nearlyEqual(at(right), Rect(720, 25, 720, 875)));
}

TEST_F(ColumnReflow, ASingleColumnIsNotPackedSideways) {
    const auto a = add({1000, 25, 600, 400});
    reflow();
    EXPECT_TRUE(nearlyEqual(at(a), Rect(1000, 25, 600, 400)));
}

TEST_F(ColumnReflow, MinimumSizesBoundTheShrinking) {
    visible = Rect(0, 25, 800, 875);
    const auto a = add({0, 25, 500, 400}, "com.apple.finder");
    const auto b = add({500, 25, 500, 400}, "com.apple.finder");
    const auto c = add({1000, 25, 500, 400}, "com.apple.finder");
    reflow();
    // No way to fit three 316-point Finder windows into 800: they start at the left
    // edge and run past the right one.
    EXPECT_TRUE(nearlyEqual(at(a), Rect(0, 25, 316, 400)));
    EXPECT_TRUE(nearlyEqual(at(b), Rect(316, 25, 316, 400)));
    EXPECT_TRUE(nearlyEqual(at(c), Rect(632, 25, 316, 400)));
}

}  // namespace
}  // namespace kestr
