// The X11 test fixture itself: the private session, the client-window program and the
// RandR monitors behave as the backend tests rely on.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <xcb/xcb_icccm.h>

#include "Platform/X11/Support/X11Test.h"

namespace kestr::x11test {
namespace {

using ::testing::ElementsAre;
using ::testing::Field;

class FixtureTest : public X11Test {};

bool listed(xcb_connection_t* c, xcb_window_t w) {
    auto list = clientList(c);
    return std::find(list.begin(), list.end(), w) != list.end();
}

TEST_F(FixtureTest, ClientWindowIsManagedWithItsIdentityAndHints) {
    ASSERT_TRUE(session().windowManagerRunning());
    ClientOptions options;
    options.title = "Fixture window";
    options.wmClass = "FixtureClass";
    options.instance = "fixture";
    options.geometry = ClientGeometry{100, 120, 507, 304};
    options.minSize = ClientSize{200, 100};
    options.increment = ClientSize{7, 13};
    options.baseSize = ClientSize{3, 5};
    ClientProcess& client = spawn(options);
    xcb_window_t w = client.window();
    ASSERT_NE(w, XCB_NONE);

    EXPECT_EQ(property8(connection(), w, "_NET_WM_NAME"), "Fixture window");
    EXPECT_EQ(property8(connection(), w, "WM_CLASS"), std::string("fixture\0FixtureClass\0", 21));
    EXPECT_EQ(property32(connection(), w, "_NET_WM_PID"), std::vector<uint32_t>{uint32_t(client.pid())});

    // Reparented into a decorated frame that encloses the window.
    ASSERT_TRUE(
        waitUntil([&] { return listed(connection(), w) && property32(connection(), w, "_NET_FRAME_EXTENTS"); }));
    auto frame = frameOf(connection(), w);
    auto area = clientGeometry(connection(), w);
    ASSERT_TRUE(frame && area);
    EXPECT_EQ(area->width, 507);
    EXPECT_EQ(area->height, 304);  // whole increments over the base: the manager keeps it
    EXPECT_GT(frame->height, area->height) << toString(*frame) << " around " << toString(*area);
    EXPECT_LE(frame->x, area->x);
    EXPECT_LT(frame->y, area->y);

    xcb_size_hints_t hints{};
    ASSERT_TRUE(xcb_icccm_get_wm_normal_hints_reply(connection(), xcb_icccm_get_wm_normal_hints(connection(), w),
                                                    &hints, nullptr));
    EXPECT_EQ(hints.width_inc, 7);
    EXPECT_EQ(hints.height_inc, 13);
    EXPECT_EQ(hints.base_width, 3);
    EXPECT_EQ(hints.min_width, 200);
    EXPECT_EQ(hints.min_height, 100);
    EXPECT_TRUE(hints.flags & XCB_ICCCM_SIZE_HINT_US_POSITION);
}

TEST_F(FixtureTest, WindowsAreNumberedCommandedAndClosed) {
    ClientOptions options;
    options.title = "Numbered";
    options.pid = false;
    options.windows = 3;
    ClientProcess& client = spawn(options);
    auto windows = client.windows();
    ASSERT_EQ(windows.size(), 3u);
    EXPECT_EQ(property8(connection(), windows[0], "_NET_WM_NAME"), "Numbered 1");
    EXPECT_EQ(property8(connection(), windows[2], "_NET_WM_NAME"), "Numbered 3");
    EXPECT_FALSE(property32(connection(), windows[0], "_NET_WM_PID"));

    client.send("title 1 Renamed by a command");
    EXPECT_TRUE(waitUntil([&] { return property8(connection(), windows[1], "WM_NAME") == "Renamed by a command"; }));

    client.send("close 0");
    EXPECT_TRUE(
        waitUntil([&] { return !windowExists(connection(), windows[0]) && !listed(connection(), windows[0]); }));
    EXPECT_TRUE(windowExists(connection(), windows[1]));

    // Closing from the window manager's side: WM_DELETE_WINDOW, as a user's close button sends it.
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = windows[1];
    message.type = atom(connection(), "WM_PROTOCOLS");
    message.data.data32[0] = atom(connection(), "WM_DELETE_WINDOW");
    xcb_send_event(connection(), 0, windows[1], XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
    EXPECT_TRUE(waitUntil([&] { return !windowExists(connection(), windows[1]); }));

    client.send("close 2");
    EXPECT_TRUE(client.waitExit()) << "the client outlived its last window";
}

TEST_F(FixtureTest, StatesTypesAndLateWindowsReachTheWindowManager) {
    ClientOptions hidden;
    hidden.state = "hidden";
    hidden.delaySeconds = 0.2;
    xcb_window_t minimised = spawn(hidden).window();
    ASSERT_NE(minimised, XCB_NONE) << "a window that starts minimised is announced too";
    EXPECT_TRUE(waitUntil([&] { return hasState(connection(), minimised, "_NET_WM_STATE_HIDDEN"); }));
    EXPECT_FALSE(isViewable(connection(), minimised));

    ClientOptions full;
    full.state = "fullscreen";
    xcb_window_t fullScreen = spawn(full).window();
    EXPECT_TRUE(waitUntil([&] {
        return hasState(connection(), fullScreen, "_NET_WM_STATE_FULLSCREEN") &&
               frameOf(connection(), fullScreen) == XRect{0, 0, session().width(), session().height()};
    })) << toString(frameOf(connection(), fullScreen).value_or(XRect{}));

    ClientOptions dock;
    dock.type = "dock";
    dock.geometry = ClientGeometry{0, 0, session().width(), 30};
    dock.strutTop = 30;
    spawn(dock).window();
    EXPECT_TRUE(waitUntil([&] {
        auto area = property32(connection(), session().root(), "_NET_WORKAREA");
        return area && area->size() >= 4 && (*area)[1] == 30;
    })) << "the dock's strut keeps the work area below it";

    ClientOptions dialogs;
    dialogs.windows = 2;
    dialogs.type = "dialog";
    dialogs.transientForFirst = true;
    auto pair = spawn(dialogs).windows();
    ASSERT_EQ(pair.size(), 2u);
    EXPECT_EQ(property32(connection(), pair[1], "WM_TRANSIENT_FOR"), std::vector<uint32_t>{pair[0]});
    EXPECT_EQ(property32(connection(), pair[0], "_NET_WM_WINDOW_TYPE"),
              std::vector<uint32_t>{atom(connection(), "_NET_WM_WINDOW_TYPE_DIALOG")});
}

TEST_F(FixtureTest, WindowManagerCanAnswerLateOrNotAtAll) {
    session().pauseWindowManager();
    ClientProcess& late = spawn();
    // Mapping waits for the paused manager; a short look is enough to see it has not happened.
    EXPECT_TRUE(late.windows(0.3).empty());
    session().resumeWindowManager();
    EXPECT_NE(late.window(), XCB_NONE);

    session().stopWindowManager();
    EXPECT_FALSE(session().windowManagerRunning());
    session().startWindowManager();
    EXPECT_TRUE(session().windowManagerRunning());
    EXPECT_TRUE(waitUntil([&] { return listed(connection(), late.window()); })) << "the new manager adopts it";
}

TEST_F(FixtureTest, RandrMonitorsCanBeAddedListedAndRemoved) {
    session().addMonitor("LEFT", 0, 0, 1920, 1080, true);
    session().addMonitor("RIGHT", 1920, 0, 1920, 1080);
    EXPECT_THAT(session().monitors(),
                ElementsAre(AllOf(Field(&RandrMonitor::name, "LEFT"), Field(&RandrMonitor::primary, true)),
                            AllOf(Field(&RandrMonitor::name, "RIGHT"), Field(&RandrMonitor::x, 1920),
                                  Field(&RandrMonitor::width, 1920), Field(&RandrMonitor::primary, false))));

    // The monitor left behind keeps the screen to itself.
    session().removeMonitor("LEFT");
    EXPECT_THAT(session().monitors(), ElementsAre(Field(&RandrMonitor::name, "RIGHT")));
    session().removeAllMonitors();
    EXPECT_THAT(session().monitors(), ElementsAre(Field(&RandrMonitor::width, session().width())));
}

}  // namespace
}  // namespace kestr::x11test
