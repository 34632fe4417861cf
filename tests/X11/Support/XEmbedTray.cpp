#include "X11/Support/XEmbedTray.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace kestr::x11test {

namespace {

void sendMessage(xcb_connection_t* connection, xcb_window_t to, xcb_window_t window, xcb_atom_t type,
                 std::array<std::uint32_t, 5> data, std::uint32_t mask) {
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    std::memcpy(event.data.data32, data.data(), sizeof event.data.data32);
    xcb_send_event(connection, 0, to, mask, reinterpret_cast<const char*>(&event));
}

}  // namespace

XEmbedTray::XEmbedTray(const std::string& display, const XRect& frame, std::array<std::uint16_t, 3> foreground) {
    int screenNumber = 0;
    connection_ = xcb_connect(display.c_str(), &screenNumber);
    if (xcb_connection_has_error(connection_)) throw std::runtime_error("the tray could not reach " + display);
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screenNumber; ++i) xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    window_ = xcb_generate_id(connection_);
    const std::uint32_t values[] = {screens.data->black_pixel, 1, XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, root, std::int16_t(frame.x), std::int16_t(frame.y),
                      std::uint16_t(frame.width), std::uint16_t(frame.height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
    const std::uint32_t colours[12] = {foreground[0], foreground[1], foreground[2], 0xFFFF, 0, 0,
                                       0xFFFF,        0xFFFF,        0,             0,      0xFFFF, 0};
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, atom(connection_, "_NET_SYSTEM_TRAY_COLORS"),
                        XCB_ATOM_CARDINAL, 32, 12, colours);
    const std::uint32_t horizontal = 0;
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, atom(connection_, "_NET_SYSTEM_TRAY_ORIENTATION"),
                        XCB_ATOM_CARDINAL, 32, 1, &horizontal);
    xcb_map_window(connection_, window_);
    const xcb_atom_t selection = atom(connection_, "_NET_SYSTEM_TRAY_S" + std::to_string(screenNumber));
    xcb_set_selection_owner(connection_, window_, selection, XCB_CURRENT_TIME);
    // Clients that wait for a tray hear of this one.
    sendMessage(connection_, root, root, atom(connection_, "MANAGER"), {XCB_CURRENT_TIME, selection, window_, 0, 0},
                XCB_EVENT_MASK_STRUCTURE_NOTIFY);
    opcode_ = atom(connection_, "_NET_SYSTEM_TRAY_OPCODE");
    xcb_flush(connection_);
}

XEmbedTray::~XEmbedTray() {
    xcb_destroy_window(connection_, window_);
    xcb_disconnect(connection_);
}

void XEmbedTray::handleEvents() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        if ((event->response_type & 0x7F) == XCB_CLIENT_MESSAGE) {
            const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event);
            // SYSTEM_TRAY_REQUEST_DOCK names the icon window.
            if (message->type == opcode_ && message->data.data32[1] == 0 && !icon_) dock(message->data.data32[2]);
        }
        std::free(event);
    }
}

void XEmbedTray::dock(xcb_window_t icon) {
    icon_ = icon;
    xcb_reparent_window(connection_, icon, window_, 4, 4);
    const std::uint32_t size[] = {22, 22};
    xcb_configure_window(connection_, icon, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
    xcb_map_window(connection_, icon);
    // XEMBED_EMBEDDED_NOTIFY, protocol version 0.
    sendMessage(connection_, icon, icon, atom(connection_, "_XEMBED"), {XCB_CURRENT_TIME, 0, 0, window_, 0},
                XCB_EVENT_MASK_NO_EVENT);
    xcb_flush(connection_);
}

}  // namespace kestr::x11test
