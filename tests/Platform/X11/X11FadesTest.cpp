// The fades of kestr's windows on the X11 desktop under a compositing manager, each
// started as a person starts it: the toast by a shortcut and from a menu, the slots by a
// window dragged with the modifier held, the edge handle by the pointer at a shared edge.
// The server must see each window reach full opacity while Qt's loop runs as in the
// program, turned by nothing but the events the work itself brings.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include "App/ServiceWiring.h"
#include "Core/HotkeyManager.h"
#include "DragSnap/WindowDragTracker.h"
#include "EdgeResize/EdgeOverlayManager.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Layout/LayoutApplier.h"
#include "Snap/SnapApplier.h"
#include "Support/ItemBuilder.h"
#include "UI/DragSnap/SnapZoneOverlayWindow.h"
#include "UI/EdgeResize/QtEdgeOverlayWindow.h"
#include "UI/Shell/ToastPresenter.h"
#include "Window/WindowController.h"
#include "Platform/X11/Support/BackendTest.h"
#include "Platform/X11/Support/FakeInput.h"
#include "Platform/X11/Support/QtOnSession.h"
#include "Platform/X11/Support/XReads.h"

namespace kestr::x11test {
namespace {

class X11FadesTest : public BackendTest {
protected:
    X11FadesTest() { onQtLoop = true; }
    void SetUp() override {
        BackendTest::SetUp();
        if (HasFatalFailure()) return;
        session().startCompositingManager();  // throws, saying why, when it cannot
        ServiceWiring::connect();
        UserInterfacePlugs plugs;
        plugs.alerts = &recordedAlerts();
        plugs.toasts = &ToastPresenter::shared();
        plugs.beep = [] {};
        x11().plugUserInterface(plugs);
    }
    void TearDown() override {
        fakeInput(connection(), session().root(), XCB_BUTTON_RELEASE, 1);
        for (const xcb_keysym_t key : {XK_Control_L, XK_Alt_L, XK_Super_L, XK_BackSpace})
            fakeInput(connection(), session().root(), XCB_KEY_RELEASE, keycodeOf(connection(), key));
        BackendTest::TearDown();
    }

    // A client window, framed and active.
    xcb_window_t openActive(const std::string& wmClass, int x) {
        ClientOptions options;
        options.wmClass = wmClass;
        options.geometry = ClientGeometry{x, 300, 400, 300};
        return openFramed(options, true);
    }
    void key(std::uint8_t type, xcb_keysym_t keysym) {
        fakeInput(connection(), session().root(), type, keycodeOf(connection(), keysym));
    }
    void move(int x, int y) { fakeInput(connection(), session().root(), XCB_MOTION_NOTIFY, 0, x, y); }
    template <class Window>
    static QWidget* shown() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (dynamic_cast<Window*>(w) && w->isVisible()) return w;
        return nullptr;
    }
    // Whether the window that shows reaches full opacity on the server in time.
    bool reachesFullOpacity(const std::function<QWidget*()>& window) {
        return runQtOnEventsUntil(connection(), [&] {
            QWidget* shown = window();
            if (!shown || !shown->isVisible()) return false;
            const auto w = static_cast<xcb_window_t>(shown->winId());
            const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
            xcb_change_window_attributes(connection(), w, XCB_CW_EVENT_MASK, &events);
            const auto opacity = property32(connection(), w, "_NET_WM_WINDOW_OPACITY");
            return opacity && !opacity->empty() && (*opacity)[0] == 0xFFFFFFFF;
        });
    }
    static QWidget* toast() { return ToastPresenter::shared().panel(); }
    // A kest of two windows side by side on the main display, sharing an edge at x = 960.
    Layout halves() {
        const std::string display = *x11().displays().displayUUIDString(x11().displays().mainDisplayID());
        Layout kest;
        kest.id = Uuid::random();
        kest.name = "Halves";
        kest.items = {test::ItemBuilder("KestrEdit").on(display, Rect(0, 0, 960, 1080)),
                      test::ItemBuilder("KestrView").on(display, Rect(960, 0, 960, 1080))};
        return kest;
    }
};

// Restoring a window never snapped says there is nothing to restore, in a toast.
TEST_F(X11FadesTest, TheToastStartedByAShortcutFadesIn) {
    openActive("KestrEdit", 100);
    const Hotkey altSuperBackspace{51, CarbonModifier::option | CarbonModifier::control};
    ASSERT_TRUE(HotkeyManager::shared()
                    .sync({}, {SnapBinding{Uuid::random(), SnapAction::restore, altSuperBackspace}})
                    .empty());
    for (const xcb_keysym_t k : {XK_Alt_L, XK_Super_L, XK_BackSpace}) key(XCB_KEY_PRESS, k);
    for (const xcb_keysym_t k : {XK_BackSpace, XK_Super_L, XK_Alt_L}) key(XCB_KEY_RELEASE, k);
    EXPECT_TRUE(reachesFullOpacity(toast));
}

// A menu's command runs from Qt's own handling of the click.
TEST_F(X11FadesTest, TheToastStartedFromAMenuFadesIn) {
    openActive("KestrEdit", 100);
    QMetaObject::invokeMethod(
        qApp, [] { kestr::spawn(SnapApplier::apply(SnapAction::restore)); }, Qt::QueuedConnection);
    EXPECT_TRUE(reachesFullOpacity(toast));
}

TEST_F(X11FadesTest, TheSlotsFadeInWhenAWindowIsDraggedWithTheModifierHeld) {
    EdgeProximityTracker::shared().activeLayout = halves();
    WindowDragTracker& tracker = WindowDragTracker::shared();
    tracker.setEnabled(true);
    const xcb_window_t w = openActive("KestrEdit", 100);
    const Rect start = x11().model().client(w)->frame();
    // Pressed inside the window, which then moves as the window manager would move it.
    move(int(start.midX()), int(start.midY()));
    fakeInput(connection(), session().root(), XCB_BUTTON_PRESS, 1);
    ASSERT_TRUE(pumpQtUntil([&] { return tracker.tracked.has_value(); }));
    run(WindowController::applyFrame(element(w), Point{start.x() + 200, start.y()},
                                     start.size));
    key(XCB_KEY_PRESS, XK_Control_L);
    move(int(start.midX()) + 210, int(start.midY()) + 10);
    EXPECT_TRUE(reachesFullOpacity(shown<SnapZoneOverlayWindow>));
    tracker.setEnabled(false);
}

TEST_F(X11FadesTest, TheEdgeHandleFadesInWithThePointerAtASharedEdge) {
    EdgeProximityTracker::shared().onProximityChange = [](const std::optional<EdgeProximityTracker::Hit>& hit) {
        EdgeOverlayManager::shared().updateProximity(hit);
    };
    // The windows of the kest in their places, as its shortcut leaves them.
    openActive("KestrEdit", 100);
    openActive("KestrView", 1000);
    auto applied = run(LayoutApplier::apply(halves(), LayoutApplier::ApplyMode::reuseExisting,
                                            LayoutApplier::FrameSource::target, std::nullopt));
    ASSERT_TRUE(applied.succeeded() && applied.value().applied == 2);
    HotkeyManager::shared().setTrackerActiveLayout(applied.value().effectiveLayout);
    HotkeyManager::shared().setOverlayActiveLayout(applied.value().effectiveLayout);
    move(957, 540);
    EXPECT_TRUE(reachesFullOpacity(shown<QtEdgeOverlayWindow>));
}

}  // namespace
}  // namespace kestr::x11test
