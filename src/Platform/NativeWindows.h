// What kestr's own windows ask of the window system beyond what the toolkit that draws
// them can say: on which desktops they show, whether taskbars list them, the strip of the
// screen they keep to themselves, and which part of them shows and takes the mouse. Where
// the desktop has no such requests (the simulated one) they do nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "Platform/Displays.h"
#include "Platform/Geometry.h"

namespace kestr {

// One of kestr's own windows as the window system knows it.
struct NativeWindow {
    // The toolkit's own connection to the window system, opaque here (on X11 its xcb
    // connection). Requests about the window go through it, so the server takes them in
    // the order the toolkit made them: after the window exists, before it is mapped,
    // after the toolkit's own shapes.
    void* connection = nullptr;
    // The window system's id of the window (on X11 its XID).
    std::uint64_t id = 0;
};

class NativeWindows {
public:
    virtual ~NativeWindows() = default;

    // Shows the window on every desktop, so switching desktops never takes it away. Ask
    // before each time the window is shown: a window manager forgets the states of a
    // window it stops showing.
    virtual void showOnEveryDesktop(const NativeWindow&) {}
    // Leaves the window out of taskbars and pagers. Ask before each time the window is
    // shown: a window manager forgets the states of a window it stops showing.
    virtual void keepOffTaskbars(const NativeWindow&) {}
    // Asks that the window be taken as a panel of the desktop: a window manager keeps a
    // panel where it asks to stand, where it may keep other windows a few pixels off the
    // screen's edges once they move. Ask before each time the window is shown.
    virtual void showAsPanel(const NativeWindow&) {}
    // Keeps the strip of the screen's top edge under `area` (global coordinates) out of
    // other windows' way, as a panel does: maximised windows start below it rather than
    // under it. An area not at the top edge reserves nothing.
    virtual void reserveTopEdge(const NativeWindow&, const Rect& /*area*/) {}
    // The room for windows on the display (global coordinates) as the desktop's panels
    // leave it, not counting the strip this window keeps itself: where the window stands
    // clear of every panel, whatever strip it keeps. None where the window system cannot
    // tell.
    virtual std::optional<Rect> roomBeside(const NativeWindow&, DisplayID) { return std::nullopt; }
    // Where the window takes the mouse, in its own coordinates; none: nowhere.
    virtual void setInputShape(const NativeWindow&, const std::vector<Rect>& /*region*/) {}
    // The part of the window that shows, in its own coordinates; none: nothing.
    virtual void setVisibleShape(const NativeWindow&, const std::vector<Rect>& /*region*/) {}
};

}  // namespace kestr
