#include "X11/Support/FakeInput.h"

#include <xcb/xtest.h>

namespace kestr::x11test {

void fakeInput(xcb_connection_t* connection, xcb_window_t root, std::uint8_t type, std::uint8_t detail, int x, int y) {
    xcb_test_fake_input(connection, type, detail, XCB_CURRENT_TIME, type == XCB_MOTION_NOTIFY ? root : XCB_NONE,
                        static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), 0);
    xcb_flush(connection);
}

void fakeClick(xcb_connection_t* connection, xcb_window_t root, int x, int y) {
    fakeInput(connection, root, XCB_MOTION_NOTIFY, 0, x, y);
    fakeInput(connection, root, XCB_BUTTON_PRESS, 1);
    fakeInput(connection, root, XCB_BUTTON_RELEASE, 1);
}

}  // namespace kestr::x11test
