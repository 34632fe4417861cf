// One connection to an X display with the EWMH atoms interned: replies are awaited
// through it (and counted, as benchmarks report round trips), events are handed to the
// listeners on the main actor, and a lost connection is reported once.
#pragma once

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Error.h"

namespace kestr {

class X11Error : public Error {
public:
    using Error::Error;
};

// Frees what xcb hands over with malloc.
struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <class T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

// Sends a 32-bit client message about `window` to `destination`, for the clients that
// select `eventMask` there, over any connection (the toolkit's too); answers the request.
xcb_void_cookie_t sendClientMessage(xcb_connection_t* connection, xcb_window_t destination, std::uint32_t eventMask,
                                    xcb_window_t window, xcb_atom_t type, const std::array<std::uint32_t, 5>& data);

class X11Connection {
public:
    // Connects to the named display ("" for $DISPLAY as xcb reads it). Throws X11Error.
    explicit X11Connection(const std::string& displayName);
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    xcb_connection_t* raw() const { return connection_; }
    xcb_ewmh_connection_t& ewmh() { return ewmh_; }
    xcb_window_t root() const { return screen_->root; }
    xcb_screen_t& screen() const { return *screen_; }
    int screenNumber() const { return screenNumber_; }
    const std::string& displayName() const { return displayName_; }
    int fd() const { return xcb_get_file_descriptor(connection_); }
    bool broken() const { return xcb_connection_has_error(connection_) != 0; }

    // Interned once.
    xcb_atom_t atom(const std::string& name);
    std::string atomName(xcb_atom_t atom);

    // Waits for a reply; none when the request failed (the window is gone, say).
    template <class Reply, class Cookie, class Fn>
    XcbReply<Reply> reply(Fn fn, Cookie cookie) {
        ++roundTrips_;
        xcb_generic_error_t* error = nullptr;
        XcbReply<Reply> r(fn(connection_, cookie, &error));
        if (error) std::free(error);
        noteIfBroken();
        return r;
    }
    // Whether the server has the extension: a request of one it lacks closes the connection.
    bool hasExtension(xcb_extension_t& extension) {
        const xcb_query_extension_reply_t* data = xcb_get_extension_data(connection_, &extension);
        return data && data->present;
    }
    // Whether a checked request succeeded.
    bool check(xcb_void_cookie_t cookie);

    // A property's raw 32-bit items (cardinals, windows, atoms); none when absent.
    std::optional<std::vector<std::uint32_t>> cardinals(xcb_window_t window, xcb_atom_t property);
    xcb_get_property_cookie_t requestProperty(xcb_window_t window, xcb_atom_t property,
                                              std::uint32_t longLength = 4096);
    XcbReply<xcb_get_property_reply_t> property(xcb_get_property_cookie_t cookie);

    // Sends a 32-bit client message about `window` to `destination`, for the clients that
    // select `eventMask` there; answers the request's sequence number, which events the
    // server sends after it carry on.
    std::uint32_t sendMessage(xcb_window_t destination, std::uint32_t eventMask, xcb_window_t window, xcb_atom_t type,
                              const std::array<std::uint32_t, 5>& data);
    // Sends a 32-bit client message to the root window, as EWMH requests are sent.
    std::uint32_t sendRootMessage(xcb_window_t window, xcb_atom_t type, std::uint32_t d0, std::uint32_t d1 = 0,
                                  std::uint32_t d2 = 0, std::uint32_t d3 = 0, std::uint32_t d4 = 0);
    void flush() { xcb_flush(connection_); }

    // Every event, errors of unchecked requests included (response type 0).
    void addListener(std::function<void(const xcb_generic_event_t&)> listener) {
        listeners_.push_back(std::move(listener));
    }
    // Called after every listener has heard an event, for waits whose conditions depend
    // on what any of them made of it.
    void addAfterEventListener(std::function<void()> listener) { afterEventListeners_.push_back(std::move(listener)); }
    // Called once when the connection breaks.
    std::function<void()> onLost;
    // Hands out the events xcb has queued; reads the socket first when `readSocket`.
    void dispatch(bool readSocket);

    std::uint64_t roundTrips() const { return roundTrips_; }
    std::uint64_t requestsSent() const { return requestsSent_; }
    void countRequest() { ++requestsSent_; }

private:
    void noteIfBroken();

    std::string displayName_;
    xcb_connection_t* connection_ = nullptr;
    xcb_screen_t* screen_ = nullptr;
    int screenNumber_ = 0;
    xcb_ewmh_connection_t ewmh_{};
    bool ewmhReady_ = false;
    std::map<std::string, xcb_atom_t> atoms_;
    std::vector<std::function<void(const xcb_generic_event_t&)>> listeners_;
    std::vector<std::function<void()>> afterEventListeners_;
    bool lostReported_ = false;
    bool dispatching_ = false;
    std::uint64_t roundTrips_ = 0;
    std::uint64_t requestsSent_ = 0;
};

}  // namespace kestr
