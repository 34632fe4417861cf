#include "Platform/Sim/SimWindowServer.h"

namespace kestr {

std::optional<PlistArray> SimWindowServer::copyWindowList(std::uint32_t options, std::uint32_t) {
    if (unavailable) return std::nullopt;
    PlistArray list;
    for (const AXElement element : world_.stacking()) {
        SimProcess* owner = world_.owner(element);
        const SimWindow* window = owner ? owner->window(element) : nullptr;
        if (!window) continue;
        const bool onScreen = world_.isOnScreen(*window, *owner);
        if ((options & WindowListOption::onScreenOnly) && !onScreen) continue;
        PlistDict bounds{{"X", window->position.x},
                         {"Y", window->position.y},
                         {"Width", window->size.width},
                         {"Height", window->size.height}};
        PlistDict entry{{"kCGWindowOwnerPID", std::int64_t{owner->pid}},
                        {"kCGWindowNumber", window->number},
                        {"kCGWindowLayer", window->layer},
                        {"kCGWindowName", window->title},
                        {"kCGWindowIsOnscreen", onScreen},
                        {"kCGWindowBounds", std::move(bounds)}};
        if (owner->name) entry["kCGWindowOwnerName"] = *owner->name;
        list.emplace_back(std::move(entry));
    }
    return list;
}

}  // namespace kestr
