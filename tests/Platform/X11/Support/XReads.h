// Small reads for the X11 tests, straight from the server (one or two round trips each).
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestr::x11test {

struct XRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const XRect&, const XRect&) = default;
};
std::string toString(const XRect& rect);  // "WxH+X+Y"

xcb_atom_t atom(xcb_connection_t* connection, const std::string& name);

// The window's own area, in root coordinates.
std::optional<XRect> clientGeometry(xcb_connection_t* connection, xcb_window_t window);
// The window as the user sees it: its area in root coordinates grown by _NET_FRAME_EXTENTS
// (left, right, top, bottom); the bare area while the window manager has set no extents.
std::optional<XRect> frameOf(xcb_connection_t* connection, xcb_window_t window);

// A property's 32-bit items (CARDINAL, ATOM, WINDOW, …); nullopt when the window lacks it.
std::optional<std::vector<uint32_t>> property32(xcb_connection_t* connection, xcb_window_t window,
                                                const std::string& name);
// A property's bytes (STRING, UTF8_STRING; WM_CLASS keeps its inner NUL); nullopt when missing.
std::optional<std::string> property8(xcb_connection_t* connection, xcb_window_t window, const std::string& name);

bool windowExists(xcb_connection_t* connection, xcb_window_t window);
bool isViewable(xcb_connection_t* connection, xcb_window_t window);
// The root's _NET_CLIENT_LIST, oldest first.
std::vector<xcb_window_t> clientList(xcb_connection_t* connection);
// Whether the window's _NET_WM_STATE holds that state ("_NET_WM_STATE_HIDDEN", …).
bool hasState(xcb_connection_t* connection, xcb_window_t window, const std::string& state);

// Whether another client holds the pointer (or the keyboard) grabbed: ours, when the
// grab succeeds, is given up at once.
bool pointerHeld(xcb_connection_t* connection, xcb_window_t root);
bool keyboardHeld(xcb_connection_t* connection, xcb_window_t root);

}  // namespace kestr::x11test
