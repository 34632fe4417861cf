// A connection of the tests' own to the X display, with the EWMH atoms ready and
// RandR 1.5 asked for.
#pragma once

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <string>

namespace kestr::x11test {

class XConnection {
public:
    // Throws std::runtime_error when the display cannot be reached.
    explicit XConnection(const std::string& display);
    ~XConnection();
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    xcb_connection_t* get() const { return connection_; }
    operator xcb_connection_t*() const { return connection_; }
    xcb_ewmh_connection_t& ewmh() { return ewmh_; }
    xcb_window_t root() const { return root_; }
    // Selects these events on a window for this connection (replacing what it selected there).
    void select(xcb_window_t window, uint32_t eventMask);

private:
    xcb_connection_t* connection_ = nullptr;
    xcb_ewmh_connection_t ewmh_{};
    xcb_window_t root_ = XCB_NONE;
};

}  // namespace kestr::x11test
