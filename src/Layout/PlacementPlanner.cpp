#include "Layout/PlacementPlanner.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

#include "Layout/ColumnReflow.h"
#include "Window/DisplayManager.h"

namespace kestr {

namespace {

// Narrower or lower frames are leftovers of broken captures, not windows to place.
constexpr double kMinUsableSide = 20;

bool hasUsableSize(const ScreenFrame& frame) { return frame.width >= kMinUsableSide && frame.height >= kMinUsableSide; }

// At least 20 points wide and high, and within the limits of a frame read from a file;
// other frames take no part in placement.
bool isUsable(const ScreenFrame& frame) { return hasUsableSize(frame) && frame.withinLimits(); }

// The connected display a UUID string names. A display without area counts as not
// connected: frames read or laid against it would be scaled by infinities.
std::optional<DisplayID> connectedDisplay(const std::string& uuid, const DisplaySnapshot& displays) {
    const DisplayID id = displays.idOf(uuid);
    if (id == 0 || !displays.hasArea(id)) return std::nullopt;
    return id;
}

const ScreenFrame& frameOf(const LayoutItem& item, LayoutApplier::FrameSource source) {
    return LayoutApplier::frameOf(item, source);
}

// The usable frames of the items, grouped by display UUID string; item order inside.
std::map<std::string, std::vector<ScreenFrame>> usableFramesByDisplay(const std::vector<LayoutItem>& items,
                                                                      LayoutApplier::FrameSource source) {
    std::map<std::string, std::vector<ScreenFrame>> groups;
    for (const auto& item : items) {
        const ScreenFrame& f = frameOf(item, source);
        if (isUsable(f)) groups[f.displayUUID].push_back(f);
    }
    return groups;
}

Rect regionOfMissingDisplay(const std::vector<ScreenFrame>& frames) {
    double minX = frames.front().x, minY = frames.front().y;
    double maxX = frames.front().x + frames.front().width, maxY = frames.front().y + frames.front().height;
    for (const auto& f : frames) {
        minX = std::min(minX, f.x);
        minY = std::min(minY, f.y);
        maxX = std::max(maxX, f.x + f.width);
        maxY = std::max(maxY, f.y + f.height);
    }
    const auto recorded =
        std::find_if(frames.begin(), frames.end(), [](const ScreenFrame& f) { return f.dispW && f.dispH; });
    // The top of the highest window stands for the top of the usable area.
    if (recorded != frames.end()) return Rect(0, minY, *recorded->dispW, std::max(*recorded->dispH - minY, 1.0));
    return Rect(minX, minY, std::max(maxX - minX, 1.0), std::max(maxY - minY, 1.0));
}

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

// The rectangle moved (and, when larger, cut) so that it lies inside the area.
Rect keptInside(Rect r, const Rect& area) {
    r.size.width = std::min(r.width(), area.width());
    r.size.height = std::min(r.height(), area.height());
    r.origin.x = std::clamp(r.x(), area.minX(), area.maxX() - r.width());
    r.origin.y = std::clamp(r.y(), area.minY(), area.maxY() - r.height());
    return r;
}

// The frame cut to the visible area of its own display, when that one is connected.
ScreenFrame clippedToItsDisplay(const ScreenFrame& f, const DisplaySnapshot& displays) {
    const DisplayID id = displays.idOf(f.displayUUID);
    return id == 0 ? f : DisplayManager::clipFrame(f, displays.visibleArea(id));
}

bool mustScale(const std::optional<Rect>& s, const Rect& t, bool forced) {
    if (!s || !(s->width() > 1) || !(s->height() > 1)) return false;
    return forced || std::fabs(s->width() - t.width()) > kSameSizeTolerance ||
           std::fabs(s->height() - t.height()) > kSameSizeTolerance;
}

}  // namespace

std::map<std::string, Rect> PlacementPlanner::computeSourceRegions(const std::vector<LayoutItem>& items,
                                                                   FrameSource frameSource,
                                                                   const DisplaySnapshot& displays) {
    std::map<std::string, Rect> regions;
    for (const auto& [uuid, frames] : usableFramesByDisplay(items, frameSource)) {
        const auto id = connectedDisplay(uuid, displays);
        regions[uuid] = id ? displays.visibleArea(*id) : regionOfMissingDisplay(frames);
    }
    return regions;
}

std::optional<std::string> PlacementPlanner::unplacedReason(const LayoutItem& item, FrameSource frameSource,
                                                            const Placements& placements) {
    const ScreenFrame& frame = frameOf(item, frameSource);
    if (!hasUsableSize(frame) || (frame.withinLimits() && placements.contains(item.id))) return std::nullopt;
    return "Saved frame is out of range — re-capture needed (" + item.appName + ")";
}

std::map<std::string, DisplayID> PlacementPlanner::displayMapping(const std::vector<LayoutItem>& items,
                                                                  FrameSource frameSource,
                                                                  std::optional<DisplayID> anchorDisplay,
                                                                  const DisplaySnapshot& displays) {
    if (!anchorDisplay || *anchorDisplay == 0) return {};

    // Each saved display's origin comes from the first usable frame naming it.
    struct Saved {
        std::string uuid;
        Point origin;
    };
    std::vector<Saved> saved;
    for (const auto& item : items) {
        const ScreenFrame& f = frameOf(item, frameSource);
        if (!isUsable(f)) continue;
        const bool known =
            std::any_of(saved.begin(), saved.end(), [&](const Saved& s) { return s.uuid == f.displayUUID; });
        if (!known) saved.push_back({f.displayUUID, Point{f.dispX.value_or(f.x), f.dispY.value_or(f.y)}});
    }
    // Equal origins keep the order in which the displays were first named.
    std::stable_sort(saved.begin(), saved.end(), [](const Saved& a, const Saved& b) {
        if (a.origin.x != b.origin.x) return a.origin.x < b.origin.x;
        return a.origin.y < b.origin.y;
    });
    if (saved.empty()) return {};

    std::vector<DisplayID> live = displays.leftToRight();
    std::erase_if(live, [&displays](DisplayID id) { return !displays.hasArea(id); });
    const auto anchorIt = std::find(live.begin(), live.end(), *anchorDisplay);
    const int anchorIndex = anchorIt == live.end() ? 0 : static_cast<int>(anchorIt - live.begin());
    const auto positions = targetIndices(static_cast<int>(saved.size()), static_cast<int>(live.size()), anchorIndex);

    std::map<std::string, DisplayID> mapping;
    for (std::size_t i = 0; i < saved.size(); ++i) {
        const auto position = static_cast<std::size_t>(positions[i]);
        if (position < live.size()) {
            mapping[saved[i].uuid] = live[position];
        } else if (displays.hasArea(*anchorDisplay)) {
            mapping[saved[i].uuid] = *anchorDisplay;
        }
        // Else no live display can take it; its items go where the unmapped would.
    }
    return mapping;
}

std::vector<int> PlacementPlanner::targetIndices(int sourceCount, int targetCount, int anchorIndex) {
    if (sourceCount < 1) return {};
    if (sourceCount == 1) return {anchorIndex};
    std::vector<int> positions;
    positions.reserve(static_cast<std::size_t>(sourceCount));
    for (int i = 0; i < sourceCount; ++i) positions.push_back(i < targetCount ? i : anchorIndex);
    return positions;
}

std::vector<PlacementPlanner::Resolved> PlacementPlanner::resolveDisplays(
    const std::vector<LayoutItem>& items, FrameSource frameSource, const std::map<std::string, DisplayID>& mapping,
    const DisplaySnapshot& displays, int& fellBackToMainDisplay) {
    std::vector<Resolved> resolved;
    for (const auto& item : items) {
        const ScreenFrame& f = frameOf(item, frameSource);
        if (!isUsable(f)) continue;
        Resolved r{item, f, f.displayUUID, connectedDisplay(f.displayUUID, displays), std::nullopt, 0, {}};
        if (const auto it = mapping.find(f.displayUUID); it != mapping.end()) r.mappedID = it->second;
        if (r.mappedID) {
            r.targetID = *r.mappedID;
        } else if (r.savedID) {
            r.targetID = *r.savedID;
        } else {
            r.targetID = displays.mainDisplay();
            ++fellBackToMainDisplay;
        }
        r.targetUUID = displays.uuidString(r.targetID).value_or(f.displayUUID);
        resolved.push_back(std::move(r));
    }
    return resolved;
}

std::map<std::string, Rect> PlacementPlanner::targetSubRegions(const std::vector<SubRegionEntry>& entries,
                                                               const DisplaySnapshot& displays) {
    // The first entry of each saved display decides its target and its order.
    std::vector<std::pair<DisplayID, std::vector<SubRegionEntry>>> byTarget;
    std::set<std::string> seen;
    for (const auto& e : entries) {
        if (!seen.insert(e.savedUUID).second) continue;
        auto group =
            std::find_if(byTarget.begin(), byTarget.end(), [&](const auto& g) { return g.first == e.targetID; });
        if (group == byTarget.end()) {
            byTarget.push_back({e.targetID, {e}});
        } else {
            group->second.push_back(e);
        }
    }

    std::map<std::string, Rect> regions;
    for (auto& [target, shared] : byTarget) {
        std::stable_sort(shared.begin(), shared.end(),
                         [](const SubRegionEntry& a, const SubRegionEntry& b) { return a.originX < b.originX; });
        const auto strips = horizontalSlices(displays.visibleArea(target), static_cast<int>(shared.size()));
        for (std::size_t k = 0; k < shared.size(); ++k) regions[shared[k].savedUUID] = strips[k];
    }
    return regions;
}

std::vector<Rect> PlacementPlanner::horizontalSlices(const Rect& rect, int count) {
    if (count < 2) return {rect};
    const double stripWidth = rect.width() / count;
    std::vector<Rect> strips;
    strips.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k)
        strips.emplace_back(rect.minX() + k * stripWidth, rect.minY(), stripWidth, rect.height());
    return strips;
}

