#include "XConnection.h"

#include <xcb/randr.h>

#include <cstdlib>
#include <stdexcept>

namespace kestr::x11test {

XConnection::XConnection(const std::string& display) {
    int screen = 0;
    connection_ = xcb_connect(display.c_str(), &screen);
    if (xcb_connection_has_error(connection_)) {
        xcb_disconnect(connection_);
        throw std::runtime_error("cannot connect to the X display " + display);
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screen; ++i) xcb_screen_next(&it);
    root_ = it.data->root;
    std::free(xcb_randr_query_version_reply(connection_, xcb_randr_query_version(connection_, 1, 5), nullptr));
    if (!xcb_ewmh_init_atoms_replies(&ewmh_, xcb_ewmh_init_atoms(connection_, &ewmh_), nullptr)) {
        xcb_disconnect(connection_);
        throw std::runtime_error("cannot intern the EWMH atoms on " + display);
    }
}

XConnection::~XConnection() {
    xcb_ewmh_connection_wipe(&ewmh_);
    xcb_disconnect(connection_);
}

void XConnection::select(xcb_window_t window, uint32_t eventMask) {
    xcb_change_window_attributes(connection_, window, XCB_CW_EVENT_MASK, &eventMask);
    xcb_flush(connection_);
}

}  // namespace kestr::x11test
