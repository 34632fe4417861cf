#include "Platform/X11/X11Connection.h"

#include <cstring>

namespace kestr {

X11Connection::X11Connection(const std::string& displayName) {
    connection_ = xcb_connect(displayName.empty() ? nullptr : displayName.c_str(), &screenNumber_);
    if (!connection_ || xcb_connection_has_error(connection_)) {
        if (connection_) xcb_disconnect(connection_);
        connection_ = nullptr;
        throw X11Error("cannot open the X display " + (displayName.empty() ? std::string("$DISPLAY") : displayName));
    }
    displayName_ = displayName;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screenNumber_ && it.rem; ++i) xcb_screen_next(&it);
    if (!it.rem) {
        xcb_disconnect(connection_);
        connection_ = nullptr;
        throw X11Error("the X display " + displayName + " has no screen");
    }
    screen_ = it.data;
    xcb_intern_atom_cookie_t* cookies = xcb_ewmh_init_atoms(connection_, &ewmh_);
    ++roundTrips_;
    ewmhReady_ = xcb_ewmh_init_atoms_replies(&ewmh_, cookies, nullptr) != 0;
    if (!ewmhReady_) {
        xcb_disconnect(connection_);
        connection_ = nullptr;
        throw X11Error("cannot intern the window manager atoms on " + displayName);
    }
}

X11Connection::~X11Connection() {
    if (ewmhReady_) xcb_ewmh_connection_wipe(&ewmh_);
    if (connection_) xcb_disconnect(connection_);
}

xcb_atom_t X11Connection::atom(const std::string& name) {
    if (auto it = atoms_.find(name); it != atoms_.end()) return it->second;
    auto r = reply<xcb_intern_atom_reply_t>(xcb_intern_atom_reply,
                                            xcb_intern_atom(connection_, 0, name.size(), name.c_str()));
    const xcb_atom_t value = r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
    if (r) atoms_.emplace(name, value);
    return value;
}

std::string X11Connection::atomName(xcb_atom_t atom) {
    auto r = reply<xcb_get_atom_name_reply_t>(xcb_get_atom_name_reply, xcb_get_atom_name(connection_, atom));
    if (!r) return {};
    return std::string(xcb_get_atom_name_name(r.get()), xcb_get_atom_name_name_length(r.get()));
}

bool X11Connection::check(xcb_void_cookie_t cookie) {
    ++roundTrips_;
    xcb_generic_error_t* error = xcb_request_check(connection_, cookie);
    noteIfBroken();
    if (!error) return !broken();
    std::free(error);
    return false;
}

xcb_get_property_cookie_t X11Connection::requestProperty(xcb_window_t window, xcb_atom_t property,
                                                         std::uint32_t longLength) {
    return xcb_get_property(connection_, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, longLength);
}

XcbReply<xcb_get_property_reply_t> X11Connection::property(xcb_get_property_cookie_t cookie) {
    auto r = reply<xcb_get_property_reply_t>(xcb_get_property_reply, cookie);
    if (r && r->type == XCB_ATOM_NONE) r.reset();
    return r;
}

std::optional<std::vector<std::uint32_t>> X11Connection::cardinals(xcb_window_t window, xcb_atom_t property) {
    auto r = this->property(requestProperty(window, property));
    if (!r || r->format != 32) return std::nullopt;
    const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(r.get()));
    return std::vector<std::uint32_t>(data, data + xcb_get_property_value_length(r.get()) / 4);
}

xcb_void_cookie_t sendClientMessage(xcb_connection_t* connection, xcb_window_t destination, std::uint32_t eventMask,
                                    xcb_window_t window, xcb_atom_t type, const std::array<std::uint32_t, 5>& data) {
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    std::memcpy(event.data.data32, data.data(), sizeof event.data.data32);
    return xcb_send_event(connection, 0, destination, eventMask, reinterpret_cast<const char*>(&event));
}

std::uint32_t X11Connection::sendMessage(xcb_window_t destination, std::uint32_t eventMask, xcb_window_t window,
                                         xcb_atom_t type, const std::array<std::uint32_t, 5>& data) {
    const xcb_void_cookie_t sent = sendClientMessage(connection_, destination, eventMask, window, type, data);
    ++requestsSent_;
    return sent.sequence;
}

std::uint32_t X11Connection::sendRootMessage(xcb_window_t window, xcb_atom_t type, std::uint32_t d0, std::uint32_t d1,
                                             std::uint32_t d2, std::uint32_t d3, std::uint32_t d4) {
    return sendMessage(root(), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY, window, type,
                       {d0, d1, d2, d3, d4});
}

void X11Connection::dispatch(bool readSocket) {
    // A listener that reads replies may queue more events; they are handed out by this
    // same loop, never by a nested one.
    if (dispatching_) return;
    dispatching_ = true;
    bool first = readSocket;
    for (;;) {
        xcb_generic_event_t* event = first ? xcb_poll_for_event(connection_) : xcb_poll_for_queued_event(connection_);
        first = false;
        if (!event) break;
        std::unique_ptr<xcb_generic_event_t, FreeDeleter> owned(event);
        for (std::size_t i = 0; i < listeners_.size(); ++i) listeners_[i](*event);
        for (std::size_t i = 0; i < afterEventListeners_.size(); ++i) afterEventListeners_[i]();
    }
    dispatching_ = false;
    noteIfBroken();
}

void X11Connection::noteIfBroken() {
    if (lostReported_ || !broken()) return;
    lostReported_ = true;
    if (onLost) onLost();
}

}  // namespace kestr
