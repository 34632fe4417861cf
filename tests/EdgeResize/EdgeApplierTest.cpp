#include "EdgeResize/EdgeApplier.h"

#include <gtest/gtest.h>

#include "Core/LayoutStore.h"
#include "EdgeResize/EdgeDragSession.h"
#include "EdgeResize/EdgeOverlayManager.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Layout/LayoutApplier.h"
#include "Support/StartedTask.h"
#include "Support/ActiveKestTest.h"

namespace kestr::test {
namespace {

// One display 1000 points wide, a window on each side of the edge x = 600.
class EdgeApplierTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        addDisplay(1, Rect(0, 0, 1000, 800));
        left = addApp("com.example.left", "Left", {window("L", Rect(0, 0, 600, 800))}).windows[0].element;
        right = addApp("com.example.right", "Right", {window("R", Rect(600, 0, 400, 800))}).windows[0].element;
        kest.id.bytes[0] = 0x4e;
        kest.name = "Pair";
        kest.items = {kestItem("com.example.left", frameOn(1, 0, 0, 600, 800), 1),
                      kestItem("com.example.right", frameOn(1, 600, 0, 400, 800), 2)};
        kest.edgeGroups = EdgeGroupDetector::detectGroups(kest.items, 4.0, 120.0);
        ASSERT_EQ(kest.edgeGroups.size(), 1u);
        LayoutStore::shared().layouts = {kest};
        EdgeProximityTracker::shared().setActiveLayout(kest);
        EdgeOverlayManager::shared().setActiveLayout(kest);
    }

    Uuid edge() const { return EdgeProximityTracker::shared().activeLayout->edgeGroups.at(0).id; }
    void run(Task<void> task) {
        auto started = start(std::move(task));
        sim->virtualTime().advance(5);
        ASSERT_TRUE(started.done());
        started.rethrow();
    }
    static Rect frameOf(const LayoutItem& item) {
        const ScreenFrame& f = item.targetFrame;
        return Rect(f.x, f.y, f.width, f.height);
    }
    std::vector<Rect> storedFrames() {
        std::vector<Rect> out;
        for (const LayoutItem& i : LayoutStore::shared().layouts.at(0).items) out.push_back(frameOf(i));
        return out;
    }
    Layout reloaded() {
        LayoutStore fresh;
        fresh.load();
        return fresh.layouts.at(0);
    }

    AXElement left;
    AXElement right;
    Layout kest;
};

TEST_F(EdgeApplierTest, MovingAnEdgeResizesBothSidesStoresAndHandsTheKestBack) {
    const Uuid before = edge();
    run(EdgeApplier::applyMove(before, 700));
    EXPECT_EQ(simWindow(left).frame(), Rect(0, 0, 700, 800));
    EXPECT_EQ(simWindow(right).frame(), Rect(700, 0, 300, 800));
    EXPECT_EQ(storedFrames(), (std::vector<Rect>{Rect(0, 0, 700, 800), Rect(700, 0, 300, 800)}));
    const Layout& active = *EdgeProximityTracker::shared().activeLayout;
    ASSERT_EQ(active.edgeGroups.size(), 1u);
    EXPECT_EQ(active.edgeGroups[0].coordinate, 700);
    EXPECT_NE(active.edgeGroups[0].id, before) << "detected again";
    EXPECT_EQ(EdgeOverlayManager::shared().groupsByDisplay.at(uuidOf(1)), active.edgeGroups);
    EXPECT_EQ(reloaded().items.at(1).targetFrame.x, 700) << "saved to the file";
}

// None of the edge's windows is open (closed, or on another desktop): the kest keeps the
// edge where the windows left it.
TEST_F(EdgeApplierTest, AMoveThatReachesNoWindowStoresNothing) {
    sim->world().closeWindow(left);
    sim->world().closeWindow(right);
    run(EdgeApplier::applyMove(edge(), 700));
    EXPECT_EQ(storedFrames(), (std::vector<Rect>{Rect(0, 0, 600, 800), Rect(600, 0, 400, 800)}));
    EXPECT_EQ(EdgeProximityTracker::shared().activeLayout->edgeGroups.at(0).coordinate, 600);
}

