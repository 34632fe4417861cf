// Tells when the window manager has handled every request sent before a point. Behind
// them goes a request that only the window manager answers, and only to kestr: the
// decorations it would give an unmapped window of kestr's own (_NET_REQUEST_FRAME_EXTENTS),
// which it answers by writing that window's _NET_FRAME_EXTENTS. A window manager takes
// requests in the order they come, so once that property changes it is done with the
// ones before. The change itself is the answer: nothing is read back.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "Platform/X11/X11Connection.h"

namespace kestr {

class X11MoveFence {
public:
    // One fence: the window it asked about, and which of that window's fences it was.
    struct Mark {
        xcb_window_t window = XCB_NONE;
        std::uint64_t serial = 0;
    };

    explicit X11MoveFence(X11Connection& connection);
    ~X11MoveFence();
    X11MoveFence(const X11MoveFence&) = delete;
    X11MoveFence& operator=(const X11MoveFence&) = delete;

    // Sends a fence behind the requests sent so far (the caller flushes); none when the
    // window manager does not answer such requests.
    Mark raise();
    // Whether the window manager has answered that fence; never for none.
    bool passed(Mark mark) const;
    // How many fences were sent, for tests and measurements.
    std::uint64_t sent() const { return serial_; }

private:
    void handle(const xcb_generic_event_t& event);
    bool supported();

    X11Connection& x_;
    xcb_atom_t request_;
    xcb_atom_t extents_;
    // Whether the running window manager lists the request; asked again when another one
    // takes over.
    std::optional<bool> supported_;
    // kestr's own unmapped windows the fences ask about: free ones, and those awaiting an
    // answer, with the serial of their fence.
    std::vector<xcb_window_t> free_;
    std::map<xcb_window_t, std::uint64_t> waiting_;
    std::vector<xcb_window_t> made_;
    std::uint64_t serial_ = 0;
};

}  // namespace kestr
