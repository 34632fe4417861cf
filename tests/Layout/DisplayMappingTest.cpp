#include <gtest/gtest.h>

#include "Layout/LayoutApplier.h"
#include "Layout/LayoutTestSupport.h"
#include "Support/SimTest.h"

namespace kestr {
namespace {

using namespace test;

const auto kTarget = [](const LayoutItem& i) { return i.targetFrame; };

TEST(DisplayMappingIndices, SpreadFromTheLeftAndSendTheRestToTheAnchor) {
    EXPECT_EQ(LayoutApplier::targetIndices(0, 2, 1), std::vector<int>{});
    EXPECT_EQ(LayoutApplier::targetIndices(1, 2, 1), std::vector<int>{1});
    EXPECT_EQ(LayoutApplier::targetIndices(3, 2, 1), (std::vector<int>{0, 1, 1}));
    EXPECT_EQ(LayoutApplier::targetIndices(2, 0, 0), (std::vector<int>{0, 0}));
}

TEST(DisplayMappingSlices, EqualStripsFromTheLeft) {
    const Rect r(0, 25, 1440, 875);
    EXPECT_EQ(LayoutApplier::horizontalSlices(r, 2), (std::vector<Rect>{{0, 25, 720, 875}, {720, 25, 720, 875}}));
    EXPECT_EQ(LayoutApplier::horizontalSlices(r, 1), std::vector<Rect>{r});
    EXPECT_EQ(LayoutApplier::horizontalSlices(r, 0), std::vector<Rect>{r});
}

class DisplayMapping : public test::SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        addDisplay(*sim, 1, kMain, Rect(0, 0, 1440, 900));
        addDisplay(*sim, 2, kSecond, Rect(1440, 0, 1920, 1080));
    }
};

TEST_F(DisplayMapping, SourceRegionOfAConnectedDisplayIsItsVisibleArea) {
    const auto regions = LayoutApplier::computeSourceRegions({item(frame(kSecond, 10, 40, 500, 400))},
                                                             LayoutApplier::FrameSource::target);
    EXPECT_EQ(regions, (std::map<std::string, Rect>{{kSecond, Rect(0, 25, 1920, 1055)}}));
}

TEST_F(DisplayMapping, SourceRegionOfAMissingDisplayComesFromItsFrames) {
    const std::vector<LayoutItem> withSize{item(recorded(frame(kGone, 0, 400, 700, 400), 0)),
                                           item(frame(kGone, 720, 25, 720, 875))};
    EXPECT_EQ(LayoutApplier::computeSourceRegions(withSize, LayoutApplier::FrameSource::target).at(kGone),
              Rect(0, 25, 1440, 875));

    const std::vector<LayoutItem> withoutSize{item(frame(kGone, 100, 50, 600, 400)), item(frame(kGone, 800, 60, 500, 700)),
                                              item(frame(kGone, 0, 0, 19, 500))};
    // The 19-point frame does not widen the region.
    EXPECT_EQ(LayoutApplier::computeSourceRegions(withoutSize, LayoutApplier::FrameSource::target).at(kGone),
              Rect(100, 50, 1200, 710));
}

TEST_F(DisplayMapping, TheFrameSourceChoosesWhichFrameIsRead) {
    LayoutItem i = item(frame(kGone, 100, 100, 400, 400));
    i.capturedFrame = frame(kGone, 500, 500, 400, 400);
    EXPECT_EQ(LayoutApplier::computeSourceRegions({i}, LayoutApplier::FrameSource::captured).at(kGone),
              Rect(500, 500, 400, 400));
    EXPECT_EQ(LayoutApplier::computeSourceRegions({i}, LayoutApplier::FrameSource::target).at(kGone),
              Rect(100, 100, 400, 400));
}

TEST_F(DisplayMapping, NoAnchorMeansNoMapping) {
    const std::vector<LayoutItem> items{item(frame(kMain, 0, 25, 500, 500))};
    EXPECT_TRUE(LayoutApplier::displayMapping(items, kTarget, std::nullopt).empty());
    EXPECT_TRUE(LayoutApplier::displayMapping(items, kTarget, DisplayID{0}).empty());
}

TEST_F(DisplayMapping, ASingleDisplayKestGoesToTheAnchor) {
    const std::vector<LayoutItem> items{item(frame(kMain, 0, 25, 500, 500)), item(frame(kMain, 600, 25, 500, 500))};
    EXPECT_EQ(LayoutApplier::displayMapping(items, kTarget, DisplayID{2}),
              (std::map<std::string, DisplayID>{{kMain, 2}}));
    // An anchor that is not among the live displays counts as the leftmost.
    EXPECT_EQ(LayoutApplier::displayMapping(items, kTarget, DisplayID{77}),
              (std::map<std::string, DisplayID>{{kMain, 1}}));
}