TEST_F(EdgeApplierTest, AWindowThatWillNotShrinkMovesTheEdgeOnlyAsFarAsItAllows) {
    simWindow(right).minimumSize = Size{350, 100};
    run(EdgeApplier::applyMove(edge(), 700));
    EXPECT_EQ(simWindow(left).frame(), Rect(0, 0, 650, 800));
    EXPECT_EQ(simWindow(right).frame(), Rect(650, 0, 350, 800));
    EXPECT_EQ(storedFrames(), (std::vector<Rect>{Rect(0, 0, 650, 800), Rect(650, 0, 350, 800)}));

    // Two points over the request is close enough.
    simWindow(right).minimumSize = Size{302, 100};
    run(EdgeApplier::applyMove(edge(), 700));
    EXPECT_EQ(storedFrames(), (std::vector<Rect>{Rect(0, 0, 700, 800), Rect(700, 0, 300, 800)}));
}

TEST_F(EdgeApplierTest, ANearSideWindowThatWillNotShrinkStopsTheEdgeAtItsFarEdge) {
    // The left window keeps 550 points without saying so: asked for 400, it stays 550.
    simWindow(left).minimumSize = Size{550, 100};
    run(EdgeApplier::applyMove(edge(), 400));
    EXPECT_EQ(simWindow(left).frame(), Rect(0, 0, 550, 800));
    EXPECT_EQ(simWindow(right).frame(), Rect(550, 0, 450, 800)) << "no overlap";
    EXPECT_EQ(storedFrames(), (std::vector<Rect>{Rect(0, 0, 550, 800), Rect(550, 0, 450, 800)}))
        << "what the windows took";
    EXPECT_EQ(EdgeProximityTracker::shared().activeLayout->edgeGroups.at(0).coordinate, 550);
}

// A minimised window of the left application, which the kest does not hold, keeps its
// minimum to itself: the edge goes where it is dragged.
TEST_F(EdgeApplierTest, AMinimisedSiblingOfAWindowDoesNotHoldTheEdge) {
    simWindow(left).reportsSizeHints = true;
    simWindow(left).minimumSize = Size{1, 1};
    SimWindow sibling = window("L2", Rect(300, 300, 900, 400));
    sibling.reportsSizeHints = true;
    sibling.minimumSize = Size{800, 200};
    sibling.minimized = true;
    sim->world().addWindow(sim->world().runningProcesses("com.example.left").at(0)->pid, sibling);
    run(EdgeApplier::applyMove(edge(), 400));
    EXPECT_EQ(storedFrames(), (std::vector<Rect>{Rect(0, 0, 400, 800), Rect(400, 0, 600, 800)}));
}

// As a kest's shortcut does it: applied, handed over, then the edge dragged towards a
// window whose reported minimum is larger than the default.
TEST_F(EdgeApplierTest, AnEdgeDraggedTowardsAWindowWithAReportedMinimumStopsAtThatMinimum) {
    simWindow(left).minimumSize = Size{550, 100};
    simWindow(left).reportsSizeHints = true;
    auto applied = start(LayoutApplier::apply(kest, LayoutApplier::ApplyMode::reuseExisting,
                                              LayoutApplier::FrameSource::target, std::nullopt));
    sim->virtualTime().advance(5);
    ASSERT_TRUE(applied.done());
    const Layout effective = applied.value().effectiveLayout.value();
    ASSERT_EQ(effective.edgeGroups.size(), 1u);
    EXPECT_EQ(effective.edgeGroups[0].minCoordinate, 550);
    EdgeProximityTracker::shared().setActiveLayout(effective);

    EdgeDragSession& drag = EdgeDragSession::shared();
    drag.start(effective.edgeGroups[0], 1, 600);
    drag.update(300);
    EXPECT_EQ(drag.currentGlobalCoord, 550);
    EXPECT_TRUE(drag.clipped);
    run(drag.commit());
    EXPECT_EQ(simWindow(left).frame(), Rect(0, 0, 550, 800));
    EXPECT_EQ(simWindow(right).frame(), Rect(550, 0, 450, 800));
    EXPECT_EQ(storedFrames(), (std::vector<Rect>{Rect(0, 0, 550, 800), Rect(550, 0, 450, 800)}));
    EXPECT_EQ(EdgeProximityTracker::shared().activeLayout->edgeGroups.at(0).minCoordinate, 550)
        << "the moved kest's edge keeps the window's minimum";
}

