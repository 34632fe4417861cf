// Whether a compositing manager runs on the screen: it owns the selection
// _NET_WM_CM_S<screen>. The owner is read once and then followed through the XFixes
// extension's notes on that selection (a new owner, the owner's window destroyed, its
// client gone), so asking costs nothing; without XFixes the server is asked every time.
#pragma once

#include <xcb/xcb.h>

#include "Platform/X11/X11Connection.h"

namespace kestr {

class X11CompositorWatch {
public:
    explicit X11CompositorWatch(X11Connection& connection);
    X11CompositorWatch(const X11CompositorWatch&) = delete;
    X11CompositorWatch& operator=(const X11CompositorWatch&) = delete;

    bool running() const;

private:
    bool askOwner() const;
    void heard(const xcb_generic_event_t& event);

    X11Connection& x_;
    xcb_atom_t selection_ = XCB_ATOM_NONE;
    // The first XFixes event code; 0 without XFixes.
    std::uint8_t firstEvent_ = 0;
    bool running_ = false;
};

}  // namespace kestr
