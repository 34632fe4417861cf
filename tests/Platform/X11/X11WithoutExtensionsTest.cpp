// The backend on a server without X-Resource, RandR or SHAPE (the session's, seen
// through a proxy that hides the extension): a request of a missing extension would
// close the connection, so the backend does without it.
#include <gtest/gtest.h>

#include "Platform/X11/Support/WithoutExtensionTest.h"
#include "Platform/X11/Support/XConnection.h"

namespace kestr::x11test {
namespace {

constexpr char resource[] = "X-Resource";
constexpr char randr[] = "RANDR";
constexpr char shape[] = "SHAPE";
using X11WithoutXResourceTest = WithoutExtensionTest<resource>;
using X11WithoutRandRTest = WithoutExtensionTest<randr>;
using X11WithoutShapeTest = WithoutExtensionTest<shape>;

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

// Shapes asked for one of kestr's own windows are left out, and the toolkit's connection,
// which shows all of them, stays open.
TEST_F(X11WithoutShapeTest, OwnWindowsGoUnshapedAndTheToolkitKeepsItsConnection) {
    XConnection toolkit(x11().connection().displayName());
    const xcb_window_t w = xcb_generate_id(toolkit);
    xcb_create_window(toolkit, XCB_COPY_FROM_PARENT, w, toolkit.root(), 0, 0, 40, 40, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    const NativeWindow window{toolkit.get(), w};
    x11().nativeWindows().setInputShape(window, {Rect(0, 0, 10, 10)});
    x11().nativeWindows().setVisibleShape(window, {});
    x11().nativeWindows().showOnEveryDesktop(window);
    std::free(xcb_get_input_focus_reply(toolkit, xcb_get_input_focus(toolkit), nullptr));
    EXPECT_EQ(xcb_connection_has_error(toolkit), 0);
    EXPECT_EQ(property32(toolkit, w, "_NET_WM_DESKTOP"), std::vector<std::uint32_t>{0xFFFFFFFF});
}

}  // namespace
}  // namespace kestr::x11test
