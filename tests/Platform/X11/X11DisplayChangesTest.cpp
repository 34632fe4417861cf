// Displays that do not cover the screen, and displays that go or move while an edge
// handle or drag-snap slots show: the pointer on no display finds none, shows no handle
// and places windows on the main display; a handle never stays behind on a display that
// is gone or moved, and slots only ever cover a display that is there.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <QApplication>

#include "DragSnap/WindowDragTracker.h"
#include "EdgeResize/EdgeOverlayManager.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "UI/DisplayArea.h"
#include "UI/EdgeResize/QtEdgeOverlayWindow.h"
#include "Window/DisplayManager.h"
#include "Platform/X11/Support/BackendTest.h"
#include "Platform/X11/Support/FakeInput.h"
#include "Platform/X11/Support/QtOnSession.h"
#include "Platform/X11/Support/SideBySideKest.h"

namespace kestr::x11test {
namespace {

// Display B: 1280×720 right of A, so the root below it is on no display.
constexpr double kBx = 1920, kBy = 0, kBw = 1280, kBh = 720;
// The kest's one edge on B: between two windows side by side, 640 points in.
constexpr double kEdge = kBx + 640;

class X11DisplayChangesTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (HasFatalFailure()) return;
        ensureQtApplication(session());
        session().addMonitor("A", 0, 0, 1920, 1080, true);
        session().addMonitor("B", int(kBx), int(kBy), int(kBw), int(kBh));
        x11().x11Displays().refresh();
        b = *x11().displays().displayUUIDString(x11().x11Displays().monitors().at(1).id);
        manager().presenter = std::make_shared<QtEdgeOverlayPresenter>();
        tracker().onProximityChange = [](const auto& hit) { EdgeOverlayManager::shared().updateProximity(hit); };
    }
    void TearDown() override {
        if (hasPlatform()) {
            tracker().releaseActiveKest();
            manager().setActiveLayout(std::nullopt);
        }
        BackendTest::TearDown();
    }
    static EdgeProximityTracker& tracker() { return EdgeProximityTracker::shared(); }
    static EdgeOverlayManager& manager() { return EdgeOverlayManager::shared(); }

    // Two windows side by side on B sharing one edge, handed to edge resizing. The windows
    // stand in the band B covers here and where it comes back below; the pointer finds the
    // edge above or below them.
    void holdKest() {
        for (const ClientOptions& w : sideBySideWindows(Rect(kBx, 400, kBw, 200))) openFramed(w);
        const Layout kest = sideBySideKest(b, kBw, kBh);
        tracker().setActiveLayout(kest);
        manager().setActiveLayout(kest);
    }
    void warp(double x, double y) { x11().displays().warpMouseCursor(Point{x, y}); }
    void fake(std::uint8_t type, std::uint8_t detail, int x = 0, int y = 0) {
        fakeInput(connection(), session().root(), type, detail, x, y);
    }
    // Every slot overlay is over the whole of the display it names, as it is now.
    bool zonesOnlyOn(DisplayID display) {
        const auto& overlays = WindowDragTracker::shared().overlays;
        return !overlays.empty() && std::all_of(overlays.begin(), overlays.end(), [&](const auto& o) {
            return o->displayID == display && o->axBounds == x11().displays().displayBounds(display);
        });
    }
    // B's overlay shows the handle and takes the mouse.
    bool handleShowsOnB() {
        QCoreApplication::processEvents();
        const auto overlay = manager().windows.find(b);
        return overlay != manager().windows.end() && overlay->second->activeGroupID &&
               !overlay->second->ignoresMouseEvents();
    }
    // No overlay shows a handle or takes the mouse.
    bool noHandleShows() {
        QCoreApplication::processEvents();
        for (const auto& [display, overlay] : manager().windows) {
            if (overlay->activeGroupID || !overlay->ignoresMouseEvents()) return false;
        }
        return !tracker().lastHit;
    }

    std::string b;
};

TEST_F(X11DisplayChangesTest, APointerOnNoDisplayFindsNoneShowsNoHandleAndPlacesOnTheMainDisplay) {
    // Straight below the edge, off B.
    warp(kEdge, 900);
    EXPECT_EQ(x11().displays().mouseLocation(), (Point{kEdge, 1080 - 900}));
    EXPECT_EQ(DisplayManager::displayUnderMouse(), std::nullopt);
    EXPECT_EQ(DisplayManager::display(Point{kEdge, 900}), std::nullopt);
    const auto area = visibleAreaUnderPointer();
    ASSERT_TRUE(area);
    EXPECT_TRUE(Rect(0, 0, 1920, 1080).intersection(*area) == *area && area->width() > 0) << "not on A";

    holdKest();
    EXPECT_TRUE(noHandleShows());
    warp(kEdge + 2, 300);
    ASSERT_TRUE(runUntil([&] { return handleShowsOnB(); })) << "the handle never showed on B";
    warp(kEdge + 2, 900);
    EXPECT_TRUE(runUntil([&] { return noHandleShows(); })) << "the handle stayed with the pointer off every display";
}

