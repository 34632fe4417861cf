#include "EdgeResize/EdgeDragSession.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "EdgeResize/EdgeApplier.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Platform/MonitorHandler.h"
#include "Platform/Platform.h"
#include "Window/DisplayManager.h"

namespace kestr {

namespace {

Task<void> nothing() { co_return; }

bool isEscape(const Event& e) { return e.keyCode == EdgeDragSession::escapeKeyCode; }

}  // namespace

EdgeDragSession::EdgeDragSession() : self_(std::make_shared<EdgeDragSession*>(this)) {}

EdgeDragSession::~EdgeDragSession() = default;

EdgeDragSession& EdgeDragSession::shared() { return platform().shared<EdgeDragSession>(); }

double EdgeDragSession::displayOrigin() const {
    const Rect b = platform().displays().displayBounds(displayID);
    return group && group->axis == Axis::horizontal ? b.y() : b.x();
}

void EdgeDragSession::start(const EdgeGroup& g, DisplayID display, double initial) {
    group = g;
    displayID = display;
    initialGlobalCoord = currentGlobalCoord = initial;
    clipped = false;
    lastClippedReported = false;
    baselineGlobalCoord = baselineGlobal(g, display);
    isActive = true;
    installEscMonitor();
    if (onActiveChange) onActiveChange(true);
    if (onUpdate) onUpdate();
}

std::optional<double> EdgeDragSession::baselineGlobal(const EdgeGroup& g, DisplayID display) {
    EdgeProximityTracker& tracker = EdgeProximityTracker::shared();
    auto layout = tracker.heldLayout(g.id);
    if (!layout) layout = tracker.activeLayout;
    if (!layout) return std::nullopt;
    const bool vertical = g.axis == Axis::vertical;
    std::vector<double> values;
    // The side decides which edge of the captured frame lies on the line.
    const auto collect = [&](const std::vector<EdgeMember>& side, bool farEdge) {
        for (const EdgeMember& m : side) {
            const auto item = std::find_if(layout->items.begin(), layout->items.end(),
                                           [&m](const LayoutItem& i) { return i.id == m.itemID; });
            if (item == layout->items.end() || !item->capturedFrame) continue;
            const ScreenFrame& f = *item->capturedFrame;
            const double nearEdge = vertical ? f.x : f.y;
            values.push_back(farEdge ? nearEdge + (vertical ? f.width : f.height) : nearEdge);
        }
    };
    collect(g.leftOrTopItems, true);
    collect(g.rightOrBottomItems, false);
    if (values.empty()) return std::nullopt;
    double sum = 0;
    for (const double v : values) sum += v;
    const Rect b = platform().displays().displayBounds(display);
    return sum / static_cast<double>(values.size()) + (vertical ? b.x() : b.y());
}

void EdgeDragSession::update(double m) {
    if (!group || !isActive) return;
    const bool vertical = group->axis == Axis::vertical;
    const double origin = displayOrigin();
    const Rect visible = DisplayManager::visibleAreaLocal(displayID);
    const double lo = std::max(group->minCoordinate, (vertical ? visible.minX() : visible.minY()) + margin) + origin;
    const double hi = std::min((vertical ? visible.maxX() : visible.maxY()) - margin, group->maxCoordinate) + origin;
    clipped = m < lo || m > hi;
    double c = std::max(lo, std::min(m, hi));
    if (baselineGlobalCoord && lo <= *baselineGlobalCoord && *baselineGlobalCoord <= hi &&
        std::fabs(c - *baselineGlobalCoord) <= magnetThreshold) {
        c = *baselineGlobalCoord;
    }
    currentGlobalCoord = c;
    if (clipped != lastClippedReported) {
        lastClippedReported = clipped;
        if (onClippedChange) onClippedChange(clipped);
    }
    if (onUpdate) onUpdate();
}

std::optional<double> EdgeDragSession::previewLocalCoord() const {
    if (!group) return std::nullopt;
    return currentGlobalCoord - displayOrigin();
}

Task<void> EdgeDragSession::commit() {
    if (!group) return nothing();
    const double moved = std::fabs(currentGlobalCoord - initialGlobalCoord);
    const double local = currentGlobalCoord - displayOrigin();
    const Uuid id = group->id;
    // Handles and icons return to idle before the windows start moving.
    clear();
    if (!(moved > minimumMove)) return nothing();
    return EdgeApplier::applyMove(id, local);
}

void EdgeDragSession::cancel() {
    if (isActive) clear();
}

void EdgeDragSession::clear() {
    isActive = false;
    group.reset();
    displayID = 0;
    initialGlobalCoord = currentGlobalCoord = 0;
    clipped = false;
    lastClippedReported = false;
    baselineGlobalCoord.reset();
    removeEscMonitor();
    if (onActiveChange) onActiveChange(false);
    if (onUpdate) onUpdate();
}

void EdgeDragSession::installEscMonitor() {
    EventMonitors& monitors = platform().eventMonitors();
    const auto cancelLater = onMainActorWhileAlive(std::weak_ptr(self_), &EdgeDragSession::onEscape);
    const EventMask keyDown = eventMask(EventType::keyDown);
    if (!escMonitor) {
        escMonitor = monitors.addLocalMonitor(keyDown, [cancelLater](const Event& e) -> std::optional<Event> {
            if (!isEscape(e)) return e;
            cancelLater();
            return std::nullopt;
        });
    }
    if (!escGlobalMonitor) {
        escGlobalMonitor = monitors.addGlobalMonitor(keyDown, [cancelLater](const Event& e) {
            if (isEscape(e)) cancelLater();
        });
    }
}

void EdgeDragSession::removeEscMonitor() {
    EventMonitors& monitors = platform().eventMonitors();
    if (escMonitor) monitors.removeMonitor(*escMonitor);
    if (escGlobalMonitor) monitors.removeMonitor(*escGlobalMonitor);
    escMonitor.reset();
    escGlobalMonitor.reset();
}

void EdgeDragSession::onEscape() { cancel(); }

}  // namespace kestr
