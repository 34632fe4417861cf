#include "Platform/X11/Support/XEmbedTray.h"

#include <cstdlib>

namespace kestr::x11test {

XEmbedTray::XEmbedTray(const std::string& display, const XRect& frame, std::array<std::uint16_t, 3> foreground)
    : x_(display) {
    window_ = xcb_generate_id(x_.raw());
    const std::uint32_t values[] = {x_.screen().black_pixel, 1, XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(x_.raw(), XCB_COPY_FROM_PARENT, window_, x_.root(), std::int16_t(frame.x), std::int16_t(frame.y),
                      std::uint16_t(frame.width), std::uint16_t(frame.height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
    const std::uint32_t colours[12] = {
        foreground[0], foreground[1], foreground[2], 0xFFFF, 0, 0, 0xFFFF, 0xFFFF, 0, 0, 0xFFFF, 0};
    xcb_change_property(x_.raw(), XCB_PROP_MODE_REPLACE, window_, x_.atom("_NET_SYSTEM_TRAY_COLORS"), XCB_ATOM_CARDINAL,
                        32, 12, colours);
    const std::uint32_t horizontal = 0;
    xcb_change_property(x_.raw(), XCB_PROP_MODE_REPLACE, window_, x_.atom("_NET_SYSTEM_TRAY_ORIENTATION"),
                        XCB_ATOM_CARDINAL, 32, 1, &horizontal);
    xcb_map_window(x_.raw(), window_);
    const xcb_atom_t selection = x_.atom("_NET_SYSTEM_TRAY_S" + std::to_string(x_.screenNumber()));
    xcb_set_selection_owner(x_.raw(), window_, selection, XCB_CURRENT_TIME);
    // Clients that wait for a tray hear of this one.
    x_.sendMessage(x_.root(), XCB_EVENT_MASK_STRUCTURE_NOTIFY, x_.root(), x_.atom("MANAGER"),
                   {XCB_CURRENT_TIME, selection, window_, 0, 0});
    opcode_ = x_.atom("_NET_SYSTEM_TRAY_OPCODE");
    x_.flush();
}

XEmbedTray::~XEmbedTray() {
    xcb_destroy_window(x_.raw(), window_);
    x_.flush();
}

void XEmbedTray::handleEvents() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(x_.raw())) {
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
    xcb_reparent_window(x_.raw(), icon, window_, 4, 4);
    const std::uint32_t size[] = {22, 22};
    xcb_configure_window(x_.raw(), icon, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
    xcb_map_window(x_.raw(), icon);
    // XEMBED_EMBEDDED_NOTIFY, protocol version 0.
    x_.sendMessage(icon, XCB_EVENT_MASK_NO_EVENT, icon, x_.atom("_XEMBED"), {XCB_CURRENT_TIME, 0, 0, window_, 0});
    x_.flush();
}

}  // namespace kestr::x11test
