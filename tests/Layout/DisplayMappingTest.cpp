#include <gtest/gtest.h>

#include "Layout/LayoutApplier.h"
#include "Layout/LayoutTestSupport.h"
#include "Support/SimTest.h"

namespace kestr {
namespace {

using namespace test;
using Mapping = std::map<std::string, DisplayID>;

const auto kTarget = [](const LayoutItem& i) { return i.targetFrame; };
constexpr auto kTargetSource = LayoutApplier::FrameSource::target;

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
    EXPECT_EQ(LayoutApplier::displayMapping(items, kTarget, DisplayID{2}), (Mapping{{kGoneLeft, 1}, {kGone, 2}, {kGoneRight, 2}}));

}

TEST_F(DisplayMapping, ADisplayWithoutAreaCountsAsNotConnected) {
    // The right display is asleep: its bounds have no area.
    sim->world().displays[1].bounds = Rect(1440, 0, 0, 0);
    const std::vector<LayoutItem> items{item(frame(kMain, 0, 25, 500, 500)), item(frame(kSecond, 100, 50, 600, 400)),
                                        item(frame(kSecond, 800, 60, 500, 700))};
    // Its frames are read against their own bounding box, not an infinite area.
    EXPECT_EQ(LayoutApplier::computeSourceRegions(items, kTargetSource).at(kSecond), Rect(100, 50, 1200, 710));

    int fellBack = 0;
    const auto resolved = LayoutApplier::resolveDisplays(items, kTargetSource, {}, fellBack);
    ASSERT_EQ(resolved.size(), 3u);
    EXPECT_FALSE(resolved[1].savedID);
    EXPECT_EQ(resolved[2].targetID, 1u);
    EXPECT_EQ(fellBack, 2);

    // The mapping never sends a saved display to it, nor takes it as the anchor's place.
    EXPECT_EQ(LayoutApplier::displayMapping(items, kTarget, DisplayID{2}), (Mapping{{kMain, 1}, {kSecond, 1}}));

    sim->world().displays[0].bounds = Rect(0, 0, 0, 0);
    EXPECT_TRUE(LayoutApplier::displayMapping(items, kTarget, DisplayID{2}).empty());
}

}  // namespace
}  // namespace kestr