TEST_F(X11DisplayChangesTest, AHandleGoesWithItsDisplayAndFollowsItWhenItComesBackElsewhere) {
    holdKest();
    warp(kEdge + 2, 300);
    ASSERT_TRUE(runUntil([&] { return handleShowsOnB(); }));

    // B goes while the pointer rests on its handle.
    session().removeMonitor("B");
    x11().x11Displays().refresh();
    EXPECT_TRUE(runUntil([&] { return noHandleShows() && !manager().windows.count(b); }))
        << "the handle of a display that is gone stayed";

    // B comes back lower down: its overlay covers it there, and its handle follows.
    session().addMonitor("B", int(kBx), 360, int(kBw), int(kBh));
    x11().x11Displays().refresh();
    warp(kEdge + 2, 700);
    ASSERT_TRUE(runUntil([&] { return handleShowsOnB(); }));
    EXPECT_EQ(manager().windows.at(b)->bounds, Rect(kBx, 360, kBw, kBh));
}

TEST_F(X11DisplayChangesTest, DragSnapSlotsStayOnRealDisplaysWhenThePointerLeavesThemOrTheirDisplayGoes) {
    tracker().activeLayout = sideBySideKest(b, kBw, kBh);
    WindowDragTracker& drags = WindowDragTracker::shared();
    drags.setEnabled(true);
    ClientOptions options;
    options.geometry = ClientGeometry{200, 300, 400, 300};
    const xcb_window_t w = spawn(options).window();
    const auto frame = [&] { return x11().model().client(w)->frame(); };
    ASSERT_TRUE(settle([&] {
        const X11Client* c = x11().model().client(w);
        return c && c->mapped && c->extents.top > 0 && x11().model().activeWindow() == w;
    }));

    // A title-bar drag the window manager carries out, with the modifier held.
    const int grabX = int(frame().x() + 60), grabY = int(frame().y() + x11().model().client(w)->extents.top / 2);
    fake(XCB_MOTION_NOTIFY, 0, grabX, grabY);
    fake(XCB_BUTTON_PRESS, 1);
    const xcb_keycode_t ctrl = keycodeOf(connection(), XK_Control_L);
    const std::shared_ptr<void> release(nullptr, [&](void*) {
        fake(XCB_BUTTON_RELEASE, 1);
        fake(XCB_KEY_RELEASE, ctrl);
    });
    // The window manager moves it from a motion past its threshold on.
    const double startX = frame().x();
    for (int step = 1; step <= 20 && frame().x() == startX; ++step) {
        fake(XCB_MOTION_NOTIFY, 0, grabX + 4 * step, grabY + 4 * step);
        settle([&] { return frame().x() != startX; }, 0.2);
    }
    ASSERT_NE(frame().x(), startX) << "the window manager never moved it";
    fake(XCB_KEY_PRESS, ctrl);
    const DisplayID idB = x11().displays().displayIDFromUUIDString(b);
    fake(XCB_MOTION_NOTIFY, 0, int(kEdge), 300);
    ASSERT_TRUE(runUntil([&] { return zonesOnlyOn(idB); })) << "no slots showed on B";

    // Off every display the slots stay on B; once B is gone, the next move brings the
    // main display's: B's slots as stored, as there is no display to scale them from.
    fake(XCB_MOTION_NOTIFY, 0, int(kEdge), 900);
    ASSERT_TRUE(settle([&] { return frame().y() > 700; }));
    EXPECT_TRUE(zonesOnlyOn(idB));
    session().removeMonitor("B");
    x11().x11Displays().refresh();
    fake(XCB_MOTION_NOTIFY, 0, 1000, 500);
    EXPECT_TRUE(runUntil([&] { return zonesOnlyOn(x11().displays().mainDisplayID()); }));
    fake(XCB_BUTTON_RELEASE, 1);
    EXPECT_TRUE(runUntil([&] { return drags.overlays.empty(); }));
    EXPECT_TRUE(settle([&] { return frame() == Rect(640, 0, 640, kBh); })) << "not dropped into the right slot";
    drags.setEnabled(false);
}

}  // namespace
}  // namespace kestr::x11test
