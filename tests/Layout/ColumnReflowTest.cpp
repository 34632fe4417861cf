#include <gtest/gtest.h>

#include "Layout/ColumnReflow.h"
#include "Layout/LayoutTestSupport.h"

namespace kestr {
namespace {

using test::nearlyEqual;

class ColumnReflowTest : public ::testing::Test {
protected:
    Uuid add(Rect local, const std::string& bundleID = "com.example.app") {
        const Uuid id = Uuid::random();
        placements[id] = LayoutApplier::Placement{1, "D", bundleID, local};
        ids.push_back(id);
        return id;
    }
    Rect at(const Uuid& id) const { return placements.at(id).local; }
    void reflow() { ColumnReflow::reflowColumns(placements, ids, visible); }

    LayoutApplier::Placements placements;
    std::vector<Uuid> ids;
    Rect visible{0, 25, 1440, 875};
};

TEST_F(ColumnReflowTest, ColumnsAreScaledTogetherWithTheirWindows) {
    // Two columns of 1000 points each on 1440: both shrink to 720, members scaled.
    const auto left = add({0, 25, 1000, 400});
    const auto leftBelow = add({500, 500, 500, 400});
    const auto right = add({1000, 25, 1000, 875});
    reflow();
    EXPECT_TRUE(nearlyEqual(at(left), Rect(0, 25, 720, 400)));
    EXPECT_TRUE(nearlyEqual(at(leftBelow), Rect(360, 500, 360, 400)));
    EXPECT_TRUE(nearlyEqual(at(right), Rect(720, 25, 720, 875)));
}

TEST_F(ColumnReflowTest, MinimumSizesBoundTheShrinking) {
    visible = Rect(0, 25, 800, 875);
    const auto a = add({0, 25, 500, 400}, "com.apple.finder");
    const auto b = add({500, 25, 500, 400}, "com.apple.finder");
    const auto c = add({1000, 25, 500, 400}, "com.apple.finder");
    reflow();
    // Three 316-point Finder windows cannot fit into 800: they overlap evenly, the last
    // ending at the right edge.
    EXPECT_TRUE(nearlyEqual(at(a), Rect(0, 25, 316, 400)));
    EXPECT_TRUE(nearlyEqual(at(b), Rect(242, 25, 316, 400)));
    EXPECT_TRUE(nearlyEqual(at(c), Rect(484, 25, 316, 400)));
}

TEST_F(ColumnReflowTest, WindowsOverlappingByExactlyHalfStandInColumnsOfTheirOwn) {
    // 400 of 800 points in common is not more than half: two columns, packed side by side.
    const auto a = add({0, 25, 800, 400});
    const auto b = add({400, 500, 800, 400});
    reflow();
    EXPECT_TRUE(nearlyEqual(at(a), Rect(0, 25, 720, 400)));
    EXPECT_TRUE(nearlyEqual(at(b), Rect(720, 500, 720, 400)));
}

using Segments = std::vector<ColumnReflow::Segment>;

TEST(Pack1D, WithinHalfAPointCountsAsFittingAndNothingMoves) {
    EXPECT_EQ(ColumnReflow::pack1D({0, 500.5}, {501, 400}, {120, 120}, 0, 1440), std::nullopt);
    EXPECT_EQ(ColumnReflow::pack1D({-0.5}, {1440.5}, {120}, 0, 1440), std::nullopt);
    // Past the half point they are laid out again, gap-free from the first start.
    EXPECT_EQ(ColumnReflow::pack1D({0, 500.25}, {501, 400}, {120, 120}, 0, 1440), (Segments{{0, 501}, {501, 400}}));
}

TEST(Pack1D, ShrinkingKeepsCuttingUntilTheRunFits) {
    // Saved frames near the limits of a double: one proportional cut leaves the sum,
    // rounded, points over the room; the further passes take the rest off.
    const double first = 1e16 + 3;
    const auto packed = ColumnReflow::pack1D({0, first}, {first, 7e16 + 7}, {120, 120}, 0, 1e16);
    ASSERT_TRUE(packed);
    const auto& last = packed->back();
    EXPECT_LE(last.start + last.size, 1e16 + 0.5);
    EXPECT_EQ(packed->front().start, 0);
}

}  // namespace
}  // namespace kestr
