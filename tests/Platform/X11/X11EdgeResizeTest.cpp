// Edge resizing on the X11 desktop, as a person does it: the pointer brought to the
// edge two windows of the active kest share, the handle that shows there pressed and
// dragged, the windows on both sides following and the kest stored with the new edge.
// The backend runs on Qt's loop, as in the program, which serves the handle's window too.
#include <gtest/gtest.h>
#include <xcb/xcb_icccm.h>

#include "App/ServiceWiring.h"
#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "EdgeResize/EdgeApplier.h"
#include "EdgeResize/EdgeDragSession.h"
#include "EdgeResize/EdgeOverlayManager.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Layout/LayoutApplier.h"
#include "Support/HandleStep.h"
#include "Support/ItemBuilder.h"
#include "Platform/X11/Support/BackendTest.h"
#include "Platform/X11/Support/FakeInput.h"
#include "Platform/X11/Support/QtOnSession.h"
#include "Platform/X11/Support/XReads.h"

namespace kestr::x11test {
namespace {

class X11EdgeResizeTest : public BackendTest {
protected:
    X11EdgeResizeTest() { onQtLoop = true; }

    xcb_window_t open(const std::string& wmClass, int x) {
        ClientOptions options;
        options.wmClass = wmClass;
        options.geometry = ClientGeometry{x, 200, 400, 300};
        return openFramed(options);
    }
    Rect frame(xcb_window_t w) { return serverFrame(w); }
    // Stores a kest of two windows and applies it, as its shortcut does.
    test::StartedTask<LayoutApplier::ApplyReport> storeAndApply(const std::string& name, LayoutItem first,
                                                                LayoutItem second) {
        Layout kest;
        kest.id = Uuid::random();
        kest.name = name;
        kest.items = {std::move(first), std::move(second)};
        LayoutStore& store = LayoutStore::shared();
        EXPECT_EQ(store.fileURL.rfind(dataFolder() + "/", 0), 0u) << store.fileURL;
        store.layouts = {kest};
        store.save();
        return run(LayoutApplier::apply(kest, LayoutApplier::ApplyMode::reuseExisting,
                                        LayoutApplier::FrameSource::target, std::nullopt));
    }
    // Two windows side by side and their kest stored and applied: the kest as applied, with
    // the one edge the windows share; none when the apply went otherwise.
    std::optional<Layout> applyHalves() {
        const std::string display = *x11().displays().displayUUIDString(x11().displays().mainDisplayID());
        left = open("KestrEdit", 100);
        right = open("KestrView", 1000);
        auto applied = storeAndApply("Halves", test::ItemBuilder("KestrEdit").on(display, Rect(0, 0, 960, 1080)),
                                     test::ItemBuilder("KestrView").on(display, Rect(960, 0, 960, 1080)));
        if (!applied.succeeded() || applied.value().applied != 2) return std::nullopt;
        const auto& effective = applied.value().effectiveLayout;
        return effective && effective->edgeGroups.size() == 1 ? effective : std::nullopt;
    }
    void move(int x, int y) { fakeInput(connection(), session().root(), XCB_MOTION_NOTIFY, 0, x, y); }
    bool showDesktop(std::uint32_t desktop) {
        X11Connection& x = x11().connection();
        x.sendRootMessage(x.root(), x.ewmh()._NET_CURRENT_DESKTOP, desktop, XCB_CURRENT_TIME);
        x.flush();
        return settle([&] { return x11().model().currentDesktop() == desktop; });
    }
    // Two windows side by side and their kest applied and handed over as its shortcut does,
    // wired as the program wires it at start-up; then the pointer brought to the edge,
    // halfway down where the knob sits, and pressed there. The button goes up at the end
    // of the test whatever fails: later tests share the server.
    void pressHandleOfHalves() {
        ServiceWiring::connect();
        EdgeProximityTracker::shared().onProximityChange = [](const std::optional<EdgeProximityTracker::Hit>& hit) {
            EdgeOverlayManager::shared().updateProximity(hit);
        };
        const auto effective = applyHalves();
        ASSERT_TRUE(effective);
        ASSERT_EQ(frame(left), Rect(0, 0, 960, 1080));
        ASSERT_EQ(frame(right), Rect(960, 0, 960, 1080));
        HotkeyManager& hotkeys = HotkeyManager::shared();
        hotkeys.setTrackerActiveLayout(effective);
        hotkeys.setOverlayActiveLayout(effective);
        ASSERT_EQ(EdgeOverlayManager::shared().windows.size(), 1u);
        EdgeOverlay& overlay = *EdgeOverlayManager::shared().windows.begin()->second;

        release = std::shared_ptr<void>(
            nullptr, [this](void*) { fakeInput(connection(), session().root(), XCB_BUTTON_RELEASE, 1); });
        const auto takesMouse = [&] { return overlay.activeGroupID && !overlay.ignoresMouseEvents(); };
        for (int x = 900; x <= 960 && !takesMouse(); x += 4) {
            move(x, 540);
            pumpQtUntil(takesMouse, 0.1);
        }
        ASSERT_TRUE(overlay.activeGroupID) << "no handle showed at the edge";
        ASSERT_TRUE(pumpQtUntil([&] { return overlay.alphaValue() == 1; }));
        move(960, 540);
        fakeInput(connection(), session().root(), XCB_BUTTON_PRESS, 1);
        ASSERT_TRUE(pumpQtUntil([&] { return EdgeDragSession::shared().isActive; }))
            << "the press never reached the handle";
    }

