#include "UI/DisplayArea.h"

#include <QWidget>
#include <algorithm>
#include <cmath>

#include "EdgeResize/EdgeProximityTracker.h"
#include "Platform/Platform.h"
#include "Window/DisplayManager.h"

namespace kestr {

namespace {

Rect visibleAreaOf(DisplayID display) {
    const Rect local = DisplayManager::visibleAreaLocal(display);
    const Rect bounds = platform().displays().displayBounds(display);
    return Rect(bounds.x() + local.x(), bounds.y() + local.y(), local.width(), local.height());
}

}  // namespace

std::optional<Rect> visibleAreaAt(std::optional<Point> point) {
    if (!hasPlatform()) return std::nullopt;
    if (point) {
        if (const auto display = DisplayManager::display(*point)) return visibleAreaOf(*display);
    }
    const auto main = platform().displays().mainScreen();
    if (!main) return std::nullopt;
    if (const auto display = DisplayManager::displayID(*main)) return visibleAreaOf(*display);
    return std::nullopt;
}

std::optional<Rect> visibleAreaUnderPointer() {
    if (!hasPlatform()) return std::nullopt;
    if (const auto display = DisplayManager::displayUnderMouse()) return visibleAreaOf(*display);
    return visibleAreaAt(std::nullopt);
}

std::optional<Rect> displayBoundsAt(Point point) {
    if (!hasPlatform()) return std::nullopt;
    if (const auto display = DisplayManager::display(point)) return platform().displays().displayBounds(*display);
    const auto main = platform().displays().mainScreen();
    if (!main) return std::nullopt;
    if (const auto display = DisplayManager::displayID(*main)) return platform().displays().displayBounds(*display);
    return std::nullopt;
}

std::optional<Point> pointerLocation() {
    if (!hasPlatform()) return std::nullopt;
    return EdgeProximityTracker::axLocation(platform().displays().mouseLocation());
}

void centerWithin(QWidget& window, const Rect& area, int margin) {
    const int width = std::min(window.width(), std::max(1, int(area.width()) - 2 * margin));
    const int height = std::min(window.height(), std::max(1, int(area.height()) - 2 * margin));
    if (width != window.width() || height != window.height()) window.resize(width, height);
    window.move(int(std::round(area.midX() - width / 2.0)), int(std::round(area.midY() - height / 2.0)));
}

}  // namespace kestr