// Only the moved windows are asked for their limits again: an edge between two other
// windows keeps the bounds their own minimums gave it.
TEST_F(EdgeApplierTest, AnEdgeTheMoveDoesNotTouchKeepsItsWindowsMinimums) {
    simWindow(left).size = Size{600, 400};
    simWindow(right).size = Size{400, 400};
    addApp("com.example.c", "C", {window("C", Rect(0, 400, 300, 400))});
    addApp("com.example.d", "D", {window("D", Rect(300, 400, 700, 400))});
    Layout four = kest;
    four.items = {kestItem("com.example.left", frameOn(1, 0, 0, 600, 400), 1),
                  kestItem("com.example.right", frameOn(1, 600, 0, 400, 400), 2),
                  kestItem("com.example.c", frameOn(1, 0, 400, 300, 400), 3),
                  kestItem("com.example.d", frameOn(1, 300, 400, 700, 400), 4)};
    // As an apply detects them, with C's reported minimum.
    four.edgeGroups =
        EdgeGroupDetector::detectGroups(four.items, 4.0, 120.0, {{four.items[2].id, {Size{250, 100}, {}}}});
    const auto bottom = [](const Layout& k) {
        for (const EdgeGroup& g : k.edgeGroups)
            if (g.axis == Axis::vertical && g.coordinate == 300) return g;
        throw std::runtime_error("no edge at 300");
    };
    ASSERT_EQ(bottom(four).minCoordinate, 250);
    LayoutStore::shared().layouts = {four};
    EdgeProximityTracker::shared().setActiveLayout(four);
    const Uuid top = [&] {
        for (const EdgeGroup& g : four.edgeGroups)
            if (g.axis == Axis::vertical && g.coordinate == 600) return g.id;
        throw std::runtime_error("no edge at 600");
    }();
    run(EdgeApplier::applyMove(top, 700));
    EXPECT_EQ(simWindow(left).frame(), Rect(0, 0, 700, 400));
    EXPECT_EQ(bottom(*EdgeProximityTracker::shared().activeLayout).minCoordinate, 250);
    EXPECT_EQ(bottom(LayoutStore::shared().layouts.at(0)).minCoordinate, 250);
}

TEST_F(EdgeApplierTest, TheRetriedEdgeNeverGoesBackPastItsStartOrOffTheDisplay) {
    // Asked from 600 to 800, a window of at least 700 would put the edge at 300.
    simWindow(right).minimumSize = Size{700, 100};
    run(EdgeApplier::applyMove(edge(), 800));
    EXPECT_EQ(storedFrames(), (std::vector<Rect>{Rect(0, 0, 600, 800), Rect(600, 0, 400, 800)}));
    // With a 1500-point minimum the unclamped edge would be -500, the window -500 wide.
    simWindow(right).minimumSize = Size{1500, 100};
    run(EdgeApplier::applyMove(edge(), 800));
    for (const Rect& r : storedFrames()) {
        EXPECT_GE(r.x(), 0);
        EXPECT_GT(r.width(), 0);
    }
    EXPECT_EQ(EdgeProximityTracker::shared().activeLayout->items.at(0).targetFrame.width, 600);
}

