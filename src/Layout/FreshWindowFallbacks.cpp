#include "Layout/FreshWindowFallbacks.h"

#include <optional>
#include <string>

#include "Core/KnownApplications.h"
#include "Layout/ApplyLog.h"
#include "Layout/FreshWindowCommand.h"
#include "Layout/ItemWindows.h"
#include "Layout/WaitUntil.h"
#include "Platform/Platform.h"
#include "Window/DisplayManager.h"
#include "Window/WindowController.h"

namespace kestr {

Task<WindowOutcome> FreshWindowFallbacks::run(const ItemToPlace& target, LayoutApplier::ApplyContext& ctx) {
    if (!ctx.openWindow()) co_return LayoutApplier::ItemResult::notOpened();
    std::optional<WindowSpawner::SpawnError> failure;
    try {
        const AXElement window = co_await openFreshWindow(target, ctx);
        co_return ChosenWindow{window, false};
    } catch (const WindowSpawner::SpawnError& e) {
        failure = e;
    }
    co_return co_await fallback(target, *failure, ctx);
}

Task<bool> FreshWindowFallbacks::requestFreshWindow(const LayoutItem& item, std::optional<Rect> targetGlobalFrame,
                                                    double within) {
    const std::string& bundleID = item.appBundleID;
    if (KnownApplications::isChromeWebApp(bundleID))
        throw WindowSpawner::SpawnError::scriptFailed(bundleID, -2710, "Chrome web app can't open a new window");
    // Where applications take no scripts, the command line opens the window if it can;
    // any other application gets the script, which answers why it cannot.
    const bool commandLine = !platform().capabilities().applicationsTakeScripts && FreshWindowCommand::arguments(item);
    if (commandLine)
        co_await FreshWindowCommand::open(item, within);
    else
        WindowSpawner::run(WindowSpawner::makeWindowSource(item, targetGlobalFrame), bundleID);
    co_return commandLine;
}

Task<AXElement> FreshWindowFallbacks::openFreshWindow(const ItemToPlace& target,
                                                      const LayoutApplier::ApplyContext& ctx) {
    const std::string& bundleID = target.item.appBundleID;
    const AXElementList before = WindowController::windows(bundleID);
    // One wait for the window, counted from the request, however long the desktop takes
    // to answer it.
    MainActor& actor = platform().mainActor();
    const double deadline = actor.now() + freshWindowTimeout;
    const bool commandLine = co_await requestFreshWindow(target.item, target.targetGlobalFrame, freshWindowTimeout);

    std::optional<AXElement> fresh;
    const auto appeared = [&] {
        const AXElementList windows =
            ctx.unclaimed(ItemWindows::excluding(WindowController::windows(bundleID), before));
        if (!windows.empty()) fresh = windows.front();
        return fresh.has_value();
    };
    if (!co_await waitUntil(appeared, deadline - actor.now(), pollInterval))
        throw WindowSpawner::SpawnError::noNewWindow(bundleID);
    if (commandLine) FreshWindowCommand::openLaterTabs(target.item);
    co_return *fresh;
}

Task<WindowOutcome> FreshWindowFallbacks::fallback(const ItemToPlace& target, const WindowSpawner::SpawnError& failure,
                                                   LayoutApplier::ApplyContext& ctx) {
    const LayoutItem& item = target.item;
    const std::string& bundleID = item.appBundleID;

    if (WindowController::windows(bundleID).empty()) {
        std::optional<AXElement> reopened;
        try {
            reopened = co_await WindowSpawner::reopenWindow(item, ctx.claimedWindows, reopenTimeout, pollInterval);
        } catch (const Error&) {
            // A reopen that fails says nothing of its own; the first failure stands.
        }
        if (reopened) {
            ApplyLog::write("kestr: reopened windowless " + bundleID + " to place it");
            co_return ChosenWindow{*reopened, false};
        }
    }

    if (KnownApplications::spawnsNewWindow(bundleID) || WindowController::windows(bundleID).size() >= 2) {
        ctx.addUnplaced(item.appName, bundleID);
        co_return LayoutApplier::ItemResult::skipped("new window failed for multi-window app " + bundleID + ": " +
                                                     failure.what());
    }

    const std::string couldNotOpen = std::string("could not open a new window: ") + failure.what();
    const AXElementList unclaimed =
        ctx.unclaimed(WindowController::axWindows(platform().accessibility().createApplication(target.pid)));
    const std::optional<AXElement> window =
        unclaimed.empty() ? std::nullopt : ItemWindows::choose(item, unclaimed, target.preferredFrame);
    if (!window) {
        ctx.addUnplaced(item.appName, bundleID);
        co_return LayoutApplier::ItemResult::skipped(couldNotOpen);
    }

    ApplyLog::write("kestr: new-window failed for " + bundleID + " (" + failure.what() +
                    "); moving an existing window to the target screen");

    if (target.anchored && target.placement) {
        const std::optional<Point> position = WindowController::readPosition(*window);
        const std::optional<DisplayID> from = position ? DisplayManager::display(*position) : std::nullopt;
        if (from && *from != target.placement->targetID) {
            ctx.claim(*window);
            ctx.pendingMoves.push_back({*window, *target.placement, item.appName, *from, target.placement->targetID});
            co_return LayoutApplier::ItemResult::applied(*window);
        }
    }
    co_return ChosenWindow{*window, false};
}

}  // namespace kestr
