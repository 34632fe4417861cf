// The window manager's frames around client windows. A window manager moving a frame
// through an interactive drag tells the client nothing until the drag ends (one
// synthetic configure at the release), so the model follows the frames themselves: a
// frame that moves carries its client along, without a round trip per motion.
#pragma once

#include <xcb/xcb.h>

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
    // starting from the client's parent; a client that is top-level itself has no frame.
    // Several clients may share one (a window manager's tabs, or a window inside another's).
    void follow(xcb_window_t client, xcb_window_t parent);
    // The same for many clients (client, parent), asking about all their parents at once.
    void followAll(const std::vector<std::pair<xcb_window_t, xcb_window_t>>& clientsAndParents);
    void forget(xcb_window_t client);

    struct Change {
        std::vector<xcb_window_t> clients;
        // How far the frame moved with its size kept; none: the client must be read again.
        std::optional<Point> moved;
    };
    // A configure event of a followed frame: whose frame it is, and what changed.
    std::optional<Change> configured(const xcb_configure_notify_event_t& event);
    void destroyed(xcb_window_t window);

private:
    struct Frame {
        std::vector<xcb_window_t> clients;
        std::optional<Rect> area;  // as the last event said; unknown until the first one
    };
    xcb_window_t topLevel(xcb_window_t parent);
    bool isTopLevel(xcb_window_t window) const { return window == XCB_NONE || window == x_.root(); }
    void attach(xcb_window_t client, xcb_window_t frame);

    X11Connection& x_;
    std::map<xcb_window_t, Frame> frames_;
    std::map<xcb_window_t, xcb_window_t> frameOfClient_;
};

}  // namespace kestr
