#include <gtest/gtest.h>

#include <cmath>

#include "Layout/LayoutApplier.h"
#include "Layout/LayoutTestSupport.h"
#include "Support/SimTest.h"

namespace kestr {
namespace {

using namespace test;

class TargetFrames : public test::SimTest {
protected:
    LayoutApplier::Placements compute(const std::vector<LayoutItem>& items, std::optional<DisplayID> anchor,
                                      LayoutApplier::FrameSource source = LayoutApplier::FrameSource::target) {
        const auto regions = LayoutApplier::computeSourceRegions(items, source);
        return LayoutApplier::computeTargetFrames(items, source, regions, anchor, report);
    }
    static Rect local(const LayoutApplier::Placements& p, const LayoutItem& i) { return p.at(i.id).local; }

    LayoutApplier::ApplyReport report;
};

TEST_F(TargetFrames, OnItsOwnDisplayAKestComesBackAsSavedClippedToTheVisibleArea) {
    addDisplay(*sim, 1, kMain, Rect(0, 0, 1440, 900), 40);  // the menu bar grew since the capture
    const std::vector<LayoutItem> items{item(frame(kMain, 0, 25, 720, 875), "com.apple.Terminal"),
                                        item(frame(kMain, 720, 40, 720, 860))};
    const auto p = compute(items, std::nullopt);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(local(p, items[0]), Rect(0, 40, 720, 860));
    EXPECT_EQ(local(p, items[1]), Rect(720, 40, 720, 860));
    EXPECT_EQ(p.at(items[0].id), (LayoutApplier::Placement{1, kMain, "com.apple.Terminal", Rect(0, 40, 720, 860)}));
    EXPECT_EQ(report.fellBackToMainDisplay, 0);
}

TEST_F(TargetFrames, AMissingDisplayOfTheSameSizeKeepsItsFramesOnTheMainDisplay) {
    addDisplay(*sim, 1, kMain, Rect(0, 0, 1440, 900));
    const std::vector<LayoutItem> items{item(recorded(frame(kGone, 0, 25, 720, 875))),
                                        item(recorded(frame(kGone, 720, 25, 720, 875)))};
    const auto p = compute(items, std::nullopt);
    EXPECT_EQ(local(p, items[0]), Rect(0, 25, 720, 875));
    EXPECT_EQ(local(p, items[1]), Rect(720, 25, 720, 875));
    EXPECT_EQ(p.at(items[1].id).targetUUID, kMain);
    EXPECT_EQ(report.fellBackToMainDisplay, 2);
}

TEST_F(TargetFrames, AFrameIsScaledIntoALargerDisplay) {
    addDisplay(*sim, 1, kMain, Rect(0, 0, 1920, 1080));
    const std::vector<LayoutItem> items{item(recorded(frame(kGone, 720, 25, 720, 875)))};
    const auto p = compute(items, std::nullopt);
    EXPECT_TRUE(nearlyEqual(local(p, items[0]), Rect(960, 25, 960, 1055)));
}

TEST_F(TargetFrames, SavedDisplaysSharingALiveDisplayAreScaledIntoStrips) {
    addDisplay(*sim, 1, kMain, Rect(0, 0, 1920, 1080));
    addDisplay(*sim, 2, kSecond, Rect(1920, 0, 1920, 1080));
    const std::vector<LayoutItem> items{item(recorded(frame(kGoneLeft, 0, 25, 720, 875), -1920)),
                                        item(recorded(frame(kGone, 0, 25, 720, 875), 0)),
                                        item(recorded(frame(kGoneRight, 0, 25, 720, 875), 1920))};
    const auto p = compute(items, DisplayID{2});
    EXPECT_EQ(p.at(items[0].id).targetID, 1u);
    EXPECT_TRUE(nearlyEqual(local(p, items[0]), Rect(0, 25, 960, 1055)));
    EXPECT_EQ(p.at(items[1].id).targetID, 2u);
    EXPECT_TRUE(nearlyEqual(local(p, items[1]), Rect(0, 25, 480, 1055)));
    EXPECT_EQ(p.at(items[2].id).targetID, 2u);
    EXPECT_EQ(p.at(items[2].id).targetUUID, kSecond);
    EXPECT_TRUE(nearlyEqual(local(p, items[2]), Rect(960, 25, 480, 1055)));
    EXPECT_EQ(report.fellBackToMainDisplay, 0);
}

TEST_F(TargetFrames, AnAnchorOnTheSameDisplayKeepsFramesAndAnotherDisplayClampsThem) {
    addDisplay(*sim, 1, kMain, Rect(0, 0, 1440, 900));
    addDisplay(*sim, 2, kSecond, Rect(1440, 0, 1440, 900));
    // Reaches past the right edge of the visible area.
    const std::vector<LayoutItem> items{item(frame(kMain, 1000, 25, 600, 400))};

    // Kept: clipped to the visible area.
    EXPECT_EQ(local(compute(items, DisplayID{1}), items[0]), Rect(1000, 25, 440, 400));
    // Moved to another display: scaled by 1, pulled inside whole.
    const auto moved = compute(items, DisplayID{2});
    EXPECT_EQ(moved.at(items[0].id).targetID, 2u);
    EXPECT_EQ(local(moved, items[0]), Rect(840, 25, 600, 400));
}

TEST_F(TargetFrames, ScaledFramesArePulledInsideTheTargetRegion) {
    addDisplay(*sim, 1, kMain, Rect(0, 0, 1920, 1080));
    // Source region (0, 25, 1440, 875); the frame reaches past its right edge.
    const std::vector<LayoutItem> past{item(recorded(frame(kGone, 1000, 25, 600, 400)))};
    EXPECT_TRUE(nearlyEqual(local(compute(past, std::nullopt), past[0]), Rect(1120, 25, 800, 400 * (1055.0 / 875.0))));
    // Wider than the region: capped at its width, starting at its left edge.
    const std::vector<LayoutItem> wide{item(recorded(frame(kGone, -100, 25, 1640, 875)))};
    EXPECT_TRUE(nearlyEqual(local(compute(wide, std::nullopt), wide[0]), Rect(0, 25, 1920, 1055)));
}

TEST_F(TargetFrames, WindowsGrowToTheirApplicationsMinimumSize) {
    addDisplay(*sim, 1, kMain, Rect(0, 0, 1440, 900));
    const std::vector<LayoutItem> items{item(frame(kMain, 100, 100, 200, 150), "com.apple.finder"),
                                        item(frame(kMain, 800, 100, 100, 80))};
    const auto p = compute(items, std::nullopt);
    EXPECT_EQ(local(p, items[0]), Rect(100, 100, 316, 288));
    EXPECT_EQ(local(p, items[1]), Rect(800, 100, 120, 120));
}

TEST_F(TargetFrames, UnusableFramesGetNoPlacementAndAreNotCounted) {
    addDisplay(*sim, 1, kMain, Rect(0, 0, 1440, 900));
    const std::vector<LayoutItem> items{item(frame(kGone, 100, 100, 800, 15)), item(frame(kMain, 100, 100, 500, 500))};
    const auto p = compute(items, std::nullopt);
    EXPECT_EQ(p.count(items[0].id), 0u);
    EXPECT_EQ(p.size(), 1u);
    EXPECT_EQ(report.fellBackToMainDisplay, 0);
}

TEST_F(TargetFrames, TheCapturedFrameIsUsedWhenAsked) {
    addDisplay(*sim, 1, kMain, Rect(0, 0, 1440, 900));
    LayoutItem i = item(frame(kMain, 100, 100, 500, 500));
    i.capturedFrame = frame(kMain, 300, 200, 400, 400);
    EXPECT_EQ(local(compute({i}, std::nullopt, LayoutApplier::FrameSource::captured), i), Rect(300, 200, 400, 400));
    EXPECT_EQ(local(compute({i}, std::nullopt, LayoutApplier::FrameSource::target), i), Rect(100, 100, 500, 500));
}

TEST_F(TargetFrames, OverlapsCausedByScalingAreReflowed) {
    addDisplay(*sim, 1, kMain, Rect(0, 0, 1440, 900));
    // Stacked on a taller display that is gone: scaled to the lower display they still
    // overlap, and the column's rows are packed.
    const std::vector<LayoutItem> items{item(recorded(frame(kGone, 0, 25, 700, 600), 0, 1440, 1000)),
                                        item(recorded(frame(kGone, 0, 400, 700, 600), 0, 1440, 1000))};
    const auto p = compute(items, std::nullopt);
    EXPECT_TRUE(nearlyEqual(local(p, items[0]), Rect(0, 25, 700, 437.5)));
    EXPECT_TRUE(nearlyEqual(local(p, items[1]), Rect(0, 462.5, 700, 437.5)));
}

bool finite(const Rect& r) {
    return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width()) && std::isfinite(r.height()) &&
           std::abs(r.x()) < 1e6 && std::abs(r.y()) < 1e6 && r.width() < 1e6 && r.height() < 1e6;
}

TEST_F(TargetFrames, ItemsOfASleepingDisplayFallBackToTheMainDisplay) {
    addDisplay(*sim, 1, kMain, Rect(0, 0, 1440, 900));
    addDisplay(*sim, 2, kSecond, Rect(1440, 0, 0, 0));  // asleep: no area
    const std::vector<LayoutItem> items{item(recorded(frame(kSecond, 0, 25, 720, 875), 1440)),
                                        item(recorded(frame(kSecond, 720, 25, 720, 875), 1440))};
    const auto p = compute(items, std::nullopt);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p.at(items[0].id).targetID, 1u);
    EXPECT_EQ(local(p, items[0]), Rect(0, 25, 720, 875));
    EXPECT_EQ(local(p, items[1]), Rect(720, 25, 720, 875));
    EXPECT_EQ(report.fellBackToMainDisplay, 2);

