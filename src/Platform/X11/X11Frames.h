// The window manager's frames around client windows, and where each client sits in its
// frame. A frame's configure event says where the frame now is on the root, a client's own
// configure event where the client sits in its parent: together they say where the client
// is, without asking the server. A window manager moving a frame through an interactive
// drag tells the client nothing until the drag ends (one synthetic configure at the
// release), so following the frames also follows drags.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "Platform/Geometry.h"
#include "Platform/X11/X11Connection.h"

namespace kestr {

class X11Frames {
public:
    explicit X11Frames(X11Connection& connection) : x_(connection) {}

    // Follows the top-level window holding the client (its frame, once reparented),
    // starting from the client's parent; a client whose parent is the root is top-level
    // itself. Several clients may share one frame (a window manager's tabs, or a window
    // inside another's).
    void follow(xcb_window_t client, xcb_window_t parent);
    // The same for many clients (client, parent), asking about all their parents at once.
    void followAll(const std::vector<std::pair<xcb_window_t, xcb_window_t>>& clientsAndParents);
    void forget(xcb_window_t client);

    // Where the client's area starts in its parent (inside its border), as its own
    // configure event or a read says. Kept where the parent is the frame or the root;
    // false for a client nested deeper, whose place only the server can tell.
    bool placeInParent(xcb_window_t client, Point inParent);
    // Where the client's area starts on the root, as the server or the window manager
    // says: kept as its place in the frame, once the frame's own place is known.
    void placeOnRoot(xcb_window_t client, Point origin);
    // Where the client's area starts on the root, as the frames tell it; none when they
    // cannot (a frame or a place not known yet, a client not followed).
    std::optional<Point> origin(xcb_window_t client) const;

    // A configure event of a followed frame, with its sequence number: the clients in it;
    // none when the window is no followed frame.
    std::optional<std::vector<xcb_window_t>> configured(const xcb_configure_notify_event_t& event,
                                                        std::uint32_t sequence);
    // The sequence number of the last configure event of the client's frame: `topLevel`
    // for a client that is top-level itself, 0 for one not followed.
    std::uint32_t frameConfiguredAt(xcb_window_t client, std::uint32_t topLevel) const;
    void destroyed(xcb_window_t window);

private:
    struct Frame {
        std::vector<xcb_window_t> clients;
        std::optional<Rect> area;  // on the root, outside its border
        double border = 0;
        std::uint32_t configuredAt = 0;
    };
    // Where a followed client sits: in a frame (none for a top-level client, whose place is
    // then on the root), directly or nested deeper.
    struct Seat {
        xcb_window_t frame = XCB_NONE;
        bool direct = true;
        std::optional<Point> inFrame;  // from the frame's inner corner
    };
    xcb_window_t topLevel(xcb_window_t parent);
    bool isTopLevel(xcb_window_t window) const { return window == XCB_NONE || window == x_.root(); }
    void attach(xcb_window_t client, xcb_window_t frame, bool direct);
    // The frame's inner corner on the root: the root's corner for none.
    std::optional<Point> inner(xcb_window_t frame) const;

    X11Connection& x_;
    std::map<xcb_window_t, Frame> frames_;
    std::map<xcb_window_t, Seat> seats_;
};

// Whether a request or event numbered `sequence` came at or after `since`, as the
// server's 32-bit numbers wrap.
inline bool atOrAfter(std::uint32_t sequence, std::uint32_t since) {
    return static_cast<std::int32_t>(sequence - since) >= 0;
}

}  // namespace kestr
