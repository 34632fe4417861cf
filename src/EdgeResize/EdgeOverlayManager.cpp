#include "EdgeResize/EdgeOverlayManager.h"

#include <algorithm>

#include "EdgeResize/EdgeDragSession.h"
#include "Platform/Platform.h"
#include "Window/DisplayManager.h"

namespace kestr {

EdgeOverlayManager::EdgeOverlayManager() : self_(std::make_shared<EdgeOverlayManager*>(this)) {
    std::weak_ptr<EdgeOverlayManager*> weak = self_;
    EdgeDragSession::shared().onUpdate = [weak] {
        if (auto self = weak.lock()) (*self)->refreshPressStates();
    };
}

EdgeOverlayManager& EdgeOverlayManager::shared() { return platform().shared<EdgeOverlayManager>(); }

void EdgeOverlayManager::refreshPressStates() {
    for (const auto& [display, overlay] : windows) overlay->updatePressState();
}

void EdgeOverlayManager::setActiveLayout(const std::optional<Layout>& layout) {
    if (!layout) {
        groupsByDisplay.clear();
    } else {
        std::map<std::string, std::vector<EdgeGroup>> groups;
        for (const EdgeGroup& g : layout->edgeGroups) groups[g.displayUUID].push_back(g);
        for (const LayoutItem& item : layout->items) {
            const std::string& display = (item.capturedFrame ? *item.capturedFrame : item.targetFrame).displayUUID;
            const auto found = groups.find(display);
            groupsByDisplay[display] = found == groups.end() ? std::vector<EdgeGroup>{} : found->second;
        }
    }
    rebuildWindows();
    // The new overlays show no handle yet: the one under a resting pointer is asked for
    // again (the tracker, handed the kest first, may have reported it to the old ones).
    EdgeProximityTracker::shared().reportAfresh();
}

void EdgeOverlayManager::rebuildWindows() {
    // The overlay holding a press goes away, and its mouse-up with it: the drag ends here
    // rather than never.
    EdgeDragSession::shared().cancel();
    for (const auto& [display, overlay] : windows) overlay->orderOut();
    windows.clear();
    if (groupsByDisplay.empty()) return;
    Displays& displays = platform().displays();
    for (const Screen& screen : displays.screens()) {
        const auto id = DisplayManager::displayID(screen);
        if (!id) continue;
        const auto uuid = displays.displayUUIDString(*id);
        if (!uuid) continue;
        const auto groups = groupsByDisplay.find(*uuid);
        if (groups == groupsByDisplay.end() || groups->second.empty()) continue;
        auto overlay =
            std::make_unique<EdgeOverlay>(*uuid, groups->second, displays.displayBounds(*id), presenter.get());
        overlay->orderFrontRegardless();
        windows[*uuid] = std::move(overlay);
    }
}

bool EdgeOverlayManager::showsDraggedHandle() const {
    const EdgeDragSession& session = EdgeDragSession::shared();
    if (!session.isActive || !session.group) return false;
    const auto overlay = windows.find(session.group->displayUUID);
    return overlay != windows.end() && overlay->second->isVisible() &&
           overlay->second->activeGroupID == session.group->id;
}

bool EdgeOverlayManager::windowsMatchDisplays() const {
    Displays& displays = platform().displays();
    for (const auto& [display, groups] : groupsByDisplay) {
        const DisplayID id = displays.displayIDFromUUIDString(display);
        const auto overlay = windows.find(display);
        const bool wanted = id != 0 && !groups.empty();
        if (wanted != (overlay != windows.end())) return false;
        if (wanted && overlay->second->bounds != displays.displayBounds(id)) return false;
    }
    return true;
}

void EdgeOverlayManager::updateProximity(const std::optional<EdgeProximityTracker::Hit>& hit) {
    // During a drag the dragged handle stays, whatever is reported.
    if (EdgeDragSession::shared().isActive) return;
    // Displays came, went or moved since the overlays were built: no handle may show
    // where its display no longer is.
    if (!windowsMatchDisplays()) rebuildWindows();
    for (const auto& [display, overlay] : windows) {
        const auto groups = groupsByDisplay.find(display);
        const bool mine = hit && groups != groupsByDisplay.end() &&
                          std::any_of(groups->second.begin(), groups->second.end(),
                                      [&hit](const EdgeGroup& g) { return g.id == hit->groupID; });
        overlay->setActiveGroup(mine ? std::optional<Uuid>(hit->groupID) : std::nullopt);
        // Only the overlay showing a handle takes clicks.
        overlay->setIgnoresMouseEvents(!mine);
    }
}

}  // namespace kestr
