#include "DragSnap/WindowDragTracker.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "Core/LayoutStore.h"
#include "Core/Preferences.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Platform/AXAttributes.h"
#include "Platform/MonitorHandler.h"
#include "Platform/Platform.h"
#include "Window/DisplayManager.h"
#include "Window/WindowController.h"

namespace kestr {

namespace {

constexpr std::uint64_t modifierKeys =
    ModifierFlag::command | ModifierFlag::option | ModifierFlag::control | ModifierFlag::shift;

std::optional<AXElement> elementAttribute(AXElement element, const std::string& attribute) {
    const auto value = platform().accessibility().copy(element, attribute);
    const auto* e = value ? std::get_if<AXElement>(&*value) : nullptr;
    return e ? std::optional<AXElement>(*e) : std::nullopt;
}

// The application's focused window, else its main window.
std::optional<AXElement> focusedWindow(AXElement application) {
    if (auto w = elementAttribute(application, ax::focusedWindow)) return w;
    return elementAttribute(application, ax::mainWindow);
}

std::optional<Point> pointerLocation() {
    return EdgeProximityTracker::axLocation(platform().displays().mouseLocation());
}

// The last zone holding the point wins, as it is drawn over the earlier ones.
std::optional<std::size_t> zoneAt(const SnapZoneOverlay& overlay, Point global) {
    const Rect& b = overlay.axBounds;
    if (!b.contains(global)) return std::nullopt;
    const Point local{global.x - b.minX(), global.y - b.minY()};
    const auto& zones = overlay.zones();
    for (std::size_t i = zones.size(); i-- > 0;) {
        if (zones[i].contains(local)) return i;
    }
    return std::nullopt;
}

// The kest's item frames by display UUID, in item order.
std::map<std::string, std::vector<Rect>> framesByDisplay(const Layout& kest) {
    std::map<std::string, std::vector<Rect>> groups;
    for (const LayoutItem& item : kest.items) {
        const ScreenFrame& f = item.slotFrame();
        groups[f.displayUUID].push_back(Rect(f.x, f.y, f.width, f.height));
    }
    return groups;
}

}  // namespace

WindowDragTracker::WindowDragTracker() : self_(std::make_shared<WindowDragTracker*>(this)) {}

WindowDragTracker& WindowDragTracker::shared() { return platform().shared<WindowDragTracker>(); }

std::uint64_t WindowDragTracker::requiredModifiers() {
    // A stored value naming no modifier key would count as held with nothing pressed,
    // and every drag would snap.
    const std::uint64_t keys = Preferences::shared().dragSnapModifier() & modifierKeys;
    return keys ? keys : ModifierFlag::command;
}

void WindowDragTracker::setEnabled(bool on) {
    if (on == enabled) return;
    enabled = on;
    if (on) {
        installMonitors();
        return;
    }
    removeMonitors();
    teardownOverlays();
    tracked.reset();
    draggingWindow = false;
}

void WindowDragTracker::installMonitors() {
    // Start-up may both switch drag snap on and install: one set of monitors only.
    if (!monitors.empty()) return;
    add(eventMask(EventType::leftMouseDown), &WindowDragTracker::onDown);
    add(eventMask(EventType::leftMouseDragged), &WindowDragTracker::onDragged);
    add(eventMask(EventType::leftMouseUp), &WindowDragTracker::onUp);
}

void WindowDragTracker::add(EventMask mask, void (WindowDragTracker::*operation)()) {
    const auto token =
        platform().eventMonitors().addGlobalMonitor(mask, globalMonitorHandler(std::weak_ptr(self_), operation));
    if (token) monitors.push_back(*token);
}

void WindowDragTracker::removeMonitors() {
    for (const MonitorToken token : monitors) platform().eventMonitors().removeMonitor(token);
    monitors.clear();
}

bool WindowDragTracker::modifierHeld() const {
    const std::uint64_t required = requiredModifiers();
    return (platform().eventMonitors().modifierFlags() & required) == required;
}

bool WindowDragTracker::resizing() const {
    if (!tracked) return false;
    const auto s = WindowController::readSize(*tracked);
    return s && std::fabs(s->width - initialSize.width) + std::fabs(s->height - initialSize.height) > resizeThreshold;
}

void WindowDragTracker::onDown() {
    const auto front = platform().workspace().frontmostApplication();
    if (!front) return;
    const auto window = focusedWindow(platform().accessibility().createApplication(front->processIdentifier));
    if (!window) {
        tracked.reset();
        return;
    }
    tracked = window;
    initialPos = WindowController::readPosition(*window).value_or(Point{});
    initialSize = WindowController::readSize(*window).value_or(Size{});
    draggingWindow = false;
}

void WindowDragTracker::onDragged() {
    if (!tracked) return;
    const auto p = WindowController::readPosition(*tracked);
    if (!p) return;
    if (!draggingWindow) {
        if (std::fabs(p->x - initialPos.x) + std::fabs(p->y - initialPos.y) < dragThreshold) return;
        draggingWindow = true;
    }
    if (!modifierHeld() || resizing()) {
        if (!overlays.empty()) teardownOverlays();
        return;
    }
    const auto c = pointerLocation();
    if (!c) return;
    const auto d = DisplayManager::display(*c);
    if (overlays.empty() || d != overlayDisplay) {
        teardownOverlays();
        buildOverlays(d);
        overlayDisplay = d;
    }
    for (const auto& overlay : overlays) overlay->setHighlightedIndex(zoneAt(*overlay, *c));
}

void WindowDragTracker::onUp() {
    std::optional<Point> c;
    const bool drop = modifierHeld() && !resizing() && draggingWindow && tracked && (c = pointerLocation());
    if (drop) {
        for (const auto& overlay : overlays) {
            const auto zone = zoneAt(*overlay, *c);
            if (!zone) continue;
            const Rect z = overlay->zones()[*zone];
            const Rect b = platform().displays().displayBounds(overlay->displayID);
            // The tracker does not wait: the next press may begin while the window moves.
            spawn(WindowController::applyFrame(*tracked, Point{z.minX() + b.x(), z.minY() + b.y()}, z.size));
            break;
        }
    }
    teardownOverlays();
    tracked.reset();
    draggingWindow = false;
}

void WindowDragTracker::buildOverlays(std::optional<DisplayID> d) {
    const std::optional<Layout>& active = EdgeProximityTracker::shared().activeLayout;
    if (d && DisplayManager::screen(*d)) {
        std::vector<Rect> slots;
        const auto uuid = platform().displays().displayUUIDString(*d);
        const auto grid = uuid ? EdgeProximityTracker::shared().currentSpaceGrid(*uuid) : std::nullopt;
        if (grid && !grid->empty()) {
            slots = *grid;
        } else if (active) {
            slots = rescaledSlots(*active, *d);
        }
        // No slots: nothing now, and the next drag event tries again.
        if (!slots.empty()) addOverlay(*d, std::move(slots));
        return;
    }
    const std::vector<Layout>& stored = LayoutStore::shared().layouts;
    if (active) {
        buildOverlaysOnSavedDisplays(*active);
    } else if (!stored.empty()) {
        buildOverlaysOnSavedDisplays(stored.front());
    }
}

void WindowDragTracker::buildOverlaysOnSavedDisplays(const Layout& kest) {
    Displays& displays = platform().displays();
    std::map<DisplayID, std::vector<Rect>> byDisplay;
    for (const LayoutItem& item : kest.items) {
        const ScreenFrame& f = item.slotFrame();
        const DisplayID id = displays.displayIDFromUUIDString(f.displayUUID);
        if (id != 0) byDisplay[id].push_back(Rect(f.x, f.y, f.width, f.height));
    }
    // Each frame lands on the display it names, as stored.
    for (auto& [id, zones] : byDisplay) {
        if (DisplayManager::screen(id)) addOverlay(id, std::move(zones));
    }
}

void WindowDragTracker::addOverlay(DisplayID display, std::vector<Rect> zones) {
    auto overlay = std::make_unique<SnapZoneOverlay>(display, std::move(zones), presenter.get());
    overlay->orderFrontRegardless();
    overlay->animate(1.0);
    overlays.push_back(std::move(overlay));
}

std::vector<Rect> WindowDragTracker::rescaledSlots(const Layout& kest, DisplayID target) const {
    const auto groups = framesByDisplay(kest);
    const auto source = chooseSource(groups, target);
    const DisplayID s = source ? platform().displays().displayIDFromUUIDString(*source) : 0;
    if (s == 0) return groups.empty() ? std::vector<Rect>{} : groups.begin()->second;

    // From the source display's visible area to the target's, cut to fit.
    const Rect src = DisplayManager::visibleAreaLocal(s);
    const Rect tgt = DisplayManager::visibleAreaLocal(target);
    const bool scalable = src.width() > 0 && src.height() > 0 && tgt.width() > 0 && tgt.height() > 0;
    std::vector<Rect> slots;
    for (const Rect& r : groups.at(*source)) {
        if (!scalable) {
            slots.push_back(Rect(r.minX(), r.minY(), r.width(), r.height()));
            continue;
        }
        const double sx = tgt.width() / src.width();
        const double sy = tgt.height() / src.height();
        const double w = std::min(r.width() * sx, tgt.width());
        const double h = std::min(r.height() * sy, tgt.height());
        const double x = tgt.minX() + (r.minX() - src.minX()) * sx;
        const double y = tgt.minY() + (r.minY() - src.minY()) * sy;
        slots.push_back(Rect(std::min(std::max(x, tgt.minX()), tgt.maxX() - w),
                             std::min(std::max(y, tgt.minY()), tgt.maxY() - h), w, h));
    }
    return slots;
}

std::optional<std::string> WindowDragTracker::chooseSource(const std::map<std::string, std::vector<Rect>>& groups,
                                                           DisplayID cursorDisplay) {
    Displays& displays = platform().displays();
    std::vector<std::pair<double, std::string>> keys;
    for (const auto& [uuid, rects] : groups) {
        const DisplayID id = displays.displayIDFromUUIDString(uuid);
        // Displays that are not connected sort last.
        keys.emplace_back(id != 0 ? displays.displayBounds(id).x() : std::numeric_limits<double>::max(), uuid);
    }
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    if (keys.empty()) return std::nullopt;
    if (keys.size() == 1) return keys.front().second;
    // The kest's display at the same left-to-right place as the one under the pointer.
    const auto order = DisplayManager::displaysLeftToRight();
    const auto it = std::find(order.begin(), order.end(), cursorDisplay);
    const auto i = static_cast<std::size_t>(it - order.begin());
    if (it != order.end() && i < keys.size()) return keys[i].second;
    return keys.front().second;
}

void WindowDragTracker::teardownOverlays() {
    for (const auto& overlay : overlays) {
        overlay->setHighlightedIndex(std::nullopt);
        overlay->orderOut();
    }
    overlays.clear();
    overlayDisplay.reset();
}

}  // namespace kestr
