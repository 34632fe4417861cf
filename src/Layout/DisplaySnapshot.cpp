#include "Layout/DisplaySnapshot.h"

#include "Platform/Platform.h"
#include "Window/DisplayManager.h"

namespace kestr {

DisplaySnapshot DisplaySnapshot::read(const std::vector<LayoutItem>& items, std::optional<DisplayID> anchorDisplay) {
    Displays& displays = platform().displays();
    DisplaySnapshot snapshot;
    snapshot.leftToRight_ = DisplayManager::displaysLeftToRight();
    for (DisplayID id : snapshot.leftToRight_) snapshot.add(id);
    snapshot.main_ = displays.mainDisplayID();
    snapshot.add(snapshot.main_);
    if (anchorDisplay) snapshot.add(*anchorDisplay);
    const auto resolve = [&](const std::string& uuid) {
        if (snapshot.ids_.contains(uuid)) return;
        const DisplayID id = displays.displayIDFromUUIDString(uuid);
        snapshot.ids_[uuid] = id;
        if (id != 0) snapshot.add(id);
    };
    for (const LayoutItem& item : items) {
        resolve(item.targetFrame.displayUUID);
        if (item.capturedFrame) resolve(item.capturedFrame->displayUUID);
    }
    return snapshot;
}

void DisplaySnapshot::add(DisplayID display) {
    if (displays_.contains(display)) return;
    Displays& displays = platform().displays();
    displays_[display] = Display{displays.displayBounds(display), displays.displayUUIDString(display),
                                 DisplayManager::visibleAreaLocal(display)};
}

DisplayID DisplaySnapshot::idOf(const std::string& uuid) const {
    const auto it = ids_.find(uuid);
    return it == ids_.end() ? 0 : it->second;
}

Rect DisplaySnapshot::bounds(DisplayID display) const {
    const auto it = displays_.find(display);
    return it == displays_.end() ? Rect() : it->second.bounds;
}

bool DisplaySnapshot::hasArea(DisplayID display) const {
    const Rect b = bounds(display);
    return b.width() > 0 && b.height() > 0;
}

Rect DisplaySnapshot::visibleArea(DisplayID display) const {
    const auto it = displays_.find(display);
    return it == displays_.end() ? Rect::infinite() : it->second.visibleArea;
}

std::optional<std::string> DisplaySnapshot::uuidString(DisplayID display) const {
    const auto it = displays_.find(display);
    return it == displays_.end() ? std::nullopt : it->second.uuid;
}

}  // namespace kestr