TEST_F(EdgeApplierTest, TheStoredKestTakesOnlyTheMovedFramesAfterAnApply) {
    // Stored: three items, one of which the apply skipped; the held kest, as an apply
    // reports it, has the two placed ones and freshly detected groups.
    Layout stored = kest;
    stored.items.push_back(kestItem("com.example.closed", frameOn(1, 100, 100, 300, 300), 3));
    stored.hotkey = Hotkey{18, 0x1900};
    LayoutStore::shared().layouts = {stored};
    Layout held = kest;
    held.edgeGroups = EdgeGroupDetector::detectGroups(held.items, 4.0, 120.0);
    EdgeProximityTracker::shared().setActiveLayout(held);
    // Renamed in the manager window between the apply and the move.
    LayoutStore::shared().layouts[0].name = "Renamed";

    run(EdgeApplier::applyMove(edge(), 700));
    const Layout& after = LayoutStore::shared().layouts.at(0);
    EXPECT_EQ(after.name, "Renamed");
    EXPECT_EQ(after.hotkey, stored.hotkey);
    ASSERT_EQ(after.items.size(), 3u);
    EXPECT_EQ(frameOf(after.items[0]), Rect(0, 0, 700, 800));
    EXPECT_EQ(frameOf(after.items[1]), Rect(700, 0, 300, 800));
    EXPECT_EQ(frameOf(after.items[2]), Rect(100, 100, 300, 300));
    EXPECT_EQ(after.edgeGroups.at(0).coordinate, 700);
    EXPECT_EQ(reloaded().name, "Renamed");

    // A kest the store does not hold moves its windows but writes nothing.
    LayoutStore::shared().layouts.clear();
    run(EdgeApplier::applyMove(edge(), 650));
    EXPECT_EQ(simWindow(left).frame(), Rect(0, 0, 650, 800));
    EXPECT_TRUE(LayoutStore::shared().layouts.empty());
}

TEST_F(EdgeApplierTest, AMoveOnAStandInDisplayIsStoredMappedBackOntoTheKestsOwnDisplay) {
    // Saved on display 9, 2000 x 1000, which is gone: the apply scaled the windows onto
    // display 1 (1000 x 800), as the held kest reports.
    Layout stored = kest;
    stored.items = {kestItem("com.example.left", frameOn(9, 0, 0, 1200, 1000), 1),
                    kestItem("com.example.right", frameOn(9, 1200, 0, 800, 1000), 2)};
    stored.edgeGroups = EdgeGroupDetector::detectGroups(stored.items, 4.0, 120.0);
    LayoutStore::shared().layouts = {stored};
    const Date saved = stored.updatedAt;

    run(EdgeApplier::applyMove(edge(), 700));
    const Layout& after = LayoutStore::shared().layouts.at(0);
    EXPECT_EQ(storedFrames(), (std::vector<Rect>{Rect(0, 0, 1400, 1000), Rect(1400, 0, 600, 1000)}));
    EXPECT_EQ(after.items[1].targetFrame.displayUUID, uuidOf(9)) << "still the kest's own display";
    EXPECT_EQ(after.edgeGroups.at(0).coordinate, 1400);
    EXPECT_EQ(reloaded().items.at(1).targetFrame.x, 1400);
    EXPECT_NE(after.updatedAt, saved);

    // A stored frame that cannot be mapped back leaves the whole kest as it was, and says so.
    LayoutStore::shared().layouts[0].items[1].targetFrame.width = 0;
    const Layout unmappable = LayoutStore::shared().layouts[0];
    sim->simLog().clear();
    run(EdgeApplier::applyMove(edge(), 650));
    EXPECT_EQ(simWindow(left).frame(), Rect(0, 0, 650, 800)) << "the windows still move";
    EXPECT_EQ(LayoutStore::shared().layouts.at(0), unmappable);
    EXPECT_EQ(sim->simLog().lines().back(),
              "kestr: edge move of \"Pair\" not stored: com.example.right stands on another display than the "
              "kest's, and its frame there cannot be mapped back");
}

