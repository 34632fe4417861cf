#include "EdgeResize/EdgeProximityTracker.h"

#include <cmath>
#include <limits>

#include "Core/LayoutStore.h"
#include "EdgeResize/EdgeDragSession.h"
#include "EdgeResize/EdgeOverlayManager.h"
#include "Platform/MonitorHandler.h"
#include "Platform/Platform.h"
#include "Window/DisplayManager.h"
#include "Window/WindowController.h"
#include "Window/WindowListEntry.h"

namespace kestr {

namespace {

// The global bounds of the display a UUID string names; none when it is not connected.
std::optional<Rect> resolvedBounds(const std::string& displayUUID) {
    Displays& displays = platform().displays();
    const DisplayID id = displays.displayIDFromUUIDString(displayUUID);
    if (id == 0) return std::nullopt;
    return displays.displayBounds(id);
}

Rect rectOf(const ScreenFrame& f) { return Rect(f.x, f.y, f.width, f.height); }

bool sharesWindows(const std::set<std::uint32_t>& a, const std::set<std::uint32_t>& b) {
    for (const std::uint32_t n : a) {
        if (b.count(n)) return true;
    }
    return false;
}

// An ordinary window whose middle lies on the display.
bool showsOn(const WindowListEntry& w, const Rect& display) {
    return w.layer == 0 && w.bounds && display.contains(Point{w.bounds->midX(), w.bounds->midY()});
}

// Whether one of these windows shows on the display now: asked window by window, so
// the answer costs the same however many other windows are open.
bool anyShowsOn(const std::set<std::uint32_t>& windowIDs, const Rect& display) {
    for (const std::uint32_t n : windowIDs) {
        if (const auto w = WindowListEntry::onScreen(n); w && showsOn(*w, display)) return true;
    }
    return false;
}

std::optional<std::string> bundleIDOf(std::int64_t pid) {
    if (pid < std::numeric_limits<std::int32_t>::min() || pid > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    const auto app = platform().workspace().runningApplication(static_cast<std::int32_t>(pid));
    if (!app || app->isTerminated) return std::nullopt;
    return app->bundleIdentifier;
}

}  // namespace

EdgeProximityTracker::EdgeProximityTracker() : self_(std::make_shared<EdgeProximityTracker*>(this)) {
    // A window opened, raised or minimised under a resting pointer covers or uncovers the
    // edge there without any pointer event.
    platform().windowServer().addChangeObserver([weak = std::weak_ptr(self_)] {
        if (auto self = weak.lock()) (*self)->windowsChanged();
    });
}

EdgeProximityTracker::~EdgeProximityTracker() {
    if (pollTimer) pollTimer->invalidate();
}

EdgeProximityTracker& EdgeProximityTracker::shared() { return platform().shared<EdgeProximityTracker>(); }

void EdgeProximityTracker::setActiveLayout(const std::optional<Layout>& layout) {
    activeLayout = layout;
    if (layout) {
        std::map<std::string, std::vector<Rect>> slots;
        std::set<std::string> applications;
        for (const LayoutItem& item : layout->items) {
            const ScreenFrame& f = item.slotFrame();
            slots[f.displayUUID].push_back(rectOf(f));
            applications.insert(item.appBundleID);
        }
        std::map<std::string, std::set<std::uint32_t>> shown;
        for (const auto& [display, rects] : slots) {
            const auto all = onscreenWindowIDs(display, std::nullopt);
            const auto& mine = shown[display] = onscreenWindowIDs(display, applications);
            auto entry = heldGridsByDisplay.find(display);
            if (mine.empty() && entry == heldGridsByDisplay.end()) continue;
            // A grid that shares a window with what is visible now was taken on this
            // Space: it is replaced. Grids of other Spaces stay.
            std::vector<HeldGrid>& grids = heldGridsByDisplay[display];
            std::erase_if(grids, [&all](const HeldGrid& g) { return sharesWindows(g.windowIDs, all); });
            if (!mine.empty()) grids.push_back(HeldGrid{mine, rects});
        }
        std::map<std::string, std::vector<EdgeGroup>> groups;
        for (const EdgeGroup& g : layout->edgeGroups) groups[g.displayUUID].push_back(g);
        for (const auto& [display, rects] : slots) {
            const auto found = groups.find(display);
            heldEdgesByDisplay[display] =
                HeldEdges{*layout, found == groups.end() ? std::vector<EdgeGroup>{} : found->second, shown[display]};
        }
    }

    bool anyGroup = false;
    for (const auto& [display, held] : heldEdgesByDisplay) anyGroup = anyGroup || !held.groups.empty();
    if (anyGroup) {
        installMonitorsIfNeeded();
        reportAfresh();
    } else {
        removeMonitors();
        emit(std::nullopt);
    }
    if (onActiveKestChange) onActiveKestChange(activeLayout);
}

void EdgeProximityTracker::releaseActiveKest() {
    activeLayout.reset();
    heldGridsByDisplay.clear();
    heldEdgesByDisplay.clear();
    removeMonitors();
    emit(std::nullopt);
    if (onActiveKestChange) onActiveKestChange(std::nullopt);
}

void EdgeProximityTracker::reportAfresh() {
    // Without a watch no edge is held and nothing is shown.
    if (!pollTimer) return;
    // A hit no check can produce, so the next report goes out whatever it is.
    lastHit = Hit{Uuid::random(), Axis::vertical, -1.0, 0};
    check(platform().displays().mouseLocation());
}

void EdgeProximityTracker::tidyHeldKests(const std::function<ScreenFrame(const ScreenFrame&)>& refit) {
    if (activeLayout) activeLayout->refitFrames(refit);
    for (auto& [display, held] : heldEdgesByDisplay) held.layout.refitFrames(refit);
    for (auto& [display, grids] : heldGridsByDisplay) {
        for (HeldGrid& grid : grids) {
            for (Rect& slot : grid.slots) {
                ScreenFrame f;
                f.displayUUID = display;
                f.x = slot.x();
                f.y = slot.y();
                f.width = slot.width();
                f.height = slot.height();
                slot = rectOf(refit(f));
            }
        }
    }
}

std::optional<std::string> EdgeProximityTracker::activeKestName() const {
    if (!activeLayout) return std::nullopt;
    for (const Layout& stored : LayoutStore::shared().layouts) {
        if (stored.id == activeLayout->id) return stored.name;
    }
    return activeLayout->name;
}

std::optional<Layout> EdgeProximityTracker::heldLayout(const Uuid& groupID) const {
    for (const auto& [display, held] : heldEdgesByDisplay) {
        for (const EdgeGroup& g : held.groups) {
            if (g.id == groupID) return held.layout;
        }
    }
    return std::nullopt;
}

std::optional<std::vector<Rect>> EdgeProximityTracker::currentSpaceGrid(const std::string& displayUUID) const {
    const auto entry = heldGridsByDisplay.find(displayUUID);
    if (entry == heldGridsByDisplay.end() || entry->second.empty()) return std::nullopt;
    const auto visible = onscreenWindowIDs(displayUUID, std::nullopt);
    const HeldGrid* best = nullptr;
    std::size_t bestCount = 0;
    for (const HeldGrid& grid : entry->second) {
        std::size_t count = 0;
        for (const std::uint32_t n : grid.windowIDs) count += visible.count(n);
        // The earliest grid keeps a tie.
        if (count > bestCount) {
            best = &grid;
            bestCount = count;
        }
    }
    if (!best) return std::nullopt;
    return best->slots;
}

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

std::set<std::uint32_t> EdgeProximityTracker::onscreenWindowIDs(
    const std::string& displayUUID, const std::optional<std::set<std::string>>& appBundleIDs) {
    std::set<std::uint32_t> ids;
    const auto b = resolvedBounds(displayUUID);
    if (!b) return ids;
    const auto windows = WindowListEntry::onScreen();
    if (!windows) return ids;
    for (const WindowListEntry& w : *windows) {
        if (!w.number || !showsOn(w, *b)) continue;
        if (appBundleIDs) {
            const auto owner = w.ownerPID ? bundleIDOf(*w.ownerPID) : std::nullopt;
            if (!owner || !appBundleIDs->count(*owner)) continue;
        }
        ids.insert(*w.number);
    }
    return ids;
}

// ---- monitors and the poll ----

void EdgeProximityTracker::installMonitorsIfNeeded() {
    EventMonitors& monitors = platform().eventMonitors();
    // The handlers only hand over: the check runs on the main actor a moment later.
    const auto handOver = onMainActorWhileAlive(std::weak_ptr(self_), &EdgeProximityTracker::onMonitoredEvent);
    if (!globalMonitor)
        globalMonitor = monitors.addGlobalMonitor(monitoredEvents, [handOver](const Event&) { handOver(); });
    if (!localMonitor) {
        localMonitor = monitors.addLocalMonitor(monitoredEvents, [handOver](const Event& e) -> std::optional<Event> {
            handOver();
            return e;
        });
    }
    if (!pollTimer) startPolling(fastInterval);
}

void EdgeProximityTracker::removeMonitors() {
    EventMonitors& monitors = platform().eventMonitors();
    if (globalMonitor) monitors.removeMonitor(*globalMonitor);
    if (localMonitor) monitors.removeMonitor(*localMonitor);
    globalMonitor.reset();
    localMonitor.reset();
    if (pollTimer) pollTimer->invalidate();
    pollTimer.reset();
    currentInterval = 0;
    idleTicks = 0;
    // Nothing would ever put the arrow back once the watch has stopped.
    resetCursor();
}

void EdgeProximityTracker::startPolling(double interval) {
    if (pollTimer) pollTimer->invalidate();
    currentInterval = interval;
    std::weak_ptr<EdgeProximityTracker*> weak = self_;
    pollTimer = platform().mainActor().scheduleRepeating(interval, [weak] {
        if (auto self = weak.lock()) (*self)->pollTick();
    });
}

void EdgeProximityTracker::onMonitoredEvent() {
    idleTicks = 0;
    // The next tick comes a full period after this check: while events come, the poll
    // has nothing to find and does not wake the program.
    if (pollTimer && currentInterval == fastInterval) {
        pollTimer->postpone();
    } else {
        startPolling(fastInterval);
    }
    lastPolledLocation = platform().displays().mouseLocation();
    check(lastPolledLocation);
}

void EdgeProximityTracker::windowsChanged() {
    // Changes come in bursts (a window opening is mapped, placed and raised): one check
    // after all those heard together. Without a watch there is nothing to check.
    if (!pollTimer || windowsCheckPosted_) return;
    windowsCheckPosted_ = true;
    onMainActorWhileAlive(std::weak_ptr(self_), &EdgeProximityTracker::checkAfterWindowsChanged)();
}

void EdgeProximityTracker::checkAfterWindowsChanged() {
    windowsCheckPosted_ = false;
    if (pollTimer) check(platform().displays().mouseLocation());
}

void EdgeProximityTracker::pollTick() {
    const Point loc = platform().displays().mouseLocation();
    if (loc == lastPolledLocation && heldDisplayBounds() == checkedDisplayBounds_ &&
        platform().spaces().current() == checkedSpace_) {
        ++idleTicks;
        if (currentInterval == fastInterval && idleTicks >= idleTicksBeforeSlowing) startPolling(slowInterval);
        return;
    }
    idleTicks = 0;
    if (currentInterval != fastInterval) startPolling(fastInterval);
    lastPolledLocation = loc;
    check(loc);
}

// ---- the check ----

void EdgeProximityTracker::resetCursor() {
    if (!showingResizeCursor) return;
    platform().cursors().set(CursorShape::arrow);
    showingResizeCursor = false;
}

void EdgeProximityTracker::showResizeCursor(Axis axis) {
    platform().cursors().set(axis == Axis::vertical ? CursorShape::resizeLeftRight : CursorShape::resizeUpDown);
    showingResizeCursor = true;
}

std::vector<std::optional<Rect>> EdgeProximityTracker::heldDisplayBounds() const {
    std::vector<std::optional<Rect>> bounds;
    for (const auto& [display, held] : heldEdgesByDisplay) bounds.push_back(resolvedBounds(display));
    return bounds;
}

void EdgeProximityTracker::check(Point loc) {
    checkedDisplayBounds_ = heldDisplayBounds();
    checkedSpace_ = platform().spaces().current();
    const auto hide = [this] {
        resetCursor();
        emit(std::nullopt);
    };
    EdgeDragSession& session = EdgeDragSession::shared();
    // A drag whose mouse-up never arrived (its overlay went away) ends once the button
    // reads as up. Where the pressed window hears its release, a handle still on screen
    // has it on its way: ending the drag first would lose the move.
    if (session.isActive && !(platform().eventMonitors().pressedMouseButtons() & 1u) &&
        !(platform().capabilities().releaseGoesToPressedWindow && EdgeOverlayManager::shared().showsDraggedHandle())) {
        session.cancel();
    }
    if (session.isActive) {
        if (!session.group) return;
        // The dragged edge keeps its cursor and handle wherever the pointer goes.
        const EdgeGroup& g = *session.group;
        showResizeCursor(g.axis);
        if (const auto b = resolvedBounds(g.displayUUID)) {
            emit(Hit{g.id, g.axis, 0, (g.axis == Axis::vertical ? b->minX() : b->minY()) + g.coordinate});
        }
        return;
    }
    // The nearest edge is found first: the pointer is mostly far from every edge, and
    // then nothing else is read (whatever else a check asks, its answer there is the
    // same hidden handle).
    bool anyGroup = false;
    for (const auto& [display, held] : heldEdgesByDisplay) anyGroup = anyGroup || !held.groups.empty();
    if (!anyGroup) return hide();
    const auto p = axLocation(loc);
    if (!p) return hide();

    struct Candidate {
        const EdgeGroup* group;
        const HeldEdges* held;
        Rect display;
        double distance;
        double edge;
    };
    std::optional<Candidate> best;
    for (const auto& [display, held] : heldEdgesByDisplay) {
        for (const EdgeGroup& g : held.groups) {
            const auto b = resolvedBounds(g.displayUUID);
            if (!b || !b->contains(*p)) continue;
            const bool vertical = g.axis == Axis::vertical;
            const double edge = (vertical ? b->minX() : b->minY()) + g.coordinate;
            const double across = vertical ? p->x : p->y;
            const double along = vertical ? p->y : p->x;
            const double start = vertical ? b->minY() : b->minX();
            if (g.spanStart && g.spanEnd && !(start + *g.spanStart <= along && along <= start + *g.spanEnd)) continue;
            const double distance = std::fabs(across - edge);
            if (!best || distance < best->distance) best = Candidate{&g, &held, *b, distance, edge};
        }
    }
    if (!best || !(best->distance <= proximityThreshold)) return hide();
    // On another Space the kest's windows are not there, and neither is their edge.
    if (!anyShowsOn(best->held->windowIDs, best->display)) return hide();
    if (platform().eventMonitors().modifierFlags() & ModifierFlag::command) return hide();
    if (WindowController::isFrontmostWindowFullScreen()) return hide();
    if (foreignWindowCoversBoundary(*p, *best->group, best->held->layout)) return hide();
    showResizeCursor(best->group->axis);
    emit(Hit{best->group->id, best->group->axis, best->distance, best->edge});
}

bool EdgeProximityTracker::foreignWindowCoversBoundary(Point p, const EdgeGroup& group, const Layout& layout) const {
    std::set<Uuid> members;
    for (const EdgeMember& m : group.leftOrTopItems) members.insert(m.itemID);
    for (const EdgeMember& m : group.rightOrBottomItems) members.insert(m.itemID);
    std::vector<std::pair<std::string, Rect>> memberFrames;
    for (const LayoutItem& item : layout.items) {
        if (!members.count(item.id)) continue;
        const auto b = resolvedBounds(item.targetFrame.displayUUID);
        if (!b) continue;
        const ScreenFrame& f = item.targetFrame;
        memberFrames.emplace_back(item.appBundleID, Rect(f.x + b->minX(), f.y + b->minY(), f.width, f.height));
    }

    // The frontmost ordinary window under the pointer decides; bare desktop covers nothing.
    const auto w = WindowListEntry::frontmostAt(p, 0);
    if (!w || !w->bounds) return false;
    if (memberFrames.empty()) return true;
    const auto owner = w->ownerPID ? bundleIDOf(*w->ownerPID) : std::nullopt;
    for (const auto& [bundleID, frame] : memberFrames) {
        if (!owner || *owner != bundleID) continue;
        const Rect inter = w->bounds->intersection(frame);
        if (inter.isNull() || inter.isEmpty()) continue;
        const double interArea = inter.width() * inter.height();
        const double unionArea = w->bounds->width() * w->bounds->height() + frame.width() * frame.height() - interArea;
        if (unionArea > 0 && interArea / unionArea > 0.6) return false;
    }
    return true;
}

void EdgeProximityTracker::emit(const std::optional<Hit>& hit) {
    if (hit == lastHit) return;
    lastHit = hit;
    if (onProximityChange) onProximityChange(hit);
}

}  // namespace kestr
