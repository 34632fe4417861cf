// Moving a shared edge: new frames for the windows on both sides, applied through the
// layout engine as a partial kest, one retry at a coordinate that windows which would
// not shrink can live with, then the kest's edges detected again, the kest stored when
// it is a stored one and handed back to edge resizing as the active kest. Also puts the
// windows of one edge back where they were when the kest was captured.
//
// Edge operations run one at a time, first in first out: a move that waits for its
// windows is never overtaken by the next one.
#pragma once

#include <coroutine>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Core/EdgeGroup.h"
#include "Core/Layout.h"
#include "Platform/Accessibility.h"
#include "Platform/Runtime/Task.h"
#include "Window/WindowLimits.h"

namespace kestr {

class EdgeApplier {
public:
    EdgeApplier() = delete;

    static constexpr double snapThreshold = 4.0;
    static constexpr double minDimension = 120.0;
    // A window this much larger than asked did not shrink.
    static constexpr double sizeTolerance = 2.0;

    static Task<void> applyMove(Uuid groupID, double newLocalCoordinate);
    static Task<void> applyRevertToBaseline(Uuid groupID);

    // What names an edge across re-detections, which hand out new identifiers.
    struct EdgeIdentity {
        Uuid groupID;
        std::string displayUUID;
        Axis axis = Axis::vertical;
        std::set<Uuid> leftOrTop;
        std::set<Uuid> rightOrBottom;
        bool matches(const EdgeGroup& group) const;
    };

    // The line of edge operations; one per installed platform.
    class Queue {
    public:
        struct Turn {
            Queue& queue;
            bool await_ready() const noexcept { return !queue.busy_; }
            void await_suspend(std::coroutine_handle<> h) { queue.waiting_.push_back(h); }
            void await_resume() noexcept { queue.busy_ = true; }
        };
        Turn next() { return Turn{*this}; }
        // Hands the line to the next waiting operation, on the main actor.
        void done();
        bool isBusy() const { return busy_; }

    private:
        bool busy_ = false;
        std::deque<std::coroutine_handle<>> waiting_;
    };
    static Queue& queue();

private:
    struct Resolved {
        Layout layout;
        bool persist = false;
        EdgeGroup group;
    };
    static std::optional<EdgeIdentity> identify(const Uuid& groupID);
    static std::optional<Resolved> resolve(const EdgeIdentity& edge);
    static Task<void> move(EdgeIdentity edge, double c);
    static Task<void> revert(EdgeIdentity edge);
    // The window of each member the engine placed.
    static Task<std::map<Uuid, AXElement>> applyPartial(const Layout& working, const EdgeGroup& group,
                                                        const std::string& name);
    // `before`: the kest as it stood before the operation; `limits`: those of the moved
    // windows.
    static void finish(Layout working, const Layout& before, bool persist, const EdgeGroup& group,
                       const ItemWindowLimits& limits);
    static void keepBoundsOfUnmovedEdges(std::vector<EdgeGroup>& groups, const std::vector<EdgeGroup>& earlier,
                                         const EdgeGroup& moved);
    // Stores the moved frames into the stored kest; where a frame cannot be mapped back
    // onto its stored display, the stored kest stays as it was and the log says why.
    static void persist(const Layout& working, const Layout& before, const EdgeGroup& group,
                        const ItemWindowLimits& limits);
};

}  // namespace kestr
