// The backend on a server without XInput2 (the session's, seen through a proxy that hides
// the extension): global monitors are refused, and those who asked for one go on without
// it — edge resizing follows the pointer by its poll, drag snap listens to nothing.
#include <gtest/gtest.h>
#include <xcb/xcb_keysyms.h>

#include "DragSnap/WindowDragTracker.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Platform/X11/Support/FakeInput.h"
#include "Platform/X11/Support/SideBySideKest.h"
#include "Platform/X11/Support/WithoutExtensionTest.h"

namespace kestr::x11test {
namespace {

constexpr char xinput[] = "XInputExtension";
using X11WithoutXInputTest = WithoutExtensionTest<xinput>;

TEST_F(X11WithoutXInputTest, GlobalMonitorsAreRefusedAndTheirCallersGoOnWithoutThem) {
    EventMonitors& monitors = x11().eventMonitors();
    EXPECT_FALSE(monitors.addGlobalMonitor(eventMask(EventType::mouseMoved), [](const Event&) {}));
    const auto local = monitors.addLocalMonitor(eventMask(EventType::mouseMoved), [](const Event& e) { return e; });
    EXPECT_TRUE(local);
    monitors.removeMonitor(*local);

    // The pointer's and the keyboard's state are read without it.
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(connection());
    xcb_keycode_t* super = xcb_key_symbols_get_keycode(symbols, 0xffeb);
    ASSERT_TRUE(super && *super);
    fakeInput(connection(), session().root(), XCB_KEY_PRESS, *super);
    EXPECT_TRUE(runUntil([&] { return monitors.modifierFlags() & ModifierFlag::control; }));
    fakeInput(connection(), session().root(), XCB_KEY_RELEASE, *super);
    std::free(super);
    xcb_key_symbols_free(symbols);

    // Drag snap has nothing to listen to.
    WindowDragTracker& drags = WindowDragTracker::shared();
    drags.setEnabled(true);
    EXPECT_TRUE(drags.monitors.empty());
    drags.setEnabled(false);

    // Edge resizing finds the pointer by polling.
    EdgeProximityTracker& edges = EdgeProximityTracker::shared();
    const double width = session().width(), height = session().height();
    for (const ClientOptions& w : sideBySideWindows(Rect(0, 0, width, height / 4))) openFramed(w);
    const Layout kest =
        sideBySideKest(*x11().displays().displayUUIDString(x11().displays().mainDisplayID()), width, height);
    edges.setActiveLayout(kest);
    EXPECT_FALSE(edges.globalMonitor);
    EXPECT_TRUE(edges.localMonitor);
    x11().displays().warpMouseCursor(Point{width / 2 + 3, height / 2});
    EXPECT_TRUE(runUntil([&] { return edges.lastHit && edges.lastHit->groupID == kest.edgeGroups[0].id; }));
    edges.releaseActiveKest();
}

}  // namespace
}  // namespace kestr::x11test