    xcb_window_t left = XCB_NONE;
    xcb_window_t right = XCB_NONE;
    std::shared_ptr<void> release;
};

TEST_F(X11EdgeResizeTest, DraggingTheHandleOfASharedEdgeResizesTheWindowsOnBothSidesAndStoresTheKest) {
    ASSERT_NO_FATAL_FAILURE(pressHandleOfHalves());
    LayoutStore& store = LayoutStore::shared();
    EdgeDragSession& drag = EdgeDragSession::shared();
    for (int x = 980; x <= 1100; x += 20) move(x, 560);
    EXPECT_TRUE(pumpQtUntil([&] { return drag.currentGlobalCoord == 1100; })) << drag.currentGlobalCoord;
    fakeInput(connection(), session().root(), XCB_BUTTON_RELEASE, 1);

    EXPECT_TRUE(settle([&] {
        return frame(left) == Rect(0, 0, 1100, 1080) && frame(right) == Rect(1100, 0, 820, 1080);
    })) << frame(left).width()
        << " | " << frame(right).x() << " " << frame(right).width();
    EXPECT_FALSE(drag.isActive);
    // The move is stored once kestr has seen the windows there, which may be after the
    // frames arrived: its own wait for them ends later.
    EXPECT_TRUE(runUntil([&] {
        return store.layouts.size() == 1 && store.layouts[0].items[0].targetFrame.width == 1100 &&
               !store.layouts[0].edgeGroups.empty();
    })) << "the moved edge was never stored";
    // The file holds the new edge.
    LayoutStore reread(store.fileURL);
    reread.load();
    ASSERT_EQ(reread.layouts.size(), 1u);
    const auto& items = reread.layouts[0].items;
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].targetFrame.width, 1100);
    EXPECT_EQ(items[1].targetFrame.x, 1100);
    EXPECT_EQ(items[1].targetFrame.width, 820);
    ASSERT_EQ(reread.layouts[0].edgeGroups.size(), 1u);
    EXPECT_EQ(reread.layouts[0].edgeGroups[0].coordinate, 1100);
}

