// Edge resizing from end to end on the simulated desktop: the pointer near an edge, the
// handle, a press, a drag, the release, the windows moved and the kest stored.
#include <gtest/gtest.h>

#include "Core/LayoutStore.h"
#include "EdgeResize/EdgeDragSession.h"
#include "EdgeResize/EdgeOverlayManager.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Support/ActiveKestTest.h"

namespace kestr::test {
namespace {

class EdgeResizeFlowTest : public ActiveKestTest {
protected:
    void SetUp() override {
        ActiveKestTest::SetUp();
        kest.items[0].capturedFrame = frameOn(1, 0, 25, 600, 875);
        kest.items[1].capturedFrame = frameOn(1, 600, 25, 840, 875);
        LayoutStore::shared().layouts = {kest};
        // As the menu-bar controller wires them.
        tracker().onProximityChange = [](const std::optional<EdgeProximityTracker::Hit>& hit) {
            EdgeOverlayManager::shared().updateProximity(hit);
        };
        tracker().setActiveLayout(kest);
        manager().setActiveLayout(kest);
    }
    static EdgeProximityTracker& tracker() { return EdgeProximityTracker::shared(); }
    static EdgeOverlayManager& manager() { return EdgeOverlayManager::shared(); }
    static EdgeDragSession& session() { return EdgeDragSession::shared(); }
    EdgeOverlay& overlay() { return *manager().windows.at(uuidOf(1)); }

