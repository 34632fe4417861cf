// What edge resizing asks of the user interface: one clear window per display that
// draws the handle of the active edge (EdgeOverlay holds everything it draws) and hands
// the mouse back to it while it takes the mouse.
#pragma once

#include <memory>

namespace kestr {

class EdgeOverlay;

class EdgeOverlayWindow {
public:
    virtual ~EdgeOverlayWindow() = default;
    // Shown without activating the program.
    virtual void orderFront() = 0;
    virtual void orderOut() = 0;
    virtual void setAlpha(double alpha) = 0;
    virtual void setIgnoresMouseEvents(bool ignores) = 0;
    // Draws the overlay's current state again.
    virtual void redraw() = 0;
};

class EdgeOverlayPresenter {
public:
    virtual ~EdgeOverlayPresenter() = default;
    // A window over the overlay's display, hidden, fully transparent, ignoring the
    // mouse; it reads `overlay`, which outlives it.
    virtual std::unique_ptr<EdgeOverlayWindow> makeWindow(EdgeOverlay& overlay) = 0;
};

}  // namespace kestr
