#include "XReads.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace kestr::x11test {
namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeReply>;

xcb_window_t rootOf(xcb_connection_t* connection) {
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

Reply<xcb_get_property_reply_t> propertyReply(xcb_connection_t* connection, xcb_window_t window,
                                              const std::string& name) {
    xcb_atom_t a = atom(connection, name);
    if (a == XCB_NONE) return nullptr;
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, a, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 16), nullptr));
    if (!reply || reply->type == XCB_NONE) return nullptr;
    return reply;
}

}  // namespace

std::string toString(const XRect& r) {
    return std::to_string(r.width) + "x" + std::to_string(r.height) + "+" + std::to_string(r.x) + "+" +
           std::to_string(r.y);
}

xcb_atom_t atom(xcb_connection_t* connection, const std::string& name) {
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.c_str()), nullptr));
    return reply ? reply->atom : XCB_NONE;
}

std::optional<XRect> clientGeometry(xcb_connection_t* connection, xcb_window_t window) {
    Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
    if (!geometry) return std::nullopt;
    Reply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, window, rootOf(connection), 0, 0), nullptr));
    if (!origin) return std::nullopt;
    return XRect{origin->dst_x, origin->dst_y, geometry->width, geometry->height};
}

std::optional<XRect> frameOf(xcb_connection_t* connection, xcb_window_t window) {
    auto area = clientGeometry(connection, window);
    if (!area) return std::nullopt;
    auto extents = property32(connection, window, "_NET_FRAME_EXTENTS");
    if (!extents || extents->size() < 4) return area;
    int left = static_cast<int>((*extents)[0]), right = static_cast<int>((*extents)[1]);
    int top = static_cast<int>((*extents)[2]), bottom = static_cast<int>((*extents)[3]);
    return XRect{area->x - left, area->y - top, area->width + left + right, area->height + top + bottom};
}

std::optional<std::vector<uint32_t>> property32(xcb_connection_t* connection, xcb_window_t window,
                                                const std::string& name) {
    auto reply = propertyReply(connection, window, name);
    if (!reply || reply->format != 32) return std::nullopt;
    auto* items = static_cast<uint32_t*>(xcb_get_property_value(reply.get()));
    return std::vector<uint32_t>(items, items + xcb_get_property_value_length(reply.get()) / 4);
}

std::optional<std::string> property8(xcb_connection_t* connection, xcb_window_t window, const std::string& name) {
    auto reply = propertyReply(connection, window, name);
    if (!reply || reply->format != 8) return std::nullopt;
    return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                       static_cast<size_t>(xcb_get_property_value_length(reply.get())));
}

bool windowExists(xcb_connection_t* connection, xcb_window_t window) {
    return Reply<xcb_get_geometry_reply_t>(
               xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr)) != nullptr;
}

bool isViewable(xcb_connection_t* connection, xcb_window_t window) {
    Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

std::vector<xcb_window_t> clientList(xcb_connection_t* connection) {
    auto list = property32(connection, rootOf(connection), "_NET_CLIENT_LIST");
    return list ? std::vector<xcb_window_t>(list->begin(), list->end()) : std::vector<xcb_window_t>{};
}

bool hasState(xcb_connection_t* connection, xcb_window_t window, const std::string& state) {
    auto states = property32(connection, window, "_NET_WM_STATE");
    return states && std::count(states->begin(), states->end(), atom(connection, state)) > 0;
}

// Both ask for a grab stamped long before the server's last grab: the server answers
// "already grabbed" while another client holds it and "invalid time" otherwise, so the
// question never takes the grab from a window about to take it.
constexpr xcb_timestamp_t longAgo = 1;

bool pointerHeld(xcb_connection_t* connection, xcb_window_t root) {
    auto* r = xcb_grab_pointer_reply(connection,
                                     xcb_grab_pointer(connection, 0, root, 0, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC,
                                                      XCB_NONE, XCB_NONE, longAgo),
                                     nullptr);
    const int status = r ? r->status : -1;
    std::free(r);
    if (status == XCB_GRAB_STATUS_SUCCESS) xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
    xcb_flush(connection);
    return status == XCB_GRAB_STATUS_ALREADY_GRABBED;
}

bool keyboardHeld(xcb_connection_t* connection, xcb_window_t root) {
    auto* r = xcb_grab_keyboard_reply(
        connection, xcb_grab_keyboard(connection, 0, root, longAgo, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
        nullptr);
    const int status = r ? r->status : -1;
    std::free(r);
    if (status == XCB_GRAB_STATUS_SUCCESS) xcb_ungrab_keyboard(connection, XCB_CURRENT_TIME);
    xcb_flush(connection);
    return status == XCB_GRAB_STATUS_ALREADY_GRABBED;
}

}  // namespace kestr::x11test
