// Which live display stands in for each display a kest was saved on, the region of the
// saved display its frames are read against, and the region of the live display they
// are laid into. Everything is computed afresh from the live display list.
#include <algorithm>
#include <set>

#include "Layout/LayoutApplier.h"
#include "Platform/Platform.h"
#include "Window/DisplayManager.h"
#include "Window/WindowMinSize.h"

namespace kestr {

namespace {

// Narrower or lower frames are leftovers of broken captures, not windows to place.
constexpr double kMinUsableSide = 20;
// The size assumed for applications without a known minimum.
constexpr double kDefaultMinimumSide = 120;

// The connected display a UUID string names. A display without area counts as not
// connected: frames read or laid against it would be scaled by infinities.
std::optional<DisplayID> connectedDisplay(const std::string& uuid) {
    const DisplayID id = platform().displays().displayIDFromUUIDString(uuid);
    if (id == 0 || !LayoutApplier::hasArea(id)) return std::nullopt;
    return id;
}

// The usable frames of the items, grouped by display UUID string; item order inside.
std::map<std::string, std::vector<ScreenFrame>> usableFramesByDisplay(const std::vector<LayoutItem>& items,
                                                                      LayoutApplier::FrameSource source) {
    std::map<std::string, std::vector<ScreenFrame>> groups;
    for (const auto& item : items) {
        const ScreenFrame& f = LayoutApplier::frameOf(item, source);
        if (LayoutApplier::isUsable(f)) groups[f.displayUUID].push_back(f);
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
    const auto recorded = std::find_if(frames.begin(), frames.end(),
                                       [](const ScreenFrame& f) { return f.dispW && f.dispH; });
    // The top of the highest window stands for the top of the usable area.
    if (recorded != frames.end()) return Rect(0, minY, *recorded->dispW, std::max(*recorded->dispH - minY, 1.0));
    return Rect(minX, minY, std::max(maxX - minX, 1.0), std::max(maxY - minY, 1.0));
}

}  // namespace

const ScreenFrame& LayoutApplier::frameOf(const LayoutItem& item, FrameSource source) {
    if (source == FrameSource::captured && item.capturedFrame) return *item.capturedFrame;
    return item.targetFrame;
}

bool LayoutApplier::isUsable(const ScreenFrame& frame) {
    return frame.width >= kMinUsableSide && frame.height >= kMinUsableSide;
}

bool LayoutApplier::hasArea(DisplayID display) {
    const Rect bounds = platform().displays().displayBounds(display);
    return bounds.width() > 0 && bounds.height() > 0;
}

Size LayoutApplier::minimumSize(const std::string& bundleID) {
    const auto it = WindowMinSize::table.find(bundleID);
    return it != WindowMinSize::table.end() ? it->second : Size{kDefaultMinimumSide, kDefaultMinimumSide};
}

std::map<std::string, Rect> LayoutApplier::computeSourceRegions(const std::vector<LayoutItem>& items,
                                                                FrameSource frameSource) {
    std::map<std::string, Rect> regions;
    for (const auto& [uuid, frames] : usableFramesByDisplay(items, frameSource)) {
        const auto id = connectedDisplay(uuid);
        regions[uuid] = id ? DisplayManager::visibleAreaLocal(*id) : regionOfMissingDisplay(frames);
    }
    return regions;
}

std::map<std::string, DisplayID> LayoutApplier::displayMapping(
    const std::vector<LayoutItem>& items, const std::function<ScreenFrame(const LayoutItem&)>& frameOf,
    std::optional<DisplayID> anchorDisplay) {
    if (!anchorDisplay || *anchorDisplay == 0) return {};

    // Each saved display's origin comes from the first usable frame naming it.
    struct Saved {
        std::string uuid;
        Point origin;
    };
    std::vector<Saved> saved;
    for (const auto& item : items) {
        const ScreenFrame f = frameOf(item);
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

    std::vector<DisplayID> live = DisplayManager::displaysLeftToRight();
    std::erase_if(live, [](DisplayID id) { return !hasArea(id); });
    const auto anchorIt = std::find(live.begin(), live.end(), *anchorDisplay);
    const int anchorIndex = anchorIt == live.end() ? 0 : static_cast<int>(anchorIt - live.begin());
    const auto positions = targetIndices(static_cast<int>(saved.size()), static_cast<int>(live.size()), anchorIndex);

    std::map<std::string, DisplayID> mapping;
    for (std::size_t i = 0; i < saved.size(); ++i) {
        const auto position = static_cast<std::size_t>(positions[i]);
        if (position < live.size()) {
            mapping[saved[i].uuid] = live[position];
        } else if (hasArea(*anchorDisplay)) {
            mapping[saved[i].uuid] = *anchorDisplay;
        }
        // Else no live display can take it; its items go where the unmapped would.
    }
    return mapping;
}

std::vector<int> LayoutApplier::targetIndices(int sourceCount, int targetCount, int anchorIndex) {
    if (sourceCount < 1) return {};
    if (sourceCount == 1) return {anchorIndex};
    std::vector<int> positions;
    positions.reserve(static_cast<std::size_t>(sourceCount));
    for (int i = 0; i < sourceCount; ++i) positions.push_back(i < targetCount ? i : anchorIndex);
    return positions;
}

std::vector<LayoutApplier::Resolved> LayoutApplier::resolveDisplays(const std::vector<LayoutItem>& items,
                                                                    FrameSource frameSource,
                                                                    const std::map<std::string, DisplayID>& mapping,
                                                                    int& fellBackToMainDisplay) {
    Displays& displays = platform().displays();
    std::vector<Resolved> resolved;
    for (const auto& item : items) {
        const ScreenFrame& f = frameOf(item, frameSource);
        if (!isUsable(f)) continue;
        Resolved r{item, f, f.displayUUID, connectedDisplay(f.displayUUID), std::nullopt, 0, {}};
        if (const auto it = mapping.find(f.displayUUID); it != mapping.end()) r.mappedID = it->second;
        if (r.mappedID) {
            r.targetID = *r.mappedID;
        } else if (r.savedID) {
            r.targetID = *r.savedID;
        } else {
            r.targetID = displays.mainDisplayID();
            ++fellBackToMainDisplay;
        }
        r.targetUUID = displays.displayUUIDString(r.targetID).value_or(f.displayUUID);
        resolved.push_back(std::move(r));
    }
    return resolved;
}

std::map<std::string, Rect> LayoutApplier::targetSubRegions(const std::vector<SubRegionEntry>& entries) {
    // The first entry of each saved display decides its target and its order.
    std::vector<std::pair<DisplayID, std::vector<SubRegionEntry>>> byTarget;
    std::set<std::string> seen;
    for (const auto& e : entries) {
        if (!seen.insert(e.savedUUID).second) continue;
        auto group = std::find_if(byTarget.begin(), byTarget.end(), [&](const auto& g) { return g.first == e.targetID; });
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
        const auto strips = horizontalSlices(DisplayManager::visibleAreaLocal(target), static_cast<int>(shared.size()));
        for (std::size_t k = 0; k < shared.size(); ++k) regions[shared[k].savedUUID] = strips[k];
    }
    return regions;
}

std::vector<Rect> LayoutApplier::horizontalSlices(const Rect& rect, int count) {
    if (count < 2) return {rect};
    const double stripWidth = rect.width() / count;
    std::vector<Rect> strips;
    strips.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) strips.emplace_back(rect.minX() + k * stripWidth, rect.minY(), stripWidth, rect.height());
    return strips;
}

}  // namespace kestr
