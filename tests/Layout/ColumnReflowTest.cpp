#include <gtest/gtest.h>

#include "Layout/ColumnReflow.h"
#include "Layout/LayoutTestSupport.h"

namespace kestr {
namespace {

using test::nearlyEqual;

class ColumnReflow : public ::testing::Test {
protected:
    Uuid add(Rect local, const std::string& bundleID = "com.example.app") {
        const Uuid id = Uuid::random();
        placements[id] = LayoutApplier::Placement{1, "D", bundleID, local};
        ids.push_back(id);
        return id;
    }
    Rect at(const Uuid& id) const { return placements.at(id).local; }
    void reflow() { kestr::ColumnReflow::reflowColumns(placements, ids, visible); }

    LayoutApplier::Placements placements;
    std::vector<Uuid> ids;
    Rect visible{0, 25, 1440, 875};
};

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

TEST_F(ColumnReflow, MinimumSizesBoundTheShrinking) {
    visible = Rect(0, 25, 800, 875);
    const auto a = add({0, 25, 500, 400}, "com.apple.finder");
    const auto b = add({500, 25, 500, 400}, "com.apple.finder");
    const auto c = add({1000, 25, 500, 400}, "com.apple.finder");
    reflow();
    // Three 316-point Finder windows cannot fit into 800: they run past the right edge.
    EXPECT_TRUE(nearlyEqual(at(a), Rect(0, 25, 316, 400)));
    EXPECT_TRUE(nearlyEqual(at(b), Rect(316, 25, 316, 400)));
    EXPECT_TRUE(nearlyEqual(at(c), Rect(632, 25, 316, 400)));
}

}  // namespace
}  // namespace kestr