    // The pointer over the edge, the handle shown and taking the mouse.
    void hover() {
        movePointer(Point{722, 400});
        ASSERT_TRUE(overlay().activeGroupID);
        ASSERT_FALSE(overlay().ignoresMouseEvents());
    }
    // What the overlay's window hands on while the left button is down.
    void press(int clickCount = 1) {
        sim->simEventMonitors().setPressedMouseButtons(1);
        overlay().mouseDown(clickCount);
    }
    void dragTo(double x) {
        sim->world().pointer = Point{x, 400};
        overlay().mouseDragged();
        sim->virtualTime().advance(1.0 / 60);
    }
    void release() {
        sim->simEventMonitors().setPressedMouseButtons(0);
        overlay().mouseUp();
        sim->virtualTime().advance(1);
    }
    Rect leftFrame() { return left->windows[0].frame(); }
};

TEST_F(EdgeResizeFlowTest, DraggingTheHandleMovesTheEdgeAndStoresIt) {
    EXPECT_EQ(manager().windows.size(), 1u) << "edges on the first display only";
    EXPECT_EQ(overlay().alphaValue(), 0.0);
    EXPECT_TRUE(overlay().ignoresMouseEvents());
    hover();
    sim->virtualTime().advance(0.1);
    EXPECT_EQ(overlay().alphaValue(), 1.0);

    press();
    EXPECT_TRUE(session().isActive);
    // Past the right limit, then back near the captured edge, where the magnet holds it.
    dragTo(1400);
    EXPECT_TRUE(session().clipped);
    EXPECT_EQ(overlay().drawing()->line.x(), 1320 - overlay().drawing()->line.width() / 2);
    dragTo(603);
    EXPECT_EQ(session().currentGlobalCoord, 600);
    dragTo(800);
    // Reports during the drag keep the dragged edge at its old place.
    EXPECT_EQ(tracker().lastHit->distance, 0);
    EXPECT_EQ(tracker().lastHit->edgeCoordinate, 720);
    sim->virtualTime().advance(0.5);
    EXPECT_EQ(overlay().pressProgress, 1.0);
    EXPECT_EQ(overlay().drawing()->ghost, Rect(719.5, 25, 1, 875));

    release();
    EXPECT_EQ(leftFrame(), Rect(0, 25, 800, 875));
    EXPECT_EQ(right->windows[0].frame(), Rect(800, 25, 640, 875));
    EXPECT_EQ(tracker().activeLayout->edgeGroups.at(0).coordinate, 800);
    // The overlays were rebuilt for the moved kest: its edge, no press left, no ghost.
    ASSERT_EQ(overlay().groups.size(), 1u);
    EXPECT_EQ(overlay().groups[0].coordinate, 800);
    EXPECT_TRUE(overlay().activeGroupID) << "the pointer rests on the moved edge";
    EXPECT_EQ(overlay().pressProgress, 0.0);
    EXPECT_EQ(LayoutStore::shared().layouts.at(0).items.at(0).targetFrame.width, 800);
    movePointer(Point{801, 400});
    EXPECT_TRUE(overlay().activeGroupID);
    ASSERT_TRUE(overlay().drawing());
    EXPECT_EQ(overlay().drawing()->line.x(), 800 - overlay().drawing()->line.width() / 2);
    EXPECT_FALSE(overlay().drawing()->ghost);
}

// Once the windows have moved, the handle shows where the edge now is if the released
// pointer rests there, and nowhere if it was taken away without a motion event.
TEST_F(EdgeResizeFlowTest, TheHandleFollowsTheMovedEdgeUnderARestingPointer) {
    struct Case {
        double releasedAt;
        bool shown;
    };
    for (const Case& c : {Case{800, true}, Case{803, true}, Case{860, false}}) {
        SCOPED_TRACE(c.releasedAt);
        tracker().setActiveLayout(kest);
        manager().setActiveLayout(kest);
        hover();
        press();
        dragTo(800);
        sim->world().pointer = Point{c.releasedAt, 400};
        release();
        ASSERT_EQ(leftFrame(), Rect(0, 25, 800, 875));
        EXPECT_EQ(overlay().activeGroupID.has_value(), c.shown);
        EXPECT_EQ(overlay().ignoresMouseEvents(), !c.shown);
        if (c.shown) {
            ASSERT_TRUE(overlay().drawing());
            EXPECT_EQ(overlay().drawing()->line.x(), 800 - overlay().drawing()->line.width() / 2);
        }
        left->windows[0].size.width = 720;
        right->windows[0].position.x = 720;
        right->windows[0].size.width = 720;
    }
}

TEST_F(EdgeResizeFlowTest, AKestOnOneDisplayLeavesTheOtherDisplaysHandles) {
    // A kest of two windows sharing x = 960 on the second display.
    addApp("com.example.mail", "Mail", {window("Inbox", Rect(1440, 0, 960, 1080))});
    addApp("com.example.chat", "Chat", {window("Room", Rect(2400, 0, 960, 1080))});
    Layout second;
    second.id.bytes[0] = 0x5e;
    second.items = {kestItem("com.example.mail", frameOn(2, 0, 0, 960, 1080), 3),
                    kestItem("com.example.chat", frameOn(2, 960, 0, 960, 1080), 4)};
    second.edgeGroups = EdgeGroupDetector::detectGroups(second.items, 4.0, 120.0);
    tracker().setActiveLayout(second);
    manager().setActiveLayout(second);
    EXPECT_EQ(manager().windows.size(), 2u) << "the first display keeps the first kest's edge";
    movePointer(Point{722, 400});
    EXPECT_EQ(overlay().activeGroupID, kest.edgeGroups[0].id);
    EXPECT_FALSE(manager().windows.at(uuidOf(2))->activeGroupID);
    EXPECT_TRUE(manager().windows.at(uuidOf(2))->ignoresMouseEvents());
    movePointer(Point{1440 + 962, 500});
    EXPECT_FALSE(overlay().activeGroupID);
    EXPECT_TRUE(overlay().ignoresMouseEvents());
    EXPECT_EQ(manager().windows.at(uuidOf(2))->activeGroupID, second.edgeGroups[0].id);

    // Released: no overlay is left.
    tracker().releaseActiveKest();
    manager().setActiveLayout(std::nullopt);
    EXPECT_TRUE(manager().windows.empty());
}

TEST_F(EdgeResizeFlowTest, EscapeMovesNothingAndADoubleClickReverts) {
    hover();
    press();
    dragTo(900);
    Event escape;
    escape.type = EventType::keyDown;
    escape.keyCode = 53;
    sim->simEventMonitors().post(escape, true);
    sim->virtualTime().runPending();
    EXPECT_FALSE(session().isActive);
    release();
    EXPECT_EQ(leftFrame(), Rect(0, 25, 720, 875));

    // The first click of the double click is a drag that goes nowhere.
    movePointer(Point{721, 400});
    press(1);
    release();
    press(2);
    release();
    EXPECT_EQ(leftFrame(), Rect(0, 25, 600, 875));
    EXPECT_EQ(right->windows[0].frame(), Rect(600, 25, 840, 875));
}

TEST_F(EdgeResizeFlowTest, ADragWhoseMouseUpNeverComesEnds) {
    hover();
    press();
    dragTo(800);
    // The kest is handed over again (say, applied by its shortcut): the pressed overlay
    // is gone, its mouse-up with it.
    tracker().setActiveLayout(kest);
    manager().setActiveLayout(kest);
    EXPECT_FALSE(session().isActive);
    movePointer(Point{722, 400});
    EXPECT_TRUE(overlay().activeGroupID) << "later handles work";

    // The button comes up where no overlay hears it: the next check ends the drag.
    press();
    dragTo(800);
    sim->simEventMonitors().setPressedMouseButtons(0);
    sim->world().pointer = Point{810, 400};
    sim->virtualTime().advance(0.05);
    EXPECT_FALSE(session().isActive);
    EXPECT_EQ(leftFrame(), Rect(0, 25, 720, 875));
}

TEST_F(EdgeResizeFlowTest, WhereThePressedWindowHearsItsReleaseTheDragWaitsForIt) {
    sim->simCapabilities.releaseGoesToPressedWindow = true;
    hover();
    press();
    dragTo(800);
    // The button is up, its release not handed on yet: checks in between keep the drag.
    sim->simEventMonitors().setPressedMouseButtons(0);
    sim->virtualTime().advance(0.05);
    EXPECT_TRUE(session().isActive);
    release();
    EXPECT_EQ(leftFrame(), Rect(0, 25, 800, 875));
}

}  // namespace
}  // namespace kestr::test
