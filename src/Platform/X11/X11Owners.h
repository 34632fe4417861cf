// Which processes own which client windows, front to back, and how many of each
// process's windows a person arranges. X11WindowModel keeps it up to date as windows
// come, go and change their pid or type, so asking about one process never walks every
// window.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <map>
#include <unordered_map>
#include <vector>

#include "Platform/X11/X11Client.h"

namespace kestr {

class X11Owners {
public:
    struct Owner {
        std::vector<xcb_window_t> windows;  // front to back
        std::size_t arranging = 0;          // of those, normal, dialog and utility windows
    };

    // After the stacking changed: every client of `frontToBack` again.
    void rebuild(const std::vector<xcb_window_t>& frontToBack, const std::map<xcb_window_t, X11Client>& clients);
    // Around a change of the client's pid or type: taken out as it was, put back as it is.
    void remove(const X11Client& client);
    void add(const X11Client& client);

    // None for a process that owns no client window.
    const Owner* find(std::int32_t pid) const;
    const std::map<std::int32_t, Owner>& all() const { return owners_; }

private:
    std::map<std::int32_t, Owner> owners_;
    // Where each window stood in the stacking at the last rebuild: a window put back
    // goes in front of those that stood behind it.
    std::unordered_map<xcb_window_t, std::size_t> rank_;
};

}  // namespace kestr