TEST_F(DisplayMapping, ThreeSavedDisplaysOntoTwoLiveOnes) {
    // Listed out of order: the origins decide.
    const std::vector<LayoutItem> items{item(recorded(frame(kGoneRight, 0, 25, 720, 875), 1920)),
                                        item(recorded(frame(kGone, 0, 25, 720, 875), 0)),
                                        item(recorded(frame(kGoneLeft, 0, 25, 720, 875), -1920))};
    EXPECT_EQ(LayoutApplier::displayMapping(items, kTarget, DisplayID{2}),
              (std::map<std::string, DisplayID>{{kGoneLeft, 1}, {kGone, 2}, {kGoneRight, 2}}));

    int fellBack = 0;
    const auto mapping = LayoutApplier::displayMapping(items, kTarget, DisplayID{2});
    const auto resolved = LayoutApplier::resolveDisplays(items, LayoutApplier::FrameSource::target, mapping, fellBack);
    std::vector<LayoutApplier::SubRegionEntry> entries;
    for (const auto& r : resolved) entries.push_back({r.targetID, r.savedUUID, *r.f.dispX});
    EXPECT_EQ(LayoutApplier::targetSubRegions(entries),
              (std::map<std::string, Rect>{{kGoneLeft, Rect(0, 25, 1440, 875)},
                                           {kGone, Rect(0, 25, 960, 1055)},
                                           {kGoneRight, Rect(960, 25, 960, 1055)}}));
    EXPECT_EQ(fellBack, 0);
}

TEST_F(DisplayMapping, TheFirstUsableFrameGivesADisplayItsOrigin) {
    const std::vector<LayoutItem> items{
        item(recorded(frame(kGoneLeft, 0, 25, 19, 500), -5000)),  // too narrow: no say
        item(recorded(frame(kGoneRight, 0, 25, 700, 500), 100)),
        item(recorded(frame(kGoneLeft, 0, 25, 700, 500), 500)),
        item(recorded(frame(kGoneRight, 0, 25, 700, 500), 900)),  // later frame: no say
    };
    // kGoneRight (100) is left of kGoneLeft (500).
    EXPECT_EQ(LayoutApplier::displayMapping(items, kTarget, DisplayID{1}),
              (std::map<std::string, DisplayID>{{kGoneRight, 1}, {kGoneLeft, 2}}));
}

TEST_F(DisplayMapping, WithoutAnchorConnectedDisplaysKeepTheirItemsAndMissingOnesFallBackToMain) {
    const std::vector<LayoutItem> items{item(frame(kSecond, 0, 25, 500, 500)), item(frame(kGone, 0, 25, 500, 500)),
                                        item(frame(kGone, 600, 25, 500, 500)), item(frame(kGone, 0, 25, 500, 15))};
    int fellBack = 0;
    const auto resolved = LayoutApplier::resolveDisplays(items, LayoutApplier::FrameSource::target, {}, fellBack);
    ASSERT_EQ(resolved.size(), 3u);
    EXPECT_EQ(resolved[0].targetID, 2u);
    EXPECT_EQ(resolved[0].targetUUID, kSecond);
    EXPECT_EQ(resolved[1].targetID, 1u);
    EXPECT_EQ(resolved[1].targetUUID, kMain);
    EXPECT_FALSE(resolved[1].savedID);
    EXPECT_EQ(resolved[2].targetID, 1u);
    // One per item; the unusable frame neither resolves nor counts.
    EXPECT_EQ(fellBack, 2);
}

TEST_F(DisplayMapping, ATargetWithoutUUIDKeepsTheSavedString) {
    sim->world().displays[0].uuid.reset();
    int fellBack = 0;
    const auto resolved =
        LayoutApplier::resolveDisplays({item(frame(kGone, 0, 25, 500, 500))}, LayoutApplier::FrameSource::target, {}, fellBack);
    ASSERT_EQ(resolved.size(), 1u);
    EXPECT_EQ(resolved[0].targetID, 1u);
    EXPECT_EQ(resolved[0].targetUUID, kGone);
}

TEST_F(DisplayMapping, ADisplayWithoutAreaCountsAsNotConnected) {
    // The right display is asleep: its bounds have no area.
    sim->world().displays[1].bounds = Rect(1440, 0, 0, 0);
    const std::vector<LayoutItem> items{item(frame(kMain, 0, 25, 500, 500)), item(frame(kSecond, 100, 50, 600, 400)),
                                        item(frame(kSecond, 800, 60, 500, 700))};

    // Its frames are read against their own bounding box, not an infinite area.
    EXPECT_EQ(LayoutApplier::computeSourceRegions(items, LayoutApplier::FrameSource::target).at(kSecond),
              Rect(100, 50, 1200, 710));

    int fellBack = 0;
    const auto resolved = LayoutApplier::resolveDisplays(items, LayoutApplier::FrameSource::target, {}, fellBack);
    ASSERT_EQ(resolved.size(), 3u);
    EXPECT_FALSE(resolved[1].savedID);
    EXPECT_EQ(resolved[1].targetID, 1u);
    EXPECT_EQ(resolved[2].targetID, 1u);
    EXPECT_EQ(fellBack, 2);

    // The mapping never sends a saved display to it, nor takes it as the anchor's place.
    EXPECT_EQ(LayoutApplier::displayMapping(items, kTarget, DisplayID{1}),
              (std::map<std::string, DisplayID>{{kMain, 1}, {kSecond, 1}}));
    EXPECT_EQ(LayoutApplier::displayMapping(items, kTarget, DisplayID{2}),
              (std::map<std::string, DisplayID>{{kMain, 1}, {kSecond, 1}}));
}

TEST_F(DisplayMapping, WithNoDisplayOfAnyAreaNothingIsMapped) {
    sim->world().displays[0].bounds = Rect(0, 0, 0, 0);
    sim->world().displays[1].bounds = Rect(1440, 0, 0, 0);
    const std::vector<LayoutItem> items{item(frame(kMain, 0, 25, 500, 500))};
    EXPECT_TRUE(LayoutApplier::displayMapping(items, kTarget, DisplayID{2}).empty());
}

}  // namespace
}  // namespace kestr
