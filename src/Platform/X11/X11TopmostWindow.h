// The frontmost client window at a root position, among the windows a caller counts (those
// on screen, say, or those of one level). The walk front to back that finds it also works
// out a rectangle around the position where the answer stays the same: inside the window
// found, and clear of every counted window in front of it. Until the window model changes,
// a position inside a rectangle found before is answered without a walk, so following the
// pointer over windows costs the same however many windows are open.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "Platform/Geometry.h"
#include "Platform/X11/X11WindowModel.h"

namespace kestr {

class X11TopmostWindow {
public:
    // The frame a window covers when it counts; none when it does not.
    using Counts = std::function<std::optional<Rect>(const X11Client&)>;

    X11TopmostWindow(const X11WindowModel& model, Counts counts) : model_(model), counts_(std::move(counts)) {}

    // None over no counted window.
    const X11Client* at(Point p);

    // Where an answer holds: left and top edges inside, right and bottom edges outside, as
    // with a rectangle.
    struct Area {
        double minX, maxX, minY, maxY;
        bool contains(Point p) const { return p.x >= minX && p.x < maxX && p.y >= minY && p.y < maxY; }
        // Narrowed on the side of p that keeps the most of it, so that it no longer meets
        // `other`; false when p lies in `other` or the area cannot be narrowed around p.
        bool avoid(const Rect& other, Point p);
    };

private:
    struct Known {
        Area area;
        xcb_window_t window;  // XCB_NONE: no counted window there
    };
    const X11Client* walk(Point p);

    const X11WindowModel& model_;
    Counts counts_;
    std::uint64_t knownAt_ = 0;
    // The latest first; a few, so that a pointer going to and fro over the line between
    // two windows finds both.
    std::vector<Known> known_;
};

}  // namespace kestr
