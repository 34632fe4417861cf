#include "EdgeResize/EdgeProximityTracker.h"

#include <gtest/gtest.h>

#include "Support/ActiveKestTest.h"
#include "Support/HandleStep.h"

namespace kestr::test {
namespace {

using Hit = EdgeProximityTracker::Hit;

class EdgeProximityTrackerTest : public ActiveKestTest {
protected:
    void SetUp() override {
        ActiveKestTest::SetUp();
        ASSERT_EQ(kest.edgeGroups.size(), 1u);
        group = kest.edgeGroups.front();
        tracker().onProximityChange = [this](const std::optional<Hit>& hit) { reports.push_back(hit); };
        tracker().onActiveKestChange = [this](const std::optional<Layout>& k) { activeChanges.push_back(k); };
    }

    static EdgeProximityTracker& tracker() { return EdgeProximityTracker::shared(); }
    CursorShape cursor() { return sim->simCursors().shape; }
    std::optional<Hit> hitAt(double distance) { return Hit{group.id, Axis::vertical, distance, 720}; }

    EdgeGroup group;
    std::vector<std::optional<Hit>> reports;
    std::vector<std::optional<Layout>> activeChanges;
};

TEST_F(EdgeProximityTrackerTest, AHitReachesSixPointsAndNoFurther) {
    sim->world().pointer = Point{726, 400};
    tracker().setActiveLayout(kest);
    // The hand-over checks at once and reports whatever it finds.
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], hitAt(6.0));
    EXPECT_EQ(cursor(), CursorShape::resizeLeftRight);
    EXPECT_EQ(activeChanges, (std::vector<std::optional<Layout>>{kest}));

    movePointer(Point{726.01, 400});
    EXPECT_EQ(reports.back(), std::nullopt);
    EXPECT_EQ(cursor(), CursorShape::arrow);
    movePointer(Point{718, 400});
    EXPECT_EQ(reports.back(), hitAt(2.0));
    // Outside the edge's span (the windows start below the menu bar).
    movePointer(Point{720, 10});
    EXPECT_EQ(reports.back(), std::nullopt);
    // Nothing changes, nothing is reported.
    const auto count = reports.size();
    movePointer(Point{100, 400});
    EXPECT_EQ(reports.size(), count);
}

TEST_F(EdgeProximityTrackerTest, ThePollSlowsDownWhenThePointerRestsAndCatchesUpWhenItMoves) {
    sim->world().pointer = Point{100, 400};
    tracker().setActiveLayout(kest);
    EXPECT_EQ(tracker().currentInterval, 0.033);
    sim->virtualTime().advance(1.1);
    EXPECT_EQ(tracker().currentInterval, 0.15);

    // A move without any event is found by the next tick.
    sim->world().pointer = Point{722, 400};
    sim->virtualTime().advance(0.15);
    EXPECT_EQ(reports.back(), hitAt(2.0));
    EXPECT_EQ(tracker().currentInterval, 0.033);
    // Events bring the fast poll back too.
    sim->virtualTime().advance(1.1);
    ASSERT_EQ(tracker().currentInterval, 0.15);
    movePointer(Point{100, 400});
    EXPECT_EQ(tracker().currentInterval, 0.033);
    EXPECT_EQ(reports.back(), std::nullopt);
}

TEST_F(EdgeProximityTrackerTest, CommandFullScreenAndForeignWindowsHideTheHandle) {
    sim->world().pointer = Point{722, 400};
    tracker().setActiveLayout(kest);
    ASSERT_EQ(reports.back(), hitAt(2.0));

    holdModifiers(ModifierFlag::command | ModifierFlag::shift);
    EXPECT_EQ(reports.back(), std::nullopt);
    EXPECT_EQ(cursor(), CursorShape::arrow);
    holdModifiers(0);
    EXPECT_EQ(reports.back(), hitAt(2.0));

    sim->world().frontmostPid = left->pid;
    sim->world().setFullScreen(left->windows[0], true);
    movePointer(Point{721, 400});
    EXPECT_EQ(reports.back(), std::nullopt);
    sim->world().setFullScreen(left->windows[0], false);

    // The member's own window, a little off its slot, does not hide the edge.
    right->windows[0].position = Point{716, 25};
    movePointer(Point{719, 400});
    EXPECT_EQ(reports.back(), hitAt(1.0));
    // Another application's window in front does.
    addApp("com.example.notes", "Notes", {window("Note", Rect(600, 300, 300, 300))});
    movePointer(Point{721, 400});
    EXPECT_EQ(reports.back(), std::nullopt);
}

