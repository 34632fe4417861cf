#include "Window/DisplayManager.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "Platform/AXAttributes.h"
#include "Platform/Platform.h"

namespace kestr {

namespace {

// Whether the point lies in an unflipped bottom-left-origin rectangle the way AppKit's
// mouse test sees it: the left and bottom edges are inside, the right and top edges
// outside.
bool mouseInRect(Point p, const Rect& r) {
    return p.x >= r.minX() && p.x < r.maxX() && p.y > r.minY() && p.y <= r.maxY();
}

}  // namespace

std::optional<DisplayID> DisplayManager::displayID(const Screen& screen) {
    const auto it = screen.deviceDescription.find(ax::screenNumberKey);
    if (it == screen.deviceDescription.end()) return std::nullopt;
    constexpr auto max = std::numeric_limits<DisplayID>::max();
    if (const auto* i = it->second.get<std::int64_t>()) {
        if (*i < 0 || *i > std::int64_t{max}) return std::nullopt;
        return static_cast<DisplayID>(*i);
    }
    if (const auto* d = it->second.get<double>()) {
        // A real number counts only when it is exactly a representable identifier.
        if (!(*d >= 0 && *d <= double(max)) || std::trunc(*d) != *d) return std::nullopt;
        return static_cast<DisplayID>(*d);
    }
    return std::nullopt;
}

std::optional<DisplayID> DisplayManager::display(Point global) {
    Displays& displays = platform().displays();
    for (const Screen& s : displays.screens()) {
        const auto id = displayID(s);
        if (id && displays.displayBounds(*id).contains(global)) return id;
    }
    return std::nullopt;
}

std::optional<DisplayID> DisplayManager::displayUnderMouse() {
    Displays& displays = platform().displays();
    const Point mouse = displays.mouseLocation();
    for (const Screen& s : displays.screens()) {
        if (mouseInRect(mouse, s.frame)) return displayID(s);
    }
    return std::nullopt;
}

std::vector<DisplayID> DisplayManager::displaysLeftToRight() {
    Displays& displays = platform().displays();
    struct Entry {
        DisplayID id;
        Point origin;
    };
    std::vector<Entry> entries;
    for (const Screen& s : displays.screens()) {
        if (const auto id = displayID(s)) entries.push_back({*id, displays.displayBounds(*id).origin});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.origin.x != b.origin.x) return a.origin.x < b.origin.x;
        return a.origin.y < b.origin.y;
    });
    std::vector<DisplayID> ids;
    ids.reserve(entries.size());
    for (const Entry& e : entries) ids.push_back(e.id);
    return ids;
}

std::optional<Screen> DisplayManager::screen(DisplayID display) {
    for (const Screen& s : platform().displays().screens()) {
        if (displayID(s) == display) return s;
    }
    return std::nullopt;
}

Rect DisplayManager::visibleAreaLocal(DisplayID display) {
    const Rect bounds = platform().displays().displayBounds(display);
    if (!(bounds.width() > 0) || !(bounds.height() > 0)) return Rect::infinite();
    const auto s = screen(display);
    if (!s) return Rect(0, 0, bounds.width(), bounds.height());
    // Insets are measured within the one screen, so the flipped axis never needs the
    // position of the main screen.
    const Rect& f = s->frame;
    const Rect& v = s->visibleFrame;
    const double left = v.minX() - f.minX();
    const double top = f.maxY() - v.maxY();
    const double right = f.maxX() - v.maxX();
    const double bottom = v.minY() - f.minY();
    return Rect(left, top, bounds.width() - left - right, bounds.height() - top - bottom);
}

ScreenFrame DisplayManager::clipFrameToVisible(const ScreenFrame& frame, double mainTopKept) {
    Displays& displays = platform().displays();
    const DisplayID display = displays.displayIDFromUUIDString(frame.displayUUID);
    if (display == 0) return frame;
    Rect area = visibleAreaLocal(display);
    if (display == displays.mainDisplayID() && area.minY() < mainTopKept && mainTopKept < area.maxY())
        area = Rect(area.minX(), mainTopKept, area.width(), area.maxY() - mainTopKept);
    return clipFrame(frame, area);
}

ScreenFrame DisplayManager::clipFrame(const ScreenFrame& frame, const Rect& area) {
    if (!(area.width() > 0) || !(area.height() > 0)) return frame;

    const double x = std::max(frame.x, area.minX());
    const double y = std::max(frame.y, area.minY());
    double w = frame.x < area.minX() ? frame.width - (area.minX() - frame.x) : frame.width;
    double h = frame.y < area.minY() ? frame.height - (area.minY() - frame.y) : frame.height;
    if (x + w > area.maxX()) w = area.maxX() - x;
    if (y + h > area.maxY()) h = area.maxY() - y;
    if (!(w >= 0)) w = 0;
    if (!(h >= 0)) h = 0;

    ScreenFrame clipped = frame;
    clipped.x = x;
    clipped.y = y;
    clipped.width = w;
    clipped.height = h;
    return clipped;
}

std::string DisplayManager::label(DisplayID display) {
    const DisplayID main = platform().displays().mainDisplayID();
    const auto ordered = displaysLeftToRight();
    const auto it = std::find(ordered.begin(), ordered.end(), display);
    if (it != ordered.end()) {
        std::string text = "Display " + std::to_string(it - ordered.begin() + 1);
        if (display == main) text += " (main)";
        return text;
    }
    return display == main ? "the main display" : "another display";
}

}  // namespace kestr
