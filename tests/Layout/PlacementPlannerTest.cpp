#include <gtest/gtest.h>

#include <cmath>

#include "Layout/PlacementPlanner.h"
#include "Layout/LayoutTestSupport.h"
#include "Support/DisplayBuilder.h"
#include "Support/ItemBuilder.h"
#include "Support/SimTest.h"

namespace kestr {
namespace {

using namespace test;

class TargetFrames : public test::SimTest {
protected:
    LayoutApplier::Placements compute(const std::vector<LayoutItem>& items, std::optional<DisplayID> anchor) {
        return compute(items, anchor, DisplaySnapshot::read(items, anchor));
    }
    LayoutApplier::Placements compute(const std::vector<LayoutItem>& items, std::optional<DisplayID> anchor,
                                      const DisplaySnapshot& displays,
                                      const PlacementPlanner::KnownMinimums& minimums = {}) {
        const auto source = LayoutApplier::FrameSource::target;
        const auto regions = PlacementPlanner::computeSourceRegions(items, source, displays);
        return PlacementPlanner::computeTargetFrames(items, source, regions, anchor, displays, report, minimums);
    }
    static Rect local(const LayoutApplier::Placements& p, const LayoutItem& i) { return p.at(i.id).local; }

    LayoutApplier::ApplyReport report;
};

TEST_F(TargetFrames, OnItsOwnDisplayAKestIsClippedToTheVisibleAreaAndGrownToMinimums) {
    addDisplay(*sim, 1, kMain, Rect(0, 0, 1440, 900), 40);  // the menu bar grew since the capture
    const std::vector<LayoutItem> items{item(frame(kMain, 0, 25, 720, 875), "com.apple.Terminal"),
                                        item(frame(kMain, 800, 100, 200, 150), "com.apple.finder"),
                                        item(frame(kGone, 100, 100, 800, 15))};
    const auto p = compute(items, std::nullopt);
    ASSERT_EQ(p.size(), 2u);  // the unusable frame gets no placement
    EXPECT_EQ(p.at(items[0].id), (LayoutApplier::Placement{1, kMain, "com.apple.Terminal", Rect(0, 40, 720, 860)}));
    EXPECT_EQ(local(p, items[1]), Rect(800, 100, 316, 288));
    EXPECT_EQ(report.fellBackToMainDisplay, 0);
}

TEST_F(TargetFrames, SavedDisplaysSharingALiveDisplayAreScaledIntoStrips) {
    addDisplay(*sim, 1, kMain, Rect(0, 0, 1920, 1080));
    addDisplay(*sim, 2, kSecond, Rect(1920, 0, 1920, 1080));
    const std::vector<LayoutItem> items{item(recorded(frame(kGoneLeft, 0, 25, 720, 875), -1920)),
                                        item(recorded(frame(kGone, 0, 25, 720, 875), 0)),
                                        item(recorded(frame(kGoneRight, 0, 25, 720, 875), 1920))};
    const auto p = compute(items, DisplayID{2});
    EXPECT_TRUE(nearlyEqual(local(p, items[0]), Rect(0, 25, 960, 1055)));
    EXPECT_EQ(p.at(items[1].id).targetID, 2u);
    EXPECT_TRUE(nearlyEqual(local(p, items[1]), Rect(0, 25, 480, 1055)));
    EXPECT_EQ(p.at(items[2].id).targetUUID, kSecond);
    EXPECT_TRUE(nearlyEqual(local(p, items[2]), Rect(960, 25, 480, 1055)));
    EXPECT_EQ(report.fellBackToMainDisplay, 0);

    // Planned from a snapshot, nothing depends on the displays as they are later.
    const DisplaySnapshot before = DisplaySnapshot::read(items, DisplayID{2});
    sim->world().displays.clear();
    EXPECT_EQ(compute(items, DisplayID{2}, before), p);
}

TEST_F(TargetFrames, AKestMovedToAnotherDisplayOfTheSameSizeIsReadAgainstItsRegions) {
    // The same size, but the menu bar on one and the Dock at the bottom of the other:
    // laid onto the anchor, the frame keeps its distance from the top of the usable area.
    DisplayBuilder(*sim, 1, Rect(0, 0, 1440, 900)).uuid(kMain).menuBar(25);
    DisplayBuilder(*sim, 2, Rect(1440, 0, 1440, 900)).uuid(kSecond).insets(Insets{0, 0, 25, 0});
    const std::vector<LayoutItem> items{ItemBuilder("com.example.app").on(kSecond, Rect(0, 100, 720, 700))};
    const auto p = compute(items, DisplayID{1});
    EXPECT_EQ(p.at(items[0].id), (LayoutApplier::Placement{1, kMain, "com.example.app", Rect(0, 125, 720, 700)}));
}

TEST_F(TargetFrames, ItemsOfASleepingDisplayFallBackToTheMainDisplay) {
    addDisplay(*sim, 1, kMain, Rect(0, 0, 1440, 900));
    addDisplay(*sim, 2, kSecond, Rect(1440, 0, 0, 0));  // asleep: no area
    const std::vector<LayoutItem> items{item(recorded(frame(kSecond, 0, 25, 720, 875), 1440)),
                                        item(recorded(frame(kSecond, 720, 25, 720, 875), 1440))};
    const auto p = compute(items, std::nullopt);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p.at(items[0].id).targetID, 1u);
    EXPECT_EQ(local(p, items[1]), Rect(720, 25, 720, 875));
    EXPECT_EQ(report.fellBackToMainDisplay, 2);