TEST_F(EdgeProximityTrackerTest, AnEdgeShowsOnlyOnTheSpaceItsWindowsAreOn) {
    sim->world().pointer = Point{722, 400};
    tracker().setActiveLayout(kest);
    ASSERT_EQ(reports.back(), hitAt(2.0));
    // Bare desktop where the edge is on the first Space.
    sim->world().currentSpace = 2;
    movePointer(Point{721, 400});
    EXPECT_EQ(reports.back(), std::nullopt);
    EXPECT_EQ(cursor(), CursorShape::arrow);
    sim->world().currentSpace = 1;
    movePointer(Point{722, 400});
    EXPECT_EQ(reports.back(), hitAt(2.0));
    // A switch under a resting pointer takes the handle away at the next tick of the poll,
    // however slow it has become, and a switch back brings it again.
    sim->virtualTime().advance(1.1);
    sim->world().currentSpace = 2;
    sim->virtualTime().advance(EdgeProximityTracker::slowInterval);
    EXPECT_EQ(reports.back(), std::nullopt);
    sim->world().currentSpace = 1;
    sim->virtualTime().advance(EdgeProximityTracker::slowInterval);
    EXPECT_EQ(reports.back(), hitAt(2.0));
    // Handed over where none of its windows shows: no handle on either Space.
    sim->world().currentSpace = 2;
    tracker().setActiveLayout(kest);
    EXPECT_EQ(reports.back(), std::nullopt);
    sim->world().currentSpace = 1;
    movePointer(Point{721, 400});
    EXPECT_EQ(reports.back(), std::nullopt);
}

// Windows that come, go or change their order over a resting pointer cover or uncover the
// edge there: the handle follows at once, without waiting for the poll or for a move.
TEST_F(EdgeProximityTrackerTest, TheHandleFollowsTheWindowsThatChangeUnderARestingPointer) {
    sim->world().pointer = Point{722, 400};
    tracker().setActiveLayout(kest);
    ASSERT_EQ(reports.back(), hitAt(2.0));
    sim->virtualTime().advance(1.1);
    SimWorld& world = sim->world();
    const AXElement docs = right->windows[0].element;
    AXElement note;
    const auto minimise = [&](AXElement w, bool minimised) {
        ASSERT_EQ(platform().accessibility().setAttributeValue(w, ax::minimized, minimised), AXError::success);
    };
    const auto raise = [&](AXElement w) {
        std::vector<AXElement> order{w};
        for (const AXElement other : world.stacking()) {
            if (!(other == w)) order.push_back(other);
        }
        world.setStacking(order);
    };
    const HandleStep steps[] = {
        {"another application's window opened over the edge",
         [&] {
             note = addApp("com.example.notes", "Notes", {window("Note", Rect(600, 300, 300, 300))}).windows[0].element;
         },
         false},
        {"that window minimised", [&] { minimise(note, true); }, true},
        {"that window restored", [&] { minimise(note, false); }, false},
        {"the kest's window raised in front of it", [&] { raise(docs); }, true},
        {"that window raised again", [&] { raise(note); }, false},
        {"that window closed", [&] { world.closeWindow(note); }, true},
    };
    for (const HandleStep& step : steps) {
        // Handed over again, the handle shows as the windows stand: each change is followed
        // on its own.
        tracker().setActiveLayout(kest);
        ASSERT_EQ(reports.back().has_value(), !step.handle) << step.what;
        step.change();
        sim->virtualTime().runPending();
        EXPECT_EQ(reports.back(), step.handle ? hitAt(2.0) : std::nullopt) << step.what;
        EXPECT_EQ(cursor(), step.handle ? CursorShape::resizeLeftRight : CursorShape::arrow) << step.what;
    }
    // Changes heard together make one check: a window that opens over the edge and is
    // minimised at once never takes the handle away.
    const auto count = reports.size();
    steps[0].change();
    steps[1].change();
    sim->virtualTime().runPending();
    EXPECT_EQ(reports.size(), count);
}

