// The one drag of a shared-edge handle in progress: which edge, where it stood when the
// drag began, where it stands now after the limits and the magnet, whether the pointer
// has run past a limit. The handle starts, updates and commits it; Escape cancels it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "Core/EdgeGroup.h"
#include "Platform/Displays.h"
#include "Platform/EventMonitors.h"
#include "Platform/Runtime/Task.h"

namespace kestr {

class EdgeDragSession {
public:
    static constexpr double magnetThreshold = 4.0;
    // The edge keeps this far from both ends of the visible area.
    static constexpr double margin = 120.0;
    // A commit closer than this to the start is a click: nothing moves.
    static constexpr double minimumMove = 0.5;
    static constexpr std::uint16_t escapeKeyCode = 53;

    EdgeDragSession();
    ~EdgeDragSession();
    EdgeDragSession(const EdgeDragSession&) = delete;
    EdgeDragSession& operator=(const EdgeDragSession&) = delete;
    static EdgeDragSession& shared();

    bool isActive = false;
    std::optional<EdgeGroup> group;
    DisplayID displayID = 0;
    // Global, along the group's axis.
    double initialGlobalCoord = 0;
    double currentGlobalCoord = 0;
    bool clipped = false;
    std::function<void()> onUpdate;
    std::function<void(bool)> onActiveChange;
    std::function<void(bool)> onClippedChange;
    bool lastClippedReported = false;
    std::optional<double> baselineGlobalCoord;
    // Escape is heard through a local monitor (our own windows, swallowed there) and a
    // global one (another application's windows), both only while a drag is under way.
    std::optional<MonitorToken> escMonitor;
    std::optional<MonitorToken> escGlobalMonitor;

    void start(const EdgeGroup& group, DisplayID displayID, double initialGlobalCoord);
    void update(double globalMouseCoord);
    // The dragged edge, display-local; none without a group.
    std::optional<double> previewLocalCoord() const;
    // Ends the drag at once and gives the edge move to await, which does nothing when
    // the edge travelled 0.5 points or less (or no drag was held).
    Task<void> commit();
    // Ends an active drag without moving anything; nothing when none is active.
    void cancel();

private:
    void clear();
    void installEscMonitor();
    void removeEscMonitor();
    void onEscape();
    double displayOrigin() const;
    static std::optional<double> baselineGlobal(const EdgeGroup& group, DisplayID displayID);

    std::shared_ptr<EdgeDragSession*> self_;
};

}  // namespace kestr
