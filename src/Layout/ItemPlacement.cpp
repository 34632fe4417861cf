#include "Layout/ItemPlacement.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "Core/KnownApplications.h"
#include "Layout/AppLauncher.h"
#include "Layout/ApplyLog.h"
#include "Layout/FreshWindowCommand.h"
#include "Layout/FreshWindowFallbacks.h"
#include "Layout/ItemWindows.h"
#include "Layout/WindowSpawner.h"
#include "Platform/AXAttributes.h"
#include "Platform/Platform.h"
#include "Window/WindowController.h"
#include "Window/WindowFinder.h"

namespace kestr {

namespace {

constexpr double launchPollInterval = 0.1;

bool hasSavedTabs(const LayoutItem& item) {
    if (item.browserURL && !item.browserURL->empty()) return true;
    if (!item.browserTabs) return false;
    for (const std::string& tab : *item.browserTabs) {
        if (!tab.empty()) return true;
    }
    return false;
}

// Where applications take no scripts, a launched application opens its first window
// with the item's content from its command line.
std::vector<std::string> launchContent(const LayoutItem& item) {
    if (platform().capabilities().applicationsTakeScripts) return {};
    // Logged only when they will be used.
    const bool launches = platform().workspace().runningApplications(item.appBundleID).empty();
    const auto words = launches ? FreshWindowCommand::argumentsToRun(item) : FreshWindowCommand::arguments(item);
    return words.value_or(std::vector<std::string>{});
}

std::vector<std::string> launchURLs(const LayoutItem& item) {
    if (!item.openURL) return {};
    return {item.openURL->string()};
}

bool hasCapturedTitle(const LayoutItem& item) { return item.capturedWindowTitle && !item.capturedWindowTitle->empty(); }

ScreenFrame preferredFrame(const LayoutItem& item, const LayoutApplier::Placement* placement,
                           LayoutApplier::FrameSource frameSource) {
    if (placement) return ItemWindows::screenFrame(*placement);
    return LayoutApplier::frameOf(item, frameSource);
}

// The other items' captured titles of the same application: windows showing them
// belong to those items.
std::vector<std::string> titlesToAvoid(const LayoutItem& item, const LayoutApplier::ApplyContext& ctx) {
    auto it = ctx.capturedTitlesByBundle.find(item.appBundleID);
    if (it == ctx.capturedTitlesByBundle.end()) return {};
    std::vector<std::string> titles = it->second;
    if (item.capturedWindowTitle) {
        auto own = std::find(titles.begin(), titles.end(), *item.capturedWindowTitle);
        if (own != titles.end()) titles.erase(own);
    }
    return titles;
}

}  // namespace

std::optional<WindowOutcome> ItemPlacement::findOpenWindow(const ItemToPlace& target, ApplyMode mode,
                                                           LayoutApplier::ApplyContext& ctx) {
    const bool launchedHere = ctx.launchedPIDs.contains(target.pid);
    {
        // Windows that were open before: what earlier items read of them still holds.
        const WindowCache::Use cached(ctx.windowCache);
        if (auto found = findAmongOpenWindows(target, mode, ctx)) return found;
    }

    // The first window of an application this apply launched goes to its first item.
    if (launchedHere && !ctx.reusedLaunchPIDs.contains(target.pid)) {
        const WindowController::TitleScope titles;
        const AXElementList pool =
            ctx.unclaimed(WindowController::axWindows(platform().accessibility().createApplication(target.pid)));
        if (!pool.empty()) {
            const AXElementList candidates = WindowFinder::candidateWindows(WindowMatcher::firstWindow(), pool);
            if (auto w = WindowFinder::pickBest(candidates, target.preferredFrame)) {
                ctx.reusedLaunchPIDs.insert(target.pid);
                WindowSpawner::setContentOnFrontWindow(target.item, target.targetGlobalFrame);
                // The launch's command line opened the window with the item's content.
                if (!platform().capabilities().applicationsTakeScripts) FreshWindowCommand::openLaterTabs(target.item);
                return ChosenWindow{*w, false};
            }
        }
    }
    return std::nullopt;
}

std::optional<WindowOutcome> ItemPlacement::findAmongOpenWindows(const ItemToPlace& target, ApplyMode mode,
                                                                 LayoutApplier::ApplyContext& ctx) {
    const LayoutItem& item = target.item;
    const std::string& bundleID = item.appBundleID;
    const bool launchedHere = ctx.launchedPIDs.contains(target.pid);
    const bool drifting = KnownApplications::titleDrifts(bundleID);

    // A drifting title is still the best clue when the window shows it now.
    if (mode == ApplyMode::restoreMissing && !launchedHere && target.anchored && drifting && hasCapturedTitle(item)) {
        const AXElementList pool = ctx.unclaimed(WindowController::windows(bundleID));
        if (!pool.empty()) {
            const AXElementList candidates =
                WindowFinder::candidateWindows(WindowMatcher::titleContains(*item.capturedWindowTitle), pool);
            if (auto w = WindowFinder::pickBest(candidates, target.preferredFrame)) return ChosenWindow{*w, true};
        }
    }

    if (!launchedHere) {
        auto it = ctx.preassignedWindows.find(item.id);
        if (it != ctx.preassignedWindows.end() && !ctx.isClaimed(it->second)) return ChosenWindow{it->second, true};
    }

    if (mode == ApplyMode::reuseExisting) {
        const ItemResult none = ItemResult::skipped("no open window for " + item.appName);
        const AXElementList open = ctx.unclaimed(WindowController::windows(bundleID));
        const AXElementList unclaimed = ItemWindows::excluding(open, ctx.namedForOthers(item, open));
        if (unclaimed.empty()) return none;
        if (auto w = ItemWindows::choose(item, unclaimed, target.preferredFrame)) return ChosenWindow{*w, false};
        return none;
    }

    if (mode == ApplyMode::restoreMissing && !launchedHere) {
        // A drifting title may no longer show the text the item asks for, and then any of
        // the application's windows may be the item's; a window that shows it is.
        const bool titleMayDrift = drifting && item.windowMatcher.is<WindowMatcher::TitleContains>();
        const AXElementList windows = WindowController::windows(bundleID);
        WindowFinder::Options options;
        options.excluding = ctx.claimedWindows;
        for (AXElement w : ctx.namedForOthers(item, ctx.unclaimed(windows))) options.excluding.push_back(w);
        options.preferNear = target.preferredFrame;
        options.preferTitle = item.capturedWindowTitle;
        options.titleStable = KnownApplications::titleStable(bundleID);
        options.reuseDrifted = drifting;
        options.avoidTitles = titlesToAvoid(item, ctx);
        options.itemName = item.appName;
        if (target.anchored && target.placement) options.restrictToDisplay = target.placement->targetID;
        if (auto w = WindowFinder::findWindow(windows, item.windowMatcher, options)) return ChosenWindow{*w, true};
        if (!titleMayDrift) return std::nullopt;
        if (auto w = WindowFinder::findWindow(windows, WindowMatcher::firstWindow(), options))
            return ChosenWindow{*w, true};
    }
    return std::nullopt;
}

Task<ItemPlacement::ItemResult> ItemPlacement::placeWindow(const ItemToPlace& target, ChosenWindow chosen,
                                                           ApplyMode mode, LayoutApplier::ApplyContext& ctx) {
    const LayoutItem& item = target.item;
    const AXElement window = chosen.window;
    ctx.claim(window);
    ItemWindows::bringOut(window);
    if (!target.placement)
        co_return ItemResult::skipped("Saved window size is 0 — re-capture needed (" + item.appName + ")");

    const Rect frame = *target.targetGlobalFrame;
    co_await WindowController::applyFrame(window, frame.origin, frame.size);

    if (chosen.matched && mode == ApplyMode::restoreMissing && KnownApplications::isChrome(item.appBundleID) &&
        hasSavedTabs(item)) {
        const std::optional<std::string> title = WindowController::axString(window, ax::title);
        if (title && !title->empty()) WindowSpawner::addSavedTabsToReusedWindow(item, *title);
    }
    if (item.openURL && !target.urlOpened) openURL(*item.openURL, item.appBundleID);
    co_return ItemResult::applied(window);
}

Task<ItemPlacement::ItemResult> ItemPlacement::applyItem(const LayoutItem& item, ApplyMode mode,
                                                         LayoutApplier::FrameSource frameSource,
                                                         const LayoutApplier::Placements& placements, bool anchored,
                                                         LayoutApplier::ApplyContext& ctx) {
    auto found = placements.find(item.id);
    const LayoutApplier::Placement* placement = found == placements.end() ? nullptr : &found->second;

    const bool mayLaunch = mode == ApplyMode::reuseExisting ? false : item.launchIfMissing;
    const bool launchAllowed = mayLaunch && ctx.mayOpenWindow();
    std::optional<AppLauncher::Running> running;
    std::optional<ItemResult> launchFailure;
    try {
        // The launch shows the item's URL itself: opened once more, it would start a second
        // instance of an application that keeps no single one.
        running = co_await AppLauncher::ensureRunning(item.appBundleID, launchAllowed, Workspace::launchWaitSeconds,
                                                      launchPollInterval, launchContent(item), launchURLs(item));
    } catch (const AppLauncher::LaunchError& e) {
        const bool late = e.kind() == AppLauncher::LaunchError::Kind::noWindowsAppeared;
        if (late) ctx.openWindow();
        if (late && e.pid()) ctx.lateLaunchPIDs.insert(e.pid());
        if (late && placement) {
            ctx.deferredPlacements.push_back({item, *placement, ItemWindows::screenFrame(*placement), e.pid()});
            launchFailure = ItemResult::deferred();
        } else {
            launchFailure = ItemResult::skipped(e.what());
        }
    } catch (const std::exception& e) {
        launchFailure = ItemResult::skipped(std::string("launch error: ") + e.what());
    }
    if (launchFailure) co_return *launchFailure;
    if (!running) {
        if (mayLaunch && !launchAllowed) co_return ItemResult::notOpened();
        co_return ItemResult::skipped(mode == ApplyMode::reuseExisting ? "app not open"
                                                                       : "app not running and launchIfMissing=false");
    }

    const std::int32_t pid = running->app.processIdentifier;
    if (ctx.lateLaunchPIDs.contains(pid) && placement) {
        // The launch's first window, whenever it comes, is an earlier item's: a window
        // that opens before this item's fresh one could not be told from it.
        if (!ctx.openWindow()) co_return ItemResult::notOpened();
        ctx.deferredPlacements.push_back({item, *placement, ItemWindows::screenFrame(*placement), pid, true});
        co_return ItemResult::deferred();
    }
    if (running->launched) {
        ctx.launchedPIDs.insert(pid);
        ctx.openWindow();
    }
    if (running->app.isHidden) platform().workspace().unhide(pid);

    const ItemToPlace target{
        item,
        pid,
        placement,
        preferredFrame(item, placement, frameSource),
        placement ? std::optional(ItemWindows::globalFrame(*placement)) : std::nullopt,
        anchored,
        running->launched && item.openURL.has_value(),
    };

    std::optional<WindowOutcome> outcome = findOpenWindow(target, mode, ctx);
    if (!outcome) {
        outcome = co_await FreshWindowFallbacks::run(target, ctx);
        // It may have opened a window or launched an application meanwhile.
        ctx.windowCache.forgetWindowLists();
    }
    if (auto* result = std::get_if<ItemResult>(&*outcome)) co_return *result;
    co_return co_await placeWindow(target, std::get<ChosenWindow>(*outcome), mode, ctx);
}

void ItemPlacement::openURL(const Url& url, const std::string& bundleID) {
    Workspace& workspace = platform().workspace();
    OpenConfiguration configuration;
    configuration.activates = false;
    const std::string text = url.string();
    if (auto application = workspace.urlForApplication(bundleID)) {
        workspace.openURLs({text}, *application, configuration, [text, bundleID](std::optional<std::string> error) {
            if (error) ApplyLog::write("kestr[openURL]: " + bundleID + " did not open " + text + ": " + *error);
        });
    } else if (!workspace.openURL(text)) {
        ApplyLog::write("kestr[openURL]: nothing opened " + text);
    }
}

}  // namespace kestr