// A remote control moves the pointer by warps, which no device reports: the handle
// follows each, and the edge lands where the button went up.
TEST_F(X11EdgeResizeTest, AHandleDraggedByWarpsFollowsThemAndTheEdgeLandsWhereTheButtonWentUp) {
    ASSERT_NO_FATAL_FAILURE(pressHandleOfHalves());
    const EdgeDragSession& drag = EdgeDragSession::shared();
    for (int x = 1000; x <= 1100; x += 50) {
        xcb_warp_pointer(connection(), XCB_NONE, session().root(), 0, 0, 0, 0, std::int16_t(x), 560);
        xcb_flush(connection());
        EXPECT_TRUE(pumpQtUntil([&] { return drag.currentGlobalCoord == x; })) << drag.currentGlobalCoord;
    }
    fakeInput(connection(), session().root(), XCB_BUTTON_RELEASE, 1);
    EXPECT_TRUE(settle([&] {
        return frame(left) == Rect(0, 0, 1100, 1080) && frame(right) == Rect(1100, 0, 820, 1080);
    })) << frame(left).width()
        << " | " << frame(right).x() << " " << frame(right).width();

    // The pointer rests where the button went up, on the moved edge: its handle shows
    // there without a motion; warps off the edge and back hide and show it.
    EdgeProximityTracker& tracker = EdgeProximityTracker::shared();
    ASSERT_TRUE(
        runUntil([&] { return tracker.activeLayout && tracker.activeLayout->edgeGroups.at(0).coordinate == 1100; }));
    ASSERT_TRUE(tracker.lastHit);
    EdgeOverlay& overlay = *EdgeOverlayManager::shared().windows.begin()->second;
    EXPECT_TRUE(pumpQtUntil([&] { return overlay.activeGroupID && overlay.alphaValue() == 1; }))
        << "no handle at the moved edge under the resting pointer";
    const auto warp = [&](int x) {
        xcb_warp_pointer(connection(), XCB_NONE, session().root(), 0, 0, 0, 0, std::int16_t(x), 560);
        xcb_flush(connection());
    };
    warp(1110);
    // Two ticks of the poll are enough to see it, however long they take.
    const int idleBefore = tracker.idleTicks;
    EXPECT_TRUE(pumpQtUntil([&] { return !tracker.lastHit || tracker.idleTicks >= idleBefore + 2; }));
    EXPECT_EQ(tracker.lastHit, std::nullopt) << "the warp off the edge went unseen";
    warp(1100);
    EXPECT_TRUE(pumpQtUntil([&] { return overlay.activeGroupID && overlay.alphaValue() == 1; }))
        << "no handle after the warps";
}

TEST_F(X11EdgeResizeTest, AnEdgeDraggedTowardsAWindowWithAMinimumSizeStopsThereAndTheKestHoldsWhatTheWindowsTook) {
    const std::string display = *x11().displays().displayUUIDString(x11().displays().mainDisplayID());
    ClientOptions above;
    above.wmClass = "KestrMinimum";
    above.minSize = ClientSize{600, 450};
    const xcb_window_t top = openFramed(above);
    const xcb_window_t bottom = open("KestrBelow", 100);

    auto applied = storeAndApply("Stacked", test::ItemBuilder("KestrMinimum").on(display, Rect(0, 0, 720, 600)),
                                 test::ItemBuilder("KestrBelow").on(display, Rect(0, 600, 720, 480)));
    ASSERT_TRUE(applied.succeeded());
    ASSERT_EQ(frame(top), Rect(0, 0, 720, 600));
    // The frame's minimum: the client's 450 and the decorations around it.
    const double minimum = 450 + frame(top).height() - clientGeometry(connection(), top).value().height;
    const Layout effective = *applied.value().effectiveLayout;
    ASSERT_EQ(effective.edgeGroups.size(), 1u);
    EXPECT_EQ(effective.edgeGroups[0].minCoordinate, minimum);
    EdgeProximityTracker::shared().setActiveLayout(effective);

    EdgeDragSession& drag = EdgeDragSession::shared();
    drag.start(effective.edgeGroups[0], x11().displays().mainDisplayID(), 600);
    drag.update(300);
    ASSERT_EQ(drag.currentGlobalCoord, minimum);
    ASSERT_LT(minimum, 600);
    run(drag.commit());
    EXPECT_TRUE(settle([&] { return frame(top).height() == minimum && frame(bottom).y() == minimum; }))
        << frame(top).height() << " | " << frame(bottom).y();
    LayoutStore reread(LayoutStore::shared().fileURL);
    reread.load();
    const auto& items = reread.layouts.at(0).items;
    EXPECT_EQ(items.at(0).targetFrame.height, frame(top).height());
    EXPECT_EQ(items.at(1).targetFrame.y, frame(bottom).y());
}

