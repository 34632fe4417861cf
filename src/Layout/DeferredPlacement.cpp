// Placing the windows of applications that the apply launched but that showed no
// window in time: a background task looks for them every half second for half a
// minute and moves each into its slot as soon as it opens.

#include <string>
#include <vector>

#include "Layout/ApplyContext.h"
#include "Layout/ApplyLog.h"
#include "Layout/ItemWindows.h"
#include "Layout/LayoutApplier.h"
#include "Layout/WaitUntil.h"
#include "Platform/Platform.h"
#include "Window/WindowController.h"

namespace kestr {

namespace {

using DeferredPlacement = LayoutApplier::DeferredPlacement;

constexpr double deferredTimeout = 30.0;
constexpr double deferredPollInterval = 0.5;

// `claimed` holds the windows the apply gave to its items, and grows by every window
// placed here, so two late items never end up sharing one window.
Task<void> placeWhenOpen(std::vector<DeferredPlacement> pending, AXElementList claimed) {
    MainActor& actor = platform().mainActor();
    const double deadline = actor.now() + deferredTimeout;
    while (!pending.empty() && actor.now() < deadline) {
        co_await pollSleep(deferredPollInterval, deadline);
        std::vector<DeferredPlacement> stillPending;
        for (DeferredPlacement& deferred : pending) {
            const LayoutItem& item = deferred.item;
            const auto running = platform().workspace().runningApplications(item.appBundleID);
            // The user quit it meanwhile: nothing left to place.
            if (running.empty() || running.front().isTerminated) continue;
            const RunningApplication& app = running.front();
            if (app.isHidden) platform().workspace().unhide(app.processIdentifier);

            const AXElementList windows = ItemWindows::excluding(
                WindowController::axWindows(platform().accessibility().createApplication(app.processIdentifier)),
                claimed);
            const std::optional<AXElement> window =
                windows.empty() ? std::nullopt : ItemWindows::choose(item, windows, deferred.preferFrame);
            if (!window) {
                stillPending.push_back(std::move(deferred));
                continue;
            }
            claimed.push_back(*window);
            ItemWindows::bringOut(*window);
            const Rect frame = ItemWindows::globalFrame(deferred.placement);
            co_await WindowController::applyFrame(*window, frame.origin, frame.size);
            ApplyLog::write(ApplyLog::deferredPlaced(item, deferred.placement));
        }
        pending = std::move(stillPending);
    }
    for (const DeferredPlacement& deferred : pending) ApplyLog::write(ApplyLog::deferredGaveUp(deferred.item));
}

}  // namespace

void LayoutApplier::placeDeferred(std::vector<DeferredPlacement> placements, AXElementList claimedWindows) {
    if (placements.empty()) return;
    spawn(placeWhenOpen(std::move(placements), std::move(claimedWindows)));
}

}  // namespace kestr
