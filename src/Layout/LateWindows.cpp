#include "Layout/LateWindows.h"

#include <string>
#include <vector>

#include "Layout/ApplyLog.h"
#include "Layout/ItemWindows.h"
#include "Layout/WaitUntil.h"
#include "Platform/Platform.h"
#include "Window/WindowController.h"

namespace kestr {

namespace {

using DeferredPlacement = LayoutApplier::DeferredPlacement;

constexpr double deferredPollInterval = 0.5;

void end(const ApplyAftermath& aftermath, const std::string& outcome) {
    ApplyLog::writeLate(outcome);
    aftermath.ended(outcome);
}

// The instance whose window the item waits for: the one its launch started, else the
// first one listed.
std::optional<RunningApplication> launchedInstance(const DeferredPlacement& deferred) {
    Workspace& workspace = platform().workspace();
    const auto running = workspace.runningApplications(deferred.item.appBundleID);
    for (const RunningApplication& app : running) {
        if (!deferred.launchedPID || workspace.standsForLaunch(app.processIdentifier, deferred.launchedPID)) return app;
    }
    return std::nullopt;
}

}  // namespace

Task<void> LateWindows::placeWhenOpen(std::vector<DeferredPlacement> pending, AXElementList claimed,
                                      ApplyAftermath aftermath, double giveUpAfter) {
    MainActor& actor = platform().mainActor();
    const double deadline = actor.now() + giveUpAfter;
    while (!pending.empty() && actor.now() < deadline) {
        co_await pollSleep(deferredPollInterval, deadline);
        std::vector<DeferredPlacement> stillPending;
        for (DeferredPlacement& deferred : pending) {
            const LayoutItem& item = deferred.item;
            const std::optional<RunningApplication> found = launchedInstance(deferred);
            // The user quit it meanwhile: nothing left to place, nothing to log.
            if (!found || found->isTerminated) {
                aftermath.ended(ApplyLog::deferredQuit(item));
                continue;
            }
            const RunningApplication& app = *found;
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
            end(aftermath, ApplyLog::deferredPlaced(item, deferred.placement));
        }
        pending = std::move(stillPending);
    }
    for (const DeferredPlacement& deferred : pending)
        end(aftermath, ApplyLog::deferredGaveUp(deferred.item, giveUpAfter));
}

void LateWindows::placeDeferred(std::vector<DeferredPlacement> placements, AXElementList claimedWindows,
                                const ApplyAftermath& aftermath, double giveUpAfter) {
    if (placements.empty()) return;
    aftermath.start(placeWhenOpen(std::move(placements), std::move(claimedWindows), aftermath, giveUpAfter));
}

}  // namespace kestr
