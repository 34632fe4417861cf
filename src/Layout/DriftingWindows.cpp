#include "Layout/DriftingWindows.h"

#include <algorithm>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "Core/KnownApplications.h"
#include "Layout/ItemWindows.h"
#include "Platform/AXAttributes.h"
#include "Platform/Platform.h"
#include "Window/WindowController.h"
#include "Window/WindowFinder.h"

namespace kestr {

using Placement = LayoutApplier::Placement;

AXElementList DriftingWindows::poolOn(DisplayID display, const AXElementList& windows) {
    const Rect bounds = platform().displays().displayBounds(display);
    AXElementList pool;
    for (AXElement w : windows) {
        auto value = platform().accessibility().copy(w, ax::position);
        const Point* position = value ? std::get_if<Point>(&*value) : nullptr;
        if (position && bounds.contains(*position)) pool.push_back(w);
    }
    return pool;
}

AXElement DriftingWindows::takeNearest(AXElementList& pool, const Placement& placement) {
    std::size_t best = 0;
    if (pool.size() > 1) {
        const Rect slot = ItemWindows::globalFrame(placement);
        const double cx = slot.midX();
        const double cy = slot.midY();
        double bestDistance = std::numeric_limits<double>::infinity();
        for (std::size_t i = 0; i < pool.size(); ++i) {
            double distance = std::numeric_limits<double>::max();
            if (auto p = WindowController::readPosition(pool[i])) {
                distance = (p->x - cx) * (p->x - cx) + (p->y - cy) * (p->y - cy);
            }
            if (distance < bestDistance) {
                bestDistance = distance;
                best = i;
            }
        }
    }
    const AXElement window = pool[best];
    pool.erase(pool.begin() + static_cast<std::ptrdiff_t>(best));
    return window;
}

// The title the window had when the kest was captured, if it still shows it.
AXElementList::iterator DriftingWindows::capturedTitleWindow(const LayoutItem& item, AXElementList& pool) {
    const std::string title = item.capturedWindowTitle.value_or("");
    if (title.empty()) return pool.end();
    return std::find_if(pool.begin(), pool.end(), [&](AXElement w) { return ItemWindows::titleContains(w, title); });
}

std::set<Uuid> DriftingWindows::takeNamedWindows(const std::vector<Candidate>& placed, AXElementList& windows,
                                                 LayoutApplier::ApplyContext& ctx) {
    std::set<Uuid> named;
    for (const Candidate& c : placed) {
        if (!c.item->windowMatcher.namesTitle()) continue;
        const AXElementList admitted = WindowFinder::candidateWindows(c.item->windowMatcher, windows, c.item->appName);
        const auto best = WindowFinder::pickBest(admitted, ItemWindows::screenFrame(*c.placement));
        if (!best) continue;
        ctx.preassignedWindows[c.item->id] = *best;
        named.insert(c.item->id);
        windows.erase(std::find(windows.begin(), windows.end(), *best));
    }
    return named;
}

void DriftingWindows::shareOut(const std::vector<Candidate>& group, AXElementList pool,
                               LayoutApplier::ApplyContext& ctx) {
    std::set<Uuid> matched;
    for (const Candidate& c : group) {
        if (pool.empty()) break;
        const auto it = capturedTitleWindow(*c.item, pool);
        if (it == pool.end()) continue;
        ctx.preassignedWindows[c.item->id] = *it;
        matched.insert(c.item->id);
        pool.erase(it);
    }
    for (const Candidate& c : group) {
        if (pool.empty()) break;
        if (matched.contains(c.item->id)) continue;
        ctx.preassignedWindows[c.item->id] = takeNearest(pool, *c.placement);
    }
}

void DriftingWindows::preassignDriftingWindows(const std::vector<LayoutItem>& items,
                                               const LayoutApplier::Placements& placements,
                                               LayoutApplier::ApplyContext& ctx) {
    const WindowCache::Use cached(ctx.windowCache);
    std::set<std::string> bundles;
    for (const LayoutItem& item : items) {
        if (KnownApplications::titleDrifts(item.appBundleID)) bundles.insert(item.appBundleID);
    }
    for (const std::string& bundleID : bundles) {
        std::vector<Candidate> placed;
        for (const LayoutItem& item : items) {
            auto it = placements.find(item.id);
            if (item.appBundleID == bundleID && it != placements.end()) placed.push_back({&item, &it->second});
        }
        // A single item finds its window through the ordinary search.
        if (placed.size() < 2) continue;

        AXElementList windows = WindowController::windows(bundleID);
        // A title an item's matcher asks for names its window on any display.
        const std::set<Uuid> named = takeNamedWindows(placed, windows, ctx);
        std::vector<DisplayID> displays;
        std::map<DisplayID, std::vector<Candidate>> groups;
        for (const Candidate& c : placed) {
            if (named.contains(c.item->id)) continue;
            auto& group = groups[c.placement->targetID];
            if (group.empty()) displays.push_back(c.placement->targetID);
            group.push_back(c);
        }
        for (DisplayID display : displays) {
            AXElementList pool = poolOn(display, windows);
            if (!pool.empty()) shareOut(groups[display], std::move(pool), ctx);
        }
    }
}

}  // namespace kestr
