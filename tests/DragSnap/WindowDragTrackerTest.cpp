#include "DragSnap/WindowDragTracker.h"

#include <gtest/gtest.h>

#include "Core/LayoutStore.h"
#include "Core/Preferences.h"
#include "EdgeResize/EdgeApplier.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Platform/Sim/SimDrag.h"
#include "Support/ActiveKestTest.h"
#include "Support/StartedTask.h"

namespace kestr::test {
namespace {

// Overlay windows that record what they were asked to show.
struct FakeSnapZones : SnapZonePresenter {
    struct Window : SnapZoneWindow {
        Rect bounds;
        bool front = false;
        bool out = false;
        double alpha = 0;
        std::optional<std::size_t> highlighted;
        void orderFront() override { front = true; }
        void setAlpha(double a) override { alpha = a; }
        void redraw(const std::vector<Rect>&, std::optional<std::size_t> h) override { highlighted = h; }
        void orderOut() override { out = true; }
    };
    std::unique_ptr<SnapZoneWindow> makeWindow(const Rect& displayBounds) override {
        auto w = std::make_unique<Window>();
        w->bounds = displayBounds;
        made.push_back(w.get());
        return w;
    }
    // Owned by the overlays; look only while they exist.
    std::vector<Window*> made;
};

class WindowDragTrackerTest : public ActiveKestTest {
protected:
    void SetUp() override {
        ActiveKestTest::SetUp();
        notes = addApp("com.example.notes", "Notes", {window("Note", Rect(300, 300, 400, 300))}).windows[0].element;
        EdgeProximityTracker::shared().setActiveLayout(kest);
        zones = std::make_shared<FakeSnapZones>();
        drag().presenter = zones;
        drag().setEnabled(true);
    }

    static WindowDragTracker& drag() { return WindowDragTracker::shared(); }
    std::vector<std::vector<Rect>> shownZones() {
        std::vector<std::vector<Rect>> out;
        for (const auto& o : drag().overlays) out.push_back(o->zones());
        return out;
    }
    const std::vector<Rect> halves{Rect(0, 25, 720, 875), Rect(720, 25, 720, 875)};

