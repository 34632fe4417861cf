// An edge moved after the strip the status button keeps has grown: the windows go below
// the new strip and the kest stores the frames they were given, not those of the apply.
// A window dropped into one of the kest's slots then goes below the new strip as well.
#include <gtest/gtest.h>

#include "App/AppDelegate.h"
#include "Core/LayoutStore.h"
#include "DragSnap/WindowDragTracker.h"
#include "EdgeResize/EdgeApplier.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Platform/Sim/SimDrag.h"
#include "Support/ActiveKestTest.h"
#include "Support/RecordingStatusItem.h"
#include "Support/StartedTask.h"

namespace kestr::test {
namespace {

class EdgeMoveAfterStripChangeTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        addDisplay(1, Rect(0, 0, 1440, 900));
        windows = {addApp("com.example.left", "Left", {window("L", Rect(0, 22, 720, 878))}).windows[0].element,
                   addApp("com.example.right", "Right", {window("R", Rect(720, 22, 720, 878))}).windows[0].element};
        kest.id.bytes[0] = 0x4e;
        kest.name = "Pair";
        kest.items = {kestItem("com.example.left", frameOn(1, 0, 22, 720, 878), 1),
                      kestItem("com.example.right", frameOn(1, 720, 22, 720, 878), 2)};
        kest.items[0].capturedFrame = frameOn(1, 0, 22, 600, 878);
        kest.items[1].capturedFrame = frameOn(1, 600, 22, 840, 878);
        kest.edgeGroups = EdgeGroupDetector::detectGroups(kest.items, 4.0, 120.0);
        LayoutStore::shared().layouts = {kest};
        LayoutStore::shared().save();
        LayoutStore::shared().layouts.clear();
        delegate = std::make_unique<AppDelegate>();
        delegate->makeStatusItem = [this] {
            auto recording = std::make_unique<RecordingStatusItem>();
            recording->keptStrip = 22;
            item = recording.get();
            return recording;
        };
        delegate->applicationDidFinishLaunching();
    }
    void TearDown() override {
        delegate.reset();
        DesktopTest::TearDown();
    }
    std::vector<Rect> windowFrames() {
        std::vector<Rect> frames;
        for (const AXElement& w : windows) frames.push_back(simWindow(w).frame());
        return frames;
    }
    // The kest applied while windows have everything below 22 points, then the room
    // shrinks at the top to 29 points, by the window manager putting the button lower or
    // by a panel the display gains there.
    void applyThenShrinkRoom(bool byPanel) {
        sim->world().displays[0].insets.top = 0;
        item->keptStrip = 22;
        item->onKeptStripChange();
        EdgeProximityTracker::shared().setActiveLayout(kest);
        if (byPanel) {
            sim->world().displays[0].insets.top = 29;
            delegate->visibleAreasChanged();
        } else {
            item->keptStrip = 29;
            item->onKeptStripChange();
        }
    }
    // The two windows one above the other instead, the edge between them running across;
    // the top one was captured from the old strip down.
    void stackWindows() {
        const Rect top(0, 22, 1440, 439), bottom(0, 461, 1440, 439);
        for (const auto& [w, r] : {std::pair{windows[0], top}, std::pair{windows[1], bottom}}) {
            simWindow(w).position = r.origin;
            simWindow(w).size = r.size;
        }
        kest.items[0].targetFrame = frameOn(1, 0, 22, 1440, 439);
        kest.items[1].targetFrame = frameOn(1, 0, 461, 1440, 439);
        kest.items[0].capturedFrame = frameOn(1, 0, 22, 1440, 300);
        kest.items[1].capturedFrame = frameOn(1, 0, 322, 1440, 578);
        kest.edgeGroups = EdgeGroupDetector::detectGroups(kest.items, 4.0, 120.0);
        LayoutStore::shared().layouts = {kest};
    }
    static std::vector<Rect> storedFrames() {
        std::vector<Rect> frames;
        for (const LayoutItem& i : LayoutStore::shared().layouts.at(0).items)
            frames.push_back(Rect(i.targetFrame.x, i.targetFrame.y, i.targetFrame.width, i.targetFrame.height));
        return frames;
    }

    std::unique_ptr<AppDelegate> delegate;
    std::vector<AXElement> windows;
    RecordingStatusItem* item = nullptr;
    Layout kest;
};

// A window dropped into a slot of the kest goes below the new strip too.
TEST_F(EdgeMoveAfterStripChangeTest, AWindowDroppedIntoASlotGoesIntoTheRoomOfTheMoment) {
    const AXElement notes =
        addApp("com.example.notes", "Notes", {window("Note", Rect(300, 300, 400, 300))}).windows[0].element;
    WindowDragTracker::shared().setEnabled(true);
    for (const bool byPanel : {false, true}) {
        SCOPED_TRACE(byPanel ? "panel" : "strip");
        simWindow(notes).position = Point{300, 300};
        simWindow(notes).size = Size{400, 300};
        applyThenShrinkRoom(byPanel);
        SimDrag(*sim, notes)
            .hold(ModifierFlag::command)
            .pressAt(Point{400, 310})
            .moveBy(20, 0)
            .moveTo(Point{1000, 400})
            .release();
        sim->virtualTime().advance(5);
        EXPECT_EQ(simWindow(notes).frame(), Rect(720, 29, 720, 871));
    }
}

TEST_F(EdgeMoveAfterStripChangeTest, AnEdgeOperationPlacesAndStoresInTheRoomOfTheMoment) {
    struct Case {
        const char* name;
        bool byPanel;
        bool revert;
        bool stacked;
        std::vector<Rect> expected;
    };
    const std::vector<Rect> moved{Rect(0, 29, 800, 871), Rect(800, 29, 640, 871)};
    const Case cases[] = {
        {"strip, move", false, false, false, moved},
        {"strip, revert", false, true, false, {Rect(0, 29, 600, 871), Rect(600, 29, 840, 871)}},
        {"panel, move", true, false, false, moved},
        // Last: the windows stay stacked from here on.
        {"strip, revert across", false, true, true, {Rect(0, 29, 1440, 293), Rect(0, 322, 1440, 578)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.stacked) stackWindows();
        applyThenShrinkRoom(c.byPanel);
        const Uuid edge = EdgeProximityTracker::shared().activeLayout->edgeGroups.at(0).id;
        auto started = start(c.revert ? EdgeApplier::applyRevertToBaseline(edge) : EdgeApplier::applyMove(edge, 800));
        sim->virtualTime().advance(5);
        ASSERT_TRUE(started.done());
        EXPECT_EQ(windowFrames(), c.expected);
        EXPECT_EQ(storedFrames(), c.expected);
    }
}

}  // namespace
}  // namespace kestr::test