    // With the sleeping display as anchor, it is never a target either.
    for (const auto& [id, placement] : compute({item(frame(kMain, 0, 25, 700, 800)), items[0]}, DisplayID{2})) {
        EXPECT_EQ(placement.targetID, 1u);
        EXPECT_LT(std::abs(placement.local.x()) + placement.local.width(), 1e6);
    }
}

TEST_F(TargetFrames, WithEveryDisplayAsleepOrAnOverflowingFrameResultsStayFinite) {
    addDisplay(*sim, 1, kMain, Rect(0, 0, 0, 0));
    const std::vector<LayoutItem> asleep{item(frame(kMain, 100, 100, 500, 400)), item(frame(kGone, 0, 0, 300, 80))};
    const auto p = compute(asleep, DisplayID{1});
    EXPECT_EQ(local(p, asleep[0]), Rect(100, 100, 500, 400));
    EXPECT_EQ(local(p, asleep[1]), Rect(0, 0, 300, 120));

    sim->world().displays[0].bounds = Rect(0, 0, 1440, 900);
    // Saved values near the limit of a double: the bounding box overflows to infinity.
    const std::vector<LayoutItem> items{item(frame(kGone, -1e308, 0, 500, 500)),
                                        item(frame(kGone, 1e308, 0, 1e308, 500)),
                                        item(frame(kMain, 800, 100, 500, 500))};
    // Frames beyond the limits of a stored frame take no part at all.
    const auto overflow = compute(items, std::nullopt);
    EXPECT_EQ(overflow.size(), 1u);
    EXPECT_EQ(local(overflow, items[2]), Rect(800, 100, 500, 500));

    // At the limit, a frame of a missing display is read against its own region and
    // kept on the main display.
    const std::vector<LayoutItem> atLimit{item(frame(kGone, -1e9, 0, 500, 500)), item(frame(kGone, 1e9, 0, 1e9, 500))};
    const auto kept = compute(atLimit, std::nullopt);
    EXPECT_EQ(kept.size(), 2u);
    for (const auto& [id, placement] : kept) {
        EXPECT_GE(placement.local.minX(), 0);
        EXPECT_LE(placement.local.maxX(), 1440);
    }
    // Its display recorded without area, a frame is laid as saved: then pulled inside.
    const std::vector<LayoutItem> unscaled{item(recorded(frame(kGone, 1e9, 1e9, 500, 500), 0, 0.5, 0.5))};
    EXPECT_EQ(local(compute(unscaled, std::nullopt), unscaled[0]), Rect(940, 400, 500, 500));
}

// Grids of windows whose own minimum is larger than their slots: every window is planned
// at least at its minimum, the columns and rows overlapping evenly within the display, and
// no two windows on the same frame.
TEST_F(TargetFrames, WindowsLargerThanTheirSlotsAreNeverPlannedBelowTheirMinimum) {
    addDisplay(*sim, 1, kMain, Rect(0, 0, 1920, 1080), 0);
    struct Grid {
        int columns, rows, count;
        Size minimum;
    };
    for (const Grid& g :
         {Grid{20, 1, 20, Size{152, 152}}, Grid{20, 10, 199, Size{152, 175}}, Grid{5, 4, 20, Size{400, 300}},
          Grid{1, 12, 12, Size{300, 100}}, Grid{3, 8, 24, Size{700, 225}}}) {
        const double w = 1920.0 / g.columns, h = 1080.0 / g.rows;
        std::vector<LayoutItem> items;
        PlacementPlanner::KnownMinimums minimums;
        for (int k = 0; k < g.count; ++k) {
            const std::string app = "com.example.tool" + std::to_string(k);
            items.push_back(item(frame(kMain, (k % g.columns) * w, (k / g.columns) * h, w, h), app));
            minimums[items.back().id] = g.minimum;
        }
        const auto p = compute(items, std::nullopt, DisplaySnapshot::read(items, std::nullopt), minimums);
        for (const LayoutItem& i : items) {
            const Rect r = local(p, i);
            EXPECT_GE(r.width(), g.minimum.width - 1e-9) << g.count << " windows: " << i.appBundleID;
            EXPECT_GE(r.height(), g.minimum.height - 1e-9) << g.count << " windows: " << i.appBundleID;
            EXPECT_TRUE(r.minX() >= -1e-9 && r.maxX() <= 1920 + 1e-9 && r.minY() >= -1e-9 && r.maxY() <= 1080 + 1e-9)
                << g.count << " windows: " << i.appBundleID << " passes the display's edge";
        }
        for (std::size_t a = 0; a < items.size(); ++a) {
            for (std::size_t b = a + 1; b < items.size(); ++b)
                EXPECT_FALSE(nearlyEqual(local(p, items[a]), local(p, items[b])))
                    << g.count << " windows: " << items[a].appBundleID << " and " << items[b].appBundleID;
        }
    }
}

// One column (or row) of windows whose minimum is larger than their slots: the last one,
// grown past the display's edge, is not pushed onto the one before it (where the two would
// make a row and be laid side by side); they overlap evenly, in their order, each across
// the whole display.
TEST_F(TargetFrames, AnOverFullColumnOrRowKeepsItsWindowsInOrderAcrossTheDisplay) {
    addDisplay(*sim, 1, kMain, Rect(0, 0, 1920, 1080));
    const Rect visible(0, 25, 1920, 1055);
    struct Run {
        bool column;
        int count;
        double minimum;
    };
    for (const Run& run :
         {Run{true, 8, 225}, Run{true, 5, 225}, Run{true, 4, 300}, Run{false, 8, 300}, Run{false, 7, 400}}) {
        const double slot = (run.column ? visible.height() : visible.width()) / run.count;
        std::vector<LayoutItem> items;
        PlacementPlanner::KnownMinimums minimums;
        for (int k = 0; k < run.count; ++k) {
            items.push_back(
                item(run.column ? frame(kMain, 0, 25 + k * slot, 1920, slot) : frame(kMain, k * slot, 25, slot, 1055)));
            minimums[items.back().id] = Size{run.minimum, run.minimum};
        }
        const auto p = compute(items, std::nullopt, DisplaySnapshot::read(items, std::nullopt), minimums);
        double before = -1;
        for (const LayoutItem& i : items) {
            const Rect r = local(p, i);
            const double start = run.column ? r.minY() : r.minX();
            EXPECT_EQ(run.column ? Rect(0, start, 1920, run.minimum) : Rect(start, 25, run.minimum, 1055), r)
                << run.count << " windows of " << run.minimum;
            EXPECT_GT(start, before) << run.count << " windows of " << run.minimum;
            EXPECT_LE(run.column ? r.maxY() : r.maxX(), (run.column ? visible.maxY() : visible.maxX()) + 1e-9);
            before = start;
        }
    }
}

// A window counts with the larger of its own minimum and its application's, and with no
// more than the visible area; one grown past the display's edge is brought back inside.
TEST_F(TargetFrames, AWindowIsGrownToItsMinimumWithinTheVisibleArea) {
    addDisplay(*sim, 1, kMain, Rect(0, 0, 1920, 1080));
    struct Case {
        std::string app;
        Rect saved;
        Size own;
        Rect planned;
    };
    for (const Case& c : {Case{"com.example.app", Rect(1800, 25, 100, 300), {400, 400}, Rect(1520, 25, 400, 400)},
                          Case{"com.example.app", Rect(100, 100, 100, 80), {3, 3}, Rect(100, 100, 120, 120)},
                          Case{"com.apple.finder", Rect(100, 100, 100, 80), {3, 3}, Rect(100, 100, 316, 288)},
                          Case{"com.example.app", Rect(100, 100, 100, 80), {30000, 30000}, Rect(0, 25, 1920, 1055)}}) {
        const std::vector<LayoutItem> items{
            item(frame(kMain, c.saved.x(), c.saved.y(), c.saved.width(), c.saved.height()), c.app)};
        const auto p = compute(items, std::nullopt, DisplaySnapshot::read(items, std::nullopt), {{items[0].id, c.own}});
        EXPECT_EQ(local(p, items[0]), c.planned) << c.app << " with a minimum of " << c.own.width;
    }
}

// Four windows side by side, one of them with a minimum that fills the display (or more):
// the other three overlap it, each where the even overlap of its row or column puts it,
// inside the visible area and none on another.
TEST_F(TargetFrames, AWindowWhoseMinimumFillsTheDisplayLeavesTheOthersOfItsRowApart) {
    addDisplay(*sim, 1, kMain, Rect(0, 0, 1920, 1080));
    struct Case {
        std::size_t large;
        double minimum;
        std::vector<double> xs;  // of the four, the large one 1920 wide, the others 120
    };
    for (const Case& c : {Case{0, 1920, {0, 600, 1200, 1800}}, Case{1, 30000, {0, 0, 660, 1320}},
                          Case{2, 30000, {0, 900, 0, 840}}, Case{3, 1920, {0, 600, 1200, 0}}}) {
        std::vector<LayoutItem> items;
        for (int k = 0; k < 4; ++k) items.push_back(item(frame(kMain, 480 * k, 25, 480, 1055)));
        const auto p = compute(items, std::nullopt, DisplaySnapshot::read(items, std::nullopt),
                               {{items[c.large].id, Size{c.minimum, 120}}});
        for (std::size_t k = 0; k < 4; ++k) {
            EXPECT_EQ(local(p, items[k]), Rect(c.xs[k], 25, k == c.large ? 1920 : 120, 1055))
                << "window " << k << " beside one of " << c.minimum << " at " << c.large;
        }
    }
}

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
    const auto placements =
        PlacementPlanner::computeTargetFrames(items, kTarget, regions, std::nullopt, displays, report);
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
