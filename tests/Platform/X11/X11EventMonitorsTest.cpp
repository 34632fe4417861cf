// The X11 event monitors against input posted through XTest: what a global monitor
// hears of another window's pointer and keys, what it leaves to the local monitors, and
// the real button and modifier state.
#include <gtest/gtest.h>

#include "Platform/X11/Support/BackendTest.h"
#include "Platform/X11/Support/FakeInput.h"

namespace kestr::x11test {
namespace {

class X11EventMonitorsTest : public BackendTest {
protected:
    void fake(std::uint8_t type, std::uint8_t detail, int x = 0, int y = 0) {
        fakeInput(connection(), session().root(), type, detail, x, y);
    }
    xcb_keycode_t keycode(xcb_keysym_t keysym) { return keycodeOf(connection(), keysym); }
    // Taps Shift and waits until the monitor hears it: what was posted before is heard
    // by then.
    void mark() {
        const auto count = [&] {
            return std::count_if(events.begin(), events.end(),
                                 [](const Event& e) { return e.type == EventType::flagsChanged; });
        };
        const auto before = count();
        fake(XCB_KEY_PRESS, keycode(0xffe1));
        fake(XCB_KEY_RELEASE, keycode(0xffe1));
        ASSERT_TRUE(settle([&] { return count() >= before + 2; }));
    }
    bool heard(EventType type) {
        return std::any_of(events.begin(), events.end(), [&](const Event& e) { return e.type == type; });
    }
    std::vector<Event> events;
};

TEST_F(X11EventMonitorsTest, AGlobalMonitorHearsAnotherWindowsPointerWithTheModifiersButNotOurOwnWindow) {
    ClientOptions options;
    options.geometry = ClientGeometry{100, 100, 400, 300};
    spawn(options).window();
    EventMonitors& monitors = x11().eventMonitors();
    const auto token =
        monitors.addGlobalMonitor(eventMask(EventType::mouseMoved) | eventMask(EventType::leftMouseDown) |
                                      eventMask(EventType::leftMouseUp) | eventMask(EventType::flagsChanged),
                                  [&](const Event& e) { events.push_back(e); });
    ASSERT_TRUE(token);

    const xcb_keycode_t super = keycode(0xffeb);
    ASSERT_NE(super, 0);
    fake(XCB_MOTION_NOTIFY, 0, 300, 250);
    mark();
    fake(XCB_KEY_PRESS, super);
    fake(XCB_BUTTON_PRESS, 1);
    ASSERT_TRUE(settle([&] { return heard(EventType::leftMouseDown); }));
    EXPECT_EQ(monitors.pressedMouseButtons() & 1u, 1u);
    EXPECT_EQ(monitors.modifierFlags() & ModifierFlag::control, ModifierFlag::control);
    fake(XCB_BUTTON_RELEASE, 1);
    fake(XCB_KEY_RELEASE, super);
    ASSERT_TRUE(settle([&] { return heard(EventType::leftMouseUp); }));

    EXPECT_TRUE(heard(EventType::mouseMoved));
    const auto flags = std::find_if(events.begin(), events.end(), [](const Event& e) {
        return e.type == EventType::flagsChanged && e.keyCode == 59;
    });
    ASSERT_NE(flags, events.end());
    EXPECT_EQ(flags->modifierFlags & ModifierFlag::control, ModifierFlag::control);
    const auto down =
        std::find_if(events.begin(), events.end(), [](const Event& e) { return e.type == EventType::leftMouseDown; });
    EXPECT_EQ(down->location.x, 300);
    EXPECT_EQ(down->location.y, session().height() - 250);
    EXPECT_EQ(down->modifierFlags & ModifierFlag::control, ModifierFlag::control);
    EXPECT_EQ(monitors.pressedMouseButtons(), 0u);

    // A click on a window this process made is ours: the global monitor hears nothing.
    const xcb_window_t own = xcb_generate_id(connection());
    const std::uint32_t values[] = {1};
    xcb_create_window(connection(), XCB_COPY_FROM_PARENT, own, session().root(), 1000, 100, 200, 200, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_OVERRIDE_REDIRECT, values);
    xcb_map_window(connection(), own);
    ASSERT_TRUE(waitUntil([&] { return isViewable(connection(), own); }));
    events.clear();
    fake(XCB_MOTION_NOTIFY, 0, 1100, 200);
    fake(XCB_BUTTON_PRESS, 1);
    mark();
    fake(XCB_BUTTON_RELEASE, 1);
    mark();
    EXPECT_FALSE(heard(EventType::leftMouseDown));
    EXPECT_FALSE(heard(EventType::leftMouseUp));
    EXPECT_FALSE(heard(EventType::mouseMoved));
    xcb_destroy_window(connection(), own);
    xcb_flush(connection());
    monitors.removeMonitor(*token);
}

// While raw input is heard, the pointer's place is asked once per move, not once per
// read: reads between two moves answer from the last answer, and a move is seen at once.
TEST_F(X11EventMonitorsTest, ThePointerIsAskedAgainOnlyAfterItMoved) {
    const auto token =
        x11().eventMonitors().addGlobalMonitor(eventMask(EventType::mouseMoved) | eventMask(EventType::flagsChanged),
                                               [&](const Event& e) { events.push_back(e); });
    ASSERT_TRUE(token);
    Displays& displays = x11().displays();
    const double h = session().height();
    for (const int x : {300, 320}) {
        fake(XCB_MOTION_NOTIFY, 0, x, 250);
        mark();
        EXPECT_EQ(displays.mouseLocation(), (Point{double(x), h - 250}));
        const auto trips = x11().connection().roundTrips();
        EXPECT_EQ(displays.mouseLocation(), (Point{double(x), h - 250}));
        EXPECT_EQ(x11().eventMonitors().modifierFlags(), 0u);
        EXPECT_EQ(x11().connection().roundTrips(), trips);
    }
    x11().eventMonitors().removeMonitor(*token);
    // Nobody hears raw input any more: every read asks.
    const auto trips = x11().connection().roundTrips();
    displays.mouseLocation();
    EXPECT_EQ(x11().connection().roundTrips(), trips + 1);
}

// The window manager activates a window at the press on it; a monitor that asks for the
// active window when it hears the press must find the window pressed, whenever the window
// manager answers.
TEST_F(X11EventMonitorsTest, APressOnAWindowAboutToBeActivatedIsHeardOnceItIs) {
    ClientOptions options;
    options.geometry = ClientGeometry{100, 100, 400, 300};
    const xcb_window_t pressed = spawn(options).window();
    options.geometry = ClientGeometry{700, 100, 400, 300};
    const xcb_window_t other = spawn(options).window();
    ASSERT_TRUE(settle([&] {
        const X11Client* c = x11().model().client(pressed);
        return c && c->extents.top > 0 && x11().model().activeWindow() == other;
    }));
    std::optional<xcb_window_t> activeAtPress;
    EventMonitors& monitors = x11().eventMonitors();
    const auto token = monitors.addGlobalMonitor(eventMask(EventType::leftMouseDown), [&](const Event&) {
        activeAtPress = x11().model().activeWindow().value_or(XCB_NONE);
    });
    ASSERT_TRUE(token);

    // The window manager answers late: the test activates the window as it would, after
    // the press.
    session().pauseWindowManager();
    const std::shared_ptr<void> resume(nullptr, [&](void*) {
        fake(XCB_BUTTON_RELEASE, 1);
        session().resumeWindowManager();
    });
    fake(XCB_MOTION_NOTIFY, 0, 300, 250);
    fake(XCB_BUTTON_PRESS, 1);
    xcb_change_property(connection(), XCB_PROP_MODE_REPLACE, session().root(), atom(connection(), "_NET_ACTIVE_WINDOW"),
                        XCB_ATOM_WINDOW, 32, 1, &pressed);
    xcb_flush(connection());
    ASSERT_TRUE(settle([&] { return activeAtPress.has_value(); }));
    EXPECT_EQ(*activeAtPress, pressed);
    monitors.removeMonitor(*token);
}

}  // namespace
}  // namespace kestr::x11test