    // With an anchor, the sleeping display is never a target either.
    for (DisplayID anchor : {DisplayID{1}, DisplayID{2}}) {
        const std::vector<LayoutItem> two{item(frame(kMain, 0, 25, 700, 800)), items[0], items[1]};
        for (const auto& [id, placement] : compute(two, anchor)) {
            EXPECT_EQ(placement.targetID, 1u);
            EXPECT_TRUE(finite(placement.local));
        }
    }
}

TEST_F(TargetFrames, WithEveryDisplayAsleepFramesStayAsSavedAndFinite) {
    addDisplay(*sim, 1, kMain, Rect(0, 0, 0, 0));
    const std::vector<LayoutItem> items{item(frame(kMain, 100, 100, 500, 400)), item(frame(kGone, 0, 0, 300, 80))};
    const auto p = compute(items, DisplayID{1});
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(local(p, items[0]), Rect(100, 100, 500, 400));
    EXPECT_EQ(local(p, items[1]), Rect(0, 0, 300, 120));
    EXPECT_EQ(report.fellBackToMainDisplay, 2);
}

TEST_F(TargetFrames, AFrameThatOverflowsIsNeverPlaced) {
    addDisplay(*sim, 1, kMain, Rect(0, 0, 1440, 900));
    // Saved values near the limit of a double: the bounding box overflows to infinity.
    const std::vector<LayoutItem> items{item(frame(kGone, -1e308, 0, 500, 500)), item(frame(kGone, 1e308, 0, 1e308, 500)),
                                        item(frame(kMain, 800, 100, 500, 500))};
    const auto p = compute(items, std::nullopt);
    EXPECT_EQ(p.size(), 2u);
    EXPECT_EQ(p.count(items[1].id), 0u);
    for (const auto& [id, placement] : p) {
        EXPECT_TRUE(std::isfinite(placement.local.x()) && std::isfinite(placement.local.width()));
    }
    // The missing display shares the main display with the saved one: right strip.
    EXPECT_EQ(local(p, items[2]), Rect(1120, 100, 250, 500));
}

}  // namespace
}  // namespace kestr
