#include "Layout/LateWindows.h"

#include <set>
#include <string>
#include <vector>

#include "Layout/ApplyLog.h"
#include "Layout/FreshWindowCommand.h"
#include "Layout/FreshWindowFallbacks.h"
#include "Layout/ItemWindows.h"
#include "Layout/WaitUntil.h"
#include "Platform/Platform.h"
#include "Window/WindowController.h"

namespace kestr {

namespace {

using DeferredPlacement = LayoutApplier::DeferredPlacement;

constexpr double deferredPollInterval = 0.5;

void end(ApplyAftermath& aftermath, const std::string& outcome) {
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

Task<void> LateWindows::placeWhenOpen(std::vector<DeferredPlacement> placements, AXElementList claimed,
                                      ApplyAftermath aftermath, double giveUpAfter) {
    MainActor& actor = platform().mainActor();
    const double deadline = actor.now() + giveUpAfter;
    std::vector<Waiting> pending;
    for (DeferredPlacement& deferred : placements) {
        // A launch's command line opened its window with the item's first tab.
        const bool tabsFollow = !deferred.freshWindow && !platform().capabilities().applicationsTakeScripts;
        pending.push_back({std::move(deferred), std::nullopt, tabsFollow});
    }
    while (!pending.empty() && actor.now() < deadline) {
        co_await pollSleep(deferredPollInterval, deadline);
        std::vector<Waiting> stillPending;
        // Launches with an item still waiting, or served in this pass: a fresh window of
        // such a launch is asked for in a later pass, so its first window and the tabs
        // that follow each window reach the item they belong to.
        std::set<std::int32_t> busy;
        for (Waiting& waiting : pending) {
            DeferredPlacement& deferred = waiting.deferred;
            const LayoutItem& item = deferred.item;
            const std::optional<RunningApplication> found = launchedInstance(deferred);
            // The user quit it meanwhile: nothing left to place, nothing to log.
            if (!found || found->isTerminated) {
                aftermath.ended(ApplyLog::deferredQuit(item));
                continue;
            }
            const RunningApplication& app = *found;
            if (app.isHidden) platform().workspace().unhide(app.processIdentifier);
            const AXElementList own =
                WindowController::axWindows(platform().accessibility().createApplication(app.processIdentifier));

            if (deferred.freshWindow && !waiting.before) {
                if (!busy.contains(deferred.launchedPID) && !own.empty()) co_await askForFreshWindow(waiting);
                busy.insert(deferred.launchedPID);
                stillPending.push_back(std::move(waiting));
                continue;
            }
            busy.insert(deferred.launchedPID);
            const AXElementList windows =
                waiting.before ? ItemWindows::excluding(WindowController::windows(item.appBundleID), *waiting.before)
                               : own;
            const AXElementList unclaimed = ItemWindows::excluding(windows, claimed);
            const std::optional<AXElement> window =
                unclaimed.empty() ? std::nullopt : ItemWindows::choose(item, unclaimed, deferred.preferFrame);
            if (!window) {
                stillPending.push_back(std::move(waiting));
                continue;
            }
            claimed.push_back(*window);
            ItemWindows::bringOut(*window);
            const Rect frame = ItemWindows::globalFrame(deferred.placement);
            co_await WindowController::applyFrame(*window, frame.origin, frame.size);
            end(aftermath, ApplyLog::deferredPlaced(item, deferred.placement));
            if (waiting.tabsFollow) FreshWindowCommand::openLaterTabs(item);
        }
        pending = std::move(stillPending);
    }
    for (const Waiting& waiting : pending) end(aftermath, ApplyLog::deferredGaveUp(waiting.deferred.item, giveUpAfter));
}

Task<void> LateWindows::askForFreshWindow(Waiting& waiting) {
    const LayoutItem& item = waiting.deferred.item;
    waiting.before = WindowController::windows(item.appBundleID);
    try {
        waiting.tabsFollow = co_await FreshWindowFallbacks::requestFreshWindow(
            item, ItemWindows::globalFrame(waiting.deferred.placement), FreshWindowFallbacks::freshWindowTimeout);
    } catch (const WindowSpawner::SpawnError& e) {
        // No window will come: the item is given up at the deadline like any other.
        ApplyLog::write("kestr[apply]: no fresh window for " + item.appName + ": " + e.what());
    }
}

void LateWindows::placeDeferred(std::vector<DeferredPlacement> placements, AXElementList claimedWindows,
                                ApplyAftermath aftermath, double giveUpAfter) {
    if (placements.empty()) return;
    aftermath.start(placeWhenOpen(std::move(placements), std::move(claimedWindows), aftermath, giveUpAfter));
}

}  // namespace kestr