// A window without size hints that sets its own width back when made narrower (as some
// toolkits do) does so after the window manager's answer: the edge, moved or put back,
// stops where that window then starts, and the kest keeps what each window took.
TEST_F(X11EdgeResizeTest, AnEdgeStopsAtAWindowThatSetsItsOwnWidthBackAndTheKestHoldsWhatTheWindowsTook) {
    const std::string display = *x11().displays().displayUUIDString(x11().displays().mainDisplayID());
    ClientOptions keeping;
    keeping.wmClass = "KestrKeep";
    keeping.keepWidth = 700;
    keeping.geometry = ClientGeometry{1000, 200, 800, 300};
    const xcb_window_t kept = openFramed(keeping);
    const xcb_window_t beside = open("KestrBeside", 100);
    for (const bool revert : {false, true}) {
        SCOPED_TRACE(revert ? "revert" : "move");
        LayoutItem first = test::ItemBuilder("KestrBeside").on(display, Rect(0, 0, 960, 1080));
        LayoutItem second = test::ItemBuilder("KestrKeep").on(display, Rect(960, 0, 960, 1080));
        // Captured with the edge where the move takes it.
        first.capturedFrame = ScreenFrame{display, 0, 0, 1400, 1080, {}, {}, {}, {}};
        second.capturedFrame = ScreenFrame{display, 1400, 0, 520, 1080, {}, {}, {}, {}};
        auto applied = storeAndApply("Keeping", first, second);
        ASSERT_TRUE(applied.succeeded());
        ASSERT_EQ(frame(kept), Rect(960, 0, 960, 1080));
        const Uuid edge = applied.value().effectiveLayout->edgeGroups.at(0).id;
        EdgeProximityTracker::shared().setActiveLayout(*applied.value().effectiveLayout);
        run(revert ? EdgeApplier::applyRevertToBaseline(edge) : EdgeApplier::applyMove(edge, 1400));

        EXPECT_TRUE(settle([&] { return frame(beside).maxX() == frame(kept).x() && frame(kept).maxX() == 1920; }))
            << frame(beside).maxX() << " | " << frame(kept).x() << " " << frame(kept).width();
        const auto& items = LayoutStore::shared().layouts.at(0).items;
        EXPECT_EQ(items.at(0).targetFrame.width, frame(beside).width());
        EXPECT_EQ(items.at(1).targetFrame.x, frame(kept).x());
        EXPECT_EQ(items.at(1).targetFrame.width, frame(kept).width());
    }
}

// The kest's windows stay on the first desktop: on the second its edge is bare desktop,
// where no handle shows and a move reaches no window and stores nothing.
TEST_F(X11EdgeResizeTest, OnAnotherDesktopTheEdgeHasNoHandleAndAMoveThereStoresNothing) {
    const auto halves = applyHalves();
    ASSERT_TRUE(halves);
    const Layout& effective = *halves;
    EdgeProximityTracker& tracker = EdgeProximityTracker::shared();
    std::optional<EdgeProximityTracker::Hit> hit;
    tracker.onProximityChange = [&hit](const std::optional<EdgeProximityTracker::Hit>& h) { hit = h; };
    const auto pointerAt = [&](int x) {
        move(x, 540);
        return settle([&] { return x11().displays().mouseLocation().x == x; });
    };
    ASSERT_TRUE(pointerAt(958));
    tracker.setActiveLayout(effective);
    ASSERT_TRUE(hit) << "no handle at the edge";
    // The poll has found the pointer resting, so only the switch can take the handle away.
    ASSERT_TRUE(runUntil([&] { return tracker.idleTicks >= 2; }));

    ASSERT_TRUE(showDesktop(1));
    const std::shared_ptr<void> back(nullptr, [&](void*) { showDesktop(0); });
    EXPECT_TRUE(runUntil([&] { return !hit; })) << "the handle stayed over the other desktop";
    ASSERT_TRUE(pointerAt(959));
    EXPECT_TRUE(runUntil([&] { return !hit; })) << "a handle over the bare desktop";
    run(EdgeApplier::applyMove(effective.edgeGroups[0].id, 1100));
    const Layout& stored = LayoutStore::shared().layouts.at(0);
    EXPECT_EQ(stored.items.at(0).targetFrame.width, 960);
    EXPECT_EQ(tracker.activeLayout->edgeGroups.at(0).coordinate, 960);

    ASSERT_TRUE(showDesktop(0));
    ASSERT_TRUE(pointerAt(958));
    EXPECT_TRUE(runUntil([&] { return hit && hit->edgeCoordinate == 960; }));
}

