// The keeper of the active kest and the pointer's watch over its shared edges.
//
// For every display the active kest has windows on, the tracker holds the kest's edge
// groups there and a slot grid per Space (the kest's rectangles, tied to the window
// numbers that were on screen when the kest was handed over). While any edge is held
// it follows the pointer through mouse monitors and an adaptive poll, and the windows
// changing under it, and reports the nearest edge within reach, so the overlays can show
// its handle.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Core/EdgeGroup.h"
#include "Core/Layout.h"
#include "Platform/EventMonitors.h"
#include "Platform/Geometry.h"
#include "Platform/Runtime/MainActor.h"

namespace kestr {

class EdgeProximityTracker {
public:
    struct Hit {
        Uuid groupID;
        Axis axis = Axis::vertical;
        // From the pointer to the edge, in points; 0 during a drag.
        double distance = 0;
        // Global: the display's origin along the axis plus the group's coordinate.
        double edgeCoordinate = 0;
        friend bool operator==(const Hit&, const Hit&) = default;
    };
    struct HeldGrid {
        // Window-server numbers of the kest's windows on screen on that display.
        std::set<std::uint32_t> windowIDs;
        // Display-local, in the kest's item order.
        std::vector<Rect> slots;
        friend bool operator==(const HeldGrid&, const HeldGrid&) = default;
    };
    struct HeldEdges {
        Layout layout;
        std::vector<EdgeGroup> groups;
        // The kest's windows on that display when it was handed over: its edges show only
        // while one of them does, that is on the Space they are on.
        std::set<std::uint32_t> windowIDs;
    };

    static constexpr double proximityThreshold = 6.0;
    static constexpr double fastInterval = 0.033;
    static constexpr double slowInterval = 0.15;
    // Unmoved ticks at the fast rate before the poll slows down.
    static constexpr int idleTicksBeforeSlowing = 30;
    static constexpr EventMask monitoredEvents = eventMask(EventType::mouseMoved) | eventMask(EventType::flagsChanged);

    EdgeProximityTracker();
    ~EdgeProximityTracker();
    EdgeProximityTracker(const EdgeProximityTracker&) = delete;
    EdgeProximityTracker& operator=(const EdgeProximityTracker&) = delete;
    static EdgeProximityTracker& shared();

    std::function<void(const std::optional<Hit>&)> onProximityChange;
    std::function<void(const std::optional<Layout>&)> onActiveKestChange;

    std::optional<Layout> activeLayout;
    // Keyed by display UUID string; one grid per Space.
    std::map<std::string, std::vector<HeldGrid>> heldGridsByDisplay;
    std::map<std::string, HeldEdges> heldEdgesByDisplay;
    std::optional<Hit> lastHit;
    std::optional<MonitorToken> globalMonitor;
    std::optional<MonitorToken> localMonitor;
    std::shared_ptr<MainActor::RepeatingTimer> pollTimer;
    // Screen space (bottom-left origin).
    Point lastPolledLocation;
    // 0 while the poll is stopped.
    double currentInterval = 0;
    int idleTicks = 0;
    bool showingResizeCursor = false;

    void setActiveLayout(const std::optional<Layout>& layout);
    void releaseActiveKest();
    // Reports the edge under the pointer as it is now, even when it is the one reported
    // last: whoever shows the handles has started afresh (its overlays were rebuilt) and
    // must hear it again, though the pointer rests.
    void reportAfresh();
    // Refits the frames of every kest held and the slots of every grid, as the stored
    // kests are tidied when the room for windows changes, so that an edge operation or a
    // drop into a slot places (and stores) frames that fit the room of the moment. The
    // edge groups stay, with the identifiers a drag holds.
    void tidyHeldKests(const std::function<ScreenFrame(const ScreenFrame&)>& refit);
    // The active kest's name as its stored kest has it now (renamed since the apply, it
    // shows the new name), else the name it was applied with; none without one.
    std::optional<std::string> activeKestName() const;
    std::optional<Layout> heldLayout(const Uuid& groupID) const;
    // The grid of the Space visible now on that display, or none.
    std::optional<std::vector<Rect>> currentSpaceGrid(const std::string& displayUUID) const;

    // A screen-space point in global coordinates, through the first screen that holds it
    // and has a display number; none off screen.
    static std::optional<Point> axLocation(Point appKit);
    // Numbers of the ordinary windows whose centre lies on the display, optionally only
    // those of the given applications.
    static std::set<std::uint32_t> onscreenWindowIDs(const std::string& displayUUID,
                                                     const std::optional<std::set<std::string>>& appBundleIDs);

    // The poll's tick; public for benchmarks.
    void pollTick();

private:
    void installMonitorsIfNeeded();
    void removeMonitors();
    void startPolling(double interval);
    void onMonitoredEvent();
    void windowsChanged();
    void checkAfterWindowsChanged();
    void check(Point appKitLocation);
    void emit(const std::optional<Hit>& hit);
    void resetCursor();
    void showResizeCursor(Axis axis);
    bool foreignWindowCoversBoundary(Point p, const EdgeGroup& group, const Layout& layout) const;
    // Where the displays holding edges are (none for one that is gone), in the order of
    // heldEdgesByDisplay.
    std::vector<std::optional<Rect>> heldDisplayBounds() const;

    // The held displays as the last check saw them: an unmoved pointer is checked again
    // when one of them has gone or moved, lest a handle stay where its display was.
    std::vector<std::optional<Rect>> checkedDisplayBounds_;
    // The Space the last check saw: a switch hides the handle of the Space left behind
    // though the pointer rests.
    int checkedSpace_ = 0;
    // A check is on its way for windows that changed under the pointer.
    bool windowsCheckPosted_ = false;

    std::shared_ptr<EdgeProximityTracker*> self_;
};

}  // namespace kestr
