// A minimal XEmbed system tray for the X11 tests, as tint2's is: a window on the root
// that owns the tray selection of the screen, names the colours its icons should be
// drawn in (_NET_SYSTEM_TRAY_COLORS) and takes in the icon window a client asks it to
// dock. It has a connection of its own and handles its events when asked.
#pragma once

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <string>

#include "Platform/X11/X11Connection.h"
#include "Platform/X11/Support/XReads.h"

namespace kestr::x11test {

class XEmbedTray {
public:
    // A black tray at `frame`; `foreground` in 16-bit red, green and blue.
    XEmbedTray(const std::string& display, const XRect& frame, std::array<std::uint16_t, 3> foreground);
    ~XEmbedTray();
    XEmbedTray(const XEmbedTray&) = delete;
    XEmbedTray& operator=(const XEmbedTray&) = delete;

    // Takes in the icons asked for since the last call.
    void handleEvents();
    // The docked icon window; 0 before one docked.
    xcb_window_t icon() const { return icon_; }

private:
    void dock(xcb_window_t icon);

    X11Connection x_;
    xcb_window_t window_ = 0;
    xcb_window_t icon_ = 0;
    xcb_atom_t opcode_ = 0;
};

}  // namespace kestr::x11test