// Another program's window lying across the edge hides the handle only while it shows:
// minimised, or sent to another desktop, it leaves the edge to the kest's windows.
TEST_F(X11EdgeResizeTest, AWindowAcrossTheEdgeHidesItsHandleOnlyWhileItShows) {
    const auto halves = applyHalves();
    ASSERT_TRUE(halves);
    const Layout& effective = *halves;
    const xcb_window_t across = open("KestrOther", 760);
    move(958, 350);
    ASSERT_TRUE(settle([&] { return x11().displays().mouseLocation().x == 958; }));

    EdgeProximityTracker& tracker = EdgeProximityTracker::shared();
    std::optional<EdgeProximityTracker::Hit> hit;
    tracker.onProximityChange = [&hit](const std::optional<EdgeProximityTracker::Hit>& h) { hit = h; };
    X11Connection& x = x11().connection();
    const auto onScreen = [&] {
        const X11Client* c = x11().model().client(across);
        return c && x11().model().shows(*c);
    };
    const test::HandleStep cases[] = {
        {"shown", [] {}, false},
        {"minimised", [&] { x.sendRootMessage(across, x.atom("WM_CHANGE_STATE"), XCB_ICCCM_WM_STATE_ICONIC); }, true},
        {"on another desktop", [&] { x.sendRootMessage(across, x.ewmh()._NET_WM_DESKTOP, 1, 2); }, true},
    };
    for (const test::HandleStep& c : cases) {
        x.sendRootMessage(across, x.ewmh()._NET_WM_DESKTOP, 0, 2);
        x.sendRootMessage(across, x.ewmh()._NET_ACTIVE_WINDOW, 2, XCB_CURRENT_TIME, 0);
        x.flush();
        ASSERT_TRUE(settle(onScreen)) << c.what;
        c.change();
        x.flush();
        ASSERT_TRUE(settle([&] { return onScreen() != c.handle; })) << c.what;
        hit.reset();
        tracker.setActiveLayout(effective);
        EXPECT_EQ(hit.has_value(), c.handle) << c.what;
    }
}

// With the pointer resting on the edge, a window that comes, goes or is raised there
// covers or uncovers the edge: the handle follows without the pointer moving, lest a
// press reach the edge rather than the window in front of it.
TEST_F(X11EdgeResizeTest, TheHandleFollowsTheWindowsThatChangeUnderARestingPointer) {
    const auto halves = applyHalves();
    ASSERT_TRUE(halves);
    move(958, 350);
    ASSERT_TRUE(settle([&] { return x11().displays().mouseLocation().x == 958; }));
    EdgeProximityTracker& tracker = EdgeProximityTracker::shared();
    std::optional<EdgeProximityTracker::Hit> hit;
    tracker.onProximityChange = [&hit](const std::optional<EdgeProximityTracker::Hit>& h) { hit = h; };
    tracker.setActiveLayout(*halves);
    ASSERT_TRUE(hit) << "no handle at the edge";
    // The poll has found the pointer resting: only the windows can take the handle away.
    ASSERT_TRUE(runUntil([&] { return tracker.idleTicks >= 2; }));

    X11Connection& x = x11().connection();
    X11WindowModel& model = x11().model();
    xcb_window_t across = XCB_NONE;
    Rect standing;
    // The window manager animates a window into its icon and out of it: a change is over
    // once that window stands where it opened, or does not show.
    const auto still = [&] {
        const X11Client* c = model.client(across);
        return !c || !model.shows(*c) || model.shownFrame(*c) == standing;
    };
    const auto activate = [&](xcb_window_t w) {
        x.sendRootMessage(w, x.ewmh()._NET_ACTIVE_WINDOW, 2, XCB_CURRENT_TIME);
    };
    const test::HandleStep steps[] = {
        {"another program's window opened over the edge",
         [&] {
             across = open("KestrOther", 760);
             if (const X11Client* c = model.client(across)) standing = model.shownFrame(*c);
         },
         false},
        {"that window minimised",
         [&] { x.sendRootMessage(across, x.atom("WM_CHANGE_STATE"), XCB_ICCCM_WM_STATE_ICONIC); }, true},
        {"that window restored by a switch to it", [&] { activate(across); }, false},
        {"the kest's window raised in front of it", [&] { activate(left); }, true},
        {"that window raised again", [&] { activate(across); }, false},
        {"that window closed", [&] { x.sendRootMessage(across, x.ewmh()._NET_CLOSE_WINDOW, XCB_CURRENT_TIME, 2); },
         true},
    };
    for (const test::HandleStep& step : steps) {
        // Handed over again, the handle shows as the windows stand: each change is followed
        // on its own.
        tracker.setActiveLayout(*halves);
        ASSERT_EQ(hit.has_value(), !step.handle) << step.what;
        step.change();
        x.flush();
        EXPECT_TRUE(runUntil([&] { return hit.has_value() == step.handle && still(); })) << step.what;
    }
}

}  // namespace
}  // namespace kestr::x11test
