// Properties that other programs write as they like, set here from the test's own
// connection: what the backend makes of values that are malformed, out of range or
// meant to mislead, of clients sharing a frame, and of a window gone between two
// requests. A change is followed by a marker title where a check must wait until the
// backend has heard everything before it.
#include <gtest/gtest.h>

#include <unistd.h>
#include <xcb/xcb_icccm.h>

#include <cstring>

#include "Platform/AXAttributes.h"
#include "Platform/X11/Support/BackendTest.h"

namespace kestr::x11test {
namespace {

class X11HostilePropertiesTest : public BackendTest {
protected:
    void set(xcb_window_t w, const std::string& name, xcb_atom_t type, std::uint8_t format, const void* data,
             std::uint32_t count) {
        xcb_change_property(connection(), XCB_PROP_MODE_REPLACE, w, atom(connection(), name), type, format, count,
                            data);
        xcb_flush(connection());
    }
    void set32(xcb_window_t w, const std::string& name, xcb_atom_t type, const std::vector<std::uint32_t>& items) {
        set(w, name, type, 32, items.data(), static_cast<std::uint32_t>(items.size()));
    }
    // Waits until the backend has read everything set on the window before this.
    void heard(xcb_window_t w) {
        const std::string marker = "marker " + std::to_string(++markers_);
        set(w, "_NET_WM_NAME", atom(connection(), "UTF8_STRING"), 8, marker.data(),
            static_cast<std::uint32_t>(marker.size()));
        ASSERT_TRUE(settle([&] {
            const X11Client* c = x11().model().client(w);
            return c && c->title == marker;
        }));
    }
    xcb_window_t managed(ClientProcess& client) {
        const xcb_window_t w = client.window();
        EXPECT_TRUE(settle([&] {
            const X11Client* c = x11().model().client(w);
            return c && c->mapped && c->extents.top > 0;
        }));
        return w;
    }
    Rect screenVisible() { return x11().displays().screens().front().visibleFrame; }

private:
    int markers_ = 0;
};

// A window naming kestr's process (its pointer and keys would pass for kestr's own) or
// -1 (every process, to kill()) is still its own process's, as the server knows it.
TEST_F(X11HostilePropertiesTest, TheServerKnowsTheProcessWhateverTheWindowClaims) {
    ClientProcess& client = spawn();
    const xcb_window_t w = managed(client);
    for (const std::uint32_t claimed : {static_cast<std::uint32_t>(getpid()), 0xFFFFFFFFu, 1u}) {
        set32(w, "_NET_WM_PID", XCB_ATOM_CARDINAL, {claimed});
        heard(w);
        EXPECT_EQ(x11().model().client(w)->pid, client.pid()) << "claimed " << claimed;
    }
    const auto app = x11().workspace().runningApplication(client.pid());
    ASSERT_TRUE(app);
    EXPECT_NE(app->bundleIdentifier, X11Workspace::ownBundleID);
}

TEST_F(X11HostilePropertiesTest, NamesOfTheWrongFormatOrWithMoreStringsReadAsTheirSound) {
    ClientProcess& client = spawn();
    const xcb_window_t w = managed(client);
    const std::string classes("inst\0Cls\0extra\0", 15);
    set(w, "WM_CLASS", XCB_ATOM_STRING, 8, classes.data(), static_cast<std::uint32_t>(classes.size()));
    // A _NET_WM_NAME that is no text leaves WM_NAME to name the window, in UTF-8 where it says so.
    set32(w, "_NET_WM_NAME", atom(connection(), "UTF8_STRING"), {0x41414141});
    const std::string name =
        "Gr\xC3\xBC\xC3\x9F"
        "e";
    set(w, "WM_NAME", atom(connection(), "UTF8_STRING"), 8, name.data(), static_cast<std::uint32_t>(name.size()));
    ASSERT_TRUE(settle([&] { return x11().model().client(w)->title == name; }))
        << "title: " << x11().model().client(w)->title;
    EXPECT_EQ(x11().model().client(w)->wmClass, "Cls");
    EXPECT_EQ(x11().model().client(w)->wmInstance, "inst");

    // Compound text, as xterm writes a name beyond Latin-1: JIS X 0208, then Latin-1.
    const std::string compound =
        "\x1b$(BF|K\\\x1b(B \xfc"
        "ber";
    set(w, "WM_NAME", atom(connection(), "COMPOUND_TEXT"), 8, compound.data(),
        static_cast<std::uint32_t>(compound.size()));
    EXPECT_TRUE(settle([&] {
        return x11().model().client(w)->title ==
               "\xE6\x97\xA5\xE6\x9C\xAC \xC3\xBC"
               "ber";
    })) << "title: "
        << x11().model().client(w)->title;
}

// A window on a desktop beyond the last, or any window while the current desktop is
// said to be beyond the last, is still listed.
TEST_F(X11HostilePropertiesTest, DesktopsBeyondTheLastHideNoWindow) {
    ClientProcess& client = spawn();
    const xcb_window_t w = managed(client);
    Accessibility& ax = x11().accessibility();
    const auto listed = [&] {
        AXValue windows;
        return ax.copyAttributeValue(ax.createApplication(client.pid()), ax::windows, windows) == AXError::success &&
               std::get<AXElementList>(windows) == AXElementList{element(w)};
    };
    set32(w, "_NET_WM_DESKTOP", XCB_ATOM_CARDINAL, {57});
    heard(w);
    EXPECT_TRUE(listed());

    set32(w, "_NET_WM_DESKTOP", XCB_ATOM_CARDINAL, {0});
    const auto current = property32(connection(), session().root(), "_NET_CURRENT_DESKTOP");
    const std::shared_ptr<void> restore(nullptr, [&](void*) {
        set32(session().root(), "_NET_CURRENT_DESKTOP", XCB_ATOM_CARDINAL, current.value_or(std::vector<uint32_t>{0}));
    });
    set32(session().root(), "_NET_CURRENT_DESKTOP", XCB_ATOM_CARDINAL, {99});
    heard(w);
    ASSERT_EQ(x11().model().currentDesktop(), 99u);
    EXPECT_TRUE(listed());
}

// Decorations larger than the screen would move and size the window by them.
TEST_F(X11HostilePropertiesTest, FrameExtentsBeyondTheScreenAreNotAppliedToTheWindow) {
    ClientOptions options;
    options.geometry = ClientGeometry{100, 100, 400, 300};
    ClientProcess& client = spawn(options);
    const xcb_window_t w = managed(client);
    set32(w, "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL, {100000, 100000, 5, 5});
    heard(w);
    const X11Client* c = x11().model().client(w);
    EXPECT_EQ(c->frame(), c->clientArea);
    x11().accessibility().setFrame(element(w), Point{200, 150}, Size{500, 400}, 0);
    EXPECT_TRUE(settle([&] {
        const auto g = clientGeometry(connection(), w);
        return g && g->width == 500 && g->height == 400;
    })) << toString(*clientGeometry(connection(), w));
}

// A dock's strip beyond the screen, or one that leaves no room, would leave no visible area.
TEST_F(X11HostilePropertiesTest, StrutsBeyondTheScreenLeaveTheVisibleAreaWhole) {
    ClientOptions dock;
    dock.type = "dock";
    dock.strutTop = 30;
    dock.geometry = ClientGeometry{0, 0, 1920, 30};
    const xcb_window_t d = spawn(dock).window();
    ASSERT_TRUE(settle([&] { return screenVisible().height() < 1080; }));
    const std::uint32_t huge = 0xFFFFFFF0;
    for (const auto& strut : {std::vector<std::uint32_t>{0, 0, 5000, 0, 0, 0, 0, 0, 0, 1919, 0, 0},
                              std::vector<std::uint32_t>{0, 0, 0, huge, 0, 0, 0, 0, 0, 0, 0, 1919},
                              std::vector<std::uint32_t>{0, 0, 600, 600, 0, 0, 0, 0, 0, 1919, 0, 1919}}) {
        set32(d, "_NET_WM_STRUT_PARTIAL", XCB_ATOM_CARDINAL, strut);
        heard(d);
        const Rect visible = screenVisible();
        EXPECT_GT(visible.height(), 500) << strut[2] << " " << strut[3];
        EXPECT_EQ(x11().displays().screens().front().frame.intersection(visible), visible);
    }
}

TEST_F(X11HostilePropertiesTest, AStepAsLargeAsTheScreenIsNoStep) {
    ClientProcess& client = spawn();
    const xcb_window_t w = managed(client);
    xcb_size_hints_t hints{};
    xcb_icccm_size_hints_set_resize_inc(&hints, 100000, 100000);
    set(w, "WM_NORMAL_HINTS", XCB_ATOM_WM_SIZE_HINTS, 32, &hints, sizeof hints / 4);
    heard(w);
    AXValue step;
    EXPECT_EQ(x11().accessibility().copyAttributeValue(element(w), ax::sizeIncrement, step),
              AXError::noValue);
}

// A window may change properties the backend does not read at any rate: they cost it
// no round trip each.
TEST_F(X11HostilePropertiesTest, PropertiesTheBackendDoesNotReadCostNoRoundTrips) {
    const xcb_window_t w = managed(spawn());
    const std::uint64_t before = x11().connection().roundTrips();
    const std::string noise(16000, 'x');
    for (int i = 0; i < 50; ++i) {
        set(w, "_KESTR_TEST_NOISE", XCB_ATOM_STRING, 8, noise.data(), static_cast<std::uint32_t>(noise.size()));
    }
    heard(w);
    EXPECT_LT(x11().connection().roundTrips() - before, 10u);
}

// The window manager's list, written over by another client: each window once, and
// the root window is no client.
TEST_F(X11HostilePropertiesTest, AClientListNamingAWindowTwiceOrTheRootListsEachClientOnce) {
    ClientProcess& client = spawn();
    const xcb_window_t w = managed(client);
    const auto before = property32(connection(), session().root(), "_NET_CLIENT_LIST_STACKING");
    set32(session().root(), "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW, {w, session().root(), 0, w});
    heard(w);
    EXPECT_EQ(x11().model().stacking(), std::vector<xcb_window_t>{w});
    set32(session().root(), "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW, before.value_or(std::vector<uint32_t>{}));
}

// Clients that share one top-level window (a window manager's tabs): each follows it
// as it moves, also where that window is listed as a client itself, and one still does
// once the other has gone.
TEST_F(X11HostilePropertiesTest, ClientsSharingAFrameAllFollowItAsItMoves) {
    const auto window = [&](xcb_window_t parent, int x, int width, std::uint32_t overrideRedirect) {
        const xcb_window_t id = xcb_generate_id(connection());
        xcb_create_window(connection(), XCB_COPY_FROM_PARENT, id, parent, static_cast<std::int16_t>(x), 100,
                          static_cast<std::uint16_t>(width), 300, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          XCB_COPY_FROM_PARENT, XCB_CW_OVERRIDE_REDIRECT, &overrideRedirect);
        xcb_map_window(connection(), id);
        return id;
    };
    const xcb_window_t frame = window(session().root(), 100, 400, 1);
    const xcb_window_t a = window(frame, 0, 200, 0);
    const xcb_window_t b = window(frame, 200, 200, 0);
    const auto list = property32(connection(), session().root(), "_NET_CLIENT_LIST_STACKING");
    set32(session().root(), "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW, {frame, a, b});
    ASSERT_TRUE(settle([&] { return x11().model().client(a) && x11().model().client(b); }));
    const auto at = [&](xcb_window_t w) {
        const X11Client* c = x11().model().client(w);
        return c ? c->clientArea.origin : Point{-1, -1};
    };
    const auto moveFrameTo = [&](std::uint32_t x, std::uint32_t y) {
        const std::uint32_t to[] = {x, y};
        xcb_configure_window(connection(), frame, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, to);
        xcb_flush(connection());
        return settle([&] {
            return at(a) == Point{double(x), double(y + 100)} &&
                   (!x11().model().client(b) || at(b) == Point{double(x + 200), double(y + 100)});
        });
    };
    EXPECT_TRUE(moveFrameTo(300, 200));
    EXPECT_TRUE(moveFrameTo(350, 250));
    xcb_destroy_window(connection(), b);
    xcb_flush(connection());
    ASSERT_TRUE(settle([&] { return !x11().model().client(b); }));
    EXPECT_TRUE(moveFrameTo(400, 300));
    set32(session().root(), "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW, list.value_or(std::vector<uint32_t>{}));
    xcb_destroy_window(connection(), frame);
    xcb_flush(connection());
}

// A window that went away before its protocols were read does not make terminate
// signal a program that asks its other windows about unsaved work.
TEST_F(X11HostilePropertiesTest, AWindowGoneBeforeTerminateReadsItIsNoReasonToSignal) {
    x11().x11Workspace().terminateWait = 60;
    ClientOptions deaf;
    deaf.ignoreDelete = true;
    deaf.windows = 2;
    ClientProcess& client = spawn(deaf);
    const auto windows = client.windows();
    ASSERT_EQ(windows.size(), 2u);
    ASSERT_TRUE(settle([&] { return x11().model().client(windows[0]) && x11().model().client(windows[1]); }));
    xcb_destroy_window(connection(), windows[1]);
    ASSERT_FALSE(windowExists(connection(), windows[1]));
    ASSERT_TRUE(x11().model().client(windows[1])) << "the backend heard of it too early";
    EXPECT_TRUE(x11().workspace().terminate(client.pid()));
    // It still answers: no signal came.
    client.send("title 0 still here");
    EXPECT_TRUE(waitUntil([&] { return property8(connection(), windows[0], "_NET_WM_NAME") == "still here"; }));
}

}  // namespace
}  // namespace kestr::x11test
