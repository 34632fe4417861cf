#include "Platform/X11/Support/FakeInput.h"

#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <cstdlib>

namespace kestr::x11test {

void fakeInput(xcb_connection_t* connection, xcb_window_t root, std::uint8_t type, std::uint8_t detail, int x, int y) {
    xcb_test_fake_input(connection, type, detail, XCB_CURRENT_TIME, type == XCB_MOTION_NOTIFY ? root : XCB_NONE,
                        static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), 0);
    // A round trip: the server has made the input before the test goes on, so what the
    // backend asks the server next (over its own connection, which the server may serve
    // first) already sees it.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

xcb_keycode_t keycodeOf(xcb_connection_t* connection, xcb_keysym_t keysym) {
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(connection);
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, keysym);
    const xcb_keycode_t code = codes ? codes[0] : 0;
    std::free(codes);
    xcb_key_symbols_free(symbols);
    return code;
}

void fakeClick(xcb_connection_t* connection, xcb_window_t root, int x, int y) {
    fakeInput(connection, root, XCB_MOTION_NOTIFY, 0, x, y);
    fakeInput(connection, root, XCB_BUTTON_PRESS, 1);
    fakeInput(connection, root, XCB_BUTTON_RELEASE, 1);
}

}  // namespace kestr::x11test
