// Turning a kest's saved frames into placements on the live displays: each frame is
// kept as saved or scaled from its source region into its target region, grown to its
// application's minimum size, and each display's windows are then re-flowed to fit.
#include <algorithm>
#include <cmath>
#include <set>

#include "Layout/LayoutApplier.h"
#include "Window/DisplayManager.h"

namespace kestr {

namespace {

// Regions within a point of each other count as the same size.
constexpr double kSameSizeTolerance = 1;

bool isFinite(const Rect& r) {
    return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width()) && std::isfinite(r.height());
}

Rect rectOf(const ScreenFrame& f) { return Rect(f.x, f.y, f.width, f.height); }

// The frame read against its source region S and laid into the target region T, pulled
// inside T: origin first, then the size capped at T's, then the far edge brought in.
Rect scaled(const ScreenFrame& f, const Rect& s, const Rect& t) {
    if (!(s.width() > 0 && s.height() > 0 && t.width() > 0 && t.height() > 0)) return rectOf(f);
    const double sx = t.width() / s.width();
    const double sy = t.height() / s.height();
    double width = f.width * sx;
    double height = f.height * sy;
    double x = t.minX() + (f.x - s.minX()) * sx;
    double y = t.minY() + (f.y - s.minY()) * sy;
    x = std::max(x, t.minX());
    y = std::max(y, t.minY());
    width = std::min(width, t.width());
    height = std::min(height, t.height());
    x = std::min(x, t.maxX() - width);
    y = std::min(y, t.maxY() - height);
    return Rect(x, y, width, height);
}

bool mustScale(const std::optional<Rect>& s, const Rect& t, bool forced) {
    if (!s || !(s->width() > 1) || !(s->height() > 1)) return false;
    return forced || std::fabs(s->width() - t.width()) > kSameSizeTolerance ||
           std::fabs(s->height() - t.height()) > kSameSizeTolerance;
}

}  // namespace

LayoutApplier::Placements LayoutApplier::computeTargetFrames(const std::vector<LayoutItem>& items,
                                                             FrameSource frameSource,
                                                             const std::map<std::string, Rect>& sourceRegions,
                                                             std::optional<DisplayID> anchorDisplay,
                                                             ApplyReport& report) {
    const auto mapping =
        displayMapping(items, [frameSource](const LayoutItem& item) { return frameOf(item, frameSource); }, anchorDisplay);
    const auto resolved = resolveDisplays(items, frameSource, mapping, report.fellBackToMainDisplay);

    std::vector<SubRegionEntry> entries;
    entries.reserve(resolved.size());
    for (const auto& r : resolved) entries.push_back({r.targetID, r.savedUUID, r.f.dispX.value_or(r.f.x)});
    const auto subRegions = targetSubRegions(entries);

    // Read once per display: every answer walks the live screen list.
    std::map<DisplayID, Rect> visibleAreas;
    const auto visibleArea = [&visibleAreas](DisplayID display) {
        auto it = visibleAreas.find(display);
        if (it == visibleAreas.end()) it = visibleAreas.emplace(display, DisplayManager::visibleAreaLocal(display)).first;
        return it->second;
    };

    Placements placements;
    for (const auto& r : resolved) {
        const ScreenFrame& f = r.f;
        Rect rect;
        if (!hasArea(r.targetID)) {
            // Only the main display can be a target without area (every display asleep):
            // there is no region to read against, so the frame stays as saved.
            rect = rectOf(f);
        } else {
            const Rect visible = visibleArea(r.targetID);
            const auto sub = subRegions.find(r.savedUUID);
            const Rect target = sub != subRegions.end() ? sub->second : visible;
            const bool forced = target != visible || (r.mappedID && (!r.savedID || *r.mappedID != *r.savedID));
            const auto source = sourceRegions.find(r.savedUUID);
            const std::optional<Rect> s =
                source != sourceRegions.end() ? std::optional<Rect>(source->second) : std::nullopt;
            rect = mustScale(s, target, forced) ? scaled(f, *s, target) : rectOf(DisplayManager::clipFrameToVisible(f));
        }
        const Size minimum = minimumSize(r.item.appBundleID);
        rect.size.width = std::max(rect.width(), minimum.width);
        rect.size.height = std::max(rect.height(), minimum.height);
        if (!isFinite(rect)) {
            // Saved values near the limits of a double overflow when scaled; such a frame
            // is never handed to a window, nor to the re-flow.
            placements.erase(r.item.id);
            continue;
        }
        placements[r.item.id] = Placement{r.targetID, r.targetUUID, r.item.appBundleID, rect};
    }

    // Each display's placements in item order; a later item with the same identifier has
    // replaced the earlier placement and decides its display.
    std::map<DisplayID, std::vector<Uuid>> byDisplay;
    std::set<Uuid> grouped;
    for (const auto& r : resolved) {
        const auto placed = placements.find(r.item.id);
        if (placed != placements.end() && grouped.insert(r.item.id).second) {
            byDisplay[placed->second.targetID].push_back(r.item.id);
        }
    }
    // A display without area (only ever the main display, as a fallback) has no visible
    // area to fit into.
    for (const auto& [display, ids] : byDisplay) {
        if (hasArea(display)) reflowColumns(placements, ids, visibleArea(display));
    }
    return placements;
}

}  // namespace kestr