    AXElement notes;
    std::shared_ptr<FakeSnapZones> zones;
};

TEST_F(WindowDragTrackerTest, AWindowDraggedWithTheModifierDropsIntoTheSlotUnderThePointer) {
    SimDrag d(*sim, notes);
    d.hold(ModifierFlag::command | ModifierFlag::shift).pressAt(Point{400, 310}).moveBy(4, 3);
    EXPECT_TRUE(drag().overlays.empty()) << "7 points is not a drag yet";
    d.moveBy(1, 0);
    ASSERT_EQ(drag().overlays.size(), 1u);
    const SnapZoneOverlay& overlay = *drag().overlays[0];
    EXPECT_EQ(overlay.displayID, 1u);
    EXPECT_EQ(overlay.zones(), halves);
    EXPECT_EQ(overlay.highlightedIndex(), 0u);
    ASSERT_EQ(zones->made.size(), 1u);
    EXPECT_TRUE(zones->made[0]->front);
    EXPECT_EQ(zones->made[0]->bounds, Rect(0, 0, 1440, 900));
    // Faded in over a tenth of a second, step by step.
    EXPECT_GT(overlay.alphaValue(), 0.0);
    EXPECT_LT(overlay.alphaValue(), 1.0);
    sim->virtualTime().advance(0.2);
    EXPECT_EQ(overlay.alphaValue(), 1.0);
    EXPECT_EQ(zones->made[0]->alpha, 1.0);

    d.moveTo(Point{1000, 400});
    EXPECT_EQ(overlay.highlightedIndex(), 1u);
    EXPECT_EQ(zones->made[0]->highlighted, 1u);
    d.release();
    EXPECT_TRUE(drag().overlays.empty());
    EXPECT_FALSE(drag().tracked);
    EXPECT_EQ(simWindow(notes).frame(), Rect(720, 25, 720, 875));
}

TEST_F(WindowDragTrackerTest, AfterAnEdgeMoveTheSlotsAreTheFramesAsMoved) {
    // The kest as an apply hands it over (recorded frames as placed), then its edge moved
    // from 720 to 1000 and stored.
    Layout held = kest;
    for (LayoutItem& item : held.items) item.capturedFrame = item.targetFrame;
    LayoutStore::shared().layouts = {held};
    EdgeProximityTracker::shared().setActiveLayout(held);
    auto moved = start(EdgeApplier::applyMove(held.edgeGroups.at(0).id, 1000));
    sim->virtualTime().advance(5);
    ASSERT_TRUE(moved.succeeded());
    ASSERT_EQ(LayoutStore::shared().layouts[0].items[0].targetFrame.width, 1000);

    SimDrag d(*sim, notes);
    d.hold(ModifierFlag::command).pressAt(Point{400, 310}).moveBy(20, 0);
    EXPECT_EQ(shownZones(), (std::vector<std::vector<Rect>>{{Rect(0, 25, 1000, 875), Rect(1000, 25, 440, 875)}}));
    // Scaled onto the display with no grid of its own, the moved frames too.
    d.moveTo(Point{1500, 400});
    ASSERT_EQ(shownZones().size(), 1u);
    EXPECT_NEAR(shownZones()[0][0].width(), 1000 * 1920.0 / 1440, 0.01);
    d.moveTo(Point{900, 400}).release();
    EXPECT_EQ(simWindow(notes).frame(), Rect(0, 25, 1000, 875)) << "where the edge stands, not where it stood";
}

TEST_F(WindowDragTrackerTest, NoModifierOrAResizeShowsNothingAndDropsNothing) {
    SimDrag d(*sim, notes);
    d.hold(ModifierFlag::command).pressAt(Point{400, 310}).moveBy(20, 0);
    ASSERT_EQ(drag().overlays.size(), 1u);
    // Released mid-drag: gone at the next drag event; the drop leaves the window be.
    d.hold(ModifierFlag::shift).moveBy(20, 0);
    EXPECT_TRUE(drag().overlays.empty());
    d.moveTo(Point{1000, 400}).release();
    EXPECT_EQ(simWindow(notes).frame(), Rect(300 + 600, 300 + 90, 400, 300));

    // A resize by the top-left corner moves the window too, but never snaps.
    SimDrag resize(*sim, notes);
    resize.hold(ModifierFlag::command).pressAt(Point{900, 390}, true).moveBy(-10, 0);
    EXPECT_TRUE(drag().draggingWindow);
    EXPECT_TRUE(drag().overlays.empty());
    resize.moveTo(Point{1000, 400}).release();
    EXPECT_EQ(simWindow(notes).frame(), Rect(1000, 400, 300, 290));
}

TEST_F(WindowDragTrackerTest, AModifierStoredWithoutAnyModifierKeyMeansCommand) {
    sim->simDefaults().standardDomain().set(Preferences::dragSnapModifierKey, 0);
    EXPECT_EQ(Preferences::shared().dragSnapModifier(), 0u);
    SimDrag(*sim, notes).pressAt(Point{400, 310}).moveBy(30, 0);
    EXPECT_TRUE(drag().overlays.empty()) << "nothing held must not count as the modifier";
    drag().setEnabled(false);
    drag().setEnabled(true);
    SimDrag(*sim, notes).hold(ModifierFlag::command).pressAt(Point{430, 310}).moveBy(30, 0);
    EXPECT_EQ(drag().overlays.size(), 1u);

    // Only the modifier-key bits of the stored value count.
    sim->simDefaults().standardDomain().set(Preferences::dragSnapModifierKey,
                                            std::int64_t(ModifierFlag::option | ModifierFlag::capsLock));
    EXPECT_EQ(WindowDragTracker::requiredModifiers(), ModifierFlag::option);
}

TEST_F(WindowDragTrackerTest, MonitorsAreInstalledOnceAndRemovedWhenSwitchedOff) {
    const std::size_t before = sim->simEventMonitors().monitorCount();
    drag().installMonitors();
    drag().setEnabled(true);
    EXPECT_EQ(drag().monitors.size(), 3u);
    EXPECT_EQ(sim->simEventMonitors().monitorCount(), before);

    SimDrag d(*sim, notes);
    d.hold(ModifierFlag::command).pressAt(Point{400, 310}).moveBy(20, 0);
    ASSERT_EQ(drag().overlays.size(), 1u);
    drag().setEnabled(false);
    EXPECT_TRUE(drag().overlays.empty());
    EXPECT_FALSE(drag().tracked);
    EXPECT_EQ(sim->simEventMonitors().monitorCount(), before - 3);
    d.release();
    EXPECT_EQ(simWindow(notes).position, (Point{320, 300}));
}

TEST_F(WindowDragTrackerTest, SlotsFollowThePointerFromDisplayToDisplay) {
    SimDrag d(*sim, notes);
    d.hold(ModifierFlag::command).pressAt(Point{400, 310}).moveBy(20, 0);
    ASSERT_EQ(shownZones(), std::vector<std::vector<Rect>>{halves});
    // No grid on the second display: the kest's slots scaled to its visible area.
    d.moveTo(Point{1500, 400});
    EXPECT_EQ(shownZones(), (std::vector<std::vector<Rect>>{{Rect(0, 0, 960, 1080), Rect(960, 0, 960, 1080)}}));
    EXPECT_EQ(drag().overlays[0]->displayID, 2u);
    EXPECT_EQ(drag().overlays[0]->highlightedIndex(), 0u);
    d.moveTo(Point{1500 + 1000, 400}).release();
    EXPECT_EQ(simWindow(notes).frame(), Rect(1440 + 960, 0, 960, 1080));

    // Off every screen nothing is shown or rebuilt.
    SimDrag off(*sim, notes);
    off.hold(ModifierFlag::command).pressAt(Point{2500, 10}).moveBy(0, -40);
    EXPECT_TRUE(drag().overlays.empty());
}

TEST_F(WindowDragTrackerTest, AKestOnTwoDisplaysLendsTheOneAtThePointersPlaceFromTheLeft) {
    addDisplay(3, Rect(3360, 0, 2880, 1750));
    Layout wide;
    wide.items = {kestItem("com.example.closed", frameOn(1, 0, 25, 1440, 875), 1),
                  kestItem("com.example.closed", frameOn(2, 0, 0, 960, 1080), 2)};
    EdgeProximityTracker::shared().setActiveLayout(wide);
    SimDrag d(*sim, notes);
    d.hold(ModifierFlag::command).pressAt(Point{400, 310}).moveTo(Point{1500, 400});
    EXPECT_EQ(shownZones(), (std::vector<std::vector<Rect>>{{Rect(0, 0, 960, 1080)}}));
    d.moveTo(Point{3400, 400});
    EXPECT_EQ(shownZones(), (std::vector<std::vector<Rect>>{{Rect(0, 0, 2880, 1750)}})) << "the leftmost, scaled";
    // None of the wide kest's windows is open: handing it over dropped this Space's grid.
    d.moveTo(Point{400, 400});
    EXPECT_EQ(shownZones(), (std::vector<std::vector<Rect>>{{Rect(0, 25, 1440, 875)}}));
}

TEST_F(WindowDragTrackerTest, WithoutAnActiveKestNothingShows) {
    EdgeProximityTracker::shared().releaseActiveKest();
    LayoutStore::shared().layouts = {kest};
    SimDrag(*sim, notes).hold(ModifierFlag::command).pressAt(Point{400, 310}).moveBy(20, 0);
    EXPECT_TRUE(drag().overlays.empty());
}

}  // namespace
}  // namespace kestr::test