TEST_F(EdgeProximityTrackerTest, EachSpaceOfADisplayKeepsItsOwnGrid) {
    const std::string display = uuidOf(1);
    tracker().setActiveLayout(kest);
    const auto& grids = tracker().heldGridsByDisplay;
    ASSERT_EQ(grids.at(display).size(), 1u);
    EXPECT_EQ(grids.at(display)[0].windowIDs,
              (std::set<std::uint32_t>{static_cast<std::uint32_t>(left->windows[0].number),
                                       static_cast<std::uint32_t>(right->windows[0].number)}));

    // On a second Space the same applications show other windows; a smaller kest goes there.
    sim->world().currentSpace = 2;
    SimWindow second = window("Code 2", Rect(0, 25, 1440, 875));
    second.space = 2;
    sim->world().addWindow(left->pid, second);
    Layout wide = kest;
    wide.items = {kestItem("com.example.editor", frameOn(1, 0, 25, 1440, 875), 3)};
    wide.edgeGroups.clear();
    tracker().setActiveLayout(wide);
    ASSERT_EQ(grids.at(display).size(), 2u);
    EXPECT_EQ(tracker().currentSpaceGrid(display), (std::vector<Rect>{Rect(0, 25, 1440, 875)}));
    // The wide kest replaced the display's held edges with none: the watch stops.
    EXPECT_FALSE(tracker().globalMonitor);

    sim->world().currentSpace = 1;
    EXPECT_EQ(tracker().currentSpaceGrid(display), (std::vector<Rect>{Rect(0, 25, 720, 875), Rect(720, 25, 720, 875)}));
    tracker().setActiveLayout(kest);
    ASSERT_EQ(grids.at(display).size(), 2u);
    EXPECT_EQ(grids.at(display)[0].slots, (std::vector<Rect>{Rect(0, 25, 1440, 875)}))
        << "the other Space's grid stays";
    EXPECT_EQ(tracker().currentSpaceGrid(uuidOf(2)), std::nullopt);

    // Nothing of the kest visible on this Space: its grid goes, none is added.
    sim->world().currentSpace = 3;
    addApp("com.example.notes", "Notes", {window("Note", Rect(10, 30, 300, 300))}).windows[0].space = 3;
    tracker().setActiveLayout(kest);
    EXPECT_EQ(grids.at(display).size(), 2u);
}

TEST_F(EdgeProximityTrackerTest, ReleasingReportsOnceAndPutsTheArrowBack) {
    sim->world().pointer = Point{722, 400};
    tracker().setActiveLayout(kest);
    ASSERT_EQ(cursor(), CursorShape::resizeLeftRight);
    tracker().releaseActiveKest();
    EXPECT_EQ(reports.back(), std::nullopt);
    EXPECT_EQ(cursor(), CursorShape::arrow);
    EXPECT_EQ(sim->simEventMonitors().monitorCount(), 0u);
    EXPECT_FALSE(tracker().pollTimer);
    const auto count = reports.size();
    tracker().releaseActiveKest();
    EXPECT_EQ(reports.size(), count);
    EXPECT_EQ(activeChanges.back(), std::nullopt);
    EXPECT_EQ(activeChanges.size(), 3u);
    EXPECT_FALSE(sim->virtualTime().hasPendingWork());
}

TEST_F(EdgeProximityTrackerTest, PointsConvertThroughTheScreenThatHoldsThem) {
    EXPECT_EQ(EdgeProximityTracker::axLocation(Point{100, 900 - 40}), (Point{100, 40}));
    // The second display's top edge lies at y = 900 in screen space.
    EXPECT_EQ(EdgeProximityTracker::axLocation(Point{1500, 899}), (Point{1500, 1}));
    EXPECT_EQ(EdgeProximityTracker::axLocation(Point{100, 900}), std::nullopt);
    EXPECT_EQ(EdgeProximityTracker::axLocation(Point{-1, 10}), std::nullopt);
}

}  // namespace
}  // namespace kestr::test
