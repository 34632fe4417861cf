// Drag snap on the X11 desktop, as a person does it: a title-bar drag the window manager
// carries out, the drag-snap modifier held, the window let go over a slot of the active
// kest. The window pressed is not the active one, so the tracker must hear the press
// only after the window manager has activated it. The pointer moves as a mouse moves it,
// or by warps, as a remote control moves it (no device reports those).
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include "DragSnap/WindowDragTracker.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Support/ItemBuilder.h"
#include "Platform/X11/Support/BackendTest.h"
#include "Platform/X11/Support/FakeInput.h"

namespace kestr::x11test {
namespace {

class X11DragSnapTest : public BackendTest, public ::testing::WithParamInterface<bool> {
protected:
    xcb_window_t open(int x) {
        ClientOptions options;
        options.geometry = ClientGeometry{x, 300, 400, 300};
        return openFramed(options, true);
    }
    Rect frame(xcb_window_t w) { return x11().model().client(w)->frame(); }
    void move(int x, int y) {
        if (!GetParam()) return fakeInput(connection(), session().root(), XCB_MOTION_NOTIFY, 0, x, y);
        xcb_warp_pointer(connection(), XCB_NONE, session().root(), 0, 0, 0, 0, std::int16_t(x), std::int16_t(y));
        xcb_flush(connection());
    }
};

INSTANTIATE_TEST_SUITE_P(ByMouseAndByWarps, X11DragSnapTest, ::testing::Bool(),
                         [](const auto& p) { return p.param ? "warps" : "mouse"; });

TEST_P(X11DragSnapTest, ATitleBarDragWithTheModifierHeldDropsTheWindowIntoASlot) {
    const auto main = x11().displays().mainDisplayID();
    const std::string uuid = *x11().displays().displayUUIDString(main);
    Layout kest;
    kest.id = Uuid::random();
    kest.name = "Halves";
    kest.items = {test::ItemBuilder("KestrEdit").on(uuid, Rect(0, 0, 960, 1080)),
                  test::ItemBuilder("KestrView").on(uuid, Rect(960, 0, 960, 1080))};
    EdgeProximityTracker::shared().activeLayout = kest;
    WindowDragTracker& tracker = WindowDragTracker::shared();
    tracker.setEnabled(true);
    ASSERT_EQ(tracker.monitors.size(), 3u);

    const xcb_window_t dragged = open(100);
    const xcb_window_t other = open(1000);
    ASSERT_NE(x11().model().activeWindow(), dragged);
    const Rect start = frame(dragged);
    const Rect otherStart = frame(other);
    const X11Client& client = *x11().model().client(dragged);
    const int grabX = int(start.x() + 60), grabY = int(start.y() + client.extents.top / 2);

    // The window manager moves a window on a plain title-bar drag; the modifier comes once
    // the drag is under way.
    move(grabX, grabY);
    fakeInput(connection(), session().root(), XCB_BUTTON_PRESS, 1);
    // Whatever fails, the button and the key go up: later tests share the server.
    const xcb_keycode_t ctrl = keycodeOf(connection(), XK_Control_L);
    const std::shared_ptr<void> release(nullptr, [&](void*) {
        fakeInput(connection(), session().root(), XCB_BUTTON_RELEASE, 1);
        fakeInput(connection(), session().root(), XCB_KEY_RELEASE, ctrl);
    });
    // The window manager starts the move at a motion past its threshold and moves the
    // window at the motions after that, which it may fold into one: step until it moves.
    bool moving = false;
    for (int step = 1; step <= 20 && !moving; ++step) {
        move(grabX + 4 * step, grabY + 4 * step);
        moving = settle([&] { return frame(dragged).x() != start.x(); }, 0.2);
    }
    ASSERT_TRUE(moving) << "the window manager never moved it";
    fakeInput(connection(), session().root(), XCB_KEY_PRESS, ctrl);
    move(1300, 500);
    ASSERT_TRUE(settle([&] { return frame(dragged).x() > 1000; }));
    move(1400, 540);
    EXPECT_TRUE(runUntil([&] { return !tracker.overlays.empty() && tracker.overlays.front()->highlightedIndex(); }))
        << "no slot showed under the pointer";
    EXPECT_EQ(tracker.tracked, element(dragged));
    // The modifier is still held when the drop is heard; it goes up at the end.
    fakeInput(connection(), session().root(), XCB_BUTTON_RELEASE, 1);
    EXPECT_TRUE(settle([&] { return frame(dragged) == Rect(960, 0, 960, 1080); }))
        << frame(dragged).x() << "," << frame(dragged).y() << " " << frame(dragged).width() << "x"
        << frame(dragged).height();
    EXPECT_TRUE(tracker.overlays.empty());
    EXPECT_EQ(frame(other), otherStart);
    tracker.setEnabled(false);
}

}  // namespace
}  // namespace kestr::x11test
