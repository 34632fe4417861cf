// A person dragging a window of another application on the simulated desktop: the
// window comes to the front, the modifier keys go down, then the mouse button, and as
// the pointer moves the window server moves (or, by an edge, resizes) the window and
// posts a dragged event; last the button comes up. Between events the main actor runs
// for one frame, as events arrive over time on a real desktop.
#pragma once

#include <cstdint>
#include <vector>

#include "Platform/Accessibility.h"
#include "Platform/EventMonitors.h"
#include "Platform/Geometry.h"

namespace kestr {

class SimDesktop;

class SimDrag {
public:
    static constexpr double eventInterval = 1.0 / 60.0;

    // Brings the window's application and the window to the front.
    SimDrag(SimDesktop& desktop, AXElement window);

    // Presses exactly these modifier keys (0 releases them all).
    SimDrag& hold(std::uint64_t modifiers);
    // By the title bar: the window follows the pointer. By the top-left corner: the
    // corner follows it and the window's size changes the other way.
    SimDrag& pressAt(Point global, bool byCorner = false);
    SimDrag& moveTo(Point global);
    SimDrag& moveBy(double dx, double dy);
    SimDrag& release();
    // Presses at the first point, moves through the others, releases.
    SimDrag& along(const std::vector<Point>& path);

private:
    void post(EventType type, Point global, std::uint64_t flags);

    SimDesktop& desktop_;
    AXElement window_;
    Point pointer_;
    bool byCorner_ = false;
    std::uint64_t modifiers_ = 0;
};

}  // namespace kestr
