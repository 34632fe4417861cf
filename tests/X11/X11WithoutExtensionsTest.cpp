// The backend on a server without X-Resource or without RandR (the session's, seen
// through a proxy that hides the extension): a request of a missing extension would
// close the connection, so the backend does without it.
#include <gtest/gtest.h>

#include "X11/Support/WithoutExtensionTest.h"

namespace kestr::x11test {
namespace {

constexpr char resource[] = "X-Resource";
constexpr char randr[] = "RANDR";
using X11WithoutXResourceTest = WithoutExtensionTest<resource>;
using X11WithoutRandRTest = WithoutExtensionTest<randr>;

// The server cannot say whose a window is: the window's own word counts, but not for a
// process on another machine.
TEST_F(X11WithoutXResourceTest, ProcessesComeFromTheWindowsAndOnlyFromThisMachine) {
    ClientProcess& local = spawn();
    ClientProcess& remote = spawn();
    const xcb_window_t l = local.window();
    const xcb_window_t r = remote.window();
    const std::string elsewhere = "elsewhere.example";
    xcb_change_property(connection(), XCB_PROP_MODE_REPLACE, r, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, 8,
                        static_cast<std::uint32_t>(elsewhere.size()), elsewhere.data());
    xcb_flush(connection());
    ASSERT_TRUE(settle([&] {
        const X11Client* a = x11().model().client(l);
        const X11Client* b = x11().model().client(r);
        return a && a->pid == local.pid() && b && b->otherMachine;
    }));
    EXPECT_EQ(x11().model().client(r)->pid, std::nullopt);
    EXPECT_FALSE(x11().connection().broken());
}

TEST_F(X11WithoutRandRTest, TheWholeScreenIsOneDisplay) {
    const auto screens = x11().displays().screens();
    ASSERT_EQ(screens.size(), 1u);
    EXPECT_EQ(screens[0].frame, Rect(0, 0, session().width(), session().height()));
    EXPECT_FALSE(x11().connection().broken());
}

}  // namespace
}  // namespace kestr::x11test