TEST_F(EdgeApplierTest, TwoQuickMovesBothLandInTheOrderTheyWereMade) {
    // The first move waits on a window that will not take its size at once.
    simWindow(right).minimumSize = Size{320, 100};
    const Uuid id = edge();
    auto first = start(EdgeApplier::applyMove(id, 700));
    sim->virtualTime().runPending();
    auto second = start(EdgeApplier::applyMove(id, 650));
    sim->virtualTime().advance(5);
    ASSERT_TRUE(first.done() && second.done());
    EXPECT_EQ(simWindow(left).frame(), Rect(0, 0, 650, 800));
    EXPECT_EQ(simWindow(right).frame(), Rect(650, 0, 350, 800));
    EXPECT_EQ(storedFrames(), (std::vector<Rect>{Rect(0, 0, 650, 800), Rect(650, 0, 350, 800)}));
    EXPECT_EQ(EdgeProximityTracker::shared().activeLayout->edgeGroups.at(0).coordinate, 650);
    EXPECT_FALSE(EdgeApplier::queue().isBusy());
}

TEST_F(EdgeApplierTest, ARevertPutsTheWindowsBackOnTheirCapturedFrames) {
    Layout captured = kest;
    captured.items[0].capturedFrame = frameOn(1, 0, 0, 500, 800);
    captured.items[1].capturedFrame = frameOn(1, 500, 0, 500, 800);
    LayoutStore::shared().layouts = {captured};
    EdgeProximityTracker::shared().setActiveLayout(captured);
    run(EdgeApplier::applyRevertToBaseline(edge()));
    EXPECT_EQ(simWindow(left).frame(), Rect(0, 0, 500, 800));
    EXPECT_EQ(simWindow(right).frame(), Rect(500, 0, 500, 800));
    EXPECT_EQ(storedFrames(), (std::vector<Rect>{Rect(0, 0, 500, 800), Rect(500, 0, 500, 800)}));

    // Without captured frames the windows stay and the kest is handed back all the same.
    EdgeProximityTracker::shared().setActiveLayout(kest);
    run(EdgeApplier::applyRevertToBaseline(edge()));
    EXPECT_EQ(simWindow(left).frame(), Rect(0, 0, 600, 800));
    EXPECT_EQ(EdgeProximityTracker::shared().activeLayout->edgeGroups.at(0).coordinate, 600);
}

// The right window's minimum grew after the kest was captured: back at its captured
// width it would run off the display. As a move does, the revert stops the edge where
// the windows fit and keeps what they took.
TEST_F(EdgeApplierTest, ARevertStopsTheEdgeWhereAWindowWhoseMinimumGrewFits) {
    Layout captured = kest;
    for (LayoutItem& item : captured.items) item.capturedFrame = item.targetFrame;
    LayoutStore::shared().layouts = {captured};
    EdgeProximityTracker::shared().setActiveLayout(captured);
    simWindow(right).minimumSize = Size{450, 100};
    simWindow(right).reportsSizeHints = true;
    run(EdgeApplier::applyMove(edge(), 520));
    ASSERT_EQ(simWindow(right).frame(), Rect(520, 0, 480, 800));

    run(EdgeApplier::applyRevertToBaseline(edge()));
    EXPECT_EQ(simWindow(left).frame(), Rect(0, 0, 550, 800));
    EXPECT_EQ(simWindow(right).frame(), Rect(550, 0, 450, 800));
    EXPECT_EQ(storedFrames(), (std::vector<Rect>{Rect(0, 0, 550, 800), Rect(550, 0, 450, 800)}));
    const EdgeGroup& moved = EdgeProximityTracker::shared().activeLayout->edgeGroups.at(0);
    EXPECT_EQ(moved.coordinate, 550);
    EXPECT_EQ(moved.maxCoordinate, 550);
}

}  // namespace
}  // namespace kestr::test
