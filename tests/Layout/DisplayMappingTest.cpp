#include <gtest/gtest.h>

#include "Layout/PlacementPlanner.h"
#include "Layout/LayoutTestSupport.h"
#include "Support/SimTest.h"

namespace kestr {
namespace {

using namespace test;
using Mapping = std::map<std::string, DisplayID>;

constexpr auto kTarget = LayoutApplier::FrameSource::target;

Mapping mapping(const std::vector<LayoutItem>& items, DisplayID anchor) {
    return PlacementPlanner::displayMapping(items, kTarget, anchor, DisplaySnapshot::read(items, anchor));
}

class DisplayMapping : public test::SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        addDisplay(*sim, 1, kMain, Rect(0, 0, 1440, 900));
        addDisplay(*sim, 2, kSecond, Rect(1440, 0, 1920, 1080));
    }
};

TEST_F(DisplayMapping, ThreeSavedDisplaysOntoTwoLiveOnes) {
    // Listed out of order: the origins decide.
    const std::vector<LayoutItem> items{item(recorded(frame(kGoneRight, 0, 25, 720, 875), 1920)),
                                        item(recorded(frame(kGone, 0, 25, 720, 875), 0)),
                                        item(recorded(frame(kGoneLeft, 0, 25, 720, 875), -1920))};
    EXPECT_EQ(mapping(items, 2), (Mapping{{kGoneLeft, 1}, {kGone, 2}, {kGoneRight, 2}}));

}

TEST_F(DisplayMapping, ADisplayWithoutAreaCountsAsNotConnected) {
    // The right display is asleep: its bounds have no area.
    sim->world().displays[1].bounds = Rect(1440, 0, 0, 0);
    const std::vector<LayoutItem> items{item(frame(kMain, 0, 25, 500, 500)), item(frame(kSecond, 100, 50, 600, 400)),
                                        item(frame(kSecond, 800, 60, 500, 700))};
    // Its frames are read against their own bounding box, not an infinite area.
    const DisplaySnapshot displays = DisplaySnapshot::read(items);
    const auto regions = PlacementPlanner::computeSourceRegions(items, kTarget, displays);
    EXPECT_EQ(regions.at(kSecond), Rect(100, 50, 1200, 710));

    // Without an anchor its items go to the main display, each counted.
    LayoutApplier::ApplyReport report;
    const auto placements = PlacementPlanner::computeTargetFrames(items, kTarget, regions, std::nullopt, displays, report);
    EXPECT_EQ(placements.at(items[1].id).targetID, 1u);
    EXPECT_EQ(placements.at(items[2].id).targetID, 1u);
    EXPECT_EQ(report.fellBackToMainDisplay, 2);

    // The mapping never sends a saved display to it, nor takes it as the anchor's place.
    EXPECT_EQ(mapping(items, 2), (Mapping{{kMain, 1}, {kSecond, 1}}));

    sim->world().displays[0].bounds = Rect(0, 0, 0, 0);
    EXPECT_TRUE(mapping(items, 2).empty());
}

}  // namespace
}  // namespace kestr