PlacementPlanner::Placements PlacementPlanner::computeTargetFrames(
    const std::vector<LayoutItem>& items, FrameSource frameSource, const std::map<std::string, Rect>& sourceRegions,
    std::optional<DisplayID> anchorDisplay, const DisplaySnapshot& displays, LayoutApplier::ApplyReport& report,
    const KnownMinimums& minimums) {
    const auto mapping = displayMapping(items, frameSource, anchorDisplay, displays);
    const auto resolved = resolveDisplays(items, frameSource, mapping, displays, report.fellBackToMainDisplay);

    std::vector<SubRegionEntry> entries;
    entries.reserve(resolved.size());
    for (const auto& r : resolved) entries.push_back({r.targetID, r.savedUUID, r.f.dispX.value_or(r.f.x)});
    const auto subRegions = targetSubRegions(entries, displays);

    Placements placements;
    for (const auto& r : resolved) {
        const ScreenFrame& f = r.f;
        Rect rect;
        // A display without area leaves the minimum unbounded.
        Size room{std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()};
        if (!displays.hasArea(r.targetID)) {
            // Only the main display can be a target without area (every display asleep):
            // there is no region to read against, so the frame stays as saved.
            rect = rectOf(f);
        } else {
            const Rect visible = displays.visibleArea(r.targetID);
            const auto sub = subRegions.find(r.savedUUID);
            const Rect target = sub != subRegions.end() ? sub->second : visible;
            const bool forced = target != visible || (r.mappedID && (!r.savedID || *r.mappedID != *r.savedID));
            const auto source = sourceRegions.find(r.savedUUID);
            const std::optional<Rect> s =
                source != sourceRegions.end() ? std::optional<Rect>(source->second) : std::nullopt;
            rect = mustScale(s, target, forced) ? scaled(f, *s, target) : rectOf(clippedToItsDisplay(f, displays));
            // Whatever the saved frame holds, the window starts inside its display. Grown
            // to its minimum from there it may reach past the far edge, and the re-flow
            // brings it back with its neighbours: pushed in alone, it would lie over the
            // one before it.
            rect = keptInside(rect, visible);
            room = visible.size;
        }
        const Size minimum = ColumnReflow::minimumOf(r.item.id, r.item.appBundleID, minimums, room);
        rect.size.width = std::max(rect.width(), minimum.width);
        rect.size.height = std::max(rect.height(), minimum.height);
        if (!isFinite(rect)) {
            // Saved values near the limits of a double overflow when scaled; such a frame
            // is never handed to a window, nor to the re-flow.
            placements.erase(r.item.id);
            continue;
        }
        placements[r.item.id] = LayoutApplier::Placement{r.targetID, r.targetUUID, r.item.appBundleID, rect};
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
        if (!displays.hasArea(display)) continue;
        const Rect visible = displays.visibleArea(display);
        ColumnReflow::reflowColumns(placements, ids, visible, minimums);
        // The re-flow packs no lone column across the display: that one is kept inside here.
        for (const Uuid& id : ids) placements.at(id).local = keptInside(placements.at(id).local, visible);
    }
    return placements;
}

}  // namespace kestr
