#include "EdgeResize/EdgeProximityTracker.h"

#include "Platform/Platform.h"
#include "Window/DisplayManager.h"

namespace kestr {

std::optional<Point> EdgeProximityTracker::axLocation(Point p) {
    Displays& displays = platform().displays();
    for (const Screen& screen : displays.screens()) {
        if (!screen.frame.contains(p)) continue;
        const auto id = DisplayManager::displayID(screen);
        if (!id) continue;
        const Rect b = displays.displayBounds(*id);
        return Point{p.x - screen.frame.minX() + b.minX(), screen.frame.maxY() - p.y + b.minY()};
    }
    return std::nullopt;
}

}  // namespace kestr
