// The apply: computes every item's placement, places the items one after another in
// kest order, then settles what the items left for the end — moves to confirm,
// applications to name, late windows — and reports the kest as it was really applied.
#include "Layout/LayoutApplier.h"

#include <map>
#include <optional>
#include <vector>

#include "Layout/ApplyContext.h"
#include "Layout/ApplyInFlight.h"
#include "Layout/ApplyLog.h"
#include "Layout/ApplyQuestions.h"
#include "Layout/DisplaySnapshot.h"
#include "Layout/DriftingWindows.h"
#include "Layout/EdgeGroupDetector.h"
#include "Layout/ItemPlacement.h"
#include "Layout/ItemWindows.h"
#include "Layout/LateWindows.h"
#include "Layout/PlacementPlanner.h"
#include "Window/WindowController.h"

namespace kestr {

namespace {

// The item as it now stands on the live display.
LayoutItem asApplied(const LayoutItem& item, const LayoutApplier::Placement& placement) {
    LayoutItem out = item;
    out.targetFrame = ItemWindows::screenFrame(placement);
    out.capturedFrame = out.targetFrame;
    return out;
}

// The smallest size of each item's window, where it is known. A window's own minimum
// bounds that window alone: each item counts with the open window it would take (by its
// matcher, its captured title and nearness; its turn may still take another); an item
// whose window is not open yet (a launch, a fresh window) counts with what its
// application's open windows report, asked once per application.
PlacementPlanner::KnownMinimums windowMinimums(const std::vector<LayoutItem>& items,
                                               LayoutApplier::FrameSource frameSource,
                                               LayoutApplier::ApplyContext& ctx) {
    const WindowCache::Use cached(ctx.windowCache);
    PlacementPlanner::KnownMinimums minimums;
    std::map<std::string, AXElementList> untaken;
    std::map<std::string, std::optional<Size>> applicationMinimums;
    for (const LayoutItem& item : items) {
        auto [pool, first] = untaken.try_emplace(item.appBundleID);
        if (first) pool->second = WindowController::windows(item.appBundleID);
        const auto window = pool->second.empty()
                                ? std::nullopt
                                : ItemWindows::choose(item, pool->second, LayoutApplier::frameOf(item, frameSource));
        std::optional<Size> minimum;
        if (window) {
            minimum = WindowController::limits(*window).minimumSize;
            std::erase(pool->second, *window);
        } else {
            auto [known, unasked] = applicationMinimums.try_emplace(item.appBundleID);
            if (unasked) known->second = WindowController::minimumSize(item.appBundleID);
            minimum = known->second;
        }
        if (minimum) minimums[item.id] = *minimum;
    }
    return minimums;
}

}  // namespace

const ScreenFrame& LayoutApplier::frameOf(const LayoutItem& item, FrameSource source) {
    if (source == FrameSource::captured && item.capturedFrame) return *item.capturedFrame;
    return item.targetFrame;
}

Task<LayoutApplier::ApplyReport> LayoutApplier::apply(Layout layout, ApplyMode mode, FrameSource frameSource,
                                                      std::optional<DisplayID> anchorDisplay) {
    std::optional<ApplyInFlight::Guard> inFlight;
    if (mode != ApplyMode::reuseExisting) {
        ApplyInFlight& flag = ApplyInFlight::shared();
        if (flag.isApplying()) {
            ApplyLog::write(ApplyLog::dropped(mode));
            ApplyQuestions::notifyDropped(layout);
            co_return ApplyReport{};
        }
        inFlight.emplace(flag);
    }

    // Roles and a turned-off enhanced interface are read once for the whole apply.
    const WindowController::ReadScope reads;
    ApplyReport report;
    ApplyContext ctx;
    const std::vector<LayoutItem>& items = layout.items;

    ctx.noteItems(items);

    const DisplaySnapshot displays = DisplaySnapshot::read(items, anchorDisplay);
    const auto sourceRegions = PlacementPlanner::computeSourceRegions(items, frameSource, displays);
    const Placements placements = PlacementPlanner::computeTargetFrames(
        items, frameSource, sourceRegions, anchorDisplay, displays, report, windowMinimums(items, frameSource, ctx));

    for (const LayoutItem& item : items) {
        auto it = placements.find(item.id);
        ApplyLog::write(ApplyLog::placement(mode, item, it == placements.end() ? nullptr : &it->second));
    }

    if (mode == ApplyMode::restoreMissing && anchorDisplay)
        DriftingWindows::preassignDriftingWindows(items, placements, ctx);

    std::vector<LayoutItem> effectiveItems;
    for (const LayoutItem& item : items) {
        ctx.takeTurn(item);
        // Nothing is launched or moved for a frame no window can take.
        const auto unplaced = PlacementPlanner::unplacedReason(item, frameSource, placements);
        ItemResult result = ItemResult::skipped(unplaced.value_or(""));
        if (!unplaced)
            result =
                co_await ItemPlacement::applyItem(item, mode, frameSource, placements, anchorDisplay.has_value(), ctx);
        switch (result.kind) {
            case ItemResult::Kind::applied: {
                report.applied += 1;
                report.windows[item.id] = result.window;
                ApplyLog::write(ApplyLog::applied(mode, item));
                auto it = placements.find(item.id);
                if (it != placements.end()) effectiveItems.push_back(asApplied(item, it->second));
                break;
            }
            case ItemResult::Kind::skipped:
                ApplyLog::write(ApplyLog::skipped(mode, item, result.reason));
                report.skipped.push_back({item, result.reason});
                break;
            case ItemResult::Kind::deferred:
                ApplyLog::write(ApplyLog::deferred(mode, item));
                break;
            case ItemResult::Kind::notOpened:
                report.windowsNotOpened += 1;
                break;
        }
    }
    if (report.windowsNotOpened > 0) {
        ApplyLog::write(ApplyLog::notOpened(mode, report.windowsNotOpened));
        ApplyQuestions::notifyNotOpened(layout, report.windowsNotOpened);
    }

    if (!ctx.pendingMoves.empty() && ApplyQuestions::confirmMoves(ctx.pendingMoves)) {
        for (const PendingMove& move : ctx.pendingMoves) {
            const Rect target = ItemWindows::globalFrame(move.placement);
            co_await WindowController::applyFrame(move.window, target.origin, target.size);
        }
    }
    if (!ctx.unplacedRunningApps.empty()) ApplyQuestions::notifyUnplaced(ctx.unplacedRunningApps);
    // Late windows must not take a window this apply gave to another item.
    LateWindows::placeDeferred(ctx.deferredPlacements, ctx.claimedWindows, ctx.aftermath);
    report.aftermath = ctx.aftermath;

    Layout effective = layout;
    effective.edgeGroups =
        EdgeGroupDetector::detectGroups(effectiveItems, 4.0, 120.0, WindowController::limits(report.windows));
    effective.items = std::move(effectiveItems);
    report.effectiveLayout = std::move(effective);
    co_return report;
}

}  // namespace kestr
